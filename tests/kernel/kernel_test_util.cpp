#include "kernel_test_util.h"

#include <linux/sockios.h>
#include <sys/ioctl.h>

#include "kernel/CommKernel.h"
#include "kernel/Notifications.h"
#include "kernel/TMLSocket.h"

namespace kerneltest {

namespace {
constexpr UINT kSentinel = WM_APP + 77;
const wchar_t kClass[] = L"KernelTestRecorder";
}  // namespace

RecorderWindow::RecorderWindow() {
    WNDCLASSW wc;
    ZeroMemory(&wc, sizeof wc);
    wc.lpfnWndProc = Proc;
    wc.lpszClassName = kClass;
    RegisterClassW(&wc);
    m_hwnd = CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, this);
}

RecorderWindow::~RecorderWindow() {
    if (m_hwnd) DestroyWindow(m_hwnd);
}

void RecorderWindow::Drain() {
    m_sentinelSeen = false;
    PostMessageW(m_hwnd, kSentinel, 0, 0);
    Pump([this] { return m_sentinelSeen; });
}

LRESULT CALLBACK RecorderWindow::Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        return 0;
    }
    auto* self = reinterpret_cast<RecorderWindow*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (self && msg == kSentinel) {
        self->m_sentinelSeen = true;
        return 0;
    }
    if (self && msg >= WM_USER) {
        self->m_posted.push_back(Posted{msg, wParam, lParam});
        return 0;
    }
    return DefWindowProcW(wnd, msg, wParam, lParam);
}

bool Pump(const std::function<bool()>& done, int timeoutMs) {
    return winplat::PumpMessagesUntil(done, timeoutMs);
}

bool SettleSent(testsupport::TcpStandIn& server, int serverType) {
    // Messages already queued are handled first: they may send more.
    MSG msg;
    for (int i = 0; i < 1000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    CCommKernel* k = CCommKernel::GetInstance();
    return Pump([&] {
        if (!k->m_pSockets || serverType < 1 || serverType > 3) return server.AllRead();
        const CTMLSocket& s = k->m_pSockets[serverType - 1];
        // Bytes the peer has not acknowledged are still on their way to it.
        int inFlight = 0;
        if (s.m_hSocket != INVALID_SOCKET &&
            (ioctl(s.m_hSocket, SIOCOUTQ, &inFlight) != 0 || inFlight != 0))
            return false;
        return s.PendingSendBytes() == 0 && server.AllRead();
    });
}

bool CarriesCopy(UINT msg) {
    switch (msg) {
        case UM_LOGON_OK:
        case UM_LOGON_FAILED:
        case UM_JOIN_ROOM_OK:
        case UM_JOIN_ROOM_FAILED:
        case UM_ROOM_USER_LIST:
        case UM_USER_ENTER_ROOM:
        case UM_USER_KICKED_OUT:
        case UM_USER_EXIT_ROOM:
        case UM_MIC_STATE_CHANGED:
        case UM_MIC_STATE_FAILED:
        case UM_ROOM_CHAT_MSG:
        case UM_TRADE_GIFT_FAILED:
        case UM_TRADE_GIFT_NOTIFY:
        case UM_LOUDSPEAKER_MSG:
        case UM_LUCKY_GIFT_REWARD:
        case UM_WAIT_MIC_INDEX_CHANGED:
        case UM_THROW_USER_NOTIFY:
        case UM_USER_PRIORITY_CHANGED:
        case UM_PUBLIC_MIC_CHANGED:
        case UM_SET_USER_PROFILE_RESP:
        case UM_SET_USER_PWD_RESP:
        case UM_MV_KUXIN_RESP:
        case UM_FIREWORKS_PICKED:
        case UM_PLAY_FIREWORKS_NOTIFY:
        case UM_SEAL_NOTIFY:
        case UM_SEE_USER_IP_RESP:
        case UM_SIEGE_STATE:
        case UM_OPEN_CHEST_RESP:
        case UM_CONN_MEDIA_REQ:
        case UM_CONN_MEDIA_RESP:
        case UM_CONN_MEDIA_ERR:
            return true;
        default:
            return false;
    }
}

}  // namespace kerneltest
