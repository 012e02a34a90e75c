// The room window's chat end to end: lines the room stand-in sends, lines typed into
// the input and what reaches the stand-in, refusals, and the link commands.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "Answers.h"
#include "chat_fixture.h"
#include "app/TrustedGates.h"
#include "catalogs/CaitiaoManager.h"
#include "controls/ChatRecord.h"
#include "dialogs/WndChatEmotion.h"
#include "kernel/CommKernel.h"
#include "kernel/Notifications.h"
#include "kernel_test_util.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserObj.h"
#include "catalogs/UserLevelInfoManager.h"
#include "model/UserManager.h"
#include "lobby/JoinOtherRoom.h"
#include "room/WndRoom.h"
#include "session/CommKernelData.h"
#include "util/ErrorMessage.h"
#include "win32gui/commdlg.h"
#include "win32gui/qt_bridge.h"

using namespace DuiLib;
using testsupport::Bytes;

namespace {

constexpr int kBob = 7;
constexpr int kCarol = 8;

// Relays room notifications to the registered room window as the lobby does.
class RelayWindow : public CWindowWnd {
public:
    RelayWindow() { Create(nullptr, L"relay", WS_POPUP, 0, 0, 0, 0, 0); }
    ~RelayWindow() override {
        if (IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
    }
    std::vector<std::pair<WPARAM, tagJoinOtherRoom>> joins;
    size_t chatsRelayed = 0;

protected:
    LPCTSTR GetWindowClassName() const override { return L"UITestRelay"; }
    LRESULT HandleMessage(UINT m, WPARAM w, LPARAM l) override {
        if (m == UM_ROOM_CHAT_MSG) {
            if (CWndRoom* room = GetRegisteredRoomWindow())
                room->OnRoomChatMsg(reinterpret_cast<tag_CMDRoomChatMsg*>(l), 0);
            CCommKernel::free_msgdata(reinterpret_cast<char*>(l));
            ++chatsRelayed;
            return 0;
        }
        if (m == UM_JOIN_OTHER_ROOM) {
            auto* block = reinterpret_cast<tagJoinOtherRoom*>(l);
            joins.emplace_back(w, *block);
            delete block;
            return 0;
        }
        return CWindowWnd::HandleMessage(m, w, l);
    }
};

std::string Ansi(const std::wstring& w) {
    return winplat::WideToAnsi(w);
}

Bytes ChatFrame(int kind, int sender, int target, const std::wstring& text,
                const std::string& senderAlias = "Bob", const std::string& targetAlias = "") {
    const std::string bytes = Ansi(text);
    testsupport::answers::Payload p(kRoomChatHeadSize);
    p.i32(0, kChatRoom).i32(4, sender).i32(8, target).u8(12, 1).u8(13, static_cast<uint8_t>(kind));
    p.u16(14, static_cast<uint16_t>(bytes.size() + 1));
    p.text(16, senderAlias, 17).text(33, targetAlias, 17).text(50, "lounge", 17);
    p.text(67, bytes, bytes.size()).resize(kRoomChatHeadSize + bytes.size() + 1);
    return testsupport::answers::Frame(105, 45, p);
}

int g_boxAnswer = IDYES;
std::vector<std::wstring> g_boxTexts;
int AnswerBox(LPCWSTR text, LPCWSTR, UINT) {
    g_boxTexts.emplace_back(text ? text : L"");
    return g_boxAnswer;
}

class RoomChatTest : public ChatTest {
protected:
    void SetUp() override {
        ChatTest::SetUp();
        CCommKernelData* d = CCommKernel::GetInstance()->m_pData;
        CRoomObj* roomObj = d->m_pRoomManager->FindRoom(kChatRoom);
        roomObj->roomFlags = 0;
        for (auto [id, alias] : {std::pair<int, const char*>{kBob, "Bob"}, {kCarol, "Carol"}}) {
            CUserObj* u = d->m_pUserManager->FindUser(id);
            if (!u) {
                u = new CUserObj;
                u->userId = id;
                u->alias = alias;
                d->m_pUserManager->AddUser(u);
            }
            u->flags = 0;
            roomObj->AddUser(u);
        }
        roomObj->AddUser(&d->m_LocalUser);
        d->m_UserEnv.m_bShiledPublicChat = false;
        d->m_UserEnv.m_bShiledPrivateChat = false;
        d->m_UserEnv.m_bAutoReplay = false;
        std::wcscpy(d->m_szFontName, L"宋体");
        d->m_crTextColor = RGB(0x12, 0x34, 0x56);
        d->m_nFontSize = 12;
        d->m_bBold = 1;
        d->m_bItalic = 0;
        d->m_bUnderline = 0;
        CCommKernel::GetInstance()->SetNotifyWnd(SERVER_TYPE_ROOM, relay.GetHWND());
        CCommKernel::GetInstance()->m_pWndTable[1] = static_cast<CWindowWnd*>(&relay);

        room = new CWndRoom;
        room->SetRoomKind(ROOM_KIND_STANDARD);
        ASSERT_TRUE(room->Create(nullptr, L"room", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0,
                                 0, 0, 1000, 700));
        SetCurrentRoomWindow(room);
        room->InitRoom(kChatRoom);
        room->ShowWindow(true, true);
        PumpPending();
        edit = room->GetChatInput().m_hRichEdit;
        ASSERT_NE(edit, nullptr);
        roomServer.ClearReceived();
    }
    void TearDown() override {
        winplat::SetMessageBoxHook(nullptr);
        if (CWndRoom* r = GetRegisteredRoomWindow()) DestroyWindow(r->GetHWND());
        PumpPending();
        CCommKernel::GetInstance()->SetNotifyWnd(SERVER_TYPE_ROOM, nullptr);
        CCommKernel::GetInstance()->m_pWndTable[1] = nullptr;
        ChatTest::TearDown();
    }

