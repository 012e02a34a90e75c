// Every further answer, one table: after entering a room (the local user and users A
// and B in it) one answer arrives; the model change and what is posted are checked.
#include <algorithm>
#include <functional>

#include "dispatch_fixture.h"
#include "kernel/Notifications.h"
#include "kernel/dispatch/Dispatch.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserMVManager.h"
#include "model/UserManager.h"
#include "session/CommKernelData.h"

namespace dispatchtest {
namespace {

namespace answers = testsupport::answers;
using answers::kLogonMain;
using answers::kRoomMain;
using answers::Words;

constexpr int64_t kEpoch = 1700000000;

struct Expect {
    UINT msg;
    WPARAM wParam;
    bool copy;      // lParam is a copy of the answer's payload
    LPARAM lParam;  // otherwise its value
};
Expect Copy(UINT msg, WPARAM w) {
    return {msg, w, true, 0};
}
Expect Value(UINT msg, WPARAM w, LPARAM l) {
    return {msg, w, false, l};
}

struct Case {
    const char* name;
    Bytes frame;
    std::vector<Expect> posts;
    std::function<void(CCommKernelData*, CRoomObj*)> check;
};

CUserObj* User(CCommKernelData* d, int id) {
    return d->m_pUserManager->FindUser(id);
}

Bytes Padded(uint16_t mainCmd, uint16_t subCmd, std::initializer_list<int32_t> words, size_t size) {
    answers::Payload p(size);
    size_t at = 0;
    for (int32_t w : words) {
        p.i32(at, w);
        at += 4;
    }
    return answers::Frame(mainCmd, subCmd, p);
}

class AnswerTable : public SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        winplat::InstallManualClock(kEpoch);
    }
    void TearDown() override {
        winplat::RemoveManualClock();
        SessionTest::TearDown();
    }

    void Run(const std::vector<Case>& cases, bool logon = false) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            ResetModel();
            EnterRoom();
            if (logon) ConnectLogon();
            std::string before = ModelDigest(d);
            auto posted = logon ? PlayLogon({c.frame}) : PlayRoom({c.frame});
            // A case that posts nothing and names no change must change nothing.
            if (c.posts.empty() && !c.check) {
                EXPECT_EQ(ModelDigest(d), before);
            }
            ASSERT_EQ(posted.size(), c.posts.size());
            const std::vector<UINT>& named = comm::dispatch::PostedNotifications();
            for (size_t i = 0; i < posted.size(); ++i) {
                SCOPED_TRACE(i);
                EXPECT_EQ(posted[i].msg, c.posts[i].msg);
                // The lists of the kernel and the lobby are checked against that list
                // (tests/lobby/notification_lists_test.cpp): a post it misses escapes them.
                EXPECT_NE(std::find(named.begin(), named.end(), posted[i].msg), named.end())
                    << posted[i].msg << " is posted but not among the dispatch's notifications";
                EXPECT_EQ(posted[i].wParam, c.posts[i].wParam);
                if (c.posts[i].copy) {
                    EXPECT_TRUE(CopyEquals(posted[i], c.frame));
                } else {
                    EXPECT_EQ(posted[i].lParam, c.posts[i].lParam);
                }
            }
            if (c.check) c.check(d, d->m_pRoomManager->FindRoom(kRoom));
            EXPECT_EQ(TakeDispatchTraces(), 0);
            FreeCopies();
        }
    }
};

