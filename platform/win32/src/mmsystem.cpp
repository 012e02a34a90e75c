#include "win32/mmsystem.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "handles.h"
#include "wavedevice.h"
#include "win32/soundsystem.h"

namespace {

using winplat::CardMixer;
using winplat::PcmStream;
using winplat::SoundDirection;
using winplat::SoundSystem;
using winplat::SourceKind;

constexpr DWORD kSpeakers = 0;
constexpr DWORD kRecording = 1;
constexpr uint32_t kMaxVolume = 65535;

using winplat::WaveDevice;

enum class Target { Master, CardCapture, SourceCapture, Mux };

struct Line {
    DWORD destination = 0;
    DWORD source = 0;
    bool isSource = false;
    DWORD lineId = 0;
    DWORD componentType = 0;
    DWORD channels = 1;
    DWORD connections = 0;
    DWORD targetType = MIXERLINE_TARGETTYPE_UNDEFINED;
    std::wstring shortName;
    std::wstring name;
    std::vector<DWORD> controls;
};

struct Control {
    DWORD id = 0;
    DWORD type = 0;
    size_t line = 0;
    Target target = Target::Master;
    int source = -1;
    DWORD items = 0;
    std::wstring shortName;
    std::wstring name;
};

// What one mixer shows, taken when it is opened; values are read live.
struct MixerModel {
    int card = -1;
    CardMixer info;
    std::vector<Line> lines;
    std::vector<Control> controls;
};

struct MixerHandle : winplat::KernelObject {
    MixerModel model;
};

template <class T>
std::shared_ptr<T> lookup(const void* h) {
    return std::dynamic_pointer_cast<T>(winplat::LookupHandle(const_cast<void*>(h)));
}

void copyName(WCHAR* dst, size_t size, const std::wstring& src) {
    size_t n = std::min(size - 1, src.size());
    std::wmemcpy(dst, src.data(), n);
    dst[n] = 0;
}

DWORD componentOf(SourceKind kind) {
    switch (kind) {
        case SourceKind::Microphone:
            return MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE;
        case SourceKind::Line:
            return MIXERLINE_COMPONENTTYPE_SRC_LINE;
        case SourceKind::CompactDisc:
            return MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC;
        case SourceKind::Auxiliary:
            return MIXERLINE_COMPONENTTYPE_SRC_AUXILIARY;
        case SourceKind::Analog:
            return MIXERLINE_COMPONENTTYPE_SRC_ANALOG;
        case SourceKind::Digital:
            return MIXERLINE_COMPONENTTYPE_SRC_DIGITAL;
        default:
            return MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED;
    }
}

DWORD sourceLineId(size_t source) {
    return static_cast<DWORD>(((source + 1) << 16) | kRecording);
}

void addControl(MixerModel& m, size_t line, DWORD type, Target target, int source,
                const std::wstring& name) {
    Control c;
    c.id = static_cast<DWORD>(m.controls.size());
    c.type = type;
    c.line = line;
    c.target = target;
    c.source = source;
    c.shortName = name;
    c.name = name;
    if (type == MIXERCONTROL_CONTROLTYPE_MUX) c.items = static_cast<DWORD>(m.info.sources.size());
    m.lines[line].controls.push_back(c.id);
    m.controls.push_back(c);
}

bool buildModel(SoundSystem& sys, int card, MixerModel& m) {
    if (card < 0 || card >= sys.CardCount() || !sys.Card(card, m.info)) return false;
    m.card = card;
    const CardMixer& info = m.info;

    Line speakers;
    speakers.destination = kSpeakers;
    speakers.lineId = kSpeakers;
    speakers.componentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    speakers.channels = static_cast<DWORD>(std::max(1, info.masterChannels));
    speakers.targetType = MIXERLINE_TARGETTYPE_WAVEOUT;
    speakers.shortName = speakers.name = L"Speakers";
    m.lines.push_back(speakers);
    if (info.masterChannels > 0)
        addControl(m, 0, MIXERCONTROL_CONTROLTYPE_VOLUME, Target::Master, -1, L"Master Volume");

    Line recording;
    recording.destination = kRecording;
    recording.lineId = kRecording;
    recording.componentType = MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
    recording.channels = static_cast<DWORD>(info.captureChannels > 0 ? info.captureChannels : 2);
    recording.connections = static_cast<DWORD>(info.sources.size());
    recording.targetType = MIXERLINE_TARGETTYPE_WAVEIN;
    recording.shortName = L"Recording";
    recording.name = L"Recording Control";
    m.lines.push_back(recording);
    if (!info.sources.empty())
        addControl(m, 1, MIXERCONTROL_CONTROLTYPE_MUX, Target::Mux, -1, L"Recording Source");
    if (info.captureChannels > 0)
        addControl(m, 1, MIXERCONTROL_CONTROLTYPE_VOLUME, Target::CardCapture, -1,
                   L"Recording Volume");

    for (size_t i = 0; i < info.sources.size(); ++i) {
        const auto& s = info.sources[i];
        Line l;
        l.destination = kRecording;
        l.source = static_cast<DWORD>(i);
        l.isSource = true;
        l.lineId = sourceLineId(i);
        l.componentType = componentOf(s.kind);
        l.channels = static_cast<DWORD>(std::max(1, s.channels));
        l.targetType = MIXERLINE_TARGETTYPE_WAVEIN;
        l.shortName = l.name = s.name;
        m.lines.push_back(l);
        if (s.hasVolume)
            addControl(m, m.lines.size() - 1, MIXERCONTROL_CONTROLTYPE_VOLUME,
                       Target::SourceCapture, static_cast<int>(i), s.name + L" Volume");
    }
    return true;
}

DWORD objectType(DWORD flags) {
    return flags & 0xF0000000u;
}

// The card a wave device id or handle belongs to, -1 when none.
int cardOfDevice(SoundSystem& sys, SoundDirection dir, UINT id) {
    auto devices = sys.Devices(dir);
    int index = id == WAVE_MAPPER ? sys.DefaultDevice(dir) : static_cast<int>(id);
    if (index < 0 || index >= static_cast<int>(devices.size())) return -1;
    return devices[static_cast<size_t>(index)].card;
}

// The mixer an object stands for: an open mixer, a mixer id, or a wave device.
MMRESULT resolve(HMIXEROBJ object, DWORD flags, MixerModel& scratch, const MixerModel*& out) {
    auto sys = winplat::CurrentSoundSystem();
    int card = -1;
    switch (objectType(flags)) {
        case MIXER_OBJECTF_HMIXER: {
            auto h = lookup<MixerHandle>(object);
            if (!h) return MMSYSERR_INVALHANDLE;
            out = &h->model;
            // The handle stays registered while the caller uses it; the model
            // is read-only after open.
            return MMSYSERR_NOERROR;
        }
        case MIXER_OBJECTF_MIXER:
            card = static_cast<int>(reinterpret_cast<uintptr_t>(object));
            break;
        case MIXER_OBJECTF_WAVEIN:
        case MIXER_OBJECTF_WAVEOUT: {
            auto dir = objectType(flags) == MIXER_OBJECTF_WAVEIN ? SoundDirection::Capture
                                                                 : SoundDirection::Playback;
            card = cardOfDevice(*sys, dir, static_cast<UINT>(reinterpret_cast<uintptr_t>(object)));
            if (card < 0) return MMSYSERR_NODRIVER;
            break;
        }
        case MIXER_OBJECTF_HWAVEIN:
        case MIXER_OBJECTF_HWAVEOUT: {
            auto w = lookup<WaveDevice>(object);
            if (!w) return MMSYSERR_INVALHANDLE;
            if (w->card < 0) return MMSYSERR_NODRIVER;
            card = w->card;
            break;
        }
        default:
            return MMSYSERR_INVALFLAG;
    }
    if (!buildModel(*sys, card, scratch)) return MMSYSERR_BADDEVICEID;
    out = &scratch;
    return MMSYSERR_NOERROR;
}

// Keeps an HMIXER's model alive across one call.
struct Resolved {
    std::shared_ptr<MixerHandle> keep;
    MixerModel scratch;
    const MixerModel* model = nullptr;
    MMRESULT rc = MMSYSERR_NOERROR;
    Resolved(HMIXEROBJ object, DWORD flags) {
        if (objectType(flags) == MIXER_OBJECTF_HMIXER) keep = lookup<MixerHandle>(object);
        rc = resolve(object, flags, scratch, model);
    }
};

const Line* findLine(const MixerModel& m, DWORD lineId) {
    for (const Line& l : m.lines)
        if (l.lineId == lineId) return &l;
    return nullptr;
}

void fillLine(const MixerModel& m, const Line& l, LPMIXERLINEW out) {
    DWORD cb = out->cbStruct;
    std::memset(out, 0, sizeof *out);
    out->cbStruct = cb;
    out->dwDestination = l.destination;
    out->dwSource = l.source;
    out->dwLineID = l.lineId;
    out->fdwLine = MIXERLINE_LINEF_ACTIVE | (l.isSource ? MIXERLINE_LINEF_SOURCE : 0);
    out->dwComponentType = l.componentType;
    out->cChannels = l.channels;
    out->cConnections = l.connections;
    out->cControls = static_cast<DWORD>(l.controls.size());
    copyName(out->szShortName, MIXER_SHORT_NAME_CHARS, l.shortName);
    copyName(out->szName, MIXER_LONG_NAME_CHARS, l.name);
    out->Target.dwType = l.targetType;
    out->Target.dwDeviceID = 0;
    out->Target.vDriverVersion = 0x0100;
    copyName(out->Target.szPname, MAXPNAMELEN, m.info.name);
}

void fillControl(const MixerModel& m, const Control& c, LPMIXERCONTROLW out) {
    std::memset(out, 0, sizeof *out);
    out->cbStruct = sizeof *out;
    out->dwControlID = c.id;
    out->dwControlType = c.type;
    if (c.type == MIXERCONTROL_CONTROLTYPE_MUX) {
        out->fdwControl = MIXERCONTROL_CONTROLF_UNIFORM | MIXERCONTROL_CONTROLF_MULTIPLE;
        out->cMultipleItems = c.items;
        out->Bounds.dwMinimum = 0;
        out->Bounds.dwMaximum = 1;
    } else {
        out->Bounds.dwMinimum = 0;
        out->Bounds.dwMaximum = kMaxVolume;
        out->Metrics.cSteps = kMaxVolume + 1;
    }
    copyName(out->szShortName, MIXER_SHORT_NAME_CHARS, c.shortName);
    copyName(out->szName, MIXER_LONG_NAME_CHARS, c.name);
}

bool readVolume(SoundSystem& sys, const MixerModel& m, const Control& c, std::vector<uint32_t>& v) {
    switch (c.target) {
        case Target::Master:
            return sys.GetMasterVolume(m.card, v);
        case Target::CardCapture:
            return sys.GetCaptureVolume(m.card, -1, v);
        case Target::SourceCapture:
            return sys.GetCaptureVolume(m.card, c.source, v);
        default:
            return false;
    }
}

bool writeVolume(SoundSystem& sys, const MixerModel& m, const Control& c,
                 const std::vector<uint32_t>& v) {
    switch (c.target) {
        case Target::Master:
            return sys.SetMasterVolume(m.card, v);
        case Target::CardCapture:
            return sys.SetCaptureVolume(m.card, -1, v);
        case Target::SourceCapture:
            return sys.SetCaptureVolume(m.card, c.source, v);
        default:
            return false;
    }
}

template <class T>
T* detail(LPMIXERCONTROLDETAILS d, size_t i) {
    return reinterpret_cast<T*>(static_cast<char*>(d->paDetails) + i * d->cbDetails);
}

// Checks a details block against the control; the control on success.
MMRESULT checkDetails(const MixerModel& m, LPMIXERCONTROLDETAILS d, size_t itemSize,
                      const Control*& out) {
    if (!d || d->cbStruct < sizeof(MIXERCONTROLDETAILS) || !d->paDetails || d->cbDetails < itemSize)
        return MMSYSERR_INVALPARAM;
    if (d->dwControlID >= m.controls.size()) return MIXERR_INVALCONTROL;
    const Control& c = m.controls[d->dwControlID];
    if (c.type == MIXERCONTROL_CONTROLTYPE_MUX) {
        if (d->cChannels != 1 || d->cMultipleItems != c.items) return MMSYSERR_INVALPARAM;
    } else {
        if (d->cChannels == 0 || d->cChannels > m.lines[c.line].channels || d->cMultipleItems != 0)
            return MMSYSERR_INVALPARAM;
    }
    out = &c;
    return MMSYSERR_NOERROR;
}

bool validPcm(LPCWAVEFORMATEX f) {
    if (!f || f->wFormatTag != WAVE_FORMAT_PCM) return false;
    if (f->nChannels < 1 || f->nChannels > 2) return false;
    if (f->wBitsPerSample != 8 && f->wBitsPerSample != 16) return false;
    if (f->nSamplesPerSec < 8000 || f->nSamplesPerSec > 192000) return false;
    return f->nBlockAlign == f->nChannels * f->wBitsPerSample / 8 &&
           f->nAvgBytesPerSec == f->nSamplesPerSec * f->nBlockAlign;
}

template <class Caps>
MMRESULT devCaps(SoundDirection dir, UINT_PTR id, Caps* caps, UINT size) {
    if (!caps || size < sizeof(Caps)) return MMSYSERR_INVALPARAM;
    auto sys = winplat::CurrentSoundSystem();
    auto devices = sys->Devices(dir);
    int index = id == WAVE_MAPPER ? sys->DefaultDevice(dir) : static_cast<int>(id);
    if (id != WAVE_MAPPER && id >= devices.size()) return MMSYSERR_BADDEVICEID;
    if (index < 0 || index >= static_cast<int>(devices.size())) return MMSYSERR_BADDEVICEID;
    std::memset(caps, 0, sizeof(Caps));
    caps->vDriverVersion = 0x0100;
    copyName(caps->szPname, MAXPNAMELEN, devices[static_cast<size_t>(index)].name);
    caps->dwFormats = 0x000FFFFF;  // every standard PCM format, through conversion
    caps->wChannels = 2;
    return MMSYSERR_NOERROR;
}

template <class H>
MMRESULT waveOpen(SoundDirection dir, H* handle, UINT id, LPCWAVEFORMATEX format,
                  DWORD_PTR callback, DWORD_PTR instance, DWORD flags) {
    bool query = (flags & WAVE_FORMAT_QUERY) != 0;
    if (!query && !handle) return MMSYSERR_INVALPARAM;
    if (handle) *handle = nullptr;
    if (!format) return MMSYSERR_INVALPARAM;
    const DWORD callbackType = flags & CALLBACK_TYPEMASK;
    if (!query && callbackType != CALLBACK_NULL && callbackType != CALLBACK_FUNCTION &&
        callbackType != CALLBACK_EVENT)
        return MMSYSERR_NOTSUPPORTED;
    auto sys = winplat::CurrentSoundSystem();
    auto devices = sys->Devices(dir);
    int index = id == WAVE_MAPPER ? sys->DefaultDevice(dir) : static_cast<int>(id);
    if (id != WAVE_MAPPER && id >= devices.size()) return MMSYSERR_BADDEVICEID;
    if (index < 0 || index >= static_cast<int>(devices.size())) return MMSYSERR_BADDEVICEID;
    if (!validPcm(format)) return WAVERR_BADFORMAT;
    winplat::PcmFormat pf;
    pf.rate = format->nSamplesPerSec;
    pf.channels = format->nChannels;
    pf.bitsPerSample = format->wBitsPerSample;
    auto stream = sys->OpenStream(dir, id == WAVE_MAPPER ? -1 : index, pf);
    if (!stream) return query ? WAVERR_BADFORMAT : MMSYSERR_ALLOCATED;
    if (query) return MMSYSERR_NOERROR;
    auto w = std::make_shared<WaveDevice>();
    w->direction = dir;
    w->device = index;
    w->card = devices[static_cast<size_t>(index)].card;
    w->stream = std::move(stream);
    w->frameBytes = format->nBlockAlign;
    w->SetCallback(flags, callback, instance);
    *handle = static_cast<H>(winplat::RegisterHandle(w));
    w->Begin(*handle);
    return MMSYSERR_NOERROR;
}

MMRESULT waveClose(void* handle, SoundDirection dir) {
    auto w = lookup<WaveDevice>(handle);
    if (!w || w->direction != dir) return MMSYSERR_INVALHANDLE;
    MMRESULT rc = w->End();
    if (rc != MMSYSERR_NOERROR) return rc;
    winplat::UnregisterHandle(handle);
    return MMSYSERR_NOERROR;
}

}  // namespace