    std::wstring Text(CWebBrowserUI* view) {
        return view ? view->GetDocumentText().GetData() : L"";
    }
    std::wstring Html(CWebBrowserUI* view) {
        return view ? view->GetDocumentHtml().GetData() : L"";
    }
    // Sends a line from the stand-in and waits until the room window has handled it.
    void Receive(const Bytes& frame) {
        const size_t before = relay.chatsRelayed;
        roomServer.Send(frame);
        ASSERT_TRUE(Pump([&] { return relay.chatsRelayed > before; })) << "the line never arrived";
        PumpPending();
    }
    void Type(const std::wstring& text) {
        for (wchar_t c : text) SendMessageW(edit, WM_CHAR, static_cast<WPARAM>(c), 1);
    }
    void PressEnter() {
        SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
        SendMessageW(edit, WM_KEYUP, VK_RETURN, 1);
        PumpPending();
    }
    void SelectTarget(int id) {
        CCommKernelData* d = CCommKernel::GetInstance()->m_pData;
        CUserObj* u = id == kMe ? &d->m_LocalUser : d->m_pUserManager->FindUser(id);
        if (id == 0)
            room->m_pChatUserCombo->SelectItem(0);
        else
            room->SelectChatTarget(u);
    }
    void SetPrivate(bool on) {
        static_cast<CCheckBoxUI*>(room->GetPaintManager().FindControl(L"privchatcheck"))
            ->SetCheck(on);
    }

