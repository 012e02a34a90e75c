// Table machinery the edition delegates share. The editions' rules are lists of final
// level codes searched linearly; these helpers keep each edition's file down to its
// tables.
#pragma once

#include <cstddef>

class CUserObj;

// Whether `key` is among the first `count` values.
bool ContainsValue(const int* values, int count, int key);

namespace edition {

struct IntList {
    const int* values;
    int count;
};

template <size_t N>
constexpr IntList List(const int (&values)[N]) {
    return IntList{values, static_cast<int>(N)};
}

inline bool Contains(const IntList& list, int key) {
    return ContainsValue(list.values, list.count, key);
}

// A room role that outranks most user levels: GetRoomMgrLevel() value -> final level code.
struct RoleCode {
    int roomMgrLevel;
    int finalLevel;
};

// The user-level ranking of the Kelt58 family. The six top user levels come first, then
// the edition's room roles in table order, then the remaining user levels, some of which
// combine with a regular or temporary manager role into a negative code.
int RankedFinalLevel(CUserObj* user, const RoleCode* roles, int roleCount);

// (final level, sort id) pairs; 0 when the level is absent.
int LookUpSortId(const int (*pairs)[2], int count, int finalLevel);

// One-party rule: the privilege ids it covers and the final levels it grants.
enum class Grant { kAny, kInList, kNotInList };
struct OnePartyRule {
    IntList ids;
    Grant grant;
    IntList levels;
};

// The rule covering `id` decides; an id no rule covers is refused.
bool CheckOneParty(const OnePartyRule* rules, int count, short id, int finalLevel);

// Two-party list: the actors sharing it and the targets they may reach.
struct ActorRule {
    IntList actors;
    IntList targets;
    bool anyTarget;  // reaches every target; `targets` is unused
};

// The first rule naming the actor decides; an actor no rule names reaches nobody.
bool ActorReaches(const ActorRule* rules, int count, int actor, int target);

template <size_t N>
int LookUpSortId(const int (&pairs)[N][2], int finalLevel) {
    return LookUpSortId(pairs, static_cast<int>(N), finalLevel);
}
template <size_t N>
bool CheckOneParty(const OnePartyRule (&rules)[N], short id, int finalLevel) {
    return CheckOneParty(rules, static_cast<int>(N), id, finalLevel);
}
template <size_t N>
bool ActorReaches(const ActorRule (&rules)[N], int actor, int target) {
    return ActorReaches(rules, static_cast<int>(N), actor, target);
}
template <size_t N>
int RankedFinalLevel(CUserObj* user, const RoleCode (&roles)[N]) {
    return RankedFinalLevel(user, roles, static_cast<int>(N));
}

}  // namespace edition
