// Users and microphones of a room as the room stand-in reports them through the lobby:
// entrances during and after the member list, microphone changes, leaving, bans,
// ranks, aliases, room texts and the castle siege.
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <string>

#include "controls/CtrlListFriend.h"
#include "controls/RoomCtrlUI.h"
#include "facade/Strevo.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserMVManager.h"
#include "notify_fixture.h"
#include "room/PopPubVideoContainerUI.h"
#include "room/PubVideoContainerUI.h"
#include "room/WndUserPopupVideo.h"
#include "session/CommKernelData.h"
#include "ui_fixture.h"
#include "win32/clock.h"
#include "win32/text.h"

using namespace DuiLib;

namespace roomtest {
namespace {

// Rows sort by rank: managers (level 3) first, temporary managers (4) next, then the rest.
class RankDelegate : public IUserMVManagerDelegate {
public:
    bool CheckPrivilege(short, CUserObj*, int*) override { return false; }
    bool CheckPrivilege(short, CUserObj*, CUserObj*, int*) override { return false; }
    int GetUserFinalLevel(CUserObj*, int*) override { return 0; }
    int GetUserSortId(CUserObj* user, int* handled) override {
        *handled = 1;
        const int rank = user->GetRoomMgrLevel();
        return rank == 0 ? 10 : rank;
    }
};

class UsersTest : public NotifyTest {
protected:
    void SetUp() override {
        NotifyTest::SetUp();
        AddLevel(1, 5, true, 0, L"会员");
    }
    CRoomObj* Room() { return d->m_pRoomManager->FindRoom(kRoom); }
};

TEST_F(UsersTest, AListWithARepeatIsAnnouncedOnceThenArrivalsGetTheWelcome) {
    AllowAll allow;
    d->m_pUserMVManager->SetDelegate(&allow);
    d->m_UserEnv.m_bAutoWellcome = true;
    wcscpy(d->m_UserEnv.m_szAutoWelcome, L"欢迎光临");
    Join(1, {Member(kAlice, "alice"), Member(kBob, "bob"), Member(kAlice, "alice")});

    const std::wstring pub = Text(L"pubtextout");
    EXPECT_EQ(Count(pub, L"alice正在本房间娱乐，帅呆了！"), 1u) << winplat::WideToUtf8(pub);
    EXPECT_EQ(Count(pub, L"bob正在本房间娱乐，帅呆了！"), 1u);
    EXPECT_EQ(Count(pub, L"me正在本房间娱乐，帅呆了！"), 1u);
    EXPECT_FALSE(Has(pub, L"来到本房间"));
    EXPECT_EQ(Rows(room->GetUserList()).size(), 3u);
    EXPECT_EQ(Caption(L"allusersel"), L"全部/3");
    EXPECT_TRUE(Has(Text(L"privtextout"), L"登陆房间成功。"));
    EXPECT_TRUE(room->IsLoggedIn());
    EXPECT_TRUE(TakeSent().empty()) << "no welcome during the list";
    // The list comes once per member: a repeat that changes nothing redraws nothing.
    room->GetPaintManager().FindControl(L"allusersel")->SetText(L"untouched");
    room->OnUserEnterRoom(User(kAlice));
    EXPECT_EQ(Caption(L"allusersel"), L"untouched");
    room->UpdateUserListCounts();

    Play({answers::UserEnterAnswer(Member(kCarol, "carol"))});
    EXPECT_TRUE(Has(Text(L"pubtextout"), L"carol来到本房间，帅呆了！ 【欢 迎】"));
    EXPECT_TRUE(Has(Html(L"pubtextout"), L"welcome:503"));
    EXPECT_EQ(Caption(L"allusersel"), L"全部/4");
    ASSERT_TRUE(kerneltest::Pump([&] { return servers.room().ReceivedCount() > sentSeen; }));
    const std::vector<SentFrame> sent = TakeSent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].subCmd, 43);
    const auto* chat = reinterpret_cast<const tag_CMDRoomChatMsg*>(sent[0].payload.data());
    EXPECT_EQ(chat->kind, 15);
    EXPECT_EQ(chat->targetId, kCarol);
    d->m_pUserMVManager->SetDelegate(nullptr);
}

