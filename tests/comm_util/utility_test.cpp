#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "util/ErrorMessage.h"
#include "util/FileUtil.h"
#include "util/StringSplit.h"
#include "util/SysInfo.h"
#include "win32/win32.h"

namespace {

struct SplitCase {
    const char* text;
    char sep;
    int firstOnly;
    std::vector<std::string> parts;
};

TEST(SplitString, NarrowAndWideGiveTheSameParts) {
    const SplitCase cases[] = {
        {"a;;b", ';', 0, {"a", "", "b"}},
        {";a", ';', 0, {"", "a"}},
        {"a;", ';', 0, {"a"}},
        {"", ';', 0, {}},
        {"abc", ';', 0, {"abc"}},
        {"key=a=b", '=', 1, {"key", "a=b"}},
        {"key=", '=', 1, {"key", ""}},
        {"nokey", '=', 1, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<std::string> a{"stale"};
        SplitStringA(c.text, c.sep, a, c.firstOnly);
        EXPECT_EQ(a, c.parts);

        std::wstring wide(c.text, c.text + std::char_traits<char>::length(c.text));
        std::vector<wchar_t> buf(wide.begin(), wide.end());
        buf.push_back(L'\0');
        std::vector<std::wstring> w{L"stale"};
        SplitStringW(buf.data(), static_cast<wchar_t>(c.sep), w, c.firstOnly);
        std::vector<std::wstring> expected;
        for (const auto& p : c.parts) expected.emplace_back(p.begin(), p.end());
        EXPECT_EQ(w, expected);
    }
}

TEST(SplitString, FirstOnlyCutsTheWideTextAtTheSeparatorAndNullGivesNothing) {
    wchar_t text[] = L"key=a=b";
    std::vector<std::wstring> parts;
    SplitStringW(text, L'=', parts, 1);
    EXPECT_STREQ(text, L"key");

    wchar_t all[] = L"a;b";
    SplitStringW(all, L';', parts, 0);
    EXPECT_STREQ(all, L"a;b");

    SplitStringW(nullptr, L';', parts, 0);
    EXPECT_TRUE(parts.empty());
    std::vector<std::string> narrow{"x"};
    SplitStringA(nullptr, ';', narrow, 1);
    EXPECT_TRUE(narrow.empty());
}

class TempDir : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/mivora-util-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_native = pattern;
        m_windows = winplat::ToWindowsPath(m_native);
    }
    void TearDown() override {
        std::string cmd = "rm -rf '" + m_native + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }
    static bool IsDir(const std::string& path) {
        struct stat st;
        return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    std::string m_native;
    std::wstring m_windows;
};

TEST_F(TempDir, CreateMultiDirMakesEveryMissingFolderOfABackslashPath) {
    std::wstring path = m_windows + L"\\x\\y\\";
    EXPECT_EQ(CreateMultiDir(path.c_str()), 1);
    EXPECT_TRUE(IsDir(m_native + "/x"));
    EXPECT_TRUE(IsDir(m_native + "/x/y"));
    EXPECT_EQ(IsDirExist((m_windows + L"\\x\\y").c_str()), 1);

    // Again, and deeper under an existing part, without a trailing backslash.
    EXPECT_EQ(CreateMultiDir((m_windows + L"\\x\\y\\z").c_str()), 1);
    EXPECT_TRUE(IsDir(m_native + "/x/y/z"));
}

TEST_F(TempDir, FolderHelpersRefuseNullAndOverlongPaths) {
    EXPECT_EQ(CreateMultiDir(nullptr), 0);
    EXPECT_EQ(IsDirExist(nullptr), 0);
    EXPECT_EQ(IsFileExist(nullptr), 0);
    EXPECT_EQ(CreateDir(nullptr), 0);

    // A path past the 256-character limit is refused, not cut and half created.
    std::wstring longPath = m_windows + L"\\" + std::wstring(300, L'a') + L"\\b";
    EXPECT_EQ(CreateMultiDir(longPath.c_str()), 0);

    std::wstring file = m_windows + L"\\f.txt";
    FILE* f = _wfopen(file.c_str(), L"w");
    ASSERT_NE(f, nullptr);
    fclose(f);
    EXPECT_EQ(IsFileExist(file.c_str()), 1);
    EXPECT_EQ(IsDirExist(file.c_str()), 0);
    EXPECT_EQ(IsFileExist((m_windows + L"\\missing").c_str()), 0);
}

TEST(ErrorMessage, KeepsItsThreeTexts) {
    EXPECT_STREQ(CErrorMessage::m_szErrText[0], L"您没有足够的权限！");
    EXPECT_STREQ(CErrorMessage::m_szErrText[1],
                 L"聊天字数受到限制，不能超过20字，如想畅想欲言，请升级为VIP！");
    EXPECT_STREQ(CErrorMessage::m_szErrText[2], L"这是最后一个错误啦！");
}

TEST(SysInfo, NoWindowsVersionHereIsAnUnknownSystem) {
    EXPECT_EQ(getSystemName(), CString(L"未知操作系统"));
    EXPECT_TRUE(getVersionMark().IsEmpty());
}

}  // namespace

namespace {

void WriteText(const std::string& path, const std::string& text) {
    FILE* f = fopen(path.c_str(), "w");
    ASSERT_NE(f, nullptr);
    fputs(text.c_str(), f);
    fclose(f);
}

TEST_F(TempDir, MacAddressOfTheFirstEthernetOrWirelessAdapter) {
    auto adapter = [&](const char* name, const char* type, const char* addr, const char* index,
                       bool wireless) {
        std::string base = m_native + "/" + name;
        ASSERT_EQ(mkdir(base.c_str(), 0700), 0);
        WriteText(base + "/type", type);
        WriteText(base + "/address", addr);
        WriteText(base + "/ifindex", index);
        if (wireless) {
            ASSERT_EQ(mkdir((base + "/wireless").c_str(), 0700), 0);
        }
    };
    winplat::SetNetClassFolder(m_native.c_str());
    char out[32] = "unchanged";
    GetMacAddress(out);
    EXPECT_STREQ(out, "");  // no adapter at all: the list cannot be read

    adapter("lo", "772", "00:00:00:00:00:00", "1", false);
    adapter("wlan0", "1", "0a:1b:2c:3d:4e:5f", "2", true);
    adapter("eth0", "1", "02:ab:cd:ef:01:23", "3", false);
    GetMacAddress(out);
    EXPECT_STREQ(out, "0A-1B-2C-3D-4E-5F");
    winplat::SetNetClassFolder("");
}

TEST_F(TempDir, AutoStartWritesAndRemovesTheRunEntry) {
    const char* old = getenv("XDG_CONFIG_HOME");
    std::string saved = old ? old : "";
    setenv("XDG_CONFIG_HOME", m_native.c_str(), 1);
    const std::string entry = m_native + "/autostart/MivoraTest.desktop";

    SetAutoStart(L"MivoraTest", 1);
    struct stat st;
    EXPECT_EQ(stat(entry.c_str(), &st), 0);
    SetAutoStart(L"MivoraTest", 0);
    EXPECT_NE(stat(entry.c_str(), &st), 0);

    if (old)
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
