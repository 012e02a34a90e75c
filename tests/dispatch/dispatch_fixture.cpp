#include "dispatch_fixture.h"

#include <cstring>
#include <sstream>

#include "kernel/Notifications.h"
#include "model/Privilege.h"
#include "model/RoomGroupManager.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserMVManager.h"
#include "model/UserManager.h"
#include "session/CommKernelData.h"

namespace dispatchtest {

namespace answers = testsupport::answers;
using testsupport::ServerSet;

CCommKernel* SessionTest::k = nullptr;
CCommKernelData* SessionTest::d = nullptr;

namespace {

constexpr int32_t kMarkerMagic = 0x4D41524B;
int g_dispatchTraces = 0;

void CountTraces(const char* text) {
    if (text && std::strstr(text, "tag_dispatch:")) ++g_dispatchTraces;
}

// Answers that post unconditionally and change nothing: the end of a played batch.
Bytes Marker(ServerSet::Kind kind) {
    if (kind == ServerSet::kRoom) return answers::Frame(answers::kRoomMain, 128, Bytes());
    return answers::Words(answers::kLogonMain, 123, {0, kMarkerMagic});
}

bool IsMarker(ServerSet::Kind kind, const Posted& p) {
    if (kind == ServerSet::kRoom) return p.msg == UM_MONEY_OP_FAILED;
    return p.msg == UM_MV_ZHINGXING_RESP && p.wParam == static_cast<WPARAM>(kMarkerMagic);
}

void DigestUser(std::ostringstream& o, const CUserObj* u) {
    o << "u" << u->userId << "{" << u->money << "," << u->points << "," << u->accountData[0] << ","
      << u->accountData[1] << "," << u->room << "," << u->logonValue1 << "," << u->logonValue2
      << "," << u->logonValue3 << "," << u->entryValue23 << "," << int(u->sex) << ","
      << int(u->micIndex) << "," << int(u->entryFlag0) << "," << u->faceId << ",";
    for (int l : u->levels) o << l << ".";
    o << u->roomMgrLevel << "," << u->flags << "," << u->entryValue47 << "," << u->entryValue51
      << "," << u->sealId << "," << u->sealExpiry << "," << u->forbidCarryToMic << ","
      << u->entranceEffects << "," << u->entryValue43 << "," << u->alias << "," << u->password
      << "," << u->giftCounts.size() << "}";
}

}  // namespace

std::string ModelDigest(CCommKernelData* data) {
    std::ostringstream o;
    o << data->m_nCurRoomId << "|" << data->m_nVersionWord << "|" << data->m_nLogonWord2 << "|";
    DigestUser(o, &data->m_LocalUser);
    o << "|users:";
    for (auto& [id, u] : data->m_pUserManager->users) {
        o << id << "=";
        DigestUser(o, u);
    }
    o << "|rooms:";
    for (auto& [id, r] : data->m_pRoomManager->rooms) {
        o << id << "{" << r->baseInfoA << "," << r->baseInfoB << "," << r->baseInfoC << ","
          << r->baseInfoD << "," << r->baseInfoE << "," << r->ownerId << ",";
        for (int x : r->deputyOwnerIds) o << x << ".";
        for (const auto& m : r->pubMics)
            o << m.userId << ":" << m.micTime << ":" << m.micType << ":" << m.startTime << ".";
        o << r->roomFlags << "," << r->userListReady << "," << r->roomName << "," << r->mediaUrl
          << ",";
        for (const auto& t : r->roomTexts) o << t << ".";
        for (int i = 0; i < ROOM_MEDIA_ENTRY_COUNT; ++i)
            o << r->mediaHosts[i] << ":" << r->mediaPorts[i] << ".";
        for (auto& [uid, u] : r->users) o << uid << "@" << u << ".";
        for (int w : r->waitMicIds) o << w << ".";
        o << r->joinText << "," << r->baseFlag << "," << r->waitMicLimits[0] << ","
          << r->waitMicLimits[1] << "," << r->fireworks.size() << ",";
        const uint8_t* s = reinterpret_cast<const uint8_t*>(&r->siege);
        for (size_t i = 0; i < sizeof r->siege; ++i) o << int(s[i]) << ".";
        o << "}";
    }
    o << "|groups:";
    for (const tag_RoomGroupData* g : data->m_pRoomGroupManager->groups)
        o << g->groupId << ":" << g->parentId << ":" << g->userNum << ":" << g->groupName << ".";
    o << "|privileges:";
    for (auto& [id, rule] : *data->m_pUserMVManager->temporary) {
        o << id << ":" << rule->kind << ":";
        if (auto* one = dynamic_cast<CNonOOPrivilege*>(rule)) o << one->levels.size();
        if (auto* two = dynamic_cast<COOPrivilege*>(rule)) o << two->targets.size();
        o << ".";
    }
    o << "|roll:";
    const uint8_t* roll = reinterpret_cast<const uint8_t*>(&data->m_GiftRollInfo);
    for (size_t i = 0; i < sizeof data->m_GiftRollInfo; ++i) o << int(roll[i]) << ".";
    return o.str();
}

Bytes PayloadOf(const Bytes& frame) {
    return Bytes(frame.begin() + 10, frame.end());
}

bool CopyEquals(const Posted& p, const Bytes& frame) {
    const char* copy = reinterpret_cast<const char*>(p.lParam);
    Bytes payload = PayloadOf(frame);
    return copy && std::memcmp(copy, payload.data(), payload.size()) == 0 &&
           copy[payload.size()] == 0;
}

void SessionTest::SetUpTestSuite() {
    k = CCommKernel::GetInstance();
    if (!k->m_pCommWnd || !k->m_pData || !k->m_pData->m_pUserManager) {
        k->init(nullptr);
        k->m_pData->init();
    }
    d = k->m_pData;
}

void SessionTest::SetUp() {
    for (int t = 1; t <= 3; ++t) {
        k->DisconnectServer(static_cast<_eServerType>(t));
        k->SetNotifyWnd(static_cast<_eServerType>(t), notify.hwnd());
    }
    ResetModel();
    g_dispatchTraces = 0;
    winplat::SetDebugOutputHook(CountTraces);
}

void SessionTest::ResetModel() {
    kerneltest::EmptyModel(d);
    d->m_pRoomGroupManager->ClearData();
    d->m_nVersionWord = d->m_nLogonWord2 = 0;
    std::memset(&d->m_GiftRollInfo, 0, sizeof d->m_GiftRollInfo);
    d->m_LocalUser.userId = kMe;
    d->m_pUserManager->AddUser(&d->m_LocalUser);
    d->m_CurLogonUserData = {};
    d->m_CurLogonUserData.nUserId = kMe;
    std::strcpy(d->m_CurLogonUserData.szPassword, "secret");
    d->m_CurJoinRoomUserData = {};
    d->m_CurJoinRoomUserData.nRoomId = kRoom;
    std::strcpy(d->m_CurJoinRoomUserData.szPassword, "roompw");
}

void SessionTest::TearDown() {
    winplat::SetDebugOutputHook(nullptr);
    for (int t = 1; t <= 3; ++t) {
        k->DisconnectServer(static_cast<_eServerType>(t));
        k->SetNotifyWnd(static_cast<_eServerType>(t), nullptr);
    }
    notify.Drain();
    FreeCopies();
}

void SessionTest::FreeCopies() {
    for (Posted& p : notify.posted()) {
        if (CarriesCopy(p.msg)) CCommKernel::free_msgdata(reinterpret_cast<char*>(p.lParam));
        p.lParam = 0;
    }
    notify.posted().clear();
}

int SessionTest::TakeDispatchTraces() {
    int n = g_dispatchTraces;
    g_dispatchTraces = 0;
    return n;
}

void SessionTest::ConnectLogon() {
    std::string host = "127.0.0.1";
    std::strcpy(d->m_pLogonSvrTable[0].szHost, host.c_str());
    d->m_pLogonSvrTable[0].wPort = servers.logon().port();
    k->DisconnectServer(SERVER_TYPE_LOGON);
    servers.logon().ClearReceived();
    k->SendMsg_LoginReq2(0);
    ASSERT_TRUE(kerneltest::Pump([&] { return servers.logon().ReceivedCount() >= 14 + 100; }));
}

void SessionTest::ConnectRoom() {
    std::string gate = servers.Address(ServerSet::kRoom);
    d->SetRoomGateAddr(&gate[0]);
    k->DisconnectServer(SERVER_TYPE_ROOM);
    servers.room().ClearReceived();
    k->SendMsg_JoinRoomReq2(0);
    ASSERT_TRUE(kerneltest::Pump([&] { return servers.room().ReceivedCount() >= 14 + 115; }));
}

std::vector<Posted> SessionTest::Play(ServerSet::Kind kind, const std::vector<Bytes>& frames) {
    Bytes all;
    for (const Bytes& f : frames) all.insert(all.end(), f.begin(), f.end());
    Bytes marker = Marker(kind);
    all.insert(all.end(), marker.begin(), marker.end());
    size_t before = notify.posted().size();
    servers.server(kind).Send(all);
    auto seen = [&] {
        for (size_t i = before; i < notify.posted().size(); ++i)
            if (IsMarker(kind, notify.posted()[i])) return true;
        return false;
    };
    EXPECT_TRUE(kerneltest::Pump(seen)) << "the marker answer never arrived";
    std::vector<Posted> out;
    for (size_t i = before; i < notify.posted().size(); ++i) {
        if (IsMarker(kind, notify.posted()[i])) break;
        out.push_back(notify.posted()[i]);
    }
    return out;
}

void SessionTest::EnterRoom() {
    ConnectRoom();
    answers::JoinRoom join;
    join.userId = kMe;
    join.roomId = kRoom;
    join.roomName = "lobby room";
    join.mediaUrl = "10.1.1.1:5000";
    join.siegeLordId = kUserB;
    answers::UserEntry me, a, b;
    me.userId = kMe;
    a.userId = kUserA;
    b.userId = kUserB;
    me.roomId = a.roomId = b.roomId = kRoom;
    me.alias = "me";
    a.alias = "alice";
    b.alias = "bob";
    PlayRoom({answers::JoinRoomAnswer(join), answers::UserListAnswer({me, a, b}),
              answers::UserListEndAnswer()});
    ASSERT_NE(d->m_pRoomManager->FindRoom(kRoom), nullptr);
    ASSERT_EQ(d->m_pRoomManager->FindRoom(kRoom)->users.size(), 3u);
    FreeCopies();
    TakeDispatchTraces();
}

}  // namespace dispatchtest
