// A window's minimised and maximised state as the record keeps it follows the window
// on screen whoever changes it: the program, Qt, or the window manager (a real display
// under openbox).
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <functional>
#include <string>

#include "real_display.h"
#include "ui_fixture.h"
#include "win32gui/qt_bridge.h"

namespace rd = realdisplay;

namespace {

const wchar_t kLayout[] =
    L"<Window size=\"400,300\"><VerticalLayout bkcolor=\"#FF3060A0\" /></Window>";

// Keeps the kind of the last WM_SIZE.
class SizeProbe : public CTestWnd {
public:
    SizeProbe() : CTestWnd(kLayout) {}
    LRESULT HandleMessage(UINT m, WPARAM w, LPARAM l) override {
        if (m == WM_SIZE) lastSize = static_cast<int>(w);
        return CTestWnd::HandleMessage(m, w, l);
    }
    int lastSize = -1;
};

struct Step {
    const char* what;
    std::function<void(HWND)> act;
    bool iconic, zoomed;
    int sizeKind;
};

// Whether the window manager shows the state too (always, without one); it waits for
// the screen to hold still, so that Qt has seen the window manager's answer too.
using Agrees = std::function<bool(HWND, const Step&)>;

// Runs the steps in order: after each, the record's bits and the last WM_SIZE are those
// of the window on screen.
void RunSteps(
    SizeProbe& wnd, const std::vector<Step>& steps,
    const Agrees& agrees = [](HWND, const Step&) { return true; }) {
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.act(wnd.GetHWND());
        EXPECT_TRUE(Pump([&] {
            return (IsIconic(wnd.GetHWND()) != FALSE) == s.iconic &&
                   (IsZoomed(wnd.GetHWND()) != FALSE) == s.zoomed && wnd.lastSize == s.sizeKind &&
                   agrees(wnd.GetHWND(), s);
        })) << "iconic "
            << IsIconic(wnd.GetHWND()) << ", zoomed " << IsZoomed(wnd.GetHWND())
            << ", WM_SIZE kind " << wnd.lastSize;
        // Not minimised, the record has the window's place on screen.
        QWidget* w = winplat::WidgetOf(wnd.GetHWND());
        if (!s.iconic && w) {
            EXPECT_TRUE(Pump([&] {
                RECT rc{};
                GetWindowRect(wnd.GetHWND(), &rc);
                return QRect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top) ==
                       w->geometry();
            }));
        }
    }
}

class WindowStateTest : public UiTest {};

TEST_F(WindowStateTest, QtsStateChangesReachTheRecordAndTheProgramsReachQt) {
    SizeProbe wnd;
    ASSERT_TRUE(wnd.Create(nullptr, L"state", WS_POPUP, 0, 0, 0, 0, 0));
    SetWindowPos(wnd.GetHWND(), nullptr, 50, 60, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(wnd.GetHWND(), SW_SHOW);
    auto qt = [](void (QWidget::*show)()) {
        return [show](HWND h) { (winplat::WidgetOf(h)->*show)(); };
    };
    auto program = [](int cmd) { return [cmd](HWND h) { ShowWindow(h, cmd); }; };
    RunSteps(wnd, {
                      {"Qt minimises", qt(&QWidget::showMinimized), true, false, SIZE_MINIMIZED},
                      {"Qt restores", qt(&QWidget::showNormal), false, false, SIZE_RESTORED},
                      {"Qt maximises", qt(&QWidget::showMaximized), false, true, SIZE_MAXIMIZED},
                      {"Qt minimises the maximised window", qt(&QWidget::showMinimized), true,
                       false, SIZE_MINIMIZED},
                      {"Qt restores it", qt(&QWidget::showMaximized), false, true, SIZE_MAXIMIZED},
                      {"Qt restores from maximised", qt(&QWidget::showNormal), false, false,
                       SIZE_RESTORED},
                  });
    QWidget* w = winplat::WidgetOf(wnd.GetHWND());
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->geometry(), QRect(50, 60, 400, 300)) << "back where it was";
    // The program's own commands: Qt, and through it a window manager, hear of them.
    struct Told {
        int cmd;
        Qt::WindowStates state;
    } told[] = {
        {SW_MAXIMIZE, Qt::WindowMaximized},
        {SW_MINIMIZE, Qt::WindowMinimized | Qt::WindowMaximized},  // Qt keeps what comes back
        {SW_RESTORE, Qt::WindowMaximized},                         // minimised from maximised
        {SW_RESTORE, Qt::WindowNoState},
    };
    for (const Told& t : told) {
        SCOPED_TRACE(t.cmd);
        ShowWindow(wnd.GetHWND(), t.cmd);
        EXPECT_EQ(w->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized), t.state);
    }
    RunSteps(wnd, {{"the program maximises", program(SW_MAXIMIZE), false, true, SIZE_MAXIMIZED},
                   {"Qt restores", qt(&QWidget::showNormal), false, false, SIZE_RESTORED}});
}

