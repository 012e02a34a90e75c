// Microphones, the queue, managers, the countdown, quick phrases and collecting the room.
#include "actions_fixture.h"
#include "kernel/dispatch/Dispatch.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserManager.h"
#include "room/PubVideoContainerUI.h"
#include "session/CommKernelData.h"
#include "ui_fixture.h"
#include "util/ErrorMessage.h"
#include "win32/text.h"

namespace roomtest {
namespace {

// The privilege manager's refusal text.
const wchar_t* const kRefused = CErrorMessage::m_szErrText[0];

class MicTest : public ActionsTest {
protected:
    void SetUp() override {
        ActionsTest::SetUp();
        EnterStandardRoom();
    }
    CRoomObj* Room() { return d->m_pRoomManager->FindRoom(kRoom); }
    CUserObj* User(int id) { return d->m_pUserManager->FindUser(id); }
    std::wstring PaneTitle(int pane) {
        DuiLib::CControlUI* label =
            room->GetPaintManager().FindSubControlByName(room->m_pPubVideo[pane], L"micstate");
        return label ? label->GetText().GetData() : L"";
    }
    void ExpectHint(const wchar_t* hint) {
        const std::wstring hints = NewHints();
        if (hint)
            EXPECT_NE(hints.find(hint), std::wstring::npos) << winplat::WideToUtf8(hints);
        else
            EXPECT_TRUE(hints.empty()) << winplat::WideToUtf8(hints);
    }
};

struct MicCase {
    const char* what;
    int kind;
    uint32_t roomFlags;
    bool granted;
    std::vector<short> asked;
    bool sent;
    const wchar_t* hint;
};

TEST_F(MicTest, TakingAMicrophoneChecksTheRoomThenThePrivilege) {
    const MicCase cases[] = {
        {"public closed", 1, 0x10, true, {}, false, L"房间关闭了公麦,请求上公麦失败！"},
        {"VIP closed", 2, 0x20, true, {}, false, L"房间关闭了私麦,请求上私麦失败！"},
        {"secret closed", 4, 0x20, true, {}, false, L"房间关闭了密麦,请求上密麦失败！"},
        {"public refused", 1, 0x20, false, {18}, false, kRefused},
        {"VIP refused", 2, 0x10, false, {19}, false, kRefused},
        {"secret refused", 4, 0, false, {20}, false, kRefused},
        {"public granted", 1, 0x20, true, {18}, true, nullptr},
    };
    for (const MicCase& c : cases) {
        SCOPED_TRACE(c.what);
        Room()->roomFlags = c.roomFlags;
        grant.all = c.granted;
        grant.asked.clear();
        room->TakeMic(c.kind, 1);
        std::vector<short> asked;
        for (short id : grant.asked)
            if (id >= 18 && id <= 20) asked.push_back(id);
        EXPECT_EQ(asked, c.asked);
        std::vector<SentFrame> sent = Sent();
        if (c.sent) {
            ASSERT_EQ(sent.size(), 1u);
            EXPECT_EQ(sent[0].subCmd, 72);
        } else {
            EXPECT_TRUE(sent.empty());
        }
        ExpectHint(c.hint);
    }
}

TEST_F(MicTest, QueueRequestsAndOperations) {
    Room()->roomFlags = 0;
    room->JoinWaitMic();
    EXPECT_TRUE(Sent().empty());
    ExpectHint(L"房间关闭了排麦模式,请求排麦失败！");

    Room()->roomFlags = 0x80;
    grant.all = false;
    room->JoinWaitMic();
    room->OperateWaitMic(kAlice, 2, -1);
    EXPECT_TRUE(Sent().empty());
    std::vector<short> asked;
    for (short id : grant.asked)
        if (id == 34 || id == 35) asked.push_back(id);
    EXPECT_EQ(asked, (std::vector<short>{34, 35}));

    grant.all = true;
    room->JoinWaitMic();
    room->OperateWaitMic(kAlice, 2, -2);
    std::vector<SentFrame> sent = Sent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].subCmd, 103);
    EXPECT_EQ(I32(sent[0].payload, 0), kRoom);
    EXPECT_EQ(I32(sent[0].payload, 4), kMe);
    EXPECT_EQ(sent[1].subCmd, 106);
    // Room, actor, user, position, operation.
    Bytes expected(18, 0);
    const int32_t words[4] = {kRoom, kMe, kAlice, 2};
    std::memcpy(expected.data(), words, sizeof words);
    expected[16] = 0xFE;
    expected[17] = 0xFF;
    EXPECT_EQ(sent[1].payload, expected);
}

