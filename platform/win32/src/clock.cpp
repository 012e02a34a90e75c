#include "win32/clock.h"

#include <atomic>
#include <chrono>
#include <ctime>
#include <mutex>

namespace {

std::atomic<bool> g_manual{false};
std::atomic<uint64_t> g_manualNs{0};
std::atomic<int64_t> g_manualEpoch{0};
std::atomic<void (*)()> g_advanceHook{nullptr};

uint64_t realNs() {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

// Wall-clock seconds and milliseconds since 1970.
void wallClock(int64_t& seconds, int& millis) {
    if (g_manual) {
        uint64_t ms = g_manualNs / 1000000u;
        seconds = g_manualEpoch + static_cast<int64_t>(ms / 1000u);
        millis = static_cast<int>(ms % 1000u);
        return;
    }
    auto now = std::chrono::system_clock::now().time_since_epoch();
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
    seconds = ms / 1000;
    millis = static_cast<int>(ms % 1000);
}

void fill(LPSYSTEMTIME out, const std::tm& tm, int millis) {
    out->wYear = static_cast<WORD>(tm.tm_year + 1900);
    out->wMonth = static_cast<WORD>(tm.tm_mon + 1);
    out->wDayOfWeek = static_cast<WORD>(tm.tm_wday);
    out->wDay = static_cast<WORD>(tm.tm_mday);
    out->wHour = static_cast<WORD>(tm.tm_hour);
    out->wMinute = static_cast<WORD>(tm.tm_min);
    out->wSecond = static_cast<WORD>(tm.tm_sec);
    out->wMilliseconds = static_cast<WORD>(millis);
}

}  // namespace

namespace winplat {

uint64_t NowNanoseconds() {
    return g_manual ? g_manualNs.load() : realNs();
}
uint64_t NowMilliseconds() {
    return NowNanoseconds() / 1000000u;
}

void InstallManualClock(int64_t epochSeconds) {
    g_manualNs = realNs();  // keep readings moving forward across the switch
    g_manualEpoch = epochSeconds - static_cast<int64_t>(g_manualNs / 1000000000u);
    g_manual = true;
}

void AdvanceManualClock(uint64_t milliseconds) {
    g_manualNs += milliseconds * 1000000u;
    if (auto hook = g_advanceHook.load()) hook();
}

void RemoveManualClock() {
    g_manual = false;
    if (auto hook = g_advanceHook.load()) hook();
}

bool ManualClockInstalled() {
    return g_manual;
}

void SetClockAdvanceHook(void (*hook)()) {
    g_advanceHook = hook;
}

}  // namespace winplat

DWORD GetTickCount() {
    return static_cast<DWORD>(winplat::NowMilliseconds());
}
ULONGLONG GetTickCount64() {
    return winplat::NowMilliseconds();
}
DWORD timeGetTime() {
    return static_cast<DWORD>(winplat::NowMilliseconds());
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* count) {
    if (!count) return FALSE;
    count->QuadPart = static_cast<LONGLONG>(winplat::NowNanoseconds());
    return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
    if (!frequency) return FALSE;
    frequency->QuadPart = 1000000000LL;
    return TRUE;
}

void GetLocalTime(LPSYSTEMTIME out) {
    if (!out) return;
    int64_t seconds;
    int millis;
    wallClock(seconds, millis);
    std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    localtime_r(&t, &tm);
    fill(out, tm, millis);
}

void GetSystemTime(LPSYSTEMTIME out) {
    if (!out) return;
    int64_t seconds;
    int millis;
    wallClock(seconds, millis);
    std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    gmtime_r(&t, &tm);
    fill(out, tm, millis);
}

__time64_t _time64(__time64_t* out) {
    int64_t seconds;
    int millis;
    wallClock(seconds, millis);
    if (out) *out = seconds;
    return seconds;
}

MMRESULT timeBeginPeriod(UINT) {
    return TIMERR_NOERROR;
}
MMRESULT timeEndPeriod(UINT) {
    return TIMERR_NOERROR;
}
