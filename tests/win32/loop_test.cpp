#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "test_window.h"

using wintest::MakeWindow;
using wintest::PumpUntil;
using wintest::Recorder;

namespace {

const UINT kA = WM_USER + 1, kB = WM_USER + 2, kC = WM_USER + 3, kD = WM_USER + 4;

TEST(Loop, PostedMessagesKeepTheirOrderAndSendIsADirectCall) {
    Recorder rec;
    HWND w = MakeWindow(&rec);
    ASSERT_TRUE(w);
    rec.Clear();
    EXPECT_TRUE(PostMessageW(w, kA, 1, 2));
    EXPECT_TRUE(PostMessageW(w, kB, 0, 0));
    rec.hook = [](HWND, UINT m, WPARAM, LPARAM, bool& handled) -> LRESULT {
        handled = m == kC;
        return 42;
    };
    EXPECT_EQ(SendMessageW(w, kC, 0, 0), 42);  // before the posted ones are dispatched
    EXPECT_TRUE(PumpUntil([&] { return rec.Only({kB}).size() == 1; }));
    EXPECT_EQ(rec.Only({kA, kB, kC}), (std::vector<UINT>{kC, kA, kB}));
    DestroyWindow(w);
}

TEST(Loop, PeekFiltersByRangeAndWindowAndCanLeaveTheMessage) {
    Recorder r1, r2;
    HWND w1 = MakeWindow(&r1), w2 = MakeWindow(&r2);
    PostMessageW(w1, kA, 0, 0);
    PostMessageW(w2, kB, 0, 0);
    PostThreadMessageW(GetCurrentThreadId(), kC, 7, 0);
    MSG m;
    ASSERT_TRUE(PeekMessageW(&m, w2, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(m.message, kB);
    ASSERT_TRUE(PeekMessageW(&m, nullptr, kC, kC, PM_REMOVE));
    EXPECT_EQ(m.hwnd, nullptr);
    EXPECT_EQ(m.wParam, 7u);
    ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, kA);
    ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, kB);  // left in the queue by PM_NOREMOVE
    EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
    DestroyWindow(w1);
    DestroyWindow(w2);
}

TEST(Loop, QuitComesAfterThePostedMessagesAndEndsGetMessage) {
    Recorder rec;
    HWND w = MakeWindow(&rec);
    PostMessageW(w, kA, 0, 0);
    PostQuitMessage(3);
    PostMessageW(w, kB, 0, 0);
    MSG m;
    std::vector<UINT> got;
    while (GetMessageW(&m, nullptr, 0, 0)) got.push_back(m.message);
    EXPECT_EQ(got, (std::vector<UINT>{kA, kB}));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(m.wParam, 3u);
    EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));  // the quit flag was taken
    DestroyWindow(w);
}

TEST(Loop, AModalLoopInsideAWindowProcedureRunsAndReturns) {
    Recorder rec;
    HWND w = MakeWindow(&rec);
    std::vector<std::string> trace;
    rec.hook = [&](HWND h, UINT msg, WPARAM, LPARAM, bool&) -> LRESULT {
        if (msg == kA) {
            trace.push_back("A in");
            PostMessageW(h, kB, 0, 0);
            PostMessageW(h, kC, 0, 0);
            MSG m;
            while (GetMessageW(&m, nullptr, 0, 0)) {
                DispatchMessageW(&m);
                if (m.message == kC) break;
            }
            trace.push_back("A out");
        }
        if (msg == kB) trace.push_back("B");
        if (msg == kC) trace.push_back("C");
        if (msg == kD) trace.push_back("D");
        return 0;
    };
    PostMessageW(w, kA, 0, 0);
    PostMessageW(w, kD, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return trace.size() == 5; }));
    // D was posted before B and C, so the inner loop dispatches it first.
    EXPECT_EQ(trace, (std::vector<std::string>{"A in", "D", "B", "C", "A out"}));
    DestroyWindow(w);
}

TEST(Loop, PostFromAnotherThreadWakesABlockedGetMessage) {
    Recorder rec;
    HWND w = MakeWindow(&rec);
    std::thread t([w] {
        Sleep(30);
        PostMessageW(w, kA, 5, 6);
    });
    MSG m;
    ASSERT_TRUE(GetMessageW(&m, nullptr, 0, 0));
    EXPECT_EQ(m.hwnd, w);
    EXPECT_EQ(m.message, kA);
    EXPECT_EQ(m.wParam, 5u);
    t.join();
    DestroyWindow(w);
}

