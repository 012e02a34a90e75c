#include "win32/debug.h"

#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>

#include "win32/text.h"

namespace {

std::mutex g_lock;
std::string g_logPath;
std::atomic<void (*)(const char*)> g_hook{nullptr};

void write(const char* text) {
    if (!text) return;
    if (auto hook = g_hook.load()) {
        hook(text);
        return;
    }
    std::lock_guard<std::mutex> g(g_lock);
    std::fputs(text, stderr);
    if (!g_logPath.empty()) {
        if (FILE* f = std::fopen(g_logPath.c_str(), "ab")) {
            std::fputs(text, f);
            std::fclose(f);
        }
    }
}

}  // namespace

void OutputDebugStringA(LPCSTR text) {
    // Narrow debugger text is in the ANSI code page; the terminal speaks UTF-8.
    if (!text) return;
    bool ascii = true;
    for (const char* p = text; *p; ++p) ascii = ascii && static_cast<unsigned char>(*p) < 0x80;
    if (ascii) {
        write(text);
        return;
    }
    write(winplat::WideToUtf8(winplat::AnsiToWide(text)).c_str());
}

void OutputDebugStringW(LPCWSTR text) {
    if (!text) return;
    write(winplat::WideToUtf8(text).c_str());
}

namespace winplat {

void SetDebugLogFile(const char* path) {
    std::lock_guard<std::mutex> g(g_lock);
    g_logPath = path ? path : "";
}

void SetDebugOutputHook(void (*hook)(const char*)) {
    g_hook = hook;
}

}  // namespace winplat
