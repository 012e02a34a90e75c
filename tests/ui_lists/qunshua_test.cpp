// The recipient list with check boxes: captions, ticking, reading back the ticked ids.
#include <cstring>
#include <memory>
#include <vector>

#include "controls/CtrlListQunshuaUser.h"
#include "lists_fixture.h"
#include "win32/win32.h"

using namespace DuiLib;

namespace {

class QunshuaTest : public ListsTest {
protected:
    // Built once the skin folder is set: the list reads its row layout at once.
    void SetUp() override {
        ListsTest::SetUp();
        list = std::make_unique<CCtrlListQunshuaUser>();
    }
    void TearDown() override {
        list.reset();
        ListsTest::TearDown();
    }
    CCheckBoxUI* Box(int row) {
        return static_cast<CCheckBoxUI*>(
            pm.FindSubControlByName(list->GetItemAt(row), L"chkselall"));
    }
    std::wstring Caption(int row) {
        return pm.FindSubControlByName(list->GetItemAt(row), L"calias")->GetText().GetData();
    }
    CPaintManagerUI pm;
    std::unique_ptr<CCtrlListQunshuaUser> list;
};

TEST_F(QunshuaTest, TickedRowsGiveTheirIdsInRowOrder) {
    for (int id : {11, 22, 33, 22}) list->AddUser(MakeUser(id, "u" + std::to_string(id)));
    ASSERT_EQ(list->GetCount(), 4);
    EXPECT_EQ(Caption(0), L"u11(11)");
    EXPECT_EQ(list->GetCheckedCount(), 0);
    Box(2)->SetCheck(true);
    Box(1)->SetCheck(true);
    std::vector<int> ids{7};
    EXPECT_EQ(list->GetCheckedUserIds(ids), 3) << "appended to what the vector held";
    EXPECT_EQ(ids, (std::vector<int>{7, 22, 33}));

    list->SetAllChecked(true);
    EXPECT_EQ(list->GetCheckedCount(), 4);
    list->RemoveUser(22);  // both of his rows
    EXPECT_EQ(list->GetCount(), 2);
    ids.clear();
    EXPECT_EQ(list->GetCheckedUserIds(ids), 2);
    EXPECT_EQ(ids, (std::vector<int>{11, 33}));
    list->SetAllChecked(false);
    EXPECT_EQ(list->GetCheckedCount(), 0);
    list->RemoveAll();
    EXPECT_EQ(list->GetCount(), 0);
}

TEST_F(QunshuaTest, LevelPicturesOnlyWhereTheCatalogHasThem) {
    CUserObj* known = MakeUser(1);
    known->levels[0] = 5;
    known->roomMgrLevel = 3;
    CUserObj* unknown = MakeUser(2);
    unknown->levels[0] = 200;  // no picture in the catalog
    list->AddUser(known);
    list->AddUser(unknown);
    auto image = [&](int row, const wchar_t* part) {
        return std::wstring(pm.FindSubControlByName(list->GetItemAt(row), part)->GetBkImage());
    };
    EXPECT_EQ(image(0, L"level1"), Img(1, 5));
    EXPECT_EQ(image(0, L"roomlevel"), Img(2, 3));
    EXPECT_EQ(image(1, L"level1"), L"");
    EXPECT_EQ(image(1, L"roomlevel"), L"");
}

TEST_F(QunshuaTest, ALongNameIsCutSoTheCaptionFitsAndKeepsTheId) {
    struct Case {
        std::string alias;  // UTF-8
        int id;
    } cases[] = {
        {std::string(200, 'a'), 123456},
        {[] {
             std::string s;
             for (int i = 0; i < 90; ++i) s += "名";
             return s;
         }(),
         7},
        {"<i>short</i>", 9},
    };
    for (const Case& c : cases) {
        list->RemoveAll();
        list->AddUser(MakeUser(c.id, c.alias));
        std::string caption = winplat::WideToAnsi(Caption(0));
        const std::string suffix = "(" + std::to_string(c.id) + ")";
        EXPECT_LE(caption.size(), 127u);
        ASSERT_GE(caption.size(), suffix.size());
        EXPECT_EQ(caption.substr(caption.size() - suffix.size()), suffix);
        std::string kept = caption.substr(0, caption.size() - suffix.size());
        EXPECT_EQ(Ansi(c.alias).compare(0, kept.size(), kept), 0) << "the start of the name";
        EXPECT_EQ(winplat::AnsiToWide(kept).find(L'\xFFFD'), std::wstring::npos)
            << "no character is cut in half";
    }
}

}  // namespace
