// A raw protocol client for the world tests: the other members of a room, written
// from the wire layouts, with no code of the client library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace worldtest {

using Bytes = std::vector<uint8_t>;

struct Frame {
    uint16_t mainCmd = 0;
    uint16_t subCmd = 0;
    Bytes payload;
    int32_t I32(size_t at) const;
    uint16_t U16(size_t at) const;
    uint8_t U8(size_t at) const;
    std::string Text(size_t at, size_t width) const;
};

class RawClient {
public:
    // Connects and sends the hello of `mainCmd`; check Connected().
    RawClient(uint16_t port, uint16_t mainCmd);
    ~RawClient();
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    bool Connected() const { return m_fd >= 0; }
    void Send(const Bytes& frame);
    // The next frame, or false after `timeoutMs` or when the server closed.
    bool Next(Frame& out, int timeoutMs = 5000);
    // Skips frames until one of (main, sub) arrives; false when none does in time.
    bool Await(uint16_t mainCmd, uint16_t subCmd, Frame& out, int timeoutMs = 5000);
    void Close();

private:
    int m_fd = -1;
    Bytes m_in;
};

// Requests as the client frames them.
Bytes LogonRequest(int32_t userId, const std::string& password);
Bytes JoinRequest(int32_t userId, int32_t roomId, const std::string& logonText,
                  const std::string& roomPassword);
Bytes ChatRequest(int32_t roomId, int32_t senderId, int32_t targetId, uint8_t kind,
                  const std::string& senderAlias, const std::string& text);
Bytes ExitRequest(int32_t userId, int32_t roomId);

// Any room request: the fields are written one after another, little-endian, into a
// payload of at least `size` bytes (zero-filled past the last field).
class RoomRequest {
public:
    RoomRequest(uint16_t subCmd, size_t size) : m_sub(subCmd), m_size(size) {}
    RoomRequest& i32(int32_t v);
    RoomRequest& u16(uint16_t v);
    RoomRequest& u8(uint8_t v);
    RoomRequest& text(const std::string& s, size_t width);
    Bytes frame() const;

private:
    uint16_t m_sub;
    size_t m_size;
    Bytes m_payload;
};

}  // namespace worldtest
