#include "kernel/Frame.h"

#include <cstring>

namespace comm {

// Offsets are the kernel's own constants; a write past the end is dropped rather
// than trusted.
FrameBuilder::FrameBuilder(uint16_t mainCmd, uint16_t subCmd, size_t length)
    : m_bytes(length < kFrameHeaderSize ? kFrameHeaderSize : length, 0) {
    PutU32(0, static_cast<uint32_t>(m_bytes.size()));
    PutU8(4, 10);
    PutU8(5, 0);
    PutU16(6, mainCmd);
    PutU16(8, subCmd);
}

void FrameBuilder::PutU8(size_t offset, uint8_t v) {
    if (offset + 1 > m_bytes.size()) return;
    m_bytes[offset] = v;
}

void FrameBuilder::PutU16(size_t offset, uint16_t v) {
    if (offset + 2 > m_bytes.size()) return;
    m_bytes[offset] = static_cast<uint8_t>(v);
    m_bytes[offset + 1] = static_cast<uint8_t>(v >> 8);
}

void FrameBuilder::PutU32(size_t offset, uint32_t v) {
    if (offset + 4 > m_bytes.size()) return;
    for (int i = 0; i < 4; ++i) m_bytes[offset + i] = static_cast<uint8_t>(v >> (8 * i));
}

void FrameBuilder::PutBytes(size_t offset, const void* bytes, size_t n) {
    if (n == 0) return;
    if (offset + n > m_bytes.size()) return;
    std::memcpy(&m_bytes[offset], bytes, n);
}

void FrameBuilder::PutText(size_t offset, const char* text, size_t width) {
    if (width == 0 || offset + width > m_bytes.size()) return;
    std::memset(&m_bytes[offset], 0, width);
    if (!text) return;
    size_t n = strnlen(text, width - 1);
    std::memcpy(&m_bytes[offset], text, n);
}

FrameBuilder HelloFrame(uint16_t mainCmd) {
    FrameBuilder f(mainCmd, 1, 14);
    const uint8_t tail[4] = {12, 8, 7, 1};
    f.PutBytes(10, tail, 4);
    return f;
}

}  // namespace comm
