#include "room/ChatLinks.h"

#include <algorithm>

#include <cwchar>
#include <cwctype>

#include "controls/RoomLink.h"

namespace {

struct Word {
    const wchar_t* word;
    ChatLinkKind kind;
};

// Words followed by a user id.
const Word kIdWords[] = {
    {L"orinid:", ChatLinkKind::kUser},
    {L"entervipmic:", ChatLinkKind::kVipMic},
    {L"entersecrmic:", ChatLinkKind::kSecretMic},
    {L"welcome:", ChatLinkKind::kWelcome},
    {L"accept_connect:", ChatLinkKind::kAcceptConnect},
    {L"refuse_connect:", ChatLinkKind::kRefuseConnect},
};

const wchar_t kThankWord[] = L"gift_thank:";
const wchar_t kEnterRoomWord[] = L"enterroom:";

bool StartsWith(const std::wstring& s, const wchar_t* word) {
    return s.compare(0, std::wcslen(word), word) == 0;
}

bool StartsWithNoCase(const std::wstring& s, const wchar_t* word) {
    size_t n = std::wcslen(word);
    if (s.size() < n) return false;
    for (size_t i = 0; i < n; ++i)
        if (static_cast<wchar_t>(std::towlower(static_cast<wint_t>(s[i]))) != word[i]) return false;
    return true;
}

// A decimal number above 0 of at most nine digits and nothing else.
bool ParseId(const std::wstring& s, int& out) {
    if (s.empty() || s.size() > 9) return false;
    int v = 0;
    for (wchar_t c : s) {
        if (c < L'0' || c > L'9') return false;
        v = v * 10 + (c - L'0');
    }
    out = v;
    return v > 0;
}

ChatLink Ignored() {
    ChatLink l;
    l.kind = ChatLinkKind::kIgnored;
    return l;
}

}  // namespace

ChatLink ParseChatLink(const std::wstring& url) {
    ChatLink link;
    for (const Word& w : kIdWords) {
        if (!StartsWith(url, w.word)) continue;
        if (!ParseId(url.substr(std::wcslen(w.word)), link.id)) return Ignored();
        link.kind = w.kind;
        return link;
    }
    if (IsRoomLinkWord(url)) {
        const auto room = ParseRoomLink(url);
        if (!room) return Ignored();
        link.kind = ChatLinkKind::kRoom;
        link.id = room->roomId;
        link.text = room->gate.text;
        return link;
    }
    if (StartsWith(url, kThankWord)) {
        link.kind = ChatLinkKind::kThank;
        link.text = url.substr(std::wcslen(kThankWord));
        return link;
    }
    if (StartsWith(url, kEnterRoomWord)) {
        link.kind = ChatLinkKind::kEnterRoom;
        return link;
    }
    if (StartsWithNoCase(url, L"http://") || StartsWithNoCase(url, L"https://")) {
        // The address goes to the desktop opener as it stands: nothing invisible in it.
        if (std::any_of(url.begin(), url.end(), IsBlankOrControl)) return Ignored();
        link.kind = ChatLinkKind::kWeb;
    }
    return link;
}
