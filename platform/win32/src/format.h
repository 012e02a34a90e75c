// Microsoft printf conventions translated to the C library's.
#pragma once

#include <cstdarg>
#include <string>

namespace winplat {

// Wide formats: %s and %c take wide text, %S, %hs, %C and %hc narrow; %I64 is %ll.
std::wstring TranslateWideFormat(const wchar_t* format);
// Narrow formats: %S and %C take wide text; %I64 is %ll.
std::string TranslateNarrowFormat(const char* format);
// Formats into a growing string with the wide conventions.
std::wstring FormatWide(const wchar_t* format, va_list args);

}  // namespace winplat