    RelayWindow relay;
    CWndRoom* room = nullptr;
    HWND edit = nullptr;
};

TEST_F(RoomChatTest, ReceivedLinesLandInTheirViewsWithShieldsAndAutomaticReply) {
    CCommKernelData* d = CCommKernel::GetInstance()->m_pData;
    Receive(ChatFrame(0, kBob, kCarol, L"大家好 between others"));
    Receive(ChatFrame(0, kBob, kMe, L"hello me", "Bob", "me"));
    Receive(ChatFrame(15, kBob, kMe, L"secret words"));
    Receive(ChatFrame(3, kBob, 0, L"loud [$2$] news"));
    Receive(ChatFrame(1, kBob, 0, L"room rules"));
    Receive(ChatFrame(11, kBob, kMe, L"auto answer"));
    Receive(ChatFrame(13, kBob, 0, L"999999"));
    // A known colour strip shows its picture, unless cheers are shielded.
    CCaitiaoManager* strips = d->m_pCaitiaoManager;
    if (strips->GetCaitiaoCount() == 0) {
        ASSERT_EQ(strips->LoadConfig(MIVORA_SKIN_ROOT "caotiao.txt"), 0);
    }
    Receive(ChatFrame(13, kBob, 0, L"1"));
    EXPECT_NE(Html(room->m_pPubTextOut).find(L"caitiao_02.gif"), std::wstring::npos);
    d->m_UserEnv.m_bShiledColorbar = true;
    Receive(ChatFrame(13, kBob, 0, L"0"));
    d->m_UserEnv.m_bShiledColorbar = false;
    EXPECT_EQ(Html(room->m_pPubTextOut).find(L"caitiao_01.gif"), std::wstring::npos);
    EXPECT_NE(Text(room->m_pPubTextOut).find(L"大家好 between others"), std::wstring::npos);
    EXPECT_EQ(Text(room->m_pPubTextOut).find(L"hello me"), std::wstring::npos);
    EXPECT_NE(Text(room->m_pPrivTextOut).find(L"hello me"), std::wstring::npos);
    EXPECT_NE(Text(room->m_pPrivTextOut).find(L"secret words"), std::wstring::npos);
    EXPECT_NE(Text(room->m_pPrivTextOut).find(L"auto answer"), std::wstring::npos);
    EXPECT_NE(Text(room->m_pLabaZone).find(L"loud"), std::wstring::npos);
    EXPECT_NE(Html(room->m_pLabaZone).find(L"emotion/2.gif"), std::wstring::npos);
    EXPECT_NE(Text(room->m_pPrivTextOut).find(L"room rules[Bob(7)发布]"), std::wstring::npos);
    const QImage shot = winplat::GrabWindowImage(room->GetHWND());
    SaveShot(shot, "room_chat.png");
    // The trumpet and the emoticon are drawn in the loudspeaker view (their yellow).
    const RECT laba = room->m_pLabaZone->GetPos();
    int yellow = 0;
    for (int y = laba.top; y < laba.bottom; ++y)
        for (int x = laba.left; x < laba.right; ++x) {
            const QColor c = shot.pixelColor(x, y);
            yellow += c.red() > 230 && c.green() > 180 && c.green() < 220 && c.blue() < 60;
        }
    EXPECT_GT(yellow, 100);

    // Shields hide other people's public and private lines.
    d->m_UserEnv.m_bShiledPublicChat = true;
    d->m_UserEnv.m_bShiledPrivateChat = true;
    Receive(ChatFrame(0, kBob, kCarol, L"shielded public"));
    Receive(ChatFrame(15, kBob, kMe, L"shielded private"));
    EXPECT_EQ(Text(room->m_pPubTextOut).find(L"shielded"), std::wstring::npos);
    EXPECT_EQ(Text(room->m_pPrivTextOut).find(L"shielded"), std::wstring::npos);
    d->m_UserEnv.m_bShiledPublicChat = false;
    d->m_UserEnv.m_bShiledPrivateChat = false;

    // Automatic reply: a kind 11 line back to the sender, echoed here.
    grants.granted.insert(4);
    d->m_UserEnv.m_bAutoReplay = true;
    std::wcscpy(d->m_UserEnv.m_szAutoReply, L"我不在");
    roomServer.ClearReceived();
    Receive(ChatFrame(15, kBob, kMe, L"are you there"));
    const std::vector<SentChat> sent = SentChats();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].record.kind, 11);
    EXPECT_EQ(sent[0].record.targetId, kBob);
    EXPECT_NE(winplat::AnsiToWide(ChatRecordText(sent[0].record)).find(L"我不在"),
              std::wstring::npos);
    d->m_UserEnv.m_bAutoReplay = false;
}

TEST_F(RoomChatTest, TheSendersLevelAndManagerBadgesAreDrawnBeforeHisName) {
    CCommKernelData* d = CCommKernel::GetInstance()->m_pData;
    std::wstring levels = winplat::Utf8ToWide(MIVORA_SKIN_ROOT "leveldesc.dat");
    ASSERT_EQ(d->m_pUserLevelInfoManager->LoadLevelConfigW(levels.data()), 0);
    CUserObj* bob = d->m_pUserManager->FindUser(kBob);
    bob->levels[0] = 3;
    bob->roomMgrLevel = ROOM_MGR_MANAGER;
    Receive(ChatFrame(0, kBob, 0, L"badges"));
    bob->levels[0] = 0;
    bob->roomMgrLevel = 0;
    // The line names the pictures as the room writes them, a blank before the quote.
    const std::wstring html = Html(room->m_pPubTextOut);
    EXPECT_NE(html.find(L"level_3.png \""), std::wstring::npos) << html;
    EXPECT_NE(html.find(L"mgr_3.png \""), std::wstring::npos) << html;

    // Each badge is drawn in its own colour, not a placeholder.
    const QImage shot = winplat::GrabWindowImage(room->GetHWND());
    SaveShot(shot, "room_chat_badges.png");
    const RECT pub = room->m_pPubTextOut->GetPos();
    auto count = [&](QColor want) {
        int n = 0;
        for (int y = pub.top; y < pub.bottom; ++y)
            for (int x = pub.left; x < pub.right; ++x) {
                const QColor c = shot.pixelColor(x, y);
                n += std::abs(c.red() - want.red()) < 8 && std::abs(c.green() - want.green()) < 8 &&
                     std::abs(c.blue() - want.blue()) < 8;
            }
        return n;
    };
    EXPECT_GT(count(QColor(60, 170, 90)), 40) << "the member's green level badge";
    EXPECT_GT(count(QColor(40, 120, 200)), 40) << "the manager's blue badge";
}

