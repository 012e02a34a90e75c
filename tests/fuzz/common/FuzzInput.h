// Structured values read from one fuzz input, front to back. Past the end every
// number is zero and every chunk empty, so that a short input is still a whole run
// and the same bytes always give the same run.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace fuzzing {

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool empty() const { return m_at >= m_size; }
    size_t remaining() const { return m_size - m_at; }

    uint8_t U8() { return empty() ? 0 : m_data[m_at++]; }
    uint16_t U16() { return static_cast<uint16_t>(U8() | (U8() << 8)); }
    uint32_t U32() { return static_cast<uint32_t>(U16()) | (static_cast<uint32_t>(U16()) << 16); }

    // A 16-bit length, cut to `max` and to what is left, then that many bytes.
    std::vector<uint8_t> Chunk(size_t max) { return Bytes(std::min<size_t>(U16(), max)); }
    // `n` bytes, or fewer when the input ends first.
    std::vector<uint8_t> Bytes(size_t n) {
        n = std::min(n, remaining());
        std::vector<uint8_t> out(m_data + m_at, m_data + m_at + n);
        m_at += n;
        return out;
    }
    std::vector<uint8_t> Rest() { return Bytes(remaining()); }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
};

}  // namespace fuzzing