TEST_F(UsersTest, AUserEnteringWhileASearchTextStandsIsStillAnnounced) {
    Join(1, {Member(kAlice, "alice")});
    CControlUI* edit = room->GetPaintManager().FindControl(L"edtsearchuser");
    ASSERT_NE(edit, nullptr);
    edit->SetText(L"ali");
    TNotifyUI msg;
    msg.sType = DUI_MSGTYPE_TEXTCHANGED;
    msg.pSender = edit;
    room->Notify(msg);
    ASSERT_EQ(Rows(room->GetUserList()), std::vector<int>{kAlice});

    answers::UserEntry bob = Member(kBob, "bob");
    bob.flags = 0x1;  // already on the public microphone
    bob.micIndex = 0;
    Play({answers::UserEnterAnswer(bob)});
    EXPECT_TRUE(Has(Text(L"pubtextout"), L"bob来到本房间，帅呆了！"));
    EXPECT_EQ(Rows(room->GetUserList()), std::vector<int>{kAlice}) << "the filter still hides him";
    EXPECT_EQ(room->GetPaneUserId(0), kBob);
    EXPECT_TRUE(Subscribed(kBob));
}

TEST_F(UsersTest, EntranceBannersOnlyForBitsWithAPicture) {
    // A program folder of the test's own with the picture of banner 2 only.
    const std::filesystem::path program = std::filesystem::path(MIVORA_ARTIFACT_DIR) / "program";
    std::filesystem::create_directories(program / "skin" / "MVChat" / "car_01");
    std::ofstream(program / "skin" / "MVChat" / "car_01" / "star_fy_2.gif") << "GIF89a";
    const std::wstring appPath(d->m_szAppPath);
    Join(1, {});
    answers::UserEntry alice = Member(kAlice, "alice");
    alice.entranceEffects = 0x3;  // banners 1 (no picture) and 2
    wcsncpy(d->m_szAppPath, winplat::Utf8ToWide(program.string()).c_str(), 255);
    Play({answers::UserEnterAnswer(alice)});
    wcsncpy(d->m_szAppPath, appPath.c_str(), 255);
    EXPECT_EQ(Count(Text(L"pubtextout"), L"alice(501) 华丽登场"), 1u) << "banner 2 only";
}