TEST_F(RoomChatTest, HostileLineLeavesNoForeignLinkAndTheSendersLinkSelectsHim) {
    Receive(ChatFrame(0, kBob, 0,
                      L"<a href=\"orinid:8\">fake</a><img src=\"http://evil/x.gif\">"
                      L"<a href=\"gift_thank:x\" onclick=\"y\">t</a><script>z()</script>"
                      L"<a href=\"http://example.com/\">web</a>"));
    const std::wstring html = Html(room->m_pPubTextOut);
    EXPECT_EQ(html.find(L"orinid:8"), std::wstring::npos);
    EXPECT_EQ(html.find(L"gift_thank"), std::wstring::npos);
    EXPECT_EQ(html.find(L"evil"), std::wstring::npos);
    EXPECT_EQ(html.find(L"z()"), std::wstring::npos);
    EXPECT_NE(html.find(L"http://example.com/"), std::wstring::npos);

    // A real click on the sender's name selects him as the chat target.
    PumpPending();
    RECT rc = room->m_pPubTextOut->GetPos();
    POINT at{-1, -1};
    for (int y = rc.top; y < rc.bottom && at.x < 0; y += 2)
        for (int x = rc.left; x < rc.right; x += 2)
            if (std::wstring(room->m_pPubTextOut->GetLinkAt(POINT{x, y}).GetData()) ==
                L"orinid:7") {
                at = POINT{x, y};
                break;
            }
    ASSERT_GE(at.x, 0);
    QtClickAt(room->GetHWND(), at);
    ASSERT_TRUE(Pump([&] { return room->m_pChatUserCombo->GetCurSel() > 0; }));
    EXPECT_EQ(room->m_pChatUserCombo->GetItemAt(room->m_pChatUserCombo->GetCurSel())->GetTag(), 7u);
}

TEST_F(RoomChatTest, TypedLineAndEnterSendTheRecordAndItsEcho) {
    Type(L"<b>hi</b> & \U0001F600");
    PressEnter();
    const std::vector<SentChat> sent = SentChats();
    ASSERT_EQ(sent.size(), 1u);
    const tag_CMDRoomChatMsg& r = sent[0].record;
    EXPECT_EQ(r.roomId, kChatRoom);
    EXPECT_EQ(r.senderId, kMe);
    EXPECT_EQ(r.targetId, 0);
    EXPECT_EQ(r.kind, 0);
    EXPECT_EQ(ChatFieldText(r.roomName, 17), "lounge");
    EXPECT_EQ(ChatFieldText(r.targetAlias, 17), "");
    const std::string text = ChatRecordText(r);
    EXPECT_EQ(winplat::AnsiToWide(text),
              L"<SPAN style=\"FONT-FAMILY: 宋体; COLOR: #123456; FONT-SIZE: "
              L"12pt\"><b>&lt;b&gt;hi&lt;/b&gt; "
              L"&amp; &#128512;</b></SPAN>");
    EXPECT_EQ(r.textLen, text.size() + 1);
    EXPECT_EQ(sent[0].frameLength, 77 + text.size() + 1);
    // My own lines echo into the private view, as typed, the emoji included; the input
    // is empty.
    EXPECT_NE(Text(room->m_pPrivTextOut).find(L"<b>hi</b> & \U0001F600"), std::wstring::npos);
    EXPECT_EQ(room->GetChatInput().GetContent(), L"");

    // A private line to a member carries his alias.
    grants.granted.insert(4);
    SelectTarget(kBob);
    SetPrivate(true);
    Type(L"psst");
    PressEnter();
    const std::vector<SentChat> priv = SentChats();
    ASSERT_EQ(priv.size(), 2u);
    EXPECT_EQ(priv[1].record.kind, 15);
    EXPECT_EQ(priv[1].record.targetId, kBob);
    EXPECT_EQ(ChatFieldText(priv[1].record.targetAlias, 17), "Bob");
}

