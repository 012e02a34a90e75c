// Splitting of texts at one separator character, narrow and wide.
#pragma once

#include <string>
#include <vector>

// firstOnly non-zero: at most two parts, the text before the first separator and
// everything after it. firstOnly 0: every separator ends a part; empty parts are
// kept except after the last separator.
void SplitStringA(const char* text, char sep, std::vector<std::string>& parts, int firstOnly);
// As SplitStringA; with firstOnly the first separator in `text` becomes a NUL, so
// the caller's text is left holding the first part.
void SplitStringW(wchar_t* text, wchar_t sep, std::vector<std::wstring>& parts, int firstOnly);
