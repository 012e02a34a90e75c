#include "Answers.h"

#include <cstring>

namespace testsupport {
namespace answers {

void Payload::fit(size_t end) {
    if (m_bytes.size() < end) m_bytes.resize(end, 0);
}

Payload& Payload::u8(size_t at, uint8_t v) {
    fit(at + 1);
    m_bytes[at] = v;
    return *this;
}

Payload& Payload::u16(size_t at, uint16_t v) {
    fit(at + 2);
    m_bytes[at] = static_cast<uint8_t>(v);
    m_bytes[at + 1] = static_cast<uint8_t>(v >> 8);
    return *this;
}

Payload& Payload::i32(size_t at, int32_t v) {
    fit(at + 4);
    uint32_t u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) m_bytes[at + i] = static_cast<uint8_t>(u >> (8 * i));
    return *this;
}

Payload& Payload::i64(size_t at, int64_t v) {
    fit(at + 8);
    uint64_t u = static_cast<uint64_t>(v);
    for (int i = 0; i < 8; ++i) m_bytes[at + i] = static_cast<uint8_t>(u >> (8 * i));
    return *this;
}

Payload& Payload::text(size_t at, const std::string& s, size_t width) {
    fit(at + width);
    std::memcpy(&m_bytes[at], s.data(), s.size() < width ? s.size() : width);
    return *this;
}

Payload& Payload::raw(size_t at, const void* bytes, size_t n) {
    fit(at + n);
    if (n) std::memcpy(&m_bytes[at], bytes, n);
    return *this;
}

Payload& Payload::resize(size_t size) {
    m_bytes.resize(size, 0);
    return *this;
}

Bytes Frame(uint16_t mainCmd, uint16_t subCmd, const Bytes& payload) {
    Payload f(10);
    f.i32(0, static_cast<int32_t>(10 + payload.size())).u8(4, 10).u8(5, 0);
    f.u16(6, mainCmd).u16(8, subCmd);
    f.raw(10, payload.data(), payload.size());
    return f.bytes();
}

Bytes Words(uint16_t mainCmd, uint16_t subCmd, std::initializer_list<int32_t> words) {
    Payload p;
    size_t at = 0;
    for (int32_t w : words) {
        p.i32(at, w);
        at += 4;
    }
    return Frame(mainCmd, subCmd, p);
}

Bytes Shortened(const Bytes& frame, size_t drop) {
    Bytes out(frame.begin(), frame.end() - static_cast<std::ptrdiff_t>(drop));
    uint32_t length = static_cast<uint32_t>(out.size());
    for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(length >> (8 * i));
    return out;
}

Bytes LogonOkAnswer(const LogonOk& a) {
    Payload p(80);
    p.i64(0, a.money).i64(8, a.points).i32(16, a.accountData[0]).i32(20, a.accountData[1]);
    p.i32(28, a.userId).i32(32, a.logonValue1).i32(36, a.logonValue3);
    p.i32(40, a.logonWord2).i32(44, a.versionWord).i32(48, a.faceId);
    for (int i = 0; i < 8; ++i) p.u8(52 + i, a.levels[i]);
    p.u8(60, a.sex).u8(61, a.logonValue2).u8(62, a.entryFlag0);
    p.text(63, a.alias, 17);
    return Frame(kLogonMain, 5, p);
}

Bytes LogonFailedAnswer(int32_t reason, int32_t second, int32_t third) {
    return Words(kLogonMain, 4, {reason, second, third});
}

Bytes PrivilegeListAnswer(const std::vector<Privilege>& entries) {
    Payload p(2);
    p.u16(0, static_cast<uint16_t>(entries.size()));
    size_t at = 2;
    for (const Privilege& e : entries) {
        p.u8(at, e.id).u8(at + 1, e.kind).i32(at + 2, e.a).i32(at + 6, e.b);
        at += 10;
    }
    return Frame(kLogonMain, 7, p);
}

Bytes RoomGroupAnswer(const RoomGroup& g) {
    Payload p(37);
    p.i32(4, g.groupId).i32(8, g.parentId).i32(12, g.userNum);
    p.u8(16, g.showCount).u8(17, g.extraFlag);
    p.text(20, g.name, 17);
    p.text(37, g.address, g.address.size() + 1);
    return Frame(kLogonMain, 17, p);
}

Bytes RoomGroupListEndAnswer() {
    return Frame(kLogonMain, 9, Bytes());
}

Bytes JoinRoomAnswer(const JoinRoom& j) {
    Payload p(291);
    p.i32(0, j.userId).i32(4, j.roomId).u8(8, j.baseInfoC).u8(9, j.baseFlag);
    p.u16(10, j.baseInfoD).i32(12, j.baseInfoB).i32(16, j.roomFlags).i32(20, j.ownerId);
    for (int i = 0; i < 4; ++i) p.i32(24 + 4 * i, j.deputyOwnerIds[i]);
    p.i64(40, j.money).i64(48, j.points);
    p.text(56, j.roomName, 32).text(88, j.mediaUrl, 128).text(216, j.joinText, 17);
    // Siege block at 233: int32, lord id, lady id, three int32, two 17-byte aliases.
    p.i32(237, j.siegeLordId).i32(241, j.siegeLadyId);
    p.text(257, j.siegeLordAlias, 17).text(274, j.siegeLadyAlias, 17);
    return Frame(kRoomMain, 27, p);
}

Payload UserEntryPayload(const UserEntry& u) {
    Payload p(84);
    p.i32(0, u.userId).i32(4, u.roomId);
    for (int i = 0; i < 8; ++i) p.u8(8 + i, u.levels[i]);
    p.u8(16, static_cast<uint8_t>((u.entryFlag0 & 1) | (u.sex & 1) << 1));
    p.u8(17, u.micIndex).u8(18, u.roomMgrLevel);
    p.i32(19, u.sealId).i32(23, u.entryValue23).i32(27, u.faceId).i32(31, u.sealExpiry);
    p.i32(35, u.flags).i32(39, u.entranceEffects).i32(43, u.entryValue43);
    p.i32(47, u.entryValue47).i32(51, u.entryValue51).i32(63, u.forbidCarryToMic);
    p.text(67, u.alias, 17);
    return p;
}

Bytes UserListAnswer(const std::vector<UserEntry>& users) {
    Payload p(4);
    p.i32(0, static_cast<int32_t>(users.size()));
    size_t at = 4;
    for (const UserEntry& u : users) {
        Payload entry = UserEntryPayload(u);
        p.raw(at, entry.bytes().data(), entry.size());
        at += entry.size();
    }
    return Frame(kRoomMain, 30, p);
}

Bytes UserEnterAnswer(const UserEntry& u) {
    return Frame(kRoomMain, 32, UserEntryPayload(u));
}

Bytes UserListEndAnswer() {
    return Frame(kRoomMain, 31, Bytes());
}

Bytes PublicMicsAnswer(const std::vector<MicEntry>& mics) {
    Payload p(4);
    p.i32(0, static_cast<int32_t>(mics.size()));
    size_t at = 4;
    for (const MicEntry& m : mics) {
        p.u16(at, m.index).u16(at + 2, m.micType).i32(at + 4, m.userId).u16(at + 8, m.micTime);
        at += 10;
    }
    return Frame(kRoomMain, 33, p);
}

Bytes WaitMicListAnswer(const std::vector<int32_t>& ids) {
    Payload p(4);
    p.i32(0, static_cast<int32_t>(ids.size()));
    for (size_t i = 0; i < ids.size(); ++i) p.i32(4 + 4 * i, ids[i]);
    return Frame(kRoomMain, 42, p);
}

Bytes PublicMicChangedAnswer(int32_t roomId, int32_t managerId, uint8_t index, uint8_t op,
                             uint16_t micType, int32_t userId, uint16_t micTime) {
    Payload p(18);
    p.i32(0, roomId).i32(4, managerId).u8(8, index).u8(9, op).u16(10, micType);
    p.i32(12, userId).u16(16, micTime);
    return Frame(kRoomMain, 102, p);
}

Bytes ChatLineAnswer(const ChatLine& c) {
    Payload p(67);
    p.i32(0, c.roomId).i32(4, c.senderId).i32(8, c.targetId).u8(12, c.senderLevel);
    p.u8(13, c.kind).u16(14, static_cast<uint16_t>(c.text.size() + 1));
    p.text(16, c.senderAlias, 17).text(33, c.targetAlias, 17).text(50, c.roomName, 17);
    p.text(67, c.text, c.text.size() + 1);
    return Frame(kRoomMain, 45, p);
}

Bytes RoomTextAnswer(int32_t roomId, uint8_t index, const std::string& text) {
    Payload p(7);
    p.i32(0, roomId).u8(4, index).u16(5, static_cast<uint16_t>(text.size() + 1));
    p.text(7, text, text.size() + 1);
    return Frame(kRoomMain, 67, p);
}

Bytes RoomMediaAnswer(int32_t roomId, const std::string& list) {
    Payload p(8);
    p.i32(0, roomId).text(8, list, list.size() + 1);
    return Frame(kRoomMain, 66, p);
}

Bytes RoomBaseInfoAnswer(const RoomBaseInfo& r) {
    Payload p(85);
    p.i32(0, r.roomId).i32(4, r.baseInfoB).u8(8, r.baseInfoA).u8(9, r.baseFlag);
    p.u16(10, r.baseInfoD).i32(12, r.ownerId);
    for (int i = 0; i < 4; ++i) p.i32(16 + 4 * i, r.deputyOwnerIds[i]);
    p.i32(32, r.roomFlags).text(36, r.roomName, 32).text(68, r.joinText, 17);
    return Frame(kRoomMain, 63, p);
}

Bytes UserAliasAnswer(int32_t roomId, int32_t userId, int32_t faceId, const std::string& alias) {
    Payload p(29);
    p.i32(0, roomId).i32(4, userId).i32(8, faceId).text(12, alias, 17);
    return Frame(kRoomMain, 83, p);
}

Bytes UserPriorityAnswer(int32_t roomId, int32_t actorId, int32_t userId, uint8_t op,
                         uint8_t kind) {
    Payload p(14);
    p.i32(0, roomId).i32(4, actorId).i32(8, userId).u8(12, op).u8(13, kind);
    return Frame(kRoomMain, 86, p);
}

Bytes GiftRollAnswer(int32_t roomId, int32_t giverId, int32_t receiverId, int32_t giftId,
                     int32_t count, uint8_t anonymous, int32_t value24, const std::string& giver,
                     const std::string& receiver, const std::string& third) {
    Payload p(84);
    p.i32(0, roomId).i32(4, giverId).i32(8, receiverId).i32(12, giftId).i32(16, count);
    p.u8(22, anonymous).i32(24, value24);
    p.text(33, giver, 17).text(50, receiver, 17).text(67, third, 17);
    return Frame(kRoomMain, 41, p);
}

Bytes FireworksBoughtAnswer(int32_t roomId, int32_t userId, int32_t delay, uint16_t itemId,
                            uint16_t value) {
    Payload p(16);
    p.i32(0, roomId).i32(4, userId).i32(8, delay).u16(12, itemId).u16(14, value);
    return Frame(kRoomMain, 55, p);
}

Bytes SealAnswer(int32_t markerId, int32_t roomId, int32_t userId, uint16_t sealId,
                 uint16_t minutes) {
    Payload p(16);
    p.i32(0, markerId).i32(4, roomId).i32(8, userId).u16(12, sealId).u16(14, minutes);
    return Frame(kRoomMain, 95, p);
}

Bytes WealthAnswer(int32_t roomId, int32_t userId, int64_t money, int64_t points) {
    Payload p(24);
    p.i32(0, roomId).i32(4, userId).i64(8, money).i64(16, points);
    return Frame(kRoomMain, 62, p);
}

Bytes LuckyGiftAnswer(int32_t roomId, int32_t senderId, uint16_t giftId,
                      const std::vector<int16_t>& multipliers) {
    Payload p(12);
    p.i32(0, roomId).i32(4, senderId).u16(8, giftId);
    p.u16(10, static_cast<uint16_t>(multipliers.size()));
    for (size_t i = 0; i < multipliers.size(); ++i)
        p.u16(12 + 2 * i, static_cast<uint16_t>(multipliers[i]));
    return Frame(kRoomMain, 60, p);
}

Bytes KickedOutAnswer(int32_t roomId, int32_t actorId, int32_t userId, int32_t reason) {
    Payload p(17);
    p.i32(0, roomId).i32(4, actorId).i32(8, userId).i32(12, reason);
    return Frame(kRoomMain, 39, p);
}

Bytes MicStateAnswer(int32_t roomId, int32_t actorId, int32_t userId, uint8_t micFlags,
                     uint8_t micIndex) {
    Payload p(15);
    p.i32(0, roomId).i32(4, actorId).i32(8, userId).u8(12, micFlags).u8(13, micIndex);
    return Frame(kRoomMain, 75, p);
}

namespace {
Bytes ConnMedia(uint16_t sub, int32_t roomId, int32_t first, int32_t second, uint8_t last) {
    Payload p(13);
    p.i32(0, roomId).i32(4, first).i32(8, second).u8(12, last);
    return Frame(kRoomMain, sub, p);
}
}  // namespace

Bytes ConnMediaReqAnswer(int32_t roomId, int32_t requesterId, int32_t targetId, uint8_t op) {
    return ConnMedia(69, roomId, requesterId, targetId, op);
}
Bytes ConnMediaRespAnswer(int32_t roomId, int32_t requesterId, int32_t answeringId) {
    return ConnMedia(70, roomId, requesterId, answeringId, 1);
}
Bytes ConnMediaErrAnswer(int32_t roomId, int32_t requesterId, int32_t refusingId) {
    return ConnMedia(71, roomId, requesterId, refusingId, 1);
}

}  // namespace answers
}  // namespace testsupport

