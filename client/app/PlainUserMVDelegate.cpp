#include "PlainUserMVDelegate.h"

#include "RankedEditionRules.h"

namespace {

using edition::ActorRule;
using edition::List;
using edition::RoleCode;
using edition::RowsOf;

// Room roles that outrank all but the six top user levels; the four site-wide roles
// come first, in this order.
const RoleCode kRoles[] = {{5, -120}, {8, -121}, {7, -122}, {9, -123}, {1, -102}, {2, -103}};

const int kSortIds[][2] = {
    {25, 3},    {24, 4},    {23, 5},    {22, 6},    {21, 7},    {20, 8},    {19, 29},
    {18, 28},   {17, 27},   {16, 26},   {15, 25},   {14, 24},   {13, 23},   {12, 19},
    {11, 13},   {10, 18},   {9, 17},    {8, 16},    {7, 15},    {6, 14},    {5, 5},
    {4, 4},     {3, 3},     {2, 2},     {1, 1},     {-102, 21}, {-103, 20}, {-120, 9},
    {-121, 10}, {-122, 11}, {-123, 12}, {-107, 18}, {-108, 17}, {-109, 16}, {-110, 15},
    {-111, 14}, {-112, 5},  {-113, 4},  {-114, 3},  {-115, 23}, {-116, 24}, {-117, 25},
};

// -102, -123..-120, 20..25
const int kRoomAdmin[] = {-102, -123, -122, -121, -120, 20, 21, 22, 23, 24, 25};
// 10, 11, 12, 16..25, -102, -103, -117..-107, -123..-120
const int kAnnouncement[] = {10,   11,   12,   16,   17,   18,   19,   20,   21,   22,
                             23,   24,   25,   -102, -103, -117, -116, -115, -114, -113,
                             -112, -111, -110, -109, -108, -107, -123, -122, -121, -120};
// -102, -103, -123..-120, 18..25
const int kMicSettings[] = {-102, -103, -123, -122, -121, -120, 18, 19, 20, 21, 22, 23, 24, 25};
// 8..25, -102, -103, -123..-120, -117..-107
const int kRule42[] = {8,    9,    10,   11,   12,   13,   14,   15,   16,   17,   18,   19,
                       20,   21,   22,   23,   24,   25,   -102, -103, -123, -122, -121, -120,
                       -117, -116, -115, -114, -113, -112, -111, -110, -109, -108, -107};

// Privilege 100: whom an actor may invite or carry onto a public microphone.
// -106, -123..-120
const int kInvite106[] = {-106, -123, -122, -121, -120};
const int kInvite20[] = {20, 22};
// 2..19, -117..-107, -123..-120, -103, -102
const int kInvite20Targets[] = {2,    3,    4,    5,    6,    7,    8,    9,    10,
                                11,   12,   13,   14,   15,   16,   17,   18,   19,
                                -117, -116, -115, -114, -113, -112, -111, -110, -109,
                                -108, -107, -123, -122, -121, -120, -103, -102};
// 21 keeps the list it has in Kelt58, completed with 19 and -114 like its neighbours.
const int kInvite21[] = {21};
const int kInvite23[] = {23};
// 2..22, -117..-107, -123..-120, -103, -102
const int kInvite23Targets[] = {2,    3,    4,    5,    6,    7,    8,    9,    10,   11,
                                12,   13,   14,   15,   16,   17,   18,   19,   20,   21,
                                22,   -117, -116, -115, -114, -113, -112, -111, -110, -109,
                                -108, -107, -123, -122, -121, -120, -103, -102};
const int kInvite24[] = {24};
// 2..23, -117..-107, -123..-120, -103, -102
const int kInvite24Targets[] = {2,    3,    4,    5,    6,    7,    8,    9,    10,   11,
                                12,   13,   14,   15,   16,   17,   18,   19,   20,   21,
                                22,   23,   -117, -116, -115, -114, -113, -112, -111, -110,
                                -109, -108, -107, -123, -122, -121, -120, -103, -102};
const int kInvite25[] = {25};
// 2..24, -117..-107, -123..-120, -103, -102
const int kInvite25Targets[] = {2,    3,    4,    5,    6,    7,    8,    9,    10,   11,
                                12,   13,   14,   15,   16,   17,   18,   19,   20,   21,
                                22,   23,   24,   -117, -116, -115, -114, -113, -112, -111,
                                -110, -109, -108, -107, -123, -122, -121, -120, -103, -102};

const ActorRule kInvite[] = {
    {List(kInvite106), List(edition::kInviteUpToRoomAdmin), false},
    {List(kInvite20), List(kInvite20Targets), false},
    {List(kInvite21), List(edition::kInviteUpToSite), false},
    {List(kInvite23), List(kInvite23Targets), false},
    {List(kInvite24), List(kInvite24Targets), false},
    {List(kInvite25), List(kInvite25Targets), false},
};

// CanActOn: whom an actor may act on.
// -102, -106, -123..-120
const int kAct102[] = {-102, -106, -123, -122, -121, -120};
const int kAct20[] = {20};
// 0..19, -117..-107
const int kAct20Targets[] = {0,    1,    2,    3,    4,    5,    6,    7,    8,   9,    10,
                             11,   12,   13,   14,   15,   16,   17,   18,   19,  -117, -116,
                             -115, -114, -113, -112, -111, -110, -109, -108, -107};
const int kAct21[] = {21};
// 0..20, -117..-107
const int kAct21Targets[] = {0,    1,    2,    3,    4,    5,    6,    7,    8,    9,   10,
                             11,   12,   13,   14,   15,   16,   17,   18,   19,   20,  -117,
                             -116, -115, -114, -113, -112, -111, -110, -109, -108, -107};
const int kAct22[] = {22};
// 0..21, -117..-107
const int kAct22Targets[] = {0,    1,    2,    3,    4,    5,    6,    7,    8,    9,    10,
                             11,   12,   13,   14,   15,   16,   17,   18,   19,   20,   21,
                             -117, -116, -115, -114, -113, -112, -111, -110, -109, -108, -107};
const int kAct23[] = {23};
// 0..22, -117..-107, -123..-120, -103, -102
const int kAct23Targets[] = {0,    1,    2,    3,    4,    5,    6,    7,    8,    9,
                             10,   11,   12,   13,   14,   15,   16,   17,   18,   19,
                             20,   21,   22,   -117, -116, -115, -114, -113, -112, -111,
                             -110, -109, -108, -107, -123, -122, -121, -120, -103, -102};
// 24 keeps the list it has in Kelt58, completed with -114 like its neighbour there.
const int kAct24[] = {24};

const ActorRule kActOn[] = {
    {List(kAct102), List(edition::kActUpToMember), false},
    {List(kAct20), List(kAct20Targets), false},
    {List(kAct21), List(kAct21Targets), false},
    {List(kAct22), List(kAct22Targets), false},
    {List(kAct23), List(kAct23Targets), false},
    {List(kAct24), List(edition::kActUpToTop), false},
};

// Actors allowed to ask privileges 107, 108, 111 and 112 before CanActOn decides.
// -102, -103, -123..-120, 18..25
const int kKickActors[] = {-102, -103, -123, -122, -121, -120, 18, 19, 20, 21, 22, 23, 24, 25};
const edition::IntList kKickActorList = List(kKickActors);
// -103, -102, -123..-120, 18, 19, 21..25
const int kSeeIpActors[] = {-103, -102, -123, -122, -121, -120, 18, 19, 21, 22, 23, 24, 25};
// -102, -103, -123..-120, 20..25
const int kRule112Actors[] = {-102, -103, -123, -122, -121, -120, 20, 21, 22, 23, 24, 25};

const edition::RankedEdition kPlain = {
    RowsOf(kRoles),
    RowsOf(kSortIds),
    {List(kRoomAdmin), List(kAnnouncement), List(edition::kTopFiveLevels), List(kMicSettings),
     List(kRule42)},
    RowsOf(kInvite),
    RowsOf(kActOn),
    &kKickActorList,
    List(kSeeIpActors),
    List(kRule112Actors),
};

}  // namespace

CPlainUserMVDelegate::~CPlainUserMVDelegate() = default;

int CPlainUserMVDelegate::GetUserFinalLevel(CUserObj* user, int* handled) {
    if (handled) *handled = 1;
    return edition::RankedFinalLevel(kPlain, user);
}

int CPlainUserMVDelegate::GetUserSortId(CUserObj* user, int* handled) {
    return edition::RankedSortId(kPlain, *this, user, handled);
}

bool CPlainUserMVDelegate::CheckPrivilege(short id, CUserObj* user, int* handled) {
    return edition::RankedCheck(kPlain, *this, id, user, handled);
}

bool CPlainUserMVDelegate::CheckPrivilege(short id, CUserObj* actor, CUserObj* target,
                                          int* handled) {
    return edition::RankedCheck(kPlain, *this, id, actor, target, handled);
}

bool CPlainUserMVDelegate::CanActOn(int actorFinal, int targetFinal) {
    return edition::RankedActsOn(kPlain, actorFinal, targetFinal);
}
