// Two members of one room in one process, through the stand-in media relay: 1001
// publishes the test-pattern camera and a microphone playing a tone, 1002 watches
// and listens, as the room window drives the facade.
#include <gtest/gtest.h>
#include <dirent.h>

#include <atomic>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "FacadePair.h"
#include "engine_test_util.h"
#include "facade/Strevo.h"

namespace {

using engine_test::GrabRecorder;
using mivora_test::FacadeMember;
using mivora_test::FacadePublish;
using mivora_test::MediaRelay;
using mivora_test::MediaStage;
using mivora_test::SoundPace;
using mivora_test::Streams;

const int kSpeaker = 1001;
const int kListener = 1002;
const double kToneHz = 440.0;  // the stage's microphone

int threadCount() {
    int n = 0;
    if (DIR* d = opendir("/proc/self/task")) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') ++n;
        closedir(d);
    }
    return n;
}

// Counts the trace lines that tell of recovery and loss.
class LossTrace : public RAVO::IAVLogger {
public:
    void Log(int, const char* format, ...) override {
        if (std::strstr(format, "recorty packet")) ++recovered;
        if (std::strstr(format, "find loss-flag")) ++lossFlags;
    }
    std::atomic<int> recovered{0};
    std::atomic<int> lossFlags{0};
};

// Mean absolute difference between a decoded picture and the pattern at the best
// fitting frame number (the bars repeat every 160 frames at this width).
double patternDistance(const std::vector<char>& picture, int w, int h) {
    double best = 1e9;
    for (uint32_t n = 0; n < 160; ++n) {
        std::vector<unsigned char> expect = engine_test::patternFrame(w, h, n);
        uint64_t sum = 0;
        for (size_t i = 0; i < expect.size(); i += 4)
            for (size_t c = 0; c < 3; ++c)
                sum += static_cast<uint64_t>(std::abs(static_cast<int>(expect[i + c]) -
                                                      static_cast<unsigned char>(picture[i + c])));
        best = std::min(best, static_cast<double>(sum) / (expect.size() / 4 * 3));
    }
    return best;
}

struct Result {
    size_t captured = 0, pictures = 0, sounds = 0;
    int recovered = 0, lossFlags = 0;
};

