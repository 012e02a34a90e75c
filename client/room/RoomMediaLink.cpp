#include "room/RoomMediaLink.h"

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
