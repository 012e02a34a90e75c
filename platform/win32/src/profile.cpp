#include "win32/profile.h"

#include <cwctype>
#include <mutex>
#include <string>
#include <vector>

#include "win32/files.h"
#include "win32/text.h"

namespace {

enum class Encoding { Ansi, Utf8, Utf16Le, Utf16Be };

// An ini file kept as its lines, so that a write changes only the line it must
// and comments, blank lines and unknown lines survive.
struct IniFile {
    Encoding encoding = Encoding::Ansi;
    bool crlf = true;  // Windows' own line end, used for new files
    std::vector<std::wstring> lines;
};

// One lock for every profile call: reads never see a file half-way through
// another thread's read-modify-write.
std::mutex g_profileLock;

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

std::wstring trim(const std::wstring& s) {
    size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b])) ++b;
    while (e > b && isBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

bool sameName(const std::wstring& a, const wchar_t* b) {
    size_t n = std::wcslen(b);
    if (a.size() != n) return false;
    for (size_t i = 0; i < n; ++i)
        if (std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i])))
            return false;
    return true;
}

bool sameName(const std::wstring& a, const std::wstring& b) {
    return sameName(a, b.c_str());
}

// What one line is: a section header, a key line, or anything else.
struct Parsed {
    enum Kind { Other, Section, Key } kind = Other;
    std::wstring name;   // section or key name, trimmed
    std::wstring value;  // key value, trimmed
};

Parsed parseLine(const std::wstring& line) {
    Parsed p;
    std::wstring t = trim(line);
    if (t.empty() || t[0] == L';') return p;
    if (t[0] == L'[') {
        size_t close = t.rfind(L']');
        if (close != std::wstring::npos) {
            p.kind = Parsed::Section;
            p.name = trim(t.substr(1, close - 1));
            return p;
        }
    }
    size_t eq = t.find(L'=');
    if (eq == std::wstring::npos) return p;
    p.name = trim(t.substr(0, eq));
    if (p.name.empty()) return p;
    p.kind = Parsed::Key;
    p.value = trim(t.substr(eq + 1));
    return p;
}

std::wstring decodeUtf16(const std::string& bytes, size_t start, bool bigEndian) {
    std::u16string units;
    units.reserve((bytes.size() - start) / 2);
    for (size_t i = start; i + 1 < bytes.size(); i += 2) {
        auto b0 = static_cast<unsigned char>(bytes[i]),
             b1 = static_cast<unsigned char>(bytes[i + 1]);
        units.push_back(static_cast<char16_t>(bigEndian ? (b0 << 8) | b1 : (b1 << 8) | b0));
    }
    return winplat::Utf16ToWide(units.data(), units.size());
}

// false when the file does not exist or cannot be read.
bool loadIni(LPCWSTR fileName, IniFile& ini) {
    std::string bytes;
    if (!fileName || !winplat::ReadWholeFile(fileName, bytes)) return false;
    std::wstring text;
    auto at = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() >= 2 && at(0) == 0xFF && at(1) == 0xFE) {
        ini.encoding = Encoding::Utf16Le;
        text = decodeUtf16(bytes, 2, false);
    } else if (bytes.size() >= 2 && at(0) == 0xFE && at(1) == 0xFF) {
        ini.encoding = Encoding::Utf16Be;
        text = decodeUtf16(bytes, 2, true);
    } else if (bytes.size() >= 3 && at(0) == 0xEF && at(1) == 0xBB && at(2) == 0xBF) {
        ini.encoding = Encoding::Utf8;
        text = winplat::Utf8ToWide(bytes.substr(3));
    } else {
        ini.encoding = Encoding::Ansi;
        text = winplat::AnsiToWide(bytes);
    }
    size_t nl = text.find(L'\n');
    ini.crlf = nl == std::wstring::npos || (nl > 0 && text[nl - 1] == L'\r');
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find(L'\n', pos);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        ini.lines.push_back(line);
        pos = end + 1;
    }
    return true;
}

