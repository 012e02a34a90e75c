// Session look-ups the room window's files share: the kernel data, the local
// user, rooms, users and privileges. Each is null or false when the session is gone.
#pragma once

#include <cstdint>

#include "kernel/CommKernel.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserMVManager.h"
#include "model/UserManager.h"
#include "model/UserObj.h"
#include "session/CommKernelData.h"

namespace roomsession {

inline CCommKernelData* Data() {
    CCommKernel* k = CCommKernel::GetInstance();
    return k ? k->m_pData : nullptr;
}

inline CUserObj* Me() {
    CCommKernelData* data = Data();
    return data ? data->GetLocalUser() : nullptr;
}

inline int MyLevel() {
    CUserObj* me = Me();
    return me ? me->levels[0] : 0;
}

inline CRoomObj* FindRoom(int id) {
    CCommKernelData* data = Data();
    return data && data->m_pRoomManager && id != 0 ? data->m_pRoomManager->FindRoom(id) : nullptr;
}

inline CUserObj* FindUser(int id) {
    CCommKernelData* data = Data();
    return data && data->m_pUserManager && id > 0 ? data->m_pUserManager->FindUser(id) : nullptr;
}

// The local user's own privilege (no target).
inline bool Allowed(short privilege) {
    CCommKernelData* data = Data();
    return data && data->m_pUserMVManager &&
           data->m_pUserMVManager->CheckPrivilege(privilege, data->GetLocalUser());
}

inline int64_t MyBalance() {
    CUserObj* me = Me();
    return me ? me->money : 0;
}

}  // namespace roomsession
