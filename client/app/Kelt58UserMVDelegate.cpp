#include "Kelt58UserMVDelegate.h"

#include "RankedEditionRules.h"

namespace {

using edition::ActorRule;
using edition::List;
using edition::RoleCode;
using edition::RowsOf;

// Room roles that outrank all but the six top user levels.
const RoleCode kRoles[] = {{5, -106}, {1, -102}, {2, -103}};

const int kSortIds[][2] = {
    {25, 3},    {24, 4},    {23, 5},    {22, 6},   {21, 7},    {20, 8},    {19, 26},   {18, 25},
    {17, 24},   {16, 23},   {15, 22},   {14, 21},  {13, 20},   {12, 16},   {11, 10},   {10, 15},
    {9, 14},    {8, 13},    {7, 12},    {6, 11},   {5, 5},     {4, 4},     {3, 3},     {2, 2},
    {1, 1},     {-102, 18}, {-103, 17}, {-106, 9}, {-107, 15}, {-108, 14}, {-109, 13}, {-110, 12},
    {-111, 11}, {-112, 5},  {-113, 4},  {-114, 3}, {-115, 20}, {-116, 21}, {-117, 22},
};

// -102, -106, 20..25
const int kRoomAdmin[] = {-102, -106, 20, 21, 22, 23, 24, 25};
// 10, 11, 12, 16..25, -102, -103, -117..-106
const int kAnnouncement[] = {10,   11,   12,   16,   17,   18,   19,   20,   21,
                             22,   23,   24,   25,   -102, -103, -117, -116, -115,
                             -114, -113, -112, -111, -110, -109, -108, -107, -106};
// -103, -102, -106, 21..25
const int kBlackList[] = {-103, -102, -106, 21, 22, 23, 24, 25};
// -102, -103, -106, 20..25
const int kMicSettings[] = {-102, -103, -106, 20, 21, 22, 23, 24, 25};
// 18..25, -102, -103, -117..-106
const int kRule42[] = {18,   19,   20,   21,   22,   23,   24,   25,   -102, -103, -117,
                       -116, -115, -114, -113, -112, -111, -110, -109, -108, -107, -106};

// Privilege 100: whom an actor may invite or carry onto a public microphone.
const int kInvite106[] = {-106};
// 21 shares the list of its neighbours 20 and 22 (19 and -114 included).
const int kInvite20[] = {20, 21, 22};
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
    {List(kInvite106), List(edition::kInviteUpToRoomAdmin), false},
    {List(kInvite20), List(edition::kInviteUpToSite), false},
    {List(kInvite23), List(kInvite23Targets), false},
    {List(kInvite24), List(kInvite24Targets), false},
    {List(kInvite25), List(kInvite25Targets), false},
};

// CanActOn: whom an actor may act on.
const int kAct102[] = {-102, -106};
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

const ActorRule kActOn[] = {
    {List(kAct102), List(edition::kActUpToMember), false},
    {List(kAct20), List(kAct20Targets), false},
    {List(kAct21), List(kAct21Targets), false},
    {List(kAct23), List(edition::kActUpToTop), false},
};

// Actors allowed to ask privileges 111 and 112 before CanActOn decides; any actor may
// ask 107 and 108.
// -102, -103, -106, 20..25
const int kRule112Actors[] = {-102, -103, -106, 20, 21, 22, 23, 24, 25};

const edition::RankedEdition kKelt58 = {
    RowsOf(kRoles),
    RowsOf(kSortIds),
    {List(kRoomAdmin), List(kAnnouncement), List(kBlackList), List(kMicSettings), List(kRule42)},
    RowsOf(kInvite),
    RowsOf(kActOn),
    nullptr,  // any actor may ask 107 and 108
    List(edition::kTopFiveLevels),
    List(kRule112Actors),
};

}  // namespace

CKelt58UserMVDelegate::~CKelt58UserMVDelegate() = default;

int CKelt58UserMVDelegate::GetUserFinalLevel(CUserObj* user, int* handled) {
    if (handled) *handled = 1;
    return edition::RankedFinalLevel(kKelt58, user);
}

int CKelt58UserMVDelegate::GetUserSortId(CUserObj* user, int* handled) {
    return edition::RankedSortId(kKelt58, *this, user, handled);
}

bool CKelt58UserMVDelegate::CheckPrivilege(short id, CUserObj* user, int* handled) {
    return edition::RankedCheck(kKelt58, *this, id, user, handled);
}

bool CKelt58UserMVDelegate::CheckPrivilege(short id, CUserObj* actor, CUserObj* target,
                                           int* handled) {
    return edition::RankedCheck(kKelt58, *this, id, actor, target, handled);
}

bool CKelt58UserMVDelegate::CanActOn(int actorFinal, int targetFinal) {
    return edition::RankedActsOn(kKelt58, actorFinal, targetFinal);
}