TEST_F(UsersTest, MicrophoneChangesByStateAndActor) {
    Join(1, {Member(kAlice, "alice"), Member(kBob, "bob")});
    // Microphone 2 has 600-minute turns: more seconds than the table's field holds.
    Play({answers::PublicMicChangedAnswer(kRoom, kBob, 1, 2, 600, 0, 0)});
    EXPECT_TRUE(Has(Text(L"privtextout"), L"管理员[bob]将2麦的麦时修改为：600分钟。"));

    struct Case {
        int actor, target;
        uint8_t flags, index;
        uint32_t micBits;  // of the target afterwards
        int micIndex;
        bool onVipList;
        const wchar_t* line;  // null: none
        int pane;             // public pane showing the target afterwards, -1 none
        bool window;          // the target's private window open afterwards
        std::vector<std::pair<int, int>> requests;  // media connection (user, operation)
    } cases[] = {
        {kBob, kAlice, 1, 1, 0x1, 1, false, L"[alice]被[bob]抱上了公麦。", 1, false, {{kAlice, 1}}},
        {kAlice,
         kAlice,
         0,
         255,
         0,
         255,
         false,
         L"[alice]取消了公麦主持。",
         -1,
         false,
         {{kAlice, 3}}},
        // Another member's private video opens from the link, not by itself.
        {kAlice,
         kBob,
         2,
         255,
         0x2,
         255,
         true,
         L"[bob]被[alice]抱上了VIP麦，点击打开VIP麦",
         -1,
         false,
         {}},
        {kAlice,
         kBob,
         0,
         255,
         0,
         255,
         false,
         L"[bob]被[alice]被抱下了VIP麦。",
         -1,
         false,
         {{kBob, 3}}},
        {kMe, kMe, 4, 255, 0x4, 255, true, L"[你]正在密麦上，点击打开密麦", -1, true, {}},
        {kMe, kMe, 0, 255, 0, 255, false, L"[你]取消了密麦主持。", -1, false, {}},
        {kAlice, kAlice, 0, 255, 0, 255, false, nullptr, -1, false, {}},
        // An index beyond the ten-entry table: the flags change, no entry does, no pane shows.
        {kAlice, kAlice, 1, 200, 0x1, 255, false, L"[alice]正在公麦上。", -1, false, {}},
        // Only the microphone bits of the byte count: 0x20 would make a manager.
        {kAlice, kBob, 0x21, 255, 0x1, 255, false, nullptr, -1, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.target) + " flags " + std::to_string(c.flags));
        ClearViews();
        ConnRequests();
        const tag_PubMicInfo before = Room()->pubMics[1];
        Play({answers::MicStateAnswer(kRoom, c.actor, c.target, c.flags, c.index)});
        CUserObj* target = User(c.target);
        EXPECT_EQ(target->flags & 0x37u, c.micBits);
        EXPECT_EQ(target->micIndex, c.micIndex);
        EXPECT_EQ(room->GetOnMicList()->HasUser(c.target), c.onVipList);
        const std::wstring priv = Text(L"privtextout");
        if (c.line) {
            EXPECT_TRUE(Has(priv, c.line)) << winplat::WideToUtf8(priv);
        } else if (c.flags == 0) {
            EXPECT_TRUE(priv.empty()) << winplat::WideToUtf8(priv);
        }
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(room->GetPaneUserId(i) == c.target, i == c.pane) << "pane " << i;
        EXPECT_EQ(HasWindow(c.target), c.window);
        if (c.target != kMe) {
            EXPECT_EQ(Subscribed(c.target), c.pane >= 0 || c.window);
        }
        EXPECT_EQ(ConnRequests(), c.requests);
        if (c.index == 200) {
            EXPECT_EQ(Room()->pubMics[1].userId, before.userId);
            EXPECT_EQ(Room()->pubMics[1].micTime, before.micTime);
        }
    }
    EXPECT_EQ(User(kBob)->GetRoomMgrLevel(), 0);
    // The first change put alice on microphone 2 with the turn held at the field's top.
    Play({answers::MicStateAnswer(kRoom, kAlice, kAlice, 0, 255),
          answers::MicStateAnswer(kRoom, kBob, kAlice, 1, 1)});
    EXPECT_EQ(Room()->pubMics[1].userId, kAlice);
    EXPECT_EQ(Room()->pubMics[1].micTime, 32767);
    EXPECT_EQ(room->GetPaneUserId(1), kAlice);
}

TEST_F(UsersTest, TheLocalUsersMicrophoneSwapsThePanelButtonsAndBuildsCaptureFirst) {
    setenv("MIVORA_TEST_CAMERA", "1", 1);
    Join(1, {Member(kAlice, "alice")});
    CRoomCtrlUI* ctrl = room->m_pRoomCtrl;
    ASSERT_NE(ctrl, nullptr);
    d->m_UserEnv.m_bMuteMic = false;
    Play({answers::MicStateAnswer(kRoom, kAlice, kMe, 1, 0)});
    EXPECT_EQ(room->GetPaneUserId(0), kMe);
    // The camera runs only when its graph existed as the pane started publishing.
    RAVO::CStrevo* engine = room->m_pStrevo;
    ASSERT_NE(engine, nullptr);
    ASSERT_NE(engine->m_pVideoSource, nullptr);
    EXPECT_TRUE(engine->m_pVideoSource->is_started());
    ASSERT_NE(engine->m_pAudioSource, nullptr);
    EXPECT_FALSE(engine->m_pAudioSource->is_started()) << "the local user starts muted";
    EXPECT_TRUE(d->m_UserEnv.m_bMuteMic);
    EXPECT_TRUE(ctrl->m_pDownMicBtn->IsVisible());
    EXPECT_FALSE(ctrl->m_pUpMicBtn->IsVisible());
    EXPECT_EQ(Room()->pubMics[0].userId, kMe);
    Play({answers::MicStateAnswer(kRoom, kMe, kMe, 0, 255)});
    EXPECT_FALSE(ctrl->m_pDownMicBtn->IsVisible());
    EXPECT_TRUE(ctrl->m_pUpMicBtn->IsVisible());
    EXPECT_EQ(Room()->pubMics[0].userId, 0);
    EXPECT_EQ(room->GetPaneUserId(0), 0);
    EXPECT_EQ(engine->m_pVideoSource, nullptr) << "the capture graphs are torn down";
    EXPECT_FALSE(d->m_UserEnv.m_bInitVideoCap);
    unsetenv("MIVORA_TEST_CAMERA");
}

