// The rules of the Doru edition, carried but not installed. Final levels rank by
// thresholds; the sort id is left to the library.
#pragma once

#include "model/UserMVManagerDelegate.h"

class CDoruUserMVDelegate : public IUserMVManagerDelegate {
public:
    bool CheckPrivilege(short id, CUserObj* user, int* handled) override;
    bool CheckPrivilege(short id, CUserObj* actor, CUserObj* target, int* handled) override;
    int GetUserFinalLevel(CUserObj* user, int* handled) override;
    // Never handled: the room lists keep the library's order.
    int GetUserSortId(CUserObj* user, int* handled) override;
    ~CDoruUserMVDelegate() override;
};
