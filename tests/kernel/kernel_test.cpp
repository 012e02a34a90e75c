// The kernel singleton against stand-in servers on loopback, through the real
// message loop: hello and request bytes, connect-then-send, notifications.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "config/UserLogonManager.h"
#include "kernel/CommKernel.h"
#include "kernel/TMLSocket.h"
#include "http_test_server.h"
#include "kernel_test_util.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "session/CommKernelData.h"
#include "util/SysInfo.h"

using kerneltest::Posted;
using kerneltest::Pump;
using kerneltest::RecorderWindow;
using testsupport::Bytes;
using testsupport::FrameBytes;
using testsupport::TcpStandIn;

namespace {

constexpr int kLocalUser = 1001;
constexpr int kRoom = 88;
const uint8_t kMachineData[20] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10,
                                  11, 12, 13, 14, 15, 16, 17, 18, 19, 0xEE};

Bytes Hello(uint16_t mainCmd) {
    return FrameBytes(mainCmd, 1).u8(12).u8(8).u8(7).u8(1).bytes();
}

Bytes Cat(const Bytes& a, const Bytes& b) {
    Bytes out = a;
    out.insert(out.end(), b.begin(), b.end());
    return out;
}

Bytes Tail(const Bytes& all, size_t n) {
    return n <= all.size() ? Bytes(all.end() - n, all.end()) : all;
}

std::string MacText() {
    char mac[32] = {0};
    GetMacAddress(mac);
    return mac;
}

class KernelTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        k = CCommKernel::GetInstance();
        k->init(nullptr);
        k->m_pData->init();
        std::memcpy(k->m_pData->m_pUserLogonMgr->getDubaData(), kMachineData, sizeof kMachineData);
    }

    void SetUp() override {
        for (int t = 1; t <= 3; ++t) {
            k->DisconnectServer(static_cast<_eServerType>(t));
            k->SetNotifyWnd(static_cast<_eServerType>(t), m_notify.hwnd());
        }
        CCommKernelData* d = k->m_pData;
        d->m_nCurRoomId = kRoom;
        d->m_LocalUser.userId = kLocalUser;
        d->m_LocalUser.password = "logonpw";
        d->m_LocalUser.forbidCarryToMic = true;
        d->m_nLogonWord = 0x01020304;
        d->m_CurLogonUserData = {};
        d->m_CurLogonUserData.nUserId = 123456;
        std::strcpy(d->m_CurLogonUserData.szPassword, "secret");
        d->m_CurJoinRoomUserData = {};
        d->m_CurJoinRoomUserData.nRoomId = kRoom;
        d->m_CurJoinRoomUserData.nValue2 = 5;
        std::strcpy(d->m_CurJoinRoomUserData.szPassword, "roompw");
    }

    void TearDown() override {
        for (int t = 1; t <= 3; ++t) {
            k->DisconnectServer(static_cast<_eServerType>(t));
            k->SetNotifyWnd(static_cast<_eServerType>(t), nullptr);
        }
        m_notify.Drain();
    }

    static tag_ServerAddr* Table(int type) {
        CCommKernelData* d = k->m_pData;
        return type == 1   ? d->m_pLogonSvrTable
               : type == 2 ? d->m_pLobbySvrTable
                           : d->m_pRoomGateTable;
    }
    static void PointAt(int type, int index, uint16_t port) {
        tag_ServerAddr& e = Table(type)[index];
        std::memset(&e, 0, sizeof e);
        std::strcpy(e.szHost, "127.0.0.1");
        e.wPort = port;
    }
    static CTMLSocket& Sock(int type) { return k->m_pSockets[type - 1]; }

    // Waits until the server holds exactly `n` bytes on its last connection.
    static bool ReceivedAll(const TcpStandIn& s, size_t n) {
        return Pump([&] { return s.ReceivedCount() >= n; }) && s.ReceivedCount() == n;
    }

    int CountPosted(UINT msg) {
        int n = 0;
        for (const Posted& p : m_notify.posted()) n += p.msg == msg;
        return n;
    }

    Bytes LogonFrame() const {
        return FrameBytes(103, 3)
            .i32(123456)
            .i32(0x01020304)
            .i32(static_cast<int32_t>(_time64(nullptr)))
            .text("secret", 36)
            .raw(kMachineData, 19)
            .u8(0)
            .text(MacText().c_str(), 22)
            .bytes();
    }
    Bytes JoinFrame() const {
        return FrameBytes(105, 25)
            .i32(kLocalUser)
            .i32(kRoom)
            .i32(5)
            .text("logonpw", 36)
            .text("roompw", 17)
            .raw(kMachineData, 19)
            .u8(0)
            .text(MacText().c_str(), 20)
            .bytes();
    }

    // Opens the room connection with the join request and forgets its bytes.
    void JoinRoom(TcpStandIn& server) {
        PointAt(3, 1, server.port());
        k->SendMsg_JoinRoomReq2(1);
        ASSERT_TRUE(Pump([&] { return k->IsConnected(SERVER_TYPE_ROOM); }));
        ASSERT_TRUE(ReceivedAll(server, 14 + 115));
        server.ClearReceived();
    }

    static CCommKernel* k;
    RecorderWindow m_notify;
};

