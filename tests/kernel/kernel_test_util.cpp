#include "kernel_test_util.h"

#include <linux/sockios.h>
#include <sys/ioctl.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "kernel/CommKernel.h"
#include "kernel/NotificationCopy.h"
#include "kernel/Notifications.h"
#include "kernel/TMLSocket.h"
#include "model/RoomManager.h"
#include "model/UserMVManager.h"
#include "model/UserManager.h"
#include "session/CommKernelData.h"

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

void EmptyModel(CCommKernelData* d) {
    d->m_pUserManager->ClearData();
    std::vector<int> rooms;
    for (auto& entry : d->m_pRoomManager->rooms) rooms.push_back(entry.first);
    for (int id : rooms) d->m_pRoomManager->DelRoom(id);
    d->m_pUserMVManager->ClearData();
    d->m_nCurRoomId = 0;
    d->m_LocalUser = CUserObj();
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

int ThreadCount() {
    int count = 0;
    for (const auto& e : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream in(e.path() / "comm");
        std::string name;
        std::getline(in, name);
        count += name != "Thread (pooled)";
    }
    return count;
}

bool CarriesCopy(UINT msg) {
    return comm::NotificationCarriesCopy(msg);
}

}  // namespace kerneltest
