#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "aurik/KorCodec6.h"
#include "aurik2/KorCodec7.h"

namespace {

constexpr int kRate = 48000;
constexpr int kChannels = 2;
constexpr int kFrame = 1920;  // 40 ms
constexpr int kFrameBytes = kFrame * kChannels * 2;

std::vector<int16_t> Tone(double hz, int frames) {
    std::vector<int16_t> pcm(static_cast<size_t>(frames) * kFrame * kChannels);
    for (size_t i = 0; i < pcm.size() / kChannels; ++i) {
        const double v = 12000.0 * std::sin(2 * M_PI * hz * static_cast<double>(i) / kRate);
        pcm[i * 2] = pcm[i * 2 + 1] = static_cast<int16_t>(v);
    }
    return pcm;
}

TEST(Opus, ToneKeepsItsFrequency) {
    CKorCodec6 enc;
    KorCodec7 dec;
    ASSERT_EQ(enc.EncodeInit(kRate, kChannels, 48000), 0);
    ASSERT_EQ(dec.DecodeInit(kRate, kChannels), 0);
    constexpr int kFrames = 25;
    const std::vector<int16_t> in = Tone(1000.0, kFrames);
    std::vector<int16_t> out;
    for (int f = 0; f < kFrames; ++f) {
        const int n =
            enc.Encode(in.data() + static_cast<size_t>(f) * kFrame * kChannels, kFrameBytes);
        ASSERT_GT(n, 0);
        EXPECT_EQ(n, enc.outSize);
        const int pcm = dec.Decode(enc.outBuffer, n);
        ASSERT_EQ(pcm, kFrameBytes);
        const int16_t* s = reinterpret_cast<const int16_t*>(dec.outBuffer);
        out.insert(out.end(), s, s + kFrame * kChannels);
    }
    // Skip the codec's start-up; count rising zero crossings of the left channel.
    const size_t start = 4 * kFrame;
    const size_t samples = out.size() / kChannels - start;
    int crossings = 0;
    double energy = 0;
    for (size_t i = start + 1; i < start + samples; ++i) {
        if (out[(i - 1) * 2] < 0 && out[i * 2] >= 0) ++crossings;
        energy += double(out[i * 2]) * out[i * 2];
    }
    const double hz = crossings * double(kRate) / double(samples);
    EXPECT_NEAR(hz, 1000.0, 15.0);
    const double rms = std::sqrt(energy / double(samples));
    EXPECT_GT(rms, 12000.0 / std::sqrt(2.0) * 0.5);  // the tone is not lost in the coding
}

TEST(Opus, EncoderRefusesWhatItCannotCode) {
    CKorCodec6 enc;
    const std::vector<int16_t> pcm = Tone(440.0, 1);
    EXPECT_EQ(enc.Encode(pcm.data(), kFrameBytes), -2);
    EXPECT_EQ(enc.EncodeClose(), -1);
    EXPECT_EQ(enc.EncodeInit(44100, kChannels, 48000), -2);
    ASSERT_EQ(enc.EncodeInit(kRate, kChannels, 32000), 0);
    EXPECT_EQ(enc.EncodeInit(kRate, kChannels, 64000), -1);
    EXPECT_EQ(enc.bitrate, 32000);
    for (int bad : {0, kFrameBytes - 2, kFrameBytes + 4, 1000, 3 * kFrameBytes})
        EXPECT_EQ(enc.Encode(pcm.data(), bad), -1) << bad << " bytes";
    EXPECT_EQ(enc.Encode(nullptr, kFrameBytes), -1);
    EXPECT_GT(enc.Encode(pcm.data(), kFrameBytes / 2), 0);  // 20 ms is an Opus frame too
    EXPECT_EQ(enc.EncodeClose(), 0);
}

TEST(Opus, DecoderRefusesEmptyAndDamagedPackets) {
    KorCodec7 dec;
    const uint8_t valid[] = {0xFC, 0xFF, 0xFE};  // a CELT frame of silence
    EXPECT_EQ(dec.Decode(valid, sizeof valid), -2);
    ASSERT_EQ(dec.DecodeInit(kRate, kChannels), 0);
    EXPECT_EQ(dec.DecodeInit(kRate, kChannels), -1);
    EXPECT_EQ(dec.Decode(valid, 0), -1);
    EXPECT_EQ(dec.Decode(nullptr, 10), -1);
    const uint8_t tooLong[] = {0xFF, 0xFF};  // 63 frames of 20 ms: beyond 120 ms
    EXPECT_EQ(dec.Decode(tooLong, sizeof tooLong), -1);
    const uint8_t noCount[] = {0x03};  // code 3 without its frame count
    EXPECT_EQ(dec.Decode(noCount, sizeof noCount), -1);
    EXPECT_EQ(dec.Decode(valid, sizeof valid), 960 * kChannels * 2);
}

}  // namespace
