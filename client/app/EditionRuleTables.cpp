#include "EditionRuleTables.h"

#include "model/UserObj.h"

bool ContainsValue(const int* values, int count, int key) {
    if (!values) return false;
    for (int i = 0; i < count; ++i)
        if (values[i] == key) return true;
    return false;
}

namespace edition {

namespace {

bool IsManagerRole(int roomMgrLevel) {
    return roomMgrLevel == ROOM_MGR_MANAGER || roomMgrLevel == ROOM_MGR_TEMP_MANAGER;
}

struct LevelCode {
    int level;
    int finalLevel;
};

// User levels that rank the same with or without a room role.
const LevelCode kTopLevels[] = {{57, 25}, {56, 24}, {55, 23}, {54, 22}, {53, 21}, {52, 20}};
const LevelCode kUpperLevels[] = {{38, 19}, {36, 18}, {35, 17}, {34, 16}};
const LevelCode kAnchorLevels[] = {{27, 12}, {26, 11}};
const LevelCode kBaseLevels[] = {{2, 2}, {1, 1}};

// User levels whose code changes under a regular or temporary manager role.
struct CombinedCode {
    int level;
    int finalLevel;
    int managerFinalLevel;
};
const CombinedCode kSeniorLevels[] = {{33, 15, -117}, {32, 14, -116}, {31, 13, -115}};
const CombinedCode kMemberLevels[] = {{25, 10, -107}, {24, 9, -108}, {23, 8, -109}, {22, 7, -110},
                                      {21, 6, -111},  {13, 5, -112}, {12, 4, -113}, {11, 3, -114}};

template <size_t N>
bool Find(const LevelCode (&table)[N], int level, int* finalLevel) {
    for (const LevelCode& c : table)
        if (c.level == level) {
            *finalLevel = c.finalLevel;
            return true;
        }
    return false;
}

template <size_t N>
bool Find(const CombinedCode (&table)[N], int level, bool manager, int* finalLevel) {
    for (const CombinedCode& c : table)
        if (c.level == level) {
            *finalLevel = manager ? c.managerFinalLevel : c.finalLevel;
            return true;
        }
    return false;
}

}  // namespace

int RankedFinalLevel(CUserObj* user, const RoleCode* roles, int roleCount) {
    if (!user) return 0;
    const int level = user->levels[0];
    const int mgr = user->GetRoomMgrLevel();
    const bool manager = IsManagerRole(mgr);
    int code = 0;
    if (Find(kTopLevels, level, &code)) return code;
    for (int i = 0; i < roleCount; ++i)
        if (roles[i].roomMgrLevel == mgr) return roles[i].finalLevel;
    if (Find(kUpperLevels, level, &code)) return code;
    if (Find(kSeniorLevels, level, manager, &code)) return code;
    if (Find(kAnchorLevels, level, &code)) return code;
    if (Find(kMemberLevels, level, manager, &code)) return code;
    if (Find(kBaseLevels, level, &code)) return code;
    return 0;
}

int LookUpSortId(const int (*pairs)[2], int count, int finalLevel) {
    for (int i = 0; i < count; ++i)
        if (pairs[i][0] == finalLevel) return pairs[i][1];
    return 0;
}

bool CheckOneParty(const OnePartyRule* rules, int count, short id, int finalLevel) {
    for (int i = 0; i < count; ++i) {
        const OnePartyRule& rule = rules[i];
        if (!Contains(rule.ids, id)) continue;
        switch (rule.grant) {
            case Grant::kAny:
                return true;
            case Grant::kInList:
                return Contains(rule.levels, finalLevel);
            case Grant::kNotInList:
                return !Contains(rule.levels, finalLevel);
        }
    }
    return false;
}

bool ActorReaches(const ActorRule* rules, int count, int actor, int target) {
    for (int i = 0; i < count; ++i) {
        const ActorRule& rule = rules[i];
        if (!Contains(rule.actors, actor)) continue;
        return rule.anyTarget || Contains(rule.targets, target);
    }
    return false;
}

}  // namespace edition
