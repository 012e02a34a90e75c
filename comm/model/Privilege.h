// Privilege rules keyed by a privilege id. A final level packs three components, one
// per byte: bits 16-23 the user level, bits 8-15 the second level, bits 0-7 the room
// manager level; a component of 0 means none.
#pragma once

#include <map>
#include <string>
#include <vector>

constexpr short PRIVILEGE_KIND_ONE_PARTY = 1;
constexpr short PRIVILEGE_KIND_TWO_PARTY = 2;

class CPrivilegeBase {
public:
    explicit CPrivilegeBase(short kind);
    virtual ~CPrivilegeBase();
    virtual void ClearData();
    virtual int AddLevel(int a, int b);

    short kind;  // PRIVILEGE_KIND_ONE_PARTY or PRIVILEGE_KIND_TWO_PARTY
    short id;
    std::wstring name;
};

// One-party rule: a user holds it when his final level shares a non-zero component
// with one of the listed levels.
class CNonOOPrivilege : public CPrivilegeBase {
public:
    CNonOOPrivilege();
    void ClearData() override;
    int AddLevel(int level, int ignored) override;
    bool Check(int finalLevel);

    std::vector<int> levels;
};

// Two-party rule: for each actor component, the target components it may act on.
class COOPrivilege : public CPrivilegeBase {
public:
    COOPrivilege();
    void ClearData() override;
    int AddLevel(int actor, int target) override;
    bool Check(int actorFinal, int targetFinal);

    std::map<int, std::vector<int>> targets;
};
