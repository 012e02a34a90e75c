// The visible layer's own dialogs: MessageBoxW and popup menus wait while the
// thread's messages keep flowing, and answer as Windows does.
#include <QAbstractButton>
#include <QApplication>
#include <QFontInfo>
#include <QMenu>
#include <QMessageBox>

#include <functional>
#include <string>

#include "ui_fixture.h"

using namespace DuiLib;

namespace {

std::function<bool()> g_tick;

void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    if (g_tick && g_tick()) KillTimer(nullptr, id);
}

class GuiLayerTest : public UiTest {
protected:
    void TearDown() override {
        g_tick = nullptr;
        UiTest::TearDown();
    }
};

TEST_F(GuiLayerTest, MessageBoxWaitsWhileWindowTimersRunAndAnswersTheButton) {
    CTestWnd owner(L"<Window size=\"300,200\"><VerticalLayout /></Window>");
    int ownerTimer = 0;
    owner.onExtra = [&](UINT m, WPARAM w, LPARAM, BOOL& handled) -> LRESULT {
        handled = m == WM_TIMER && w == 7;
        if (handled) ++ownerTimer;
        return 0;
    };
    ASSERT_TRUE(owner.Create(nullptr, L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, 0));
    SetTimer(owner.GetHWND(), 7, 10, nullptr);
    struct Case {
        UINT type;
        QMessageBox::StandardButton press;
        int expected;
    } cases[] = {
        {MB_OK, QMessageBox::Ok, IDOK},
        {MB_OKCANCEL, QMessageBox::Cancel, IDCANCEL},
        {MB_YESNO | MB_ICONQUESTION, QMessageBox::No, IDNO},
    };
    for (const Case& c : cases) {
        bool ownerDisabled = false;
        int timerAtStart = -1;
        g_tick = [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return false;
            if (timerAtStart < 0) timerAtStart = ownerTimer;
            // The owner's timer still runs while the box is up.
            if (ownerTimer < timerAtStart + 2) return false;
            ownerDisabled = !IsWindowEnabled(owner.GetHWND());
            box->button(c.press)->click();
            return true;
        };
        UINT_PTR t = SetTimer(nullptr, 0, 10, Tick);
        int r = MessageBoxW(owner.GetHWND(), L"确定要删除吗？", L"提示", c.type);
        KillTimer(nullptr, t);
        EXPECT_EQ(r, c.expected);
        EXPECT_TRUE(ownerDisabled);
        EXPECT_TRUE(IsWindowEnabled(owner.GetHWND()));
    }
    KillTimer(owner.GetHWND(), 7);
}

TEST_F(GuiLayerTest, PopupMenuReturnsTheChoiceOrPostsWmCommand) {
    CTestWnd owner(L"<Window size=\"300,200\"><VerticalLayout /></Window>");
    WPARAM command = 0;
    owner.onExtra = [&](UINT m, WPARAM w, LPARAM, BOOL& handled) -> LRESULT {
        handled = m == WM_COMMAND;
        if (handled) command = w;
        return 0;
    };
    ASSERT_TRUE(owner.Create(nullptr, L"menu", WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, 0));
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 13908, L"查看资料");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING | MF_GRAYED, 13909, L"踢出房间");
    AppendMenuW(menu, MF_STRING, 13910, L"私聊");
    EXPECT_EQ(GetMenuItemCount(menu), 4);
    // Chooses the action whose text is given, on the real menu.
    auto choose = [](const QString& text) {
        return [text] {
            auto* m = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!m) return false;
            for (QAction* a : m->actions())
                if (a->text() == text) a->trigger();
            m->close();
            return true;
        };
    };
    g_tick = choose(QStringLiteral("私聊"));
    UINT_PTR t = SetTimer(nullptr, 0, 10, Tick);
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 10, 10, 0, owner.GetHWND(), nullptr), 13910);
    KillTimer(nullptr, t);
    EXPECT_EQ(command, 0u) << "TPM_RETURNCMD posts nothing";

    g_tick = choose(QStringLiteral("查看资料"));
    t = SetTimer(nullptr, 0, 10, Tick);
    EXPECT_TRUE(TrackPopupMenu(menu, TPM_LEFTALIGN, 10, 10, 0, owner.GetHWND(), nullptr));
    KillTimer(nullptr, t);
    ASSERT_TRUE(Pump([&] { return command != 0; }));
    EXPECT_EQ(LOWORD(command), 13908);

    // Closing the menu without a choice gives 0.
    g_tick = [] {
        auto* m = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (m) m->close();
        return m != nullptr;
    };
    t = SetTimer(nullptr, 0, 10, Tick);
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 10, 10, 0, owner.GetHWND(), nullptr), 0);
    KillTimer(nullptr, t);
    EXPECT_TRUE(DestroyMenu(menu));
    EXPECT_FALSE(IsMenu(menu));
}

