// No room window yet: a join answer finds none and closes the room connection.
#include "lobby/RoomWindowSeam.h"

IRoomWindow* CreateRoomWindowObject() { return nullptr; }
