#include "scripted_sound_system.h"

#include <atomic>

namespace testsupport {
namespace {

// A stream that moves silence and counts nothing: the mixer tests only open and close.
class SilentStream : public winplat::PcmStream {
public:
    bool Start() override { return true; }
    long Read(void*, size_t count) override { return stopped_ ? 0 : static_cast<long>(count); }
    long Write(const void*, size_t count) override {
        return stopped_ ? 0 : static_cast<long>(count);
    }
    void Stop() override { stopped_ = true; }

private:
    std::atomic<bool> stopped_{false};
};

}  // namespace

winplat::CaptureSource ScriptedSoundSystem::source(const std::wstring& name,
                                                   winplat::SourceKind kind, int channels,
                                                   bool hasVolume) {
    winplat::CaptureSource s;
    s.name = name;
    s.kind = kind;
    s.channels = channels;
    s.hasVolume = hasVolume;
    return s;
}

int ScriptedSoundSystem::addCard(const std::wstring& name,
                                 const std::vector<winplat::CaptureSource>& sources) {
    std::lock_guard<std::mutex> g(lock);
    ScriptedCard c;
    c.mixer.name = name;
    c.mixer.sources = sources;
    c.mixer.captureChannels = 2;
    c.mixer.masterChannels = 2;
    for (const auto& s : sources) c.sourceVolumes.emplace_back(static_cast<size_t>(s.channels), 0u);
    c.captureVolume.assign(2, 0);
    c.masterVolume.assign(2, 0);
    cards.push_back(c);
    return static_cast<int>(cards.size()) - 1;
}

std::vector<winplat::SoundDevice> ScriptedSoundSystem::Devices(winplat::SoundDirection d) {
    std::lock_guard<std::mutex> g(lock);
    return d == winplat::SoundDirection::Capture ? captureDevices : playbackDevices;
}

int ScriptedSoundSystem::DefaultDevice(winplat::SoundDirection d) {
    std::lock_guard<std::mutex> g(lock);
    return (d == winplat::SoundDirection::Capture ? captureDevices : playbackDevices).empty() ? -1
                                                                                              : 0;
}

std::unique_ptr<winplat::PcmStream> ScriptedSoundSystem::OpenStream(winplat::SoundDirection, int,
                                                                    const winplat::PcmFormat&) {
    std::lock_guard<std::mutex> g(lock);
    if (refuseStreams) return nullptr;
    ++streamsOpened;
    return std::make_unique<SilentStream>();
}

int ScriptedSoundSystem::CardCount() {
    std::lock_guard<std::mutex> g(lock);
    return static_cast<int>(cards.size());
}

bool ScriptedSoundSystem::Card(int card, winplat::CardMixer& out) {
    std::lock_guard<std::mutex> g(lock);
    if (card < 0 || card >= static_cast<int>(cards.size())) return false;
    out = cards[static_cast<size_t>(card)].mixer;
    return true;
}

int ScriptedSoundSystem::SelectedCaptureSource(int card) {
    std::lock_guard<std::mutex> g(lock);
    if (card < 0 || card >= static_cast<int>(cards.size())) return -1;
    return cards[static_cast<size_t>(card)].selected;
}

bool ScriptedSoundSystem::SelectCaptureSource(int card, int source) {
    std::lock_guard<std::mutex> g(lock);
    if (card < 0 || card >= static_cast<int>(cards.size())) return false;
    ScriptedCard& c = cards[static_cast<size_t>(card)];
    if (source < 0 || source >= static_cast<int>(c.mixer.sources.size())) return false;
    c.selected = source;
    return true;
}

std::vector<uint32_t>* ScriptedSoundSystem::volume(int card, int source) {
    if (card < 0 || card >= static_cast<int>(cards.size())) return nullptr;
    ScriptedCard& c = cards[static_cast<size_t>(card)];
    if (source < 0) return c.mixer.captureChannels > 0 ? &c.captureVolume : nullptr;
    if (source >= static_cast<int>(c.mixer.sources.size()) ||
        !c.mixer.sources[static_cast<size_t>(source)].hasVolume)
        return nullptr;
    return &c.sourceVolumes[static_cast<size_t>(source)];
}

bool ScriptedSoundSystem::GetCaptureVolume(int card, int source, std::vector<uint32_t>& out) {
    std::lock_guard<std::mutex> g(lock);
    auto* v = volume(card, source);
    if (!v) return false;
    out = *v;
    return true;
}

bool ScriptedSoundSystem::SetCaptureVolume(int card, int source, const std::vector<uint32_t>& in) {
    std::lock_guard<std::mutex> g(lock);
    auto* v = volume(card, source);
    if (!v) return false;
    *v = in;
    return true;
}

bool ScriptedSoundSystem::GetMasterVolume(int card, std::vector<uint32_t>& out) {
    std::lock_guard<std::mutex> g(lock);
    if (card < 0 || card >= static_cast<int>(cards.size()) ||
        cards[static_cast<size_t>(card)].mixer.masterChannels == 0)
        return false;
    out = cards[static_cast<size_t>(card)].masterVolume;
    return true;
}

bool ScriptedSoundSystem::SetMasterVolume(int card, const std::vector<uint32_t>& in) {
    std::lock_guard<std::mutex> g(lock);
    if (card < 0 || card >= static_cast<int>(cards.size()) ||
        cards[static_cast<size_t>(card)].mixer.masterChannels == 0)
        return false;
    cards[static_cast<size_t>(card)].masterVolume = in;
    return true;
}

}  // namespace testsupport
