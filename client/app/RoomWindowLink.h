// What the dialogs ask of the room window that only the room window does, one call
// each, so they include no room header and work whatever room window stands behind
// them. The room's own files define them (room/RoomWindowLink.cpp).
#pragma once

#include <functional>

// The room's CWndRoom::ApplyAvModuleConfig: -10 when there is no room window.
int RoomApplyAvModuleConfig();
// Puts another answer in place of the registered room window (tests; null removes it).
void SetRoomAvModuleConfigHandler(std::function<int()> handler);

// The room's CWndRoom::SendGiftWithWords (words in ANSI); nothing without a room window.
void RoomSendGiftWithWords(int targetId, int giftId, int count, const char* words);
