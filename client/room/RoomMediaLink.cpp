#include "room/RoomMediaLink.h"

#include <utility>

namespace {
std::function<int()> g_applyAvModuleConfig;
}  // namespace

int RoomApplyAvModuleConfig() {
    return g_applyAvModuleConfig ? g_applyAvModuleConfig() : -10;
}

void SetRoomAvModuleConfigHandler(std::function<int()> handler) {
    g_applyAvModuleConfig = std::move(handler);
}
