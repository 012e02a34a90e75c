// The machine's sound cards through ALSA: devices from the card and PCM lists,
// mixers from each card's simple mixer (capture sources, recording volume,
// master playback volume).
#include <alsa/asoundlib.h>

#include <atomic>
#include <cstring>
#include <mutex>

#include "win32/soundsystem.h"
#include "win32/text.h"

namespace winplat {
namespace {

std::vector<int> cardNumbers() {
    std::vector<int> cards;
    int card = -1;
    while (snd_card_next(&card) == 0 && card >= 0) cards.push_back(card);
    return cards;
}

struct DeviceEntry {
    SoundDevice device;
    int alsaCard = -1;
    int alsaDevice = -1;
};

std::vector<DeviceEntry> listDevices(SoundDirection dir) {
    std::vector<DeviceEntry> out;
    std::vector<int> cards = cardNumbers();
    for (size_t ci = 0; ci < cards.size(); ++ci) {
        std::string hw = "hw:" + std::to_string(cards[ci]);
        snd_ctl_t* ctl = nullptr;
        if (snd_ctl_open(&ctl, hw.c_str(), 0) < 0) continue;
        snd_ctl_card_info_t* cardInfo = nullptr;
        snd_ctl_card_info_malloc(&cardInfo);
        std::string cardName = hw;
        if (snd_ctl_card_info(ctl, cardInfo) >= 0) cardName = snd_ctl_card_info_get_name(cardInfo);
        snd_ctl_card_info_free(cardInfo);
        snd_pcm_info_t* info = nullptr;
        snd_pcm_info_malloc(&info);
        int dev = -1;
        while (snd_ctl_pcm_next_device(ctl, &dev) == 0 && dev >= 0) {
            snd_pcm_info_set_device(info, static_cast<unsigned>(dev));
            snd_pcm_info_set_subdevice(info, 0);
            snd_pcm_info_set_stream(info, dir == SoundDirection::Capture ? SND_PCM_STREAM_CAPTURE
                                                                         : SND_PCM_STREAM_PLAYBACK);
            if (snd_ctl_pcm_info(ctl, info) < 0) continue;
            DeviceEntry e;
            std::string pcmName = snd_pcm_info_get_name(info);
            e.device.name =
                Utf8ToWide(pcmName.empty() ? cardName : pcmName + " (" + cardName + ")");
            e.device.card = static_cast<int>(ci);
            e.alsaCard = cards[ci];
            e.alsaDevice = dev;
            out.push_back(e);
        }
        snd_pcm_info_free(info);
        snd_ctl_close(ctl);
    }
    return out;
}

class AlsaStream : public PcmStream {
public:
    AlsaStream(snd_pcm_t* pcm, size_t frameBytes, bool capture)
        : pcm_(pcm), frameBytes_(frameBytes), capture_(capture) {}
    ~AlsaStream() override { snd_pcm_close(pcm_); }

    bool Start() override {
        if (snd_pcm_prepare(pcm_) < 0) return false;
        return !capture_ || snd_pcm_start(pcm_) >= 0;
    }

    long Read(void* frames, size_t count) override {
        return transfer(count, [&](size_t done, size_t left) {
            return snd_pcm_readi(pcm_, static_cast<char*>(frames) + done * frameBytes_, left);
        });
    }

    long Write(const void* frames, size_t count) override {
        return transfer(count, [&](size_t done, size_t left) {
            return snd_pcm_writei(pcm_, static_cast<const char*>(frames) + done * frameBytes_,
                                  left);
        });
    }

    void Stop() override { stopped_ = true; }

private:
    // Waits in short steps so that Stop from another thread is seen.
    template <class Op>
    long transfer(size_t count, Op op) {
        size_t done = 0;
        while (done < count) {
            if (stopped_) return 0;
            // A capture stream delivers nothing until it runs (again, after a recovery).
            if (capture_ && snd_pcm_state(pcm_) == SND_PCM_STATE_PREPARED &&
                snd_pcm_start(pcm_) < 0)
                return -1;
            int ready = snd_pcm_wait(pcm_, 100);
            if (ready == 0) continue;
            snd_pcm_sframes_t n = ready < 0 ? ready : op(done, count - done);
            if (n == -EAGAIN) continue;
            if (n < 0) {
                if (snd_pcm_recover(pcm_, static_cast<int>(n), 1) < 0) return -1;
                continue;
            }
            done += static_cast<size_t>(n);
        }
        return static_cast<long>(done);
    }

