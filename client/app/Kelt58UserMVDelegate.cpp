#include "Kelt58UserMVDelegate.h"

#include "EditionRuleTables.h"
#include "model/PrivilegeIds.h"

namespace {

using edition::ActorRule;
using edition::Grant;
using edition::List;
using edition::OnePartyRule;
using edition::RoleCode;

// Room roles that outrank all but the six top user levels.
const RoleCode kRoles[] = {{5, -106}, {1, -102}, {2, -103}};

const int kSortIds[][2] = {
    {25, 3},    {24, 4},    {23, 5},    {22, 6},   {21, 7},    {20, 8},    {19, 26},   {18, 25},
    {17, 24},   {16, 23},   {15, 22},   {14, 21},  {13, 20},   {12, 16},   {11, 10},   {10, 15},
    {9, 14},    {8, 13},    {7, 12},    {6, 11},   {5, 5},     {4, 4},     {3, 3},     {2, 2},
    {1, 1},     {-102, 18}, {-103, 17}, {-106, 9}, {-107, 15}, {-108, 14}, {-109, 13}, {-110, 12},
    {-111, 11}, {-112, 5},  {-113, 4},  {-114, 3}, {-115, 20}, {-116, 21}, {-117, 22},
};

// One-party rules.
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
// -102, -106, 20..25
const int kRoomAdmin[] = {-102, -106, 20, 21, 22, 23, 24, 25};
// 10, 11, 12, 16..25, -102, -103, -117..-106
const int kAnnouncement[] = {10,   11,   12,   16,   17,   18,   19,   20,   21,
                             22,   23,   24,   25,   -102, -103, -117, -116, -115,
                             -114, -113, -112, -111, -110, -109, -108, -107, -106};
const int kTopFive[] = {21, 22, 23, 24, 25};
// -103, -102, -106, 21..25
const int kBlackList[] = {-103, -102, -106, 21, 22, 23, 24, 25};
// -102, -103, -106, 20..25
const int kMicSettings[] = {-102, -103, -106, 20, 21, 22, 23, 24, 25};
const int kForbidCarry[] = {11, 12, 18, 19};
// 18..25, -102, -103, -117..-106
const int kRule42[] = {18,   19,   20,   21,   22,   23,   24,   25,   -102, -103, -117,
                       -116, -115, -114, -113, -112, -111, -110, -109, -108, -107, -106};

const OnePartyRule kOneParty[] = {
    {List(kAnyIds), Grant::kAny, {}},
    {List(kRegisteredIds), Grant::kNotInList, List(kGuestLevels)},
    {List(kMemberIds), Grant::kNotInList, List(kUpToRegistered)},
    {List(kRoomAdminIds), Grant::kInList, List(kRoomAdmin)},
    {List(kAnnouncementIds), Grant::kInList, List(kAnnouncement)},
    {List(kBaseInfoIds), Grant::kInList, List(kTopFive)},
    {List(kBlackListIds), Grant::kInList, List(kBlackList)},
    {List(kMicSettingIds), Grant::kInList, List(kMicSettings)},
    {List(kChatLimitIds), Grant::kInList, List(kGuestLevels)},
    {List(kForbidCarryIds), Grant::kInList, List(kForbidCarry)},
    {List(kRule42Ids), Grant::kInList, List(kRule42)},
};

// Privilege 100: whom an actor may invite or carry onto a public microphone.
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
const int kInvite106[] = {-106};
// 2..10, 13..19, -117..-107, -103, -102
const int kInvite106Targets[] = {2,    3,    4,    5,    6,    7,    8,    9,    10,   13,
                                 14,   15,   16,   17,   18,   19,   -117, -116, -115, -114,
                                 -113, -112, -111, -110, -109, -108, -107, -103, -102};
// 21 shares the list of its neighbours 20 and 22 (19 and -114 included).
const int kInvite20[] = {20, 21, 22};
// 2..19, -117..-106, -103, -102
const int kInvite20Targets[] = {2,    3,    4,    5,    6,    7,    8,    9,    10,   11,   12,
                                13,   14,   15,   16,   17,   18,   19,   -117, -116, -115, -114,
                                -113, -112, -111, -110, -109, -108, -107, -106, -103, -102};
const int kInvite23[] = {23};
// 2..22, -117..-106, -103, -102
const int kInvite23Targets[] = {2,    3,    4,    5,    6,    7,    8,    9,    10,
                                11,   12,   13,   14,   15,   16,   17,   18,   19,
                                20,   21,   22,   -117, -116, -115, -114, -113, -112,
                                -111, -110, -109, -108, -107, -106, -103, -102};
const int kInvite24[] = {24};
// 2..23, -117..-106, -103, -102
const int kInvite24Targets[] = {2,    3,    4,    5,    6,    7,    8,    9,    10,
                                11,   12,   13,   14,   15,   16,   17,   18,   19,
                                20,   21,   22,   23,   -117, -116, -115, -114, -113,
                                -112, -111, -110, -109, -108, -107, -106, -103, -102};
const int kInvite25[] = {25};
// 2..24, -117..-106, -103, -102
const int kInvite25Targets[] = {2,    3,    4,    5,    6,    7,    8,    9,    10,   11,
                                12,   13,   14,   15,   16,   17,   18,   19,   20,   21,
                                22,   23,   24,   -117, -116, -115, -114, -113, -112, -111,
                                -110, -109, -108, -107, -106, -103, -102};

const ActorRule kInvite[] = {
    {List(kInvite13), List(kInvite13Targets), false},
    {List(kInvite14), List(kInvite14Targets), false},
    {List(kInvite15), List(kInvite15Targets), false},
    {List(kInvite16), List(kInvite16Targets), false},
    {List(kInvite17), List(kInvite17Targets), false},
    {List(kInvite18), List(kInvite18Targets), false},
    {List(kInvite19), List(kInvite19Targets), false},
    {List(kInvite103), List(kInvite103Targets), false},
    {List(kInvite102), List(kInvite102Targets), false},
    {List(kInvite106), List(kInvite106Targets), false},
    {List(kInvite20), List(kInvite20Targets), false},
    {List(kInvite23), List(kInvite23Targets), false},
    {List(kInvite24), List(kInvite24Targets), false},
    {List(kInvite25), List(kInvite25Targets), false},
};

// CanActOn: whom an actor may act on.
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
const int kAct102[] = {-102, -106};
// 0..10, 13..17, -117..-107
const int kAct102Targets[] = {0,    1,    2,    3,    4,    5,    6,    7,    8,
                              9,    10,   13,   14,   15,   16,   17,   -117, -116,
                              -115, -114, -113, -112, -111, -110, -109, -108, -107};
const int kAct20[] = {20, 22};
// 0..17, -117..-107
const int kAct20Targets[] = {0,    1,    2,    3,    4,    5,    6,    7,    8,    9,
                             10,   11,   12,   13,   14,   15,   16,   17,   -117, -116,
                             -115, -114, -113, -112, -111, -110, -109, -108, -107};
const int kAct21[] = {21};
// 0..17, -117..-106
const int kAct21Targets[] = {0,    1,    2,    3,    4,    5,    6,    7,    8,    9,
                             10,   11,   12,   13,   14,   15,   16,   17,   -117, -116,
                             -115, -114, -113, -112, -111, -110, -109, -108, -107, -106};
// 24 shares the list of its neighbour 23 (-114 included).
const int kAct23[] = {23, 24};
// 0..22, -117..-106, -103, -102
const int kAct23Targets[] = {0,    1,    2,    3,    4,    5,    6,    7,    8,    9,
                             10,   11,   12,   13,   14,   15,   16,   17,   18,   19,
                             20,   21,   22,   -117, -116, -115, -114, -113, -112, -111,
                             -110, -109, -108, -107, -106, -103, -102};
const int kAct25[] = {25};

const ActorRule kActOn[] = {
    {List(kAct10), List(kAct10Targets), false},   {List(kAct11), List(kAct11Targets), false},
    {List(kAct12), List(kAct12Targets), false},   {List(kAct16), List(kAct16Targets), false},
    {List(kAct103), List(kAct103Targets), false}, {List(kAct102), List(kAct102Targets), false},
    {List(kAct20), List(kAct20Targets), false},   {List(kAct21), List(kAct21Targets), false},
    {List(kAct23), List(kAct23Targets), false},   {List(kAct25), {}, true},
};

// Actors allowed to ask privileges 111 and 112 before CanActOn decides.
const int kSeeIpActors[] = {21, 22, 23, 24, 25};
// -102, -103, -106, 20..25
const int kRule112Actors[] = {-102, -103, -106, 20, 21, 22, 23, 24, 25};

}  // namespace

