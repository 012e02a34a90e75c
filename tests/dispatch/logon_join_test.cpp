// A whole logon and a whole join as the program drives them.
#include "dispatch_fixture.h"

#include <malloc.h>

#include <cstring>
#include <string>

#include "kernel/Notifications.h"
#include "model/Privilege.h"
#include "model/RoomGroupManager.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserMVManager.h"
#include "model/UserManager.h"
#include "session/CommKernelData.h"

namespace dispatchtest {
namespace {

namespace answers = testsupport::answers;

std::vector<UINT> Ids(const std::vector<Posted>& posted) {
    std::vector<UINT> ids;
    for (const Posted& p : posted) ids.push_back(p.msg);
    return ids;
}

using LogonTest = SessionTest;

TEST_F(LogonTest, LogonAnswerPrivilegesAndRoomGroups) {
    ConnectLogon();
    Bytes sent = servers.logon().Received();
    ASSERT_EQ(sent.size(), 14u + 100u);
    EXPECT_EQ(sent[6], 103);  // hello, then the logon request 103/3
    EXPECT_EQ(sent[14 + 8], 3);

    answers::LogonOk ok;
    ok.money = 0x123456789LL;
    ok.points = -5;
    ok.accountData[0] = 7;
    ok.accountData[1] = 8;
    ok.userId = kMe;
    ok.logonValue1 = 11;
    ok.logonValue3 = 33;
    ok.logonWord2 = 0x2222;
    ok.versionWord = 0x0100007F;
    ok.faceId = 12;
    for (int i = 0; i < 8; ++i) ok.levels[i] = static_cast<uint8_t>(200 + i);
    ok.sex = 1;
    ok.logonValue2 = 9;
    ok.entryFlag0 = 1;
    ok.alias = std::string(17, 'z');  // fills its field without a NUL
    d->m_LocalUser.forbidCarryToMic = true;
    d->m_LocalUser.giftCounts[3] = 4;

    answers::RoomGroup a{10, 0, 3, 1, 0, "A", "http://a/"};
    answers::RoomGroup b{20, 10, 2, 1, 0, "B", "http://b/"};
    answers::RoomGroup c{30, 20, 4, 1, 0, std::string(20, 'c'), "http://c/"};
    answers::RoomGroup orphan{40, 99, 1, 1, 0, "D", ""};
    Bytes logon = answers::LogonOkAnswer(ok);
    auto posted = PlayLogon(
        {logon,
         answers::PrivilegeListAnswer(
             {{4, 1, 0x050000, 0}, {108, 2, 0x050000, 0x020000}, {4, 1, 0x060000, 0}}),
         answers::RoomGroupAnswer(a), answers::RoomGroupAnswer(b), answers::RoomGroupAnswer(c),
         answers::RoomGroupAnswer(orphan), answers::RoomGroupListEndAnswer()});

    ASSERT_EQ(Ids(posted), (std::vector<UINT>{UM_LOGON_OK, UM_ROOM_GROUP_LIST_END}));
    EXPECT_EQ(posted[0].wParam, 0u);
    EXPECT_TRUE(CopyEquals(posted[0], logon));

    CUserObj& me = d->m_LocalUser;
    EXPECT_EQ(me.money, 0x123456789LL);
    EXPECT_EQ(me.points, -5);
    EXPECT_EQ(me.accountData[0], 7);
    EXPECT_EQ(me.accountData[1], 8);
    EXPECT_EQ(me.userId, kMe);
    EXPECT_EQ(me.logonValue1, 11);
    EXPECT_EQ(me.logonValue2, 9);
    EXPECT_EQ(me.logonValue3, 33);
    EXPECT_EQ(d->m_nLogonWord2, 0x2222);
    EXPECT_EQ(d->m_nVersionWord, 0x0100007F);
    EXPECT_EQ(me.faceId, 12);
    EXPECT_EQ(me.levels[0], 200);
    EXPECT_EQ(me.levels[7], 207);
    EXPECT_EQ(me.sex, 1);
    EXPECT_EQ(me.entryFlag0, 1);
    EXPECT_EQ(me.alias, std::string(17, 'z'));
    EXPECT_FALSE(me.forbidCarryToMic);
    EXPECT_TRUE(me.giftCounts.empty());
    EXPECT_EQ(me.password, "secret");
    EXPECT_EQ(d->m_pUserManager->FindUser(kMe), &me);

    // Privileges go to the temporary table; a repeated id adds a level.
    CUserMVManager* mv = d->m_pUserMVManager;
    EXPECT_EQ(mv->FindPrivilege(PRIVILEGE_TABLE_ACTIVE, 4), nullptr);
    auto* four = dynamic_cast<CNonOOPrivilege*>(mv->FindPrivilege(PRIVILEGE_TABLE_TEMPORARY, 4));
    ASSERT_NE(four, nullptr);
    EXPECT_EQ(four->levels, (std::vector<int>{0x050000, 0x060000}));
    EXPECT_NE(dynamic_cast<COOPrivilege*>(mv->FindPrivilege(PRIVILEGE_TABLE_TEMPORARY, 108)),
              nullptr);

    // Counts rolled up; the orphan dropped; the long name cut to 16 characters.
    CRoomGroupManager* groups = d->m_pRoomGroupManager;
    ASSERT_EQ(groups->groups.size(), 3u);
    EXPECT_EQ(groups->FindRoomGroupData(10)->userNum, 9);
    EXPECT_EQ(groups->FindRoomGroupData(20)->userNum, 6);
    EXPECT_EQ(groups->FindRoomGroupData(30)->userNum, 4);
    EXPECT_EQ(std::string(groups->FindRoomGroupData(30)->groupName), std::string(16, 'c'));
    EXPECT_STREQ(groups->FindRoomGroupData(20)->groupAddress, "http://b/");
    EXPECT_EQ(groups->FindRoomGroupData(40), nullptr);
}

TEST_F(LogonTest, RefusalCarriesTheReasonWords) {
    ConnectLogon();
    auto posted = PlayLogon({answers::LogonFailedAnswer(104, 5, 6)});
    ASSERT_EQ(Ids(posted), std::vector<UINT>{UM_LOGON_FAILED});
    const int32_t* words = reinterpret_cast<const int32_t*>(posted[0].lParam);
    EXPECT_EQ(words[0], 104);
    EXPECT_EQ(words[1], 5);
    EXPECT_EQ(words[2], 6);
}

using JoinTest = SessionTest;

TEST_F(JoinTest, JoinUserListNoticesAndChat) {
    ConnectRoom();
    Bytes sent = servers.room().Received();
    ASSERT_EQ(sent.size(), 14u + 115u);
    EXPECT_EQ(sent[6], 105);
    EXPECT_EQ(sent[14 + 8], 25);

    answers::JoinRoom join;
    join.userId = kMe;
    join.roomId = kRoom;
    join.baseInfoC = 3;
    join.baseFlag = 7;
    join.baseInfoD = 0x1234;
    join.baseInfoB = 44;
    join.roomFlags = 0x90;
    join.ownerId = kUserA;
    join.deputyOwnerIds[2] = kUserB;
    join.money = 1000;
    join.points = 2000;
    join.roomName = "room eighty-eight";
    join.mediaUrl = "1.2.3.4:5000;5.6.7.8:6000;";
    join.joinText = "welcome";
    join.siegeLordId = kUserB;
    join.siegeLadyId = 503;
    join.siegeLordAlias = "lord";
    join.siegeLadyAlias = std::string(17, 'L');

    answers::UserEntry a, other, lady, lord;
    a.userId = kUserA;
    a.roomId = kRoom;
    a.levels[0] = 5;
    a.entryFlag0 = 1;
    a.sex = 1;
    a.micIndex = 3;
    a.roomMgrLevel = 3;
    a.sealId = 9;
    a.entryValue23 = 23;
    a.faceId = 21;
    a.sealExpiry = 31;
    a.flags = 0x1;
    a.entranceEffects = 0x6;
    a.entryValue43 = 43;
    a.entryValue47 = 47;
    a.entryValue51 = 51;
    a.forbidCarryToMic = 5;
    a.alias = "alice";
    other.userId = 601;
    other.roomId = kOtherRoom;
    lady.userId = 503;
    lady.roomId = kRoom;
    lord.userId = kUserB;
    lord.roomId = kRoom;

    Bytes joinFrame = answers::JoinRoomAnswer(join);
    Bytes list = answers::UserListAnswer({a, other, lady});
    answers::ChatLine chat;
    chat.roomId = kRoom;
    chat.senderId = kUserA;
    chat.kind = 0;
    chat.senderAlias = "alice";
    chat.text = "hello <b>room</b>";
    Bytes chatFrame = answers::ChatLineAnswer(chat);
    auto posted = PlayRoom({joinFrame, list, answers::UserEnterAnswer(lord),
                            answers::RoomTextAnswer(kRoom, 0, "before the list end"),
                            answers::UserListEndAnswer(),
                            answers::RoomTextAnswer(kRoom, 1, "after the list end"), chatFrame});

    ASSERT_EQ(Ids(posted), (std::vector<UINT>{UM_JOIN_ROOM_OK, UM_ROOM_USER_LIST, UM_ROOM_USER_LIST,
                                              UM_USER_ENTER_ROOM, UM_ROOM_USER_LIST_END,
                                              UM_ROOM_NOTICE_TEXT, UM_ROOM_CHAT_MSG}));
    EXPECT_EQ(posted[0].wParam, static_cast<WPARAM>(kRoom));
    EXPECT_TRUE(CopyEquals(posted[0], joinFrame));
    // Each accepted entry comes as a list of its own.
    EXPECT_TRUE(CopyEquals(posted[1], answers::UserListAnswer({a})));
    EXPECT_TRUE(CopyEquals(posted[2], answers::UserListAnswer({lady})));
    for (int i : {1, 2, 3}) EXPECT_EQ(posted[i].wParam, static_cast<WPARAM>(kRoom)) << i;
    EXPECT_NE(posted[1].lParam, posted[2].lParam);  // one copy per notification
    EXPECT_EQ(posted[4].wParam, static_cast<WPARAM>(kRoom));
    EXPECT_EQ(posted[5].lParam, 1);
    EXPECT_EQ(posted[6].wParam, 0u);
    EXPECT_TRUE(CopyEquals(posted[6], chatFrame));

    CRoomObj* room = d->m_pRoomManager->FindRoom(kRoom);
    ASSERT_NE(room, nullptr);
    EXPECT_EQ(d->m_nCurRoomId, kRoom);
    EXPECT_EQ(room->baseInfoA, 0);
    EXPECT_EQ(room->baseInfoB, 44);
    EXPECT_EQ(room->baseInfoC, 3);
    EXPECT_EQ(room->baseInfoD, 0x1234);
    EXPECT_TRUE(room->baseFlag);
    EXPECT_EQ(room->roomFlags, 0x90u);
    EXPECT_EQ(room->ownerId, kUserA);
    EXPECT_EQ(room->deputyOwnerIds[2], kUserB);
    EXPECT_EQ(room->roomName, "room eighty-eight");
    EXPECT_EQ(room->joinText, "welcome");
    EXPECT_EQ(d->m_LocalUser.money, 1000);
    EXPECT_EQ(d->m_LocalUser.points, 2000);
    EXPECT_EQ(room->mediaHosts[0], "1.2.3.4");
    EXPECT_EQ(room->mediaPorts[1], 6000);
    EXPECT_EQ(room->mediaPorts[2], 0);
    EXPECT_EQ(room->siege.lordId, kUserB);
    EXPECT_EQ(room->siege.ladyId, 503);
    EXPECT_EQ(std::string(room->siege.ladyAlias), std::string(16, 'L'));
    EXPECT_EQ(room->roomTexts[0], "before the list end");
    EXPECT_EQ(room->roomTexts[1], "after the list end");
    EXPECT_TRUE(room->userListReady);

    // Two of the three listed users, and the one who came in.
    EXPECT_EQ(room->users.size(), 3u);
    EXPECT_EQ(d->m_pUserManager->FindUser(601), nullptr);
    CUserObj* alice = d->m_pUserManager->FindUser(kUserA);
    ASSERT_NE(alice, nullptr);
    EXPECT_EQ(room->FindUser(kUserA), alice);
    EXPECT_EQ(alice->room, room);
    EXPECT_EQ(alice->levels[0], 5);
    EXPECT_EQ(alice->entryFlag0, 1);
    EXPECT_EQ(alice->sex, 1);
    EXPECT_EQ(alice->micIndex, 3);
    EXPECT_EQ(alice->roomMgrLevel, 3);
    EXPECT_EQ(alice->sealId, 9);
    EXPECT_EQ(alice->entryValue23, 23);
    EXPECT_EQ(alice->faceId, 21);
    EXPECT_EQ(alice->sealExpiry, 31);
    EXPECT_EQ(alice->flags, 0x1u);
    EXPECT_EQ(alice->entranceEffects, 0x6u);
    EXPECT_EQ(alice->entryValue43, 43);
    EXPECT_EQ(alice->entryValue47, 47);
    EXPECT_EQ(alice->entryValue51, 51);
    EXPECT_TRUE(alice->forbidCarryToMic);
    EXPECT_EQ(alice->alias, "alice");
    EXPECT_EQ(d->m_pUserManager->FindUser(503)->flags, USER_FLAG_CASTLE_LADY);
    EXPECT_EQ(d->m_pUserManager->FindUser(kUserB)->flags, USER_FLAG_CASTLE_LORD);

    // A rejoin reuses the room object, emptied and refilled.
    FreeCopies();
    join.roomName = "again";
    posted = PlayRoom({answers::JoinRoomAnswer(join)});
    ASSERT_EQ(Ids(posted), std::vector<UINT>{UM_JOIN_ROOM_OK});
    EXPECT_EQ(d->m_pRoomManager->FindRoom(kRoom), room);
    EXPECT_EQ(room->roomName, "again");
    EXPECT_TRUE(room->users.empty());
    EXPECT_FALSE(room->userListReady);
}

TEST_F(JoinTest, AFullUserListPostsEachEntryWithOnlyItsOwnBytes) {
    ConnectRoom();
    answers::JoinRoom join;
    join.userId = kMe;
    join.roomId = kRoom;
    ASSERT_EQ(Ids(PlayRoom({answers::JoinRoomAnswer(join)})), std::vector<UINT>{UM_JOIN_ROOM_OK});
    // 97 entries fill an 8 KB answer; a copy of all of it for each would hold 97 x 8 KB
    // per answer until the window had read them.
    struct Case {
        const char* what;
        int entries;
    } cases[] = {{"one entry", 1}, {"a full answer", 97}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FreeCopies();
        std::vector<answers::UserEntry> entries;
        for (int i = 0; i < c.entries; ++i) {
            answers::UserEntry u;
            u.userId = 7000 + i;
            u.roomId = kRoom;
            u.alias = "u" + std::to_string(i);
            entries.push_back(u);
        }
        const Bytes list = answers::UserListAnswer(entries);
        ASSERT_LE(list.size(), 8192u);
        auto posted = PlayRoom({list});
        ASSERT_EQ(posted.size(), entries.size());
        size_t held = 0;
        for (size_t i = 0; i < posted.size(); ++i) {
            EXPECT_EQ(posted[i].msg, static_cast<UINT>(UM_ROOM_USER_LIST));
            EXPECT_TRUE(CopyEquals(posted[i], answers::UserListAnswer({entries[i]}))) << i;
            held += malloc_usable_size(reinterpret_cast<void*>(posted[i].lParam));
        }
        // The count, one 84-byte entry and the guard, give or take the allocator's rounding.
        EXPECT_LE(held, posted.size() * 128) << "bytes held by the copies of one answer";
    }
}

TEST_F(JoinTest, RefusedJoinIsPostedAsIs) {
    ConnectRoom();
    Bytes refusal = answers::Words(answers::kRoomMain, 26, {kMe, kRoom, 3});
    auto posted = PlayRoom({refusal});
    ASSERT_EQ(Ids(posted), std::vector<UINT>{UM_JOIN_ROOM_FAILED});
    EXPECT_TRUE(CopyEquals(posted[0], refusal));
    EXPECT_EQ(d->m_pRoomManager->FindRoom(kRoom), nullptr);
}

}  // namespace
}  // namespace dispatchtest