bool saveIni(LPCWSTR fileName, const IniFile& ini) {
    std::wstring text;
    for (const std::wstring& line : ini.lines) {
        text += line;
        text += ini.crlf ? L"\r\n" : L"\n";
    }
    std::string bytes;
    switch (ini.encoding) {
        case Encoding::Ansi:
            bytes = winplat::WideToAnsi(text);
            break;
        case Encoding::Utf8:
            bytes = "\xEF\xBB\xBF" + winplat::WideToUtf8(text);
            break;
        case Encoding::Utf16Le:
        case Encoding::Utf16Be: {
            bool be = ini.encoding == Encoding::Utf16Be;
            bytes = be ? "\xFE\xFF" : "\xFF\xFE";
            for (char16_t u : winplat::WideToUtf16(text)) {
                char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
                bytes += be ? hi : lo;
                bytes += be ? lo : hi;
            }
            break;
        }
    }
    return winplat::WriteFileAtomically(fileName, bytes.data(), bytes.size());
}

// The line range [header, end) of the first section named `section`; false when absent.
bool findSection(const IniFile& ini, LPCWSTR section, size_t& header, size_t& end) {
    for (size_t i = 0; i < ini.lines.size(); ++i) {
        Parsed p = parseLine(ini.lines[i]);
        if (p.kind != Parsed::Section || !sameName(p.name, section)) continue;
        header = i;
        end = i + 1;
        while (end < ini.lines.size() && parseLine(ini.lines[end]).kind != Parsed::Section) ++end;
        return true;
    }
    return false;
}

// Index of the first line of the range holding `key`, or `end`.
size_t findKey(const IniFile& ini, size_t begin, size_t end, LPCWSTR key, Parsed* found) {
    for (size_t i = begin; i < end; ++i) {
        Parsed p = parseLine(ini.lines[i]);
        if (p.kind == Parsed::Key && sameName(p.name, key)) {
            if (found) *found = p;
            return i;
        }
    }
    return end;
}

