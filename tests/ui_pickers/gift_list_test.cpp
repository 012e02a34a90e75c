// The gift picker: tiles cloned from "giftdesk.xml", their click and hover
// notifications, and what a person sees of a list filled from the gift catalog.
#include <QImage>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "catalogs/GiftManager.h"
#include "controls/DialogBuilderCallbackEx.h"
#include "controls/GiftControlUI.h"
#include "controls/GiftListItem.h"
#include "controls/GiftListUI.h"
#include "picker_fixture.h"
#include "win32gui/qt_bridge.h"

using namespace DuiLib;

namespace {

class GiftListTest : public UiTest {};

CControlUI* Child(CGiftListItem* item, const wchar_t* name) {
    for (int i = 0; i < item->GetCount(); ++i)
        if (item->GetItemAt(i)->GetName() == name) return item->GetItemAt(i);
    return nullptr;
}

const wchar_t* kGiftWindow =
    L"<Window size=\"240,160\"><VerticalLayout bkcolor=\"#FFFFFFFF\">"
    L"<GiftList name=\"gifts\" inset=\"4,4,4,4\" vscrollbar=\"true\" />"
    L"</VerticalLayout></Window>";

}  // namespace

TEST_F(GiftListTest, TheFactoryBuildsThePickerControlsByTheirElementNames) {
    CDialogBuilderCallbackEx factory;
    struct Case {
        const wchar_t* element;
        const wchar_t* cls;
        bool (*is)(CControlUI*);
    };
    const Case cases[] = {
        {L"GiftList", L"TileLayoutUI",
         [](CControlUI* c) { return !!dynamic_cast<CGiftListUI*>(c); }},
        {L"GiftListItem", L"GiftListItemUI",
         [](CControlUI* c) { return !!dynamic_cast<CGiftListItem*>(c); }},
        {L"GiftControl", L"ControlUI",
         [](CControlUI* c) { return !!dynamic_cast<CGiftControlUI*>(c); }},
    };
    for (const Case& c : cases) {
        CControlUI* made = factory.CreateControl(c.element);
        ASSERT_NE(made, nullptr) << c.element;
        EXPECT_TRUE(c.is(made)) << c.element;
        EXPECT_STREQ(made->GetClass(), c.cls) << c.element;
        delete made;
    }
    CGiftControlUI hover;
    EXPECT_EQ(hover.GetInterface(L"GiftControl"), &hover);
    EXPECT_EQ(hover.GetInterface(L"Control"), &hover);  // the base still answers
    EXPECT_EQ(hover.GetInterface(L"Button"), nullptr);
}

TEST_F(GiftListTest, TilesCarryTheirGiftAndShowAtMostFourCharactersOfTheName) {
    CGiftListUI list;
    EXPECT_EQ(list.GetItemSize().cx, 50);
    EXPECT_EQ(list.GetItemSize().cy, 68);
    struct Case {
        int id;
        const wchar_t* image;
        const wchar_t* name;
        const wchar_t* shown;
    };
    const Case cases[] = {
        {1, L"1.png", L"红玫瑰花一朵", L"红玫瑰花"},  // six characters: the first four
        {2, L"2.png", L"香吻", L"香吻"},              // shorter: whole
        {3, L"3.png", L"钻戒礼盒", L"钻戒礼盒"},      // exactly four
        {-3, L"app3.png", L"", L""},                  // a service tile of the room
    };
    for (const Case& c : cases) list.AddGiftItem(c.id, c.image, c.name);
    ASSERT_EQ(list.GetCount(), 4);
    for (int i = 0; i < 4; ++i) {
        const Case& c = cases[i];
        auto* item = dynamic_cast<CGiftListItem*>(list.GetItemAt(i));
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->GetGiftId(), c.id);
        EXPECT_EQ(static_cast<INT_PTR>(item->GetTag()), c.id);
        EXPECT_EQ(item->GetOwner(), &list);
        EXPECT_EQ(list.GetItemIndexByTag(static_cast<UINT_PTR>(static_cast<INT_PTR>(c.id))), i);
        ASSERT_NE(Child(item, L"giftname"), nullptr);
        EXPECT_EQ(std::wstring(Child(item, L"giftname")->GetText()), c.shown) << c.id;
        EXPECT_EQ(std::wstring(Child(item, L"giftimg")->GetBkImage()),
                  std::wstring(L"gift/") + c.image);
        auto* hover = dynamic_cast<CGiftControlUI*>(Child(item, L"giftbk"));
        ASSERT_NE(hover, nullptr);
        EXPECT_EQ(hover->GetGiftId(), c.id);
    }
}

