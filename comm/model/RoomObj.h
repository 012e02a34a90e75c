// One chat room as the client knows it. The dispatch fills it from the room server's
// answers; windows read the members directly. Keep their order and widths.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <list>
#include <map>
#include <string>
#include <vector>

#include "model/FixedText.h"

class CUserObj;

// `roomFlags` bits.
constexpr uint32_t ROOM_FLAG_PUBLIC_CHAT_CLOSED = 0x1;
constexpr uint32_t ROOM_FLAG_PRIVATE_CHAT_CLOSED = 0x2;
constexpr uint32_t ROOM_FLAG_PUBLIC_MICS_CLOSED = 0x10;
constexpr uint32_t ROOM_FLAG_PRIVATE_MICS_CLOSED = 0x20;
constexpr uint32_t ROOM_FLAG_WAIT_MIC_OPEN = 0x80;

constexpr int ROOM_PUBLIC_MIC_COUNT = 10;
constexpr int ROOM_MEDIA_ENTRY_COUNT = 4;
constexpr int ROOM_TEXT_COUNT = 4;
constexpr int ROOM_DEPUTY_OWNER_COUNT = 4;

// One public microphone.
struct tag_PubMicInfo {
    int32_t userId;  // 0 = free
    int16_t micTime;
    int16_t micType;
    int32_t startTime;  // seconds since 1970, the client's clock when last written
};

#pragma pack(push, 1)
// A bought fireworks item waiting to be played: the first 16 bytes of the answer,
// with the play time already turned into seconds since 1970.
struct tag_FireworksRecord {
    int32_t roomId;
    int32_t userId;
    int32_t playTime;
    uint16_t itemId;
    uint16_t value;
};
static_assert(sizeof(tag_FireworksRecord) == 16, "fireworks record is 16 bytes on the wire");

// The castle-siege block as the room server sends it.
struct tag_SiegeInfo {
    int32_t value0;
    int32_t lordId;
    int32_t ladyId;
    int32_t value12;
    int32_t knights;
    int32_t captureTime;  // seconds since 1970
    char lordAlias[17];
    char ladyAlias[17];
};
static_assert(sizeof(tag_SiegeInfo) == 58, "siege block is 58 bytes on the wire");
#pragma pack(pop)

// Copies a received siege block (a shorter one is zero-filled) and terminates both
// aliases, which the server may fill to the last byte.
inline void StoreSiegeBlock(tag_SiegeInfo* dst, const void* src, size_t size) {
    if (!dst) return;
    std::memset(dst, 0, sizeof *dst);
    if (src) std::memcpy(dst, src, size < sizeof *dst ? size : sizeof *dst);
    TerminateFixedField(dst->lordAlias, sizeof dst->lordAlias);
    TerminateFixedField(dst->ladyAlias, sizeof dst->ladyAlias);
}

class CRoomObj {
public:
    CRoomObj();
    virtual ~CRoomObj();

    std::map<int, CUserObj*>* GetUsers() { return &users; }
    std::vector<int>* GetWaitMicUserIds() { return &waitMicIds; }
    int GetWaitMicCount() { return static_cast<int>(waitMicIds.size()); }

    bool IsRoomFangzhu(int id);
    bool IsRoomFuFangzhu(int id);

    CUserObj* FindUser(int id);
    void AddUser(CUserObj* user);  // borrowed, stored under its userId
    void RemoveUser(int id);       // drops the pointer only

    // Readies the object for a new join: members, queue, microphones and ports go.
    void ClearData();
    void ClearPaiMicData();
    // Numbers repeated gift lines: -1 when the user is not in the room.
    int GetUserGiftCount(int userId, int giftId, int base);
    // Fills mediaHosts and mediaPorts from mediaUrl ("host:port;host:port...").
    void ParseMediaUrl();

    int32_t roomId;
    int32_t baseInfoA;
    int32_t baseInfoB;
    int16_t baseInfoC;
    int16_t reserved;
    int16_t baseInfoD;
    int16_t baseInfoE;  // zeroed on join
    int32_t ownerId;
    int32_t deputyOwnerIds[ROOM_DEPUTY_OWNER_COUNT];
    tag_PubMicInfo pubMics[ROOM_PUBLIC_MIC_COUNT];
    uint32_t roomFlags;
    bool userListReady;
    std::string roomName;
    std::string mediaUrl;
    std::string roomTexts[ROOM_TEXT_COUNT];
    std::string mediaHosts[ROOM_MEDIA_ENTRY_COUNT];
    int32_t mediaPorts[ROOM_MEDIA_ENTRY_COUNT];
    std::map<int, CUserObj*> users;  // borrowed from CUserManager
    std::vector<int> waitMicIds;     // queue order
    std::string joinText;
    bool baseFlag;
    int32_t waitMicLimits[2];
    std::list<tag_FireworksRecord> fireworks;  // arrival order
    tag_SiegeInfo siege;

private:
    void SplitString(const char* text, char sep, std::vector<std::string>& out);
};
