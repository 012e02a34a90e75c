// Session look-ups the room window's files share, over the kernel data of
// controls/KernelData.h: the local user, rooms, users and privileges. Each is null or
// false when the session is gone.
#pragma once

#include <cstdint>

#include "controls/KernelData.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserMVManager.h"
#include "model/UserManager.h"
#include "model/UserObj.h"
#include "session/CommKernelData.h"

namespace roomsession {

inline CUserObj* Me() {
    CCommKernelData* data = KernelData();
    return data ? data->GetLocalUser() : nullptr;
}

inline int MyLevel() {
    CUserObj* me = Me();
    return me ? me->levels[0] : 0;
}

inline CRoomObj* FindRoom(int id) {
    CCommKernelData* data = KernelData();
    return data && data->m_pRoomManager && id != 0 ? data->m_pRoomManager->FindRoom(id) : nullptr;
}

inline CUserObj* FindUser(int id) {
    CCommKernelData* data = KernelData();
    return data && data->m_pUserManager && id > 0 ? data->m_pUserManager->FindUser(id) : nullptr;
}

// The local user's own privilege (no target).
inline bool Allowed(short privilege) {
    return LocalUserAllowed(privilege);
}

inline int64_t MyBalance() {
    CUserObj* me = Me();
    return me ? me->money : 0;
}

}  // namespace roomsession
