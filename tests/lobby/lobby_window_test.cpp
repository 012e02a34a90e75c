// The lobby window with a recording room window behind the room seam and stand-in
// room and lobby servers: the user's bar and tree, group pages, room links and the
// join request, the join answers and refusals, the relay of room notifications, and
// the short lobby-server session.
#include <QImage>

#include <algorithm>
#include <cstring>
#include <memory>

#include "Answers.h"
#include "ServerSet.h"
#include "http_test_server.h"
#include "kernel/CommKernel.h"
#include "lobby/LobbyPrompts.h"
#include "lobby/RoomEntryDialogs.h"
#include "controls/RoomGroupTreeUI.h"
#include "dialogs/DialogMessages.h"
#include "lobby/JoinOtherRoom.h"
#include "lobby/WndLobby.h"
#include "StandInOpener.h"
#include "lobby_fixture.h"
#include "model/RoomGroupManager.h"
#include "app/TrustedGates.h"
#include "model/RoomManager.h"
#include "model/UserManager.h"
#include "model/UserObj.h"
#include "room_double.h"
#include "session/CommKernelData.h"
#include "win32/clock.h"
#include "win32/text.h"

using namespace DuiLib;
using namespace testsupport;

namespace {

constexpr int kMe = 10001;
constexpr int kRoom = 1001;

std::vector<std::string> Calls() {
    return CRecordingRoom::Calls();
}

bool Has(const std::vector<std::string>& calls, const std::string& c) {
    return std::find(calls.begin(), calls.end(), c) != calls.end();
}

// A payload copy as the kernel posts one (freed with free_msgdata).
char* Copy(std::initializer_list<int32_t> words, size_t extra = 0) {
    size_t n = words.size() * 4 + extra;
    char* p = new char[n + 1]();
    size_t at = 0;
    for (int32_t w : words) {
        std::memcpy(p + at, &w, 4);
        at += 4;
    }
    return p;
}

class LobbyWindowTest : public LobbyTest {
protected:
    void SetUp() override {
        LobbyTest::SetUp();
        realRooms_ = CRecordingRoom::Install();
        CRecordingRoom::Calls().clear();
        http = std::make_unique<HttpTestServer>();
        http->serveBody("/hall.php", "<html><body>hall</body></html>");
        http->serveBody("/roomlist.php", "<html><body>rooms</body></html>");
        http->serveBody("/help.html", "<html><body>help</body></html>");
        SetUrl(d->m_GlobalConfig.roomlist_url, http->url("/roomlist.php"));
        SetUrl(d->m_GlobalConfig.dating_url, http->url("/hall.php"));
        d->m_GlobalConfig.www_page[0] = L'\0';

        CUserObj* me = d->GetLocalUser();
        me->ClearData();
        me->userId = kMe;
        me->levels[0] = 3;
        me->faceId = 2;
        me->alias = winplat::WideToAnsi(L"成员甲", 936);
        me->password = "1&1=1";
        d->m_UserEnv.m_nNetType = 0;
        if (!d->m_pUserManager->FindUser(kMe)) d->m_pUserManager->AddUser(me);
        d->m_pRoomGroupManager->ClearData();
        AddGroup(1, 0, "语音大厅", "R", 3, 1);
        AddGroup(2, 1, "新手区", "R", 2, 1);
        AddGroup(3, 2, "新手一区", "R", 4, 1);
        AddGroup(4, 0, "帮助", (http->url("/help.html")).c_str(), 0, 0);
        d->m_pRoomGroupManager->CalcRoomGroupUserNum();
    }
    void TearDown() override {
        if (IRoomWindow* room = Room()) DestroyWindow(room->Window()->GetHWND());
        if (lobby && IsWindow(lobby->GetHWND())) DestroyWindow(lobby->GetHWND());
        PumpPending();
        k->m_pWndTable[1] = nullptr;
        k->m_pWndTable[2] = nullptr;
        SetRoomWindowFactory(realRooms_);
        // Members the stand-ins announced go with the test (the local user stays).
        d->m_pUserManager->ClearData();
        if (winplat::ManualClockInstalled()) winplat::RemoveManualClock();
        LobbyTest::TearDown();
        EXPECT_EQ(CRecordingRoom::Alive(), 0) << "a room window outlived its test";
    }
    static void SetUrl(wchar_t* field, const std::string& url) {
        std::wstring w(url.begin(), url.end());
        std::wcsncpy(field, w.c_str(), 255);
    }
    void AddGroup(int id, int parent, const char* utf8Name, const char* address, int users,
                  int show) {
        tag_RoomGroupData g = {};
        g.groupId = id;
        g.parentId = parent;
        g.userNum = users;
        g.showCount = static_cast<uint8_t>(show);
        std::string name = winplat::WideToAnsi(winplat::Utf8ToWide(utf8Name), 936);
        std::strncpy(g.groupName, name.c_str(), sizeof(g.groupName) - 1);
        std::strncpy(g.groupAddress, address, sizeof(g.groupAddress) - 1);
        d->m_pRoomGroupManager->AddRoomGroupData(&g);
    }
    // The lobby as the entry makes it, laid out and set up ("windowinit").
    void OpenLobby() {
        lobby = new CWndLobby;
        ASSERT_TRUE(lobby->Create(nullptr, L"Mivora大厅窗口", 0x10CF0000, 0, 0, 0, 1024, 725));
        lobby->CenterWindow();
        k->m_pWndTable[1] = lobby;
        LayOut(lobby->GetHWND(), lobby->GetPaintManager());
        const int groups = static_cast<int>(d->m_pRoomGroupManager->GetRoomGroupList()->size());
        ASSERT_TRUE(
            Pump([&] { return lobby->GetTree() && lobby->GetTree()->GetCount() == groups; }));
    }
    void UseGate(ServerSet& servers) { gate = servers.Address(ServerSet::kRoom); }
    std::wstring Link(int room) const {
        return L"enterchatroom://" + std::to_wstring(room) + L"," +
               std::wstring(gate.begin(), gate.end());
    }
    // Joins through a room link and waits for the join request at the room stand-in.
    void JoinThroughLink(ServerSet& servers, int room = kRoom) {
        auto* web = dynamic_cast<CWebBrowserUI*>(lobby->GetPaintManager().FindControl(L"ielobby"));
        web->Navigate2(Link(room).c_str());
        ASSERT_TRUE(lobby->HasWaitWindow()) << "the wait window shows at once";
        ASSERT_TRUE(Pump([&] { return servers.room().ReceivedCount() >= 14 + 115; }));
    }
    // Answers the join and waits for the room window.
    void AnswerJoin(ServerSet& servers, int room = kRoom) {
        answers::JoinRoom j;
        j.userId = kMe;
        j.roomId = room;
        j.baseInfoD = 2;
        j.roomName = winplat::WideToAnsi(L"欢乐一家", 936);
        servers.room().Send(answers::JoinRoomAnswer(j));
        ASSERT_TRUE(Pump([&] { return k->m_pWndTable[2] != nullptr; }));
    }
    // Clicks a tree row once the rows have been laid out again (a toggle moves them).
    void ClickRow(CControlUI* row) {
        ASSERT_TRUE(WaitRelaidOut(lobby->GetHWND(), row));
        ClickControl(lobby->GetHWND(), row);
    }
    IRoomWindow* Room() { return CurrentRoomWindow(); }

