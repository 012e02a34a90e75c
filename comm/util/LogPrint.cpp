#include "util/LogPrint.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <vector>

#include "win32/win32.h"

void __log_print__(const char* format, ...) {
    if (!format) return;
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::vector<char> text(n > 0 ? static_cast<size_t>(n) + 1 : 1, '\0');
    if (n > 0) std::vsnprintf(text.data(), text.size(), format, args);
    va_end(args);

    SYSTEMTIME t;
    GetLocalTime(&t);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%d-%d-%d %d:%d:%d", t.wYear, t.wMonth, t.wDay, t.wHour,
                  t.wMinute, t.wSecond);
    // Other threads trace too: the four writes of a line go out together.
    static std::mutex* lineLock = new std::mutex;
    std::lock_guard<std::mutex> g(*lineLock);
    OutputDebugStringA(stamp);
    OutputDebugStringA("  ");
    OutputDebugStringA(text.data());
    OutputDebugStringA("\n");
}
