// Gifts, lucky wins, the loudspeaker, seals, fireworks and money as the room stand-in
// reports them through the lobby.
#include <string>
#include <vector>

#include "controls/CtrlListFriend.h"
#include "controls/LuckyMsgBox.h"
#include "notify_fixture.h"
#include "room/ChatLines.h"
#include "room/NotifyLines.h"
#include "session/CommKernelData.h"
#include "ui_fixture.h"
#include "win32/clock.h"
#include "win32/text.h"

using namespace DuiLib;

namespace roomtest {
namespace {

constexpr int kRose = 7;
constexpr int kStar = 8;

class GiftsTest : public NotifyTest {
protected:
    void SetUp() override {
        NotifyTest::SetUp();
        // Flash tasks stay queued where the test can read them.
        d->m_PropsTaskMgr.Uninit();
        d->m_PropsTaskMgr.tasks.clear();
        AddGift(kRose, L"玫瑰", 100, 3);
        AddGift(kStar, L"幸运星", 10000000, 0);
    }
    void TearDown() override {
        d->m_PropsTaskMgr.tasks.clear();
        NotifyTest::TearDown();
    }
    static answers::Gift Rose(int roomId, int giver, int receiver, int count) {
        answers::Gift g;
        g.roomId = roomId;
        g.giverId = giver;
        g.receiverId = receiver;
        g.giftId = kRose;
        g.count = count;
        g.giver = giver == kAlice ? "alice" : giver == kBob ? "bob" : "me";
        g.receiver = receiver == kAlice ? "alice" : receiver == kBob ? "bob" : "me";
        return g;
    }
    std::vector<int> Flashes() {
        std::vector<int> ids;
        for (const tag_PropsFlashPlayTaskItem& t : d->m_PropsTaskMgr.tasks) ids.push_back(t.number);
        d->m_PropsTaskMgr.tasks.clear();
        return ids;
    }
};

TEST_F(GiftsTest, AGiftInTheRoomCountsItsNoticesAndThanksAtTheLimit) {
    Join(1, {Member(kAlice, "alice"), Member(kBob, "bob")});
    Play({answers::GiftAnswer(Rose(kRoom, kAlice, kMe, 10))});  // 10 x 100 = the limit
    const std::wstring priv = Text(L"privtextout");
    EXPECT_TRUE(Has(priv, L"[alice]送给[你]10个 玫瑰,价值 1000 Z币, 【谢 谢】!"))
        << winplat::WideToUtf8(priv);
    EXPECT_TRUE(
        Has(Html(L"privtextout"), L"gift_thank:【alice】送给【你】 10 个 玫瑰,价值 1000 Z币!"));
    // The received-count lines come one a tick of the notice timer, as often as the count.
    ASSERT_TRUE(Pump([&] { return Count(Text(L"pubtextout"), L"已收到") == 10; }))
        << winplat::WideToUtf8(Text(L"pubtextout"));
    EXPECT_TRUE(Has(Text(L"pubtextout"), L"[alice]送给[你]10个 玫瑰,"));
    EXPECT_TRUE(Has(Text(L"pubtextout"), L",已收到 10 枚"));
    EXPECT_EQ(Flashes(), std::vector<int>{3});
    EXPECT_EQ(d->m_GiftRollInfo.nGiverId, kAlice);

    ClearViews();
    Play({answers::GiftAnswer(Rose(kRoom, kAlice, kMe, 9))});  // below the limit
    EXPECT_TRUE(Text(L"privtextout").empty());

    // A dear gift in numbers is worth more than 32 bits hold.
    AddGift(9, L"城堡", 100000000, 0);
    answers::Gift castle = Rose(kRoom, kAlice, kMe, 50);
    castle.giftId = 9;
    Play({answers::GiftAnswer(castle)});
    EXPECT_TRUE(Has(Text(L"privtextout"), L"50个 城堡,价值 5000000000 Z币"));

    // Anonymous between two others: the giver is hidden.
    answers::Gift hidden = Rose(kRoom, kAlice, kBob, 1);
    hidden.anonymous = 1;
    Play({answers::GiftAnswer(hidden)});
    ASSERT_TRUE(Pump([&] { return Has(Text(L"pubtextout"), L"[神秘人]送给[bob]1个 玫瑰"); }));
    EXPECT_FALSE(Has(Text(L"pubtextout"), L"[alice]送给[bob]"));
}

TEST_F(GiftsTest, AGiftInAnotherRoomOnlyRollsAndFlashes) {
    Join(1, {Member(kAlice, "alice")});
    answers::Gift elsewhere = Rose(99, 7001, 7002, 3);
    elsewhere.giver = "far";
    elsewhere.receiver = "away";
    elsewhere.third = "third";
    elsewhere.value24 = 44;
    ClearViews();
    Play({answers::GiftAnswer(elsewhere)});
    Pump([] { return false; }, 200);
    EXPECT_TRUE(Text(L"pubtextout").empty());
    EXPECT_TRUE(Text(L"privtextout").empty());
    const tag_GiftRollInfo& roll = d->m_GiftRollInfo;
    EXPECT_EQ(roll.nRoomId, 99);
    EXPECT_EQ(roll.nCount, 3);
    EXPECT_EQ(roll.nValue24, 44);
    EXPECT_STREQ(roll.szThirdName, "third");
    EXPECT_EQ(Flashes(), std::vector<int>{3});

    // A negative roll byte keeps the roll; shielded effects play nothing.
    elsewhere.roll = -1;
    elsewhere.count = 5;
    d->m_UserEnv.m_bShiledGiftEffect = true;
    Play({answers::GiftAnswer(elsewhere)});
    EXPECT_EQ(roll.nCount, 3);
    EXPECT_TRUE(Flashes().empty());
}

TEST_F(GiftsTest, LuckyRewardsCountByMultiplierAndShowEveryWinInTheBox) {
    Join(1, {Member(kAlice, "alice")});
    Play({answers::LuckyGiftAnswer(kRoom, kMe, kStar, {10, 10, 50})});
    EXPECT_TRUE(Has(Text(L"privtextout"), L"[你]送出幸运星, 获得10倍奖2次，50倍奖1次。"));
    ASSERT_NE(room->GetLuckyMsgBox(), nullptr);
    EXPECT_TRUE(::IsWindowVisible(room->GetLuckyMsgBox()->GetHWND()));

    // Another member's win shows in the box only.
    ClearViews();
    Play({answers::LuckyGiftAnswer(kRoom, kAlice, kStar, {500})});
    EXPECT_TRUE(Text(L"privtextout").empty());

    // Not for another room.
    Play({answers::LuckyGiftAnswer(99, kMe, kStar, {10})});
    EXPECT_TRUE(Text(L"privtextout").empty());

    // The box texts: one a win above 0, the amount whole.
    const std::vector<std::wstring> texts =
        NotifyLines::LuckyBoxTexts("alice", L"幸运星", {10, 0, 10, 50, 500}, 10000000);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0],
              L"恭喜<c #FF0000>alice </c>送出<c #FF0000>幸运星 </c>后获得 <i icon_10.png 1 "
              L"0>，共计<c #FF0000>100000000 金币 </c>");
    EXPECT_TRUE(Has(texts[2], L"<i icon_50.png 1 0>"));
    EXPECT_TRUE(Has(texts[3], L"<i icon_500.png 1 0>，共计<c #FF0000>5000000000 金币 </c>"));
    EXPECT_TRUE(Has(NotifyLines::LuckyBoxTexts("a", L"b", {7}, 1)[0], L"icon_100.png"));
}