TEST_F(UsersTest, PutOutAndLeavingLinesRemoveTheUserEverywhere) {
    answers::UserEntry alice = Member(kAlice, "alice");
    alice.flags = 0x1;  // on public microphone 1
    alice.micIndex = 0;
    Join(1, {alice, Member(kBob, "bob"), Member(kCarol, "carol"), Member(504, "dan")});
    ASSERT_EQ(room->GetPaneUserId(0), kAlice);
    // Each watches the local user's video: the entry holds his user object, which the
    // kernel deletes as he goes.
    for (int id : {kAlice, kBob, kCarol, 504}) d->m_FriendMgr.AddPrivSpectator(id, User(id));
    struct Case {
        Bytes frame;
        int userId;
        const wchar_t* line;
    } cases[] = {
        {answers::KickedOutAnswer(kRoom, kMe, kAlice, 107), kAlice, L"用户(501) 离开房间！"},
        {answers::KickedOutAnswer(kRoom, kMe, kBob, 522), kBob, L"用户(502) 离开房间！"},
        {answers::KickedOutAnswer(kRoom, kMe, kCarol, 9), kCarol,
         L"用户(503) 被 管理员[1001] 请出本房间！"},
        {answers::UserExitAnswer(kRoom, 504), 504, L"用户(504) 退出本房间！"},
    };
    for (const Case& c : cases) {
        ClearViews();
        Play({c.frame});
        EXPECT_EQ(Text(L"pubtextout"), std::wstring(c.line));
        EXPECT_FALSE(room->GetUserList()->HasUser(c.userId));
        EXPECT_EQ(d->m_FriendMgr.IsPrivSpectator(c.userId), 0);
        EXPECT_FALSE(Subscribed(c.userId));
    }
    EXPECT_EQ(room->GetPaneUserId(0), 0);
    EXPECT_EQ(Caption(L"allusersel"), L"全部/1");
    // Back again: a new arrival, announced again.
    Play({answers::UserEnterAnswer(Member(kAlice, "alice"))});
    EXPECT_TRUE(Has(Text(L"pubtextout"), L"alice来到本房间"));
}