TEST_F(AnswerTable, UsersOfTheRoom) {
    Run({
        {"36 a user leaves",
         Words(kRoomMain, 36, {kUserA, kRoom}),
         {Copy(UM_USER_EXIT_ROOM, kRoom)},
         [](CCommKernelData* d, CRoomObj* r) {
             EXPECT_EQ(r->FindUser(kUserA), nullptr);
             EXPECT_EQ(User(d, kUserA), nullptr);
         }},
        // The room window lists him and hears nothing: deleting him would leave his
        // rows on a freed object.
        {"36 naming an unknown room leaves a member of the current room alone",
         Words(kRoomMain, 36, {kUserA, kOtherRoom}),
         {},
         nullptr},
        {"36 for a user nobody knows", Words(kRoomMain, 36, {999, kRoom}), {}, nullptr},
        {"39 a user is put out",
         answers::KickedOutAnswer(kRoom, kUserB, kUserA, 522),
         {Copy(UM_USER_KICKED_OUT, kRoom)},
         [](CCommKernelData* d, CRoomObj* r) {
             EXPECT_EQ(r->FindUser(kUserA), nullptr);
             EXPECT_EQ(User(d, kUserA), nullptr);
         }},
        {"39 for a user nobody knows",
         answers::KickedOutAnswer(kRoom, kUserB, 999, 1),
         {},
         nullptr},
        {"39 the local user is put out",
         answers::KickedOutAnswer(kRoom, kUserB, kMe, 107),
         {Copy(UM_USER_KICKED_OUT, kRoom)},
         [](CCommKernelData* d, CRoomObj* r) {
             EXPECT_EQ(r->FindUser(kMe), nullptr);
             EXPECT_EQ(User(d, kMe), nullptr);
             EXPECT_EQ(d->m_LocalUser.userId, kMe);  // the embedded object stays
         }},
        {"39 for an unknown room",
         answers::KickedOutAnswer(kOtherRoom, kUserB, kUserA, 1),
         {},
         [](CCommKernelData* d, CRoomObj*) { EXPECT_NE(User(d, kUserA), nullptr); }},
        {"83 alias and face",
         answers::UserAliasAnswer(kRoom, kUserA, 77, "alicia"),
         {Value(UM_USER_ALIAS_CHANGED, kUserA, 0)},
         [](CCommKernelData* d, CRoomObj*) {
             EXPECT_EQ(User(d, kUserA)->alias, "alicia");
             EXPECT_EQ(User(d, kUserA)->faceId, 77);
         }},
        {"83 for a user not in the room",
         answers::UserAliasAnswer(kRoom, 999, 77, "x"),
         {},
         nullptr},
        {"86 appointed manager",
         answers::UserPriorityAnswer(kRoom, kUserB, kUserA, 1, 1),
         {Copy(UM_USER_PRIORITY_CHANGED, kRoom)},
         [](CCommKernelData* d, CRoomObj*) { EXPECT_EQ(User(d, kUserA)->roomMgrLevel, 3); }},
        {"86 appointed temporary manager",
         answers::UserPriorityAnswer(kRoom, kUserB, kUserA, 1, 2),
         {Copy(UM_USER_PRIORITY_CHANGED, kRoom)},
         [](CCommKernelData* d, CRoomObj*) {
             EXPECT_EQ(User(d, kUserA)->flags & USER_FLAG_TEMP_MANAGER, USER_FLAG_TEMP_MANAGER);
         }},
        {"135 the local user's forbid-invite switch",
         Words(kRoomMain, 135, {kRoom, kMe, 1}),
         {Value(UM_FORBID_INVITE_UP_MIC_RESP, 0, 1)},
         [](CCommKernelData* d, CRoomObj*) { EXPECT_TRUE(d->m_LocalUser.forbidCarryToMic); }},
        {"135 another user's switch is stored, not posted",
         Words(kRoomMain, 135, {kRoom, kUserA, 1}),
         {},
         [](CCommKernelData* d, CRoomObj*) { EXPECT_TRUE(User(d, kUserA)->forbidCarryToMic); }},
        {"88 address answer for the local user",
         Padded(kRoomMain, 88, {kRoom, kMe, kUserA}, 20),
         {Copy(UM_SEE_USER_IP_RESP, 0)},
         nullptr},
        {"88 for someone else", Padded(kRoomMain, 88, {kRoom, kUserA, kUserB}, 20), {}, nullptr},
    });
}

