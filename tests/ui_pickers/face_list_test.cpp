// The head-image picker: tiles cloned from "facedesk.xml" with the face id on their
// button, and what a person sees of a list filled from the face catalog.
#include <QImage>

#include <algorithm>
#include <memory>
#include <string>

#include "catalogs/FaceManager.h"
#include "controls/DialogBuilderCallbackEx.h"
#include "controls/FaceListItem.h"
#include "controls/FaceListUI.h"
#include "picker_fixture.h"
#include "win32gui/qt_bridge.h"

using namespace DuiLib;

namespace {

class FaceListTest : public UiTest {};

CControlUI* CALLBACK ByName(CControlUI* c, LPVOID name) {
    return c->GetName() == static_cast<const wchar_t*>(name) ? c : nullptr;
}
CControlUI* Find(CControlUI* tile, const wchar_t* name) {
    return tile->FindControl(ByName, const_cast<wchar_t*>(name), UIFIND_ALL);
}

}  // namespace

TEST_F(FaceListTest, TheFactoryBuildsTheFaceListAndItsTiles) {
    CDialogBuilderCallbackEx factory;
    CControlUI* list = factory.CreateControl(L"FaceList");
    ASSERT_NE(dynamic_cast<CFaceListUI*>(list), nullptr);
    delete list;
    CControlUI* item = factory.CreateControl(L"FaceListItem");
    ASSERT_NE(dynamic_cast<CFaceListItem*>(item), nullptr);
    EXPECT_STREQ(item->GetClass(), L"FaceListItemUI");
    delete item;
}

TEST_F(FaceListTest, EachTileCarriesItsFaceIdAndPicture) {
    CFaceListUI list;
    for (int id : {1, 7, 204}) list.AddFace(id);
    ASSERT_EQ(list.GetCount(), 3);
    const int ids[] = {1, 7, 204};
    for (int i = 0; i < 3; ++i) {
        CControlUI* tile = list.GetItemAt(i);
        EXPECT_STREQ(tile->GetClass(), L"FaceListItemUI");
        CControlUI* button = Find(tile, L"btnfaceid");
        CControlUI* image = Find(tile, L"faceimg");
        ASSERT_NE(button, nullptr);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(static_cast<int>(button->GetTag()), ids[i]);
        EXPECT_EQ(std::wstring(button->GetUserData()), L"FaceId");
        EXPECT_EQ(std::wstring(image->GetBkImage()),
                  L"Face\\36\\" + std::to_wstring(ids[i]) + L".png");
    }
}

TEST_F(FaceListTest, PartsMissingFromTheItemLayoutAreSkipped) {
    struct Case {
        const char* what;
        const char* layout;  // null: no "facedesk.xml"
        int tiles;
        bool button, image;
    };
    const Case cases[] = {
        {"no item layout", nullptr, 0, false, false},
        {"no button", "<FaceListItem><Control name=\"faceimg\" /></FaceListItem>", 1, false, true},
        {"no picture", "<FaceListItem><Button name=\"btnfaceid\" /></FaceListItem>", 1, true,
         false},
        // The whole subtree is searched, not only the tile's children.
        {"nested parts",
         "<FaceListItem><HorizontalLayout><Button name=\"btnfaceid\" /><VerticalLayout>"
         "<Control name=\"faceimg\" /></VerticalLayout></HorizontalLayout></FaceListItem>",
         1, true, true},
    };
    for (const Case& c : cases) {
        ScratchSkin skin;
        if (c.layout) skin.Write("facedesk.xml", c.layout);
        CFaceListUI list;
        list.AddFace(9);
        ASSERT_EQ(list.GetCount(), c.tiles) << c.what;
        if (!c.tiles) continue;
        CControlUI* button = Find(list.GetItemAt(0), L"btnfaceid");
        CControlUI* image = Find(list.GetItemAt(0), L"faceimg");
        ASSERT_EQ(button != nullptr, c.button) << c.what;
        ASSERT_EQ(image != nullptr, c.image) << c.what;
        if (button) {
            EXPECT_EQ(button->GetTag(), 9u) << c.what;
        }
        if (image) {
            EXPECT_EQ(std::wstring(image->GetBkImage()), L"Face\\36\\9.png") << c.what;
        }
    }
}