// An empty menu, such as the drop-down of a combo with no items yet, opens nothing:
// an invisible popup would swallow the user's next click anywhere in the program.
TEST_F(GuiLayerTest, AnEmptyMenuOpensNothing) {
    CTestWnd owner(
        L"<Window size=\"300,200\"><VerticalLayout>"
        L"<Combo name=\"combo\" height=\"24\" /><Control /></VerticalLayout></Window>");
    ASSERT_TRUE(owner.Create(nullptr, L"menu", WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, 0));
    bool popup = false;
    g_tick = [&] {
        QWidget* w = QApplication::activePopupWidget();
        if (w) {
            popup = true;
            w->close();
        }
        return false;
    };
    const UINT_PTR t = SetTimer(nullptr, 0, 10, Tick);
    HMENU menu = CreatePopupMenu();
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 10, 10, 0, owner.GetHWND(), nullptr), 0);
    EXPECT_FALSE(popup) << "the empty menu was shown";
    DestroyMenu(menu);

    auto* combo = static_cast<CComboUI*>(owner.GetPaintManager().FindControl(L"combo"));
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->GetCount(), 0);
    EXPECT_FALSE(combo->Activate());
    EXPECT_FALSE(popup) << "the empty combo dropped down";
    KillTimer(nullptr, t);
}

UINT_PTR PickSecond(HMENU) {
    return 2;
}

TEST(PopupMenuPlace, AlignsToThePointAndOpensOnTheOtherSideWhereItDoesNotFit) {
    const RECT area{0, 0, 1280, 1000};  // the work area, a panel below it
    const SIZE menu{120, 150};
    struct Case {
        const char* what;
        POINT at;
        UINT flags;
        SIZE size;
        POINT origin;
    } cases[] = {
        {"bottom-aligned, room above", {400, 600}, TPM_BOTTOMALIGN, menu, {400, 450}},
        {"bottom-aligned near the top: opens downward", {40, 60}, TPM_BOTTOMALIGN, menu, {40, 60}},
        {"top-aligned near the bottom: opens upward", {400, 950}, TPM_LEFTALIGN, menu, {400, 800}},
        {"near the right edge: opens to the left", {1250, 300}, TPM_LEFTALIGN, menu, {1130, 300}},
        {"right-aligned near the left edge: opens to the right",
         {30, 300},
         TPM_RIGHTALIGN,
         menu,
         {30, 300}},
        {"centred, pushed inside", {20, 500}, TPM_CENTERALIGN | TPM_VCENTERALIGN, menu, {0, 425}},
        {"taller than the area: from its top", {10, 10}, TPM_BOTTOMALIGN, {120, 1200}, {10, 0}},
    };
    for (const Case& c : cases) {
        const POINT got = winplat::PopupMenuOrigin(c.at, c.size, c.flags, area);
        EXPECT_EQ(got.x, c.origin.x) << c.what;
        EXPECT_EQ(got.y, c.origin.y) << c.what;
    }
}