UINT waveInGetNumDevs() {
    return static_cast<UINT>(
        winplat::CurrentSoundSystem()->Devices(SoundDirection::Capture).size());
}

UINT waveOutGetNumDevs() {
    return static_cast<UINT>(
        winplat::CurrentSoundSystem()->Devices(SoundDirection::Playback).size());
}

MMRESULT waveInGetDevCapsW(UINT_PTR id, LPWAVEINCAPSW caps, UINT size) {
    return devCaps(SoundDirection::Capture, id, caps, size);
}

MMRESULT waveOutGetDevCapsW(UINT_PTR id, LPWAVEOUTCAPSW caps, UINT size) {
    MMRESULT rc = devCaps(SoundDirection::Playback, id, caps, size);
    if (rc == MMSYSERR_NOERROR) caps->dwSupport = WAVECAPS_VOLUME | WAVECAPS_LRVOLUME;
    return rc;
}

MMRESULT waveInOpen(LPHWAVEIN waveIn, UINT id, LPCWAVEFORMATEX format, DWORD_PTR callback,
                    DWORD_PTR instance, DWORD flags) {
    return waveOpen(SoundDirection::Capture, waveIn, id, format, callback, instance, flags);
}

MMRESULT waveInClose(HWAVEIN waveIn) {
    return waveClose(waveIn, SoundDirection::Capture);
}

