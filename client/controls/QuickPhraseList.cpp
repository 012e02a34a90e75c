#include "controls/QuickPhraseList.h"

#include <string>

#include "win32/win32.h"

namespace {

// What the C library's Unicode text mode reads: UTF-16 little-endian unless a
// byte-order mark says big-endian or UTF-8; an odd last byte is dropped.
std::wstring DecodeUnicodeText(const std::string& bytes) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t n = bytes.size();
    if (n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF)
        return winplat::Utf8ToWide(bytes.substr(3));
    bool bigEndian = false;
    size_t at = 0;
    if (n >= 2 && b[0] == 0xFF && b[1] == 0xFE) {
        at = 2;
    } else if (n >= 2 && b[0] == 0xFE && b[1] == 0xFF) {
        at = 2;
        bigEndian = true;
    }
    std::u16string units;
    units.reserve((n - at) / 2);
    for (; at + 1 < n; at += 2)
        units.push_back(bigEndian ? static_cast<char16_t>((b[at] << 8) | b[at + 1])
                                  : static_cast<char16_t>(b[at] | (b[at + 1] << 8)));
    return winplat::Utf16ToWide(units.data(), units.size());
}

// The folder of the program file, without the trailing backslash.
std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {0};
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p(path, n < MAX_PATH ? n : 0);
    size_t cut = p.find_last_of(L'\\');
    return cut == std::wstring::npos ? std::wstring() : p.substr(0, cut);
}

}  // namespace

int CQuickPhraseList::Load() {
    std::wstring path = ProgramFolder() + L"\\chatqk.conf";
    std::string bytes;
    if (!winplat::ReadWholeFile(path, bytes)) return -1;
    std::wstring text = DecodeUnicodeText(bytes);
    // Text mode: a CR LF pair reads as one line feed.
    std::wstring lf;
    lf.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')) lf += text[i];
    // One read takes at most 4095 characters, up to and with the line end; a longer
    // line goes on in the next read, as a phrase of its own.
    const size_t kReadChars = 4095;
    size_t at = 0;
    while (at < lf.size() && m_list.size() < kMaxPhrases) {
        size_t end = lf.find(L'\n', at);
        end = end == std::wstring::npos ? lf.size() : end + 1;
        if (end - at > kReadChars) end = at + kReadChars;
        std::wstring line = lf.substr(at, end - at);
        at = end;
        // The phrase is a C string: a NUL in the line ends it.
        line.resize(wcsnlen(line.c_str(), line.size()));
        m_list.push_back(line);
    }
    return 0;
}

std::wstring CQuickPhraseList::MenuText(size_t index) const {
    if (index >= m_list.size()) return std::wstring();
    std::wstring text = m_list[index];
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.pop_back();
    return text;
}