// Removal with kind 2 keeps the stored level; with kind 1 it goes; the temporary
// flag goes with either.
TEST_F(AnswerTable, PriorityRemovalByKind) {
    ResetModel();
    EnterRoom();
    PlayRoom({answers::UserPriorityAnswer(kRoom, kUserB, kUserA, 1, 1),
              answers::UserPriorityAnswer(kRoom, kUserB, kUserA, 1, 2),
              answers::UserPriorityAnswer(kRoom, kUserB, kUserA, 2, 2)});
    EXPECT_EQ(User(d, kUserA)->flags & USER_FLAG_TEMP_MANAGER, 0u);
    EXPECT_EQ(User(d, kUserA)->roomMgrLevel, 3);
    // Removal of the manager rank takes the temporary flag too.
    PlayRoom({answers::UserPriorityAnswer(kRoom, kUserB, kUserA, 1, 2),
              answers::UserPriorityAnswer(kRoom, kUserB, kUserA, 2, 1)});
    EXPECT_EQ(User(d, kUserA)->flags & USER_FLAG_TEMP_MANAGER, 0u);
    EXPECT_EQ(User(d, kUserA)->roomMgrLevel, 0);
}

TEST_F(AnswerTable, AUserWhoMovedRoomsIsForgottenInEveryRoom) {
    ResetModel();
    EnterRoom();
    answers::JoinRoom join;
    join.roomId = kOtherRoom;
    answers::UserEntry a;
    a.userId = kUserA;
    a.roomId = kOtherRoom;
    PlayRoom({answers::JoinRoomAnswer(join), answers::UserListAnswer({a})});
    CRoomObj* first = d->m_pRoomManager->FindRoom(kRoom);
    ASSERT_EQ(first->FindUser(kUserA), User(d, kUserA));  // still listed in the old room
    PlayRoom({Words(kRoomMain, 36, {kUserA, kOtherRoom})});
    EXPECT_EQ(User(d, kUserA), nullptr);
    EXPECT_EQ(first->FindUser(kUserA), nullptr);
    // An answer for the old room finds nobody to write to.
    auto posted = PlayRoom({answers::UserAliasAnswer(kRoom, kUserA, 1, "gone")});
    EXPECT_TRUE(posted.empty());
}

TEST_F(AnswerTable, ALeaveOfAnotherRoomKeepsAMemberOfTheCurrentOne) {
    ResetModel();
    EnterRoom();
    answers::JoinRoom other;
    other.roomId = kOtherRoom;
    answers::UserEntry a;
    a.userId = kUserA;
    a.roomId = kOtherRoom;
    answers::JoinRoom back;
    back.roomId = kRoom;
    answers::UserEntry again = a;
    again.roomId = kRoom;
    // A is listed in the room left before and in the current one, as one object.
    PlayRoom({answers::JoinRoomAnswer(other), answers::UserListAnswer({a}),
              answers::JoinRoomAnswer(back), answers::UserListAnswer({again})});
    CRoomObj* current = d->m_pRoomManager->FindRoom(kRoom);
    CRoomObj* left = d->m_pRoomManager->FindRoom(kOtherRoom);
    CUserObj* user = User(d, kUserA);
    ASSERT_NE(user, nullptr);
    ASSERT_EQ(left->FindUser(kUserA), user);

    auto posted = PlayRoom({Words(kRoomMain, 36, {kUserA, kOtherRoom})});
    EXPECT_TRUE(posted.empty()) << "the current room's window hears nothing";
    EXPECT_EQ(left->FindUser(kUserA), nullptr);
    EXPECT_EQ(current->FindUser(kUserA), user);
    EXPECT_EQ(User(d, kUserA), user);
    FreeCopies();
}