MMRESULT waveOutOpen(LPHWAVEOUT waveOut, UINT id, LPCWAVEFORMATEX format, DWORD_PTR callback,
                     DWORD_PTR instance, DWORD flags) {
    return waveOpen(SoundDirection::Playback, waveOut, id, format, callback, instance, flags);
}

MMRESULT waveOutClose(HWAVEOUT waveOut) {
    return waveClose(waveOut, SoundDirection::Playback);
}

UINT mixerGetNumDevs() {
    int n = winplat::CurrentSoundSystem()->CardCount();
    return n > 0 ? static_cast<UINT>(n) : 0;
}

MMRESULT mixerOpen(LPHMIXER mixer, UINT id, DWORD_PTR, DWORD_PTR, DWORD flags) {
    if (!mixer) return MMSYSERR_INVALPARAM;
    *mixer = nullptr;
    auto sys = winplat::CurrentSoundSystem();
    int card = -1;
    switch (objectType(flags)) {
        case MIXER_OBJECTF_MIXER:
            card = static_cast<int>(id);
            break;
        case MIXER_OBJECTF_WAVEIN:
            card = cardOfDevice(*sys, SoundDirection::Capture, id);
            break;
        case MIXER_OBJECTF_WAVEOUT:
            card = cardOfDevice(*sys, SoundDirection::Playback, id);
            break;
        default:
            return MMSYSERR_INVALFLAG;  // a wave handle does not fit a UINT here
    }
    auto h = std::make_shared<MixerHandle>();
    if (!buildModel(*sys, card, h->model)) return MMSYSERR_BADDEVICEID;
    *mixer = static_cast<HMIXER>(winplat::RegisterHandle(h));
    return MMSYSERR_NOERROR;
}

