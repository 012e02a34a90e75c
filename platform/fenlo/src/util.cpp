#include <cstdarg>
#include <cwctype>
#include <algorithm>
#include <vector>

#include "internal.h"
#include "win32/crt.h"

namespace DuiLib {

int CDuiString::CompareNoCase(const wchar_t* t) const {
    std::wstring a = m_s, b = t ? t : L"";
    for (auto& c : a) c = static_cast<wchar_t>(std::towlower(c));
    for (auto& c : b) c = static_cast<wchar_t>(std::towlower(c));
    return a.compare(b);
}
void CDuiString::MakeUpper() {
    for (auto& c : m_s) c = static_cast<wchar_t>(std::towupper(c));
}
void CDuiString::MakeLower() {
    for (auto& c : m_s) c = static_cast<wchar_t>(std::towlower(c));
}
CDuiString CDuiString::Left(int n) const {
    n = std::max(0, std::min(n, GetLength()));
    return CDuiString(m_s.substr(0, static_cast<size_t>(n)));
}
CDuiString CDuiString::Mid(int pos, int n) const {
    if (pos < 0) pos = 0;
    if (pos >= GetLength()) return CDuiString();
    return CDuiString(
        m_s.substr(static_cast<size_t>(pos), n < 0 ? std::wstring::npos : static_cast<size_t>(n)));
}
CDuiString CDuiString::Right(int n) const {
    n = std::max(0, std::min(n, GetLength()));
    return CDuiString(m_s.substr(m_s.size() - static_cast<size_t>(n)));
}
int CDuiString::Find(wchar_t c, int start) const {
    if (start < 0 || start > GetLength()) return -1;
    size_t p = m_s.find(c, static_cast<size_t>(start));
    return p == std::wstring::npos ? -1 : static_cast<int>(p);
}
int CDuiString::Find(const wchar_t* t, int start) const {
    if (!t || start < 0 || start > GetLength()) return -1;
    size_t p = m_s.find(t, static_cast<size_t>(start));
    return p == std::wstring::npos ? -1 : static_cast<int>(p);
}
int CDuiString::ReverseFind(wchar_t c) const {
    size_t p = m_s.rfind(c);
    return p == std::wstring::npos ? -1 : static_cast<int>(p);
}
int CDuiString::Replace(const wchar_t* from, const wchar_t* to) {
    if (!from || !*from) return 0;
    std::wstring f(from), t(to ? to : L"");
    int n = 0;
    size_t p = 0;
    while ((p = m_s.find(f, p)) != std::wstring::npos) {
        m_s.replace(p, f.size(), t);
        p += t.size();
        ++n;
    }
    return n;
}
int CDuiString::Format(const wchar_t* format, ...) {
    std::vector<wchar_t> buf(1024);
    for (;;) {
        va_list ap;
        va_start(ap, format);
        int n = _vsnwprintf(buf.data(), buf.size(), format, ap);
        va_end(ap);
        if (n >= 0 && static_cast<size_t>(n) < buf.size()) {
            m_s.assign(buf.data(), static_cast<size_t>(n));
            return n;
        }
        if (buf.size() >= (1u << 20)) {
            m_s.assign(buf.data());
            return GetLength();
        }
        buf.resize(buf.size() * 4);
    }
}

void CDuiRect::Join(const RECT& r) {
    if (r.left < left) left = r.left;
    if (r.top < top) top = r.top;
    if (r.right > right) right = r.right;
    if (r.bottom > bottom) bottom = r.bottom;
}

bool UIIntersectRect(RECT* out, const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    bool ok = r.right > r.left && r.bottom > r.top;
    if (out) *out = ok ? r : RECT{0, 0, 0, 0};
    return ok;
}
bool UIPtInRect(const RECT& r, POINT pt) {
    return pt.x >= r.left && pt.x < r.right && pt.y >= r.top && pt.y < r.bottom;
}
bool UIIsRectEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

namespace detail {

bool ParseBool(const wchar_t* v) {
    return v && (wcscmp(v, L"true") == 0 || wcscmp(v, L"1") == 0);
}
int ParseInt(const wchar_t* v) {
    return v ? static_cast<int>(wcstol(v, nullptr, 10)) : 0;
}

DWORD ParseColor(const wchar_t* v) {
    if (!v) return 0;
    while (*v == L' ') ++v;
    const wchar_t* p = v;
    if (*p == L'#')
        ++p;
    else if (p[0] == L'0' && (p[1] == L'x' || p[1] == L'X'))
        p += 2;
    wchar_t* end = nullptr;
    unsigned long c = wcstoul(p, &end, 16);
    size_t digits = static_cast<size_t>(end - p);
    if (digits == 6) c |= 0xFF000000ul;
    return static_cast<DWORD>(c);
}

RECT ParseRect(const wchar_t* v) {
    long n[4] = {0, 0, 0, 0};
    const wchar_t* p = v;
    for (int i = 0; p && *p && i < 4; ++i) {
        wchar_t* end = nullptr;
        n[i] = wcstol(p, &end, 10);
        if (end == p) break;
        p = end;
        while (*p == L' ') ++p;
        if (*p != L',') break;
        ++p;
    }
    return RECT{static_cast<LONG>(n[0]), static_cast<LONG>(n[1]), static_cast<LONG>(n[2]),
                static_cast<LONG>(n[3])};
}

SIZE ParseSize(const wchar_t* v) {
    RECT r = ParseRect(v);
    return SIZE{r.left, r.top};
}

QFont MakeFont(const TFontInfo& info) {
    // Every text drawn asks for its font: the few fonts of the skins are made once.
    struct Made {
        TFontInfo info;
        QFont font;
    };
    static thread_local std::vector<Made> made;
    for (const Made& m : made) {
        if (m.info.iSize == info.iSize && m.info.bBold == info.bBold &&
            m.info.bUnderline == info.bUnderline && m.info.bItalic == info.bItalic &&
            m.info.sFontName == info.sFontName)
            return m.font;
    }
    QFont f(Q(info.sFontName));
    // Skin sizes are GDI pixel heights.
    f.setPixelSize(std::max(1, info.iSize));
    f.setBold(info.bBold);
    f.setUnderline(info.bUnderline);
    f.setItalic(info.bItalic);
    f.setStyleStrategy(QFont::PreferAntialias);
    const size_t kKept = 64;
    if (made.size() >= kKept) made.erase(made.begin());
    made.push_back(Made{info, f});
    return f;
}

QFont FontOf(CPaintManagerUI* pm, int index) {
    if (!pm) {
        TFontInfo def;
        def.sFontName = L"WenQuanYi Micro Hei";
        return MakeFont(def);
    }
    TFontInfo* info = index >= 0 ? pm->GetFontInfo(index) : nullptr;
    if (!info) info = pm->GetDefaultFontInfo();
    return MakeFont(*info);
}

}  // namespace detail
}  // namespace DuiLib