TEST_F(MicTest, PublicMicrophoneOperationNeedsASelectedMicrophone) {
    room->SetPaneMicType(-1, 10);
    EXPECT_TRUE(Sent().empty());
    Room()->pubMics[2].micType = 10;
    room->ExtendPaneMicTime(2, 10);
    std::vector<SentFrame> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].subCmd, 100);
    const Bytes expected = {kRoom, 0, 0, 0, 0xE9, 0x03, 0, 0, 2, 1, 10, 0};
    EXPECT_EQ(sent[0].payload, expected);
    grant.all = false;
    room->SetPaneMicType(0, -1);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(grant.asked.back(), 40);
}

// Only a timed microphone has time to extend: for an unlimited, a manager's or a
// closed one the pane menu greys 延长麦时 and the command sends nothing (the request
// would turn it into a ten-minute microphone).
TEST_F(MicTest, MicTimeExtendsOnlyOnATimedMicrophone) {
    struct Case {
        const char* what;
        int16_t micType;
        bool offered;
    } cases[] = {
        {"ten minutes", 10, true}, {"one minute", 1, true}, {"unlimited", -1, false},
        {"manager's", -2, false},  {"closed", 0, false},
    };
    constexpr int kPane = 1;
    CPubVideoContainerUI* pane = room->PublicPane(kPane);
    ASSERT_NE(pane, nullptr);
    pane->SetVideoUser(L"alice", kAlice);
    HMENU menu = room->GetMenuHandle(kMenuPane);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        tag_PubMicInfo& mic = Room()->pubMics[kPane];
        mic.userId = kAlice;
        mic.micType = c.micType;
        DuiLib::TNotifyUI msg;
        msg.sType = DUI_MSGTYPE_MENU;
        msg.pSender = room->m_pPubVideo[kPane];
        openedMenus.clear();
        room->Notify(msg);
        ASSERT_EQ(openedMenus.size(), 1u);
        ASSERT_EQ(openedMenus[0], menu);
        EXPECT_EQ((GetMenuState(menu, 13963, MF_BYCOMMAND) & MF_GRAYED) == 0, c.offered);
        // The other user commands of the pane stay as they were.
        EXPECT_EQ(GetMenuState(menu, 13964, MF_BYCOMMAND) & MF_GRAYED, 0u);
        room->SendMessageW(WM_COMMAND, 13963, 0);
        PumpPending();
        const std::vector<SentFrame> sent = Sent();
        if (!c.offered) {
            EXPECT_TRUE(sent.empty());
            continue;
        }
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].subCmd, 100);
        const Bytes expected = {kRoom, 0, 0, 0, 0xE9, 0x03, 0, 0, kPane, 1, 10, 0};
        EXPECT_EQ(sent[0].payload, expected);
    }
}

TEST_F(MicTest, PuttingAMemberOnAPublicMicrophone) {
    Room()->pubMics[1].userId = kBob;
    struct Case {
        const char* what;
        int pane, user;
        bool sent;
    } cases[] = {
        {"no microphone selected", -1, kAlice, false},
        {"past the public microphones", ROOM_PUBLIC_MIC_COUNT, kAlice, false},
        {"he already holds it", 1, kBob, false},
        {"another member", 1, kAlice, true},
        {"id beyond the record's field", 0, 40000, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        room->PutUserOnPubMic(c.pane, c.user);
        const std::vector<SentFrame> sent = Sent();
        if (!c.sent) {
            EXPECT_TRUE(sent.empty());
            continue;
        }
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].subCmd, 100);
        Bytes expected(12, 0);
        const int32_t words[2] = {kRoom, kMe};
        std::memcpy(expected.data(), words, sizeof words);
        expected[8] = static_cast<uint8_t>(c.pane);
        expected[9] = 2;
        const int16_t value = static_cast<int16_t>(c.user);
        std::memcpy(&expected[10], &value, 2);
        EXPECT_EQ(sent[0].payload, expected);
    }
    grant.all = false;
    room->PutUserOnPubMic(0, kAlice);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(grant.asked.back(), 16);
    EXPECT_NE(NewHints().find(kRefused), std::wstring::npos);
}

struct ManagerCase {
    const char* what;
    bool appoint;
    int kind;
    int targetLevel;
    int targetMgrLevel;
    bool granted;
    int sentKind;  // 0: nothing sent
    const wchar_t* hint;
};

