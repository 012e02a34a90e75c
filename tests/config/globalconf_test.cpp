#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "TempDir.h"
#include "config/GLobalConfigFile.h"
#include "globalconf/GlobalConfCodec.h"

namespace {

struct GlobalConf : testing::Test {
    TempDir dir;
    std::wstring file = dir.path("globalconf.ini");
    CGLobalConfigFile conf;

    GlobalConf() { conf.SetCodePage(936); }

    int load(const std::string& plain) {
        if (!globalconf::WriteFile(file, plain)) return -1;
        return conf.LoadFile(&file[0]);
    }
};

TEST_F(GlobalConf, ToolFileLoadsEveryKindOfField) {
    const std::string plain = winplat::WideToAnsi(
        L"// servers\r\n"
        L"[SERVER]\r\n"
        L"logonsvr=127.0.0.1:9001;127.0.0.1:9002\r\n"
        L"lobbysvr=127.0.0.1:9100\r\n"
        L"[URL]\r\n"
        L"www_page=http://127.0.0.1/首页\r\n"
        L"my_page=http://127.0.0.1/my\r\n"
        L"userhelp_url=http://127.0.0.1/help\r\n"
        L"[Setting]\r\n"
        L"showxiaopaodao=2\r\n"
        L"shineleveimg=0\r\n"
        L"softname=秀场\r\n"
        L"giftthankpricelimit=5000",  // no line feed after the last line
        936);
    ASSERT_EQ(load(plain), 1);
    EXPECT_STREQ(conf.logonsvr, "127.0.0.1:9001;127.0.0.1:9002");
    EXPECT_STREQ(conf.lobbysvr, "127.0.0.1:9100");
    EXPECT_STREQ(conf.www_page, L"http://127.0.0.1/首页");
    EXPECT_STREQ(conf.my_page, L"http://127.0.0.1/my");
    EXPECT_STREQ(conf.userhelp_url, L"http://127.0.0.1/help");
    EXPECT_EQ(conf.showxiaopaodao, 1);
    EXPECT_EQ(conf.shineleveimg, 0);
    EXPECT_EQ(std::string(conf.softname), winplat::WideToAnsi(L"秀场", 936));
    EXPECT_STREQ(conf.softnameW, L"秀场");
    EXPECT_EQ(conf.giftthankpricelimit, 5000);

    CGLobalConfigFile copy;
    copy = conf;
    EXPECT_EQ(std::memcmp(&copy, &conf, sizeof conf), 0);
    conf.Reset();
    EXPECT_STREQ(conf.logonsvr, "");
    EXPECT_STREQ(conf.softnameW, L"");
    EXPECT_EQ(conf.showxiaopaodao, 0);
    EXPECT_EQ(conf.giftthankpricelimit, 0);
    EXPECT_STREQ(copy.www_page, L"http://127.0.0.1/首页");
}

TEST_F(GlobalConf, LineRules) {
    struct Case {
        const char* name;
        std::string plain;
        const char* logonsvr;
        const wchar_t* www_page;
    };
    const Case cases[] = {
        {"plain", "logonsvr=a:1;b:2\n", "a:1;b:2", L""},
        {"blanks round the equals sign", "logonsvr = a:1\n", "", L""},
        {"empty value skipped", "logonsvr=a:1\nlogonsvr=\nwww_page=x\n", "a:1", L"x"},
        {"equals sign inside the value", "www_page=a=b\n", "", L"a=b"},
        {"last value wins", "logonsvr=a:1\nlogonsvr=b:2\n", "b:2", L""},
        {"keys are case-sensitive", "LOGONSVR=a:1\n", "", L""},
        {"comment", "//logonsvr=a:1\n", "", L""},
        {"one slash is no comment", "/\nlogonsvr=a:1", "a:1", L""},
        {"section line with text after it", "[URL]www_page=x\n", "", L""},
        {"other bracketed key", "[www]=x\nwww_page=y\n", "", L"y"},
        {"carriage return before the line feed", "logonsvr=a:1\r\nwww_page=w\r\n", "a:1", L"w"},
        {"only one carriage return goes", "www_page=w\r\r\n", "", L"w\r"},
        {"sections do not scope keys", "[URL]\nlogonsvr=a:1\n", "a:1", L""},
        {"text stops at a NUL", std::string("logonsvr=a:1\n\0www_page=x\n", 26), "a:1", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        conf.Reset();
        ASSERT_EQ(load(c.plain), 1);
        EXPECT_STREQ(conf.logonsvr, c.logonsvr);
        EXPECT_STREQ(conf.www_page, c.www_page);
    }
}

TEST_F(GlobalConf, ValuesAreCutToTheirFieldsAndNumbersReadLikeAtoi) {
    const std::string longText(400, 'h');
    ASSERT_EQ(load("logonsvr=" + longText + "\nuserinfo_page=" + longText +
                   "\nwww_page=" + longText + "\nsoftname=" + longText + "\nshowxiaopaodao=abc\n" +
                   "shineleveimg=-1\ngiftthankpricelimit=12x\n"),
              1);
    EXPECT_EQ(std::string(conf.logonsvr), std::string(255, 'h'));
    EXPECT_EQ(std::wstring(conf.userinfo_page), std::wstring(264, L'h'));
    EXPECT_EQ(std::wstring(conf.www_page), std::wstring(255, L'h'));
    EXPECT_EQ(std::string(conf.softname), std::string(31, 'h'));
    EXPECT_EQ(std::wstring(conf.softnameW), std::wstring(31, L'h'));
    EXPECT_EQ(conf.showxiaopaodao, 0);
    EXPECT_EQ(conf.shineleveimg, 1);
    EXPECT_EQ(conf.giftthankpricelimit, 12);
}

TEST_F(GlobalConf, BadFilesGiveZeroAndLeaveTheFields) {
    const std::string good = globalconf::Encrypt("logonsvr=new:1\nwww_page=new\n");
    ASSERT_EQ(good.size(), 4u + 32u);
    auto withLength = [&](uint32_t length, std::string body) {
        std::string f(4, '\0');
        for (int i = 0; i < 4; ++i)
            f[static_cast<size_t>(i)] = static_cast<char>(length >> (8 * i));
        return f + body;
    };
    const std::string cipher = good.substr(4);
    std::string garbled = cipher;
    garbled[31] = static_cast<char>(garbled[31] ^ 0x33);
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"length word one less", withLength(31, cipher)},
        {"length word one more", withLength(33, cipher)},
        {"truncated", good.substr(0, good.size() - 1)},
        {"length not a multiple of 16", withLength(31, cipher.substr(0, 31))},
        {"padding wrong", withLength(32, garbled)},
        {"length word only", withLength(0, "")},
        {"shorter than the length word", "\x20\0"},
        {"empty", ""},
    };
    ASSERT_EQ(load("logonsvr=old:1\nwww_page=old\n"), 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteBytes(file, c.bytes));
        EXPECT_EQ(conf.LoadFile(&file[0]), 0);
        EXPECT_STREQ(conf.logonsvr, "old:1");
        EXPECT_STREQ(conf.www_page, L"old");
    }
    std::wstring missing = dir.path("missing.ini");
    EXPECT_EQ(conf.LoadFile(&missing[0]), 0);
    EXPECT_EQ(conf.LoadFile(nullptr), 0);
    // The good bytes load; so the cases above failed for their fault alone.
    ASSERT_TRUE(WriteBytes(file, good));
    EXPECT_EQ(conf.LoadFile(&file[0]), 1);
    EXPECT_STREQ(conf.logonsvr, "new:1");
}

