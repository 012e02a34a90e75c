#include "session/CommKernelData.h"

#include <cstring>

#include "config/UserLogonManager.h"
#include "model/RoomManager.h"

CCommKernelData::CCommKernelData()
    : m_nLogonWord(0),
      m_nCurRoomId(0),
      m_CurLogonUserData{},
      m_CurJoinRoomUserData{},
      m_pRoomManager(nullptr),
      m_pUserLogonMgr(nullptr),
      m_pLogonSvrTable(nullptr),
      m_pLobbySvrTable(nullptr),
      m_pRoomGateTable(nullptr) {}

CCommKernelData::~CCommKernelData() {
    delete[] m_pLogonSvrTable;
    delete[] m_pLobbySvrTable;
    delete[] m_pRoomGateTable;
    delete m_pUserLogonMgr;
    delete m_pRoomManager;
}

void CCommKernelData::init() {
    std::memset(&m_CurLogonUserData, 0, sizeof m_CurLogonUserData);
    std::memset(&m_CurJoinRoomUserData, 0, sizeof m_CurJoinRoomUserData);
    if (!m_pRoomManager) m_pRoomManager = new CRoomManager();
    if (!m_pUserLogonMgr) m_pUserLogonMgr = new CUserLogonManager();
    if (!m_pLogonSvrTable) m_pLogonSvrTable = new tag_ServerAddr[kServerTableSize]();
    if (!m_pLobbySvrTable) m_pLobbySvrTable = new tag_ServerAddr[kServerTableSize]();
    if (!m_pRoomGateTable) m_pRoomGateTable = new tag_ServerAddr[kServerTableSize]();
}
