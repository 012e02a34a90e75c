// Winsock's own calls over BSD sockets, and errno as WSA error codes.
#include <fcntl.h>
#include <signal.h>

#include <cerrno>
#include <cstring>

#include "async_select.h"
#include "win32/sync.h"
#include "win32/winsock.h"

namespace {

struct ErrorPair {
    int err;
    int wsa;
};

// First entry of a code is the errno WSASetLastError sets for it.
const ErrorPair kErrors[] = {
    {EINTR, WSAEINTR},
    {EACCES, WSAEACCES},
    {EFAULT, WSAEFAULT},
    {EINVAL, WSAEINVAL},
    {EMFILE, WSAEMFILE},
    {EWOULDBLOCK, WSAEWOULDBLOCK},
    {EAGAIN, WSAEWOULDBLOCK},
    {EINPROGRESS, WSAEWOULDBLOCK},  // a non-blocking connect under way, as Windows says it
    {EALREADY, WSAEALREADY},
    {ENOTSOCK, WSAENOTSOCK},
    {EBADF, WSAENOTSOCK},
    {EDESTADDRREQ, WSAEDESTADDRREQ},
    {EMSGSIZE, WSAEMSGSIZE},
    {EPROTOTYPE, WSAEPROTOTYPE},
    {ENOPROTOOPT, WSAENOPROTOOPT},
    {EPROTONOSUPPORT, WSAEPROTONOSUPPORT},
    {ESOCKTNOSUPPORT, WSAESOCKTNOSUPPORT},
    {EOPNOTSUPP, WSAEOPNOTSUPP},
    {EPFNOSUPPORT, WSAEPFNOSUPPORT},
    {EAFNOSUPPORT, WSAEAFNOSUPPORT},
    {EADDRINUSE, WSAEADDRINUSE},
    {EADDRNOTAVAIL, WSAEADDRNOTAVAIL},
    {ENETDOWN, WSAENETDOWN},
    {ENETUNREACH, WSAENETUNREACH},
    {ENETRESET, WSAENETRESET},
    {ECONNABORTED, WSAECONNABORTED},
    {ECONNRESET, WSAECONNRESET},
    {EPIPE, WSAECONNRESET},  // sending after the peer went away
    {ENOBUFS, WSAENOBUFS},
    {ENOMEM, WSAENOBUFS},
    {EISCONN, WSAEISCONN},
    {ENOTCONN, WSAENOTCONN},
    {ESHUTDOWN, WSAESHUTDOWN},
    {ETOOMANYREFS, WSAETOOMANYREFS},
    {ETIMEDOUT, WSAETIMEDOUT},
    {ECONNREFUSED, WSAECONNREFUSED},
    {ELOOP, WSAELOOP},
    {ENAMETOOLONG, WSAENAMETOOLONG},
    {EHOSTDOWN, WSAEHOSTDOWN},
    {EHOSTUNREACH, WSAEHOSTUNREACH},
    {ENOTEMPTY, WSAENOTEMPTY},
    {EUSERS, WSAEUSERS},
    {EDQUOT, WSAEDQUOT},
    {ESTALE, WSAESTALE},
    {EREMOTE, WSAEREMOTE},
};

// A code set with WSASetLastError stays the answer while errno stays as it was.
thread_local int t_setCode = -1;
thread_local int t_setErrno = 0;

}  // namespace

namespace winplat {

int WsaErrorFromErrno(int err) {
    if (err == 0) return 0;
    for (const auto& e : kErrors)
        if (e.err == err) return e.wsa;
    return WSAEINVAL;
}

}  // namespace winplat

int WSAStartup(WORD versionRequested, LPWSADATA data) {
    BYTE major = LOBYTE(versionRequested), minor = HIBYTE(versionRequested);
    if (major < 1 || (major == 1 && minor < 1)) return WSAVERNOTSUPPORTED;
    if (!data) return WSAEFAULT;
    std::memset(data, 0, sizeof *data);
    data->wVersion = major > 2 || (major == 2 && minor > 2) ? MAKEWORD(2, 2) : versionRequested;
    data->wHighVersion = MAKEWORD(2, 2);
    std::strcpy(data->szDescription, "WinSock 2.0");
    std::strcpy(data->szSystemStatus, "Running");
    data->iMaxSockets = 0;
    data->iMaxUdpDg = 0;
    signal(SIGPIPE, SIG_IGN);
    return 0;
}

int WSACleanup() {
    return 0;
}

int WSAGetLastError() {
    int err = errno;
    if (t_setCode >= 0 && err == t_setErrno) return t_setCode;
    int code = winplat::WsaErrorFromErrno(err);
    // A would-block send is what re-enables FD_WRITE on Windows.
    if (code == WSAEWOULDBLOCK) winplat::ArmWriteNotifications();
    return code;
}

void WSASetLastError(int error) {
    int err = 0;
    for (const auto& e : kErrors)
        if (e.wsa == error) {
            err = e.err;
            break;
        }
    errno = err;
    t_setCode = error;
    t_setErrno = err;
}

int closesocket(SOCKET s) {
    winplat::CancelSocketSelection(s, true);
    if (close(s) != 0) {
        if (errno == EBADF) errno = ENOTSOCK;
        return SOCKET_ERROR;
    }
    return 0;
}

int ioctlsocket(SOCKET s, long cmd, u_long* arg) {
    if (!arg) {
        errno = EFAULT;
        return SOCKET_ERROR;
    }
    if (static_cast<unsigned long>(cmd) == static_cast<unsigned long>(FIONBIO)) {
        int flags = fcntl(s, F_GETFL);
        if (flags < 0) return SOCKET_ERROR;
        flags = *arg ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK);
        return fcntl(s, F_SETFL, flags) < 0 ? SOCKET_ERROR : 0;
    }
    if (static_cast<unsigned long>(cmd) == static_cast<unsigned long>(FIONREAD)) {
        int n = 0;
        if (ioctl(s, FIONREAD, &n) < 0) return SOCKET_ERROR;
        *arg = static_cast<u_long>(n);
        return 0;
    }
    errno = EINVAL;
    return SOCKET_ERROR;
}