CCommKernel* KernelTest::k = nullptr;

TEST_F(KernelTest, SelfConnectingRequestsSendHelloFirstOnlyOnAFreshConnection) {
    winplat::InstallManualClock(1391418307);
    tag_CMDSetUserProfileReq profile{};
    profile.userId = kLocalUser;
    profile.faceId = 12;
    std::strcpy(profile.alias, "nick");
    profile.sex = 1;
    tag_CMDSetUserPwdReq pwd{};
    pwd.userId = kLocalUser;
    std::strcpy(pwd.oldPassword, "old");
    std::strcpy(pwd.newPassword, "new");
    pwd.kind = 1;
    char text[] = "hello";

    struct Case {
        const char* name;
        int type;
        std::function<void()> send;
        Bytes hello;
        Bytes frame;
    };
    const Case cases[] = {
        {"logon", 1, [&] { k->SendMsg_LoginReq2(2); }, Hello(103), LogonFrame()},
        {"join room", 3, [&] { k->SendMsg_JoinRoomReq2(2); }, Hello(105), JoinFrame()},
        {"profile", 2, [&] { k->SendMsg_SetUserProfileReq2(&profile, 2); }, Hello(103),
         FrameBytes(103, 118).i32(kLocalUser).i32(12).u8(1).text("nick", 17).zeros(17).bytes()},
        {"password", 2, [&] { k->SendMsg_SetUserPwdReq2(&pwd, 2); }, Hello(103),
         FrameBytes(103, 120)
             .i32(kLocalUser)
             .u8(1)
             .text("old", 17)
             .text("new", 17)
             .zeros(4)
             .bytes()},
        {"zhingxing", 1, [&] { k->SendMsg_MvZhingxingReq2(7, text, 2); }, Hello(103),
         FrameBytes(103, 122).i32(7).i32(6).raw("hello", 6).bytes()},
        {"kuxin", 1, [&] { k->SendMsg_MvKuxinReq2(9, 2); }, Hello(103),
         FrameBytes(103, 124).i32(9).bytes()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TcpStandIn server;
        PointAt(c.type, 2, server.port());
        c.send();
        ASSERT_TRUE(ReceivedAll(server, c.hello.size() + c.frame.size()));
        EXPECT_EQ(server.Received(), Cat(c.hello, c.frame));
        EXPECT_TRUE(k->IsConnected(static_cast<_eServerType>(c.type)));
        EXPECT_TRUE(Sock(c.type).m_lstPending.empty());

        // Connected now: only the request goes, on the same connection.
        c.send();
        ASSERT_TRUE(ReceivedAll(server, c.hello.size() + 2 * c.frame.size()));
        EXPECT_EQ(Tail(server.Received(), c.frame.size()), c.frame);
        EXPECT_EQ(server.Connections(), 1);
        k->DisconnectServer(static_cast<_eServerType>(c.type));
    }
    winplat::RemoveManualClock();
}

// Password fields filled to their last byte, without a terminator: the wider
// fields of the frames take them and no byte that follows them in memory.
TEST_F(KernelTest, FullPasswordFieldsAreReadNoFurtherThanTheirRecords) {
    winplat::InstallManualClock(1391418307);
    CCommKernelData* d = k->m_pData;
    std::memset(d->m_CurLogonUserData.szPassword, 'L', sizeof d->m_CurLogonUserData.szPassword);
    std::memset(d->m_CurJoinRoomUserData.szPassword, 'R',
                sizeof d->m_CurJoinRoomUserData.szPassword);
    d->m_CurJoinRoomUserData.nReserved = 0x7F7F7F7F;
    d->m_LocalUser.password = std::string(40, 'U');
    const Bytes logon = FrameBytes(103, 3)
                            .i32(123456)
                            .i32(0x01020304)
                            .i32(1391418307)
                            .raw(std::string(20, 'L').data(), 20)
                            .zeros(16)
                            .raw(kMachineData, 19)
                            .u8(0)
                            .text(MacText().c_str(), 22)
                            .bytes();
    const Bytes join = FrameBytes(105, 25)
                           .i32(kLocalUser)
                           .i32(kRoom)
                           .i32(5)
                           .text(std::string(35, 'U').c_str(), 36)
                           .text(std::string(16, 'R').c_str(), 17)
                           .raw(kMachineData, 19)
                           .u8(0)
                           .text(MacText().c_str(), 20)
                           .bytes();
    TcpStandIn logonServer, roomServer;
    PointAt(1, 0, logonServer.port());
    PointAt(3, 0, roomServer.port());
    k->SendMsg_LoginReq2(0);
    k->SendMsg_JoinRoomReq2(0);
    ASSERT_TRUE(ReceivedAll(logonServer, 14 + 100));
    ASSERT_TRUE(ReceivedAll(roomServer, 14 + 115));
    EXPECT_EQ(Tail(logonServer.Received(), 100), logon);
    EXPECT_EQ(Tail(roomServer.Received(), 115), join);
    winplat::RemoveManualClock();
}

std::string g_trace;
void CaptureTrace(const char* text) {
    g_trace += text;
}

TEST_F(KernelTest, LogonTracesItsStepsAndARefusalItsErrorText) {
    winplat::SetDebugOutputHook(CaptureTrace);
    g_trace.clear();
    TcpStandIn server;
    PointAt(1, 2, server.port());
    const std::string port = std::to_string(server.port());
    k->SendMsg_LoginReq2(2);
    ASSERT_TRUE(Pump([&] { return k->IsConnected(SERVER_TYPE_LOGON); }));
    k->SendMsg_LoginReq2(2);
    const std::string steps[] = {
        "  tag_logon: step3: SendMsg_LoginReq2...serverIndex=2\n",
        "  tag_logon: step4: ConnectServer...addr=127.0.0.1, port=" + port + "\n",
        "  tag_tmlsocket:ConnectToServer: addr=127.0.0.1, port=" + port + "\n\n",
        "  tag_logon: step2: SendMsg_LoginReq2...\n",
    };
    size_t at = 0;
    for (const auto& step : steps) {
        at = g_trace.find(step, at);
        EXPECT_NE(at, std::string::npos) << step;
        if (at == std::string::npos) break;
    }

    k->DisconnectServer(SERVER_TYPE_LOGON);
    testsupport::RefusingPort refusing;
    PointAt(1, 3, refusing.port());
    g_trace.clear();
    k->SendMsg_LoginReq2(3);
    ASSERT_TRUE(Pump([&] { return !k->IsConnecting(SERVER_TYPE_LOGON); }));
    winplat::SetDebugOutputHook(nullptr);
    EXPECT_NE(
        g_trace.find("Addresses in the specified family cannot be used with this socket. 1\n"),
        std::string::npos);
}

TEST_F(KernelTest, LobbyRequestsWhileConnectingQueueBehindOneHello) {
    TcpStandIn server;
    PointAt(2, 0, server.port());
    tag_CMDSetUserProfileReq profile{};
    profile.userId = 3;
    tag_CMDSetUserPwdReq pwd{};
    pwd.userId = 4;
    k->SendMsg_SetUserProfileReq2(&profile, 0);
    ASSERT_TRUE(k->IsConnecting(SERVER_TYPE_LOBBY));
    k->SendMsg_SetUserPwdReq2(&pwd, 0);
    EXPECT_EQ(Sock(2).m_lstPending.size(), 3u);

    const Bytes expected = Cat(Cat(Hello(103), FrameBytes(103, 118).i32(3).zeros(39).bytes()),
                               FrameBytes(103, 120).i32(4).zeros(39).bytes());
    ASSERT_TRUE(ReceivedAll(server, expected.size()));
    EXPECT_EQ(server.Received(), expected);

    // The lobby keep-alive goes on the same connection.
    k->SendMsg_LobbyPingReq();
    ASSERT_TRUE(ReceivedAll(server, expected.size() + 18));
    EXPECT_EQ(Tail(server.Received(), 18), FrameBytes(104, 2).i32(kLocalUser).i32(0).bytes());
}

TEST_F(KernelTest, RoomRequestsHaveTheirExactBytes) {
    TcpStandIn server;
    JoinRoom(server);

    tag_CMDUserKickoutRoomInfo kick{kRoom, kLocalUser, 77, 0, 3};
    tag_CMDRoomChatMsg chat{};
    chat.roomId = kRoom;
    chat.senderId = kLocalUser;
    chat.targetId = 0;
    chat.senderLevel = 4;
    chat.kind = 15;
    chat.textLen = 5;
    std::strcpy(chat.senderAlias, "me");
    std::strcpy(chat.targetAlias, "you");
    std::strcpy(chat.roomName, "room");
    std::memcpy(chat.text, "hi!!\0", 5);
    tag_CMDTradeGiftRecord gift{};
    gift.roomId = kRoom;
    gift.senderId = kLocalUser;
    gift.targetId = 2;
    gift.giftId = 300;
    gift.count = 9;
    gift.flag0 = 2;
    gift.anonymous = 1;
    gift.flag3 = 1;
    std::strcpy(gift.senderAlias, "me");
    std::strcpy(gift.targetAlias, "you");
    std::strcpy(gift.words, "thanks");
    tag_CMDRoomMediaInfo media{};
    media.roomId = kRoom;
    media.userId = kLocalUser;
    std::strcpy(media.mediaAddr, "1.2.3.4:5000");
    tag_CMDUserMicState mic{kRoom, kLocalUser, 55, 2, 1};
    tag_CMDUserAliasState alias{kRoom, kLocalUser, 14, {}};
    std::strcpy(alias.alias, "nick");
    tag_CMDUserPriority prio{kRoom, kLocalUser, 66, 1, 2};
    tag_CMDThrowUserInfo thr{kRoom, kLocalUser, 77, 2, 0x0B, 8, 1, {}};
    thr.reserved[59] = 0xA5;
    tag_CMDFavoriteRoomReq fav{kRoom, kLocalUser};
    tag_CMDChangePubMicStateReq pub{kRoom, kLocalUser, 2, 1, -3};
    tag_CMDOperateWaitMic wait{kRoom, kLocalUser, 44, 3, -2};
    tag_CMDSetRoomInfoReq info{};
    info.roomId = kRoom;
    info.userId = kLocalUser;
    info.creatorId = 9;
    for (int i = 0; i < 4; ++i) info.deputyOwnerIds[i] = 20 + i;
    info.passwordFlag = 1;
    std::strcpy(info.roomName, "name");
    std::strcpy(info.password, "pw");
    tag_CMDSetRoomOPStatusReq op{kRoom, kLocalUser, 0x91};
    tag_CMDSetRoomNoticeReq notice{};
    notice.roomId = kRoom;
    notice.userId = kLocalUser;
    notice.kind = 3;
    notice.textLen = 3;
    std::memcpy(notice.text, "abcXYZ", 6);  // only textLen bytes travel
    tag_CMDSetUserPwdReq pwd{};
    pwd.userId = kLocalUser;
    std::strcpy(pwd.oldPassword, "o");
    std::strcpy(pwd.newPassword, "n");
    pwd.kind = 1;
    tag_CMDMoneyAndPointOp money{kRoom, kLocalUser, 8, 500, 2};
    tag_CMDSetRoomWaitMicMaxNumLimit limit{kRoom, kLocalUser, {6, 7}};

    struct Case {
        const char* name;
        std::function<void()> send;
        Bytes frame;
        size_t size;
    };
    const Case cases[] = {
        {"ping", [&] { k->SendMsg_RoomPingReq(); },
         FrameBytes(105, 2).i32(kLocalUser).i32(0).bytes(), 18},
        {"kick out", [&] { k->SendMsg_KickoutUserReq(&kick); },
         FrameBytes(105, 37).i32(kRoom).i32(kLocalUser).i32(77).i32(0).u8(3).bytes(), 27},
        {"chat", [&] { k->SendMsg_RoomChatReq(&chat); },
         FrameBytes(105, 43)
             .i32(kRoom)
             .i32(kLocalUser)
             .i32(0)
             .u8(4)
             .u8(15)
             .u16(5)
             .text("me", 17)
             .text("you", 17)
             .text("room", 17)
             .raw("hi!!\0", 5)
             .bytes(),
         82},
        {"gift", [&] { k->SendMsg_TradeGiftReq(&gift); },
         FrameBytes(105, 46)
             .i32(kRoom)
             .i32(kLocalUser)
             .i32(2)
             .i32(300)
             .i32(9)
             .u8(2)
             .u8(0)
             .u8(1)
             .u8(1)
             .zeros(9)
             .text("me", 17)
             .text("you", 17)
             .text("thanks", 40)
             .bytes(),
         117},
        {"trade fireworks", [&] { k->SendMsg_TradeFireworksReq(0x10209, 3); },
         FrameBytes(105, 54).i32(kRoom).i32(kLocalUser).u16(0x0209).u16(3).u16(0).bytes(), 24},
        {"room media", [&] { k->SendMsg_SetRoomMediaReq(&media); },
         FrameBytes(105, 65).i32(kRoom).i32(kLocalUser).text("1.2.3.4:5000", 128).bytes(), 146},
        {"conn media", [&] { k->SendMsg_RoomConnMediaReq(11, 12, 13); },
         FrameBytes(105, 69).i32(11).i32(kLocalUser).i32(12).u8(13).bytes(), 23},
        {"conn media resp", [&] { k->SendMsg_RoomConnMediaResp(11, 12); },
         FrameBytes(105, 70).i32(11).i32(12).i32(kLocalUser).u8(1).bytes(), 23},
        {"conn media err", [&] { k->SendMsg_RoomConnMediaErr(11, 12); },
         FrameBytes(105, 71).i32(11).i32(12).i32(kLocalUser).u8(1).bytes(), 23},
        {"mic state", [&] { k->SendMsg_SetMicStateReq(&mic); },
         FrameBytes(105, 72).i32(kRoom).i32(kLocalUser).i32(55).u16(2).u8(1).bytes(), 25},
        {"alias", [&] { k->SendMsg_ChangeUserAliasStateReq(&alias); },
         FrameBytes(105, 80).i32(kRoom).i32(kLocalUser).i32(14).text("nick", 17).bytes(), 39},
        {"priority", [&] { k->SendMsg_SetUserPriorityReq(&prio); },
         FrameBytes(105, 84).i32(kRoom).i32(kLocalUser).i32(66).u8(1).u8(2).bytes(), 24},
        {"see ip", [&] { k->SendMsg_SeeUserIpReq(4242); },
         FrameBytes(105, 87).i32(kRoom).i32(kLocalUser).i32(4242).i32(0).bytes(), 26},
        {"black list", [&] { k->SendMsg_AddUserToBlackListReq(&thr); },
         FrameBytes(105, 90)
             .i32(kRoom)
             .i32(kLocalUser)
             .i32(77)
             .u8(2)
             .u8(0x0B)
             .u8(8)
             .u8(1)
             .zeros(59)
             .u8(0xA5)
             .bytes(),
         86},
        {"seal", [&] { k->SendMsg_SendSealReq(31, 0x10007); },
         FrameBytes(105, 93).i32(kLocalUser).i32(kRoom).i32(31).u16(7).u16(0).bytes(), 26},
        {"collect room", [&] { k->SendMsg_CollectRoomReq(&fav); },
         FrameBytes(105, 98).i32(kRoom).i32(kLocalUser).bytes(), 18},
        {"public mic", [&] { k->SendMsg_ChangePubMicStateReq(&pub); },
         FrameBytes(105, 100).i32(kRoom).i32(kLocalUser).u8(2).u8(1).u16(0xFFFD).bytes(), 22},
        {"up wait mic", [&] { k->SendMsg_UpWaitMicReq(5, 6); },
         FrameBytes(105, 103).i32(5).i32(6).bytes(), 18},
        {"wait mic index", [&] { k->SendMsg_OperateWaitMicIndxReq(&wait); },
         FrameBytes(105, 106).i32(kRoom).i32(kLocalUser).i32(44).i32(3).u16(0xFFFE).bytes(), 28},
        {"room base info", [&] { k->SendMsg_SetRoomBaseInfoReq(&info); },
         FrameBytes(105, 112)
             .i32(kRoom)
             .i32(kLocalUser)
             .i32(9)
             .i32(20)
             .i32(21)
             .i32(22)
             .i32(23)
             .i32(1)
             .text("name", 32)
             .text("pw", 17)
             .bytes(),
         91},
        {"room op status", [&] { k->SendMsg_SetRoomOPStatusReq(&op); },
         FrameBytes(105, 114).i32(kRoom).i32(kLocalUser).i32(0x91).bytes(), 22},
        {"room notice", [&] { k->SendMsg_SetRoomNoticeReq(&notice); },
         FrameBytes(105, 116).i32(kRoom).i32(kLocalUser).u8(3).u16(3).raw("abc", 3).bytes(), 24},
        {"password on room", [&] { k->SendMsg_SetUserPwdReq3(&pwd); },
         FrameBytes(105, 120).i32(kLocalUser).u8(1).text("o", 17).text("n", 17).zeros(4).bytes(),
         53},
        {"money", [&] { k->SendMsg_MoneyAndPointOpReq(&money); },
         FrameBytes(105, 126).i32(kRoom).i32(kLocalUser).i32(8).i32(500).u8(2).bytes(), 27},
        {"wait mic limit", [&] { k->SendMsg_SetRoomWaitMicMaxNumLimit(&limit); },
         FrameBytes(105, 130).i32(kRoom).i32(kLocalUser).i32(6).i32(7).bytes(), 26},
        {"forbid invite", [&] { k->SendMsg_SetForbidInviteUpMicReq(); },
         FrameBytes(105, 133).i32(kRoom).i32(kLocalUser).i32(1).bytes(), 22},
        {"open chest", [&] { k->SendMsg_OpenChestReq(0x102); },
         FrameBytes(105, 143).i32(kRoom).i32(kLocalUser).u8(2).bytes(), 19},
        {"exit room", [&] { k->SendMsg_ExitRoomReq(kRoom); },
         FrameBytes(105, 34).i32(kLocalUser).i32(kRoom).bytes(), 18},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        server.ClearReceived();
        c.send();
        ASSERT_EQ(c.frame.size(), c.size);
        ASSERT_TRUE(ReceivedAll(server, c.size));
        EXPECT_EQ(server.Received(), c.frame);
    }
}

TEST_F(KernelTest, OverlongTextsAndMissingRecordsSendNothing) {
    TcpStandIn server;
    JoinRoom(server);
    tag_CMDRoomChatMsg chat{};
    chat.textLen = kRoomChatMaxText + 1;
    k->SendMsg_RoomChatReq(&chat);
    tag_CMDSetRoomNoticeReq notice{};
    notice.textLen = kRoomNoticeMaxText + 1;
    k->SendMsg_SetRoomNoticeReq(&notice);
    k->SendMsg_KickoutUserReq(nullptr);
    chat.textLen = kRoomChatMaxText;  // the largest that fits
    k->SendMsg_RoomChatReq(&chat);
    ASSERT_TRUE(ReceivedAll(server, 77 + kRoomChatMaxText));
    const Bytes got = server.Received();
    EXPECT_EQ(got[0] | got[1] << 8, 77 + kRoomChatMaxText);
}

TEST_F(KernelTest, RoomRequestsWithoutARoomConnectionAreDropped) {
    ASSERT_EQ(Sock(3).m_hSocket, INVALID_SOCKET);
    k->SendMsg_RoomPingReq();
    k->SendMsg_ExitRoomReq(kRoom);
    EXPECT_EQ(Sock(3).m_hSocket, INVALID_SOCKET);
    EXPECT_TRUE(Sock(3).m_lstPending.empty());
    EXPECT_EQ(Sock(3).PendingSendBytes(), 0u);
}

TEST_F(KernelTest, ARoomRequestWhileTheRoomConnectIsUnderWayIsDropped) {
    TcpStandIn server;
    PointAt(3, 0, server.port());
    k->SendMsg_JoinRoomReq2(0);
    ASSERT_TRUE(k->IsConnecting(SERVER_TYPE_ROOM));
    k->SendMsg_RoomPingReq();  // must not go out ahead of the hello frame
    ASSERT_TRUE(Pump([&] { return k->IsConnected(SERVER_TYPE_ROOM); }));
    k->SendMsg_RoomPingReq();
    const Bytes ping = FrameBytes(105, 2).i32(kLocalUser).i32(0).bytes();
    ASSERT_TRUE(ReceivedAll(server, 14 + 115 + 18));
    EXPECT_EQ(server.Received(), Cat(Cat(Hello(105), JoinFrame()), ping));
}

TEST_F(KernelTest, PlayFireworksSendsTheFirstDueRecordToItsRecipients) {
    TcpStandIn server;
    JoinRoom(server);
    auto* room = new CRoomObj();
    room->roomId = kRoom;
    k->m_pData->m_pRoomManager->AddRoom(room);

    std::map<int, CUserObj*> users1{{5, nullptr}, {kLocalUser, nullptr}, {9, nullptr}};
    std::map<int, CUserObj*> users2{{3, nullptr}};
    const int32_t now = static_cast<int32_t>(_time64(nullptr));
    room->fireworks.push_back({kRoom, kLocalUser, now - 1, 209, 0x33});
    room->fireworks.push_back({kRoom, kLocalUser, now - 1, 216, 0x44});
    room->fireworks.push_back({kRoom, kLocalUser, now + 3600, 209, 0x55});

    const Bytes first = FrameBytes(105, 58)
                            .i32(kRoom)
                            .i32(kLocalUser)
                            .u16(209)
                            .u16(0x33)
                            .u16(2)
                            .i32(5)
                            .i32(9)
                            .zeros(4)
                            .bytes();
    const Bytes second =
        FrameBytes(105, 58).i32(kRoom).i32(kLocalUser).u16(216).u16(0x44).u16(1).i32(3).bytes();
    k->SendMsg_PlayFireworksReq(kRoom, &users1, &users2);
    ASSERT_TRUE(ReceivedAll(server, 36));
    EXPECT_EQ(server.Received(), first);
    k->SendMsg_PlayFireworksReq(kRoom, &users1, &users2);
    ASSERT_TRUE(ReceivedAll(server, 36 + 28));
    EXPECT_EQ(Tail(server.Received(), 28), second);

    // The last record is not due yet, and an unknown room has no queue: nothing
    // goes out before the ping that follows.
    k->SendMsg_PlayFireworksReq(kRoom, &users1, &users2);
    k->SendMsg_PlayFireworksReq(kRoom + 1, &users1, &users2);
    k->SendMsg_RoomPingReq();
    ASSERT_TRUE(ReceivedAll(server, 36 + 28 + 18));
    EXPECT_EQ(room->fireworks.size(), 1u);
    k->m_pData->m_pRoomManager->DelRoom(kRoom);
}

TEST_F(KernelTest, PlayFireworksCutsALongRecipientListToOneFrame) {
    TcpStandIn server;
    JoinRoom(server);
    auto* room = new CRoomObj();
    room->roomId = kRoom;
    k->m_pData->m_pRoomManager->AddRoom(room);
    const int32_t now = static_cast<int32_t>(_time64(nullptr));
    // 2,042 ids fill a frame of 8,192 bytes exactly; one more would not fit.
    struct Case {
        int others;
        bool withMe;
        uint32_t length;
        uint16_t count;
    } cases[] = {
        {2042, false, 8192, 2042},
        {2043, false, 8192, 2042},
        {5000, true, 8192, 2042},
        {2041, true, 8192, 2041},  // the local user's slot stays zero at the end
    };
    size_t seen = server.ReceivedCount();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.others);
        std::map<int, CUserObj*> users;
        for (int i = 0; i < c.others; ++i) users[100000 + i] = nullptr;
        if (c.withMe) users[kLocalUser] = nullptr;
        room->fireworks.push_back({kRoom, kLocalUser, now - 1, 209, 1});
        k->SendMsg_PlayFireworksReq(kRoom, &users, nullptr);
        ASSERT_TRUE(ReceivedAll(server, seen + c.length));
        const Bytes got = Tail(server.Received(), c.length);
        uint32_t length = 0;
        std::memcpy(&length, got.data(), 4);
        EXPECT_EQ(length, c.length);
        EXPECT_EQ(static_cast<uint16_t>(got[22] | (got[23] << 8)), c.count);
        int32_t first = 0;
        std::memcpy(&first, &got[24], 4);
        EXPECT_EQ(first, 100000);
        seen += c.length;
    }
    k->m_pData->m_pRoomManager->DelRoom(kRoom);
}

