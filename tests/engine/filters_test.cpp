#include <gtest/gtest.h>

#include <cstring>

#include "engine_test_util.h"
#include "filters/CaptureSources.h"
#include "filters/CodecFilters.h"
#include "filters/SamplerGrab.h"
#include "filters/SourceRTP.h"
#include "rtp/RTPDefs.h"

namespace {

using engine_test::GrabRecorder;
using engine_test::SinkFilter;
using engine_test::waitFor;

TEST(BaseFilter, SinkListRules) {
    RAVO::CAVBaseFilter head;
    SinkFilter a, b;
    EXPECT_EQ(head.add_sink(&a), 0);
    EXPECT_EQ(head.add_sink(&a), -1);  // the same sink twice
    EXPECT_EQ(head.add_sink(&b), 0);
    EXPECT_EQ(head.del_sink(&b), 0);
    EXPECT_EQ(head.del_sink(&b), -1);
    EXPECT_EQ(head.add_ref(), 2);
    EXPECT_EQ(head.release_ref(), 1);
    EXPECT_EQ(head.release_ref(), 0);  // only counts
    // The base passes nothing on; a grabber fans out to every sink once.
    char byte = 7;
    EXPECT_EQ(head.out_sample(1, 2, 3, &byte, 1, 0, 0), 0);
    EXPECT_EQ(a.count(), 0u);

    RAVO::CSamplerGrabVideo grab;
    EXPECT_EQ(grab.add_sink(&a), 0);
    EXPECT_EQ(grab.add_sink(&a), -1);
    EXPECT_EQ(grab.add_sink(&b), 0);
    grab.in_sample(1001, 99, 40, &byte, 1, 320, 240);
    ASSERT_EQ(a.count(), 1u);
    ASSERT_EQ(b.count(), 1u);
    EXPECT_EQ(a.samples()[0].p1, 320);
    EXPECT_EQ(a.samples()[0].ts, 40u);
}

TEST(Grabbers, CallBackGetsModeAndValuesThenSamplePassesOn) {
    GrabRecorder rec;
    SinkFilter sink;
    RAVO::CSamplerGrabVideo video;
    RAVO::CSampleGrabAudio audio;
    video.add_sink(&sink);
    audio.add_sink(&sink);
    char data[16] = {1, 2, 3};
    video.in_sample(5, 99, 0, data, 16, 4, 1);  // no callback yet: only passed on
    video.setCallBack(&rec);
    video.setParam1(GRAB_MODE_PLAY);
    audio.setCallBack(&rec);
    audio.setParam1(GRAB_MODE_CAPTURE);
    video.in_sample(5, 99, 0, data, 16, 4, 1);
    audio.in_sample(6, 97, 0, data, 8, 0, 0);
    ASSERT_EQ(rec.video().size(), 1u);
    ASSERT_EQ(rec.audio().size(), 1u);
    EXPECT_EQ(rec.video()[0].mode, GRAB_MODE_PLAY);
    EXPECT_EQ(rec.video()[0].p1, 4);
    EXPECT_EQ(rec.audio()[0].mode, GRAB_MODE_CAPTURE);
    EXPECT_EQ(rec.audio()[0].id, 6);
    EXPECT_EQ(sink.count(), 3u);
}

TEST(Resampler, SameSizePassesTheFrameItselfOtherSizeIsScaled) {
    SinkFilter sink;
    RAVO::CResamplerVideo same, smaller;
    same.add_sink(&sink);
    smaller.add_sink(&sink);
    same.init(320, 240, 320, 240);
    smaller.init(320, 240, 160, 120);
    std::vector<unsigned char> f = engine_test::patternFrame(320, 240, 0);
    char* p = reinterpret_cast<char*>(f.data());
    same.in_sample(1, 99, 10, p, static_cast<int>(f.size()), 320, 240);
    smaller.in_sample(1, 99, 20, p, static_cast<int>(f.size()), 320, 240);
    same.in_sample(1, 99, 30, p, 100, 320, 240);  // not a whole frame: dropped
    ASSERT_EQ(sink.count(), 2u);
    EXPECT_EQ(sink.pointers()[0], p);
    EXPECT_EQ(sink.samples()[0].len, 320 * 240 * 4);
    EXPECT_EQ(sink.samples()[1].len, 160 * 120 * 4);
    EXPECT_EQ(sink.samples()[1].p1, 160);
    EXPECT_EQ(sink.samples()[1].p2, 120);
}

TEST(Encoders, VideoPassesEncoderResultEvenNegativeAudioOnlyPackets) {
    SinkFilter sink;
    RAVO::CVideoEncoderFilter video;
    video.add_sink(&sink);
    char frame[16] = {};
    video.in_sample(1, 99, 10, frame, 16, 0, 0);  // not opened: -2 passed on
    ASSERT_EQ(sink.count(), 1u);
    EXPECT_EQ(sink.samples()[0].len, -2);
    ASSERT_EQ(video.init(160, 120, 1, 64000, 15), 0);
    std::vector<unsigned char> f = engine_test::patternFrame(160, 120, 0);
    video.in_sample(1, 99, 20, reinterpret_cast<char*>(f.data()), static_cast<int>(f.size()), 0, 0);
    ASSERT_EQ(sink.count(), 2u);
    EXPECT_GT(sink.samples()[1].len, 8);
    EXPECT_EQ(engine_test::keyFlag(sink.samples()[1].data), 1u);

    SinkFilter audioSink;
    RAVO::CAudioEncoderFilter audio;
    audio.add_sink(&audioSink);
    std::vector<char> pcm(7680, 0);
    audio.in_sample(1, 97, 10, pcm.data(), 7680, 0, 0);  // not opened: nothing
    ASSERT_EQ(audio.init(48000, 2, 48000), 0);
    audio.in_sample(1, 97, 20, pcm.data(), 100, 0, 0);  // a block of another length
    audio.in_sample(1, 97, 30, pcm.data(), 7680, 0, 0);
    ASSERT_EQ(audioSink.count(), 1u);
    EXPECT_EQ(audioSink.samples()[0].ts, 30u);
}

TEST(CaptureSource, ShareFlagClearReachesNoGrabberNorEncoder) {
    GrabRecorder rec;
    SinkFilter sink;
    RAVO::CSourceAvBuf source;
    RAVO::CSamplerGrabVideo grab;
    grab.setCallBack(&rec);
    source.add_sink(&grab);
    grab.add_sink(&sink);
    EXPECT_EQ(source.stop(), -1);  // never started
    ASSERT_EQ(source.start(), 0);
    EXPECT_EQ(source.start(), -1);
    char data[32] = {};
    for (int i = 0; i < 5; ++i) source.in_sample(1, 99, 10u * i, data, 32, 0, 0);
    ASSERT_TRUE(waitFor([&] { return source.queued() == 0; }));
    EXPECT_EQ(rec.videoCount(), 0u);
    EXPECT_EQ(sink.count(), 0u);
    ASSERT_EQ(source.stop(), 0);  // no sample is half-way through when the flag turns
    source.set_sharedata(1);
    ASSERT_EQ(source.start(), 0);
    EXPECT_EQ(source.is_sharedata(), 1);
    for (int i = 0; i < 3; ++i) source.in_sample(1, 99, 100u + i, data, 32, 0, 0);
    source.in_sample(1, 99, 200, data, 0, 0, 0);  // empty samples are not passed on
    ASSERT_TRUE(waitFor([&] { return sink.count() == 3; }));
    EXPECT_EQ(source.stop(), 0);
    EXPECT_EQ(source.stop(), -1);
    EXPECT_EQ(rec.videoCount(), 3u);
}

// Frames of a camera delivering 30 per second into a source asking for 15, on the
// manual clock: half reach the chain, the timestamp moves for every one.
TEST(CaptureSource, CameraRateLimitAndPixelExpansion) {
    winplat::InstallManualClock(1700000000);
    winplat::AdvanceManualClock(100000);
    SinkFilter sink;
    RAVO::CSourceVideoCapBuf source;
    source.m_ssrc = 1001;
    source.m_cameraConfig.fps = 15;
    int32_t w = 4, h = 2;
    std::memcpy(source.m_videoFormat + 4, &w, 4);
    std::memcpy(source.m_videoFormat + 8, &h, 4);
    source.add_sink(&sink);
    source.set_sharedata(1);
    ASSERT_EQ(source.start(), 0);
    uint8_t rgb24[4 * 2 * 3];
    for (int i = 0; i < 24; ++i) rgb24[i] = static_cast<uint8_t>(i);
    for (int i = 0; i < 30; ++i) {
        source.OnVideoFrameArrive(rgb24, sizeof(rgb24));
        winplat::AdvanceManualClock(i % 3 == 2 ? 34 : 33);
    }
    source.OnVideoFrameArrive(rgb24, 10);  // shorter than its format: not taken
    ASSERT_TRUE(waitFor([&] { return sink.count() >= 15 && source.queued() == 0; }));
    source.stop();
    winplat::RemoveManualClock();
    std::vector<engine_test::Sample> got = sink.samples();
    ASSERT_EQ(got.size(), 15u);
    EXPECT_EQ(got[1].ts - got[0].ts, 20u);  // every second camera frame, 10 each
    EXPECT_EQ(got[0].id, 1001);
    EXPECT_EQ(got[0].type, RTP_PT_VIDEO);
    EXPECT_EQ(got[0].len, 4 * 2 * 4);
    EXPECT_EQ(got[0].p1, 4);
    EXPECT_EQ(got[0].p2, 2);
    const char expect[8] = {0, 1, 2, char(255), 3, 4, 5, char(255)};
    EXPECT_EQ(std::memcmp(got[0].data.data(), expect, 8), 0);
}

TEST(SourceRTP, FramesGoToBothManagersWithTheLossFlag) {
    SinkFilter a, b;
    RAVO::CSourceRTP source;
    source.add_sink(&a);
    source.add_sink(&b);
    EXPECT_EQ(source.start(), 0);  // no session: nothing to start
    RAVO::_rtp_frame frame{};
    frame.ts = 777;
    frame.loss = 1;
    char data[5] = {1, 2, 3, 4, 5};
    source.OnGetRtpFrame(1001, 99, data, 5, &frame);
    ASSERT_EQ(a.count(), 1u);
    ASSERT_EQ(b.count(), 1u);
    EXPECT_EQ(a.samples()[0].ts, 777u);
    EXPECT_EQ(a.samples()[0].p1, 1);
    EXPECT_EQ(a.samples()[0].len, 5);
}

}  // namespace
