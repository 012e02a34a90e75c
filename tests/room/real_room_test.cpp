// The room window on a real X display (xvfb-run, QT_QPA_PLATFORM=xcb,
// MIVORA_REAL_DISPLAY=1), clicked by the X pointer as a person clicks it: the skin
// button, a video pane's menu, the microphone button across a room switch, the
// microphone menu, the emoticon picker and the loudspeaker and announcement composers.
// Screenshots go to the artifact folder.
// Skipped otherwise.
#include <QApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <functional>
#include <string>

#include "app/ClientApp.h"
#include "controls/CtrlListFriend.h"
#include "controls/GiftListUI.h"
#include "controls/RoomCtrlUI.h"
#include "dialogs/WndChatEmotion.h"
#include "dialogs/WndGiftInfo.h"
#include "dialogs/WndSelSkin.h"
#include "dialogs/WndSendGonggao.h"
#include "dialogs/WndSendLaba.h"
#include "kernel/CommKernel.h"
#include "lobby/WndLobby.h"
#include "lobby_fixture.h"
#include "real_display.h"
#include "room_fixture.h"
#include "session/CommKernelData.h"
#include "ui_fixture.h"
#include "win32gui/menu.h"
#include "win32gui/qt_bridge.h"

using namespace DuiLib;
namespace rd = realdisplay;