    std::unique_ptr<HttpTestServer> http;
    CWndLobby* lobby = nullptr;
    RoomWindowFactory realRooms_ = nullptr;
    std::string gate;
};

TEST_F(LobbyWindowTest, ShowsTheUserAndTheTreeInTheGroupsOrder) {
    OpenLobby();
    CPaintManagerUI& pm = lobby->GetPaintManager();
    EXPECT_TRUE(IsZoomed(lobby->GetHWND())) << "the lobby is maximised";
    EXPECT_TRUE(Pump([&] { return pm.FindControl(L"btnrestore")->IsVisible(); }));
    EXPECT_FALSE(pm.FindControl(L"btnmax")->IsVisible());
    EXPECT_EQ(std::wstring(pm.FindControl(L"myuseralias")->GetText()), L"成员甲");
    EXPECT_EQ(std::wstring(pm.FindControl(L"myuserid")->GetText()), L"(10001)");
    CRoomGroupTreeUI* tree = lobby->GetTree();
    struct Row {
        int id, level;
        bool bold;
        const wchar_t* count;
    } rows[] = {{1, 0, true, L"9"}, {2, 1, false, L"6"}, {3, 2, false, L"4"}, {4, 0, true, L"0"}};
    for (int i = 0; i < 4; ++i) {
        CRoomGroupNode* n = tree->NodeOfRow(tree->GetItemAt(i));
        ASSERT_NE(n, nullptr);
        EXPECT_EQ(n->data().id, rows[i].id);
        EXPECT_EQ(n->data().level, rows[i].level);
        EXPECT_EQ(n->data().bold, rows[i].bold);
        EXPECT_EQ(std::wstring(pm.FindSubControlByName(n->data().row, L"cusernum")->GetText()),
                  rows[i].count)
            << "counts roll up to the parents";
    }
    EXPECT_EQ(tree->FindNodeById(3)->parent()->data().id, 2) << "grandchild under its parent";
    EXPECT_FALSE(tree->FindNodeById(3)->data().row->IsVisible()) << "its parent starts closed";

    // What a person sees: the alias and the first rows, against renders (the hall
    // page shown).
    auto* hall = dynamic_cast<CWebBrowserUI*>(pm.FindControl(L"ielobby"));
    ASSERT_TRUE(Pump([&] { return hall->IsVisible() && hall->GetDocCompleteCount() >= 3; }));
    auto* alias = static_cast<CLabelUI*>(pm.FindControl(L"myuseralias"));
    ASSERT_TRUE(WaitRelaidOut(lobby->GetHWND(), alias));
    SaveShot(lobby->GetHWND(), "lobby");
    QImage aliasShot = ShotOf(lobby->GetHWND(), alias);
    EXPECT_GT(InkMatch(aliasShot, RenderLabel(pm, alias, L"成员甲", false,
                                              QColor(aliasShot.pixel(aliasShot.width() - 1, 0)))),
              0.6);
    for (int i : {0, 1}) {
        CRoomGroupNode* n = tree->NodeOfRow(tree->GetItemAt(i));
        auto* name = static_cast<CLabelUI*>(pm.FindSubControlByName(n->data().row, L"cgroupname"));
        QImage shot = ShotOf(lobby->GetHWND(), name);
        QImage ref = RenderLabel(pm, name, name->GetText(), true, QColor(shot.pixel(0, 0)));
        EXPECT_GT(InkMatch(shot, ref), 0.8) << "row " << i;
    }
}

TEST_F(LobbyWindowTest, ARowOpensItsGroupPageAndToggles) {
    OpenLobby();
    CRoomGroupTreeUI* tree = lobby->GetTree();
    CRoomGroupNode* top = tree->FindNodeById(1);
    ClickControl(lobby->GetHWND(), top->data().row);
    ASSERT_TRUE(Pump([&] {
        for (const auto& r : http->requests())
            if (r.path.find("/roomlist.php?ngroupid=1&uname=10001&pwd=1%261%3D1") == 0) return true;
        return false;
    })) << "the group page with the encoded password";
    EXPECT_FALSE(top->data().expanded) << "a row with children toggles";
    auto* web2 = lobby->GetPaintManager().FindControl(L"ielobby2");
    EXPECT_TRUE(web2->IsVisible());
    EXPECT_EQ(std::wstring(lobby->GetPaintManager().FindControl(L"roomswitch")->GetText()),
              L"语音大厅");
    // The hall's tab stays on the strip beside the group's, and is all that is left
    // (and marked) once the group's tab is closed.
    CControlUI* hall = lobby->GetPaintManager().FindControl(L"hallswitch");
    CControlUI* group = lobby->GetPaintManager().FindControl(L"roomswitch");
    InvalidateRect(lobby->GetHWND(), nullptr, FALSE);
    ASSERT_TRUE(Pump([&] { return !IsRectEmpty(&group->GetPos()); }));
    EXPECT_TRUE(hall->IsVisible() && !IsRectEmpty(&hall->GetPos()));
    EXPECT_GE(group->GetPos().left, hall->GetPos().right);
    ClickControl(lobby->GetHWND(), lobby->GetPaintManager().FindControl(L"roomswclosebtn"));
    ASSERT_TRUE(Pump([&] { return !group->IsVisible(); }));
    EXPECT_TRUE(hall->IsVisible());
    EXPECT_TRUE(static_cast<COptionUI*>(hall->GetInterface(L"Option"))->IsSelected());
    EXPECT_TRUE(lobby->GetPaintManager().FindControl(L"ielobby")->IsVisible());

    // A page address of its own ("h...") opens as it stands, with the user part.
    ClickRow(tree->FindNodeById(4)->data().row);
    ASSERT_TRUE(Pump([&] {
        for (const auto& r : http->requests())
            if (r.path.find("/help.html?uname=10001&pwd=") == 0) return true;
        return false;
    }));
}

TEST_F(LobbyWindowTest, AGroupPageOnAnotherHostGetsNoAccount) {
    // The same server under a name the configuration does not give.
    const std::string foreign = "http://localhost:" + std::to_string(http->port()) + "/other.html";
    http->serveBody("/other.html", "<html><body>other</body></html>");
    AddGroup(6, 0, "外站", foreign.c_str(), 0, 0);
    AddGroup(7, 0, "外站二", (foreign + "?x=1").c_str(), 0, 0);
    OpenLobby();
    for (int group : {6, 7}) ClickRow(lobby->GetTree()->FindNodeById(group)->data().row);
    ASSERT_TRUE(Pump([&] {
        int seen = 0;
        for (const auto& r : http->requests()) seen += r.path.find("/other.html") == 0;
        return seen == 2;
    }));
    for (const auto& r : http->requests()) {
        if (r.path.find("/other.html") != 0) continue;
        EXPECT_EQ(r.path.find("pwd"), std::string::npos) << r.path;
        EXPECT_EQ(r.path.find("uname"), std::string::npos) << r.path;
    }
}

TEST_F(LobbyWindowTest, AGamePageIsToldByItsAddressNotThePassword) {
    std::vector<std::wstring> games;
    LaterWindowHooks().openGame = [&](HWND, const std::wstring& url, const std::wstring&) {
        games.push_back(url);
    };
    d->GetLocalUser()->password = "carkelt";
    SetUrl(d->m_GlobalConfig.www_page, "http://games/");
    AddGroup(5, 0, "游戏", "http://games/carkelt.php", 0, 0);
    OpenLobby();
    CRoomGroupTreeUI* tree = lobby->GetTree();
    ClickRow(tree->FindNodeById(4)->data().row);
    ASSERT_TRUE(Pump([&] { return !http->requests().empty(); }));
    EXPECT_TRUE(games.empty()) << "a password holding the word opens no game window";
    ClickRow(tree->FindNodeById(5)->data().row);
    ASSERT_TRUE(Pump([&] { return !games.empty(); }));
    EXPECT_EQ(games[0], L"http://games/carkelt.php?uname=10001&pwd=carkelt");
    d->GetLocalUser()->levels[0] = 1;
    ClickRow(tree->FindNodeById(5)->data().row);
    ASSERT_TRUE(Pump([&] { return !messages.empty(); }));
    EXPECT_EQ(messages[0], L"游客不能进入游戏,赶快去注册号码吧!");
    EXPECT_EQ(games.size(), 1u);
}

TEST_F(LobbyWindowTest, AForeignPageLinksOnlyToKnownGatesTheConfiguredOneToAny) {
    ServerSet servers;
    // The room stand-in under a name no configuration gives.
    const std::wstring link =
        L"enterchatroom://1001,localhost:" + std::to_wstring(servers.room().port());
    http->serveBody("/other.html", "<html><body>other</body></html>");
    OpenLobby();
    auto* web = dynamic_cast<CWebBrowserUI*>(lobby->GetPaintManager().FindControl(L"ielobby2"));
    auto open = [&](const std::string& page) {
        const std::wstring address = winplat::Utf8ToWide(page);
        web->Navigate2(address.c_str());
        ASSERT_TRUE(Pump([&] { return std::wstring(web->GetLocationUrl().GetData()) == address; }));
    };
    open("http://localhost:" + std::to_string(http->port()) + "/other.html");
    web->Navigate2(link.c_str());
    EXPECT_FALSE(lobby->HasWaitWindow());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], kUnknownGateHint);

    // The configured web server's room list gives its rooms' gates: followed.
    open(http->url("/roomlist.php"));
    web->Navigate2(link.c_str());
    EXPECT_TRUE(lobby->HasWaitWindow());
    ASSERT_TRUE(Pump([&] { return servers.room().ReceivedCount() >= 14 + 115; }));
    EXPECT_EQ(servers.room().Connections(), 1) << "the refused link never connected";
}