TEST_F(GiftListTest, ItemLayoutsWithoutTheNamedPartsStillGiveTilesOrNone) {
    struct Case {
        const char* what;
        const char* layout;  // null: no "giftdesk.xml" at all
        int tiles;
    };
    const Case cases[] = {
        {"no item layout", nullptr, 0},
        {"root is not a gift tile", "<Container><Label name=\"giftname\" /></Container>", 0},
        {"no image, name or hover part",
         "<GiftListItem><Label name=\"other\" text=\"x\" /></GiftListItem>", 1},
        {"hover part of another class",
         "<GiftListItem><Control name=\"giftbk\" /><Label name=\"giftname\" /></GiftListItem>", 1},
    };
    for (const Case& c : cases) {
        ScratchSkin skin;
        if (c.layout) skin.Write("giftdesk.xml", c.layout);
        CGiftListUI list;
        list.AddGiftItem(7, L"7.png", L"跑车");
        ASSERT_EQ(list.GetCount(), c.tiles) << c.what;
        if (c.tiles == 0) continue;
        auto* item = dynamic_cast<CGiftListItem*>(list.GetItemAt(0));
        ASSERT_NE(item, nullptr) << c.what;
        EXPECT_EQ(item->GetGiftId(), 7) << c.what;
        if (CControlUI* other = Child(item, L"other")) {
            EXPECT_EQ(std::wstring(other->GetText()), L"x") << c.what;
        }
        if (CControlUI* name = Child(item, L"giftname")) {
            EXPECT_EQ(std::wstring(name->GetText()), L"跑车") << c.what;
        }
    }
}

class GiftWindowTest : public GiftListTest {
protected:
    void SetUp() override {
        GiftListTest::SetUp();
        wnd = std::make_unique<CTestWnd>(kGiftWindow);
        ASSERT_TRUE(wnd->Create(nullptr, L"gifts", WS_POPUP, 0, 0, 0, 0, 0));
        wnd->GetPaintManager().AddNotifier(&rec);
        list = static_cast<CGiftListUI*>(wnd->GetPaintManager().FindControl(L"gifts"));
        ASSERT_NE(list, nullptr);
        wnd->ShowWindow(true, true);
    }
    void TearDown() override {
        wnd->GetPaintManager().RemoveNotifier(&rec);
        DestroyWindow(wnd->GetHWND());
        wnd.reset();
        GiftListTest::TearDown();
    }
    CGiftListItem* Tile(int i) { return static_cast<CGiftListItem*>(list->GetItemAt(i)); }
    HWND H() { return wnd->GetHWND(); }

    std::unique_ptr<CTestWnd> wnd;
    CGiftListUI* list = nullptr;
    NotifyRecorder rec;
};

TEST_F(GiftWindowTest, HoverReportsTheGiftAndWhereItsTipGoesExceptForServiceTiles) {
    list->AddGiftItem(5, L"1.png", L"玫瑰");
    list->AddGiftItem(-1, L"app1.png", L"麦序");
    // A hover area whose gift id was never set is a gift tile with id 0.
    auto* bare = new CGiftListItem;
    auto* bareHover = new CGiftControlUI;
    bareHover->SetFloat(true);
    bareHover->SetFixedXY(SIZE{0, 0});
    bareHover->SetFixedWidth(50);
    bareHover->SetFixedHeight(68);
    ASSERT_TRUE(bare->Add(bareHover));
    ASSERT_TRUE(list->Add(bare));
    ASSERT_TRUE(WaitForLayout(H(), bareHover));

    struct Case {
        int tile;
        bool reported;
        int giftId;
    };
    const Case cases[] = {{0, true, 5}, {1, false, 0}, {2, true, 0}};
    for (const Case& c : cases) {
        rec.Clear();
        auto* hover =
            c.tile == 2 ? bareHover : static_cast<CGiftControlUI*>(Child(Tile(c.tile), L"giftbk"));
        ASSERT_NE(hover, nullptr);
        MouseAt(H(), WM_MOUSEMOVE, CentreOf(hover));
        auto enters = rec.Of(L"mouseenter");
        ASSERT_EQ(enters.size(), c.reported ? 1u : 0u) << c.tile;
        EXPECT_EQ((hover->GetButtonState() & UISTATE_HOT) != 0, c.reported) << c.tile;
        if (c.reported) {
            EXPECT_EQ(enters[0].sender, hover);
            EXPECT_EQ(enters[0].wParam, 101u);
            EXPECT_EQ(enters[0].hover[0], c.giftId);
            EXPECT_EQ(enters[0].hover[1], hover->GetPos().left);
            EXPECT_EQ(enters[0].hover[2], hover->GetPos().top + 46);
        }
        // Away from every tile: only a tile that became hot says it was left.
        MouseAt(H(), WM_MOUSEMOVE, POINT{230, 150});
        auto leaves = rec.Of(L"mouseleave");
        ASSERT_EQ(leaves.size(), c.reported ? 1u : 0u) << c.tile;
        if (c.reported) {
            EXPECT_EQ(leaves[0].sender, hover);
            EXPECT_EQ(leaves[0].wParam, 101u);
            EXPECT_EQ(leaves[0].lParam, 0);
        }
        EXPECT_EQ(hover->GetButtonState() & UISTATE_HOT, 0);
    }
}

