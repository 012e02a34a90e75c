// A stand-in media relay on 127.0.0.1 (UDP) for tests and benchmarks.
//
// It learns the senders of a stream (ssrc, payload type) from Register and the
// subscribers from Subscribe, and forwards the stream's data and parity datagrams
// from a registered sender to every subscriber. Media datagrams can be dropped,
// duplicated or held back (reordered) by a seeded random rule or by a rule of the
// test's own. It stops by itself after its lifetime or its datagram budget; the
// local world runs one without either, on a port of its choosing.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace mivora_test {

enum class RelayAction { Forward, Drop, Duplicate, Hold };

struct RelayControl {
    int op;  // 1 Register, 2 Subscribe, 3 Unregister, 4 Unsubscribe
    uint32_t ssrc;
    int pt;
    uint16_t fromPort;
    int length;
};

class MediaRelay {
public:
    struct Faults {
        uint32_t seed = 1;
        int dropPercent = 0;
        int duplicatePercent = 0;
        int reorderPercent = 0;  // held back and sent after the next one
    };
    // Decides about one media datagram; `index` counts the media datagrams seen.
    using Rule = std::function<RelayAction(const std::vector<uint8_t>& datagram, uint64_t index)>;

    // A lifetime of 0 or less and a budget of 0 mean none; port 0 is a free port.
    explicit MediaRelay(int lifetimeMs = 30000, size_t maxDatagrams = 500000, uint16_t port = 0);
    ~MediaRelay();
    MediaRelay(const MediaRelay&) = delete;
    MediaRelay& operator=(const MediaRelay&) = delete;

    bool Start();
    void Stop();
    uint16_t Port() const { return m_port; }

    void SetFaults(const Faults& faults);
    void SetRule(Rule rule);
    // How many received datagrams Received() keeps (20000 unless set).
    void SetKeptDatagrams(size_t count);
    // Sends the envelope with `kind` (5 or 6 tell a session to stop taking media)
    // to every endpoint the relay has heard from.
    void SendKind(uint8_t kind);
    // Sends raw bytes from the relay's socket to a local port.
    void SendTo(uint16_t port, const std::vector<uint8_t>& bytes);

    std::vector<RelayControl> Controls() const;
    size_t CountControls(int op, uint32_t ssrc, int pt) const;
    // Every datagram received (the first 20000 are kept).
    std::vector<std::vector<uint8_t>> Received() const;
    size_t ReceivedCount() const;
    size_t ForwardedCount() const;
    size_t DroppedCount() const;
    // Waits until `done` holds or `timeoutMs` passed; true when it holds.
    bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 10000) const;

private:
    void run();
    void handle(const std::vector<uint8_t>& d, uint16_t fromPort);
    void forward(const std::vector<uint8_t>& d, uint64_t key);
    void sendRaw(uint16_t port, const std::vector<uint8_t>& d);
    RelayAction decide(const std::vector<uint8_t>& d);

    int m_lifetimeMs;
    size_t m_maxDatagrams;
    size_t m_kept = 20000;
    int m_fd = -1;
    uint16_t m_port = 0;
    std::thread m_thread;
    std::atomic<bool> m_quit{false};

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    Faults m_faults;
    Rule m_rule;
    uint32_t m_random = 1;
    uint64_t m_mediaIndex = 0;
    std::map<uint64_t, std::set<uint16_t>> m_senders;      // key -> registered ports
    std::map<uint64_t, std::set<uint16_t>> m_subscribers;  // key -> subscribed ports
    std::set<uint16_t> m_peers;
    std::vector<RelayControl> m_controls;
    std::vector<std::vector<uint8_t>> m_received;
    size_t m_receivedCount = 0;
    size_t m_forwarded = 0;
    size_t m_dropped = 0;
    std::vector<std::pair<std::vector<uint8_t>, uint64_t>> m_held;
};

}  // namespace mivora_test