// 充值 and 帮助 open their pages in the desktop's browser; where none can open them a
// message box says so, at once without an opener, after it when the opener gives up.
TEST_F(LobbyWindowTest, APageThatCannotBeOpenedIsToldByAMessageBox) {
    SetUrl(d->m_GlobalConfig.userpay_url, "http://127.0.0.1:9/pay.php");
    SetUrl(d->m_GlobalConfig.userhelp_url, "http://127.0.0.1:9/help.php");
    OpenLobby();
    SetOutsideBrowserHook(nullptr);
    const std::wstring kNoBrowser = L"无法打开网页：没有找到可用的浏览器！";
    struct Button {
        const wchar_t* name;
        const char* address;
    } buttons[] = {
        {L"chongzhi", "http://127.0.0.1:9/pay.php?uid=10001&gid=0"},
        {L"help", "http://127.0.0.1:9/help.php"},
    };
    const testsupport::StandInOpener::Kind kinds[] = {testsupport::StandInOpener::kNone,
                                                      testsupport::StandInOpener::kFindsNoBrowser,
                                                      testsupport::StandInOpener::kOpens};
    for (const Button& b : buttons) {
        for (testsupport::StandInOpener::Kind kind : kinds) {
            SCOPED_TRACE(winplat::WideToUtf8(b.name) + " " + std::to_string(kind));
            messages.clear();
            testsupport::StandInOpener opener(kind);
            CControlUI* button = lobby->GetPaintManager().FindControl(b.name);
            ASSERT_NE(button, nullptr);
            TNotifyUI click;
            click.sType = DUI_MSGTYPE_CLICK;
            click.pSender = button;
            lobby->Notify(click);
            if (kind == testsupport::StandInOpener::kNone) {
                EXPECT_EQ(messages, std::vector<std::wstring>{kNoBrowser});
                continue;
            }
            ASSERT_TRUE(Pump([&] { return !opener.Opened().empty(); })) << "the opener never ran";
            EXPECT_EQ(opener.Opened(), b.address);
            if (kind == testsupport::StandInOpener::kFindsNoBrowser) {
                ASSERT_TRUE(Pump([&] { return !messages.empty(); }));
                EXPECT_EQ(messages, std::vector<std::wstring>{kNoBrowser});
            } else {
                PumpPending();
                EXPECT_TRUE(messages.empty());
            }
        }
    }
}

