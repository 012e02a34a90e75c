#include "format.h"

#include <cwchar>
#include <vector>

namespace winplat {
namespace {

template <class Char>
std::basic_string<Char> translate(const Char* format, bool wide) {
    std::basic_string<Char> out;
    if (!format) return out;
    for (const Char* p = format; *p;) {
        if (*p != '%') {
            out += *p++;
            continue;
        }
        out += *p++;
        if (*p == '%') {
            out += *p++;
            continue;
        }
        // flags, width, precision
        while (*p == '-' || *p == '+' || *p == ' ' || *p == '#' || *p == '0') out += *p++;
        while (*p == '*' || (*p >= '0' && *p <= '9') || *p == '.') out += *p++;
        // length
        bool narrowText = false, wideText = false;
        if (p[0] == 'I' && p[1] == '6' && p[2] == '4') {
            out += 'l';
            out += 'l';
            p += 3;
        } else if (p[0] == 'I' && p[1] == '3' && p[2] == '2') {
            p += 3;
        } else if (p[0] == 'I') {
            out += 'z';
            p += 1;
        } else if (p[0] == 'h' && (p[1] == 's' || p[1] == 'c' || p[1] == 'S' || p[1] == 'C')) {
            narrowText = true;
            p += 1;
        } else if (p[0] == 'l' && (p[1] == 's' || p[1] == 'c' || p[1] == 'S' || p[1] == 'C')) {
            wideText = true;
            p += 1;
        } else if (p[0] == 'w' && (p[1] == 's' || p[1] == 'c')) {
            wideText = true;
            p += 1;
        }
        while (*p == 'h' || *p == 'l' || *p == 'L' || *p == 'j' || *p == 'z' || *p == 't' ||
               *p == 'q')
            out += *p++;
        Char conv = *p;
        if (!conv) break;
        ++p;
        bool isText = conv == 's' || conv == 'S' || conv == 'c' || conv == 'C';
        if (!isText) {
            out += conv;
            continue;
        }
        bool upper = conv == 'S' || conv == 'C';
        Char base = (conv == 's' || conv == 'S') ? Char('s') : Char('c');
        bool takesWide;
        if (narrowText)
            takesWide = false;
        else if (wideText)
            takesWide = true;
        else
            takesWide = wide ? !upper : upper;
        if (takesWide) out += 'l';
        out += base;
    }
    return out;
}

}  // namespace

std::wstring TranslateWideFormat(const wchar_t* format) {
    return translate(format, true);
}
std::string TranslateNarrowFormat(const char* format) {
    return translate(format, false);
}

std::wstring FormatWide(const wchar_t* format, va_list args) {
    std::wstring f = TranslateWideFormat(format);
    std::vector<wchar_t> buf(256);
    for (;;) {
        va_list copy;
        va_copy(copy, args);
        int n = std::vswprintf(buf.data(), buf.size(), f.c_str(), copy);
        va_end(copy);
        if (n >= 0) return std::wstring(buf.data(), static_cast<size_t>(n));
        // vswprintf fails the same way for a text it cannot encode as for a short
        // buffer: growth stops at a million characters instead of trying ever more.
        if (buf.size() >= (1u << 20)) return std::wstring();
        buf.resize(buf.size() * 4);
    }
}

}  // namespace winplat