std::wstring unquote(const std::wstring& v) {
    if (v.size() >= 2 && (v.front() == L'"' || v.front() == L'\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

DWORD copyText(const std::wstring& text, LPWSTR out, DWORD size) {
    size_t n = text.size() < size - 1 ? text.size() : size - 1;
    text.copy(out, n);
    out[n] = 0;
    return static_cast<DWORD>(n);
}

// NUL-separated list ending in two NULs; cut lists still end in two NULs.
DWORD copyList(const std::vector<std::wstring>& names, LPWSTR out, DWORD size) {
    std::wstring all;
    for (const std::wstring& n : names) {
        all += n;
        all += L'\0';
    }
    if (all.size() + 1 <= size) {
        all.copy(out, all.size());
        out[all.size()] = 0;
        if (all.empty() && size > 1) out[1] = 0;
        return static_cast<DWORD>(all.size());
    }
    if (size < 2) {
        out[0] = 0;
        return 0;
    }
    all.copy(out, size - 2);
    out[size - 2] = 0;
    out[size - 1] = 0;
    return size - 2;
}

void addUnique(std::vector<std::wstring>& names, const std::wstring& name) {
    for (const std::wstring& n : names)
        if (sameName(n, name)) return;
    names.push_back(name);
}

}  // namespace

DWORD GetPrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR defaultValue, LPWSTR out,
                               DWORD size, LPCWSTR fileName) {
    if (!out || size == 0) return 0;
    std::lock_guard<std::mutex> guard(g_profileLock);
    IniFile ini;
    bool exists = loadIni(fileName, ini);
    if (!section) {
        std::vector<std::wstring> names;
        for (const std::wstring& line : ini.lines) {
            Parsed p = parseLine(line);
            if (p.kind == Parsed::Section) addUnique(names, p.name);
        }
        return copyList(names, out, size);
    }
    size_t header = 0, end = 0;
    bool hasSection = exists && findSection(ini, section, header, end);
    if (!key) {
        std::vector<std::wstring> names;
        for (size_t i = header + 1; hasSection && i < end; ++i) {
            Parsed p = parseLine(ini.lines[i]);
            if (p.kind == Parsed::Key) addUnique(names, p.name);
        }
        return copyList(names, out, size);
    }
    Parsed found;
    if (hasSection && findKey(ini, header + 1, end, key, &found) < end)
        return copyText(unquote(found.value), out, size);
    std::wstring def = defaultValue ? defaultValue : L"";
    while (!def.empty() && def.back() == L' ') def.pop_back();
    return copyText(def, out, size);
}

UINT GetPrivateProfileIntW(LPCWSTR section, LPCWSTR key, INT defaultValue, LPCWSTR fileName) {
    if (!section || !key) return static_cast<UINT>(defaultValue);
    // Windows reads the value through a small buffer; longer values are cut.
    wchar_t buf[30];
    if (GetPrivateProfileStringW(section, key, L"", buf, 30, fileName) == 0)
        return static_cast<UINT>(defaultValue);
    const wchar_t* p = buf;
    while (*p && *p <= L' ') ++p;
    bool negative = false;
    if (*p == L'+' || *p == L'-') negative = *p++ == L'-';
    unsigned base = 10;
    if (p[0] == L'0' && (p[1] == L'x' || p[1] == L'X')) base = 16;
    if (p[0] == L'0' && (p[1] == L'o' || p[1] == L'O')) base = 8;
    if (p[0] == L'0' && (p[1] == L'b' || p[1] == L'B')) base = 2;
    if (base != 10) p += 2;
    uint32_t value = 0;
    for (;; ++p) {
        unsigned digit;
        if (*p >= L'0' && *p <= L'9')
            digit = static_cast<unsigned>(*p - L'0');
        else if (*p >= L'a' && *p <= L'f')
            digit = static_cast<unsigned>(*p - L'a' + 10);
        else if (*p >= L'A' && *p <= L'F')
            digit = static_cast<unsigned>(*p - L'A' + 10);
        else
            break;
        if (digit >= base) break;
        value = value * base + digit;  // unsigned: wraps like the system's own parser
    }
    return negative ? 0u - value : value;
}

BOOL WritePrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR value, LPCWSTR fileName) {
    if (!section || !fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard<std::mutex> guard(g_profileLock);
    IniFile ini;
    bool exists = loadIni(fileName, ini);
    size_t header = 0, end = 0;
    bool hasSection = exists && findSection(ini, section, header, end);
    if (!key) {
        if (!hasSection) return TRUE;
        ini.lines.erase(ini.lines.begin() + static_cast<std::ptrdiff_t>(header),
                        ini.lines.begin() + static_cast<std::ptrdiff_t>(end));
        return saveIni(fileName, ini) ? TRUE : FALSE;
    }
    size_t at = hasSection ? findKey(ini, header + 1, end, key, nullptr) : end;
    if (!value) {
        if (!hasSection || at == end) return TRUE;
        ini.lines.erase(ini.lines.begin() + static_cast<std::ptrdiff_t>(at));
        return saveIni(fileName, ini) ? TRUE : FALSE;
    }
    std::wstring line = std::wstring(key) + L"=" + value;
    if (!hasSection) {
        ini.lines.push_back(L"[" + std::wstring(section) + L"]");
        ini.lines.push_back(line);
    } else if (at < end) {
        ini.lines[at] = line;
    } else {
        // After the section's last non-blank line, so a blank line before the next
        // section stays where it is.
        size_t insert = end;
        while (insert > header + 1 && trim(ini.lines[insert - 1]).empty()) --insert;
        ini.lines.insert(ini.lines.begin() + static_cast<std::ptrdiff_t>(insert), line);
    }
    if (saveIni(fileName, ini)) return TRUE;
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}
