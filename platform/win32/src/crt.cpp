#include "win32/crt.h"

#include <cerrno>
#include <climits>
#include <cwchar>
#include <string>

#include "format.h"

namespace {

template <class Char>
errno_t copyN(Char* dst, size_t size, const Char* src, size_t count, bool truncate = false) {
    if (!dst || size == 0) return EINVAL;
    if (!src) {
        dst[0] = 0;
        return EINVAL;
    }
    size_t n = 0;
    while (n < count && src[n]) ++n;
    if (n >= size) {
        if (truncate) {
            std::char_traits<Char>::copy(dst, src, size - 1);
            dst[size - 1] = 0;
            return 80;  // STRUNCATE
        }
        dst[0] = 0;
        return ERANGE;
    }
    std::char_traits<Char>::copy(dst, src, n);
    dst[n] = 0;
    return 0;
}

template <class Char>
errno_t cat(Char* dst, size_t size, const Char* src) {
    if (!dst || size == 0) return EINVAL;
    size_t used = 0;
    while (used < size && dst[used]) ++used;
    if (used == size) {
        dst[0] = 0;
        return EINVAL;
    }
    errno_t r = copyN(dst + used, size - used, src, SIZE_MAX);
    if (r != 0) dst[0] = 0;
    return r;
}

template <class Char>
int64_t parseInt(const Char* s) {
    if (!s) return 0;
    while (*s == ' ' || *s == '\t' || *s == '\n' || *s == '\r' || *s == '\v' || *s == '\f') ++s;
    bool neg = false;
    if (*s == '+' || *s == '-') neg = *s++ == '-';
    uint64_t v = 0;
    while (*s >= '0' && *s <= '9') {
        if (v < (uint64_t(1) << 62)) v = v * 10 + static_cast<uint64_t>(*s - '0');
        ++s;
    }
    int64_t r = v > uint64_t(INT64_MAX) ? INT64_MAX : static_cast<int64_t>(v);
    return neg ? -r : r;
}

template <class Char>
Char* toText(int value, Char* out, size_t size, int radix) {
    if (!out || size == 0) return out;
    if (radix < 2 || radix > 36) radix = 10;
    Char tmp[40];
    size_t n = 0;
    bool neg = radix == 10 && value < 0;
    uint32_t v = neg ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    do {
        uint32_t d = v % static_cast<uint32_t>(radix);
        tmp[n++] = static_cast<Char>(d < 10 ? '0' + d : 'a' + d - 10);
        v /= static_cast<uint32_t>(radix);
    } while (v);
    if (neg) tmp[n++] = '-';
    size_t i = 0;
    while (n > 0 && i + 1 < size) out[i++] = tmp[--n];
    out[i] = 0;
    return out;
}

template <class Char>
int icompare(const Char* a, const Char* b, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        wint_t ca =
            std::towlower(static_cast<wint_t>(static_cast<std::make_unsigned_t<Char>>(a[i])));
        wint_t cb =
            std::towlower(static_cast<wint_t>(static_cast<std::make_unsigned_t<Char>>(b[i])));
        if (ca != cb) return ca < cb ? -1 : 1;
        if (!ca) return 0;
    }
    return 0;
}

int narrowFormat(char* dst, size_t size, const char* format, va_list args) {
    if (!dst || size == 0) return -1;
    std::string f = winplat::TranslateNarrowFormat(format);
    int n = std::vsnprintf(dst, size, f.c_str(), args);
    if (n < 0 || static_cast<size_t>(n) >= size) {
        dst[size - 1] = 0;
        return -1;
    }
    return n;
}

}  // namespace

errno_t strcpy_s(char* d, size_t n, const char* s) {
    return copyN(d, n, s, SIZE_MAX);
}
errno_t strncpy_s(char* d, size_t n, const char* s, size_t c) {
    return copyN(d, n, s, c, c == _TRUNCATE);
}
errno_t strcat_s(char* d, size_t n, const char* s) {
    return cat(d, n, s);
}
errno_t wcscpy_s(wchar_t* d, size_t n, const wchar_t* s) {
    return copyN(d, n, s, SIZE_MAX);
}
errno_t wcsncpy_s(wchar_t* d, size_t n, const wchar_t* s, size_t c) {
    return copyN(d, n, s, c, c == _TRUNCATE);
}
errno_t wcscat_s(wchar_t* d, size_t n, const wchar_t* s) {
    return cat(d, n, s);
}

errno_t memcpy_s(void* dst, size_t size, const void* src, size_t count) {
    if (count == 0) return 0;
    if (!dst || !src) return EINVAL;
    if (count > size) {
        std::memset(dst, 0, size);
        return ERANGE;
    }
    std::memcpy(dst, src, count);
    return 0;
}

int _vsnprintf(char* dst, size_t size, const char* format, va_list args) {
    return narrowFormat(dst, size, format, args);
}

int sprintf_s(char* dst, size_t size, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int n = narrowFormat(dst, size, format, args);
    va_end(args);
    return n;
}

