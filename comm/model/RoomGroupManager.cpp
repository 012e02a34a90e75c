#include "model/RoomGroupManager.h"

#include "model/FixedText.h"

CRoomGroupManager::CRoomGroupManager() = default;

CRoomGroupManager::~CRoomGroupManager() {
    ClearData();
}

void CRoomGroupManager::AddRoomGroupData(tag_RoomGroupData* group) {
    if (!group || group->groupId == 0 || FindRoomGroupData(group->groupId)) return;
    if (group->parentId != 0) {
        // Parents arrive first; an orphan (and so its own children) is dropped.
        tag_RoomGroupData* parent = FindRoomGroupData(group->parentId);
        if (!parent) return;
        parent->hasChildren = 1;
    }
    auto* copy = new tag_RoomGroupData(*group);
    TerminateFixedField(copy->groupName, sizeof copy->groupName);
    TerminateFixedField(copy->groupAddress, sizeof copy->groupAddress);
    groups.push_back(copy);
}

tag_RoomGroupData* CRoomGroupManager::FindRoomGroupData(int id) {
    if (id == 0) return nullptr;
    for (tag_RoomGroupData* group : groups)
        if (group->groupId == id) return group;
    return nullptr;
}

void CRoomGroupManager::ClearData() {
    for (tag_RoomGroupData* group : groups) delete group;
    groups.clear();
}

void CRoomGroupManager::SetGroupUserNum(int id, int count) {
    if (tag_RoomGroupData* group = FindRoomGroupData(id)) group->userNum = count;
}

void CRoomGroupManager::ResetRoomGroupUserNum() {
    for (tag_RoomGroupData* group : groups) group->userNum = 0;
}

void CRoomGroupManager::CalcRoomGroupUserNum() {
    // Parents precede their children, so each group's own count is still unchanged
    // when it is reached and is added exactly once to every ancestor.
    for (tag_RoomGroupData* group : groups) {
        if (group->userNum == 0) continue;
        const uint32_t count = static_cast<uint32_t>(group->userNum);
        int parentId = group->parentId;
        // The parent rule rules out cycles; the bound only guards a damaged list.
        for (size_t depth = 0; parentId != 0 && depth < groups.size(); ++depth) {
            tag_RoomGroupData* parent = FindRoomGroupData(parentId);
            if (!parent) break;
            parent->userNum = static_cast<int32_t>(static_cast<uint32_t>(parent->userNum) + count);
            parentId = parent->parentId;
        }
    }
}