// Under a window manager: its minimise (xdotool windowminimize), its restore (an
// activation), and maximise and restore asked of it as a pager asks.
TEST_F(WindowStateTest, RealDisplayWindowManagerActionsReachTheRecord) {
    if (!rd::Wanted()) GTEST_SKIP() << "set MIVORA_REAL_DISPLAY=1 under an X server";
    rd::WindowManager wm;
    std::string why;
    if (!wm.Start(&why)) GTEST_SKIP() << why;
    SizeProbe wnd;
    ASSERT_TRUE(wnd.Create(nullptr, L"state", WS_POPUP, 0, 0, 0, 0, 0));
    SetWindowPos(wnd.GetHWND(), nullptr, 50, 60, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(wnd.GetHWND(), SW_SHOW);
    ASSERT_TRUE(Pump([&] { return rd::OnScreen(wnd.GetHWND()); }));
    ASSERT_TRUE(rd::SettleScreen(rd::kLoadedSettleMs));
    const std::string id = std::to_string(rd::XWindowOf(wnd.GetHWND()));
    auto tool = [](std::vector<std::string> args) {
        return [args](HWND) { ASSERT_EQ(rd::RunTool(args), 0); };
    };
    auto maximise = [](bool on) {
        return [on](HWND h) {
            ASSERT_TRUE(rd::RequestNetWmState(rd::XWindowOf(h), on, "_NET_WM_STATE_MAXIMIZED_VERT",
                                              "_NET_WM_STATE_MAXIMIZED_HORZ"));
        };
    };
    auto program = [](int cmd) { return [cmd](HWND h) { ShowWindow(h, cmd); }; };
    RunSteps(
        wnd,
        {
            {"minimised", tool({"xdotool", "windowminimize", id}), true, false, SIZE_MINIMIZED},
            {"restored", tool({"xdotool", "windowactivate", id}), false, false, SIZE_RESTORED},
            {"maximised", maximise(true), false, true, SIZE_MAXIMIZED},
            {"minimised when maximised", tool({"xdotool", "windowminimize", id}), true, false,
             SIZE_MINIMIZED},
            {"restored to maximised", tool({"xdotool", "windowactivate", id}), false, true,
             SIZE_MAXIMIZED},
            {"restored from maximised", maximise(false), false, false, SIZE_RESTORED},
            {"the program maximises", program(SW_MAXIMIZE), false, true, SIZE_MAXIMIZED},
            {"the window manager restores", maximise(false), false, false, SIZE_RESTORED},
        },
        [](HWND h, const Step& s) {
            const std::vector<std::string> st = rd::AtomNames(rd::XWindowOf(h), "_NET_WM_STATE");
            auto has = [&](const char* n) {
                return std::find(st.begin(), st.end(), n) != st.end();
            };
            return has("_NET_WM_STATE_HIDDEN") == s.iconic &&
                   (s.iconic || has("_NET_WM_STATE_MAXIMIZED_VERT") == s.zoomed) &&
                   rd::SettleScreen();
        });
    RECT rc{};
    GetWindowRect(wnd.GetHWND(), &rc);
    EXPECT_EQ(rc.right - rc.left, 400);
    EXPECT_EQ(rc.bottom - rc.top, 300);
}

}  // namespace
