// Rooms of the world: chat between members, leaving and dropping out, room
// passwords, and a second connection of the same user.
#include <cstring>

#include "kernel/CmdRecords.h"
#include "kernel/Notifications.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "session/CommKernelData.h"
#include "world_fixture.h"

namespace worldtest {
namespace {

constexpr uint8_t kPublic = 0;
constexpr uint8_t kPrivate = 15;

// A chat record as the room window fills it, with sender fields the world must not trust.
void KernelChat(CCommKernel* k, int roomId, int targetId, uint8_t kind, const std::string& text) {
    tag_CMDRoomChatMsg rec;
    std::memset(&rec, 0, sizeof rec);
    rec.roomId = roomId;
    rec.senderId = 4242;
    rec.targetId = targetId;
    rec.senderLevel = 9;
    rec.kind = kind;
    rec.textLen = static_cast<uint16_t>(text.size() + 1);
    std::strcpy(rec.senderAlias, "fake");
    std::memcpy(rec.text, text.data(), text.size());
    k->SendMsg_RoomChatReq(&rec);
}

bool AwaitChat(RawClient& c, Frame& f) {
    return c.Await(105, 45, f);
}

TEST_F(WorldTest, ChatReachesTheOtherMembersOnlyWithTheSendersOwnFields) {
    ASSERT_TRUE(KernelLogon(LocalWorld::kMemberId, "111111"));
    ASSERT_TRUE(KernelJoin(LocalWorld::kOpenRoom));
    auto a = RawMember(LocalWorld::kUserId, "222222", LocalWorld::kOpenRoom);
    int guest = 0;
    auto b = RawMember(0, "", LocalWorld::kOpenRoom, &guest);
    ASSERT_TRUE(a && b);

    KernelChat(k, LocalWorld::kOpenRoom, LocalWorld::kUserId, kPrivate, "just for you");
    Frame f;
    ASSERT_TRUE(AwaitChat(*a, f));
    EXPECT_EQ(f.U8(13), kPrivate);
    EXPECT_EQ(f.I32(4), LocalWorld::kMemberId);
    EXPECT_EQ(f.U8(12), LocalWorld::kMemberLevel);  // the sender's level, not the record's
    EXPECT_EQ(f.Text(16, 17), Wire(L"小明"));
    EXPECT_EQ(f.Text(33, 17), Wire(L"阿花"));
    EXPECT_EQ(f.Text(50, 17), Wire(L"闲聊一号"));
    EXPECT_EQ(f.Text(67, f.U16(14)), "just for you");

    // The guest's first chat line is the public one: the private one never came.
    KernelChat(k, LocalWorld::kOpenRoom, 0, kPublic, "hello all");
    ASSERT_TRUE(AwaitChat(*b, f));
    EXPECT_EQ(f.Text(67, f.U16(14)), "hello all");
    ASSERT_TRUE(AwaitChat(*a, f));
    EXPECT_EQ(f.Text(67, f.U16(14)), "hello all");

    // A raw member's line reaches the kernel; the kernel never hears its own lines.
    const size_t from = notify.posted().size();
    a->Send(ChatRequest(LocalWorld::kOpenRoom, LocalWorld::kUserId, 0, kPublic, "", "hi"));
    auto posted = AwaitPosted(UM_ROOM_CHAT_MSG, from);
    ASSERT_TRUE(posted);
    const auto* line = reinterpret_cast<const tag_CMDRoomChatMsg*>(posted->lParam);
    EXPECT_EQ(line->senderId, LocalWorld::kUserId);
    EXPECT_STREQ(line->text, "hi");
    Settle();
    int chats = 0;
    for (const auto& p : notify.posted()) chats += p.msg == UM_ROOM_CHAT_MSG;
    EXPECT_EQ(chats, 1);
}

TEST_F(WorldTest, ExitAndDropAreAnnouncedToTheOthers) {
    ASSERT_TRUE(KernelLogon(LocalWorld::kMemberId, "111111"));
    ASSERT_TRUE(KernelJoin(LocalWorld::kOpenRoom));
    const size_t before = notify.posted().size();
    auto a = RawMember(LocalWorld::kUserId, "222222", LocalWorld::kOpenRoom);
    int guest = 0;
    auto b = RawMember(0, "", LocalWorld::kOpenRoom, &guest);
    ASSERT_TRUE(a && b);
    auto entered = AwaitPosted(UM_USER_ENTER_ROOM, before);
    ASSERT_TRUE(entered);
    EXPECT_EQ(*reinterpret_cast<const int32_t*>(entered->lParam), LocalWorld::kUserId);

    struct Case {
        const char* how;
        RawClient* client;
        int userId;
    } cases[] = {{"exit request", a.get(), LocalWorld::kUserId}, {"dropped", b.get(), guest}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        const size_t from = notify.posted().size();
        if (c.client == a.get())
            c.client->Send(ExitRequest(c.userId, LocalWorld::kOpenRoom));
        else
            c.client->Close();
        auto left = AwaitPosted(UM_USER_EXIT_ROOM, from);
        ASSERT_TRUE(left);
        EXPECT_EQ(*reinterpret_cast<const int32_t*>(left->lParam), c.userId);
        EXPECT_EQ(d->m_pRoomManager->FindRoom(LocalWorld::kOpenRoom)->FindUser(c.userId), nullptr);
    }
    EXPECT_EQ(world->MembersOf(LocalWorld::kOpenRoom), std::vector<int>{LocalWorld::kMemberId});
}

TEST_F(WorldTest, JoinChecksTheLogonTextAndTheRoomPassword) {
    ASSERT_TRUE(RawLogon(LocalWorld::kUserId, "222222", nullptr));
    struct Case {
        int roomId;
        const char* logonText;
        const char* password;
        int code;  // 0: joined
    } cases[] = {
        {LocalWorld::kLockedRoom, "222222", "", LocalWorld::kNeedPassword},
        {LocalWorld::kLockedRoom, "222222", "1234", LocalWorld::kWrongRoomPassword},
        {LocalWorld::kLockedRoom, "222222", "8888", 0},
        {LocalWorld::kOpenRoom, "not-it", "", LocalWorld::kNotLoggedOn},
        {4711, "222222", "", LocalWorld::kUnknownRoom},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.roomId) + " " + c.password);
        RawClient client(world->ports().room, 105);
        client.Send(JoinRequest(LocalWorld::kUserId, c.roomId, c.logonText, c.password));
        Frame f;
        ASSERT_TRUE(client.Next(f));
        if (c.code == 0) {
            EXPECT_EQ(f.subCmd, 27);
            EXPECT_EQ(f.I32(4), c.roomId);
            EXPECT_EQ(f.U16(10), 1) << "the room kind the program picks its layout by";
            // The media list is the world's relay.
            EXPECT_EQ(f.Text(88, 128), "127.0.0.1:" + std::to_string(world->ports().relay));
        } else {
            EXPECT_EQ(f.subCmd, 26);
            EXPECT_EQ(f.I32(8), c.code);
        }
    }
}

