// A small wide CString, for the few interfaces that hand one out.
#pragma once

#include <string>

#include "win32/base.h"

class CString {
public:
    CString() = default;
    CString(const wchar_t* text) : m_text(text ? text : L"") {}
    CString(const std::wstring& text) : m_text(text) {}
    CString(const char* text);

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    const wchar_t* GetString() const { return m_text.c_str(); }
    operator const wchar_t*() const { return m_text.c_str(); }
    const std::wstring& str() const { return m_text; }
    wchar_t GetAt(int i) const { return m_text.at(static_cast<size_t>(i)); }

    // printf-style with the Microsoft wide conventions (%s wide, %hs narrow).
    void Format(const wchar_t* format, ...);

    CString& operator=(const wchar_t* text) {
        m_text = text ? text : L"";
        return *this;
    }
    CString& operator+=(const CString& other) {
        m_text += other.m_text;
        return *this;
    }
    CString& operator+=(const wchar_t* text) {
        if (text) m_text += text;
        return *this;
    }
    CString& operator+=(wchar_t c) {
        m_text += c;
        return *this;
    }
    friend CString operator+(const CString& a, const CString& b) {
        return CString(a.m_text + b.m_text);
    }
    friend CString operator+(const CString& a, const wchar_t* b) {
        return CString(a.m_text + (b ? b : L""));
    }
    friend CString operator+(const wchar_t* a, const CString& b) {
        return CString((a ? a : L"") + b.m_text);
    }
    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator!=(const CString& a, const CString& b) { return a.m_text != b.m_text; }
    friend bool operator==(const CString& a, const wchar_t* b) { return a.m_text == (b ? b : L""); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_text < b.m_text; }

private:
    std::wstring m_text;
};

typedef CString CStringW;
