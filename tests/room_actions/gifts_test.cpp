// Gifts from the gift panel, the panes and the word-gift window; the gift record's
// bytes; seals; colour strips.
#include <algorithm>
#include <cstring>
#include <map>

#include "actions_fixture.h"
#include "app/SkinInk.h"
#include "app/SkinTable.h"
#include "catalogs/GiftManager.h"
#include "dialogs/WndSendWordGift.h"
#include "fenlo/UIExtra.h"
#include "lobby_fixture.h"
#include "kernel/CommKernel.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserManager.h"
#include "room/RoomMessages.h"
#include "room/VideoMessages.h"
#include "session/CommKernelData.h"
#include "ui_fixture.h"
#include "win32/clock.h"
#include "win32/text.h"

namespace roomtest {
namespace {

constexpr int kRose = 1;  // price 1
constexpr int kCar = 2;   // price 1000
constexpr int kBigFireworks = 209;

class GiftsTest : public ActionsTest {
protected:
    void SetUp() override {
        ActionsTest::SetUp();
        EnterStandardRoom();
        AddGift(kRose, 1);
        AddGift(kCar, 1000);
        AddGift(kBigFireworks, 1000, 6);
        d->m_LocalUser.money = 1000000000;
    }
    void Target(int id) {
        CUserObj* user = d->m_pUserManager->FindUser(id);
        ASSERT_NE(user, nullptr);
        room->SelectGiftTarget(user);
    }
    // Alice's gift to Bob as the room announces it.
    void ShowRoll(int gift, int count) {
        tag_GiftRollInfo& roll = d->m_GiftRollInfo;
        roll = tag_GiftRollInfo{};
        roll.nGiverId = kAlice;
        roll.nReceiverId = kBob;
        roll.nGiftId = gift;
        roll.nCount = count;
        std::strcpy(roll.szGiverAlias, "alice");
        std::strcpy(roll.szReceiverAlias, "bob");
        room->OnGiftRollNotify();
    }
};

struct PanelCase {
    const char* what;
    int myLevel;
    int64_t money;
    int giftId;
    const wchar_t* count;
    int target;   // 0: none chosen
    int sentSub;  // 0: nothing sent
    const wchar_t* hint;
};

TEST_F(GiftsTest, GiftPanelRefusesInOrderAndSendsWhatPasses) {
    const PanelCase cases[] = {
        {"guest", 1, 1000000000, kRose, L"1", kAlice, 0, L"您目前的身份是游客，请注册后重新登录。"},
        {"gift id 0", 5, 1000000000, 0, L"1", kAlice, 0, nullptr},
        {"unknown gift", 5, 1000000000, 77, L"1", kAlice, 0, L"礼物选择错误，请联系运维人员解决！"},
        {"empty count", 5, 1000000000, kRose, L"", kAlice, 0, L"请选择赠送数量！"},
        {"zero count", 5, 1000000000, kRose, L"0", kAlice, 0, L"请选择赠送数量！"},
        {"negative count", 5, 1000000000, kRose, L"-3", kAlice, 0, L"请选择赠送数量！"},
        {"letters", 5, 1000000000, kRose, L"abc", kAlice, 0, L"请选择赠送数量！"},
        {"count past 32 bits", 5, 1000000000, kRose, L"99999999999", kAlice, 0,
         L"你送出的礼物总金额超过系统限制，赠送失败！"},
        {"total 64-bit past the limit", 5, 1000000000, kCar, L"3000000", kAlice, 0,
         L"你送出的礼物总金额超过系统限制，赠送失败！"},
        {"total exactly the limit", 5, 1000000000, kRose, L"1000000000", kAlice, 46, nullptr},
        {"one coin over the limit", 5, 1000000000, kRose, L"1000000001", kAlice, 0,
         L"你送出的礼物总金额超过系统限制，赠送失败！"},
        {"balance equal to the total", 5, 5000, kCar, L"5", kAlice, 46, nullptr},
        {"balance one coin short", 5, 4999, kCar, L"5", kAlice, 0, L"您的余额不足，请去充值！"},
        {"fireworks", 5, 1000000000, kBigFireworks, L"2", 0, 54, nullptr},
        {"no target", 5, 1000000000, kRose, L"1", 0, 0, L"请选择赠送用户！"},
        {"self", 5, 1000000000, kRose, L"1", kMe, 0, L"请选择赠送用户，不能自己赠送给自己！"},
        {"guest target", 5, 1000000000, kRose, L"1", kCarol, 0, L"不能向游客赠送礼物！"},
    };
    for (const PanelCase& c : cases) {
        SCOPED_TRACE(c.what);
        d->m_LocalUser.levels[0] = c.myLevel;
        d->m_LocalUser.money = c.money;
        if (c.target)
            Target(c.target);
        else if (room->m_pGiftUserCombo)
            room->m_pGiftUserCombo->SelectItem(-1);
        SetCount(c.count);
        room->OnGiftItemClick(c.giftId);
        const std::vector<int> subs = SentSubs();
        if (c.sentSub)
            EXPECT_EQ(subs, std::vector<int>{c.sentSub});
        else
            EXPECT_TRUE(subs.empty());
        const std::wstring hints = NewHints();
        if (c.hint)
            EXPECT_NE(hints.find(c.hint), std::wstring::npos) << winplat::WideToUtf8(hints);
        else
            EXPECT_TRUE(hints.empty()) << winplat::WideToUtf8(hints);
    }
}

TEST_F(GiftsTest, TargetWhoLeftIsRefused) {
    Target(kBob);
    d->m_pRoomManager->FindRoom(kRoom)->users.erase(kBob);
    SetCount(L"1");
    room->OnGiftItemClick(kRose);
    EXPECT_TRUE(Sent().empty());
    EXPECT_NE(NewHints().find(L"对方已经离开房间！"), std::wstring::npos);
}

// The record as the server reads it, built here field by field.
Bytes GiftRecord(int32_t sender, int32_t target, int32_t gift, int32_t count, uint8_t anonymous,
                 const std::string& senderAlias, const std::string& targetAlias,
                 const std::string& words) {
    Bytes b(107, 0);
    auto put = [&b](size_t at, int32_t v) { std::memcpy(&b[at], &v, 4); };
    put(0, kRoom);
    put(4, sender);
    put(8, target);
    put(12, gift);
    put(16, count);
    b[20] = 2;
    b[21] = 0;
    b[22] = anonymous;
    b[23] = 1;
    std::memcpy(&b[33], senderAlias.data(), senderAlias.size());
    std::memcpy(&b[50], targetAlias.data(), targetAlias.size());
    std::memcpy(&b[67], words.data(), words.size());
    return b;
}

TEST_F(GiftsTest, GiftRecordIsZeroPaddedWithBoundedAliases) {
    // A 17-byte alias fills its field without a NUL; a longer one is cut before a
    // double-byte character that would not fit.
    d->m_pUserManager->FindUser(kAlice)->alias = "abcdefghijklmnopq";
    d->m_LocalUser.alias = std::string("0123456789abcdef") + "\xCE\xD2";
    d->m_UserEnv.m_bAnonymity = true;
    Target(kAlice);
    SetCount(L"3");
    room->OnGiftItemClick(kCar);
    std::vector<SentFrame> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].subCmd, 46);
    EXPECT_EQ(sent[0].payload,
              GiftRecord(kMe, kAlice, kCar, 3, 1, "0123456789abcdef", "abcdefghijklmnopq", ""));
    // The panel starts the next gift at one.
    EXPECT_STREQ(room->m_pGiftNumEdit->GetText().GetData(), L"1");
}