TEST_F(LobbyWindowTest, ARoomLinkJoinsAndTheAnswerMakesTheRoomWindow) {
    ServerSet servers;
    UseGate(servers);
    OpenLobby();
    auto* web = dynamic_cast<CWebBrowserUI*>(lobby->GetPaintManager().FindControl(L"ielobby"));
    // Links that are not whole room links are cancelled and join nothing.
    for (const wchar_t* bad : {L"enterchatroom://0,127.0.0.1:1", L"enterchatroom://1001"}) {
        web->Navigate2(bad);
        EXPECT_FALSE(lobby->HasWaitWindow()) << bad;
    }
    JoinThroughLink(servers);
    Bytes sent = servers.room().Received();
    EXPECT_EQ(sent.size(), 14u + 115u) << "hello, then the 115-byte join";
    // A second join while waiting is ignored.
    web->Navigate2(Link(1002).c_str());
    PumpPending();
    EXPECT_EQ(servers.room().ReceivedCount(), 14u + 115u);

    AnswerJoin(servers);
    IRoomWindow* room = Room();
    RECT rc;
    GetWindowRect(room->Window()->GetHWND(), &rc);
    EXPECT_EQ(rc.right - rc.left, 800);
    EXPECT_EQ(rc.bottom - rc.top, 600);
    wchar_t title[64] = {};
    GetWindowTextW(room->Window()->GetHWND(), title, 64);
    EXPECT_EQ(std::wstring(title), L"[房间:欢乐一家]");
    std::vector<std::string> expected{"SetRoomKind 2", "InitRoom 1001",
                                      "Hint 正在与房间建立连接..."};
    EXPECT_EQ(Calls(), expected);
    EXPECT_TRUE(IsIconic(lobby->GetHWND())) << "the lobby is minimised";
    EXPECT_TRUE(Pump([&] { return !lobby->HasWaitWindow(); })) << "the wait window closes";

    // Members and chat reach the room window; an unknown member is skipped.
    answers::UserEntry a, b;
    a.userId = 20001;
    a.roomId = kRoom;
    a.alias = "a";
    b.userId = 20002;
    b.roomId = kRoom;
    b.alias = "b";
    answers::ChatLine line;
    line.roomId = kRoom;
    line.senderId = 20001;
    line.text = "hi";
    servers.room().Send(answers::UserListAnswer({a, b}));
    servers.room().Send(answers::UserListEndAnswer());
    servers.room().Send(answers::ChatLineAnswer(line));
    ASSERT_TRUE(Pump([&] { return !CallsStarting("OnRoomChatMsg").empty(); }));
    EXPECT_TRUE(Has(Calls(), "OnUserEnterRoom 20001"));
    EXPECT_TRUE(Has(Calls(), "OnUserEnterRoom 20002"));
    EXPECT_FALSE(Has(Calls(), "OnUserEnterRoom null"));
    EXPECT_TRUE(Has(Calls(), "OnRoomUserListEnd"));
    EXPECT_EQ(CallsStarting("OnRoomChatMsg"), std::vector<std::string>{"OnRoomChatMsg 20001 0"});

    // The same room again only brings its window up.
    CRecordingRoom::Calls().clear();
    lobby->JoinRoom(kRoom, 1, L"127.0.0.1:1");
    EXPECT_FALSE(lobby->HasWaitWindow());
    EXPECT_TRUE(Calls().empty());

    lobby->LeaveCurrentRoom();
    ASSERT_TRUE(Pump([&] { return CRecordingRoom::Alive() == 0; }));
    EXPECT_TRUE(Has(Calls(), "StopAllMedia"));
    EXPECT_EQ(k->m_pWndTable[2], nullptr);
}

