// The encrypted global configuration file: a little-endian u32 length L, then L
// bytes of AES-128-CBC cipher text (PKCS#7 padding) of the configuration text.
#pragma once

#include <string>

namespace globalconf {

// The file's bytes for `plain` (the configuration text in the ANSI code page);
// empty on failure.
std::string Encrypt(const std::string& plain);
// The configuration text of a file's bytes; false when the length word does not
// match the size or the cipher text does not decrypt to a non-empty text.
bool Decrypt(const std::string& file, std::string& plain);

// The same on files (Windows-form or native paths); the file is replaced whole.
bool WriteFile(const std::wstring& path, const std::string& plain);
bool ReadFile(const std::wstring& path, std::string& plain);

}  // namespace globalconf
