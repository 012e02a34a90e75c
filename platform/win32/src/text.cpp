#include "win32/text.h"

#include <iconv.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <string>

namespace {

std::atomic<UINT> g_codePage{936};

std::string iconvName(UINT codePage) {
    if (codePage == CP_ACP || codePage == CP_OEMCP) codePage = g_codePage;
    switch (codePage) {
        case CP_UTF8:
            return "UTF-8";
        case 936:
            return "GBK";
        case 950:
            return "BIG5";
        case 1252:
            return "CP1252";
        default:
            return "CP" + std::to_string(codePage);
    }
}

struct Converter {
    iconv_t cd;
    explicit Converter(iconv_t c) : cd(c) {}
    ~Converter() {
        if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
};

// One converter per direction and thread: iconv handles are not shareable.
iconv_t converter(const std::string& from, const std::string& to) {
    thread_local std::map<std::pair<std::string, std::string>, std::unique_ptr<Converter>> cache;
    auto key = std::make_pair(from, to);
    auto it = cache.find(key);
    if (it != cache.end()) return it->second->cd;
    auto c = std::make_unique<Converter>(iconv_open(to.c_str(), from.c_str()));
    iconv_t cd = c->cd;
    cache.emplace(key, std::move(c));
    return cd;
}

// Converts bytes; an invalid or cut sequence of one byte becomes `replacement`
// (already in the target encoding) unless `strict`, which fails instead.
bool convert(const std::string& from, const std::string& to, const char* src, size_t len,
             const std::string& replacement, bool strict, std::string& out,
             bool* replaced = nullptr) {
    out.clear();
    if (replaced) *replaced = false;
    iconv_t cd = converter(from, to);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(src);
    size_t inLeft = len;
    char buf[4096];
    while (inLeft > 0) {
        char* o = buf;
        size_t oLeft = sizeof buf;
        size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
        out.append(buf, static_cast<size_t>(o - buf));
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG) continue;
            if (strict) return false;
            // EILSEQ or EINVAL (cut at the end): skip one unit of the source.
            size_t unit = from == "UTF-32LE" ? 4 : 1;
            if (unit > inLeft) unit = inLeft;
            in += unit;
            inLeft -= unit;
            out += replacement;
            if (replaced) *replaced = true;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    char* o = buf;
    size_t oLeft = sizeof buf;
    iconv(cd, nullptr, nullptr, &o, &oLeft);
    out.append(buf, static_cast<size_t>(o - buf));
    return true;
}

std::string utf32Replacement() {
    const char32_t r = 0xFFFD;
    return std::string(reinterpret_cast<const char*>(&r), 4);
}

}  // namespace

UINT GetACP() {
    return g_codePage;
}

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR src, int srcLen, LPWSTR dst,
                        int dstLen) {
    if (!src || srcLen == 0 || dstLen < 0 || (dstLen > 0 && !dst)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t len = srcLen < 0 ? std::strlen(src) + 1 : static_cast<size_t>(srcLen);
    std::string out;
    if (!convert(iconvName(codePage), "UTF-32LE", src, len, utf32Replacement(),
                 (flags & MB_ERR_INVALID_CHARS) != 0, out)) {
        SetLastError(1113 /* ERROR_NO_UNICODE_TRANSLATION */);
        return 0;
    }
    size_t count = out.size() / 4;
    if (dstLen == 0) return static_cast<int>(count);
    if (count > static_cast<size_t>(dstLen)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    for (size_t i = 0; i < count; ++i) {
        char32_t c;
        std::memcpy(&c, out.data() + i * 4, 4);
        dst[i] = static_cast<wchar_t>(c);
    }
    return static_cast<int>(count);
}

int WideCharToMultiByte(UINT codePage, DWORD, LPCWSTR src, int srcLen, LPSTR dst, int dstLen,
                        LPCSTR defaultChar, LPBOOL usedDefault) {
    if (!src || srcLen == 0 || dstLen < 0 || (dstLen > 0 && !dst)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t len = srcLen < 0 ? std::wcslen(src) + 1 : static_cast<size_t>(srcLen);
    std::string units(len * 4, '\0');
    for (size_t i = 0; i < len; ++i) {
        char32_t c = static_cast<char32_t>(src[i]);
        std::memcpy(&units[i * 4], &c, 4);
    }
    std::string out;
    std::string replacement = defaultChar ? std::string(defaultChar, 1) : std::string("?");
    if (codePage == CP_UTF8) replacement = "\xEF\xBF\xBD";
    bool replaced = false;
    convert("UTF-32LE", iconvName(codePage), units.data(), units.size(), replacement, false, out,
            &replaced);
    // Callers refuse text that lost characters on the way (a password, an alias).
    if (usedDefault) *usedDefault = replaced ? TRUE : FALSE;
    if (dstLen == 0) return static_cast<int>(out.size());
    if (out.size() > static_cast<size_t>(dstLen)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(dst, out.data(), out.size());
    return static_cast<int>(out.size());
}

namespace winplat {

void SetSystemCodePage(UINT codePage) {
    g_codePage = codePage;
}

std::wstring AnsiToWide(const std::string& text, UINT codePage) {
    if (text.empty()) return std::wstring();
    int n =
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    if (n > 0)
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}

std::string WideToAnsi(const std::wstring& text, UINT codePage) {
    if (text.empty()) return std::string();
    int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    if (n > 0)
        WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &out[0], n,
                            nullptr, nullptr);
    return out;
}

bool WideToAnsiExact(const std::wstring& text, std::string& out, UINT codePage) {
    out.clear();
    if (text.empty()) return true;
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, &usedDefault);
    out.assign(static_cast<size_t>(n), '\0');
    if (n > 0)
        WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &out[0], n,
                            nullptr, nullptr);
    return !usedDefault;
}

std::wstring Utf8ToWide(const std::string& text) {
    return AnsiToWide(text, CP_UTF8);
}
std::string WideToUtf8(const std::wstring& text) {
    return WideToAnsi(text, CP_UTF8);
}

std::wstring Utf16ToWide(const char16_t* units, size_t count) {
    std::wstring out;
    out.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;  // a lone surrogate
        }
        out += static_cast<wchar_t>(c);
    }
    return out;
}

std::u16string WideToUtf16(const std::wstring& text) {
    std::u16string out;
    out.reserve(text.size());
    for (wchar_t w : text) {
        char32_t c = static_cast<char32_t>(w);
        if (c >= 0x10000 && c <= 0x10FFFF) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else if (c > 0x10FFFF) {
            out += u'\xFFFD';
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

}  // namespace winplat
