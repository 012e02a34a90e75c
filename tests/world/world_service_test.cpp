// The room service of the world, seen from three raw members of the open room: the
// owner, a plain user and a manager. Each request of a case goes out, then the same
// member sends a barrier every member hears (the world reads a connection in order);
// what each member received in between is exactly the answers the case names.
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include <unistd.h>

#include "kernel/CmdRecords.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserObj.h"
#include "session/CommKernelData.h"
#include "win32/text.h"
#include "world_fixture.h"

namespace worldtest {
namespace {

constexpr int kRoom = LocalWorld::kOpenRoom;
constexpr int kOwner = LocalWorld::kMemberId;
constexpr int kUser = LocalWorld::kUserId;
constexpr int kManager = LocalWorld::kManagerId;

// Each request is made by the client's kernel, its record filled as the room window
// fills it; the fixture has a raw member send the bytes the kernel wrote.
using Request = std::function<void()>;

CCommKernel* Kernel() {
    return CCommKernel::GetInstance();
}

Request Mic(int actor, int target, int16_t kind, uint8_t index) {
    return [=] {
        tag_CMDUserMicState r{};
        r.roomId = kRoom;
        r.actorId = actor;
        r.targetId = target;
        r.kind = kind;
        r.micIndex = index;
        Kernel()->SendMsg_SetMicStateReq(&r);
    };
}
Request PubMic(int actor, uint8_t index, uint8_t operation, int16_t value) {
    return [=] {
        tag_CMDChangePubMicStateReq r{};
        r.roomId = kRoom;
        r.userId = actor;
        r.micIndex = index;
        r.operation = operation;
        r.value = value;
        Kernel()->SendMsg_ChangePubMicStateReq(&r);
    };
}
Request Queue(int actor) {
    return [=] { Kernel()->SendMsg_UpWaitMicReq(kRoom, static_cast<unsigned>(actor)); };
}
Request QueueOp(int actor, int target, int position, int16_t operation) {
    return [=] {
        tag_CMDOperateWaitMic r{};
        r.roomId = kRoom;
        r.userId = actor;
        r.targetId = target;
        r.position = position;
        r.operation = operation;
        Kernel()->SendMsg_OperateWaitMicIndxReq(&r);
    };
}
Request Gift(int giver, int receiver, int giftId, int count, const std::string& words = "",
             int roomId = kRoom) {
    return [=] {
        tag_CMDTradeGiftRecord r{};
        r.roomId = roomId;
        r.senderId = giver;
        r.targetId = receiver;
        r.giftId = giftId;
        r.count = count;
        std::strncpy(r.words, words.c_str(), sizeof r.words - 1);
        Kernel()->SendMsg_TradeGiftReq(&r);
    };
}
Request Seal(int target, unsigned sealId) {
    return [=] { Kernel()->SendMsg_SendSealReq(static_cast<unsigned>(target), sealId); };
}
Request MoneyOp(int user, int target, int amount, uint8_t op) {
    return [=] {
        tag_CMDMoneyAndPointOp r{};
        r.roomId = kRoom;
        r.userId = user;
        r.targetId = target;
        r.amount = amount;
        r.operation = op;
        Kernel()->SendMsg_MoneyAndPointOpReq(&r);
    };
}
Request Notice(int user, uint8_t index, const std::string& text) {
    return [=] {
        tag_CMDSetRoomNoticeReq r{};
        r.roomId = kRoom;
        r.userId = user;
        r.kind = index;
        r.textLen = static_cast<uint16_t>(text.size());
        std::memcpy(r.text, text.data(), text.size());
        Kernel()->SendMsg_SetRoomNoticeReq(&r);
    };
}
Request RunState(int user, uint32_t flags) {
    return [=] {
        tag_CMDSetRoomOPStatusReq r{};
        r.roomId = kRoom;
        r.userId = user;
        r.statusFlags = flags;
        Kernel()->SendMsg_SetRoomOPStatusReq(&r);
    };
}
Request RoomInfo(int user, const std::string& name, const std::string& password = "") {
    return [=] {
        tag_CMDSetRoomInfoReq r{};
        r.roomId = kRoom;
        r.userId = user;
        r.creatorId = kOwner;
        r.passwordFlag = password.empty() ? 0 : 1;
        std::strncpy(r.roomName, name.c_str(), sizeof r.roomName - 1);
        std::strncpy(r.password, password.c_str(), sizeof r.password - 1);
        Kernel()->SendMsg_SetRoomBaseInfoReq(&r);
    };
}
Request Chat(int user, uint8_t kind, const std::string& text) {
    return [=] {
        tag_CMDRoomChatMsg r{};
        r.roomId = kRoom;
        r.senderId = user;
        r.kind = kind;
        r.textLen = static_cast<uint16_t>(text.size() + 1);
        std::memcpy(r.text, text.data(), text.size());
        Kernel()->SendMsg_RoomChatReq(&r);
    };
}
Request Loudspeaker(int user, const std::string& text) {
    return Chat(user, 3, text);
}
Request Kick(int actor, int target) {
    return [=] {
        tag_CMDUserKickoutRoomInfo r{};
        r.roomId = kRoom;
        r.actorId = actor;
        r.userId = target;
        Kernel()->SendMsg_KickoutUserReq(&r);
    };
}
Request BlackList(int actor, int target, uint8_t scope) {
    return [=] {
        tag_CMDThrowUserInfo r{};
        r.roomId = kRoom;
        r.userId = actor;
        r.targetId = target;
        r.scope = scope;
        r.sanctions = THROW_KICK_OUT;
        Kernel()->SendMsg_AddUserToBlackListReq(&r);
    };
}
Request Priority(int actor, int target, uint8_t op, uint8_t kind) {
    return [=] {
        tag_CMDUserPriority r{};
        r.roomId = kRoom;
        r.userId = actor;
        r.targetId = target;
        r.operation = op;
        r.kind = kind;
        Kernel()->SendMsg_SetUserPriorityReq(&r);
    };
}
Request Media(int actor, const std::string& list) {
    return [=] {
        tag_CMDRoomMediaInfo r{};
        r.roomId = kRoom;
        r.userId = actor;
        std::strncpy(r.mediaAddr, list.c_str(), sizeof r.mediaAddr - 1);
        Kernel()->SendMsg_SetRoomMediaReq(&r);
    };
}
Request Alias(int user, int faceId, const std::string& alias) {
    return [=] {
        tag_CMDUserAliasState r{};
        r.roomId = kRoom;
        r.userId = user;
        r.faceId = faceId;
        std::strncpy(r.alias, alias.c_str(), sizeof r.alias - 1);
        Kernel()->SendMsg_ChangeUserAliasStateReq(&r);
    };
}
Request Collect(int user) {
    return [=] {
        tag_CMDFavoriteRoomReq r{};
        r.roomId = kRoom;
        r.userId = user;
        Kernel()->SendMsg_CollectRoomReq(&r);
    };
}

// The room's fireworks queue as the kernel holds it after 105/55, due now: the kernel
// plays the front record for the members named.
Request PlayFireworks(int actor, uint16_t giftId, const std::vector<int>& pickers) {
    return [=] {
        CCommKernelData* d = Kernel()->m_pData;
        auto* room = new CRoomObj;
        room->roomId = kRoom;
        room->fireworks.push_back({kRoom, actor, 0, giftId, 1});
        d->m_pRoomManager->AddRoom(room);
        std::vector<CUserObj> users(pickers.size() + 1);
        std::map<int, CUserObj*> byId;
        users[0].userId = actor;  // the player, whom the kernel leaves out
        byId[actor] = &users[0];
        for (size_t i = 0; i < pickers.size(); ++i) {
            users[i + 1].userId = pickers[i];
            byId[pickers[i]] = &users[i + 1];
        }
        Kernel()->SendMsg_PlayFireworksReq(kRoom, &byId, &byId);
        d->m_pRoomManager->DelRoom(kRoom);
    };
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

    // `actor`'s raw connection sends what the kernel writes for `request`.
    void Send(int actor, const Request& request) {
        Of(actor)->Send(KernelWrites(actor, kRoom, request));
    }

    // `by` tells the room he allows being carried to a microphone; every member's
    // answers up to that are returned, as "sub sub ...".
    std::vector<std::string> Barrier(int by = kOwner) {
        Send(by, [] { Kernel()->SendMsg_SetForbidInviteUpMicReq(); });
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
    Request request;
    std::vector<std::string> heard;  // owner, user, manager
};

TEST_F(WorldServiceTest, EachRequestIsAnsweredToTheMembersItConcerns) {
    const Case cases[] = {
        // Microphones: the state change goes to the room, with the table when a public one changed.
        {"user takes public microphone 1",
         kUser,
         Mic(kUser, kUser, 1, 0),
         {"75 33", "75 33", "75 33"}},
        {"a second microphone is refused", kUser, Mic(kUser, kUser, 1, 1), {"", "74", ""}},
        {"the manager takes the managers' microphone",
         kManager,
         Mic(kManager, kManager, 1, 2),
         {"75 33", "75 33", "75 33"}},
        {"user leaves his microphone",
         kUser,
         Mic(kUser, kUser, 0, 255),
         {"75 33", "75 33", "75 33"}},
        {"a user may not seat others", kUser, PubMic(kUser, 0, 2, kManager), {"", "74", ""}},
        {"the owner seats the user on microphone 1",
         kOwner,
         PubMic(kOwner, 0, 2, kUser),
         {"75 33", "75 33", "75 33"}},
        {"user leaves it again", kUser, Mic(kUser, kUser, 0, 255), {"75 33", "75 33", "75 33"}},
        {"the managers' microphone is no user's", kUser, Mic(kUser, kUser, 1, 2), {"", "74", ""}},
        {"the owner carries the user to a private one",
         kOwner,
         Mic(kOwner, kUser, 2, 255),
         {"75", "75", "75"}},
        {"a user may not put a manager down", kUser, Mic(kUser, kManager, 0, 255), {"", "74", ""}},
        {"a microphone type needs a manager", kUser, PubMic(kUser, 1, 1, 0), {"", "128", ""}},
        {"the manager closes microphone 2",
         kManager,
         PubMic(kManager, 1, 1, 0),
         {"102", "102", "102"}},
        // The wait queue.
        {"user queues", kUser, Queue(kUser), {"42", "104 42", "42"}},
        {"user queues twice", kUser, Queue(kUser), {"42", "104 42", "42"}},
        {"the manager moves the user's second turn first",
         kManager,
         QueueOp(kManager, kUser, 2, 3),
         {"42", "108 42", "107 42"}},
        {"a user may not reorder others", kUser, QueueOp(kUser, kManager, 1, 3), {"", "107", ""}},
        {"user cancels all his turns", kUser, QueueOp(kUser, kUser, 1, -2), {"42", "107 42", "42"}},
        // Money: the room sees the gift, giver and receiver their balances.
        {"the owner gives five roses", kOwner, Gift(kOwner, kUser, 1, 5), {"49 62", "49 62", "49"}},
        {"a yacht is beyond the user's coins", kUser, Gift(kUser, kOwner, 11, 1), {"", "48", ""}},
        {"no gift to oneself", kUser, Gift(kUser, kUser, 1, 1), {"", "48", ""}},
        {"user seals the owner", kUser, Seal(kOwner, 3), {"95", "95 62", "95"}},
        {"no seal for a stranger", kUser, Seal(4711, 3), {"", "94", ""}},
        {"the owner buys big fireworks",
         kOwner,
         [] { Kernel()->SendMsg_TradeFireworksReq(209, 1); },
         {"55 62", "", ""}},
        {"the others pick them up",
         kOwner,
         PlayFireworks(kOwner, 209, {kUser, kManager}),
         {"59", "59 57 62", "59 57 62"}},
        {"a loudspeaker line reaches everybody",
         kOwner,
         Loudspeaker(kOwner, "hello world"),
         {"61 62", "61", "61"}},
        {"a loudspeaker line is beyond the user's coins",
         kUser,
         Loudspeaker(kUser, "hi"),
         {"", "128", ""}},
        {"user exchanges beans", kUser, MoneyOp(kUser, 0, 10, 4), {"", "129 62", ""}},
        {"more beans than he has", kUser, MoneyOp(kUser, 0, 1000000, 4), {"", "128", ""}},
        {"the owner transfers coins to the user",
         kOwner,
         MoneyOp(kOwner, kUser, 100, 3),
         {"129 62", "129 62", ""}},
        {"user opens a treasure box",
         kUser,
         [] { Kernel()->SendMsg_OpenChestReq(0); },
         {"", "144 62", ""}},
        // Chat: a public line goes to the others, an announcement to the whole room, its
        // sender too (the program shows none of its own).
        {"a public line reaches the others", kUser, Chat(kUser, 0, "hi"), {"45", "", "45"}},
        {"the owner's announcement reaches him too",
         kOwner,
         Chat(kOwner, 1, "tonight"),
         {"45", "45", "45"}},
        {"so does the manager's", kManager, Chat(kManager, 1, "tonight"), {"45", "45", "45"}},
        {"a user may not announce", kUser, Chat(kUser, 1, "mine"), {"", "128", ""}},
        // Administration: refused without the rank, else answered and the room told.
        {"a user may not see addresses",
         kUser,
         [] { Kernel()->SendMsg_SeeUserIpReq(kOwner); },
         {"", "128", ""}},
        {"the manager sees the user's address",
         kManager,
         [] { Kernel()->SendMsg_SeeUserIpReq(kUser); },
         {"", "", "88"}},
        {"the manager sets the first room text",
         kManager,
         Notice(kManager, 0, "welcome"),
         {"67", "67", "117 67"}},
        {"a user may not set the run state", kUser, RunState(kUser, 0x80), {"", "115", ""}},
        {"the owner sets the run state", kOwner, RunState(kOwner, 0x80), {"115 68", "68", "68"}},
        {"the owner renames the room", kOwner, RoomInfo(kOwner, "renamed"), {"113 63", "63", "63"}},
        {"the manager may not rename it", kManager, RoomInfo(kManager, "mine"), {"", "", "113"}},
        {"the owner moves the media", kOwner, Media(kOwner, "127.0.0.1:9"), {"66", "66", "66"}},
        {"the owner names the user a temporary manager",
         kOwner,
         Priority(kOwner, kUser, 1, 2),
         {"86", "86", "86"}},
        {"only the owner names managers",
         kManager,
         Priority(kManager, kUser, 1, 1),
         {"", "", "128"}},
        // Private video, a face change, the favourites and the keep-alive.
        {"a video request reaches its target",
         kUser,
         [] { Kernel()->SendMsg_RoomConnMediaReq(kRoom, kOwner, 1); },
         {"69", "", ""}},
        {"the acceptance goes back",
         kOwner,
         [] { Kernel()->SendMsg_RoomConnMediaResp(kRoom, kUser); },
         {"", "70", ""}},
        {"so does a refusal",
         kOwner,
         [] { Kernel()->SendMsg_RoomConnMediaErr(kRoom, kUser); },
         {"", "71", ""}},
        {"a video request to a stranger comes back as not there",
         kUser,
         [] { Kernel()->SendMsg_RoomConnMediaReq(kRoom, 4711, 1); },
         {"", "70", ""}},
        {"closing a stranger's video needs no answer",
         kUser,
         [] { Kernel()->SendMsg_RoomConnMediaReq(kRoom, 4711, 3); },
         {"", "", ""}},
        {"a new face reaches the room", kUser, Alias(kUser, 7, "newface"), {"83", "83", "83"}},
        {"a favourite room is the program's own", kUser, Collect(kUser), {"", "", ""}},
        {"a keep-alive is only logged",
         kUser,
         [] { Kernel()->SendMsg_RoomPingReq(); },
         {"", "", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Send(c.actor, c.request);
        EXPECT_EQ(Barrier(c.actor), c.heard);
    }
    // What no kernel writes: a request the world does not know, and one cut short.
    const std::pair<const char*, Bytes> odd[] = {
        {"an unknown request is only logged", RoomRequest(250, 8).i32(kRoom).frame()},
        {"a short request is only logged", RoomRequest(72, 5).i32(kRoom).frame()},
    };
    for (const auto& [what, frame] : odd) {
        SCOPED_TRACE(what);
        user->Send(frame);
        EXPECT_EQ(Barrier(kUser), (std::vector<std::string>{"", "", ""}));
    }
}

TEST_F(WorldServiceTest, BalancesMoveAsTheWorldAnnouncesThem) {
    const auto [ownerCoins, ownerBeans] = world->BalanceOf(kOwner);
    const auto [userCoins, userBeans] = world->BalanceOf(kUser);
    EXPECT_EQ(ownerCoins, LocalWorld::kRichCoins);
    EXPECT_EQ(userCoins, LocalWorld::kModestCoins);

    Send(kOwner, Gift(kOwner, kUser, 4, 3));  // 3 diamond rings at 2000
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

    Send(kOwner, Gift(kOwner, kUser, 4, 2));
    ASSERT_TRUE(user->Await(105, 49, f));
    EXPECT_EQ(f.I32(28), 3);

    // Short by one coin: refused as "not enough money", nothing moves.
    Send(kUser, Gift(kUser, kOwner, 3, static_cast<int>(userCoins / 50 + 1)));
    ASSERT_TRUE(user->Await(105, 48, f));
    EXPECT_EQ(f.I32(0), LocalWorld::kNotEnoughMoney);
    EXPECT_EQ(world->BalanceOf(kUser).first, userCoins);

    // Lucky gifts: whatever the draw, the giver pays the price and gets what the room is told.
    const int64_t before = world->BalanceOf(kOwner).first;
    Send(kOwner, Gift(kOwner, kUser, 2, 200));
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

// The gift strip of every member shows a gift's time and a word gift's words, which
// the answer carries in a 17-byte name: longer words are cut at a whole character.
TEST_F(WorldServiceTest, GiftsCarryTheirWordsAndTime) {
    const struct {
        std::wstring words;
        std::wstring shown;
    } cases[] = {
        {L"", L""},
        {L"生日快乐", L"生日快乐"},
        {L"一二三四五六七八九十一二三四五六七八", L"一二三四五六七八"},
        {L"abcdefghijklmnopqrst", L"abcdefghijklmnop"},
        {L"a一二三四五六七八九", L"a一二三四五六七"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Wire(c.words));
        const int64_t before = std::time(nullptr);
        Send(kOwner, Gift(kOwner, kUser, 1, 1, Wire(c.words)));
        for (RawClient* member : {owner.get(), user.get(), manager.get()}) {
            Frame f;
            ASSERT_TRUE(member->Await(105, 49, f));
            EXPECT_EQ(f.Text(67, 17), Wire(c.shown));
            EXPECT_GE(f.I32(24), before);
            EXPECT_LE(f.I32(24), std::time(nullptr));
        }
    }
}

// The loudspeaker answer has no sender field: its line says who spoke, his alias made
// plain text, and the line costs what the dialog says.
TEST_F(WorldServiceTest, LoudspeakerLinesSayWhoSpokeAndCostWhatTheDialogSays) {
    const struct {
        const char* alias;  // empty: as seeded
        std::string text;
        std::string shown;
    } cases[] = {
        {"", Wire(L"大家好"), Wire(L"小明(10001)：大家好")},
        {"<b>&me", "hi", "&lt;b&gt;&amp;me(10001)" + Wire(L"：") + "hi"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        if (*c.alias) {
            Send(kOwner, Alias(kOwner, 5, c.alias));
            Barrier();
        }
        const int64_t before = world->BalanceOf(kOwner).first;
        Send(kOwner, Loudspeaker(kOwner, c.text));
        for (RawClient* member : {owner.get(), user.get(), manager.get()}) {
            Frame f;
            ASSERT_TRUE(member->Await(105, 61, f));
            EXPECT_EQ(f.I32(0), 3);
            EXPECT_EQ(f.Text(4, f.payload.size() - 4), c.shown);
        }
        EXPECT_EQ(world->BalanceOf(kOwner).first, before - 10000);
    }
}

// A seal costs and lasts what the skin's seal catalog, the one the seal window shows,
// says of it; the user starts with 2000 coins.
TEST_F(WorldServiceTest, SealsCostAndLastWhatTheCatalogSays) {
    const struct {
        unsigned sealId;
        int64_t price;  // 0: refused
        uint16_t minutes;
    } cases[] = {
        {1, 100, 10}, {4, 500, 60}, {5, 1000, 120}, {5, 0, 0} /* 400 coins left */,
        {99, 0, 0},   {0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sealId);
        const int64_t before = world->BalanceOf(kUser).first;
        Send(kUser, Seal(kOwner, c.sealId));
        Frame f;
        if (c.price == 0) {
            ASSERT_TRUE(user->Await(105, 94, f));
            EXPECT_EQ(world->BalanceOf(kUser).first, before);
            continue;
        }
        for (RawClient* member : {owner.get(), user.get(), manager.get()}) {
            ASSERT_TRUE(member->Await(105, 95, f));
            EXPECT_EQ(f.I32(8), kOwner);
            EXPECT_EQ(f.U16(12), c.sealId);
            EXPECT_EQ(f.U16(14), c.minutes);
        }
        EXPECT_EQ(world->BalanceOf(kUser).first, before - c.price);
    }
}

TEST_F(WorldServiceTest, AnExitIsAnnouncedAndFreesTheMicrophone) {
    Send(kUser, Mic(kUser, kUser, 1, 0));
    Barrier(kUser);
    Send(kUser, [] { Kernel()->SendMsg_ExitRoomReq(kRoom); });
    for (RawClient* member : {owner.get(), manager.get()}) {
        Frame f;
        ASSERT_TRUE(member->Await(105, 36, f));
        EXPECT_EQ(f.I32(0), kUser);
        EXPECT_EQ(f.I32(4), kRoom);
        ASSERT_TRUE(member->Await(105, 33, f));
        EXPECT_EQ(f.I32(8), 0) << "microphone 1 is free again";
    }
    EXPECT_EQ(world->MembersOf(kRoom), (std::vector<int>{kOwner, kManager}));
}

// The world's prices are the skin's catalogs, not a copy of them: a skin of other
// prices is what it charges.
TEST_F(WorldTest, PricesAreTheSkinsCatalogs) {
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("mivora-world-skin-" + std::to_string(getpid()));
    const std::filesystem::path skin = root / "MVChat";
    std::filesystem::create_directories(skin / "gift");
    std::filesystem::create_directories(root / "Seal");
    auto writeUtf16 = [](const std::filesystem::path& file, const std::wstring& text) {
        std::u16string units = winplat::WideToUtf16(L"\xFEFF" + text);
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(units.data()),
                   static_cast<std::streamsize>(units.size() * 2));
    };
    writeUtf16(skin / "gift" / "gift.conf", L"gift=1;1;玫瑰;7;0;0;0;0;0;x;y\r\n");
    writeUtf16(root / "Seal" / "seal.conf", L"1,猪头,3,45\r\n");
    world->Stop();
    LocalWorld::Options options;
    options.skinDir = skin.string();
    world = std::make_unique<LocalWorld>(options);
    ASSERT_TRUE(world->Start());
    auto owner = RawMember(kOwner, "111111", kRoom);
    auto user = RawMember(kUser, "222222", kRoom);
    ASSERT_TRUE(owner && user);

    owner->Send(KernelWrites(kOwner, kRoom, Gift(kOwner, kUser, 1, 2)));
    Frame f;
    ASSERT_TRUE(owner->Await(105, 62, f));
    EXPECT_EQ(world->BalanceOf(kOwner).first, LocalWorld::kRichCoins - 14);
    owner->Send(KernelWrites(kOwner, kRoom, Gift(kOwner, kUser, 4, 1)));
    ASSERT_TRUE(owner->Await(105, 48, f)) << "a ring is no gift of this catalog";
    owner->Send(KernelWrites(kOwner, kRoom, Seal(kUser, 1)));
    ASSERT_TRUE(user->Await(105, 95, f));
    EXPECT_EQ(f.U16(14), 45);
    EXPECT_EQ(world->BalanceOf(kOwner).first, LocalWorld::kRichCoins - 14 - 3);
    std::filesystem::remove_all(root);
}

// The residents are listed members of their room: a gift to one goes through and is
// shown with his name; one to nobody listed is still refused.
TEST_F(WorldTest, ResidentsAreGivenToLikeMembers) {
    constexpr int kHere = LocalWorld::kResidentRoom;
    constexpr int64_t kRosePrice = 10;  // gift 1 of the skin's catalog
    auto giver = RawMember(kOwner, "111111", kHere);
    auto other = RawMember(kUser, "222222", kHere);
    ASSERT_TRUE(giver && other);
    const struct {
        int receiver;
        std::wstring alias;
    } cases[] = {{20001, L"常驻甲"}, {20002, L"常驻乙"}};
    int64_t spent = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.receiver);
        giver->Send(KernelWrites(kOwner, kHere, Gift(kOwner, c.receiver, 1, 2, "", kHere)));
        for (RawClient* member : {giver.get(), other.get()}) {
            Frame f;
            ASSERT_TRUE(member->Await(105, 49, f));
            EXPECT_EQ(f.I32(8), c.receiver);
            EXPECT_EQ(f.Text(50, 17), Wire(c.alias));
        }
        Frame wealth;
        ASSERT_TRUE(giver->Await(105, 62, wealth));
        spent += 2 * kRosePrice;
        EXPECT_EQ(world->BalanceOf(kOwner).first, LocalWorld::kRichCoins - spent);
    }
    giver->Send(KernelWrites(kOwner, kHere, Gift(kOwner, 20003, 1, 1, "", kHere)));
    Frame f;
    ASSERT_TRUE(giver->Await(105, 48, f)) << "nobody of that id is listed";
    EXPECT_EQ(world->BalanceOf(kOwner).first, LocalWorld::kRichCoins - spent);
}

TEST_F(WorldServiceTest, PutOutAndBlackListedMembersLeaveAndStayOut) {
    Frame f;
    // Nobody puts out his betters.
    Send(kManager, Kick(kManager, kOwner));
    ASSERT_TRUE(manager->Await(105, 128, f));
    Send(kUser, Kick(kUser, kManager));
    ASSERT_TRUE(user->Await(105, 128, f));
    EXPECT_EQ(world->MembersOf(kRoom).size(), 3u);

    // The owner puts the user out: the user hears it too, and the room forgets him.
    Send(kUser, Mic(kUser, kUser, 1, 0));
    Send(kOwner, Kick(kOwner, kUser));
    for (RawClient* c : {owner.get(), user.get(), manager.get()}) {
        ASSERT_TRUE(c->Await(105, 39, f));
        EXPECT_EQ(f.I32(4), kOwner);
        EXPECT_EQ(f.I32(8), kUser);
        EXPECT_EQ(f.I32(12), LocalWorld::kKickReason);
    }
    EXPECT_EQ(world->MembersOf(kRoom), (std::vector<int>{kOwner, kManager}));
    EXPECT_EQ(world->PublicMicHolders(kRoom), (std::vector<int>{0, 0, 0}))
        << "his microphone is free";

    // The black list puts the manager out and keeps him out.
    Send(kOwner, BlackList(kOwner, kManager, THROW_SCOPE_ROOM));
    ASSERT_TRUE(manager->Await(105, 92, f));
    EXPECT_EQ(f.I32(8), kManager);
    ASSERT_TRUE(manager->Await(105, 39, f));
    RawClient again(world->ports().room, 105);
    again.Send(JoinRequest(kManager, kRoom, "444444", ""));
    ASSERT_TRUE(again.Await(105, 26, f));
    EXPECT_EQ(f.I32(8), LocalWorld::kBlackListed);
    // The lobby tells the user he may not enter the room for 101 only.
    EXPECT_EQ(f.I32(8), 101);
}

TEST_F(WorldServiceTest, TheAutomaticModeSeatsTheQueueOnAFreedMicrophone) {
    Send(kUser, Mic(kUser, kUser, 1, 0));
    Send(kManager, Mic(kManager, kManager, 1, 2));
    Send(kManager, PubMic(kManager, 1, 1, 0));
    Barrier(kUser);
    Barrier(kManager);
    Send(kOwner, RunState(kOwner, 0x80 | 0x40));
    Send(kOwner, Queue(kOwner));
    Barrier(kOwner);
    EXPECT_EQ(world->WaitQueueOf(kRoom), std::vector<int>{kOwner}) << "no microphone was free";

    Send(kUser, Mic(kUser, kUser, 0, 255));
    const std::vector<std::string> heard = Barrier(kUser);
    EXPECT_EQ(heard[2], "75 33 75 33 42") << "the user's leaving, then the owner's seat";
    EXPECT_EQ(world->PublicMicHolders(kRoom), (std::vector<int>{kOwner, 0, kManager}));
    EXPECT_TRUE(world->WaitQueueOf(kRoom).empty());
}

TEST_F(WorldServiceTest, LateJoinersSeeTheMicrophonesAndTheQueue) {
    Send(kUser, Mic(kUser, kUser, 1, 0));
    Send(kManager, Queue(kManager));
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
