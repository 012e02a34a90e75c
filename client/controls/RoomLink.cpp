#include "controls/RoomLink.h"

namespace {

const wchar_t kWord[] = L"enterchatroom:";
const wchar_t kPrefix[] = L"enterchatroom://";
constexpr size_t kMaxHostChars = 31;  // a server table entry holds 32 bytes with the NUL
constexpr int64_t kMaxRoomId = 0x7FFFFFFF;

wchar_t Lower(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool StartsWithNoCase(const std::wstring& s, const wchar_t* word) {
    size_t k = 0;
    for (; word[k]; ++k)
        if (k >= s.size() || Lower(s[k]) != word[k]) return false;
    return true;
}

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

bool IsHostChar(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || IsDigit(c) || c == L'.' ||
           c == L'-' || c == L'_';
}

// Decimal digits only, within 1..max.
std::optional<int64_t> Number(const std::wstring& s, int64_t max) {
    if (s.empty() || s.size() > 10) return std::nullopt;
    int64_t v = 0;
    for (wchar_t c : s) {
        if (!IsDigit(c)) return std::nullopt;
        v = v * 10 + (c - L'0');
    }
    if (v < 1 || v > max) return std::nullopt;
    return v;
}

std::optional<RoomLinkGate> Gate(const std::wstring& entry) {
    const size_t colon = entry.find(L':');
    if (colon == std::wstring::npos || colon == 0 || colon > kMaxHostChars) return std::nullopt;
    RoomLinkGate gate;
    for (size_t k = 0; k < colon; ++k) {
        if (!IsHostChar(entry[k])) return std::nullopt;
        gate.host += Lower(entry[k]);
    }
    const auto port = Number(entry.substr(colon + 1), 65535);
    if (!port) return std::nullopt;
    gate.port = static_cast<uint16_t>(*port);
    return gate;
}

}  // namespace

bool IsRoomLinkWord(const std::wstring& url) {
    return StartsWithNoCase(url, kWord);
}

std::optional<RoomGateList> ParseRoomGateList(const std::wstring& list) {
    // Every entry must be a gate, also those cut off below: a list is valid or not as
    // a whole. An empty piece (a trailing ";") stands for nothing.
    RoomGateList out;
    size_t at = 0;
    bool cut = false;
    while (at <= list.size()) {
        size_t end = list.find(L';', at);
        if (end == std::wstring::npos) end = list.size();
        const std::wstring entry = list.substr(at, end - at);
        at = end + 1;
        if (entry.empty()) continue;
        auto gate = Gate(entry);
        if (!gate) return std::nullopt;
        const size_t grown = out.text.size() + (out.text.empty() ? 0 : 1) + entry.size();
        if (cut || grown > kRoomLinkGateChars) {
            cut = true;
            continue;
        }
        if (!out.text.empty()) out.text += L';';
        out.text += entry;
        out.gates.push_back(std::move(*gate));
    }
    if (out.gates.empty()) return std::nullopt;
    return out;
}

std::optional<RoomLink> ParseRoomLink(const std::wstring& url) {
    if (!StartsWithNoCase(url, kPrefix)) return std::nullopt;
    const std::wstring rest = url.substr(std::char_traits<wchar_t>::length(kPrefix));
    const size_t comma = rest.find(L',');
    if (comma == std::wstring::npos) return std::nullopt;
    const auto id = Number(rest.substr(0, comma), kMaxRoomId);
    if (!id) return std::nullopt;
    auto gate = ParseRoomGateList(rest.substr(comma + 1));
    if (!gate) return std::nullopt;
    RoomLink link;
    link.roomId = static_cast<int32_t>(*id);
    link.gate = std::move(*gate);
    return link;
}

bool IsBlankOrControl(wchar_t c) {
    const auto u = static_cast<uint32_t>(c);
    return u <= 0x20 || (u >= 0x7F && u <= 0xA0) || u == 0xAD || u == 0x1680 || u == 0x180E ||
           (u >= 0x2000 && u <= 0x200F) || (u >= 0x2028 && u <= 0x202F) ||
           (u >= 0x205F && u <= 0x206F) || u == 0x3000 || u == 0xFEFF ||
           (u >= 0xFFF9 && u <= 0xFFFB);
}

std::wstring WebAddressHost(const std::wstring& url) {
    size_t start = 0;
    if (StartsWithNoCase(url, L"http://"))
        start = 7;
    else if (StartsWithNoCase(url, L"https://"))
        start = 8;
    else
        return {};
    size_t end = url.find_first_of(L"/?#\\", start);
    if (end == std::wstring::npos) end = url.size();
    std::wstring authority = url.substr(start, end - start);
    const size_t at = authority.rfind(L'@');
    if (at != std::wstring::npos) authority.erase(0, at + 1);
    if (!authority.empty() && authority[0] == L'[') {
        const size_t close = authority.find(L']');
        if (close == std::wstring::npos) return {};
        authority.resize(close + 1);
    } else {
        const size_t colon = authority.find(L':');
        if (colon != std::wstring::npos) authority.resize(colon);
    }
    for (wchar_t& c : authority) {
        if (IsBlankOrControl(c)) return {};
        c = Lower(c);
    }
    return authority;
}
