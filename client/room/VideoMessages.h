// Window messages between the video panes, the pop-up video windows and the room.
#pragma once

#include "win32/win32.h"

#define UM_VIDEO_FRAME_READY 12025   // lParam: the IPubVideoUIBase* to refresh
#define UM_PANE_QUICK_GIFT 12026     // lParam: tagPaneQuickGift*
#define UM_POPUP_VIDEO_CLOSED 12027  // wParam user id, lParam the window
#define UM_MUTE_USER_AUDIO 12033     // wParam user id, lParam 1 muted / 0 unmuted
#define UM_MUTE_USER_VIDEO 12034
#define UM_SELECT_TARGET_USER 12035  // wParam user id

// Payload of UM_PANE_QUICK_GIFT, by pointer.
struct tagPaneQuickGift {
    int kind;  // 1 doll gift, 2 colour strip
    int targetUserId;
    int giftId;
    int count;
};
