// The HTML of the room's chat lines: page heads, the pieces every line uses (time,
// user links, hints, emoticons) and the line of a received chat record. Text from the
// network goes through HtmlText (names escaped, chat markup sanitised).
#pragma once

#include <ctime>
#include <string>

#include "kernel/CmdRecords.h"

class CUserObj;

namespace ChatLines {

// "<program folder>\skin\MVChat" and the chat style, emoticon and resource folders.
std::wstring SkinFolder();
std::wstring ChatStyleFolder();
std::wstring EmotionFolder();
std::wstring ResourceFolder();

// The head of a chat browser's page by the browser's name; empty for other browsers.
std::wstring PageHead(const std::wstring& browser);

std::wstring TimeSpan(time_t t);
// `name` is a narrow field of a record (bounded, ANSI), used when `user` is unknown.
std::wstring UserLink(int id, CUserObj* user, const std::string& name, bool isMe);
std::wstring AnonymousLink();
// Style 1: the hint line around `text` (program-written HTML); other styles: empty.
std::wstring HintLine(int style, const std::wstring& text);
// Network chat markup: sanitised, then its emoticon codes become pictures.
std::wstring ChatText(const std::wstring& markup);
std::wstring EntranceBanner(int car, CUserObj* user);

// A received or echoed chat record, rendered.
struct RecordView {
    const tag_CMDRoomChatMsg* record = nullptr;
    CUserObj* sender = nullptr;  // members of the current room, or null
    CUserObj* target = nullptr;
    int myId = 0;
    bool localEcho = false;
    bool shieldPublic = false;
    bool shieldPrivate = false;
    bool shieldCheers = false;
    bool hasPrivateView = false;  // privtextout exists
    time_t now = 0;
};

enum class ChatView { kNone, kPublic, kPrivate, kLoudspeaker };

struct RenderedLine {
    ChatView view = ChatView::kNone;
    std::wstring html;
    bool flash = false;      // the room window flashes
    bool autoReply = false;  // an automatic reply goes back to the sender (if enabled)
};

RenderedLine RenderRecord(const RecordView& v);

// The chat font a line is sent in.
struct ChatFont {
    std::wstring face;
    unsigned long colour = 0;  // COLORREF, 0x00BBGGRR
    int size = 12;             // points
    bool bold = false, italic = false, underline = false;
};

// Typed text as the line sent: escaped, in the font's span with its b, i and u.
std::wstring ComposeChatHtml(const std::wstring& text, const ChatFont& font);

}  // namespace ChatLines
