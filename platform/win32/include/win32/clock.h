// The one time source behind GetTickCount, timeGetTime, the performance counter,
// the local time and _time64. Tests can switch it to a manual clock.
#pragma once

#include "win32/base.h"

DWORD GetTickCount();
ULONGLONG GetTickCount64();
DWORD timeGetTime();
BOOL QueryPerformanceCounter(LARGE_INTEGER* count);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);
void GetLocalTime(LPSYSTEMTIME time);
void GetSystemTime(LPSYSTEMTIME time);
typedef int64_t __time64_t;
// Seconds since 1970 from the time source (the CRT's time()).
__time64_t _time64(__time64_t* out);
typedef UINT MMRESULT;
#define TIMERR_NOERROR 0
MMRESULT timeBeginPeriod(UINT period);
MMRESULT timeEndPeriod(UINT period);

namespace winplat {

// Milliseconds of the time source since an arbitrary start.
uint64_t NowMilliseconds();
// Nanoseconds of the time source (the performance counter runs at 1 GHz).
uint64_t NowNanoseconds();

// The manual clock: while it is installed, time stands still until advanced.
// The wall clock it reports starts at `epochSeconds` (seconds since 1970, UTC).
void InstallManualClock(int64_t epochSeconds);
void AdvanceManualClock(uint64_t milliseconds);
void RemoveManualClock();
bool ManualClockInstalled();

// Registers a function called (on the advancing thread) whenever the manual
// clock moves, so that message loops can re-check their timers.
void SetClockAdvanceHook(void (*hook)());

}  // namespace winplat
