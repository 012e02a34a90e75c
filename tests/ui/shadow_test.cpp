// The drop shadow: its picture, and how it follows its parent window.
#include <QImage>

#include "controls/WndShadow.h"
#include "ui_fixture.h"
#include "win32gui/qt_bridge.h"

using namespace DuiLib;

namespace {

BYTE AlphaAt(const std::vector<UINT>& bits, int w, int h, int x, int y) {
    return static_cast<BYTE>(
        bits[static_cast<size_t>(h - 1 - y) * static_cast<size_t>(w) + static_cast<size_t>(x)] >>
        24);
}

class ShadowTest : public UiTest {};

TEST_F(ShadowTest, PictureFadesOutwardsAndLeavesTheParentClear) {
    CWndShadow shadow;
    shadow.SetDarkness(200);
    shadow.SetSharpness(4);
    shadow.SetSize(6);
    shadow.SetPosition(0, 0);
    shadow.SetColor(RGB(0, 0, 255));
    std::vector<UINT> bits;
    int w = 0, h = 0;
    shadow.MakeShadow(bits, &w, &h, nullptr, 100, 60);
    ASSERT_EQ(w, 112);
    ASSERT_EQ(h, 72);
    // The parent covers the middle; the ring around it fades outwards.
    EXPECT_EQ(AlphaAt(bits, w, h, 56, 36), 0);
    BYTE nearEdge = AlphaAt(bits, w, h, 5, 36), farther = AlphaAt(bits, w, h, 2, 36),
         out = AlphaAt(bits, w, h, 0, 36);
    EXPECT_GT(nearEdge, farther);
    EXPECT_GE(farther, out);
    EXPECT_GT(nearEdge, 100);
    // Premultiplied blue: the blue channel equals the alpha, red and green are 0.
    UINT px = bits[static_cast<size_t>(h - 1 - 36) * static_cast<size_t>(w) + 5];
    EXPECT_EQ(px & 0xFF, px >> 24);
    EXPECT_EQ((px >> 8) & 0xFFFF, 0u);

    // A round parent leaves its cut corners to the shadow.
    HRGN round = CreateRoundRectRgn(0, 0, 101, 61, 30, 30);
    shadow.MakeShadow(bits, &w, &h, round, 100, 60);
    DeleteObject(round);
    EXPECT_GT(AlphaAt(bits, w, h, 7, 7), 0) << "the corner the parent does not cover";
    EXPECT_EQ(AlphaAt(bits, w, h, 56, 36), 0);
}

TEST_F(ShadowTest, FollowsTheParentAndGoesWithIt) {
    auto* parent =
        new CTestWnd(L"<Window size=\"200,120\"><VerticalLayout bkcolor=\"#FFFFFFFF\" /></Window>");
    ASSERT_TRUE(parent->Create(nullptr, L"parent", WS_POPUP, 0, 0, 0, 0, 0));
    HWND hp = parent->GetHWND();
    MoveWindow(hp, 100, 100, 200, 120, FALSE);
    parent->ShowWindow(true, true);
    CWndShadow shadow;
    shadow.SetSize(4);
    shadow.SetPosition(3, 3);
    shadow.Create(hp);
    HWND hs = shadow.GetHWND();
    ASSERT_TRUE(IsWindow(hs));
    EXPECT_TRUE(IsWindowVisible(hs));
    RECT rc;
    GetWindowRect(hs, &rc);
    EXPECT_EQ(rc.left, 100 + 3 - 4);
    EXPECT_EQ(rc.top, 100 + 3 - 4);
    EXPECT_EQ(rc.right - rc.left, 208);
    // It moves with the parent, hides with it, and the parent's own procedure still runs.
    MoveWindow(hp, 300, 200, 200, 120, FALSE);
    GetWindowRect(hs, &rc);
    EXPECT_EQ(rc.left, 300 + 3 - 4);
    EXPECT_EQ(rc.top, 200 + 3 - 4);
    ShowWindow(hp, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(hs));
    ShowWindow(hp, SW_SHOWNA);
    EXPECT_TRUE(IsWindowVisible(hs));
    QImage img = winplat::GrabWindowImage(hs);
    ASSERT_FALSE(img.isNull());
    // Offset 3 and size 4 leave a one-pixel ring on the left; the parent covers the rest.
    EXPECT_GT(qAlpha(img.pixel(0, 60)), 0) << "the shadow's left edge shows";
    EXPECT_EQ(qAlpha(img.pixel(1, 60)), 0) << "cleared where the parent covers it";
    delete parent;  // destroys the parent window, and with it the shadow
    EXPECT_FALSE(IsWindow(hs));
}

}  // namespace
