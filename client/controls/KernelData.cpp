#include "controls/KernelData.h"

#include <cwchar>

#include "kernel/CommKernel.h"
#include "model/RoomManager.h"
#include "model/UserMVManager.h"
#include "model/UserManager.h"
#include "model/UserObj.h"
#include "session/CommKernelData.h"

CCommKernelData* KernelData() {
    CCommKernel* kernel = CCommKernel::GetInstance();
    return kernel ? kernel->m_pData : nullptr;
}

UINT KernelCodePage() {
    CCommKernelData* data = KernelData();
    return data ? static_cast<UINT>(data->GetCodePage()) : CP_ACP;
}

int LocalUserId() {
    CCommKernelData* data = KernelData();
    return data ? data->GetLocalUser()->userId : 0;
}

int CurrentRoomId() {
    CCommKernelData* data = KernelData();
    return data ? data->m_nCurRoomId : 0;
}

bool LocalUserAllowed(short privilege) {
    CCommKernelData* data = KernelData();
    return data && data->m_pUserMVManager &&
           data->m_pUserMVManager->CheckPrivilege(privilege, data->GetLocalUser());
}

CUserObj* KnownUser(int userId) {
    CCommKernelData* data = KernelData();
    return data && data->m_pUserManager ? data->m_pUserManager->FindUser(userId) : nullptr;
}

CRoomObj* KnownRoom(int roomId) {
    CCommKernelData* data = KernelData();
    return data && data->m_pRoomManager ? data->m_pRoomManager->FindRoom(roomId) : nullptr;
}

CRoomObj* CurrentRoom() {
    return KnownRoom(CurrentRoomId());
}

CUserEnvSetting* UserEnv() {
    CCommKernelData* data = KernelData();
    return data ? &data->m_UserEnv : nullptr;
}

std::wstring ProgramFolder() {
    CCommKernelData* data = KernelData();
    return data ? std::wstring(data->m_szAppPath, wcsnlen(data->m_szAppPath, kModulePathChars))
                : std::wstring();
}