TEST_F(LobbyWindowTest, JoinFailuresCloseTheWaitWindowWithTheirText) {
    struct Case {
        int code;
        const wchar_t* text;
    } cases[] = {
        {203, L"房间密码错误!"},
        {101, L"你被禁止进入该房间,详情请去10000房间咨询!"},
        {102, L"错误Id:102，登陆房间失败"},
    };
    ServerSet servers;
    UseGate(servers);
    OpenLobby();
    for (const Case& c : cases) {
        messages.clear();
        servers.room().ClearReceived();
        k->DisconnectServer(SERVER_TYPE_ROOM);
        JoinThroughLink(servers);
        servers.room().Send(answers::Words(answers::kRoomMain, 26, {kMe, kRoom, c.code}));
        ASSERT_TRUE(Pump([&] { return !messages.empty(); })) << c.code;
        EXPECT_EQ(messages[0], c.text);
        EXPECT_TRUE(Pump([&] { return !lobby->HasWaitWindow(); }));
        EXPECT_FALSE(lobby->IsJoinPending());
    }
    EXPECT_EQ(CRecordingRoom::Alive(), 0);
}

// Types the password into the open prompt and presses OK.
CWndLobby* g_lobby = nullptr;
void CALLBACK AnswerPrompt(HWND, UINT, UINT_PTR id, DWORD) {
    CWndRoomPwd* prompt = g_lobby ? g_lobby->GetRoomPwdWnd() : nullptr;
    if (!prompt || !IsWindow(prompt->GetHWND())) return;
    KillTimer(nullptr, id);
    LayOut(prompt->GetHWND(), prompt->GetPaintManager());
    prompt->GetPaintManager().FindControl(L"edtpwd")->SetText(L"8888");
    ClickControl(prompt->GetHWND(), prompt->GetPaintManager().FindControl(L"btnOK"));
}

