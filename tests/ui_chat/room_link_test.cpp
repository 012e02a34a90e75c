// The one reader of room links and the host of a web address.
#include <gtest/gtest.h>

#include <string>

#include "controls/RoomLink.h"

namespace {

TEST(RoomLinks, AWholeLinkWithAValidIdAndGatesOnly) {
    std::wstring longList;  // ten entries of 13 characters and their separators
    for (int i = 0; i < 10; ++i) longList += L"10.0.0.1:8000;";
    struct Case {
        std::wstring url;
        int roomId;         // 0: no room link
        std::wstring gate;  // the list kept
    } cases[] = {
        {L"enterchatroom://1001,127.0.0.1:7003", 1001, L"127.0.0.1:7003"},
        {L"enterchatroom://5,a:1;b:2", 5, L"a:1;b:2"},
        {L"EnterChatRoom://9,Gate-1.Example_x:65535", 9, L"Gate-1.Example_x:65535"},
        {L"enterchatroom://2147483647,g:1", 2147483647, L"g:1"},
        {L"enterchatroom://8," + longList, 8, longList.substr(0, 9 * 14 - 1)},
        {L"enterchatroom://7,a:1;", 7, L"a:1"},
        // Ids: digits within 1..2^31-1.
        {L"enterchatroom://0,h:1", 0, L""},
        {L"enterchatroom://-3,h:1", 0, L""},
        {L"enterchatroom://+3,h:1", 0, L""},
        {L"enterchatroom://12x,h:1", 0, L""},
        {L"enterchatroom://2147483648,h:1", 0, L""},
        {L"enterchatroom://99999999999,h:1", 0, L""},
        {L"enterchatroom://,h:1", 0, L""},
        // Gates: host characters and a port within 1..65535, every entry.
        {L"enterchatroom://1001,", 0, L""},
        {L"enterchatroom://1001", 0, L""},
        {L"enterchatroom://1,h", 0, L""},
        {L"enterchatroom://1,h:0", 0, L""},
        {L"enterchatroom://1,h:65536", 0, L""},
        {L"enterchatroom://1,:80", 0, L""},
        {L"enterchatroom://1,h:80;evil", 0, L""},
        {L"enterchatroom://1,h:80:81", 0, L""},
        {L"enterchatroom://1," + std::wstring(32, L'h') + L":80", 0, L""},
        {L"enterchatroom://1,user@h:80", 0, L""},
        {L"enterchatroom://1,h:80/x", 0, L""},
        {L"enterchatroom://1," + longList + L"x", 0, L""},
        // No blanks of any kind.
        {L"enterchatroom://1,h:80 ", 0, L""},
        {L"enterchatroom://1,h:80\u2028", 0, L""},
        {L"enterchatroom://1,h\u00A0:80", 0, L""},
        {L"enterchatroom://1\u200B,h:80", 0, L""},
        {L"enterchatroom://1,h:80\t", 0, L""},
        // The word counts only at the start.
        {L"http://x/?enterchatroom://1001,h:1", 0, L""},
        {L" enterchatroom://1001,h:1", 0, L""},
        {L"enterchatroom:1001,h:1", 0, L""},
    };
    for (const Case& c : cases) {
        const auto link = ParseRoomLink(c.url);
        ASSERT_EQ(link.has_value(), c.roomId != 0) << c.url;
        if (!link) continue;
        EXPECT_EQ(link->roomId, c.roomId) << c.url;
        EXPECT_EQ(link->gate.text, c.gate) << c.url;
        EXPECT_LE(link->gate.text.size(), kRoomLinkGateChars);
    }
    const auto two = ParseRoomLink(L"enterchatroom://5,A.example:1;b:65535");
    ASSERT_TRUE(two);
    ASSERT_EQ(two->gate.gates.size(), 2u);
    EXPECT_EQ(two->gate.gates[0].host, L"a.example");
    EXPECT_EQ(two->gate.gates[0].port, 1);
    EXPECT_EQ(two->gate.gates[1].host, L"b");
    EXPECT_EQ(two->gate.gates[1].port, 65535);
}

TEST(RoomLinks, TheHostOfAWebAddress) {
    struct Case {
        const wchar_t* url;
        const wchar_t* host;
    } cases[] = {
        {L"http://www.Example.com/a/b?c", L"www.example.com"},
        {L"HTTPS://h:8080", L"h"},
        {L"http://127.0.0.1:27180/hall.php", L"127.0.0.1"},
        {L"http://good.example@evil.example/x", L"evil.example"},
        {L"http://good.example:x@evil.example:80/", L"evil.example"},
        {L"http://evil.example\\@good.example/", L"evil.example"},
        {L"http://h?x=http://good/", L"h"},
        {L"http://[::1]:80/", L"[::1]"},
        {L"http://h\u2028x/", L""},
        {L"ftp://h/", L""},
        {L"about:blank", L""},
        {L"", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(WebAddressHost(c.url), c.host) << c.url;
}

}  // namespace
