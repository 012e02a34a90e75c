// The room service of the world, seen from three raw members of the open room: the
// owner, a plain user and a manager. Each request of a case goes out, then the same
// member sends a barrier every member hears (the world reads a connection in order);
// what each member received in between is exactly the answers the case names.
#include <sstream>

#include "world_fixture.h"

namespace worldtest {
namespace {

constexpr int kRoom = LocalWorld::kOpenRoom;
constexpr int kOwner = LocalWorld::kMemberId;
constexpr int kUser = LocalWorld::kUserId;
constexpr int kManager = LocalWorld::kManagerId;

RoomRequest Mic(int actor, int target, int16_t kind, uint8_t index) {
    return RoomRequest(72, 15).i32(kRoom).i32(actor).i32(target).u16(static_cast<uint16_t>(kind)).u8(index);
}
RoomRequest Gift(int giver, int receiver, int giftId, int count) {
    return RoomRequest(46, 107).i32(kRoom).i32(giver).i32(receiver).i32(giftId).i32(count);
}
RoomRequest MoneyOp(int user, int target, int amount, uint8_t op) {
    return RoomRequest(126, 17).i32(kRoom).i32(user).i32(target).i32(amount).u8(op);
}
RoomRequest Notice(int user, uint8_t index, const std::string& text) {
    return RoomRequest(116, 11).i32(kRoom).i32(user).u8(index).u16(static_cast<uint16_t>(text.size())).text(text, text.size());
}
RoomRequest RoomInfo(int user, const std::string& name) {
    return RoomRequest(112, 81).i32(kRoom).i32(user).i32(kOwner).i32(0).i32(0).i32(0).i32(0).i32(0).text(name, 32);
}
RoomRequest Loudspeaker(int user, const std::string& text) {
    return RoomRequest(43, 67).i32(kRoom).i32(user).i32(0).u8(0).u8(3).u16(static_cast<uint16_t>(text.size() + 1))
        .text("", 51).text(text, text.size() + 1);
}

class WorldServiceTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        owner = RawMember(kOwner, "111111", kRoom);
        user = RawMember(kUser, "222222", kRoom);
        manager = RawMember(kManager, "444444", kRoom);
        ASSERT_TRUE(owner && user && manager);
        Barrier();  // the entrance announcements
    }

    // `by` tells the room he allows being carried to a microphone; every member's
    // answers up to that are returned, as "sub sub ...".
    std::vector<std::string> Barrier(int by = kOwner) {
        Of(by)->Send(RoomRequest(133, 12).i32(kRoom).i32(by).i32(0).frame());
        std::vector<std::string> seen;
        for (RawClient* c : {owner.get(), user.get(), manager.get()}) {
            std::ostringstream subs;
            Frame f;
            while (c->Next(f)) {
                if (f.subCmd == 135 && f.I32(4) == by) break;
                subs << (subs.tellp() > 0 ? " " : "") << f.subCmd;
            }
            seen.push_back(subs.str());
        }
        return seen;
    }
    RawClient* Of(int userId) {
        return userId == kOwner ? owner.get() : userId == kUser ? user.get() : manager.get();
    }

    std::unique_ptr<RawClient> owner, user, manager;
};

struct Case {
    const char* what;
    int actor;
    RoomRequest request;
    std::vector<std::string> heard;  // owner, user, manager
};

