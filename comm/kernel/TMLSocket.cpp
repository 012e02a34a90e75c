#include "kernel/TMLSocket.h"

#include <algorithm>
#include <cstring>

#include "kernel/Frame.h"
#include "util/LogPrint.h"

namespace {

struct SocketErrorText {
    int code;
    const char* text;
};

// Errors that end a connection attempt or a connection with a notification.
const SocketErrorText kErrorTable[] = {
    {10004, "The (blocking) Windows Socket 1.1 call was canceled through WSACancelBlockingCall."},
    {10013,
     "Attempt to connect datagram socket to broadcast address failed because setsockopt option "
     "SO_BROADCAST is not enabled."},
    {10014,
     "The name or the namelen parameter is not a valid part of the user address space, the "
     "namelen parameter is too small, or the name parameter contains incorrect address format "
     "for the associated address family."},
    {10022,
     "The parameter s is a listening socket, or the destination address specified is not "
     "consistent with that of the constrained group the socket belongs to."},
    {10035,
     "The socket is marked as nonblocking and the connection cannot be completed immediately."},
    {10036,
     "A blocking Windows Sockets 1.1 call is in progress, or the service provider is still "
     "processing a callback function."},
    {10037,
     "A nonblocking connect call is in progress on the specified socket. Note In order to "
     "preserve backward compatibility, this error is reported as WSAEINVAL to Windows Sockets "
     "1.1 applications that link to either WINSOCK.DLL or WSOCK32.DLL."},
    {10038, "The descriptor is not a socket."},
    {10047, "Addresses in the specified family cannot be used with this socket. 0"},
    {10048,
     "The socket's local address is already in use and the socket was not marked to allow "
     "address reuse with SO_REUSEADDR. This error usually occurs when executing bind, but could "
     "be delayed until this function if the bind was to a partially wild-card address "
     "(involving ADDR_ANY) and if a specific address needs to be committed at the time of this "
     "function."},
    {10049, "The remote address is not a valid address (such as ADDR_ANY)."},
    {10050, "The network subsystem has failed."},
    {10051, "The network cannot be reached from this host at this time."},
    {10055, "No buffer space is available. The socket cannot be connected."},
    {10056, "The socket is already connected (connection-oriented sockets only)."},
    {10060, "Addresses in the specified family cannot be used with this socket 2."},
    {10061, "Addresses in the specified family cannot be used with this socket. 1"},
    {10093, "A successful WSAStartup must occur before using this function."},
};

const char* ErrorText(int code) {
    for (const auto& e : kErrorTable)
        if (e.code == code) return e.text;
    return nullptr;
}

}  // namespace

CTMLSocket::CTMLSocket()
    : m_nServerType(0),
      m_bNotifyClose(1),
      m_nMsgId(0),
      m_hSocket(INVALID_SOCKET),
      m_pSink(nullptr),
      m_nConnected(0),
      m_nSync(0),
      m_RecvBuf{},
      m_nRecvLen(0) {}

CTMLSocket::~CTMLSocket() {
    CloseSocket();
}

ULONG CTMLSocket::Get_IP(const char* host) {
    if (!host || !*host) return 0;
    ULONG addr = inet_addr(host);
    if (addr != INADDR_NONE) return addr;
    hostent* h = gethostbyname(host);
    if (!h || h->h_addrtype != AF_INET || !h->h_addr_list || !h->h_addr_list[0]) return 0;
    ULONG first = 0;
    std::memcpy(&first, h->h_addr_list[0], sizeof first);
    return first;
}

bool CTMLSocket::ConnectToServer(HWND wnd, UINT msg, const char* host, int port) {
    __log_print__("tag_tmlsocket:ConnectToServer: addr=%s, port=%d\n", host ? host : "", port);
    if (!wnd) {
        __log_print__("tag_tmlsocket:ConnectToServer: hWnd == NULL, return false!\n");
        return false;
    }
    if (m_nSync == 1) {
        __log_print__("tag_tmlsocket:ConnectToServer: m_nSync == 1, return false!\n");
        return false;
    }
    ULONG ip = Get_IP(host);
    if (ip == 0) {
        __log_print__("tag_tmlsocket:ConnectToServer: Get_IP error!,addr=%s\n", host ? host : "");
        return false;
    }
    m_nMsgId = static_cast<int>(msg);
    if (m_hSocket == INVALID_SOCKET) {
        m_hSocket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (m_hSocket == INVALID_SOCKET) return false;
        // A failed attempt below closes the socket again: a socket left open but
        // never connecting would make later requests queue for a connect that never
        // comes. FD_WRITE tells when a full socket can take the rest of a frame.
        if (WSAAsyncSelect(m_hSocket, wnd, msg, FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE) ==
            SOCKET_ERROR) {
            CloseSocket();
            return false;
        }
        sockaddr_in to;
        std::memset(&to, 0, sizeof to);
        to.sin_family = AF_INET;
        to.sin_port = htons(static_cast<u_short>(port));
        to.sin_addr.s_addr = ip;
        if (connect(m_hSocket, reinterpret_cast<sockaddr*>(&to), sizeof to) == SOCKET_ERROR &&
            WSAGetLastError() != WSAEWOULDBLOCK) {
            CloseSocket();
            return false;
        }
        m_nSync = 1;
    }
    m_bNotifyClose = 1;
    return true;
}

