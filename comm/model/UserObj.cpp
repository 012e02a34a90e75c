#include "model/UserObj.h"

#include "model/RoomObj.h"

CUserObj::CUserObj()
    : money(0),
      points(0),
      accountData{0, 0},
      room(nullptr),
      userId(0),
      logonValue1(0),
      logonValue2(0),
      logonValue3(0),
      entryValue23(0),
      sex(0),
      reserved(0),
      micIndex(0),
      entryFlag0(0),
      faceId(0),
      levels{},
      roomMgrLevel(0),
      flags(0),
      entryValue47(0),
      entryValue51(0),
      sealId(0),
      sealExpiry(0),
      chatBanned(false),
      forbidCarryToMic(false),
      entranceEffects(0),
      entryValue43(0) {}

CUserObj::~CUserObj() = default;

int CUserObj::GetRoomMgrLevel() {
    // Stored site-wide levels outrank the room's own roles.
    if (roomMgrLevel == 5 || roomMgrLevel == 7 || roomMgrLevel == 8 || roomMgrLevel == 9)
        return roomMgrLevel;
    if (room) {
        if (room->IsRoomFangzhu(userId)) return ROOM_MGR_OWNER;
        if (room->IsRoomFuFangzhu(userId)) return ROOM_MGR_DEPUTY_OWNER;
    }
    if (roomMgrLevel == ROOM_MGR_MANAGER) return ROOM_MGR_MANAGER;
    if (flags & USER_FLAG_TEMP_MANAGER) return ROOM_MGR_TEMP_MANAGER;
    if (roomMgrLevel == 11 || roomMgrLevel == 12) return roomMgrLevel;
    return 0;
}

int CUserObj::IsZhubo() {
    return levels[0] >= 21 && levels[0] <= 27 ? 1 : 0;
}

void CUserObj::ClearData() {
    giftCounts.clear();
    extraCounts.clear();
}

int CUserObj::GetGiftCount(int giftId) {
    auto it = giftCounts.find(giftId);
    return it == giftCounts.end() ? 0 : it->second;
}
