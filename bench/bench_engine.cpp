// The engine end to end over loopback: two facades (1001 publishes, 1002 watches)
// through the stand-in media relay, as the room window drives them.
//
// Latency: a camera frame entering 1001's camera source -> the decoded picture
// leaving 1002's play video grabber; a wave-in buffer entering 1001's audio
// source -> the decoded PCM leaving 1002's play audio grabber. One frame in flight
// at a time, so each figure is the pipeline's own delay, not queueing.
// Variants switch off the sender's fixed waits to show their share:
//   0 room settings (pacing 1000 us per 3 datagrams, FEC groups: 10 ms sleep
//     after every k-th data datagram), 1 pacing off, 2 pacing and FEC off.
// The waits that stay are the design's passes: the decode pass (video 30 ms,
// audio 20 ms; a frame waits half a pass on average), the session's 20 ms sleep
// when its incoming queue is empty, and the source queue's 5 ms sleep.
//
// CPU: process CPU time over wall time while one stream is published and watched
// (publisher and listener both in this process), beside the idle room.
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <cmath>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "FacadePair.h"
#include "facade/Strevo.h"
#include "vexacam/TestPattern.h"

namespace {

using Clock = std::chrono::steady_clock;
using mivora_test::FacadeJoin;
using mivora_test::FacadeMember;
using mivora_test::FacadePublish;
using mivora_test::MediaStage;
using mivora_test::Streams;

const int kSpeaker = 1001;

const char* const kTexts[3] = {
    mivora_test::kRoomMediaConfig,                         // the room window's third text
    "1 15 31 64000 1000 1000 10 12 5 6 1000 0 320 240 2",  // pacing off
    "1 15 31 64000 1000 1000 0 12 0 6 1000 0 320 240 2",   // pacing and FEC off
};
const char* const kVariantNames[3] = {"room settings", "pacing off", "pacing and FEC off"};

// Notes the time of every grab on the listener's play grabbers.
class Arrivals : public RAVO::ISamplerGrabVideoCallBack, public RAVO::ISamplerGrabAudioCallBack {
public:
    int OnGrabVideoSample(int, int, char*, int, int, int, int) override { return note(m_video); }
    int OnGrabAudioSample(int, int, char*, int, int, int, int) override { return note(m_audio); }
    // Waits for the grab after `seen`; its time, or a zero time point.
    Clock::time_point next(bool video, size_t seen, int timeoutMs) {
        std::unique_lock<std::mutex> g(m_mutex);
        std::vector<Clock::time_point>& list = video ? m_video : m_audio;
        m_changed.wait_for(g, std::chrono::milliseconds(timeoutMs),
                           [&] { return list.size() > seen; });
        return list.size() > seen ? list[seen] : Clock::time_point();
    }
    size_t count(bool video) {
        std::lock_guard<std::mutex> g(m_mutex);
        return (video ? m_video : m_audio).size();
    }

private:
    int note(std::vector<Clock::time_point>& list) {
        std::lock_guard<std::mutex> g(m_mutex);
        list.push_back(Clock::now());
        m_changed.notify_all();
        return 0;
    }
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Clock::time_point> m_video, m_audio;
};

// The listener watches 1001; 1001 publishes, its sources built but not started (the
// latency runs feed them by hand, the CPU runs start them).
struct Room {
    explicit Room(const char* config) {
        FacadeJoin join;
        join.config = config;
        join.play = &arrivals;
        listener = std::make_unique<FacadeMember>(media.RelayPort(), join);
        join.play = &ignored;
        speaker = std::make_unique<FacadeMember>(media.RelayPort(), join);
        listener->Watch(kSpeaker);
        media.WaitSubscribed(kSpeaker, Streams::Audio, 2);
        FacadePublish publish;
        publish.start = false;
        speaker->Publish(kSpeaker, publish);
    }
    MediaStage media;
    Arrivals arrivals, ignored;
    // The speaker leaves first, then the listener.
    std::unique_ptr<FacadeMember> listener, speaker;
};

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    size_t i = static_cast<size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

struct LatencyRun {
    std::vector<double> ms;
    double datagramsPerFrame = 0;
    int missing = 0;
};

// Frames are injected at the sources' device entry points, one at a time: the queue
// threads run, the camera and wave-in devices stay idle.
LatencyRun measure(Room& room, bool video, int frames) {
    RAVO::CStrevo& av = room.speaker->Av();
    if (video)
        av.m_pVideoSource->CSourceAvBuf::start();
    else
        av.m_pAudioSource->CSourceAvBuf::start();
    std::vector<uint8_t> bgr(320 * 240 * 3);
    std::vector<int16_t> pcm(1920 * 2);
    mivora_test::ToneSource(440)(pcm.data(), 1920, 2, 0);
    LatencyRun run;
    const int warmup = 5;
    size_t datagrams = 0;
    for (int i = 0; i < frames + warmup; ++i) {
        if (video) vexacam::DrawTestPattern(bgr.data(), 320, 240, static_cast<uint32_t>(i));
        const size_t seen = room.arrivals.count(video);
        const size_t before = room.media.relay.ReceivedCount();
        const Clock::time_point t0 = Clock::now();
        if (video)
            av.m_pVideoSource->OnVideoFrameArrive(bgr.data(), bgr.size());
        else
            av.m_pAudioSource->OnAudioFrameArrive(reinterpret_cast<char*>(pcm.data()), 7680);
        const Clock::time_point t1 = room.arrivals.next(video, seen, 3000);
        if (t1 == Clock::time_point()) {
            ++run.missing;
        } else if (i >= warmup) {
            run.ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
            datagrams += room.media.relay.ReceivedCount() - before;
        }
        // Past the camera's rate limit (15 fps) before the next frame.
        std::this_thread::sleep_until(t0 + std::chrono::milliseconds(video ? 70 : 45));
    }
    if (!run.ms.empty())
        run.datagramsPerFrame = static_cast<double>(datagrams) / static_cast<double>(run.ms.size());
    return run;
}

void report(benchmark::State& state, const LatencyRun& run, bool video, int variant) {
    const double median = percentile(run.ms, 0.5), p99 = percentile(run.ms, 0.99);
    state.counters["median_ms"] = median;
    state.counters["p99_ms"] = p99;
    state.counters["datagrams_per_frame"] = run.datagramsPerFrame;
    state.counters["missing"] = run.missing;
    // The sender's fixed waits, as the settings make them, per frame on average.
    const int k = variant == 2 ? 0 : (video ? 10 : 5), n = video ? 12 : 6;
    const double dataPerFrame = k > 0 ? run.datagramsPerFrame * k / n : run.datagramsPerFrame;
    const double pacing = variant == 0 ? std::floor(run.datagramsPerFrame / 3.0) * 1.0 : 0.0;
    const double groupSleep = k > 0 ? dataPerFrame / k * 10.0 : 0.0;
    const double pass = video ? 15.0 : 10.0;
    state.counters["wait_pacing_ms"] = pacing;
    state.counters["wait_group_sleep_ms"] = groupSleep;
    state.counters["wait_decode_pass_ms"] = pass;
    state.counters["wait_session_sleep_ms"] = 10.0;
    state.counters["wait_queue_sleep_ms"] = 2.5;
    std::printf(
        "%s latency, %s: median %.1f ms, p99 %.1f ms over %zu frames (%.1f datagrams a frame). "
        "Fixed waits in it, on average: pacing %.1f ms, FEC group sleep %.1f ms, %s decode pass "
        "%.1f ms "
        "(half of %d ms), session idle sleep ~10 ms (half of 20 ms), source queue sleep ~2.5 ms.\n",
        video ? "Video" : "Audio", kVariantNames[variant], median, p99, run.ms.size(),
        run.datagramsPerFrame, pacing, groupSleep, video ? "video" : "audio", pass,
        video ? 30 : 20);
}

void BM_VideoLatency(benchmark::State& state) {
    const int variant = static_cast<int>(state.range(0));
    LatencyRun run;
    for (auto _ : state) {
        Room room(kTexts[variant]);
        run = measure(room, true, 60);
        state.SetIterationTime(percentile(run.ms, 0.5) / 1000.0);
    }
    report(state, run, true, variant);
}
BENCHMARK(BM_VideoLatency)
    ->DenseRange(0, 2)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_AudioLatency(benchmark::State& state) {
    const int variant = static_cast<int>(state.range(0));
    LatencyRun run;
    for (auto _ : state) {
        Room room(kTexts[variant]);
        run = measure(room, false, 60);
        state.SetIterationTime(percentile(run.ms, 0.5) / 1000.0);
    }
    report(state, run, false, variant);
}
BENCHMARK(BM_AudioLatency)
    ->DenseRange(0, 2)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

double processCpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// 0 the idle room, 1 the camera published and watched, 2 the microphone.
void BM_CpuPerStream(benchmark::State& state) {
    const int what = static_cast<int>(state.range(0));
    double percent = 0;
    size_t grabs = 0;
    for (auto _ : state) {
        Room room(kTexts[0]);
        if (what == 1) room.speaker->Av().startVideoCapGraph();
        if (what == 2) room.speaker->Av().startAudioCapFraph();
        std::this_thread::sleep_for(std::chrono::milliseconds(500));  // past start-up
        const double cpu0 = processCpuSeconds();
        const Clock::time_point t0 = Clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(3));
        const double cpu = processCpuSeconds() - cpu0;
        const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
        percent = 100.0 * cpu / wall;
        grabs = room.arrivals.count(what == 1);
        state.SetIterationTime(wall);
    }
    static double idle = 0;
    if (what == 0) idle = percent;
    state.counters["cpu_percent_of_one_core"] = percent;
    state.counters["grabs_at_listener"] = static_cast<double>(grabs);
    const char* names[3] = {"idle room (two facades, play graphs running)", "one video stream",
                            "one audio stream"};
    std::printf(
        "CPU, %s: %.1f %% of one core%s", names[what], percent,
        what == 0 ? " (the threads' timed wake-ups: decode passes, session sleeps, select waits)\n"
                  : "");
    if (what > 0)
        std::printf(", %.1f %% above the idle room (publisher and listener)\n", percent - idle);
}
BENCHMARK(BM_CpuPerStream)
    ->DenseRange(0, 2)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