TEST_F(GiftsTest, LuckyWinFloodsQueueAtMostThreeMinutesOfBanner) {
    winplat::InstallManualClock(1700000000);  // no line runs out while the floods come
    Join(1, {Member(kAlice, "alice")});
    CLuckyMsgBox* box = room->GetLuckyMsgBox();
    ASSERT_NE(box, nullptr);
    // One 8 KB answer holds up to 4085 multipliers, each a line of two seconds.
    const std::vector<int16_t> full(4085, 10);
    struct Case {
        const char* what;
        int frames;
        std::vector<int16_t> multipliers;
        size_t queued;  // lines in the box afterwards
        size_t traces;  // trace lines about dropped lines
    } cases[] = {
        {"a win of a few multipliers shows every one", 1, {10, 50, 0, 500}, 3, 0},
        {"up to three minutes of banner", 1, std::vector<int16_t>(87, 10), 90, 0},
        {"one more line is dropped, and said once", 1, {10}, 90, 1},
        {"a flood of full answers", 10, full, 90, 0},
    };
    TakeTrace();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<Bytes> frames(static_cast<size_t>(c.frames),
                                  answers::LuckyGiftAnswer(kRoom, kAlice, kStar, c.multipliers));
        Play(frames);
        EXPECT_EQ(box->QueuedLines(), c.queued);
        size_t traces = 0;
        for (const std::string& line : TakeTrace())
            if (line.find("lucky-win box") != std::string::npos) ++traces;
        EXPECT_EQ(traces, c.traces);
    }
}

TEST_F(GiftsTest, LoudspeakerKinds) {
    Join(1, {});
    struct Case {
        int kind;
        const wchar_t* icon;  // null: nothing written
    } cases[] = {
        {0, L"goldSpeaker.gif"}, {3, L"goldSpeaker.gif"}, {4, L"guanfang.gif"}, {5, nullptr}};
    for (const Case& c : cases) {
        ClearViews();
        Play({answers::LoudspeakerAnswer(c.kind, "hello <b>all</b>")});
        if (!c.icon) {
            EXPECT_TRUE(Text(L"labazone").empty());
            continue;
        }
        EXPECT_TRUE(Has(Text(L"labazone"), L"hello all"));
        EXPECT_TRUE(Has(Html(L"labazone"), c.icon)) << c.kind;
    }
    // Emoticon codes in the line are pictures, as in every chat line; a code that is
    // none stays text.
    ClearViews();
    Play({answers::LoudspeakerAnswer(0, "alice(501)\xA3\xBAhi[$2$] [$a b$]")});
    EXPECT_TRUE(Has(Html(L"labazone"), L"src=\"" + ChatLines::EmotionFolder() + L"/2.gif\""));
    EXPECT_FALSE(Has(Text(L"labazone"), L"[$2$]"));
    EXPECT_TRUE(Has(Text(L"labazone"), L"[$a b$]"));
}