TEST_F(GlobalConf, SaveWritesNothing) {
    std::wstring target = dir.path("saved.ini");
    EXPECT_EQ(conf.SaveFile(&target[0]), 1);
    EXPECT_FALSE(Exists(target));
}

TEST_F(GlobalConf, ToolCodecRoundTrips) {
    const std::string plain = "logonsvr=127.0.0.1:1\n";
    std::string back;
    ASSERT_TRUE(globalconf::Decrypt(globalconf::Encrypt(plain), back));
    EXPECT_EQ(back, plain);
    std::string bad = globalconf::Encrypt(plain);
    bad[0] = static_cast<char>(bad[0] + 1);
    EXPECT_FALSE(globalconf::Decrypt(bad, back));
}

}  // namespace

namespace {

TEST(GlobalConfTool, WritesWhatTheClientReadsAndPrintsItBack) {
    TempDir dir;
    const std::string plain =
        "[SERVER]\nlogonsvr=127.0.0.1:9001\n[URL]\nwww_page=http://127.0.0.1/\n";
    const std::string in = dir.nativePath("plain.txt"), out = dir.nativePath("globalconf.ini"),
                      printed = dir.nativePath("printed.txt");
    ASSERT_TRUE(WriteBytes(winplat::Utf8ToWide(in), plain));
    const std::string tool = GLOBALCONF_TOOL;
    ASSERT_EQ(std::system(("'" + tool + "' write '" + in + "' '" + out + "'").c_str()), 0);
    ASSERT_EQ(std::system(("'" + tool + "' print '" + out + "' > '" + printed + "'").c_str()), 0);
    EXPECT_EQ(ReadBytes(winplat::Utf8ToWide(printed)), plain);
    EXPECT_NE(std::system(("'" + tool + "' print '" + in + "' 2>/dev/null").c_str()), 0);

    CGLobalConfigFile conf;
    std::wstring path = dir.path("globalconf.ini");
    ASSERT_EQ(conf.LoadFile(&path[0]), 1);
    EXPECT_STREQ(conf.logonsvr, "127.0.0.1:9001");
    EXPECT_STREQ(conf.www_page, L"http://127.0.0.1/");
}

}  // namespace
