// The Microsoft C runtime functions the program calls that glibc lacks.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <string>

#include "win32/base.h"

#ifndef _TRUNCATE
#define _TRUNCATE (static_cast<size_t>(-1))
#endif

// The secure copies always NUL-terminate inside `size`; on overflow they give an
// empty text (or the cut text with _TRUNCATE) and a non-zero result.
errno_t strcpy_s(char* dst, size_t size, const char* src);
errno_t strncpy_s(char* dst, size_t size, const char* src, size_t count);
errno_t strcat_s(char* dst, size_t size, const char* src);
errno_t wcscpy_s(wchar_t* dst, size_t size, const wchar_t* src);
errno_t wcsncpy_s(wchar_t* dst, size_t size, const wchar_t* src, size_t count);
errno_t wcscat_s(wchar_t* dst, size_t size, const wchar_t* src);
errno_t memcpy_s(void* dst, size_t size, const void* src, size_t count);
template <size_t N>
errno_t strcpy_s(char (&dst)[N], const char* src) {
    return strcpy_s(dst, N, src);
}
template <size_t N>
errno_t wcscpy_s(wchar_t (&dst)[N], const wchar_t* src) {
    return wcscpy_s(dst, N, src);
}
template <size_t N>
errno_t strcat_s(char (&dst)[N], const char* src) {
    return strcat_s(dst, N, src);
}
template <size_t N>
errno_t wcscat_s(wchar_t (&dst)[N], const wchar_t* src) {
    return wcscat_s(dst, N, src);
}

int sprintf_s(char* dst, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
int _snprintf(char* dst, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
int _vsnprintf(char* dst, size_t size, const char* format, va_list args);
// Wide formatting follows the Microsoft conventions: %s is wide text, %S and %hs
// narrow text, %c a wide character.
int swprintf_s(wchar_t* dst, size_t size, const wchar_t* format, ...);
int _snwprintf(wchar_t* dst, size_t size, const wchar_t* format, ...);
int _vsnwprintf(wchar_t* dst, size_t size, const wchar_t* format, va_list args);
template <size_t N>
int sprintf_s(char (&dst)[N], const char* format, ...) __attribute__((format(printf, 2, 3)));
template <size_t N>
int sprintf_s(char (&dst)[N], const char* format, ...) {
    va_list args;
    va_start(args, format);
    int n = _vsnprintf(dst, N, format, args);
    va_end(args);
    return n;
}
template <size_t N>
int swprintf_s(wchar_t (&dst)[N], const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    int n = _vsnwprintf(dst, N, format, args);
    va_end(args);
    return n;
}

namespace winplat {
// Formats into a string as long as the result needs, with the wide conventions above.
// Text from outside (names, addresses, pages) is formatted with this, never into a
// fixed array: no length it may have cuts or overruns anything.
std::wstring FormatText(const wchar_t* format, ...);
}  // namespace winplat

int _stricmp(const char* a, const char* b);
int _strnicmp(const char* a, const char* b, size_t n);
int _wcsicmp(const wchar_t* a, const wchar_t* b);
int _wcsnicmp(const wchar_t* a, const wchar_t* b, size_t n);
#define stricmp _stricmp
#define wcsicmp _wcsicmp
char* _strlwr(char* text);
wchar_t* _wcslwr(wchar_t* text);
char* _strupr(char* text);
wchar_t* _wcsupr(wchar_t* text);

// Decimal parsing as the CRT does it: leading blanks, optional sign, digits; 0 when no number.
int _wtoi(const wchar_t* text);
long _wtol(const wchar_t* text);
int64_t _atoi64(const char* text);
int64_t _wtoi64(const wchar_t* text);
double _wtof(const wchar_t* text);
char* _itoa(int value, char* out, int radix);
wchar_t* _itow(int value, wchar_t* out, int radix);
errno_t _itoa_s(int value, char* out, size_t size, int radix);
errno_t _itow_s(int value, wchar_t* out, size_t size, int radix);

int lstrlenW(LPCWSTR text);
int lstrlenA(LPCSTR text);
LPWSTR lstrcpyW(LPWSTR dst, LPCWSTR src);
LPWSTR lstrcpynW(LPWSTR dst, LPCWSTR src, int count);
int lstrcmpW(LPCWSTR a, LPCWSTR b);
int lstrcmpiW(LPCWSTR a, LPCWSTR b);
LPWSTR lstrcatW(LPWSTR dst, LPCWSTR src);
#define lstrlen lstrlenW
#define lstrcpy lstrcpyW
#define lstrcpyn lstrcpynW
#define lstrcmp lstrcmpW
#define lstrcmpi lstrcmpiW
#define lstrcat lstrcatW
int wsprintfW(LPWSTR dst, LPCWSTR format, ...);
int wsprintfA(LPSTR dst, LPCSTR format, ...) __attribute__((format(printf, 2, 3)));
#define wsprintf wsprintfW

#define ZeroMemory(p, n) std::memset((p), 0, (n))
#define CopyMemory(d, s, n) std::memcpy((d), (s), (n))
#define FillMemory(d, n, v) std::memset((d), (v), (n))
#define MoveMemory(d, s, n) std::memmove((d), (s), (n))
