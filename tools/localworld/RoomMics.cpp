// The room server's microphones: three public ones, the private (VIP) and secret
// ones, and the wait queue (in the automatic mode a freed microphone goes to the
// first in the queue). Every change goes to the whole room with the public
// microphone table and the queue as they now stand.
#include <algorithm>

#include "Answers.h"
#include "WorldRequest.h"

namespace testsupport {

namespace {

constexpr uint8_t kAnyPublicMic = 255;
constexpr uint8_t kNoMic = 255;
constexpr int16_t kManagerMic = -2;
constexpr int16_t kClosedMic = 0;
constexpr uint32_t kPublicMicsClosed = 0x10;
constexpr uint32_t kPrivateMicsClosed = 0x20;
constexpr uint32_t kAutoFromQueue = 0x40;
constexpr uint32_t kWaitQueueOpen = 0x80;
// The microphone kinds of a state request, and the flags the room's members see.
constexpr int16_t kLeave = 0;
constexpr int16_t kPublic = 1;
constexpr int16_t kVip = 2;
constexpr int16_t kSecret = 4;
// The operations of a public microphone request: its type (or minutes), or a member put on it.
constexpr uint8_t kSetType = 1;
constexpr uint8_t kPutUserOn = 2;

// Whether `m` is free for a user of that standing.
bool Usable(int16_t type, int holder, bool manager) {
    return holder == 0 && type != kClosedMic && (type != kManagerMic || manager);
}

uint16_t SecondsOf(int16_t type) {
    return type > 0 ? static_cast<uint16_t>(type * 60) : 0;
}

}  // namespace

std::vector<uint8_t> LocalWorld::MicTableOf(int roomId) const {
    const Room& room = m_rooms.at(roomId);
    std::vector<answers::MicEntry> entries;
    for (uint16_t i = 0; i < 3; ++i) {
        const Mic& m = room.mics[i];
        entries.push_back({i, static_cast<uint16_t>(m.type), m.userId,
                           m.userId ? SecondsOf(m.type) : uint16_t{0}});
    }
    return answers::PublicMicsAnswer(entries);
}

std::vector<uint8_t> LocalWorld::WaitQueueFrameOf(int roomId) const {
    const Room& room = m_rooms.at(roomId);
    return answers::WaitMicListAnswer(
        std::vector<int32_t>(room.waitQueue.begin(), room.waitQueue.end()));
}

void LocalWorld::ReleaseMics(int roomId, int userId, int actorId) {
    Room& room = m_rooms.at(roomId);
    bool held = room.vipHolders.erase(userId) + room.secretHolders.erase(userId) > 0;
    bool publicMic = false;
    for (Mic& m : room.mics) {
        if (m.userId != userId) continue;
        m.userId = 0;
        held = publicMic = true;
    }
    const size_t queued = room.waitQueue.size();
    room.waitQueue.erase(std::remove(room.waitQueue.begin(), room.waitQueue.end(), userId),
                         room.waitQueue.end());
    if (held) SendToRoom(roomId, answers::MicStateAnswer(roomId, actorId, userId, 0, kNoMic));
    if (publicMic) SendToRoom(roomId, MicTableOf(roomId));
    if (queued != room.waitQueue.size()) SendToRoom(roomId, WaitQueueFrameOf(roomId));
    if (publicMic || queued != room.waitQueue.size()) ServeQueue(roomId);
}

void LocalWorld::ServeQueue(int roomId) {
    Room& room = m_rooms.at(roomId);
    if (!(room.flags & kAutoFromQueue) || (room.flags & kPublicMicsClosed)) return;
    bool served = false;
    for (auto turn = room.waitQueue.begin(); turn != room.waitQueue.end();) {
        const int userId = *turn;
        const bool onMic = room.vipHolders.count(userId) || room.secretHolders.count(userId) ||
                           std::any_of(std::begin(room.mics), std::end(room.mics),
                                       [userId](const Mic& m) { return m.userId == userId; });
        uint8_t index = 0;
        while (index < 3 &&
               !Usable(room.mics[index].type, room.mics[index].userId, RankIn(room, userId) > 0))
            ++index;
        if (onMic || index == 3) {
            ++turn;
            continue;
        }
        room.mics[index].userId = userId;
        turn = room.waitQueue.erase(turn);
        served = true;
        SendToRoom(roomId, answers::MicStateAnswer(roomId, userId, userId, 0x1, index));
    }
    if (!served) return;
    SendToRoom(roomId, MicTableOf(roomId));
    SendToRoom(roomId, WaitQueueFrameOf(roomId));
}

std::string LocalWorld::SeatOnPublicMic(const Request& r, int roomId, int actorId, int targetId,
                                        uint8_t index) {
    Room* room = &m_rooms.at(roomId);
    auto refuse = [&](const std::string& why) {
        return Refuse(
            r, answers::MicFailedAnswer(roomId),
            "public microphone for user " + std::to_string(targetId) + " refused: " + why);
    };
    if (room->flags & kPublicMicsClosed) return refuse("the public microphones are closed");
    const bool manager = RankIn(*room, targetId) > 0;
    auto usable = [&](const Mic& m) { return Usable(m.type, m.userId, manager); };
    if (index == kAnyPublicMic) {
        for (uint8_t i = 0; i < 3 && index == kAnyPublicMic; ++i)
            if (usable(room->mics[i])) index = i;
        if (index == kAnyPublicMic) return refuse("no public microphone is free");
    }
    if (index >= 3 || !usable(room->mics[index]))
        return refuse("that microphone is taken or closed");
    room->mics[index].userId = targetId;
    // Taking the microphone serves the user's first turn in the queue.
    auto queued = std::find(room->waitQueue.begin(), room->waitQueue.end(), targetId);
    const bool wasQueued = queued != room->waitQueue.end();
    if (wasQueued) room->waitQueue.erase(queued);
    SendToRoom(roomId, answers::MicStateAnswer(roomId, actorId, targetId, 0x1, index));
    SendToRoom(roomId, MicTableOf(roomId));
    if (wasQueued) SendToRoom(roomId, WaitQueueFrameOf(roomId));
    return "user " + std::to_string(targetId) + " took public microphone " +
           std::to_string(index + 1);
}

std::string LocalWorld::OnSetMicState(const Request& r) {
    const int32_t roomId = r.I32(0);
    const int32_t actorId = r.I32(4);
    const int32_t targetId = r.I32(8);
    const int16_t kind = static_cast<int16_t>(r.U16(12));
    uint8_t index = r.U8(14);
    Room* room = ActorRoom(r, actorId, roomId);
    if (!room) return ActorNotIn(roomId);
    auto refuse = [&](const std::string& why) {
        return Refuse(r, answers::MicFailedAnswer(roomId),
                      "microphone " + std::to_string(kind) + " for user " +
                          std::to_string(targetId) + " refused: " + why);
    };
    if (!room->members.count(targetId)) return refuse("the target is not in the room");
    const bool self = actorId == targetId;
    if (!self) {
        if (RankIn(*room, actorId) == 0) return refuse("no privilege");
        if (RankIn(*room, actorId) < RankIn(*room, targetId))
            return refuse("the target outranks the actor");
    }
    const bool onMic = room->vipHolders.count(targetId) || room->secretHolders.count(targetId) ||
                       std::any_of(std::begin(room->mics), std::end(room->mics),
                                   [targetId](const Mic& m) { return m.userId == targetId; });
    if (kind == kLeave) {
        if (!onMic) return refuse("not on a microphone");
        ReleaseMics(roomId, targetId, actorId);
        return "user " + std::to_string(targetId) + " left the microphone";
    }
    if (onMic) return refuse("already on a microphone");
    if (!self && m_sessions.count(targetId) && m_sessions.at(targetId).forbidInvite)
        return refuse("the target forbids being carried to a microphone");
    if (kind == kPublic) return SeatOnPublicMic(r, roomId, actorId, targetId, index);
    if (kind != kVip && kind != kSecret) return refuse("unknown microphone kind");
    if (room->flags & kPrivateMicsClosed) return refuse("the private microphones are closed");
    (kind == kVip ? room->vipHolders : room->secretHolders).insert(targetId);
    const uint8_t flags = kind == kVip ? 0x2 : 0x4;
    SendToRoom(roomId, answers::MicStateAnswer(roomId, actorId, targetId, flags, kNoMic));
    return "user " + std::to_string(targetId) + " took the " +
           (kind == kVip ? "private" : "secret") + " microphone";
}

std::string LocalWorld::OnChangePubMic(const Request& r) {
    const auto [roomId, actorId, room] = ActingIn(r);
    if (!room) return ActorNotIn(roomId);
    const uint8_t index = r.U8(8);
    const uint8_t operation = r.U8(9);
    const int16_t value = static_cast<int16_t>(r.U16(10));
    if (operation == kPutUserOn) {
        // The value names the member to seat, in 16 bits.
        const int targetId = static_cast<uint16_t>(value);
        const int rank = RankIn(*room, actorId);
        const bool onMic = room->vipHolders.count(targetId) ||
                           room->secretHolders.count(targetId) ||
                           std::any_of(std::begin(room->mics), std::end(room->mics),
                                       [targetId](const Mic& m) { return m.userId == targetId; });
        const bool forbids = m_sessions.count(targetId) && m_sessions.at(targetId).forbidInvite;
        if (rank == 0 || index >= 3 || !room->members.count(targetId) ||
            rank < RankIn(*room, targetId) || onMic || forbids)
            return Refuse(r, answers::MicFailedAnswer(roomId),
                          "seating user " + std::to_string(targetId) + " refused");
        return SeatOnPublicMic(r, roomId, actorId, targetId, index);
    }
    if (operation != kSetType)
        return "unknown public microphone operation " + std::to_string(operation);
    if (RankIn(*room, actorId) == 0 || index >= 3 || value < kManagerMic)
        return Refuse(r, answers::MoneyFailedAnswer(), "microphone type change refused");
    Mic& mic = room->mics[index];
    mic.type = value;
    const int holder = mic.userId;
    // A closed microphone, or a managers' one, puts down a holder who may not keep it.
    if (holder && (value == kClosedMic || (value == kManagerMic && RankIn(*room, holder) == 0)))
        ReleaseMics(roomId, holder, actorId);
    SendToRoom(roomId, answers::PublicMicChangedAnswer(
                           roomId, actorId, index, 2, static_cast<uint16_t>(value), mic.userId,
                           mic.userId ? SecondsOf(value) : uint16_t{0}));
    ServeQueue(roomId);
    return "public microphone " + std::to_string(index + 1) + " now of type " +
           std::to_string(value);
}

std::string LocalWorld::OnUpWaitMic(const Request& r) {
    const int32_t roomId = r.I32(0);
    const int32_t userId = r.I32(4);
    Room* room = ActorRoom(r, userId, roomId);
    if (!room) return "refused: not in room " + std::to_string(roomId);
    const auto turns = std::count(room->waitQueue.begin(), room->waitQueue.end(), userId);
    if (!(room->flags & kWaitQueueOpen) || turns >= room->waitLimits[0] ||
        static_cast<int32_t>(room->waitQueue.size()) >= room->waitLimits[1]) {
        return Refuse(r, answers::UpWaitMicAnswer(105, roomId, userId),
                      "user " + std::to_string(userId) + " may not queue again");
    }
    room->waitQueue.push_back(userId);
    Send(r.connection, answers::UpWaitMicAnswer(104, roomId, userId));
    SendToRoom(roomId, WaitQueueFrameOf(roomId));
    ServeQueue(roomId);
    return "user " + std::to_string(userId) + " queued for the microphone";
}

std::string LocalWorld::OnOperateWaitMic(const Request& r) {
    const int32_t roomId = r.I32(0);
    const int32_t actorId = r.I32(4);
    const int32_t targetId = r.I32(8);
    const int32_t occurrence = r.I32(12);  // the target's n-th turn, counted from 1
    const int16_t op = static_cast<int16_t>(r.U16(16));
    Room* room = ActorRoom(r, actorId, roomId);
    if (!room) return "refused: not in room " + std::to_string(roomId);
    std::vector<int>& q = room->waitQueue;
    size_t at = q.size();
    for (size_t i = 0, seen = 0; i < q.size() && at == q.size(); ++i)
        if (q[i] == targetId && static_cast<int32_t>(++seen) >= std::max(occurrence, 1)) at = i;
    const bool ownTurn = actorId == targetId && (op == -1 || op == -2);
    const bool known = op == -2 || op == -1 || (op >= 1 && op <= 4);
    if (at == q.size() || !known || (!ownTurn && RankIn(*room, actorId) == 0))
        return Refuse(r, answers::ResultAnswer(107, roomId, 1),
                      "queue operation " + std::to_string(op) + " refused");
    switch (op) {
        case 1:
            if (at > 0) std::swap(q[at], q[at - 1]);
            break;
        case 2:
            if (at + 1 < q.size()) std::swap(q[at], q[at + 1]);
            break;
        case 3:
            std::rotate(q.begin(), q.begin() + static_cast<long>(at),
                        q.begin() + static_cast<long>(at) + 1);
            break;
        case 4:
            std::rotate(q.begin() + static_cast<long>(at), q.begin() + static_cast<long>(at) + 1,
                        q.end());
            break;
        case -1:
            q.erase(q.begin() + static_cast<long>(at));
            break;
        default:
            q.erase(std::remove(q.begin(), q.end(), targetId), q.end());
            break;
    }
    Send(r.connection, answers::ResultAnswer(107, roomId, 0));
    if (actorId != targetId) {
        const int c = room->members.count(targetId) ? room->members.at(targetId) : 0;
        if (c)
            Send(c, answers::WaitMicIndexAnswer(roomId, actorId, targetId, static_cast<int32_t>(at),
                                                op));
    }
    SendToRoom(roomId, WaitQueueFrameOf(roomId));
    return "queue operation " + std::to_string(op) + " on user " + std::to_string(targetId);
}

std::string LocalWorld::OnForbidInvite(const Request& r) {
    const int32_t roomId = r.I32(0);
    const int32_t userId = r.I32(4);
    const int32_t state = r.I32(8) ? 1 : 0;
    if (!ActorRoom(r, userId, roomId)) return "refused: not in room " + std::to_string(roomId);
    m_sessions.at(userId).forbidInvite = state != 0;
    SendToRoom(roomId, answers::ForbidInviteAnswer(roomId, userId, state));
    return "user " + std::to_string(userId) + (state ? " forbids" : " allows") +
           " being carried to a microphone";
}

}  // namespace testsupport
