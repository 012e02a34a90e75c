// What a member row shows: each named part filled from the user by its rule, seal
// pictures that end with their second, and network names shown as plain text.
#include <functional>

#include "controls/CtrlListFriend.h"
#include "lists_fixture.h"
#include "win32/win32.h"

using namespace DuiLib;

namespace {

const wchar_t kKeep[] = L"keep.png";
const wchar_t* const kParts[] = {L"level1",       L"level2",        L"roomlevel", L"yiyuanlevel",
                                 L"video",        L"photo",         L"seal",      L"caifugrade",
                                 L"xiaofeilevel", L"1xiaofeilevel", L"weekstart"};

class RowFillTest : public ListsTest {
protected:
    void SetUp() override {
        ListsTest::SetUp();
        list.SetListType(USERLIST_QUEUE);
        list.LoadItemTemplate(L"userlist.xml");
    }
    CControlUI* Part(int row, const wchar_t* name) {
        return pm.FindSubControlByName(list.GetItemAt(row), name);
    }
    // Marks every picture part, then fills the row again: a part that keeps the mark
    // was left unchanged, an empty one was cleared.
    void Refill(CUserObj* user) {
        for (const wchar_t* name : kParts) Part(0, name)->SetBkImage(kKeep);
        list.UpdateUser(user);
    }
    CPaintManagerUI pm;
    CCtrlListFriend list;
};

TEST_F(RowFillTest, EachPartFollowsItsRule) {
    struct Case {
        const char* what;
        std::function<void(CUserObj&)> set;
        const wchar_t* part;
        std::wstring expected;
    } cases[] = {
        {"user level", [](CUserObj& u) { u.levels[0] = 5; }, L"level1", Img(1, 5)},
        {"castle lord", [](CUserObj& u) { u.flags = 0x2000 | 0x4000; }, L"level1", Img(4, 101)},
        {"castle lady", [](CUserObj& u) { u.flags = 0x4000; }, L"level1", Img(4, 100)},
        {"entry flag", [](CUserObj& u) { u.entryFlag0 = 1; }, L"level2", Img(7, 1)},
        {"no entry flag", [](CUserObj&) {}, L"level2", L""},
        {"manager", [](CUserObj& u) { u.roomMgrLevel = 3; }, L"roomlevel", Img(2, 3)},
        {"temporary manager", [](CUserObj& u) { u.flags = 0x20; }, L"roomlevel", Img(2, 4)},
        {"no manager", [](CUserObj&) {}, L"roomlevel", L""},
        {"member", [](CUserObj& u) { u.levels[1] = 2; }, L"yiyuanlevel", Img(3, 1)},
        {"no member", [](CUserObj&) {}, L"yiyuanlevel", L""},
        {"public mic", [](CUserObj& u) { u.flags = 0x1 | 0x2; }, L"video", L"head\\22.png"},
        {"VIP mic", [](CUserObj& u) { u.flags = 0x2; }, L"video", L"head\\29.png"},
        {"secret mic", [](CUserObj& u) { u.flags = 0x4; }, L"video", L"head\\29.png"},
        {"no mic", [](CUserObj& u) { u.flags = 0x10; }, L"video", L"head\\21.png"},
        {"face", [](CUserObj& u) { u.faceId = 7; }, L"photo", L"Face/36/7.png"},
        {"wealth 0", [](CUserObj&) {}, L"caifugrade", Img(6, 0)},
        {"wealth 4", [](CUserObj& u) { u.levels[4] = 4; }, L"caifugrade", Img(6, 4)},
        {"no wealth", [](CUserObj& u) { u.levels[4] = -1; }, L"caifugrade", L""},
        {"consumption 1", [](CUserObj& u) { u.levels[6] = 1; }, L"xiaofeilevel", Img(9, 1)},
        {"consumption 10", [](CUserObj& u) { u.levels[6] = 10; }, L"xiaofeilevel", Img(9, 1)},
        {"consumption 11", [](CUserObj& u) { u.levels[6] = 11; }, L"xiaofeilevel", Img(9, 2)},
        {"consumption 17", [](CUserObj& u) { u.levels[6] = 17; }, L"xiaofeilevel", Img(9, 2)},
        {"consumption 18", [](CUserObj& u) { u.levels[6] = 18; }, L"xiaofeilevel", Img(9, 3)},
        {"rank when no consumption", [](CUserObj& u) { u.levels[7] = 4; }, L"xiaofeilevel",
         Img(10, 4)},
        {"consumption before rank",
         [](CUserObj& u) {
             u.levels[6] = 2;
             u.levels[7] = 4;
         },
         L"xiaofeilevel", Img(9, 1)},
        {"neither", [](CUserObj&) {}, L"xiaofeilevel", kKeep},
        {"grade 5", [](CUserObj& u) { u.levels[5] = 5; }, L"1xiaofeilevel", Img(8, 1)},
        {"grade 6", [](CUserObj& u) { u.levels[5] = 6; }, L"1xiaofeilevel", Img(8, 2)},
        {"grade 15", [](CUserObj& u) { u.levels[5] = 15; }, L"1xiaofeilevel", Img(8, 3)},
        {"grade 16", [](CUserObj& u) { u.levels[5] = 16; }, L"1xiaofeilevel", Img(8, 4)},
        {"grade 19", [](CUserObj& u) { u.levels[5] = 19; }, L"1xiaofeilevel", Img(8, 4)},
        {"grade 20", [](CUserObj& u) { u.levels[5] = 20; }, L"1xiaofeilevel", Img(8, 5)},
        {"no grade", [](CUserObj&) {}, L"1xiaofeilevel", kKeep},
        {"entrance effects", [](CUserObj& u) { u.entranceEffects = 4; }, L"weekstart",
         L"head\\WeekStar1.gif"},
        {"no entrance effects", [](CUserObj&) {}, L"weekstart", kKeep},
        {"no seal", [](CUserObj&) {}, L"seal", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        list.RemoveAll();
        CUserObj* u = MakeUser(1000);
        list.AddUser(u);
        ASSERT_EQ(list.GetCount(), 1);
        c.set(*u);
        Refill(u);
        EXPECT_EQ(std::wstring(Part(0, c.part)->GetBkImage()), c.expected);
    }
}

TEST_F(RowFillTest, NameAndIdAreRedForHighLevelsAndManagers) {
    struct Case {
        int level;
        int mgrLevel;
        DWORD colour;
    } cases[] = {{12, 0, 0xFF000000}, {13, 0, 0xFFFF0000}, {1, 3, 0xFFFF0000}, {1, 6, 0xFF000000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.level << "/" << c.mgrLevel);
        list.RemoveAll();
        CUserObj* u = MakeUser(3120, "小明");
        u->levels[0] = c.level;
        u->roomMgrLevel = c.mgrLevel;
        list.AddUser(u);
        auto* alias = static_cast<CLabelUI*>(Part(0, L"calias"));
        auto* id = static_cast<CLabelUI*>(Part(0, L"idnumber"));
        EXPECT_EQ(std::wstring(alias->GetText()), L"小明");
        EXPECT_EQ(std::wstring(id->GetText()), L"3120");
        EXPECT_EQ(alias->GetTextColor(), c.colour);
        EXPECT_EQ(id->GetTextColor(), c.colour);
    }
}

TEST_F(RowFillTest, NamesFromTheNetworkStayPlainText) {
    CCtrlListFriend markup;
    // A row layout that would draw its labels as markup.
    markup.LoadItemTemplate(
        L"<UserListItem height=\"20\"><Label name=\"calias\" showhtml=\"true\" /></UserListItem>");
    markup.AddUser(MakeUser(8, "<b>boss</b>{c #FF0000}x"));
    auto* alias = static_cast<CLabelUI*>(pm.FindSubControlByName(markup.GetItemAt(0), L"calias"));
    ASSERT_NE(alias, nullptr);
    EXPECT_EQ(std::wstring(alias->GetText()), L"<b>boss</b>{c #FF0000}x");
    EXPECT_FALSE(alias->IsShowHtml());
}

TEST_F(RowFillTest, RowsWithoutPartsOrOfAnotherClassAreLeftAlone) {
    CCtrlListFriend bare;
    bare.LoadItemTemplate(L"<UserListItem height=\"20\"><Control name=\"other\" /></UserListItem>");
    EXPECT_TRUE(bare.AddUser(MakeUser(1)));
    EXPECT_EQ(bare.GetCount(), 1);

    CCtrlListFriend labels;
    labels.LoadItemTemplate(L"<ListLabelElement name=\"calias\" text=\"as built\" />");
    labels.AddUser(MakeUser(2, "someone"));
    ASSERT_EQ(labels.GetCount(), 1);
    EXPECT_EQ(std::wstring(labels.GetItemAt(0)->GetText()), L"as built");
}

TEST_F(RowFillTest, SealsShowUntilTheirLastSecondAndCanBeSetDirectly) {
    const int64_t now = 1700000000;
    winplat::InstallManualClock(now);
    CUserObj* a = MakeUser(5);
    a->sealId = 3;
    a->sealExpiry = static_cast<int32_t>(now + 2);
    CUserObj* b = MakeUser(6);
    list.AddUser(a);
    list.AddUser(b);
    list.AddUser(a);
    auto seal = [&](int row) { return std::wstring(Part(row, L"seal")->GetBkImage()); };
    EXPECT_EQ(seal(0), L"../Seal/3_a.png");
    EXPECT_EQ(seal(1), L"");

    winplat::AdvanceManualClock(1000);
    list.RefreshSeals();
    EXPECT_EQ(seal(0), L"../Seal/3_a.png");
    winplat::AdvanceManualClock(1000);  // now equals the end
    list.RefreshSeals();
    EXPECT_EQ(seal(0), L"");
    EXPECT_EQ(seal(2), L"");

    list.SetUserSeal(5, 4);  // no expiry test
    EXPECT_EQ(seal(0), L"../Seal/4_a.png");
    EXPECT_EQ(seal(2), L"../Seal/4_a.png");
    EXPECT_EQ(seal(1), L"");
    list.SetUserSeal(0, 2);  // no user
    EXPECT_EQ(seal(1), L"");
    list.SetUserSeal(5, 0);
    EXPECT_EQ(seal(0), L"");
    winplat::RemoveManualClock();
}

}  // namespace
