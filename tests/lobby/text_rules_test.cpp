// The small rules the logon and lobby windows apply to typed and network text: the
// account number, the password field, room links, page addresses and the updater's
// arguments.
#include <gtest/gtest.h>

#include <string>

#include "lobby/AnsiText.h"
#include "lobby/RoomEntryDialogs.h"
#include "lobby/WndLobby.h"
#include "lobby/WndLogon.h"

namespace {

constexpr UINT kGbk = 936;

TEST(TextRules, AnAccountIsAWholePositiveNumberWithinInt32) {
    struct Case {
        const wchar_t* text;
        int id;
    } cases[] = {
        {L"10001", 10001},
        {L"2147483647", 2147483647},
        {L"2147483648", 0},
        {L"12abc", 0},
        {L"0", 0},
        {L"-5", 0},
        {L"", 0},
        {L" 12", 0},
        {L"99999999999999999999", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseAccountNumber(c.text), c.id) << "'" << c.text << "'";
    EXPECT_EQ(ParseAccountNumber(nullptr), 0);
}

TEST(TextRules, APasswordFieldTakesOnlyTextThatFitsUnchanged) {
    struct Case {
        const wchar_t* typed;
        bool accepted;
        std::string bytes;
    } cases[] = {
        {L"111111", true, "111111"},
        {L"abcdefghijklmnop", true, "abcdefghijklmnop"},  // 16 bytes
        {L"abcdefghijklmnopq", false, ""},                // 17
        {L"密码密码密码密码", true,
         "\xC3\xDC\xC2\xEB\xC3\xDC\xC2\xEB\xC3\xDC\xC2\xEB\xC3\xDC\xC2\xEB"},
        {L"密码密码密码密码a", false, ""},  // 17 bytes in GBK
        {L"pass\u00E9\u0100", false, ""},   // no form in the code page
        {L"emoji\U0001F600", false, ""},
    };
    for (const Case& c : cases) {
        std::string out = "x";
        EXPECT_EQ(AnsiFieldText(c.typed, kGbk, 16, out), c.accepted);
        EXPECT_EQ(out, c.bytes);
    }
}

TEST(TextRules, ARoomPasswordIsCutWithoutSplittingACharacter) {
    struct Case {
        const wchar_t* typed;
        std::string stored;
    } cases[] = {
        {L"8888", "8888"},
        {L"0123456789abcdefXYZ", "0123456789abcdef"},
        // 15 single bytes, then a double-byte character that would need bytes 16 and 17.
        {L"0123456789abcde密", "0123456789abcde"},
        {L"密码密码密码密码密码",
         "\xC3\xDC\xC2\xEB\xC3\xDC\xC2\xEB\xC3\xDC\xC2\xEB\xC3\xDC\xC2\xEB"},
        {L"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(RoomPasswordField(c.typed, kGbk), c.stored);
}

TEST(TextRules, GroupPagesAndTheirUserPart) {
    const wchar_t* list = L"http://w/roomlist.php";
    EXPECT_EQ(GroupPageAddress(L"R", list, 7), L"http://w/roomlist.php?ngroupid=7");
    EXPECT_EQ(GroupPageAddress(L"http://w/help.html", list, 7), L"http://w/help.html");
    EXPECT_EQ(GroupPageAddress(L"x", list, 7), L"");
    EXPECT_EQ(GroupPageAddress(L"R", L"", 7), L"") << "no room-list address, no page";

    struct Case {
        std::wstring page;
        std::string password;
        std::wstring full;
    } cases[] = {
        {L"http://w/help.html", "111111", L"http://w/help.html?uname=10001&pwd=111111"},
        {L"http://w/roomlist.php?ngroupid=7", "a&b=c",
         L"http://w/roomlist.php?ngroupid=7&uname=10001&pwd=a%26b%3Dc"},
        {L"http://w/p", "x carkelt#", L"http://w/p?uname=10001&pwd=x%20carkelt%23"},
        {L"http://w/p", "\xC3\xDC", L"http://w/p?uname=10001&pwd=%C3%DC"},
    };
    for (const Case& c : cases) EXPECT_EQ(GroupPageWithUser(c.page, 10001, c.password), c.full);
}

TEST(TextRules, UpdaterArgumentsWithBlanksAreQuoted) {
    EXPECT_EQ(QuoteArgument(L"1.0.0.1"), L"1.0.0.1");
    EXPECT_EQ(QuoteArgument(L"/tmp/my program/OnlineUpdate.exe"),
              L"\"/tmp/my program/OnlineUpdate.exe\"");
    EXPECT_EQ(QuoteArgument(L""), L"\"\"") << "an empty argument keeps its place";
}

}  // namespace
