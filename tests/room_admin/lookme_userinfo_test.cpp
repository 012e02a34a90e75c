// The spectator list (only users the user manager knows, cut off in list order) and
// the user card (laid-out texts kept where nothing is known, the alias as plain text,
// Alt+F4 ending only its own modal loop).
#include <QImage>
#include <QTimer>

#include <string>

#include "admin_fixture.h"
#include "controls/CtrlListQunshuaUser.h"
#include "dialogs/WndRoomLookme.h"
#include "dialogs/WndUserInfo.h"
#include "kernel/CommKernel.h"
#include "model/UserManager.h"
#include "model/UserObj.h"
#include "session/CommKernelData.h"

namespace roomtest {
namespace {

constexpr int kCarol = 503;
constexpr int kGone = 9999;

using LookmeTest = AdminTest;
using UserInfoTest = AdminTest;

CUserObj* UserOf(int id) {
    return CCommKernel::GetInstance()->m_pData->m_pUserManager->FindUser(id);
}

TEST_F(LookmeTest, KnownWatchersAreListedAndTickedOnesCutOffInOrder) {
    EnterRoom(1, {Member(kAlice, "alice"), Member(kBob, "bob"), Member(kCarol, "carol")});
    CUserFriendMgr& friends = d->m_FriendMgr;
    friends.ClearAllPrivSpectator();
    for (int id : {kAlice, kBob, kCarol}) friends.AddPrivSpectator(id, UserOf(id));
    friends.AddPrivSpectator(kGone, nullptr);  // left the room: the manager no longer has him

    CWndRoomLookme wnd;
    ASSERT_TRUE(wnd.Create(room->GetHWND(), L"", WS_POPUP, 0, 0, 0, 0, 0));
    wnd.FillLookmeList();
    CCtrlListQunshuaUser* list = wnd.GetList();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->GetCount(), 3);
    wnd.ShowWindow(true, false);
    LayOut(wnd.GetHWND(), wnd.GetPaintManager());
    EXPECT_FALSE(SaveShot(wnd.GetHWND(), "lookme").empty());

    Click(&wnd, L"btncloseconnect");  // nothing ticked: nothing happens
    EXPECT_TRUE(Sent().empty());

    // Ticks: the first and the third row.
    auto tick = [&](int row) {
        auto* box = static_cast<DuiLib::CCheckBoxUI*>(
            wnd.GetPaintManager().FindSubControlByName(list->GetItemAt(row), L"chkselall"));
        ASSERT_NE(box, nullptr);
        box->SetCheck(true, false);
    };
    tick(0);
    tick(2);
    Click(&wnd, L"btncloseconnect");
    const std::vector<SentFrame> sent = Sent();
    ASSERT_EQ(sent.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        Bytes want = Le({kRoom, i == 0 ? kAlice : kCarol, kMe});
        want.push_back(1);
        EXPECT_EQ(sent[i].subCmd, 71);
        EXPECT_EQ(sent[i].payload, want);
    }
    ASSERT_EQ(list->GetCount(), 1);
    std::vector<int> ticked;
    EXPECT_EQ(list->GetCheckedUserIds(ticked), 0) << "bob's row stays unticked";
    EXPECT_FALSE(friends.IsPrivSpectator(kAlice));
    EXPECT_TRUE(friends.IsPrivSpectator(kBob));
    EXPECT_FALSE(friends.IsPrivSpectator(kCarol));
    EXPECT_TRUE(friends.IsPrivSpectator(kGone));

    Click(&wnd, L"btnrefresh");
    EXPECT_EQ(list->GetCount(), 1);
    ::DestroyWindow(wnd.GetHWND());
    friends.ClearAllPrivSpectator();
}

TEST_F(LookmeTest, TheRoomRunsItModallyFilledAndAltF4EndsIt) {
    EnterRoom(1, {Member(kAlice, "alice")});
    d->m_FriendMgr.AddPrivSpectator(kAlice, UserOf(kAlice));
    room->ShowLookMeWnd();  // not on a private microphone: refused, nothing opens
    EXPECT_TRUE(Has(PrivateText(), L"您没有在私麦或密麦上,无法使用此功能！"));

    d->m_LocalUser.flags = USER_FLAG_VIP_MIC;
    int rows = -1;
    QTimer::singleShot(50, [&] {
        CWndRoomLookme* w = room->m_pWndLookme;
        if (!w) return;
        rows = w->GetList()->GetCount();
        room->ShowLookMeWnd();  // a second request while it runs does nothing
        ::PostMessageW(w->GetHWND(), WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    room->ShowLookMeWnd();
    EXPECT_EQ(rows, 1);
    EXPECT_EQ(room->m_pWndLookme, nullptr);
    EXPECT_EQ(FindWindowW(L"UIQunshua", nullptr), nullptr);
    d->m_FriendMgr.ClearAllPrivSpectator();
}

TEST_F(UserInfoTest, WithoutAUserTheCardStaysAsLaidOut) {
    EnterRoom(1, {});
    CWndUserInfo wnd;
    ASSERT_TRUE(wnd.Create(room->GetHWND(), L"", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 0, 0));
    EXPECT_EQ(TextOf(&wnd, L"sta_userid"), L"未知");
    EXPECT_EQ(TextOf(&wnd, L"sta_onlinetime"), L"未知");
    ::DestroyWindow(wnd.GetHWND());
}

TEST_F(UserInfoTest, TheCardShowsTheUserAndTheAliasLiterally) {
    EnterRoom(1, {Member(kAlice, "alice")});
    CUserObj* alice = UserOf(kAlice);
    const std::string alias = "<b>x</b>{c #FF0000}y";
    alice->alias = alias;
    alice->sex = 2;
    alice->levels[0] = 77;  // no description of that level
    alice->faceId = 3;
    bool checked = false;
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    QTimer::singleShot(50, [&] {
        CWndUserInfo* w = room->m_pWndUserInfo;
        if (!w) return;
        LayOut(w->GetHWND(), w->GetPaintManager());
        EXPECT_EQ(TextOf(w, L"sta_userid"), L"501");
        EXPECT_EQ(TextOf(w, L"sta_useralias"), std::wstring(alias.begin(), alias.end()));
        EXPECT_EQ(TextOf(w, L"sta_userlevel"), L"77");
        EXPECT_EQ(TextOf(w, L"sta_sex"), L"未知") << "sex 2 keeps the layout's text";
        EXPECT_EQ(TextOf(w, L"sta_onlinetime"), L"256小时");
        EXPECT_EQ(TextOf(w, L"sta_birthday"), L"1971年1月1日");
        EXPECT_EQ(TextOf(w, L"sta_address"), L"中国 北京 东城");
        auto* label = static_cast<DuiLib::CLabelUI*>(Control(w, L"sta_useralias"));
        ShotOf(w->GetHWND(), label);
        const QImage shot = ShotOf(w->GetHWND(), label);
        const QImage ref =
            RenderLabel(w->GetPaintManager(), label, L"<b>x</b>{c #FF0000}y", false, Qt::white);
        EXPECT_GT(InkMatch(shot, ref), 0.9) << "the markup is shown as typed";
        EXPECT_FALSE(SaveShot(w->GetHWND(), "user_info").empty());
        checked = true;
        ::PostMessageW(w->GetHWND(), WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    room->ShowUserInfoWnd(kAlice);
    EXPECT_TRUE(checked);
    EXPECT_EQ(room->m_pWndUserInfo, nullptr);
    EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "no quit message";
    EXPECT_TRUE(::IsWindow(room->GetHWND()));
}

}  // namespace
}  // namespace roomtest