TEST_F(LobbyWindowTest, PasswordNeededOpensThePromptAndResendsTheTypedPassword) {
    ServerSet servers;
    UseGate(servers);
    OpenLobby();
    JoinThroughLink(servers);
    g_lobby = lobby;
    SetTimer(nullptr, 0, 20, AnswerPrompt);
    servers.room().Send(answers::Words(answers::kRoomMain, 26, {kMe, kRoom, 201}));
    ASSERT_TRUE(Pump([&] { return servers.room().ReceivedCount() >= 14 + 115 + 115; }));
    g_lobby = nullptr;
    Bytes all = servers.room().Received();
    std::string second(all.end() - 115, all.end());
    EXPECT_NE(second.find("8888"), std::string::npos) << "the second join carries the password";
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(lobby->IsJoinPending()) << "the resent join waits for its answer";
    AnswerJoin(servers);
    EXPECT_TRUE(Has(Calls(), "InitRoom 1001"));
}

TEST_F(LobbyWindowTest, ConnectErrorTimeOutAndALateAnswer) {
    RefusingPort refusing;
    gate = "127.0.0.1:" + std::to_string(refusing.port());
    OpenLobby();
    auto* web = dynamic_cast<CWebBrowserUI*>(lobby->GetPaintManager().FindControl(L"ielobby"));
    web->Navigate2(Link(kRoom).c_str());
    ASSERT_TRUE(Pump([&] { return !messages.empty(); }));
    EXPECT_EQ(messages[0], L"房间服务器连接失败,请稍后重试...");
    EXPECT_TRUE(Pump([&] { return !lobby->HasWaitWindow(); }));

    // Silence for 20 s closes the wait window without a word.
    ServerSet servers;
    UseGate(servers);
    messages.clear();
    winplat::InstallManualClock(1700000000);
    JoinThroughLink(servers);
    winplat::AdvanceManualClock(19900);
    PumpPending();
    EXPECT_TRUE(lobby->HasWaitWindow());
    winplat::AdvanceManualClock(100);
    ASSERT_TRUE(Pump([&] { return !lobby->HasWaitWindow(); }));
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(lobby->IsJoinPending());
    ASSERT_TRUE(Pump([&] { return servers.room().PeerClosed(); })) << "the room connection closes";

    // An answer that was already queued when the time-out came creates nothing.
    PostMessageW(lobby->GetHWND(), UM_JOIN_ROOM_OK, kRoom,
                 reinterpret_cast<LPARAM>(Copy({kMe, kRoom}, 291)));
    PostMessageW(lobby->GetHWND(), UM_JOIN_ROOM_FAILED, 0,
                 reinterpret_cast<LPARAM>(Copy({kMe, kRoom, 203})));
    PumpPending();
    EXPECT_EQ(k->m_pWndTable[2], nullptr);
    EXPECT_EQ(CRecordingRoom::Alive(), 0);
    EXPECT_TRUE(messages.empty()) << "a late refusal says nothing";
}

TEST_F(LobbyWindowTest, KickOutsExitsAndPayloadsWithoutARoom) {
    ServerSet servers;
    UseGate(servers);
    OpenLobby();
    auto* other = new CUserObj;  // the manager's own, deleted by DelUser
    other->userId = 20001;
    d->m_pUserManager->AddUser(other);

    // Without a room window every payload is only freed (the leak checker watches).
    // The logon answer and refusal have no case here at all.
    const UINT payloadMessages[] = {UM_MIC_STATE_CHANGED, UM_TRADE_GIFT_NOTIFY, UM_SEAL_NOTIFY,
                                    UM_USER_ENTER_ROOM,   UM_ROOM_CHAT_MSG,     UM_USER_EXIT_ROOM,
                                    UM_USER_KICKED_OUT,   UM_MV_KUXIN_RESP,     UM_ROOM_USER_LIST,
                                    UM_LOGON_OK,          UM_LOGON_FAILED};
    for (UINT m : payloadMessages)
        PostMessageW(lobby->GetHWND(), m, kRoom,
                     reinterpret_cast<LPARAM>(Copy({1, 0, 0, 0, 0}, 84)));
    PumpPending();
    EXPECT_TRUE(Calls().empty());

    JoinThroughLink(servers);
    AnswerJoin(servers);
    CRecordingRoom::Calls().clear();

    // The local user's own exit is not relayed; another's is.
    PostMessageW(lobby->GetHWND(), UM_USER_EXIT_ROOM, kRoom,
                 reinterpret_cast<LPARAM>(Copy({kMe, kRoom})));
    PostMessageW(lobby->GetHWND(), UM_USER_EXIT_ROOM, kRoom,
                 reinterpret_cast<LPARAM>(Copy({20001, kRoom})));
    // A member the user manager does not know never reaches the room as null.
    PostMessageW(lobby->GetHWND(), UM_USER_ENTER_ROOM, kRoom,
                 reinterpret_cast<LPARAM>(Copy({30003, kRoom}, 76)));
    // Another user put out is relayed with all four values.
    char* kick = Copy({kRoom, 5, 20001, 0}, 1);
    kick[16] = 1;
    PostMessageW(lobby->GetHWND(), UM_USER_KICKED_OUT, kRoom, reinterpret_cast<LPARAM>(kick));
    PumpPending();
    std::vector<std::string> expected{"OnUserExitRoom 20001", "OnUserKickedOut 5 20001 0 1"};
    EXPECT_EQ(Calls(), expected);

    // The local user put out: the room is left and the lobby, minimised while the room
    // was open, comes back and says why.
    ASSERT_TRUE(IsIconic(lobby->GetHWND()));
    servers.room().ClearReceived();
    servers.room().Send(answers::KickedOutAnswer(kRoom, 5, kMe, 0));
    ASSERT_TRUE(Pump([&] { return !messages.empty(); }));
    EXPECT_EQ(messages[0], L"您被 5 踢出了 1001 房间.");
    EXPECT_FALSE(IsIconic(lobby->GetHWND()));
    EXPECT_TRUE(IsWindowVisible(lobby->GetHWND()));
    ASSERT_TRUE(Pump([&] { return CRecordingRoom::Alive() == 0; }));
    EXPECT_TRUE(Has(Calls(), "StopAllMedia"));
    EXPECT_EQ(k->m_pWndTable[2], nullptr);
    d->m_pUserManager->DelUser(20001);
}

