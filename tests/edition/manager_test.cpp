// The privilege manager with an edition delegate installed: the edition's answers
// stand, and only what it leaves unhandled reaches the manager's own tables.
#include "app/EditionRuleTables.h"
#include "app/Kelt58UserMVDelegate.h"
#include "app/VaskUserMVDelegate.h"
#include "edition_cases.h"
#include "model/UserMVManager.h"

namespace {

using edition_test::Users;

int Packed(int level0, int level1, int mgr) {
    return (level0 << 16) | (level1 << 8) | mgr;
}

TEST(EditionWithManager, Kelt58AnswersStandOverTheTables) {
    CUserMVManager m;
    // Rules the tables would answer differently.
    m.AddPrivilege(PRIVILEGE_TABLE_ACTIVE, 3, 1, Packed(57, 0, 0), 0);   // grants id 3
    m.AddPrivilege(PRIVILEGE_TABLE_ACTIVE, 36, 1, Packed(57, 0, 0), 0);  // 36 to level 57
    m.AddPrivilege(PRIVILEGE_TABLE_ACTIVE, 109, 2, 0, Packed(0, 0, 0));  // unknown id
    CKelt58UserMVDelegate d;
    m.SetDelegate(&d);
    Users users;
    CUserObj* top = users.Make(57, 0);
    CUserObj* owner = users.Make(1, 1);
    CUserObj* guest = users.Make(1, 0);

    EXPECT_FALSE(m.CheckPrivilege(3, top));   // refused to everybody, table or not
    EXPECT_FALSE(m.CheckPrivilege(36, top));  // only final levels 0 and 1
    EXPECT_TRUE(m.CheckPrivilege(36, guest));
    EXPECT_TRUE(m.CheckPrivilege(16, owner));
    EXPECT_FALSE(m.CheckPrivilege(16, guest));
    EXPECT_TRUE(m.CheckPrivilege(108, owner, guest));  // -102 may act on 1
    EXPECT_FALSE(m.CheckPrivilege(108, guest, owner));
    EXPECT_EQ(m.GetUserSortId(top), 3);
    EXPECT_EQ(m.GetUserSortId(owner), 18);
    EXPECT_EQ(m.GetUserSortId(guest), 1);
    EXPECT_EQ(m.GetUserSortId(nullptr), 0);  // the manager hands a null user through
    // 109 is not the edition's: the table's rule decides (a target of final level 0 asks
    // for nothing); 110 has no rule at all.
    EXPECT_TRUE(m.CheckPrivilege(109, guest, users.Make(0, 0)));
    EXPECT_FALSE(m.CheckPrivilege(110, owner, guest));
}

TEST(EditionWithManager, VaskLeavesUnknownIdsAndSortIdsToTheManager) {
    CUserMVManager m;
    // Vask's level 5 ranks as 5, which shares the low byte with this rule.
    m.AddPrivilege(PRIVILEGE_TABLE_ACTIVE, 1, 1, Packed(0, 0, 5), 0);
    CVaskUserMVDelegate d;
    m.SetDelegate(&d);
    Users users;
    CUserObj* member = users.Make(5, 0);
    EXPECT_TRUE(m.CheckPrivilege(1, member));
    EXPECT_FALSE(m.CheckPrivilege(1, users.Make(4, 0)));
    EXPECT_TRUE(m.CheckPrivilege(4, member));  // Vask's own: final level 3 or more
    EXPECT_EQ(m.GetUserSortId(member), 0);
}

TEST(ContainsValue, SearchesOnlyTheCountedValues) {
    const int values[] = {7, -3, 9};
    const struct {
        const int* values;
        int count;
        int key;
        bool expected;
    } cases[] = {
        {values, 3, 9, true},  {values, 3, 7, true},   {values, 2, 9, false},
        {values, 0, 7, false}, {values, -1, 7, false}, {nullptr, 3, 7, false},
        {values, 3, 8, false}, {values, 3, -3, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ContainsValue(c.values, c.count, c.key), c.expected)
            << "key " << c.key << " count " << c.count;
}

}  // namespace
