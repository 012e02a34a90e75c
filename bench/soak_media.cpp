// Media soak: two facades (1001 and 1002) through the stand-in relay, each publishing
// a video and an audio stream and watching the other's, for a given time (default
// 60 s) with seeded loss, reordering and duplication on the relay. Every second it
// samples the process's resident memory, the heap malloc holds in use, and open
// descriptors; at the end it prints, per stream, the frames sent and delivered against
// what a perfect (k, n) code allows at the loss the relay made, memory at 10 s and at
// the end, and descriptors at the start and the end. The stand-in speaker only counts
// what it plays: kept samples would grow the process by 384 kB/s until its 60 s fill,
// and hide the engine's own figure. Then a hostile phase: random datagrams, and
// datagrams dressed as the watched streams' with random timestamps, sequence numbers
// and fragment counts, flood both members' media ports from the relay's host while the
// streams go on; then the normal streams alone again. Memory before the flood, at its
// end and after the streams ran on show whether what the flood made the engine hold
// was given back.
// Usage: soak_media [seconds] [loss %] [dup %] [reorder %] [hostile seconds] [datagrams/s]
#include <arpa/inet.h>
#include <dirent.h>
#include <malloc.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "FacadePair.h"
#include "facade/Strevo.h"

namespace {

using mivora_test::FacadeJoin;
using mivora_test::FacadeMember;
using mivora_test::MediaRelay;
using mivora_test::MediaStage;
using mivora_test::RelayAction;
using mivora_test::Streams;

// The codes of the room window's configuration text.
const int kVideoK = 10, kVideoN = 12, kAudioK = 5, kAudioN = 6;
const int kIds[2] = {1001, 1002};

uint64_t Key(uint32_t ssrc, int pt) {
    return (static_cast<uint64_t>(ssrc) << 8) | static_cast<uint64_t>(pt & 0xFF);
}

uint32_t Be32(const std::vector<uint8_t>& d, size_t at) {
    return (static_cast<uint32_t>(d[at]) << 24) | (static_cast<uint32_t>(d[at + 1]) << 16) |
           (static_cast<uint32_t>(d[at + 2]) << 8) | d[at + 3];
}

// What the relay saw of one stream, and what it did to it.
struct Sent {
    uint64_t frames = 0;
    uint64_t data = 0;
    uint64_t dataDropped = 0;
    uint32_t lastTs = 0;
};

// Decides about every media datagram with a seeded xorshift, and counts what the
// senders sent. Runs on the relay's thread, under its lock.
class Faults {
public:
    Faults(uint32_t seed, int loss, int duplicate, int reorder)
        : m_random(seed ? seed : 1), m_loss(loss), m_duplicate(duplicate), m_reorder(reorder) {}

    RelayAction Decide(const std::vector<uint8_t>& d) {
        uint32_t x = m_random;
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        m_random = x;
        const int roll = static_cast<int>(x % 100u);
        RelayAction action = RelayAction::Forward;
        if (roll < m_loss)
            action = RelayAction::Drop;
        else if (roll < m_loss + m_duplicate)
            action = RelayAction::Duplicate;
        else if (roll < m_loss + m_duplicate + m_reorder)
            action = RelayAction::Hold;
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_datagrams;
        if (action == RelayAction::Drop) ++m_dropped;
        if (d.size() >= 32 && d[4] == 0) {
            Sent& s = m_sent[Key(Be32(d, 20), d[13] & 0x7F)];
            const uint32_t ts = Be32(d, 16);
            if (s.data == 0 || ts != s.lastTs) ++s.frames;
            s.lastTs = ts;
            ++s.data;
            if (action == RelayAction::Drop) ++s.dataDropped;
        }
        return action;
    }
    std::map<uint64_t, Sent> SentStreams() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_sent;
    }
    double LossRate() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_datagrams ? static_cast<double>(m_dropped) / static_cast<double>(m_datagrams) : 0;
    }

private:
    uint32_t m_random;
    int m_loss, m_duplicate, m_reorder;
    std::mutex m_mutex;
    uint64_t m_datagrams = 0, m_dropped = 0;
    std::map<uint64_t, Sent> m_sent;
};

