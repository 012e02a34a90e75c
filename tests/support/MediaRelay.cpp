#include "MediaRelay.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

namespace mivora_test {

namespace {

const uint32_t kMagic = 0xA7E0DF30u;

uint32_t le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint32_t be32(const uint8_t* p) {
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}
uint64_t streamKey(uint32_t ssrc, int pt) {
    return (static_cast<uint64_t>(ssrc) << 8) | static_cast<uint64_t>(pt & 0xFF);
}

}  // namespace

MediaRelay::MediaRelay(int lifetimeMs, size_t maxDatagrams, uint16_t port)
    : m_lifetimeMs(lifetimeMs), m_maxDatagrams(maxDatagrams), m_port(port) {}

MediaRelay::~MediaRelay() {
    Stop();
}

bool MediaRelay::Start() {
    m_fd = socket(AF_INET, SOCK_DGRAM, 0);
    if (m_fd < 0) return false;
    int buffer = 1 << 20;
    setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof(buffer));
    sockaddr_in a;
    std::memset(&a, 0, sizeof(a));
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(m_port);
    if (bind(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof(a)) != 0) {
        close(m_fd);
        m_fd = -1;
        return false;
    }
    socklen_t len = sizeof(a);
    getsockname(m_fd, reinterpret_cast<sockaddr*>(&a), &len);
    m_port = ntohs(a.sin_port);
    m_quit = false;
    m_thread = std::thread([this] { run(); });
    return true;
}

void MediaRelay::Stop() {
    m_quit = true;
    if (m_thread.joinable()) m_thread.join();
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
}

void MediaRelay::SetFaults(const Faults& faults) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults = faults;
    m_random = faults.seed ? faults.seed : 1;
}

void MediaRelay::SetRule(Rule rule) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_rule = std::move(rule);
}

void MediaRelay::SetKeptDatagrams(size_t count) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_kept = count;
}

void MediaRelay::sendRaw(uint16_t port, const std::vector<uint8_t>& d) {
    sockaddr_in to;
    std::memset(&to, 0, sizeof(to));
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(port);
    sendto(m_fd, d.data(), d.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof(to));
}

void MediaRelay::SendTo(uint16_t port, const std::vector<uint8_t>& bytes) {
    sendRaw(port, bytes);
}

void MediaRelay::SendKind(uint8_t kind) {
    std::vector<uint8_t> d = {0x30, 0xDF, 0xE0, 0xA7, kind, 0, 0, 0};
    std::set<uint16_t> peers;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        peers = m_peers;
    }
    for (uint16_t port : peers) sendRaw(port, d);
}

std::vector<RelayControl> MediaRelay::Controls() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_controls;
}

size_t MediaRelay::CountControls(int op, uint32_t ssrc, int pt) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    size_t n = 0;
    for (const RelayControl& c : m_controls)
        if (c.op == op && c.ssrc == ssrc && c.pt == pt) ++n;
    return n;
}

std::vector<std::vector<uint8_t>> MediaRelay::Received() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received;
}

size_t MediaRelay::ReceivedCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_receivedCount;
}

size_t MediaRelay::ForwardedCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_forwarded;
}

size_t MediaRelay::DroppedCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_dropped;
}

bool MediaRelay::WaitUntil(const std::function<bool()>& done, int timeoutMs) const {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= until) return false;
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait_for(lock, std::chrono::milliseconds(5));
    }
    return true;
}

RelayAction MediaRelay::decide(const std::vector<uint8_t>& d) {
    const uint64_t index = m_mediaIndex++;
    if (m_rule) return m_rule(d, index);
    // xorshift32: the same seed gives the same faults on every run.
    uint32_t x = m_random;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    m_random = x;
    const int roll = static_cast<int>(x % 100u);
    if (roll < m_faults.dropPercent) return RelayAction::Drop;
    if (roll < m_faults.dropPercent + m_faults.duplicatePercent) return RelayAction::Duplicate;
    if (roll < m_faults.dropPercent + m_faults.duplicatePercent + m_faults.reorderPercent)
        return RelayAction::Hold;
    return RelayAction::Forward;
}

void MediaRelay::forward(const std::vector<uint8_t>& d, uint64_t key) {
    auto it = m_subscribers.find(key);
    if (it == m_subscribers.end()) return;
    for (uint16_t port : it->second) {
        sendRaw(port, d);
        ++m_forwarded;
    }
}

void MediaRelay::handle(const std::vector<uint8_t>& d, uint16_t fromPort) {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_receivedCount;
    if (m_received.size() < m_kept) m_received.push_back(d);
    m_peers.insert(fromPort);
    if (d.size() < 5 || le32(d.data()) != kMagic) return;
    const int kind = d[4];
    if (kind == 1 && d.size() >= 13) {
        RelayControl c{d[7], le32(d.data() + 8), d[12], fromPort, static_cast<int>(d.size())};
        m_controls.push_back(c);
        const uint64_t key = streamKey(c.ssrc, c.pt);
        if (c.op == 1) m_senders[key].insert(fromPort);
        if (c.op == 3) m_senders[key].erase(fromPort);
        if (c.op == 2) m_subscribers[key].insert(fromPort);
        if (c.op == 4) m_subscribers[key].erase(fromPort);
        return;
    }
    uint64_t key;
    if ((kind == 0 || kind == 3) && d.size() >= 24)
        key = streamKey(be32(d.data() + 20), d[13] & 0x7F);
    else if (kind == 2 && d.size() >= 16)
        key = streamKey(le32(d.data() + 12), d[6]);
    else
        return;
    auto sender = m_senders.find(key);
    if (sender == m_senders.end() || !sender->second.count(fromPort)) return;
    switch (decide(d)) {
        case RelayAction::Drop:
            ++m_dropped;
            return;
        case RelayAction::Hold:
            m_held.emplace_back(d, key);
            return;
        case RelayAction::Duplicate:
            forward(d, key);
            forward(d, key);
            break;
        case RelayAction::Forward:
            forward(d, key);
            break;
    }
    for (auto& held : m_held) forward(held.first, held.second);
    m_held.clear();
}

void MediaRelay::run() {
    const bool forever = m_lifetimeMs <= 0;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_lifetimeMs);
    std::vector<uint8_t> buffer(2048);
    size_t handled = 0;
    while (!m_quit && (m_maxDatagrams == 0 || handled < m_maxDatagrams) &&
           (forever || std::chrono::steady_clock::now() < until)) {
        pollfd p{m_fd, POLLIN, 0};
        bool holding;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            holding = !m_held.empty();
        }
        // Held datagrams go out after 10 quiet milliseconds; with none, the wait is long
        // (bounded for Stop() and the lifetime).
        if (poll(&p, 1, holding ? 10 : 100) <= 0) {
            // Idle: whatever was held back goes out now.
            std::lock_guard<std::mutex> lock(m_mutex);
            for (auto& held : m_held) forward(held.first, held.second);
            m_held.clear();
            continue;
        }
        sockaddr_in from;
        socklen_t fromLen = sizeof(from);
        const ssize_t got = recvfrom(m_fd, buffer.data(), buffer.size(), 0,
                                     reinterpret_cast<sockaddr*>(&from), &fromLen);
        if (got < 0) continue;
        ++handled;
        handle(std::vector<uint8_t>(buffer.begin(), buffer.begin() + got), ntohs(from.sin_port));
        m_changed.notify_all();
    }
}

}  // namespace mivora_test