    snd_pcm_t* pcm_;
    size_t frameBytes_;
    bool capture_;
    std::atomic<bool> stopped_{false};
};

// One card's simple mixer, open for the length of a call.
class Mixer {
public:
    explicit Mixer(int alsaCard) {
        std::string hw = "hw:" + std::to_string(alsaCard);
        if (snd_mixer_open(&m_, 0) < 0) {
            m_ = nullptr;
            return;
        }
        if (snd_mixer_attach(m_, hw.c_str()) < 0 ||
            snd_mixer_selem_register(m_, nullptr, nullptr) < 0 || snd_mixer_load(m_) < 0) {
            snd_mixer_close(m_);
            m_ = nullptr;
        }
    }
    ~Mixer() {
        if (m_) snd_mixer_close(m_);
    }
    bool ok() const { return m_ != nullptr; }

    snd_mixer_elem_t* find(const char* name) const {
        for (snd_mixer_elem_t* e = snd_mixer_first_elem(m_); e; e = snd_mixer_elem_next(e))
            if (snd_mixer_selem_is_active(e) && snd_mixer_selem_get_index(e) == 0 &&
                std::strcmp(snd_mixer_selem_get_name(e), name) == 0)
                return e;
        return nullptr;
    }
    snd_mixer_elem_t* first() const { return snd_mixer_first_elem(m_); }

private:
    snd_mixer_t* m_ = nullptr;
};

// The enumerated element that chooses the recording source, when the card has one.
snd_mixer_elem_t* sourceEnum(const Mixer& mx) {
    for (const char* n : {"Input Source", "Capture Source"}) {
        snd_mixer_elem_t* e = mx.find(n);
        if (e && snd_mixer_selem_is_enumerated(e)) return e;
    }
    return nullptr;
}

// Cards without such an element choose with the capture switches of the sources.
std::vector<snd_mixer_elem_t*> switchSources(const Mixer& mx) {
    std::vector<snd_mixer_elem_t*> out;
    for (snd_mixer_elem_t* e = mx.first(); e; e = snd_mixer_elem_next(e)) {
        if (!snd_mixer_selem_is_active(e) || !snd_mixer_selem_has_capture_switch(e)) continue;
        if (std::strcmp(snd_mixer_selem_get_name(e), "Capture") == 0) continue;
        out.push_back(e);
    }
    return out;
}

SourceKind kindOf(const std::string& name) {
    std::string n;
    for (char c : name) n += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (n.find("mix") != std::string::npos) return SourceKind::Analog;
    if (n.find("mic") != std::string::npos) return SourceKind::Microphone;
    if (n.find("line") != std::string::npos) return SourceKind::Line;
    if (n.find("cd") != std::string::npos) return SourceKind::CompactDisc;
    if (n.find("aux") != std::string::npos) return SourceKind::Auxiliary;
    if (n.find("iec958") != std::string::npos || n.find("spdif") != std::string::npos ||
        n.find("digital") != std::string::npos)
        return SourceKind::Digital;
    return SourceKind::Undefined;
}

// The name the program looks for when it chooses the stereo mix.
std::wstring shownName(const std::string& alsaName) {
    if (alsaName == "Stereo Mix") return L"Stereo Mixer";
    return Utf8ToWide(alsaName);
}

std::vector<std::string> sourceNames(const Mixer& mx) {
    std::vector<std::string> names;
    if (snd_mixer_elem_t* e = sourceEnum(mx)) {
        int items = snd_mixer_selem_get_enum_items(e);
        for (int i = 0; i < items; ++i) {
            char buf[128] = {0};
            snd_mixer_selem_get_enum_item_name(e, static_cast<unsigned>(i), sizeof buf - 1, buf);
            names.push_back(buf);
        }
    } else {
        for (snd_mixer_elem_t* e : switchSources(mx)) names.push_back(snd_mixer_selem_get_name(e));
    }
    return names;
}

snd_mixer_elem_t* masterElem(const Mixer& mx) {
    for (const char* n : {"Master", "PCM", "Speaker", "Headphone"}) {
        snd_mixer_elem_t* e = mx.find(n);
        if (e && snd_mixer_selem_has_playback_volume(e)) return e;
    }
    return nullptr;
}

snd_mixer_elem_t* captureVolumeElem(const Mixer& mx, int source) {
    if (source < 0) {
        snd_mixer_elem_t* e = mx.find("Capture");
        return e && snd_mixer_selem_has_capture_volume(e) ? e : nullptr;
    }
    std::vector<std::string> names = sourceNames(mx);
    if (static_cast<size_t>(source) >= names.size()) return nullptr;
    snd_mixer_elem_t* e = mx.find(names[static_cast<size_t>(source)].c_str());
    return e && snd_mixer_selem_has_capture_volume(e) ? e : nullptr;
}

const snd_mixer_selem_channel_id_t kChannels[2] = {SND_MIXER_SCHN_FRONT_LEFT,
                                                   SND_MIXER_SCHN_FRONT_RIGHT};

bool getVolume(snd_mixer_elem_t* e, bool capture, std::vector<uint32_t>& out) {
    if (!e) return false;
    long lo = 0, hi = 0;
    if ((capture ? snd_mixer_selem_get_capture_volume_range(e, &lo, &hi)
                 : snd_mixer_selem_get_playback_volume_range(e, &lo, &hi)) < 0 ||
        hi <= lo)
        return false;
    bool mono = capture ? snd_mixer_selem_is_capture_mono(e) : snd_mixer_selem_is_playback_mono(e);
    out.clear();
    for (int i = 0; i < (mono ? 1 : 2); ++i) {
        long v = 0;
        if ((capture ? snd_mixer_selem_get_capture_volume(e, kChannels[i], &v)
                     : snd_mixer_selem_get_playback_volume(e, kChannels[i], &v)) < 0)
            return false;
        out.push_back(static_cast<uint32_t>((v - lo) * 65535 / (hi - lo)));
    }
    return true;
}

bool setVolume(snd_mixer_elem_t* e, bool capture, const std::vector<uint32_t>& values) {
    if (!e || values.empty()) return false;
    long lo = 0, hi = 0;
    if ((capture ? snd_mixer_selem_get_capture_volume_range(e, &lo, &hi)
                 : snd_mixer_selem_get_playback_volume_range(e, &lo, &hi)) < 0 ||
        hi <= lo)
        return false;
    bool mono = capture ? snd_mixer_selem_is_capture_mono(e) : snd_mixer_selem_is_playback_mono(e);
    for (int i = 0; i < (mono ? 1 : 2); ++i) {
        uint32_t w = values[std::min<size_t>(static_cast<size_t>(i), values.size() - 1)];
        long v = lo + static_cast<long>((static_cast<long long>(w) * (hi - lo) + 32767) / 65535);
        if ((capture ? snd_mixer_selem_set_capture_volume(e, kChannels[i], v)
                     : snd_mixer_selem_set_playback_volume(e, kChannels[i], v)) < 0)
            return false;
    }
    return true;
}

int channelsOf(snd_mixer_elem_t* e, bool capture) {
    if (!e) return 0;
    return (capture ? snd_mixer_selem_is_capture_mono(e) : snd_mixer_selem_is_playback_mono(e)) ? 1
                                                                                                : 2;
}

class AlsaSoundSystem : public SoundSystem {
public:
    std::vector<SoundDevice> Devices(SoundDirection dir) override {
        std::lock_guard<std::mutex> g(lock_);
        std::vector<SoundDevice> out;
        for (const DeviceEntry& e : listDevices(dir)) out.push_back(e.device);
        return out;
    }

