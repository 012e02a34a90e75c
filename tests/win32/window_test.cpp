#include <gtest/gtest.h>

#include <algorithm>

#include "test_window.h"

using wintest::MakeWindow;
using wintest::Recorder;

namespace {

TEST(Window, CreationSendsWindowsMessagesWithTheCreationParameter) {
    Recorder rec;
    void* seen = nullptr;
    rec.hook = [&](HWND, UINT msg, WPARAM, LPARAM lParam, bool&) -> LRESULT {
        if (msg == WM_CREATE) seen = reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams;
        return 0;
    };
    HWND w = MakeWindow(&rec, WS_POPUP | WS_VISIBLE);
    ASSERT_TRUE(w);
    EXPECT_EQ(seen, &rec);
    EXPECT_EQ(rec.Messages(),
              (std::vector<UINT>{WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE,
                                 WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED}));
    wchar_t text[16];
    EXPECT_EQ(GetWindowTextW(w, text, 16), 4);
    EXPECT_STREQ(text, L"test");
    EXPECT_TRUE(IsWindowVisible(w));
    RECT r;
    ASSERT_TRUE(GetWindowRect(w, &r));
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.bottom, 70);
    DestroyWindow(w);
}

TEST(Window, FailedCreationIsUndoneWithTheDestroyMessages) {
    struct Case {
        UINT refuse;
        LRESULT answer;
        std::vector<UINT> tail;
    } cases[] = {
        {WM_NCCREATE, FALSE, {WM_NCCREATE, WM_NCDESTROY}},
        {WM_CREATE, -1, {WM_CREATE, WM_DESTROY, WM_NCDESTROY}},
    };
    for (auto& c : cases) {
        Recorder rec;
        rec.hook = [&](HWND, UINT msg, WPARAM, LPARAM, bool& handled) -> LRESULT {
            handled = msg == c.refuse;
            return c.answer;
        };
        EXPECT_EQ(MakeWindow(&rec), nullptr);
        auto msgs = rec.Messages();
        ASSERT_GE(msgs.size(), c.tail.size());
        EXPECT_EQ(std::vector<UINT>(msgs.end() - c.tail.size(), msgs.end()), c.tail);
    }
    EXPECT_EQ(
        CreateWindowExW(0, L"NoSuchClass", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr),
        nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
}

TEST(Window, APopupGivenTheDesktopAsParentIsMadeWithoutOwner) {
    for (DWORD style : {static_cast<DWORD>(WS_POPUP), static_cast<DWORD>(WS_OVERLAPPED)}) {
        Recorder rec;
        HWND w = MakeWindow(&rec, style, GetDesktopWindow());
        ASSERT_NE(w, nullptr) << std::hex << style;
        EXPECT_EQ(GetWindow(w, GW_OWNER), nullptr);
        DestroyWindow(w);
    }
}

struct Logged {
    HWND hwnd;
    UINT msg;
    bool operator==(const Logged& o) const { return hwnd == o.hwnd && msg == o.msg; }
};

TEST(Window, DestroyGoesParentFirstThenNcDestroyChildrenFirstAndHandlesGoStale) {
    std::vector<Logged> log;
    Recorder parentRec, childRec, grandRec, ownedRec;
    for (Recorder* r : {&parentRec, &childRec, &grandRec, &ownedRec})
        r->hook = [&](HWND h, UINT msg, WPARAM, LPARAM, bool&) -> LRESULT {
            if (msg == WM_DESTROY || msg == WM_NCDESTROY) log.push_back({h, msg});
            return 0;
        };
    HWND parent = MakeWindow(&parentRec, WS_POPUP);
    HWND child = MakeWindow(&childRec, WS_CHILD, parent);
    HWND grand = MakeWindow(&grandRec, WS_CHILD, child);
    HWND owned = MakeWindow(&ownedRec, WS_POPUP, parent);  // owned, not a child
    ASSERT_TRUE(parent && child && grand && owned);
    EXPECT_EQ(GetParent(grand), child);
    EXPECT_EQ(GetParent(owned), parent);  // a popup's GetParent is its owner
    EXPECT_EQ(GetWindow(owned, GW_OWNER), parent);
    EXPECT_TRUE(IsChild(parent, grand));

    ASSERT_TRUE(DestroyWindow(parent));
    EXPECT_EQ(log, (std::vector<Logged>{{owned, WM_DESTROY},
                                        {owned, WM_NCDESTROY},
                                        {parent, WM_DESTROY},
                                        {child, WM_DESTROY},
                                        {grand, WM_DESTROY},
                                        {grand, WM_NCDESTROY},
                                        {child, WM_NCDESTROY},
                                        {parent, WM_NCDESTROY}}));
    for (HWND h : {parent, child, grand, owned}) {
        EXPECT_FALSE(IsWindow(h));
        EXPECT_FALSE(PostMessageW(h, WM_USER, 0, 0));
        EXPECT_EQ(SendMessageW(h, WM_USER, 0, 0), 0);
        EXPECT_EQ(GetWindowLongPtrW(h, GWLP_USERDATA), 0);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    }
    EXPECT_FALSE(DestroyWindow(parent));
    Recorder again;
    HWND fresh = MakeWindow(&again);
    EXPECT_TRUE(fresh != parent && fresh != child && fresh != grand && fresh != owned);
    DestroyWindow(fresh);
}

TEST(Window, MessagesPostedToADestroyedWindowAreDropped) {
    Recorder rec;
    HWND w = MakeWindow(&rec);
    PostMessageW(w, WM_USER + 5, 0, 0);
    DestroyWindow(w);
    MSG m;
    EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST(Window, LongValuesStylesAndExtraBytes) {
    Recorder rec;
    HWND w = MakeWindow(&rec, WS_POPUP, nullptr, RECT{0, 0, 10, 10}, WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetWindowLongPtrW(w, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&rec));
    EXPECT_EQ(GetWindowLongPtrW(w, GWL_EXSTYLE), WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetWindowLongPtrW(w, 0), 0);
    EXPECT_EQ(SetWindowLongPtrW(w, sizeof(LONG_PTR), 77), 0);
    EXPECT_EQ(GetWindowLongPtrW(w, sizeof(LONG_PTR)), 77);
    EXPECT_EQ(GetWindowLongPtrW(w, 2 * sizeof(LONG_PTR)), 0);  // past the extra bytes
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));

    rec.Clear();
    LONG_PTR old = SetWindowLongPtrW(w, GWL_STYLE, WS_POPUP | WS_THICKFRAME);
    EXPECT_EQ(old, static_cast<LONG_PTR>(WS_POPUP));
    EXPECT_EQ(rec.Only({WM_STYLECHANGING, WM_STYLECHANGED}),
              (std::vector<UINT>{WM_STYLECHANGING, WM_STYLECHANGED}));
    // An overlapped window gets a caption, as on Windows.
    Recorder r2;
    HWND o = MakeWindow(&r2, WS_OVERLAPPED);
    EXPECT_TRUE(GetWindowLongPtrW(o, GWL_STYLE) & WS_CAPTION);

    // Subclassing through GWLP_WNDPROC.
    static WNDPROC previous;
    previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(w, GWLP_WNDPROC));
    SetWindowLongPtrW(
        w, GWLP_WNDPROC,
        reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
            if (m == WM_USER + 9) return 99;
            return CallWindowProcW(previous, h, m, wp, lp);
        }));
    EXPECT_EQ(SendMessageW(w, WM_USER + 9, 0, 0), 99);
    EXPECT_TRUE(SetWindowTextW(w, L"renamed"));
    EXPECT_EQ(GetWindowTextLengthW(w), 7);
    EXPECT_EQ(FindWindowW(L"mivoratestrecorder", L"renamed"), w);
    DestroyWindow(w);
    DestroyWindow(o);
}

