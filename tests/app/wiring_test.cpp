// The seams a floor calls upward, with nothing installed: each answers as without a
// lobby window instead of calling an empty target, and the program's wiring puts the
// real windows back.
#include <gtest/gtest.h>

#include <string>

#include "app/EntryWindows.h"
#include "app/LaterWindows.h"
#include "app/LobbyLink.h"
#include "program/ProgramWiring.h"

TEST(UnwiredSeamsTest, AnswerAsWithoutALobbyAndTheWiringFillsThemAgain) {
    SetLobbyLink(LobbyLinkT{});
    SetEntryWindows(EntryWindowsT{});
    LaterWindowHooks() = LaterWindowHooksT{};

    EXPECT_FALSE(HasLobbyWindow());
    EXPECT_EQ(LobbyWindowHandle(), nullptr);
    LobbyApplySkin();
    LobbyOpenGameWindow(L"http://127.0.0.1/", L"game");
    LobbyLeaveRoomAndShow();
    LobbyRejoinRoom();
    LobbyShowSkinChooser();
    LobbyShowPersonalSettings();
    LobbySendSetUserProfileReq(nullptr);
    LobbySendSetUserPwdReq(nullptr);
    EXPECT_EQ(RunLogonWindow(L"logon"), -1);
    EXPECT_FALSE(CreateLobbyWindow(L"lobby"));
    std::wstring account = L"a", password = L"p";
    EXPECT_FALSE(RunUserRegisterWindow(nullptr, account, password));
    EXPECT_EQ(account, L"a");
    OpenUserSettingWindow();
    OpenSkinChooserWindow();
    RunFinderWindow(nullptr);
    OpenGameWindow(nullptr, L"http://127.0.0.1/", L"game");

    InstallProgramWiring();
    const LaterWindowHooksT& windows = LaterWindowHooks();
    EXPECT_TRUE(windows.runRegister && windows.openUserSetting && windows.openSkinChooser &&
                windows.runFinder && windows.openGame);
    // No lobby window in this program: the lobby's answers, now through its link.
    EXPECT_FALSE(HasLobbyWindow());
    EXPECT_EQ(LobbyWindowHandle(), nullptr);
}