MMRESULT mixerClose(HMIXER mixer) {
    if (!lookup<MixerHandle>(mixer)) return MMSYSERR_INVALHANDLE;
    winplat::UnregisterHandle(mixer);
    return MMSYSERR_NOERROR;
}

MMRESULT mixerGetID(HMIXEROBJ object, UINT* id, DWORD flags) {
    if (!id) return MMSYSERR_INVALPARAM;
    Resolved r(object, flags);
    if (r.rc != MMSYSERR_NOERROR) return r.rc;
    *id = static_cast<UINT>(r.model->card);
    return MMSYSERR_NOERROR;
}

MMRESULT mixerGetLineInfoW(HMIXEROBJ object, LPMIXERLINEW line, DWORD flags) {
    if (!line || line->cbStruct < sizeof(MIXERLINEW)) return MMSYSERR_INVALPARAM;
    Resolved r(object, flags);
    if (r.rc != MMSYSERR_NOERROR) return r.rc;
    const MixerModel& m = *r.model;
    const Line* found = nullptr;
    switch (flags & MIXER_GETLINEINFOF_QUERYMASK) {
        case MIXER_GETLINEINFOF_DESTINATION:
            for (const Line& l : m.lines)
                if (!l.isSource && l.destination == line->dwDestination) found = &l;
            break;
        case MIXER_GETLINEINFOF_SOURCE:
            for (const Line& l : m.lines)
                if (l.isSource && l.destination == line->dwDestination &&
                    l.source == line->dwSource)
                    found = &l;
            break;
        case MIXER_GETLINEINFOF_LINEID:
            found = findLine(m, line->dwLineID);
            break;
        case MIXER_GETLINEINFOF_COMPONENTTYPE:
            for (const Line& l : m.lines)
                if (l.componentType == line->dwComponentType) {
                    found = &l;
                    break;
                }
            break;
        case MIXER_GETLINEINFOF_TARGETTYPE:
            for (const Line& l : m.lines)
                if (!l.isSource && l.targetType == line->Target.dwType) {
                    found = &l;
                    break;
                }
            break;
        default:
            return MMSYSERR_INVALFLAG;
    }
    if (!found) return MIXERR_INVALLINE;
    fillLine(m, *found, line);
    return MMSYSERR_NOERROR;
}

