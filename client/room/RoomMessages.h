// Window messages the program's own windows post to each other around the room, and
// the room window's timers.
#pragma once

#include "app/RoomView.h"  // UM_SEAL_CHOSEN, which the seal picker sends

#define UM_SHOW_SEAL_WND 12030          // wParam target user id
#define UM_SHOW_WORD_GIFT_WND 12032     // wParam user id
#define UM_EFFECT_PLAYER_MISSING 12040  // a gift effect's player could not be started
#define UM_OWNER_MOVED 11106            // to the treasure-box icon when the room moves

// Room window timers.
enum RoomTimer : unsigned {
    kTimerRoomPing = 301,      // 5 s keep-alive
    kTimerGiftNotice = 302,    // 60 ms while gift notices are queued, one a tick
    kTimerMicCountdown = 303,  // 500 ms
    kTimerSeals = 304,         // 2 s: seals, then a group-gift step
    kTimerGroupGift = 305,     // 100 ms while group gifts are queued
    kTimerReconnect = 306,     // 20 s
    kTimerFireworks = 307,     // 1 s
};

// Timers of the window's controls (the paint manager's): the strips' scrolling steps.
constexpr unsigned kControlScrollTimer = 10;
constexpr unsigned kNoticeScrollMs = 100;
constexpr unsigned kGiftStripStepMs = 60;

// Reconnect attempts before the room gives up.
constexpr int kRoomMaxReconnects = 20;
