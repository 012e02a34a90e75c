#include "world_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>

namespace worldtest {

namespace {

void Put32(Bytes& b, size_t at, int32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
}
void Put16(Bytes& b, size_t at, uint16_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void PutText(Bytes& b, size_t at, const std::string& s, size_t width) {
    std::memcpy(&b[at], s.data(), std::min(s.size(), width));
}
// A zero-filled frame of `length` bytes with its header.
Bytes NewFrame(size_t length, uint16_t mainCmd, uint16_t subCmd) {
    Bytes b(length, 0);
    Put32(b, 0, static_cast<int32_t>(length));
    b[4] = 10;
    Put16(b, 6, mainCmd);
    Put16(b, 8, subCmd);
    return b;
}

}  // namespace

int32_t Frame::I32(size_t at) const {
    if (at + 4 > payload.size()) return 0;
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(payload[at + i]) << (8 * i);
    return static_cast<int32_t>(v);
}
uint16_t Frame::U16(size_t at) const {
    return at + 2 > payload.size() ? 0 : static_cast<uint16_t>(payload[at] | payload[at + 1] << 8);
}
uint8_t Frame::U8(size_t at) const {
    return at < payload.size() ? payload[at] : 0;
}
std::string Frame::Text(size_t at, size_t width) const {
    if (at >= payload.size()) return std::string();
    const char* p = reinterpret_cast<const char*>(payload.data() + at);
    return std::string(p, strnlen(p, std::min(width, payload.size() - at)));
}

RawClient::RawClient(uint16_t port, uint16_t mainCmd) {
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    if (m_fd < 0 || ::connect(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        Close();
        return;
    }
    Bytes hello = NewFrame(14, mainCmd, 1);
    hello[10] = 12;
    hello[11] = 8;
    hello[12] = 7;
    hello[13] = 1;
    Send(hello);
}

RawClient::~RawClient() {
    Close();
}

void RawClient::Close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

void RawClient::Send(const Bytes& frame) {
    size_t done = 0;
    while (m_fd >= 0 && done < frame.size()) {
        ssize_t n = ::send(m_fd, frame.data() + done, frame.size() - done, MSG_NOSIGNAL);
        if (n <= 0) return;
        done += static_cast<size_t>(n);
    }
}

bool RawClient::Next(Frame& out, int timeoutMs) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (m_in.size() >= 10) {
            uint32_t length =
                m_in[0] | m_in[1] << 8 | m_in[2] << 16 | static_cast<uint32_t>(m_in[3]) << 24;
            if (length < 10 || length > 8192) return false;
            if (m_in.size() >= length) {
                out.mainCmd = static_cast<uint16_t>(m_in[6] | m_in[7] << 8);
                out.subCmd = static_cast<uint16_t>(m_in[8] | m_in[9] << 8);
                out.payload.assign(m_in.begin() + 10, m_in.begin() + length);
                m_in.erase(m_in.begin(), m_in.begin() + length);
                return true;
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        if (m_fd < 0 || left.count() <= 0) return false;
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) return false;
        uint8_t buffer[8192];
        ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (n <= 0) return false;
        m_in.insert(m_in.end(), buffer, buffer + n);
    }
}

bool RawClient::Await(uint16_t mainCmd, uint16_t subCmd, Frame& out, int timeoutMs) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !Next(out, static_cast<int>(left.count()))) return false;
        if (out.mainCmd == mainCmd && out.subCmd == subCmd) return true;
    }
}

Bytes LogonRequest(int32_t userId, const std::string& password) {
    Bytes b = NewFrame(100, 103, 3);
    Put32(b, 10, userId);
    PutText(b, 22, password, 20);
    return b;
}

Bytes JoinRequest(int32_t userId, int32_t roomId, const std::string& logonText,
                  const std::string& roomPassword) {
    Bytes b = NewFrame(115, 105, 25);
    Put32(b, 10, userId);
    Put32(b, 14, roomId);
    PutText(b, 22, logonText, 36);
    PutText(b, 58, roomPassword, 16);
    return b;
}

Bytes ChatRequest(int32_t roomId, int32_t senderId, int32_t targetId, uint8_t kind,
                  const std::string& senderAlias, const std::string& text) {
    Bytes b = NewFrame(10 + 67 + text.size() + 1, 105, 43);
    Put32(b, 10, roomId);
    Put32(b, 14, senderId);
    Put32(b, 18, targetId);
    b[23] = kind;
    Put16(b, 24, static_cast<uint16_t>(text.size() + 1));
    PutText(b, 26, senderAlias, 16);
    PutText(b, 77, text, text.size());
    return b;
}

Bytes ExitRequest(int32_t userId, int32_t roomId) {
    Bytes b = NewFrame(18, 105, 34);
    Put32(b, 10, userId);
    Put32(b, 14, roomId);
    return b;
}

RoomRequest& RoomRequest::i32(int32_t v) {
    for (int i = 0; i < 4; ++i)
        m_payload.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
    return *this;
}

RoomRequest& RoomRequest::u16(uint16_t v) {
    m_payload.push_back(static_cast<uint8_t>(v));
    m_payload.push_back(static_cast<uint8_t>(v >> 8));
    return *this;
}

RoomRequest& RoomRequest::u8(uint8_t v) {
    m_payload.push_back(v);
    return *this;
}

RoomRequest& RoomRequest::text(const std::string& s, size_t width) {
    const size_t at = m_payload.size();
    m_payload.resize(at + width, 0);
    std::memcpy(&m_payload[at], s.data(), std::min(s.size(), width));
    return *this;
}

Bytes RoomRequest::frame() const {
    const size_t size = std::max(m_size, m_payload.size());
    Bytes b = NewFrame(10 + size, 105, m_sub);
    std::copy(m_payload.begin(), m_payload.end(), b.begin() + 10);
    return b;
}

}  // namespace worldtest
