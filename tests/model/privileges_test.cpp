#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "model/PrivilegeIds.h"
#include "model/UserMVManager.h"
#include "model/UserObj.h"

namespace {

int Final(int level0, int level1, int mgr) {
    return (level0 << 16) | (level1 << 8) | mgr;
}

// A delegate that answers with fixed results and says whether it decided. It also
// counts calls that did not arrive with *handled cleared by the manager.
class FakeDelegate : public IUserMVManagerDelegate {
public:
    bool CheckPrivilege(short, CUserObj*, int* handled) override {
        ++calls;
        Answer(handled, handles);
        return result;
    }
    bool CheckPrivilege(short, CUserObj*, CUserObj*, int* handled) override {
        ++calls;
        Answer(handled, handles);
        return result;
    }
    int GetUserFinalLevel(CUserObj* user, int* handled) override {
        Answer(handled, handlesLevel);
        return user ? user->userId : 0;
    }
    int GetUserSortId(CUserObj*, int* handled) override {
        Answer(handled, handles);
        return 42;
    }
    int handles = 0;
    int handlesLevel = 0;
    bool result = false;
    int calls = 0;
    int notCleared = 0;

private:
    // Like a real delegate, it writes *handled only when it decides.
    void Answer(int* handled, int decides) {
        if (*handled != 0) ++notCleared;
        if (decides) *handled = decides;
    }
};

CUserObj User(int id, int level0, int level1 = 0, int mgr = 0) {
    CUserObj u;
    u.userId = id;
    u.levels[0] = level0;
    u.levels[1] = level1;
    u.roomMgrLevel = mgr;
    return u;
}

TEST(NonOOPrivilege, MatchesAnySharedNonZeroComponent) {
    CNonOOPrivilege rule;
    EXPECT_FALSE(rule.Check(Final(5, 0, 0)));  // no levels at all
    rule.AddLevel(Final(5, 0, 0), 0);
    rule.AddLevel(Final(0, 0, 3), 0);
    const std::pair<int, bool> cases[] = {
        {Final(5, 9, 9), true},  {Final(1, 0, 3), true},  {Final(6, 5, 0), false},
        {Final(0, 0, 0), false}, {Final(0, 3, 0), false},
    };
    for (const auto& c : cases) EXPECT_EQ(rule.Check(c.first), c.second) << std::hex << c.first;
}

TEST(OOPrivilege, EveryNonZeroTargetComponentNeedsAnActorKey) {
    COOPrivilege rule;
    EXPECT_TRUE(rule.Check(Final(5, 0, 0), 0));  // target 0 asks for nothing
    // User level 5 may act on user level 3 and on managers of kind 4; manager 1 on manager 3.
    rule.AddLevel(Final(5, 0, 0), Final(3, 0, 0));
    rule.AddLevel(Final(5, 0, 0), Final(0, 0, 4));
    rule.AddLevel(Final(0, 0, 1), Final(0, 0, 3));
    rule.AddLevel(0, Final(0, 7, 0));  // a zero component is key 0
    struct Case {
        int actor, target;
        bool expected;
    } cases[] = {
        {Final(5, 0, 0), Final(3, 0, 0), true},
        {Final(5, 0, 0), Final(3, 0, 4), true},
        {Final(5, 0, 0), Final(3, 0, 3), false},  // no key grants manager 3
        {Final(5, 0, 1), Final(3, 0, 3), true},   // the two keys together do
        {Final(6, 0, 1), Final(3, 0, 3), false},
        {Final(5, 0, 0), Final(3, 7, 0), true},   // key 0 from the empty components
        {Final(5, 1, 1), Final(3, 7, 0), false},  // no empty component, no key 0
    };
    for (const auto& c : cases)
        EXPECT_EQ(rule.Check(c.actor, c.target), c.expected)
            << std::hex << c.actor << " on " << c.target;
}

TEST(UserMVManager, OnePartyCheckAsksTheDelegateFirst) {
    CUserMVManager m;
    m.AddPrivilege(1, PRIV_PRIVATE_CHAT, 1, Final(5, 0, 0), 0);
    CUserObj member = User(1, 5), guest = User(2, 1);
    FakeDelegate d;
    struct Case {
        const char* what;
        bool withDelegate;
        int handled;
        bool delegateResult;
        short id;
        CUserObj* user;
        bool expected;
    } cases[] = {
        {"no delegate, table grants", false, 0, false, PRIV_PRIVATE_CHAT, &member, true},
        {"no delegate, table refuses", false, 0, false, PRIV_PRIVATE_CHAT, &guest, false},
        {"no delegate, no rule", false, 0, false, PRIV_LOUDSPEAKER, &member, false},
        {"handled refusal beats the table", true, 1, false, PRIV_PRIVATE_CHAT, &member, false},
        {"handled grant beats the table", true, 1, true, PRIV_PRIVATE_CHAT, &guest, true},
        {"unhandled, table decides", true, 0, true, PRIV_PRIVATE_CHAT, &guest, false},
        {"unhandled, no rule: delegate's result", true, 0, true, PRIV_LOUDSPEAKER, &guest, true},
    };
    for (const auto& c : cases) {
        d.handles = c.handled;
        d.result = c.delegateResult;
        m.SetDelegate(c.withDelegate ? &d : nullptr);
        EXPECT_EQ(m.CheckPrivilege(c.id, c.user), c.expected) << c.what;
    }
    d.calls = 0;
    m.SetDelegate(&d);
    EXPECT_FALSE(m.CheckPrivilege(PRIV_PRIVATE_CHAT, nullptr));
    EXPECT_EQ(d.calls, 0);
}

TEST(UserMVManager, TwoPartyCheckAsksTheDelegateFirst) {
    CUserMVManager m;
    m.AddPrivilege(1, PRIV_KICK_OUT, 2, Final(5, 0, 0), Final(3, 0, 0));
    m.AddPrivilege(1, PRIV_SEE_USER_IP, 1, Final(5, 0, 0),
                   0);  // one-party rule under a two-party id
    CUserObj boss = User(1, 5), member = User(2, 3), peer = User(3, 5);
    FakeDelegate d;
    struct Case {
        const char* what;
        bool withDelegate;
        int handled;
        bool delegateResult;
        short id;
        CUserObj* actor;
        CUserObj* target;
        bool expected;
    } cases[] = {
        {"table grants", false, 0, false, PRIV_KICK_OUT, &boss, &member, true},
        {"table refuses", false, 0, false, PRIV_KICK_OUT, &boss, &peer, false},
        {"wrong kind: delegate's result", true, 0, true, PRIV_SEE_USER_IP, &boss, &member, true},
        {"handled beats the table", true, 1, false, PRIV_KICK_OUT, &boss, &member, false},
        {"unhandled, table decides", true, 0, true, PRIV_KICK_OUT, &boss, &peer, false},
        {"null target", true, 1, true, PRIV_KICK_OUT, &boss, nullptr, false},
        {"null actor", true, 1, true, PRIV_KICK_OUT, nullptr, &member, false},
    };
    for (const auto& c : cases) {
        d.handles = c.handled;
        d.result = c.delegateResult;
        d.calls = 0;
        m.SetDelegate(c.withDelegate ? &d : nullptr);
        EXPECT_EQ(m.CheckPrivilege(c.id, c.actor, c.target), c.expected) << c.what;
        if (!c.actor || !c.target) {
            EXPECT_EQ(d.calls, 0) << c.what;
        }
    }
}

TEST(UserMVManager, FinalLevelAndSortIdComeFromTheDelegateWhenHandled) {
    CUserMVManager m;
    // Final levels 0x0A0000 grant; the delegate's final level is the user id.
    m.AddPrivilege(1, PRIV_LOUDSPEAKER, 1, Final(10, 0, 0), 0);
    CUserObj user = User(Final(10, 0, 0), 1);
    FakeDelegate d;
    EXPECT_EQ(m.GetUserSortId(&user), 0);  // no delegate
    m.SetDelegate(&d);
    d.handles = 0;
    EXPECT_EQ(m.GetUserSortId(&user), 0);
    EXPECT_FALSE(m.CheckPrivilege(PRIV_LOUDSPEAKER, &user));  // packed level 1 << 16
    d.handlesLevel = 1;
    EXPECT_TRUE(m.CheckPrivilege(PRIV_LOUDSPEAKER, &user));
    d.handles = 1;
    EXPECT_EQ(m.GetUserSortId(&user), 42);

    // Two-party: both final levels come from the delegate, each asked afresh.
    m.AddPrivilege(1, PRIV_KICK_OUT, 2, Final(10, 0, 0), Final(3, 0, 0));
    CUserObj target = User(Final(3, 0, 0), 9);
    d.handles = 0;
    EXPECT_TRUE(m.CheckPrivilege(PRIV_KICK_OUT, &user, &target));
    d.handlesLevel = 0;
    EXPECT_FALSE(m.CheckPrivilege(PRIV_KICK_OUT, &user, &target));
    EXPECT_EQ(d.notCleared, 0);
}

TEST(UserMVManager, AddPrivilegeExtendsAnExistingRule) {
    CUserMVManager m;
    EXPECT_TRUE(m.AddPrivilege(2, 100, 2, Final(5, 0, 0), Final(3, 0, 0)));
    EXPECT_TRUE(m.AddPrivilege(2, 100, 1 /* kind ignored now */, Final(5, 0, 0), Final(4, 0, 0)));
    EXPECT_TRUE(m.AddPrivilege(2, 4, 1, Final(2, 0, 0), 0));
    EXPECT_FALSE(m.IsExistPrivilegeId(100));  // temporary table only
    auto* rule = dynamic_cast<COOPrivilege*>(m.FindPrivilege(2, 100));
    ASSERT_NE(rule, nullptr);
    EXPECT_EQ(rule->targets[Final(5, 0, 0)], (std::vector<int>{Final(3, 0, 0), Final(4, 0, 0)}));
    EXPECT_EQ(m.FindPrivilege(0, 100), rule);  // any table but 1 is the temporary one
    EXPECT_EQ(m.FindPrivilege(1, 100), nullptr);
    EXPECT_NE(dynamic_cast<CNonOOPrivilege*>(m.FindPrivilege(2, 4)), nullptr);

    auto* own = new CNonOOPrivilege();
    own->id = 7;
    EXPECT_TRUE(m.AddPrivilege(own));
    CNonOOPrivilege duplicate;
    duplicate.id = 7;
    EXPECT_FALSE(m.AddPrivilege(&duplicate));
    EXPECT_EQ(m.FindPrivilege(1, 7), own);
}

TEST(UserMVManager, SwapDataTwiceRestoresTheMapOrderWithBothTablesEmpty) {
    CUserMVManager m;
    auto* first = m.active;
    m.AddPrivilege(1, 4, 1, 1, 0);
    m.AddPrivilege(2, 5, 1, 1, 0);
    m.SwapData();
    EXPECT_NE(m.active, first);
    EXPECT_TRUE(m.IsExistPrivilegeId(5));
    EXPECT_FALSE(m.IsExistPrivilegeId(4));
    EXPECT_TRUE(m.temporary->empty());
    m.SwapData();
    EXPECT_EQ(m.active, first);
    EXPECT_TRUE(m.active->empty());
    EXPECT_TRUE(m.temporary->empty());
}

class PrivilegeFile : public ::testing::Test {
protected:
    // ctest runs each test in its own process at the same time, and two builds' suites
    // may run side by side: one file per test and process.
    void SetUp() override {
        path_ = ::testing::TempDir() + "privilege_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
                std::to_string(::getpid()) + ".conf";
    }
    void TearDown() override { std::remove(path_.c_str()); }
    int Load(const std::string& text) {
        FILE* f = std::fopen(path_.c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
        return m_.LoadPrivilegeConfig(const_cast<char*>(path_.c_str()), 936);
    }
    std::string path_;
    CUserMVManager m_;
};

TEST_F(PrivilegeFile, LoadsGoodRulesAndSkipsMalformedOnes) {
    m_.AddPrivilege(1, 99, 1, 1, 0);  // cleared by the load
    const std::string text =
        "// privileges\r\n"
        "[privilege]\r\n"
        "0;4;\xcb\xbd\xc1\xc4\r\n"  // 私聊 in code page 936
        "327680;3\r\n"
        "1;2\r\n"  // only the first level line counts
        "[privilege]\n"
        "0;5\n"  // two fields: skipped
        "327680\n"
        "[privilege]\n"
        "0;6;a;b\n"  // four fields: skipped
        "[privilege]\n"
        "1;108;kick\n"
        "327680:196608;4\n"
        "// a comment inside the rule\n"
        "no colon here\n"
        "1:3\n"
        "[privilege]\n"
        "0;4;again\n"  // id already loaded: the first rule stays
        "65536\n"
        "[privilege]\n"
        "0;16;no levels\n"  // the next opener is not its level line
        "[privilege]\n"
        "0;17;notice\n"
        "65536\n"
        "[privilege]\n"
        "7;9;unknown type\n"
        "1:2\n"
        "[privilege]\n";  // a last opener without a header
    ASSERT_EQ(Load(text), 0);
    EXPECT_FALSE(m_.IsExistPrivilegeId(99));
    EXPECT_FALSE(m_.IsExistPrivilegeId(5));
    EXPECT_FALSE(m_.IsExistPrivilegeId(6));
    EXPECT_FALSE(m_.IsExistPrivilegeId(9));

    auto* chat = dynamic_cast<CNonOOPrivilege*>(m_.FindPrivilege(1, 4));
    ASSERT_NE(chat, nullptr);
    EXPECT_EQ(chat->name, L"私聊");
    EXPECT_EQ(chat->levels, (std::vector<int>{327680, 3}));

    auto* bare = dynamic_cast<CNonOOPrivilege*>(m_.FindPrivilege(1, 16));
    ASSERT_NE(bare, nullptr);
    EXPECT_TRUE(bare->levels.empty());
    auto* notice = dynamic_cast<CNonOOPrivilege*>(m_.FindPrivilege(1, 17));
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->levels, (std::vector<int>{65536}));

    auto* kick = dynamic_cast<COOPrivilege*>(m_.FindPrivilege(1, 108));
    ASSERT_NE(kick, nullptr);
    EXPECT_EQ(kick->name, L"kick");
    EXPECT_EQ(kick->targets.size(), 2u);
    EXPECT_EQ(kick->targets[327680], (std::vector<int>{196608, 4}));
    EXPECT_EQ(kick->targets[1], (std::vector<int>{3}));

    CUserObj boss = User(1, 5), member = User(2, 3);
    EXPECT_TRUE(m_.CheckPrivilege(PRIV_PRIVATE_CHAT, &boss));
    EXPECT_TRUE(m_.CheckPrivilege(PRIV_KICK_OUT, &boss, &member));
    EXPECT_FALSE(m_.CheckPrivilege(PRIV_KICK_OUT, &member, &boss));
}

TEST_F(PrivilegeFile, MissingOrEmptyFileIsRefused) {
    EXPECT_EQ(Load(""), -1);
    EXPECT_EQ(m_.LoadPrivilegeConfig(const_cast<char*>("/nonexistent/privilege.conf"), 936), -1);
    EXPECT_EQ(m_.LoadPrivilegeConfig(nullptr, 936), -1);
}

}  // namespace
