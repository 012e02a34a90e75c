// The loudspeaker and announcement composers: the records they send, the texts they
// refuse and keep, and the window kept across closing.
#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QTextEdit>
#include <QWidget>

#include <cstring>
#include <string>

#include "chat_fixture.h"
#include "controls/ChatRecord.h"
#include "dialogs/WndSendGonggao.h"
#include "dialogs/WndMsgBox.h"
#include "dialogs/WndSendLaba.h"
#include "kernel/CommKernel.h"
#include "session/CommKernelData.h"
#include "win32gui/qt_bridge.h"

using namespace DuiLib;

namespace {

// The text of a message box that comes while the test runs, closed with OK once read.
std::wstring* g_boxText = nullptr;
HWND g_boxOwner = nullptr;
void CALLBACK ReadAndCloseBox(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = FindWindowW(L"UIMsgBox", nullptr);
    if (!box || !g_boxText) return;
    auto* wnd = dynamic_cast<CWndMsgBox*>(
        reinterpret_cast<CWindowWnd*>(GetWindowLongPtrW(box, GWLP_USERDATA)));
    if (!wnd) return;
    if (CControlUI* tip = wnd->GetPaintManager().FindControl(L"tip"))
        *g_boxText = tip->GetText().GetData();
    EXPECT_EQ(GetWindow(box, GW_OWNER), g_boxOwner) << "the box is not over the dialog";
    wnd->Close(IDOK);
}

class SenderTest : public ChatTest {
protected:
    void TearDown() override {
        if (laba) DestroyWindow(laba->GetHWND());
        if (gonggao) DestroyWindow(gonggao->GetHWND());
        PumpPending();
        ChatTest::TearDown();
    }
    // Types the text into a composer and clicks its send button.
    void TypeAndSend(CWndChatSender* w, const std::wstring& text) {
        w->GetInput()->SetText(text.c_str());
        ClickControl(w->GetHWND(), w->GetPaintManager().FindControl(L"btnSend"));
        PumpPending();
    }
    static std::wstring Typed(CWndChatSender* w) {
        return w->GetInput()->GetEditContent().GetData();
    }
    // TypeAndSend, and the text of the message box it brought (empty: none).
    std::wstring TypeAndSendBox(CWndChatSender* w, const std::wstring& text) {
        std::wstring seen;
        g_boxText = &seen;
        g_boxOwner = w->GetHWND();
        const UINT_PTR timer = SetTimer(nullptr, 0, 10, ReadAndCloseBox);
        TypeAndSend(w, text);
        KillTimer(nullptr, timer);
        g_boxText = nullptr;
        return seen;
    }

