// The chat lines of received records and the commands of the links in them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>

#include "controls/ChatRecord.h"
#include "kernel/CommKernel.h"
#include "model/UserObj.h"
#include "room/ChatLines.h"
#include "room/ChatLinks.h"
#include "session/CommKernelData.h"
#include "win32/text.h"

namespace {

using ChatLines::ChatView;

TEST(ChatLinks, OnlyAWordAtTheStartWithADigitsArgumentIsACommand) {
    const std::wstring longGate(128, L'g');
    struct Case {
        std::wstring url;
        ChatLinkKind kind;
        int id;
        std::wstring text;
    } cases[] = {
        {L"orinid:5", ChatLinkKind::kUser, 5, L""},
        {L"entervipmic:12", ChatLinkKind::kVipMic, 12, L""},
        {L"entersecrmic:12", ChatLinkKind::kSecretMic, 12, L""},
        {L"welcome:7", ChatLinkKind::kWelcome, 7, L""},
        {L"accept_connect:9", ChatLinkKind::kAcceptConnect, 9, L""},
        {L"refuse_connect:9", ChatLinkKind::kRefuseConnect, 9, L""},
        {L"gift_thank:谢谢<b>", ChatLinkKind::kThank, 0, L"谢谢<b>"},
        {L"enterroom:3", ChatLinkKind::kEnterRoom, 0, L""},
        {L"enterchatroom://1234,gate.example:80", ChatLinkKind::kRoom, 1234, L"gate.example:80"},
        {L"EnterChatRoom://5,a:1;b:2", ChatLinkKind::kRoom, 5, L"a:1;b:2"},
        // Unusable arguments: cancelled, nothing done.
        {L"orinid:5welcome:6", ChatLinkKind::kIgnored, 0, L""},
        {L"orinid:", ChatLinkKind::kIgnored, 0, L""},
        {L"orinid:-5", ChatLinkKind::kIgnored, 0, L""},
        {L"orinid:0", ChatLinkKind::kIgnored, 0, L""},
        {L"welcome:12345678901", ChatLinkKind::kIgnored, 0, L""},
        {L"enterchatroom://1234", ChatLinkKind::kIgnored, 0, L""},
        {L"enterchatroom://,gate", ChatLinkKind::kIgnored, 0, L""},
        {L"enterchatroom:1234,gate", ChatLinkKind::kIgnored, 0, L""},
        {L"enterchatroom://1," + longGate, ChatLinkKind::kIgnored, 0, L""},
        {L"enterchatroom://1234,", ChatLinkKind::kIgnored, 0, L""},
        {L"enterchatroom://0,g:1", ChatLinkKind::kIgnored, 0, L""},
        {L"enterchatroom://2147483648,g:1", ChatLinkKind::kIgnored, 0, L""},
        {L"enterchatroom://5,g:1\u2028", ChatLinkKind::kIgnored, 0, L""},
        {L"http://h/\u00A0x", ChatLinkKind::kIgnored, 0, L""},
        // A word elsewhere is no command.
        {L"http://h/?enterchatroom://1,g", ChatLinkKind::kWeb, 0, L""},
        {L"HTTPS://h/orinid:5", ChatLinkKind::kWeb, 0, L""},
        {L"x-orinid:5", ChatLinkKind::kNone, 0, L""},
        {L"about:blank", ChatLinkKind::kNone, 0, L""},
        {L"Orinid:5", ChatLinkKind::kNone, 0, L""},
    };
    for (const Case& c : cases) {
        ChatLink l = ParseChatLink(c.url);
        EXPECT_EQ(l.kind, c.kind) << c.url;
        EXPECT_EQ(l.id, c.id) << c.url;
        EXPECT_EQ(l.text, c.text) << c.url;
    }
}

class ChatLinesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        CCommKernel* k = CCommKernel::GetInstance();
        if (!k->m_pData) {
            k->init(nullptr);
            k->m_pData->init();
        }
    }
    void SetUp() override {
        std::memset(&rec, 0, sizeof rec);
        other.userId = 7;
        other.alias = "Bob<i>";
        me.userId = 1001;
        me.alias = "me";
        view.record = &rec;
        view.myId = 1001;
        view.hasPrivateView = true;
        view.now = 0;
    }
    void Set(int kind, int sender, int target, const std::string& text) {
        rec.kind = static_cast<uint8_t>(kind);
        rec.senderId = sender;
        rec.targetId = target;
        std::memcpy(rec.text, text.data(), text.size());
        rec.textLen = static_cast<uint16_t>(text.size() + 1);
        std::strcpy(rec.senderAlias, "Bob<i>");
        view.sender = sender == 7 ? &other : sender == 1001 ? &me : nullptr;
        view.target = target == 7 ? &other : target == 1001 ? &me : nullptr;
    }
    tag_CMDRoomChatMsg rec;
    CUserObj other, me;
    ChatLines::RecordView view;
};