TEST_F(AnswerTable, MicrophonesAndQueue) {
    Run({
        {"33 public microphones, index 12 skipped",
         answers::PublicMicsAnswer({{2, 1, kUserA, 30}, {12, 1, kUserB, 30}}),
         {Value(UM_PUBLIC_MIC_INFO, kRoom, 2)},
         [](CCommKernelData*, CRoomObj* r) {
             EXPECT_EQ(r->pubMics[2].userId, kUserA);
             EXPECT_EQ(r->pubMics[2].micTime, 30);
             EXPECT_EQ(r->pubMics[2].micType, 1);
             EXPECT_EQ(r->pubMics[2].startTime, kEpoch);
         }},
        {"42 wait queue",
         answers::WaitMicListAnswer({kUserB, kMe}),
         {Value(UM_WAIT_MIC_LIST_CHANGED, kRoom, 0)},
         [](CCommKernelData*, CRoomObj* r) {
             EXPECT_EQ(r->waitMicIds, (std::vector<int>{kUserB, kMe}));
         }},
        {"102 type changed by operation 2",
         answers::PublicMicChangedAnswer(kRoom, kUserB, 3, 2, 7, kUserA, 60),
         {Value(UM_PUBLIC_MIC_INFO, kRoom, 3), Copy(UM_PUBLIC_MIC_CHANGED, kRoom)},
         [](CCommKernelData*, CRoomObj* r) {
             EXPECT_EQ(r->pubMics[3].userId, kUserA);
             EXPECT_EQ(r->pubMics[3].micTime, 60);
             EXPECT_EQ(r->pubMics[3].micType, 7);
             EXPECT_EQ(r->pubMics[3].startTime, kEpoch);
         }},
        {"102 other operations leave the type",
         answers::PublicMicChangedAnswer(kRoom, kUserB, 3, 1, 7, kUserA, 60),
         {Value(UM_PUBLIC_MIC_INFO, kRoom, 3), Copy(UM_PUBLIC_MIC_CHANGED, kRoom)},
         [](CCommKernelData*, CRoomObj* r) { EXPECT_EQ(r->pubMics[3].micType, 0); }},
        {"102 index 10 skipped",
         answers::PublicMicChangedAnswer(kRoom, kUserB, 10, 2, 7, 1, 1),
         {},
         nullptr},
        {"104 queued",
         Words(kRoomMain, 104, {kRoom, kMe}),
         {Value(UM_UP_WAIT_MIC_OK, 0, 0)},
         nullptr},
        {"104 for someone else", Words(kRoomMain, 104, {kRoom, kUserA}), {}, nullptr},
        {"105 queue limit",
         Words(kRoomMain, 105, {kRoom, kMe}),
         {Value(UM_UP_WAIT_MIC_LIMIT_EXCEEDED, 0, 0)},
         nullptr},
        {"107 queue operation result",
         Words(kRoomMain, 107, {kRoom, 3}),
         {Value(UM_OPERATE_WAIT_MIC_RESP, 0, 3)},
         nullptr},
        {"108 own queue position",
         Padded(kRoomMain, 108, {kRoom, kUserB, kMe}, 18),
         {Copy(UM_WAIT_MIC_INDEX_CHANGED, 0)},
         nullptr},
        {"108 someone else's", Padded(kRoomMain, 108, {kRoom, kUserB, kUserA}, 18), {}, nullptr},
        {"132 own limit change",
         Words(kRoomMain, 132, {kRoom, kMe, 5, 6}),
         {Value(UM_WAIT_MIC_LIMIT_SET_OK, 0, 0)},
         [](CCommKernelData*, CRoomObj* r) {
             EXPECT_EQ(r->waitMicLimits[0], 5);
             EXPECT_EQ(r->waitMicLimits[1], 6);
         }},
        {"132 another user's",
         Words(kRoomMain, 132, {kRoom, kUserA, 5, 6}),
         {Value(UM_WAIT_MIC_LIMIT_CHANGED, 0, 0)},
         nullptr},
        {"74 microphone refused",
         Words(kRoomMain, 74, {kRoom}),
         {Copy(UM_MIC_STATE_FAILED, kRoom)},
         nullptr},
        {"75 microphone state",
         Padded(kRoomMain, 75, {kRoom, kUserB, kUserA}, 15),
         {Copy(UM_MIC_STATE_CHANGED, kRoom)},
         nullptr},
        {"75 for an unknown room",
         Padded(kRoomMain, 75, {kOtherRoom, kUserB, kUserA}, 15),
         {},
         nullptr},
    });
}