TEST_F(UsersTest, HintsOfBansQueuePositionsAndMicrophoneTimes) {
    Join(1, {Member(kAlice, "alice")});
    struct Case {
        Bytes frame;
        const wchar_t* hint;  // null: nothing shows
    } cases[] = {
        {answers::ThrowUserAnswer(kRoom, kAlice, kMe, 1),
         L"你因违反房间规定被 管理员[501] 进行了 房间封杀！有疑问请去 10000 房间找客服帮忙."},
        {answers::ThrowUserAnswer(kRoom, kAlice, kMe, 2),
         L"你因违反房间规定被 管理员[501] 进行了 全站封杀！有疑问请去 10000 房间找客服帮忙."},
        {answers::ThrowUserAnswer(kRoom, kMe, kAlice, 1),
         L"用户[501] 因违反房间规定被 管理员[1001] 进行了 房间封杀！"},
        {answers::ThrowUserAnswer(kRoom, kMe, kAlice, 2),
         L"用户[501] 因违反房间规定被 管理员[1001] 进行了 全站封杀！"},
        {answers::WaitMicIndexAnswer(kRoom, kAlice, kMe, 2, 1),
         L"您的第 3 排麦位置被 管理员[501] 向前提升一位！有疑问请去 10000 房间找客服帮忙."},
        {answers::WaitMicIndexAnswer(kRoom, kAlice, kMe, 0, 2),
         L"您的第 1 排麦位置被 管理员[501] 向后下升一位！有疑问请去 10000 房间找客服帮忙."},
        {answers::WaitMicIndexAnswer(kRoom, kAlice, kMe, 4, 3),
         L"您的第 5 排麦位置被 管理员[501] 提升到麦序第一位！有疑问请去 10000 房间找客服帮忙."},
        {answers::WaitMicIndexAnswer(kRoom, kAlice, kMe, 0, 4),
         L"您的第 1 排麦位置被 管理员[501] 下降到麦序最后一位！有疑问请去 10000 房间找客服帮忙."},
        {answers::WaitMicIndexAnswer(kRoom, kAlice, kMe, 1, -1),
         L"您的第 2 排麦位置被 管理员[501] 取消！有疑问请去 10000 房间找客服帮忙."},
        {answers::WaitMicIndexAnswer(kRoom, kAlice, kMe, 1, -2),
         L"您的所有排麦位置被 管理员[501] 取消！有疑问请去 10000 房间找客服帮忙."},
        {answers::WaitMicIndexAnswer(kRoom, kAlice, kMe, 1, 7), nullptr},
        {answers::MicFailedAnswer(kRoom), L"上麦或下麦操作失败"},
        {answers::PublicMicChangedAnswer(kRoom, kAlice, 0, 1, 5, kMe, 0),
         L"您的麦时被管理员[ 501 ]延长了 5 分钟"},
    };
    for (const Case& c : cases) {
        ClearViews();
        Play({c.frame});
        EXPECT_EQ(Text(L"privtextout"), c.hint ? std::wstring(c.hint) : std::wstring());
    }
    EXPECT_TRUE(room->GetUserList()->HasUser(kAlice)) << "a ban leaves the lists alone";
}

TEST_F(UsersTest, MicrophoneTypesByValueAndPaneTitles) {
    // A held microphone's countdown does not tick on while the titles are read.
    winplat::InstallManualClock(1700000000);
    Join(1, {Member(kAlice, "alice")});
    for (int i = 0; i < 3; ++i) EXPECT_EQ(PaneTitle(i), L"麦上无人") << "until the table says more";
    struct Case {
        int16_t value;
        int32_t holder;
        const wchar_t* text;
        const wchar_t* title;  // of pane 0 afterwards
    } cases[] = {
        {-2, 0, L"管理员[alice]将1麦的类型修改为：管理麦。", L"管理麦"},
        {-1, 0, L"管理员[alice]将1麦的类型修改为：不限时的自由麦。", L"自由麦"},
        {0, 0, L"管理员[alice]将1麦的类型修改为：关闭麦。", L"已关闭"},
        {7, 0, L"管理员[alice]将1麦的麦时修改为：7分钟。", L"07:00"},
        // A held microphone's title is the countdown's: left as it was.
        {5, kAlice, L"管理员[alice]将1麦的麦时修改为：5分钟。", L"07:00"},
    };
    for (const Case& c : cases) {
        ClearViews();
        Play({answers::PublicMicChangedAnswer(kRoom, kAlice, 0, 2, static_cast<uint16_t>(c.value),
                                              c.holder, 0)});
        EXPECT_EQ(Text(L"privtextout"), std::wstring(c.text));
        EXPECT_EQ(Room()->pubMics[0].micType, c.value);
        EXPECT_EQ(PaneTitle(0), c.title) << c.value;
    }
    // The table of the room: each pane its own entry; entries beyond the panes change none.
    Play({answers::PublicMicsAnswer(
        {{1, static_cast<uint16_t>(-1), 0, 0}, {2, 3, 0, 0}, {5, 0, 0, 0}})});
    EXPECT_EQ(PaneTitle(0), L"07:00");
    EXPECT_EQ(PaneTitle(1), L"自由麦");
    EXPECT_EQ(PaneTitle(2), L"03:00");
    // An index beyond the table: nothing changes, one trace line.
    TakeTrace();
    room->OnPubMicInfoChanged(10);
    room->OnPubMicInfoChanged(-1);
    EXPECT_EQ(TakeTrace().size(), 2u);
}

