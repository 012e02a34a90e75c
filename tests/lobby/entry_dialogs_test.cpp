// The room-entry dialogs and the account-combo login window: what they store, what
// closes them, and what a person sees of the network chooser.
#include <QImage>

#include <cstring>

#include "lobby/RoomEntryDialogs.h"
#include "lobby/WndAccountLogin.h"
#include "lobby_fixture.h"
#include "session/CommKernelData.h"

using namespace DuiLib;

namespace {

class EntryDialogsTest : public LobbyTest {};

template <class T>
T* Control(CSkinWnd& wnd, const wchar_t* name) {
    return dynamic_cast<T*>(wnd.GetPaintManager().FindControl(name));
}

TEST_F(EntryDialogsTest, TheNetworkChooserShowsAndAppliesTheChoice) {
    struct Case {
        int choice;
        const wchar_t* shown;
        bool telecom, unicom;  // options selected at the start
        const wchar_t* pick;   // option selected before applying (null: none)
        int after;
    } cases[] = {
        {0, L"当前使用网络:中国电信", true, false, L"optLianTong", 1},
        {1, L"当前使用网络:中国联通", false, true, L"optDianXin", 0},
        {2, L"当前使用网络:中国移动", false, false, nullptr, 2},
        {7, L"当前使用网络:未知网络", false, false, nullptr, 7},
    };
    for (const Case& c : cases) {
        d->m_UserEnv.m_nNetType = c.choice;
        CWndNetworkChoose chooser;
        ASSERT_TRUE(chooser.Create(nullptr, L"", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 0, 0));
        chooser.CenterWindow();
        std::wstring shownAfter;
        UINT r = RunModalScript(chooser, [&] {
            LayOut(chooser.GetHWND(), chooser.GetPaintManager());
            EXPECT_EQ(std::wstring(Control<CControlUI>(chooser, L"curnet")->GetText()), c.shown);
            EXPECT_EQ(Control<COptionUI>(chooser, L"optDianXin")->IsSelected(), c.telecom);
            EXPECT_EQ(Control<COptionUI>(chooser, L"optLianTong")->IsSelected(), c.unicom);
            if (c.pick) ClickControl(chooser.GetHWND(), Control<CControlUI>(chooser, c.pick));
            ClickControl(chooser.GetHWND(), Control<CControlUI>(chooser, L"btnchoose"));
            Pump([&] { return d->m_UserEnv.m_nNetType == c.after; });
            PumpPending();
            shownAfter = Control<CControlUI>(chooser, L"curnet")->GetText().GetData();
            ClickControl(chooser.GetHWND(), Control<CControlUI>(chooser, L"btnexit"));
        });
        EXPECT_EQ(r, 1u);
        EXPECT_EQ(d->m_UserEnv.m_nNetType, c.after) << c.choice;
        EXPECT_EQ(shownAfter, CWndNetworkChoose::CurrentNetText(c.after));
    }
    d->m_UserEnv.m_nNetType = 0;
}

TEST_F(EntryDialogsTest, ChooserAtChoiceTwoLooksLikeItsText) {
    d->m_UserEnv.m_nNetType = 2;
    CWndNetworkChoose chooser;
    ASSERT_TRUE(chooser.Create(nullptr, L"", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 0, 0));
    chooser.CenterWindow();
    RunModalScript(chooser, [&] {
        LayOut(chooser.GetHWND(), chooser.GetPaintManager());
        PumpPending();
        SaveShot(chooser.GetHWND(), "network_chooser_choice2");
        auto* curnet = Control<CLabelUI>(chooser, L"curnet");
        QImage shot = ShotOf(chooser.GetHWND(), curnet);
        QImage ref = RenderLabel(chooser.GetPaintManager(), curnet, L"当前使用网络:中国移动", false,
                                 QColor(0xFF, 0xFF, 0xFF));
        EXPECT_GT(InkMatch(shot, ref), 0.9) << "the label shows the mobile network";
        // Neither radio mark is filled: no blue in the option's image area.
        for (const wchar_t* name : {L"optDianXin", L"optLianTong"}) {
            QImage opt = ShotOf(chooser.GetHWND(), Control<CControlUI>(chooser, name));
            QRgb centre = opt.pixel(12, opt.height() / 2);
            EXPECT_FALSE(qBlue(centre) > 180 && qRed(centre) < 120) << "option selected";
        }
        chooser.Close(1);
    });
    d->m_UserEnv.m_nNetType = 0;
}

TEST_F(EntryDialogsTest, ThePasswordPromptStoresTheCutPasswordOrNothing) {
    struct Case {
        const wchar_t* typed;
        const wchar_t* press;
        std::string stored;
    } cases[] = {
        {L"8888", L"btnOK", "8888"},
        {L"0123456789abcde密", L"btnOK", "0123456789abcde"},
        {L"8888", L"btnCancel", "old"},
        {L"8888", L"closebtn", "old"},
    };
    for (const Case& c : cases) {
        tag_JoinRoomUserData* join = d->GetCurJoinRoomUserData();
        std::memset(join, 0, sizeof(*join));
        std::strcpy(join->szPassword, "old");
        CWndRoomPwd prompt;
        ASSERT_TRUE(prompt.Create(nullptr, L"", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 0, 0));
        UINT r = RunModalScript(prompt, [&] {
            LayOut(prompt.GetHWND(), prompt.GetPaintManager());
            Control<CControlUI>(prompt, L"edtpwd")->SetText(c.typed);
            ClickControl(prompt.GetHWND(), Control<CControlUI>(prompt, c.press));
        });
        EXPECT_EQ(r, 1u);
        EXPECT_EQ(std::string(join->szPassword), c.stored) << c.press;
    }
}

TEST_F(EntryDialogsTest, TheWaitWindowIgnoresClicksAndClearsItsOwnerSlot) {
    CWndWaitJoinRoom* slot = nullptr;
    auto* wait = new CWndWaitJoinRoom;
    wait->SetOwnerSlot(&slot);
    slot = wait;
    ASSERT_TRUE(wait->Create(nullptr, L"", WS_VISIBLE, WS_EX_TOOLWINDOW, 0, 0, 0, 0));
    LayOut(wait->GetHWND(), wait->GetPaintManager());
    SaveShot(wait->GetHWND(), "wait_join");
    ClickAt(wait->GetHWND(), POINT{150, 48});
    PumpPending();
    ASSERT_EQ(slot, wait) << "a click changes nothing";
    wait->Close(1);
    ASSERT_TRUE(Pump([&] { return slot == nullptr; }));
}

TEST_F(EntryDialogsTest, AccountLoginEnterMovesToTheEmptyFieldOrCloses) {
    struct Case {
        const wchar_t* account;
        const wchar_t* password;
        const wchar_t* focused;  // null: the window closed with 1
    } cases[] = {
        {L"", L"", L"accountedit"},
        {L"", L"pw", L"accountedit"},
        {L"10001", L"", L"pwdedit"},
        {L"10001", L"pw", nullptr},
    };
    for (const Case& c : cases) {
        auto* wnd = new CWndAccountLogin;
        ASSERT_TRUE(wnd->Create(nullptr, L"", WS_POPUP, 0, 0, 0, 0, 0));
        std::wstring focused;
        UINT r = RunModalScript(*wnd, [&] {
            LayOut(wnd->GetHWND(), wnd->GetPaintManager());
            CPaintManagerUI& pm = wnd->GetPaintManager();
            pm.FindControl(L"accountedit")->SetText(c.account);
            pm.FindControl(L"pwdedit")->SetText(c.password);
            pm.FindControl(L"loginBtn")->SetFocus();
            HWND hwnd = wnd->GetHWND();  // the window deletes itself when it closes
            PressKey(hwnd, VK_RETURN);
            PumpPending();
            if (!IsWindow(hwnd)) return;
            CControlUI* f = pm.GetFocus();
            focused = f ? f->GetName().GetData() : L"";
            wnd->Close(2);
        });
        if (c.focused) {
            EXPECT_EQ(focused, c.focused);
            EXPECT_EQ(r, 2u);
        } else {
            EXPECT_EQ(r, 1u) << "filled fields: Enter closes with 1";
        }
    }
}

TEST_F(EntryDialogsTest, AccountLoginEscapeAndCloseEndTheProgram) {
    for (bool escape : {true, false}) {
        auto* wnd = new CWndAccountLogin;
        ASSERT_TRUE(wnd->Create(nullptr, L"", WS_POPUP, 0, 0, 0, 0, 0));
        wnd->ShowWindow(true, false);
        LayOut(wnd->GetHWND(), wnd->GetPaintManager());
        if (escape)
            PressKey(wnd->GetHWND(), VK_ESCAPE);
        else
            ClickControl(wnd->GetHWND(), wnd->GetPaintManager().FindControl(L"closebtn"));
        MSG msg;
        ASSERT_TRUE(Pump([&] {
            return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
        })) << (escape ? "Escape" : "close button")
            << " posts the quit message";
        DestroyWindow(wnd->GetHWND());
    }
}

}  // namespace