TEST_F(AnswerTable, RoomInformationTextsAndMedia) {
    answers::RoomBaseInfo info;
    info.roomId = kRoom;
    info.baseInfoB = 4;
    info.baseInfoA = 9;
    info.baseFlag = 1;
    info.baseInfoD = 300;
    info.ownerId = kUserB;
    info.deputyOwnerIds[3] = kUserA;
    info.roomFlags = 0x11;
    info.roomName = std::string(40, 'n');
    info.joinText = "joined";
    Run({
        {"63 base information",
         answers::RoomBaseInfoAnswer(info),
         {Value(UM_ROOM_INFO_CHANGED, kRoom, 0)},
         [](CCommKernelData*, CRoomObj* r) {
             EXPECT_EQ(r->baseInfoB, 4);
             EXPECT_EQ(r->baseInfoA, 9);
             EXPECT_TRUE(r->baseFlag);
             EXPECT_EQ(r->baseInfoD, 300);
             EXPECT_EQ(r->ownerId, kUserB);
             EXPECT_EQ(r->deputyOwnerIds[3], kUserA);
             EXPECT_EQ(r->roomFlags, 0x11u);
             EXPECT_EQ(r->roomName, std::string(32, 'n'));  // within its field
             EXPECT_EQ(r->joinText, "joined");
         }},
        {"66 two media servers",
         answers::RoomMediaAnswer(kRoom, "1.2.3.4:80;5.6.7.8:81"),
         {Value(UM_ROOM_MEDIA_CHANGED, kRoom, 0)},
         [](CCommKernelData*, CRoomObj* r) {
             EXPECT_EQ(r->mediaHosts[0], "1.2.3.4");
             EXPECT_EQ(r->mediaPorts[0], 80);
             EXPECT_EQ(r->mediaHosts[1], "5.6.7.8");
             EXPECT_EQ(r->mediaPorts[1], 81);
             EXPECT_EQ(r->mediaHosts[2], "0.0.0.0");
             EXPECT_EQ(r->mediaHosts[3], "0.0.0.0");
             EXPECT_EQ(r->mediaUrl, "1.2.3.4:80;5.6.7.8:81");
         }},
        {"66 an address without port stops after the reset",
         answers::RoomMediaAnswer(kRoom, "1.2.3.4"),
         {},
         [](CCommKernelData*, CRoomObj* r) {
             EXPECT_EQ(r->mediaHosts[0], "0.0.0.0");
             EXPECT_EQ(r->mediaPorts[0], 0);
             EXPECT_EQ(r->mediaUrl, "10.1.1.1:5000");
         }},
        {"67 text index 3",
         answers::RoomTextAnswer(kRoom, 3, "programme"),
         {Value(UM_ROOM_NOTICE_TEXT, kRoom, 3)},
         [](CCommKernelData*, CRoomObj* r) { EXPECT_EQ(r->roomTexts[3], "programme"); }},
        {"67 index 4 skipped", answers::RoomTextAnswer(kRoom, 4, "x"), {}, nullptr},
        {"68 attributes",
         Words(kRoomMain, 68, {kRoom, 0x80}),
         {Value(UM_ROOM_ATTR_CHANGED, kRoom, 0)},
         [](CCommKernelData*, CRoomObj* r) { EXPECT_EQ(r->roomFlags, 0x80u); }},
        {"68 for an unknown room", Words(kRoomMain, 68, {kOtherRoom, 0x80}), {}, nullptr},
        {"113 room information result",
         Words(kRoomMain, 113, {kRoom, 1}),
         {Value(UM_SET_ROOM_INFO_RESP, kRoom, 1)},
         nullptr},
        {"115 run state result",
         Words(kRoomMain, 115, {kRoom, 0}),
         {Value(UM_SET_ROOM_OP_STATUS_RESP, kRoom, 0)},
         nullptr},
        {"117 notice result",
         Words(kRoomMain, 117, {kRoom, 2}),
         {Value(UM_SET_ROOM_NOTICE_RESP, kRoom, 2)},
         nullptr},
        {"117 for an unknown room", Words(kRoomMain, 117, {kOtherRoom, 2}), {}, nullptr},
        {"69 video connection request",
         Padded(kRoomMain, 69, {kRoom, kUserA, kMe}, 13),
         {Copy(UM_CONN_MEDIA_REQ, kRoom)},
         nullptr},
        {"70 connection answer",
         Words(kRoomMain, 70, {kRoom, kMe, kUserA}),
         {Copy(UM_CONN_MEDIA_RESP, kRoom)},
         nullptr},
        {"71 connection refused",
         Words(kRoomMain, 71, {kRoom, kMe, kUserA}),
         {Copy(UM_CONN_MEDIA_ERR, kRoom)},
         nullptr},
        {"92 ban notice",
         Padded(kRoomMain, 92, {kRoom, kUserB, kUserA}, 13),
         {Copy(UM_THROW_USER_NOTIFY, kRoom)},
         nullptr},
        {"92 for an unknown room",
         Padded(kRoomMain, 92, {kOtherRoom, kUserB, kUserA}, 13),
         {},
         nullptr},
    });
}