TEST_F(UsersTest, RankChangesReorderTheSortedLists) {
    RankDelegate delegate;
    d->m_pUserMVManager->SetDelegate(&delegate);
    answers::UserEntry alice = Member(kAlice, "alice"), bob = Member(kBob, "bob");
    alice.roomMgrLevel = 3;
    alice.entryValue23 = 1;
    bob.entryValue23 = 9;
    bob.flags = 0x20;  // temporary manager
    Join(1, {alice, bob});
    EXPECT_EQ(Rows(room->GetManagerList()), (std::vector<int>{kAlice, kBob}));
    EXPECT_EQ(Rows(room->GetUserList()), (std::vector<int>{kAlice, kBob, kMe}));

    Play({answers::UserPriorityAnswer(kRoom, kMe, kBob, 1, 1)});  // appointed manager
    EXPECT_EQ(Rows(room->GetManagerList()), (std::vector<int>{kBob, kAlice}));
    EXPECT_EQ(Rows(room->GetUserList()), (std::vector<int>{kBob, kAlice, kMe}));
    EXPECT_EQ(Caption(L"mgrusersel"), L"管理/2");

    Play({answers::UserPriorityAnswer(kRoom, kMe, kBob, 2, 1)});  // removed
    EXPECT_EQ(Rows(room->GetManagerList()), std::vector<int>{kAlice});
    EXPECT_EQ(Rows(room->GetUserList()), (std::vector<int>{kAlice, kBob, kMe}));
    EXPECT_EQ(Caption(L"mgrusersel"), L"管理/1");
    d->m_pUserMVManager->SetDelegate(nullptr);
}

TEST_F(UsersTest, AnAliasChangeRefillsTheRows) {
    Join(1, {Member(kAlice, "alice")});
    Play({answers::UserAliasAnswer(kRoom, kAlice, 3, "alicia")});
    CCtrlListFriend* list = room->GetUserList();
    bool shown = false;
    for (int i = 0; i < list->GetCount(); ++i) {
        CControlUI* name =
            room->GetPaintManager().FindSubControlByName(list->GetItemAt(i), L"calias");
        shown = shown || (name && std::wstring(name->GetText()) == L"alicia");
    }
    EXPECT_TRUE(shown);
}

// A member on a public microphone who takes a new alias is shown under it in his pane
// too, not only in the lists.
TEST_F(UsersTest, AnAliasChangeRenamesThePaneOfAMemberOnAMicrophone) {
    Join(1, {Member(kAlice, "alice"), Member(kBob, "bob")});
    Play({answers::MicStateAnswer(kRoom, kAlice, kAlice, 1, 1)});
    CPubVideoContainerUI* pane = room->PublicPane(1);
    ASSERT_NE(pane, nullptr);
    ASSERT_EQ(pane->GetUserId(), kAlice);
    EXPECT_EQ(std::wstring(pane->GetCaption()), L"alice(501)");
    Play({answers::UserAliasAnswer(kRoom, kAlice, 3, "alicia")});
    EXPECT_EQ(std::wstring(pane->GetCaption()), L"alicia(501)");
    EXPECT_EQ(pane->GetUserId(), kAlice);
    // Another member's new alias leaves the pane as it is.
    Play({answers::UserAliasAnswer(kRoom, kBob, 4, "bobby")});
    EXPECT_EQ(std::wstring(pane->GetCaption()), L"alicia(501)");
    // Popped out, the pane's window shows the new alias as well.
    pane->PopOut();
    CWndUserPopupVideo* popup = pane->GetPopup();
    ASSERT_NE(popup, nullptr);
    ASSERT_NE(popup->GetPane(), nullptr);
    Play({answers::UserAliasAnswer(kRoom, kAlice, 3, "ally")});
    EXPECT_EQ(std::wstring(pane->GetCaption()), L"ally(501)");
    EXPECT_EQ(std::wstring(popup->GetPane()->GetCaption()), L"ally(501)");
    pane->ClosePopup();
}

