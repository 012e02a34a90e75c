// The one line reader of the catalogs. Lines come without their line end; empty lines
// and lines starting with "//" are skipped here. A line longer than the limit is
// skipped whole, so a cut-off tail is never read as a record of its own.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace catalog {

// Per-line limits: the catalogs read at most 1023 characters a line, the colour
// strips 4095 bytes.
constexpr size_t kLineLimit = 1023;
constexpr size_t kLongLineLimit = 4095;

// A Unicode text file: UTF-16 little-endian after its byte-order mark (a file without
// one is taken as UTF-16 too, one with the UTF-8 mark as UTF-8), decoded to wchar_t.
// An odd last byte is ignored. The limit counts UTF-16 units. false when the file
// cannot be opened.
bool ReadWideLines(const wchar_t* path, size_t maxChars,
                   const std::function<void(const std::wstring&)>& onLine);

// A narrow text file (ANSI code page); the path is narrow too. Lines are handed over as
// bytes. false when the file cannot be opened.
bool ReadNarrowLines(const char* path, size_t maxBytes,
                     const std::function<void(const std::string&)>& onLine);

// The same, with every line converted to wide text with the ANSI code page.
bool ReadNarrowLinesAsWide(const char* path, size_t maxBytes,
                           const std::function<void(const std::wstring&)>& onLine);

}  // namespace catalog