    int DefaultDevice(SoundDirection dir) override {
        std::lock_guard<std::mutex> g(lock_);
        return listDevices(dir).empty() ? -1 : 0;
    }

    std::unique_ptr<PcmStream> OpenStream(SoundDirection dir, int device,
                                          const PcmFormat& f) override {
        std::string name = "default";
        {
            std::lock_guard<std::mutex> g(lock_);
            if (device >= 0) {
                auto list = listDevices(dir);
                if (static_cast<size_t>(device) >= list.size()) return nullptr;
                const DeviceEntry& e = list[static_cast<size_t>(device)];
                // plughw converts rate and sample format as the wave mapper would.
                name = "plughw:" + std::to_string(e.alsaCard) + "," + std::to_string(e.alsaDevice);
            }
        }
        snd_pcm_t* pcm = nullptr;
        auto stream =
            dir == SoundDirection::Capture ? SND_PCM_STREAM_CAPTURE : SND_PCM_STREAM_PLAYBACK;
        // A busy device is refused at once instead of waited for.
        if (snd_pcm_open(&pcm, name.c_str(), stream, SND_PCM_NONBLOCK) < 0) return nullptr;
        snd_pcm_nonblock(pcm, 0);
        snd_pcm_format_t fmt = f.bitsPerSample == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
        if (snd_pcm_set_params(pcm, fmt, SND_PCM_ACCESS_RW_INTERLEAVED, f.channels, f.rate, 1,
                               100000) < 0) {
            snd_pcm_close(pcm);
            return nullptr;
        }
        return std::make_unique<AlsaStream>(pcm,
                                            static_cast<size_t>(f.channels) * (f.bitsPerSample / 8),
                                            dir == SoundDirection::Capture);
    }

    int CardCount() override {
        std::lock_guard<std::mutex> g(lock_);
        return static_cast<int>(cardNumbers().size());
    }

