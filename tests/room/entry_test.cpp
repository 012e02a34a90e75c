// The room entered, reconnected and left through the lobby window: the lobby joins
// over the room stand-in, creates the room window on the answer, relays the room's
// notifications to it and leaves with it.
#include <string>

#include "app/ClientApp.h"
#include "app/EntryWindows.h"
#include "controls/CtrlListFriend.h"
#include "kernel/CommKernel.h"
#include "lobby/RoomWindowSeam.h"
#include "lobby/WndLobby.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "room_fixture.h"
#include "session/CommKernelData.h"
#include "ui_fixture.h"
#include "win32/clock.h"
#include "win32/text.h"

using namespace DuiLib;

namespace roomtest {
namespace {

const wchar_t kRetrying[] = L"您与房间服务器异常断开正在尝试重新连接，请稍后......";

size_t Count(const std::wstring& text, const std::wstring& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

class EntryTest : public RoomTest {
protected:
    void SetUp() override {
        RoomTest::SetUp();
        OpenLobby();
    }
    void TearDown() override {
        CloseLobby();
        winplat::RemoveManualClock();
        RoomTest::TearDown();
    }
    // The lobby joins; the stand-in answers with the room of `kind` and its members.
    void Join(int kind, int64_t money = 0) {
        answers::JoinRoom join;
        join.money = money;
        join.points = 7;
        ASSERT_NO_FATAL_FAILURE(JoinByLobby(kind, join));
        servers.room().Send(answers::UserListAnswer(
            {Member(kMe, "me"), Member(kAlice, "alice"), Member(kBob, "bob")}));
        servers.room().Send(answers::UserListEndAnswer());
        ASSERT_TRUE(kerneltest::Pump([&] {
            CRoomObj* r = d->m_pRoomManager->FindRoom(kRoom);
            return GetRegisteredRoomWindow() && r && r->users.size() == 3;
        }));
        room = GetRegisteredRoomWindow();
        PumpPending();
        sentSeen = servers.room().ReceivedCount();
    }
    CControlUI* Ctl(const wchar_t* name) { return room->GetPaintManager().FindControl(name); }
    std::wstring Text(const wchar_t* name) {
        return Ctl(name) ? std::wstring(Ctl(name)->GetText()) : L"?";
    }
    void Search(const wchar_t* text) {
        CControlUI* edit = Ctl(L"edtsearchuser");
        edit->SetText(text);
        TNotifyUI msg;
        msg.sType = DUI_MSGTYPE_TEXTCHANGED;
        msg.pSender = edit;
        room->Notify(msg);
    }
};

TEST_F(EntryTest, AKindOneRoomOfThreeOpensMaximisedWithTheLocalUser) {
    Join(1, 3000000000LL);
    RECT rc;
    ::GetWindowRect(room->GetHWND(), &rc);
    ASSERT_TRUE(Pump([&] { return ::IsZoomed(room->GetHWND()) != FALSE; }))
        << "maximised at windowinit";
    EXPECT_EQ(room->GetRoomKind(), 1);
    EXPECT_EQ(Text(L"myuseralias"), L"me");
    EXPECT_EQ(Text(L"myuserid"), L"(1001)");
    EXPECT_EQ(Text(L"sta_nk"), L"3000000000Z币");
    EXPECT_EQ(Text(L"sta_nb"), L"7Z豆");
    EXPECT_EQ(Text(L"roomname"), L"room(88)");
    EXPECT_NE(PrivateText().find(L"正在与房间建立连接..."), std::wstring::npos);

    // The search refills the all-users list from the room's members, by alias or id.
    struct Case {
        const wchar_t* text;
        int rows;
    } cases[] = {{L"ali", 1}, {L"50", 2}, {L"1001", 1}, {L"nobody", 0}, {L"", 3}};
    for (const Case& c : cases) {
        Search(c.text);
        EXPECT_EQ(room->GetUserList()->GetCount(), c.rows) << c.text;
        EXPECT_EQ(Text(L"allusersel"), L"全部/" + std::to_wstring(c.rows));
    }

    // A wait-list answer rebuilds the queue with its hint.
    servers.room().Send(answers::WaitMicListAnswer({kBob, kAlice, kBob}));
    ASSERT_TRUE(Pump([&] { return room->GetWaitMicList()->GetCount() == 3; }));
    EXPECT_EQ(Text(L"apcusersel2"), L"麦序/3");
    EXPECT_NE(PrivateText().find(L"排麦列表更新了！当前排麦人数 3人"), std::wstring::npos);
}

TEST_F(EntryTest, OtherKindsBuildTheirLayouts) {
    struct Case {
        int kind;
        int shownAs;
        const wchar_t* onlyHere;
    } cases[] = {{2, 2, L"roomuserlist"}, {31, 31, L"apcusersel"}, {5, 1, L"videozone"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        Join(c.kind);
        EXPECT_EQ(room->GetRoomKind(), c.shownAs);
        EXPECT_NE(Ctl(c.onlyHere), nullptr);
        lobby->LeaveCurrentRoom();
        PumpPending();
        room = nullptr;
    }
}

// A new name from the room's owner (105/63) replaces the old one in the room's name
// label and in its window title, the name the desktop shows for the window.
TEST_F(EntryTest, ARenamedRoomShowsItsNewNameInTheLabelAndTheTitle) {
    Join(1);
    auto title = [&] {
        wchar_t text[128] = {};
        ::GetWindowTextW(room->GetHWND(), text, 128);
        return std::wstring(text);
    };
    EXPECT_EQ(Text(L"roomname"), L"room(88)");
    EXPECT_EQ(title(), L"[房间:room]");
    answers::RoomBaseInfo info;
    info.roomId = kRoom;
    info.baseInfoD = 1;
    info.ownerId = kMe;
    info.roomName = winplat::WideToAnsi(L"新名字★");
    servers.room().Send(answers::RoomBaseInfoAnswer(info));
    EXPECT_TRUE(Pump([&] { return Text(L"roomname") == L"新名字★(88)"; }))
        << winplat::WideToUtf8(Text(L"roomname"));
    EXPECT_EQ(title(), L"[房间:新名字★]");
}

TEST_F(EntryTest, TheCloseButtonLeavesThroughTheLobby) {
    Join(1);
    HWND wnd = room->GetHWND();
    TNotifyUI msg;
    msg.sType = DUI_MSGTYPE_CLICK;
    msg.pSender = Ctl(L"btnclose");
    room->Notify(msg);
    room = nullptr;
    ASSERT_TRUE(Pump([&] { return !::IsWindow(wnd); }));
    EXPECT_EQ(CurrentRoomWindow(), nullptr);
    EXPECT_EQ(k->m_pWndTable[2], nullptr);
    // The exit request went out before the connection closed.
    ASSERT_TRUE(Pump([&] { return servers.room().PeerClosed(); }));
    // The stand-in may still be recording what it read when the close is seen.
    bool exitSent = false;
    EXPECT_TRUE(Pump([&] {
        for (const SentFrame& f : TakeSent())
            if (f.mainCmd == 105 && f.subCmd == 34) exitSent = true;
        return exitSent;
    }));
}

TEST_F(EntryTest, ADroppedRoomRejoinsEveryTwentySecondsTwentyTimes) {
    winplat::InstallManualClock(1700000000);
    Join(1);
    const int connections = servers.room().Connections();
    servers.room().CloseConnection();
    ASSERT_TRUE(Pump([&] { return Count(PrivateText(), kRetrying) == 1; }));
    EXPECT_NE(PrivateText().find(L"房间断开连接"), std::wstring::npos);
    // The first rejoin goes out at once.
    ASSERT_TRUE(Pump([&] { return servers.room().Connections() == connections + 1; }));
    EXPECT_EQ(room->GetRoomId(), 0) << "the media stopped";
    for (int i = 2; i <= 20; ++i) {
        winplat::AdvanceManualClock(20000);
        ASSERT_TRUE(Pump([&] { return servers.room().Connections() == connections + i; })) << i;
    }
    EXPECT_EQ(Count(PrivateText(), kRetrying), 20u);
    for (int i = 0; i < 3; ++i) {
        winplat::AdvanceManualClock(20000);
        Pump([] { return false; }, 100);
    }
    EXPECT_EQ(servers.room().Connections(), connections + 20) << "no more after twenty";
    EXPECT_EQ(Count(PrivateText(), kRetrying), 20u);
}

TEST_F(EntryTest, ARejoinAnsweredResetsTheCountAndTheTimerOutlivesTheMediaStop) {
    winplat::InstallManualClock(1700000000);
    Join(1);
    room->Reconnect();
    EXPECT_EQ(room->GetReconnectCount(), 1);
    room->StopAllMedia();  // the reconnect timer keeps running
    winplat::AdvanceManualClock(20000);
    PumpPending();
    EXPECT_EQ(room->GetReconnectCount(), 2);
    room->InitRoom(kRoom);  // a rejoin answered: count reset, timer killed
    EXPECT_EQ(room->GetReconnectCount(), 0);
    winplat::AdvanceManualClock(20000);
    PumpPending();
    EXPECT_EQ(room->GetReconnectCount(), 0);
}

}  // namespace
}  // namespace roomtest