namespace dispatchtest {
namespace {

namespace answers = testsupport::answers;

using ThreeServers = SessionTest;

// Logon, lobby and room servers at once: each answer goes to the notify window of
// the connection it came on.
TEST_F(ThreeServers, AnswersReachTheWindowOfTheirConnection) {
    kerneltest::RecorderWindow lobbyWindow, roomWindow;
    k->SetNotifyWnd(SERVER_TYPE_LOBBY, lobbyWindow.hwnd());
    k->SetNotifyWnd(SERVER_TYPE_ROOM, roomWindow.hwnd());
    ConnectLogon();
    ConnectRoom();
    std::strcpy(d->m_pLobbySvrTable[0].szHost, "127.0.0.1");
    d->m_pLobbySvrTable[0].wPort = servers.lobby().port();
    tag_CMDSetUserProfileReq profile{};
    profile.userId = kMe;
    k->SendMsg_SetUserProfileReq2(&profile, 0);
    ASSERT_TRUE(kerneltest::Pump([&] { return servers.lobby().ReceivedCount() >= 14 + 53; }));

    Bytes profileAnswer = answers::Words(answers::kLogonMain, 119, {kMe, 0});
    servers.lobby().Send(profileAnswer);
    servers.room().Send(answers::Words(answers::kRoomMain, 107, {0, 0}));  // no room: nothing
    servers.room().Send(answers::Words(answers::kRoomMain, 128, {}));
    servers.logon().Send(answers::LogonFailedAnswer(103, 0, 0));
    ASSERT_TRUE(kerneltest::Pump([&] {
        return !lobbyWindow.posted().empty() && !roomWindow.posted().empty() &&
               !notify.posted().empty();
    }));
    ASSERT_EQ(lobbyWindow.posted().size(), 1u);
    EXPECT_EQ(lobbyWindow.posted()[0].msg, UM_SET_USER_PROFILE_RESP);
    EXPECT_TRUE(CopyEquals(lobbyWindow.posted()[0], profileAnswer));
    ASSERT_EQ(roomWindow.posted().size(), 1u);
    EXPECT_EQ(roomWindow.posted()[0].msg, UM_MONEY_OP_FAILED);
    ASSERT_EQ(notify.posted().size(), 1u);
    EXPECT_EQ(notify.posted()[0].msg, UM_LOGON_FAILED);
    CCommKernel::free_msgdata(reinterpret_cast<char*>(lobbyWindow.posted()[0].lParam));
}

}  // namespace
}  // namespace dispatchtest
