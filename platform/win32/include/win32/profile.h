// Profile strings: ini files with the Windows rules. Section and key names compare
// without regard to case; blanks round names and values are ignored; a value in
// matching quotes loses them. Files are read as UTF-16 (with a byte-order mark),
// UTF-8 (with its mark) or ANSI text, and written back in the encoding they had
// (ANSI for new files), always by replacing the whole file in one step.
#pragma once

#include "win32/base.h"

// `key` null: the section's key names; `section` null: the section names; both as
// NUL-separated lists ending in two NULs. Otherwise the value, or `defaultValue`
// (trailing blanks removed) when the key is missing. The result is cut to fit
// `size`; the return value counts the characters copied, without the final NUL(s).
DWORD GetPrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR defaultValue, LPWSTR out,
                               DWORD size, LPCWSTR fileName);
#define GetPrivateProfileString GetPrivateProfileStringW

// The value as an integer (decimal, or 0x/0o/0b prefixed, with an optional sign;
// the digits up to the first other character); `defaultValue` when the key is
// missing or empty.
UINT GetPrivateProfileIntW(LPCWSTR section, LPCWSTR key, INT defaultValue, LPCWSTR fileName);
#define GetPrivateProfileInt GetPrivateProfileIntW

// Sets a key, creating file and section when needed; a null `value` deletes the
// key, a null `key` deletes the whole section. FALSE when the file cannot be written.
BOOL WritePrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR value, LPCWSTR fileName);
#define WritePrivateProfileString WritePrivateProfileStringW