// A count picked from the panel's list is used once; afterwards list and edit both
// stand at one, so picking the same count again fills the edit again.
TEST_F(GiftsTest, SentGiftPutsTheCountListBackToOne) {
    Target(kAlice);
    ASSERT_NE(room->m_pGiftNumCombo, nullptr);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        room->m_pGiftNumCombo->SelectItem(2);
        ASSERT_STREQ(room->m_pGiftNumEdit->GetText().GetData(), L"30");
        room->OnGiftItemClick(kRose);
        const std::vector<SentFrame> sent = Sent();
        ASSERT_FALSE(sent.empty());
        EXPECT_EQ(I32(sent.back().payload, 16), 30);
        EXPECT_EQ(room->m_pGiftNumCombo->GetCurSel(), 0);
        EXPECT_STREQ(room->m_pGiftNumEdit->GetText().GetData(), L"1");
    }
}

TEST_F(GiftsTest, GiftsWithWordsCheckTheSenderAndCutTheWords) {
    // Words longer than the record keep 39 bytes and a NUL.
    const std::string longWords(60, 'w');
    room->SendGiftWithWords(kAlice, kCar, 2, longWords.c_str());
    std::vector<SentFrame> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].payload,
              GiftRecord(kMe, kAlice, kCar, 2, 0, "me", "alice", std::string(39, 'w')));

    struct Case {
        const char* what;
        int level;
        int target;
        int gift;
        int count;
        const wchar_t* hint;
    } cases[] = {
        {"registered user", 2, kAlice, kCar, 1,
         L"注册用户不能发送赠言礼物，请去办理VIP或高级会员！"},
        {"guest", 1, kAlice, kCar, 1, L"您目前的身份是游客，请注册后重新登录。"},
        {"self", 5, kMe, kCar, 1, L"请正确选择赠送用户，不能自己赠送给自己！"},
        {"not a member", 5, 4242, kCar, 1, nullptr},
        {"unknown gift", 5, kAlice, 77, 1, nullptr},
        {"no gift chosen", 5, kAlice, -1, 1, nullptr},
        {"balance short", 5, kAlice, kCar, 1000001, L"您的余额不足，请去充值！"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        d->m_LocalUser.levels[0] = c.level;
        room->SendGiftWithWords(c.target, c.gift, c.count, "");
        EXPECT_TRUE(Sent().empty());
        const std::wstring hints = NewHints();
        if (c.hint)
            EXPECT_NE(hints.find(c.hint), std::wstring::npos);
        else
            EXPECT_TRUE(hints.empty());
    }
}