int CTMLSocket::OnSocketEvent(WPARAM socket, LPARAM event) {
    // A message still queued for a socket closed since then must not act on the
    // connection's new socket.
    if (m_hSocket == INVALID_SOCKET || static_cast<SOCKET>(socket) != m_hSocket) return 1;
    const int what = WSAGETSELECTEVENT(event);
    const int error = WSAGETSELECTERROR(event);
    const char* text = ErrorText(error);

    // Room to send again says nothing about the connect: it only drains the backlog.
    if (what == FD_WRITE && !text) {
        DrainBacklog();
        return 1;
    }

    m_nSync = 0;
    if (text) {
        OutputDebugStringA(text);
        OutputDebugStringA("\n");
        if (m_pSink) m_pSink->OnConnectError(this);
        CloseSocket();
        return 0;
    }
    switch (what) {
        case FD_READ:
            if (ReceiveFrames(static_cast<SOCKET>(socket)) == -1) {
                if (m_pSink) m_pSink->OnReadSocketError(this);
                CloseSocket();
            }
            break;
        case FD_CONNECT:
            if (error != 0) {
                CloseSocket();
                if (m_pSink) m_pSink->OnCannotConnectToServer(this);
            } else {
                if (m_pSink) m_pSink->OnConnectToServer(this);
                m_nConnected = 1;
            }
            break;
        case FD_CLOSE:
            if (m_pSink) m_pSink->OnDisConnectServer(this);
            CloseSocket();
            break;
        default:
            break;
    }
    return 1;
}

int CTMLSocket::ReceiveFrames(SOCKET s) {
    for (;;) {
        const int space = kRecvBufSize - m_nRecvLen;
        int got = recv(s, reinterpret_cast<char*>(m_RecvBuf + m_nRecvLen), space, 0);
        // An orderly close reads 0: FD_CLOSE follows and reports it, so it is not
        // taken for a read error.
        if (got == 0) return 0;
        if (got < 0) return WSAGetLastError() == WSAEWOULDBLOCK ? 0 : -1;
        m_nRecvLen += got;

        int pos = 0;
        while (m_nRecvLen - pos > 4) {
            const int32_t len = static_cast<int32_t>(comm::ReadU32(m_RecvBuf + pos));
            if (len < 1 || len > comm::kMaxFrameSize) {
                m_nRecvLen = 0;
                return -1;
            }
            if (m_nRecvLen - pos < len) break;
            int rc = m_pSink ? m_pSink->OnSocketRead(m_RecvBuf + pos, len, this) : 0;
            // The sink may have closed this connection while handling the frame,
            // and even opened it again (the close emptied the buffer): nothing
            // held belongs to the connection any more.
            if (m_hSocket != s || m_nRecvLen == 0) return 0;
            if (rc == -1) {
                m_nRecvLen = 0;
                return -1;
            }
            pos += len;
        }
        const int rest = m_nRecvLen - pos;
        if (rest >= comm::kMaxFrameSize) {
            m_nRecvLen = 0;
            return -1;
        }
        if (pos > 0 && rest > 0)
            std::memmove(m_RecvBuf, m_RecvBuf + pos, static_cast<size_t>(rest));
        m_nRecvLen = rest;
        if (got < space) return 0;
    }
}

void CTMLSocket::SendData(const void* bytes, int length) {
    if (m_hSocket == INVALID_SOCKET || !bytes || length <= 0) return;
    // Before the connect completes a send fails (WSAENOTCONN); kept, it would go
    // out ahead of the queued hello frame.
    if (m_nSync == 1) return;
    const uint8_t* p = static_cast<const uint8_t*>(bytes);
    if (!m_SendBacklog.empty()) {
        m_SendBacklog.insert(m_SendBacklog.end(), p, p + length);
        DrainBacklog();
        return;
    }
    int sent = send(m_hSocket, reinterpret_cast<const char*>(p), length, 0);
    if (sent == SOCKET_ERROR) {
        // A full socket keeps the frame for FD_WRITE; other send errors are not
        // reported (the close that follows is).
        if (WSAGetLastError() == WSAEWOULDBLOCK)
            m_SendBacklog.insert(m_SendBacklog.end(), p, p + length);
        return;
    }
    if (sent < length) {
        m_SendBacklog.insert(m_SendBacklog.end(), p + sent, p + length);
        DrainBacklog();
    }
}

void CTMLSocket::DrainBacklog() {
    if (m_hSocket == INVALID_SOCKET) {
        m_SendBacklog.clear();
        return;
    }
    char chunk[4096];
    while (!m_SendBacklog.empty()) {
        const size_t n = std::min(sizeof chunk, m_SendBacklog.size());
        std::copy_n(m_SendBacklog.begin(), n, chunk);
        int sent = send(m_hSocket, chunk, static_cast<int>(n), 0);
        if (sent == SOCKET_ERROR) {
            if (WSAGetLastError() != WSAEWOULDBLOCK) m_SendBacklog.clear();
            return;
        }
        // A short send is tried again: FD_WRITE comes only after a send would block.
        m_SendBacklog.erase(m_SendBacklog.begin(), m_SendBacklog.begin() + sent);
    }
}

void CTMLSocket::QueueData(const void* bytes, int length) {
    if (!bytes || length <= 0) return;
    const uint8_t* p = static_cast<const uint8_t*>(bytes);
    m_lstPending.push_back(PendingFrame{std::vector<uint8_t>(p, p + length)});
}

void CTMLSocket::FlushQueue() {
    for (const auto& f : m_lstPending) SendData(f.bytes.data(), static_cast<int>(f.bytes.size()));
    ClearQueue();
}

void CTMLSocket::ClearQueue() {
    m_lstPending.clear();
}

bool CTMLSocket::CloseSocket() {
    m_nSync = 0;
    m_nConnected = 0;
    if (m_hSocket != INVALID_SOCKET) {
        closesocket(m_hSocket);
        m_hSocket = INVALID_SOCKET;
    }
    m_SendBacklog.clear();
    // Bytes held from this connection must not prefix the next one's stream.
    m_nRecvLen = 0;
    ClearQueue();
    return true;
}
