#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

extern "C" {
#include <x264.h>
}

#include "frames.h"
#include "pindor/KorCodec4.h"

namespace {

constexpr int kW = 320;
constexpr int kH = 240;
constexpr int kFps = 15;

// Closes the encoder whatever the test did.
struct Encoder {
    CKorCodec4 codec;
    ~Encoder() {
        if (codec.opened) codec.EncodeClose();
    }
};

// NAL unit types in Annex B order.
std::vector<int> NalTypes(const uint8_t* p, int len) {
    std::vector<int> types;
    for (int i = 0; i + 3 < len; ++i) {
        if (p[i] == 0 && p[i + 1] == 0 && p[i + 2] == 1) {
            types.push_back(p[i + 3] & 0x1F);
            i += 3;
        }
    }
    return types;
}

uint32_t KeyFlag(const uint8_t* frame) {
    return frame[4] | frame[5] << 8 | frame[6] << 16 | static_cast<uint32_t>(frame[7]) << 24;
}

struct RateCase {
    int rcMode;
    int rate;
    int method;
    int qp;       // constant quantiser, when method is CQP
    int bitrate;  // kbit/s, when method is ABR
    int vbv;
};

class RateRules : public ::testing::TestWithParam<RateCase> {};

TEST_P(RateRules, GiveTheEncoderParameters) {
    const RateCase& c = GetParam();
    Encoder e;
    ASSERT_EQ(e.codec.EncodeInit(kW, kH, c.rcMode, c.rate, kFps, 1), 0);
    const x264_param_t& p = *e.codec.param;
    EXPECT_EQ(p.rc.i_rc_method, c.method);
    if (c.method == X264_RC_CQP) {
        EXPECT_EQ(p.rc.i_qp_constant, c.qp);
        EXPECT_EQ(p.rc.i_qp_min, 20);
        EXPECT_EQ(p.rc.i_qp_max, 40);
        EXPECT_EQ(p.rc.i_qp_step, 1);
    } else {
        EXPECT_EQ(p.rc.i_bitrate, c.bitrate);
        EXPECT_EQ(p.rc.i_vbv_max_bitrate, c.vbv);
        EXPECT_EQ(p.rc.i_vbv_buffer_size, c.vbv);
        EXPECT_FLOAT_EQ(p.rc.f_vbv_buffer_init, 0.5f);
        EXPECT_FLOAT_EQ(p.rc.f_rate_tolerance, 0.1f);
    }
    // Preset "medium" (three references, sub-pixel refinement 7) with the tune
    // "zerolatency" (no look-ahead, constant frame rate), fps / 1, silent.
    EXPECT_EQ(p.i_frame_reference, 3);
    EXPECT_EQ(p.analyse.i_subpel_refine, 7);
    EXPECT_EQ(p.rc.i_lookahead, 0);
    EXPECT_EQ(p.i_sync_lookahead, 0);
    EXPECT_EQ(p.b_vfr_input, 0);
    EXPECT_EQ(p.i_fps_num, static_cast<uint32_t>(kFps));
    EXPECT_EQ(p.i_fps_den, 1u);
    EXPECT_EQ(p.i_log_level, X264_LOG_NONE);
    EXPECT_EQ(p.i_width, kW);
    EXPECT_EQ(p.i_height, kH);
    EXPECT_EQ(p.i_frame_total, 0);
    // A key frame every second, baseline profile, one thread.
    EXPECT_EQ(p.i_keyint_max, kFps);
    EXPECT_EQ(p.i_keyint_min, kFps);
    EXPECT_EQ(p.i_bframe, 0);
    EXPECT_EQ(p.b_cabac, 0);
    EXPECT_EQ(p.i_threads, 1);
    EXPECT_EQ(p.b_repeat_headers, 1);
}

INSTANTIATE_TEST_SUITE_P(Table, RateRules,
                         ::testing::Values(RateCase{2, 32, X264_RC_CQP, 32, 0, 0},
                                           RateCase{2, 60, X264_RC_CQP, 50, 0, 0},
                                           RateCase{2, 10, X264_RC_CQP, 20, 0, 0},
                                           RateCase{1, 60000, X264_RC_ABR, 0, 45, 50},
                                           RateCase{1, 128000, X264_RC_ABR, 0, 107, 112}));

TEST(Encoder, SecondInitIsRefusedAndKeepsTheFirst) {
    Encoder e;
    ASSERT_EQ(e.codec.EncodeInit(kW, kH, 1, 128000, kFps, 1), 0);
    EXPECT_EQ(e.codec.EncodeInit(176, 144, 2, 30, 10, 0), -1);
    EXPECT_EQ(e.codec.width, kW);
    EXPECT_EQ(e.codec.height, kH);
    EXPECT_EQ(e.codec.inputFormat, 1);
    EXPECT_EQ(e.codec.param->rc.i_bitrate, 107);
    std::vector<uint8_t> frame = PatternFrame32(kW, kH, 0);
    EXPECT_GT(e.codec.Encode(kW, kH, frame.data(), static_cast<int>(frame.size())), 8);
}

TEST(Encoder, RefusesWhenNotOpenAndWhenTheEncoderDoesNotOpen) {
    Encoder e;
    std::vector<uint8_t> frame = PatternFrame32(kW, kH, 0);
    EXPECT_EQ(e.codec.Encode(kW, kH, frame.data(), 0), -2);
    EXPECT_EQ(e.codec.EncodeClose(), -1);
    EXPECT_EQ(e.codec.EncodeInit(0, 0, 1, 128000, kFps, 1), -2);
    EXPECT_EQ(e.codec.EncodeInit(321, 240, 1, 128000, kFps, 1), -2);  // 4:2:0 needs even sizes
    EXPECT_FALSE(e.codec.opened);
    // A later good configuration still opens.
    ASSERT_EQ(e.codec.EncodeInit(kW, kH, 1, 128000, kFps, 1), 0);
    ASSERT_EQ(e.codec.EncodeClose(), 0);
    EXPECT_EQ(e.codec.buffer, nullptr);
    EXPECT_EQ(e.codec.Encode(kW, kH, frame.data(), 0), -2);
}

TEST(Encoder, NarrowerSourceThanTheCodecIsRefused) {
    Encoder e;
    ASSERT_EQ(e.codec.EncodeInit(kW, kH, 1, 128000, kFps, 1), 0);
    std::vector<uint8_t> small = PatternFrame32(160, 120, 0);
    EXPECT_EQ(e.codec.Encode(160, 120, small.data(), static_cast<int>(small.size())), -1);
    EXPECT_EQ(e.codec.Encode(kW, kH, nullptr, 0), -1);
}

class KeyFrames : public ::testing::TestWithParam<int> {};

// The first frame is an IDR with SPS and PPS in front; then non-key frames until a second
// of frames has gone by. Both input formats.
TEST_P(KeyFrames, OneIdrPerSecondWithHeadersFirst) {
    const int format = GetParam();
    Encoder e;
    ASSERT_EQ(e.codec.EncodeInit(kW, kH, 1, 128000, kFps, format), 0);
    for (int n = 0; n <= kFps; ++n) {
        std::vector<uint8_t> frame = PatternFrame32(kW, kH, static_cast<uint32_t>(n));
        if (format != 1) {  // drop the fourth byte: 24-bit BGR
            std::vector<uint8_t> bgr;
            for (size_t i = 0; i < frame.size(); ++i)
                if (i % 4 != 3) bgr.push_back(frame[i]);
            frame.swap(bgr);
        }
        const int len = e.codec.Encode(kW, kH, frame.data(), static_cast<int>(frame.size()));
        ASSERT_GT(len, 8) << "frame " << n;
        // The frame counter doubles as the time stamp, in fps-denominator units.
        EXPECT_EQ(e.codec.param->i_frame_total, n + 1);
        EXPECT_EQ(e.codec.picture->i_pts, n + 1);
        const uint8_t* out = e.codec.buffer;
        EXPECT_EQ(out[0] | out[1] << 8, kW);
        EXPECT_EQ(out[2] | out[3] << 8, kH);
        const std::vector<int> types = NalTypes(out + 8, len - 8);
        ASSERT_FALSE(types.empty());
        // Annex B from the first byte after the header.
        EXPECT_EQ(out[8], 0);
        EXPECT_EQ(out[9], 0);
        if (n == 0 || n == kFps) {
            EXPECT_EQ(KeyFlag(out), 1u) << "frame " << n;
            ASSERT_GE(types.size(), 3u);
            EXPECT_EQ(types[0], 7);  // SPS
            EXPECT_EQ(types[1], 8);  // PPS
            EXPECT_NE(std::find(types.begin(), types.end(), 5), types.end());
        } else {
            EXPECT_EQ(KeyFlag(out), 0u) << "frame " << n;
            EXPECT_EQ(std::find(types.begin(), types.end(), 5), types.end()) << "frame " << n;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, KeyFrames, ::testing::Values(1, 0));

}  // namespace
