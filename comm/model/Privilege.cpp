#include "model/Privilege.h"

namespace {

constexpr int kComponentMasks[3] = {0xFF0000, 0xFF00, 0xFF};

}  // namespace

CPrivilegeBase::CPrivilegeBase(short k) : kind(k), id(0) {}
CPrivilegeBase::~CPrivilegeBase() = default;
void CPrivilegeBase::ClearData() {}
int CPrivilegeBase::AddLevel(int, int) {
    return 0;
}

CNonOOPrivilege::CNonOOPrivilege() : CPrivilegeBase(PRIVILEGE_KIND_ONE_PARTY) {}

void CNonOOPrivilege::ClearData() {
    levels.clear();
}

int CNonOOPrivilege::AddLevel(int level, int) {
    levels.push_back(level);
    return 0;
}

bool CNonOOPrivilege::Check(int finalLevel) {
    for (int level : levels) {
        for (int mask : kComponentMasks) {
            int component = finalLevel & mask;
            if (component != 0 && component == (level & mask)) return true;
        }
    }
    return false;
}

COOPrivilege::COOPrivilege() : CPrivilegeBase(PRIVILEGE_KIND_TWO_PARTY) {}

void COOPrivilege::ClearData() {
    for (auto& entry : targets) entry.second.clear();
    targets.clear();
}

int COOPrivilege::AddLevel(int actor, int target) {
    targets[actor].push_back(target);
    return 0;
}

bool COOPrivilege::Check(int actorFinal, int targetFinal) {
    const int t2 = targetFinal & kComponentMasks[0];
    const int t1 = targetFinal & kComponentMasks[1];
    const int t0 = targetFinal & kComponentMasks[2];
    // A target component of 0 asks for nothing.
    bool s2 = t2 == 0, s1 = t1 == 0, s0 = t0 == 0;
    for (int mask : kComponentMasks) {
        if (s2 && s1 && s0) break;
        // A zero actor component is looked up as key 0 like any other.
        auto it = targets.find(actorFinal & mask);
        if (it == targets.end()) continue;
        for (int value : it->second) {
            if (value == t2)
                s2 = true;
            else if (value == t1)
                s1 = true;
            else if (value == t0)
                s0 = true;
            if (s2 && s1 && s0) break;
        }
    }
    return s2 && s1 && s0;
}