    CWndSendLaba* laba = nullptr;
    CWndSendGonggao* gonggao = nullptr;
};

TEST_F(SenderTest, LoudspeakerAndAnnouncementSendTheirRecordsWithoutEcho) {
    ASSERT_NE(OpenChatSender(laba, nullptr), nullptr);
    ASSERT_NE(OpenChatSender(gonggao, nullptr), nullptr);
    TypeAndSend(laba, L"<b>大家好</b> [$1$] \U0001F600");
    TypeAndSend(gonggao, L"  今晚八点 & 见  \r");
    const std::vector<SentChat> sent = SentChats();
    ASSERT_EQ(sent.size(), 2u);

    const tag_CMDRoomChatMsg& l = sent[0].record;
    EXPECT_EQ(l.kind, 3);
    EXPECT_EQ(l.roomId, kChatRoom);
    EXPECT_EQ(l.senderId, kMe);
    EXPECT_EQ(l.targetId, 0);
    EXPECT_EQ(l.senderLevel, 5);
    EXPECT_EQ(ChatFieldText(l.senderAlias, 17), "\xCE\xD2\xD7\xD4\xBC\xBA");
    EXPECT_EQ(ChatFieldText(l.roomName, 17), "lounge");
    // Typed markup stays text at every receiver; the emoji survives the code page.
    const std::string text = ChatRecordText(l);
    EXPECT_EQ(winplat::AnsiToWide(text), L"&lt;b&gt;大家好&lt;/b&gt; [$1$] &#128512;");
    EXPECT_EQ(l.textLen, text.size() + 1);
    EXPECT_EQ(sent[0].frameLength, 77 + text.size() + 1);

    const tag_CMDRoomChatMsg& g = sent[1].record;
    EXPECT_EQ(g.kind, 1);
    EXPECT_EQ(winplat::AnsiToWide(ChatRecordText(g)), L"今晚八点 &amp; 见");

    // Both inputs are cleared once sent; nothing came back into the room's view.
    EXPECT_EQ(Typed(laba), L"");
    EXPECT_EQ(Typed(gonggao), L"");
    EXPECT_TRUE(roomEntry.hints.empty());
}

TEST_F(SenderTest, RefusedTextsStayAsTypedAndSendNothing) {
    ASSERT_NE(OpenChatSender(laba, nullptr), nullptr);
    ASSERT_NE(OpenChatSender(gonggao, nullptr), nullptr);
    CUserObj& me = CCommKernel::GetInstance()->m_pData->m_LocalUser;
    struct Case {
        const char* what;
        bool announcement;
        std::wstring text;
        bool silenced;
        bool inRoom;
        const wchar_t* hint;  // null: none
        const wchar_t* box;   // over the dialog
    } cases[] = {
        {"blank announcement", true, L"  \n\t ", false, true, nullptr, L"请输入要发送的内容！"},
        {"empty loudspeaker", false, L"", false, true, nullptr, L"请输入要发送的内容！"},
        {"silenced", false, L"hello", true, true, L"您己被禁止发言，请与管理员联系！",
         L"您己被禁止发言，请与管理员联系！"},
        {"too long once escaped", false, std::wstring(300, L'<'), false, true, kChatTooLongHint,
         kChatTooLongHint},
        {"too long in the code page", true, std::wstring(474, L'中'), false, true, kChatTooLongHint,
         kChatTooLongHint},
        {"no room entered", false, L"hello", false, false, nullptr, L"您当前不在房间里,无法发送！"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        roomEntry.hints.clear();
        me.chatBanned = c.silenced;
        roomEntry.roomId = c.inRoom ? kChatRoom : 0;
        CWndChatSender* w = c.announcement ? static_cast<CWndChatSender*>(gonggao) : laba;
        EXPECT_EQ(TypeAndSendBox(w, c.text), c.box);
        EXPECT_TRUE(SentChats().empty());
        EXPECT_EQ(Typed(w), c.text);
        if (c.hint) {
            ASSERT_EQ(roomEntry.hints.size(), 1u);
            EXPECT_EQ(roomEntry.hints[0], c.hint);
        } else {
            EXPECT_TRUE(roomEntry.hints.empty());
        }
    }
    me.chatBanned = false;
    roomEntry.roomId = kChatRoom;
    // The largest text that fits goes out, without a word: 946 bytes and the NUL.
    EXPECT_EQ(TypeAndSendBox(gonggao, std::wstring(473, L'中')), L"");
    const std::vector<SentChat> sent = SentChats();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].record.textLen, kRoomChatMaxText);
}

TEST_F(SenderTest, EnterThatCommitsAnInputMethodCompositionSendsNothing) {
    ASSERT_NE(OpenChatSender(laba, nullptr), nullptr);
    PumpPending();
    QWidget* top = winplat::WidgetOf(laba->GetHWND());
    ASSERT_NE(top, nullptr);
    // The input's view appears once the window is laid out and painted.
    QTextEdit* widget = nullptr;
    InvalidateRect(laba->GetHWND(), nullptr, FALSE);
    ASSERT_TRUE(Pump([&] { return (widget = top->findChild<QTextEdit*>()) != nullptr; }));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QInputMethodEvent preedit(QStringLiteral("dajia"), {});
    QCoreApplication::sendEvent(widget, &preedit);
    QCoreApplication::sendEvent(widget, &enter);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("大家"));
    QCoreApplication::sendEvent(widget, &commit);
    PumpPending();
    EXPECT_TRUE(SentChats().empty());
    EXPECT_EQ(Typed(laba), L"大家");
    QCoreApplication::sendEvent(widget, &enter);
    PumpPending();
    EXPECT_EQ(SentChats().size(), 1u);
}

