#include "services/MyWaveInCtrl.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

HMIXEROBJ obj(HMIXER m) {
    return reinterpret_cast<HMIXEROBJ>(m);
}

bool volumeControl(HMIXER mixer, DWORD lineId, MIXERCONTROLW& control) {
    if (!mixer) return false;
    MIXERLINECONTROLSW lc{};
    lc.cbStruct = sizeof lc;
    lc.dwLineID = lineId;
    lc.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    lc.cControls = 1;
    lc.cbmxctrl = sizeof control;
    lc.pamxctrl = &control;
    return mixerGetLineControlsW(obj(mixer), &lc,
                                 MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) ==
           MMSYSERR_NOERROR;
}

// The channel count a details block is built for, kept to what a line can have.
DWORD channelCount(int channels) {
    return static_cast<DWORD>(std::clamp(channels, 1, 32));
}

void setVolume(HMIXER mixer, const MIXERCONTROLW& control, DWORD channels, int volume) {
    std::vector<MIXERCONTROLDETAILS_UNSIGNED> values(channels);
    for (auto& v : values) v.dwValue = static_cast<DWORD>(volume);
    MIXERCONTROLDETAILS d{};
    d.cbStruct = sizeof d;
    d.dwControlID = control.dwControlID;
    d.cChannels = channels;
    d.cbDetails = sizeof(MIXERCONTROLDETAILS_UNSIGNED);
    d.paDetails = values.data();
    mixerSetControlDetails(obj(mixer), &d, MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE);
}

int getVolume(HMIXER mixer, const MIXERCONTROLW& control, DWORD channels) {
    std::vector<MIXERCONTROLDETAILS_UNSIGNED> values(channels);
    MIXERCONTROLDETAILS d{};
    d.cbStruct = sizeof d;
    d.dwControlID = control.dwControlID;
    d.cChannels = channels;
    d.cbDetails = sizeof(MIXERCONTROLDETAILS_UNSIGNED);
    d.paDetails = values.data();
    if (mixerGetControlDetailsW(obj(mixer), &d,
                                MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE) !=
        MMSYSERR_NOERROR)
        return -1;
    return static_cast<int>(values[0].dwValue);
}

bool speakersLine(HMIXER mixer, MIXERLINEW& line) {
    if (!mixer) return false;
    std::memset(&line, 0, sizeof line);
    line.cbStruct = sizeof line;
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    return mixerGetLineInfoW(obj(mixer), &line,
                             MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) ==
           MMSYSERR_NOERROR;
}

}  // namespace

CMyWaveInCtrl::CMyWaveInCtrl()
    : waveInCount(0),
      waveOutCount(0),
      waveInDevId(WAVE_MAPPER),
      waveOutDevId(WAVE_MAPPER),
      inMixer(nullptr),
      outMixer(nullptr),
      inDestLineId(-1),
      inSourceIndex(-1),
      inSourceLineId(-1),
      inChannels(1),
      muxItem(0) {
    std::memset(waveInNames, 0, sizeof waveInNames);
    std::memset(waveOutNames, 0, sizeof waveOutNames);
}

CMyWaveInCtrl::~CMyWaveInCtrl() {
    Uninit();
}

// Devices past the 100 the tables hold are not listed (and not counted), so
// that no caller walks past the tables.
void CMyWaveInCtrl::getWaveInDevList() {
    UINT n = waveInGetNumDevs();
    UINT kept = std::min<UINT>(n, kMaxDevices);
    for (UINT i = 0; i < kept; ++i) {
        WAVEINCAPSW caps{};
        if (waveInGetDevCapsW(i, &caps, sizeof caps) == MMSYSERR_NOERROR)
            wcsncpy_s(waveInNames[i], kNameChars, caps.szPname, _TRUNCATE);
        else
            waveInNames[i][0] = 0;
    }
    waveInCount = static_cast<int32_t>(kept);
}

