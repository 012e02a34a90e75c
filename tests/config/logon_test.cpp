#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "TempDir.h"
#include "config/UserLogonManager.h"

namespace {

using Bytes = std::vector<unsigned char>;

tag_LogonUserData logon(int id, const char* password) {
    tag_LogonUserData r{};
    r.nUserId = id;
    std::memcpy(r.szPassword, password, std::min<size_t>(std::strlen(password), 16));
    return r;
}

TEST(XorChain, ScrambleAndUnscramble) {
    Bytes three = {1, 2, 3};
    CUserLogonManager::Scramble(three.data(), three.size(), 31);
    EXPECT_EQ(three, (Bytes{30, 28, 31}));  // seed ^ every byte so far

    struct Case {
        Bytes data;
        unsigned char seed;
    };
    const Case cases[] = {
        {{0}, 31},
        {{0xFF, 0x00, 0xFF, 0x00}, 108},
        {Bytes(24, 0x5A), 31},
        {Bytes(256, 0), 108},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data.size());
        Bytes d = c.data;
        CUserLogonManager::Scramble(d.data(), d.size(), c.seed);
        Bytes same = d;
        CUserLogonManager::Unscramble(d.data(), d.size(), c.seed);
        EXPECT_EQ(d, c.data);
        CUserLogonManager::Unscramble(same.data(), same.size(), c.seed == 31 ? 108 : 31);
        EXPECT_NE(same, c.data);
    }
}

TEST(SavedLogons, ListRules) {
    CUserLogonManager mgr;
    for (int id = 1; id <= 21; ++id) {
        tag_LogonUserData r = logon(id, "pw");
        mgr.addLogonData(r);
    }
    ASSERT_EQ(mgr.m_listLogonData.size(), 20u);
    EXPECT_EQ(mgr.m_listLogonData.front().nUserId, 21);
    EXPECT_EQ(mgr.findLogonData(1), nullptr);  // the oldest went
    EXPECT_EQ(mgr.m_listLogonData.back().nUserId, 2);

    tag_LogonUserData again = logon(10, "newpass");
    mgr.addLogonData(again);
    EXPECT_EQ(mgr.m_listLogonData.size(), 20u);
    EXPECT_EQ(mgr.m_listLogonData.front().nUserId, 10);
    EXPECT_STREQ(mgr.findLogonData(10)->szPassword, "newpass");
    // Re-adding the record the list already holds keeps it whole.
    mgr.addLogonData(*mgr.findLogonData(5));
    EXPECT_EQ(mgr.m_listLogonData.front().nUserId, 5);
    EXPECT_STREQ(mgr.m_listLogonData.front().szPassword, "pw");

    mgr.delLogonData(10);
    EXPECT_EQ(mgr.findLogonData(10), nullptr);
    EXPECT_EQ(mgr.m_listLogonData.size(), 19u);
    mgr.clearData();
    EXPECT_TRUE(mgr.m_listLogonData.empty());
}

struct SavedLogonFile : testing::Test {
    TempDir dir;
    std::string path = dir.ansiPath("torties.dat");

    void saveTwo(bool savePassword) {
        CUserLogonManager mgr;
        mgr.setConfigFile(&path[0]);
        tag_LogonUserData a = logon(1001, "secret"), b = logon(2002, "0123456789abcdef");
        mgr.addLogonData(a);
        mgr.addLogonData(b);
        mgr.setSavePwd(savePassword);
        mgr.setAutoStart(true);
        mgr.saveFileData();
    }
};

TEST_F(SavedLogonFile, LayoutAndRoundTrip) {
    saveTwo(true);
    std::string bytes = ReadBytes(winplat::AnsiToWide(path));
    ASSERT_EQ(bytes.size(), 3u + 2 * 24u);
    EXPECT_EQ(bytes.substr(0, 3), std::string("\x02\x01\x01", 3));
    // Each record is scrambled by itself; byte 21 carries the save-password flag.
    Bytes first(bytes.begin() + 3, bytes.begin() + 27);
    CUserLogonManager::Unscramble(first.data(), first.size(), 31);
    tag_LogonUserData expected = logon(2002, "0123456789abcdef");
    std::memcpy(&expected.szPassword[17], "\x01", 1);
    EXPECT_EQ(std::memcmp(first.data(), &expected, 24), 0);

    CUserLogonManager mgr;
    mgr.setConfigFile(&path[0]);
    mgr.loadFileData();
    EXPECT_TRUE(mgr.m_bSavePwd);
    EXPECT_TRUE(mgr.m_bAutoStart);
    ASSERT_EQ(mgr.m_listLogonData.size(), 2u);
    EXPECT_EQ(mgr.m_listLogonData.front().nUserId, 2002);
    EXPECT_STREQ(mgr.findLogonData(2002)->szPassword, "0123456789abcdef");
    EXPECT_STREQ(mgr.findLogonData(1001)->szPassword, "secret");
    EXPECT_EQ(mgr.findLogonData(1001)->szPassword[17], 1);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"torties.dat"});
}