// What is typed right after opening goes into the input: opening puts the keyboard
// there, the first time and after the window was closed from wherever its focus was.
TEST_F(SenderTest, OpeningPutsTheKeyboardInTheInput) {
    const struct {
        const char* what;
        const wchar_t* clickedBeforeClosing;  // null: none
    } cases[] = {
        {"first opening", nullptr},
        {"after the close button", L"closebtn"},
        {"after sending", L"btnSend"},
        {"after the emoticon button", L"btnEmo"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NE(OpenChatSender(laba, nullptr), nullptr);
        QWidget* top = winplat::WidgetOf(laba->GetHWND());
        ASSERT_NE(top, nullptr);
        InvalidateRect(laba->GetHWND(), nullptr, FALSE);
        QTextEdit* view = nullptr;
        ASSERT_TRUE(Pump([&] { return (view = top->findChild<QTextEdit*>()) != nullptr; }));
        if (c.clickedBeforeClosing) {
            laba->GetInput()->SetText(L"x");
            ClickControl(laba->GetHWND(),
                         laba->GetPaintManager().FindControl(c.clickedBeforeClosing));
            PumpPending();
            ShowWindow(laba->GetHWND(), SW_HIDE);
            PumpPending();
            ASSERT_EQ(OpenChatSender(laba, nullptr), laba);
        }
        // The window's focus widget is where its keys go once it is active.
        EXPECT_TRUE(Pump([&] { return top->focusWidget() == view; }))
            << "the keyboard is elsewhere";
        EXPECT_EQ(laba->GetPaintManager().GetFocus(), laba->GetInput());
    }
}

TEST_F(SenderTest, ClosingHidesAndReopeningShowsTheSameWindowWithItsText) {
    CWndSendLaba* first = OpenChatSender(laba, nullptr);
    ASSERT_NE(first, nullptr);
    PumpPending();
    laba->GetInput()->SetText(L"还没写完");
    ClickControl(laba->GetHWND(), laba->GetPaintManager().FindControl(L"closebtn"));
    PumpPending();
    EXPECT_FALSE(IsWindowVisible(laba->GetHWND()));
    EXPECT_EQ(OpenChatSender(laba, nullptr), first);
    EXPECT_TRUE(IsWindowVisible(laba->GetHWND()));
    EXPECT_EQ(Typed(laba), L"还没写完");
    EXPECT_TRUE(SentChats().empty());

    // Enter in the input sends (the input posts to the window).
    PostMessageW(laba->GetHWND(), UM_RICHEDIT_SEND, 0, 0);
    PumpPending();
    EXPECT_EQ(SentChats().size(), 1u);

    ASSERT_NE(OpenChatSender(gonggao, nullptr), nullptr);
    laba->GetInput()->SetText(L"小喇叭：大家好 [$1$]");
    gonggao->GetInput()->SetText(L"本房间今晚八点有活动");
    PumpPending();
    SaveShot(winplat::GrabWindowImage(laba->GetHWND()), "send_laba.png");
    SaveShot(winplat::GrabWindowImage(gonggao->GetHWND()), "send_gonggao.png");
    EXPECT_EQ(
        std::wstring(laba->GetPaintManager().FindControl(L"labtextprice")->GetText().GetData()),
        L"小喇叭价格：可发送200个字,每条收费 10000 Z币!");
    EXPECT_EQ(
        std::wstring(gonggao->GetPaintManager().FindControl(L"textprice")->GetText().GetData()),
        L"房间公告：可发送200个字,每条收费 0 Z币!");
}

}  // namespace
