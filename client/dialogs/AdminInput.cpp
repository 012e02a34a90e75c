#include "dialogs/AdminInput.h"

#include <limits>

#include "win32/text.h"

namespace admininput {
namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == 0x3000;
}

std::wstring TrimBlanks(const std::wstring& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

// Digits only, no sign, within 64 bits.
bool ParseDigits(const std::wstring& s, uint64_t& out) {
    if (s.empty()) return false;
    uint64_t v = 0;
    for (wchar_t c : s) {
        if (c < L'0' || c > L'9') return false;
        const uint64_t d = static_cast<uint64_t>(c - L'0');
        if (v > (std::numeric_limits<uint64_t>::max() - d) / 10) return false;
        v = v * 10 + d;
    }
    out = v;
    return true;
}

}  // namespace

bool ParseUserId(const std::wstring& text, bool noneAllowed, int32_t& out) {
    const std::wstring s = TrimBlanks(text);
    uint64_t v = 0;
    if (s.empty() && noneAllowed) {
        out = 0;
        return true;
    }
    if (!ParseDigits(s, v) || v > static_cast<uint64_t>(INT32_MAX)) return false;
    if (v == 0 && !noneAllowed) return false;
    out = static_cast<int32_t>(v);
    return true;
}

bool ParseCount(const std::wstring& text, int64_t& out) {
    uint64_t v = 0;
    if (!ParseDigits(TrimBlanks(text), v) || v > static_cast<uint64_t>(INT64_MAX)) return false;
    out = static_cast<int64_t>(v);
    return true;
}

FieldFit ToCodePageField(const std::wstring& text, size_t maxBytes, std::string& out) {
    if (!winplat::WideToAnsiExact(text, out)) {
        out.clear();
        return FieldFit::kUnsupported;
    }
    // Refused whole, so a multi-byte character is never cut.
    if (out.size() > maxBytes) {
        out.clear();
        return FieldFit::kTooLong;
    }
    return FieldFit::kFits;
}

bool JoinMediaList(const std::wstring (&hosts)[4], const std::wstring (&ports)[4],
                   std::wstring& out) {
    out.clear();
    for (int i = 0; i < 4; ++i) {
        for (wchar_t c : hosts[i])
            if (c == L':' || c == L';' || IsBlank(c) || c < 0x20) return false;
        if (!ports[i].empty()) {
            uint64_t port = 0;
            if (!ParseDigits(ports[i], port) || port > 65535) return false;
        }
        if (i) out += L';';
        out += hosts[i] + L':' + ports[i];
    }
    return true;
}

std::wstring PercentEncode(const std::string& bytes) {
    static const wchar_t kHex[] = L"0123456789ABCDEF";
    std::wstring out;
    for (char ch : bytes) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            c == '-' || c == '_' || c == '.' || c == '~') {
            out += static_cast<wchar_t>(c);
        } else {
            out += L'%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        }
    }
    return out;
}

}  // namespace admininput
