// The rules of the default edition, carried beside Kelt58 but not installed. It ranks
// like Kelt58 except that four site-wide roles (-120..-123) take the place of -106.
#pragma once

#include "model/UserMVManagerDelegate.h"

class CPlainUserMVDelegate : public IUserMVManagerDelegate {
public:
    // Every one-party question is decided here.
    bool CheckPrivilege(short id, CUserObj* user, int* handled) override;
    // Decides 100, 107, 108, 111 and 112; others are left to the manager.
    bool CheckPrivilege(short id, CUserObj* actor, CUserObj* target, int* handled) override;
    int GetUserFinalLevel(CUserObj* user, int* handled) override;
    int GetUserSortId(CUserObj* user, int* handled) override;
    ~CPlainUserMVDelegate() override;

    // Whether an actor of this final level may act on a target of that one (kicking and
    // the like).
    virtual bool CanActOn(int actorFinal, int targetFinal);
};