TEST_F(AnswerTable, GiftsFireworksSealsAndMoney) {
    Run({
        {"41 gift roll",
         answers::GiftRollAnswer(kRoom, kUserA, kUserB, 12, 3, 1, 24, "alice", "bob",
                                 std::string(17, 't')),
         {Value(UM_GIFT_ROLL_INFO, 0, 0)},
         [](CCommKernelData* d, CRoomObj*) {
             const tag_GiftRollInfo& g = d->m_GiftRollInfo;
             EXPECT_EQ(g.nRoomId, kRoom);
             EXPECT_EQ(g.nGiverId, kUserA);
             EXPECT_EQ(g.nReceiverId, kUserB);
             EXPECT_EQ(g.nGiftId, 12);
             EXPECT_EQ(g.nCount, 3);
             EXPECT_EQ(g.bAnonymous, 1);
             EXPECT_EQ(g.nValue24, 24);
             EXPECT_STREQ(g.szGiverAlias, "alice");
             EXPECT_STREQ(g.szReceiverAlias, "bob");
             EXPECT_EQ(std::string(g.szThirdName), std::string(16, 't'));
         }},
        {"55 own fireworks bought",
         answers::FireworksBoughtAnswer(kRoom, kMe, 30, 209, 5),
         {Value(UM_TRADE_FIREWORKS_OK, 30, 209)},
         [](CCommKernelData*, CRoomObj* r) {
             ASSERT_EQ(r->fireworks.size(), 1u);
             EXPECT_EQ(r->fireworks.front().playTime, kEpoch + 30);
             EXPECT_EQ(r->fireworks.front().itemId, 209);
             EXPECT_EQ(r->fireworks.front().value, 5);
             EXPECT_EQ(r->fireworks.front().userId, kMe);
         }},
        {"55 someone else's",
         answers::FireworksBoughtAnswer(kRoom, kUserA, 30, 209, 5),
         {},
         [](CCommKernelData*, CRoomObj* r) { EXPECT_TRUE(r->fireworks.empty()); }},
        {"56 own fireworks failed",
         Words(kRoomMain, 56, {kRoom, kMe, 4, 5}),
         {Value(UM_TRADE_FIREWORKS_FAILED, 4, 5)},
         nullptr},
        {"56 someone else's", Words(kRoomMain, 56, {kRoom, kUserA, 4, 5}), {}, nullptr},
        {"57 fireworks picked, local user as sender",
         Padded(kRoomMain, 57, {kRoom, kUserA, 10, 0, 0, 0, 0, kMe, 209}, 36),
         {Copy(UM_FIREWORKS_PICKED, kRoom)},
         nullptr},
        {"57 fireworks picked by the local user",
         Padded(kRoomMain, 57, {kRoom, kMe, 10, 0, 0, 0, 0, kUserA, 209}, 36),
         {Copy(UM_FIREWORKS_PICKED, kRoom)},
         nullptr},
        {"57 picked by others",
         Padded(kRoomMain, 57, {kRoom, kUserA, 10, 0, 0, 0, 0, 3}, 36),
         {},
         nullptr},
        {"62 own wealth",
         answers::WealthAnswer(kRoom, kMe, 1LL << 40, 77),
         {Value(UM_MY_WEALTH_CHANGED, 0, 0)},
         [](CCommKernelData* d, CRoomObj*) {
             EXPECT_EQ(d->m_LocalUser.money, 1LL << 40);
             EXPECT_EQ(d->m_LocalUser.points, 77);
         }},
        {"62 someone else's",
         answers::WealthAnswer(kRoom, kUserA, 5, 5),
         {},
         [](CCommKernelData* d, CRoomObj*) { EXPECT_EQ(d->m_LocalUser.money, 0); }},
        {"94 seal refused",
         Words(kRoomMain, 94, {kMe, kRoom}),
         {Value(UM_SEND_SEAL_FAILED, 0, 0)},
         nullptr},
        {"95 seal stamped",
         answers::SealAnswer(kUserB, kRoom, kUserA, 6, 5),
         {Copy(UM_SEAL_NOTIFY, 0)},
         [](CCommKernelData* d, CRoomObj*) {
             EXPECT_EQ(User(d, kUserA)->sealId, 6);
             EXPECT_EQ(User(d, kUserA)->sealExpiry, kEpoch + 300);
         }},
        {"95 on a user not in the room still posts",
         answers::SealAnswer(kUserB, kRoom, 999, 6, 5),
         {Copy(UM_SEAL_NOTIFY, 0)},
         nullptr},
        {"95 for an unknown room",
         answers::SealAnswer(kUserB, kOtherRoom, kUserA, 6, 5),
         {},
         nullptr},
        {"129 money transfer",
         Words(kRoomMain, 129, {kRoom, kUserA, kMe, 500}),
         {Value(UM_MONEY_TRANSFER_NOTIFY, kUserA, 500)},
         nullptr},
        {"48 gift refused", Words(kRoomMain, 48, {3}), {Copy(UM_TRADE_GIFT_FAILED, 0)}, nullptr},
        {"49 gift given",
         Padded(kRoomMain, 49, {kRoom, kUserA, kUserB, 12, 1}, 84),
         {Copy(UM_TRADE_GIFT_NOTIFY, 0)},
         nullptr},
        {"59 fireworks played, whatever the room",
         Words(kRoomMain, 59, {kOtherRoom, kUserA, 209}),
         {Copy(UM_PLAY_FIREWORKS_NOTIFY, kOtherRoom)},
         nullptr},
        {"60 lucky gift",
         answers::LuckyGiftAnswer(kRoom, kUserA, 12, {10, 500}),
         {Copy(UM_LUCKY_GIFT_REWARD, 0)},
         nullptr},
        {"61 loudspeaker", Padded(kRoomMain, 61, {3}, 12), {Copy(UM_LOUDSPEAKER_MSG, 0)}, nullptr},
        {"121 password answer",
         Padded(kRoomMain, 121, {kMe, 0, 0}, 30),
         {Copy(UM_SET_USER_PWD_RESP, 0)},
         nullptr},
        {"137 siege state",
         Padded(kRoomMain, 137, {0, kUserB}, 58),
         {Copy(UM_SIEGE_STATE, 0)},
         nullptr},
        {"138 siege state",
         Padded(kRoomMain, 138, {0, kUserB}, 58),
         {Copy(UM_SIEGE_STATE, 0)},
         nullptr},
        {"144 chest opened",
         Padded(kRoomMain, 144, {0}, 16),
         {Copy(UM_OPEN_CHEST_RESP, 0)},
         nullptr},
    });
}

