#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "win32/win32.h"

namespace {

TEST(CodePage, AnsiRoundTripInGbk) {
    const std::wstring text = L"您没有足够的权限！";
    std::string gbk = winplat::WideToAnsi(text);
    EXPECT_EQ(gbk.size(), 18u);  // nine double-byte characters
    EXPECT_EQ(winplat::AnsiToWide(gbk), text);
}

TEST(CodePage, UsedDefaultTellsWhetherACharacterHadNoMapping) {
    struct Case {
        const wchar_t* text;
        BOOL usedDefault;
    } cases[] = {
        {L"abc", FALSE}, {L"您好", FALSE}, {L"a\U0001F600", TRUE}, {L"\u0E01\u4E2D", TRUE}};
    for (const Case& c : cases) {
        BOOL used = 2;
        char out[16] = {};
        ASSERT_GT(WideCharToMultiByte(CP_ACP, 0, c.text, -1, out, sizeof out, nullptr, &used), 0);
        EXPECT_EQ(used, c.usedDefault) << winplat::WideToUtf8(c.text);
        std::string ansi;
        EXPECT_EQ(winplat::WideToAnsiExact(c.text, ansi), !c.usedDefault);
    }
}

TEST(CodePage, MultiByteToWideCharSizesAndCutInput) {
    // Asking for the size with -1 counts the NUL.
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "ab", -1, nullptr, 0), 3);
    wchar_t out[2];
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, out, 2), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    // A lead byte cut off at the end becomes one replacement character.
    const char cut[] = {'a', '\xC4'};
    wchar_t w[4] = {};
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, cut, 2, w, 4), 2);
    EXPECT_EQ(w[0], L'a');
    EXPECT_EQ(w[1], static_cast<wchar_t>(0xFFFD));
}

TEST(CodePage, Utf16SurrogatesDecode) {
    const char16_t units[] = {u'A', 0xD83D, 0xDE00, 0xDC00};
    std::wstring w = winplat::Utf16ToWide(units, 4);
    ASSERT_EQ(w.size(), 3u);
    EXPECT_EQ(static_cast<uint32_t>(w[1]), 0x1F600u);
    EXPECT_EQ(static_cast<uint32_t>(w[2]), 0xFFFDu);
    EXPECT_EQ(winplat::WideToUtf16(w.substr(0, 2)).size(), 3u);
}

TEST(Format, WideConventionsOfTheMicrosoftRuntime) {
    struct Case {
        const wchar_t* format;
        const wchar_t* expected;
    };
    wchar_t buf[64];
    swprintf_s(buf, L"%s\\%u\\%hs", L"dir", 42u, "x.conf");
    EXPECT_STREQ(buf, L"dir\\42\\x.conf");
    swprintf_s(buf, L"%S|%c|%I64d", "narrow", L'w', static_cast<long long>(1) << 40);
    EXPECT_STREQ(buf, L"narrow|w|1099511627776");
    // Too long: cut and terminated, -1 reported.
    wchar_t small[4];
    EXPECT_EQ(swprintf_s(small, L"%s", L"abcdef"), -1);
    EXPECT_STREQ(small, L"abc");
}

TEST(Format, FormatTextIsAsLongAsItsResult) {
    const std::wstring address(5000, L'9');
    const std::string narrow(3000, 'n');
    struct Case {
        const char* what;
        std::wstring got, expected;
    } cases[] = {
        {"outside text far beyond any fixed array",
         winplat::FormatText(L"用户 %d 的IP地址为: %ls", 7, address.c_str()),
         L"用户 7 的IP地址为: " + address},
        {"narrow text", winplat::FormatText(L"[%hs]", narrow.c_str()),
         L"[" + std::wstring(narrow.begin(), narrow.end()) + L"]"},
        {"numbers at their limits", winplat::FormatText(L"%d %lld", -2147483647 - 1, -(1LL << 62)),
         L"-2147483648 -4611686018427387904"},
        {"nothing to format", winplat::FormatText(L""), L""},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.expected) << c.what;
}

TEST(Crt, SecureCopiesAlwaysTerminate) {
    char field[5];
    EXPECT_NE(strcpy_s(field, "toolong"), 0);
    EXPECT_STREQ(field, "");
    EXPECT_NE(strncpy_s(field, sizeof field, "toolong", _TRUNCATE), 0);
    EXPECT_STREQ(field, "tool");
    EXPECT_EQ(strcpy_s(field, "ok"), 0);
    EXPECT_EQ(_wtoi(L"  -12x"), -12);
    EXPECT_EQ(_wtoi(L"abc"), 0);
    EXPECT_EQ(_stricmp("AbC", "abc"), 0);
}

TEST(Files, WindowsPathsMapAndAtomicWriteReplaces) {
    EXPECT_EQ(winplat::MapPath(L"C:\\x\\y"), "/x/y");
    EXPECT_EQ(winplat::MapPath(L"skin\\MVChat/gift"), "skin/MVChat/gift");
    // Other suites (another build) may run this test at the same time.
    std::wstring file = winplat::ToWindowsPath(testing::TempDir()) + L"\\atomic-" +
                        std::to_wstring(getpid()) + L".bin";
    ASSERT_TRUE(winplat::WriteFileAtomically(file, "first", 5));
    ASSERT_TRUE(winplat::WriteFileAtomically(file, "second", 6));
    std::string back;
    ASSERT_TRUE(winplat::ReadWholeFile(file, back));
    EXPECT_EQ(back, "second");
    HANDLE h = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetFileSize(h, nullptr), 6u);
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_FALSE(CloseHandle(h));  // a closed handle is refused, not followed
    DeleteFileW(file.c_str());
}

TEST(Files, AtomicWritesFromSeveralThreadsNeverMix) {
    // Threads of one process replacing the same file: each write must succeed and the
    // file must always be one whole version, never two interleaved.
    std::wstring file = winplat::ToWindowsPath(testing::TempDir()) + L"\\atomic-threads-" +
                        std::to_wstring(getpid()) + L".bin";
    const size_t kSize = 64 * 1024;
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            const std::string body(kSize, static_cast<char>('a' + t));
            for (int i = 0; i < 10; ++i)
                if (!winplat::WriteFileAtomically(file, body.data(), body.size())) ++failures;
        });
    for (std::thread& th : threads) th.join();
    EXPECT_EQ(failures.load(), 0);
    std::string back;
    ASSERT_TRUE(winplat::ReadWholeFile(file, back));
    ASSERT_EQ(back.size(), kSize);
    EXPECT_EQ(back, std::string(kSize, back[0]));
    DeleteFileW(file.c_str());
}

}  // namespace
