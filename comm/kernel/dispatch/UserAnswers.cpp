// Answers about the users of the room: the list, arrivals and departures, aliases,
// manager ranks, the forbid-invite switch and the address query.
#include <cstring>

#include "kernel/dispatch/Handlers.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserManager.h"
#include "model/UserObj.h"
#include "session/CommKernelData.h"

namespace comm {
namespace dispatch {

namespace {

constexpr size_t kUserEntrySize = 84;
constexpr size_t kEntryAliasAt = 67;
constexpr size_t kEntryAliasWidth = 17;

void FillFromEntry(CUserObj* user, const Payload& p, size_t at) {
    for (int i = 0; i < 8; ++i) user->levels[i] = p.U8(at + 8 + static_cast<size_t>(i));
    uint8_t bits = p.U8(at + 16);
    user->entryFlag0 = bits & 1;
    user->sex = (bits >> 1) & 1;
    user->micIndex = p.U8(at + 17);
    user->roomMgrLevel = p.U8(at + 18);
    user->sealId = p.I32(at + 19);
    user->entryValue23 = p.I32(at + 23);
    user->faceId = p.I32(at + 27);
    user->sealExpiry = p.I32(at + 31);
    user->flags = static_cast<uint32_t>(p.I32(at + 35));
    user->entranceEffects = static_cast<uint32_t>(p.I32(at + 39));
    user->entryValue43 = p.I32(at + 43);
    user->entryValue47 = p.I32(at + 47);
    user->entryValue51 = p.I32(at + 51);
    user->forbidCarryToMic = p.I32(at + 63) != 0;
    user->alias = p.Text(at + kEntryAliasAt, kEntryAliasWidth);
}

// One user entry at `at` into the current room; false when the entry is for another
// room (or none) and was skipped.
bool AddEntryUser(const Context& c, const Payload& p, size_t at) {
    int roomId = p.I32(at + 4);
    CRoomObj* room = c.FindRoom(roomId);
    if (!room || roomId != c.CurRoomId()) return false;
    CUserManager* users = c.data->m_pUserManager;
    int userId = p.I32(at);
    CUserObj* user = users->FindUser(userId);
    if (!user) {
        user = new CUserObj();
        user->userId = userId;
    }
    FillFromEntry(user, p, at);
    if (userId == room->siege.lordId)
        user->flags |= USER_FLAG_CASTLE_LORD;
    else if (userId == room->siege.ladyId)
        user->flags |= USER_FLAG_CASTLE_LADY;
    users->AddUser(user);
    room->AddUser(user);
    user->room = room;
    return true;
}

// Posts a list of the one entry at `at` (the count 1, then the entry): what the
// receiver reads of it. A copy of the whole list for every entry would hold the
// payload as many times as it has entries.
void PostListEntry(const Context& c, const Payload& p, size_t at, const AnswerEntry& e) {
    if (!c.notifyWnd || !p.Has(at, kUserEntrySize)) return;
    uint8_t one[4 + kUserEntrySize] = {1, 0, 0, 0};
    std::memcpy(one + 4, p.Bytes() + at, kUserEntrySize);
    c.PostCopy(e.msg, W(p.I32(at + 4)), Payload(one, sizeof one));
}

}  // namespace

void ForgetUser(const Context& c, CRoomObj* room, int userId) {
    CUserManager* users = c.data->m_pUserManager;
    if (room) room->RemoveUser(userId);
    // The object is deleted below: no room may keep it, also one the user was in
    // before he came to the current room.
    CUserObj* user = users->FindUser(userId);
    if (user && user != &c.data->m_LocalUser) {
        for (auto& entry : c.data->m_pRoomManager->rooms)
            if (entry.second->FindUser(userId) == user) entry.second->RemoveUser(userId);
    }
    users->DelUser(userId);
}

bool OnUserList(const Context& c, const Payload& p, const AnswerEntry& e) {
    int32_t count = p.I32(0);
    if (count <= 0) return true;
    if (!p.Has(4, static_cast<size_t>(count) * kUserEntrySize)) return false;
    for (int32_t i = 0; i < count; ++i) {
        size_t at = 4 + static_cast<size_t>(i) * kUserEntrySize;
        if (AddEntryUser(c, p, at)) PostListEntry(c, p, at, e);
    }
    return true;
}

bool OnUserEnter(const Context& c, const Payload& p, const AnswerEntry& e) {
    if (AddEntryUser(c, p, 0)) c.PostCopy(e.msg, W(p.I32(4)), p);
    return true;
}

bool OnUserExit(const Context& c, const Payload& p, const AnswerEntry& e) {
    CRoomObj* room = c.FindRoom(p.I32(4));
    int userId = p.I32(0);
    // A member of the current room is listed by its window, which deletes his rows
    // only for a leave of that room: one naming another room (or none) takes him out
    // of that room and leaves his object alone.
    CRoomObj* current = c.CurrentRoom();
    if (current && room != current && current->FindUser(userId)) {
        if (room) room->RemoveUser(userId);
        return true;
    }
    bool known = (room && room->FindUser(userId)) || c.data->m_pUserManager->FindUser(userId);
    ForgetUser(c, room, userId);
    if (room && known) c.PostCopy(e.msg, W(p.I32(4)), p);
    return true;
}

bool OnUserKickedOut(const Context& c, const Payload& p, const AnswerEntry& e) {
    CRoomObj* room = c.FindRoom(p.I32(0));
    int userId = p.I32(8);
    if (!room || !(room->FindUser(userId) || c.data->m_pUserManager->FindUser(userId))) return true;
    ForgetUser(c, room, userId);
    c.PostCopy(e.msg, W(p.I32(0)), p);
    return true;
}

bool OnUserAlias(const Context& c, const Payload& p, const AnswerEntry& e) {
    CRoomObj* room = c.FindRoom(p.I32(0));
    CUserObj* user = room ? room->FindUser(p.I32(4)) : nullptr;
    if (!user) return true;
    user->alias = p.Text(12, kEntryAliasWidth);
    user->faceId = p.I32(8);
    c.Post(e.msg, W(p.I32(4)), 0);
    return true;
}

bool OnUserPriority(const Context& c, const Payload& p, const AnswerEntry& e) {
    CRoomObj* room = c.FindRoom(p.I32(0));
    CUserObj* user = room ? room->FindUser(p.I32(8)) : nullptr;
    if (!user) return true;
    uint8_t op = p.U8(12);
    uint8_t kind = p.U8(13);
    if (op == 1) {
        if (kind == 1) user->roomMgrLevel = ROOM_MGR_MANAGER;
        if (kind == 2) user->flags |= USER_FLAG_TEMP_MANAGER;
    } else if (op == 2) {
        if (kind == 1) user->roomMgrLevel = 0;
        user->flags &= ~USER_FLAG_TEMP_MANAGER;
    }
    c.PostCopy(e.msg, W(p.I32(0)), p);
    return true;
}

bool OnForbidInviteUpMic(const Context& c, const Payload& p, const AnswerEntry& e) {
    CRoomObj* room = c.FindRoom(p.I32(0));
    CUserObj* user = room ? room->FindUser(p.I32(4)) : nullptr;
    if (!user) return true;
    user->forbidCarryToMic = p.I32(8) != 0;
    if (p.I32(4) == c.LocalUserId()) c.Post(e.msg, 0, static_cast<LPARAM>(p.I32(8)));
    return true;
}

bool OnSeeUserIp(const Context& c, const Payload& p, const AnswerEntry& e) {
    if (c.FindRoom(p.I32(0)) && p.I32(4) == c.LocalUserId()) c.PostCopy(e.msg, 0, p);
    return true;
}

}  // namespace dispatch
}  // namespace comm
