// The popup menu windows: where they open, what closes them, and the click they
// report to their receiver.
#include <QDir>
#include <QImage>

#include <string>

#include "controls/MenuWndBase.h"
#include "ui_fixture.h"
#include "win32gui/qt_bridge.h"

using namespace DuiLib;

namespace {

std::wstring MenuLayout(int height) {
    return L"<Window size=\"120," + std::to_wstring(height) +
           L"\"><VerticalLayout bkcolor=\"#FFFFFFFF\" bordercolor=\"#FFD6DDE6\" bordersize=\"1\">"
           L"<List name=\"menu\" inset=\"1,4,1,4\" itemhotbkcolor=\"#FFE8F1FC\" "
           L"itemselectedbkcolor=\"#FFD4E6FA\" itemtextcolor=\"#FF2B3A4A\">"
           L"<ListLabelElement name=\"copy\" text=\"复制\" height=\"26\" />"
           L"<ListLabelElement name=\"all\" text=\"全选\" height=\"26\" />"
           L"<ListLabelElement name=\"clear\" text=\"清屏\" height=\"26\" />"
           L"</List></VerticalLayout></Window>";
}

struct Receiver : INotifyUI {
    int clicks = 0;
    TNotifyUI last;
    void Notify(TNotifyUI& msg) override {
        ++clicks;
        last = msg;
    }
};

RECT WorkArea() {
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &mi);
    return mi.rcWork;
}

class PopMenuTest : public UiTest {
protected:
    void TearDown() override {
        if (menu) DestroyWindow(menu->GetHWND());
        UiTest::TearDown();
    }

    // A menu at pt; `menu` goes back to null when the menu deletes itself.
    HWND open(POINT pt, int height = 86, DWORD style = WS_POPUP) {
        layout = MenuLayout(height);
        menu = new CSystemPopMenu;
        menu->SetOwnerSlot(&menu);
        menu->Init(layout.c_str(), &receiver, pt);
        return menu->Create(nullptr, L"", style, WS_EX_TOOLWINDOW, 0, 0, 0, 0);
    }
    bool closed() {
        return Pump([&] { return menu == nullptr; });
    }

    std::wstring layout;
    CSystemPopMenu* menu = nullptr;
    Receiver receiver;
};

