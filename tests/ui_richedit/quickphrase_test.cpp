// Quick phrases from "chatqk.conf": at most ten, each line as read with its line end,
// the file's encodings, and files that are missing, empty or odd.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "controls/QuickPhraseList.h"
#include "win32/win32.h"

namespace {

std::string Utf16Le(const std::u16string& s, bool bom = true) {
    std::string out = bom ? std::string("\xFF\xFE", 2) : std::string();
    for (char16_t c : s) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
    return out;
}
std::string Utf16Be(const std::u16string& s) {
    std::string out("\xFE\xFF", 2);
    for (char16_t c : s) {
        out += static_cast<char>(c >> 8);
        out += static_cast<char>(c & 0xFF);
    }
    return out;
}

class QuickPhraseTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = "/tmp/mivora-chatqk-" + std::to_string(getpid());
        std::string cmd = "mkdir -p " + dir;
        ASSERT_EQ(std::system(cmd.c_str()), 0);
        winplat::SetModulePath(winplat::Utf8ToWide(dir + "/Mivora.exe"));
    }
    void TearDown() override {
        std::remove((dir + "/chatqk.conf").c_str());
        rmdir(dir.c_str());
        winplat::SetModulePath(L"");
    }
    void Write(const std::string& bytes) {
        FILE* f = std::fopen((dir + "/chatqk.conf").c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    std::string dir;
};

std::u16string Lines(int n) {
    std::u16string s;
    for (int i = 0; i < n; ++i) s += u"短语" + std::u16string(1, char16_t(u'a' + i)) + u"\r\n";
    return s;
}

TEST_F(QuickPhraseTest, FileContentsGiveTheirPhrases) {
    const std::wstring longTail(5000 - 4095, L'y');
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::wstring> phrases;
    } cases[] = {
        {"empty file", "", {}},
        {"only a mark", "\xFF\xFE", {}},
        {"line ends kept, CR LF read as LF", Utf16Le(u"你好\r\n再见"), {L"你好\n", L"再见"}},
        {"no byte-order mark: UTF-16 little-endian", Utf16Le(u"ab\n", false), {L"ab\n"}},
        {"big-endian mark", Utf16Be(u"大家好\n"), {L"大家好\n"}},
        {"UTF-8 mark",
         "\xEF\xBB\xBF"
         "\xE4\xBD\xA0"
         "\n",
         {L"你\n"}},
        {"an empty line is a phrase", Utf16Le(u"\r\nx"), {L"\n", L"x"}},
        {"odd last byte dropped", Utf16Le(u"ok") + "\x41", {L"ok"}},
        {"a NUL ends the phrase, not the line",
         Utf16Le(std::u16string(u"ab\0cd\nef", 8)),
         {L"ab", L"ef"}},
        {"a line over 4095 characters goes on as the next phrase",
         Utf16Le(std::u16string(5000, u'y')),
         {std::wstring(4095, L'y'), longTail}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Write(c.bytes);
        CQuickPhraseList list;
        EXPECT_EQ(list.Load(), 0);
        EXPECT_EQ(list.m_list, c.phrases);
        EXPECT_EQ(list.HasItems(), !c.phrases.empty());
    }
}

TEST_F(QuickPhraseTest, TwelveLinesGiveTen) {
    Write(Utf16Le(Lines(12)));
    CQuickPhraseList list;
    EXPECT_EQ(list.Load(), 0);
    ASSERT_EQ(list.m_list.size(), 10u);
    EXPECT_EQ(list.m_list.front(), L"短语a\n");
    EXPECT_EQ(list.m_list.back(), L"短语j\n");
    // The menu shows a phrase without its line end; the phrase itself keeps it.
    EXPECT_EQ(list.MenuText(0), L"短语a");
    EXPECT_EQ(list.MenuText(10), L"");
    // A second load adds nothing to a full list.
    EXPECT_EQ(list.Load(), 0);
    EXPECT_EQ(list.m_list.size(), 10u);
}

TEST_F(QuickPhraseTest, MissingFileLeavesTheListEmpty) {
    CQuickPhraseList list;
    EXPECT_EQ(list.Load(), -1);
    EXPECT_FALSE(list.HasItems());
}

TEST(QuickPhraseShipped, TheSkinsFileLoads) {
    winplat::SetModulePath(winplat::Utf8ToWide(std::string(MIVORA_SKIN_ROOT) + "Mivora.exe"));
    CQuickPhraseList list;
    EXPECT_EQ(list.Load(), 0);
    winplat::SetModulePath(L"");
    ASSERT_TRUE(list.HasItems());
    EXPECT_LE(list.m_list.size(), 10u);
    for (const std::wstring& p : list.m_list) EXPECT_EQ(p.back(), L'\n');
}

}  // namespace