TEST_F(RoomChatTest, RefusedLinesSendNothingAndStayAsTyped) {
    CCommKernelData* d = CCommKernel::GetInstance()->m_pData;
    CRoomObj* roomObj = d->m_pRoomManager->FindRoom(kChatRoom);
    struct Case {
        const char* what;
        uint32_t roomFlags;
        bool banned;
        std::set<short> privileges;
        int target;
        bool priv;
        std::wstring text;
        std::wstring hint;
    } cases[] = {
        {"private chat closed", 0x2, false, {4}, kBob, true, L"x", L"当前房间关闭了私聊！"},
        {"public chat closed", 0x1, false, {4}, 0, false, L"x", L"当前房间关闭了公聊！"},
        {"banned", 0, true, {}, 0, false, L"x", L"您己被禁止发言，请与管理员联系！"},
        {"no private privilege", 0, false, {}, kBob, true, L"x", CErrorMessage::m_szErrText[0]},
        {"short lines only",
         0,
         false,
         {36},
         0,
         false,
         std::wstring(21, L'字'),
         CErrorMessage::m_szErrText[1]},
        {"over-long", 0, false, {}, 0, false, std::wstring(300, L'<'), kChatTooLongHint},
        {"to myself", 0, false, {}, kMe, false, L"me", L"不能对自己聊天!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        roomObj->roomFlags = c.roomFlags;
        d->m_LocalUser.chatBanned = c.banned;
        grants.granted = c.privileges;
        SelectTarget(c.target);
        SetPrivate(c.priv);
        room->GetChatInput().ReplaceAll(L"");
        roomServer.ClearReceived();
        Type(c.text);
        PressEnter();
        EXPECT_TRUE(SentChats().empty());
        EXPECT_EQ(room->GetChatInput().GetContent(), c.text) << "kept, without Enter's line break";
        const std::wstring priv = Text(room->m_pPrivTextOut);
        EXPECT_NE(priv.rfind(c.hint), std::wstring::npos);
    }
    roomObj->roomFlags = 0;
    d->m_LocalUser.chatBanned = false;
    // Twenty characters are allowed with the short-line privilege.
    grants.granted = {36};
    SelectTarget(0);
    SetPrivate(false);
    room->GetChatInput().ReplaceAll(L"");
    roomServer.ClearReceived();
    Type(std::wstring(20, L'字'));
    PressEnter();
    EXPECT_EQ(SentChats().size(), 1u);
    EXPECT_EQ(room->GetChatInput().GetContent(), L"");
}

TEST_F(RoomChatTest, LinkCommandsActOnlyForProgramWrittenAddresses) {
    CCommKernelData* d = CCommKernel::GetInstance()->m_pData;
    d->m_LocalUser.flags = USER_FLAG_SECRET_MIC;
    std::wcscpy(d->m_UserEnv.m_szAutoWelcome, L"欢迎光临");
    grants.granted = {4};
    struct Case {
        const wchar_t* url;
        bool cancel;
        int main, sub;  // the request at the stand-in, 0 for none
        int kind;       // for chat requests
        const wchar_t* hint;
    } cases[] = {
        {L"accept_connect:7", true, 105, 70, -1, nullptr},
        {L"refuse_connect:7", true, 105, 71, -1, nullptr},
        {L"accept_connect:99", true, 0, 0, -1, L"用户已经离开房间！"},
        {L"welcome:7", true, 105, 43, 15, nullptr},
        {L"welcome:1001", true, 0, 0, -1, nullptr},
        {L"welcome:99", true, 0, 0, -1, L"用户已经离开房间！"},
        {L"gift_thank:谢谢Bob<b>", true, 105, 43, 1, nullptr},
        {L"entervipmic:7", true, 0, 0, -1, L"用户没有上VIP私麦,不能连接视频！"},
        {L"entersecrmic:7", true, 0, 0, -1, L"用户没有上密麦,不能连接视频！"},
        {L"entersecrmic:1001", true, 0, 0, -1, nullptr},
        {L"enterroom:5", true, 0, 0, -1, nullptr},
        {L"welcome:7x", true, 0, 0, -1, nullptr},
        {L"x welcome:7", false, 0, 0, -1, nullptr},
        {L"about:blank#welcome:7", false, 0, 0, -1, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::wstring(c.url));
        roomServer.ClearReceived();
        const size_t blocks = static_cast<size_t>(room->m_pPrivTextOut->GetBlockCount());
        bool cancel = false;
        room->BeforeNavigate2(room->m_pPrivTextOut, c.url, 0, nullptr, nullptr, nullptr, cancel);
        EXPECT_EQ(cancel, c.cancel);
        ASSERT_TRUE(kerneltest::SettleSent(roomServer, SERVER_TYPE_ROOM));
        const Bytes got = roomServer.Received();
        if (c.main) {
            ASSERT_GE(got.size(), 10u);
            EXPECT_EQ(got[6] | got[7] << 8, c.main);
            EXPECT_EQ(got[8] | got[9] << 8, c.sub);
            if (c.kind >= 0) {
                const std::vector<SentChat> sent = SentChats();
                ASSERT_EQ(sent.size(), 1u);
                EXPECT_EQ(sent[0].record.kind, c.kind);
                if (c.kind == 1) {
                    EXPECT_EQ(winplat::AnsiToWide(ChatRecordText(sent[0].record)),
                              L"谢谢Bob&lt;b&gt;");
                }
            }
        } else {
            EXPECT_TRUE(got.empty());
        }
        if (c.hint) {
            EXPECT_NE(Text(room->m_pPrivTextOut).rfind(c.hint), std::wstring::npos);
        } else if (c.kind != 15) {
            EXPECT_EQ(static_cast<size_t>(room->m_pPrivTextOut->GetBlockCount()), blocks);
        }
    }
    d->m_LocalUser.flags = 0;

    // Room links: the current room does nothing; another on a trusted gate asks, and
    // only Yes joins; a gate the client does not know asks nothing and joins nothing.
    ForgetLearntGates();
    const tag_ServerAddr savedLobby = d->m_pLobbySvrTable[0];
    std::strcpy(d->m_pLobbySvrTable[0].szHost, "Gate.Example");
    winplat::SetMessageBoxHook(AnswerBox);
    g_boxTexts.clear();
    bool cancel = false;
    room->BeforeNavigate2(nullptr, L"enterchatroom://88,gate:1", 0, nullptr, nullptr, nullptr,
                          cancel);
    EXPECT_TRUE(cancel);
    EXPECT_TRUE(g_boxTexts.empty());
    for (const wchar_t* foreign : {L"enterchatroom://1234,evil.example:9000",
                                   L"enterchatroom://1234,gate.example:80;evil.example:80"}) {
        SCOPED_TRACE(std::wstring(foreign));
        const size_t blocks = static_cast<size_t>(room->m_pPrivTextOut->GetBlockCount());
        cancel = false;
        room->BeforeNavigate2(nullptr, foreign, 0, nullptr, nullptr, nullptr, cancel);
        PumpPending();
        EXPECT_TRUE(cancel);
        EXPECT_TRUE(g_boxTexts.empty());
        EXPECT_TRUE(relay.joins.empty());
        EXPECT_EQ(static_cast<size_t>(room->m_pPrivTextOut->GetBlockCount()), blocks + 1);
        EXPECT_NE(Text(room->m_pPrivTextOut).rfind(kUnknownGateHint), std::wstring::npos);
    }
    for (int answer : {IDNO, IDYES}) {
        g_boxAnswer = answer;
        room->BeforeNavigate2(nullptr, L"enterchatroom://1234,gate.example:80", 0, nullptr, nullptr,
                              nullptr, cancel);
        PumpPending();
    }
    ASSERT_EQ(g_boxTexts.size(), 2u);
    EXPECT_EQ(g_boxTexts[0], L"你是否要进入1234房间?");
    ASSERT_EQ(relay.joins.size(), 1u);
    EXPECT_EQ(relay.joins[0].first, 1234u);
    EXPECT_EQ(relay.joins[0].second.nRoomId, 1234);
    EXPECT_EQ(std::wstring(relay.joins[0].second.szGateAddr), L"gate.example:80");
    for (const wchar_t* bad :
         {L"enterchatroom://1234", L"enterchatroom://,g",
          L"enterchatroom://5,gggggggggggggggggggggggggggggggggggggggggggggggggggg"
          L"gggggggggggggggggggggggggggggggggggggggggggggggggggggggggggggggggggggggggggggggg"}) {
        room->BeforeNavigate2(nullptr, bad, 0, nullptr, nullptr, nullptr, cancel);
        PumpPending();
    }
    EXPECT_EQ(relay.joins.size(), 1u);
    EXPECT_EQ(g_boxTexts.size(), 2u);
    d->m_pLobbySvrTable[0] = savedLobby;
}

TEST_F(RoomChatTest, WebLinksOpenInTheDesktopBrowserAndTheViewKeepsItsPage) {
    // A stand-in desktop opener that notes the address it was given.
    const std::string dir = "/tmp/mivora-open-" + std::to_string(getpid());
    const std::string note = dir + "/opened.txt";
    ASSERT_EQ(std::system(("mkdir -p " + dir).c_str()), 0);
    {
        std::ofstream script(dir + "/xdg-open");
        script << "#!/bin/sh\nprintf '%s' \"$1\" > " << note << "\n";
    }
    ASSERT_EQ(chmod((dir + "/xdg-open").c_str(), 0755), 0);
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (dir + ":" + oldPath).c_str(), 1);

    Receive(ChatFrame(0, kBob, kCarol, L"<a href=\"http://example.com/a?b=1\">site</a>"));
    const std::wstring before = Html(room->m_pPubTextOut);
    bool cancel = false;
    room->BeforeNavigate2(room->m_pPubTextOut, L"http://example.com/a?b=1", 0, nullptr, nullptr,
                          nullptr, cancel);
    EXPECT_TRUE(cancel);
    std::string opened;
    ASSERT_TRUE(Pump([&] {
        std::ifstream in(note);
        std::getline(in, opened);
        return !opened.empty();
    }));
    EXPECT_EQ(opened, "http://example.com/a?b=1");
    EXPECT_EQ(Html(room->m_pPubTextOut), before);
    setenv("PATH", oldPath.c_str(), 1);
    std::system(("rm -rf " + dir).c_str());
}

