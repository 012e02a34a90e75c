#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "FacadePair.h"
#include "MediaRelay.h"
#include "ScriptedSound.h"
#include "engine_test_util.h"
#include "facade/Strevo.h"
#include "rtp/RTPReceiver.h"

namespace {

using mivora_test::ScriptedSoundSystem;
using mivora_test::SoundPace;
using RAVO::CStrevo;

const char kSmooth1[] = "1 15 60000 32000 1000 1000 10 12 5 6 1000 3 224 168 1";
const char kSmooth3[] = "1 15 31 64000 1000 1000 10 12 5 6 1000 3 320 240 2";

int config2(CStrevo& av, const char* text) {
    std::string copy(text);
    return av.setAvMoudleConfig2(&copy[0]);
}

struct ScriptedSound {
    ScriptedSound() : system(std::make_shared<ScriptedSoundSystem>()) {
        system->AddCapture({L"Mic", mivora_test::ToneSource(440), SoundPace::RealTime, nullptr});
        system->AddPlayback({L"Speaker", SoundPace::RealTime});
        winplat::InstallSoundSystem(system);
    }
    ~ScriptedSound() { winplat::RemoveSoundSystem(); }
    std::shared_ptr<ScriptedSoundSystem> system;
};

// The test-pattern camera is listed only while asked for.
struct TestCamera {
    explicit TestCamera(bool listed) {
        if (listed)
            setenv("MIVORA_TEST_CAMERA", "1", 1);
        else
            unsetenv("MIVORA_TEST_CAMERA");
    }
    ~TestCamera() { unsetenv("MIVORA_TEST_CAMERA"); }
};

TEST(FacadeConfig, ConstructorDefaultsAndFirstTextOnlyStored) {
    CStrevo av;
    for (int i = 0; i < CStrevo::CFG_COUNT; ++i) {
        const bool pacing = i == CStrevo::CFG_RTP + 6 || i == CStrevo::CFG_RTP + 7;
        EXPECT_EQ(av.m_config[i], pacing ? 0 : -1) << i;
    }
    EXPECT_EQ(av.m_bConfigLoaded, 0);
    EXPECT_EQ(config2(av, kSmooth1), 0);
    EXPECT_EQ(av.m_bConfigLoaded, 1);
    EXPECT_EQ(av.m_config[CStrevo::CFG_FPS], 15);
    EXPECT_EQ(av.m_config[CStrevo::CFG_PLAY_WIDTH], 224);
    EXPECT_EQ(av.m_config[CStrevo::CFG_RTP + 7], 3);
    EXPECT_EQ(av.m_videoConfig.fps, 0);  // only stored: nothing applied yet
    EXPECT_EQ(av.m_videoConfig.play_width, 0);
}

TEST(FacadeConfig, SecondTexts) {
    struct Case {
        const char* what;
        const char* text;
        int fps, playWidth, playHeight, mode, audioRate, pacingBurst;
    } cases[] = {
        {"apply flag 0 changes nothing", "0 30 1 2 3 4 5 6 7 8 9 10 640 480 2", 0, 0, 0, 0, 32000,
         3},
        {"empty text changes nothing", "", 0, 0, 0, 0, 32000, 3},
        {"another smoothness", kSmooth3, 0, 320, 240, 2, 64000, 3},
        {"play size only as a pair", "1 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 640 -1 -1", 0, 0, 0, 0,
         32000, -1},
        {"same values: nothing to re-open", kSmooth1, 0, 0, 0, 0, 32000, 3},
        {"fps and mode 0 ignored", "1 20 -1 -1 -1 -1 -1 -1 -1 -1 -1 7 -1 -1 0", 20, 0, 0, 0, 32000,
         7},
    };
    for (const Case& c : cases) {
        CStrevo av;
        config2(av, kSmooth1);
        EXPECT_EQ(config2(av, c.text), 0) << c.what;
        EXPECT_EQ(av.m_videoConfig.fps, c.fps) << c.what;
        EXPECT_EQ(av.m_videoConfig.play_width, c.playWidth) << c.what;
        EXPECT_EQ(av.m_videoConfig.play_height, c.playHeight) << c.what;
        EXPECT_EQ(av.m_videoConfig.mode, c.mode) << c.what;
        EXPECT_EQ(av.m_config[CStrevo::CFG_AUDIO_BITRATE], c.audioRate) << c.what;
        EXPECT_EQ(av.m_config[CStrevo::CFG_RTP + 7], c.pacingBurst) << c.what;
    }
}

TEST(FacadeConfig, FirstTextStartingWithZeroResets) {
    CStrevo av;
    std::string t = "1 15 60000 32000 1000 1000 10 12 5 6 1000 3 224 168 1";
    av.setAvMoudleConfig(&t[0]);
    std::string zero = "0 1 2 3 4 5 6 7 8 9 10 11 12 13 14";
    EXPECT_EQ(av.setAvMoudleConfig(&zero[0]), 0);
    EXPECT_EQ(av.m_config[CStrevo::CFG_FPS], -1);
    EXPECT_EQ(av.m_config[CStrevo::CFG_RTP + 6], 0);
}

// Keeps the format of every trace line.
class FormatTrace : public RAVO::IAVLogger {
public:
    void Log(int level, const char* format, ...) override {
        levels.push_back(level);
        formats.push_back(format);
    }
    std::vector<int> levels;
    std::vector<std::string> formats;
};

// The first text is read over the stored values: a short one leaves the rest (the
// pacing 0/0 that switches pacing off) as they were, and the trace carries its text.
TEST(FacadeConfig, ShortFirstTextKeepsTheRestAndIsTraced) {
    FormatTrace trace;
    CStrevo::setAVLogger(&trace);
    CStrevo av;
    EXPECT_EQ(config2(av, "1 20 90000"), 0);
    CStrevo::setAVLogger(nullptr);
    EXPECT_EQ(av.m_config[CStrevo::CFG_FPS], 20);
    EXPECT_EQ(av.m_config[CStrevo::CFG_VIDEO_BITRATE], 90000);
    EXPECT_EQ(av.m_config[CStrevo::CFG_AUDIO_BITRATE], -1);
    EXPECT_EQ(av.m_config[CStrevo::CFG_RTP + 6], 0);
    EXPECT_EQ(av.m_config[CStrevo::CFG_RTP + 7], 0);
    ASSERT_EQ(trace.formats.size(), 1u);
    EXPECT_EQ(trace.levels[0], 3);
    EXPECT_EQ(trace.formats[0],
              "avfilter config param:\n %d %d %d %d %d %d %d %d %d %d %d %d %d %d\n");
}

TEST(FacadeSession, CreateAppliesStoredValuesAndDestroyWaitsForGraphs) {
    CStrevo av;
    EXPECT_EQ(av.destoryRTPSession(), -1);
    config2(av, kSmooth1);
    av.setLocalIpInfo("127.0.0.1", 0);
    av.setRemoteIpInfo("127.0.0.1", 9);
    ASSERT_EQ(av.createRTPSession(), 0);
    EXPECT_EQ(av.createRTPSession(), -1);
    RAVO::RTPParam* p = av.m_pRTPSession->getParam();
    const int expect[8] = {1000, 1000, 10, 12, 5, 6, 1000, 3};
    for (int i = 0; i < 8; ++i) EXPECT_EQ((*p)[i], expect[i]) << i;
    EXPECT_NE(av.m_pRTPSession->getLocalPort(), 0);

    EXPECT_EQ(av.destoryAVPlayGraph(), 1);  // not built
    ASSERT_EQ(av.buildAVPlayGraph(), 0);
    EXPECT_EQ(av.buildAVPlayGraph(), 1);
    EXPECT_EQ(av.m_pPlayVideoGrabber->getParam1(), GRAB_MODE_PLAY);
    EXPECT_EQ(av.m_pRTPSession->getUseCount(), 2);
    EXPECT_EQ(av.destoryRTPSession(), -2);
    EXPECT_EQ(av.m_pRTPSession->getUseCount(), 2);  // the refused call keeps its use
    av.addVideoStream(1002);
    av.addAudioStream(1002);
    av.subcribeVideoStream(1002);
    ASSERT_NE(av.m_pRTPSession->findRTPReceiver(1002, 99), nullptr);
    EXPECT_EQ(av.m_pRTPSession->findRTPReceiver(1002, 99)->isSubscribed(), 1);
    av.unsubcribeVideoStream(1002);
    EXPECT_EQ(av.m_pRTPSession->findRTPReceiver(1002, 99)->isSubscribed(), 0);
    EXPECT_EQ(av.m_pVideoManager->find_stream(1002)->m_mute, 1);
    av.delAudioStream(1002);
    EXPECT_EQ(av.m_pRTPSession->findRTPReceiver(1002, 97), nullptr);
    EXPECT_EQ(av.m_pAudioManager->find_stream(1002), nullptr);
    EXPECT_EQ(av.destoryAVPlayGraph(), 0);
    EXPECT_EQ(av.m_pRTPSession->findRTPReceiver(1002, 99), nullptr);
    EXPECT_EQ(av.destoryRTPSession(), 0);
    EXPECT_EQ(av.m_pRTPSession, nullptr);
}

TEST(FacadeGraphs, VideoGraphCameraChoice) {
    struct Case {
        const char* what;
        bool listed;
        const char* name;
        int result;
        int grabMode;
        const char* nameAfter;
    } cases[] = {
        {"empty name takes the first device", true, "", 0, GRAB_MODE_CAPTURE,
         "Mivora Test Pattern"},
        {"named camera", true, "Mivora Test Pattern", 0, GRAB_MODE_CAPTURE, "Mivora Test Pattern"},
        {"no device", false, "", 1, 0, ""},
    };
    for (const Case& c : cases) {
        TestCamera camera(c.listed);
        CStrevo av;
        config2(av, kSmooth3);
        av.setRemoteIpInfo("127.0.0.1", 9);
        av.createRTPSession();
        RAVO::VideoSetConfig vc = mivora_test::RoomVideoConfig(c.name);
        av.setVideoConfig(&vc);
        EXPECT_EQ(av.destoryVideoCapGraph(), 0) << c.what;  // not built
        EXPECT_EQ(av.buildVideoCapGraph(1001), c.result) << c.what;
        EXPECT_EQ(av.buildVideoCapGraph(1001), 1) << c.what;
        EXPECT_STREQ(av.m_videoConfig.camera_name, c.nameAfter) << c.what;
        EXPECT_EQ(av.m_videoConfig.mode, 2) << c.what;  // the stored mode overlays
        EXPECT_EQ(av.m_pCapVideoGrabber->getParam1(), c.grabMode) << c.what;
        EXPECT_NE(av.m_pRTPSession->findRTPSender(1001, 99), nullptr) << c.what;
        // A capture graph on the session refuses a new configuration.
        EXPECT_EQ(config2(av, kSmooth1), -1) << c.what;
        EXPECT_EQ(av.m_config[CStrevo::CFG_PLAY_WIDTH], 320) << c.what;
        EXPECT_EQ(av.destoryVideoCapGraph(), 0) << c.what;
        EXPECT_EQ(av.m_pRTPSession->findRTPSender(1001, 99), nullptr) << c.what;
        EXPECT_EQ(av.m_pVideoSource, nullptr) << c.what;
        EXPECT_EQ(av.destoryRTPSession(), 0) << c.what;
    }
}

// Without a session (never so in the room window) the started sources are what
// refuses the text.
TEST(FacadeGraphs, StartedSourcesRefuseConfiguration) {
    ScriptedSound sound;
    TestCamera camera(true);
    CStrevo av;
    config2(av, kSmooth1);
    RAVO::VideoSetConfig vc{};
    vc.cap_size = 1;
    vc.fps = 15;
    av.setVideoConfig(&vc);
    ASSERT_EQ(av.buildVideoCapGraph(1001), 0);
    av.startVideoCapGraph();
    EXPECT_EQ(config2(av, kSmooth3), -3);
    av.stopVideoCapGraph();
    RAVO::AudioSetConfig ac{};
    av.setAudioConfig(&ac);
    EXPECT_EQ(av.buildAudioCapGraph(1001), 0);
    EXPECT_EQ(av.buildAudioCapGraph(1001), 1);
    EXPECT_EQ(av.m_pAudioEncoder->m_codec.bitrate, 32000);  // the stored audio rate
    av.startAudioCapFraph();
    EXPECT_EQ(config2(av, kSmooth3), -5);
    av.stopAudioCapGraph();
    EXPECT_EQ(config2(av, kSmooth3), 0);
    EXPECT_EQ(av.m_pVideoEncoder->m_codec.width, 320);  // re-opened at the new size
    EXPECT_EQ(av.m_pResampler->m_playWidth, 320);
    EXPECT_EQ(av.m_pAudioEncoder->m_codec.bitrate, 64000);  // re-opened at the new rate
    EXPECT_EQ(av.destoryVideoCapGraph(), 0);
    EXPECT_EQ(av.destoryAudioCapGraph(), 0);
    EXPECT_EQ(sound.system->OpenStreams(), 0);
}

}  // namespace
