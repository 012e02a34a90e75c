#include "catalogs/CatalogLineReader.h"

#include <cstdio>
#include <vector>

#include "win32/files.h"
#include "win32/text.h"

namespace catalog {

namespace {

bool ReadAll(FILE* f, std::string& out) {
    if (!f) return false;
    char buffer[8192];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) out.append(buffer, n);
    std::fclose(f);
    return true;
}

template <class Ch>
bool Skipped(const Ch* line, size_t length) {
    return length == 0 || (length >= 2 && line[0] == Ch('/') && line[1] == Ch('/'));
}

// Cuts `text` into lines at '\n', drops a '\r' before it, and hands each line that is
// within the limit to `emit` as (start, length).
template <class Ch, class Emit>
void ForEachLine(const Ch* text, size_t size, size_t maxLength, Emit emit) {
    size_t start = 0;
    while (start < size) {
        size_t end = start;
        while (end < size && text[end] != Ch('\n')) ++end;
        size_t length = end - start;
        if (length > 0 && text[start + length - 1] == Ch('\r')) --length;
        if (length <= maxLength && !Skipped(text + start, length)) emit(text + start, length);
        start = end + 1;
    }
}

}  // namespace

bool ReadWideLines(const wchar_t* path, size_t maxChars,
                   const std::function<void(const std::wstring&)>& onLine) {
    if (!path) return false;
    std::string bytes;
    if (!ReadAll(_wfopen(path, L"rb"), bytes)) return false;

    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        std::wstring text = winplat::Utf8ToWide(bytes.substr(3));
        ForEachLine(text.data(), text.size(), maxChars,
                    [&](const wchar_t* line, size_t n) { onLine(std::wstring(line, n)); });
        return true;
    }
    size_t offset = bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
                            static_cast<unsigned char>(bytes[1]) == 0xFE
                        ? 2
                        : 0;
    std::vector<char16_t> units;
    units.reserve((bytes.size() - offset) / 2);
    for (size_t i = offset; i + 1 < bytes.size(); i += 2)
        units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                              (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    ForEachLine(units.data(), units.size(), maxChars,
                [&](const char16_t* line, size_t n) { onLine(winplat::Utf16ToWide(line, n)); });
    return true;
}

bool ReadNarrowLines(const char* path, size_t maxBytes,
                     const std::function<void(const std::string&)>& onLine) {
    if (!path) return false;
    std::string bytes;
    if (!ReadAll(winplat::OpenFileMapped(path, "rb"), bytes)) return false;
    ForEachLine(bytes.data(), bytes.size(), maxBytes,
                [&](const char* line, size_t n) { onLine(std::string(line, n)); });
    return true;
}

bool ReadNarrowLinesAsWide(const char* path, size_t maxBytes,
                           const std::function<void(const std::wstring&)>& onLine) {
    return ReadNarrowLines(path, maxBytes,
                           [&](const std::string& line) { onLine(winplat::AnsiToWide(line)); });
}

}  // namespace catalog
