// A sound system of a test's own making: wave devices, cards with capture
// sources in a given order, volumes and the selected source, all as plain data
// the test sets and reads back.
#pragma once

#include <mutex>

#include "win32/soundsystem.h"

namespace testsupport {

struct ScriptedCard {
    winplat::CardMixer mixer;
    int selected = -1;
    std::vector<std::vector<uint32_t>> sourceVolumes;  // per source, per channel
    std::vector<uint32_t> captureVolume;
    std::vector<uint32_t> masterVolume;
};

class ScriptedSoundSystem : public winplat::SoundSystem {
public:
    // Everything below is guarded by `lock` while the layer may use the system.
    std::mutex lock;
    std::vector<winplat::SoundDevice> captureDevices;
    std::vector<winplat::SoundDevice> playbackDevices;
    std::vector<ScriptedCard> cards;
    bool refuseStreams = false;
    int streamsOpened = 0;

    // A card with these sources (each with its own volume, channels given) and a
    // stereo master; volumes start at 0.
    int addCard(const std::wstring& name, const std::vector<winplat::CaptureSource>& sources);
    static winplat::CaptureSource source(const std::wstring& name, winplat::SourceKind kind,
                                         int channels = 1, bool hasVolume = true);

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

private:
    std::vector<uint32_t>* volume(int card, int source);
};

}  // namespace testsupport
