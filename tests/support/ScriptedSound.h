// A sound system a test scripts, for machines without a card: capture devices
// play a given PCM source into wave-in, playback devices record what wave-out
// plays. Installed with winplat::InstallSoundSystem.
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
    };
    struct Playback {
        std::wstring name;
        SoundPace pace = SoundPace::RealTime;
    };

    ScriptedSoundSystem();
    ~ScriptedSoundSystem() override;

    int AddCapture(Capture device);
    int AddPlayback(Playback device);
    // Opens (and format queries) fail while set.
    void RefuseOpens(bool refuse);

    // What playback device `device` played, as 16-bit samples (the first 60 s kept).
    std::vector<int16_t> Played(int device) const;
    size_t PlayedBytes(int device) const;
    size_t Writes(int device) const;
    int OpenStreams() const;
    // Lets `count` more held writes finish.
    void Release(size_t count);
    bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 5000) const;

    std::vector<winplat::SoundDevice> Devices(winplat::SoundDirection direction) override;
    int DefaultDevice(winplat::SoundDirection direction) override;
    std::unique_ptr<winplat::PcmStream> OpenStream(winplat::SoundDirection direction, int device,
                                                   const winplat::PcmFormat& format) override;
    int CardCount() override { return 0; }
    bool Card(int, winplat::CardMixer&) override { return false; }
    int SelectedCaptureSource(int) override { return -1; }
    bool SelectCaptureSource(int, int) override { return false; }
    bool GetCaptureVolume(int, int, std::vector<uint32_t>&) override { return false; }
    bool SetCaptureVolume(int, int, const std::vector<uint32_t>&) override { return false; }
    bool GetMasterVolume(int, std::vector<uint32_t>&) override { return false; }
    bool SetMasterVolume(int, const std::vector<uint32_t>&) override { return false; }

    struct State;

private:
    std::shared_ptr<State> m_state;
};

// A sine tone of `hz` on both channels at 48000 Hz.
ScriptedSoundSystem::Source ToneSource(double hz, int amplitude = 8000, int rate = 48000);
// The frequency of the left channel of interleaved stereo PCM, by zero crossings.
double EstimateFrequency(const int16_t* samples, size_t frames, int rate = 48000);

}  // namespace mivora_test