TEST_F(AnswerTable, IgnoredCommands) {
    std::vector<Case> cases;
    for (uint16_t sub :
         {35, 38, 44, 47, 51, 52, 53, 64, 73, 77, 78, 79, 81, 82, 85, 89, 91, 97, 99, 127, 200})
        cases.push_back(
            {"ignored room sub command", Padded(kRoomMain, sub, {kRoom, kMe}, 300), {}, nullptr});
    cases.push_back({"main 104", Padded(104, 2, {kRoom, kMe}, 100), {}, nullptr});
    cases.push_back({"main 106", Padded(106, 27, {kRoom, kMe}, 300), {}, nullptr});
    Run(cases);
}

TEST_F(AnswerTable, LogonServerServices) {
    Run(
        {
            {"119 profile answer",
             Words(kLogonMain, 119, {kMe, 0}),
             {Copy(UM_SET_USER_PROFILE_RESP, 0)},
             nullptr},
            {"121 password answer",
             Padded(kLogonMain, 121, {kMe, 0, 0}, 30),
             {Copy(UM_SET_USER_PWD_RESP, 0)},
             nullptr},
            {"123", Words(kLogonMain, 123, {0, 42}), {Value(UM_MV_ZHINGXING_RESP, 42, 0)}, nullptr},
            {"125", Words(kLogonMain, 125, {1}), {Copy(UM_MV_KUXIN_RESP, 0)}, nullptr},
            {"7 with count 0",
             answers::PrivilegeListAnswer({}),
             {},
             [](CCommKernelData* d, CRoomObj*) {
                 EXPECT_TRUE(d->m_pUserMVManager->temporary->empty());
             }},
            {"room answer on the logon connection goes to its window too",
             Words(kRoomMain, 68, {kRoom, 0x2}),
             {Value(UM_ROOM_ATTR_CHANGED, kRoom, 0)},
             nullptr},
            {"unknown logon sub command", Padded(kLogonMain, 50, {1}, 100), {}, nullptr},
        },
        true);
}