MMRESULT mixerGetLineControlsW(HMIXEROBJ object, LPMIXERLINECONTROLSW lc, DWORD flags) {
    if (!lc || lc->cbStruct < sizeof(MIXERLINECONTROLSW) || !lc->pamxctrl ||
        lc->cbmxctrl < sizeof(MIXERCONTROLW))
        return MMSYSERR_INVALPARAM;
    Resolved r(object, flags);
    if (r.rc != MMSYSERR_NOERROR) return r.rc;
    const MixerModel& m = *r.model;
    switch (flags & MIXER_GETLINECONTROLSF_QUERYMASK) {
        case MIXER_GETLINECONTROLSF_ALL: {
            const Line* l = findLine(m, lc->dwLineID);
            if (!l) return MIXERR_INVALLINE;
            if (lc->cControls != l->controls.size() || l->controls.empty())
                return MMSYSERR_INVALPARAM;
            for (size_t i = 0; i < l->controls.size(); ++i)
                fillControl(m, m.controls[l->controls[i]],
                            reinterpret_cast<LPMIXERCONTROLW>(
                                reinterpret_cast<char*>(lc->pamxctrl) + i * lc->cbmxctrl));
            return MMSYSERR_NOERROR;
        }
        case MIXER_GETLINECONTROLSF_ONEBYID: {
            if (lc->dwControlID >= m.controls.size()) return MIXERR_INVALCONTROL;
            const Control& c = m.controls[lc->dwControlID];
            lc->dwLineID = m.lines[c.line].lineId;
            fillControl(m, c, lc->pamxctrl);
            return MMSYSERR_NOERROR;
        }
        case MIXER_GETLINECONTROLSF_ONEBYTYPE: {
            const Line* l = findLine(m, lc->dwLineID);
            if (!l) return MIXERR_INVALLINE;
            for (DWORD id : l->controls)
                if (m.controls[id].type == lc->dwControlType) {
                    fillControl(m, m.controls[id], lc->pamxctrl);
                    return MMSYSERR_NOERROR;
                }
            return MIXERR_INVALCONTROL;
        }
        default:
            return MMSYSERR_INVALFLAG;
    }
}