TEST_F(MicTest, AppointingAndRemovingManagers) {
    const ManagerCase cases[] = {
        {"guest target", true, 1, 1, 0, true, 0, L"游客和注册用户不能任命为管理员或临时管理员！"},
        {"already a manager", true, 1, 5, 3, true, 0, L"对方已经是房间管理员,不能再次被任命！"},
        {"temporary made manager", true, 1, 5, 4, true, 1, L"任命管理员请求已发出，等待服务器响应"},
        {"temporary again", true, 2, 5, 4, true, 0, L"对方已经是房间管理员,不能再次被任命！"},
        {"privilege refused", true, 2, 5, 0, false, 0, kRefused},
        {"temporary appointed", true, 2, 5, 0, true, 2, L"任命管理员请求已发出，等待服务器响应"},
        {"remove a site manager", false, 0, 5, 5, true, 0,
         L"对方不是正管或临管,不能卸除管理员权限！"},
        {"remove a manager", false, 0, 5, 3, false, 1, nullptr},
        {"remove a temporary", false, 0, 5, 4, false, 2, nullptr},
    };
    for (const ManagerCase& c : cases) {
        SCOPED_TRACE(c.what);
        CUserObj* alice = User(kAlice);
        alice->levels[0] = c.targetLevel;
        // A temporary manager is one by his flag.
        alice->roomMgrLevel = c.targetMgrLevel == 4 ? 0 : c.targetMgrLevel;
        alice->flags = c.targetMgrLevel == 4 ? 0x20 : 0;
        grant.all = c.granted;
        if (c.appoint)
            room->AppointManager(kAlice, c.kind);
        else
            room->CancelManager(kAlice);
        std::vector<SentFrame> sent = Sent();
        if (c.sentKind) {
            ASSERT_EQ(sent.size(), 1u);
            EXPECT_EQ(sent[0].subCmd, 84);
            Bytes expected(14, 0);  // packed on the wire
            const int32_t words[3] = {kRoom, kMe, kAlice};
            std::memcpy(expected.data(), words, sizeof words);
            expected[12] = c.appoint ? 1 : 2;
            expected[13] = static_cast<uint8_t>(c.sentKind);
            EXPECT_EQ(sent[0].payload, expected);
        } else {
            EXPECT_TRUE(sent.empty());
        }
        ExpectHint(c.hint);
    }
}

TEST_F(MicTest, CountdownShowsTheTimeLeftAndAsksToLeaveOncePerTurn) {
    room->m_bLoggedIn = 1;
    const int32_t now = comm::dispatch::Now();
    CRoomObj* r = Room();
    r->pubMics[0] = {kMe, 60, 5, now - 61};  // the local user's turn is over
    r->pubMics[1] = {kAlice, 300, 5, now - 175};
    r->pubMics[2] = {0, 0, 7, 0};
    d->m_LocalUser.flags |= 0x1;
    room->MicCountdownTick();
    room->MicCountdownTick();
    EXPECT_EQ(PaneTitle(0), L"00:00");
    const std::wstring left = PaneTitle(1);
    EXPECT_TRUE(left == L"02:05" || left == L"02:04") << winplat::WideToUtf8(left);
    EXPECT_EQ(PaneTitle(2), L"07:00");
    std::vector<SentFrame> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].subCmd, 72);
    // The next turn asks again.
    r->pubMics[0].startTime = now - 62;
    room->MicCountdownTick();
    EXPECT_EQ(SentSubs(), std::vector<int>{72});
}

TEST_F(MicTest, QuickPhrasesAndCollectingTheRoom) {
    room->m_quickPhrases.m_list = {L"你好\r\n"};
    room->SendQuickPhrase(3);  // beyond the loaded phrases
    EXPECT_TRUE(Sent().empty());
    Room()->roomFlags = 0x1;
    room->SendQuickPhrase(0);
    EXPECT_TRUE(Sent().empty());
    ExpectHint(L"当前房间关闭了公聊！");
    Room()->roomFlags = 0;
    room->SendQuickPhrase(0);
    EXPECT_EQ(SentSubs(), std::vector<int>{43});
    NewHints();

    room->CollectRoom();
    std::vector<SentFrame> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].subCmd, 98);
    EXPECT_EQ(sent[0].payload, (Bytes{kRoom, 0, 0, 0, 0xE9, 0x03, 0, 0}));
    ExpectHint(L"收藏房间成功！");
    d->m_LocalUser.levels[0] = 1;
    room->CollectRoom();
    EXPECT_TRUE(Sent().empty());
    ExpectHint(L"您目前的身份是游客，请注册后重新登录。");
}

}  // namespace
}  // namespace roomtest
