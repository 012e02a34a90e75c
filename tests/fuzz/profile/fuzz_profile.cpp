// The profile-string reader over arbitrary files (UTF-16, UTF-8 or ANSI by their
// first bytes): a value, a section's key names or the section names into a buffer
// of any size, the same key as a number, then a key written into the file and read
// back.
//
// Input: flags (bit 0: no section name, bit 1: no key name), the buffer's size in
// characters, the section name and the key name (16-bit lengths, one character per
// byte), then the file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "FuzzFiles.h"
#include "FuzzInput.h"
#include "win32/win32.h"

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "profile fuzz: %s\n", what);
    std::abort();
}

std::wstring Widen(const std::vector<uint8_t>& bytes) {
    std::wstring s;
    for (uint8_t b : bytes) s += static_cast<wchar_t>(b ? b : L'?');
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::FuzzInput in(data, size);
    const uint8_t flags = in.U8();
    const DWORD capacity = in.U8();
    const std::wstring section = Widen(in.Chunk(64)), key = Widen(in.Chunk(64));
    const std::vector<uint8_t> file = in.Rest();
    const std::string path = fuzzing::WriteFuzzFile("profile.ini", file);
    const std::wstring widePath(path.begin(), path.end());
    const wchar_t* s = (flags & 1) ? nullptr : section.c_str();
    const wchar_t* k = (flags & 2) ? nullptr : key.c_str();

    // A buffer of exactly the size given, so that a write past it is seen.
    std::vector<wchar_t> out(capacity > 0 ? capacity : 1, L'#');
    const DWORD got =
        GetPrivateProfileStringW(s, k, L"default", out.data(), capacity, widePath.c_str());
    if (capacity > 0 && (got >= capacity || out[got] != 0))
        Fail("the result does not fit its buffer");
    if (s && k) GetPrivateProfileIntW(s, k, -7, widePath.c_str());

    // What is written is read back, whatever the file held before.
    if (!WritePrivateProfileStringW(L"Fuzz", L"Written", L"v123", widePath.c_str()))
        Fail("the file could not be written");
    wchar_t back[16];
    GetPrivateProfileStringW(L"Fuzz", L"Written", L"", back, 16, widePath.c_str());
    if (std::wcscmp(back, L"v123") != 0) Fail("a written key reads back otherwise");
    return 0;
}
