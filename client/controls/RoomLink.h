// Room links, "enterchatroom://<room id>,<gate list>", as pages and chat lines carry
// them: the one reader that decides what such a link is, for the chat sanitiser, the
// chat views, the lobby's pages and the finder. Also the host of a web address, which
// the trust rules of the lobby and the room compare.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The gate list travels in 128 wide characters with their NUL.
constexpr size_t kRoomLinkGateChars = 127;

struct RoomLinkGate {
    std::wstring host;  // lower case
    uint16_t port = 0;
};

struct RoomGateList {
    std::wstring text;                // "host:port;host:port", as far as it fits 127 characters
    std::vector<RoomLinkGate> gates;  // the entries of the text
};

struct RoomLink {
    int32_t roomId = 0;
    RoomGateList gate;
};

// True when the address starts with the room-link word ("enterchatroom:", any case):
// such an address is a room command, whether or not it is a valid one.
bool IsRoomLinkWord(const std::wstring& url);

// The room link the whole address is, or nothing: "enterchatroom://" (any case), a
// room id of decimal digits within 1..2^31-1, a comma, then one or more entries
// "host:port" separated by ";" (host of letters, digits, ".", "-" and "_", at most 31
// characters; port 1..65535). Nothing else may stand anywhere, blanks of any kind
// included. A list longer than 127 characters keeps the whole entries that fit.
std::optional<RoomLink> ParseRoomLink(const std::wstring& url);

// The gate list part of a room link by the same rules.
std::optional<RoomGateList> ParseRoomGateList(const std::wstring& list);

// A character that shows as nothing or as a blank: ASCII and Unicode spaces, line and
// paragraph separators, no-break spaces, zero-width and direction marks, controls.
bool IsBlankOrControl(wchar_t c);

// The host of an http(s) address in lower case ("http://user@Host:80/x" -> "host"),
// empty for any other address.
std::wstring WebAddressHost(const std::wstring& url);
