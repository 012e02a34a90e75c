// Answers "may this user do that": one-party and two-party privilege checks, final
// levels and sort ids. The edition delegate is asked first; the rule tables only
// answer what it leaves unhandled.
#pragma once

#include <map>

#include "model/Privilege.h"
#include "model/UserMVManagerDelegate.h"

class CUserObj;

// Table selectors of FindPrivilege and AddPrivilege: 1 the active table, any other
// value the temporary one.
constexpr int PRIVILEGE_TABLE_ACTIVE = 1;
constexpr int PRIVILEGE_TABLE_TEMPORARY = 2;

class CUserMVManager {
public:
    typedef std::map<short, CPrivilegeBase*> PrivilegeMap;

    CUserMVManager();
    ~CUserMVManager();
    CUserMVManager(const CUserMVManager&) = delete;
    CUserMVManager& operator=(const CUserMVManager&) = delete;

    void SetDelegate(IUserMVManagerDelegate* d) { delegate = d; }
    bool CheckPrivilege(short id, CUserObj* user);
    bool CheckPrivilege(short id, CUserObj* actor, CUserObj* target);
    int GetUserSortId(CUserObj* user);
    CPrivilegeBase* FindPrivilege(int table, short id);
    bool IsExistPrivilegeId(short id);
    // Adds a level to the rule `id` of the chosen table, creating the rule (kind 1 one-party,
    // any other two-party) when absent. Always true.
    bool AddPrivilege(int table, int id, int kind, int a, int b);
    // Takes the rule into the active table; false (and not taken) when the id is there.
    bool AddPrivilege(CPrivilegeBase* rule);
    void ClearData();
    void ClearTempData();
    // The temporary table becomes active; the previously active rules are deleted.
    void SwapData();
    // Reads a privilege file into the active table: 0, or -1 when it cannot be opened
    // or is empty.
    int LoadPrivilegeConfig(char* path, int codePage);

    PrivilegeMap maps[2];
    PrivilegeMap* active;
    PrivilegeMap* temporary;
    IUserMVManagerDelegate* delegate;  // not owned

private:
    int GetUserFinalLevel(CUserObj* user);
    PrivilegeMap* Table(int table) { return table == PRIVILEGE_TABLE_ACTIVE ? active : temporary; }
    static void Clear(PrivilegeMap* map);
};