TEST_F(AnswerTable, ALogonAnswerNeverDeletesAMemberOfTheRoom) {
    answers::LogonOk ok;
    ok.userId = kUserA;
    struct {
        const char* what;
        bool onLogonConnection;
    } cases[] = {
        {"on the room connection: not a logon at all", false},
        {"on the logon connection, naming a listed member", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ResetModel();
        EnterRoom();
        if (c.onLogonConnection) ConnectLogon();
        CUserObj* a = User(d, kUserA);
        const std::string before = ModelDigest(d);
        auto posted = c.onLogonConnection ? PlayLogon({answers::LogonOkAnswer(ok)})
                                          : PlayRoom({answers::LogonOkAnswer(ok)});
        EXPECT_TRUE(posted.empty());
        EXPECT_EQ(ModelDigest(d), before);
        EXPECT_EQ(User(d, kUserA), a);
        EXPECT_EQ(d->m_pRoomManager->FindRoom(kRoom)->FindUser(kUserA), a);
        EXPECT_EQ(d->m_LocalUser.userId, kMe);
        EXPECT_EQ(TakeDispatchTraces(), 1);
        FreeCopies();
    }
}

TEST_F(AnswerTable, WithoutNotifyWindowTheModelStillChanges) {
    ResetModel();
    EnterRoom();
    k->SetNotifyWnd(SERVER_TYPE_ROOM, nullptr);
    servers.room().Send(Words(kRoomMain, 68, {kRoom, 0x22}));
    ASSERT_TRUE(
        kerneltest::Pump([&] { return d->m_pRoomManager->FindRoom(kRoom)->roomFlags == 0x22u; }));
    notify.Drain();
    EXPECT_TRUE(notify.posted().empty());
}

}  // namespace
}  // namespace dispatchtest
