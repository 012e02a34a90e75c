// Helpers shared by the library's sources (attribute parsing, Qt conversions).
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include <cwchar>
#include <string>

#include "fenlo/UIManager.h"

namespace DuiLib {
namespace detail {

inline QString Q(const wchar_t* s) {
    return s ? QString::fromWCharArray(s) : QString();
}
inline QString Q(const CDuiString& s) {
    return QString::fromWCharArray(s.GetData(), s.GetLength());
}
inline CDuiString D(const QString& s) {
    return CDuiString(s.toStdWString());
}
inline QRect QR(const RECT& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}
// An interface or attribute name equals `b` (a null name equals nothing).
inline bool Is(const wchar_t* a, const wchar_t* b) {
    return a && std::wcscmp(a, b) == 0;
}
inline QColor QC(DWORD argb) {
    return QColor((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF, (argb >> 24) & 0xFF);
}

bool ParseBool(const wchar_t* v);
int ParseInt(const wchar_t* v);
// "#AARRGGBB", "#RRGGBB" (opaque) or "0x..."; 0 when not a colour.
DWORD ParseColor(const wchar_t* v);
// Up to four comma-separated integers; missing ones are 0.
RECT ParseRect(const wchar_t* v);
SIZE ParseSize(const wchar_t* v);

// The font of an index of the manager (default font for -1 or an unknown index).
QFont FontOf(CPaintManagerUI* pm, int index);
QFont MakeFont(const TFontInfo& info);

// Visits name='value' pairs of an attribute list (quotes ' or ").
template <typename F>
void ForEachAttribute(const wchar_t* list, F f) {
    if (!list) return;
    std::wstring s(list);
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (s[i] == L' ' || s[i] == L'\t' || s[i] == L'\r' || s[i] == L'\n'))
            ++i;
        size_t eq = s.find(L'=', i);
        if (eq == std::wstring::npos) return;
        std::wstring name = s.substr(i, eq - i);
        while (!name.empty() && name.back() == L' ') name.pop_back();
        size_t q = eq + 1;
        while (q < s.size() && s[q] == L' ') ++q;
        if (q >= s.size()) return;
        wchar_t quote = s[q];
        if (quote != L'\'' && quote != L'"') return;
        size_t end = s.find(quote, q + 1);
        if (end == std::wstring::npos) return;
        f(name, s.substr(q + 1, end - q - 1));
        i = end + 1;
    }
}

}  // namespace detail
}  // namespace DuiLib