TEST_F(UsersTest, RoomTextsGoToThePublicChatAndTheFourthToTheLabel) {
    Join(1, {}, false);
    Play({answers::RoomTextAnswer(kRoom, 0, "<b>welcome</b><script>x()</script>"),
          answers::RoomTextAnswer(kRoom, 3, "tonight: songs")});
    EXPECT_TRUE(Text(L"pubtextout").find(L"welcome") == std::wstring::npos)
        << "not before the list end";
    Play({answers::UserListEndAnswer()});
    EXPECT_TRUE(Has(Text(L"pubtextout"), L"welcome"));
    EXPECT_FALSE(Has(Html(L"pubtextout"), L"x()"));
    EXPECT_FALSE(Has(Text(L"pubtextout"), L"tonight"));
    EXPECT_EQ(Caption(L"roomyugao"), L"tonight: songs");
    room->OnRoomNoticeText(1, nullptr);
    room->OnRoomNoticeText(-1, L"x");
    room->OnRoomNoticeText(2, L"");
    EXPECT_EQ(Count(Text(L"pubtextout"), L"welcome"), 1u);
}

TEST_F(UsersTest, SiegeStripsAndBadges) {
    winplat::InstallManualClock(1700000000);
    Join(1, {Member(kAlice, "alice"), Member(kBob, "bob"), Member(kCarol, "carol")});
    answers::Siege held;
    held.lordId = kAlice;
    held.ladyId = kBob;
    held.knights = 12;
    held.captureTime = 1700000000 - (86400 + 2 * 3600 + 3 * 60 + 4);
    held.lordAlias = "alice";
    held.ladyAlias = "bob";
    Play({answers::SiegeAnswer(held)});
    std::wstring strip = Text(L"siegetextout");
    EXPECT_TRUE(
        Has(strip, L"恭喜alice(501)用12个骑兵攻下了主城送给bob(502),他们成为了城主和城主夫人!"))
        << winplat::WideToUtf8(strip);
    EXPECT_TRUE(Has(strip, L"(成功守城:1天2小时3分钟4秒)"));
    EXPECT_EQ(User(kAlice)->flags & 0x6000u, 0x2000u);
    EXPECT_EQ(User(kBob)->flags & 0x6000u, 0x4000u);

    // The held time runs on while the castle is held.
    winplat::AdvanceManualClock(1000);
    ASSERT_TRUE(Pump([&] { return Has(Text(L"siegetextout"), L"1天2小时3分钟5秒"); }));

    // A new lord: the old one loses his badge.
    held.lordId = kCarol;
    held.lordAlias = "carol";
    Play({answers::SiegeAnswer(held, 138)});
    EXPECT_EQ(User(kAlice)->flags & 0x6000u, 0u);
    EXPECT_EQ(User(kCarol)->flags & 0x6000u, 0x2000u);
    EXPECT_EQ(User(kBob)->flags & 0x6000u, 0x4000u);

    // A vacant castle takes both badges.
    Play({answers::SiegeAnswer(answers::Siege{})});
    EXPECT_TRUE(Has(Text(L"siegetextout"), L"当前城主之位空缺,欢迎使用 骑兵 进行攻城。"));
    EXPECT_EQ(User(kCarol)->flags & 0x6000u, 0u);
    EXPECT_EQ(User(kBob)->flags & 0x6000u, 0u);
    EXPECT_EQ(Count(Text(L"siegetextout"), L"空缺"), 1u) << "the strip is rewritten, not appended";

    // A capture time in the future shows no negative time.
    held.captureTime = 1700000000 + 500;
    Play({answers::SiegeAnswer(held)});
    EXPECT_TRUE(Has(Text(L"siegetextout"), L"(成功守城:0天0小时0分钟0秒)"));
}

}  // namespace
}  // namespace roomtest
