// Field splitting and decimal numbers for the library's text records (catalog lines,
// address lists, the privilege file). Header-only: the model and the catalogs share it.
#pragma once

#include <climits>
#include <string>
#include <vector>

#include "win32/crt.h"

namespace fields {

// Splits at `sep`: every separator ends a piece, so an empty piece between two
// separators (or before a leading one) is kept; the rest after the last separator is
// a piece only when it is not empty. An empty text gives no pieces.
template <class Ch>
void Split(const std::basic_string<Ch>& text, Ch sep, std::vector<std::basic_string<Ch>>& out) {
    out.clear();
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == sep) {
            out.emplace_back(text, start, i - start);
            start = i + 1;
        }
    }
    if (start < text.size()) out.emplace_back(text, start, text.size() - start);
}

template <class Ch>
std::vector<std::basic_string<Ch>> Split(const std::basic_string<Ch>& text, Ch sep) {
    std::vector<std::basic_string<Ch>> out;
    Split(text, sep, out);
    return out;
}

// Decimal value as the C runtime reads it (blanks, sign, digits; 0 when there is no
// number), held to the int range instead of overflowing.
inline int ToInt(const std::string& text) {
    int64_t v = _atoi64(text.c_str());
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}
inline int ToInt(const std::wstring& text) {
    return _wtoi(text.c_str());
}

// Whether `text` starts with `prefix`.
template <class Ch>
bool StartsWith(const std::basic_string<Ch>& text, const Ch* prefix) {
    return text.compare(0, std::char_traits<Ch>::length(prefix), prefix) == 0;
}

}  // namespace fields
