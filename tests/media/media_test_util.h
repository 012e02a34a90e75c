// Small helpers of the media tests: a trace catcher, a bare UDP peer, a frame
// collector and builders of data and parity datagrams.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "rtp/RTPDefs.h"
#include "rtp/RTPSession.h"
#include "util/AVLogger.h"

namespace media_test {

using Bytes = std::vector<uint8_t>;

// Collects the engine's trace lines while it is alive.
class TraceCatcher : public RAVO::IAVLogger {
public:
    TraceCatcher() { RAVO::SetAVLogger(this); }
    ~TraceCatcher() { RAVO::SetAVLogger(nullptr); }
    void Log(int level, const char* format, ...) override {
        char line[1024];
        va_list args;
        va_start(args, format);
        std::vsnprintf(line, sizeof(line), format, args);
        va_end(args);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_lines.emplace_back(line);
        m_level = level;
    }
    size_t Count(const std::string& part) {
        std::lock_guard<std::mutex> lock(m_mutex);
        size_t n = 0;
        for (const std::string& l : m_lines)
            if (l.find(part) != std::string::npos) ++n;
        return n;
    }
    // Waits (bounded) until `part` occurs at least `count` times.
    bool WaitFor(const std::string& part, size_t count, int timeoutMs = 10000) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (Count(part) < count) {
            if (std::chrono::steady_clock::now() >= until) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }
    int LastLevel() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_level;
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_lines;
    int m_level = 0;
};

// A bare UDP socket on 127.0.0.1, standing in for a relay where the test reads
// the exact bytes a session sends.
class UdpPeer {
public:
    UdpPeer() {
        m_fd = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in a;
        std::memset(&a, 0, sizeof(a));
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof(a));
        socklen_t len = sizeof(a);
        getsockname(m_fd, reinterpret_cast<sockaddr*>(&a), &len);
        m_port = ntohs(a.sin_port);
    }
    ~UdpPeer() { close(m_fd); }
    uint16_t Port() const { return m_port; }
    // One datagram, or an empty vector after `timeoutMs`.
    Bytes Recv(int timeoutMs = 10000) {
        pollfd p{m_fd, POLLIN, 0};
        if (poll(&p, 1, timeoutMs) <= 0) return {};
        Bytes d(2048);
        const ssize_t got = recv(m_fd, d.data(), d.size(), 0);
        d.resize(got > 0 ? static_cast<size_t>(got) : 0);
        return d;
    }
    void SendTo(uint16_t port, const Bytes& d) {
        sockaddr_in to;
        std::memset(&to, 0, sizeof(to));
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        to.sin_port = htons(port);
        sendto(m_fd, d.data(), d.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof(to));
    }

private:
    int m_fd;
    uint16_t m_port = 0;
};

struct Frame {
    int ssrc, pt;
    uint32_t ts;
    std::string data;
    int loss;
    int recovered;
    int complete;
};

// The play chain's end: keeps what the session delivered.
class FrameCollector : public RAVO::IGetRtpFrameCallBack {
public:
    int OnGetRtpFrame(int ssrc, int pt, char* data, int len, RAVO::_rtp_frame* f) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_frames.push_back({ssrc, pt, f->ts, std::string(data, static_cast<size_t>(len)), f->loss,
                            f->recovered, f->complete});
        return 0;
    }
    std::vector<Frame> Frames() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_frames;
    }
    size_t Size() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_frames.size();
    }
    bool WaitForSize(size_t n, int timeoutMs = 10000) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (Size() < n) {
            if (std::chrono::steady_clock::now() >= until) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

private:
    std::mutex m_mutex;
    std::vector<Frame> m_frames;
};

