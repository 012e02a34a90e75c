#include "kernel/CommKernel.h"

#include <cstdlib>
#include <cstring>
#include <ctime>

#include "kernel/CommWnd.h"
#include "kernel/TMLSocket.h"
#include "session/CommKernelData.h"
#include "util/LogPrint.h"

namespace {
constexpr int kTableSize = 3;
}

CCommKernel* CCommKernel::m_pThis = nullptr;

CCommKernel::CCommKernel()
    : m_hInstance(nullptr),
      m_pCommWnd(nullptr),
      m_pSockets(nullptr),
      m_pNotifyWnds(nullptr),
      m_pWndTable(nullptr),
      m_pData(nullptr) {}

// The kernel lives until the process ends; nothing is released here.
CCommKernel::~CCommKernel() = default;

CCommKernel* CCommKernel::GetInstance() {
    if (!m_pThis) m_pThis = new CCommKernel();
    return m_pThis;
}

bool CCommKernel::init(HINSTANCE instance) {
    m_hInstance = instance;
    srand(static_cast<unsigned>(_time64(nullptr)));
    if (!m_pCommWnd) m_pCommWnd = new CCommWnd();
    if (!m_pSockets) {
        m_pSockets = new CTMLSocket[kTableSize];
        for (int i = 0; i < kTableSize; ++i) {
            m_pSockets[i].m_nServerType = i + 1;
            m_pSockets[i].m_pSink = this;
        }
    }
    if (!m_pNotifyWnds) m_pNotifyWnds = new HWND[kTableSize];
    if (!m_pWndTable) m_pWndTable = new void*[kTableSize];
    if (!m_pData) m_pData = new CCommKernelData();
    m_pCommWnd->Create(instance, this);
    for (int i = 0; i < kTableSize; ++i) {
        m_pNotifyWnds[i] = nullptr;
        m_pWndTable[i] = nullptr;
    }
    return false;
}

void CCommKernel::uninit() {}

CTMLSocket* CCommKernel::Socket(int type) {
    if (!m_pSockets || type < 1 || type > kTableSize) return nullptr;
    return &m_pSockets[type - 1];
}

int CCommKernel::ServerTypeOf(void* socket) const {
    if (!m_pSockets || !socket) return 0;
    for (int i = 0; i < kTableSize; ++i)
        if (socket == &m_pSockets[i]) return i + 1;
    return 0;
}

void CCommKernel::PostToNotifyWnd(int type, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!m_pNotifyWnds || type < 1 || type > kTableSize) return;
    HWND wnd = m_pNotifyWnds[type - 1];
    if (wnd) PostMessageW(wnd, msg, wParam, lParam);
}

void CCommKernel::OnConnectToServer(void* socket) {
    if (ServerTypeOf(socket)) static_cast<CTMLSocket*>(socket)->FlushQueue();
}

void CCommKernel::OnCannotConnectToServer(void*) {}

void CCommKernel::OnDisConnectServer(void* socket) {
    int type = ServerTypeOf(socket);
    if (!type) return;
    if (static_cast<CTMLSocket*>(socket)->m_bNotifyClose == 1)
        PostToNotifyWnd(type, UM_SERVER_DISCONNECTED, static_cast<WPARAM>(type), 0);
}

void CCommKernel::OnConnectError(void* socket) {
    int type = ServerTypeOf(socket);
    if (type) PostToNotifyWnd(type, UM_SERVER_CONNECT_ERROR, static_cast<WPARAM>(type), 0);
}

void CCommKernel::OnReadSocketError(void*) {}

LRESULT CCommKernel::DefMainWndProc(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

void CCommKernel::SetNotifyWnd(_eServerType type, HWND wnd) {
    if (!m_pNotifyWnds || type < 1 || type > kTableSize) return;
    m_pNotifyWnds[type - 1] = wnd;
}

bool CCommKernel::ConnectServer(_eServerType type, const char* host, int port) {
    CTMLSocket* s = Socket(type);
    if (!s || !m_pCommWnd) return false;
    static const UINT kMsgIds[kTableSize] = {UM_SOCKET_LOGON, UM_SOCKET_LOBBY, UM_SOCKET_ROOM};
    return s->ConnectToServer(m_pCommWnd->m_hWnd, kMsgIds[type - 1], host, port);
}

bool CCommKernel::ConnectServer(_eServerType type, int index) {
    if (!m_pData || index < 0 || index >= kServerTableSize) return false;
    const tag_ServerAddr* table = nullptr;
    switch (type) {
        case SERVER_TYPE_LOGON:
            table = m_pData->m_pLogonSvrTable;
            break;
        case SERVER_TYPE_LOBBY:
            table = m_pData->m_pLobbySvrTable;
            break;
        case SERVER_TYPE_ROOM:
            table = m_pData->m_pRoomGateTable;
            break;
        default:
            return false;
    }
    if (!table) return false;
    // The host field may be filled to its end: read it as a bounded text.
    char host[sizeof table[index].szHost + 1] = {0};
    std::memcpy(host, table[index].szHost, sizeof table[index].szHost);
    int port = table[index].wPort;
    if (type == SERVER_TYPE_LOGON)
        __log_print__("tag_logon: step4: ConnectServer...addr=%s, port=%d", host, port);
    return ConnectServer(type, host, port);
}

void CCommKernel::DisconnectServer(_eServerType type) {
    if (CTMLSocket* s = Socket(type)) s->CloseSocket();
}

bool CCommKernel::IsConnected(_eServerType type) {
    CTMLSocket* s = Socket(type);
    return s && s->m_hSocket != INVALID_SOCKET && s->m_nConnected == 1;
}

bool CCommKernel::IsConnecting(_eServerType type) {
    CTMLSocket* s = Socket(type);
    return s && s->m_nSync == 1;
}

void CCommKernel::OnSocketEventMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    int type = 0;
    if (msg == UM_SOCKET_LOGON)
        type = SERVER_TYPE_LOGON;
    else if (msg == UM_SOCKET_LOBBY)
        type = SERVER_TYPE_LOBBY;
    else if (msg >= UM_SOCKET_ROOM)
        type = SERVER_TYPE_ROOM;
    if (CTMLSocket* s = Socket(type)) s->OnSocketEvent(wParam, lParam);
}

void CCommKernel::free_msgdata(char* data) {
    delete[] data;
}

int CCommKernel::LocalUserId() const {
    return m_pData ? m_pData->m_LocalUser.userId : 0;
}

int CCommKernel::CurRoomId() const {
    return m_pData ? m_pData->m_nCurRoomId : 0;
}

void CCommKernel::SendRoom(const void* bytes, int length) {
    if (CTMLSocket* s = Socket(SERVER_TYPE_ROOM)) s->SendData(bytes, length);
}
