// What the world's handlers share: one received frame, read within its bounds, and
// the text conversions between the world's wide texts and the wire and pages.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>

#include "LocalWorld.h"
#include "win32/text.h"

namespace testsupport {

struct LocalWorld::Request {
    int connection;
    const uint8_t* payload;
    size_t size;
    uint16_t subCmd;

    // Fields past the payload's end read as zero.
    int32_t I32(size_t at) const {
        uint32_t v = 0;
        for (size_t i = 0; i < 4; ++i)
            if (at + i < size) v |= static_cast<uint32_t>(payload[at + i]) << (8 * i);
        return static_cast<int32_t>(v);
    }
    uint16_t U16(size_t at) const {
        return static_cast<uint16_t>((at < size ? payload[at] : 0) |
                                     ((at + 1 < size ? payload[at + 1] : 0) << 8));
    }
    uint8_t U8(size_t at) const { return at < size ? payload[at] : 0; }
    // The text of a fixed field, up to its NUL or the field's end.
    std::string Text(size_t at, size_t width) const {
        if (at >= size) return std::string();
        const size_t n = std::min(width, size - at);
        const char* p = reinterpret_cast<const char*>(payload + at);
        return std::string(p, strnlen(p, n));
    }
};

// The protocol's texts are code page 936; the pages are UTF-8.
inline std::string WireText(const std::wstring& text) {
    return winplat::WideToAnsi(text, 936);
}
inline std::wstring FromWire(const std::string& text) {
    return winplat::AnsiToWide(text, 936);
}
inline std::string PageText(const std::wstring& text) {
    return winplat::WideToUtf8(text);
}
// A text with the characters that are markup in HTML written as entities; it works on
// code page 936 bytes as well, whose second bytes never fall in that range.
inline std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}
// A protocol text cut to whole characters that fit a field of `width` bytes with its NUL.
inline std::string FitField(const std::string& wire, size_t width) {
    if (wire.size() < width) return wire;
    std::wstring text = FromWire(wire);
    std::string out = WireText(text);
    while (!text.empty() && out.size() >= width) {
        text.pop_back();
        out = WireText(text);
    }
    return out;
}

// The line with every "pwd=" value written as "***": page addresses carry passwords.
std::string HidePasswords(std::string line);

// A small page: a title and a body, UTF-8, no scripts.
std::string PageOf(const std::string& title, const std::string& body);
// The number after "name=" in an address's query, or -1.
int QueryNumber(const std::string& path, const std::string& name);

}  // namespace testsupport
