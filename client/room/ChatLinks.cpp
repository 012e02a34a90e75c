#include "room/ChatLinks.h"

#include <cwchar>
#include <cwctype>

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

const wchar_t kRoomWord[] = L"enterchatroom:";
const wchar_t kRoomPrefix[] = L"enterchatroom://";
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
    if (StartsWith(url, kRoomWord)) {
        if (!StartsWith(url, kRoomPrefix)) return Ignored();
        const std::wstring rest = url.substr(std::wcslen(kRoomPrefix));
        const size_t comma = rest.find(L',');
        if (comma == std::wstring::npos || !ParseId(rest.substr(0, comma), link.id))
            return Ignored();
        link.text = rest.substr(comma + 1);
        if (link.text.size() > kMaxGateChars) return Ignored();
        link.kind = ChatLinkKind::kRoom;
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
    if (StartsWithNoCase(url, L"http://") || StartsWithNoCase(url, L"https://"))
        link.kind = ChatLinkKind::kWeb;
    return link;
}