    bool Card(int card, CardMixer& out) override {
        std::lock_guard<std::mutex> g(lock_);
        int alsa = alsaCard(card);
        if (alsa < 0) return false;
        snd_ctl_t* ctl = nullptr;
        out = CardMixer();
        std::string hw = "hw:" + std::to_string(alsa);
        if (snd_ctl_open(&ctl, hw.c_str(), 0) >= 0) {
            snd_ctl_card_info_t* info = nullptr;
            snd_ctl_card_info_malloc(&info);
            if (snd_ctl_card_info(ctl, info) >= 0)
                out.name = Utf8ToWide(snd_ctl_card_info_get_name(info));
            snd_ctl_card_info_free(info);
            snd_ctl_close(ctl);
        }
        Mixer mx(alsa);
        if (!mx.ok()) return true;  // a card without a mixer: no controls
        std::vector<std::string> names = sourceNames(mx);
        for (size_t i = 0; i < names.size(); ++i) {
            CaptureSource s;
            s.name = shownName(names[i]);
            s.kind = kindOf(names[i]);
            snd_mixer_elem_t* vol = captureVolumeElem(mx, static_cast<int>(i));
            s.hasVolume = vol != nullptr;
            s.channels = vol ? channelsOf(vol, true) : 2;
            out.sources.push_back(s);
        }
        out.captureChannels = channelsOf(captureVolumeElem(mx, -1), true);
        out.masterChannels = channelsOf(masterElem(mx), false);
        return true;
    }

    int SelectedCaptureSource(int card) override {
        std::lock_guard<std::mutex> g(lock_);
        Mixer mx(alsaCard(card));
        if (!mx.ok()) return -1;
        if (snd_mixer_elem_t* e = sourceEnum(mx)) {
            unsigned item = 0;
            if (snd_mixer_selem_get_enum_item(e, SND_MIXER_SCHN_FRONT_LEFT, &item) < 0) return -1;
            return static_cast<int>(item);
        }
        std::vector<snd_mixer_elem_t*> list = switchSources(mx);
        for (size_t i = 0; i < list.size(); ++i) {
            int on = 0;
            if (snd_mixer_selem_get_capture_switch(list[i], SND_MIXER_SCHN_FRONT_LEFT, &on) >= 0 &&
                on)
                return static_cast<int>(i);
        }
        return -1;
    }

    bool SelectCaptureSource(int card, int source) override {
        std::lock_guard<std::mutex> g(lock_);
        Mixer mx(alsaCard(card));
        if (!mx.ok() || source < 0) return false;
        if (snd_mixer_elem_t* e = sourceEnum(mx)) {
            if (source >= snd_mixer_selem_get_enum_items(e)) return false;
            bool ok = snd_mixer_selem_set_enum_item(e, SND_MIXER_SCHN_FRONT_LEFT,
                                                    static_cast<unsigned>(source)) >= 0;
            snd_mixer_selem_set_enum_item(e, SND_MIXER_SCHN_FRONT_RIGHT,
                                          static_cast<unsigned>(source));
            return ok;
        }
        std::vector<snd_mixer_elem_t*> list = switchSources(mx);
        if (static_cast<size_t>(source) >= list.size()) return false;
        for (size_t i = 0; i < list.size(); ++i)
            if (static_cast<int>(i) != source) snd_mixer_selem_set_capture_switch_all(list[i], 0);
        return snd_mixer_selem_set_capture_switch_all(list[static_cast<size_t>(source)], 1) >= 0;
    }

    bool GetCaptureVolume(int card, int source, std::vector<uint32_t>& out) override {
        std::lock_guard<std::mutex> g(lock_);
        Mixer mx(alsaCard(card));
        return mx.ok() && getVolume(captureVolumeElem(mx, source), true, out);
    }

    bool SetCaptureVolume(int card, int source, const std::vector<uint32_t>& v) override {
        std::lock_guard<std::mutex> g(lock_);
        Mixer mx(alsaCard(card));
        return mx.ok() && setVolume(captureVolumeElem(mx, source), true, v);
    }

    bool GetMasterVolume(int card, std::vector<uint32_t>& out) override {
        std::lock_guard<std::mutex> g(lock_);
        Mixer mx(alsaCard(card));
        return mx.ok() && getVolume(masterElem(mx), false, out);
    }

    bool SetMasterVolume(int card, const std::vector<uint32_t>& v) override {
        std::lock_guard<std::mutex> g(lock_);
        Mixer mx(alsaCard(card));
        return mx.ok() && setVolume(masterElem(mx), false, v);
    }

private:
    static int alsaCard(int card) {
        std::vector<int> cards = cardNumbers();
        return card >= 0 && static_cast<size_t>(card) < cards.size()
                   ? cards[static_cast<size_t>(card)]
                   : -1;
    }

    std::mutex lock_;
};

}  // namespace

std::shared_ptr<SoundSystem> CreateAlsaSoundSystem() {
    return std::make_shared<AlsaSoundSystem>();
}

}  // namespace winplat
