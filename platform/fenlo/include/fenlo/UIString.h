// Wide strings and rectangles of the user-interface library.
#pragma once

#include <string>

#include "win32/win32.h"

namespace DuiLib {

class CDuiString {
public:
    CDuiString() = default;
    CDuiString(const wchar_t* text) : m_s(text ? text : L"") {}
    CDuiString(const wchar_t* text, int len)
        : m_s(text ? std::wstring(text, len < 0 ? wcslen(text) : static_cast<size_t>(len)) : L"") {}
    CDuiString(wchar_t c) : m_s(1, c) {}
    CDuiString(const std::wstring& text) : m_s(text) {}

    int GetLength() const { return static_cast<int>(m_s.size()); }
    bool IsEmpty() const { return m_s.empty(); }
    void Empty() { m_s.clear(); }
    const wchar_t* GetData() const { return m_s.c_str(); }
    operator const wchar_t*() const { return m_s.c_str(); }
    const std::wstring& str() const { return m_s; }
    wchar_t GetAt(int i) const {
        return (i >= 0 && i < GetLength()) ? m_s[static_cast<size_t>(i)] : L'\0';
    }
    void SetAt(int i, wchar_t c) {
        if (i >= 0 && i < GetLength()) m_s[static_cast<size_t>(i)] = c;
    }
    wchar_t operator[](int i) const { return GetAt(i); }

    void Assign(const wchar_t* text, int len = -1) { *this = CDuiString(text, len); }
    void Append(const wchar_t* text) {
        if (text) m_s += text;
    }

    CDuiString& operator=(const wchar_t* text) {
        m_s = text ? text : L"";
        return *this;
    }
    CDuiString& operator=(wchar_t c) {
        m_s.assign(1, c);
        return *this;
    }
    CDuiString& operator+=(const CDuiString& o) {
        m_s += o.m_s;
        return *this;
    }
    CDuiString& operator+=(const wchar_t* t) {
        if (t) m_s += t;
        return *this;
    }
    CDuiString& operator+=(wchar_t c) {
        m_s += c;
        return *this;
    }
    friend CDuiString operator+(const CDuiString& a, const CDuiString& b) {
        return CDuiString(a.m_s + b.m_s);
    }
    friend CDuiString operator+(const CDuiString& a, const wchar_t* b) {
        return CDuiString(a.m_s + (b ? b : L""));
    }
    friend CDuiString operator+(const wchar_t* a, const CDuiString& b) {
        return CDuiString((a ? a : L"") + b.m_s);
    }
    friend bool operator==(const CDuiString& a, const CDuiString& b) { return a.m_s == b.m_s; }
    friend bool operator==(const CDuiString& a, const wchar_t* b) { return a.m_s == (b ? b : L""); }
    friend bool operator==(const wchar_t* a, const CDuiString& b) { return b == a; }
    friend bool operator!=(const CDuiString& a, const CDuiString& b) { return !(a == b); }
    friend bool operator!=(const CDuiString& a, const wchar_t* b) { return !(a == b); }
    friend bool operator<(const CDuiString& a, const CDuiString& b) { return a.m_s < b.m_s; }

    int Compare(const wchar_t* t) const { return m_s.compare(t ? t : L""); }
    int CompareNoCase(const wchar_t* t) const;
    void MakeUpper();
    void MakeLower();
    CDuiString Left(int n) const;
    CDuiString Mid(int pos, int n = -1) const;
    CDuiString Right(int n) const;
    int Find(wchar_t c, int start = 0) const;
    int Find(const wchar_t* t, int start = 0) const;
    int ReverseFind(wchar_t c) const;
    int Replace(const wchar_t* from, const wchar_t* to);
    // printf-style with the Microsoft wide conventions (%s wide, %hs narrow).
    int Format(const wchar_t* format, ...);

private:
    std::wstring m_s;
};
typedef CDuiString CStdString;

class CDuiRect : public RECT {
public:
    CDuiRect() { left = top = right = bottom = 0; }
    CDuiRect(const RECT& r) {
        left = r.left;
        top = r.top;
        right = r.right;
        bottom = r.bottom;
    }
    CDuiRect(LONG l, LONG t, LONG r, LONG b) {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
    int GetWidth() const { return right - left; }
    int GetHeight() const { return bottom - top; }
    bool IsNull() const { return left == 0 && right == 0 && top == 0 && bottom == 0; }
    void Empty() { left = top = right = bottom = 0; }
    void Offset(int cx, int cy) {
        left += cx;
        right += cx;
        top += cy;
        bottom += cy;
    }
    void Deflate(int l, int t, int r, int b) {
        left += l;
        top += t;
        right -= r;
        bottom -= b;
    }
    void Join(const RECT& r);
};

class CDuiSize : public SIZE {
public:
    CDuiSize() { cx = cy = 0; }
    CDuiSize(LONG x, LONG y) {
        cx = x;
        cy = y;
    }
};

// A resource given by name or by number.
class STRINGorID {
public:
    STRINGorID(const wchar_t* name) : m_lpstr(name) {}
    STRINGorID(UINT id) : m_lpstr(nullptr), m_id(id) {}
    const wchar_t* m_lpstr;
    UINT m_id = 0;
};

}  // namespace DuiLib
