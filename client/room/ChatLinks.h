// The addresses of the links in the room's chat views, as a click hands them over:
// which command a link carries and its argument. A command word counts only at the
// start of the address; its number must be all digits.
#pragma once

#include <string>

enum class ChatLinkKind {
    kNone,           // no command: the navigation goes on
    kWeb,            // http(s): opened in the desktop browser, the view keeps its page
    kIgnored,        // a command word with an unusable argument: cancelled, nothing done
    kUser,           // "orinid:"
    kRoom,           // a room link (controls/RoomLink.h): id and gate list
    kVipMic,         // "entervipmic:"
    kSecretMic,      // "entersecrmic:"
    kWelcome,        // "welcome:"
    kAcceptConnect,  // "accept_connect:"
    kRefuseConnect,  // "refuse_connect:"
    kThank,          // "gift_thank:"
    kEnterRoom,      // "enterroom:"
};

struct ChatLink {
    ChatLinkKind kind = ChatLinkKind::kNone;
    int id = 0;         // user or room id
    std::wstring text;  // room gate address, or the thank-you text
};

ChatLink ParseChatLink(const std::wstring& url);