Result runRoom(int dropPercent) {
    // A thread started and ended first, so that helper threads of the tools (a
    // sanitizer's) are already there when the count is taken.
    std::thread([] {}).join();
    const int threadsBefore = threadCount();
    LossTrace trace;
    Result r;
    {
        MediaStage::Options options;
        options.speakerPace = SoundPace::RealTime;
        options.relayLifetimeMs = 60000;
        options.relayBudget = 500000;
        MediaStage stage(options);
        EXPECT_TRUE(stage.Started());
        RAVO::CStrevo::setAVLogger(&trace);
        MediaRelay& relay = stage.relay;
        MediaRelay::Faults faults;
        faults.seed = 20261210;
        faults.dropPercent = dropPercent;
        relay.SetFaults(faults);
        GrabRecorder got, speakerPlay, speakerCapture;
        FacadeMember listener(relay.Port(), &got);
        FacadeMember speakerSide(relay.Port(), &speakerPlay);
        listener.Watch(kSpeaker);
        EXPECT_TRUE(stage.WaitSubscribed(kSpeaker, Streams::Video, 2));
        FacadePublish publish;
        publish.capture = &speakerCapture;
        EXPECT_EQ(speakerSide.Publish(kSpeaker, publish), 0);

        const auto& sound = stage.sound;
        const bool arrived = sound->WaitUntil(
            [&] { return got.videoCount() >= 30 && got.audioCount() >= 40; }, 30000);
        EXPECT_TRUE(arrived) << "pictures " << got.videoCount() << ", sounds " << got.audioCount();
        EXPECT_TRUE(sound->WaitUntil([&] { return sound->PlayedBytes(stage.speaker) > 0; }, 10000));
        r.captured = speakerCapture.videoCount();
        r.pictures = got.videoCount();
        r.sounds = got.audioCount();

        // The speaker's own picture and sound came back to it at capture time.
        std::vector<GrabRecorder::Grab> own = speakerCapture.video();
        if (!own.empty()) {
            EXPECT_EQ(own[0].mode, GRAB_MODE_CAPTURE);
            EXPECT_EQ(own[0].id, kSpeaker);
            EXPECT_EQ(own[0].len, 320 * 240 * 4);
        }
        EXPECT_GT(speakerCapture.audioCount(), 0u);
        EXPECT_EQ(speakerPlay.videoCount(), 0u);  // nobody else publishes

        // Teardown in the room window's order, the listener last.
        EXPECT_EQ(speakerSide.Leave(), 0);
        EXPECT_EQ(listener.Leave(), 0);
        relay.Stop();

        std::vector<GrabRecorder::Grab> pictures = got.video();
        EXPECT_FALSE(pictures.empty());
        for (size_t i = 0; i < pictures.size() && i < 3; ++i) {
            const GrabRecorder::Grab& p = pictures[pictures.size() - 1 - i];
            EXPECT_EQ(p.id, kSpeaker);
            EXPECT_EQ(p.mode, GRAB_MODE_PLAY);
            EXPECT_EQ(p.p1, 320);
            EXPECT_EQ(p.p2, 240);
            EXPECT_EQ(p.len, 320 * 240 * 4);
            if (p.data.size() == 320u * 240u * 4u) {
                // Coding noise is about 1.5; a picture of the wrong phase or no
                // picture is far above 6.
                EXPECT_LT(patternDistance(p.data, 320, 240), 6.0) << "picture " << i;
            }
        }
        // The tone, from a run of decoded blocks past the first.
        std::vector<GrabRecorder::Grab> sounds = got.audio();
        std::vector<int16_t> pcm;
        for (size_t i = 5; i < sounds.size() && i < 30; ++i) {
            EXPECT_EQ(sounds[i].len, 7680);
            const int16_t* s = reinterpret_cast<const int16_t*>(sounds[i].data.data());
            pcm.insert(pcm.end(), s, s + sounds[i].data.size() / 2);
        }
        EXPECT_NEAR(mivora_test::EstimateFrequency(pcm.data(), pcm.size() / 2), kToneHz, 20.0);
        std::vector<int16_t> played = sound->Played(stage.speaker);
        if (played.size() > 48000 * 2) played.erase(played.begin(), played.begin() + 48000);
        EXPECT_NEAR(mivora_test::EstimateFrequency(played.data(), played.size() / 2), kToneHz,
                    40.0);
        RAVO::CStrevo::setAVLogger(nullptr);
        EXPECT_EQ(sound->OpenStreams(), 0);
    }
    r.recovered = trace.recovered;
    r.lossFlags = trace.lossFlags;
    EXPECT_EQ(threadCount(), threadsBefore);  // every engine thread has ended
    return r;
}

TEST(EndToEnd, PatternAndToneReachTheListener) {
    Result r = runRoom(0);
    EXPECT_GE(r.pictures, 30u);
    EXPECT_LE(r.pictures, r.captured);
    EXPECT_EQ(r.recovered, 0);
    RecordProperty("pictures", static_cast<int>(r.pictures));
}

TEST(EndToEnd, FivePercentLossAtTheRelay) {
    Result r = runRoom(5);
    EXPECT_GT(r.pictures, 0u);
    EXPECT_LE(r.pictures, r.captured);
    EXPECT_GT(r.recovered, 0);  // parity rebuilt some of the dropped datagrams
    std::printf("captured %zu, pictures %zu, sounds %zu, recovered datagrams %d, loss flags %d\n",
                r.captured, r.pictures, r.sounds, r.recovered, r.lossFlags);
}

}  // namespace