namespace roomtest {
namespace {

class RealRoom : public RoomTest {
protected:
    void SetUp() override {
        RoomTest::SetUp();
        if (!rd::Wanted()) GTEST_SKIP() << "set MIVORA_REAL_DISPLAY=1 under an X server";
    }
    void Open() {
        EnterRoom(1, {Member(kAlice, "alice")});
        room->ShowWindow(true, true);
        LayOut(room->GetHWND(), room->GetPaintManager());
        // A loaded X server maps the window late; the screen holds still before that too,
        // and a click then falls on the bare screen.
        ASSERT_TRUE(Pump([&] { return rd::OnScreen(room->GetHWND()); }, 10000))
            << "the room never reached the screen";
        Settle();
    }
    // Lets what was drawn reach the screen.
    static void Settle() { rd::SettleScreen(); }
    CControlUI* Find(const wchar_t* name) { return room->GetPaintManager().FindControl(name); }
    void Click(CControlUI* c, int button = 1) {
        ASSERT_NE(c, nullptr);
        InvalidateRect(room->GetHWND(), nullptr, FALSE);
        Settle();
        rd::ClickControl(room->GetHWND(), c, button);
    }
};

// Under a window manager, the program's maximise and restore buttons and the window
// manager's own minimise, restore and maximise all leave the public panes sized for the
// window as it is: large when maximised, and three side by side in the zone of the
// smallest restored window.
TEST_F(RealRoom, PanesFollowTheWindowAcrossTheWindowManagersMinimiseAndMaximise) {
    rd::WindowManager wm;
    std::string why;
    if (!wm.Start(&why)) GTEST_SKIP() << why;
    Open();
    const HWND hwnd = room->GetHWND();
    // The room opens maximised; restored, it is made the smallest it can be.
    if (IsZoomed(hwnd)) {
        Click(Find(L"btnrestore"));
        ASSERT_TRUE(Pump([&] { return !IsZoomed(hwnd); }));
    }
    ::SetWindowPos(hwnd, nullptr, 60, 40, 800, 600, SWP_NOZORDER);
    ASSERT_TRUE(Pump([&] { return rd::OnScreen(hwnd); }));
    Settle();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const std::string id = std::to_string(rd::XWindowOf(hwnd));
    auto maximise = [&](bool on) {
        ASSERT_TRUE(rd::RequestNetWmState(rd::XWindowOf(hwnd), on, "_NET_WM_STATE_MAXIMIZED_VERT",
                                          "_NET_WM_STATE_MAXIMIZED_HORZ"));
    };
    struct Step {
        const char* what;
        std::function<void()> act;
        bool zoomed;
    } steps[] = {
        {"the maximise button", [&] { Click(Find(L"btnmax")); }, true},
        {"minimised by the window manager",
         [&] {
             ASSERT_EQ(rd::RunTool({"xdotool", "windowminimize", id}), 0);
         },
         true},
        {"the restore button", [&] { Click(Find(L"btnrestore")); }, false},
        {"maximised by the window manager", [&] { maximise(true); }, true},
        {"restored by the window manager", [&] { maximise(false); }, false},
        {"minimised by the window manager again",
         [&] {
             ASSERT_EQ(rd::RunTool({"xdotool", "windowminimize", id}), 0);
         },
         false},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.act();
        // A minimised room comes back through the window manager (an activation).
        if (IsIconic(hwnd) || std::string(s.what).find("minimised") == 0) {
            ASSERT_TRUE(Pump([&] { return IsIconic(hwnd) != FALSE; })) << "not minimised";
            ASSERT_EQ(rd::RunTool({"xdotool", "windowactivate", id}), 0);
        }
        const int width = s.zoomed ? screen.width() : 800;
        const CWndRoom::VideoLayout v = CWndRoom::ComputeVideoLayout(width, s.zoomed);
        RECT z{}, p[3]{};
        const bool fits = Pump([&] {
            if (IsIconic(hwnd) || (IsZoomed(hwnd) != FALSE) != s.zoomed) return false;
            RECT rc{};
            ::GetClientRect(hwnd, &rc);
            if (rc.right != width) return false;
            LayOut(hwnd, room->GetPaintManager());
            z = Find(L"videozone")->GetPos();
            for (int i = 0; i < 3; ++i)
                p[i] = Find((L"pubvideo" + std::to_wstring(i + 1)).c_str())->GetPos();
            for (const RECT& r : p)
                if (r.right - r.left != v.paneWidth || r.bottom - r.top != v.paneHeight ||
                    r.left < z.left || r.right > z.right)
                    return false;
            return true;
        });
        EXPECT_TRUE(fits) << "zoomed " << IsZoomed(hwnd) << ", iconic " << IsIconic(hwnd)
                          << "; panes " << p[0].right - p[0].left << "x" << p[0].bottom - p[0].top
                          << " at " << p[0].left << ", " << p[1].left << ", " << p[2].left << ".."
                          << p[2].right << " in a zone " << z.left << ".." << z.right << "; want "
                          << v.paneWidth << "x" << v.paneHeight;
        // The title offers the other state: restore when maximised, maximise otherwise.
        EXPECT_TRUE(Pump([&] {
            return Find(L"btnrestore")->IsVisible() == s.zoomed &&
                   Find(L"btnmax")->IsVisible() == !s.zoomed;
        })) << "maximise shown "
            << Find(L"btnmax")->IsVisible() << ", restore shown "
            << Find(L"btnrestore")->IsVisible();
        Settle();
    }
    rd::GrabScreen(MIVORA_ARTIFACT_DIR, "room-panes-after-restore");
}

// The pointer goes from a gift straight into the chat view beside the gift panel (a
// view of its own inside the window): the gift's hover card goes, and comes back when
// the pointer is on the gift again.
TEST_F(RealRoom, GiftHoverCardGoesWhenThePointerMovesIntoTheChatView) {
    Open();
    auto* list = dynamic_cast<CGiftListUI*>(Find(L"giftlist_1"));
    ASSERT_NE(list, nullptr);
    list->AddGiftItem(1, L"1.png", L"玫瑰");
    CControlUI* hover = room->GetPaintManager().FindSubControlByName(
        list->GetItemAt(list->GetCount() - 1), L"giftbk");
    ASSERT_NE(hover, nullptr);
    const HWND hwnd = room->GetHWND();
    ASSERT_TRUE(Pump([&] {
        LayOut(hwnd, room->GetPaintManager());
        return !IsRectEmpty(&hover->GetPos()) && !IsRectEmpty(&Find(L"pubtextout")->GetPos());
    }));
    Settle();
    auto moveTo = [](const QRect& r) {
        return rd::RunTool({"xdotool", "mousemove", std::to_string(r.center().x()),
                            std::to_string(r.center().y())});
    };
    auto cardShown = [&] {
        return room->m_pWndGiftInfo && IsWindowVisible(room->m_pWndGiftInfo->GetHWND());
    };
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_EQ(moveTo(rd::ScreenRectOf(hwnd, hover)), 0);
        ASSERT_TRUE(Pump(cardShown)) << "no card over the gift";
        Settle();
        if (round == 0) rd::GrabScreen(MIVORA_ARTIFACT_DIR, "room-gift-card");
        ASSERT_EQ(moveTo(rd::ScreenRectOf(hwnd, Find(L"pubtextout"))), 0);
        EXPECT_TRUE(Pump([&] { return !cardShown(); })) << "the card stayed over the chat view";
    }
}

TEST_F(RealRoom, SkinButtonOpensTheLobbysChooser) {
    // The room reaches the chooser through the lobby, which is there but not shown.
    auto* lobby = new CWndLobby;
    ASSERT_TRUE(lobby->Create(nullptr, L"Mivora大厅窗口", 0x00CF0000, 0, 0, 0, 1024, 725));
    k->m_pWndTable[1] = lobby;
    Open();
    Click(Find(L"selskin"));
    EXPECT_TRUE(Pump(
        [] { return theApp.m_pWndSelSkin && rd::OnScreen(theApp.m_pWndSelSkin->GetHWND()); }, 5000))
        << "no chooser on screen";
    Settle();
    rd::GrabScreen(MIVORA_ARTIFACT_DIR, "room-skin-chooser");
    if (theApp.m_pWndSelSkin) DestroyWindow(theApp.m_pWndSelSkin->GetHWND());
    DestroyWindow(lobby->GetHWND());
    k->m_pWndTable[1] = nullptr;
    PumpPending();
}

TEST_F(RealRoom, RightClickOnAVideoPaneOpensThePaneMenu) {
    Open();
    for (int pane = 0; pane < 3; ++pane) {
        openedMenus.clear();
        const std::wstring name = L"pubvideo" + std::to_wstring(pane + 1);
        Click(Find(name.c_str()), 3);
        ASSERT_TRUE(Pump([&] { return !openedMenus.empty(); }, 5000))
            << "no menu for pane " << pane;
        EXPECT_EQ(openedMenus[0], room->GetMenuHandle(kMenuPane));
    }
}

TEST_F(RealRoom, MicrophoneButtonShowsTheMuteTheNextRoomStartsWith) {
    Open();
    auto* mute = static_cast<CCheckBoxUI*>(Find(L"mutemicbtn")->GetInterface(L"CheckBox"));
    ASSERT_NE(mute, nullptr);
    EXPECT_EQ(mute->GetCheck(), d->m_UserEnv.m_bMuteMic != 0);
    // Another room: leaving stops the media with the microphone muted, and the new
    // room's button says so.
    CloseRoomWindow();
    PumpPending();
    Open();
    mute = static_cast<CCheckBoxUI*>(Find(L"mutemicbtn")->GetInterface(L"CheckBox"));
    ASSERT_TRUE(d->m_UserEnv.m_bMuteMic);
    EXPECT_TRUE(mute->GetCheck());
    rd::GrabScreen(MIVORA_ARTIFACT_DIR, "room-mic-after-switch");
    // One click: the microphone is on and the button shows it.
    Click(mute);
    ASSERT_TRUE(Pump([&] { return !d->m_UserEnv.m_bMuteMic; }, 5000));
    EXPECT_FALSE(mute->GetCheck());
    Click(mute);
    ASSERT_TRUE(Pump([&] { return d->m_UserEnv.m_bMuteMic != 0; }, 5000));
    EXPECT_TRUE(mute->GetCheck());
}

// Where the open popup menu is, read while its loop runs; then it is closed.
QRect g_menuRect;
void CALLBACK WatchMenu(HWND, UINT, UINT_PTR id, DWORD) {
    QWidget* popup = QApplication::activePopupWidget();
    if (!popup || !popup->isVisible()) return;
    KillTimer(nullptr, id);
    rd::SettleScreen();
    g_menuRect = popup->geometry();
    rd::GrabScreen(MIVORA_ARTIFACT_DIR, "room-mic-menu");
    popup->close();
}

TEST_F(RealRoom, MicrophoneMenuOpensAtThePointerInsideTheWorkArea) {
    winplat::SetPopupMenuHook(nullptr);  // the real menu
    Open();
    CControlUI* up = Find(L"upmicbtn");
    ASSERT_TRUE(up && up->IsVisible());
    const QRect button = rd::ScreenRectOf(room->GetHWND(), up);
    g_menuRect = QRect();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, WatchMenu);
    Click(up);
    ASSERT_TRUE(Pump([] { return g_menuRect.isValid(); }, 5000)) << "no menu opened";
    KillTimer(nullptr, timer);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(area.contains(g_menuRect)) << "menu outside the work area";
    // At the pointer (the middle of the button): bottom-aligned where there is room above
    // it, else opening downward from it; never pinned over the button from the screen's top.
    const int pointer = button.center().y();
    const bool above = pointer - g_menuRect.height() >= area.top();
    EXPECT_NEAR(above ? g_menuRect.bottom() + 1 : g_menuRect.top(), pointer, 2)
        << "menu at " << g_menuRect.top() << ".." << g_menuRect.bottom() << ", pointer at "
        << pointer;
    EXPECT_NEAR(g_menuRect.left(), button.center().x(), 2);
}

