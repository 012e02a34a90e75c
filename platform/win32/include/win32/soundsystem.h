// The sound devices behind WINMM's wave and mixer functions. The default is the
// machine's ALSA cards; a test installs a scripted system of its own (cards,
// capture sources in a given order, volumes) where no card exists.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace winplat {

enum class SoundDirection { Capture, Playback };

// What a capture source is, as the mixer's component types tell it.
enum class SourceKind { Undefined, Microphone, Line, CompactDisc, Auxiliary, Analog, Digital };

// One wave-in or wave-out device.
struct SoundDevice {
    std::wstring name;  // product name (WINMM keeps 31 characters of it)
    int card = -1;      // index of its card's mixer, -1 when it has none
};

// One recording source of a card, in the card's own order.
struct CaptureSource {
    std::wstring name;
    SourceKind kind = SourceKind::Undefined;
    int channels = 2;
    bool hasVolume = false;  // a recording volume of its own
};

// A card's mixer as WINMM shows it: a speaker destination with the master volume,
// a recording destination with the sources to choose from.
struct CardMixer {
    std::wstring name;
    std::vector<CaptureSource> sources;
    int captureChannels = 0;  // the card-wide recording volume; 0 when there is none
    int masterChannels = 0;   // the master playback volume; 0 when there is none
};

struct PcmFormat {
    uint32_t rate = 0;
    uint16_t channels = 0;
    uint16_t bitsPerSample = 0;  // 8 (unsigned) or 16 (signed, little-endian)
};

// An open PCM stream of interleaved frames. Read and Write block until the
// frames moved; Stop (from any thread) makes a blocked or later call return 0.
class PcmStream {
public:
    virtual ~PcmStream() = default;
    virtual bool Start() = 0;
    // Frames moved, 0 once stopped, -1 on a device error.
    virtual long Read(void* frames, size_t count) = 0;
    virtual long Write(const void* frames, size_t count) = 0;
    virtual void Stop() = 0;
};

// Volumes are 0..65535 per channel. Every call may come from any thread.
class SoundSystem {
public:
    virtual ~SoundSystem() = default;

    // Wave devices in device order.
    virtual std::vector<SoundDevice> Devices(SoundDirection direction) = 0;
    // The device the wave mapper stands for; -1 when there is none.
    virtual int DefaultDevice(SoundDirection direction) = 0;
    // device -1 is the system default. Null when the device or format is refused.
    virtual std::unique_ptr<PcmStream> OpenStream(SoundDirection direction, int device,
                                                  const PcmFormat& format) = 0;

    // Mixers, one per card.
    virtual int CardCount() = 0;
    virtual bool Card(int card, CardMixer& out) = 0;
    // Index into the card's sources, -1 when none is selected.
    virtual int SelectedCaptureSource(int card) = 0;
    virtual bool SelectCaptureSource(int card, int source) = 0;
    // source -1 is the card-wide recording volume.
    virtual bool GetCaptureVolume(int card, int source, std::vector<uint32_t>& channels) = 0;
    virtual bool SetCaptureVolume(int card, int source, const std::vector<uint32_t>& channels) = 0;
    virtual bool GetMasterVolume(int card, std::vector<uint32_t>& channels) = 0;
    virtual bool SetMasterVolume(int card, const std::vector<uint32_t>& channels) = 0;
};

// The system WINMM uses: the installed one, else the ALSA system.
std::shared_ptr<SoundSystem> CurrentSoundSystem();
void InstallSoundSystem(std::shared_ptr<SoundSystem> system);
// Back to the ALSA system.
void RemoveSoundSystem();
std::shared_ptr<SoundSystem> CreateAlsaSoundSystem();
// The devices of a program run under test without a card, when the environment asks
// for them (MIVORA_TEST_SOUND_TONE=<hertz>, MIVORA_TEST_SOUND_PLAYED=<prefix>);
// null otherwise. The current system is these when they were asked for at its start.
std::shared_ptr<SoundSystem> CreateTestToneSoundSystemFromEnvironment();

}  // namespace winplat
