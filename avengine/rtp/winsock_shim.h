// Temporary: the Windows socket names the transport uses, until the Windows
// layer's own winsock header is merged in.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "win32/win32.h"

typedef int SOCKET;
#define INVALID_SOCKET (-1)
#define SOCKET_ERROR (-1)
inline int closesocket(SOCKET s) { return close(s); }
inline int ioctlsocket(SOCKET s, long cmd, unsigned long* arg) { return ioctl(s, cmd, arg); }
inline int WSAGetLastError() { return errno; }