int _snprintf(char* dst, size_t size, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int n = narrowFormat(dst, size, format, args);
    va_end(args);
    return n;
}

int _vsnwprintf(wchar_t* dst, size_t size, const wchar_t* format, va_list args) {
    if (!dst || size == 0) return -1;
    std::wstring text = winplat::FormatWide(format, args);
    if (text.size() >= size) {
        std::wmemcpy(dst, text.data(), size - 1);
        dst[size - 1] = 0;
        return -1;
    }
    std::wmemcpy(dst, text.data(), text.size());
    dst[text.size()] = 0;
    return static_cast<int>(text.size());
}

std::wstring winplat::FormatText(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    std::wstring text = winplat::FormatWide(format ? format : L"", args);
    va_end(args);
    return text;
}

int swprintf_s(wchar_t* dst, size_t size, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    int n = _vsnwprintf(dst, size, format, args);
    va_end(args);
    return n;
}

int _snwprintf(wchar_t* dst, size_t size, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    int n = _vsnwprintf(dst, size, format, args);
    va_end(args);
    return n;
}

int wsprintfW(LPWSTR dst, LPCWSTR format, ...) {
    va_list args;
    va_start(args, format);
    int n = _vsnwprintf(dst, 1024, format, args);  // wsprintf's own limit
    va_end(args);
    return n < 0 ? 1023 : n;
}

int wsprintfA(LPSTR dst, LPCSTR format, ...) {
    va_list args;
    va_start(args, format);
    int n = narrowFormat(dst, 1024, format, args);
    va_end(args);
    return n < 0 ? 1023 : n;
}

int _stricmp(const char* a, const char* b) {
    return icompare(a, b, SIZE_MAX);
}
int _strnicmp(const char* a, const char* b, size_t n) {
    return icompare(a, b, n);
}
int _wcsicmp(const wchar_t* a, const wchar_t* b) {
    return icompare(a, b, SIZE_MAX);
}
int _wcsnicmp(const wchar_t* a, const wchar_t* b, size_t n) {
    return icompare(a, b, n);
}

char* _strlwr(char* t) {
    for (char* p = t; p && *p; ++p)
        if (*p >= 'A' && *p <= 'Z') *p = static_cast<char>(*p - 'A' + 'a');
    return t;
}
char* _strupr(char* t) {
    for (char* p = t; p && *p; ++p)
        if (*p >= 'a' && *p <= 'z') *p = static_cast<char>(*p - 'a' + 'A');
    return t;
}
wchar_t* _wcslwr(wchar_t* t) {
    for (wchar_t* p = t; p && *p; ++p)
        *p = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(*p)));
    return t;
}
wchar_t* _wcsupr(wchar_t* t) {
    for (wchar_t* p = t; p && *p; ++p)
        *p = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(*p)));
    return t;
}

static int clampInt(int64_t v) {
    return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v);
}
int _wtoi(const wchar_t* t) {
    return clampInt(parseInt(t));
}
long _wtol(const wchar_t* t) {
    return clampInt(parseInt(t));
}
int64_t _atoi64(const char* t) {
    return parseInt(t);
}
int64_t _wtoi64(const wchar_t* t) {
    return parseInt(t);
}
double _wtof(const wchar_t* t) {
    return t ? std::wcstod(t, nullptr) : 0.0;
}
char* _itoa(int v, char* out, int radix) {
    return toText(v, out, 34, radix);
}
wchar_t* _itow(int v, wchar_t* out, int radix) {
    return toText(v, out, 34, radix);
}
errno_t _itoa_s(int v, char* out, size_t size, int radix) {
    if (!out || size == 0) return EINVAL;
    toText(v, out, size, radix);
    return 0;
}
errno_t _itow_s(int v, wchar_t* out, size_t size, int radix) {
    if (!out || size == 0) return EINVAL;
    toText(v, out, size, radix);
    return 0;
}

int lstrlenW(LPCWSTR t) {
    return t ? static_cast<int>(std::wcslen(t)) : 0;
}
int lstrlenA(LPCSTR t) {
    return t ? static_cast<int>(std::strlen(t)) : 0;
}
LPWSTR lstrcpyW(LPWSTR d, LPCWSTR s) {
    return (d && s) ? std::wcscpy(d, s) : nullptr;
}
LPWSTR lstrcpynW(LPWSTR d, LPCWSTR s, int count) {
    if (!d || !s || count <= 0) return d;
    int i = 0;
    for (; i < count - 1 && s[i]; ++i) d[i] = s[i];
    d[i] = 0;
    return d;
}
int lstrcmpW(LPCWSTR a, LPCWSTR b) {
    return std::wcscmp(a ? a : L"", b ? b : L"");
}
int lstrcmpiW(LPCWSTR a, LPCWSTR b) {
    return _wcsicmp(a ? a : L"", b ? b : L"");
}
LPWSTR lstrcatW(LPWSTR d, LPCWSTR s) {
    return (d && s) ? std::wcscat(d, s) : d;
}
