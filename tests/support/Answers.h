// The answers a stand-in logon, lobby or room server sends, written from the wire
// layouts field by field with no code of the client's decoder, so that a layout
// mistake on one side shows on the other. Every function returns a whole frame
// (length word, 10, 0, main command, sub command, payload).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

using Bytes = std::vector<uint8_t>;

namespace answers {

constexpr uint16_t kLogonMain = 103;
constexpr uint16_t kRoomMain = 105;

// A zero-filled payload written at fixed offsets, little-endian.
class Payload {
public:
    explicit Payload(size_t size = 0) : m_bytes(size, 0) {}
    Payload& u8(size_t at, uint8_t v);
    Payload& u16(size_t at, uint16_t v);
    Payload& i32(size_t at, int32_t v);
    Payload& i64(size_t at, int64_t v);
    // The text's bytes at `at`, cut to `width` bytes (the field may end unterminated
    // when the text fills it); grows the payload when needed.
    Payload& text(size_t at, const std::string& s, size_t width);
    Payload& raw(size_t at, const void* bytes, size_t n);
    Payload& resize(size_t size);
    const Bytes& bytes() const { return m_bytes; }
    size_t size() const { return m_bytes.size(); }

private:
    void fit(size_t end);
    Bytes m_bytes;
};

// A frame around a payload.
Bytes Frame(uint16_t mainCmd, uint16_t subCmd, const Bytes& payload);
inline Bytes Frame(uint16_t mainCmd, uint16_t subCmd, const Payload& payload) {
    return Frame(mainCmd, subCmd, payload.bytes());
}
// A frame of int32 words (the many answers that carry ids and results only).
Bytes Words(uint16_t mainCmd, uint16_t subCmd, std::initializer_list<int32_t> words);
// The same frame cut by `drop` payload bytes (its length word matching the cut).
Bytes Shortened(const Bytes& frame, size_t drop);

// 103/5, 80-byte payload.
struct LogonOk {
    int64_t money = 0;
    int64_t points = 0;
    int32_t accountData[2] = {0, 0};
    int32_t userId = 0;
    int32_t logonValue1 = 0;
    int32_t logonValue3 = 0;
    int32_t logonWord2 = 0;
    int32_t versionWord = 0;
    int32_t faceId = 0;
    uint8_t levels[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    uint8_t sex = 0;
    uint8_t logonValue2 = 0;
    uint8_t entryFlag0 = 0;
    std::string alias;
};
Bytes LogonOkAnswer(const LogonOk& a);
// 103/4: reason code and two further words.
Bytes LogonFailedAnswer(int32_t reason, int32_t second, int32_t third);

// 103/7: count, then 10-byte entries.
struct Privilege {
    uint8_t id;
    uint8_t kind;
    int32_t a;
    int32_t b;
};
Bytes PrivilegeListAnswer(const std::vector<Privilege>& entries);

// 103/17 and 103/9.
struct RoomGroup {
    int32_t groupId = 0;
    int32_t parentId = 0;
    int32_t userNum = 0;
    uint8_t showCount = 0;
    uint8_t extraFlag = 0;
    std::string name;     // 17-byte field at 20
    std::string address;  // from 37 to the end
};
Bytes RoomGroupAnswer(const RoomGroup& g);
Bytes RoomGroupListEndAnswer();

// 105/27, 291 bytes.
struct JoinRoom {
    int32_t userId = 0;
    int32_t roomId = 0;
    uint8_t baseInfoC = 0;
    uint8_t baseFlag = 0;
    uint16_t baseInfoD = 0;
    int32_t baseInfoB = 0;
    int32_t roomFlags = 0;
    int32_t ownerId = 0;
    int32_t deputyOwnerIds[4] = {0, 0, 0, 0};
    int64_t money = 0;
    int64_t points = 0;
    std::string roomName;  // 32 bytes at 56
    std::string mediaUrl;  // 128 bytes at 88
    std::string joinText;  // 17 bytes at 216
    int32_t siegeLordId = 0;
    int32_t siegeLadyId = 0;
    std::string siegeLordAlias;
    std::string siegeLadyAlias;
};
Bytes JoinRoomAnswer(const JoinRoom& j);

// The 84-byte user entry of 105/30 and 105/32.
struct UserEntry {
    int32_t userId = 0;
    int32_t roomId = 0;
    uint8_t levels[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    uint8_t entryFlag0 = 0;
    uint8_t sex = 0;
    uint8_t micIndex = 255;
    uint8_t roomMgrLevel = 0;
    int32_t sealId = 0;
    int32_t entryValue23 = 0;
    int32_t faceId = 0;
    int32_t sealExpiry = 0;
    int32_t flags = 0;
    int32_t entranceEffects = 0;
    int32_t entryValue43 = 0;
    int32_t entryValue47 = 0;
    int32_t entryValue51 = 0;
    int32_t forbidCarryToMic = 0;
    std::string alias;  // 17 bytes at 67
};
Payload UserEntryPayload(const UserEntry& u);
Bytes UserListAnswer(const std::vector<UserEntry>& users);
Bytes UserEnterAnswer(const UserEntry& u);
Bytes UserListEndAnswer();

// 105/33: count, then 10-byte entries.
struct MicEntry {
    uint16_t index;
    uint16_t micType;
    int32_t userId;
    uint16_t micTime;
};
Bytes PublicMicsAnswer(const std::vector<MicEntry>& mics);
// 105/42: count, then user ids.
Bytes WaitMicListAnswer(const std::vector<int32_t>& ids);
// 105/102.
Bytes PublicMicChangedAnswer(int32_t roomId, int32_t managerId, uint8_t index, uint8_t op,
                             uint16_t micType, int32_t userId, uint16_t micTime);

// 105/45: the 67-byte chat head, then the text with its NUL (length word = bytes + 1).
struct ChatLine {
    int32_t roomId = 0;
    int32_t senderId = 0;
    int32_t targetId = 0;
    uint8_t senderLevel = 0;
    uint8_t kind = 0;
    std::string senderAlias;  // 17 bytes at 16
    std::string targetAlias;  // 17 bytes at 33
    std::string roomName;     // 17 bytes at 50
    std::string text;         // at 67
};
Bytes ChatLineAnswer(const ChatLine& c);

// 105/67: room id, index byte, u16 length, the text (with its NUL).
Bytes RoomTextAnswer(int32_t roomId, uint8_t index, const std::string& text);
// 105/66: room id, an int32, the address list text.
Bytes RoomMediaAnswer(int32_t roomId, const std::string& list);
// 105/63.
struct RoomBaseInfo {
    int32_t roomId = 0;
    int32_t baseInfoB = 0;
    uint8_t baseInfoA = 0;
    uint8_t baseFlag = 0;
    uint16_t baseInfoD = 0;
    int32_t ownerId = 0;
    int32_t deputyOwnerIds[4] = {0, 0, 0, 0};
    int32_t roomFlags = 0;
    std::string roomName;  // 32 bytes at 36
    std::string joinText;  // 17 bytes at 68
};
Bytes RoomBaseInfoAnswer(const RoomBaseInfo& r);
// 105/83: room, user, face, 17-byte alias.
Bytes UserAliasAnswer(int32_t roomId, int32_t userId, int32_t faceId, const std::string& alias);
// 105/86: room, actor, user, operation, kind.
Bytes UserPriorityAnswer(int32_t roomId, int32_t actorId, int32_t userId, uint8_t op, uint8_t kind);
// 105/41: gift roll.
Bytes GiftRollAnswer(int32_t roomId, int32_t giverId, int32_t receiverId, int32_t giftId,
                     int32_t count, uint8_t anonymous, int32_t value24, const std::string& giver,
                     const std::string& receiver, const std::string& third);
// 105/55: room, buyer, delay, u16 item, u16 value.
Bytes FireworksBoughtAnswer(int32_t roomId, int32_t userId, int32_t delay, uint16_t itemId,
                            uint16_t value);
// 105/95: marking user, room, marked user, u16 seal, u16 minutes.
Bytes SealAnswer(int32_t markerId, int32_t roomId, int32_t userId, uint16_t sealId,
                 uint16_t minutes);
// 105/62: room, user, money, points.
Bytes WealthAnswer(int32_t roomId, int32_t userId, int64_t money, int64_t points);
// 105/60: room, sender, u16 gift, u16 count, count int16 multipliers.
Bytes LuckyGiftAnswer(int32_t roomId, int32_t senderId, uint16_t giftId,
                      const std::vector<int16_t>& multipliers);
// 103/119: user id, result.
Bytes SetUserProfileAnswer(int32_t userId, int32_t result);
// 103/121 or 105/121 (main command given): user id, an int32, result, flag byte, the new
// password in a 17-byte field.
Bytes SetUserPwdAnswer(uint16_t mainCmd, int32_t userId, int32_t value, int32_t result,
                       uint8_t flag, const std::string& password);
// 105/39: room, actor, user, reason, a byte.
Bytes KickedOutAnswer(int32_t roomId, int32_t actorId, int32_t userId, int32_t reason);
// 105/75: room, actor, target, new microphone flags byte, microphone index byte (15 bytes).
Bytes MicStateAnswer(int32_t roomId, int32_t actorId, int32_t userId, uint8_t micFlags,
                     uint8_t micIndex);
// 105/69, 105/70, 105/71 as the room server relays them (13 bytes): room, then two user ids
// (69: requester, target; 70: requester, answering user; 71: requester, refusing user),
// then the operation byte (69) or 1.
Bytes ConnMediaReqAnswer(int32_t roomId, int32_t requesterId, int32_t targetId, uint8_t op);
Bytes ConnMediaRespAnswer(int32_t roomId, int32_t requesterId, int32_t answeringId);
Bytes ConnMediaErrAnswer(int32_t roomId, int32_t requesterId, int32_t refusingId);

// 105/36: user, room.
Bytes UserExitAnswer(int32_t roomId, int32_t userId);
// 105/48: the failure code.
Bytes GiftFailedAnswer(int32_t code);
// 105/94: a seal the server refused (user, room).
Bytes SealFailedAnswer(int32_t roomId, int32_t userId);
// 105/144: a treasure box opened: failure byte, free opens left (12), box index (13),
// prize index (14, 16 bits).
Bytes OpenChestAnswer(bool failed, int8_t freeOpens, int8_t box, int16_t prize);
// 105/49: the gift record the server relays (84 bytes).
struct Gift {
    int32_t roomId = 0;
    int32_t giverId = 0;
    int32_t receiverId = 0;
    int32_t giftId = 0;
    int32_t count = 0;
    uint8_t display = 2;  // 2: shown in the chat
    uint8_t anonymous = 0;
    int32_t value24 = 0;
    int32_t baseCount = 0;  // at 28
    int8_t roll = 0;        // not negative: the gift roll changes
    std::string giver;      // 17 bytes at 33
    std::string receiver;   // 17 bytes at 50
    std::string third;      // 17 bytes at 67
};
Bytes GiftAnswer(const Gift& g);
// 105/56: room, buyer, failure code, value.
Bytes FireworksFailedAnswer(int32_t roomId, int32_t userId, int32_t code, int32_t value);
// 105/57: room, picker, amount at 8, sender at 28, fireworks gift id at 32 (36 bytes).
Bytes FireworksPickedAnswer(int32_t roomId, int32_t pickerId, int32_t amount, int32_t senderId,
                            int32_t giftId);
// 105/61: kind, then the text with its NUL.
Bytes LoudspeakerAnswer(int32_t kind, const std::string& text);
// 105/74: room.
Bytes MicFailedAnswer(int32_t roomId);
// 105/88: room, requester, user, then the address text with its NUL.
Bytes SeeUserIpAnswer(int32_t roomId, int32_t requesterId, int32_t userId,
                      const std::string& address);
// 105/92: room, manager, user, ban kind byte (13 bytes).
Bytes ThrowUserAnswer(int32_t roomId, int32_t managerId, int32_t userId, uint8_t kind);
// 105/104 and 105/105: room, user.
Bytes UpWaitMicAnswer(uint16_t subCmd, int32_t roomId, int32_t userId);
// 105/107, 113, 115, 117: room, result.
Bytes ResultAnswer(uint16_t subCmd, int32_t roomId, int32_t result);
// 105/108: room, manager, user, queue position, int16 operation (18 bytes).
Bytes WaitMicIndexAnswer(int32_t roomId, int32_t managerId, int32_t userId, int32_t position,
                         int16_t op);
// 105/121: user, an int, result, flag byte, the new password (cut at 16).
Bytes PasswordAnswer(int32_t userId, int32_t result, uint8_t flag, const std::string& password);
// 105/128: no payload.
Bytes MoneyFailedAnswer();
// 105/129: room, sender, an int, amount.
Bytes MoneyTransferAnswer(int32_t roomId, int32_t senderId, int32_t amount);
// 105/132: room, changing user, the two limits.
Bytes WaitMicLimitsAnswer(int32_t roomId, int32_t userId, int32_t first, int32_t second);
// 105/135: room, user, new state.
Bytes ForbidInviteAnswer(int32_t roomId, int32_t userId, int32_t state);
// 105/137 (or 138): the 58-byte siege block.
struct Siege {
    int32_t value0 = 0;
    int32_t lordId = 0;
    int32_t ladyId = 0;
    int32_t value12 = 0;
    int32_t knights = 0;
    int32_t captureTime = 0;
    std::string lordAlias;  // 17 bytes at 24
    std::string ladyAlias;  // 17 bytes at 41
};
Bytes SiegeAnswer(const Siege& s, uint16_t subCmd = 137);

}  // namespace answers
}  // namespace testsupport
