// The Windows API subset the system's libraries call, on Linux. One umbrella:
// code includes this and uses the Windows names.
#pragma once

#include "win32/base.h"
#include "win32/clock.h"
#include "win32/crt.h"
#include "win32/cstring.h"
#include "win32/debug.h"
#include "win32/files.h"
#include "win32/iphlpapi.h"
#include "win32/loop.h"
#include "win32/messages.h"
#include "win32/ole.h"
#include "win32/profile.h"
#include "win32/registry.h"
#include "win32/sync.h"
#include "win32/text.h"
#include "win32/version.h"
#include "win32/window.h"
#include "win32/winsock.h"
