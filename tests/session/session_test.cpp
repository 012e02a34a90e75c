// The session state: server tables, code page, folders, chat font, level lookups.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "TempDir.h"
#include "catalogs/UserLevelInfoManager.h"
#include "globalconf/GlobalConfCodec.h"
#include "model/UserManager.h"
#include "session/CommKernelData.h"
#include "win32/win32.h"

namespace {

struct Entry {
    const char* host;
    int port;
};

void ExpectTable(const tag_ServerAddr* table, const Entry (&want)[kServerTableSize]) {
    for (int i = 0; i < kServerTableSize; ++i) {
        SCOPED_TRACE(i);
        EXPECT_STREQ(table[i].szHost, want[i].host);
        EXPECT_EQ(table[i].wPort, want[i].port);
    }
}

TEST(ServerTable, FillsOnlyPiecesOfHostAndPort) {
    const std::string longHost(32, 'h');
    const std::string fits(31, 'f');
    struct Case {
        std::string text;
        Entry want[kServerTableSize];
    } cases[] = {
        {"a:1;b;c:3", {{"a", 1}, {"", 0}, {"c", 3}, {"", 0}}},
        {"h1:1;h2:2;h3:3;h4:4;h5:5;h6:6", {{"h1", 1}, {"h2", 2}, {"h3", 3}, {"h4", 4}}},
        {"x:1:2;;y:7;", {{"", 0}, {"", 0}, {"y", 7}, {"", 0}}},
        {longHost + ":5;" + fits + ":6", {{"", 0}, {fits.c_str(), 6}, {"", 0}, {"", 0}}},
        {"", {{"", 0}, {"", 0}, {"", 0}, {"", 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        tag_ServerAddr table[kServerTableSize];
        std::memset(table, 0x5A, sizeof table);  // every entry is rewritten
        FillServerTable(table, c.text.c_str());
        ExpectTable(table, c.want);
    }
}

class SessionState : public ::testing::Test {
protected:
    void SetUp() override {
        winplat::SetModulePath(dir.path("mivora.exe"));
        unsetenv(MIVORA_NET_PROBE_ENV);
    }
    void TearDown() override {
        winplat::SetModulePath(L"");
        winplat::SetSystemCodePage(936);
        winplat::SetCodePageInstalled(936, true);
    }
    TempDir dir;
};

TEST_F(SessionState, InitCutsTheModulePathAndCreatesEverything) {
    CCommKernelData data;
    data.init();
    EXPECT_EQ(std::wstring(data.m_szAppName), L"mivora.exe");
    EXPECT_EQ(std::wstring(data.m_szAppPath) + L"\\mivora.exe", dir.path("mivora.exe"));
    ASSERT_NE(data.m_pUserManager, nullptr);
    EXPECT_EQ(data.m_pUserManager->GetLocalUser(), data.GetLocalUser());
    EXPECT_NE(data.m_pRoomManager, nullptr);
    EXPECT_NE(data.m_pRoomGroupManager, nullptr);
    EXPECT_NE(data.m_pUserMVManager, nullptr);
    EXPECT_NE(data.m_pUserLevelInfoManager, nullptr);
    EXPECT_NE(data.m_pGiftManager, nullptr);
    EXPECT_NE(data.m_pSealManager, nullptr);
    EXPECT_NE(data.m_pUserLogonMgr, nullptr);
    EXPECT_NE(data.m_pCaitiaoManager, nullptr);
    EXPECT_NE(data.m_pFaceManager, nullptr);
    EXPECT_NE(data.m_pWaveInCtrl, nullptr);
    ASSERT_NE(data.m_pRoomGateTable, nullptr);
    EXPECT_STREQ(data.m_pRoomGateTable[0].szHost, "");
    EXPECT_EQ(data.m_PropsTaskMgr.appPath, std::wstring(data.m_szAppPath));
    EXPECT_EQ(data.m_UserEnv.m_nNetType, 0);  // no probe host configured
    EXPECT_EQ(data.GetCodePage(), 936);
}

TEST_F(SessionState, TraditionalChineseSystemsUseGbkWhenInstalled) {
    struct Case {
        bool gbkInstalled;
        int want;
    } cases[] = {{true, 936}, {false, 950}};
    for (const Case& c : cases) {
        winplat::SetSystemCodePage(950);
        winplat::SetCodePageInstalled(936, c.gbkInstalled);
        CCommKernelData data;
        data.init();
        EXPECT_EQ(data.GetCodePage(), c.want);
    }
}

TEST_F(SessionState, GlobalConfigurationFillsLogonAndLobbyTables) {
    CCommKernelData data;
    data.init();
    data.SetRoomGateAddr(const_cast<char*>("g1:70;g2:71"));
    std::wstring file = dir.path("globalconf.ini");
    ASSERT_TRUE(globalconf::WriteFile(
        file, "logonsvr=a:1;b;c:3\r\nlobbysvr=l1:11;l2:12;l3:13;l4:14;l5:15;l6:16\r\n"));
    EXPECT_EQ(data.LoadGlobalConf(&file[0]), 1);
    ExpectTable(data.m_pLogonSvrTable, {{"a", 1}, {"", 0}, {"c", 3}, {"", 0}});
    ExpectTable(data.m_pLobbySvrTable, {{"l1", 11}, {"l2", 12}, {"l3", 13}, {"l4", 14}});
    ExpectTable(data.m_pRoomGateTable, {{"g1", 70}, {"g2", 71}, {"", 0}, {"", 0}});

    // An unreadable file leaves the tables as they were.
    std::wstring missing = dir.path("missing.ini");
    EXPECT_EQ(data.LoadGlobalConf(&missing[0]), 0);
    EXPECT_STREQ(data.m_pLogonSvrTable[0].szHost, "a");
}

TEST_F(SessionState, NetworkTypeFromTheConfiguredProbeHost) {
    struct Case {
        const char* host;  // null: not configured
        int want;
    } cases[] = {{nullptr, 0}, {"10.0.0.2", 1}, {"127.0.0.1", 0}, {"", 0}};
    CCommKernelData data;
    data.init();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.host ? c.host : "(unset)");
        if (c.host)
            setenv(MIVORA_NET_PROBE_ENV, c.host, 1);
        else
            unsetenv(MIVORA_NET_PROBE_ENV);
        data.m_UserEnv.m_nNetType = 7;
        data.CheckSysNetType();
        EXPECT_EQ(data.m_UserEnv.m_nNetType, c.want);
    }
    unsetenv(MIVORA_NET_PROBE_ENV);
}

TEST_F(SessionState, ChatFontRoundTripsThroughUserenvIni) {
    CCommKernelData data;
    data.init();
    data.SetRichEdtFont(L"宋体", 11, true, false, true);
    EXPECT_EQ(data.LoadChatFont(), 0);  // no file yet: nothing changes
    EXPECT_EQ(std::wstring(data.m_szFontName), L"宋体");
    data.SetRichEdtTextColor(0x00FF8040);
    data.SaveChatFont();

    CCommKernelData other;
    other.init();
    ASSERT_EQ(other.LoadChatFont(), 1);
    EXPECT_EQ(std::wstring(other.m_szFontName), L"宋体");
    EXPECT_EQ(other.m_nFontSize, 11);
    EXPECT_EQ(other.m_bBold, 1);
    EXPECT_EQ(other.m_bUnderline, 0);
    EXPECT_EQ(other.m_bItalic, 1);
    EXPECT_EQ(other.m_crTextColor, 0x00FF8040u);
}

TEST_F(SessionState, ChatFontDefaultsForMissingKeys) {
    std::wstring file = dir.path("userenv.ini");
    ASSERT_TRUE(WritePrivateProfileStringW(L"font", L"bold", L"7", file.c_str()));
    CCommKernelData data;
    data.init();
    ASSERT_EQ(data.LoadChatFont(), 1);
    EXPECT_EQ(std::wstring(data.m_szFontName), L"");
    EXPECT_EQ(data.m_nFontSize, 14);
    EXPECT_EQ(data.m_bBold, 1);
    EXPECT_EQ(data.m_crTextColor, 0u);
}

TEST_F(SessionState, LevelImageAndSortId) {
    CCommKernelData data;
    data.init();
    auto* withImage = new tag_UserLevelDescInfo{1, 5, 0, 42, 0, 0, L"", L"lv5.png", L"five"};
    auto* noImage = new tag_UserLevelDescInfo{1, 6, 0, 43, 0, 0, L"x.png", L"", L"six"};
    data.m_pUserLevelInfoManager->levels[CUserLevelInfoManager::Key(1, 5)] = withImage;
    data.m_pUserLevelInfoManager->levels[CUserLevelInfoManager::Key(1, 6)] = noImage;
    ASSERT_NE(data.GetLevelImgName(1, 5), nullptr);
    EXPECT_EQ(std::wstring(data.GetLevelImgName(1, 5)), L"lv5.png");
    EXPECT_EQ(data.GetLevelImgName(1, 6), nullptr);
    EXPECT_EQ(data.GetLevelImgName(2, 5), nullptr);
    EXPECT_EQ(data.GetLevelSortId(1, 5), 42);
    EXPECT_EQ(data.GetLevelSortId(1, 6), 43);
    EXPECT_EQ(data.GetLevelSortId(3, 3), 0);
}

}  // namespace