// The chooser's answer: a size above 20 points is held to 20; input and session follow.
TEST_F(RoomChatTest, ChosenFontGoesToTheInputAndTheSessionHeldToTwentyPoints) {
    winplat::SetChooseFontHook([](LPCHOOSEFONTW cf) -> BOOL {
        EXPECT_EQ(cf->Flags,
                  static_cast<DWORD>(CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS));
        EXPECT_EQ(cf->lpLogFont->lfHeight, -16) << "12 points in pixels";
        EXPECT_EQ(cf->lpLogFont->lfWeight, FW_BOLD);
        EXPECT_EQ(cf->rgbColors, RGB(0x12, 0x34, 0x56));
        std::wcscpy(cf->lpLogFont->lfFaceName, L"DejaVu Sans");
        cf->lpLogFont->lfHeight = -36;  // 27 points
        cf->lpLogFont->lfWeight = FW_NORMAL;
        cf->lpLogFont->lfItalic = 1;
        cf->rgbColors = RGB(0, 0, 255);
        return TRUE;
    });
    room->ChooseChatFont();
    winplat::SetChooseFontHook(nullptr);
    CCommKernelData* d = CCommKernel::GetInstance()->m_pData;
    EXPECT_EQ(std::wstring(d->m_szFontName), L"DejaVu Sans");
    EXPECT_EQ(d->m_nFontSize, 20);
    EXPECT_EQ(d->m_bBold, 0);
    EXPECT_EQ(d->m_bItalic, 1);
    EXPECT_EQ(d->m_crTextColor, RGB(0, 0, 255));
    EXPECT_EQ(room->GetChatInput().m_cf.crTextColor, RGB(0, 0, 255));
    // The next line is sent in the chosen font.
    Type(L"x");
    PressEnter();
    const std::vector<SentChat> sent = SentChats();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(winplat::AnsiToWide(ChatRecordText(sent[0].record)),
              L"<SPAN style=\"FONT-FAMILY: DejaVu Sans; COLOR: #0000FF; FONT-SIZE: "
              L"20pt\"><i>x</i></SPAN>");
}

