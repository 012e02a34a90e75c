#include "model/RoomObj.h"

#include <limits>

#include "model/UserObj.h"
#include "util/FieldSplit.h"

CRoomObj::CRoomObj()
    : roomId(0),
      baseInfoA(0),
      baseInfoB(0),
      baseInfoC(0),
      reserved(0),
      baseInfoD(0),
      baseInfoE(0),
      ownerId(0),
      deputyOwnerIds{},
      pubMics{},
      roomFlags(0),
      userListReady(false),
      mediaPorts{},
      baseFlag(false),
      waitMicLimits{},
      siege{} {
    waitMicIds.reserve(100);
}

CRoomObj::~CRoomObj() = default;

bool CRoomObj::IsRoomFangzhu(int id) {
    return id == ownerId;
}

bool CRoomObj::IsRoomFuFangzhu(int id) {
    for (int deputy : deputyOwnerIds)
        if (deputy == id) return true;
    return false;
}

CUserObj* CRoomObj::FindUser(int id) {
    auto it = users.find(id);
    return it == users.end() ? nullptr : it->second;
}

void CRoomObj::AddUser(CUserObj* user) {
    if (user) users[user->userId] = user;
}

void CRoomObj::RemoveUser(int id) {
    users.erase(id);
}

void CRoomObj::ClearData() {
    userListReady = false;
    users.clear();
    waitMicIds.clear();
    std::memset(pubMics, 0, sizeof pubMics);
    std::memset(mediaPorts, 0, sizeof mediaPorts);
}

void CRoomObj::ClearPaiMicData() {
    waitMicIds.clear();
}

int CRoomObj::GetUserGiftCount(int userId, int giftId, int base) {
    CUserObj* user = FindUser(userId);
    if (!user) return -1;
    int count = user->GetGiftCount(giftId);
    if (count == 0) count = base;
    // The base comes from the wire: a negative one starts from nothing, and the count
    // holds at the largest rather than turn negative (or into the -1 of "not here").
    if (count < 0) count = 0;
    const int next = count == std::numeric_limits<int>::max() ? count : count + 1;
    user->giftCounts[giftId] = next;
    return next;
}

void CRoomObj::ParseMediaUrl() {
    std::memset(mediaPorts, 0, sizeof mediaPorts);
    std::vector<std::string> entries;
    SplitString(mediaUrl.c_str(), ';', entries);
    // The relay list holds at most four addresses; further entries are ignored. An
    // entry without a port (or an empty one) leaves its port 0.
    std::vector<std::string> parts;
    for (size_t i = 0; i < entries.size() && i < ROOM_MEDIA_ENTRY_COUNT; ++i) {
        SplitString(entries[i].c_str(), ':', parts);
        mediaHosts[i] = parts.empty() ? std::string() : parts[0];
        mediaPorts[i] = parts.size() >= 2 ? fields::ToInt(parts[1]) : 0;
    }
}

void CRoomObj::SplitString(const char* text, char sep, std::vector<std::string>& out) {
    if (!text) {
        out.clear();
        return;
    }
    fields::Split(std::string(text), sep, out);
}
