// The room server's administration: putting out, black lists, managers, the see-IP
// request and the room's settings (base information, run state, texts, media
// addresses). Each request is checked against the actor's rank in the room; a
// refusal is the failure answer the program shows for that request.
#include <algorithm>
#include <cstring>

#include "Answers.h"
#include "WorldRequest.h"

namespace testsupport {

namespace {

constexpr int kOwner = 3;
constexpr int kManager = 2;
constexpr int kTempManager = 1;
constexpr uint8_t kAppoint = 1;
constexpr uint8_t kRemove = 2;
constexpr uint8_t kManagerKind = 1;
constexpr uint8_t kTempKind = 2;
constexpr uint8_t kSiteScope = 2;
// The base information request: creator at 8, deputies at 12, the password flag at 28,
// the name at 32 and the password at 64.
constexpr size_t kCreatorAt = 8;
constexpr size_t kDeputiesAt = 12;
constexpr size_t kPasswordFlagAt = 28;
constexpr size_t kNameAt = 32;
constexpr size_t kNameWidth = 32;
constexpr size_t kPasswordAt = 64;
constexpr size_t kPasswordWidth = 17;
constexpr size_t kNoticeHead = 11;
constexpr size_t kMediaWidth = 128;
constexpr int kResult_Ok = 0;
constexpr int kResult_Refused = 1;

}  // namespace

int LocalWorld::RankIn(const Room& room, int userId) const {
    if (userId == room.ownerId) return kOwner;
    if (std::count(std::begin(room.deputies), std::end(room.deputies), userId) ||
        room.managers.count(userId))
        return kManager;
    return room.tempManagers.count(userId) ? kTempManager : 0;
}

void LocalWorld::PutOut(int roomId, int userId, int actorId, int reason) {
    Room& room = m_rooms.at(roomId);
    auto member = room.members.find(userId);
    if (member == room.members.end()) return;
    const int connection = member->second;
    SendToRoom(roomId, answers::KickedOutAnswer(roomId, actorId, userId, reason));
    room.members.erase(member);
    m_memberships.erase(connection);
    ReleaseMics(roomId, userId, actorId);
}

std::string LocalWorld::OnKick(const Request& r) {
    const auto [roomId, actorId, room] = ActingIn(r);
    if (!room) return ActorNotIn(roomId);
    const int32_t targetId = r.I32(8);
    if (!room->members.count(targetId) || RankIn(*room, actorId) <= RankIn(*room, targetId))
        return Refuse(r, answers::MoneyFailedAnswer(),
                      "kick of user " + std::to_string(targetId) + " by " +
                          std::to_string(actorId) + " refused: no privilege or no such member");
    PutOut(roomId, targetId, actorId, kKickReason);
    return "user " + std::to_string(targetId) + " put out of room " + std::to_string(roomId) +
           " by " + std::to_string(actorId);
}

std::string LocalWorld::OnBlackList(const Request& r) {
    const auto [roomId, actorId, room] = ActingIn(r);
    if (!room) return ActorNotIn(roomId);
    const int32_t targetId = r.I32(8);
    const uint8_t scope = r.U8(12) == kSiteScope ? kSiteScope : 1;
    const int rank = RankIn(*room, actorId);
    const bool allowed = targetId != actorId && rank > RankIn(*room, targetId) &&
                         (scope != kSiteScope || rank == kOwner);
    if (!allowed)
        return Refuse(r, answers::MoneyFailedAnswer(),
                      "black list of user " + std::to_string(targetId) + " refused: no privilege");
    (scope == kSiteScope ? m_siteBlackList : room->blackList).insert(targetId);
    SendToRoom(roomId, answers::ThrowUserAnswer(roomId, actorId, targetId, scope));
    PutOut(roomId, targetId, actorId, kKickReason);
    return "user " + std::to_string(targetId) + " on the " +
           (scope == kSiteScope ? "site's" : "room's") + " black list";
}

std::string LocalWorld::OnSetPriority(const Request& r) {
    const auto [roomId, actorId, room] = ActingIn(r);
    if (!room) return ActorNotIn(roomId);
    const int32_t targetId = r.I32(8);
    const uint8_t op = r.U8(12);
    const uint8_t kind = r.U8(13);
    // The owner names and removes managers; managers name and remove temporary ones.
    const int rank = RankIn(*room, actorId);
    const bool known =
        (op == kAppoint || op == kRemove) && (kind == kManagerKind || kind == kTempKind);
    const bool allowed = known && room->members.count(targetId) && targetId != room->ownerId &&
                         (kind == kManagerKind ? rank == kOwner : rank >= kManager);
    if (!allowed)
        return Refuse(r, answers::MoneyFailedAnswer(),
                      "priority change of user " + std::to_string(targetId) + " refused");
    std::set<int>& set = kind == kManagerKind ? room->managers : room->tempManagers;
    if (op == kAppoint)
        set.insert(targetId);
    else
        set.erase(targetId);
    SendToRoom(roomId, answers::UserPriorityAnswer(roomId, actorId, targetId, op, kind));
    return "user " + std::to_string(targetId) + (op == kAppoint ? " appointed" : " removed") +
           (kind == kManagerKind ? " manager" : " temporary manager");
}

std::string LocalWorld::OnSeeIp(const Request& r) {
    const auto [roomId, actorId, room] = ActingIn(r);
    if (!room) return ActorNotIn(roomId);
    const int32_t targetId = r.I32(8);
    if (RankIn(*room, actorId) < kManager || !room->members.count(targetId))
        return Refuse(r, answers::MoneyFailedAnswer(),
                      "address of user " + std::to_string(targetId) + " refused");
    // Every member of the local world is on loopback.
    Send(r.connection, answers::SeeUserIpAnswer(roomId, actorId, targetId, "127.0.0.1"));
    return "address of user " + std::to_string(targetId) + " shown to " + std::to_string(actorId);
}

std::string LocalWorld::OnSetRoomInfo(const Request& r) {
    const auto [roomId, actorId, room] = ActingIn(r);
    if (!room) return ActorNotIn(roomId);
    const int32_t owner = r.I32(kCreatorAt);
    const std::string name = r.Text(kNameAt, kNameWidth);
    if (RankIn(*room, actorId) != kOwner || name.empty() || !m_accounts.count(owner))
        return Refuse(r, answers::ResultAnswer(113, roomId, kResult_Refused),
                      "room information refused");
    room->ownerId = owner;
    for (int i = 0; i < 4; ++i) room->deputies[i] = r.I32(kDeputiesAt + static_cast<size_t>(i) * 4);
    room->name = FromWire(name);
    room->password = r.I32(kPasswordFlagAt) ? r.Text(kPasswordAt, kPasswordWidth) : std::string();
    Send(r.connection, answers::ResultAnswer(113, roomId, kResult_Ok));
    answers::RoomBaseInfo info;
    info.roomId = roomId;
    info.baseInfoD = room->kind;
    info.ownerId = room->ownerId;
    std::copy(std::begin(room->deputies), std::end(room->deputies), info.deputyOwnerIds);
    info.roomFlags = static_cast<int32_t>(room->flags);
    info.roomName = name;
    // The settings dialog shows the join text as the room's password, beside its flag.
    info.baseFlag = room->password.empty() ? 0 : 1;
    info.joinText = room->password;
    SendToRoom(roomId, answers::RoomBaseInfoAnswer(info));
    return "room " + std::to_string(roomId) + " information changed";
}

std::string LocalWorld::OnSetRoomStatus(const Request& r) {
    const auto [roomId, actorId, room] = ActingIn(r);
    if (!room) return ActorNotIn(roomId);
    if (RankIn(*room, actorId) < kManager)
        return Refuse(r, answers::ResultAnswer(115, roomId, kResult_Refused),
                      "room status refused");
    room->flags = static_cast<uint32_t>(r.I32(8));
    Send(r.connection, answers::ResultAnswer(115, roomId, kResult_Ok));
    SendToRoom(roomId,
               answers::Words(answers::kRoomMain, 68, {roomId, static_cast<int32_t>(room->flags)}));
    ServeQueue(roomId);
    return "room " + std::to_string(roomId) + " status " + std::to_string(room->flags);
}

std::string LocalWorld::OnSetRoomNotice(const Request& r) {
    const auto [roomId, actorId, room] = ActingIn(r);
    if (!room) return ActorNotIn(roomId);
    const uint8_t index = r.U8(8);
    const size_t length = r.U16(9);
    if (kNoticeHead + length > r.size) return "refused: the text runs past the frame";
    if (RankIn(*room, actorId) < kManager || index > 3)
        return Refuse(r, answers::ResultAnswer(117, roomId, kResult_Refused), "room text refused");
    const std::string text = r.Text(kNoticeHead, length);
    room->texts[index] = FromWire(text);
    Send(r.connection, answers::ResultAnswer(117, roomId, kResult_Ok));
    SendToRoom(roomId, answers::RoomTextAnswer(roomId, index, text));
    return "room " + std::to_string(roomId) + " text " + std::to_string(index) + " changed";
}

std::string LocalWorld::OnSetRoomMedia(const Request& r) {
    const auto [roomId, actorId, room] = ActingIn(r);
    if (!room) return ActorNotIn(roomId);
    const std::string list = r.Text(8, kMediaWidth);
    if (RankIn(*room, actorId) != kOwner || list.find(':') == std::string::npos)
        return Refuse(r, answers::MoneyFailedAnswer(), "media addresses refused");
    room->mediaUrl = list;
    SendToRoom(roomId, answers::RoomMediaAnswer(roomId, list));
    return "room " + std::to_string(roomId) + " media addresses " + list;
}

}  // namespace testsupport
