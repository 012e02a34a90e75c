#include <gtest/gtest.h>
#include <poll.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "test_window.h"

using wintest::MakeWindow;
using wintest::PumpUntil;
using wintest::Recorder;

namespace {

const UINT kSocketMsg = 6024;

struct Event {
    long event;
    int error;
};

// A window that records the socket events it gets; its FD_READ handler reads
// `readChunk` bytes (0: everything) into `received`.
struct SocketWindow {
    Recorder rec;
    HWND hwnd = nullptr;
    std::vector<Event> events;
    std::string received;
    size_t readChunk = 0;
    DWORD servedOn = 0;

    SocketWindow() {
        rec.hook = [this](HWND, UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) -> LRESULT {
            if (msg != kSocketMsg) return 0;
            handled = true;
            servedOn = GetCurrentThreadId();
            long ev = WSAGETSELECTEVENT(lParam);
            events.push_back({ev, WSAGETSELECTERROR(lParam)});
            if (ev == FD_READ) {
                char buf[4096];
                size_t want = readChunk ? readChunk : sizeof buf;
                ssize_t n;
                do {
                    n = recv(static_cast<SOCKET>(wParam), buf, want, 0);
                    if (n > 0) received.append(buf, static_cast<size_t>(n));
                } while (n > 0 && !readChunk);
            }
            return 0;
        };
        hwnd = MakeWindow(&rec);
    }
    ~SocketWindow() { DestroyWindow(hwnd); }
    int Count(long ev) const {
        int n = 0;
        for (auto& e : events) n += e.event == ev;
        return n;
    }
    const Event* First(long ev) const {
        for (auto& e : events)
            if (e.event == ev) return &e;
        return nullptr;
    }
};

sockaddr_in loopback(int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = inet_addr("127.0.0.1");
    return a;
}

struct Listener {
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    int port = 0;
    Listener() {
        sockaddr_in a = loopback(0);
        bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(s, 4);
        socklen_t len = sizeof a;
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
        port = ntohs(a.sin_port);
    }
    ~Listener() { closesocket(s); }
    SOCKET Accept() { return accept(s, nullptr, nullptr); }
};

// Starts a non-blocking connect the way the communication kernel does.
SOCKET connectAsync(HWND hwnd, int port, long events = FD_READ | FD_CONNECT | FD_CLOSE) {
    SOCKET c = socket(AF_INET, SOCK_STREAM, 0);
    EXPECT_EQ(WSAAsyncSelect(c, hwnd, kSocketMsg, events), 0);
    sockaddr_in a = loopback(port);
    int r = connect(c, reinterpret_cast<sockaddr*>(&a), sizeof a);
    EXPECT_EQ(r, SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
    return c;
}

class AsyncSelect : public ::testing::Test {
protected:
    void SetUp() override {
        WSADATA data;
        ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
    }
    void TearDown() override {
        ClosePeer();
        if (client != INVALID_SOCKET) closesocket(client);
    }
    // Connects `w`'s socket to the listener and waits for its FD_CONNECT.
    void Open(SocketWindow& w, long events = FD_READ | FD_CONNECT | FD_CLOSE) {
        client = connectAsync(w.hwnd, listener.port, events);
        peer = listener.Accept();
        ASSERT_NE(peer, INVALID_SOCKET);
        ASSERT_TRUE(PumpUntil([&] { return w.Count(FD_CONNECT) == 1; }));
        ASSERT_EQ(w.First(FD_CONNECT)->error, 0);
    }
    void ClosePeer(bool reset = false) {
        if (peer == INVALID_SOCKET) return;
        if (reset) {
            linger hard{1, 0};
            setsockopt(peer, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
        }
        closesocket(peer);
        peer = INVALID_SOCKET;
    }
    Listener listener;
    SOCKET client = INVALID_SOCKET;
    SOCKET peer = INVALID_SOCKET;
};

TEST_F(AsyncSelect, RefusedConnectGivesFdConnectWithConnectionRefused) {
    int port;
    {
        Listener probe;  // a port that nobody listens on once this closes
        port = probe.port;
    }
    SocketWindow w;
    SOCKET c = connectAsync(w.hwnd, port);
    ASSERT_TRUE(PumpUntil([&] { return w.Count(FD_CONNECT) == 1; }));
    EXPECT_EQ(w.First(FD_CONNECT)->error, WSAECONNREFUSED);
    // Nothing more comes for a failed connect.
    winplat::PumpMessagesUntil([] { return false; }, 50);
    EXPECT_EQ(w.events.size(), 1u);
    closesocket(c);
}

TEST_F(AsyncSelect, DataThenPeerCloseGiveReadsThenOneCloseAfterTheData) {
    SocketWindow w;
    w.readChunk = 2;  // the handler leaves data behind: FD_READ must come again
    Open(w);
    ASSERT_EQ(send(peer, "abcde", 5, 0), 5);
    ClosePeer();
    ASSERT_TRUE(PumpUntil([&] { return w.Count(FD_CLOSE) == 1; }));
    EXPECT_EQ(w.received, "abcde");
    EXPECT_EQ(w.First(FD_CLOSE)->error, 0);
    EXPECT_EQ(w.events.back().event, FD_CLOSE);  // after all the reads
    EXPECT_EQ(w.Count(FD_READ), 3);
    EXPECT_EQ(w.Count(FD_CONNECT), 1);
    winplat::PumpMessagesUntil([] { return false; }, 50);
    EXPECT_EQ(w.Count(FD_CLOSE), 1);
}

TEST_F(AsyncSelect, NoSecondFdReadUntilTheFirstIsHandled) {
    SocketWindow w;
    Open(w);
    send(peer, "one", 3, 0);
    MSG first{};
    ASSERT_TRUE(
        PumpUntil([&] { return PeekMessageW(&first, w.hwnd, kSocketMsg, kSocketMsg, PM_REMOVE); }));
    EXPECT_EQ(WSAGETSELECTEVENT(first.lParam), FD_READ);
    EXPECT_EQ(first.wParam, static_cast<WPARAM>(client));
    send(peer, "two", 3, 0);
    winplat::PumpMessagesUntil([] { return false; }, 100);
    EXPECT_EQ(w.Count(FD_READ), 0);  // the first one was taken but not handled yet
    DispatchMessageW(&first);        // reads both
    EXPECT_EQ(w.received, "onetwo");
    send(peer, "three", 5, 0);
    ASSERT_TRUE(PumpUntil([&] { return w.received == "onetwothree"; }));
    EXPECT_EQ(w.Count(FD_READ), 2);
}

// Descriptor numbers come back at once: a closed socket's queued events must
// not reach the next socket that gets its number.
TEST_F(AsyncSelect, ClosingDropsTheSocketsQueuedEvents) {
    SocketWindow w;
    Open(w);
    send(peer, "x", 1, 0);
    MSG m;
    ASSERT_TRUE(
        PumpUntil([&] { return PeekMessageW(&m, w.hwnd, kSocketMsg, kSocketMsg, PM_NOREMOVE); }));
    closesocket(client);
    client = INVALID_SOCKET;
    EXPECT_FALSE(PeekMessageW(&m, w.hwnd, kSocketMsg, kSocketMsg, PM_NOREMOVE));
}

// Windows re-enables FD_READ on recv: a handler that reads nothing gets no
// stream of FD_READ messages, and a later read brings the next one.
TEST_F(AsyncSelect, AHandlerThatReadsNothingIsNotFloodedWithFdRead) {
    SocketWindow w;
    w.readChunk = 1;
    bool readNothing = true;
    auto record = w.rec.hook;
    w.rec.hook = [&](HWND h, UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) -> LRESULT {
        if (msg == kSocketMsg && WSAGETSELECTEVENT(lParam) == FD_READ && readNothing) {
            handled = true;
            w.events.push_back({FD_READ, 0});
            return 0;
        }
        return record(h, msg, wParam, lParam, handled);
    };
    Open(w);
    send(peer, "abc", 3, 0);
    ASSERT_TRUE(PumpUntil([&] { return w.Count(FD_READ) == 1; }));
    winplat::PumpMessagesUntil([] { return false; }, 100);
    EXPECT_EQ(w.Count(FD_READ), 1);
    readNothing = false;
    char byte;
    ASSERT_EQ(recv(client, &byte, 1, 0), 1);  // a read outside the handler re-enables
    ASSERT_TRUE(PumpUntil([&] { return w.received == "bc"; }));
}

TEST_F(AsyncSelect, ResetByThePeerGivesFdCloseWithConnectionReset) {
    SocketWindow w;
    Open(w);
    ClosePeer(true);
    ASSERT_TRUE(PumpUntil([&] { return w.Count(FD_CLOSE) == 1; }));
    EXPECT_EQ(w.First(FD_CLOSE)->error, WSAECONNRESET);
}

TEST_F(AsyncSelect, FdWriteComesWhenAFullSocketCanTakeDataAgain) {
    SocketWindow w;
    Open(w, FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE);
    ASSERT_TRUE(PumpUntil([&] { return w.Count(FD_WRITE) == 1; }));  // after the connect
    EXPECT_EQ(w.events.front().event, FD_CONNECT);
    char none;
    ASSERT_EQ(recv(client, &none, 1, 0), SOCKET_ERROR);  // a read would block: no FD_WRITE
    ASSERT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
    winplat::PumpMessagesUntil([] { return false; }, 50);
    EXPECT_EQ(w.Count(FD_WRITE), 1);
    std::string block(65536, 'x');
    size_t sent = 0;
    for (int i = 0; i < 1000; ++i) {
        ssize_t n = send(client, block.data(), block.size(), 0);
        if (n < 0) break;
        sent += static_cast<size_t>(n);
    }
    ASSERT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
    winplat::PumpMessagesUntil([] { return false; }, 50);
    EXPECT_EQ(w.Count(FD_WRITE), 1);  // still full
    std::thread drain([&] {
        std::vector<char> buf(65536);
        size_t got = 0;
        while (got < sent) {
            ssize_t n = recv(peer, buf.data(), buf.size(), 0);
            if (n <= 0) break;
            got += static_cast<size_t>(n);
        }
    });
    EXPECT_TRUE(PumpUntil([&] { return w.Count(FD_WRITE) == 2; }));
    drain.join();
}

// The peer may empty the socket between a send that would block and the
// program's WSAGetLastError: FD_WRITE must come all the same, or the program
// waits for it for ever with its data unsent.
TEST_F(AsyncSelect, FdWriteComesWhenThePeerEmptiedTheSocketBeforeTheErrorWasRead) {
    SocketWindow w;
    Open(w, FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE);
    ASSERT_TRUE(PumpUntil([&] { return w.Count(FD_WRITE) == 1; }));
    std::string block(65536, 'x');
    size_t sent = 0;
    ssize_t n = 0;
    for (int i = 0; i < 1000 && n >= 0; ++i) {
        n = send(client, block.data(), block.size(), 0);
        if (n > 0) sent += static_cast<size_t>(n);
    }
    ASSERT_LT(n, 0);
    const int sendErrno = errno;
    std::vector<char> buf(65536);
    for (size_t got = 0; got < sent;) {
        ssize_t r = recv(peer, buf.data(), buf.size(), 0);
        ASSERT_GT(r, 0);
        got += static_cast<size_t>(r);
    }
    int unsent = 1;
    for (int i = 0; i < 1000 && unsent > 0; ++i) {
        ASSERT_EQ(ioctl(client, TIOCOUTQ, &unsent), 0);
        if (unsent > 0) Sleep(1);
    }
    ASSERT_EQ(unsent, 0);
    errno = sendErrno;
    ASSERT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
    EXPECT_TRUE(PumpUntil([&] { return w.Count(FD_WRITE) == 2; }));
}

TEST_F(AsyncSelect, CancelAndCloseStopTheEvents) {
    SocketWindow w;
    Open(w);
    SOCKET c = client;
    EXPECT_EQ(WSAAsyncSelect(c, w.hwnd, 0, 0), 0);
    send(peer, "x", 1, 0);
    winplat::PumpMessagesUntil([] { return false; }, 50);
    EXPECT_EQ(w.Count(FD_READ), 0);
    EXPECT_EQ(WSAAsyncSelect(c, w.hwnd, kSocketMsg, FD_READ | FD_CLOSE), 0);
    ASSERT_TRUE(PumpUntil([&] { return w.Count(FD_READ) == 1; }));
    EXPECT_EQ(closesocket(c), 0);
    client = INVALID_SOCKET;
    ClosePeer();
    winplat::PumpMessagesUntil([] { return false; }, 50);
    EXPECT_EQ(w.Count(FD_CLOSE), 0);
    EXPECT_EQ(WSAAsyncSelect(c, w.hwnd, kSocketMsg, FD_READ), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
}

// The socket is served by the loop of the thread that owns the window, even
// when another thread registers it.
TEST_F(AsyncSelect, ASocketIsServedByItsWindowsThread) {
    std::atomic<HWND> hwnd{nullptr};
    std::atomic<bool> done{false};
    std::atomic<DWORD> workerId{0}, servedOn{0};
    std::atomic<int> connectError{-1};
    std::thread worker([&] {
        SocketWindow w;
        workerId = GetCurrentThreadId();
        hwnd = w.hwnd;
        winplat::PumpMessagesUntil([&] { return w.Count(FD_READ) > 0; }, 10000);
        servedOn = w.servedOn;
        if (auto* e = w.First(FD_CONNECT)) connectError = e->error;
        done = true;
    });
    while (!hwnd) Sleep(1);
    client = connectAsync(hwnd, listener.port);
    peer = listener.Accept();
    send(peer, "hi", 2, 0);
    worker.join();
    EXPECT_TRUE(done);
    EXPECT_EQ(servedOn.load(), workerId.load());
    EXPECT_EQ(connectError.load(), 0);
    MSG m;
    EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));  // nothing on this thread
}

TEST(Winsock, ErrnoValuesBecomeWsaCodes) {
    struct {
        int err;
        int wsa;
    } cases[] = {
        {EINPROGRESS, 10035},
        {EAGAIN, 10035},
        {EWOULDBLOCK, 10035},
        {ECONNREFUSED, 10061},
        {ECONNRESET, 10054},
        {ETIMEDOUT, 10060},
        {ENETUNREACH, 10051},
        {EHOSTUNREACH, 10065},
        {EADDRINUSE, 10048},
        {EBADF, 10038},
        {ENOTSOCK, 10038},
        {EINVAL, 10022},
        {EALREADY, 10037},
        {EISCONN, 10056},
        {ENOTCONN, 10057},
        {EAFNOSUPPORT, 10047},
        {ENOBUFS, 10055},
        {EADDRNOTAVAIL, 10049},
        {ENETDOWN, 10050},
        {EINTR, 10004},
        {EACCES, 10013},
        {EFAULT, 10014},
        {0, 0},
    };
    for (auto& c : cases) {
        errno = c.err;
        EXPECT_EQ(WSAGetLastError(), c.wsa) << c.err;
    }
    WSASetLastError(WSAECONNREFUSED);
    EXPECT_EQ(WSAGetLastError(), WSAECONNREFUSED);
    WSASetLastError(WSANOTINITIALISED);  // no errno of its own
    EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
    WSASetLastError(0);
    EXPECT_EQ(WSAGetLastError(), 0);
    EXPECT_EQ(WSAGETSELECTEVENT(WSAMAKESELECTREPLY(FD_CLOSE, 10054)), FD_CLOSE);
    EXPECT_EQ(WSAGETSELECTERROR(WSAMAKESELECTREPLY(FD_CLOSE, 10054)), 10054);
}

TEST(Winsock, SendToAClosedPeerFailsInsteadOfEndingTheProcess) {
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
    EXPECT_EQ(data.wVersion, MAKEWORD(2, 2));
    Listener l;
    SOCKET c = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = loopback(l.port);
    ASSERT_EQ(connect(c, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    SOCKET peer = l.Accept();
    linger hard{1, 0};
    setsockopt(peer, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    closesocket(peer);
    // The reset reaches `c` asynchronously: wait (bounded) until it has.
    pollfd reset{static_cast<int>(c), POLLIN, 0};
    ASSERT_EQ(poll(&reset, 1, 10000), 1);
    int r = 0;
    for (int i = 0; i < 3 && r >= 0; ++i) r = send(c, "x", 1, 0);
    EXPECT_EQ(r, SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAECONNRESET);
    u_long on = 1;
    EXPECT_EQ(ioctlsocket(c, FIONBIO, &on), 0);
    closesocket(c);
}

}  // namespace
