// On a real X display, bare and under a window manager: a window owned by another
// stays above it when the owner is clicked or brought forward, and is a dialog of its
// owner, not a window of its own in a task bar.
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <string>

#include "real_display.h"
#include "ui_fixture.h"
#include "win32/loop.h"
#include "win32gui/qt_bridge.h"

namespace rd = realdisplay;

namespace {

const wchar_t kLayout[] =
    L"<Window size=\"300,200\"><VerticalLayout bkcolor=\"#FF3060A0\" /></Window>";
const wchar_t kOwnedLayout[] =
    L"<Window size=\"300,200\"><VerticalLayout bkcolor=\"#FFE0A020\" /></Window>";

bool Has(const std::vector<std::string>& names, const char* name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

struct Desk {
    const char* name;
    bool windowManager;
};

class RealDisplayOwnedWindows : public UiTest, public ::testing::WithParamInterface<Desk> {};

TEST_P(RealDisplayOwnedWindows, StayAboveTheirOwnerAndKeepOutOfTheTaskBar) {
    if (!rd::Wanted()) GTEST_SKIP() << "set MIVORA_REAL_DISPLAY=1 under an X server";
    rd::WindowManager wm;
    std::string why;
    if (GetParam().windowManager && !wm.Start(&why)) GTEST_SKIP() << why;

    CTestWnd owner(kLayout), owned(kOwnedLayout), other(kLayout);
    ASSERT_TRUE(other.Create(nullptr, L"other", WS_POPUP, 0, 0, 0, 0, 0));
    ASSERT_TRUE(owner.Create(nullptr, L"owner", WS_POPUP, 0, 0, 0, 0, 0));
    ASSERT_TRUE(owned.Create(owner.GetHWND(), L"owned", WS_POPUP, 0, 0, 0, 0, 0));
    ASSERT_EQ(GetWindow(owned.GetHWND(), GW_OWNER), owner.GetHWND());
    // The owned window in the middle of its owner; another window over both at first.
    SetWindowPos(owner.GetHWND(), nullptr, 100, 100, 500, 400, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(owned.GetHWND(), nullptr, 250, 200, 200, 150, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(other.GetHWND(), nullptr, 450, 300, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(owner.GetHWND(), SW_SHOW);
    ShowWindow(owned.GetHWND(), SW_SHOW);
    ShowWindow(other.GetHWND(), SW_SHOW);
    ASSERT_TRUE(Pump([&] {
        return rd::OnScreen(owner.GetHWND()) && rd::OnScreen(owned.GetHWND()) &&
               rd::OnScreen(other.GetHWND()) && rd::StackedAbove(other.GetHWND(), owner.GetHWND());
    }));
    ASSERT_TRUE(rd::SettleScreen(rd::kLoadedSettleMs));

    // Where the program put it: a window manager does not place the dialog anew.
    EXPECT_EQ(winplat::WidgetOf(owned.GetHWND())->geometry(), QRect(250, 200, 200, 150));

    // A dialog of its owner: the window manager keeps it with the owner and lists no
    // task-bar entry for it.
    const unsigned x = rd::XWindowOf(owned.GetHWND());
    const std::vector<unsigned> transientFor = rd::WindowList(x, "WM_TRANSIENT_FOR");
    ASSERT_EQ(transientFor.size(), 1u);
    EXPECT_EQ(transientFor[0], rd::XWindowOf(owner.GetHWND()));
    EXPECT_TRUE(Has(rd::AtomNames(x, "_NET_WM_WINDOW_TYPE"), "_NET_WM_WINDOW_TYPE_DIALOG"));
    EXPECT_TRUE(Has(rd::AtomNames(rd::XWindowOf(owner.GetHWND()), "_NET_WM_WINDOW_TYPE"),
                    "_NET_WM_WINDOW_TYPE_NORMAL"));
    if (GetParam().windowManager) {
        const std::vector<unsigned> clients = rd::WindowList(rd::RootWindow(), "_NET_CLIENT_LIST");
        EXPECT_NE(std::find(clients.begin(), clients.end(), x), clients.end());
    }

    // A click into the owner where nothing covers it brings the owner forward, with its
    // owned window still on top of it.
    ASSERT_EQ(rd::ClickScreen(POINT{130, 130}), 0);
    EXPECT_TRUE(Pump([&] { return rd::StackedAbove(owner.GetHWND(), other.GetHWND()); }))
        << "the clicked window did not come forward";
    ASSERT_TRUE(rd::SettleScreen(rd::kLoadedSettleMs));
    EXPECT_TRUE(rd::StackedAbove(owned.GetHWND(), owner.GetHWND())) << "after a click";
    // Every other way the program brings the owner forward keeps the same order.
    struct Raise {
        const char* how;
        void (*raise)(HWND);
    };
    const Raise raises[] = {
        {"SetForegroundWindow", [](HWND h) { SetForegroundWindow(h); }},
        {"BringWindowToTop", [](HWND h) { BringWindowToTop(h); }},
        {"SetWindowPos HWND_TOP",
         [](HWND h) { SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }},
    };
    for (const Raise& r : raises) {
        SetForegroundWindow(other.GetHWND());
        ASSERT_TRUE(Pump([&] { return rd::StackedAbove(other.GetHWND(), owner.GetHWND()); }))
            << r.how;
        r.raise(owner.GetHWND());
        EXPECT_TRUE(Pump([&] { return rd::StackedAbove(owner.GetHWND(), other.GetHWND()); }))
            << r.how;
        ASSERT_TRUE(rd::SettleScreen(rd::kLoadedSettleMs));
        EXPECT_TRUE(rd::StackedAbove(owned.GetHWND(), owner.GetHWND())) << r.how;
    }
    rd::GrabScreen(MIVORA_ARTIFACT_DIR, GetParam().windowManager ? "owned-openbox" : "owned-bare");
}

INSTANTIATE_TEST_SUITE_P(Desks, RealDisplayOwnedWindows,
                         ::testing::Values(Desk{"Bare", false}, Desk{"Openbox", true}),
                         [](const ::testing::TestParamInfo<Desk>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