MMRESULT mixerGetControlDetailsW(HMIXEROBJ object, LPMIXERCONTROLDETAILS d, DWORD flags) {
    Resolved r(object, flags);
    if (r.rc != MMSYSERR_NOERROR) return r.rc;
    const MixerModel& m = *r.model;
    auto sys = winplat::CurrentSoundSystem();
    const Control* c = nullptr;
    switch (flags & MIXER_GETCONTROLDETAILSF_QUERYMASK) {
        case MIXER_GETCONTROLDETAILSF_VALUE: {
            bool mux = d && d->dwControlID < m.controls.size() &&
                       m.controls[d->dwControlID].type == MIXERCONTROL_CONTROLTYPE_MUX;
            MMRESULT rc = checkDetails(
                m, d,
                mux ? sizeof(MIXERCONTROLDETAILS_BOOLEAN) : sizeof(MIXERCONTROLDETAILS_UNSIGNED),
                c);
            if (rc != MMSYSERR_NOERROR) return rc;
            if (mux) {
                int selected = sys->SelectedCaptureSource(m.card);
                for (DWORD j = 0; j < c->items; ++j)
                    detail<MIXERCONTROLDETAILS_BOOLEAN>(d, j)->fValue =
                        static_cast<int>(c->items - 1 - j) == selected ? 1 : 0;
                return MMSYSERR_NOERROR;
            }
            std::vector<uint32_t> v;
            if (!readVolume(*sys, m, *c, v) || v.empty()) return MMSYSERR_ERROR;
            for (DWORD i = 0; i < d->cChannels; ++i)
                detail<MIXERCONTROLDETAILS_UNSIGNED>(d, i)->dwValue =
                    std::min(i < v.size() ? v[i] : v.back(), kMaxVolume);
            return MMSYSERR_NOERROR;
        }
        case MIXER_GETCONTROLDETAILSF_LISTTEXT: {
            MMRESULT rc = checkDetails(m, d, sizeof(MIXERCONTROLDETAILS_LISTTEXTW), c);
            if (rc != MMSYSERR_NOERROR) return rc;
            if (c->type != MIXERCONTROL_CONTROLTYPE_MUX) return MMSYSERR_INVALPARAM;
            for (DWORD j = 0; j < c->items; ++j) {
                size_t source = c->items - 1 - j;
                auto* t = detail<MIXERCONTROLDETAILS_LISTTEXTW>(d, j);
                t->dwParam1 = sourceLineId(source);
                t->dwParam2 = componentOf(m.info.sources[source].kind);
                copyName(t->szName, MIXER_LONG_NAME_CHARS, m.info.sources[source].name);
            }
            return MMSYSERR_NOERROR;
        }
        default:
            return MMSYSERR_INVALFLAG;
    }
}

