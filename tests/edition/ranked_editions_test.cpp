// Kelt58 and the default edition rank users by user level and room role into their own
// codes. Each table below is a rule table of the edition, written as the rules write it;
// the tests hold the delegates to every row, over every code the edition hands out.
#include <climits>
#include <map>
#include <vector>

#include "app/Kelt58UserMVDelegate.h"
#include "app/PlainUserMVDelegate.h"
#include "edition_cases.h"

namespace {

using edition_test::In;
using edition_test::Levels;
using edition_test::Users;

// Room roles (GetRoomMgrLevel).
constexpr int kNone = 0, kOwner = 1, kDeputy = 2, kManager = 3, kTempManager = 4;

struct RankCase {
    int level;
    int mgr;
    int finalLevel;
    int sortId;
};

enum class Grant { kAny, kIn, kNotIn };
struct OnePartyRow {
    const char* ids;
    Grant grant;
    const char* levels;
};

struct ActorRow {
    const char* actors;
    const char* targets;  // nullptr: every target
};

struct EditionRules {
    std::vector<RankCase> ranks;
    size_t codeCount;  // the codes the edition hands out, 0 included
    std::vector<OnePartyRow> oneParty;
    std::vector<ActorRow> invite;  // privilege 100
    std::vector<ActorRow> actOn;   // CanActOn
    // Actors that 107/108, 111 and 112 admit before CanActOn decides; nullptr admits all.
    const char* kickActors;
    const char* seeIpActors;
    const char* rule112Actors;
};

const EditionRules kKelt58 = {
    {
        // The six top user levels come before any room role.
        {57, kNone, 25, 3},
        {57, kOwner, 25, 3},
        {56, kNone, 24, 4},
        {55, kNone, 23, 5},
        {54, kNone, 22, 6},
        {53, kManager, 21, 7},
        {52, kNone, 20, 8},
        {52, 5, 20, 8},
        // Room roles come before the other user levels.
        {0, 5, -106, 9},
        {38, 5, -106, 9},
        {1, kOwner, -102, 18},
        {34, kOwner, -102, 18},
        {33, kDeputy, -103, 17},
        {21, kDeputy, -103, 17},
        {38, kNone, 19, 26},
        {36, kNone, 18, 25},
        {35, kNone, 17, 24},
        {34, kNone, 16, 23},
        {34, kManager, 16, 23},  // not combined with a manager role
        {33, kNone, 15, 22},
        {32, kNone, 14, 21},
        {31, kNone, 13, 20},
        {33, kManager, -117, 22},
        {32, kTempManager, -116, 21},
        {31, kManager, -115, 20},
        {33, 7, 15, 22},  // stored levels 7, 8, 9 and 11 are no role here
        {31, 11, 13, 20},
        {27, kNone, 12, 16},
        {26, kNone, 11, 10},
        {27, kManager, 12, 16},
        {25, kNone, 10, 15},
        {24, kNone, 9, 14},
        {23, kNone, 8, 13},
        {22, kNone, 7, 12},
        {21, kNone, 6, 11},
        {13, kNone, 5, 5},
        {12, kNone, 4, 4},
        {11, kNone, 3, 3},
        {25, kManager, -107, 15},
        {24, kTempManager, -108, 14},
        {23, kManager, -109, 13},
        {22, kTempManager, -110, 12},
        {21, kManager, -111, 11},
        {13, kManager, -112, 5},
        {12, kTempManager, -113, 4},
        {11, kManager, -114, 3},
        {2, kNone, 2, 2},
        {2, kManager, 2, 2},
        {1, kNone, 1, 1},
        {0, kNone, 0, 0},
        {0, 8, 0, 0},
        // User levels no step names.
        {58, kNone, 0, 0},
        {51, kNone, 0, 0},
        {39, kNone, 0, 0},
        {37, kNone, 0, 0},
        {30, kManager, 0, 0},
        {28, kNone, 0, 0},
        {20, kNone, 0, 0},
        {14, kNone, 0, 0},
        {10, kManager, 0, 0},
        {3, kNone, 0, 0},
        {255, kNone, 0, 0},
    },
    40,
    {
        {"1, 22", Grant::kAny, ""},
        {"2, 5, 14, 18, 34", Grant::kNotIn, "0, 1"},
        {"4, 6, 19, 37", Grant::kNotIn, "0, 1, 2"},
        {"16, 23, 24, 26", Grant::kIn, "-102, -106, 20..25"},
        {"17", Grant::kIn, "10, 11, 12, 16..25, -102, -103, -117..-106"},
        {"28", Grant::kIn, "21..25"},
        {"29", Grant::kIn, "-103, -102, -106, 21..25"},
        {"35, 40, 41", Grant::kIn, "-102, -103, -106, 20..25"},
        {"36", Grant::kIn, "0, 1"},
        {"38", Grant::kIn, "11, 12, 18, 19"},
        {"42", Grant::kIn, "18..25, -102, -103, -117..-106"},
    },
    {
        {"6..12, 13, -111..-107, -115", "2..5"},
        {"14, -116", "2..5, 13"},
        {"15, -117", "2..5, 13, 14"},
        {"16", "2..5, 13..15"},
        {"17", "2..8, 13..16"},
        {"18", "2..8, 13, 14, 15, 17, -117..-107"},
        {"19", "2..8, 13..18, -117..-107"},
        {"-103", "2..9, 13..19, -117..-107"},
        {"-102", "2..10, 13..19, -117..-107, -103"},
        {"-106", "2..10, 13..19, -117..-107, -103, -102"},
        {"20, 22", "2..19, -117..-106, -103, -102"},
        {"21", "2..19, -117..-106, -103, -102"},  // 19 and -114 as for its neighbours
        {"23", "2..22, -117..-106, -103, -102"},
        {"24", "2..23, -117..-106, -103, -102"},
        {"25", "2..24, -117..-106, -103, -102"},
    },
    {
        {"10, -107", "0..9"},
        {"11", "0..10"},
        {"12", "0..11"},
        {"16, 17, 18, 19", "0..8, 13..15"},
        {"-103", "0..9, 13..15, -117..-108"},
        {"-102, -106", "0..10, 13..17, -117..-107"},
        {"20, 22", "0..17, -117..-107"},
        {"21", "0..17, -117..-106"},
        {"23", "0..22, -117..-106, -103, -102"},
        {"24", "0..22, -117..-106, -103, -102"},  // -114 as for its neighbour 23
        {"25", nullptr},
    },
    nullptr,
    "21..25",
    "-102, -103, -106, 20..25",
};

const EditionRules kPlain = {
    {
        {57, 5, 25, 3},
        {56, kOwner, 24, 4},
        {55, kNone, 23, 5},
        {54, kNone, 22, 6},
        {53, kNone, 21, 7},
        {52, 9, 20, 8},
        // Four site-wide roles where Kelt58 has one.
        {0, 5, -120, 9},
        {0, 8, -121, 10},
        {0, 7, -122, 11},
        {0, 9, -123, 12},
        {38, 9, -123, 12},
        {21, 5, -120, 9},
        {1, kOwner, -102, 21},
        {1, kDeputy, -103, 20},
        {38, kNone, 19, 29},
        {36, kNone, 18, 28},
        {35, kNone, 17, 27},
        {34, kNone, 16, 26},
        {34, kTempManager, 16, 26},
        {33, kNone, 15, 25},
        {32, kNone, 14, 24},
        {31, kNone, 13, 23},
        {33, kManager, -117, 25},
        {32, kManager, -116, 24},
        {31, kTempManager, -115, 23},
        {33, 11, 15, 25},
        {27, kNone, 12, 19},
        {26, kManager, 11, 13},
        {25, kNone, 10, 18},
        {24, kNone, 9, 17},
        {23, kNone, 8, 16},
        {22, kNone, 7, 15},
        {21, kNone, 6, 14},
        {13, kNone, 5, 5},
        {12, kNone, 4, 4},
        {11, kNone, 3, 3},
        {25, kManager, -107, 18},
        {24, kManager, -108, 17},
        {23, kTempManager, -109, 16},
        {22, kManager, -110, 15},
        {21, kTempManager, -111, 14},
        {13, kManager, -112, 5},
        {12, kManager, -113, 4},
        {11, kTempManager, -114, 3},
        {2, kNone, 2, 2},
        {1, kNone, 1, 1},
        {1, 12, 1, 1},
        {0, kNone, 0, 0},
        {37, kNone, 0, 0},
        {20, kManager, 0, 0},
        {58, kNone, 0, 0},
    },
    43,
    {
        {"1, 22", Grant::kAny, ""},
        {"2, 5, 14, 18, 34", Grant::kNotIn, "0, 1"},
        {"4, 6, 19, 37", Grant::kNotIn, "0, 1, 2"},
        {"16, 23, 24, 26", Grant::kIn, "-102, -123..-120, 20..25"},
        {"17", Grant::kIn, "10, 11, 12, 16..25, -102, -103, -117..-107, -123..-120"},
        {"28", Grant::kIn, "21..25"},
        {"29", Grant::kIn, "21..25"},
        {"35, 40, 41", Grant::kIn, "-102, -103, -123..-120, 18..25"},
        {"36", Grant::kIn, "0, 1"},
        {"38", Grant::kIn, "11, 12, 18, 19"},
        {"42", Grant::kIn, "8..25, -102, -103, -123..-120, -117..-107"},
    },
    {
        {"6..12, 13, -111..-107, -115", "2..5"},
        {"14, -116", "2..5, 13"},
        {"15, -117", "2..5, 13, 14"},
        {"16", "2..5, 13..15"},
        {"17", "2..8, 13..16"},
        {"18", "2..8, 13, 14, 15, 17, -117..-107"},
        {"19", "2..8, 13..18, -117..-107"},
        {"-103", "2..9, 13..19, -117..-107"},
        {"-102", "2..10, 13..19, -117..-107, -103"},
        {"-123..-120", "2..10, 13..19, -117..-107, -103, -102"},
        {"20, 22", "2..19, -117..-107, -123..-120, -103, -102"},
        {"21", "2..19, -117..-106, -103, -102"},  // the Kelt58 list, as carried
        {"23", "2..22, -117..-107, -123..-120, -103, -102"},
        {"24", "2..23, -117..-107, -123..-120, -103, -102"},
        {"25", "2..24, -117..-107, -123..-120, -103, -102"},
    },
    {
        {"10, -107", "0..9"},
        {"11", "0..10"},
        {"12", "0..11"},
        {"16, 17, 18, 19", "0..8, 13..15"},
        {"-103", "0..9, 13..15, -117..-108"},
        {"-102, -123..-120", "0..10, 13..17, -117..-107"},
        {"20", "0..19, -117..-107"},
        {"21", "0..20, -117..-107"},
        {"22", "0..21, -117..-107"},
        {"23", "0..22, -117..-107, -123..-120, -103, -102"},
        {"24", "0..22, -117..-106, -103, -102"},  // the Kelt58 list, as carried
        {"25", nullptr},
    },
    "-102, -103, -123..-120, 18..25",
    "-103, -102, -123..-120, 18, 19, 21..25",
    "-102, -103, -123..-120, 20..25",
};

// Expected answers, read off the tables.
bool ExpectedOneParty(const EditionRules& rules, int id, int level) {
    for (const OnePartyRow& row : rules.oneParty) {
        if (!In(Levels(row.ids), id)) continue;
        switch (row.grant) {
            case Grant::kAny:
                return true;
            case Grant::kIn:
                return In(Levels(row.levels), level);
            case Grant::kNotIn:
                return !In(Levels(row.levels), level);
        }
    }
    return false;
}

bool Reaches(const std::vector<ActorRow>& rows, int actor, int target) {
    for (const ActorRow& row : rows)
        if (In(Levels(row.actors), actor)) return !row.targets || In(Levels(row.targets), target);
    return false;
}

bool Admits(const char* actors, int actor) {
    return !actors || In(Levels(actors), actor);
}

// One user for every code the edition hands out, from the ranking cases.
std::map<int, CUserObj*> Representatives(const EditionRules& rules, Users& users) {
    std::map<int, CUserObj*> out;
    for (const RankCase& c : rules.ranks)
        if (!out.count(c.finalLevel)) out[c.finalLevel] = users.Make(c.level, c.mgr);
    return out;
}

// Values no edition of this family hands out, as actors and targets of CanActOn.
const int kForeignCodes[] = {26, 30, -104, -105, -118, -119, -124, -200, 1000, INT_MIN, INT_MAX};

template <class Delegate>
void CheckRanking(const EditionRules& rules) {
    Delegate d;
    Users users;
    std::map<int, int> sortOf;
    for (const RankCase& c : rules.ranks) {
        CUserObj* u = users.Make(c.level, c.mgr);
        int handled = 0;
        EXPECT_EQ(d.GetUserFinalLevel(u, &handled), c.finalLevel)
            << "level " << c.level << " role " << c.mgr;
        EXPECT_NE(handled, 0);
        handled = 0;
        EXPECT_EQ(d.GetUserSortId(u, &handled), c.sortId)
            << "level " << c.level << " role " << c.mgr;
        EXPECT_NE(handled, 0);
        sortOf[c.finalLevel] = c.sortId;
    }
    // Every row of the sort table is among the cases above.
    EXPECT_EQ(sortOf.size(), rules.codeCount);
}

template <class Delegate>
void CheckOneParty(const EditionRules& rules) {
    Delegate d;
    Users users;
    std::vector<int> ids;
    for (int id = -2; id <= 130; ++id) ids.push_back(id);
    ids.push_back(SHRT_MAX);
    ids.push_back(SHRT_MIN);
    for (const auto& [level, user] : Representatives(rules, users)) {
        for (int id : ids) {
            int handled = 0;
            EXPECT_EQ(d.CheckPrivilege(static_cast<short>(id), user, &handled),
                      ExpectedOneParty(rules, id, level))
                << "privilege " << id << " at final level " << level;
            EXPECT_NE(handled, 0) << "privilege " << id;  // every one-party id is decided
        }
    }
}

template <class Delegate>
void CheckTwoParty(const EditionRules& rules) {
    Delegate d;
    Users users;
    const auto reps = Representatives(rules, users);
    for (const auto& [a, actor] : reps) {
        for (const auto& [t, target] : reps) {
            const bool canActOn = Reaches(rules.actOn, a, t);
            const struct {
                short id;
                bool expected;
            } cases[] = {
                {100, Reaches(rules.invite, a, t)},
                {107, Admits(rules.kickActors, a) && canActOn},
                {108, Admits(rules.kickActors, a) && canActOn},
                {111, Admits(rules.seeIpActors, a) && canActOn},
                {112, Admits(rules.rule112Actors, a) && canActOn},
            };
            for (const auto& c : cases) {
                int handled = 0;
                EXPECT_EQ(d.CheckPrivilege(c.id, actor, target, &handled), c.expected)
                    << "privilege " << c.id << ", actor " << a << " on target " << t;
                EXPECT_NE(handled, 0);
            }
        }
    }
    // Any other two-party id is left to the manager.
    CUserObj* top = reps.at(25);
    CUserObj* guest = reps.at(1);
    for (short id : {0, 1, 36, 99, 101, 106, 109, 110, 113, 200}) {
        int handled = 0;
        EXPECT_FALSE(d.CheckPrivilege(id, top, guest, &handled)) << "privilege " << id;
        EXPECT_EQ(handled, 0) << "privilege " << id;
    }
}

template <class Delegate>
void CheckCanActOn(const EditionRules& rules) {
    Delegate d;
    std::vector<int> actors(std::begin(kForeignCodes), std::end(kForeignCodes));
    for (const RankCase& c : rules.ranks) actors.push_back(c.finalLevel);
    std::vector<int> targets(std::begin(kForeignCodes), std::end(kForeignCodes));
    for (int t = -130; t <= 30; ++t) targets.push_back(t);
    for (int a : actors)
        for (int t : targets)
            EXPECT_EQ(d.CanActOn(a, t), Reaches(rules.actOn, a, t)) << a << " on " << t;
}

TEST(Kelt58Edition, RanksByTopLevelThenRoomRoleThenUserLevel) {
    CheckRanking<CKelt58UserMVDelegate>(kKelt58);
}
TEST(Kelt58Edition, DecidesEveryOnePartyPrivilege) {
    CheckOneParty<CKelt58UserMVDelegate>(kKelt58);
}
TEST(Kelt58Edition, DecidesTheFiveTwoPartyPrivileges) {
    CheckTwoParty<CKelt58UserMVDelegate>(kKelt58);
}
TEST(Kelt58Edition, CanActOnFollowsTheActorLists) {
    CheckCanActOn<CKelt58UserMVDelegate>(kKelt58);
}

TEST(PlainEdition, RanksWithFourSiteRoles) {
    CheckRanking<CPlainUserMVDelegate>(kPlain);
}
TEST(PlainEdition, DecidesEveryOnePartyPrivilege) {
    CheckOneParty<CPlainUserMVDelegate>(kPlain);
}
TEST(PlainEdition, DecidesTheFiveTwoPartyPrivileges) {
    CheckTwoParty<CPlainUserMVDelegate>(kPlain);
}
TEST(PlainEdition, CanActOnFollowsTheActorLists) {
    CheckCanActOn<CPlainUserMVDelegate>(kPlain);
}

// The cases the rules single out, spelled out where the tables above only imply them.
TEST(Kelt58Edition, SingledOutCases) {
    CKelt58UserMVDelegate d;
    Users users;
    int handled = 0;
    CUserObj* ownerAt57 = users.Make(57, kOwner);
    EXPECT_EQ(d.GetUserFinalLevel(ownerAt57, &handled), 25);
    EXPECT_EQ(d.GetUserFinalLevel(users.Make(21, kManager), &handled), -111);
    EXPECT_FALSE(d.CheckPrivilege(3, ownerAt57, &handled));
    EXPECT_TRUE(d.CanActOn(25, INT_MIN));
    EXPECT_FALSE(d.CanActOn(9, 0));
    // Final level 20 may kick a 16 but not see his address; a 19 is out of its reach.
    CUserObj* at20 = users.Make(52, kNone);
    CUserObj* at19 = users.Make(38, kNone);
    EXPECT_TRUE(d.CheckPrivilege(108, at20, users.Make(34, kNone), &handled));
    EXPECT_FALSE(d.CheckPrivilege(111, at20, users.Make(34, kNone), &handled));
    EXPECT_FALSE(d.CheckPrivilege(108, at20, at19, &handled));
}

}  // namespace