void CMyWaveInCtrl::getWaveOutDevList() {
    UINT n = waveOutGetNumDevs();
    UINT kept = std::min<UINT>(n, kMaxDevices);
    for (UINT i = 0; i < kept; ++i) {
        WAVEOUTCAPSW caps{};
        if (waveOutGetDevCapsW(i, &caps, sizeof caps) == MMSYSERR_NOERROR)
            wcsncpy_s(waveOutNames[i], kNameChars, caps.szPname, _TRUNCATE);
        else
            waveOutNames[i][0] = 0;
    }
    waveOutCount = static_cast<int32_t>(kept);
}

void CMyWaveInCtrl::setWaveInDevId(unsigned int id) {
    waveInDevId = id;
}
void CMyWaveInCtrl::setWaveOutDevId(unsigned int id) {
    waveOutDevId = id;
}
unsigned int CMyWaveInCtrl::getCurWaveInDevId() {
    return waveInDevId;
}
unsigned int CMyWaveInCtrl::getCurWaveOutDevId() {
    return waveOutDevId;
}
int CMyWaveInCtrl::getWaveInDefaultDevId() {
    return -1;
}
int CMyWaveInCtrl::getWaveOutDefaultDevId() {
    return -1;
}

void CMyWaveInCtrl::Init() {
    // A second Init reopens instead of leaking the mixers it had.
    Uninit();
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = 22050;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 2;
    format.nAvgBytesPerSec = 44100;

    HWAVEIN in = nullptr;
    MMRESULT rc = MMSYSERR_BADDEVICEID;
    if (waveInDevId == WAVE_MAPPER) {
        rc = waveInOpen(&in, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL);
    } else {
        UINT n = waveInGetNumDevs();
        for (UINT id = waveInDevId; id < n && rc != MMSYSERR_NOERROR; ++id)
            rc = waveInOpen(&in, id, &format, 0, 0, CALLBACK_NULL);
    }
    if (rc == MMSYSERR_NOERROR) {
        UINT mixerId = 0;
        MMRESULT idRc =
            mixerGetID(reinterpret_cast<HMIXEROBJ>(in), &mixerId, MIXER_OBJECTF_HWAVEIN);
        waveInClose(in);
        if (idRc == MMSYSERR_NOERROR &&
            mixerOpen(&inMixer, mixerId, 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR)
            inMixer = nullptr;
    }

    HWAVEOUT out = nullptr;
    UINT outId = 0;
    if (waveOutOpen(&out, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) == MMSYSERR_NOERROR) {
        if (mixerGetID(reinterpret_cast<HMIXEROBJ>(out), &outId, MIXER_OBJECTF_HWAVEOUT) !=
            MMSYSERR_NOERROR)
            outId = 0;
        waveOutClose(out);
    }
    if (mixerOpen(&outMixer, outId, 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR)
        outMixer = nullptr;
}

void CMyWaveInCtrl::Uninit() {
    if (inMixer) mixerClose(inMixer);
    if (outMixer) mixerClose(outMixer);
    inMixer = nullptr;
    outMixer = nullptr;
}

void CMyWaveInCtrl::SetInXXXVolume(int volume) {
    MIXERCONTROLW control{};
    if (!inMixer) return;
    if ((inSourceLineId >= 0 &&
         volumeControl(inMixer, static_cast<DWORD>(inSourceLineId), control)) ||
        volumeControl(inMixer, static_cast<DWORD>(inDestLineId), control))
        setVolume(inMixer, control, channelCount(inChannels), volume);
}

int CMyWaveInCtrl::GetInXXXVolume() {
    MIXERCONTROLW control{};
    if (!inMixer) return -1;
    if ((inSourceLineId >= 0 &&
         volumeControl(inMixer, static_cast<DWORD>(inSourceLineId), control)) ||
        volumeControl(inMixer, static_cast<DWORD>(inDestLineId), control))
        return getVolume(inMixer, control, channelCount(inChannels));
    return -1;
}

void CMyWaveInCtrl::SetMasterVolume(int volume) {
    MIXERLINEW line;
    MIXERCONTROLW control{};
    if (speakersLine(outMixer, line) && volumeControl(outMixer, line.dwLineID, control))
        setVolume(outMixer, control, channelCount(static_cast<int>(line.cChannels)), volume);
}

int CMyWaveInCtrl::GetMasterVolume() {
    MIXERLINEW line;
    MIXERCONTROLW control{};
    if (speakersLine(outMixer, line) && volumeControl(outMixer, line.dwLineID, control))
        return getVolume(outMixer, control, channelCount(static_cast<int>(line.cChannels)));
    return -1;
}

template <class Pred>
bool CMyWaveInCtrl::FindSource(Pred wanted) {
    MIXERLINEW dest{};
    dest.cbStruct = sizeof dest;
    dest.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
    if (mixerGetLineInfoW(obj(inMixer), &dest,
                          MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) !=
        MMSYSERR_NOERROR)
        return false;
    inDestLineId = static_cast<int32_t>(dest.dwLineID);
    for (DWORD i = 0; i < dest.cConnections; ++i) {
        MIXERLINEW src{};
        src.cbStruct = sizeof src;
        src.dwDestination = dest.dwDestination;
        src.dwSource = i;
        if (mixerGetLineInfoW(obj(inMixer), &src,
                              MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_SOURCE) != MMSYSERR_NOERROR)
            return false;
        if (wanted(src)) {
            inSourceLineId = static_cast<int32_t>(src.dwLineID);
            inSourceIndex = static_cast<int32_t>(i);
            inChannels = static_cast<int32_t>(src.cChannels);
            // The multiplexer lists the sources in reverse order.
            muxItem = static_cast<int32_t>(dest.cConnections - i - 1);
            break;
        }
    }
    return true;
}

void CMyWaveInCtrl::SelectMicMode() {
    if (!inMixer) return;
    if (FindSource([](const MIXERLINEW& l) {
            return l.dwComponentType == MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE;
        }))
        SelectInXXXLine();
}

void CMyWaveInCtrl::SelectStereoMixMode() {
    if (!inMixer) return;
    if (FindSource([](const MIXERLINEW& l) {
            return l.dwComponentType == MIXERLINE_COMPONENTTYPE_SRC_ANALOG &&
                   (std::wcscmp(l.szName, L"立体声混音") == 0 ||
                    std::wcscmp(l.szName, L"Stereo Mixer") == 0);
        }))
        SelectInXXXLine();
}

void CMyWaveInCtrl::SelectInXXXLine() {
    MIXERCONTROLW mux{};
    MIXERLINECONTROLSW lc{};
    lc.cbStruct = sizeof lc;
    lc.dwLineID = static_cast<DWORD>(inDestLineId);
    lc.dwControlType = MIXERCONTROL_CONTROLTYPE_MUX;
    lc.cControls = 1;
    lc.cbmxctrl = sizeof mux;
    lc.pamxctrl = &mux;
    if (mixerGetLineControlsW(obj(inMixer), &lc,
                              MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) !=
        MMSYSERR_NOERROR)
        return;
    // A remembered item from another device may lie outside this multiplexer.
    if (mux.cMultipleItems == 0 || muxItem < 0 || static_cast<DWORD>(muxItem) >= mux.cMultipleItems)
        return;
    std::vector<MIXERCONTROLDETAILS_BOOLEAN> items(mux.cMultipleItems);
    MIXERCONTROLDETAILS d{};
    d.cbStruct = sizeof d;
    d.dwControlID = mux.dwControlID;
    d.cChannels = 1;
    d.cMultipleItems = mux.cMultipleItems;
    d.cbDetails = sizeof(MIXERCONTROLDETAILS_BOOLEAN);
    d.paDetails = items.data();
    if (mixerGetControlDetailsW(obj(inMixer), &d,
                                MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE) !=
        MMSYSERR_NOERROR)
        return;
    for (auto& item : items) item.fValue = 0;
    items[static_cast<size_t>(muxItem)].fValue = 1;
    mixerSetControlDetails(obj(inMixer), &d, MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE);
}
