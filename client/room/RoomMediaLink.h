// What the AV panels ask of the room window, one call each, so they work and are
// testable whatever room window stands behind them.
#pragma once

#include <functional>

// The room's CWndRoom::ApplyAvModuleConfig: -10 when there is no room window.
int RoomApplyAvModuleConfig();
// Puts another answer in place of the registered room window (tests; null removes it).
void SetRoomAvModuleConfigHandler(std::function<int()> handler);