TEST_F(WorldTest, JoinListsResidentsAndSendsTheTextsBeforeTheListEnds) {
    ASSERT_TRUE(KernelLogon(LocalWorld::kMemberId, "111111"));
    ASSERT_TRUE(KernelJoin(LocalWorld::kResidentRoom));
    Settle();
    // A notice after the list's end would be shown twice: once from the stored texts
    // when the list completes, once for the notice.
    for (const kerneltest::Posted& p : notify.posted()) EXPECT_NE(p.msg, UM_ROOM_NOTICE_TEXT);
    CRoomObj* room = d->m_pRoomManager->FindRoom(LocalWorld::kResidentRoom);
    ASSERT_NE(room, nullptr);
    EXPECT_EQ(room->users.size(), 3u);
    EXPECT_NE(room->FindUser(20001), nullptr);
    EXPECT_EQ(room->roomTexts[0], Wire(L"常驻成员一直都在。"));
}

TEST_F(WorldTest, SecondConnectionOfTheSameUserPutsOutTheFirst) {
    auto first = RawMember(LocalWorld::kUserId, "222222", LocalWorld::kOpenRoom);
    ASSERT_TRUE(first);
    RawClient second(world->ports().room, 105);
    second.Send(JoinRequest(LocalWorld::kUserId, LocalWorld::kOpenRoom, "222222", ""));
    Frame f;
    ASSERT_TRUE(second.Await(105, 27, f));
    ASSERT_TRUE(first->Await(105, 39, f));
    EXPECT_EQ(f.I32(0), LocalWorld::kOpenRoom);
    EXPECT_EQ(f.I32(8), LocalWorld::kUserId);
    EXPECT_EQ(f.I32(12), LocalWorld::kPutOutReason);
    EXPECT_EQ(world->MembersOf(LocalWorld::kOpenRoom), std::vector<int>{LocalWorld::kUserId});
    // The put-out connection speaks for nobody any more.
    first->Send(ChatRequest(LocalWorld::kOpenRoom, LocalWorld::kUserId, 0, kPublic, "", "ghost"));
    EXPECT_FALSE(second.Await(105, 45, f, 300));
}

}  // namespace
}  // namespace worldtest
