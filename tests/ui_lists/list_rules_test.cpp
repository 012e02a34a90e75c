// The member lists' rules: one row per user or a queue, the edition's sort order,
// the search filter, removing the n-th queue row, selection and refilling.
#include <vector>

#include "controls/CtrlListFriend.h"
#include "lists_fixture.h"
#include "model/UserManager.h"
#include "session/CommKernelData.h"

using namespace DuiLib;

namespace {

class ListRulesTest : public ListsTest {
protected:
    CCtrlListFriend* MakeList(int kind, int sorted) {
        list = std::make_unique<CCtrlListFriend>();
        list->SetListType(kind)->SetSorted(sorted);
        list->LoadItemTemplate(L"userlist.xml");
        return list.get();
    }
    std::vector<int> RowIds() const {
        std::vector<int> ids;
        for (int i = 0; i < list->GetCount(); ++i)
            ids.push_back(reinterpret_cast<CUserObj*>(list->GetItemAt(i)->GetTag())->userId);
        return ids;
    }
    std::unique_ptr<CCtrlListFriend> list;
};

TEST_F(ListRulesTest, SortedRowsFollowSortIdThenTheLargerTieBreak) {
    struct Member {
        int id;
        int sortId;  // -1: the delegate leaves it (sort id 0)
        int tieBreak;
    };
    struct Case {
        const char* what;
        int sorted;
        std::vector<Member> added;  // in this order
        std::vector<int> expected;
    } cases[] = {
        {"equal sort ids: larger tie-break first",
         1,
         {{1, 5, 10}, {2, 5, 30}, {3, 5, 20}},
         {2, 3, 1}},
        {"a smaller sort id comes before both", 1, {{1, 5, 10}, {2, 5, 30}, {3, 2, 0}}, {3, 2, 1}},
        {"equal in both: in the order they came", 1, {{1, 4, 7}, {2, 4, 7}, {3, 4, 7}}, {1, 2, 3}},
        {"no delegate answer: sort id 0 before positive ones",
         1,
         {{1, 3, 0}, {2, -1, 1}, {3, 1, 9}},
         {2, 3, 1}},
        {"unsorted list: appended", 0, {{1, 9, 0}, {2, 1, 0}, {3, 5, 0}}, {1, 2, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        delegate.sortIds.clear();
        users.clear();
        MakeList(USERLIST_ONE_ROW_PER_USER, c.sorted);
        for (const Member& m : c.added) {
            CUserObj* u = MakeUser(m.id);
            u->entryValue23 = m.tieBreak;
            if (m.sortId >= 0) delegate.sortIds[m.id] = m.sortId;
            EXPECT_TRUE(list->AddUser(u));
        }
        EXPECT_EQ(RowIds(), c.expected);
    }
}

TEST_F(ListRulesTest, FilterMatchesAliasOrDecimalIdCaseSensitively) {
    struct Case {
        const wchar_t* filter;  // null clears
        int id;
        const char* alias;
        bool shown;
    } cases[] = {
        {L"12", 3120, "abc", true},  // in the id only
        {L"12", 45, "ab12", true},   // in the alias only
        {L"12", 45, "abc", false},   // in neither
        {L"", 45, "abc", true},      // empty filter: everyone
        {nullptr, 45, "abc", true},  // cleared
        {L"AB", 45, "abc", false},   // case counts
        {L"明", 77, "小明", true},   // alias compared as wide text
        {L"小红", 77, "小明", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "id " << c.id << " alias " << c.alias);
        MakeList(USERLIST_ONE_ROW_PER_USER, 1);
        list->SetFilter(L"zz");  // replaced by the case's filter
        list->SetFilter(c.filter);
        EXPECT_EQ(list->AddUser(MakeUser(c.id, c.alias)), c.shown);
        EXPECT_EQ(list->GetCount(), c.shown ? 1 : 0);
        EXPECT_EQ(list->HasUser(c.id), c.shown) << "a hidden user is not recorded either";
    }
}

TEST_F(ListRulesTest, OneRowListRefusesRepeatsAndQueueKeepsThem) {
    CUserObj* a = MakeUser(10);
    MakeList(USERLIST_ONE_ROW_PER_USER, 1);
    EXPECT_TRUE(list->AddUser(a));
    EXPECT_FALSE(list->AddUser(a));
    EXPECT_EQ(list->GetCount(), 1);
    EXPECT_TRUE(list->HasUser(10));
    EXPECT_EQ(list->GetUserMap()->size(), 1u);

    MakeList(USERLIST_QUEUE, 0);
    EXPECT_TRUE(list->AddUser(a));
    EXPECT_TRUE(list->AddUser(a));
    EXPECT_EQ(list->GetCount(), 2);
    EXPECT_FALSE(list->HasUser(10)) << "a queue keeps no id map";

    MakeList(3, 0);
    EXPECT_FALSE(list->AddUser(a)) << "an unknown kind adds nothing";
    EXPECT_EQ(list->GetCount(), 0);
    EXPECT_FALSE(list->AddUser(nullptr));
}

TEST_F(ListRulesTest, WithoutARowLayoutTheIdIsStillRecorded) {
    struct Case {
        const wchar_t* first;
        const wchar_t* second;
    } cases[] = {
        {nullptr, nullptr},                        // never loaded
        {L"no-such-layout.xml", L"userlist.xml"},  // only the first call counts
    };
    for (const Case& c : cases) {
        list = std::make_unique<CCtrlListFriend>();
        if (c.first) list->LoadItemTemplate(c.first);
        if (c.second) list->LoadItemTemplate(c.second);
        EXPECT_TRUE(list->AddUser(MakeUser(5)));
        EXPECT_EQ(list->GetCount(), 0);
        EXPECT_TRUE(list->HasUser(5));
        EXPECT_FALSE(list->AddUser(&users.back()));
    }
}

TEST_F(ListRulesTest, RemovingUsersByKind) {
    CUserObj* a = MakeUser(1);
    CUserObj* b = MakeUser(2);
    MakeList(USERLIST_ONE_ROW_PER_USER, 1);
    list->AddUser(a);
    list->AddUser(b);
    list->RemoveUser(99, 0);  // not listed: nothing
    EXPECT_EQ(list->GetCount(), 2);
    list->RemoveUser(1, 0);
    EXPECT_EQ(RowIds(), std::vector<int>{2});
    EXPECT_FALSE(list->HasUser(1));
    EXPECT_TRUE(list->AddUser(a)) << "a removed user can come back";
    list->RemoveAll();
    EXPECT_EQ(list->GetCount(), 0);
    EXPECT_FALSE(list->HasUser(2));
    EXPECT_TRUE(list->AddUser(b));

    // Queue a b a c a: the rows of a are 0, 2 and 4.
    struct Case {
        int nth;
        std::vector<int> left;
    } cases[] = {
        {2, {1, 2, 3, 1}},                                     // only the second of a's rows
        {1, {2, 1, 3, 1}},    {3, {1, 2, 1, 3}}, {0, {2, 3}},  // every row of a
        {4, {1, 2, 1, 3, 1}},                                  // he has no fourth row
    };
    CUserObj* c3 = MakeUser(3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nth);
        MakeList(USERLIST_QUEUE, 0);
        for (CUserObj* u : {a, b, a, c3, a}) list->AddUser(u);
        EXPECT_EQ(list->CountUserItemsUpTo(1, 4), 3);
        EXPECT_EQ(list->CountUserItemsUpTo(1, 2), 2);
        EXPECT_EQ(list->CountUserItemsUpTo(1, 0), 1);
        EXPECT_EQ(list->CountUserItemsUpTo(1, 99), 3);
        list->RemoveUser(1, c.nth);
        EXPECT_EQ(RowIds(), c.left);
    }
}

TEST_F(ListRulesTest, QueueRowsOfAUserAlreadyDeletedAreRemovedByHisId) {
    // The kernel deletes a user who left before the room hears of it.
    MakeList(USERLIST_QUEUE, 0);
    auto* gone = new CUserObj();
    gone->userId = 42;
    CUserObj* other = MakeUser(7);
    list->AddUser(gone);
    list->AddUser(other);
    list->AddUser(gone);
    delete gone;
    EXPECT_EQ(list->CountUserItemsUpTo(42, 2), 2);
    list->SetUserSeal(42, 3);
    list->RemoveUser(42, 0);
    EXPECT_EQ(RowIds(), std::vector<int>{7});
}

TEST_F(ListRulesTest, ASortedInsertNeverReadsARowWhoseUserWasDeleted) {
    // One read of the room connection: B enters, A leaves. The kernel has deleted A
    // before the room inserts B, so A's row is still listed.
    MakeList(USERLIST_ONE_ROW_PER_USER, 1);
    auto* gone = new CUserObj();
    gone->userId = 42;
    data->m_pUserManager->AddUser(gone);
    CUserObj* stays = MakeUser(7);
    delegate.sortIds = {{42, 5}, {7, 5}, {8, 5}};
    ASSERT_TRUE(list->AddUser(gone));
    ASSERT_TRUE(list->AddUser(stays));
    data->m_pUserManager->DelUser(42);  // deletes the object

    delegate.asked.clear();
    CUserObj* arrives = MakeUser(8);
    arrives->entryValue23 = 1;
    ASSERT_TRUE(list->AddUser(arrives));
    for (CUserObj* u : delegate.asked) EXPECT_NE(u, gone) << "the deleted user was read";
    EXPECT_EQ(list->GetCount(), 3);
    list->RemoveUser(42, 0);
    EXPECT_EQ(RowIds(), (std::vector<int>{8, 7}));
}

TEST_F(ListRulesTest, ADeletedUsersAddressGivenToAnotherStillFindsTheRightRow) {
    // One read: A leaves and B arrives; the kernel deleted A and B's object took A's
    // address, so both rows carry the same tag until the room removes A's.
    MakeList(USERLIST_ONE_ROW_PER_USER, 1);
    CUserObj* shared = MakeUser(1);
    delegate.sortIds = {{1, 5}, {2, -1}};  // B sorts first (before a row of nobody, 0)
    ASSERT_TRUE(list->AddUser(shared));
    data->m_pUserManager->users.erase(1);
    shared->userId = 2;
    data->m_pUserManager->AddUser(shared);
    ASSERT_TRUE(list->AddUser(shared));

    EXPECT_EQ(list->SelectItemByTag(shared), 0) << "B's row";
    list->RemoveUser(1, 0);
    ASSERT_EQ(list->GetCount(), 1);
    EXPECT_EQ(list->GetRowUserId(list->GetItemAt(0)), 2);
    EXPECT_TRUE(list->HasUser(2));
}

TEST_F(ListRulesTest, SelectByUserAndRefillHisRows) {
    CUserObj* a = MakeUser(1, "甲");
    CUserObj* b = MakeUser(2, "乙");
    MakeList(USERLIST_QUEUE, 0);
    list->AddUser(a);
    list->AddUser(b);
    list->AddUser(b);
    EXPECT_EQ(list->SelectItemByTag(b), 1);
    EXPECT_EQ(list->GetCurSel(), 1);
    EXPECT_EQ(list->SelectItemByTag(MakeUser(3)), -1);
    EXPECT_EQ(list->GetCurSel(), 1) << "an unlisted user leaves the selection";

    b->alias = Ansi("丙");
    list->UpdateUser(b);
    CPaintManagerUI pm;
    for (int i = 0; i < 3; ++i) {
        CControlUI* alias = pm.FindSubControlByName(list->GetItemAt(i), L"calias");
        ASSERT_NE(alias, nullptr);
        EXPECT_EQ(std::wstring(alias->GetText()), i == 0 ? L"甲" : L"丙");
    }
}

}  // namespace
