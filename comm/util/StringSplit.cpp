#include "util/StringSplit.h"

#include "util/FieldSplit.h"

namespace {

template <typename Char>
void SplitAll(const Char* text, Char sep, std::vector<std::basic_string<Char>>& parts) {
    fields::Split(std::basic_string<Char>(text), sep, parts);
}

// Position of the first separator, or null.
template <typename Char>
const Char* FindSep(const Char* text, Char sep) {
    for (const Char* p = text; *p; ++p)
        if (*p == sep) return p;
    return nullptr;
}

}  // namespace

void SplitStringA(const char* text, char sep, std::vector<std::string>& parts, int firstOnly) {
    parts.clear();
    if (!text) return;
    if (!firstOnly) {
        SplitAll(text, sep, parts);
        return;
    }
    // The text is const here, so it is not cut in place: the parts are the same.
    const char* at = FindSep(text, sep);
    if (!at) return;
    parts.emplace_back(text, at);
    parts.emplace_back(at + 1);
}

void SplitStringW(wchar_t* text, wchar_t sep, std::vector<std::wstring>& parts, int firstOnly) {
    parts.clear();
    if (!text) return;
    if (!firstOnly) {
        SplitAll<wchar_t>(text, sep, parts);
        return;
    }
    wchar_t* at = const_cast<wchar_t*>(FindSep<wchar_t>(text, sep));
    if (!at) return;
    *at = L'\0';
    parts.emplace_back(text);
    parts.emplace_back(at + 1);
}
