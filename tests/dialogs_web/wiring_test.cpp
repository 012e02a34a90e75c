// The lobby's and the logon window's calls create these windows: one settings window
// and one game window at a time, and the registration page's result only when a link
// came.
#include <string>

#include "app/ClientApp.h"
#include "app/LaterWindows.h"
#include "dialogs/WndRoomAudioSetting3.h"
#include "dialogs/WndUserRegister.h"
#include "dialogs/WndUserSetting.h"
#include "dialogs_fixture.h"

using namespace DuiLib;

namespace {

class WiringTest : public DialogTest {};

TEST_F(WiringTest, SettingsAndGameWindowsAreOneEach) {
    http.serveBody("/game", "<html><body>game</body></html>");
    OpenUserSettingWindow();
    CWndUserSetting* first = theApp.m_pWndUserSetting;
    ASSERT_NE(first, nullptr);
    OpenUserSettingWindow();
    EXPECT_EQ(theApp.m_pWndUserSetting, first);
    DestroyWindow(first->GetHWND());
    EXPECT_EQ(theApp.m_pWndUserSetting, nullptr);

    std::wstring url = winplat::Utf8ToWide(http.url("/game"));
    OpenGameWindow(lobby.GetHWND(), url, L"棋牌");
    HWND game = FindWindowW(L"UIFindFrame", nullptr);
    ASSERT_NE(game, nullptr);
    OpenGameWindow(lobby.GetHWND(), url, L"棋牌");
    EXPECT_EQ(FindWindowW(L"UIFindFrame", nullptr), game);
    ASSERT_TRUE(Pump([&] { return http.count("/game") == 1; }));
    DestroyWindow(game);
}

TEST_F(WiringTest, TheAvPanelOpensTheSettingsOnTheVideoPage) {
    for (bool openBefore : {false, true}) {
        SCOPED_TRACE(openBefore);
        if (openBefore) {
            OpenUserSettingWindow();
            ASSERT_NE(theApp.m_pWndUserSetting, nullptr);
            theApp.m_pWndUserSetting->ShowPage(0);
        }
        CWndRoomAudioSetting3* panel = nullptr;
        ASSERT_NE(OpenSelfDeleting(panel, nullptr, ReuseAction::kShow), nullptr);
        ClickControl(panel->GetHWND(), panel->GetPaintManager().FindControl(L"btnmoreset"));
        Pump([] { return theApp.m_pWndUserSetting && theApp.m_pWndUserSetting->GetPage() == 3; },
             3000);
        CWndUserSetting* settings = theApp.m_pWndUserSetting;
        ASSERT_NE(settings, nullptr);
        EXPECT_EQ(settings->GetPage(), 3);
        auto* option = static_cast<COptionUI*>(
            settings->GetPaintManager().FindControl(L"gaishipinbtn")->GetInterface(L"Option"));
        ASSERT_NE(option, nullptr);
        EXPECT_TRUE(option->IsSelected());
        panel->Close(1);
        Pump([&] { return panel == nullptr; });
        DestroyWindow(settings->GetHWND());
        EXPECT_EQ(theApp.m_pWndUserSetting, nullptr);
    }
}

CWndUserRegister* OpenRegistration() {
    HWND h = FindWindowW(L"UIUserRegistFrame", nullptr);
    return h ? dynamic_cast<CWndUserRegister*>(
                   reinterpret_cast<CWindowWnd*>(GetWindowLongPtrW(h, GWLP_USERDATA)))
             : nullptr;
}

std::wstring g_link;

void CALLBACK FollowLink(HWND, UINT, UINT_PTR id, DWORD) {
    CWndUserRegister* w = OpenRegistration();
    if (!w) return;
    KillTimer(nullptr, id);
    if (g_link.empty()) {
        w->Close(1);
        return;
    }
    bool cancel = false;
    w->BeforeNavigate2(nullptr, g_link.c_str(), 0, L"", L"", L"", cancel);
}

TEST_F(WiringTest, RegistrationHandsBackAnAccountOnlyWhenALinkCame) {
    http.serveBody("/reg", "<html><body>reg</body></html>");
    for (const wchar_t* link : {L"app:10001:pw", L""}) {
        g_link = link;
        std::wstring account = L"kept", password = L"kept";
        UINT_PTR timer = SetTimer(nullptr, 0, 10, FollowLink);
        bool got = RunUserRegisterWindow(nullptr, account, password);
        KillTimer(nullptr, timer);
        EXPECT_EQ(got, !g_link.empty());
        EXPECT_EQ(account, g_link.empty() ? L"kept" : L"10001");
        EXPECT_EQ(password, g_link.empty() ? L"kept" : L"pw");
    }
}

}  // namespace
