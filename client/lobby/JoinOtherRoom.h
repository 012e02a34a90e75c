// What the room window posts to the lobby to join another room from a room link.
#pragma once

#include <cstdint>

#define UM_JOIN_OTHER_ROOM 11095  // wParam room id, lParam a tagJoinOtherRoom the lobby deletes

// Made with new by the room window and deleted as this type by the lobby (or by the
// room when the post fails). The gate address is a wide string of at most 127
// characters with its NUL.
struct tagJoinOtherRoom {
    int32_t nRoomId;
    wchar_t szGateAddr[128];
};
