#include "model/RoomManager.h"

#include "model/RoomObj.h"
#include "model/UserObj.h"

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
    // Members outlive the room (they belong to the user map): clear their pointer back.
    for (auto& member : room->users)
        if (member.second && member.second->room == room) member.second->room = nullptr;
    room->ClearData();
    delete room;
}