TEST_F(ChatLinesTest, EachKindGoesToItsViewAndShieldsHideOnlyOthersLines) {
    struct Case {
        const char* what;
        int kind, sender, target;
        bool shieldPub, shieldPriv, echo;
        ChatView view;
        bool flash, reply;
    } cases[] = {
        {"public between others", 0, 7, 0, false, false, false, ChatView::kPublic, true, false},
        {"public to me", 0, 7, 1001, false, false, false, ChatView::kPrivate, true, true},
        {"public from me", 0, 1001, 7, false, false, false, ChatView::kPrivate, true, false},
        {"public shielded", 0, 7, 0, true, false, false, ChatView::kNone, false, false},
        {"my public echo, shielded", 0, 1001, 0, true, false, true, ChatView::kPrivate, true,
         false},
        {"private to me", 15, 7, 1001, false, false, false, ChatView::kPrivate, true, true},
        {"private shielded", 15, 7, 1001, false, true, false, ChatView::kNone, false, false},
        {"automatic reply", 11, 7, 1001, false, true, false, ChatView::kPrivate, true, false},
        {"loudspeaker", 3, 7, 0, true, true, false, ChatView::kLoudspeaker, true, false},
        {"announcement", 1, 7, 0, true, true, false, ChatView::kPrivate, true, false},
        {"unknown kind", 42, 7, 0, false, false, false, ChatView::kNone, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Set(c.kind, c.sender, c.target, "hi");
        view.shieldPublic = c.shieldPub;
        view.shieldPrivate = c.shieldPriv;
        view.localEcho = c.echo;
        ChatLines::RenderedLine line = ChatLines::RenderRecord(view);
        EXPECT_EQ(line.view, c.view);
        EXPECT_EQ(line.flash, c.flash);
        EXPECT_EQ(line.autoReply, c.reply);
        if (c.view != ChatView::kNone) {
            EXPECT_NE(line.html.find(L"hi"), std::wstring::npos);
        }
    }
    // Without a private view, my public lines stay public.
    Set(0, 7, 1001, "hi");
    view.shieldPublic = false;
    view.hasPrivateView = false;
    EXPECT_EQ(ChatLines::RenderRecord(view).view, ChatView::kPublic);
}

TEST_F(ChatLinesTest, NamesAreEscapedAndHostileMarkupLeavesNoForeignLinkOrPicture) {
    Set(0, 7, 0,
        "<a href=\"orinid:5\">x</a><img src=\"http://e/p.gif\"><script>alert(1)</script>"
        "<a href=\"welcome:3\" onclick=y>w</a>[$1$]");
    std::wstring html = ChatLines::RenderRecord(view).html;
    EXPECT_EQ(html.find(L"orinid:5"), std::wstring::npos);
    EXPECT_EQ(html.find(L"welcome:"), std::wstring::npos);
    EXPECT_EQ(html.find(L"http://e"), std::wstring::npos);
    EXPECT_EQ(html.find(L"alert"), std::wstring::npos);
    EXPECT_EQ(html.find(L"Bob<i>"), std::wstring::npos);
    EXPECT_NE(html.find(L"Bob&lt;i&gt;"), std::wstring::npos);
    EXPECT_NE(html.find(L"href=\"orinid:7\""), std::wstring::npos) << "the program's own link";
    EXPECT_NE(html.find(L"emotion/1.gif"), std::wstring::npos);

    // An alias of 17 bytes without a NUL and a text longer than its length word.
    std::memset(rec.senderAlias, 'A', sizeof rec.senderAlias);
    std::memset(rec.targetAlias, 'B', sizeof rec.targetAlias);
    std::memset(rec.text, 'C', 40);
    rec.textLen = 10;
    rec.kind = 3;
    html = ChatLines::RenderRecord(view).html;
    EXPECT_NE(html.find(std::wstring(17, L'A') + L"(7)"), std::wstring::npos);
    EXPECT_EQ(html.find(L"AB"), std::wstring::npos);
    EXPECT_NE(html.find(std::wstring(10, L'C') + L"</A>"), std::wstring::npos);
    EXPECT_EQ(html.find(std::wstring(11, L'C')), std::wstring::npos);
}

TEST_F(ChatLinesTest, TemplatesAsTheRoomWritesThem) {
    EXPECT_EQ(ChatLines::UserLink(0, nullptr, "", false),
              L"[<A style=\"TEXT-DECORATION: none\" oncontextmenu=\"return PopupUserMenu(0)\" "
              L"class=SelfSay_FontColor href=\"orinid:0\">大家</A>]");
    EXPECT_NE(ChatLines::UserLink(9, nullptr, "a&b", false).find(L">a&amp;b</A>]"),
              std::wstring::npos);
    EXPECT_NE(ChatLines::UserLink(9, nullptr, "", false).find(L">9</A>]"), std::wstring::npos);
    EXPECT_NE(ChatLines::UserLink(1001, &me, "", true).find(L">你</A>]"), std::wstring::npos);
    EXPECT_EQ(ChatLines::HintLine(2, L"x"), L"");
    EXPECT_NE(ChatLines::HintLine(1, L"x").find(L"<SPAN class=HintInfoPic></SPAN>x</DIV>"),
              std::wstring::npos);
    EXPECT_EQ(ChatLines::PageHead(L"giftlist"), L"");
    EXPECT_NE(
        ChatLines::PageHead(L"pubtextout")
            .find(L"<LINK rel=stylesheet href=\"" + ChatLines::ChatStyleFolder() + L"/chat.css\">"),
        std::wstring::npos);
}

// Every picture a line names below the skin folder is in the skin: all the entrance
// banners the effect bits (1 to 32) and the level banner (100) can ask for, and the
// loudspeaker line's trumpet. A missing one shows as a broken picture in the chat.
TEST_F(ChatLinesTest, EveryPictureALineNamesIsInTheSkin) {
    std::vector<std::wstring> lines;
    for (int car = 1; car <= 32; ++car) lines.push_back(ChatLines::EntranceBanner(car, &other));
    lines.push_back(ChatLines::EntranceBanner(100, &other));
    Set(3, 7, 0, "hi");
    lines.push_back(ChatLines::RenderRecord(view).html);

    const std::wstring folder = ChatLines::SkinFolder();
    std::vector<std::string> missing;
    size_t named = 0;
    for (const std::wstring& html : lines) {
        for (const std::wstring opener : {L"url(", L"src=\""}) {
            for (size_t at = html.find(opener); at != std::wstring::npos;
                 at = html.find(opener, at + 1)) {
                const size_t start = at + opener.size();
                const size_t end = html.find_first_of(L")\"", start);
                ASSERT_NE(end, std::wstring::npos);
                std::wstring path = html.substr(start, end - start);
                ASSERT_EQ(path.compare(0, folder.size(), folder), 0) << winplat::WideToUtf8(path);
                path = path.substr(folder.size() + 1);
                std::replace(path.begin(), path.end(), L'\\', L'/');
                ++named;
                const std::string file = winplat::WideToUtf8(std::wstring(MIVORA_SKIN_DIR) + path);
                if (!std::filesystem::is_regular_file(file)) missing.push_back(file);
            }
        }
    }
    EXPECT_EQ(named, 34u);
    EXPECT_TRUE(missing.empty()) << ::testing::PrintToString(missing);
}

}  // namespace
