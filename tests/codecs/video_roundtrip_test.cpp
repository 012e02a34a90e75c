#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "frames.h"
#include "pindor/KorCodec4.h"
#include "pindor2/KorCodec5.h"

namespace {

constexpr int kW = 320;
constexpr int kH = 240;
constexpr int kFps = 15;

using Packet = std::vector<uint8_t>;

// Encoded frames of the test pattern with the room's capture settings.
std::vector<Packet> EncodePattern(int count) {
    CKorCodec4 enc;
    std::vector<Packet> frames;
    if (enc.EncodeInit(kW, kH, 1, 128000, kFps, 1) != 0) return frames;
    for (int n = 0; n < count; ++n) {
        std::vector<uint8_t> src = PatternFrame32(kW, kH, static_cast<uint32_t>(n));
        const int len = enc.Encode(kW, kH, src.data(), static_cast<int>(src.size()));
        if (len <= 8) break;
        frames.emplace_back(enc.buffer, enc.buffer + len);
    }
    enc.EncodeClose();
    return frames;
}

class VideoRoundTrip : public ::testing::Test {
protected:
    static void SetUpTestSuite() { frames_ = new std::vector<Packet>(EncodePattern(2 * kFps)); }
    static void TearDownTestSuite() {
        delete frames_;
        frames_ = nullptr;
    }
    void SetUp() override {
        ASSERT_EQ(frames_->size(), static_cast<size_t>(2 * kFps));
        ASSERT_EQ(dec_.DecodeInit(1), 0);
    }
    void TearDown() override { dec_.DecodeClose(); }

    // Decodes frame n the way the play stream does: payload after the header, with the
    // header's size to check against.
    int Decode(const Packet& p) {
        const int w = p[0] | p[1] << 8;
        const int h = p[2] | p[3] << 8;
        return dec_.Decode(p.data() + 8, static_cast<int>(p.size()) - 8, w, h);
    }