TEST_F(GiftWindowTest, OneItemclickPerButtonDownAndNoneForTheDoubleClick) {
    list->AddGiftItem(4, L"4.png", L"钻戒");
    list->AddGiftItem(10, L"10.png", L"跑车");
    ASSERT_TRUE(WaitForLayout(H(), Tile(1)));
    POINT pt = CentreOf(Tile(1));
    MouseAt(H(), WM_LBUTTONDOWN, pt);
    MouseAt(H(), WM_LBUTTONUP, pt);
    auto clicks = rec.Of(L"itemclick");
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].sender, Tile(1));
    EXPECT_EQ(clicks[0].wParam, 0u);
    EXPECT_EQ(clicks[0].lParam, 0);
    EXPECT_EQ(static_cast<INT_PTR>(clicks[0].sender->GetTag()), 10);
    // The second press of a double click arrives as WM_LBUTTONDBLCLK.
    MouseAt(H(), WM_LBUTTONDBLCLK, pt);
    MouseAt(H(), WM_LBUTTONUP, pt);
    EXPECT_EQ(rec.Of(L"itemclick").size(), 1u);
    // The library's own "click" is not sent for a tile.
    EXPECT_TRUE(rec.Of(L"click").empty());
}

TEST_F(GiftWindowTest, TheWheelOverATileScrollsTheList) {
    for (int id = 1; id <= 30; ++id) list->AddGiftItem(id, L"1.png", L"礼物");
    ASSERT_TRUE(WaitForLayout(H(), Tile(0)));
    PumpPending();
    ASSERT_GT(list->GetScrollRange().cy, 0);
    EXPECT_EQ(list->GetScrollPos().cy, 0);
    WheelAt(H(), CentreOf(Tile(0)), -120);
    EXPECT_GT(list->GetScrollPos().cy, 0);
    WheelAt(H(), CentreOf(Tile(0)), 120);
    EXPECT_EQ(list->GetScrollPos().cy, 0);
}

TEST_F(GiftWindowTest, AListFilledFromTheCatalogShowsEachGiftsPictureAndName) {
    CGiftManager catalog;
    std::wstring conf = std::wstring(MIVORA_SKIN_DIR) + L"gift/gift.conf";
    ASSERT_EQ(catalog.LoadGiftConfigW(conf.data()), 0);
    ASSERT_FALSE(catalog.sendGiftIds.empty());
    // As the room fills its picker: "%d.png" and the gift's name for every id it sends.
    for (int id : catalog.sendGiftIds) {
        tag_GiftItemInfo* gift = catalog.FindGiftItem(id);
        ASSERT_NE(gift, nullptr);
        list->AddGiftItem(id, (std::to_wstring(id) + L".png").c_str(), gift->giftName.c_str());
    }
    ASSERT_TRUE(WaitForLayout(H(), Tile(0)));
    QImage shot = winplat::GrabWindowImage(H());
    ASSERT_FALSE(shot.isNull());
    shot.save(MIVORA_ARTIFACT_DIR "gift_list.png");

    auto isWhite = [](QRgb p) { return qRed(p) > 245 && qGreen(p) > 245 && qBlue(p) > 245; };
    for (int i = 0; i < list->GetCount(); ++i) {
        CGiftListItem* tile = Tile(i);
        RECT img = Child(tile, L"giftimg")->GetPos();
        RECT name = Child(tile, L"giftname")->GetPos();
        if (img.bottom > shot.height()) break;  // rows below the window are not seen
        // Every picture of the shipped set is a pale tile with a saturated motif.
        int coloured = 0;
        for (int y = img.top; y < img.bottom; ++y)
            for (int x = img.left; x < img.right; ++x) {
                QRgb p = shot.pixel(x, y);
                int spread = std::max({qRed(p), qGreen(p), qBlue(p)}) -
                             std::min({qRed(p), qGreen(p), qBlue(p)});
                if (spread > 60) ++coloured;
            }
        EXPECT_GT(coloured, 40) << "picture of tile " << i;
        // The name is drawn: some pixels under the picture are dark.
        int dark = 0;
        for (int y = name.top; y < name.bottom && y < shot.height(); ++y)
            for (int x = name.left; x < name.right; ++x)
                if (!isWhite(shot.pixel(x, y)) && qGray(shot.pixel(x, y)) < 160) ++dark;
        EXPECT_GT(dark, 10) << "name of tile " << i;
    }
}
