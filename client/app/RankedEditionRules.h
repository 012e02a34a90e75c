// The rule engine of the Kelt58 family (Kelt58 and Plain). Both editions rank users the
// same way and ask the same privilege questions; they differ in their room roles, their
// sort ids and some of the level lists. An edition is a RankedEdition of those
// differences; the rows both share live in the engine.
#pragma once

#include "EditionRuleTables.h"
#include "model/PrivilegeIds.h"

namespace edition {

// Target lists both editions hand to some of their actors.
// 2..10, 13..19, -117..-107, -103, -102
inline constexpr int kInviteUpToRoomAdmin[] = {
    2,  3,    4,    5,    6,    7,    8,    9,    10,   13,   14,   15,   16,   17,  18,
    19, -117, -116, -115, -114, -113, -112, -111, -110, -109, -108, -107, -103, -102};
// 2..19, -117..-106, -103, -102
inline constexpr int kInviteUpToSite[] = {
    2,  3,  4,    5,    6,    7,    8,    9,    10,   11,   12,   13,   14,   15,   16,   17,
    18, 19, -117, -116, -115, -114, -113, -112, -111, -110, -109, -108, -107, -106, -103, -102};
// 0..10, 13..17, -117..-107
inline constexpr int kActUpToMember[] = {0,    1,    2,    3,    4,    5,    6,    7,    8,
                                         9,    10,   13,   14,   15,   16,   17,   -117, -116,
                                         -115, -114, -113, -112, -111, -110, -109, -108, -107};
// 0..22, -117..-106, -103, -102
inline constexpr int kActUpToTop[] = {0,    1,    2,    3,    4,    5,    6,    7,    8,    9,
                                      10,   11,   12,   13,   14,   15,   16,   17,   18,   19,
                                      20,   21,   22,   -117, -116, -115, -114, -113, -112, -111,
                                      -110, -109, -108, -107, -106, -103, -102};
inline constexpr int kTopFiveLevels[] = {21, 22, 23, 24, 25};

// A table of rows and its length.
template <typename T>
struct Rows {
    const T* rows;
    int count;
};
template <typename T, size_t N>
constexpr Rows<T> RowsOf(const T (&rows)[N]) {
    return Rows<T>{rows, static_cast<int>(N)};
}

// Final levels granted the one-party privileges whose grants differ by edition.
struct OnePartyLevels {
    IntList roomAdmin;     // 16, 23, 24, 26
    IntList announcement;  // 17
    IntList blackList;     // 29
    IntList micSettings;   // 35, 40, 41
    IntList rule42;        // 42
};

struct RankedEdition {
    Rows<RoleCode> roles;  // taken before the lower user levels, in this order
    Rows<int[2]> sortIds;
    OnePartyLevels oneParty;
    // Two-party rows for the actors the family's shared rows leave out. An actor is named
    // by one row at most, so the shared rows and these are searched one after the other.
    Rows<ActorRule> invite;
    Rows<ActorRule> actOn;
    // Actors who may ask 107 and 108 before CanActOn decides; null lets every actor ask.
    const IntList* kickActors;
    IntList seeIpActors;    // 111
    IntList rule112Actors;  // 112
};

int RankedFinalLevel(const RankedEdition& e, CUserObj* user);
int RankedSortId(const RankedEdition& e, int finalLevel);
bool RankedOneParty(const RankedEdition& e, short id, int finalLevel);
bool RankedActsOn(const RankedEdition& e, int actorFinal, int targetFinal);

// The two-party ids the family decides (100, 107, 108, 111, 112).
bool IsRankedTwoParty(short id);
// Privilege 100 by the invite rows.
bool RankedInvites(const RankedEdition& e, int actorFinal, int targetFinal);
// The other two-party ids: whether the actor may ask at all before CanActOn decides.
bool RankedMayAsk(const RankedEdition& e, short id, int actorFinal);

// A two-party id the family decides; `canActOn` is the delegate's own CanActOn, asked
// where the rule defers to it.
template <typename CanActOn>
bool RankedTwoParty(const RankedEdition& e, short id, int actorFinal, int targetFinal,
                    CanActOn canActOn) {
    if (id == PRIV_INVITE_TO_PUBLIC_MIC) return RankedInvites(e, actorFinal, targetFinal);
    return RankedMayAsk(e, id, actorFinal) && canActOn(actorFinal, targetFinal);
}

// The delegate's operations over its edition. They ask the delegate's own (virtual)
// GetUserFinalLevel and CanActOn, as the manager would.
template <typename Delegate>
int RankedSortId(const RankedEdition& e, Delegate& d, CUserObj* user, int* handled) {
    return RankedSortId(e, d.GetUserFinalLevel(user, handled));
}

template <typename Delegate>
bool RankedCheck(const RankedEdition& e, Delegate& d, short id, CUserObj* user, int* handled) {
    const int level = d.GetUserFinalLevel(user, handled);
    return user && RankedOneParty(e, id, level);
}

// Ids the family does not decide are left to the manager (unhandled).
template <typename Delegate>
bool RankedCheck(const RankedEdition& e, Delegate& d, short id, CUserObj* actor, CUserObj* target,
                 int* handled) {
    if (!IsRankedTwoParty(id)) return false;
    const int a = d.GetUserFinalLevel(actor, handled);
    const int t = d.GetUserFinalLevel(target, handled);
    return actor && target &&
           RankedTwoParty(e, id, a, t, [&d](int x, int y) { return d.CanActOn(x, y); });
}

}  // namespace edition
