#include "RankedEditionRules.h"

namespace edition {

namespace {

// Privilege ids grouped by the rule that grants them.
const int kAnyIds[] = {1, 22};
const int kRegisteredIds[] = {2, 5, 14, 18, 34};
const int kMemberIds[] = {4, 6, 19, 37};
const int kRoomAdminIds[] = {16, 23, 24, 26};
const int kAnnouncementIds[] = {17};
const int kBaseInfoIds[] = {28};
const int kBlackListIds[] = {29};
const int kMicSettingIds[] = {35, 40, 41};
const int kChatLimitIds[] = {36};
const int kForbidCarryIds[] = {38};
const int kRule42Ids[] = {42};

const int kGuestLevels[] = {0, 1};
const int kUpToRegistered[] = {0, 1, 2};
const int kForbidCarry[] = {11, 12, 18, 19};

// Privilege 100 rows both editions share.
// 6..12, 13, -111..-107, -115
const int kInvite13[] = {6, 7, 8, 9, 10, 11, 12, 13, -111, -110, -109, -108, -107, -115};
const int kInvite13Targets[] = {2, 3, 4, 5};
const int kInvite14[] = {14, -116};
const int kInvite14Targets[] = {2, 3, 4, 5, 13};
const int kInvite15[] = {15, -117};
const int kInvite15Targets[] = {2, 3, 4, 5, 13, 14};
const int kInvite16[] = {16};
// 2..5, 13..15
const int kInvite16Targets[] = {2, 3, 4, 5, 13, 14, 15};
const int kInvite17[] = {17};
// 2..8, 13..16
const int kInvite17Targets[] = {2, 3, 4, 5, 6, 7, 8, 13, 14, 15, 16};
const int kInvite18[] = {18};
// 2..8, 13, 14, 15, 17, -117..-107: a 16 is out of reach.
const int kInvite18Targets[] = {2,    3,    4,    5,    6,    7,    8,    13,   14,   15,   17,
                                -117, -116, -115, -114, -113, -112, -111, -110, -109, -108, -107};
const int kInvite19[] = {19};
// 2..8, 13..18, -117..-107
const int kInvite19Targets[] = {2,    3,    4,    5,    6,    7,    8,    13,
                                14,   15,   16,   17,   18,   -117, -116, -115,
                                -114, -113, -112, -111, -110, -109, -108, -107};
const int kInvite103[] = {-103};
// 2..9, 13..19, -117..-107
const int kInvite103Targets[] = {2,    3,    4,    5,    6,    7,    8,    9,    13,
                                 14,   15,   16,   17,   18,   19,   -117, -116, -115,
                                 -114, -113, -112, -111, -110, -109, -108, -107};
const int kInvite102[] = {-102};
// 2..10, 13..19, -117..-107, -103
const int kInvite102Targets[] = {2,    3,    4,    5,    6,    7,    8,    9,    10,   13,
                                 14,   15,   16,   17,   18,   19,   -117, -116, -115, -114,
                                 -113, -112, -111, -110, -109, -108, -107, -103};

const ActorRule kSharedInvite[] = {
    {List(kInvite13), List(kInvite13Targets), false},
    {List(kInvite14), List(kInvite14Targets), false},
    {List(kInvite15), List(kInvite15Targets), false},
    {List(kInvite16), List(kInvite16Targets), false},
    {List(kInvite17), List(kInvite17Targets), false},
    {List(kInvite18), List(kInvite18Targets), false},
    {List(kInvite19), List(kInvite19Targets), false},
    {List(kInvite103), List(kInvite103Targets), false},
    {List(kInvite102), List(kInvite102Targets), false},
};

// CanActOn rows both editions share.
const int kAct10[] = {10, -107};
const int kAct10Targets[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
const int kAct11[] = {11};
const int kAct11Targets[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
const int kAct12[] = {12};
const int kAct12Targets[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
const int kAct16[] = {16, 17, 18, 19};
// 0..8, 13..15
const int kAct16Targets[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 13, 14, 15};
const int kAct103[] = {-103};
// 0..9, 13..15, -117..-108
const int kAct103Targets[] = {0,  1,    2,    3,    4,    5,    6,    7,    8,    9,    13,  14,
                              15, -117, -116, -115, -114, -113, -112, -111, -110, -109, -108};
const int kAct25[] = {25};

const ActorRule kSharedActOn[] = {
    {List(kAct10), List(kAct10Targets), false},   {List(kAct11), List(kAct11Targets), false},
    {List(kAct12), List(kAct12Targets), false},   {List(kAct16), List(kAct16Targets), false},
    {List(kAct103), List(kAct103Targets), false}, {List(kAct25), {}, true},
};

}  // namespace

int RankedFinalLevel(const RankedEdition& e, CUserObj* user) {
    return RankedFinalLevel(user, e.roles.rows, e.roles.count);
}

int RankedSortId(const RankedEdition& e, int finalLevel) {
    return LookUpSortId(e.sortIds.rows, e.sortIds.count, finalLevel);
}

bool RankedOneParty(const RankedEdition& e, short id, int finalLevel) {
    const OnePartyRule rules[] = {
        {List(kAnyIds), Grant::kAny, {}},
        {List(kRegisteredIds), Grant::kNotInList, List(kGuestLevels)},
        {List(kMemberIds), Grant::kNotInList, List(kUpToRegistered)},
        {List(kRoomAdminIds), Grant::kInList, e.oneParty.roomAdmin},
        {List(kAnnouncementIds), Grant::kInList, e.oneParty.announcement},
        {List(kBaseInfoIds), Grant::kInList, List(kTopFiveLevels)},
        {List(kBlackListIds), Grant::kInList, e.oneParty.blackList},
        {List(kMicSettingIds), Grant::kInList, e.oneParty.micSettings},
        {List(kChatLimitIds), Grant::kInList, List(kGuestLevels)},
        {List(kForbidCarryIds), Grant::kInList, List(kForbidCarry)},
        {List(kRule42Ids), Grant::kInList, e.oneParty.rule42},
    };
    return CheckOneParty(rules, id, finalLevel);
}

bool RankedActsOn(const RankedEdition& e, int actorFinal, int targetFinal) {
    return ActorReaches(kSharedActOn, actorFinal, targetFinal) ||
           ActorReaches(e.actOn.rows, e.actOn.count, actorFinal, targetFinal);
}

bool IsRankedTwoParty(short id) {
    switch (id) {
        case PRIV_INVITE_TO_PUBLIC_MIC:
        case PRIV_EDITION_107:
        case PRIV_KICK_OUT:
        case PRIV_SEE_USER_IP:
        case PRIV_EDITION_112:
            return true;
        default:
            return false;
    }
}

bool RankedInvites(const RankedEdition& e, int actorFinal, int targetFinal) {
    return ActorReaches(kSharedInvite, actorFinal, targetFinal) ||
           ActorReaches(e.invite.rows, e.invite.count, actorFinal, targetFinal);
}

bool RankedMayAsk(const RankedEdition& e, short id, int actorFinal) {
    switch (id) {
        case PRIV_SEE_USER_IP:
            return Contains(e.seeIpActors, actorFinal);
        case PRIV_EDITION_112:
            return Contains(e.rule112Actors, actorFinal);
        default:  // 107 and 108
            return !e.kickActors || Contains(*e.kickActors, actorFinal);
    }
}

}  // namespace edition
