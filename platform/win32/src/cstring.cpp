#include "win32/cstring.h"

#include <cstdarg>

#include "format.h"
#include "win32/text.h"

CString::CString(const char* text) : m_text(text ? winplat::AnsiToWide(text) : std::wstring()) {}

void CString::Format(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    m_text = winplat::FormatWide(format, args);
    va_end(args);
}
