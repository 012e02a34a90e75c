// Winsock on BSD sockets: the BSD calls (socket, connect, send, recv, select,
// gethostbyname, inet_addr, htons...) are the system's own; this adds the
// Windows-only names, WSA error codes and WSAAsyncSelect.
#pragma once

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/ioctl.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

#include "win32/base.h"

typedef int SOCKET;
#define INVALID_SOCKET (-1)
#define SOCKET_ERROR (-1)

typedef struct sockaddr SOCKADDR;
typedef struct sockaddr* PSOCKADDR;
typedef struct sockaddr* LPSOCKADDR;
typedef struct sockaddr_in SOCKADDR_IN;
typedef struct sockaddr_in* PSOCKADDR_IN;
typedef struct sockaddr_in* LPSOCKADDR_IN;
typedef struct in_addr IN_ADDR;
typedef struct hostent HOSTENT;
typedef struct hostent* LPHOSTENT;
typedef struct linger LINGER;

#define SD_RECEIVE 0
#define SD_SEND 1
#define SD_BOTH 2

#define WSADESCRIPTION_LEN 256
#define WSASYS_STATUS_LEN 128
struct WSADATA {
    WORD wVersion;
    WORD wHighVersion;
    char szDescription[WSADESCRIPTION_LEN + 1];
    char szSystemStatus[WSASYS_STATUS_LEN + 1];
    unsigned short iMaxSockets;
    unsigned short iMaxUdpDg;
    char* lpVendorInfo;
};
typedef WSADATA* LPWSADATA;

// Fills `data` and succeeds for versions 1.1 to 2.2. Also ignores SIGPIPE, so
// that a send to a closed peer fails with WSAECONNRESET instead of ending the
// process.
int WSAStartup(WORD versionRequested, LPWSADATA data);
int WSACleanup();

// The last socket error of the calling thread as a WSA code (errno mapped).
int WSAGetLastError();
void WSASetLastError(int error);

int closesocket(SOCKET s);
// FIONBIO (non-blocking on/off) and FIONREAD (bytes readable).
int ioctlsocket(SOCKET s, long cmd, u_long* arg);

// Event bits of WSAAsyncSelect.
#define FD_READ 0x01
#define FD_WRITE 0x02
#define FD_OOB 0x04
#define FD_ACCEPT 0x08
#define FD_CONNECT 0x10
#define FD_CLOSE 0x20
#define FD_ALL_EVENTS 0x3F

#define WSAMAKESELECTREPLY(event, error) (static_cast<LPARAM>(MAKELONG(event, error)))
#define WSAMAKEASYNCREPLY(buflen, error) (static_cast<LPARAM>(MAKELONG(buflen, error)))
#define WSAGETSELECTEVENT(lParam) LOWORD(lParam)
#define WSAGETSELECTERROR(lParam) HIWORD(lParam)
#define WSAGETASYNCBUFLEN(lParam) LOWORD(lParam)
#define WSAGETASYNCERROR(lParam) HIWORD(lParam)

// Makes `s` non-blocking and has the loop of the thread that owns `hwnd` post
// `msg` (wParam = s, lParam = WSAMAKESELECTREPLY(event, error)) for the events
// in `events`, with Windows' rules:
// - FD_CONNECT once, when a connect completes; the error is the connect's
//   (WSAECONNREFUSED for a refused connect).
// - FD_READ when data is readable; no further FD_READ until that message has
//   been dispatched (Windows re-enables on recv; a handler that reads nothing
//   gets no new FD_READ until it reads or more data comes after a read).
// - FD_CLOSE once, after the remaining data has been read: error 0 for an
//   orderly close, WSAECONNRESET for a reset.
// - FD_WRITE after the connect, and again when the socket can take data after
//   a send would have blocked.
// - FD_ACCEPT when a listening socket has a connection waiting (re-enabled
//   after dispatch, like FD_READ).
// events 0 (or msg 0) cancels (messages already posted stay, as on Windows);
// closesocket cancels and also drops the socket's messages still queued, since
// the next socket gets the same number at once. A new call replaces the
// previous selection of the socket.
int WSAAsyncSelect(SOCKET s, HWND hwnd, UINT msg, long events);

// WSA error codes (the documented values).
#define WSABASEERR 10000
#define WSAEINTR 10004
#define WSAEBADF 10009
#define WSAEACCES 10013
#define WSAEFAULT 10014
#define WSAEINVAL 10022
#define WSAEMFILE 10024
#define WSAEWOULDBLOCK 10035
#define WSAEINPROGRESS 10036
#define WSAEALREADY 10037
#define WSAENOTSOCK 10038
#define WSAEDESTADDRREQ 10039
#define WSAEMSGSIZE 10040
#define WSAEPROTOTYPE 10041
#define WSAENOPROTOOPT 10042
#define WSAEPROTONOSUPPORT 10043
#define WSAESOCKTNOSUPPORT 10044
#define WSAEOPNOTSUPP 10045
#define WSAEPFNOSUPPORT 10046
#define WSAEAFNOSUPPORT 10047
#define WSAEADDRINUSE 10048
#define WSAEADDRNOTAVAIL 10049
#define WSAENETDOWN 10050
#define WSAENETUNREACH 10051
#define WSAENETRESET 10052
#define WSAECONNABORTED 10053
#define WSAECONNRESET 10054
#define WSAENOBUFS 10055
#define WSAEISCONN 10056
#define WSAENOTCONN 10057
#define WSAESHUTDOWN 10058
#define WSAETOOMANYREFS 10059
#define WSAETIMEDOUT 10060
#define WSAECONNREFUSED 10061
#define WSAELOOP 10062
#define WSAENAMETOOLONG 10063
#define WSAEHOSTDOWN 10064
#define WSAEHOSTUNREACH 10065
#define WSAENOTEMPTY 10066
#define WSAEPROCLIM 10067
#define WSAEUSERS 10068
#define WSAEDQUOT 10069
#define WSAESTALE 10070
#define WSAEREMOTE 10071
#define WSASYSNOTREADY 10091
#define WSAVERNOTSUPPORTED 10092
#define WSANOTINITIALISED 10093
#define WSAEDISCON 10101
#define WSAHOST_NOT_FOUND 11001
#define WSATRY_AGAIN 11002
#define WSANO_RECOVERY 11003
#define WSANO_DATA 11004

namespace winplat {
// The WSA code of an errno value (0 for 0).
int WsaErrorFromErrno(int err);
}  // namespace winplat
