// The room server of the local world: joining, leaving, being put out by a second
// connection of the same user, and chat between the members.
#include "Answers.h"
#include "WorldRequest.h"

namespace testsupport {

namespace {

// Join request payload: user id, room id, a word, the logon text (36 bytes), the
// room password (17 bytes).
constexpr size_t kJoinLogonTextAt = 12;
constexpr size_t kJoinLogonTextWidth = 36;
constexpr size_t kJoinPasswordAt = 48;
constexpr size_t kJoinPasswordWidth = 17;
// Chat record: the head is 67 bytes, the text length word at 14, the target alias at 33.
constexpr size_t kChatHead = 67;
constexpr size_t kChatTextLengthAt = 14;
constexpr size_t kChatTargetAliasAt = 33;
constexpr size_t kAliasWidth = 17;
constexpr uint8_t kPrivateChat = 15;
// A user list frame holds at most this many 84-byte entries (frames end at 8192 bytes).
constexpr size_t kUsersPerFrame = 90;
constexpr uint8_t kNoMic = 255;
constexpr uint8_t kOwnerLevel = 1;
constexpr uint8_t kManagerLevel = 3;
constexpr int32_t kPublicMicFlag = 0x1;
constexpr int32_t kVipMicFlag = 0x2;
constexpr int32_t kSecretMicFlag = 0x4;
constexpr int32_t kTempManagerFlag = 0x20;
constexpr uint8_t kLoudspeakerChat = 3;
constexpr uint8_t kAnnouncementChat = 1;
constexpr uint8_t kOpenVideo = 1;

}  // namespace

const std::vector<LocalWorld::Route>& LocalWorld::RoomRoutes() {
    static const std::vector<Route> routes = {
        // Presence, chat and private video.
        {105, 2, 8, &LocalWorld::OnRoomPing},
        {105, 25, 105, &LocalWorld::OnJoinRoom},
        {105, 34, 8, &LocalWorld::OnExitRoom},
        {105, 43, 67, &LocalWorld::OnRoomChat},
        {105, 69, 13, &LocalWorld::OnConnMediaReq},
        {105, 70, 13, &LocalWorld::OnConnMediaAnswer},
        {105, 71, 13, &LocalWorld::OnConnMediaAnswer},
        {105, 80, 29, &LocalWorld::OnAliasState},
        {105, 98, 8, &LocalWorld::OnCollectRoom},
        // Microphones and the wait queue.
        {105, 72, 15, &LocalWorld::OnSetMicState},
        {105, 100, 12, &LocalWorld::OnChangePubMic},
        {105, 103, 8, &LocalWorld::OnUpWaitMic},
        {105, 106, 18, &LocalWorld::OnOperateWaitMic},
        {105, 133, 12, &LocalWorld::OnForbidInvite},
        // Money.
        {105, 46, 107, &LocalWorld::OnTradeGift},
        {105, 54, 14, &LocalWorld::OnTradeFireworks},
        {105, 58, 14, &LocalWorld::OnPlayFireworks},
        {105, 93, 16, &LocalWorld::OnSendSeal},
        {105, 126, 17, &LocalWorld::OnMoneyOp},
        {105, 143, 9, &LocalWorld::OnOpenChest},
        // Administration.
        {105, 37, 17, &LocalWorld::OnKick},
        {105, 65, 136, &LocalWorld::OnSetRoomMedia},
        {105, 84, 14, &LocalWorld::OnSetPriority},
        {105, 87, 16, &LocalWorld::OnSeeIp},
        {105, 90, 76, &LocalWorld::OnBlackList},
        {105, 112, 81, &LocalWorld::OnSetRoomInfo},
        {105, 114, 12, &LocalWorld::OnSetRoomStatus},
        {105, 116, 11, &LocalWorld::OnSetRoomNotice},
    };
    return routes;
}

void LocalWorld::SendToRoom(int roomId, const std::vector<uint8_t>& frame) {
    for (int c : OthersIn(roomId, 0)) Send(c, frame);
}

int LocalWorld::ConnectionOf(int userId) const {
    for (const auto& [connection, m] : m_memberships)
        if (m.userId == userId) return connection;
    return 0;
}

LocalWorld::Room* LocalWorld::ActorRoom(const Request& r, int userId, int roomId) {
    auto m = m_memberships.find(r.connection);
    if (m == m_memberships.end() || m->second.userId != userId || m->second.roomId != roomId)
        return nullptr;
    return &m_rooms.at(roomId);
}

LocalWorld::Acting LocalWorld::ActingIn(const Request& r) {
    const int32_t roomId = r.I32(0);
    const int32_t actorId = r.I32(4);
    return {roomId, actorId, ActorRoom(r, actorId, roomId)};
}

std::string LocalWorld::ActorNotIn(int roomId) {
    return "refused: the actor is not in room " + std::to_string(roomId);
}

std::string LocalWorld::Refuse(const Request& r, const std::vector<uint8_t>& answer,
                               std::string why) {
    Send(r.connection, answer);
    return why;
}

std::vector<int> LocalWorld::OthersIn(int roomId, int except) const {
    std::vector<int> connections;
    auto it = m_rooms.find(roomId);
    if (it == m_rooms.end()) return connections;
    for (const auto& [userId, connection] : it->second.members)
        if (connection != except) connections.push_back(connection);
    return connections;
}

std::vector<uint8_t> LocalWorld::UserEntryOf(int userId, int roomId) const {
    answers::UserEntry e;
    e.userId = userId;
    e.roomId = roomId;
    e.micIndex = kNoMic;
    const Room& room = m_rooms.at(roomId);
    const int rank = RankIn(room, userId);
    e.roomMgrLevel = rank == 3 ? kOwnerLevel : rank == 2 ? kManagerLevel : 0;
    if (rank == 1) e.flags |= kTempManagerFlag;
    for (uint8_t i = 0; i < 3; ++i) {
        if (room.mics[i].userId != userId) continue;
        e.micIndex = i;
        e.flags |= kPublicMicFlag;
    }
    if (room.vipHolders.count(userId)) e.flags |= kVipMicFlag;
    if (room.secretHolders.count(userId)) e.flags |= kSecretMicFlag;
    if (auto s = m_sessions.find(userId); s != m_sessions.end())
        e.forbidCarryToMic = s->second.forbidInvite ? 1 : 0;
    if (auto s = m_sessions.find(userId); s != m_sessions.end()) {
        e.levels[0] = s->second.level;
        e.sex = s->second.sex;
        e.faceId = s->second.faceId;
        e.alias = WireText(s->second.alias);
    }
    for (const Resident& r : room.residents) {
        if (r.id != userId) continue;
        e.levels[0] = r.level;
        e.faceId = r.faceId;
        e.alias = WireText(r.alias);
    }
    return answers::UserEntryPayload(e).bytes();
}

std::string LocalWorld::OnJoinRoom(const Request& r) {
    const int32_t userId = r.I32(0);
    const int32_t roomId = r.I32(4);
    const std::string logonText = r.Text(kJoinLogonTextAt, kJoinLogonTextWidth);
    const std::string password = r.Text(kJoinPasswordAt, kJoinPasswordWidth);
    auto room = m_rooms.find(roomId);
    auto session = m_sessions.find(userId);
    int code = 0;
    if (room == m_rooms.end())
        code = kUnknownRoom;
    else if (session == m_sessions.end() || session->second.logonText != logonText)
        code = kNotLoggedOn;
    else if (!room->second.password.empty() && password.empty())
        code = kNeedPassword;
    else if (!room->second.password.empty() && password != room->second.password)
        code = kWrongRoomPassword;
    else if (room->second.blackList.count(userId) || m_siteBlackList.count(userId))
        code = kBlackListed;
    if (code)
        return Refuse(r, answers::Words(answers::kRoomMain, 26, {userId, roomId, code}),
                      "user " + std::to_string(userId) + " refused room " + std::to_string(roomId) +
                          " with " + std::to_string(code));
    std::string outcome;
    // One membership per user and per connection: an earlier one ends first.
    for (const auto& [connection, m] : m_memberships) {
        if (m.userId != userId || connection == r.connection) continue;
        const int old = connection;
        Send(old, answers::KickedOutAnswer(m.roomId, userId, userId, kPutOutReason));
        Leave(old);
        outcome = ", connection " + std::to_string(old) + " put out";
        break;
    }
    if (m_memberships.count(r.connection)) Leave(r.connection);
    room->second.members[userId] = r.connection;
    m_memberships[r.connection] = {userId, roomId};
    SendJoined(r.connection, userId, roomId);
    const std::vector<uint8_t> entered =
        answers::Frame(answers::kRoomMain, 32, UserEntryOf(userId, roomId));
    for (int other : OthersIn(roomId, r.connection)) Send(other, entered);
    return "user " + std::to_string(userId) + " joined room " + std::to_string(roomId) + outcome;
}

void LocalWorld::SendJoined(int connection, int userId, int roomId) {
    const Room& room = m_rooms.at(roomId);
    const Session& s = m_sessions.at(userId);
    answers::JoinRoom j;
    j.userId = userId;
    j.roomId = roomId;
    j.baseInfoD = room.kind;
    j.ownerId = room.ownerId;
    j.money = s.money;
    j.points = s.points;
    j.roomName = WireText(room.name);
    j.roomFlags = static_cast<int32_t>(room.flags);
    std::copy(std::begin(room.deputies), std::end(room.deputies), j.deputyOwnerIds);
    j.mediaUrl =
        room.mediaUrl.empty() ? "127.0.0.1:" + std::to_string(m_ports.relay) : room.mediaUrl;
    // The settings dialog shows the join text as the room's password, beside its flag.
    j.baseFlag = room.password.empty() ? 0 : 1;
    j.joinText = room.password;
    Send(connection, answers::JoinRoomAnswer(j));

    std::vector<int> ids;
    for (const Resident& r : room.residents) ids.push_back(r.id);
    for (const auto& m : room.members) ids.push_back(m.first);
    for (size_t first = 0; first < ids.size(); first += kUsersPerFrame) {
        const size_t n = std::min(kUsersPerFrame, ids.size() - first);
        answers::Payload list(4);
        list.i32(0, static_cast<int32_t>(n));
        for (size_t i = 0; i < n; ++i) {
            const std::vector<uint8_t> entry = UserEntryOf(ids[first + i], roomId);
            list.raw(4 + i * entry.size(), entry.data(), entry.size());
        }
        Send(connection, answers::Frame(answers::kRoomMain, 30, list));
    }
    // The texts go before the list's end: the room window shows the stored texts once the
    // list is complete, and a text arriving after that would be shown a second time.
    for (uint8_t index = 0; index < 4; ++index)
        if (!room.texts[index].empty())
            Send(connection, answers::RoomTextAnswer(roomId, index, WireText(room.texts[index])));
    Send(connection, answers::UserListEndAnswer());
    Send(connection, MicTableOf(roomId));
    Send(connection, WaitQueueFrameOf(roomId));
}

void LocalWorld::Leave(int connection) {
    auto m = m_memberships.find(connection);
    if (m == m_memberships.end()) return;
    const Membership member = m->second;
    m_memberships.erase(m);
    auto room = m_rooms.find(member.roomId);
    if (room == m_rooms.end()) return;
    room->second.members.erase(member.userId);
    const std::vector<uint8_t> left =
        answers::Words(answers::kRoomMain, 36, {member.userId, member.roomId});
    for (int other : OthersIn(member.roomId, connection)) Send(other, left);
    ReleaseMics(member.roomId, member.userId, member.userId);
}

std::string LocalWorld::OnExitRoom(const Request& r) {
    const int32_t userId = r.I32(0);
    const int32_t roomId = r.I32(4);
    auto m = m_memberships.find(r.connection);
    if (m == m_memberships.end() || m->second.userId != userId || m->second.roomId != roomId)
        return "user " + std::to_string(userId) + " is not in room " + std::to_string(roomId) +
               " on this connection";
    Leave(r.connection);
    return "user " + std::to_string(userId) + " left room " + std::to_string(roomId);
}

std::string LocalWorld::OnRoomChat(const Request& r) {
    auto m = m_memberships.find(r.connection);
    if (m == m_memberships.end()) return "refused: not in a room";
    const size_t textLength = r.U16(kChatTextLengthAt);
    if (kChatHead + textLength > r.size) return "refused: the text runs past the frame";
    const Membership member = m->second;
    const Session& sender = m_sessions.at(member.userId);
    const Room& room = m_rooms.at(member.roomId);
    answers::ChatLine line;
    line.roomId = member.roomId;
    line.senderId = member.userId;
    line.targetId = r.I32(8);
    line.senderLevel = sender.level;
    line.kind = r.U8(13);
    line.senderAlias = WireText(sender.alias);
    auto target = m_sessions.find(line.targetId);
    line.targetAlias = target != m_sessions.end() ? WireText(target->second.alias)
                                                  : r.Text(kChatTargetAliasAt, kAliasWidth);
    line.roomName = WireText(room.name);
    line.text = r.Text(kChatHead, textLength);
    if (line.kind == kLoudspeakerChat) {
        if (!Loudspeaker(member.userId, line.kind, line.text))
            return Refuse(r, answers::MoneyFailedAnswer(),
                          "loudspeaker of user " + std::to_string(member.userId) +
                              " refused: not enough money");
        SendWealth(member.roomId, member.userId);
        return "loudspeaker line of user " + std::to_string(member.userId) + " sent to every room";
    }
    if (line.kind == kAnnouncementChat && RankIn(room, member.userId) == 0)
        return Refuse(
            r, answers::MoneyFailedAnswer(),
            "announcement of user " + std::to_string(member.userId) + " refused: no privilege");
    const std::vector<uint8_t> frame = answers::ChatLineAnswer(line);
    std::vector<int> to;
    if (line.kind == kPrivateChat) {
        auto t = room.members.find(line.targetId);
        if (t != room.members.end() && t->second != r.connection) to.push_back(t->second);
    } else if (line.kind == kAnnouncementChat) {
        // The program shows no line of its own for an announcement: its sender sees it
        // as the room does.
        to = OthersIn(member.roomId, 0);
    } else {
        to = OthersIn(member.roomId, r.connection);
    }
    for (int c : to) Send(c, frame);
    return "chat of kind " + std::to_string(line.kind) + " from user " +
           std::to_string(member.userId) + " to " + std::to_string(to.size()) + " member(s)";
}

}  // namespace testsupport

