// Vask and Doru rank by thresholds on the user level and the level bytes 5, 6 and 7, and
// grant privileges from minimum levels. They leave sort ids, and ids they do not know,
// to the library.
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "app/DoruUserMVDelegate.h"
#include "app/VaskUserMVDelegate.h"
#include "edition_cases.h"

namespace {

using edition_test::In;
using edition_test::Levels;
using edition_test::Users;

constexpr int kNone = 0, kOwner = 1, kDeputy = 2, kManager = 3, kTempManager = 4;

struct RankCase {
    int level, g6, g7, g8, mgr;
    int finalLevel;
};

// Cases are in the order of the ranking's tests; a case with two conditions shows the
// earlier test winning.
const RankCase kVaskRanks[] = {
    {27, 0, 0, 0, kNone, 27},
    {31, 0, 0, 0, kNone, 31},
    {29, 0, 18, 6, kOwner, 29},
    {26, 0, 0, 0, kNone, 0},
    {32, 0, 0, 0, kNone, 0},
    {0, 0, 18, 0, kNone, 26},
    {0, 0, 18, 6, kNone, 26},
    {0, 0, 17, 0, kNone, 25},
    {0, 0, 11, 0, kNone, 25},
    {0, 0, 10, 0, kNone, 24},
    {0, 0, 1, 0, kNone, 24},
    {0, 20, 0, 6, kNone, 23},
    {0, 20, 0, 0, kNone, 22},
    {21, 255, 0, 0, kNone, 22},
    {21, 0, 0, 0, 5, 21},
    {0, 0, 0, 5, 5, 20},
    {0, 0, 0, 0, 8, 19},
    {0, 0, 0, 0, kOwner, 18},
    {0, 0, 0, 5, kDeputy, 17},
    {0, 0, 0, 4, kNone, 16},
    {0, 0, 0, 3, kDeputy, 15},
    {0, 0, 0, 3, kNone, 14},
    {0, 0, 0, 2, kNone, 13},
    {0, 19, 0, 1, kNone, 12},
    {0, 19, 0, 0, kNone, 11},
    {0, 16, 0, 0, kNone, 11},
    {0, 15, 0, 0, kNone, 10},
    {0, 11, 0, 0, kNone, 10},
    {0, 10, 0, 0, kNone, 9},
    {0, 6, 0, 0, kNone, 9},
    {0, 5, 0, 0, kNone, 8},
    {7, 1, 0, 0, kNone, 8},
    {7, 0, 0, 0, kManager, 7},
    {5, 0, 0, 0, kManager, 6},
    {0, 0, 0, 0, kTempManager, 6},
    {5, 0, 0, 0, kNone, 5},
    {4, 0, 0, 0, kNone, 4},
    {3, 0, 0, 0, kNone, 3},
    {2, 0, 0, 0, kNone, 2},
    {1, 0, 0, 0, kNone, 1},
    {0, 0, 0, 0, kNone, 0},
    {6, 0, 0, 0, 7, 0},  // 7, 9 and 11 are no roles in this edition
    {8, 0, 0, 0, 9, 0},
    {20, 0, 0, 0, 11, 0},
};

const RankCase kDoruRanks[] = {
    {40, 0, 0, 0, kNone, 40},  {44, 0, 18, 0, kNone, 44}, {39, 0, 0, 0, kNone, 0},
    {45, 0, 0, 0, kNone, 0},   {27, 0, 0, 0, kNone, 0},   {0, 0, 18, 6, kNone, 35},
    {0, 0, 17, 0, kNone, 34},  {0, 0, 11, 0, kNone, 34},  {0, 0, 10, 0, kNone, 33},
    {0, 0, 1, 0, kNone, 33},   {0, 20, 0, 6, kNone, 32},  {30, 20, 0, 0, kNone, 31},
    {30, 0, 0, 0, 7, 30},      {21, 0, 0, 0, kNone, 0},  // the host level of this edition is 30
    {0, 0, 0, 5, kOwner, 18},  {0, 0, 0, 0, 5, 23},       {0, 0, 0, 0, 7, 25},
    {0, 0, 0, 0, 8, 22},       {0, 0, 0, 0, 9, 24},       {0, 0, 0, 0, 11, 20},
    {7, 0, 0, 5, 12, 21},      {0, 0, 0, 5, kDeputy, 17}, {0, 0, 0, 4, kNone, 16},
    {0, 0, 0, 3, kDeputy, 15}, {0, 0, 0, 3, kNone, 14},   {0, 0, 0, 2, kNone, 13},
    {0, 16, 0, 1, kNone, 12},  {0, 19, 0, 0, kNone, 11},  {0, 11, 0, 0, kNone, 10},
    {0, 10, 0, 0, kNone, 9},   {7, 1, 0, 0, kNone, 8},    {7, 0, 0, 0, kTempManager, 7},
    {1, 0, 0, 0, kManager, 6}, {5, 0, 0, 0, kNone, 5},    {4, 0, 0, 0, kNone, 4},
    {3, 0, 0, 0, kNone, 3},    {2, 0, 0, 0, kNone, 2},    {1, 0, 0, 0, kNone, 1},
    {6, 0, 0, 0, kNone, 0},
};

struct Edition {
    const char* name;
    std::function<IUserMVManagerDelegate*()> make;
    std::vector<RankCase> ranks;
    int top;       // T: the lowest top level
    int host;      // host level: privilege 10 and 111
    int exchange;  // privilege 14
};

const Edition kEditions[] = {
    {"Vask", [] { return new CVaskUserMVDelegate; },
     std::vector<RankCase>(std::begin(kVaskRanks), std::end(kVaskRanks)), 27, 21, 3},
    {"Doru", [] { return new CDoruUserMVDelegate; },
     std::vector<RankCase>(std::begin(kDoruRanks), std::end(kDoruRanks)), 40, 30, 2},
};

void PrintTo(const Edition& e, std::ostream* os) {
    *os << e.name;
}

// One-party: which ids each edition decides, and when it grants them (f final level,
// l user level).
bool ExpectedOneParty(const Edition& e, int id, int f, int l, bool* handled) {
    const int t = e.top;
    const struct {
        const char* ids;
        bool granted;
    } rows[] = {
        {"4, 5, 6, 18, 19, 20, 37, 38", f >= 3},
        {"14", f >= e.exchange},
        {"9, 40, 41", f >= 15},
        {"10", f >= e.host},
        {"15", l == 7 || l >= t},
        {"16, 23", f >= t || f == 18},
        {"17", f >= 6},
        {"24, 35", f >= t || f == 18 || f == 15},
        {"26", f >= t || f == 18 || f == 15 || f == 6},
        {"28, 29, 30, 39", f >= t},
        {"34", f >= 1},
        {"36", f <= 2},
        {"42", f >= 4},
    };
    for (const auto& row : rows)
        if (In(Levels(row.ids), id)) {
            *handled = true;
            return row.granted;
        }
    *handled = false;
    return false;
}

bool ExpectedTwoParty(const Edition& e, int id, int a, int t, bool* handled) {
    *handled = true;
    switch (id) {
        case 100:
            return a > 6 && t < a;
        case 107:
            return (a >= 18 || a == 15) && t < a;
        case 108:
            return (a >= 15 || a == 6) && t < a;
        case 111:
            return (a == e.host || a >= e.top) && t < a;
        case 112:
            return a > 14;
    }
    *handled = false;
    return false;
}

class ThresholdEdition : public testing::TestWithParam<Edition> {
protected:
    void SetUp() override { d.reset(GetParam().make()); }

