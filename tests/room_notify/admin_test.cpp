// Answers to the local user's administration requests, and the members' answers to
// his private video requests, through the lobby.
#include <cstring>
#include <string>

#include "notify_fixture.h"
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
        {answers::SeeUserIpAnswer(kRoom, kMe, kAlice, "10.1.2.3"), L"用户 501 的IP地址为: 10.1.2.3"},
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
        const char* media;    // traced media call, or null
        bool closesAgain;     // 105/69 with operation 3 for the answering user
    } cases[] = {
        {answers::ConnMediaRespAnswer(kRoom, kMe, kAlice), L"", nullptr, false},
        {answers::ConnMediaRespAnswer(kRoom, kMe, kBob), L"bob 同意了你的连接!", "private video opened for 502", false},
        {answers::ConnMediaRespAnswer(kRoom, kMe, kCarol), L"", nullptr, true},
        {answers::ConnMediaRespAnswer(kRoom, kMe, 504), L"dan 不在麦上,不能连接视频!", nullptr, false},
        {answers::ConnMediaRespAnswer(kRoom, kMe, 777), L"不在线,不能连接视频!", nullptr, false},  // empty alias; the page drops the lead blank
        // For another requester.
        {answers::ConnMediaRespAnswer(kRoom, kAlice, kBob), L"", nullptr, false},
        // A refusal from a user whose window is not open.
        {answers::ConnMediaErrAnswer(kRoom, kMe, kBob), L"", nullptr, false},
    };
    for (const Case& c : cases) {
        ClearViews();
        TakeTrace();
        TakeSent();
        Play({c.frame});
        EXPECT_EQ(Text(L"privtextout"), std::wstring(c.hint));
        const auto trace = TakeTrace();
        if (c.media) {
            ASSERT_EQ(trace.size(), 1u);
            EXPECT_NE(trace[0].find(c.media), std::string::npos);
        } else {
            EXPECT_TRUE(trace.empty());
        }
        if (c.closesAgain) {
            ASSERT_TRUE(kerneltest::Pump([&] { return servers.room().ReceivedCount() > sentSeen; }));
        }
        const std::vector<SentFrame> sent = TakeSent();
        ASSERT_EQ(sent.size(), c.closesAgain ? 1u : 0u);
        if (c.closesAgain) {
            EXPECT_EQ(sent[0].subCmd, 69);
            int32_t target = 0;
            std::memcpy(&target, &sent[0].payload[8], 4);
            EXPECT_EQ(target, kCarol);
            EXPECT_EQ(sent[0].payload[12], 3);
        }
    }
}

}  // namespace
}  // namespace roomtest
