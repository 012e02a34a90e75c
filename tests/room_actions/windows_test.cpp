// The group-gift chooser and its confirmation, the gift tip, the treasure-box game and
// the seal picker, with the room they belong to.
#include <QImage>
#include <algorithm>
#include <cstring>
#include <functional>

#include "actions_fixture.h"
#include "app/SkinTable.h"
#include "controls/CtrlListQunshuaUser.h"
#include "controls/GiftListUI.h"
#include "dialogs/WndBaoxiangOpen.h"
#include "dialogs/WndGiftInfo.h"
#include "dialogs/WndQunshua.h"
#include "dialogs/WndUserSeal.h"
#include "kernel/Notifications.h"
#include "lobby_fixture.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserObj.h"
#include "session/CommKernelData.h"
#include "ui_fixture.h"
#include "win32/clock.h"
#include "win32/text.h"

namespace roomtest {
namespace {

using DuiLib::CControlUI;

// Runs a step on a later turn of the message loop, a modal loop's included.
std::function<void()> g_later;
void CALLBACK RunLater(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    auto step = std::move(g_later);
    g_later = nullptr;
    if (step) step();
}
void Later(std::function<void()> step) {
    g_later = std::move(step);
    ::SetTimer(nullptr, 0, 30, RunLater);
}

CSkinWnd* WindowOfClass(const wchar_t* className) {
    HWND hwnd = ::FindWindowW(className, nullptr);
    auto* base =
        hwnd ? reinterpret_cast<DuiLib::CWindowWnd*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA))
             : nullptr;
    return dynamic_cast<CSkinWnd*>(base);
}

void Click(CSkinWnd* wnd, const wchar_t* name) {
    ASSERT_NE(wnd, nullptr);
    CControlUI* control = wnd->GetPaintManager().FindControl(name);
    ASSERT_NE(control, nullptr) << winplat::WideToUtf8(name);
    wnd->GetPaintManager().SendNotify(control, DUI_MSGTYPE_CLICK);
}

std::wstring TextOf(CSkinWnd* wnd, const wchar_t* name) {
    CControlUI* control = wnd ? wnd->GetPaintManager().FindControl(name) : nullptr;
    return control ? control->GetText().GetData() : L"<none>";
}

constexpr int kFirstExtra = 600;
constexpr int kExtras = 25;

class GroupGiftTest : public ActionsTest {
protected:
    void SetUp() override {
        ActionsTest::SetUp();
        std::vector<answers::UserEntry> members{Member(kAlice, "alice"), Member(kBob, "bob")};
        answers::UserEntry carol = Member(kCarol, "carol");
        carol.levels[0] = 1;
        members.push_back(carol);
        for (int i = 0; i < kExtras; ++i)
            members.push_back(Member(kFirstExtra + i, "u" + std::to_string(i)));
        EnterRoom(ROOM_KIND_STANDARD, members);
        ASSERT_NE(room, nullptr);
        Sent();
        NewHints();
        AddGift(1, 10);
        AddGift(2, 1000000000);
        d->m_LocalUser.money = 2000000000;
    }
    CCtrlListQunshuaUser* Chooser() {
        room->ShowGroupGiftWnd();
        EXPECT_NE(room->m_pWndQunshua, nullptr);
        return room->m_pWndQunshua
                   ? dynamic_cast<CCtrlListQunshuaUser*>(
                         room->m_pWndQunshua->GetPaintManager().FindControl(L"mvuserlist"))
                   : nullptr;
    }
    // Ticks the rows of these users (a row's tag is its user).
    void Tick(CCtrlListQunshuaUser* list, std::initializer_list<int> ids) {
        for (int i = 0; i < list->GetCount(); ++i) {
            CControlUI* row = list->GetItemAt(i);
            auto* user = reinterpret_cast<CUserObj*>(row->GetTag());
            if (!user || std::find(ids.begin(), ids.end(), user->userId) == ids.end()) continue;
            auto* box = static_cast<DuiLib::CCheckBoxUI*>(
                room->m_pWndQunshua->GetPaintManager().FindSubControlByName(row, L"chkselall"));
            ASSERT_NE(box, nullptr);
            box->SetCheck(true);
        }
    }
};

