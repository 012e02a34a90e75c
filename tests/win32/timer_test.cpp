#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "test_window.h"

using wintest::MakeWindow;
using wintest::Recorder;

namespace {

class ManualClock : public ::testing::Test {
protected:
    void SetUp() override { winplat::InstallManualClock(1391389507); }
    void TearDown() override { winplat::RemoveManualClock(); }

    // Dispatches what is ready now, without waiting.
    static void DrainNow() {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
    }
};

TEST_F(ManualClock, AdvancingFiresDueTimersOnceAndKillTimerStopsThem) {
    Recorder rec;
    HWND w = MakeWindow(&rec);
    EXPECT_EQ(SetTimer(w, 7, 1000, nullptr), 7u);
    EXPECT_EQ(SetTimer(w, 8, 300, nullptr), 8u);
    rec.Clear();
    DrainNow();
    EXPECT_TRUE(rec.Only({WM_TIMER}).empty());

    winplat::AdvanceManualClock(299);
    DrainNow();
    EXPECT_TRUE(rec.Only({WM_TIMER}).empty());
    winplat::AdvanceManualClock(1);
    DrainNow();
    ASSERT_EQ(rec.Only({WM_TIMER}).size(), 1u);
    EXPECT_EQ(rec.details.back().wParam, 8u);

    // A long jump gives one WM_TIMER per timer: missed periods are not caught up.
    rec.Clear();
    winplat::AdvanceManualClock(5000);
    DrainNow();
    std::vector<WPARAM> ids;
    for (auto& d : rec.details)
        if (d.message == WM_TIMER) ids.push_back(d.wParam);
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (std::vector<WPARAM>{7, 8}));

    EXPECT_TRUE(KillTimer(w, 8));
    EXPECT_FALSE(KillTimer(w, 8));
    rec.Clear();
    winplat::AdvanceManualClock(1000);
    DrainNow();
    ASSERT_EQ(rec.Only({WM_TIMER}).size(), 1u);
    EXPECT_EQ(rec.details.back().wParam, 7u);

    // Destroying the window ends its timers.
    DestroyWindow(w);
    winplat::AdvanceManualClock(1000);
    MSG m;
    EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(ManualClock, ResettingATimerRestartsItsPeriod) {
    Recorder rec;
    HWND w = MakeWindow(&rec);
    SetTimer(w, 1, 1000, nullptr);
    winplat::AdvanceManualClock(900);
    SetTimer(w, 1, 1000, nullptr);
    winplat::AdvanceManualClock(900);
    rec.Clear();
    DrainNow();
    EXPECT_TRUE(rec.Only({WM_TIMER}).empty());
    winplat::AdvanceManualClock(100);
    DrainNow();
    EXPECT_EQ(rec.Only({WM_TIMER}).size(), 1u);
    DestroyWindow(w);
}

std::vector<UINT_PTR> g_procCalls;
void CALLBACK onTimer(HWND hwnd, UINT msg, UINT_PTR id, DWORD) {
    EXPECT_EQ(hwnd, nullptr);
    EXPECT_EQ(msg, static_cast<UINT>(WM_TIMER));
    g_procCalls.push_back(id);
}

TEST_F(ManualClock, ThreadTimersCallTheirProcedureThroughDispatch) {
    g_procCalls.clear();
    UINT_PTR id = SetTimer(nullptr, 0, 100, onTimer);
    ASSERT_NE(id, 0u);
    winplat::AdvanceManualClock(100);
    MSG m;
    ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_TIMER));
    KillTimer(nullptr, id);
    DispatchMessageW(&m);  // killed in between: the procedure is not called
    EXPECT_TRUE(g_procCalls.empty());

    id = SetTimer(nullptr, 0, 100, onTimer);
    winplat::AdvanceManualClock(100);
    DrainNow();
    EXPECT_EQ(g_procCalls, (std::vector<UINT_PTR>{id}));
    KillTimer(nullptr, id);
}

// A loop blocked in GetMessage on another thread wakes when the clock moves.
TEST_F(ManualClock, AdvancingWakesABlockedLoop) {
    std::atomic<bool> ready{false};
    std::atomic<int> fired{0};
    std::thread t([&] {
        Recorder rec;
        HWND w = MakeWindow(&rec);
        SetTimer(w, 3, 2000, nullptr);
        ready = true;
        MSG m;
        while (GetMessageW(&m, nullptr, 0, 0)) {
            if (m.message == WM_TIMER && m.wParam == 3) {
                ++fired;
                break;
            }
        }
        DestroyWindow(w);
    });
    while (!ready) Sleep(1);
    Sleep(20);  // let it block
    EXPECT_EQ(fired.load(), 0);
    winplat::AdvanceManualClock(2000);
    t.join();
    EXPECT_EQ(fired.load(), 1);
}

TEST(RealClock, ATimerFiresWhileTheLoopWaits) {
    Recorder rec;
    HWND w = MakeWindow(&rec);
    SetTimer(w, 1, 20, nullptr);
    EXPECT_TRUE(
        winplat::PumpMessagesUntil([&] { return rec.Only({WM_TIMER}).size() >= 2; }, 10000));
    KillTimer(w, 1);
    DestroyWindow(w);
}

}  // namespace
