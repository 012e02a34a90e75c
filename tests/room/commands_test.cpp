// Menu commands and clicks of the room window, through the room stand-in: what goes
// out on the wire, what is refused with a hint, the clipboard, and the menus.
#include <cstring>
#include <functional>
#include <string>

#include "controls/CtrlListFriend.h"
#include "kernel/CommKernel.h"
#include "model/Privilege.h"
#include "model/UserMVManager.h"
#include "model/UserManager.h"
#include "room_fixture.h"
#include "session/CommKernelData.h"
#include "ui_fixture.h"
#include "util/ErrorMessage.h"
#include "win32gui/clipboard.h"
#include "win32gui/menu.h"

using namespace DuiLib;

namespace roomtest {
namespace {

// Level components of the final level (user level in bits 16-23).
constexpr int kLevel5 = 5 << 16;

Bytes Le(std::initializer_list<int32_t> words) {
    Bytes b;
    for (int32_t w : words)
        for (int i = 0; i < 4; ++i)
            b.push_back(static_cast<uint8_t>(static_cast<uint32_t>(w) >> (8 * i)));
    return b;
}

Bytes MicRecord(int target, int16_t kind, uint8_t index) {
    Bytes b = Le({kRoom, kMe, target});
    b.push_back(static_cast<uint8_t>(kind & 0xFF));
    b.push_back(static_cast<uint8_t>((kind >> 8) & 0xFF));
    b.push_back(index);
    return b;
}

class CommandsTest : public RoomTest {
protected:
    CUserObj* User(int id) { return d->m_pUserManager->FindUser(id); }
    void Command(int id) {
        room->SendMessageW(WM_COMMAND, static_cast<WPARAM>(id), 0);
        PumpPending();
    }
    void Click(const wchar_t* name) {
        CControlUI* c = room->GetPaintManager().FindControl(name);
        ASSERT_NE(c, nullptr) << "no control";
        TNotifyUI msg;
        msg.sType = DUI_MSGTYPE_CLICK;
        msg.pSender = c;
        room->Notify(msg);
        PumpPending();
    }
    // The room frames sent by now (a round trip through the stand-in settles them).
    // What the room stand-in received: until `atLeast` frames are there (a loaded
    // machine may take a while), or for a short moment when nothing is expected.
    std::vector<SentFrame> Sent(size_t atLeast = 0) {
        std::vector<SentFrame> out;
        auto collect = [&] {
            std::vector<SentFrame> more = TakeSent();
            out.insert(out.end(), more.begin(), more.end());
        };
        Pump(
            [&] {
                collect();
                return atLeast > 0 && out.size() >= atLeast;
            },
            atLeast ? 5000 : 150);
        collect();
        return out;
    }
};

TEST_F(CommandsTest, MicrophoneAndAdministrationCommandsSendTheRecordOrHint) {
    struct Case {
        const char* what;
        std::function<void(CUserObj& me, CUserObj& alice)> set;
        std::vector<int> privileges;  // of 100, 108, 29 granted
        int command;                  // 0: the down-microphone button
        uint16_t sub;                 // 0: nothing sent
        Bytes payload;
        std::wstring hint;
    };
    const std::wstring refused = CErrorMessage::m_szErrText[0];
    Bytes kick = Le({kRoom, kMe, kAlice, 0});
    kick.push_back(0);
    auto black = [](uint8_t kind) {
        Bytes b = Le({kRoom, kMe, kAlice});
        b.push_back(kind);
        b.resize(76, 0);
        return b;
    };
    const Case cases[] = {
        {"invite up, public", nullptr, {100}, 13911, 72, MicRecord(kAlice, 1, 255), L""},
        {"invite up, private", nullptr, {100}, 13912, 72, MicRecord(kAlice, 2, 255), L""},
        {"invite up without the privilege", nullptr, {}, 13911, 0, {}, refused},
        {"invite up refused by the user",
         [](CUserObj&, CUserObj& a) { a.forbidCarryToMic = true; },
         {100},
         13911,
         0,
         {},
         L"对方启用禁止被报上麦功能！"},
        {"invite up a user on a mic",
         [](CUserObj&, CUserObj& a) { a.flags = 0x4; },
         {100},
         13912,
         0,
         {},
         L"对方已经上了公麦或私麦，不能接受邀请上公麦！"},
        {"invite down",
         [](CUserObj&, CUserObj& a) { a.flags = 0x10; },
         {100},
         13913,
         72,
         MicRecord(kAlice, 0, 255),
         L""},
        {"invite down a user on no mic",
         nullptr,
         {100},
         13913,
         0,
         {},
         L"对方不在麦上,无法邀请下麦！"},
        {"leave my mic",
         [](CUserObj& me, CUserObj&) { me.flags = 0x1; },
         {},
         0,
         72,
         MicRecord(kMe, 0, 255),
         L""},
        {"leave no mic", nullptr, {}, 0, 0, {}, L"你当前不在任何麦上,操作直接返回！"},
        {"kick", nullptr, {108}, 13931, 37, kick, L""},
        {"kick without the privilege", nullptr, {}, 13931, 0, {}, refused},
        {"room black list", nullptr, {}, 13932, 90, black(1), L""},
        {"site black list", nullptr, {29}, 13933, 90, black(2), L""},
        {"site black list without the privilege", nullptr, {}, 13933, 0, {}, refused},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        std::vector<answers::Privilege> list{{77, 1, 1, 0}};  // a list is never empty here
        for (int p : c.privileges)
            list.push_back(answers::Privilege{static_cast<uint8_t>(p),
                                              static_cast<uint8_t>(p == 29 ? 1 : 2), kLevel5,
                                              p == 29 ? 0 : kLevel5});
        GrantFromLogon(list);
        EnterRoom(1, {Member(kAlice, "alice")});
        if (c.set) c.set(*User(kMe), *User(kAlice));
        room->m_nSelUserId = kAlice;
        if (c.command)
            Command(c.command);
        else
            Click(L"downmicbtn");
        const std::vector<SentFrame> sent = Sent(c.sub ? 1 : 0);
        if (c.sub) {
            ASSERT_EQ(sent.size(), 1u);
            EXPECT_EQ(sent[0].mainCmd, 105);
            EXPECT_EQ(sent[0].subCmd, c.sub);
            EXPECT_EQ(sent[0].payload, c.payload);
        } else {
            EXPECT_TRUE(sent.empty());
        }
        if (!c.hint.empty())
            EXPECT_NE(PrivateText().find(c.hint), std::wstring::npos) << "hint missing";
        else
            EXPECT_EQ(PrivateText().find(L"！"), std::wstring::npos);
        TearDown();
    }
}

TEST_F(CommandsTest, CopyIdAndAliasPutAnsiTextOnTheClipboard) {
    EnterRoom(1, {Member(kAlice, winplat::WideToAnsi(L"爱丽丝"))});
    auto clip = [&]() {
        std::string text;
        if (!OpenClipboard(room->GetHWND())) return text;
        if (HANDLE h = GetClipboardData(CF_TEXT)) text = static_cast<const char*>(GlobalLock(h));
        CloseClipboard();
        return text;
    };
    room->m_nSelUserId = kAlice;
    Command(13909);
    EXPECT_EQ(clip(), "501");
    Command(13910);
    EXPECT_EQ(winplat::AnsiToWide(clip()), L"爱丽丝");
    room->m_nSelUserId = 0;  // nobody selected: the clipboard keeps its text
    Command(13909);
    EXPECT_EQ(winplat::AnsiToWide(clip()), L"爱丽丝");
}

// The song button of both audio panels has nothing behind it: a click says so rather
// than doing nothing at all.
TEST_F(CommandsTest, SongButtonSaysItIsNotOfferedAndSendsNothing) {
    for (int kind : {1, 31}) {
        SCOPED_TRACE(kind);
        SetUp();
        EnterRoom(kind, {});
        Sent();
        Click(L"gequbtn");
        EXPECT_NE(PrivateText().find(L"点歌功能尚未开通！"), std::wstring::npos);
        EXPECT_TRUE(Sent().empty());
        TearDown();
    }
}

TEST_F(CommandsTest, ForbidInviteIsGreyedWithoutItsPrivilege) {
    struct Case {
        bool granted;
        UINT grey;
    } cases[] = {{false, MF_GRAYED | MF_DISABLED}, {true, 0}};
    for (const Case& c : cases) {
        SetUp();
        if (c.granted) GrantFromLogon({{38, 1, kLevel5, 0}});
        EnterRoom(1, {});
        const UINT state = GetMenuState(room->GetMenuHandle(kMenuSettings), 13956, MF_BYCOMMAND);
        EXPECT_EQ(state & (MF_GRAYED | MF_DISABLED), c.grey);
        TearDown();
    }
}

TEST_F(CommandsTest, RightClickOnAVideoPaneOpensThePaneMenu) {
    EnterRoom(1, {Member(kAlice, "alice")});
    room->ShowWindow(true, true);
    InvalidateRect(room->GetHWND(), nullptr, FALSE);
    HMENU menu = room->GetMenuHandle(kMenuPane);
    for (const wchar_t* name : {L"pubvideo1", L"pubvideo2", L"pubvideo3"}) {
        CControlUI* pane = room->GetPaintManager().FindControl(name);
        ASSERT_NE(pane, nullptr);
        ASSERT_TRUE(Pump([&] { return !IsRectEmpty(&pane->GetPos()); }, 10000));
        const RECT rc = pane->GetPos();
        openedMenus.clear();
        // On the pane's picture, a control of the pane's own.
        QtClickAt(room->GetHWND(), POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2}, true);
        ASSERT_TRUE(Pump([&] { return !openedMenus.empty(); })) << "no menu on the pane";
        EXPECT_EQ(openedMenus[0], menu);
        // Nobody on the pane: what needs a user is greyed.
        for (UINT id : {13963u, 13964u, 13967u})
            EXPECT_TRUE(GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) << id;
    }
}

TEST_F(CommandsTest, SettingsMenuMarksFollowTheSettingsBothWays) {
    EnterRoom(1, {});
    HMENU menu = room->GetMenuHandle(kMenuSettings);
    auto checked = [&](UINT id) {
        return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
    };
    d->m_UserEnv.m_bShiledPublicChat = true;
    d->m_UserEnv.m_bShiledGiftEffect = true;
    Click(L"tool_menu");
    ASSERT_EQ(openedMenus.size(), 1u);
    EXPECT_EQ(openedMenus[0], menu);
    EXPECT_TRUE(checked(13951));
    EXPECT_TRUE(checked(13958));
    EXPECT_FALSE(checked(13952));
    // Switched off elsewhere (the settings dialog): the mark goes too.
    d->m_UserEnv.m_bShiledPublicChat = false;
    Click(L"tool_menu");
    EXPECT_FALSE(checked(13951));
    EXPECT_TRUE(checked(13958));

    // A command toggles its setting and the mark follows.
    Command(13952);
    EXPECT_TRUE(d->m_UserEnv.m_bShiledPrivateChat);
    EXPECT_TRUE(checked(13952));
    Command(13959);
    EXPECT_TRUE(d->m_UserEnv.m_bShiledGiftEffectSound);
    EXPECT_TRUE(d->m_PropsTaskMgr.shieldPlayFlashSound);

    // Refusing invitations is the local user's own flag, told to the room.
    Sent();
    Command(13956);
    EXPECT_TRUE(d->GetLocalUser()->forbidCarryToMic);
    EXPECT_TRUE(checked(13956));
    const std::vector<SentFrame> sent = Sent(1);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].subCmd, 133);
    EXPECT_EQ(sent[0].payload, Le({kRoom, kMe, 1}));
}

