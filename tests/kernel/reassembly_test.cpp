// A connection's frame reassembly over a real socket and the real message loop,
// with a sink of the test's own in place of the kernel.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "kernel/TMLSocket.h"
#include "kernel_test_util.h"

using kerneltest::Pump;
using testsupport::Bytes;
using testsupport::RawFrame;
using testsupport::TcpStandIn;

namespace {

constexpr UINT kSocketMsg = WM_USER + 300;

class RecordingSink : public CACDefProcess {
public:
    void OnConnectToServer(void*) override { ++connected; }
    void OnCannotConnectToServer(void*) override { ++cannotConnect; }
    void OnDisConnectServer(void*) override { ++disconnected; }
    void OnConnectError(void*) override { ++connectErrors; }
    void OnReadSocketError(void*) override { ++readErrors; }
    int OnSocketRead(void* frame, int length, void*) override {
        const uint8_t* p = static_cast<const uint8_t*>(frame);
        frames.emplace_back(p, p + length);
        if (onFrame) onFrame();
        return reject ? -1 : 0;
    }
    LRESULT DefMainWndProc(HWND, UINT, WPARAM, LPARAM) override { return 0; }
    bool init(HINSTANCE) override { return false; }
    void uninit() override {}

    int connected = 0, cannotConnect = 0, disconnected = 0, connectErrors = 0, readErrors = 0;
    bool reject = false;
    std::function<void()> onFrame;  // runs inside OnSocketRead
    std::vector<Bytes> frames;
};

CTMLSocket* g_socket = nullptr;

LRESULT CALLBACK SocketWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kSocketMsg && g_socket) {
        g_socket->OnSocketEvent(wParam, lParam);
        return 0;
    }
    return DefWindowProcW(wnd, msg, wParam, lParam);
}

// A frame of `length` bytes whose payload counts up from `seed`.
Bytes Frame(int length, uint8_t seed) {
    Bytes body;
    for (int i = 4; i < length; ++i) body.push_back(static_cast<uint8_t>(seed + i));
    return RawFrame(length, body);
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

class Reassembly : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW wc;
        ZeroMemory(&wc, sizeof wc);
        wc.lpfnWndProc = SocketWndProc;
        wc.lpszClassName = L"ReassemblyTestWnd";
        RegisterClassW(&wc);
        m_wnd = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                                nullptr);
        ASSERT_NE(m_wnd, nullptr);
        m_socket = std::make_unique<CTMLSocket>();
        m_socket->m_nServerType = 3;
        m_socket->m_pSink = &m_sink;
        g_socket = m_socket.get();
        ASSERT_TRUE(m_socket->ConnectToServer(m_wnd, kSocketMsg, "127.0.0.1", m_server.port()));
        ASSERT_TRUE(Pump([this] { return m_sink.connected == 1; }));
        ASSERT_EQ(m_socket->m_nConnected, 1);
    }
    void TearDown() override {
        g_socket = nullptr;
        m_socket.reset();
        DestroyWindow(m_wnd);
    }
    bool Closed() const { return m_socket->m_hSocket == INVALID_SOCKET; }
    // Sends `bytes` and waits until the connection holds `held` bytes of them.
    void SendAndHold(const Bytes& bytes, int held) {
        m_server.Send(bytes);
        ASSERT_TRUE(Pump([&] { return m_socket->m_nRecvLen == held; }));
    }

    TcpStandIn m_server;
    RecordingSink m_sink;
    std::unique_ptr<CTMLSocket> m_socket;
    HWND m_wnd = nullptr;
};