TEST_F(GiftsTest, SealsAndErasersMarkTheRows) {
    Join(1, {Member(kAlice, "alice"), Member(kBob, "bob")});
    auto sealOf = [&](int id) {
        CCtrlListFriend* list = room->GetUserList();
        for (int i = 0; i < list->GetCount(); ++i)
            if (list->GetRowUserId(list->GetItemAt(i)) == id)
                if (CControlUI* seal =
                        room->GetPaintManager().FindSubControlByName(list->GetItemAt(i), L"seal"))
                    return std::wstring(seal->GetBkImage());
        return std::wstring(L"?");
    };
    Play({answers::SealAnswer(kAlice, kRoom, kBob, 3, 30)});
    EXPECT_TRUE(Has(Text(L"privtextout"), L"用户 502 被 用户 501 鉴定为 "));
    EXPECT_TRUE(Has(Text(L"privtextout"), L", 时长 30 分钟"));
    EXPECT_TRUE(Has(Html(L"privtextout"), L"3_a.png"));
    EXPECT_NE(sealOf(kBob), L"");
    Play({answers::SealAnswer(kAlice, kRoom, kBob, 0, 0)});
    EXPECT_TRUE(Has(Text(L"privtextout"), L"用户 501 送 用户 502 一个橡皮擦!"));
    EXPECT_EQ(sealOf(kBob), L"");
}

TEST_F(GiftsTest, FireworksPickedAndBoughtPlayAtTheirTime) {
    winplat::InstallManualClock(1700000000);
    Join(1, {Member(kAlice, "alice")});
    struct Case {
        Bytes frame;
        const wchar_t* hint;
    } cases[] = {
        {answers::FireworksPickedAnswer(kRoom, kMe, 20, kAlice, 209),
         L"用户 501 发送了大烟花,您捡了20"},
        {answers::FireworksPickedAnswer(kRoom, kMe, 5, kAlice, 216),
         L"用户 501 发送了小烟花,您捡了5"},
        {answers::FireworksPickedAnswer(kRoom, kMe, 5, kAlice, 300), nullptr},
        {answers::FireworksPickedAnswer(kRoom, kAlice, 5, kMe, 209), nullptr},  // my own
    };
    for (const Case& c : cases) {
        ClearViews();
        Play({c.frame});
        EXPECT_EQ(Text(L"privtextout"), c.hint ? std::wstring(c.hint) : std::wstring());
    }

    ClearViews();
    Play({answers::FireworksBoughtAnswer(kRoom, kMe, 3, 209, 1)});
    EXPECT_EQ(Text(L"privtextout"), L"增送大烟花成功成功,将于 3 秒后播放!");
    TakeSent();
    auto playSent = [&] {
        for (const SentFrame& f : TakeSent())
            if (f.subCmd == 58) return true;
        return false;
    };
    for (int s = 0; s < 2; ++s) {
        winplat::AdvanceManualClock(1000);
        Pump([] { return false; }, 50);
    }
    EXPECT_FALSE(playSent()) << "not before its time";
    winplat::AdvanceManualClock(1000);
    ASSERT_TRUE(Pump([&] { return servers.room().ReceivedCount() > sentSeen; }));
    EXPECT_TRUE(playSent());
}

TEST_F(GiftsTest, MoneyAndFailureHints) {
    Join(1, {Member(kAlice, "alice")});
    struct Case {
        Bytes frame;
        const wchar_t* hint;
    } cases[] = {
        {answers::MoneyTransferAnswer(kRoom, kMe, 50), L"操作成功!"},
        {answers::MoneyTransferAnswer(kRoom, kAlice, 70), L"用户 [501] 向您的帐户转帐 [70] 金币!"},
        {answers::MoneyFailedAnswer(), L"操作失败!"},
        {answers::GiftFailedAnswer(17), L"赠送礼物失败,失败代码=17."},
        {answers::FireworksFailedAnswer(kRoom, kMe, 1, 2), L"赠送烟花失败!"},
        {answers::Words(answers::kRoomMain, 94, {kMe, kRoom}), L"盖章错误!"},
    };
    for (const Case& c : cases) {
        ClearViews();
        Play({c.frame});
        EXPECT_EQ(Text(L"privtextout"), std::wstring(c.hint));
    }
}

}  // namespace
}  // namespace roomtest
