// The rooms the client knows, keyed by room id; owns them.
#pragma once

#include <map>

class CRoomObj;

class CRoomManager {
public:
    CRoomManager();
    virtual ~CRoomManager();

    void AddRoom(CRoomObj* room);  // stored under its roomId
    CRoomObj* FindRoom(int id);
    void DelRoom(int id);

    std::map<int, CRoomObj*> rooms;

private:
    void Destroy(CRoomObj* room);
};