TEST_F(Reassembly, WholeFramesAreHandedOverInOrderHoweverTheyArrive) {
    const Bytes a = Frame(12, 1), b = Frame(30, 7), big = Frame(8192, 3);
    struct Case {
        const char* name;
        std::vector<Bytes> sends;  // each one waits until its bytes arrived
        std::vector<Bytes> frames;
    };
    const Case cases[] = {
        {"two frames in one read", {Cat({a, b})}, {a, b}},
        {"a frame split over reads",
         {Bytes(b.begin(), b.begin() + 7), Bytes(b.begin() + 7, b.end())},
         {b}},
        {"length field split",
         {Bytes(a.begin(), a.begin() + 2), Bytes(a.begin() + 2, a.end())},
         {a}},
        // More than the receive buffer's free space at once: the rest is read on.
        {"largest frames filling the buffer", {Cat({big, big, big, a})}, {big, big, big, a}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_sink.frames.clear();
        size_t total = 0;
        for (const auto& s : c.sends) {
            total += s.size();
            m_server.Send(s);
        }
        ASSERT_TRUE(Pump([&] { return m_sink.frames.size() == c.frames.size(); }));
        EXPECT_EQ(m_sink.frames, c.frames);
        EXPECT_EQ(m_socket->m_nRecvLen, 0);
        EXPECT_FALSE(Closed());
    }
}

TEST_F(Reassembly, FourHeldBytesWaitEvenWhenTheyWouldBeAWholeFrame) {
    SendAndHold(RawFrame(4, {}), 4);
    EXPECT_TRUE(m_sink.frames.empty());
    // One more byte: the four-byte frame goes, the new byte is held.
    SendAndHold({9}, 1);
    ASSERT_EQ(m_sink.frames.size(), 1u);
    EXPECT_EQ(m_sink.frames[0], RawFrame(4, {}));
    EXPECT_FALSE(Closed());
}

TEST_F(Reassembly, AHeldPartialFrameIsDeliveredOnceItIsWhole) {
    const Bytes f = Frame(100, 5);
    SendAndHold(Bytes(f.begin(), f.begin() + 60), 60);
    EXPECT_TRUE(m_sink.frames.empty());
    m_server.Send(Bytes(f.begin() + 60, f.end()));
    ASSERT_TRUE(Pump([&] { return !m_sink.frames.empty(); }));
    EXPECT_EQ(m_sink.frames[0], f);
}

TEST_F(Reassembly, HeldBytesDoNotCarryOverToTheNextConnection) {
    const Bytes f = Frame(40, 2);
    SendAndHold(Bytes(f.begin(), f.begin() + 7), 7);
    m_socket->CloseSocket();
    ASSERT_TRUE(Pump([&] { return m_server.PeerClosed(); }));
    ASSERT_TRUE(m_socket->ConnectToServer(m_wnd, kSocketMsg, "127.0.0.1", m_server.port()));
    ASSERT_TRUE(Pump([&] { return m_sink.connected == 2 && m_server.Connections() == 2; }));
    m_server.Send(f);
    ASSERT_TRUE(Pump([&] { return !m_sink.frames.empty(); }));
    EXPECT_EQ(m_sink.frames, std::vector<Bytes>{f});
}

// The sink may close the connection while it handles a frame, and even open it
// again: the frames held from the old connection are gone, and the new one
// starts with an empty buffer.
TEST_F(Reassembly, ASinkThatReconnectsWhileHandlingAFrameStartsAfresh) {
    const Bytes a = Frame(30, 1), b = Frame(40, 2), c = Frame(50, 3);
    m_sink.onFrame = [this] {
        m_sink.onFrame = nullptr;
        m_socket->CloseSocket();
        m_socket->ConnectToServer(m_wnd, kSocketMsg, "127.0.0.1", m_server.port());
    };
    m_server.Send(Cat({a, b}));
    ASSERT_TRUE(Pump([&] { return !m_sink.frames.empty(); }));
    EXPECT_EQ(m_sink.frames, std::vector<Bytes>{a});
    EXPECT_GE(m_socket->m_nRecvLen, 0);
    ASSERT_TRUE(Pump([&] { return m_sink.connected == 2 && m_server.Connections() == 2; }));
    m_server.Send(c);
    ASSERT_TRUE(Pump([&] { return m_sink.frames.size() == 2; }));
    EXPECT_EQ(m_sink.frames[1], c);
    EXPECT_EQ(m_socket->m_nRecvLen, 0);
}

struct BadFrameCase {
    const char* name;
    int32_t length;
    bool reject;
};

class BadFrame : public Reassembly, public ::testing::WithParamInterface<BadFrameCase> {};

TEST_P(BadFrame, ClosesTheConnectionAfterAReadError) {
    m_sink.reject = GetParam().reject;
    const Bytes good = Frame(20, 1);
    m_server.Send(Cat({RawFrame(GetParam().length, Bytes(16, 0xAB)), good}));
    ASSERT_TRUE(Pump([&] { return Closed(); }));
    EXPECT_EQ(m_sink.readErrors, 1);
    EXPECT_EQ(m_sink.disconnected, 0);
    EXPECT_EQ(m_socket->m_nRecvLen, 0);
    EXPECT_EQ(m_socket->m_nConnected, 0);
    // Nothing after the bad frame reaches the sink.
    for (const auto& f : m_sink.frames) EXPECT_NE(f, good);
    ASSERT_TRUE(Pump([&] { return m_server.PeerClosed(); }));
}

INSTANTIATE_TEST_SUITE_P(Lengths, BadFrame,
                         ::testing::Values(BadFrameCase{"zero", 0, false},
                                           BadFrameCase{"past8192", 8193, false},
                                           BadFrameCase{"negative", -5, false},
                                           BadFrameCase{"rejected", 20, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Reassembly, ServerCloseReportsDisconnectAndClosesOnce) {
    m_server.CloseConnection();
    ASSERT_TRUE(Pump([&] { return Closed(); }));
    EXPECT_EQ(m_sink.disconnected, 1);
    EXPECT_EQ(m_sink.readErrors + m_sink.connectErrors, 0);
}

}  // namespace
