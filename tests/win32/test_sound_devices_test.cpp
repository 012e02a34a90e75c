// The sound devices a program under test takes from the environment: a recording
// device that plays a steady tone and a playback device that keeps what it plays as
// WAV files, both at the sound's own pace.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "win32/soundsystem.h"

namespace {

using winplat::PcmFormat;
using winplat::SoundDirection;

uint32_t Le(const std::string& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + i]);
    return v;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class TestSoundDevices : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/mivora-sound-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        unsetenv("MIVORA_TEST_SOUND_TONE");
        unsetenv("MIVORA_TEST_SOUND_PLAYED");
        std::filesystem::remove_all(dir);
    }
    std::string dir;
};

TEST_F(TestSoundDevices, OnlyWhenTheEnvironmentAsks) {
    EXPECT_EQ(winplat::CreateTestToneSoundSystemFromEnvironment(), nullptr);
    setenv("MIVORA_TEST_SOUND_TONE", "", 1);
    EXPECT_EQ(winplat::CreateTestToneSoundSystemFromEnvironment(), nullptr);
    setenv("MIVORA_TEST_SOUND_TONE", "440", 1);
    auto sound = winplat::CreateTestToneSoundSystemFromEnvironment();
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->Devices(SoundDirection::Capture).size(), 1u);
    EXPECT_EQ(sound->Devices(SoundDirection::Playback).size(), 1u);
    EXPECT_EQ(sound->DefaultDevice(SoundDirection::Capture), 0);
    EXPECT_EQ(sound->CardCount(), 0);
}

TEST_F(TestSoundDevices, RefusesFormatsNoCardTakes) {
    setenv("MIVORA_TEST_SOUND_TONE", "440", 1);
    auto sound = winplat::CreateTestToneSoundSystemFromEnvironment();
    ASSERT_NE(sound, nullptr);
    const struct {
        int device;
        PcmFormat format;
    } refused[] = {{1, {48000, 2, 16}}, {0, {0, 2, 16}},     {0, {48000, 0, 16}},
                   {0, {48000, 2, 24}}, {0, {48000, 9, 16}}, {0, {400000, 2, 16}}};
    for (const auto& r : refused)
        EXPECT_EQ(sound->OpenStream(SoundDirection::Capture, r.device, r.format), nullptr)
            << r.device << " " << r.format.rate << " " << r.format.channels << " "
            << r.format.bitsPerSample;
    EXPECT_NE(sound->OpenStream(SoundDirection::Capture, -1, {22050, 1, 8}), nullptr);
}

TEST_F(TestSoundDevices, RecordsTheToneOnEveryChannel) {
    setenv("MIVORA_TEST_SOUND_TONE", "660", 1);
    auto sound = winplat::CreateTestToneSoundSystemFromEnvironment();
    ASSERT_NE(sound, nullptr);
    auto in = sound->OpenStream(SoundDirection::Capture, 0, {48000, 2, 16});
    ASSERT_NE(in, nullptr);
    ASSERT_TRUE(in->Start());
    std::vector<int16_t> pcm(24000 * 2);  // half a second
    ASSERT_EQ(in->Read(pcm.data(), 24000), 24000);
    size_t crossings = 0;
    for (size_t f = 1; f < 24000; ++f) {
        EXPECT_EQ(pcm[f * 2], pcm[f * 2 + 1]);
        crossings += (pcm[(f - 1) * 2] < 0) != (pcm[f * 2] < 0);
    }
    EXPECT_NEAR(crossings / 2.0 / 0.5, 660, 4);  // cycles in half a second
    // A stopped stream gives nothing more.
    in->Stop();
    EXPECT_EQ(in->Read(pcm.data(), 24000), 0);
}

TEST_F(TestSoundDevices, KeepsWhatEachPlaybackStreamPlays) {
    const std::string prefix = dir + "/played";
    setenv("MIVORA_TEST_SOUND_PLAYED", prefix.c_str(), 1);
    auto sound = winplat::CreateTestToneSoundSystemFromEnvironment();
    ASSERT_NE(sound, nullptr);
    auto first = sound->OpenStream(SoundDirection::Playback, -1, {22050, 1, 16});
    auto second = sound->OpenStream(SoundDirection::Playback, 0, {48000, 2, 16});
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    ASSERT_TRUE(second->Start());
    std::vector<int16_t> frames(480 * 2);
    for (size_t i = 0; i < frames.size(); ++i) frames[i] = static_cast<int16_t>(i * 37 - 9000);
    ASSERT_EQ(second->Write(frames.data(), 480), 480);
    ASSERT_EQ(second->Write(frames.data(), 480), 480);

    const std::string wav = ReadAll(prefix + "-2.wav");
    ASSERT_EQ(wav.size(), 44u + 2 * frames.size() * 2);
    EXPECT_EQ(wav.compare(0, 4, "RIFF"), 0);
    EXPECT_EQ(wav.compare(8, 8, "WAVEfmt "), 0);
    EXPECT_EQ(Le(wav, 4, 4), wav.size() - 8);
    EXPECT_EQ(Le(wav, 22, 2), 2u);
    EXPECT_EQ(Le(wav, 24, 4), 48000u);
    EXPECT_EQ(Le(wav, 28, 4), 48000u * 4);
    EXPECT_EQ(Le(wav, 32, 2), 4u);
    EXPECT_EQ(Le(wav, 34, 2), 16u);
    EXPECT_EQ(wav.compare(36, 4, "data"), 0);
    EXPECT_EQ(Le(wav, 40, 4), wav.size() - 44);
    EXPECT_EQ(std::memcmp(wav.data() + 44 + frames.size() * 2, frames.data(), frames.size() * 2),
              0);
    // The first stream played nothing: a header alone.
    EXPECT_EQ(ReadAll(prefix + "-1.wav").size(), 44u);
    // Recording devices are not playback devices.
    EXPECT_EQ(first->Read(frames.data(), 10), -1);
}

}  // namespace
