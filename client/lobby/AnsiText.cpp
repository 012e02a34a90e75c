#include "lobby/AnsiText.h"

#include <cstdarg>
#include <cstdio>
#include <cwchar>

#include "util/LogPrint.h"

namespace {

std::string Narrow(const wchar_t* text, size_t count, UINT codePage) {
    if (count == 0) return std::string();
    int n = WideCharToMultiByte(codePage, 0, text, static_cast<int>(count), nullptr, 0, nullptr,
                                nullptr);
    if (n <= 0) return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text, static_cast<int>(count), &out[0], n, nullptr, nullptr);
    return out;
}

}  // namespace

std::wstring WideFromAnsi(const std::string& text, UINT codePage) {
    if (text.empty()) return std::wstring();
    int n =
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}

bool AnsiFieldText(const wchar_t* text, UINT codePage, size_t maxBytes, std::string& out) {
    out.clear();
    if (!text) return true;
    size_t len = std::wcslen(text);
    std::string narrow = Narrow(text, len, codePage);
    if ((len > 0 && narrow.empty()) || narrow.size() > maxBytes) return false;
    // A character without a form in the code page comes back as something else.
    if (WideFromAnsi(narrow, codePage) != std::wstring(text, len)) return false;
    if (narrow.find('\0') != std::string::npos) return false;
    out = narrow;
    return true;
}

std::string AnsiPrefix(const wchar_t* text, UINT codePage, size_t maxBytes) {
    std::string out;
    for (const wchar_t* p = text; p && *p; ++p) {
        std::string one = Narrow(p, 1, codePage);
        if (out.size() + one.size() > maxBytes) break;
        out += one;
    }
    return out;
}

void LobbyTrace(const char* format, ...) {
    if (!format) return;
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0) std::vsnprintf(&text[0], text.size() + 1, format, args);
    va_end(args);
    std::wstring wide = winplat::Utf8ToWide(text);
    std::string ansi = winplat::WideToAnsi(wide, CP_ACP);
    __log_print__("%s", ansi.c_str());
}
