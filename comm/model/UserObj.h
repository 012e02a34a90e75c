// One user as the client knows him: the local user after logon, or a member of the
// current room. Windows read the members directly; keep their order and widths.
#pragma once

#include <cstdint>
#include <map>
#include <string>

class CRoomObj;

// `flags` bits.
constexpr uint32_t USER_FLAG_PUBLIC_MIC = 0x1;
constexpr uint32_t USER_FLAG_VIP_MIC = 0x2;
constexpr uint32_t USER_FLAG_SECRET_MIC = 0x4;
constexpr uint32_t USER_FLAG_OTHER_MIC = 0x10;
constexpr uint32_t USER_FLAG_TEMP_MANAGER = 0x20;
constexpr uint32_t USER_FLAG_CASTLE_LORD = 0x2000;
constexpr uint32_t USER_FLAG_CASTLE_LADY = 0x4000;

// `micIndex` when the user holds no public microphone.
constexpr uint8_t USER_NO_PUBLIC_MIC = 255;

// `GetRoomMgrLevel` values the program names.
constexpr int ROOM_MGR_OWNER = 1;
constexpr int ROOM_MGR_DEPUTY_OWNER = 2;
constexpr int ROOM_MGR_MANAGER = 3;
constexpr int ROOM_MGR_TEMP_MANAGER = 4;

class CUserObj {
public:
    CUserObj();
    virtual ~CUserObj();

    // 1 owner, 2 deputy owner, 3 regular manager, 4 temporary manager, or a stored
    // special level (5, 7, 8, 9, 11, 12); 0 otherwise.
    int GetRoomMgrLevel();
    // 1 for the anchor levels 21 to 27.
    int IsZhubo();
    // Empties the two count maps; everything else stays.
    void ClearData();
    int GetGiftCount(int giftId);

    int64_t money;
    int64_t points;
    int32_t accountData[2];
    CRoomObj* room;  // not owned
    int32_t userId;
    int32_t logonValue1;
    int32_t logonValue2;
    int32_t logonValue3;
    int32_t entryValue23;
    uint8_t sex;
    uint8_t reserved;
    uint8_t micIndex;
    uint8_t entryFlag0;
    int32_t faceId;
    int32_t levels[8];  // one byte each; levels[0] is the user level
    int32_t roomMgrLevel;
    uint32_t flags;
    int32_t entryValue47;
    int32_t entryValue51;
    int32_t sealId;
    int32_t sealExpiry;  // seconds since 1970
    bool chatBanned;
    bool forbidCarryToMic;
    uint32_t entranceEffects;
    int32_t entryValue43;
    std::string text1;
    std::string alias;     // ANSI code page
    std::string password;  // local user: the current logon record's password
    std::map<int32_t, int32_t> giftCounts;
    std::map<int32_t, int32_t> extraCounts;
};
