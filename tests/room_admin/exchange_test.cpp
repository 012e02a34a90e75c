// Exchange and transfer: the amount sent is the one typed or nothing goes, the target
// is a real other user, the error label says why, and a money answer shows the new
// balances.
#include <QImage>

#include <string>

#include "admin_fixture.h"
#include "dialogs/WndRoomExchange.h"
#include "session/CommKernelData.h"

namespace roomtest {
namespace {

class ExchangeTest : public AdminTest {
protected:
    void Open(std::vector<int> privileges, int64_t money, int64_t points) {
        Grant(privileges);
        EnterRoom(1, {Member(kAlice, "alice")});
        d->m_LocalUser.money = money;
        d->m_LocalUser.points = points;
        room->ShowExchangeWnd();
        wnd = room->m_pWndExchange;
        ASSERT_NE(wnd, nullptr);
        NewHints();
    }
    CWndRoomExchange* wnd = nullptr;
};

Bytes MoneyOp(int target, int amount, uint8_t op) {
    Bytes b = Le({kRoom, kMe, target, amount});
    b.push_back(op);
    return b;
}

TEST_F(ExchangeTest, OnlyTheTypedAmountWithinItsLimitsIsSent) {
    struct Case {
        const char* what;
        std::vector<int> privileges;
        int64_t money, points;
        bool transfer;
        std::wstring target, amount;
        Bytes payload;  // empty: nothing sent
        const wchar_t* label;
        std::wstring text;
        std::wstring hint;
    } cases[] = {
        {"the largest exchange",
         {14},
         0,
         200000000,
         false,
         L"",
         L"100000000",
         MoneyOp(0, 100000000, 4),
         L"labjifenError",
         L"",
         L"兑换请求已发送！"},
        {"one more",
         {14},
         0,
         200000000,
         false,
         L"",
         L"100000001",
         {},
         L"labjifenError",
         L"输入数目错误!",
         L""},
        {"wraps to 1 in 32 bits",
         {14},
         0,
         200000000,
         false,
         L"",
         L"4294967297",
         {},
         L"labjifenError",
         L"输入数目错误!",
         L""},
        {"a number with a tail",
         {14},
         0,
         200000000,
         false,
         L"",
         L"12abc",
         {},
         L"labjifenError",
         L"输入数目错误!",
         L""},
        {"empty", {14}, 0, 200000000, false, L"", L"", {}, L"labjifenError", L"输入数目错误!", L""},
        {"negative balance",
         {14},
         0,
         -5,
         false,
         L"",
         L"1",
         {},
         L"labjifenError",
         L"输入数目错误!",
         L""},
        {"above the balance",
         {14},
         0,
         10,
         false,
         L"",
         L"11",
         {},
         L"labjifenError",
         L"输入数目错误!",
         L""},
        {"no exchange right",
         {15},
         0,
         200000000,
         false,
         L"",
         L"5",
         {},
         L"labjifenError",
         L"您没有做够权限!",
         L""},
        {"a transfer, blanks around",
         {15},
         1000,
         0,
         true,
         L" 502 ",
         L" 250 ",
         MoneyOp(kBob, 250, 3),
         L"labJinBiError",
         L"",
         L"转帐请求已发送！"},
        {"to oneself",
         {15},
         1000,
         0,
         true,
         L"1001",
         L"9999",
         {},
         L"labUserIDError",
         L"输入id错误!",
         L""},
        {"a negative target",
         {15},
         1000,
         0,
         true,
         L"-3",
         L"5",
         {},
         L"labUserIDError",
         L"输入id错误!",
         L""},
        {"above the coins",
         {15},
         1000,
         0,
         true,
         L"502",
         L"1001",
         {},
         L"labJinBiError",
         L"输入数目错误!",
         L""},
        {"no transfer right, and stops there",
         {14},
         1000,
         0,
         true,
         L"1001",
         L"5",
         {},
         L"labJinBiError",
         L"您没有足够权限!",
         L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        Open(c.privileges, c.money, c.points);
        if (c.transfer) {
            Type(wnd, L"edtZhuanRuID", c.target);
            Type(wnd, L"edtZhuanRushu", c.amount);
            Click(wnd, L"btnSubmitTransfer");
        } else {
            Type(wnd, L"edtjifenshu", c.amount);
            Click(wnd, L"btnSubmitExchange");
        }
        const std::vector<SentFrame> sent = Sent();
        if (c.payload.empty()) {
            EXPECT_TRUE(sent.empty());
        } else {
            ASSERT_EQ(sent.size(), 1u);
            EXPECT_EQ(sent[0].subCmd, 126);
            EXPECT_EQ(sent[0].payload.size() + 10, 27u);
            EXPECT_EQ(sent[0].payload, c.payload);
        }
        EXPECT_EQ(TextOf(wnd, c.label), c.text);
        if (c.transfer && std::wstring(c.label) != L"labUserIDError") {
            EXPECT_EQ(TextOf(wnd, L"labUserIDError"), L"");
        }
        const std::wstring hints = NewHints();
        if (!c.hint.empty()) {
            EXPECT_TRUE(Has(hints, c.hint));
        }
        if (c.payload.empty()) {
            EXPECT_FALSE(Has(hints, L"请求已发送"));
        }
        TearDown();
    }
}

TEST_F(ExchangeTest, EditingClearsTheFieldsError) {
    Open({14, 15}, 0, 0);
    Type(wnd, L"edtjifenshu", L"5");
    Click(wnd, L"btnSubmitExchange");
    ASSERT_EQ(TextOf(wnd, L"labjifenError"), L"输入数目错误!");
    DuiLib::TNotifyUI msg;
    msg.sType = DUI_MSGTYPE_TEXTCHANGED;
    msg.pSender = Control(wnd, L"edtjifenshu");
    wnd->Notify(msg);
    EXPECT_EQ(TextOf(wnd, L"labjifenError"), L"");
}

TEST_F(ExchangeTest, AMoneyAnswerShowsTheNewBalances) {
    Open({14, 15}, 7, 3);
    EXPECT_EQ(TextOf(wnd, L"labjifenshu"), L"3");
    EXPECT_EQ(TextOf(wnd, L"edtjifenshu"), L"3");
    const int64_t money = (int64_t{1} << 32) + 17;
    PlayRoom({answers::WealthAnswer(kRoom, kMe, money, 12),
              answers::MoneyTransferAnswer(kRoom, kMe, 5)});
    // What the lobby relays of 105/129 (the recorder took it).
    room->OnMoneyTransferNotify(kMe, 5);
    PumpPending();
    EXPECT_EQ(TextOf(wnd, L"labjinbishu"), L"4294967313");
    EXPECT_EQ(TextOf(wnd, L"labjifenshu"), L"12");
    EXPECT_EQ(TextOf(wnd, L"edtjifenshu"), L"3") << "the edit keeps what was there";

    Tick(wnd, L"swtransfer", true);  // what a real click on the tab does first
    Click(wnd, L"swtransfer");
    LayOut(wnd->GetHWND(), wnd->GetPaintManager());
    auto* label = static_cast<DuiLib::CLabelUI*>(Control(wnd, L"labjinbishu"));
    ShotOf(wnd->GetHWND(), label);
    const QImage shot = ShotOf(wnd->GetHWND(), label);
    const QImage ref = RenderLabel(wnd->GetPaintManager(), label, L"4294967313", false, Qt::white);
    EXPECT_GT(InkMatch(shot, ref), 0.9);
    EXPECT_FALSE(SaveShot(wnd->GetHWND(), "exchange_transfer").empty());
}

}  // namespace
}  // namespace roomtest