TEST_F(GroupGiftTest, QueueGoesOutTenAtATickAndAGuestsQueueIsDropped) {
    for (int i = 0; i < kExtras; ++i) room->m_groupGiftQueue.push_back({1, 1, kFirstExtra + i});
    std::vector<size_t> batches;
    for (int tick = 0; tick < 3; ++tick) {
        room->GroupGiftStep();
        batches.push_back(Sent().size());
    }
    EXPECT_EQ(batches, (std::vector<size_t>{10, 10, 5}));
    EXPECT_TRUE(room->m_groupGiftQueue.empty());

    for (int i = 0; i < 4; ++i) room->m_groupGiftQueue.push_back({1, 1, kFirstExtra + i});
    d->m_LocalUser.levels[0] = 1;
    room->GroupGiftStep();
    EXPECT_TRUE(room->m_groupGiftQueue.empty());
    EXPECT_TRUE(Sent().empty());
}

TEST_F(GroupGiftTest, ChooserListsAndTicks) {
    CCtrlListQunshuaUser* list = Chooser();
    ASSERT_NE(list, nullptr);
    // Members without guests and without the sender.
    EXPECT_EQ(list->GetCount(), 2 + kExtras);
    // A second request shows the same chooser.
    CWndQunshua* first = room->m_pWndQunshua;
    room->ShowGroupGiftWnd();
    EXPECT_EQ(room->m_pWndQunshua, first);

    Click(first, L"chkselall");
    EXPECT_EQ(first->GetCheckedCount(), 2 + kExtras);
    d->m_pRoomManager->FindRoom(kRoom)->GetWaitMicUserIds()->assign({kAlice, kBob, kAlice});
    auto* type = static_cast<DuiLib::CComboUI*>(first->GetPaintManager().FindControl(L"combotype"));
    ASSERT_NE(type, nullptr);
    type->SelectItem(1);
    first->GetPaintManager().SendNotify(type, DUI_MSGTYPE_ITEMSELECT);
    EXPECT_EQ(list->GetCount(), 2);  // Alice once
    EXPECT_EQ(first->GetCheckedCount(), 0);
}

// An open chooser follows a skin change made while it is open.
TEST_F(GroupGiftTest, OpenChooserTakesTheNewSkin) {
    const tagSkinInfo* before = g_pCurSkin;
    ASSERT_NE(Chooser(), nullptr);
    CWndQunshua* chooser = room->m_pWndQunshua;
    DuiLib::CControlUI* winBG = chooser->GetPaintManager().FindControl(L"winBG");
    ASSERT_NE(winBG, nullptr);
    LayOut(chooser->GetHWND(), chooser->GetPaintManager());
    const QImage old = ShotOf(chooser->GetHWND(), winBG);
    const int other = before->id == 19 ? 20 : 19;
    SelectSkin(other);
    room->ApplySkinColors(g_pCurSkin);
    EXPECT_STREQ(winBG->GetBkImage(), FindSkin(other)->szBkImage);
    LayOut(chooser->GetHWND(), chooser->GetPaintManager());
    EXPECT_NE(ShotOf(chooser->GetHWND(), winBG), old) << "the frame on screen changes";
    SelectSkin(before->id);
}

