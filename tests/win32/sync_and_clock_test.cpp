#include <gtest/gtest.h>

#include <atomic>

#include "win32/win32.h"

namespace {

DWORD WINAPI setAfterDelay(LPVOID p) {
    Sleep(20);
    SetEvent(static_cast<HANDLE>(p));
    return 7;
}

TEST(Sync, ThreadEndsSignalsItsHandleAndKeepsTheExitCode) {
    HANDLE ev = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE th = CreateThread(nullptr, 0, setAfterDelay, ev, 0, nullptr);
    ASSERT_NE(th, nullptr);
    EXPECT_EQ(WaitForSingleObject(ev, 5000), WAIT_OBJECT_0);
    // Auto-reset: the wait consumed the signal.
    EXPECT_EQ(WaitForSingleObject(ev, 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(th, 5000), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(th, &code));
    EXPECT_EQ(code, 7u);
    CloseHandle(th);
    CloseHandle(ev);
}

TEST(Sync, WaitForMultipleReportsTheSignalledIndex) {
    HANDLE a = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE b = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    HANDLE both[] = {a, b};
    EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 0), WAIT_OBJECT_0 + 1);
    EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 10), WAIT_TIMEOUT);
    SetEvent(a);
    EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 10), WAIT_OBJECT_0);
    CloseHandle(a);
    CloseHandle(b);
    EXPECT_EQ(WaitForSingleObject(a, 0), WAIT_FAILED);
}

TEST(Clock, ManualClockStandsStillUntilAdvanced) {
    winplat::InstallManualClock(1391418307);  // 2014-02-03 09:05:07 UTC
    DWORD t0 = GetTickCount();
    LARGE_INTEGER q0, q1;
    QueryPerformanceCounter(&q0);
    Sleep(5);
    EXPECT_EQ(GetTickCount(), t0);
    winplat::AdvanceManualClock(5000);
    EXPECT_EQ(GetTickCount() - t0, 5000u);
    EXPECT_EQ(timeGetTime(), GetTickCount());
    QueryPerformanceCounter(&q1);
    EXPECT_EQ(q1.QuadPart - q0.QuadPart, 5000LL * 1000000LL);
    EXPECT_EQ(_time64(nullptr), 1391418312);
    winplat::RemoveManualClock();
}

}  // namespace