TEST_F(GiftsTest, PaneQuickGiftsSendAGiftOrAStripAndNothingWithoutStrips) {
    tagPaneQuickGift gift{1, kAlice, kCar, 1};
    room->SendMessageW(UM_PANE_QUICK_GIFT, 0, reinterpret_cast<LPARAM>(&gift));
    EXPECT_EQ(SentSubs(), std::vector<int>{46});
    // No strip catalog: nothing to pick from, and nothing goes out.
    tagPaneQuickGift strip{2, kAlice, 208, 1};
    room->SendMessageW(UM_PANE_QUICK_GIFT, 0, reinterpret_cast<LPARAM>(&strip));
    EXPECT_TRUE(Sent().empty());
    room->SendCaitiaoToChatTarget();
    EXPECT_TRUE(Sent().empty());
}

TEST_F(GiftsTest, WordGiftWindowSendsEighteenCharactersConverted) {
    d->m_pGiftManager->sendGiftIds = {kRose, 4242, kCar};
    auto* dialog = new CWndSendWordGift;
    CWndSendWordGift* slot = dialog;
    dialog->SetOwnerSlot(&slot);
    ASSERT_TRUE(dialog->Create(room->GetHWND(), L"", WS_POPUP, 0, 0, 0, 0, 0));
    dialog->SetTargetUserId(kAlice);
    dialog->SetTargetName(L"alice");
    // As the room hands it over when it opens the dialog.
    dialog->SetSender([this](int targetId, int giftId, int count, const char* words) {
        room->SendGiftWithWords(targetId, giftId, count, words);
    });
    auto& pm = dialog->GetPaintManager();
    ASSERT_NE(pm.FindControl(L"usertext"), nullptr);
    EXPECT_STREQ(pm.FindControl(L"usertext")->GetText().GetData(), L"你选择的赠送对象：alice(501)");
    // Only catalog gifts of the word-gift list are offered.
    auto* list = static_cast<DuiLib::CContainerUI*>(pm.FindControl(L"giftlist"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetCount(), 2);

    // Nothing chosen yet: the room refuses silently.
    dialog->Send();
    EXPECT_TRUE(Sent().empty());

    dialog->ShowGiftInfo(kCar);
    EXPECT_STREQ(pm.FindControl(L"gifttext")->GetText().GetData(), L"名称：礼物 价格: 1000 币");
    const std::wstring typed = L"一二三四五六七八九十abcdefghi";  // 19 characters
    pm.FindControl(L"inputtext")->SetText(typed.c_str());
    dialog->Send();
    std::vector<SentFrame> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    const std::string words = winplat::WideToAnsi(typed.substr(0, 18));
    EXPECT_EQ(sent[0].payload, GiftRecord(kMe, kAlice, kCar, 1, 0, "me", "alice", words));

    d->m_LocalUser.levels[0] = 2;
    dialog->Send();
    EXPECT_TRUE(Sent().empty());
    EXPECT_NE(NewHints().find(L"注册用户不能发送赠言礼物"), std::wstring::npos);
    ::DestroyWindow(dialog->GetHWND());
    EXPECT_EQ(slot, nullptr);
}

struct SealCase {
    const char* what;
    int level;
    int64_t money;
    int target;
    int seal;
    bool sent;
    const wchar_t* hint;
};

TEST_F(GiftsTest, SealsAreCheckedAndSentWithTheirId) {
    AddSeal(3, 500);
    const SealCase cases[] = {
        {"guest", 1, 1000, kAlice, 3, false, L"您目前的身份是游客，请注册后重新登录。"},
        {"self clear", 5, 1000, kMe, 0, false, L"不能给自己清除盖章,请重新选择用户!"},
        {"self seal", 5, 1000, kMe, 3, false, L"不能给自己盖章,请重新选择用户!"},
        {"self negative", 5, 1000, kMe, -1, false, nullptr},
        {"clear without money", 5, 0, kAlice, 0, true, nullptr},
        {"unknown seal at once", 5, 0, kAlice, 9, true, nullptr},
        {"id past 16 bits", 5, 1000, kAlice, 70000, false, nullptr},
        {"price equal to balance", 5, 500, kAlice, 3, true, nullptr},
        {"balance short", 5, 499, kAlice, 3, false, L"您的余额不够不能盖章，请去充值"},
    };
    for (const SealCase& c : cases) {
        SCOPED_TRACE(c.what);
        d->m_LocalUser.levels[0] = c.level;
        d->m_LocalUser.money = c.money;
        room->SendMessageW(UM_SEAL_CHOSEN, static_cast<WPARAM>(c.target),
                           static_cast<LPARAM>(c.seal));
        std::vector<SentFrame> sent = Sent();
        if (c.sent) {
            ASSERT_EQ(sent.size(), 1u);
            EXPECT_EQ(sent[0].subCmd, 93);
            EXPECT_EQ(I32(sent[0].payload, 8), c.target);
            EXPECT_EQ(static_cast<uint16_t>(I16(sent[0].payload, 12)), c.seal);
        } else {
            EXPECT_TRUE(sent.empty());
        }
        const std::wstring hints = NewHints();
        if (c.hint)
            EXPECT_NE(hints.find(c.hint), std::wstring::npos);
        else
            EXPECT_TRUE(hints.empty());
    }
}

TEST_F(GiftsTest, ColourStripsOncePerSecondWithTheRecordLaidOut) {
    AddStrips(3);
    d->m_pRoomManager->FindRoom(kRoom)->roomName = "abcdefghijklmnopqrst";  // 20 bytes
    winplat::InstallManualClock(1700000000);
    winplat::AdvanceManualClock(5000);
    room->SendCaitiao(kAlice, 2);
    room->SendCaitiao(kAlice, 1);
    std::vector<SentFrame> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    const Bytes& p = sent[0].payload;
    EXPECT_EQ(sent[0].subCmd, 43);
    EXPECT_EQ(I32(p, 0), kRoom);
    EXPECT_EQ(I32(p, 4), kMe);
    EXPECT_EQ(I32(p, 8), kAlice);
    EXPECT_EQ(p[12], 5);   // the sender's level
    EXPECT_EQ(p[13], 13);  // a colour strip
    EXPECT_EQ(I16(p, 14), 2);
    EXPECT_EQ(Field(p, 16, 17), std::string("me") + std::string(15, '\0'));
    EXPECT_EQ(Field(p, 33, 17), std::string("alice") + std::string(12, '\0'));
    EXPECT_EQ(Field(p, 50, 17), std::string("abcdefghijklmnop") + '\0');
    EXPECT_EQ(Field(p, 67, 2), std::string("2") + '\0');
    EXPECT_NE(NewHints().find(L"您刷的太快了,请稍等再刷！"), std::wstring::npos);

    winplat::AdvanceManualClock(1001);
    room->SendCaitiao(kAlice, 1);
    EXPECT_EQ(SentSubs(), std::vector<int>{43});
    winplat::AdvanceManualClock(1001);
    room->SendCaitiao(kMe, 1);
    EXPECT_TRUE(Sent().empty());
    EXPECT_NE(NewHints().find(L"不能对自己聊天!"), std::wstring::npos);
    winplat::RemoveManualClock();
}

}  // namespace
}  // namespace roomtest

