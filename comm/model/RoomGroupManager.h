// The lobby's room-group tree, in arrival order, with member counts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>

struct tag_RoomGroupData {
    int32_t groupId;
    int32_t parentId;  // 0 = top level
    int32_t userNum;
    uint8_t showCount;    // the lobby shows the count when set
    uint8_t hasChildren;  // set when a child group is added
    uint8_t extraFlag;
    char groupName[17];     // ANSI, NUL-terminated
    char groupAddress[64];  // ANSI, NUL-terminated: the group's page address
};
static_assert(sizeof(tag_RoomGroupData) == 96, "room-group record is 96 bytes");
static_assert(offsetof(tag_RoomGroupData, groupName) == 15, "group name at 15");
static_assert(offsetof(tag_RoomGroupData, groupAddress) == 32, "group address at 32");

class CRoomGroupManager {
public:
    CRoomGroupManager();
    virtual ~CRoomGroupManager();

    // Appends a copy; ignores a null record, id 0, a known id, and a group whose parent
    // has not arrived yet.
    void AddRoomGroupData(tag_RoomGroupData* group);
    tag_RoomGroupData* FindRoomGroupData(int id);
    std::list<tag_RoomGroupData*>* GetRoomGroupList() { return &groups; }
    void ClearData();

    void SetGroupUserNum(int id, int count);
    void ResetRoomGroupUserNum();
    // Adds each group's count to all its ancestors.
    void CalcRoomGroupUserNum();

    std::list<tag_RoomGroupData*> groups;  // owned copies
};
