#include "model/RoomManager.h"

#include "model/RoomObj.h"

CRoomManager::CRoomManager() = default;

CRoomManager::~CRoomManager() {
    for (auto& entry : rooms) Destroy(entry.second);
    rooms.clear();
}

void CRoomManager::AddRoom(CRoomObj* room) {
    if (room) rooms[room->roomId] = room;
}

CRoomObj* CRoomManager::FindRoom(int id) {
    auto it = rooms.find(id);
    return it == rooms.end() ? nullptr : it->second;
}

void CRoomManager::DelRoom(int id) {
    auto it = rooms.find(id);
    if (it == rooms.end()) return;
    CRoomObj* room = it->second;
    rooms.erase(it);
    Destroy(room);
}

void CRoomManager::Destroy(CRoomObj* room) {
    if (!room) return;
    // The member map only borrows its users, who may be gone already (the session
    // empties the user map before it deletes the rooms): drop the pointers unread.
    room->ClearData();
    delete room;
}