struct HostLog : winplat::WindowHost {
    std::vector<std::string> events;
    void WindowCreated(HWND) override { events.push_back("created"); }
    void WindowDestroyed(HWND) override { events.push_back("destroyed"); }
    void WindowShown(HWND, bool v) override { events.push_back(v ? "shown" : "hidden"); }
    void WindowMoved(HWND, const RECT& r) override {
        events.push_back("moved " + std::to_string(r.left) + "," + std::to_string(r.top) + " " +
                         std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top));
    }
    void WindowStateChanged(HWND, int cmd) override {
        events.push_back("state " + std::to_string(cmd));
    }
    void WindowTextChanged(HWND) override { events.push_back("text"); }
    void WindowEnabled(HWND, bool e) override { events.push_back(e ? "enabled" : "disabled"); }
};

TEST(Window, PlacementSendsSizeAndMoveAndTellsTheHost) {
    HostLog host;
    winplat::SetWindowHost(&host);
    Recorder rec;
    std::vector<std::pair<UINT, LPARAM>> sizes;
    rec.hook = [&](HWND, UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) -> LRESULT {
        if (msg == WM_SIZE || msg == WM_MOVE) sizes.push_back({msg, lParam});
        if (msg == WM_SIZE && wParam == SIZE_MAXIMIZED) sizes.push_back({msg, -1});
        if (msg == WM_GETMINMAXINFO) {  // the window says what maximised means
            auto* mmi = reinterpret_cast<MINMAXINFO*>(lParam);
            mmi->ptMaxPosition = POINT{5, 5};
            mmi->ptMaxSize = POINT{800, 600};
            mmi->ptMinTrackSize = POINT{50, 40};
            handled = true;
        }
        return 0;
    };
    HWND w = MakeWindow(&rec, WS_POPUP);
    HWND child = MakeWindow(&rec, WS_CHILD | WS_VISIBLE, w, RECT{3, 4, 13, 14});
    sizes.clear();
    host.events.clear();

    EXPECT_FALSE(IsWindowVisible(child));  // its parent is hidden
    EXPECT_FALSE(ShowWindow(w, SW_SHOW));
    EXPECT_TRUE(IsWindowVisible(child));
    ASSERT_TRUE(MoveWindow(w, 100, 50, 300, 200, TRUE));
    EXPECT_EQ(sizes, (std::vector<std::pair<UINT, LPARAM>>{{WM_MOVE, MAKELPARAM(100, 50)},
                                                           {WM_SIZE, MAKELPARAM(300, 200)}}));
    sizes.clear();
    SetWindowPos(w, nullptr, 0, 0, 10, 10, SWP_NOMOVE | SWP_NOZORDER);  // below the minimum
    EXPECT_EQ(sizes, (std::vector<std::pair<UINT, LPARAM>>{{WM_SIZE, MAKELPARAM(50, 40)}}));
    sizes.clear();
    SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_TRUE(sizes.empty());

    POINT p{1, 2};
    ClientToScreen(child, &p);
    EXPECT_EQ(p.x, 104);
    EXPECT_EQ(p.y, 56);
    ScreenToClient(child, &p);
    EXPECT_EQ(p.x, 1);
    RECT rc;
    GetClientRect(w, &rc);
    EXPECT_EQ(rc.right, 50);

    ShowWindow(w, SW_MAXIMIZE);
    EXPECT_TRUE(IsZoomed(w));
    GetWindowRect(w, &rc);
    EXPECT_EQ(rc.left, 5);
    EXPECT_EQ(rc.right, 805);
    ShowWindow(w, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(w));
    EXPECT_FALSE(IsZoomed(w));
    ShowWindow(w, SW_RESTORE);  // back to maximised, as it was before
    EXPECT_TRUE(IsZoomed(w));
    ShowWindow(w, SW_RESTORE);
    EXPECT_FALSE(IsZoomed(w));
    GetWindowRect(w, &rc);
    EXPECT_EQ(rc.left, 100);
    EXPECT_EQ(rc.right - rc.left, 50);

    EXPECT_FALSE(EnableWindow(w, FALSE));
    EXPECT_FALSE(IsWindowEnabled(w));
    EXPECT_TRUE(EnableWindow(w, TRUE));
    SetWindowTextW(w, L"x");
    EXPECT_TRUE(ShowWindow(w, SW_HIDE));
    DestroyWindow(w);
    winplat::SetWindowHost(nullptr);

    auto& e = host.events;
    EXPECT_EQ(e.front(), "shown");
    EXPECT_NE(std::find(e.begin(), e.end(), "moved 100,50 300x200"), e.end());
    EXPECT_NE(std::find(e.begin(), e.end(), "state " + std::to_string(SW_MAXIMIZE)), e.end());
    EXPECT_NE(std::find(e.begin(), e.end(), "disabled"), e.end());
    EXPECT_NE(std::find(e.begin(), e.end(), "text"), e.end());
    EXPECT_NE(std::find(e.begin(), e.end(), "hidden"), e.end());
    EXPECT_EQ(std::count(e.begin(), e.end(), "destroyed"), 2);
}

TEST(Window, ClassesAreUniqueByNameAndCannotGoWhileWindowsExist) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = L"CommWnd.12";
    ATOM atom = RegisterClassW(&wc);
    ASSERT_NE(atom, 0);
    wc.lpszClassName = L"COMMWND.12";
    EXPECT_EQ(RegisterClassW(&wc), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
    HWND w = CreateWindowExW(WS_EX_TOOLWINDOW, MAKEINTATOM(atom), L"", 0, 0, 0, 0, 0, nullptr,
                             nullptr, nullptr, nullptr);
    ASSERT_TRUE(w);
    wchar_t name[32];
    EXPECT_EQ(GetClassNameW(w, name, 32), 10);
    EXPECT_STREQ(name, L"CommWnd.12");
    EXPECT_FALSE(UnregisterClassW(L"CommWnd.12", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_HAS_WINDOWS));
    // WM_CLOSE's default is DestroyWindow.
    SendMessageW(w, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_TRUE(UnregisterClassW(L"CommWnd.12", nullptr));
}

}  // namespace
