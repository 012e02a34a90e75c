#include "lobby/RoomWindowSeam.h"

namespace {
RoomWindowFactory g_roomFactory = nullptr;
// The room window registered last; it counts while it is the registered room view.
IRoomWindow* g_current = nullptr;
}  // namespace

IRoomWindow* NewRoomWindow() {
    return g_roomFactory ? g_roomFactory() : nullptr;
}

RoomWindowFactory SetRoomWindowFactory(RoomWindowFactory factory) {
    RoomWindowFactory previous = g_roomFactory;
    g_roomFactory = factory;
    return previous;
}

IRoomWindow* CurrentRoomWindow() {
    IRoomView* view = CurrentRoomView();
    return view && view == g_current ? g_current : nullptr;
}

void SetCurrentRoomWindow(IRoomWindow* room) {
    g_current = room;
    SetCurrentRoomView(room);
}