namespace testsupport {
namespace answers {

Bytes SetUserProfileAnswer(int32_t userId, int32_t result) {
    return Words(kLogonMain, 119, {userId, result});
}

Bytes SetUserPwdAnswer(uint16_t mainCmd, int32_t userId, int32_t value, int32_t result,
                       uint8_t flag, const std::string& password) {
    Payload p(30);
    p.i32(0, userId).i32(4, value).i32(8, result).u8(12, flag).text(13, password, 17);
    return Frame(mainCmd, 121, p);
}

Bytes UserExitAnswer(int32_t roomId, int32_t userId) {
    return Words(kRoomMain, 36, {userId, roomId});
}

Bytes GiftFailedAnswer(int32_t code) {
    return Words(kRoomMain, 48, {code});
}

Bytes SealFailedAnswer(int32_t roomId, int32_t userId) {
    return Words(kRoomMain, 94, {userId, roomId});
}

Bytes OpenChestAnswer(bool failed, int8_t freeOpens, int8_t box, int16_t prize) {
    Payload p(16);
    p.u8(0, failed ? 1 : 0)
        .u8(12, static_cast<uint8_t>(freeOpens))
        .u8(13, static_cast<uint8_t>(box));
    p.u16(14, static_cast<uint16_t>(prize));
    return Frame(kRoomMain, 144, p);
}

Bytes GiftAnswer(const Gift& g) {
    Payload p(84);
    p.i32(0, g.roomId).i32(4, g.giverId).i32(8, g.receiverId).i32(12, g.giftId).i32(16, g.count);
    p.u8(20, g.display).u8(22, g.anonymous).i32(24, g.value24).i32(28, g.baseCount);
    p.u8(32, static_cast<uint8_t>(g.roll));
    p.text(33, g.giver, 17).text(50, g.receiver, 17).text(67, g.third, 17);
    return Frame(kRoomMain, 49, p);
}

Bytes FireworksFailedAnswer(int32_t roomId, int32_t userId, int32_t code, int32_t value) {
    return Words(kRoomMain, 56, {roomId, userId, code, value});
}

Bytes FireworksPickedAnswer(int32_t roomId, int32_t pickerId, int32_t amount, int32_t senderId,
                            int32_t giftId) {
    Payload p(36);
    p.i32(0, roomId).i32(4, pickerId).i32(8, amount).i32(28, senderId).i32(32, giftId);
    return Frame(kRoomMain, 57, p);
}

Bytes LoudspeakerAnswer(int32_t kind, const std::string& text) {
    Payload p(4);
    p.i32(0, kind).text(4, text, text.size() + 1);
    return Frame(kRoomMain, 61, p);
}

Bytes MicFailedAnswer(int32_t roomId) {
    return Words(kRoomMain, 74, {roomId});
}

Bytes SeeUserIpAnswer(int32_t roomId, int32_t requesterId, int32_t userId,
                      const std::string& address) {
    Payload p(12);
    p.i32(0, roomId).i32(4, requesterId).i32(8, userId).text(12, address, address.size() + 1);
    return Frame(kRoomMain, 88, p);
}

Bytes ThrowUserAnswer(int32_t roomId, int32_t managerId, int32_t userId, uint8_t kind) {
    Payload p(13);
    p.i32(0, roomId).i32(4, managerId).i32(8, userId).u8(12, kind);
    return Frame(kRoomMain, 92, p);
}

Bytes UpWaitMicAnswer(uint16_t subCmd, int32_t roomId, int32_t userId) {
    return Words(kRoomMain, subCmd, {roomId, userId});
}

Bytes ResultAnswer(uint16_t subCmd, int32_t roomId, int32_t result) {
    return Words(kRoomMain, subCmd, {roomId, result});
}

Bytes WaitMicIndexAnswer(int32_t roomId, int32_t managerId, int32_t userId, int32_t position,
                         int16_t op) {
    Payload p(18);
    p.i32(0, roomId).i32(4, managerId).i32(8, userId).i32(12, position);
    p.u16(16, static_cast<uint16_t>(op));
    return Frame(kRoomMain, 108, p);
}

Bytes PasswordAnswer(int32_t userId, int32_t result, uint8_t flag, const std::string& password) {
    Payload p(14);
    p.i32(0, userId).i32(8, result).u8(12, flag).text(13, password, 17);
    return Frame(kRoomMain, 121, p);
}

Bytes MoneyFailedAnswer() {
    return Frame(kRoomMain, 128, Bytes());
}

Bytes MoneyTransferAnswer(int32_t roomId, int32_t senderId, int32_t amount) {
    return Words(kRoomMain, 129, {roomId, senderId, 0, amount});
}

Bytes WaitMicLimitsAnswer(int32_t roomId, int32_t userId, int32_t first, int32_t second) {
    return Words(kRoomMain, 132, {roomId, userId, first, second});
}

Bytes ForbidInviteAnswer(int32_t roomId, int32_t userId, int32_t state) {
    return Words(kRoomMain, 135, {roomId, userId, state});
}

Bytes SiegeAnswer(const Siege& s, uint16_t subCmd) {
    Payload p(58);
    p.i32(0, s.value0).i32(4, s.lordId).i32(8, s.ladyId).i32(12, s.value12);
    p.i32(16, s.knights).i32(20, s.captureTime);
    p.text(24, s.lordAlias, 17).text(41, s.ladyAlias, 17);
    return Frame(kRoomMain, subCmd, p);
}

}  // namespace answers
}  // namespace testsupport
