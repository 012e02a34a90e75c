// Fixed-width text fields of wire records (aliases of 17 bytes, group names, page
// addresses) and of the configuration. A server may fill a field to its last byte, so
// nothing here relies on a NUL inside the field.
#pragma once

#include <cstddef>
#include <cstring>
#include <cwchar>
#include <string>

// The text of a field: up to its first NUL, never past `width` bytes.
inline std::string FixedFieldText(const char* field, size_t width) {
    if (!field) return std::string();
    const void* nul = std::memchr(field, 0, width);
    size_t n = nul ? static_cast<size_t>(static_cast<const char*>(nul) - field) : width;
    return std::string(field, n);
}

// Writes `text` into a field of `width` bytes: cut to width - 1 bytes, NUL-terminated,
// the rest zero.
inline void SetFixedFieldText(char* field, size_t width, const char* text) {
    if (!field || width == 0) return;
    std::memset(field, 0, width);
    if (!text) return;
    size_t n = strnlen(text, width - 1);
    std::memcpy(field, text, n);
}

// The same for a wide field of `count` characters.
inline void SetFixedFieldText(wchar_t* field, size_t count, const wchar_t* text) {
    if (!field || count == 0) return;
    std::wmemset(field, 0, count);
    if (!text) return;
    size_t n = wcsnlen(text, count - 1);
    std::wmemcpy(field, text, n);
}

// Makes a field that came from outside a NUL-terminated text in place.
inline void TerminateFixedField(char* field, size_t width) {
    if (field && width) field[width - 1] = 0;
}
