#include "controls/AnsiField.h"

#include <cstring>

namespace {

// Lead bytes of the double-byte code page the client converts with.
bool IsLeadByte(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}

}  // namespace

size_t CopyAnsiField(char* field, size_t width, const std::string& text, FieldEnd end) {
    if (!field || width == 0) return 0;
    const size_t room = end == FieldEnd::kKeepNul ? width - 1 : width;
    size_t n = 0;
    while (n < text.size() && text[n] != '\0') {
        const size_t step =
            IsLeadByte(static_cast<unsigned char>(text[n])) && n + 1 < text.size() ? 2 : 1;
        if (n + step > room) break;
        n += step;
    }
    std::memcpy(field, text.data(), n);
    if (n < width) field[n] = '\0';
    return n;
}