namespace roomtest {
namespace {

TEST_F(GiftsTest, GiftRaceShowsTheLastGiftAndSkipsEmptyOnes) {
    auto* race = dynamic_cast<DuiLib::CFlyGiftLabelUI*>(room->m_pFlyGiftRace);
    ASSERT_NE(race, nullptr);
    struct Case {
        const char* what;
        int giver;
        int count;
        uint8_t anonymous;
        int gift;
        int tracks;
        const wchar_t* part;
    } cases[] = {
        {"named giver", kAlice, 15, 0, kCar, 1, L"alice(501)赠送给:bob(502)15个礼物 "},
        {"anonymous giver", kAlice, 1, 1, kCar, 1, L"神秘人"},
        {"anonymous to me", kAlice, 1, 1, kCar, 1, L"alice(501)"},
        {"unknown gift", kAlice, 1, 0, 99, 1, L"未知礼物(99)"},
        {"negative count", kAlice, -4, 0, kCar, 0, nullptr},
        {"no gift", kAlice, 3, 0, 0, 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        race->Clear();
        tag_GiftRollInfo& roll = d->m_GiftRollInfo;
        roll = tag_GiftRollInfo{};
        roll.nGiverId = c.giver;
        roll.nReceiverId = std::string(c.what) == "anonymous to me" ? kMe : kBob;
        roll.nGiftId = c.gift;
        roll.nCount = c.count;
        roll.bAnonymous = c.anonymous;
        std::strcpy(roll.szGiverAlias, "alice");
        std::strcpy(roll.szReceiverAlias, "bob");
        room->OnGiftRollNotify();
        ASSERT_EQ(race->GetTrackCount(), c.tracks);
        if (c.part) {
            const std::wstring text = race->GetTrackText(0).GetData();
            EXPECT_NE(text.find(c.part), std::wstring::npos) << winplat::WideToUtf8(text);
        }
    }
}

// A gift's notice runs across the strip once for each gift given, ten times at most,
// and then the strip is empty and its timer stops: one rose does not scroll forever.
TEST_F(GiftsTest, GiftStripRunsAsOftenAsTheCountThenStops) {
    winplat::InstallManualClock(1700000000);
    auto* race = dynamic_cast<DuiLib::CFlyGiftLabelUI*>(room->m_pFlyGiftRace);
    ASSERT_NE(race, nullptr);
    DuiLib::CPaintManagerUI& pm = room->GetPaintManager();
    LayOut(room->GetHWND(), pm);
    const int width = race->GetWidth();
    ASSERT_GT(width, 0);
    struct Case {
        int count;
        int passes;
    } cases[] = {{1, 1}, {3, 3}, {10, 10}, {520, 10}};
    int onePass = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        ShowRoll(kRose, c.count);
        ASSERT_EQ(race->GetTrackCount(), 1);
        // Twenty minutes at most: the rose of the report was still running after twelve.
        int ticks = 0;
        while (race->GetTrackCount() > 0 && ticks < 20 * 60 * 1000 / int{kGiftStripStepMs}) {
            winplat::AdvanceManualClock(kGiftStripStepMs);
            PumpPending();
            ++ticks;
        }
        ASSERT_EQ(race->GetTrackCount(), 0) << "still running after " << ticks << " ticks";
        EXPECT_FALSE(pm.KillTimer(race, kControlScrollTimer)) << "the empty strip's timer runs on";
        if (c.passes == 1) {
            onePass = ticks;
            // One pass takes the notice in at the right and all the way out at the left.
            EXPECT_GT(ticks * 3, width);
        } else {
            // The count's digits make a notice a little longer.
            EXPECT_NEAR(ticks, onePass * c.passes, onePass * c.passes / 20);
        }
    }
    winplat::RemoveManualClock();
}

// The strip runs over the title bar, which has each skin's dark colour: its text
// stands out from it on every skin (the layout's red vanished on the red skins).
TEST_F(GiftsTest, GiftStripTextReadsOnEverySkin) {
    winplat::InstallManualClock(1700000000);
    auto* race = dynamic_cast<DuiLib::CFlyGiftLabelUI*>(room->m_pFlyGiftRace);
    ASSERT_NE(race, nullptr);
    DuiLib::CControlUI* title = room->GetPaintManager().FindControl(L"roomtitle");
    ASSERT_NE(title, nullptr);
    LayOut(room->GetHWND(), room->GetPaintManager());
    for (const tagSkinInfo& skin : g_SkinTable) {
        SCOPED_TRACE(skin.id);
        room->ApplySkinColors(&skin);
        race->Clear();
        InvalidateRect(room->GetHWND(), nullptr, FALSE);
        PumpPending();
        const QImage before = ShotOf(room->GetHWND(), race);
        // An unknown gift has no picture: what the strip draws is its text.
        ShowRoll(99, 1);
        for (int i = 0; i < race->GetWidth() / 2 / 3; ++i) {
            winplat::AdvanceManualClock(kGiftStripStepMs);
            PumpPending();
        }
        InvalidateRect(room->GetHWND(), nullptr, FALSE);
        PumpPending();
        const QImage after = ShotOf(room->GetHWND(), race);
        if (skin.id == 1) SaveShot(room->GetHWND(), "gift_strip_red_skin");
        ASSERT_FALSE(before.isNull());
        ASSERT_EQ(after.size(), before.size());
        // The title bar's colour: the most common one of the strip's rows over it.
        const int rows =
            std::min(before.height(), int{title->GetPos().bottom - race->GetPos().top});
        std::map<QRgb, int> seen;
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < before.width(); ++x) ++seen[before.pixel(x, y)];
        ASSERT_FALSE(seen.empty());
        const QRgb ground =
            std::max_element(seen.begin(), seen.end(), [](const auto& a, const auto& b) {
                return a.second < b.second;
            })->first;
        // The text's strongest ink where it lies on that colour (not on the title's
        // own labels beneath the strip).
        double best = 1.0;
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < before.width(); ++x)
                if (before.pixel(x, y) == ground && after.pixel(x, y) != ground)
                    best = std::max(best, ContrastRatio(after.pixel(x, y), ground));
        EXPECT_GT(best, 1.0) << "no text drawn";
        EXPECT_GE(best, 4.5) << std::hex << "ground " << ground;
    }
    room->ApplySkinColors(nullptr);
    race->Clear();
    winplat::RemoveManualClock();
}