TEST_F(FaceListTest, AListFilledFromTheCatalogShowsTheFacesInTilesOfTheLayoutsSize) {
    CFaceManager catalog;
    std::string conf = std::string(MIVORA_SKIN_DIR_NARROW) + "../userface.dat";
    ASSERT_EQ(catalog.LoadBaseFaceConfig(conf.data()), 0);
    tag_FaceGroupInfo* group = catalog.FindFaceGroupItem(1);
    ASSERT_NE(group, nullptr);

    CTestWnd wnd(
        L"<Window size=\"200,100\"><VerticalLayout bkcolor=\"#FFFFFFFF\">"
        L"<FaceList name=\"faces\" itemsize=\"44,44\" inset=\"2,2,2,2\" />"
        L"</VerticalLayout></Window>");
    ASSERT_TRUE(wnd.Create(nullptr, L"faces", WS_POPUP, 0, 0, 0, 0, 0));
    auto* list = static_cast<CFaceListUI*>(wnd.GetPaintManager().FindControl(L"faces"));
    ASSERT_NE(list, nullptr);
    for (int id : group->faces) list->AddFace(id);
    ASSERT_EQ(list->GetCount(), static_cast<int>(group->faces.size()));
    wnd.ShowWindow(true, true);
    ASSERT_TRUE(WaitForLayout(wnd.GetHWND(), list->GetItemAt(0)));
    EXPECT_EQ(list->GetItemAt(0)->GetWidth(), 44);
    EXPECT_EQ(list->GetItemAt(0)->GetHeight(), 44);
    EXPECT_EQ(list->GetItemAt(1)->GetPos().left, list->GetItemAt(0)->GetPos().right);

    QImage shot = winplat::GrabWindowImage(wnd.GetHWND());
    ASSERT_FALSE(shot.isNull());
    shot.save(MIVORA_ARTIFACT_DIR "face_list.png");
    // Each visible tile shows a face: skin-coloured pixels and dark eyes.
    for (int i = 0; i < list->GetCount(); ++i) {
        RECT rc = Find(list->GetItemAt(i), L"faceimg")->GetPos();
        if (rc.bottom > shot.height() || rc.right > shot.width()) continue;
        int skin = 0, dark = 0;
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left; x < rc.right; ++x) {
                QRgb p = shot.pixel(x, y);
                if (qRed(p) > 200 && qRed(p) - qBlue(p) > 40) ++skin;
                if (qGray(p) < 90) ++dark;
            }
        EXPECT_GT(skin, 100) << "face " << group->faces[static_cast<size_t>(i)];
        EXPECT_GT(dark, 5) << "face " << group->faces[static_cast<size_t>(i)];
    }
    DestroyWindow(wnd.GetHWND());
}

TEST_F(FaceListTest, AListWithoutAnItemSizeTakesTheItemLayoutsSize) {
    CTestWnd wnd(
        L"<Window size=\"200,100\"><VerticalLayout bkcolor=\"#FFFFFFFF\">"
        L"<FaceList name=\"faces\" />"
        L"</VerticalLayout></Window>");
    ASSERT_TRUE(wnd.Create(nullptr, L"faces", WS_POPUP, 0, 0, 0, 0, 0));
    auto* list = static_cast<CFaceListUI*>(wnd.GetPaintManager().FindControl(L"faces"));
    ASSERT_NE(list, nullptr);
    for (int id = 1; id <= 3; ++id) list->AddFace(id);
    wnd.ShowWindow(true, true);
    ASSERT_TRUE(WaitForLayout(wnd.GetHWND(), list->GetItemAt(0)));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(list->GetItemAt(i)->GetWidth(), 44) << i;
        EXPECT_EQ(list->GetItemAt(i)->GetHeight(), 44) << i;
    }
    EXPECT_EQ(list->GetItemAt(1)->GetPos().top, list->GetItemAt(0)->GetPos().top);
    EXPECT_EQ(list->GetItemAt(1)->GetPos().left, list->GetItemAt(0)->GetPos().right);
    DestroyWindow(wnd.GetHWND());
}
