// Bounded little-endian reads of one answer's payload (the frame after its 10-byte
// header). The dispatch checks an answer's layout against Size() before it reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "model/FixedText.h"

namespace comm {
namespace dispatch {

class Payload {
public:
    Payload(const uint8_t* bytes, size_t size) : m_bytes(bytes), m_size(size) {}

    size_t Size() const { return m_size; }
    const uint8_t* Bytes() const { return m_bytes; }
    // Whether `width` bytes at `offset` lie inside the payload.
    bool Has(size_t offset, size_t width) const {
        return offset <= m_size && width <= m_size - offset;
    }

    // Reads outside the payload give 0; callers check the layout first, this only
    // keeps a mistake from reading past the frame.
    uint8_t U8(size_t at) const { return Has(at, 1) ? m_bytes[at] : 0; }
    uint16_t U16(size_t at) const {
        return Has(at, 2) ? static_cast<uint16_t>(m_bytes[at] | m_bytes[at + 1] << 8) : 0;
    }
    int32_t I32(size_t at) const {
        if (!Has(at, 4)) return 0;
        uint32_t v = static_cast<uint32_t>(m_bytes[at]) |
                     static_cast<uint32_t>(m_bytes[at + 1]) << 8 |
                     static_cast<uint32_t>(m_bytes[at + 2]) << 16 |
                     static_cast<uint32_t>(m_bytes[at + 3]) << 24;
        return static_cast<int32_t>(v);
    }
    int64_t I64(size_t at) const {
        if (!Has(at, 8)) return 0;
        uint64_t lo = static_cast<uint32_t>(I32(at));
        uint64_t hi = static_cast<uint32_t>(I32(at + 4));
        return static_cast<int64_t>(lo | hi << 32);
    }
    // The text at `at`: up to its NUL, at most `width` bytes, never past the payload.
    std::string Text(size_t at, size_t width) const {
        if (at >= m_size) return std::string();
        size_t left = m_size - at;
        return FixedFieldText(reinterpret_cast<const char*>(m_bytes + at),
                              width < left ? width : left);
    }
    // The text at `at` up to its NUL or the payload's end.
    std::string Text(size_t at) const { return Text(at, m_size); }

    // A heap copy for a notification's lParam, freed with CCommKernel::free_msgdata.
    // One NUL follows the payload so that a text at its end is always terminated.
    char* Copy() const {
        char* copy = new char[m_size + 1];
        if (m_size) std::memcpy(copy, m_bytes, m_size);
        copy[m_size] = 0;
        return copy;
    }

private:
    const uint8_t* m_bytes;
    size_t m_size;
};

}  // namespace dispatch
}  // namespace comm