TEST_F(WorldServiceTest, EachRequestIsAnsweredToTheMembersItConcerns) {
    const Case cases[] = {
        // Microphones: the state change goes to the room, with the table when a public one changed.
        {"user takes public microphone 1", kUser, Mic(kUser, kUser, 1, 0), {"75 33", "75 33", "75 33"}},
        {"a second microphone is refused", kUser, Mic(kUser, kUser, 1, 1), {"", "74", ""}},
        {"the manager takes the managers' microphone", kManager, Mic(kManager, kManager, 1, 2),
         {"75 33", "75 33", "75 33"}},
        {"user leaves his microphone", kUser, Mic(kUser, kUser, 0, 255), {"75 33", "75 33", "75 33"}},
        {"the managers' microphone is no user's", kUser, Mic(kUser, kUser, 1, 2), {"", "74", ""}},
        {"the owner carries the user to a private one", kOwner, Mic(kOwner, kUser, 2, 255),
         {"75", "75", "75"}},
        {"a user may not put a manager down", kUser, Mic(kUser, kManager, 0, 255), {"", "74", ""}},
        {"a microphone type needs a manager", kUser, RoomRequest(100, 12).i32(kRoom).i32(kUser).u8(1).u8(1).u16(0),
         {"", "128", ""}},
        {"the manager closes microphone 2", kManager, RoomRequest(100, 12).i32(kRoom).i32(kManager).u8(1).u8(1).u16(0),
         {"102", "102", "102"}},
        // The wait queue.
        {"user queues", kUser, RoomRequest(103, 8).i32(kRoom).i32(kUser), {"42", "104 42", "42"}},
        {"user queues twice", kUser, RoomRequest(103, 8).i32(kRoom).i32(kUser), {"42", "104 42", "42"}},
        {"the manager moves the user's second turn first", kManager,
         RoomRequest(106, 18).i32(kRoom).i32(kManager).i32(kUser).i32(2).u16(3), {"42", "108 42", "107 42"}},
        {"a user may not reorder others", kUser,
         RoomRequest(106, 18).i32(kRoom).i32(kUser).i32(kManager).i32(1).u16(3), {"", "107", ""}},
        {"user cancels all his turns", kUser, RoomRequest(106, 18).i32(kRoom).i32(kUser).i32(kUser).i32(1).u16(0xFFFE),
         {"42", "107 42", "42"}},
        // Money: the room sees the gift, giver and receiver their balances.
        {"the owner gives five roses", kOwner, Gift(kOwner, kUser, 1, 5), {"49 62", "49 62", "49"}},
        {"a yacht is beyond the user's coins", kUser, Gift(kUser, kOwner, 11, 1), {"", "48", ""}},
        {"no gift to oneself", kUser, Gift(kUser, kUser, 1, 1), {"", "48", ""}},
        {"user seals the owner", kUser, RoomRequest(93, 16).i32(kUser).i32(kRoom).i32(kOwner).u16(3).u16(0),
         {"95", "95 62", "95"}},
        {"no seal for a stranger", kUser, RoomRequest(93, 16).i32(kUser).i32(kRoom).i32(4711).u16(3).u16(0),
         {"", "94", ""}},
        {"the owner buys big fireworks", kOwner, RoomRequest(54, 14).i32(kRoom).i32(kOwner).u16(209).u16(1),
         {"55 62", "", ""}},
        {"the others pick them up", kOwner,
         RoomRequest(58, 14).i32(kRoom).i32(kOwner).u16(209).u16(1).u16(2).i32(kUser).i32(kManager),
         {"59", "59 57 62", "59 57 62"}},
        {"a loudspeaker line reaches everybody", kOwner, Loudspeaker(kOwner, "hello world"),
         {"61 62", "61", "61"}},
        {"user exchanges beans", kUser, MoneyOp(kUser, 0, 10, 4), {"", "129 62", ""}},
        {"more beans than he has", kUser, MoneyOp(kUser, 0, 1000000, 4), {"", "128", ""}},
        {"the owner transfers coins to the user", kOwner, MoneyOp(kOwner, kUser, 100, 3),
         {"129 62", "129 62", ""}},
        {"user opens a treasure box", kUser, RoomRequest(143, 9).i32(kRoom).i32(kUser).u8(0), {"", "144 62", ""}},
        // Administration: refused without the rank, else answered and the room told.
        {"a user may not see addresses", kUser, RoomRequest(87, 16).i32(kRoom).i32(kUser).i32(kOwner),
         {"", "128", ""}},
        {"the manager sees the user's address", kManager, RoomRequest(87, 16).i32(kRoom).i32(kManager).i32(kUser),
         {"", "", "88"}},
        {"the manager sets the first room text", kManager, Notice(kManager, 0, "welcome"), {"67", "67", "117 67"}},
        {"a user may not set the run state", kUser, RoomRequest(114, 12).i32(kRoom).i32(kUser).i32(0x80),
         {"", "115", ""}},
        {"the owner sets the run state", kOwner, RoomRequest(114, 12).i32(kRoom).i32(kOwner).i32(0x80),
         {"115 68", "68", "68"}},
        {"the owner renames the room", kOwner, RoomInfo(kOwner, "renamed"), {"113 63", "63", "63"}},
        {"the manager may not rename it", kManager, RoomInfo(kManager, "mine"), {"", "", "113"}},
        {"the owner moves the media", kOwner, RoomRequest(65, 136).i32(kRoom).i32(kOwner).text("127.0.0.1:9", 128),
         {"66", "66", "66"}},
        {"the owner names the user a temporary manager", kOwner,
         RoomRequest(84, 14).i32(kRoom).i32(kOwner).i32(kUser).u8(1).u8(2), {"86", "86", "86"}},
        {"only the owner names managers", kManager,
         RoomRequest(84, 14).i32(kRoom).i32(kManager).i32(kUser).u8(1).u8(1), {"", "", "128"}},
        // Private video, a face change, and what the world does not know.
        {"a video request reaches its target", kUser, RoomRequest(69, 13).i32(kRoom).i32(kUser).i32(kOwner).u8(1),
         {"69", "", ""}},
        {"the acceptance goes back", kOwner, RoomRequest(70, 13).i32(kRoom).i32(kUser).i32(kOwner).u8(1),
         {"", "70", ""}},
        {"so does a refusal", kOwner, RoomRequest(71, 13).i32(kRoom).i32(kUser).i32(kOwner).u8(1),
         {"", "71", ""}},
        {"a video request to a stranger comes back as not there", kUser,
         RoomRequest(69, 13).i32(kRoom).i32(kUser).i32(4711).u8(1), {"", "70", ""}},
        {"closing a stranger's video needs no answer", kUser,
         RoomRequest(69, 13).i32(kRoom).i32(kUser).i32(4711).u8(3), {"", "", ""}},
        {"a new face reaches the room", kUser, RoomRequest(80, 29).i32(kRoom).i32(kUser).i32(7).text("newface", 17),
         {"83", "83", "83"}},
        {"an unknown request is only logged", kUser, RoomRequest(250, 8).i32(kRoom), {"", "", ""}},
        {"a short request is only logged", kUser, RoomRequest(72, 5).i32(kRoom), {"", "", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Of(c.actor)->Send(c.request.frame());
        EXPECT_EQ(Barrier(c.actor), c.heard);
    }
}

TEST_F(WorldServiceTest, BalancesMoveAsTheWorldAnnouncesThem) {
    const auto [ownerCoins, ownerBeans] = world->BalanceOf(kOwner);
    const auto [userCoins, userBeans] = world->BalanceOf(kUser);
    EXPECT_EQ(ownerCoins, LocalWorld::kRichCoins);
    EXPECT_EQ(userCoins, LocalWorld::kModestCoins);

    owner->Send(Gift(kOwner, kUser, 4, 3).frame());  // 3 diamond rings at 2000
    Frame f;
    ASSERT_TRUE(owner->Await(105, 62, f));
    EXPECT_EQ(f.I32(4), kOwner);
    EXPECT_EQ(static_cast<int64_t>(f.I32(8)), ownerCoins - 6000);
    ASSERT_TRUE(user->Await(105, 49, f));
    EXPECT_EQ(f.I32(12), 4);
    EXPECT_EQ(f.I32(16), 3);
    EXPECT_EQ(f.I32(28), 0) << "rings the receiver had before";
    EXPECT_EQ(f.Text(33, 17), Wire(L"小明"));
    ASSERT_TRUE(user->Await(105, 62, f));
    EXPECT_EQ(static_cast<int64_t>(f.I32(16)), userBeans + 6000);
    EXPECT_EQ(world->BalanceOf(kUser), std::make_pair(userCoins, userBeans + 6000));

    owner->Send(Gift(kOwner, kUser, 4, 2).frame());
    ASSERT_TRUE(user->Await(105, 49, f));
    EXPECT_EQ(f.I32(28), 3);

    // Short by one coin: refused as "not enough money", nothing moves.
    user->Send(Gift(kUser, kOwner, 3, static_cast<int>(userCoins / 50 + 1)).frame());
    ASSERT_TRUE(user->Await(105, 48, f));
    EXPECT_EQ(f.I32(0), LocalWorld::kNotEnoughMoney);
    EXPECT_EQ(world->BalanceOf(kUser).first, userCoins);

    // Lucky gifts: whatever the draw, the giver pays the price and gets what the room is told.
    const int64_t before = world->BalanceOf(kOwner).first;
    owner->Send(Gift(kOwner, kUser, 2, 200).frame());
    do {
        ASSERT_TRUE(owner->Await(105, 49, f));
    } while (f.I32(12) != 2);  // the owner heard his rings too
    int64_t won = 0;
    ASSERT_TRUE(owner->Next(f));
    if (f.subCmd == 60) {
        for (int i = 0; i < f.U16(10); ++i) won += static_cast<int16_t>(f.U16(12 + 2 * i)) * 20;
        ASSERT_TRUE(owner->Await(105, 62, f));
    }
    EXPECT_EQ(f.subCmd, 62);
    EXPECT_EQ(world->BalanceOf(kOwner).first, before - 200 * 20 + won);
}

TEST_F(WorldServiceTest, PutOutAndBlackListedMembersLeaveAndStayOut) {
    Frame f;
    // Nobody puts out his betters.
    manager->Send(RoomRequest(37, 17).i32(kRoom).i32(kManager).i32(kOwner).frame());
    ASSERT_TRUE(manager->Await(105, 128, f));
    user->Send(RoomRequest(37, 17).i32(kRoom).i32(kUser).i32(kManager).frame());
    ASSERT_TRUE(user->Await(105, 128, f));
    EXPECT_EQ(world->MembersOf(kRoom).size(), 3u);

    // The owner puts the user out: the user hears it too, and the room forgets him.
    user->Send(Mic(kUser, kUser, 1, 0).frame());
    owner->Send(RoomRequest(37, 17).i32(kRoom).i32(kOwner).i32(kUser).frame());
    for (RawClient* c : {owner.get(), user.get(), manager.get()}) {
        ASSERT_TRUE(c->Await(105, 39, f));
        EXPECT_EQ(f.I32(4), kOwner);
        EXPECT_EQ(f.I32(8), kUser);
        EXPECT_EQ(f.I32(12), LocalWorld::kKickReason);
    }
    EXPECT_EQ(world->MembersOf(kRoom), (std::vector<int>{kOwner, kManager}));
    EXPECT_EQ(world->PublicMicHolders(kRoom), (std::vector<int>{0, 0, 0})) << "his microphone is free";

    // The black list puts the manager out and keeps him out.
    owner->Send(RoomRequest(90, 76).i32(kRoom).i32(kOwner).i32(kManager).u8(1).frame());
    ASSERT_TRUE(manager->Await(105, 92, f));
    EXPECT_EQ(f.I32(8), kManager);
    ASSERT_TRUE(manager->Await(105, 39, f));
    RawClient again(world->ports().room, 105);
    again.Send(JoinRequest(kManager, kRoom, "444444", ""));
    ASSERT_TRUE(again.Await(105, 26, f));
    EXPECT_EQ(f.I32(8), LocalWorld::kBlackListed);
}

TEST_F(WorldServiceTest, TheAutomaticModeSeatsTheQueueOnAFreedMicrophone) {
    user->Send(Mic(kUser, kUser, 1, 0).frame());
    manager->Send(Mic(kManager, kManager, 1, 2).frame());
    manager->Send(RoomRequest(100, 12).i32(kRoom).i32(kManager).u8(1).u8(1).u16(0).frame());
    Barrier(kUser);
    Barrier(kManager);
    owner->Send(RoomRequest(114, 12).i32(kRoom).i32(kOwner).i32(0x80 | 0x40).frame());
    owner->Send(RoomRequest(103, 8).i32(kRoom).i32(kOwner).frame());
    Barrier(kOwner);
    EXPECT_EQ(world->WaitQueueOf(kRoom), std::vector<int>{kOwner}) << "no microphone was free";

    user->Send(Mic(kUser, kUser, 0, 255).frame());
    const std::vector<std::string> heard = Barrier(kUser);
    EXPECT_EQ(heard[2], "75 33 75 33 42") << "the user's leaving, then the owner's seat";
    EXPECT_EQ(world->PublicMicHolders(kRoom), (std::vector<int>{kOwner, 0, kManager}));
    EXPECT_TRUE(world->WaitQueueOf(kRoom).empty());
}

TEST_F(WorldServiceTest, LateJoinersSeeTheMicrophonesAndTheQueue) {
    user->Send(Mic(kUser, kUser, 1, 0).frame());
    manager->Send(RoomRequest(103, 8).i32(kRoom).i32(kManager).frame());
    Barrier(kManager);
    int guest = 0;
    auto late = RawMember(0, "", kRoom, &guest);
    ASSERT_TRUE(late);
    Frame f;
    ASSERT_TRUE(late->Await(105, 33, f));
    EXPECT_EQ(f.I32(0), 3);
    EXPECT_EQ(f.I32(8), kUser) << "microphone 1's holder";
    ASSERT_TRUE(late->Await(105, 42, f));
    EXPECT_EQ(f.I32(0), 1);
    EXPECT_EQ(f.I32(4), kManager);
}

}  // namespace
}  // namespace worldtest