// The input shows the session's colour (kept as a COLORREF) on entry and again on a
// rejoin, not with red and blue swapped.
TEST_F(RoomChatTest, InputShowsTheSessionColourOnEntryAndRejoin) {
    auto shownColour = [&] {
        CHARFORMAT2W cf = {};
        cf.cbSize = sizeof(cf);
        SendMessageW(edit, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
        return cf.crTextColor;
    };
    EXPECT_EQ(shownColour(), RGB(0x12, 0x34, 0x56));
    CCommKernel::GetInstance()->m_pData->m_crTextColor = RGB(0xC0, 0x20, 0x05);
    room->InitRoom(kChatRoom);
    PumpPending();
    EXPECT_EQ(shownColour(), RGB(0xC0, 0x20, 0x05));
    EXPECT_EQ(room->GetChatInput().m_cf.crTextColor, RGB(0xC0, 0x20, 0x05));
}

// What the sender types and the line the receiver sees show one size: the size of
// the line's font span (points) is the input's size too, as the chooser shows it.
TEST_F(RoomChatTest, TypedTextAndItsLineShowAtOneSize) {
    CCommKernelData* d = CCommKernel::GetInstance()->m_pData;
    d->m_crTextColor = RGB(0xFF, 0, 0);
    d->m_bBold = 0;
    winplat::SetChooseFontHook([](LPCHOOSEFONTW cf) -> BOOL {
        EXPECT_EQ(cf->lpLogFont->lfHeight, -16) << "the chooser opens at 12 points";
        cf->lpLogFont->lfHeight = -24;  // 18 points chosen
        cf->lpLogFont->lfWeight = FW_NORMAL;
        return TRUE;
    });
    room->ChooseChatFont();
    winplat::SetChooseFontHook(nullptr);
    EXPECT_EQ(d->m_nFontSize, 18);
    Type(L"MMMM");
    PumpPending();
    InvalidateRect(room->GetHWND(), nullptr, FALSE);
    PumpPending();
    // The red ink's height inside a rectangle of the window.
    auto inkHeight = [](const QImage& shot, const RECT& rc) {
        int top = -1, bottom = -1;
        for (int y = std::max<int>(0, rc.top); y < std::min<int>(shot.height(), rc.bottom); ++y)
            for (int x = std::max<int>(0, rc.left); x < std::min<int>(shot.width(), rc.right);
                 ++x) {
                const QColor c = shot.pixelColor(x, y);
                if (c.red() > 160 && c.green() < 90 && c.blue() < 90) {
                    if (top < 0) top = y;
                    bottom = y;
                    break;
                }
            }
        return top < 0 ? 0 : bottom - top + 1;
    };
    QImage typed = winplat::GrabWindowImage(room->GetHWND());
    ASSERT_FALSE(typed.isNull());
    RECT input{};
    ::GetWindowRect(edit, &input);
    RECT frame{};
    ::GetWindowRect(room->GetHWND(), &frame);
    ::OffsetRect(&input, -frame.left, -frame.top);
    const int typedHeight = inkHeight(typed, input);
    ASSERT_GT(typedHeight, 0) << "no typed text on screen";

    PressEnter();
    const std::vector<SentChat> sent = SentChats();
    ASSERT_EQ(sent.size(), 1u);
    Receive(ChatFrame(0, kBob, 0, winplat::AnsiToWide(ChatRecordText(sent[0].record))));
    InvalidateRect(room->GetHWND(), nullptr, FALSE);
    PumpPending();
    const QImage received = winplat::GrabWindowImage(room->GetHWND());
    SaveShot(received, "one_size.png");
    const int lineHeight = inkHeight(received, room->m_pPubTextOut->GetPos());
    EXPECT_GT(lineHeight, 0) << "no received line on screen";
    EXPECT_NEAR(typedHeight, lineHeight, 1);
}

TEST_F(RoomChatTest, PickerPicksGoToTheRoomInputAndToNobodyOnceTheRoomIsGone) {
    room->ShowChatEmotion();
    CWndChatEmotion* picker = CWndChatEmotion::Instance();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->GetReceiver(), static_cast<IEmoReceiver*>(room));
    bool cancel = false;
    picker->BeforeNavigate2(nullptr, L"clickemotion:12.gif", 0, nullptr, nullptr, nullptr, cancel);
    EXPECT_EQ(room->GetChatInput().GetContent(), L"[$12$]");
    DestroyWindow(room->GetHWND());
    PumpPending();
    EXPECT_EQ(GetRegisteredRoomWindow(), nullptr);
    EXPECT_EQ(picker->GetReceiver(), nullptr);
    picker->BeforeNavigate2(nullptr, L"clickemotion:3.gif", 0, nullptr, nullptr, nullptr, cancel);
    SendMessageW(picker->GetHWND(), WM_ACTIVATE, WA_INACTIVE, 0);
}

}  // namespace