// The strip scrolls by its timer, which runs only while it shows a gift: none in an
// idle room, one once a gift is shown, and none again after the strip is emptied.
TEST_F(GiftsTest, GiftStripTimerRunsOnlyWhileAGiftIsShown) {
    auto* race = dynamic_cast<DuiLib::CFlyGiftLabelUI*>(room->m_pFlyGiftRace);
    ASSERT_NE(race, nullptr);
    DuiLib::CPaintManagerUI& pm = room->GetPaintManager();
    EXPECT_FALSE(pm.KillTimer(race, kControlScrollTimer)) << "an empty strip has no timer";
    tag_GiftRollInfo& roll = d->m_GiftRollInfo;
    roll = tag_GiftRollInfo{};
    roll.nGiverId = kAlice;
    roll.nReceiverId = kBob;
    roll.nGiftId = kCar;
    roll.nCount = 2;
    std::strcpy(roll.szGiverAlias, "alice");
    std::strcpy(roll.szReceiverAlias, "bob");
    room->OnGiftRollNotify();
    ASSERT_EQ(race->GetTrackCount(), 1);
    EXPECT_TRUE(pm.KillTimer(race, kControlScrollTimer)) << "a shown gift scrolls";
    // Emptied: its next tick stops the timer.
    ASSERT_TRUE(pm.SetTimer(race, kControlScrollTimer, 10));
    race->Clear();
    DuiLib::TEventUI tick{};
    tick.Type = DuiLib::UIEVENT_TIMER;
    tick.pSender = race;
    tick.wParam = kControlScrollTimer;
    race->DoEvent(tick);
    EXPECT_FALSE(pm.KillTimer(race, kControlScrollTimer));
}

}  // namespace
}  // namespace roomtest