TEST_F(GuiLayerTest, ComboDropsDownItsItemsAndSelectsTheChosenOne) {
    CTestWnd wnd(
        L"<Window size=\"300,200\"><VerticalLayout>"
        L"<Combo name=\"combo\" height=\"24\">"
        L"<ListLabelElement text=\"1\" tag=\"1\" /><ListLabelElement text=\"10\" tag=\"10\" />"
        L"<ListLabelElement text=\"99\" tag=\"99\" /></Combo><Control "
        L"/></VerticalLayout></Window>");
    int selects = 0;
    wnd.onNotify = [&](TNotifyUI& msg) {
        if (msg.sType == L"itemselect") ++selects;
    };
    ASSERT_TRUE(wnd.Create(nullptr, L"combo", WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, 0));
    auto* combo = static_cast<CComboUI*>(wnd.GetPaintManager().FindControl(L"combo"));
    ASSERT_NE(combo, nullptr);
    EXPECT_TRUE(combo->SelectItemByTag(99));
    EXPECT_EQ(combo->GetText(), L"99");
    winplat::SetPopupMenuHook(PickSecond);
    ClickControl(wnd.GetHWND(), combo);
    bool chosen = Pump([&] { return combo->GetCurSel() == 1; });
    winplat::SetPopupMenuHook(nullptr);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(combo->GetText(), L"10");
    EXPECT_EQ(selects, 2);
}

// The item a skin marks selected is the one a combo shows and a list has selected
// from the start.
TEST_F(GuiLayerTest, SkinMarkedItemStartsSelected) {
    CTestWnd wnd(
        L"<Window size=\"300,200\"><VerticalLayout>"
        L"<Combo name=\"combo\" height=\"24\"><ListLabelElement text=\"a\" />"
        L"<ListLabelElement text=\"b\" selected=\"true\" /><ListLabelElement text=\"c\" /></Combo>"
        L"<List name=\"list\"><ListContainerElement height=\"20\" /><ListContainerElement "
        L"height=\"20\" />"
        L"<ListContainerElement height=\"20\" selected=\"true\" /></List>"
        L"</VerticalLayout></Window>");
    ASSERT_TRUE(wnd.Create(nullptr, L"selected", WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, 0));
    auto* combo = static_cast<CComboUI*>(wnd.GetPaintManager().FindControl(L"combo"));
    auto* list = static_cast<CListUI*>(wnd.GetPaintManager().FindControl(L"list"));
    ASSERT_NE(combo, nullptr);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(combo->GetCurSel(), 1);
    EXPECT_EQ(std::wstring(combo->GetText()), L"b");
    EXPECT_EQ(list->GetCurSel(), 2);
}

TEST_F(GuiLayerTest, MemoryDcDrawsIntoItsDibWhicheverWayTheRowsRun) {
    // A strip across the picture's top must land in the top row of either layout.
    for (bool bottomUp : {false, true}) {
        SCOPED_TRACE(bottomUp);
        const int w = 8, h = 4;
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = w;
        bmi.bmiHeader.biHeight = bottomUp ? h : -h;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        void* p = nullptr;
        HBITMAP bmp = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &p, nullptr, 0);
        ASSERT_NE(bmp, nullptr);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bmp);
        CRenderEngine::DrawColor(dc, RECT{0, 0, w, 1}, 0xFFFF0000);
        const auto* bits = static_cast<const uint32_t*>(p);
        const int top = bottomUp ? h - 1 : 0, below = bottomUp ? h - 2 : 1;
        EXPECT_EQ(bits[top * w + 3], 0xFFFF0000u);
        EXPECT_EQ(bits[below * w + 3], 0u);
        SelectObject(dc, old);
        DeleteObject(bmp);  // ends the painter while the DC still holds the bitmap
        DeleteDC(dc);
    }
}

}  // namespace

// Faces named by skins and chat lines that this system lacks resolve to the CJK font,
// not to a serif fallback.
TEST_F(GuiLayerTest, WindowsFaceNamesResolveToTheCjkFont) {
    const QString cjk = QApplication::font().family();
    for (const char* face : {"宋体", "SimSun", "微软雅黑", "Tahoma"}) {
        QFont named(QString::fromUtf8(face));
        EXPECT_EQ(QFontInfo(named).family(), cjk) << face;
    }
}
