// The skinned window template: hit testing, regions, clicks, windowinit, timers,
// SC_CLOSE variants and the owner slot.
#include <QApplication>
#include <QImage>
#include <QString>
#include <QTest>

#include "dialogs/WndAboutUS.h"
#include "ui_fixture.h"
#include "win32/clock.h"
#include "win32gui/qt_bridge.h"

using namespace DuiLib;

namespace {

// A 300x200 window: a caption strip of 30 pixels holding a button, an option and a
// label, a size box of 4 on every side.
const wchar_t* kCaptionLayout =
    L"<Window size=\"300,200\" caption=\"0,0,0,30\" sizebox=\"4,4,4,4\" roundcorner=\"%R%\" "
    L"mininfo=\"120,90\">"
    L"<VerticalLayout name=\"winBG\" bkcolor=\"#FF336699\">"
    L" <HorizontalLayout height=\"30\">"
    L"  <Button name=\"capbtn\" width=\"40\" />"
    L"  <Option name=\"capopt\" width=\"40\" />"
    L"  <Label name=\"caplabel\" width=\"40\" />"
    L"  <Control />"
    L" </HorizontalLayout>"
    L" <Button name=\"bodybtn\" height=\"40\" />"
    L" <Control />"
    L"</VerticalLayout></Window>";

std::wstring CaptionLayout(const wchar_t* corner) {
    std::wstring s(kCaptionLayout);
    s.replace(s.find(L"%R%"), 3, corner);
    return s;
}

LRESULT HitAt(HWND hwnd, int x, int y) {
    POINT pt{x, y};
    ClientToScreen(hwnd, &pt);
    return SendMessageW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
}

class WindowTest : public UiTest {};

TEST_F(WindowTest, HitTestingOfTheCaptionStripAndTheSizeBox) {
    CTestWnd wnd(CaptionLayout(L"0,0"));
    ASSERT_TRUE(wnd.Create(nullptr, L"hit", WS_POPUP, 0, 0, 0, 0, 0));
    wnd.ShowWindow(true, true);
    HWND h = wnd.GetHWND();
    RECT rc;
    GetClientRect(h, &rc);
    ASSERT_EQ(rc.right, 300);
    ASSERT_EQ(rc.bottom, 200);

    struct Case {
        int x, y;
        LRESULT expected;
        const char* what;
    } cases[] = {
        {20, 15, HTCLIENT, "button in the caption is clickable"},
        {60, 15, HTCAPTION, "option in the caption drags"},
        {100, 15, HTCAPTION, "label in the caption drags"},
        {200, 15, HTCAPTION, "plain control in the caption drags"},
        {150, 50, HTCLIENT, "button below the caption"},
        {150, 120, HTCLIENT, "body"},
        {1, 1, HTTOPLEFT, "top left corner"},
        {150, 1, HTTOP, "top edge"},
        {298, 1, HTTOPRIGHT, "top right corner"},
        {1, 100, HTLEFT, "left edge"},
        {298, 100, HTRIGHT, "right edge"},
        {1, 198, HTBOTTOMLEFT, "bottom left corner"},
        {150, 198, HTBOTTOM, "bottom edge"},
        {298, 198, HTBOTTOMRIGHT, "bottom right corner"},
    };
    for (const Case& c : cases) EXPECT_EQ(HitAt(h, c.x, c.y), c.expected) << c.what;

    // The layout's mininfo bounds resizing.
    SetWindowPos(h, nullptr, 0, 0, 50, 40, SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(h, &rc);
    EXPECT_EQ(rc.right, 120);
    EXPECT_EQ(rc.bottom, 90);
    SetWindowPos(h, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
    // Maximised: no resize borders, the caption still drags.
    ShowWindow(h, SW_MAXIMIZE);
    ASSERT_TRUE(IsZoomed(h));
    EXPECT_EQ(HitAt(h, 1, 100), HTCLIENT);
    EXPECT_EQ(HitAt(h, 150, 1), HTCAPTION);
    DestroyWindow(h);
}

TEST_F(WindowTest, RoundCornerShapesTheWindowAndZeroKeepsARectangle) {
    for (const wchar_t* corner : {L"0,0", L"16,16"}) {
        CTestWnd wnd(CaptionLayout(corner));
        ASSERT_TRUE(wnd.Create(nullptr, L"rgn", WS_POPUP, 0, 0, 0, 0, 0));
        wnd.ShowWindow(true, true);
        PumpPending();
        QImage img = winplat::GrabWindowImage(wnd.GetHWND());
        ASSERT_FALSE(img.isNull());
        bool round = std::wstring(corner) != L"0,0";
        // The corner pixel is cut away only with a round corner; the middle stays.
        EXPECT_EQ(qAlpha(img.pixel(0, 0)) == 0, round) << corner;
        EXPECT_EQ(qAlpha(img.pixel(299, 199)) == 0, round) << corner;
        EXPECT_NE(qAlpha(img.pixel(150, 100)), 0) << corner;
        DestroyWindow(wnd.GetHWND());
    }
}

TEST_F(WindowTest, ButtonDownAndUpGiveOneClickAndWindowinitComesOnce) {
    CTestWnd wnd(CaptionLayout(L"0,0"));
    int clicks = 0, inits = 0;
    CControlUI* clicked = nullptr;
    wnd.onNotify = [&](TNotifyUI& msg) {
        if (msg.sType == L"click") {
            ++clicks;
            clicked = msg.pSender;
        }
    };
    ASSERT_TRUE(wnd.Create(nullptr, L"click", WS_POPUP, 0, 0, 0, 0, 0));

    struct Counter : INotifyUI {
        int* n;
        void Notify(TNotifyUI& m) override {
            if (m.sType == L"windowinit") ++*n;
        }
    } counter;
    counter.n = &inits;
    wnd.GetPaintManager().AddNotifier(&counter);
    wnd.ShowWindow(true, true);
    CControlUI* body = wnd.GetPaintManager().FindControl(L"bodybtn");
    ASSERT_NE(body, nullptr);
    ClickControl(wnd.GetHWND(), body);
    ASSERT_TRUE(Pump([&] { return clicks > 0; }));
    PumpPending();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(clicked, body);
    // A press that leaves the button before the release is no click.
    RECT rc = body->GetPos();
    PostMessageW(wnd.GetHWND(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(rc.left + 5, rc.top + 5));
    PostMessageW(wnd.GetHWND(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(150, 150));
    PostMessageW(wnd.GetHWND(), WM_LBUTTONUP, 0, MAKELPARAM(150, 150));
    PumpPending();
    EXPECT_EQ(clicks, 1);
    // Layouts again after resizing do not repeat windowinit.
    SetWindowPos(wnd.GetHWND(), nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
    UpdateWindow(wnd.GetHWND());
    PumpPending();
    EXPECT_EQ(inits, 1);
    EXPECT_EQ(wnd.prepared, 1);
    DestroyWindow(wnd.GetHWND());
}

// A control that counts its timer events.
class TimerProbe : public CControlUI {
public:
    int ticks = 0;
    UINT lastId = 0;
    void DoEvent(TEventUI& e) override {
        if (e.Type == UIEVENT_TIMER) {
            ++ticks;
            lastId = static_cast<UINT>(e.wParam);
            return;
        }
        CControlUI::DoEvent(e);
    }
};

TEST_F(WindowTest, AClickActivatesItsWindowWithNoOneElseToDoIt) {
    // Two windows; the second deactivated hides itself, as the emoticon picker does.
    CTestWnd first(CaptionLayout(L"0,0")), second(CaptionLayout(L"0,0"));
    int deactivated = 0;
    second.onExtra = [&](UINT m, WPARAM w, LPARAM, BOOL& handled) -> LRESULT {
        handled = FALSE;
        if (m == WM_ACTIVATE && LOWORD(w) == WA_INACTIVE) ++deactivated;
        return 0;
    };
    ASSERT_TRUE(first.Create(nullptr, L"first", WS_POPUP, 0, 0, 0, 0, 0));
    ASSERT_TRUE(second.Create(nullptr, L"second", WS_POPUP, 0, 0, 0, 0, 0));
    MoveWindow(second.GetHWND(), 400, 0, 300, 200, FALSE);
    first.ShowWindow(true, true);
    second.ShowWindow(true, true);
    ASSERT_TRUE(Pump([&] { return GetActiveWindow() == second.GetHWND(); }, 3000));
    // A press into the other window (as the display delivers it) activates that one.
    // (The platform reports activation through Qt's own queue: it is served each turn.)
    auto activeIs = [&](const CTestWnd& w) {
        QCoreApplication::processEvents();
        return GetActiveWindow() == w.GetHWND() &&
               QApplication::activeWindow() == winplat::WidgetOf(w.GetHWND());
    };
    for (int round = 1; round <= 2; ++round) {
        QTest::mouseClick(winplat::WidgetOf(first.GetHWND()), Qt::LeftButton, Qt::NoModifier,
                          QPoint(150, 100));
        EXPECT_TRUE(Pump([&] { return activeIs(first) && deactivated == round; }, 3000)) << round;
        QTest::mouseClick(winplat::WidgetOf(second.GetHWND()), Qt::LeftButton, Qt::NoModifier,
                          QPoint(150, 100));
        EXPECT_TRUE(Pump([&] { return activeIs(second); }, 3000)) << round;
    }
}

TEST_F(WindowTest, ControlTimersReachDoEventAndWindowTimersStayTheWindows) {
    winplat::InstallManualClock(1000);
    CTestWnd wnd(CaptionLayout(L"0,0"));
    int windowTimer = 0;
    wnd.onExtra = [&](UINT m, WPARAM w, LPARAM, BOOL& handled) -> LRESULT {
        handled = m == WM_TIMER && w == 1;
        if (handled) ++windowTimer;
        return 0;
    };
    ASSERT_TRUE(wnd.Create(nullptr, L"timer", WS_POPUP, 0, 0, 0, 0, 0));
    auto* probe = new TimerProbe;
    auto* root = static_cast<CContainerUI*>(wnd.GetPaintManager().GetRoot());
    ASSERT_TRUE(root->Add(probe));
    // The same id for the window's own timer and the control's.
    ASSERT_TRUE(SetTimer(wnd.GetHWND(), 1, 100, nullptr));
    ASSERT_TRUE(wnd.GetPaintManager().SetTimer(probe, 1, 100));
    winplat::AdvanceManualClock(150);
    EXPECT_TRUE(Pump([&] { return probe->ticks > 0 && windowTimer > 0; }));
    EXPECT_EQ(probe->lastId, 1u);
    EXPECT_EQ(probe->ticks, 1);
    EXPECT_EQ(windowTimer, 1);
    ASSERT_TRUE(wnd.GetPaintManager().KillTimer(probe, 1));
    winplat::AdvanceManualClock(150);
    Pump([&] { return windowTimer > 1; });
    EXPECT_EQ(probe->ticks, 1);
    KillTimer(wnd.GetHWND(), 1);
    DestroyWindow(wnd.GetHWND());
    winplat::RemoveManualClock();
}

TEST_F(WindowTest, AltF4OnAQuitVariantWindowClosesOnlyThatWindow) {
    struct Case {
        ScClose variant;
        bool closes;
    } cases[] = {
        {ScClose::kQuit, true},     {ScClose::kClose, true},   {ScClose::kWmClose, true},
        {ScClose::kSwallow, false}, {ScClose::kDefault, true},
    };
    for (const Case& c : cases) {
        UINT set = c.variant == ScClose::kDefault ? (kMsgStandard & ~kMsgSysCommand) : kMsgStandard;
        CTestWnd wnd(CaptionLayout(L"0,0"), set, c.variant);
        ASSERT_TRUE(wnd.Create(nullptr, L"altf4", WS_POPUP, 0, 0, 0, 0, 0));
        HWND h = wnd.GetHWND();
        PostMessageW(h, WM_SYSKEYDOWN, VK_F4, 1 | (1 << 29));
        Pump([&] { return !IsWindow(h); }, c.closes ? 5000 : 200);
        EXPECT_EQ(!IsWindow(h), c.closes) << static_cast<int>(c.variant);
        MSG msg;
        EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE))
            << "no quit message for variant " << static_cast<int>(c.variant);
        if (IsWindow(h)) DestroyWindow(h);
    }
}

TEST_F(WindowTest, OwnerSlotShowsTheOneWindowAndIsClearedOnClose) {
    CWndAboutUS* about = nullptr;
    CWndAboutUS* first = OpenSelfDeleting(about, nullptr, ReuseAction::kShow);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(about, first);
    HWND h = first->GetHWND();
    ASSERT_TRUE(IsWindowVisible(h));
    ShowWindow(h, SW_HIDE);
    // A second request shows the same window again.
    EXPECT_EQ(OpenSelfDeleting(about, nullptr, ReuseAction::kShow), first);
    EXPECT_TRUE(IsWindowVisible(h));
    EXPECT_EQ(FindWindowW(L"UIWndAboutUS", nullptr), h);
    winplat::GrabWindowToFile(h, MIVORA_ARTIFACT_DIR "aboutus.png");
    // Its close button ends it and clears the owner's member.
    ClickControl(h, first->GetPaintManager().FindControl(L"closebtn"));
    ASSERT_TRUE(Pump([&] { return about == nullptr; }));
    EXPECT_FALSE(IsWindow(h));
    // The next request makes a new one; the confirm button closes it too.
    CWndAboutUS* second = OpenSelfDeleting(about, nullptr, ReuseAction::kShow);
    ASSERT_NE(second, nullptr);
    ClickControl(second->GetHWND(), second->GetPaintManager().FindControl(L"btn_confirm"));
    ASSERT_TRUE(Pump([&] { return about == nullptr; }));
}

}  // namespace