TEST_F(CommandsTest, RightClickOpensTheUserMenuOnlyOnAWholeUserLink) {
    EnterRoom(1, {Member(kAlice, "alice")});
    struct Case {
        const wchar_t* text;
        int menu;  // -1: none
        int selected;
    } cases[] = {
        {L"orinid:501", kMenuLinkUser, kAlice},
        {L"hello", kMenuChatText, 0},
        {L"a line with orinid:501 in it", kMenuChatText, 0},
        {L"orinid:501x", kMenuChatText, 0},
        {L"orinid:", kMenuChatText, 0},
        {L"orinid:0", -1, 0},
        {L"orinid:99999999999", -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        openedMenus.clear();
        room->m_nSelUserId = 0;
        room->ShowContextMenu(c.text, room->m_pPubTextOut);
        if (c.menu < 0) {
            EXPECT_TRUE(openedMenus.empty());
        } else {
            ASSERT_EQ(openedMenus.size(), 1u);
            EXPECT_EQ(openedMenus[0], room->GetMenuHandle(c.menu));
        }
        EXPECT_EQ(room->GetSelectedUserId(), c.selected);
    }
    // A choice in the menu comes back as its command: copy the linked user's id.
    menuAnswer = 13909;
    room->ShowContextMenu(L"orinid:501", room->m_pPubTextOut);
    PumpPending();
    ASSERT_TRUE(OpenClipboard(room->GetHWND()));
    HANDLE h = GetClipboardData(CF_TEXT);
    ASSERT_NE(h, nullptr);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(h)), "501");
    CloseClipboard();
}

}  // namespace
}  // namespace roomtest
