// Typed text into the fixed ANSI fields of the request records.
#pragma once

#include <string>

#include "win32/win32.h"

// The whole text in the code page, when every character has a form there and the
// result takes at most maxBytes bytes; false otherwise (out is then empty).
bool AnsiFieldText(const wchar_t* text, UINT codePage, size_t maxBytes, std::string& out);

// As many leading characters as fit in maxBytes bytes; a character is never cut in
// half, so a double-byte character that does not fit whole is left out.
std::string AnsiPrefix(const wchar_t* text, UINT codePage, size_t maxBytes);

// The narrow text in the code page as wide text.
std::wstring WideFromAnsi(const std::string& text, UINT codePage);
