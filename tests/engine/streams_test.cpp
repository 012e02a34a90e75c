#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine_test_util.h"
#include "aurik/KorCodec6.h"
#include "filters/SamplerGrab.h"
#include "streams/StreamManagers.h"

namespace {

using engine_test::GrabRecorder;
using engine_test::waitFor;
using RAVO::CVideoStream;

const int kUser = 1001;

std::vector<std::vector<char>>& frames() {
    static std::vector<std::vector<char>> f = engine_test::encodedFrames(160, 120, 20, 10);
    return f;
}

struct VideoRig {
    VideoRig() {
        grab.setCallBack(&rec);
        grab.setParam1(GRAB_MODE_PLAY);
        manager.add_sink(&grab);
    }
    void feed(size_t index, int loss) {
        std::vector<char>& f = frames().at(index);
        manager.in_sample(kUser, 99, static_cast<unsigned>(index), f.data(),
                          static_cast<int>(f.size()), loss, 0);
    }
    // Runs the stream's passes by hand until its queue is empty.
    void drain() {
        CVideoStream* s = manager.find_stream(kUser);
        while (s && s->queued() > 0) s->proc_sample();
    }
    GrabRecorder rec;
    RAVO::CSamplerGrabVideo grab;
    RAVO::CVideoStreamManager manager;
};

TEST(VideoStream, WaitsForKeyFrameAfterCreationAndAfterLoss) {
    ASSERT_GE(frames().size(), 20u);
    ASSERT_EQ(engine_test::keyFlag(frames()[0]), 1u);
    size_t key = 1;  // the second key frame
    while (key < frames().size() && engine_test::keyFlag(frames()[key]) == 0) ++key;
    ASSERT_GE(key, 5u);
    ASSERT_LT(key + 3, frames().size());
    VideoRig rig;
    rig.feed(0, 0);  // no stream yet: nothing is queued
    CVideoStream* s = rig.manager.add_stream(kUser);
    EXPECT_EQ(rig.manager.add_stream(kUser), s);
    EXPECT_EQ(s->m_waitForIDR, 1);
    for (size_t i = 1; i < 5; ++i) rig.feed(i, 0);
    rig.drain();
    EXPECT_EQ(rig.rec.videoCount(), 0u);  // only non-key frames so far
    rig.feed(key, 0);
    rig.feed(key + 1, 0);
    rig.drain();
    EXPECT_EQ(rig.rec.videoCount(), 2u);
    // A lost frame makes the stream wait again; non-key frames are thrown away.
    rig.feed(key + 2, 1);
    rig.feed(key + 3, 0);
    rig.drain();
    EXPECT_EQ(rig.rec.videoCount(), 2u);
    EXPECT_EQ(s->m_waitForIDR, 1);
    // A key frame that itself came with loss is decoded at once.
    rig.feed(0, 1);
    rig.drain();
    EXPECT_EQ(rig.rec.videoCount(), 3u);
    std::vector<GrabRecorder::Grab> got = rig.rec.video();
    EXPECT_EQ(got[0].p1, 160);
    EXPECT_EQ(got[0].p2, 120);
    EXPECT_EQ(got[0].len, 160 * 120 * 4);
    EXPECT_EQ(got[0].mode, GRAB_MODE_PLAY);
    EXPECT_EQ(got[0].id, kUser);
}

TEST(VideoStream, OneFramePerPassMutedAndMalformedFramesDropped) {
    VideoRig rig;
    CVideoStream* s = rig.manager.add_stream(kUser);
    for (size_t i = 0; i < 3; ++i) rig.feed(i, 0);
    char shortFrame[5] = {};
    rig.manager.in_sample(kUser, 99, 9, shortFrame, 5, 0, 0);
    rig.manager.in_sample(kUser, 97, 9, shortFrame, 5, 0, 0);  // audio: not for this manager
    EXPECT_EQ(s->queued(), 4u);
    s->proc_sample();
    EXPECT_EQ(rig.rec.videoCount(), 1u);
    EXPECT_EQ(s->queued(), 3u);
    s->proc_sample();
    s->proc_sample();
    s->proc_sample();  // the short one: dropped
    EXPECT_EQ(rig.rec.videoCount(), 3u);
    EXPECT_EQ(s->queued(), 0u);
    rig.manager.mute_stream(kUser, 1);
    rig.feed(3, 0);
    EXPECT_EQ(s->queued(), 0u);  // a muted stream queues nothing
}

TEST(AudioStream, MuteAndMuteAllDropWhatArrivesUnmuteResumes) {
    CKorCodec6 enc;
    ASSERT_EQ(enc.EncodeInit(48000, 2, 48000), 0);
    std::vector<char> pcm(7680, 0);
    const int n = enc.Encode(pcm.data(), 7680);
    ASSERT_GT(n, 0);
    std::vector<char> packet(enc.outBuffer, enc.outBuffer + n);
    enc.EncodeClose();

    GrabRecorder rec;
    RAVO::CSampleGrabAudio grab;
    grab.setCallBack(&rec);
    RAVO::CAudioStreamManager manager;
    manager.add_sink(&grab);
    RAVO::CAudioStream* s = manager.add_stream(kUser);
    auto feed = [&] { manager.in_sample(kUser, 97, 1, packet.data(), n, 0, 0); };
    manager.mute_stream(kUser, 1);
    feed();
    EXPECT_EQ(s->queued(), 0u);
    manager.mute_stream(kUser, 0);
    feed();
    feed();
    EXPECT_EQ(s->queued(), 2u);
    manager.mute_all(1);
    EXPECT_EQ(manager.is_muteall(), 1);
    feed();
    EXPECT_EQ(s->queued(), 2u);
    manager.mute_all(0);
    s->proc_sample();
    ASSERT_EQ(rec.audioCount(), 1u);
    EXPECT_EQ(rec.audio()[0].len, 7680);
    EXPECT_EQ(rec.audio()[0].p1, 0);
}

// Frames arriving faster than the one-per-pass decoding (a flood from the relay)
// queue no more than a stream's window; the stream plays on from the next key frame.
TEST(StreamQueues, WhatAStreamQueuesIsBoundedWhateverArrives) {
    VideoRig rig;
    CVideoStream* video = rig.manager.add_stream(kUser);
    RAVO::CAudioStreamManager audioManager;
    RAVO::CAudioStream* audio = audioManager.add_stream(kUser);
    std::vector<char> junk(400, 'x');
    size_t videoMost = 0, audioMost = 0;
    for (int i = 0; i < 20000; ++i) {
        rig.manager.in_sample(kUser, 99, static_cast<unsigned>(i), junk.data(),
                              static_cast<int>(junk.size()), 0, 0);
        audioManager.in_sample(kUser, 97, static_cast<unsigned>(i), junk.data(),
                               static_cast<int>(junk.size()), 0, 0);
        videoMost = std::max(videoMost, video->queued());
        audioMost = std::max(audioMost, audio->queued());
    }
    EXPECT_LE(videoMost, 30u);
    EXPECT_LE(audioMost, 50u);
    // Frames of 1 MB: the byte bound holds before the count does.
    std::vector<char> big(1 << 20, 'y');
    for (int i = 0; i < 20; ++i)
        rig.manager.in_sample(kUser, 99, 1, big.data(), static_cast<int>(big.size()), 0, 0);
    EXPECT_LE(video->queued(), 8u);
    // The overflow cut the video: it waits for a key frame, then decodes again.
    EXPECT_EQ(video->m_waitForIDR, 1);
    rig.drain();
    EXPECT_EQ(rig.rec.videoCount(), 0u);
    rig.feed(0, 0);
    rig.drain();
    EXPECT_EQ(rig.rec.videoCount(), 1u);
}

// The manager's thread decodes while the room window deletes and re-adds streams.
TEST(StreamManager, DeleteWhileThreadRunsThenStopTwice) {
    VideoRig rig;
    ASSERT_EQ(rig.manager.stop(), -1);  // never started
    ASSERT_EQ(rig.manager.start(), 0);
    for (int round = 0; round < 5; ++round) {
        rig.manager.add_stream(kUser);
        rig.manager.add_stream(kUser + 1);
        for (size_t i = 0; i < 10; ++i) rig.feed(i, 0);
        EXPECT_EQ(rig.manager.del_stream(kUser), 0);
        EXPECT_EQ(rig.manager.find_stream(kUser), nullptr);
    }
    rig.manager.add_stream(kUser);
    for (size_t i = 0; i < 4; ++i) rig.feed(i, 0);
    ASSERT_TRUE(waitFor([&] { return rig.rec.videoCount() >= 4; }));
    EXPECT_EQ(rig.manager.stop(), 0);
    EXPECT_EQ(rig.manager.stop(), -1);
    EXPECT_EQ(rig.manager.clear(), 0);
    EXPECT_EQ(rig.manager.stream_count(), 0);
}

}  // namespace
