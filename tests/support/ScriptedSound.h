// A sound system a test scripts, for machines without a card: capture devices
// play a given PCM source into wave-in, playback devices record what wave-out
// plays, and cards carry mixers (capture sources in a given order, volumes, the
// selected source) as plain data. Installed with winplat::InstallSoundSystem.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "win32/soundsystem.h"

namespace mivora_test {

// How a device moves frames: at the sound's own pace, at once, or (playback only)
// not before the test releases each write.
enum class SoundPace { RealTime, Free, Held };

// A card's mixer and what was set on it.
struct ScriptedCard {
    winplat::CardMixer mixer;
    int selected = -1;
    std::vector<std::vector<uint32_t>> sourceVolumes;  // per source, per channel
    std::vector<uint32_t> captureVolume;
    std::vector<uint32_t> masterVolume;
};

class ScriptedSoundSystem : public winplat::SoundSystem {
public:
    // Fills `frames` interleaved 16-bit frames, `first` counting from the stream's start.
    using Source = std::function<void(int16_t* out, size_t frames, int channels, uint64_t first)>;
    // Frames one read returns when asked for `requested` (the n-th read of the stream).
    using ReadSize = std::function<size_t(uint64_t readIndex, size_t requested)>;

    struct Capture {
        std::wstring name;
        Source source;
        SoundPace pace = SoundPace::RealTime;
        ReadSize readSize;  // null: every read is whole
        int card = -1;      // the card whose mixer it belongs to
    };
    struct Playback {
        std::wstring name;
        SoundPace pace = SoundPace::RealTime;
        int card = -1;
        // False: only counted, no samples kept, so a long run's memory stays flat.
        bool keepPlayed = true;
    };

    ScriptedSoundSystem();
    ~ScriptedSoundSystem() override;

    int AddCapture(Capture device);
    int AddPlayback(Playback device);
    // A card with these sources (each with its own volume, channels given) and a
    // stereo master; volumes start at 0.
    int AddCard(const std::wstring& name, const std::vector<winplat::CaptureSource>& sources);
    static winplat::CaptureSource MakeSource(const std::wstring& name, winplat::SourceKind kind,
                                             int channels = 1, bool hasVolume = true);
    // What the card's mixer holds now.
    ScriptedCard CardState(int card) const;
    // Opens (and format queries) fail while set.
    void RefuseOpens(bool refuse);

    // What playback device `device` played, as 16-bit samples (the first 60 s kept,
    // none when it was added with keepPlayed false).
    std::vector<int16_t> Played(int device) const;
    size_t PlayedBytes(int device) const;
    size_t Writes(int device) const;
    int OpenStreams() const;
    // Lets `count` more held writes finish.
    void Release(size_t count);
    bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 10000) const;

    std::vector<winplat::SoundDevice> Devices(winplat::SoundDirection direction) override;
    int DefaultDevice(winplat::SoundDirection direction) override;
    std::unique_ptr<winplat::PcmStream> OpenStream(winplat::SoundDirection direction, int device,
                                                   const winplat::PcmFormat& format) override;
    int CardCount() override;
    bool Card(int card, winplat::CardMixer& out) override;
    int SelectedCaptureSource(int card) override;
    bool SelectCaptureSource(int card, int source) override;
    bool GetCaptureVolume(int card, int source, std::vector<uint32_t>& channels) override;
    bool SetCaptureVolume(int card, int source, const std::vector<uint32_t>& channels) override;
    bool GetMasterVolume(int card, std::vector<uint32_t>& channels) override;
    bool SetMasterVolume(int card, const std::vector<uint32_t>& channels) override;

    struct State;

private:
    std::shared_ptr<State> m_state;
};

// A sine tone of `hz` on both channels at 48000 Hz.
ScriptedSoundSystem::Source ToneSource(double hz, int amplitude = 8000, int rate = 48000);
// The frequency of the left channel of interleaved stereo PCM, by zero crossings.
double EstimateFrequency(const int16_t* samples, size_t frames, int rate = 48000);

}  // namespace mivora_test
