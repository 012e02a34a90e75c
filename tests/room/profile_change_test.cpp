// A profile change made in the settings window while in a room: the lobby's session
// sends it, and the server's answer makes the lobby tell the room the new alias and
// face.
#include <cstring>

#include "app/ClientApp.h"
#include "app/EntryWindows.h"
#include "app/LaterWindows.h"
#include "controls/CtrlListFriend.h"
#include "dialogs/WndUserSetting.h"
#include "kernel/CommKernel.h"
#include "lobby/WndLobby.h"
#include "room_fixture.h"
#include "session/CommKernelData.h"
#include "ui_fixture.h"

namespace roomtest {
namespace {

// The lobby's session goes to the lobby stand-in.
void UseLobbyStandIn(CCommKernelData* d, uint16_t port) {
    tag_ServerAddr& lobbySvr = d->m_pLobbySvrTable[0];
    std::memset(&lobbySvr, 0, sizeof lobbySvr);
    std::strcpy(lobbySvr.szHost, "127.0.0.1");
    lobbySvr.wPort = port;
}

TEST_F(RoomTest, AProfileAnswerTellsTheRoomTheNewAliasAndFace) {
    EnterRoom(1, {});
    UseLobbyStandIn(d, servers.lobby().port());
    ASSERT_NO_FATAL_FAILURE(OpenLobby());

    room->OnUserEnterRoom(d->GetLocalUser());  // the own row, as the member list brings it
    d->GetLocalUser()->faceId = 105;           // chosen in the face chooser before
    OpenUserSettingWindow();
    CWndUserSetting* w = theApp.m_pWndUserSetting;
    ASSERT_NE(w, nullptr);
    w->ShowPage(0);
    w->GetPaintManager().FindControl(L"edt_useralias")->SetText(L"新名字");
    DuiLib::TNotifyUI click;
    click.sType = DUI_MSGTYPE_CLICK;
    click.pSender = w->GetPaintManager().FindControl(L"btn_apply");
    w->Notify(click);
    const std::string alias = winplat::WideToAnsi(L"新名字");
    ASSERT_TRUE(kerneltest::Pump([&] { return servers.lobby().ReceivedCount() >= 14 + 53; }));

    TakeSent();
    servers.lobby().Send(answers::SetUserProfileAnswer(kMe, 0));
    std::vector<SentFrame> sent;
    ASSERT_TRUE(kerneltest::Pump([&] {
        for (SentFrame& f : TakeSent()) sent.push_back(f);
        for (const SentFrame& f : sent)
            if (f.mainCmd == 105 && f.subCmd == 80) return true;
        return false;
    }));
    answers::Payload expected(29);
    expected.i32(0, kRoom).i32(4, kMe).i32(8, 105).text(12, alias, 17);
    for (const SentFrame& f : sent) {
        if (f.mainCmd == 105 && f.subCmd == 80) {
            EXPECT_EQ(f.payload, expected.bytes());
        }
    }

    // The header and the own row of the member list show the new face.
    DuiLib::CPaintManagerUI& pm = room->GetPaintManager();
    auto* header = static_cast<DuiLib::CButtonUI*>(pm.FindControl(L"mysettingbtn"));
    ASSERT_NE(header, nullptr);
    EXPECT_NE(std::wstring(header->GetForeImage()).find(L"Face/36/105.png"), std::wstring::npos);
    CCtrlListFriend* list = room->GetUserList();
    ASSERT_NE(list, nullptr);
    const int row = list->GetItemIndexByTag(reinterpret_cast<UINT_PTR>(d->GetLocalUser()));
    ASSERT_GE(row, 0);
    DuiLib::CControlUI* photo = pm.FindSubControlByName(list->GetItemAt(row), L"photo");
    ASSERT_NE(photo, nullptr);
    EXPECT_STREQ(photo->GetBkImage(), L"Face/36/105.png");

    // The room server's echo of the change (another face chosen meanwhile) is shown too.
    PlayRoom({answers::UserAliasAnswer(kRoom, kMe, 106, alias)});
    FreeCopies();
    room->OnUserAliasChanged(kMe);  // as the lobby relays the notification
    EXPECT_STREQ(pm.FindSubControlByName(list->GetItemAt(row), L"photo")->GetBkImage(),
                 L"Face/36/106.png");

    DestroyWindow(w->GetHWND());
    DestroyWindow(lobby->GetHWND());
}

TEST_F(RoomTest, APasswordAnswerOfSuccessUpdatesTheLocalPassword) {
    EnterRoom(1, {});
    UseLobbyStandIn(d, servers.lobby().port());
    ASSERT_NO_FATAL_FAILURE(OpenLobby());
    OpenUserSettingWindow();
    CWndUserSetting* w = theApp.m_pWndUserSetting;
    ASSERT_NE(w, nullptr);
    w->ShowPage(4);
    DuiLib::CPaintManagerUI& pm = w->GetPaintManager();
    pm.FindControl(L"edt_useroldpwd")->SetText(L"secret");
    pm.FindControl(L"edt_usernewpwd")->SetText(L"newpw");
    pm.FindControl(L"edt_usernewpwd2")->SetText(L"newpw");
    DuiLib::TNotifyUI click;
    click.sType = DUI_MSGTYPE_CLICK;
    click.pSender = pm.FindControl(L"btn_ok");
    w->Notify(click);
    ASSERT_TRUE(kerneltest::Pump([&] { return servers.lobby().ReceivedCount() >= 14 + 53; }));
    EXPECT_EQ(theApp.m_pWndUserSetting, nullptr) << "OK closes when nothing was refused";
    EXPECT_EQ(d->GetLocalUser()->password, "secret") << "not before the server agreed";

    servers.lobby().Send(answers::SetUserPwdAnswer(103, kMe, 0, 0, 1, "newpw"));
    ASSERT_TRUE(kerneltest::Pump([&] { return d->GetLocalUser()->password == "newpw"; }));
    DestroyWindow(lobby->GetHWND());
}

}  // namespace
}  // namespace roomtest
