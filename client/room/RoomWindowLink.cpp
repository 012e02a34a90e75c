#include "app/RoomWindowLink.h"

#include <utility>

#include "room/WndRoom.h"

namespace {
std::function<int()> g_applyAvModuleConfig;
}  // namespace

int RoomApplyAvModuleConfig() {
    if (g_applyAvModuleConfig) return g_applyAvModuleConfig();
    CWndRoom* room = GetRegisteredRoomWindow();
    return room ? room->ApplyAvModuleConfig() : -10;
}

void SetRoomAvModuleConfigHandler(std::function<int()> handler) {
    g_applyAvModuleConfig = std::move(handler);
}

void RoomSendGiftWithWords(int targetId, int giftId, int count, const char* words) {
    if (CWndRoom* room = GetRegisteredRoomWindow()) room->SendGiftWithWords(targetId, giftId, count, words);
}
