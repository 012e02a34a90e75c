// Window messages the program's own windows post to each other around the room, and
// the room window's timers.
#pragma once

#include "app/RoomView.h"  // UM_SEAL_CHOSEN, which the seal picker sends

#ifndef UM_VIDEO_FRAME_READY
#define UM_VIDEO_FRAME_READY 12025   // lParam: the video pane with a new picture
#endif
#ifndef UM_PANE_QUICK_GIFT
#define UM_PANE_QUICK_GIFT 12026
#endif
#ifndef UM_POPUP_VIDEO_CLOSED
#define UM_POPUP_VIDEO_CLOSED 12027  // wParam user id, lParam the closing window
#endif
#ifndef UM_FINDER_JOIN_ROOM
#define UM_FINDER_JOIN_ROOM 12028
#endif
#ifndef UM_GAME_LINK_CLOSE
#define UM_GAME_LINK_CLOSE 12029
#endif
#ifndef UM_SHOW_SEAL_WND
#define UM_SHOW_SEAL_WND 12030       // wParam target user id
#endif
#ifndef UM_SHOW_WORD_GIFT_WND
#define UM_SHOW_WORD_GIFT_WND 12032  // wParam user id
#endif
#ifndef UM_MUTE_USER_AUDIO
#define UM_MUTE_USER_AUDIO 12033     // wParam user id, lParam on/off
#endif
#ifndef UM_MUTE_USER_VIDEO
#define UM_MUTE_USER_VIDEO 12034
#endif
#ifndef UM_SELECT_TARGET_USER
#define UM_SELECT_TARGET_USER 12035  // wParam user id
#endif
#ifndef UM_EFFECT_PLAYER_MISSING
#define UM_EFFECT_PLAYER_MISSING 12040  // a gift effect's player could not be started
#endif
#ifndef UM_OWNER_MOVED
#define UM_OWNER_MOVED 11106
#endif

// Room window timers.
enum RoomTimer : unsigned {
    kTimerRoomPing = 301,       // 5 s keep-alive
    kTimerGiftNotice = 302,     // 60 ms while gift notices are queued, one a tick
    kTimerMicCountdown = 303,   // 500 ms
    kTimerSeals = 304,          // 2 s: seals, then a group-gift step
    kTimerGroupGift = 305,      // 100 ms while group gifts are queued
    kTimerReconnect = 306,      // 20 s
    kTimerFireworks = 307,      // 1 s
};

// Timers of the window's controls (the paint manager's): the strips' scrolling steps.
constexpr unsigned kControlScrollTimer = 10;
constexpr unsigned kNoticeScrollMs = 100;
constexpr unsigned kGiftStripStepMs = 60;

// Reconnect attempts before the room gives up.
constexpr int kRoomMaxReconnects = 20;