    // One user for every final level the edition hands out.
    std::map<int, CUserObj*> Representatives() {
        std::map<int, CUserObj*> out;
        for (const RankCase& c : GetParam().ranks)
            if (!out.count(c.finalLevel))
                out[c.finalLevel] = users.Make(c.level, c.mgr, c.g6, c.g7, c.g8);
        return out;
    }

    std::unique_ptr<IUserMVManagerDelegate> d;
    Users users;
};

TEST_P(ThresholdEdition, RanksInTestOrderAndLeavesSortIdsToTheLibrary) {
    for (const RankCase& c : GetParam().ranks) {
        CUserObj* u = users.Make(c.level, c.mgr, c.g6, c.g7, c.g8);
        int handled = 0;
        EXPECT_EQ(d->GetUserFinalLevel(u, &handled), c.finalLevel)
            << "level " << c.level << " g6 " << c.g6 << " g7 " << c.g7 << " g8 " << c.g8 << " role "
            << c.mgr;
        EXPECT_NE(handled, 0);
        handled = 1;
        EXPECT_EQ(d->GetUserSortId(u, &handled), 0);
        EXPECT_EQ(handled, 0);
    }
}

TEST_P(ThresholdEdition, OnePartyThresholds) {
    for (const auto& [f, user] : Representatives()) {
        for (int id = -1; id <= 120; ++id) {
            bool expectHandled;
            bool expected = ExpectedOneParty(GetParam(), id, f, user->levels[0], &expectHandled);
            int handled = 0;
            EXPECT_EQ(d->CheckPrivilege(static_cast<short>(id), user, &handled), expected)
                << "privilege " << id << " at final level " << f;
            EXPECT_EQ(handled != 0, expectHandled) << "privilege " << id;
        }
    }
}

TEST_P(ThresholdEdition, PrivilegeFifteenAsksTheUserLevel) {
    const Edition& e = GetParam();
    int handled = 0;
    // Level 7 with a high byte 6 ranks far above 7 and is still granted; a user level
    // at or above the top levels is granted whatever it ranks as.
    EXPECT_TRUE(d->CheckPrivilege(15, users.Make(7, kNone, 0, 5), &handled));
    EXPECT_FALSE(d->CheckPrivilege(15, users.Make(6, kNone, 0, 18), &handled));
    EXPECT_TRUE(d->CheckPrivilege(15, users.Make(e.top + 5, kNone), &handled));
    EXPECT_FALSE(d->CheckPrivilege(15, users.Make(e.top - 1, kNone), &handled));
}

TEST_P(ThresholdEdition, TwoPartyThresholds) {
    const auto reps = Representatives();
    for (const auto& [a, actor] : reps) {
        for (const auto& [t, target] : reps) {
            for (int id : {0, 1, 99, 100, 101, 106, 107, 108, 109, 110, 111, 112, 113}) {
                bool expectHandled;
                bool expected = ExpectedTwoParty(GetParam(), id, a, t, &expectHandled);
                int handled = 0;
                EXPECT_EQ(d->CheckPrivilege(static_cast<short>(id), actor, target, &handled),
                          expected)
                    << "privilege " << id << ", actor " << a << " on target " << t;
                EXPECT_EQ(handled != 0, expectHandled) << "privilege " << id;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Editions, ThresholdEdition, testing::ValuesIn(kEditions),
                         [](const testing::TestParamInfo<Edition>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
