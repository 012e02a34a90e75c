#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "TempDir.h"
#include "config/UserFriendMgr.h"

namespace {

CUserObj* fakeUser(uintptr_t n) {
    return reinterpret_cast<CUserObj*>(n * 16);
}

std::string record(const std::string& text) {
    std::string r = text;
    r.resize(16, '\0');
    return r;
}

struct Friends : testing::Test {
    TempDir dir;
    std::string base;  // the folder in Windows form, ANSI
    std::wstring file;
    CUserFriendMgr mgr;

    Friends() {
        base = winplat::WideToAnsi(winplat::ToWindowsPath(dir.native()));
        std::filesystem::create_directory(dir.nativePath("42"));
        file = dir.path("42\\closedfriend.conf");
    }
};

TEST_F(Friends, SavesSixteenByteRecordsInAscendingOrder) {
    mgr.AddClosedFriend(30, nullptr);
    mgr.AddClosedFriend(7, fakeUser(1));
    mgr.AddClosedFriend(1000, nullptr);
    mgr.AddPrivSpectator(5, nullptr);  // spectators are not saved
    ASSERT_EQ(mgr.SaveClosedFriend(&base[0], 42), 0);
    EXPECT_EQ(ReadBytes(file), record("7") + record("30") + record("1000"));
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"42"});

    CUserFriendMgr back;
    ASSERT_EQ(back.LoadClosedFriend(&base[0], 42), 0);
    ASSERT_EQ(back.m_mapClosedFriend.size(), 3u);
    EXPECT_EQ(back.IsClosedFriend(7) + back.IsClosedFriend(30) + back.IsClosedFriend(1000), 3);
    EXPECT_EQ(back.m_mapClosedFriend.at(7), nullptr);
}

TEST_F(Friends, SavingNoFriendKeepsTheOldFile) {
    ASSERT_TRUE(WriteBytes(file, record("9")));
    EXPECT_EQ(mgr.SaveClosedFriend(&base[0], 42), -1);
    EXPECT_EQ(ReadBytes(file), record("9"));
    mgr.AddClosedFriend(1, nullptr);
    EXPECT_EQ(mgr.SaveClosedFriend(&base[0], 43), -1);  // no folder for user 43
}

TEST_F(Friends, LongBaseFolderIsNotCut) {
    // Longer than any fixed path buffer: the file must still land in the user's folder.
    const std::string deep =
        std::string(200, 'a') + "/" + std::string(200, 'b') + "/" + std::string(200, 'c');
    std::filesystem::create_directories(dir.nativePath(deep + "/42"));
    std::string longBase = winplat::WideToAnsi(winplat::ToWindowsPath(dir.nativePath(deep)));
    mgr.AddClosedFriend(5, nullptr);
    ASSERT_EQ(mgr.SaveClosedFriend(&longBase[0], 42), 0);
    EXPECT_EQ(ReadBytes(winplat::Utf8ToWide(dir.nativePath(deep + "/42/closedfriend.conf"))),
              record("5"));
    CUserFriendMgr back;
    ASSERT_EQ(back.LoadClosedFriend(&longBase[0], 42), 0);
    EXPECT_EQ(back.IsClosedFriend(5), 1);
}

TEST_F(Friends, LoadSkipsZeroAndNonNumbersAndKeepsKnownUsers) {
    ASSERT_TRUE(WriteBytes(file, record("12") + std::string(16, '\0') + record("abc") +
                                     "0000000000000034" + record("12") + record("56") + "78"));
    mgr.AddClosedFriend(56, fakeUser(3));
    ASSERT_EQ(mgr.LoadClosedFriend(&base[0], 42), 0);
    ASSERT_EQ(mgr.m_mapClosedFriend.size(), 3u);  // 12, 34, 56; the cut "78" is no record
    EXPECT_EQ(mgr.IsClosedFriend(12), 1);
    EXPECT_EQ(mgr.IsClosedFriend(34), 1);
    EXPECT_EQ(mgr.m_mapClosedFriend.at(56), fakeUser(3));
    EXPECT_EQ(mgr.LoadClosedFriend(&base[0], 99), -1);
}

TEST_F(Friends, MapsKeepOneEntryPerIdInUnsignedOrder) {
    mgr.AddClosedFriend(8, fakeUser(1));
    mgr.AddClosedFriend(8, fakeUser(2));
    mgr.AddClosedFriend(-1, nullptr);  // 4294967295 as unsigned: last
    mgr.AddClosedFriend(3, fakeUser(4));
    ASSERT_EQ(mgr.m_mapClosedFriend.size(), 3u);
    EXPECT_EQ(mgr.m_mapClosedFriend.at(8), fakeUser(2));
    EXPECT_EQ(mgr.m_mapClosedFriend.rbegin()->first, 4294967295u);

    mgr.ClearClosedFriendData(8);
    EXPECT_EQ(mgr.IsClosedFriend(8), 1);
    EXPECT_EQ(mgr.m_mapClosedFriend.at(8), nullptr);
    mgr.ClearAllClosedFriendData();
    EXPECT_EQ(mgr.m_mapClosedFriend.at(3), nullptr);
    mgr.ClearClosedFriend(8);
    EXPECT_EQ(mgr.IsClosedFriend(8), 0);

    mgr.AddPrivSpectator(5, fakeUser(5));
    mgr.AddPrivSpectator(5, fakeUser(6));
    EXPECT_EQ(mgr.m_mapPrivSpectator.size(), 1u);
    EXPECT_EQ(mgr.IsPrivSpectator(5), 1);
    mgr.ClearPrivSpectator(5);
    EXPECT_EQ(mgr.IsPrivSpectator(5), 0);
    mgr.AddPrivSpectator(6, nullptr);
    mgr.clear();
    EXPECT_TRUE(mgr.m_mapClosedFriend.empty());
    EXPECT_TRUE(mgr.m_mapPrivSpectator.empty());
}

}  // namespace