MMRESULT mixerSetControlDetails(HMIXEROBJ object, LPMIXERCONTROLDETAILS d, DWORD flags) {
    if ((flags & MIXER_SETCONTROLDETAILSF_QUERYMASK) != MIXER_SETCONTROLDETAILSF_VALUE)
        return MMSYSERR_NOTSUPPORTED;
    Resolved r(object, flags);
    if (r.rc != MMSYSERR_NOERROR) return r.rc;
    const MixerModel& m = *r.model;
    auto sys = winplat::CurrentSoundSystem();
    bool mux = d && d->dwControlID < m.controls.size() &&
               m.controls[d->dwControlID].type == MIXERCONTROL_CONTROLTYPE_MUX;
    const Control* c = nullptr;
    MMRESULT rc = checkDetails(
        m, d, mux ? sizeof(MIXERCONTROLDETAILS_BOOLEAN) : sizeof(MIXERCONTROLDETAILS_UNSIGNED), c);
    if (rc != MMSYSERR_NOERROR) return rc;
    if (mux) {
        int chosen = -1, count = 0;
        for (DWORD j = 0; j < c->items; ++j)
            if (detail<MIXERCONTROLDETAILS_BOOLEAN>(d, j)->fValue) {
                chosen = static_cast<int>(c->items - 1 - j);
                ++count;
            }
        if (count != 1) return MIXERR_INVALVALUE;
        return sys->SelectCaptureSource(m.card, chosen) ? MMSYSERR_NOERROR : MMSYSERR_ERROR;
    }
    std::vector<uint32_t> v;
    if (!readVolume(*sys, m, *c, v) || v.empty()) return MMSYSERR_ERROR;
    v.resize(m.lines[c->line].channels, v.back());
    if (d->cChannels == 1) {
        // One value for a control with several channels sets them all.
        std::fill(v.begin(), v.end(),
                  std::min(detail<MIXERCONTROLDETAILS_UNSIGNED>(d, 0)->dwValue, kMaxVolume));
    } else {
        for (DWORD i = 0; i < d->cChannels; ++i)
            v[i] = std::min(detail<MIXERCONTROLDETAILS_UNSIGNED>(d, i)->dwValue, kMaxVolume);
    }
    return writeVolume(*sys, m, *c, v) ? MMSYSERR_NOERROR : MMSYSERR_ERROR;
}