TEST_F(SavedLogonFile, WithoutSavePasswordThePasswordLoadsEmpty) {
    saveTwo(false);
    // No byte of either password is left in the file, not only its first one.
    std::string bytes = ReadBytes(winplat::AnsiToWide(path));
    ASSERT_EQ(bytes.size(), 3u + 2 * 24u);
    for (size_t at = 3; at < bytes.size(); at += 24) {
        Bytes record(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                     bytes.begin() + static_cast<std::ptrdiff_t>(at + 24));
        CUserLogonManager::Unscramble(record.data(), record.size(), 31);
        EXPECT_EQ(Bytes(record.begin() + 4, record.end()), Bytes(20, 0));
    }
    CUserLogonManager mgr;
    mgr.setConfigFile(&path[0]);
    mgr.loadFileData();
    EXPECT_FALSE(mgr.m_bSavePwd);
    ASSERT_NE(mgr.findLogonData(1001), nullptr);
    EXPECT_STREQ(mgr.findLogonData(1001)->szPassword, "");
    EXPECT_EQ(mgr.findLogonData(1001)->szPassword[17], 0);
}

TEST_F(SavedLogonFile, DamagedFiles) {
    saveTwo(true);
    const std::string good = ReadBytes(winplat::AnsiToWide(path));
    std::string unterminated = good.substr(0, 3) + std::string(24, '\x41');
    unterminated[0] = 1;
    struct Case {
        const char* name;
        std::string bytes;
        size_t records;
        bool flagsTaken;
    };
    const Case cases[] = {
        {"cut inside the second record", good.substr(0, good.size() - 1), 1, true},
        {"count larger than the records", std::string("\x09", 1) + good.substr(1), 2, true},
        {"header only", good.substr(0, 3), 0, true},
        {"cut header", good.substr(0, 2), 0, false},
        {"password without its NUL", unterminated, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteBytes(winplat::AnsiToWide(path), c.bytes));
        CUserLogonManager mgr;
        mgr.setConfigFile(&path[0]);
        mgr.loadFileData();
        EXPECT_EQ(mgr.m_listLogonData.size(), c.records);
        EXPECT_EQ(mgr.m_bAutoStart, c.flagsTaken);
        for (const tag_LogonUserData& r : mgr.m_listLogonData) EXPECT_EQ(r.szPassword[16], 0);
    }
    CUserLogonManager none;
    std::string missing = dir.ansiPath("none.dat");
    none.setConfigFile(&missing[0]);
    none.loadFileData();
    EXPECT_TRUE(none.m_listLogonData.empty());
}

struct MachineData : testing::Test {
    TempDir dir;
    std::string path = dir.ansiPath("WndRoomFaceUserTime.xml");
    CUserLogonManager mgr;
    MachineData() { mgr.setChromeFile(&path[0]); }
};

TEST_F(MachineData, MadeOnceThenReadBack) {
    EXPECT_FALSE(mgr.initChromeData());
    std::string raw = ReadBytes(winplat::AnsiToWide(path));
    ASSERT_EQ(raw.size(), 256u);
    Bytes plain(raw.begin(), raw.end());
    CUserLogonManager::Unscramble(plain.data(), plain.size(), 108);
    const std::string table = "-0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    for (size_t i = 0; i < 255; ++i)
        EXPECT_TRUE(plain[i] == 0 || table.find(static_cast<char>(plain[i])) != std::string::npos);
    EXPECT_EQ(plain[255], 0);
    const char* block = mgr.getDubaData();
    EXPECT_EQ(std::memcmp(block, plain.data(), 19), 0);
    EXPECT_EQ(block[19], 0);
    const std::string first(block, 20);

    CUserLogonManager later;
    later.setChromeFile(&path[0]);
    later.initChromeData();
    EXPECT_EQ(std::string(later.getDubaData(), 20), first);
    EXPECT_EQ(ReadBytes(winplat::AnsiToWide(path)), raw);  // not made again
}

TEST_F(MachineData, ShortFileReadsAsFarAsItGoesThenZeros) {
    Bytes plain(256, 0);
    const char text[] = "abcdefghijklmnopqrstuvwxyz";
    std::memcpy(plain.data(), text, 26);
    CUserLogonManager::Scramble(plain.data(), plain.size(), 108);
    // Only the first ten scrambled bytes are on disk.
    ASSERT_TRUE(
        WriteBytes(winplat::AnsiToWide(path), std::string(plain.begin(), plain.begin() + 10)));
    mgr.initChromeData();
    Bytes expected(256, 0);
    std::copy(plain.begin(), plain.begin() + 10, expected.begin());
    CUserLogonManager::Unscramble(expected.data(), expected.size(), 108);
    const char* block = mgr.getDubaData();
    EXPECT_EQ(std::string(block, 10), "abcdefghij");
    EXPECT_EQ(std::memcmp(block, expected.data(), 19), 0);
    EXPECT_EQ(block[19], 0);
    EXPECT_EQ(ReadBytes(winplat::AnsiToWide(path)).size(), 10u);  // left as it was
}

TEST_F(MachineData, UnwritableFileStillFillsTheBlock) {
    std::string nowhere = dir.ansiPath("gone\\x.xml");
    mgr.setChromeFile(&nowhere[0]);
    std::memset(mgr.getDubaData(), 0, 20);
    mgr.initChromeData();
    EXPECT_NE(std::string(mgr.getDubaData(), 19), std::string(19, '\0'));
    EXPECT_EQ(mgr.getDubaData()[19], 0);
}

}  // namespace