CKelt58UserMVDelegate::~CKelt58UserMVDelegate() = default;

int CKelt58UserMVDelegate::GetUserFinalLevel(CUserObj* user, int* handled) {
    if (handled) *handled = 1;
    return edition::RankedFinalLevel(user, kRoles);
}

int CKelt58UserMVDelegate::GetUserSortId(CUserObj* user, int* handled) {
    return edition::LookUpSortId(kSortIds, GetUserFinalLevel(user, handled));
}

bool CKelt58UserMVDelegate::CheckPrivilege(short id, CUserObj* user, int* handled) {
    const int level = GetUserFinalLevel(user, handled);
    return user && edition::CheckOneParty(kOneParty, id, level);
}

bool CKelt58UserMVDelegate::CheckPrivilege(short id, CUserObj* actor, CUserObj* target,
                                           int* handled) {
    switch (id) {
        case PRIV_INVITE_TO_PUBLIC_MIC:
        case PRIV_EDITION_107:
        case PRIV_KICK_OUT:
        case PRIV_SEE_USER_IP:
        case PRIV_EDITION_112:
            break;
        default:
            return false;  // not ours to decide
    }
    const int a = GetUserFinalLevel(actor, handled);
    const int t = GetUserFinalLevel(target, handled);
    if (!actor || !target) return false;
    switch (id) {
        case PRIV_INVITE_TO_PUBLIC_MIC:
            return edition::ActorReaches(kInvite, a, t);
        case PRIV_SEE_USER_IP:
            return edition::Contains(List(kSeeIpActors), a) && CanActOn(a, t);
        case PRIV_EDITION_112:
            return edition::Contains(List(kRule112Actors), a) && CanActOn(a, t);
        default:
            return CanActOn(a, t);  // 107 and 108
    }
}

bool CKelt58UserMVDelegate::CanActOn(int actorFinal, int targetFinal) {
    return edition::ActorReaches(kActOn, actorFinal, targetFinal);
}
