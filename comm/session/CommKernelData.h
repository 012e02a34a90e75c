// The kernel's session state: what the requests and the connections read. The
// windows read and write the public members directly.
#pragma once

#include <cstddef>
#include <cstdint>

#include "config/LogonUserData.h"
#include "model/UserObj.h"

class CRoomManager;
class CUserLogonManager;

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

// Entries per server table.
constexpr int kServerTableSize = 4;

class CCommKernelData {
public:
    CCommKernelData();
    virtual ~CCommKernelData();
    CCommKernelData(const CCommKernelData&) = delete;
    CCommKernelData& operator=(const CCommKernelData&) = delete;

    // Creates the managers and the server tables.
    void init();

    tag_LogonUserData* GetCurLogonUserData() { return &m_CurLogonUserData; }
    tag_JoinRoomUserData* GetCurJoinRoomUserData() { return &m_CurJoinRoomUserData; }
    CUserObj* GetLocalUser() { return &m_LocalUser; }

    int32_t m_nLogonWord;  // sent with the logon request; the library never sets it
    int32_t m_nCurRoomId;
    tag_LogonUserData m_CurLogonUserData;
    tag_JoinRoomUserData m_CurJoinRoomUserData;
    CUserObj m_LocalUser;
    CRoomManager* m_pRoomManager;
    CUserLogonManager* m_pUserLogonMgr;
    // Four entries each: logon servers, lobby servers, room gates.
    tag_ServerAddr* m_pLogonSvrTable;
    tag_ServerAddr* m_pLobbySvrTable;
    tag_ServerAddr* m_pRoomGateTable;
};
