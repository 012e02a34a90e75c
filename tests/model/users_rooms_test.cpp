#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserManager.h"
#include "model/UserObj.h"
#include "util/FieldSplit.h"

namespace {

constexpr int kOwner = 100;
constexpr int kDeputy = 200;

struct MgrLevelCase {
    const char* what;
    bool inRoom;
    int userId;
    int stored;
    uint32_t flags;
    int expected;
};

TEST(UserObj, RoomMgrLevelFollowsItsOrder) {
    CRoomObj room;
    room.ownerId = kOwner;
    room.deputyOwnerIds[3] = kDeputy;
    const MgrLevelCase cases[] = {
        {"stored 5 beats owner", true, kOwner, 5, 0, 5},
        {"stored 9 beats deputy", true, kDeputy, 9, 0, 9},
        {"owner beats stored 3", true, kOwner, 3, 0, 1},
        {"last deputy slot", true, kDeputy, 0, 0x20, 2},
        {"manager beats temporary flag", true, 7, 3, 0x20, 3},
        {"temporary manager without room", false, kOwner, 0, 0x20, 4},
        {"temporary flag beats stored 12", false, 7, 12, 0x20, 4},
        {"stored 11 kept", false, 7, 11, 0, 11},
        {"stored 6 is none", false, 7, 6, 0, 0},
        {"stored 10 is none", true, 7, 10, 0, 0},
        {"owner id without room is none", false, kOwner, 0, 0, 0},
    };
    for (const auto& c : cases) {
        CUserObj user;
        user.room = c.inRoom ? &room : nullptr;
        user.userId = c.userId;
        user.roomMgrLevel = c.stored;
        user.flags = c.flags;
        EXPECT_EQ(user.GetRoomMgrLevel(), c.expected) << c.what;
    }
}

TEST(UserObj, AnchorLevelsAre21To27) {
    const std::pair<int, int> cases[] = {{20, 0}, {21, 1}, {24, 1}, {27, 1}, {28, 0}, {0, 0}};
    for (const auto& c : cases) {
        CUserObj user;
        user.levels[0] = c.first;
        EXPECT_EQ(user.IsZhubo(), c.second) << "level " << c.first;
    }
}

TEST(UserObj, StartsZeroedAndClearDataEmptiesOnlyTheCounts) {
    CUserObj user;
    EXPECT_EQ(user.money, 0);
    EXPECT_EQ(user.micIndex, 0);
    EXPECT_EQ(user.room, nullptr);
    EXPECT_EQ(user.GetGiftCount(3), 0);
    user.alias = "alias";
    user.giftCounts[3] = 4;
    user.extraCounts[1] = 1;
    EXPECT_EQ(user.GetGiftCount(3), 4);
    user.ClearData();
    EXPECT_TRUE(user.giftCounts.empty());
    EXPECT_TRUE(user.extraCounts.empty());
    EXPECT_EQ(user.alias, "alias");
}

// The session state embeds the local user; the manager must never delete him.
TEST(UserManager, LocalUserSurvivesDelUserAndClearData) {
    CUserObj local;
    local.userId = 1;
    local.alias = "me";
    local.money = 77;
    CUserManager users;
    users.SetLocalUser(&local);
    users.AddUser(&local);
    for (int id : {2, 3}) {
        auto* u = new CUserObj();
        u->userId = id;
        users.AddUser(u);
    }
    users.DelUser(1);  // only unregisters him
    EXPECT_EQ(users.FindUser(1), nullptr);
    users.AddUser(&local);
    users.DelUser(99);  // unknown: nothing
    EXPECT_EQ(users.GetUserList()->size(), 3u);

    users.ClearData();
    EXPECT_TRUE(users.GetUserList()->empty());
    EXPECT_EQ(users.GetLocalUser(), &local);
    EXPECT_EQ(local.alias, "me");
    EXPECT_EQ(local.money, 77);
    users.Uninit();
    EXPECT_EQ(users.GetLocalUser(), nullptr);
}

// Rooms only borrow their members, and a member can still be listed in a room the
// local user left, or name a room that is gone. At shutdown the session empties the
// user map first and then deletes the rooms: neither manager may follow a borrowed
// pointer on the way (the sanitizer build catches it).
TEST(ModelLifetime, ShutdownOrderWithAMemberListedInTwoRooms) {
    CUserObj local;
    local.userId = 1;
    auto* users = new CUserManager();
    auto* rooms = new CRoomManager();
    users->SetLocalUser(&local);
    users->AddUser(&local);
    auto* first = new CRoomObj();
    first->roomId = 10;
    auto* second = new CRoomObj();
    second->roomId = 20;
    rooms->AddRoom(first);
    rooms->AddRoom(second);

    auto* both = new CUserObj();  // met in the first room, then again in the second
    both->userId = 5;
    auto* left = new CUserObj();  // left the second room while still listed in the first
    left->userId = 6;
    for (CUserObj* u : {both, left}) {
        users->AddUser(u);
        first->AddUser(u);
        second->AddUser(u);
        u->room = second;
    }
    second->RemoveUser(6);
    users->DelUser(6);
    EXPECT_EQ(users->FindUser(6), nullptr);
    EXPECT_EQ(second->FindUser(5), both);

    rooms->DelRoom(99);  // unknown: nothing
    rooms->DelRoom(20);  // the remaining member still names it as his room
    EXPECT_EQ(rooms->FindRoom(20), nullptr);

    users->ClearData();
    delete users;
    delete rooms;  // the first room still lists both, now deleted, users
    EXPECT_EQ(local.userId, 1);
}

struct MediaCase {
    const char* url;
    std::vector<std::string> hosts;
    std::vector<int> ports;  // all four
};

TEST(RoomObj, ParseMediaUrlTakesAtMostFourEntries) {
    const MediaCase cases[] = {
        {"1.2.3.4:5000;5.6.7.8:6000;", {"1.2.3.4", "5.6.7.8", "", ""}, {5000, 6000, 0, 0}},
        {"a:1;b:2;c:3;d:4;e:5", {"a", "b", "c", "d"}, {1, 2, 3, 4}},
        {"a;;c:x:9", {"a", "", "c", ""}, {0, 0, 0, 0}},
        {"", {"", "", "", ""}, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        CRoomObj room;
        room.mediaUrl = c.url;
        room.mediaPorts[3] = 99;  // ports are reset first
        room.ParseMediaUrl();
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(room.mediaHosts[i], c.hosts[i]) << c.url << " host " << i;
            EXPECT_EQ(room.mediaPorts[i], c.ports[i]) << c.url << " port " << i;
        }
    }
}

TEST(FieldSplit, KeepsInnerEmptyPiecesAndDropsTheTrailingOne) {
    using V = std::vector<std::string>;
    const std::pair<const char*, V> cases[] = {
        {"a;;b", V{"a", "", "b"}}, {"a;", V{"a"}},    {";a", V{"", "a"}}, {"", V{}},
        {";;", V{"", ""}},         {"abc", V{"abc"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fields::Split(std::string(c.first), ';'), c.second) << c.first;
}

TEST(RoomObj, GiftCountNumbersRepeatedLinesFromTheBase) {
    CRoomObj room;
    CUserObj user;
    user.userId = 4;
    room.AddUser(&user);
    EXPECT_EQ(room.GetUserGiftCount(4, 10, 5), 6);
    EXPECT_EQ(user.GetGiftCount(10), 6);
    EXPECT_EQ(room.GetUserGiftCount(4, 10, 100), 7);
    EXPECT_EQ(room.GetUserGiftCount(4, 11, 0), 1);
    EXPECT_EQ(room.GetUserGiftCount(5, 10, 5), -1);
    // Bases from the wire at the edges of 32 bits never give a negative count.
    EXPECT_EQ(room.GetUserGiftCount(4, 12, 2147483646), 2147483647);
    EXPECT_EQ(room.GetUserGiftCount(4, 12, 0), 2147483647);
    EXPECT_EQ(room.GetUserGiftCount(4, 13, -2), 1);
}

TEST(RoomObj, ClearDataKeepsIdentityAndDropsSessionState) {
    CRoomObj room;
    EXPECT_EQ(room.waitMicIds.capacity(), 100u);
    CUserObj user;
    user.userId = 4;
    room.roomId = 12;
    room.roomName = "room";
    room.userListReady = true;
    room.AddUser(&user);
    room.waitMicIds = {4, 5};
    room.pubMics[9].userId = 4;
    room.mediaPorts[0] = 80;
    room.mediaHosts[0] = "h";
    room.fireworks.push_back({12, 4, 1000, 209, 1});
    room.ClearData();
    EXPECT_FALSE(room.userListReady);
    EXPECT_TRUE(room.users.empty());
    EXPECT_EQ(room.GetWaitMicCount(), 0);
    EXPECT_EQ(room.pubMics[9].userId, 0);
    EXPECT_EQ(room.mediaPorts[0], 0);
    EXPECT_EQ(room.mediaHosts[0], "h");
    EXPECT_EQ(room.roomId, 12);
    EXPECT_EQ(room.fireworks.size(), 1u);
}

TEST(RoomObj, SiegeBlockKeepsItsWireLayoutAndEndsAliases) {
    unsigned char wire[58];
    for (int i = 0; i < 58; ++i) wire[i] = static_cast<unsigned char>('A' + i % 26);
    wire[4] = 7;  // lord id 7
    wire[5] = wire[6] = wire[7] = 0;
    CRoomObj room;
    StoreSiegeBlock(&room.siege, wire, sizeof wire);
    EXPECT_EQ(room.siege.lordId, 7);
    EXPECT_EQ(std::string(room.siege.lordAlias).size(), 16u);
    EXPECT_EQ(std::string(room.siege.ladyAlias).size(), 16u);
    EXPECT_EQ(room.siege.lordAlias[0], static_cast<char>(wire[24]));

    StoreSiegeBlock(&room.siege, wire, 8);  // short block: the rest is zero
    EXPECT_EQ(room.siege.lordId, 7);
    EXPECT_EQ(room.siege.knights, 0);
    EXPECT_EQ(room.siege.lordAlias[0], 0);
}

}  // namespace