// Sits between a facade's session and its play chain: counts the frames the session
// delivers per stream, then hands them on.
class DeliveryTap : public RAVO::IGetRtpFrameCallBack {
public:
    explicit DeliveryTap(RAVO::IGetRtpFrameCallBack* next) : m_next(next) {}
    int OnGetRtpFrame(int ssrc, int pt, char* data, int len, RAVO::_rtp_frame* frame) override {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            Counts& c = m_counts[Key(static_cast<uint32_t>(ssrc), pt)];
            ++c.frames;
            if (frame && frame->recovered) ++c.recovered;
        }
        return m_next ? m_next->OnGetRtpFrame(ssrc, pt, data, len, frame) : 0;
    }
    struct Counts {
        uint64_t frames = 0;
        uint64_t recovered = 0;
    };
    Counts Get(uint64_t key) {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_counts[key];
    }

private:
    RAVO::IGetRtpFrameCallBack* m_next;
    std::mutex m_mutex;
    std::map<uint64_t, Counts> m_counts;
};

// Pictures and sound the play chain produced, per kind.
class Played : public RAVO::ISamplerGrabVideoCallBack, public RAVO::ISamplerGrabAudioCallBack {
public:
    int OnGrabVideoSample(int, int, char*, int, int, int, int) override { return ++m_video, 0; }
    int OnGrabAudioSample(int, int, char*, int, int, int, int) override { return ++m_audio, 0; }
    std::atomic<uint64_t> m_video{0}, m_audio{0};
};

// One member: publishes as `id` and watches `other`; a tap on its session counts what
// reaches its play chain.
struct Member {
    Member(int id, int other, uint16_t relayPort) : id(id) {
        FacadeJoin join;
        join.play = &played;
        join.beforePlay = [this](RAVO::CStrevo& av) {
            tap = std::make_unique<DeliveryTap>(av.m_pSourceRTP);
            av.m_pRTPSession->setGetRtpFrameCB(tap.get());
        };
        facade = std::make_unique<FacadeMember>(relayPort, join);
        facade->Watch(other);
    }
    void Publish() { facade->Publish(id); }
    uint16_t LocalPort() { return facade->Av().m_pRTPSession->getLocalPort(); }

    int id;
    std::unique_ptr<DeliveryTap> tap;
    Played played;
    std::unique_ptr<FacadeMember> facade;  // leaves first: the tap and the grabbers outlive it
};

long ResidentKb() {
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f) return -1;
    long size = 0, resident = 0;
    const int got = std::fscanf(f, "%ld %ld", &size, &resident);
    std::fclose(f);
    return got == 2 ? resident * (sysconf(_SC_PAGESIZE) / 1024) : -1;
}

// What malloc holds in use: flat here while resident memory creeps means pages touched
// once, not a leak.
long HeapInUseKb() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long>(info.uordblks / 1024);
}

int OpenDescriptors() {
    DIR* d = opendir("/proc/self/fd");
    if (!d) return -1;
    int n = 0;
    while (dirent* e = readdir(d))
        if (e->d_name[0] != '.') ++n;
    closedir(d);
    return n - 1;  // the listing's own
}

// A data datagram lost for good: lost itself, and with at least n - k others of its
// group of n lost too (independent loss p). A frame of m data datagrams arrives whole
// when none of them is.
double PerfectCodeShare(double p, int k, int n, double m) {
    double recoverable = 0;  // at most n - k - 1 of the other n - 1 lost
    for (int i = 0; i <= n - k - 1; ++i)
        recoverable += std::tgamma(n) / (std::tgamma(i + 1) * std::tgamma(n - i)) * std::pow(p, i) *
                       std::pow(1 - p, n - 1 - i);
    const double residual = p * (1 - recoverable);
    return std::pow(1 - residual, m);
}

