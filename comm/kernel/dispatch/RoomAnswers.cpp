// Answers about the room itself: the join answer, base information, texts, media
// servers, attributes and queue limits.
#include <string>
#include <vector>

#include "kernel/dispatch/Handlers.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "session/CommKernelData.h"
#include "util/FieldSplit.h"

namespace comm {
namespace dispatch {

namespace {
// Join answer fields.
constexpr size_t kJoinRoomNameAt = 56;
constexpr size_t kJoinRoomNameWidth = 32;
constexpr size_t kJoinMediaUrlAt = 88;
constexpr size_t kJoinMediaUrlWidth = 128;
constexpr size_t kJoinTextAt = 216;
constexpr size_t kJoinTextWidth = 17;
constexpr size_t kJoinSiegeAt = 233;
constexpr size_t kJoinSiegeSize = 58;
// Base-information answer fields.
constexpr size_t kInfoRoomNameAt = 36;
constexpr size_t kInfoJoinTextAt = 68;
constexpr size_t kRoomTextAt = 7;
}  // namespace

bool OnJoinRoom(const Context& c, const Payload& p, const AnswerEntry& e) {
    CCommKernelData* d = c.data;
    int roomId = p.I32(4);
    CRoomObj* room = c.FindRoom(roomId);
    bool isNew = room == nullptr;
    if (isNew)
        room = new CRoomObj();
    else
        room->ClearData();
    room->roomId = roomId;
    room->baseInfoA = 0;
    room->baseInfoC = p.U8(8);
    room->baseFlag = p.U8(9) != 0;
    room->baseInfoD = static_cast<int16_t>(p.U16(10));
    room->baseInfoE = 0;
    room->baseInfoB = p.I32(12);
    room->roomFlags = static_cast<uint32_t>(p.I32(16));
    room->ownerId = p.I32(20);
    for (int i = 0; i < ROOM_DEPUTY_OWNER_COUNT; ++i)
        room->deputyOwnerIds[i] = p.I32(24 + 4 * static_cast<size_t>(i));
    d->m_LocalUser.money = p.I64(40);
    d->m_LocalUser.points = p.I64(48);
    room->roomName = p.Text(kJoinRoomNameAt, kJoinRoomNameWidth);
    room->mediaUrl = p.Text(kJoinMediaUrlAt, kJoinMediaUrlWidth);
    room->joinText = p.Text(kJoinTextAt, kJoinTextWidth);
    StoreSiegeBlock(&room->siege, p.Bytes() + kJoinSiegeAt, kJoinSiegeSize);
    if (isNew) d->m_pRoomManager->AddRoom(room);
    d->m_nCurRoomId = roomId;
    room->ParseMediaUrl();
    c.PostCopy(e.msg, W(roomId), p);
    return true;
}

bool OnUserListEnd(const Context& c, const Payload&, const AnswerEntry& e) {
    if (CRoomObj* room = c.CurrentRoom()) room->userListReady = true;
    c.Post(e.msg, W(c.CurRoomId()), 0);
    return true;
}

bool OnRoomBaseInfo(const Context& c, const Payload& p, const AnswerEntry& e) {
    CRoomObj* room = c.FindRoom(p.I32(0));
    if (!room) return true;
    room->baseInfoB = p.I32(4);
    room->baseInfoA = p.U8(8);
    room->baseFlag = p.U8(9) != 0;
    room->baseInfoD = static_cast<int16_t>(p.U16(10));
    room->ownerId = p.I32(12);
    for (int i = 0; i < ROOM_DEPUTY_OWNER_COUNT; ++i)
        room->deputyOwnerIds[i] = p.I32(16 + 4 * static_cast<size_t>(i));
    room->roomFlags = static_cast<uint32_t>(p.I32(32));
    room->roomName = p.Text(kInfoRoomNameAt, kInfoJoinTextAt - kInfoRoomNameAt);
    room->joinText = p.Text(kInfoJoinTextAt, kJoinTextWidth);
    c.Post(e.msg, W(p.I32(0)), 0);
    return true;
}

bool OnRoomMedia(const Context& c, const Payload& p, const AnswerEntry& e) {
    CRoomObj* room = c.FindRoom(p.I32(0));
    if (!room) return true;
    for (int i = 0; i < ROOM_MEDIA_ENTRY_COUNT; ++i) {
        room->mediaHosts[i] = "0.0.0.0";
        room->mediaPorts[i] = 0;
    }
    std::string text = p.Text(8);
    std::vector<std::string> pieces = fields::Split(text, ';');
    for (size_t i = 0; i < pieces.size() && i < static_cast<size_t>(ROOM_MEDIA_ENTRY_COUNT); ++i) {
        std::vector<std::string> parts = fields::Split(pieces[i], ':');
        // An address without its port ends the handling: the list is not taken.
        if (parts.size() < 2) return true;
        room->mediaHosts[i] = parts[0];
        room->mediaPorts[i] = fields::ToInt(parts[1]);
    }
    room->mediaUrl = text;
    c.Post(e.msg, W(p.I32(0)), 0);
    return true;
}

bool OnRoomText(const Context& c, const Payload& p, const AnswerEntry& e) {
    size_t length = p.U16(5);
    if (!p.Has(kRoomTextAt, length)) return false;
    CRoomObj* room = c.FindRoom(p.I32(0));
    int index = p.U8(4);
    if (!room || index >= ROOM_TEXT_COUNT) return true;
    room->roomTexts[index] = p.Text(kRoomTextAt, length);
    if (room->userListReady) c.Post(e.msg, W(p.I32(0)), static_cast<LPARAM>(index));
    return true;
}

bool OnRoomAttr(const Context& c, const Payload& p, const AnswerEntry& e) {
    CRoomObj* room = c.FindRoom(p.I32(0));
    if (!room) return true;
    room->roomFlags = static_cast<uint32_t>(p.I32(4));
    c.Post(e.msg, W(p.I32(0)), 0);
    return true;
}

bool OnWaitMicLimits(const Context& c, const Payload& p, const AnswerEntry&) {
    CRoomObj* room = c.FindRoom(p.I32(0));
    if (!room) return true;
    room->waitMicLimits[0] = p.I32(8);
    room->waitMicLimits[1] = p.I32(12);
    c.Post(p.I32(4) == c.LocalUserId() ? UM_WAIT_MIC_LIMIT_SET_OK : UM_WAIT_MIC_LIMIT_CHANGED, 0,
           0);
    return true;
}

}  // namespace dispatch
}  // namespace comm