TEST(Loop, PostThreadMessageNeedsAQueueAndReachesIt) {
    EXPECT_FALSE(PostThreadMessageW(0x7FFFFFF0u, kA, 0, 0));  // no such thread
    DWORD main = GetCurrentThreadId();
    std::thread t([main] { PostThreadMessageW(main, kB, 9, 0); });
    MSG m;
    ASSERT_TRUE(GetMessageW(&m, nullptr, 0, 0));
    EXPECT_EQ(m.hwnd, nullptr);
    EXPECT_EQ(m.message, kB);
    t.join();
}

// The worker's window answers by sending back to the main thread's window:
// the main thread, blocked in SendMessage, must serve that send meanwhile.
TEST(Loop, SendAcrossThreadsWaitsForTheAnswerWithoutDeadlock) {
    Recorder mainRec;
    HWND mainWnd = MakeWindow(&mainRec);
    mainRec.hook = [](HWND, UINT msg, WPARAM wParam, LPARAM, bool& handled) -> LRESULT {
        handled = msg == kB;
        return static_cast<LRESULT>(wParam * 2);
    };
    std::atomic<HWND> workerWnd{nullptr};
    std::atomic<DWORD> handledOn{0};
    std::atomic<bool> stop{false};
    std::thread worker([&] {
        Recorder rec;
        rec.hook = [&](HWND, UINT msg, WPARAM wParam, LPARAM, bool& handled) -> LRESULT {
            if (msg != kA) return 0;
            handled = true;
            handledOn = GetCurrentThreadId();
            return SendMessageW(mainWnd, kB, wParam + 1, 0) + 1;
        };
        HWND w = MakeWindow(&rec);
        workerWnd = w;
        winplat::PumpMessagesUntil([&] { return stop.load(); }, 5000);
        DestroyWindow(w);
    });
    while (!workerWnd) Sleep(1);
    EXPECT_EQ(SendMessageW(workerWnd, kA, 10, 0), 23);  // (10 + 1) * 2 + 1
    EXPECT_NE(handledOn.load(), GetCurrentThreadId());
    EXPECT_NE(handledOn.load(), 0u);
    stop = true;
    PostMessageW(workerWnd, WM_NULL, 0, 0);
    worker.join();
    DestroyWindow(mainWnd);
}

// ReplyMessage answers the sender at once; the procedure's own result is dropped.
TEST(Loop, ReplyMessageReleasesTheSenderEarly) {
    std::atomic<HWND> target{nullptr};
    std::atomic<bool> replied{false}, finished{false};
    std::thread worker([&] {
        Recorder rec;
        rec.hook = [&](HWND, UINT msg, WPARAM, LPARAM, bool& handled) -> LRESULT {
            if (msg != kA) return 0;
            handled = true;
            EXPECT_TRUE(InSendMessage());
            replied = true;
            EXPECT_TRUE(ReplyMessage(5));
            while (!finished) Sleep(1);  // the sender goes on meanwhile
            return 6;
        };
        HWND w = MakeWindow(&rec);
        EXPECT_FALSE(InSendMessage());
        target = w;
        winplat::PumpMessagesUntil([&] { return finished.load(); }, 5000);
        DestroyWindow(w);
    });
    while (!target) Sleep(1);
    EXPECT_EQ(SendMessageW(target, kA, 0, 0), 5);
    EXPECT_TRUE(replied);
    finished = true;
    worker.join();
}

TEST(Loop, GetMessageRefusesAnInvalidWindowFilter) {
    Recorder rec;
    HWND w = MakeWindow(&rec);
    DestroyWindow(w);
    MSG m;
    EXPECT_EQ(GetMessageW(&m, w, 0, 0), -1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST(Loop, SendToAWindowOfAnEndedThreadGivesZero) {
    HWND gone = nullptr;
    std::thread t([&] {
        static Recorder rec;
        gone = MakeWindow(&rec);
    });
    t.join();
    EXPECT_FALSE(IsWindow(gone));  // a thread's windows end with it
    EXPECT_EQ(SendMessageW(gone, kA, 0, 0), 0);
    EXPECT_FALSE(PostMessageW(gone, kA, 0, 0));
}

TEST(Loop, PumpStopsAtQuitAndLeavesItForTheOuterLoop) {
    PostQuitMessage(9);
    EXPECT_FALSE(winplat::PumpMessagesUntil([] { return false; }, 2000));
    MSG m;
    EXPECT_FALSE(GetMessageW(&m, nullptr, 0, 0));
    EXPECT_EQ(m.wParam, 9u);
}

}  // namespace