TEST_F(LobbyWindowTest, CopiesStillQueuedWhenTheLobbyGoesAreFreed) {
    OpenLobby();
    for (UINT m : {UM_ROOM_CHAT_MSG, UM_LOGON_OK, UM_JOIN_ROOM_OK})
        PostMessageW(lobby->GetHWND(), m, kRoom, reinterpret_cast<LPARAM>(Copy({1, 0, 0, 0}, 84)));
    // Not a copy: left alone.
    PostMessageW(lobby->GetHWND(), UM_PUBLIC_MIC_INFO, kRoom, 3);
    DestroyWindow(lobby->GetHWND());  // the sanitizer build's leak check watches
    lobby = nullptr;
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, UM_SERVER_CONNECTED, UM_CONN_MEDIA_ERR, PM_NOREMOVE));
}

// The join posts of the room window and the finder carry a block the lobby deletes: one
// still queued when the lobby goes is deleted too, not dropped with the queue (the
// first sits inside the kernel's range, whose copies alone the kernel frees).
TEST_F(LobbyWindowTest, JoinPostsStillQueuedWhenTheLobbyGoesAreFreed) {
    OpenLobby();
    auto* other = new tagJoinOtherRoom{};
    other->nRoomId = kRoom;
    auto* found = new tagJoinRoomPost{};
    found->nRoomId = kRoom;
    found->nFlag = 1;
    ASSERT_TRUE(
        PostMessageW(lobby->GetHWND(), UM_JOIN_OTHER_ROOM, kRoom, reinterpret_cast<LPARAM>(other)));
    ASSERT_TRUE(
        PostMessageW(lobby->GetHWND(), UM_FINDER_JOIN_ROOM, 0, reinterpret_cast<LPARAM>(found)));
    DestroyWindow(lobby->GetHWND());  // the sanitizer build's leak check watches
    lobby = nullptr;
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, UM_JOIN_OTHER_ROOM, UM_JOIN_OTHER_ROOM, PM_NOREMOVE));
    EXPECT_FALSE(
        PeekMessageW(&msg, nullptr, UM_FINDER_JOIN_ROOM, UM_FINDER_JOIN_ROOM, PM_NOREMOVE));
}

