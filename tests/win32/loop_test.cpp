#include <gtest/gtest.h>

#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <thread>

#include "test_window.h"

using wintest::MakeWindow;
using wintest::PumpUntil;
using wintest::Recorder;

namespace {

const UINT kA = WM_USER + 1, kB = WM_USER + 2, kC = WM_USER + 3, kD = WM_USER + 4;

// A wait of the test's own, as a toolkit plugs one in: poll() over an eventfd
// and the loop's descriptors, noting what the loop hands it.
class NotingWaiter : public winplat::LoopWaiter {
public:
    NotingWaiter() : fd_(eventfd(0, EFD_NONBLOCK)) {}
    ~NotingWaiter() override { close(fd_); }
    void Wait(std::vector<pollfd>& fds, int timeoutMs) override {
        for (const pollfd& p : fds) sawSocket = sawSocket || p.fd == socket;
        boundedWhileTimer = boundedWhileTimer || (timerSet && timeoutMs >= 0);
        ++waits;
        std::vector<pollfd> all{pollfd{fd_, POLLIN, 0}};
        all.insert(all.end(), fds.begin(), fds.end());
        // A wake that never comes fails the test instead of hanging it.
        if (poll(all.data(), all.size(), timeoutMs < 0 ? 5000 : timeoutMs) == 0 && timeoutMs < 0)
            notWoken = true;
        for (size_t i = 0; i < fds.size(); ++i) fds[i].revents = all[i + 1].revents;
        uint64_t n;
        while (read(fd_, &n, sizeof n) > 0) {
        }
    }
    void Wake() override {
        uint64_t one = 1;
        ssize_t r = write(fd_, &one, sizeof one);
        (void)r;
    }
    std::atomic<int> waits{0};
    std::atomic<bool> sawSocket{false};
    bool notWoken = false;
    int socket = -1;
    bool timerSet = false, boundedWhileTimer = false;

private:
    int fd_;
};

// The loop blocks in an installed wait only: posts from other threads wake it,
// the sockets of WSAAsyncSelect and the next timer are handed to it.
TEST(Loop, AnInstalledWaitIsWokenByPostsAndServesSocketsAndTimers) {
    NotingWaiter waiter;
    winplat::SetLoopWaiter(&waiter);
    ASSERT_EQ(winplat::GetLoopWaiter(), &waiter);
    Recorder rec;
    HWND w = MakeWindow(&rec);

    auto within5s = [](const std::function<bool()>& done) {
        for (int i = 0; i < 5000 && !done(); ++i) Sleep(1);
    };
    std::thread poster([&] {
        within5s([&] { return waiter.waits > 0; });
        PostMessageW(w, kA, 0, 0);
    });
    MSG m;
    ASSERT_EQ(GetMessageW(&m, nullptr, kA, kA), TRUE);
    poster.join();
    EXPECT_EQ(m.message, kA);
    EXPECT_GT(waiter.waits, 0);

    SOCKET listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = inet_addr("127.0.0.1");
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(listen(listener, 1), 0);
    socklen_t len = sizeof a;
    getsockname(listener, reinterpret_cast<sockaddr*>(&a), &len);
    waiter.socket = listener;
    ASSERT_EQ(WSAAsyncSelect(listener, w, kB, FD_ACCEPT), 0);
    SOCKET peer = socket(AF_INET, SOCK_STREAM, 0);
    std::thread connector([&] {
        within5s([&] { return waiter.sawSocket.load(); });
        connect(peer, reinterpret_cast<sockaddr*>(&a), sizeof a);
    });
    ASSERT_EQ(GetMessageW(&m, nullptr, kB, kB), TRUE);
    connector.join();
    EXPECT_EQ(WSAGETSELECTEVENT(m.lParam), FD_ACCEPT);
    EXPECT_TRUE(waiter.sawSocket);
    closesocket(peer);
    closesocket(listener);

    waiter.timerSet = true;
    SetTimer(w, 1, 20, nullptr);
    ASSERT_EQ(GetMessageW(&m, nullptr, WM_TIMER, WM_TIMER), TRUE);
    KillTimer(w, 1);
    EXPECT_TRUE(waiter.boundedWhileTimer);
    EXPECT_FALSE(waiter.notWoken);

    DestroyWindow(w);
    winplat::SetLoopWaiter(nullptr);
    EXPECT_NE(winplat::GetLoopWaiter(), &waiter);
}

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
    MSG m;
    // The queue must exist before the other thread posts (the usual PeekMessage idiom);
    // otherwise the post may fail and GetMessage wait for ever.
    PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE);
    std::thread t([main] { EXPECT_TRUE(PostThreadMessageW(main, kB, 9, 0)); });
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
        winplat::PumpMessagesUntil([&] { return stop.load(); }, 10000);
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
        winplat::PumpMessagesUntil([&] { return finished.load(); }, 10000);
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