TEST_F(PopMenuTest, OpensAtThePointPushedBackInsideTheWorkArea) {
    const RECT work = WorkArea();
    const int workH = work.bottom - work.top;
    struct Case {
        const char* what;
        POINT at;
        int height;
        POINT expect;
    } cases[] = {
        {"inside", {work.left + 10, work.top + 20}, 86, {work.left + 10, work.top + 20}},
        {"past the bottom",
         {work.left + 10, work.bottom - 30},
         86,
         {work.left + 10, work.bottom - 86}},
        {"past the right", {work.right - 50, work.top + 20}, 86, {work.right - 120, work.top + 20}},
        {"past both", {work.right - 1, work.bottom - 1}, 86, {work.right - 120, work.bottom - 86}},
        {"taller than the area", {work.left + 10, work.top + 40}, workH + 10, {work.left + 10, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HWND h = open(c.at, c.height);
        ASSERT_NE(h, nullptr);
        RECT rc;
        GetWindowRect(h, &rc);
        EXPECT_EQ(rc.left, c.expect.x);
        EXPECT_EQ(rc.top, c.expect.y);
        EXPECT_EQ(rc.right - rc.left, 120);
        DestroyWindow(h);
        EXPECT_EQ(menu, nullptr);
    }
}

TEST_F(PopMenuTest, StyleLosesItsCaptionAndClipsItsChildren) {
    HWND h = open(POINT{10, 10}, 86, WS_POPUP | WS_CAPTION | WS_MAXIMIZEBOX | WS_MINIMIZEBOX);
    ASSERT_NE(h, nullptr);
    LONG style = GetWindowLongW(h, GWL_STYLE);
    EXPECT_EQ(style & static_cast<LONG>(WS_CAPTION | WS_MAXIMIZEBOX | WS_MINIMIZEBOX), 0);
    EXPECT_EQ(style & static_cast<LONG>(WS_CLIPSIBLINGS | WS_CLIPCHILDREN),
              static_cast<LONG>(WS_CLIPSIBLINGS | WS_CLIPCHILDREN));
    wchar_t cls[32] = {};
    GetClassNameW(h, cls, 32);
    EXPECT_STREQ(cls, L"UIMenuBase");
}

TEST_F(PopMenuTest, AClickedItemReachesTheReceiverAndClosesTheMenu) {
    HWND h = open(POINT{40, 40});
    ASSERT_NE(h, nullptr);
    menu->ShowWindow(true, true);
    CControlUI* item = menu->GetPaintManager().FindControl(L"all");
    ASSERT_NE(item, nullptr);

    // Selecting alone does nothing.
    menu->GetPaintManager().SendNotify(item, DUI_MSGTYPE_ITEMSELECT);
    PumpPending();
    EXPECT_EQ(receiver.clicks, 0);
    ASSERT_NE(menu, nullptr);

    // What a person sees before choosing.
    InvalidateRect(h, nullptr, FALSE);
    Pump([&] { return !IsRectEmpty(&item->GetPos()); });
    QImage shot = winplat::GrabWindowImage(h);
    ASSERT_FALSE(shot.isNull());
    QDir().mkpath(QStringLiteral(MIVORA_ARTIFACT_DIR));
    EXPECT_TRUE(shot.save(QStringLiteral(MIVORA_ARTIFACT_DIR "popmenu.png")));
    EXPECT_EQ(shot.width(), 120);
    EXPECT_EQ(shot.pixel(60, 2), qRgb(255, 255, 255));
    bool text = false;
    RECT rc = item->GetPos();
    for (int y = rc.top; y < rc.bottom && !text; ++y)
        for (int x = rc.left; x < rc.right && !text; ++x) text = qGray(shot.pixel(x, y)) < 128;
    EXPECT_TRUE(text) << "the item's text shows";

    ClickControl(h, item);
    EXPECT_TRUE(closed());
    ASSERT_EQ(receiver.clicks, 1);
    EXPECT_EQ(receiver.last.sType, L"menu_click");
    EXPECT_EQ(receiver.last.pSender, item);
    EXPECT_EQ(receiver.last.wParam, 0u);
    EXPECT_EQ(receiver.last.lParam, 0);
}

TEST_F(PopMenuTest, FocusLossAndEscapeCloseIt) {
    HWND other = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    struct Case {
        const char* what;
        UINT msg;
        bool toSelf;  // WM_KILLFOCUS: the focus goes to the menu itself
        WPARAM key;
        bool closes;
    } cases[] = {
        {"focus elsewhere", WM_KILLFOCUS, false, 0, true},
        {"focus to itself", WM_KILLFOCUS, true, 0, false},
        {"escape", WM_KEYDOWN, false, VK_ESCAPE, true},
        {"another key", WM_KEYDOWN, false, 'A', false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HWND h = open(POINT{40, 40});
        ASSERT_NE(h, nullptr);
        WPARAM w = c.msg == WM_KEYDOWN ? c.key : reinterpret_cast<WPARAM>(c.toSelf ? h : other);
        LRESULT r = SendMessageW(h, c.msg, w, 0);
        if (c.msg == WM_KEYDOWN) {
            EXPECT_EQ(r, 0) << "every key is the menu's";
        }
        if (c.closes) {
            EXPECT_TRUE(closed());
        } else {
            PumpPending();
            EXPECT_NE(menu, nullptr);
            DestroyWindow(h);
        }
        EXPECT_EQ(receiver.clicks, 0);
    }
    if (IsWindow(other)) DestroyWindow(other);
}

}  // namespace
