// The sanction dialog and its twin: the record carries the choices, nothing goes
// without a sanction or, for every room, without the right; a target who left is
// still named by his id.
#include <string>

#include "admin_fixture.h"
#include "dialogs/WndUserViolationHanding.h"
#include "model/UserManager.h"
#include "session/CommKernelData.h"
#include "util/ErrorMessage.h"

namespace roomtest {
namespace {

class SanctionTest : public AdminTest {
protected:
    void Open(std::vector<int> privileges, bool targetBanned = false) {
        Grant(privileges);
        EnterRoom(1, {Member(kAlice, "alice")});
        d->m_pUserManager->FindUser(kAlice)->chatBanned = targetBanned;
        room->ShowViolationWnd(kAlice);
        wnd = room->m_pWndViolation;
        ASSERT_NE(wnd, nullptr);
        NewHints();
    }
    WndUserViolationHanding* wnd = nullptr;
};

Bytes Record(uint8_t scope, uint8_t sanctions, uint8_t period, uint8_t reason) {
    Bytes b = Le({kRoom, kMe, kAlice});
    b.insert(b.end(), {scope, sanctions, period, reason});
    b.resize(76, 0);
    return b;
}

TEST_F(SanctionTest, TheRecordCarriesTheChoices) {
    struct Case {
        const char* what;
        std::vector<int> privileges;
        std::vector<const wchar_t*> ticked;  // besides the preselected options
        Bytes payload;                       // empty: nothing sent
        std::wstring hint;
    } cases[] = {
        {"chat ban, first period, this room",
         {},
         {L"chkforbidchat"},
         Record(1, 0x01, 1, 1),
         L"请求已发送！"},
        {"kick and freeze the computer, last period, second reason",
         {},
         {L"chkickout", L"chkfreezepc", L"opttime8", L"optreason2"},
         Record(1, 0x0A, 8, 2),
         L"请求已发送！"},
        {"freeze the account for ever in every room",
         {29},
         {L"chkfreezeaccount", L"permanent", L"optallroom"},
         Record(2, 0x04, 0, 1),
         L"请求已发送！"},
        {"all four, fifth period",
         {},
         {L"chkforbidchat", L"chkickout", L"chkfreezeaccount", L"chkfreezepc", L"opttime5"},
         Record(1, 0x0F, 5, 1),
         L"请求已发送！"},
        {"nothing ticked", {29}, {L"optallroom"}, {}, L"请选择处理方式！"},
        {"every room without the right",
         {},
         {L"chkickout", L"optallroom"},
         {},
         CErrorMessage::m_szErrText[0]},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        Open(c.privileges);
        for (const wchar_t* name : c.ticked) Tick(wnd, name, true);
        Click(wnd, L"btnOK");
        const std::vector<SentFrame> sent = Sent();
        if (c.payload.empty()) {
            EXPECT_TRUE(sent.empty());
        } else {
            ASSERT_EQ(sent.size(), 1u);
            EXPECT_EQ(sent[0].subCmd, 90);
            EXPECT_EQ(sent[0].payload, c.payload);
        }
        EXPECT_TRUE(Has(NewHints(), c.hint));
        EXPECT_NE(room->m_pWndViolation, nullptr) << "the window stays open";
        TearDown();
    }
}

TEST_F(SanctionTest, ATargetWhoLeftIsStillNamedAndOneWindowIsReused) {
    Open({}, true);
    EXPECT_TRUE(static_cast<DuiLib::CCheckBoxUI*>(Control(wnd, L"chkforbidchat"))->GetCheck());
    PlayRoom({answers::UserExitAnswer(kRoom, kAlice)});
    room->OnUserExitRoom(kAlice);  // what the lobby relays
    FreeCopies();
    ASSERT_EQ(d->m_pUserManager->FindUser(kAlice), nullptr);
    Sent();  // what the room sends of a leaving member
    Click(wnd, L"btnOK");
    const std::vector<SentFrame> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].payload, Record(1, 0x01, 1, 1));

    room->ShowViolationWnd(kBob);  // a second request shows the open one
    EXPECT_EQ(room->m_pWndViolation, wnd);
    LayOut(wnd->GetHWND(), wnd->GetPaintManager());
    EXPECT_FALSE(SaveShot(wnd->GetHWND(), "sanction").empty());
    ::DestroyWindow(wnd->GetHWND());
    EXPECT_EQ(room->m_pWndViolation, nullptr);
}

TEST_F(SanctionTest, TheTwinSendsTheSameWithItsOwnHint) {
    Open({});
    ::DestroyWindow(wnd->GetHWND());
    CWndAuthority* twin = nullptr;
    auto* w = new CWndAuthority(*d->m_pUserManager->FindUser(kAlice));
    w->SetOwnerSlot(&twin);
    twin = w;
    ASSERT_TRUE(w->Create(room->GetHWND(), L"", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 0, 0));
    Tick(w, L"chkickout", true);
    Click(w, L"btnOK");
    const std::vector<SentFrame> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].payload, Record(1, 0x02, 1, 1));
    const std::wstring hints = NewHints();
    EXPECT_TRUE(Has(hints, L"请求已发送"));
    EXPECT_FALSE(Has(hints, L"请求已发送！"));
    ::DestroyWindow(w->GetHWND());
    EXPECT_EQ(twin, nullptr);
}

}  // namespace
}  // namespace roomtest
