// Code pages: the ANSI code page (936 by default) and UTF-8, converted with iconv.
#pragma once

#include <string>

#include "win32/base.h"

#define CP_ACP 0
#define CP_OEMCP 1
#define CP_UTF8 65001
#define MB_PRECOMPOSED 0x1
#define MB_ERR_INVALID_CHARS 0x8

// Converts with Windows semantics: a source length of -1 includes the NUL; an
// output size of 0 asks for the needed size; 0 is returned on failure.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR src, int srcLen, LPWSTR dst, int dstLen);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR src, int srcLen, LPSTR dst, int dstLen,
                        LPCSTR defaultChar, LPBOOL usedDefault);
UINT GetACP();

namespace winplat {

// The system ANSI code page the layer reports and converts with (936 unless changed).
void SetSystemCodePage(UINT codePage);

// Whole-string conversions used inside the layer and by tests.
std::wstring AnsiToWide(const std::string& text, UINT codePage = CP_ACP);
std::string WideToAnsi(const std::wstring& text, UINT codePage = CP_ACP);
// The same, false when a character has no mapping in the code page (`out` then holds
// the text with the replacement characters).
bool WideToAnsiExact(const std::wstring& text, std::string& out, UINT codePage = CP_ACP);
std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
// UTF-16 code units (as stored in files) to and from wchar_t text.
std::wstring Utf16ToWide(const char16_t* units, size_t count);
std::u16string WideToUtf16(const std::wstring& text);

}  // namespace winplat
