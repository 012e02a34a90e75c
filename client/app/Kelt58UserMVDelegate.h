// The rules of the Kelt58 edition, the one the program installs after logon. Final
// levels are the edition's own codes: positive ones rank users by their user level,
// negative ones combine a room role with it.
#pragma once

#include "model/UserMVManagerDelegate.h"

class CKelt58UserMVDelegate : public IUserMVManagerDelegate {
public:
    // Every one-party question is decided here.
    bool CheckPrivilege(short id, CUserObj* user, int* handled) override;
    // Decides 100, 107, 108, 111 and 112; others are left to the manager.
    bool CheckPrivilege(short id, CUserObj* actor, CUserObj* target, int* handled) override;
    int GetUserFinalLevel(CUserObj* user, int* handled) override;
    int GetUserSortId(CUserObj* user, int* handled) override;
    ~CKelt58UserMVDelegate() override;

    // Whether an actor of this final level may act on a target of that one (kicking and
    // the like).
    virtual bool CanActOn(int actorFinal, int targetFinal);
};
