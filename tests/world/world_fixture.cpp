#include "world_fixture.h"

#include <cstring>

#include "kernel/NotificationCopy.h"
#include "kernel/Notifications.h"
#include "session/CommKernelData.h"
#include "win32/text.h"

namespace worldtest {

CCommKernel* WorldTest::k = nullptr;
CCommKernelData* WorldTest::d = nullptr;

namespace {

void SetServer(tag_ServerAddr& entry, uint16_t port) {
    std::strcpy(entry.szHost, "127.0.0.1");
    entry.wPort = port;
}

}  // namespace

std::string Wire(const std::wstring& text) {
    return winplat::WideToAnsi(text, 936);
}

void WorldTest::SetUpTestSuite() {
    k = CCommKernel::GetInstance();
    if (!k->m_pCommWnd || !k->m_pData || !k->m_pData->m_pUserManager) {
        k->init(nullptr);
        k->m_pData->init();
    }
    d = k->m_pData;
}

void WorldTest::SetUp() {
    LocalWorld::Options options;  // free ports
    options.skinDir = MIVORA_SOURCE_DIR "/skin/MVChat";
    options.log = [this](const std::string& line) {
        std::lock_guard<std::mutex> g(logLock);
        worldLog.push_back(line);
    };
    world = std::make_unique<LocalWorld>(options);
    ASSERT_TRUE(world->Start());
    for (int i = 0; i < kServerTableSize; ++i) {
        SetServer(d->m_pLogonSvrTable[i], world->ports().logon);
        SetServer(d->m_pLobbySvrTable[i], world->ports().lobby);
    }
    std::string gate = "127.0.0.1:" + std::to_string(world->ports().room);
    d->SetRoomGateAddr(&gate[0]);
    for (int t = 1; t <= 3; ++t) {
        k->DisconnectServer(static_cast<_eServerType>(t));
        k->SetNotifyWnd(static_cast<_eServerType>(t), notify.hwnd());
    }
    // The kernel outlives the tests of one run: each starts from an empty model, as in
    // a process of its own. A room left current by an earlier test (its member put
    // out) made the kernel ignore the next logon answer naming one of its members.
    kerneltest::EmptyModel(d);
}

void WorldTest::TearDown() {
    for (int t = 1; t <= 3; ++t) {
        k->DisconnectServer(static_cast<_eServerType>(t));
        k->SetNotifyWnd(static_cast<_eServerType>(t), nullptr);
    }
    notify.Drain();
    for (kerneltest::Posted& p : notify.posted())
        if (comm::NotificationCarriesCopy(p.msg))
            CCommKernel::free_msgdata(reinterpret_cast<char*>(p.lParam));
    notify.posted().clear();
    recorder.reset();
    world->Stop();
}

std::optional<kerneltest::Posted> WorldTest::AwaitPosted(UINT msg, size_t from) {
    std::optional<kerneltest::Posted> found;
    kerneltest::Pump([&] {
        for (size_t i = from; i < notify.posted().size(); ++i)
            if (notify.posted()[i].msg == msg) {
                found = notify.posted()[i];
                return true;
            }
        return false;
    });
    return found;
}

void WorldTest::Settle() {
    kerneltest::Pump([] { return false; }, 200);
}

Bytes WorldTest::KernelWrites(int userId, int roomId, const std::function<void()>& call) {
    if (!recorder) {
        recorder = std::make_unique<testsupport::TcpStandIn>();
        k->DisconnectServer(SERVER_TYPE_ROOM);
        k->ConnectServer(SERVER_TYPE_ROOM, "127.0.0.1", recorder->port());
        EXPECT_TRUE(kerneltest::Pump([&] {
            return k->IsConnected(SERVER_TYPE_ROOM) && recorder->Connections() == 1;
        })) << "the kernel's room connection to the recorder";
    }
    recorder->ClearReceived();
    const int keptUser = d->m_LocalUser.userId;
    const int keptRoom = d->m_nCurRoomId;
    d->m_LocalUser.userId = userId;
    d->m_nCurRoomId = roomId;
    call();
    EXPECT_TRUE(kerneltest::SettleSent(*recorder, SERVER_TYPE_ROOM));
    d->m_LocalUser.userId = keptUser;
    d->m_nCurRoomId = keptRoom;
    return recorder->Received();
}

bool WorldTest::KernelLogon(int userId, const std::string& password) {
    k->DisconnectServer(SERVER_TYPE_LOGON);
    d->m_CurLogonUserData = {};
    d->m_CurLogonUserData.nUserId = userId;
    std::strncpy(d->m_CurLogonUserData.szPassword, password.c_str(),
                 sizeof d->m_CurLogonUserData.szPassword - 1);
    const size_t from = notify.posted().size();
    k->SendMsg_LoginReq2(0);
    bool ended = false, refused = false;
    kerneltest::Pump([&] {
        for (size_t i = from; i < notify.posted().size(); ++i) {
            ended |= notify.posted()[i].msg == UM_ROOM_GROUP_LIST_END;
            refused |= notify.posted()[i].msg == UM_LOGON_FAILED;
        }
        return ended || refused;
    });
    k->DisconnectServer(SERVER_TYPE_LOGON);
    return ended;
}

bool WorldTest::KernelJoin(int roomId, const std::string& password) {
    d->m_CurJoinRoomUserData = {};
    d->m_CurJoinRoomUserData.nRoomId = roomId;
    std::strncpy(d->m_CurJoinRoomUserData.szPassword, password.c_str(),
                 sizeof d->m_CurJoinRoomUserData.szPassword - 1);
    const size_t from = notify.posted().size();
    k->SendMsg_JoinRoomReq2(0);
    bool listed = false, refused = false;
    kerneltest::Pump([&] {
        for (size_t i = from; i < notify.posted().size(); ++i) {
            listed |= notify.posted()[i].msg == UM_ROOM_USER_LIST_END;
            refused |= notify.posted()[i].msg == UM_JOIN_ROOM_FAILED;
        }
        return listed || refused;
    });
    return listed;
}

std::unique_ptr<RawClient> WorldTest::RawLogon(int userId, const std::string& password,
                                               int* gotId) {
    auto c = std::make_unique<RawClient>(world->ports().logon, 103);
    c->Send(LogonRequest(userId, password));
    Frame answer;
    if (!c->Await(103, 5, answer)) return nullptr;
    if (gotId) *gotId = answer.I32(28);
    Frame end;
    return c->Await(103, 9, end) ? std::move(c) : nullptr;
}

std::unique_ptr<RawClient> WorldTest::RawMember(int userId, const std::string& password, int roomId,
                                                int* gotId) {
    int id = 0;
    if (!RawLogon(userId, password, &id)) return nullptr;
    if (gotId) *gotId = id;
    auto c = std::make_unique<RawClient>(world->ports().room, 105);
    c->Send(JoinRequest(id, roomId, password, ""));
    Frame end;
    return c->Await(105, 31, end) ? std::move(c) : nullptr;
}

}  // namespace worldtest