TEST_F(RealRoom, EmoticonPickerHidesOnAClickElsewhere) {
    Open();
    for (int round = 0; round < 2; ++round) {
        Click(Find(L"tool_emo"));
        CWndChatEmotion* picker = nullptr;
        ASSERT_TRUE(Pump(
            [&] {
                picker = CWndChatEmotion::Instance();
                return picker && rd::OnScreen(picker->GetHWND());
            },
            5000))
            << "the picker did not open";
        Settle();
        if (round == 0) rd::GrabScreen(MIVORA_ARTIFACT_DIR, "room-emoticon-picker");
        // A click into the room's chat view, away from the picker.
        Click(Find(L"pubtextout"));
        EXPECT_TRUE(Pump([&] { return !IsWindowVisible(picker->GetHWND()); }, 5000))
            << "the picker stayed open after a click elsewhere (round " << round << ")";
    }
    rd::GrabScreen(MIVORA_ARTIFACT_DIR, "room-emoticon-picker-gone");
}

// A popup that opens although nothing should: noted, then closed so the test goes on.
bool g_strayPopup = false;
void CALLBACK CloseStrayPopup(HWND, UINT, UINT_PTR, DWORD) {
    if (QWidget* popup = QApplication::activePopupWidget()) {
        g_strayPopup = true;
        popup->close();
    }
}

