// Request records that the windows fill and the kernel frames. They are packed:
// their bytes are the payload bytes on the wire (little-endian machine).
#pragma once

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)

struct tag_CMDUserKickoutRoomInfo {
    int32_t roomId;
    int32_t actorId;
    int32_t userId;
    int32_t reserved;
    uint8_t kind;
};

struct tag_CMDUserMicState {
    int32_t roomId;
    int32_t actorId;
    int32_t targetId;
    int16_t kind;
    uint8_t micIndex;
};

struct tag_CMDTradeGiftRecord {
    int32_t roomId;
    int32_t senderId;
    int32_t targetId;
    int32_t giftId;
    int32_t count;
    uint8_t flag0;
    uint8_t flag1;
    uint8_t anonymous;
    uint8_t flag3;
    uint8_t reserved[9];
    char senderAlias[17];
    char targetAlias[17];
    char words[40];
};

constexpr int kRoomChatHeadSize = 67;
constexpr int kRoomChatMaxText = 947;  // the frame is built in 1024 bytes

// The head is 67 bytes; `textLen` bytes of `text` follow it on the wire. The whole
// record is the 1024-byte buffer the windows fill.
struct tag_CMDRoomChatMsg {
    int32_t roomId;
    int32_t senderId;
    int32_t targetId;
    uint8_t senderLevel;
    uint8_t kind;
    uint16_t textLen;
    char senderAlias[17];
    char targetAlias[17];
    char roomName[17];
    char text[1024 - kRoomChatHeadSize];
};

struct tag_CMDSetRoomOPStatusReq {
    int32_t roomId;
    int32_t userId;
    uint32_t statusFlags;
};

struct tag_CMDSetRoomInfoReq {
    int32_t roomId;
    int32_t userId;
    int32_t creatorId;
    int32_t deputyOwnerIds[4];
    int32_t passwordFlag;
    char roomName[32];
    char password[17];
};

constexpr int kRoomNoticeHeadSize = 11;
constexpr int kRoomNoticeMaxText = 4075;  // the frame is built in 4096 bytes

// The head is 11 bytes; `textLen` bytes of `text` follow it on the wire.
struct tag_CMDSetRoomNoticeReq {
    int32_t roomId;
    int32_t userId;
    uint8_t kind;
    uint16_t textLen;
    char text[4096 - kRoomNoticeHeadSize];
};

struct tag_CMDChangePubMicStateReq {
    int32_t roomId;
    int32_t userId;
    uint8_t micIndex;
    uint8_t operation;
    int16_t value;
};

struct tag_CMDOperateWaitMic {
    int32_t roomId;
    int32_t userId;
    int32_t targetId;
    int32_t position;
    int16_t operation;
};

// A sanction (black list) request. The room menu's commands fill only the ids and
// the scope; the sanction dialog fills all of it.
struct tag_CMDThrowUserInfo {
    int32_t roomId;
    int32_t userId;     // the local user, who asks
    int32_t targetId;   // the sanctioned user
    uint8_t scope;      // 1 this room, 2 every room
    uint8_t sanctions;  // THROW_* bits
    uint8_t period;     // 1..8 the dialog's periods in order, 0 for ever
    uint8_t reason;     // 1 or 2, the dialog's reasons in order
    uint8_t reserved[60];
};

constexpr uint8_t THROW_SCOPE_ROOM = 1;
constexpr uint8_t THROW_SCOPE_ALL_ROOMS = 2;
constexpr uint8_t THROW_FORBID_CHAT = 0x01;
constexpr uint8_t THROW_KICK_OUT = 0x02;
constexpr uint8_t THROW_FREEZE_ACCOUNT = 0x04;
constexpr uint8_t THROW_FREEZE_PC = 0x08;
constexpr uint8_t THROW_PERIOD_FOREVER = 0;

struct tag_CMDUserPriority {
    int32_t roomId;
    int32_t userId;
    int32_t targetId;
    uint8_t operation;
    uint8_t kind;
};

struct tag_CMDFavoriteRoomReq {
    int32_t roomId;
    int32_t userId;
};

struct tag_CMDUserAliasState {
    int32_t roomId;
    int32_t userId;
    int32_t faceId;
    char alias[17];
};

struct tag_CMDMoneyAndPointOp {
    int32_t roomId;
    int32_t userId;
    int32_t targetId;
    int32_t amount;
    uint8_t operation;
};

struct tag_CMDRoomMediaInfo {
    int32_t roomId;
    int32_t userId;
    char mediaAddr[128];
};

// The alias and the passwords hold at most 16 bytes and a terminator; the rest of
// the 43 bytes travels as zeros.
struct tag_CMDSetUserProfileReq {
    int32_t userId;
    int32_t faceId;
    uint8_t sex;
    char alias[17];
    uint8_t reserved[17];
};

struct tag_CMDSetUserPwdReq {
    int32_t userId;
    uint8_t kind;
    char oldPassword[17];
    char newPassword[17];
    uint8_t reserved[4];
};

struct tag_CMDSetRoomWaitMicMaxNumLimit {
    int32_t roomId;
    int32_t userId;
    int32_t limits[2];
};

#pragma pack(pop)

static_assert(sizeof(tag_CMDUserKickoutRoomInfo) == 17, "wire size");
static_assert(sizeof(tag_CMDUserMicState) == 15, "wire size");
static_assert(sizeof(tag_CMDTradeGiftRecord) == 107, "wire size");
static_assert(sizeof(tag_CMDRoomChatMsg) == 1024, "the windows' chat buffer");
static_assert(offsetof(tag_CMDRoomChatMsg, textLen) == 14, "wire layout");
static_assert(offsetof(tag_CMDRoomChatMsg, text) == kRoomChatHeadSize, "wire layout");
static_assert(sizeof(tag_CMDSetRoomOPStatusReq) == 12, "wire size");
static_assert(sizeof(tag_CMDSetRoomInfoReq) == 81, "wire size");
static_assert(offsetof(tag_CMDSetRoomNoticeReq, textLen) == 9, "wire layout");
static_assert(offsetof(tag_CMDSetRoomNoticeReq, text) == kRoomNoticeHeadSize, "wire layout");
static_assert(sizeof(tag_CMDChangePubMicStateReq) == 12, "wire size");
static_assert(sizeof(tag_CMDOperateWaitMic) == 18, "wire size");
static_assert(sizeof(tag_CMDThrowUserInfo) == 76, "wire size");
static_assert(sizeof(tag_CMDUserPriority) == 14, "wire size");
static_assert(sizeof(tag_CMDFavoriteRoomReq) == 8, "wire size");
static_assert(sizeof(tag_CMDUserAliasState) == 29, "wire size");
static_assert(sizeof(tag_CMDMoneyAndPointOp) == 17, "wire size");
static_assert(sizeof(tag_CMDRoomMediaInfo) == 136, "wire size");
static_assert(sizeof(tag_CMDSetUserProfileReq) == 43, "wire size");
static_assert(sizeof(tag_CMDSetUserPwdReq) == 43, "wire size");
static_assert(offsetof(tag_CMDSetUserProfileReq, alias) == 9, "wire layout");
static_assert(offsetof(tag_CMDSetUserPwdReq, newPassword) == 22, "wire layout");
static_assert(sizeof(tag_CMDSetRoomWaitMicMaxNumLimit) == 16, "wire size");
