// The edition's answers to privilege questions. The manager sets *handled to 0
// before each call; a delegate that decides the question sets it non-zero and its
// result then stands, otherwise the manager falls back to its own tables.
#pragma once

class CUserObj;

class IUserMVManagerDelegate {
public:
    // Slot order is part of the interface: 0 to 3, then the destructor.
    virtual bool CheckPrivilege(short id, CUserObj* user, int* handled) = 0;
    virtual bool CheckPrivilege(short id, CUserObj* actor, CUserObj* target, int* handled) = 0;
    virtual int GetUserFinalLevel(CUserObj* user, int* handled) = 0;
    virtual int GetUserSortId(CUserObj* user, int* handled) = 0;
    // Last, so the four slots above keep their places; the application object deletes
    // its delegate through this interface.
    virtual ~IUserMVManagerDelegate() = default;
};
