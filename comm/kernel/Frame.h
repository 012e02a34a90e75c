// The wire frame: u32 total length, u8 10, u8 0, u16 main command, u16 sub command,
// payload; little-endian, no padding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace comm {

constexpr int kFrameHeaderSize = 10;
constexpr int kMaxFrameSize = 8192;

constexpr uint16_t kMainLogon = 103;  // logon and lobby commands
constexpr uint16_t kMainLobbyKeepAlive = 104;
constexpr uint16_t kMainRoom = 105;

// A zero-filled frame of fixed length, written field by field at byte offsets.
class FrameBuilder {
public:
    FrameBuilder(uint16_t mainCmd, uint16_t subCmd, size_t length);

    void PutU8(size_t offset, uint8_t v);
    void PutU16(size_t offset, uint16_t v);
    void PutI16(size_t offset, int16_t v) { PutU16(offset, static_cast<uint16_t>(v)); }
    void PutU32(size_t offset, uint32_t v);
    void PutI32(size_t offset, int32_t v) { PutU32(offset, static_cast<uint32_t>(v)); }
    // Copies `n` bytes (a text field or a whole record) to `offset`.
    void PutBytes(size_t offset, const void* bytes, size_t n);
    // Copies a NUL-terminated text into a field of `width` bytes, always terminated.
    void PutText(size_t offset, const char* text, size_t width);

    const uint8_t* data() const { return m_bytes.data(); }
    int size() const { return static_cast<int>(m_bytes.size()); }
    const std::vector<uint8_t>& bytes() const { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
};

// The 14-byte frame that opens every connection.
FrameBuilder HelloFrame(uint16_t mainCmd);

inline uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline uint16_t ReadU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

}  // namespace comm