// Floods the given ports on 127.0.0.1 (the relay's host, so the sessions take the
// datagrams in) for `seconds` at about `rate` datagrams a second; returns how many.
uint64_t Flood(const std::vector<std::pair<uint16_t, uint32_t>>& targets, int seconds, int rate) {
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0) return 0;
    uint32_t x = 20261211u;
    auto next = [&x] {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        return x;
    };
    auto put16le = [](std::vector<uint8_t>& d, size_t at, uint32_t v) {
        d[at] = static_cast<uint8_t>(v);
        d[at + 1] = static_cast<uint8_t>(v >> 8);
    };
    auto put32be = [](std::vector<uint8_t>& d, size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) d[at + i] = static_cast<uint8_t>(v >> (8 * (3 - i)));
    };
    uint64_t sent = 0;
    const int slice = 10;  // ms
    const int perSlice = std::max(1, rate * slice / 1000);
    const auto start = std::chrono::steady_clock::now();
    const auto end = start + std::chrono::seconds(seconds);
    for (auto t = start; t < end; t += std::chrono::milliseconds(slice)) {
        for (int i = 0; i < perSlice; ++i) {
            const auto& target = targets[next() % targets.size()];
            std::vector<uint8_t> d;
            const uint32_t kind = next() % 4;
            if (kind == 0) {  // bytes only
                d.resize(1 + next() % 1400);
                for (uint8_t& b : d) b = static_cast<uint8_t>(next());
            } else {  // a watched stream's data datagram, any timestamp, any count
                const size_t payload = 1 + next() % 1200;
                d.assign(32 + payload, 0);
                for (size_t b = 32; b < d.size(); ++b) d[b] = static_cast<uint8_t>(next());
                const uint32_t magic = 0xA7E0DF30u;
                for (int b = 0; b < 4; ++b)
                    d[static_cast<size_t>(b)] = static_cast<uint8_t>(magic >> (8 * b));
                put16le(d, 10, static_cast<uint32_t>(payload + 20));
                d[12] = 0x80;
                d[13] = static_cast<uint8_t>(kind == 1 ? 97 : 99);
                d[14] = static_cast<uint8_t>(next());
                d[15] = static_cast<uint8_t>(next());
                put32be(d, 16, next());
                put32be(d, 20, target.second);
                const uint32_t count = 1 + next() % 1024;
                put16le(d, 24, count);
                put16le(d, 26, next() % count);
                put16le(d, 28, static_cast<uint32_t>(payload));
            }
            sockaddr_in to{};
            to.sin_family = AF_INET;
            to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            to.sin_port = htons(target.first);
            if (sendto(fd, d.data(), d.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to) > 0)
                ++sent;
        }
        std::this_thread::sleep_until(t + std::chrono::milliseconds(slice));
    }
    close(fd);
    return sent;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    const int loss = argc > 2 ? std::atoi(argv[2]) : 10;
    const int duplicate = argc > 3 ? std::atoi(argv[3]) : 5;
    const int reorder = argc > 4 ? std::atoi(argv[4]) : 5;
    const int hostile = argc > 5 ? std::atoi(argv[5]) : 30;
    const int floodRate = argc > 6 ? std::atoi(argv[6]) : 20000;
    const int afterFlood = 10;  // seconds of the normal streams alone again
    std::printf(
        "soak: %d s, relay loss %d %%, duplication %d %%, reordering %d %% (seed 20261210)\n",
        seconds, loss, duplicate, reorder);
    const int fdStart = OpenDescriptors();

    long memoryAt10 = -1, memoryPeakAfter10 = 0, memoryEnd = -1, heapAt10 = -1, heapEnd = -1;
    int fdsRunning = -1;
    Faults faults(20261210u, loss, duplicate, reorder);
    std::map<uint64_t, Sent> sent;
    uint64_t delivered[2][2] = {}, recovered[2][2] = {}, played[2][2] = {};
    {
        MediaStage::Options options;
        options.speakerPace = mivora_test::SoundPace::RealTime;
        options.keepPlayed = false;
        options.relayLifetimeMs = (seconds + hostile + afterFlood + 60) * 1000;
        options.relayBudget = 500000000;
        MediaStage stage(options);
        MediaRelay& relay = stage.relay;
        relay.SetKeptDatagrams(0);
        relay.SetRule([&](const std::vector<uint8_t>& d, uint64_t) { return faults.Decide(d); });
        Member a(kIds[0], kIds[1], relay.Port());
        Member b(kIds[1], kIds[0], relay.Port());
        for (int id : kIds) stage.WaitSubscribed(id, Streams::Audio);
        a.Publish();
        b.Publish();
        const auto start = std::chrono::steady_clock::now();
        for (int s = 1; s <= seconds; ++s) {
            std::this_thread::sleep_until(start + std::chrono::seconds(s));
            const long rss = ResidentKb();
            const long heap = HeapInUseKb();
            if (s == 10) {
                memoryAt10 = rss;
                heapAt10 = heap;
            }
            if (s >= 10 && rss > memoryPeakAfter10) memoryPeakAfter10 = rss;
            memoryEnd = rss;
            heapEnd = heap;
            fdsRunning = OpenDescriptors();
            if (s % 10 == 0 || s == seconds)
                std::printf("  %4d s: resident %ld kB, heap in use %ld kB, descriptors %d\n", s,
                            rss, heap, fdsRunning);
            std::fflush(stdout);
        }
        sent = faults.SentStreams();
        Member* members[2] = {&a, &b};
        for (int listener = 0; listener < 2; ++listener) {
            const uint32_t from = static_cast<uint32_t>(kIds[1 - listener]);
            for (int kind = 0; kind < 2; ++kind) {
                DeliveryTap::Counts c = members[listener]->tap->Get(Key(from, kind ? 97 : 99));
                delivered[1 - listener][kind] = c.frames;
                recovered[1 - listener][kind] = c.recovered;
            }
            played[1 - listener][0] = members[listener]->played.m_video;
            played[1 - listener][1] = members[listener]->played.m_audio;
        }
        // The figures above are the normal phase's; the flood comes after them.
        if (hostile > 0) {
            // Each member's port, with the id of the stream it watches.
            const std::vector<std::pair<uint16_t, uint32_t>> targets = {
                {a.LocalPort(), static_cast<uint32_t>(kIds[1])},
                {b.LocalPort(), static_cast<uint32_t>(kIds[0])}};
            const long rssBefore = ResidentKb(), heapBefore = HeapInUseKb();
            long rssPeak = rssBefore;
            uint64_t flooded = 0;
            std::thread flooder([&] { flooded = Flood(targets, hostile, floodRate); });
            const auto floodStart = std::chrono::steady_clock::now();
            for (int s = 1; s <= hostile; ++s) {
                std::this_thread::sleep_until(floodStart + std::chrono::seconds(s));
                rssPeak = std::max(rssPeak, ResidentKb());
            }
            flooder.join();
            const long rssFlood = ResidentKb(), heapFlood = HeapInUseKb();
            std::this_thread::sleep_for(std::chrono::seconds(afterFlood));
            const long rssAfter = ResidentKb(), heapAfter = HeapInUseKb();
            std::printf(
                "hostile phase: %llu datagrams in %d s at the media ports, then %d s of the "
                "normal streams\n",
                static_cast<unsigned long long>(flooded), hostile, afterFlood);
            std::printf(
                "  resident memory: %ld kB before, %ld kB at the flood's end (highest %ld kB), "
                "%ld kB after (%+ld kB)\n",
                rssBefore, rssFlood, rssPeak, rssAfter, rssAfter - rssBefore);
            std::printf(
                "  heap in use: %ld kB before, %ld kB at the flood's end, %ld kB after (%+ld kB)\n",
                heapBefore, heapFlood, heapAfter, heapAfter - heapBefore);
        }
    }
    const int fdEnd = OpenDescriptors();

    const double p = faults.LossRate();
    std::printf("relay dropped %.2f %% of the media datagrams\n", 100 * p);
    for (int who = 0; who < 2; ++who) {
        for (int kind = 0; kind < 2; ++kind) {
            const Sent s = sent[Key(static_cast<uint32_t>(kIds[who]), kind ? 97 : 99)];
            const int k = kind ? kAudioK : kVideoK, n = kind ? kAudioN : kVideoN;
            const double m =
                s.frames ? static_cast<double>(s.data) / static_cast<double>(s.frames) : 0;
            const double allowed = PerfectCodeShare(p, k, n, m) * static_cast<double>(s.frames);
            const uint64_t got = delivered[who][kind];
            std::printf(
                "%d %s: sent %llu frames (%.2f data datagrams each), delivered %llu (%.1f %%, "
                "%llu with recovered data), a perfect (%d, %d) code allows %.0f (%.1f %%); "
                "played %llu\n",
                kIds[who], kind ? "audio" : "video", static_cast<unsigned long long>(s.frames), m,
                static_cast<unsigned long long>(got),
                s.frames ? 100.0 * static_cast<double>(got) / static_cast<double>(s.frames) : 0,
                static_cast<unsigned long long>(recovered[who][kind]), k, n, allowed,
                s.frames ? 100.0 * allowed / static_cast<double>(s.frames) : 0,
                static_cast<unsigned long long>(played[who][kind]));
        }
    }
    std::printf("resident memory: %ld kB at 10 s, %ld kB at the end (highest after 10 s: %ld kB)\n",
                memoryAt10, memoryEnd, memoryPeakAfter10);
    std::printf("heap in use: %ld kB at 10 s, %ld kB at the end\n", heapAt10, heapEnd);
    std::printf("open descriptors: %d at the start, %d while running, %d at the end\n", fdStart,
                fdsRunning, fdEnd);
    return 0;
}