TEST_F(KernelTest, RefusedConnectPostsConnectErrorWithTheTypeAndDropsTheQueue) {
    tag_CMDSetUserProfileReq profile{};
    struct Case {
        int type;
        std::function<void()> send;
    };
    const Case cases[] = {
        {1, [&] { k->SendMsg_LoginReq2(3); }},
        {2, [&] { k->SendMsg_SetUserProfileReq2(&profile, 3); }},
        {3, [&] { k->SendMsg_JoinRoomReq2(3); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        m_notify.posted().clear();
        testsupport::RefusingPort refusing;
        PointAt(c.type, 3, refusing.port());
        c.send();
        ASSERT_TRUE(Pump([&] { return !m_notify.posted().empty(); }));
        ASSERT_EQ(m_notify.posted().size(), 1u);
        EXPECT_EQ(m_notify.posted()[0].msg, static_cast<UINT>(UM_SERVER_CONNECT_ERROR));
        EXPECT_EQ(m_notify.posted()[0].wParam, static_cast<WPARAM>(c.type));
        EXPECT_EQ(m_notify.posted()[0].lParam, 0);
        EXPECT_TRUE(Sock(c.type).m_lstPending.empty());
        EXPECT_EQ(Sock(c.type).m_hSocket, INVALID_SOCKET);
        EXPECT_FALSE(k->IsConnecting(static_cast<_eServerType>(c.type)));
    }
}

TEST_F(KernelTest, ServerClosePostsDisconnectUnlessTheExitRequestSilencedIt) {
    for (bool exitFirst : {false, true}) {
        SCOPED_TRACE(exitFirst ? "after exit request" : "plain close");
        m_notify.posted().clear();
        TcpStandIn server;
        JoinRoom(server);
        if (exitFirst) {
            k->SendMsg_ExitRoomReq(kRoom);
            ASSERT_TRUE(ReceivedAll(server, 18));
        }
        server.CloseConnection();
        ASSERT_TRUE(Pump([&] { return Sock(3).m_hSocket == INVALID_SOCKET; }));
        m_notify.Drain();
        EXPECT_EQ(CountPosted(UM_SERVER_DISCONNECTED), exitFirst ? 0 : 1);
        if (!exitFirst) {
            ASSERT_EQ(m_notify.posted().size(), 1u);
            EXPECT_EQ(m_notify.posted()[0].wParam, 3u);
        }
        EXPECT_FALSE(k->IsConnected(SERVER_TYPE_ROOM));
    }
}

TEST_F(KernelTest, DisconnectByTheProgramPostsNothing) {
    TcpStandIn server;
    JoinRoom(server);
    k->DisconnectServer(SERVER_TYPE_ROOM);
    ASSERT_TRUE(Pump([&] { return server.PeerClosed(); }));
    m_notify.Drain();
    EXPECT_TRUE(m_notify.posted().empty());
}

TEST_F(KernelTest, AConnectThatFailsAtOnceLeavesNothingBehind) {
    // A TCP connect to the broadcast address fails at once, after the socket
    // exists; an empty host fails before there is one.
    for (const char* host : {"255.255.255.255", ""}) {
        SCOPED_TRACE(host);
        tag_ServerAddr& e = Table(2)[1];
        std::memset(&e, 0, sizeof e);
        std::strcpy(e.szHost, host);
        e.wPort = 9;
        tag_CMDSetUserProfileReq profile{};
        profile.userId = 6;
        k->SendMsg_SetUserProfileReq2(&profile, 1);
        EXPECT_EQ(Sock(2).m_hSocket, INVALID_SOCKET);
        EXPECT_TRUE(Sock(2).m_lstPending.empty());

        // The next request connects as if nothing had happened: one hello, and
        // not the request that could not go.
        TcpStandIn server;
        PointAt(2, 1, server.port());
        profile.userId = 7;
        k->SendMsg_SetUserProfileReq2(&profile, 1);
        const Bytes expected = Cat(Hello(103), FrameBytes(103, 118).i32(7).zeros(39).bytes());
        ASSERT_TRUE(ReceivedAll(server, expected.size()));
        EXPECT_EQ(server.Received(), expected);
        k->DisconnectServer(SERVER_TYPE_LOBBY);
    }
}

TEST_F(KernelTest, ConnectWhileConnectingFailsWithoutTouchingTheSocket) {
    TcpStandIn server;
    ASSERT_TRUE(k->ConnectServer(SERVER_TYPE_LOBBY, "127.0.0.1", server.port()));
    ASSERT_TRUE(k->IsConnecting(SERVER_TYPE_LOBBY));
    const SOCKET s = Sock(2).m_hSocket;
    EXPECT_FALSE(k->ConnectServer(SERVER_TYPE_LOBBY, "127.0.0.1", server.port()));
    EXPECT_EQ(Sock(2).m_hSocket, s);
    EXPECT_TRUE(k->IsConnecting(SERVER_TYPE_LOBBY));
    ASSERT_TRUE(Pump([&] { return k->IsConnected(SERVER_TYPE_LOBBY); }));
    EXPECT_FALSE(k->IsConnecting(SERVER_TYPE_LOBBY));
}

TEST_F(KernelTest, ConnectArgumentsOutsideTheirRangesAreRefused) {
    EXPECT_FALSE(k->ConnectServer(SERVER_TYPE_NONE, "127.0.0.1", 1));
    EXPECT_FALSE(k->ConnectServer(static_cast<_eServerType>(4), "127.0.0.1", 1));
    EXPECT_FALSE(k->ConnectServer(SERVER_TYPE_LOGON, 4));
    EXPECT_FALSE(k->ConnectServer(SERVER_TYPE_LOGON, -1));
    EXPECT_FALSE(k->ConnectServer(SERVER_TYPE_LOBBY, "no.such.host.invalid", 1));
    EXPECT_EQ(Sock(2).m_hSocket, INVALID_SOCKET);
}

TEST_F(KernelTest, SetNotifyWndIgnoresTypesOutsideOneToThree) {
    HWND before[3];
    std::memcpy(before, k->m_pNotifyWnds, sizeof before);
    HWND other = reinterpret_cast<HWND>(static_cast<intptr_t>(0x1234));
    k->SetNotifyWnd(SERVER_TYPE_NONE, other);
    k->SetNotifyWnd(static_cast<_eServerType>(4), other);
    EXPECT_EQ(std::memcmp(before, k->m_pNotifyWnds, sizeof before), 0);
    k->SetNotifyWnd(SERVER_TYPE_LOBBY, nullptr);
    EXPECT_EQ(k->m_pNotifyWnds[1], nullptr);
}

TEST_F(KernelTest, PartialSendsAreCompletedInOrderWhenTheServerReadsSlowly) {
    TcpStandIn::Options slow;
    slow.receiveBuffer = 4096;
    slow.readChunk = 1500;
    TcpStandIn server(slow);
    JoinRoom(server);
    server.PauseReading(true);
    // A small send buffer, so that the burst below cannot fit the socket.
    int small = 4096;
    ASSERT_EQ(setsockopt(Sock(3).m_hSocket, SOL_SOCKET, SO_SNDBUF, &small, sizeof small), 0);

    Bytes expected;
    std::unique_ptr<tag_CMDSetRoomNoticeReq> notice(new tag_CMDSetRoomNoticeReq());
    notice->roomId = kRoom;
    notice->userId = kLocalUser;
    notice->textLen = 4000;
    size_t mostPending = 0;
    for (int i = 0; i < 400; ++i) {
        notice->kind = static_cast<uint8_t>(i);
        for (int j = 0; j < 4000; ++j) notice->text[j] = static_cast<char>('a' + (i + j) % 26);
        k->SendMsg_SetRoomNoticeReq(notice.get());
        const Bytes frame = FrameBytes(105, 116)
                                .i32(kRoom)
                                .i32(kLocalUser)
                                .u8(static_cast<uint8_t>(i))
                                .u16(4000)
                                .raw(notice->text, 4000)
                                .bytes();
        expected.insert(expected.end(), frame.begin(), frame.end());
        mostPending = std::max(mostPending, Sock(3).PendingSendBytes());
    }
    // The socket could not take the burst: the rest waited in the kernel.
    EXPECT_GT(mostPending, 0u);

    server.PauseReading(false);
    ASSERT_TRUE(Pump([&] { return server.ReceivedCount() >= expected.size(); }, 30000));
    const Bytes got = server.Received();
    ASSERT_EQ(got.size(), expected.size());
    EXPECT_TRUE(got == expected) << "the stream differs from what was sent";
    EXPECT_EQ(Sock(3).PendingSendBytes(), 0u);
}

}  // namespace