TEST_F(RealRoom, ClickOnTheEmptyRecipientListLeavesTheNextClickToAMember) {
    winplat::SetPopupMenuHook(nullptr);  // the real drop-down
    Open();
    auto* gift = static_cast<CComboUI*>(Find(L"giftusercombo")->GetInterface(L"Combo"));
    ASSERT_NE(gift, nullptr);
    ASSERT_EQ(gift->GetCount(), 0);
    g_strayPopup = false;
    const UINT_PTR watch = SetTimer(nullptr, 0, 500, CloseStrayPopup);
    Click(gift);
    Settle();
    KillTimer(nullptr, watch);
    EXPECT_FALSE(g_strayPopup) << "an empty drop-down opened and took the pointer";
    room->FillAllUserList();
    LayOut(room->GetHWND(), room->GetPaintManager());
    CCtrlListFriend* list = room->GetUserList();
    CControlUI* alice = nullptr;
    for (int i = 0; i < list->GetCount(); ++i)
        if (list->GetRowUserId(list->GetItemAt(i)) == kAlice) alice = list->GetItemAt(i);
    ASSERT_NE(alice, nullptr);
    Click(alice);
    EXPECT_TRUE(Pump([&] { return gift->GetCurSel() >= 0; }, 5000))
        << "the click on the member went to an invisible drop-down";
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

// The room's composers as a person uses them: opened from the tool bar, the room
// clicked in between, the text typed on the keyboard and the send button clicked.
TEST_F(RealRoom, ComposersSendWhatIsTypedAfterAClickIntoTheRoom) {
    constexpr int kLevel5 = 5 << 16;
    GrantFromLogon({{5, 1, kLevel5, 0}, {17, 1, kLevel5, 0}});
    Open();
    struct Case {
        const wchar_t* tool;
        std::function<CWndChatSender*()> window;
        uint8_t kind;
    } cases[] = {
        {L"tool_app", [&] { return static_cast<CWndChatSender*>(room->m_pWndSendGonggao); }, 1},
        {L"tool_laba", [&] { return static_cast<CWndChatSender*>(room->m_pWndSendLaba); }, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.tool, c.tool + wcslen(c.tool)));
        for (int round = 0; round < 2; ++round) {
            SCOPED_TRACE(round);
            TakeSent();
            Click(Find(c.tool));
            ASSERT_TRUE(
                Pump([&] { return c.window() && rd::OnScreen(c.window()->GetHWND()); }, 5000))
                << "the composer did not open: " << PrivateText();
            CWndChatSender* w = c.window();
            Settle();
            // Typed at once: the input has the keyboard focus when the composer opens.
            rd::TypeText("hi");
            ASSERT_TRUE(
                Pump([&] { return std::wstring(w->GetInput()->GetEditContent()) == L"hi"; }, 5000))
                << "what was typed did not reach the input";
            // A click into the room beside the composer (which lies over the public chat),
            // then the composer's input and send button.
            Click(Find(L"privtextout"));
            Settle();
            CControlUI* input = w->GetInput();
            CControlUI* send = w->GetPaintManager().FindControl(L"btnSend");
            ASSERT_NE(send, nullptr);
            InvalidateRect(w->GetHWND(), nullptr, FALSE);
            Settle();
            rd::ClickControl(w->GetHWND(), input);
            QWidget* top = winplat::WidgetOf(w->GetHWND());
            ASSERT_TRUE(Pump(
                [&] {
                    return top->isActiveWindow() && top->focusWidget() &&
                           top->focusWidget()->hasFocus();
                },
                5000))
                << "the click did not give the composer the keyboard";
            rd::TypeText(" all");
            Settle();
            rd::ClickControl(w->GetHWND(), send);
            std::vector<SentFrame> chats;
            ASSERT_TRUE(Pump(
                [&] {
                    for (const SentFrame& f : TakeSent())
                        if (f.mainCmd == 105 && f.subCmd == 43) chats.push_back(f);
                    return !chats.empty();
                },
                5000))
                << "nothing was sent";
            ASSERT_GT(chats[0].payload.size(), 67u);
            EXPECT_EQ(chats[0].payload[13], c.kind);
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(&chats[0].payload[67])), "hi all");
            EXPECT_EQ(std::wstring(w->GetInput()->GetEditContent()), L"");
            if (round == 0) rd::GrabScreen(MIVORA_ARTIFACT_DIR, "room-composer-sent");
            ClickControl(w->GetHWND(), w->GetPaintManager().FindControl(L"closebtn"));
            ASSERT_TRUE(Pump([&] { return !IsWindowVisible(w->GetHWND()); }, 5000));
        }
    }
}

}  // namespace
}  // namespace roomtest