TEST_F(LobbyWindowTest, CloseCommandStopsTheRoomsMediaAndQuits) {
    ServerSet servers;
    UseGate(servers);
    OpenLobby();
    JoinThroughLink(servers);
    AnswerJoin(servers);
    CRecordingRoom::Calls().clear();
    SendMessageW(lobby->GetHWND(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(Calls(), std::vector<std::string>{"StopAllMedia"});
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    PumpPending();
    EXPECT_EQ(servers.room().ReceivedCount(), 14u + 115u) << "no exit request";
    static_cast<CRecordingRoom*>(Room())->Close(1);
    k->m_pWndTable[2] = nullptr;
    Pump([] { return CRecordingRoom::Alive() == 0; });
}

TEST_F(LobbyWindowTest, TrayAboutOpensTheAboutBoxOnceAndAgainAfterItCloses) {
    OpenLobby();
    ASSERT_EQ(FindWindowW(L"UIWndAboutUS", nullptr), nullptr);
    SendMessageW(lobby->GetHWND(), WM_COMMAND, kTrayAbout, 0);
    HWND about = FindWindowW(L"UIWndAboutUS", nullptr);
    ASSERT_NE(about, nullptr) << "关于我们 opens the about box";
    EXPECT_TRUE(IsWindowVisible(about));
    SendMessageW(lobby->GetHWND(), WM_COMMAND, kTrayAbout, 0);
    EXPECT_EQ(FindWindowW(L"UIWndAboutUS", nullptr), about) << "the open one, not a second";
    SendMessageW(about, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Pump([] { return FindWindowW(L"UIWndAboutUS", nullptr) == nullptr; }));
    SendMessageW(lobby->GetHWND(), WM_COMMAND, kTrayAbout, 0);
    EXPECT_NE(FindWindowW(L"UIWndAboutUS", nullptr), nullptr) << "a closed box opens anew";
}

TEST_F(LobbyWindowTest, NetworkChoiceOneFallsBackToTheOnlyGate) {
    ServerSet servers;
    UseGate(servers);
    d->m_UserEnv.m_nNetType = 1;
    OpenLobby();
    JoinThroughLink(servers);  // the link names one gate: entry 0 takes the join
    d->m_UserEnv.m_nNetType = 0;
}

TEST_F(LobbyWindowTest, SettingAnswersAreReadWithinTheirFields) {
    ServerSet servers;
    UseGate(servers);
    OpenLobby();
    JoinThroughLink(servers);
    AnswerJoin(servers);
    CRecordingRoom::Calls().clear();
    servers.room().ClearReceived();

    // A password answer whose text fills its 16 bytes and runs on: 16 are kept.
    char* pwd = Copy({kMe, 0, 0}, 1 + 20);
    pwd[12] = 1;
    std::memcpy(pwd + 13, "ABCDEFGHIJKLMNOPQRST", 20);
    PostMessageW(lobby->GetHWND(), UM_SET_USER_PWD_RESP, 0, reinterpret_cast<LPARAM>(pwd));
    PumpPending();
    EXPECT_EQ(d->GetLocalUser()->password, "ABCDEFGHIJKLMNOP");
    EXPECT_TRUE(Has(Calls(), "OnSetUserPwdResp 0"));
    EXPECT_TRUE(messages.empty()) << "the room's hint line tells it";

    // A profile answer tells the room: the alias goes out in its 17 bytes, no more.
    d->GetLocalUser()->alias = std::string(40, 'x');
    PostMessageW(lobby->GetHWND(), UM_SET_USER_PROFILE_RESP, 0,
                 reinterpret_cast<LPARAM>(Copy({0})));
    PumpPending();
    EXPECT_TRUE(Has(Calls(), "UpdateMyInfo"));
    ASSERT_TRUE(Pump([&] { return servers.room().ReceivedCount() >= 10 + 29; }));
    Bytes sent = servers.room().Received();
    EXPECT_EQ(sent.size(), 10u + 29u) << "one alias-state request";
    EXPECT_EQ(std::string(sent.end() - 17, sent.end()), std::string(16, 'x') + '\0');
}

TEST_F(LobbyWindowTest, APasswordAnswerWithoutARoomIsToldInAMessageBox) {
    OpenLobby();
    const struct {
        int result;
        const wchar_t* text;
    } cases[] = {{0, L"密码修改成功!"}, {1, L"密码修改失败!"}};
    for (const auto& c : cases) {
        messages.clear();
        char* pwd = Copy({kMe, 0, c.result}, 1 + 16);
        PostMessageW(lobby->GetHWND(), UM_SET_USER_PWD_RESP, 0, reinterpret_cast<LPARAM>(pwd));
        ASSERT_TRUE(Pump([&] { return !messages.empty(); })) << c.result;
        EXPECT_EQ(messages, std::vector<std::wstring>{c.text});
    }
}

TEST_F(LobbyWindowTest, TheLobbySessionEndsTenToTwentySecondsAfterItsLastTraffic) {
    ServerSet servers;
    std::strcpy(d->m_pLobbySvrTable[0].szHost, "127.0.0.1");
    d->m_pLobbySvrTable[0].wPort = servers.lobby().port();
    OpenLobby();
    winplat::InstallManualClock(1700000000);
    tag_CMDSetUserProfileReq req = {};
    lobby->SendSetUserProfileReq(&req);
    ASSERT_TRUE(Pump([&] { return servers.lobby().ReceivedCount() >= 14 + 43; }));
    winplat::AdvanceManualClock(5000);
    // The answer shows the local user's alias again: that tells it was handled.
    d->m_LocalUser.alias = "answered";
    servers.lobby().Send(answers::Words(answers::kLogonMain, 119, {0}));
    CControlUI* alias = lobby->GetPaintManager().FindControl(L"myuseralias");
    ASSERT_NE(alias, nullptr);
    ASSERT_TRUE(Pump([&] { return alias->GetText() == L"answered"; }));
    winplat::AdvanceManualClock(5000);  // t = 10 s: 5 s since the answer
    Pump([] { return false; }, 200);
    EXPECT_FALSE(servers.lobby().PeerClosed());
    winplat::AdvanceManualClock(10000);  // t = 20 s: 15 s since the answer
    ASSERT_TRUE(Pump([&] { return servers.lobby().PeerClosed(); }));
}

}  // namespace
