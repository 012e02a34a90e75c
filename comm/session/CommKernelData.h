// The kernel's session state: folders, code page, server tables, the current logon
// and join-room records, the local user, the gift-roll record, the chat font and the
// managers of the domain model and catalogs. The windows read and write the public
// members directly; keep their order.
#pragma once

#include <cstddef>
#include <cstdint>

#include "config/GLobalConfigFile.h"
#include "config/LogonUserData.h"
#include "config/UserEnvSetting.h"
#include "config/UserFriendMgr.h"
#include "model/UserObj.h"
#include "services/PropsFlashPlayTaskMgr.h"
#include "win32/win32.h"

class CUserManager;
class CRoomManager;
class CRoomGroupManager;
class CUserMVManager;
class CUserLevelInfoManager;
class CGiftManager;
class CSealManager;
class CUserLogonManager;
class CCaitiaoManager;
class CFaceManager;
class CMyWaveInCtrl;

#pragma pack(push, 1)

// The room being joined; filled by the lobby before the join request.
struct tag_JoinRoomUserData {
    int32_t nReserved;  // not used by the library
    int32_t nRoomId;
    int32_t nValue2;
    char szPassword[20];  // room password, at most 16 characters
};

// One entry of a server table.
struct tag_ServerAddr {
    char szHost[32];
    uint16_t wPort;
};

#pragma pack(pop)

static_assert(sizeof(tag_JoinRoomUserData) == 32, "the join-room record is 32 bytes");
static_assert(sizeof(tag_ServerAddr) == 34, "a server table entry is 34 bytes");

// The last gift given in any room, as the gift-roll line shows it.
struct tag_GiftRollInfo {
    int32_t nRoomId;
    int32_t nGiverId;
    int32_t nReceiverId;
    int32_t nGiftId;
    int32_t nCount;
    uint8_t bAnonymous;
    uint8_t reserved1[3];
    int32_t nValue24;
    char szGiverAlias[17];
    char szReceiverAlias[17];
    char szThirdName[17];
    char reserved2[25];
};
static_assert(sizeof(tag_GiftRollInfo) == 104, "the gift-roll record is 104 bytes");

// Entries per server table.
constexpr int kServerTableSize = 4;
// Characters of the program folder and file name.
constexpr int kModulePathChars = 256;
// Characters of the chat font name.
constexpr int kChatFontNameChars = 64;

// Environment variable naming the host whose address tells the network type; the
// deployment sets it (no lookup is made without it).
#define MIVORA_NET_PROBE_ENV "MIVORA_NET_PROBE_HOST"

class CCommKernelData {
public:
    CCommKernelData();
    virtual ~CCommKernelData();
    CCommKernelData(const CCommKernelData&) = delete;
    CCommKernelData& operator=(const CCommKernelData&) = delete;

    // Once, after the kernel's own init: folders, managers, tables, code page.
    void init();
    // 1 when the file was read and the logon and lobby tables were filled; 0 when it
    // could not be read (the tables are then left as they were).
    int LoadGlobalConf(wchar_t* path);
    // "host:port;host:port" (up to four) into the room-gate table.
    void SetRoomGateAddr(char* text);
    // Sets the user environment's network-type flag.
    void CheckSysNetType();

    int GetCodePage() { return m_nCodePage; }
    tag_LogonUserData* GetCurLogonUserData() { return &m_CurLogonUserData; }
    tag_JoinRoomUserData* GetCurJoinRoomUserData() { return &m_CurJoinRoomUserData; }
    CUserObj* GetLocalUser() { return &m_LocalUser; }

    // Image name of the level description (kind, level); null when there is none or
    // it has no image.
    wchar_t* GetLevelImgName(int kind, int level);
    // Sort id of the level description; 0 when there is none.
    int GetLevelSortId(int kind, int level);

    // Section "font" of "userenv.ini" in the program folder. Load: 1 when the file
    // exists (the members are read), 0 otherwise (nothing changes).
    int LoadChatFont();
    void SaveChatFont();
    void SetRichEdtFont(const wchar_t* name, int size, bool bold, bool underline, bool italic);
    void SetRichEdtTextColor(unsigned long colour);

    // Releases what init made; run by the destructor.
    void uninit();

    int32_t m_nCodePage;
    int32_t m_nLogonWord;  // sent with the logon request; the library never sets it
    int32_t m_nVersionWord;
    int32_t m_nLogonWord2;
    wchar_t m_szAppPath[kModulePathChars];  // program folder, no trailing backslash
    wchar_t m_szAppName[kModulePathChars];  // program file name
    int32_t m_nCurRoomId;
    tag_LogonUserData m_CurLogonUserData;
    tag_JoinRoomUserData m_CurJoinRoomUserData;
    tag_GiftRollInfo m_GiftRollInfo;
    CUserObj m_LocalUser;
    CUserManager* m_pUserManager;
    CRoomManager* m_pRoomManager;
    CRoomGroupManager* m_pRoomGroupManager;
    CUserMVManager* m_pUserMVManager;
    CUserLevelInfoManager* m_pUserLevelInfoManager;
    CGiftManager* m_pGiftManager;
    CSealManager* m_pSealManager;
    CUserLogonManager* m_pUserLogonMgr;
    CCaitiaoManager* m_pCaitiaoManager;
    CFaceManager* m_pFaceManager;
    CMyWaveInCtrl* m_pWaveInCtrl;
    // Four entries each: logon servers, lobby servers, room gates.
    tag_ServerAddr* m_pLogonSvrTable;
    tag_ServerAddr* m_pLobbySvrTable;
    tag_ServerAddr* m_pRoomGateTable;
    CGLobalConfigFile m_GlobalConfig;
    wchar_t m_szFontName[kChatFontNameChars];
    COLORREF m_crTextColor;
    int32_t m_nFontSize;
    uint8_t m_bBold;
    uint8_t m_bUnderline;
    uint8_t m_bItalic;
    CUserEnvSetting m_UserEnv;
    CPropsFlashPlayTaskMgr m_PropsTaskMgr;
    CUserFriendMgr m_FriendMgr;

private:
    void ResetChatFont();
    // The path of "userenv.ini" in the program folder.
    void ChatFontFile(wchar_t* out, size_t count) const;
};

// Fills `table` (four entries) from "host:port;host:port...": only a piece of exactly
// a host and a port fills its entry; every other entry stays zero.
void FillServerTable(tag_ServerAddr* table, const char* text);
