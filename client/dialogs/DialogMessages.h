// Window messages that the dialogs post to the program's main windows.
#pragma once

#include "win32/win32.h"

// To the lobby after the sound devices changed (wParam 0, lParam 0).
constexpr UINT UM_AUDIO_DEVICE_CHANGED = 12136;
