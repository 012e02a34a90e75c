#include "room_fixture.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "fenlo/UIlib.h"
#include "kernel/CommKernel.h"
#include "kernel/Notifications.h"
#include "app/EntryWindows.h"
#include "lobby/RoomWindowSeam.h"
#include "lobby/WndLobby.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserMVManager.h"
#include "model/UserManager.h"
#include "session/CommKernelData.h"
#include "ui_fixture.h"
#include "win32/text.h"
#include "win32gui/menu.h"

namespace roomtest {

using testsupport::ServerSet;

CCommKernel* RoomTest::k = nullptr;
CCommKernelData* RoomTest::d = nullptr;
std::vector<HMENU> RoomTest::openedMenus;
UINT_PTR RoomTest::menuAnswer = 0;

namespace {

// An answer that posts unconditionally and changes nothing: the end of a played batch.
Bytes Marker() {
    return answers::Frame(answers::kRoomMain, 128, Bytes());
}

}  // namespace

UINT_PTR RoomTest::MenuHook(HMENU menu) {
    openedMenus.push_back(menu);
    return menuAnswer;
}

void RoomTest::SetUpTestSuite() {
    k = CCommKernel::GetInstance();
    if (!k->m_pCommWnd || !k->m_pData || !k->m_pData->m_pUserManager) {
        k->init(nullptr);
        k->m_pData->init();
    }
    d = k->m_pData;
}

void RoomTest::SetUp() {
    winplat::InstallGui();
    DuiLib::CPaintManagerUI::SetResourcePath(MIVORA_SKIN_DIR);
    for (int t = 1; t <= 3; ++t) {
        k->DisconnectServer(static_cast<_eServerType>(t));
        k->SetNotifyWnd(static_cast<_eServerType>(t), notify.hwnd());
    }
    kerneltest::EmptyModel(d);
    d->m_UserEnv = CUserEnvSetting();
    d->m_LocalUser.userId = kMe;
    d->m_LocalUser.alias = "me";
    d->m_LocalUser.password = "secret";
    d->m_LocalUser.levels[0] = 5;
    d->m_pUserManager->AddUser(&d->m_LocalUser);
    // The configured servers are the stand-ins' host, as a session's tables hold it:
    // the lobby joins rooms only on gates of a known host.
    std::memset(d->m_pLobbySvrTable, 0, sizeof(tag_ServerAddr) * kServerTableSize);
    std::strcpy(d->m_pLobbySvrTable[0].szHost, "127.0.0.1");
    openedMenus.clear();
    menuAnswer = 0;
    winplat::SetPopupMenuHook(MenuHook);
}

void RoomTest::TearDown() {
    winplat::SetPopupMenuHook(nullptr);
    CloseRoomWindow();
    for (int t = 1; t <= 3; ++t) {
        k->DisconnectServer(static_cast<_eServerType>(t));
        k->SetNotifyWnd(static_cast<_eServerType>(t), nullptr);
    }
    notify.Drain();
    FreeCopies();
    PumpPending();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

void RoomTest::OpenLobby() {
    ASSERT_TRUE(CreateLobbyWindow(L"lobby"));
    lobby = CWndLobby::Current();
    ASSERT_NE(lobby, nullptr);
}

void RoomTest::CloseLobby() {
    if (lobby) {
        lobby->LeaveCurrentRoom();
        PumpPending();
        ::DestroyWindow(lobby->GetHWND());
        k->m_pWndTable[1] = nullptr;
        lobby = nullptr;
    }
    room = nullptr;
}

void RoomTest::JoinByLobby(int kind, answers::JoinRoom join) {
    const std::wstring gate = winplat::Utf8ToWide(servers.Address(testsupport::ServerSet::kRoom));
    const int before = servers.room().Connections();
    lobby->JoinRoom(kRoom, 1, gate.c_str());
    ASSERT_TRUE(kerneltest::Pump([&] {
        return servers.room().Connections() > before && servers.room().ReceivedCount() >= 14 + 115;
    }));
    join.userId = kMe;
    join.roomId = kRoom;
    join.baseInfoD = static_cast<uint16_t>(kind);
    join.roomName = "room";
    servers.room().Send(answers::JoinRoomAnswer(join));
}

void RoomTest::CloseRoomWindow() {
    if (room && ::IsWindow(room->GetHWND())) {
        room->StopAllMedia();
        ::DestroyWindow(room->GetHWND());  // the window deletes itself
    }
    room = nullptr;
}

void RoomTest::FreeCopies() {
    for (kerneltest::Posted& p : notify.posted()) {
        if (kerneltest::CarriesCopy(p.msg))
            CCommKernel::free_msgdata(reinterpret_cast<char*>(p.lParam));
        p.lParam = 0;
    }
    notify.posted().clear();
}

answers::UserEntry RoomTest::Member(int id, const std::string& alias) {
    answers::UserEntry u;
    u.userId = id;
    u.roomId = kRoom;
    u.alias = alias;
    u.levels[0] = 5;
    return u;
}

void RoomTest::PlayRoom(const std::vector<Bytes>& frames) {
    Bytes all;
    for (const Bytes& f : frames) all.insert(all.end(), f.begin(), f.end());
    const Bytes marker = Marker();
    all.insert(all.end(), marker.begin(), marker.end());
    const size_t before = notify.posted().size();
    servers.room().Send(all);
    ASSERT_TRUE(kerneltest::Pump([&] {
        for (size_t i = before; i < notify.posted().size(); ++i)
            if (notify.posted()[i].msg == UM_MONEY_OP_FAILED) return true;
        return false;
    })) << "the marker answer never arrived";
}

void RoomTest::EnterRoom(int kind, std::vector<answers::UserEntry> others) {
    std::string gate = servers.Address(ServerSet::kRoom);
    d->SetRoomGateAddr(&gate[0]);
    d->m_CurJoinRoomUserData = {};
    d->m_CurJoinRoomUserData.nRoomId = kRoom;
    // A new connection: until the stand-in takes it, its last one still shows the
    // previous join.
    k->DisconnectServer(SERVER_TYPE_ROOM);
    const int before = servers.room().Connections();
    k->SendMsg_JoinRoomReq2(0);
    ASSERT_TRUE(kerneltest::Pump([&] {
        return servers.room().Connections() > before && servers.room().ReceivedCount() >= 14 + 115;
    }));

    answers::JoinRoom join;
    join.userId = kMe;
    join.roomId = kRoom;
    join.roomName = "room";
    join.mediaUrl = "127.0.0.1:5000";
    std::vector<answers::UserEntry> members{Member(kMe, "me")};
    members.insert(members.end(), others.begin(), others.end());
    PlayRoom({answers::JoinRoomAnswer(join), answers::UserListAnswer(members),
              answers::UserListEndAnswer()});
    FreeCopies();
    ASSERT_NE(d->m_pRoomManager->FindRoom(kRoom), nullptr);

    // What the lobby does with the join answer.
    room = new CWndRoom;
    room->SetRoomKind(kind);
    ASSERT_TRUE(room->Create(nullptr, L"[房间:room]", 0x10CF0000, 0, 0, 0, 800, 600));
    room->CenterWindow();
    room->InitRoom(kRoom);
    SetCurrentRoomWindow(room);
    PumpPending();
    sentSeen = servers.room().ReceivedCount();
}

void RoomTest::GrantFromLogon(const std::vector<answers::Privilege>& list) {
    ASSERT_FALSE(list.empty());
    std::strcpy(d->m_pLogonSvrTable[0].szHost, "127.0.0.1");
    d->m_pLogonSvrTable[0].wPort = servers.logon().port();
    const int before = servers.logon().Connections();
    k->SendMsg_LoginReq2(0);
    ASSERT_TRUE(kerneltest::Pump([&] {
        return servers.logon().Connections() > before &&
               servers.logon().ReceivedCount() >= 14 + 100;
    }));
    servers.logon().Send(answers::PrivilegeListAnswer(list));
    ASSERT_TRUE(kerneltest::Pump([&] {
        return d->m_pUserMVManager->FindPrivilege(PRIVILEGE_TABLE_TEMPORARY, list.back().id) !=
               nullptr;
    }));
    d->m_pUserMVManager->SwapData();
    k->DisconnectServer(SERVER_TYPE_LOGON);
}

std::vector<std::pair<int, int>> RoomTest::ConnRequestsIn(const std::vector<SentFrame>& frames) {
    std::vector<std::pair<int, int>> out;
    for (const SentFrame& f : frames) {
        if (f.mainCmd != 105 || f.subCmd != 69 || f.payload.size() < 13) continue;
        int32_t user = 0;
        std::memcpy(&user, &f.payload[8], 4);
        out.push_back({user, f.payload[12]});
    }
    return out;
}

std::vector<std::pair<int, int>> RoomTest::ConnRequests() {
    // Requests go out on the socket as the handler runs.
    EXPECT_TRUE(kerneltest::SettleSent(servers.room(), SERVER_TYPE_ROOM));
    return ConnRequestsIn(TakeSent());
}

std::vector<SentFrame> RoomTest::TakeSent(bool keepAlives) {
    const Bytes all = servers.room().Received();
    std::vector<SentFrame> out;
    size_t at = sentSeen;
    while (at + 10 <= all.size()) {
        uint32_t length = 0;
        std::memcpy(&length, &all[at], 4);
        if (length < 10 || at + length > all.size()) break;
        SentFrame f;
        f.mainCmd = static_cast<uint16_t>(all[at + 6] | (all[at + 7] << 8));
        f.subCmd = static_cast<uint16_t>(all[at + 8] | (all[at + 9] << 8));
        f.payload.assign(all.begin() + static_cast<long>(at + 10),
                         all.begin() + static_cast<long>(at + length));
        if (keepAlives || f.mainCmd != 105 || f.subCmd != 2) out.push_back(f);
        at += length;
    }
    sentSeen = at;
    return out;
}

std::wstring RoomTest::PrivateText() {
    auto* web = room ? room->m_pPrivTextOut : nullptr;
    return web ? std::wstring(web->GetDocumentText().GetData()) : std::wstring();
}

int ThreadCount() {
    int count = 0;
    for (const auto& e : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream in(e.path() / "comm");
        std::string n;
        std::getline(in, n);
        count += n != "Thread (pooled)";
    }
    return count;
}

}  // namespace roomtest