namespace testsupport {

std::string LocalWorld::OnRoomPing(const Request& r) {
    return "keep-alive of user " + std::to_string(r.I32(0));
}

std::string LocalWorld::OnCollectRoom(const Request& r) {
    // Favourites live in the program; the world has nothing to answer.
    return "user " + std::to_string(r.I32(4)) + " keeps room " + std::to_string(r.I32(0));
}

std::string LocalWorld::OnAliasState(const Request& r) {
    const int32_t userId = r.I32(4);
    const int32_t faceId = r.I32(8);
    const std::string alias = r.Text(12, kAliasWidth);
    auto s = m_sessions.find(userId);
    if (s == m_sessions.end() || alias.empty()) return "refused: no such session or an empty alias";
    s->second.alias = FromWire(alias);
    s->second.faceId = faceId;
    // Every room the user is in sees the new face and alias.
    int rooms = 0;
    for (const auto& [connection, m] : m_memberships) {
        if (m.userId != userId) continue;
        SendToRoom(m.roomId, answers::UserAliasAnswer(m.roomId, userId, faceId, alias));
        ++rooms;
    }
    return "alias and face of user " + std::to_string(userId) + " sent to " +
           std::to_string(rooms) + " room(s)";
}

std::string LocalWorld::OnConnMediaReq(const Request& r) {
    const int32_t roomId = r.I32(0);
    const int32_t requester = r.I32(4);
    const int32_t target = r.I32(8);
    Room* room = ActorRoom(r, requester, roomId);
    if (!room) return "refused: the requester is not in room " + std::to_string(roomId);
    const uint8_t op = r.U8(12);
    auto t = room->members.find(target);
    if (t == room->members.end()) {
        // Asked to open, the requester learns the user is gone; a closing needs no answer.
        if (op == kOpenVideo)
            Send(r.connection, answers::ConnMediaRespAnswer(roomId, requester, target));
        return "video operation " + std::to_string(op) + " for user " + std::to_string(target) +
               ", who is not in the room";
    }
    Send(t->second, answers::ConnMediaReqAnswer(roomId, requester, target, op));
    return "video request of user " + std::to_string(requester) + " forwarded to " +
           std::to_string(target);
}

std::string LocalWorld::OnConnMediaAnswer(const Request& r) {
    const int32_t roomId = r.I32(0);
    const int32_t requester = r.I32(4);
    const int32_t answering = r.I32(8);
    Room* room = ActorRoom(r, answering, roomId);
    if (!room) return "refused: the answering user is not in room " + std::to_string(roomId);
    auto to = room->members.find(requester);
    if (to == room->members.end()) return "video answer for a requester who left";
    const bool accepted = r.subCmd == 70;
    Send(to->second, accepted ? answers::ConnMediaRespAnswer(roomId, requester, answering)
                              : answers::ConnMediaErrAnswer(roomId, requester, answering));
    return std::string("video ") + (accepted ? "acceptance" : "refusal") + " of user " +
           std::to_string(answering) + " sent to " + std::to_string(requester);
}

}  // namespace testsupport
