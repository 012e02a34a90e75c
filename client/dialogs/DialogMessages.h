// Window messages that the dialogs post to the program's main windows.
#pragma once

#include <cstdint>

#include "win32/win32.h"

// To the lobby after the sound devices changed (wParam 0, lParam 0).
constexpr UINT UM_AUDIO_DEVICE_CHANGED = 12136;

// To the lobby from the room finder: lParam a tagJoinRoomPost block the lobby deletes.
#define UM_FINDER_JOIN_ROOM 12028

// Made with `new` by the finder: the gate list holds at most 127 characters.
struct tagJoinRoomPost {
    int32_t nRoomId;
    int32_t nFlag;  // 1
    wchar_t szGateAddr[128];
};
