// The room service decoded by the client library's own kernel: the microphone it
// takes, the gift it receives and the kick that puts it out reach its model as the
// program will see them.
#include <cstring>
#include <vector>

#include "kernel/CmdRecords.h"
#include "kernel/Notifications.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserObj.h"
#include "session/CommKernelData.h"
#include "world_fixture.h"

namespace worldtest {
namespace {

TEST_F(WorldTest, KernelHoldsAMicrophoneGetsAGiftAndIsPutOut) {
    ASSERT_TRUE(KernelLogon(LocalWorld::kUserId, "222222"));
    ASSERT_TRUE(KernelJoin(LocalWorld::kOpenRoom));
    auto owner = RawMember(LocalWorld::kMemberId, "111111", LocalWorld::kOpenRoom);
    ASSERT_TRUE(owner);
    CRoomObj* room = d->m_pRoomManager->FindRoom(LocalWorld::kOpenRoom);
    ASSERT_NE(room, nullptr);
    // The microphone table follows the join's answer: wait for it.
    EXPECT_TRUE(kerneltest::Pump([&] { return room->pubMics[2].micType == -2; }))
        << "the managers' microphone, from the table at the join: " << room->pubMics[2].micType;

    size_t from = notify.posted().size();
    tag_CMDUserMicState mic;
    std::memset(&mic, 0, sizeof mic);
    mic.roomId = LocalWorld::kOpenRoom;
    mic.actorId = LocalWorld::kUserId;
    mic.targetId = LocalWorld::kUserId;
    mic.kind = 1;
    mic.micIndex = 0;
    k->SendMsg_SetMicStateReq(&mic);
    ASSERT_TRUE(AwaitPosted(UM_MIC_STATE_CHANGED, from));
    EXPECT_TRUE(kerneltest::Pump([&] { return room->pubMics[0].userId == LocalWorld::kUserId; }));
    Frame f;
    ASSERT_TRUE(owner->Await(105, 75, f));
    EXPECT_EQ(f.I32(8), LocalWorld::kUserId);
    EXPECT_EQ(f.U8(12), 1);
    EXPECT_EQ(f.U8(13), 0);

    from = notify.posted().size();
    owner->Send(RoomRequest(46, 107)
                    .i32(LocalWorld::kOpenRoom)
                    .i32(LocalWorld::kMemberId)
                    .i32(LocalWorld::kUserId)
                    .i32(1)
                    .i32(5)
                    .frame());
    ASSERT_TRUE(AwaitPosted(UM_TRADE_GIFT_NOTIFY, from));
    ASSERT_TRUE(AwaitPosted(UM_MY_WEALTH_CHANGED, from));
    EXPECT_EQ(d->m_LocalUser.points, 50);
    EXPECT_EQ(d->m_LocalUser.money, LocalWorld::kModestCoins);

    from = notify.posted().size();
    owner->Send(RoomRequest(37, 17)
                    .i32(LocalWorld::kOpenRoom)
                    .i32(LocalWorld::kMemberId)
                    .i32(LocalWorld::kUserId)
                    .frame());
    auto kicked = AwaitPosted(UM_USER_KICKED_OUT, from);
    ASSERT_TRUE(kicked);
    EXPECT_EQ(reinterpret_cast<const int32_t*>(kicked->lParam)[2], LocalWorld::kUserId);
    // The table after his microphone was freed: the one of his taking it comes first.
    ASSERT_TRUE(owner->Await(105, 33, f));
    ASSERT_TRUE(owner->Await(105, 33, f));
    EXPECT_EQ(f.I32(8), 0);
}

// The room's name, password and password flag as the settings dialog shows and sends
// them: what the owner sends comes back whole to the kernel's room.
TEST_F(WorldTest, RoomSettingsComeBackAsTheOwnerSentThem) {
    struct Join {
        int roomId;
        const char* password;
        bool flagged;
    } joins[] = {{LocalWorld::kOpenRoom, "", false}, {LocalWorld::kLockedRoom, "8888", true}};
    ASSERT_TRUE(KernelLogon(LocalWorld::kMemberId, "111111"));
    for (const Join& j : joins) {
        SCOPED_TRACE(j.roomId);
        ASSERT_TRUE(KernelJoin(j.roomId, j.password));
        CRoomObj* room = d->m_pRoomManager->FindRoom(j.roomId);
        ASSERT_NE(room, nullptr);
        EXPECT_EQ(room->baseFlag, j.flagged);
        EXPECT_EQ(room->joinText, j.password);
    }
    ASSERT_TRUE(KernelJoin(LocalWorld::kOpenRoom));

    struct Change {
        std::wstring name;
        const char* password;  // empty: no password
    } changes[] = {{L"ABCDEF", ""},
                   {L"闲聊一号★", "4321"},
                   {L"一二三四五六七八九十一二三四五", "abcdefghijklmnop"}};
    for (const Change& c : changes) {
        SCOPED_TRACE(Wire(c.name));
        tag_CMDSetRoomInfoReq info;
        std::memset(&info, 0, sizeof info);
        info.roomId = LocalWorld::kOpenRoom;
        info.userId = LocalWorld::kMemberId;
        info.creatorId = LocalWorld::kMemberId;
        info.passwordFlag = *c.password ? 1 : 0;
        std::strncpy(info.roomName, Wire(c.name).c_str(), sizeof info.roomName - 1);
        std::strncpy(info.password, c.password, sizeof info.password - 1);
        const size_t from = notify.posted().size();
        k->SendMsg_SetRoomBaseInfoReq(&info);
        auto answer = AwaitPosted(UM_SET_ROOM_INFO_RESP, from);
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->lParam, 0) << "accepted";
        ASSERT_TRUE(AwaitPosted(UM_ROOM_INFO_CHANGED, from));
        CRoomObj* room = d->m_pRoomManager->FindRoom(LocalWorld::kOpenRoom);
        ASSERT_NE(room, nullptr);
        EXPECT_EQ(room->roomName, Wire(c.name));
        EXPECT_EQ(room->joinText, c.password);
        EXPECT_EQ(room->baseFlag, *c.password != 0);
    }
}

// Every room of the seed has the same three public microphones: 1 free without a time
// limit, 2 with ten-minute turns, 3 for managers.
TEST_F(WorldTest, EverySeededRoomHasTheThreeKindsOfPublicMicrophone) {
    struct Case {
        int roomId;
        const char* password;
    } cases[] = {
        {LocalWorld::kOpenRoom, ""},
        {LocalWorld::kLockedRoom, "8888"},
        {LocalWorld::kResidentRoom, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.roomId);
        SetUp();
        ASSERT_TRUE(KernelLogon(LocalWorld::kUserId, "222222"));
        ASSERT_TRUE(KernelJoin(c.roomId, c.password));
        CRoomObj* room = d->m_pRoomManager->FindRoom(c.roomId);
        ASSERT_NE(room, nullptr);
        auto types = [&] {
            return std::vector<int>{room->pubMics[0].micType, room->pubMics[1].micType,
                                    room->pubMics[2].micType};
        };
        const std::vector<int> seeded{-1, 10, -2};
        EXPECT_TRUE(kerneltest::Pump([&] { return types() == seeded; }))
            << types()[0] << " " << types()[1] << " " << types()[2];
        TearDown();
    }
}

}  // namespace
}  // namespace worldtest
