#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <vector>

#include "ScriptedSound.h"
#include "devices/WaveInCapture.h"
#include "devices/WaveOutPlay.h"

namespace {

using mivora_test::ScriptedSoundSystem;
using mivora_test::SoundPace;

// Installs a scripted sound system for the length of a test.
struct ScriptedSound {
    ScriptedSound() : system(std::make_shared<ScriptedSoundSystem>()) {
        winplat::InstallSoundSystem(system);
    }
    ~ScriptedSound() { winplat::RemoveSoundSystem(); }
    std::shared_ptr<ScriptedSoundSystem> system;
};

class Recorder : public RAVO::IAudioCaptureNotify {
public:
    void OnAudioFrameArrive(char* pcm, int len) override {
        std::lock_guard<std::mutex> g(mutex);
        buffers.emplace_back(pcm, pcm + len);
    }
    size_t count() {
        std::lock_guard<std::mutex> g(mutex);
        return buffers.size();
    }
    std::mutex mutex;
    std::vector<std::vector<char>> buffers;
};

std::vector<char> block(char fill) {
    return std::vector<char>(7680, fill);
}

TEST(WaveOut, StartsOnTheSeventhBufferAndRefusesTheThirtySixth) {
    ScriptedSound sound;
    const int out = sound.system->AddPlayback({L"Held speaker", SoundPace::Held});
    RAVO::CWaveOutPlay play;
    std::vector<char> pcm = block(1);
    EXPECT_EQ(play.Write(7680, pcm.data()), -1);  // not open
    ASSERT_EQ(play.Open(), 1);
    EXPECT_EQ(play.m_starved, 1);
    EXPECT_EQ(play.Write(7681, pcm.data()), -1);  // longer than a buffer
    sound.system->Release(1000);
    for (int i = 0; i < 6; ++i) ASSERT_EQ(play.Write(7680, pcm.data()), 7680);
    // Six queued and paused: the device takes none of them.
    EXPECT_FALSE(sound.system->WaitUntil([&] { return sound.system->Writes(out) > 0; }, 150));
    EXPECT_EQ(play.m_starved, 1);
    ASSERT_EQ(play.Write(7680, pcm.data()), 7680);  // the seventh restarts output
    EXPECT_TRUE(sound.system->WaitUntil([&] { return sound.system->Writes(out) == 7; }));
    EXPECT_TRUE(sound.system->WaitUntil([&] { return play.m_queued == 0; }));
    EXPECT_EQ(play.m_starved, 1);  // drained below 2: paused again at the next write
    play.Close();

    // With a device that takes nothing, the 36th buffer is dropped.
    ScriptedSound stuck;
    stuck.system->AddPlayback({L"Stuck speaker", SoundPace::Held});
    RAVO::CWaveOutPlay full;
    ASSERT_EQ(full.Open(), 1);
    for (int i = 0; i < 35; ++i) ASSERT_EQ(full.Write(7680, pcm.data()), 7680) << i;
    EXPECT_EQ(full.m_queued, 35);
    EXPECT_EQ(full.Write(7680, pcm.data()), -1);
    EXPECT_EQ(full.Close(), 0);
    EXPECT_EQ(full.m_queued, 0);
    EXPECT_EQ(stuck.system->OpenStreams(), 0);
}

TEST(WaveOut, PlaysWhatIsWrittenInOrder) {
    ScriptedSound sound;
    // Held until all are written: a device free to drain the seven that start output
    // before the eighth arrives leaves the player starved, and it pauses again.
    const int out = sound.system->AddPlayback({L"Speaker", SoundPace::Held});
    RAVO::CWaveOutPlay play;
    ASSERT_EQ(play.Open(), 1);
    for (int i = 0; i < 8; ++i) {
        std::vector<char> pcm = block(static_cast<char>(i + 1));
        ASSERT_EQ(play.Write(7680, pcm.data()), 7680);
    }
    sound.system->Release(8);
    ASSERT_TRUE(sound.system->WaitUntil([&] { return sound.system->Writes(out) == 8; }));
    std::vector<int16_t> played = sound.system->Played(out);
    ASSERT_EQ(played.size(), 8u * 3840u);
    EXPECT_EQ(played[0], 0x0101);
    EXPECT_EQ(played[7 * 3840], 0x0808);
    play.Close();
}

TEST(WaveOut, DeviceThatRefusesGivesZero) {
    ScriptedSound sound;
    sound.system->AddPlayback({L"Speaker", SoundPace::Free});
    sound.system->RefuseOpens(true);
    RAVO::CWaveOutPlay play;
    EXPECT_EQ(play.Open(), 0);
    std::vector<char> pcm = block(0);
    EXPECT_EQ(play.Write(7680, pcm.data()), -1);
}

TEST(WaveIn, DeviceTableAndNames) {
    ScriptedSound sound;
    sound.system->AddCapture({L"Line In", nullptr, SoundPace::Free, nullptr});
    sound.system->AddCapture({L"USB Mic", nullptr, SoundPace::Free, nullptr});
    RAVO::CWaveInCapture in;
    struct Case {
        const char* name;
        int id;
    } cases[] = {{"USB Mic", 1}, {"Line In", 0},  {"usb mic", -1},
                 {"", -1},       {"Nothing", -1}, {nullptr, -1}};
    for (const Case& c : cases)
        EXPECT_EQ(in.FindDevice(c.name), c.id) << (c.name ? c.name : "null");
    EXPECT_EQ(in.m_deviceCount, 2);
    EXPECT_EQ(in.m_enumerated, 1);
}

// A device whose reads come back short every third time: each buffer still arrives
// whole, padded with silence, in the order recorded.
TEST(WaveIn, ShortBuffersArrivePaddedToAFullBuffer) {
    ScriptedSound sound;
    sound.system->AddCapture(
        {L"Mic",
         [](int16_t* out, size_t frames, int channels, uint64_t) {
             for (size_t i = 0; i < frames * static_cast<size_t>(channels); ++i) out[i] = 0x1111;
         },
         SoundPace::RealTime,
         [](uint64_t n, size_t requested) { return n % 3 == 1 ? size_t(100) : requested; }});
    Recorder rec;
    RAVO::CWaveInCapture in;
    in.SetFormat(48000, 2, 16);
    in.SetFramesPerBuffer(1920);
    in.SetNotify(&rec);
    in.SetDeviceId(in.FindDevice("Unknown"));  // an unknown name: the default device
    ASSERT_EQ(in.Open(), 1);
    EXPECT_EQ(in.Open(), 1);
    EXPECT_EQ(in.m_bytesPerBuffer, 7680);
    ASSERT_TRUE(sound.system->WaitUntil([&] { return rec.count() >= 4; }));
    in.Close();
    EXPECT_EQ(in.m_running, 0);
    EXPECT_EQ(sound.system->OpenStreams(), 0);
    std::lock_guard<std::mutex> g(rec.mutex);
    for (const std::vector<char>& b : rec.buffers) ASSERT_EQ(b.size(), 7680u);
    const std::vector<char>& shortOne = rec.buffers[1];
    EXPECT_EQ(shortOne[0], 0x11);
    EXPECT_EQ(shortOne[399], 0x11);
    EXPECT_EQ(shortOne[400], 0);
    EXPECT_EQ(shortOne[7679], 0);
    EXPECT_EQ(rec.buffers[2][7679], 0x11);
}

TEST(WaveIn, RefusedFormatGivesZeroAndCloseIsQuiet) {
    ScriptedSound sound;
    sound.system->AddCapture({L"Mic", nullptr, SoundPace::Free, nullptr});
    sound.system->RefuseOpens(true);
    RAVO::CWaveInCapture in;
    in.SetFramesPerBuffer(1920);
    EXPECT_EQ(in.Open(), 0);
    EXPECT_EQ(in.Close(), 0);
}

}  // namespace
