// Server types and the window messages of the communication kernel.
#pragma once

#include "win32/win32.h"

// One connection and one notify window per server type.
enum _eServerType {
    SERVER_TYPE_NONE = 0,
    SERVER_TYPE_LOGON = 1,
    SERVER_TYPE_LOBBY = 2,
    SERVER_TYPE_ROOM = 3,
};

// Socket events of the three connections, at the kernel's hidden window.
#define UM_SOCKET_LOGON 6024
#define UM_SOCKET_LOBBY 6025
#define UM_SOCKET_ROOM 6034

// Notifications posted to the notify window of a server type.
#include "kernel/Notifications.h"
