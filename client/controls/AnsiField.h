// Fixed-width narrow-text fields of the records the room sends: a text is cut so that
// no double-byte character of the ANSI code page is split at the field's end.
#pragma once

#include <cstddef>
#include <string>

enum class FieldEnd {
    kMayFill,  // the text may use every byte (no NUL when it does)
    kKeepNul,  // the last byte always stays NUL
};

// Writes at most `width` bytes of `text` (width - 1 with kKeepNul) into `field`, which
// the caller has zeroed; returns the number of bytes written.
size_t CopyAnsiField(char* field, size_t width, const std::string& text, FieldEnd end);