inline void put16le(Bytes& d, size_t at, uint16_t v) {
    d[at] = static_cast<uint8_t>(v);
    d[at + 1] = static_cast<uint8_t>(v >> 8);
}
inline void put32le(Bytes& d, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) d[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void put32be(Bytes& d, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) d[at + i] = static_cast<uint8_t>(v >> (8 * (3 - i)));
}
inline uint16_t get16le(const Bytes& d, size_t at) {
    return static_cast<uint16_t>(d[at] | (d[at + 1] << 8));
}
inline uint16_t get16be(const Bytes& d, size_t at) {
    return static_cast<uint16_t>((d[at] << 8) | d[at + 1]);
}
inline uint32_t get32le(const Bytes& d, size_t at) {
    return static_cast<uint32_t>(d[at]) | (static_cast<uint32_t>(d[at + 1]) << 8) |
           (static_cast<uint32_t>(d[at + 2]) << 16) | (static_cast<uint32_t>(d[at + 3]) << 24);
}
inline uint32_t get32be(const Bytes& d, size_t at) {
    return (static_cast<uint32_t>(d[at]) << 24) | (static_cast<uint32_t>(d[at + 1]) << 16) |
           (static_cast<uint32_t>(d[at + 2]) << 8) | static_cast<uint32_t>(d[at + 3]);
}

struct DataFields {
    uint32_t ssrc = 77;
    int pt = RTP_PT_VIDEO;
    uint16_t seq = 1;
    uint32_t ts = 1000;
    uint16_t count = 1;
    uint16_t index = 0;
    int group = 0, k = 0, slot = 0;
    bool marker = true;
};

// A kind 0 datagram as the sender builds it; `payload` bytes of `fill`.
inline Bytes MakeData(const DataFields& f, size_t payload, uint8_t fill = 0x5A) {
    Bytes d(32 + payload, 0);
    put32le(d, 0, RAVO::RTP_ENVELOPE_MAGIC);
    d[4] = 0;
    d[7] = static_cast<uint8_t>(f.group);
    d[8] = static_cast<uint8_t>(f.k);
    d[9] = static_cast<uint8_t>(f.slot);
    put16le(d, 10, static_cast<uint16_t>(payload + 20));
    d[12] = 0x80;
    d[13] = static_cast<uint8_t>((f.marker ? 0x80 : 0) | (f.pt & 0x7F));
    d[14] = static_cast<uint8_t>(f.seq >> 8);
    d[15] = static_cast<uint8_t>(f.seq);
    put32be(d, 16, f.ts);
    put32be(d, 20, f.ssrc);
    put16le(d, 24, f.count);
    put16le(d, 26, f.index);
    put16le(d, 28, static_cast<uint16_t>(payload));
    for (size_t i = 0; i < payload; ++i) d[32 + i] = fill;
    return d;
}

inline Bytes MakeParity(uint32_t ssrc, int pt, int group, int k, int index, size_t blockLen) {
    Bytes d(16 + blockLen, 0);
    put32le(d, 0, RAVO::RTP_ENVELOPE_MAGIC);
    d[4] = 2;
    d[6] = static_cast<uint8_t>(pt);
    d[7] = static_cast<uint8_t>(group);
    d[8] = static_cast<uint8_t>(k);
    d[9] = static_cast<uint8_t>(index);
    put16le(d, 10, static_cast<uint16_t>(blockLen + 4));
    put32le(d, 12, ssrc);
    return d;
}

// Frame bytes that differ per `number`, which also stands in the first 4 bytes.
inline std::string NumberedFrame(size_t len, int number) {
    std::string f(len, '\0');
    for (size_t i = 0; i < len; ++i)
        f[i] = static_cast<char>((i * 31 + static_cast<size_t>(number) * 7) & 0xFF);
    if (len >= 4) std::memcpy(&f[0], &number, 4);
    return f;
}

// One datagram through the session's processing step, as if received.
inline void Feed(RAVO::CRTPSession& session, const Bytes& d) {
    RAVO::RTPPacket* p = new RAVO::RTPPacket;
    std::memcpy(p->data, d.data(), d.size());
    p->len = static_cast<int>(d.size());
    session.addIncomingPacket(p);
    session.procIncomingData();
}

inline bool IsKind(const Bytes& d, int kind) {
    return d.size() >= 5 && get32le(d, 0) == RAVO::RTP_ENVELOPE_MAGIC && d[4] == kind;
}

}  // namespace media_test
