// Reads the kernel's payload copies that the lobby hands the room window. A copy only
// says where it starts; what is known of its length is what the kernel checked
// before it posted it: at least the fixed part of its answer's layout, and one NUL
// after the payload. Fields are read only inside that length (a field outside reads
// 0 or empty), fixed-width names only inside their field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "kernel/dispatch/Dispatch.h"

class NotifyPayload {
public:
    // The copy of room answer `subCmd` (main command 105); null reads as empty.
    NotifyPayload(const char* copy, uint16_t subCmd)
        : m_copy(copy), m_reader(reinterpret_cast<const uint8_t*>(copy), KnownSize(copy, subCmd)) {}
    // A copy whose checked length the caller knows (a count the kernel checked).
    NotifyPayload(const char* copy, size_t size)
        : m_copy(copy), m_reader(reinterpret_cast<const uint8_t*>(copy), copy ? size : 0) {}

    bool Valid() const { return m_copy != nullptr && m_reader.Size() > 0; }
    size_t Size() const { return m_reader.Size(); }
    const char* Bytes() const { return m_copy; }

    uint8_t U8(size_t at) const { return m_reader.U8(at); }
    int8_t I8(size_t at) const { return static_cast<int8_t>(m_reader.U8(at)); }
    uint16_t U16(size_t at) const { return m_reader.U16(at); }
    int16_t I16(size_t at) const { return static_cast<int16_t>(m_reader.U16(at)); }
    int32_t I32(size_t at) const { return m_reader.I32(at); }
    // A fixed-width field: up to its NUL, never past `width` or the known length.
    std::string Field(size_t at, size_t width) const { return m_reader.Text(at, width); }
    // The text that ends a copy: it runs to the NUL the kernel puts after every
    // payload, so it may go beyond the checked fixed part; empty when it starts
    // outside it.
    std::string TailText(size_t at) const {
        if (!m_copy || at >= m_reader.Size()) return std::string();
        return std::string(m_copy + at);
    }

private:
    static size_t KnownSize(const char* copy, uint16_t subCmd) {
        if (!copy) return 0;
        const comm::dispatch::AnswerEntry* entry = comm::dispatch::FindAnswer(105, subCmd);
        return entry ? entry->minPayload : 0;
    }

    const char* m_copy;
    comm::dispatch::Payload m_reader;
};
