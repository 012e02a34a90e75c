// Answers to the local user's administration requests, and the members' answers to
// his private video requests, through the lobby.
#include <cstring>
#include <string>

#include "notify_fixture.h"
#include "room/UserVideoWndMgr.h"
#include "ui_fixture.h"
#include "win32/text.h"

namespace roomtest {
namespace {

class AdminTest : public NotifyTest {};

TEST_F(AdminTest, EachAnswerWritesItsHint) {
    Join(1, {Member(kAlice, "alice")});
    struct Case {
        Bytes frame;
        const wchar_t* hint;
    } cases[] = {
        {answers::ResultAnswer(113, kRoom, 0), L"修改房间信息成功!"},
        {answers::ResultAnswer(113, kRoom, 4), L"修改房间信息失败!"},
        {answers::ResultAnswer(115, kRoom, 0), L"修改房间运行状态成功!"},
        {answers::ResultAnswer(115, kRoom, -1), L"修改房间运行状态失败!"},
        {answers::ResultAnswer(117, kRoom, 0), L"修改房间公告成功!"},
        {answers::ResultAnswer(117, kRoom, 1), L"修改房间公告失败!"},
        {answers::ResultAnswer(107, kRoom, 0), L"操作成功！"},
        {answers::ResultAnswer(107, kRoom, 2), L"操作失败！"},
        {answers::UpWaitMicAnswer(105, kRoom, kMe), L"超出排麦限制次数,排麦失败！"},
        {answers::UpWaitMicAnswer(104, kRoom, kMe), L"排麦成功！"},
        {answers::WaitMicLimitsAnswer(kRoom, kAlice, 3, 5), L"房间排麦人数限制更新！"},
        {answers::WaitMicLimitsAnswer(kRoom, kMe, 3, 5), L"修改成功！"},
        {answers::ForbidInviteAnswer(kRoom, kMe, 1), L"开启防抱麦功能成功!"},
        {answers::ForbidInviteAnswer(kRoom, kMe, 0), L"取消防抱麦功能成功!"},
        {answers::SeeUserIpAnswer(kRoom, kMe, kAlice, "10.1.2.3"),
         L"用户 501 的IP地址为: 10.1.2.3"},
        {answers::PasswordAnswer(kMe, 0, 1, "newpass"), L"密码修改成功!"},
        {answers::PasswordAnswer(kMe, 3, 1, "newpass"), L"密码修改失败!"},
    };
    for (const Case& c : cases) {
        ClearViews();
        Play({c.frame});
        EXPECT_EQ(Text(L"privtextout"), std::wstring(c.hint));
    }
}

TEST_F(AdminTest, VideoConnectionAnswersByMicrophone) {
    answers::UserEntry onPublic = Member(kAlice, "alice"), onVip = Member(kBob, "bob"),
                       onSecret = Member(kCarol, "carol"), onNone = Member(504, "dan");
    onPublic.flags = 0x1;
    onPublic.micIndex = 0;
    onVip.flags = 0x2;
    onSecret.flags = 0x4;
    Join(1, {onPublic, onVip, onSecret, onNone});
    struct Case {
        Bytes frame;
        const wchar_t* hint;  // the whole private chat afterwards
        int userId;           // the answering user
        bool window;          // his private window open afterwards
        bool subscribed;      // his streams in the engine afterwards (a pane or a window)
        std::vector<std::pair<int, int>> requests;  // media connection (user, operation)
    } cases[] = {
        // Alice's picture is on public pane 0 already.
        {answers::ConnMediaRespAnswer(kRoom, kMe, kAlice), L"", kAlice, false, true, {}},
        {answers::ConnMediaRespAnswer(kRoom, kMe, kBob),
         L"bob 同意了你的连接!",
         kBob,
         true,
         true,
         {{kBob, 1}}},
        // Nobody would see the secret microphone's picture: the connection is closed again.
        {answers::ConnMediaRespAnswer(kRoom, kMe, kCarol),
         L"",
         kCarol,
         false,
         false,
         {{kCarol, 3}}},
        {answers::ConnMediaRespAnswer(kRoom, kMe, 504),
         L"dan 不在麦上,不能连接视频!",
         504,
         false,
         false,
         {}},
        {answers::ConnMediaRespAnswer(kRoom, kMe, 777),
         L"不在线,不能连接视频!",
         777,
         false,
         false,
         {}},  // empty alias; the page drops the lead blank
        // For another requester.
        {answers::ConnMediaRespAnswer(kRoom, kAlice, kCarol), L"", kCarol, false, false, {}},
        // A refusal from a user whose window is not open.
        {answers::ConnMediaErrAnswer(kRoom, kMe, kCarol), L"", kCarol, false, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.userId);
        ClearViews();
        ConnRequests();
        Play({c.frame});
        EXPECT_EQ(Text(L"privtextout"), std::wstring(c.hint));
        EXPECT_EQ(HasWindow(c.userId), c.window);
        EXPECT_EQ(Subscribed(c.userId), c.subscribed);
        EXPECT_EQ(ConnRequests(), c.requests);
    }
}

TEST_F(AdminTest, AnswersForAPrivateWindowAlreadyOpen) {
    answers::UserEntry onVip = Member(kBob, "bob"), onSecret = Member(kCarol, "carol");
    onVip.flags = 0x2;
    onSecret.flags = 0x4;
    Join(1, {onVip, onSecret});
    Play({answers::ConnMediaRespAnswer(kRoom, kMe, kBob)});
    ASSERT_TRUE(HasWindow(kBob));
    EXPECT_EQ(ConnRequests(), (std::vector<std::pair<int, int>>{{kBob, 1}}));
    // The secret microphone's window opens from its link, before the member answers.
    bool cancel = false;
    room->BeforeNavigate2(nullptr, L"entersecrmic:503", 0, nullptr, nullptr, nullptr, cancel);
    ASSERT_TRUE(HasWindow(kCarol));
    EXPECT_FALSE(Subscribed(kCarol)) << "not before he agrees";
    EXPECT_EQ(ConnRequests(), (std::vector<std::pair<int, int>>{{kCarol, 1}}));

    struct Case {
        Bytes frame;
        const wchar_t* hint;  // the whole private chat afterwards
        int userId;
        bool window;
        bool subscribed;
        std::vector<std::pair<int, int>> requests;
    } cases[] = {
        // A second acceptance changes nothing.
        {answers::ConnMediaRespAnswer(kRoom, kMe, kBob), L"", kBob, true, true, {}},
        {answers::ConnMediaRespAnswer(kRoom, kMe, kCarol), L"", kCarol, true, true, {}},
        {answers::ConnMediaErrAnswer(kRoom, kMe, kBob),
         L"bob 拒绝了你的连接!",
         kBob,
         false,
         false,
         {{kBob, 3}}},
        // His window is gone already.
        {answers::ConnMediaErrAnswer(kRoom, kMe, kBob), L"", kBob, false, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.userId);
        ClearViews();
        Play({c.frame});
        EXPECT_EQ(Text(L"privtextout"), std::wstring(c.hint));
        EXPECT_EQ(HasWindow(c.userId), c.window);
        EXPECT_EQ(Subscribed(c.userId), c.subscribed);
        EXPECT_EQ(ConnRequests(), c.requests);
    }
    EXPECT_EQ(room->m_pUserVideoWndMgr->GetCount(), 1) << "one window each, carol's left";

    // Her link again, and bob's (whose privilege the local user lacks) once his window is
    // open again: the open windows stay as they are, nothing is asked, nothing written.
    Play({answers::ConnMediaRespAnswer(kRoom, kMe, kBob)});
    ConnRequests();
    ClearViews();
    for (const wchar_t* link : {L"entersecrmic:503", L"entervipmic:502"}) {
        SCOPED_TRACE(winplat::WideToUtf8(link));
        room->BeforeNavigate2(nullptr, link, 0, nullptr, nullptr, nullptr, cancel);
        EXPECT_TRUE(cancel);
        EXPECT_EQ(Text(L"privtextout"), L"");
        EXPECT_TRUE(ConnRequests().empty());
    }
    // The "连接视频" command for either of them the same.
    for (int id : {kCarol, kBob}) {
        SCOPED_TRACE(id);
        room->m_nSelUserId = id;
        ::SendMessageW(room->GetHWND(), WM_COMMAND, 13914, 0);
        EXPECT_EQ(Text(L"privtextout"), L"");
        EXPECT_TRUE(ConnRequests().empty());
    }
    EXPECT_EQ(room->m_pUserVideoWndMgr->GetCount(), 2);
}

}  // namespace
}  // namespace roomtest
