// Share of frames delivered whole through the stand-in relay at seeded random
// loss, beside the share a perfect (10, 12) code allows at the same loss.
// One run per case; the figures are the counters, not the times.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "MediaRelay.h"
#include "SessionPair.h"
#include "rtp/RTPSession.h"

namespace {

const int kSpeaker = 1001;
const int kTrailer = 1 << 20;

class Numbers : public RAVO::IGetRtpFrameCallBack {
public:
    int OnGetRtpFrame(int, int, char* data, int len, RAVO::_rtp_frame*) override {
        if (len < 4) return 0;
        int number;
        std::memcpy(&number, data, 4);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_numbers.insert(number);
        return 0;
    }
    size_t Count(int below) {
        std::lock_guard<std::mutex> lock(m_mutex);
        size_t n = 0;
        for (int v : m_numbers) n += v < below ? 1 : 0;
        return n;
    }

private:
    std::mutex m_mutex;
    std::set<int> m_numbers;
};

double choose(int n, int k) {
    double r = 1;
    for (int i = 1; i <= k; ++i) r = r * (n - k + i) / i;
    return r;
}

// P(at most `losses` of `n` datagrams lost).
double atMost(int n, int losses, double p) {
    double sum = 0;
    for (int i = 0; i <= losses; ++i) sum += choose(n, i) * std::pow(p, i) * std::pow(1 - p, n - i);
    return sum;
}

void BM_RelayDeliveredFrames(benchmark::State& state) {
    const int lossPercent = static_cast<int>(state.range(0));
    const int fragments = static_cast<int>(state.range(1));
    const int frameCount = fragments == 1 ? 600 : 150;
    double delivered = 0;
    for (auto _ : state) {
        mivora_test::MediaRelay relay(60000);
        relay.Start();
        mivora_test::MediaRelay::Faults faults;
        faults.seed = 20240601u + static_cast<uint32_t>(lossPercent * 10 + fragments);
        faults.dropPercent = lossPercent;
        relay.SetFaults(faults);
        Numbers numbers;
        mivora_test::SessionPair pair(relay, kSpeaker, &numbers, [](RAVO::RTPParam& p) {
            // The room window's pacing: 3 datagrams, then 1000 microseconds.
            p[6] = 1000;
            p[7] = 3;
        });
        RAVO::CRTPSession& speaker = pair.speaker;
        RAVO::CRTPSession& listener = pair.listener;
        listener.start();
        // 1 fragment: 1000 bytes; 10 fragments: exactly one FEC group per frame.
        std::string frame(fragments == 1 ? 1000 : 12000, 'v');
        for (int i = 0; i < frameCount; ++i) {
            std::memcpy(&frame[0], &i, 4);
            speaker.sendData(kSpeaker, RTP_PT_VIDEO, &frame[0], static_cast<int>(frame.size()));
        }
        // Frames held behind a lost one leave when its deadline has passed and
        // more fragments arrive: wait past the deadline, then send trailers.
        std::this_thread::sleep_for(std::chrono::milliseconds(1100));
        for (int i = 0; i < 20; ++i) {
            const int number = kTrailer + i;
            std::memcpy(&frame[0], &number, 4);
            speaker.sendData(kSpeaker, RTP_PT_VIDEO, &frame[0], static_cast<int>(frame.size()));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        listener.stop();
        delivered = static_cast<double>(numbers.Count(kTrailer)) / frameCount;
        relay.Stop();
    }
    const double p = lossPercent / 100.0;
    // A frame of one fragment is whole when its datagram arrives or its group
    // (11 other datagrams) lost at most one more; a frame of ten is one group.
    const double perfect = fragments == 1 ? (1 - p) + p * atMost(11, 1, p) : atMost(12, 2, p);
    state.counters["loss_pct"] = lossPercent;
    state.counters["fragments"] = fragments;
    state.counters["delivered"] = delivered;
    state.counters["perfect_10_12"] = perfect;
    state.counters["no_fec"] = std::pow(1 - p, fragments);
}

BENCHMARK(BM_RelayDeliveredFrames)
    ->ArgsProduct({{1, 5, 10, 20}, {1, 10}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