namespace roomtest {
namespace {

class GiftPaneTest : public ActionsTest {};

TEST_F(GiftPaneTest, GiftListsFromTheCatalogAndTheFiveApplicationTiles) {
    std::wstring conf = std::wstring(MIVORA_SKIN_DIR) + L"gift/gift.conf";
    ASSERT_EQ(d->m_pGiftManager->LoadGiftConfigW(&conf[0]), 0);
    EnterStandardRoom();
    LayOut(room->GetHWND(), room->GetPaintManager());
    PumpPending();
    for (int g = 0; g < 4; ++g) {
        auto* list = dynamic_cast<DuiLib::CContainerUI*>(room->m_pGiftList[g]);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->GetCount(),
                  static_cast<int>(d->m_pGiftManager->FindGiftGroupItem(g)->items.size()))
            << g;
        // Each tab is named for the group it shows.
        DuiLib::CControlUI* tab =
            room->GetPaintManager().FindControl((L"giftgroup_" + std::to_wstring(g + 1)).c_str());
        ASSERT_NE(tab, nullptr);
        EXPECT_EQ(std::wstring(tab->GetText().GetData()),
                  d->m_pGiftManager->FindGiftGroupItem(g)->groupName)
            << g;
    }
    SaveShot(room->GetHWND(), "room_gift_pane");
    auto* apps = dynamic_cast<DuiLib::CContainerUI*>(room->m_pAppList);
    ASSERT_NE(apps, nullptr);
    std::vector<int> tags;
    for (int i = 0; i < apps->GetCount(); ++i) {
        DuiLib::CControlUI* button =
            room->GetPaintManager().FindSubControlByName(apps->GetItemAt(i), L"giftbk");
        if (button)
            tags.push_back(static_cast<int>(static_cast<INT_PTR>(apps->GetItemAt(i)->GetTag())));
    }
    EXPECT_EQ(tags, (std::vector<int>{-1, -3, -4, -5, -6}));
    if (room->m_pGiftPaneSwitch) room->m_pGiftPaneSwitch->SelectItem(1);
    LayOut(room->GetHWND(), room->GetPaintManager());
    PumpPending();
    SaveShot(room->GetHWND(), "room_app_tiles");
}

}  // namespace
}  // namespace roomtest