    static std::vector<Packet>* frames_;
    CKorCodec5 dec_;
};

std::vector<Packet>* VideoRoundTrip::frames_ = nullptr;

TEST_F(VideoRoundTrip, PatternComesBackWithSmallError) {
    double worst = 0;
    for (size_t n = 0; n < frames_->size(); ++n) {
        const int len = Decode((*frames_)[n]);
        ASSERT_EQ(len, kW * kH * 4) << "frame " << n;
        EXPECT_EQ(dec_.outWidth, kW);
        EXPECT_EQ(dec_.outHeight, kH);
        std::vector<uint8_t> src = PatternFrame32(kW, kH, static_cast<uint32_t>(n));
        const double mae =
            MeanAbsError(src.data(), reinterpret_cast<uint8_t*>(dec_.outBuffer), src.size());
        worst = std::max(worst, mae);
        // Alpha is opaque.
        EXPECT_EQ(static_cast<uint8_t>(dec_.outBuffer[3]), 255);
    }
    EXPECT_LT(worst, 8.0);
}

TEST_F(VideoRoundTrip, RefusesAHeaderSizeTheStreamDoesNotHave) {
    const Packet& idr = (*frames_)[0];
    EXPECT_EQ(dec_.Decode(idr.data() + 8, static_cast<int>(idr.size()) - 8, 176, 144), -3);
    EXPECT_EQ(dec_.Decode(idr.data() + 8, static_cast<int>(idr.size()) - 8, kW, 200), -3);
    // A header of size 0 is a size too, not a wildcard.
    EXPECT_EQ(dec_.Decode(idr.data() + 8, static_cast<int>(idr.size()) - 8, 0, 0), -3);
    EXPECT_EQ(dec_.Decode(idr.data() + 8, static_cast<int>(idr.size()) - 8, 0, kH), -3);
}

// Damaged packets give an error, never a picture read or written out of bounds; a good
// key frame afterwards decodes again.
TEST_F(VideoRoundTrip, DamagedPacketsAreErrors) {
    const Packet& idr = (*frames_)[0];
    const uint8_t* payload = idr.data() + 8;
    const int len = static_cast<int>(idr.size()) - 8;

    EXPECT_EQ(dec_.Decode(payload, 0), -1);
    EXPECT_EQ(dec_.Decode(nullptr, 100), -1);
    EXPECT_EQ(dec_.Decode(payload, -5), -1);
    EXPECT_LT(dec_.Decode(payload, len / 2), 0) << "truncated key frame";
    EXPECT_LT(dec_.Decode(payload, 20), 0) << "headers only";

    std::mt19937 rng(7);
    std::vector<uint8_t> noise(2000);
    for (uint8_t& b : noise) b = static_cast<uint8_t>(rng());
    EXPECT_LT(dec_.Decode(noise.data(), static_cast<int>(noise.size())), 0) << "noise";

    Packet corrupted(payload, payload + len);
    for (size_t i = corrupted.size() / 3; i < corrupted.size(); i += 7) corrupted[i] ^= 0x5A;
    EXPECT_LT(dec_.Decode(corrupted.data(), static_cast<int>(corrupted.size())), 0)
        << "corrupted slice";

    EXPECT_EQ(Decode(idr), kW * kH * 4);
}

// Every truncation of a key frame and scattered damage in the frames after it: each
// result is an error or a whole picture, and nothing is touched out of bounds.
TEST_F(VideoRoundTrip, SweepOfDamageNeverGivesAPartialPicture) {
    const Packet& idr = (*frames_)[0];
    for (int cut = 1; cut < static_cast<int>(idr.size()) - 8; cut += 13) {
        const int r = dec_.Decode(idr.data() + 8, cut);
        EXPECT_TRUE(r < 0 || r == kW * kH * 4) << "cut at " << cut << ": " << r;
    }
    std::mt19937 rng(11);
    for (size_t n = 0; n < frames_->size(); ++n) {
        Packet p((*frames_)[n].begin() + 8, (*frames_)[n].end());
        for (int k = 0; k < 3; ++k)
            p[8 + rng() % (p.size() - 8)] ^= static_cast<uint8_t>(1 + rng() % 255);
        const int r = dec_.Decode(p.data(), static_cast<int>(p.size()));
        EXPECT_TRUE(r < 0 || r == kW * kH * 4) << "frame " << n << ": " << r;
    }
    EXPECT_EQ(Decode(idr), kW * kH * 4);
}

// A sender that changes its play size starts again with a key frame of the new size.
TEST_F(VideoRoundTrip, FollowsAChangeOfPictureSize) {
    ASSERT_EQ(Decode((*frames_)[0]), kW * kH * 4);
    CKorCodec4 enc;
    ASSERT_EQ(enc.EncodeInit(224, 168, 2, 32, kFps, 1), 0);
    std::vector<uint8_t> src = PatternFrame32(kW, kH, 3);
    const int len = enc.Encode(kW, kH, src.data(), 0);  // wider rows: 224 pixels of each
    ASSERT_GT(len, 8);
    const Packet small(enc.buffer, enc.buffer + len);
    enc.EncodeClose();
    EXPECT_EQ(Decode(small), 224 * 168 * 4);
    EXPECT_EQ(dec_.outWidth, 224);
    EXPECT_EQ(Decode((*frames_)[kFps]), kW * kH * 4);  // and back at the next key frame
}

TEST_F(VideoRoundTrip, OpenCloseRules) {
    EXPECT_EQ(dec_.DecodeInit(1), -1);
    EXPECT_EQ(dec_.DecodeClose(), 0);
    EXPECT_EQ(dec_.DecodeClose(), -1);
    const Packet& idr = (*frames_)[0];
    EXPECT_EQ(dec_.Decode(idr.data() + 8, static_cast<int>(idr.size()) - 8), -2);
    ASSERT_EQ(dec_.DecodeInit(1), 0);
}

}  // namespace