TEST_F(GroupGiftTest, ConfirmationQueuesTheTickedMembers) {
    CCtrlListQunshuaUser* list = Chooser();
    ASSERT_NE(list, nullptr);
    SetCount(L"");
    room->OnGiftItemClick(1);
    EXPECT_NE(NewHints().find(L"请选择赠送数量！"), std::wstring::npos);

    SetCount(L"1");
    room->OnGiftItemClick(1);  // nothing ticked
    EXPECT_NE(NewHints().find(L"请选择群送赠送用户！"), std::wstring::npos);

    Tick(list, {kAlice, kBob, kFirstExtra});
    ASSERT_EQ(room->m_pWndQunshua->GetCheckedCount(), 3);
    std::wstring total, count;
    Later([&] {
        CSkinWnd* box = WindowOfClass(L"UIQunshuaOK");
        total = TextOf(box, L"totalcost");
        count = TextOf(box, L"giftnum");
        Click(box, L"btnok");
    });
    SetCount(L"2");
    room->OnGiftItemClick(1);
    EXPECT_EQ(count, L"数量：2个*3人");
    EXPECT_EQ(total, L"总额：60币");
    ASSERT_EQ(room->m_groupGiftQueue.size(), 3u);
    EXPECT_EQ(room->m_groupGiftQueue[0].nCount, 2);
    // Timer 305 sends them.
    std::vector<SentFrame> sent;
    kerneltest::Pump([&] {
        for (SentFrame& f : TakeSent()) sent.push_back(f);
        return sent.size() >= 3;
    });
    EXPECT_EQ(sent.size(), 3u);

    // The close command of the confirmation queues nothing.
    Later([&] {
        ::SendMessageW(::FindWindowW(L"UIQunshuaOK", nullptr), WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    room->OnGiftItemClick(1);
    EXPECT_TRUE(room->m_groupGiftQueue.empty());

    d->m_LocalUser.levels[0] = 2;
    room->OnGiftItemClick(1);
    EXPECT_NE(NewHints().find(L"注册用户不能使用群刷功能，请去办理VIP或高级会员！"),
              std::wstring::npos);
}

TEST_F(GroupGiftTest, TotalsPast32BitsAreShownWholeAndRefused) {
    CCtrlListQunshuaUser* list = Chooser();
    ASSERT_NE(list, nullptr);
    Tick(list, {kAlice, kBob, kFirstExtra});
    std::wstring total;
    Later([&] {
        CSkinWnd* box = WindowOfClass(L"UIQunshuaOK");
        total = TextOf(box, L"totalcost");
        Click(box, L"btnok");
    });
    SetCount(L"1");
    room->OnGiftItemClick(2);
    EXPECT_EQ(total, L"总额：3000000000币");
    EXPECT_TRUE(room->m_groupGiftQueue.empty());
    EXPECT_NE(NewHints().find(L"您的余额不足，请去充值！"), std::wstring::npos);
}

TEST_F(GroupGiftTest, RecipientsWhoLeaveDropOutOfTheChooser) {
    CCtrlListQunshuaUser* list = Chooser();
    ASSERT_NE(list, nullptr);
    Tick(list, {kAlice, kBob});
    PlayRoom({answers::UserExitAnswer(kRoom, kBob)});
    for (kerneltest::Posted& p : notify.posted())
        if (p.msg == UM_USER_EXIT_ROOM && p.lParam) {
            int32_t userId = 0;
            std::memcpy(&userId, reinterpret_cast<const char*>(p.lParam), sizeof userId);
            room->OnUserExitRoom(userId);
        }
    FreeCopies();
    std::vector<int> ids;
    room->m_pWndQunshua->GetCheckedUserIds(ids);
    EXPECT_EQ(ids, std::vector<int>{kAlice});
    EXPECT_EQ(list->GetCount(), 1 + kExtras);
}

TEST_F(GroupGiftTest, ChooserClosedUnderTheConfirmation) {
    CCtrlListQunshuaUser* list = Chooser();
    ASSERT_NE(list, nullptr);
    Tick(list, {kAlice});
    Later([&] {
        ::DestroyWindow(room->m_pWndQunshua->GetHWND());
        Click(WindowOfClass(L"UIQunshuaOK"), L"btnok");
    });
    SetCount(L"1");
    room->OnGiftItemClick(1);
    EXPECT_EQ(room->m_pWndQunshua, nullptr);
    EXPECT_EQ(room->m_groupGiftQueue.size(), 1u);
}

class TipTest : public ActionsTest {
protected:
    void SetUp() override {
        ActionsTest::SetUp();
        EnterStandardRoom();
        AddGift(1, 500, 1, L"玫瑰");
        AddGift(2, 800, 1, L"跑车");
    }
    CSkinWnd* Tip() { return reinterpret_cast<CSkinWnd*>(room->m_pWndGiftInfo); }
};

TEST_F(TipTest, HoverShowsRefreshesAndHidesTheTip) {
    // The pointer comes onto a tile of the gift panel: the tip of that tile's gift
    // appears left of the pointer.
    room->ShowGiftTip(false, 1, 0, 0);  // no tip yet: nothing
    EXPECT_EQ(room->m_pWndGiftInfo, nullptr);
    auto* list = dynamic_cast<CGiftListUI*>(room->GetPaintManager().FindControl(L"giftlist_1"));
    ASSERT_NE(list, nullptr);
    list->AddGiftItem(1, L"1.png", L"玫瑰");
    CControlUI* tile = list->GetItemAt(list->GetCount() - 1);
    CControlUI* hover = room->GetPaintManager().FindSubControlByName(tile, L"giftbk");
    ASSERT_NE(hover, nullptr);
    // The window settles (it maximises itself once shown) before the pointer comes.
    RECT at{};
    ASSERT_TRUE(kerneltest::Pump([&] {
        LayOut(room->GetHWND(), room->GetPaintManager());
        at = hover->GetPos();
        const POINT mid{(at.left + at.right) / 2, (at.top + at.bottom) / 2};
        return !::IsRectEmpty(&at) && room->GetPaintManager().FindControl(mid) == hover;
    }));
    const LPARAM centre = MAKELPARAM((at.left + at.right) / 2, (at.top + at.bottom) / 2);
    ::SendMessageW(room->GetHWND(), WM_MOUSEMOVE, 0, centre);
    ASSERT_NE(room->m_pWndGiftInfo, nullptr);
    POINT cursor{};
    ::GetCursorPos(&cursor);
    RECT rc{};
    ::GetWindowRect(Tip()->GetHWND(), &rc);
    EXPECT_EQ(rc.left, cursor.x - 218);
    EXPECT_EQ(rc.top, cursor.y);
    EXPECT_TRUE(::IsWindowVisible(Tip()->GetHWND()));
    EXPECT_EQ(TextOf(Tip(), L"name"), L"礼物：玫瑰");
    EXPECT_EQ(TextOf(Tip(), L"price"), L"价格：500 Z币");
    EXPECT_EQ(TextOf(Tip(), L"info"), L"玫瑰的说明");

    // The balance the room accepts shows no warning; one coin less does.
    d->m_LocalUser.money = 800;
    room->ShowGiftTip(true, 2, 600, 300);
    CWndGiftInfo* same = room->m_pWndGiftInfo;
    EXPECT_EQ(TextOf(Tip(), L"name"), L"礼物：跑车");
    EXPECT_EQ(TextOf(Tip(), L"price2"), L"");
    d->m_LocalUser.money = 799;
    room->ShowGiftTip(true, 2, 600, 300);
    EXPECT_EQ(room->m_pWndGiftInfo, same);
    EXPECT_EQ(TextOf(Tip(), L"price2"), L"买不起");
    ::GetWindowRect(Tip()->GetHWND(), &rc);
    EXPECT_EQ(rc.left, 600 - 218);

    LayOut(Tip()->GetHWND(), Tip()->GetPaintManager());
    PumpPending();
    EXPECT_FALSE(SaveShot(Tip()->GetHWND(), "gift_tip").empty());
    for (const wchar_t* name : {L"name", L"price", L"price2"}) {
        auto* label = static_cast<DuiLib::CLabelUI*>(
            Tip()->GetPaintManager().FindControl(name)->GetInterface(L"Label"));
        ASSERT_NE(label, nullptr);
        const QImage shot = ShotOf(Tip()->GetHWND(), label);
        const QColor bg = shot.pixelColor(0, 0);
        EXPECT_GT(InkMatch(shot, RenderLabel(Tip()->GetPaintManager(), label,
                                             label->GetText().GetData(), false, bg)),
                  0.9)
            << winplat::WideToUtf8(name);
    }

    // The pointer leaves the tile: the tip goes.
    ::SendMessageW(room->GetHWND(), WM_MOUSEMOVE, 0, MAKELPARAM(at.left - 30, at.top - 30));
    EXPECT_FALSE(::IsWindowVisible(Tip()->GetHWND()));
}

class BoxTest : public ActionsTest {
protected:
    void SetUp() override {
        ActionsTest::SetUp();
        winplat::InstallManualClock(1700000000);
        EnterStandardRoom();
        room->ShowBaoxiangOpenWnd();
        box = room->m_pWndBaoxiangOpen;
        ASSERT_NE(box, nullptr);
        LayOut(box->GetHWND(), box->GetPaintManager());
        PumpPending();
    }
    void TearDown() override {
        ActionsTest::TearDown();
        winplat::RemoveManualClock();
    }
    CControlUI* Control(const std::wstring& name) {
        return box->GetPaintManager().FindControl(name.c_str());
    }
    void Advance(int ms) {
        winplat::AdvanceManualClock(static_cast<uint64_t>(ms));
        PumpPending();
    }
    void Answer(bool failed, int8_t free, int8_t index, int16_t prize) {
        PlayRoom({answers::OpenChestAnswer(failed, free, index, prize)});
        for (kerneltest::Posted& p : notify.posted())
            if (p.msg == UM_OPEN_CHEST_RESP && p.lParam)
                room->OnOpenChestResp(reinterpret_cast<const char*>(p.lParam));
        FreeCopies();
    }
    CWndBaoxiangOpen* box = nullptr;
};

TEST_F(BoxTest, ClickSendsOnceAndTheResultShowsThePrize) {
    EXPECT_EQ(TextOf(box, L"jieguo2"), L"试试手气，选择一个宝箱点击开始吧，每个都有奖励哦！");
    // A second request shows the same window.
    room->ShowBaoxiangOpenWnd();
    EXPECT_EQ(room->m_pWndBaoxiangOpen, box);

    Click(box, L"bx_5");
    Click(box, L"bx_6");
    std::vector<SentFrame> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].subCmd, 143);
    EXPECT_EQ(sent[0].payload.back(), 4);
    EXPECT_EQ(TextOf(box, L"jieguo2"), L"你已经点击宝箱，请等待服务器响应...");

    struct Case {
        int prize;
        const wchar_t* picture;
        const wchar_t* text;
    } cases[] = {
        {0, L"file='bk_baoxiangres.png' source='129,0,191,62'",
         L">>你获得 100金币 奖励，继续努力哦。"},
        {4, L"file='bk_baoxiangres.png' source='377,0,439,62'",
         L">>你获得 500金币 奖励，继续努力哦。"},
        {5, L"file='bk_baoxiangres.png' source='129,62,191,124'",
         L">>你获得 6000金币 奖励，继续努力哦。"},
        {17, L"file='bk_baoxiangres.png' source='253,186,315,248'",
         L">>你获得 200000金币 奖励，继续努力哦。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.prize);
        Answer(false, 3, 4, static_cast<int16_t>(c.prize));
        EXPECT_TRUE(box->IsReady());
        EXPECT_EQ(TextOf(box, L"jieguo2"), c.text);
        EXPECT_EQ(TextOf(box, L"userbxnum"), L"你今日还可以免费开3次(每天赠送5次机会)");
        EXPECT_STREQ(Control(L"jj_5")->GetBkImage(), c.picture);
        EXPECT_TRUE(Control(L"jj_5")->IsVisible());
        EXPECT_FALSE(Control(L"jj_1")->IsVisible());
        EXPECT_FALSE(Control(L"bx_5")->IsVisible());
        EXPECT_FALSE(Control(L"bx_1")->IsEnabled());
    }
    SaveShot(box->GetHWND(), "treasure_box_result");
    Advance(2001);  // 601: every prize shown
    EXPECT_TRUE(Control(L"jj_1")->IsVisible());
    Advance(2001);  // 602: back to the start
    EXPECT_TRUE(Control(L"bx_5")->IsVisible());
    EXPECT_TRUE(Control(L"bx_1")->IsEnabled());
    EXPECT_FALSE(Control(L"jj_1")->IsVisible());
    EXPECT_EQ(TextOf(box, L"jieguo2"), L"试试手气，选择一个宝箱点击开始吧，每个都有奖励哦！");
}

TEST_F(BoxTest, FailuresAndAnswersOutOfRangeShowTheTipForASecond) {
    struct Case {
        const char* what;
        bool failed;
        int8_t index;
        int16_t prize;
    } cases[] = {
        {"server failure", true, 0, 0}, {"box 9", false, 9, 3},
        {"box -1", false, -1, 3},       {"prize 18", false, 2, 18},
        {"prize -2", false, 2, -2},     {"prize as coins", false, 2, 20000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Click(box, L"bx_1");
        Sent();
        EXPECT_FALSE(box->IsReady());
        Answer(c.failed, 0, c.index, c.prize);
        EXPECT_TRUE(box->IsReady());
        EXPECT_TRUE(Control(L"errtip")->IsVisible());
        EXPECT_EQ(TextOf(box, L"userbxnum"), L"开宝箱需要花费1万金币/次(每天赠送5次机会)");
        EXPECT_TRUE(Control(L"bx_1")->IsEnabled());
        Advance(1001);
        EXPECT_FALSE(Control(L"errtip")->IsVisible());
    }
}

TEST_F(BoxTest, ClosingDuringThePauseLeavesNoTimer) {
    Click(box, L"bx_2");
    Sent();
    Answer(false, 1, 1, -1);  // the server's pick: one of the first three prizes
    EXPECT_GE(box->GetLastPrizeValue(), 100);
    EXPECT_LE(box->GetLastPrizeValue(), 300);
    const HWND hwnd = box->GetHWND();
    Click(box, L"btnclose");
    PumpPending();
    EXPECT_EQ(room->m_pWndBaoxiangOpen, nullptr);
    EXPECT_FALSE(::IsWindow(hwnd));
    for (UINT_PTR id : {601, 602, 603, 604}) EXPECT_FALSE(::KillTimer(hwnd, id)) << id;
}

TEST(SealNames, IdIsTheNumberAfterThePrefix) {
    struct Case {
        const wchar_t* name;
        int id;
    } cases[] = {
        {L"btn_seal_list_12", 12},   {L"btn_seal_list_65535", 65535},
        {L"btn_seal_list", 0},       {L"btn_seal_list_", 0},
        {L"btn_seal_list_x", 0},     {L"btn_seal_list_1a", 0},
        {L"btn_seal_list_70000", 0}, {L"btn_seal_list_99999999999", 0},
        {L"xbtn_seal_list_7", 7},    {nullptr, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CWndUserSeal::SealIdOfName(c.name), c.id)
            << (c.name ? winplat::WideToUtf8(c.name) : "null");
}

class SealPickerTest : public ActionsTest {};

TEST_F(SealPickerTest, ClickSendsTheSealAndHoverShowsIt) {
    EnterStandardRoom();
    AddSeal(4, 500, L"大笨蛋", 60);
    auto* picker = new CWndUserSeal;
    picker->SetOwnerSlot(&room->m_pWndUserSeal);
    room->m_pWndUserSeal = picker;
    ASSERT_TRUE(picker->Create(room->GetHWND(), L"", WS_POPUP, 0, 0, 0, 0, 0));
    picker->SetTargetUserId(kAlice);
    picker->ShowWindow(true, false);
    LayOut(picker->GetHWND(), picker->GetPaintManager());
    PumpPending();

    CControlUI* seal = picker->GetPaintManager().FindControl(L"btn_seal_list_4");
    ASSERT_NE(seal, nullptr);
    // The pointer entering a seal button (the library's button reports it).
    const RECT pos = seal->GetPos();
    ASSERT_FALSE(::IsRectEmpty(&pos));
    ::PostMessageW(picker->GetHWND(), WM_MOUSEMOVE, 0,
                   MAKELPARAM((pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2));
    PumpPending();
    EXPECT_EQ(TextOf(picker, L"Seal_name"), L"大笨蛋");
    EXPECT_EQ(TextOf(picker, L"Seal_Price"), L"500");
    EXPECT_EQ(TextOf(picker, L"Seal_Time"), L"60");
    SaveShot(picker->GetHWND(), "seal_picker");

    Click(picker, L"btn_seal_list_4");
    Click(picker, L"stamp_3");
    std::vector<SentFrame> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].subCmd, 93);
    EXPECT_EQ(I32(sent[0].payload, 8), kAlice);
    EXPECT_EQ(I16(sent[0].payload, 12), 4);
    auto* tabs =
        static_cast<DuiLib::CTabLayoutUI*>(picker->GetPaintManager().FindControl(L"stamp_switch"));
    EXPECT_EQ(tabs->GetCurSel(), 2);
    Click(picker, L"closebtn");
    PumpPending();
    EXPECT_EQ(room->m_pWndUserSeal, nullptr);
}

}  // namespace
}  // namespace roomtest
