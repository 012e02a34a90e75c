// Logging on to the world, its refusals, guests, a profile change kept for the next
// logon, and the pages and configuration that name the world.
#include <arpa/inet.h>

#include <algorithm>

#include <cstring>
#include <fstream>
#include <sstream>

#include "config/GLobalConfigFile.h"
#include "kernel/CmdRecords.h"
#include "globalconf/GlobalConfCodec.h"
#include "kernel/Notifications.h"
#include "model/RoomGroupManager.h"
#include "model/UserMVManager.h"
#include "services/HttpGet.h"
#include "session/CommKernelData.h"
#include "win32/text.h"
#include "world_fixture.h"

namespace worldtest {
namespace {

TEST_F(WorldTest, KernelLogsOnAndReceivesTheWholeGroupTree) {
    ASSERT_TRUE(KernelLogon(LocalWorld::kMemberId, "111111"));
    const CUserObj& me = d->m_LocalUser;
    EXPECT_EQ(me.userId, LocalWorld::kMemberId);
    EXPECT_EQ(me.alias, Wire(L"小明"));
    EXPECT_EQ(me.levels[0], LocalWorld::kMemberLevel);
    EXPECT_EQ(me.money, LocalWorld::kRichCoins);
    // The logon window compares this, printed as an address, with "update.ini".
    in_addr version{};
    std::memcpy(&version, &d->m_nVersionWord, 4);
    EXPECT_STREQ(inet_ntoa(version), "1.0.0.1");
    EXPECT_FALSE(d->m_pUserMVManager->temporary->empty());

    CRoomGroupManager* groups = d->m_pRoomGroupManager;
    ASSERT_EQ(groups->groups.size(), 7u);
    struct {
        int id, parent;
    } tree[] = {{1, 0},
                {11, 1},
                {2, 0},
                {3, 0},
                {LocalWorld::kHelpGroup, 3},
                {311, LocalWorld::kHelpGroup},
                {LocalWorld::kGameGroup, 3}};
    for (const auto& g : tree) {
        SCOPED_TRACE(g.id);
        tag_RoomGroupData* found = groups->FindRoomGroupData(g.id);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(found->parentId, g.parent);
    }
    EXPECT_EQ(std::string(groups->FindRoomGroupData(LocalWorld::kHelpGroup)->groupAddress),
              world->BaseUrl() + "help.html");
    EXPECT_EQ(groups->FindRoomGroupData(11)->groupAddress[0], 'R');
    // The two residents count in their group and in every group above it.
    EXPECT_EQ(groups->FindRoomGroupData(311)->userNum, 2);
    EXPECT_EQ(groups->FindRoomGroupData(3)->userNum, 2);
    EXPECT_EQ(groups->FindRoomGroupData(1)->userNum, 0);
}

TEST_F(WorldTest, LogonRefusalsCarryTheirReason) {
    struct Case {
        int userId;
        const char* password;
        int reason;
    } cases[] = {
        {LocalWorld::kUserId, "wrong", LocalWorld::kWrongPassword},
        {55555, "anything", LocalWorld::kNoAccount},
        {LocalWorld::kBannedId, "333333", LocalWorld::kBanned},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.userId);
        RawClient client(world->ports().logon, 103);
        client.Send(LogonRequest(c.userId, c.password));
        Frame f;
        ASSERT_TRUE(client.Next(f));
        EXPECT_EQ(f.subCmd, 4);
        EXPECT_EQ(f.I32(0), c.reason);
    }
}

TEST_F(WorldTest, EachGuestGetsAFreshId) {
    int first = 0, second = 0;
    ASSERT_TRUE(RawLogon(0, "", &first));
    ASSERT_TRUE(RawLogon(0, "", &second));
    EXPECT_GE(first, LocalWorld::kFirstGuestId);
    EXPECT_NE(first, second);
    // A guest id is a session like any other: it can enter a room.
    EXPECT_TRUE(RawMember(0, "", LocalWorld::kOpenRoom));
}

// The lobby and the room lists draw the face the logon hands out from the skin's two
// face folders: a number without a picture there shows as an empty box.
TEST_F(WorldTest, EveryoneLogsOnWithAFaceTheSkinHasAPictureFor) {
    struct Case {
        int userId;
        const char* password;
    } cases[] = {
        {LocalWorld::kMemberId, "111111"},
        {LocalWorld::kUserId, "222222"},
        {LocalWorld::kManagerId, "444444"},
        {0, ""},  // a guest
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.userId);
        ASSERT_TRUE(KernelLogon(c.userId, c.password));
        const std::string face = std::to_string(d->m_LocalUser.faceId) + ".png";
        for (const char* folder : {"/skin/MVChat/Face/36/", "/skin/MVChat/Face/80/"})
            EXPECT_TRUE(std::ifstream(MIVORA_SOURCE_DIR + std::string(folder) + face).good())
                << folder << face;
    }
}

TEST_F(WorldTest, ProfileChangeIsSeenAtTheNextLogon) {
    ASSERT_TRUE(KernelLogon(LocalWorld::kUserId, "222222"));
    tag_CMDSetUserProfileReq req{};
    req.userId = LocalWorld::kUserId;
    req.faceId = 33;
    req.sex = 1;
    const std::string alias = Wire(L"新名字");
    std::memcpy(req.alias, alias.data(), alias.size());
    const size_t from = notify.posted().size();
    k->SendMsg_SetUserProfileReq2(&req, 0);
    ASSERT_TRUE(AwaitPosted(UM_SET_USER_PROFILE_RESP, from));
    k->DisconnectServer(SERVER_TYPE_LOBBY);

    ASSERT_TRUE(KernelLogon(LocalWorld::kUserId, "222222"));
    EXPECT_EQ(d->m_LocalUser.alias, alias);
    EXPECT_EQ(d->m_LocalUser.faceId, 33);
    EXPECT_EQ(d->m_LocalUser.sex, 1);
}

TEST_F(WorldTest, PasswordChangeNeedsTheOldOneAndHoldsForTheNextLogon) {
    struct Case {
        const char* oldPassword;
        const char* newPassword;
        int result;  // 0: changed
    } cases[] = {{"nope", "abc", 2}, {"222222", "", 3}, {"222222", "abc", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.oldPassword);
        tag_CMDSetUserPwdReq req{};
        req.userId = LocalWorld::kUserId;
        req.kind = 1;
        std::strncpy(req.oldPassword, c.oldPassword, sizeof req.oldPassword - 1);
        std::strncpy(req.newPassword, c.newPassword, sizeof req.newPassword - 1);
        const size_t from = notify.posted().size();
        k->SendMsg_SetUserPwdReq2(&req, 0);
        auto answer = AwaitPosted(UM_SET_USER_PWD_RESP, from);
        ASSERT_TRUE(answer);
        Frame f;
        const auto* bytes = reinterpret_cast<const uint8_t*>(answer->lParam);
        f.payload.assign(bytes, bytes + 30);
        EXPECT_EQ(f.I32(0), LocalWorld::kUserId);
        EXPECT_EQ(f.I32(8), c.result);
        EXPECT_EQ(f.U8(12), c.result == 0 ? 1 : 0);  // the client takes the text only then
        if (c.result == 0) {
            EXPECT_EQ(f.Text(13, 17), c.newPassword);
        }
    }
    // The lobby's keep-alive, on the same connection, is only logged.
    k->SendMsg_LobbyPingReq();
    EXPECT_TRUE(kerneltest::Pump([&] {
        std::lock_guard<std::mutex> g(logLock);
        return std::any_of(worldLog.begin(), worldLog.end(), [](const std::string& l) {
            return l.find("keep-alive of user") != std::string::npos;
        });
    }));
    k->DisconnectServer(SERVER_TYPE_LOBBY);
    EXPECT_FALSE(KernelLogon(LocalWorld::kUserId, "222222"));
    EXPECT_TRUE(KernelLogon(LocalWorld::kUserId, "abc"));
}

TEST_F(WorldTest, APasswordChangedWhileLoggedOnStillOpensRooms) {
    ASSERT_TRUE(KernelLogon(LocalWorld::kUserId, "222222"));
    tag_CMDSetUserPwdReq req{};
    req.userId = LocalWorld::kUserId;
    req.kind = 1;
    std::strncpy(req.oldPassword, "222222", sizeof req.oldPassword - 1);
    std::strncpy(req.newPassword, "abc", sizeof req.newPassword - 1);
    const size_t from = notify.posted().size();
    k->SendMsg_SetUserPwdReq2(&req, 0);
    ASSERT_TRUE(AwaitPosted(UM_SET_USER_PWD_RESP, from));
    k->DisconnectServer(SERVER_TYPE_LOBBY);
    // The lobby takes the answer's text as the user's password, and a join carries it.
    d->m_LocalUser.password = "abc";
    EXPECT_TRUE(KernelJoin(LocalWorld::kOpenRoom));
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Fetch(const std::string& url, bool* ok) {
    unsigned char buffer[4096] = {0};
    unsigned long got = 0;
    CHttpGet http;
    *ok = http.URLDownloadToBuffer(url.c_str(), buffer, sizeof buffer - 1, &got) == 1;
    return std::string(reinterpret_cast<char*>(buffer), got);
}

TEST_F(WorldTest, PagesLinkTheRoomsOfEachGroup) {
    auto link = [&](int room) {
        return "enterchatroom://" + std::to_string(room) +
               ",127.0.0.1:" + std::to_string(world->ports().room);
    };
    const int all[] = {LocalWorld::kOpenRoom, LocalWorld::kLockedRoom, LocalWorld::kResidentRoom};
    struct Case {
        std::string path;
        std::vector<int> rooms;  // linked; the others are not
    } cases[] = {
        {"hall.php?nuserid=10001", {all[0], all[1], all[2]}},
        // The lobby appends the user to the group's address with a second '?'.
        {"roomlist.php?ngroupid=1?uname=10001&pwd=111111", {LocalWorld::kOpenRoom}},
        {"roomlist.php?ngroupid=3", {LocalWorld::kResidentRoom}},
        {"roomlist.php", {all[0], all[1], all[2]}},
        // The finder: every room, or a group's, each a link the finder window joins.
        {"find.html", {all[0], all[1], all[2]}},
        {"find.html?ngroupid=2", {LocalWorld::kLockedRoom}},
        {"find.html?ngroupid=31", {LocalWorld::kResidentRoom}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        bool ok = false;
        const std::string page = Fetch(world->BaseUrl() + c.path, &ok);
        ASSERT_TRUE(ok);
        for (int room : all) {
            const bool linked = std::find(c.rooms.begin(), c.rooms.end(), room) != c.rooms.end();
            EXPECT_EQ(page.find(link(room)) != std::string::npos, linked) << room;
        }
    }
    bool ok = false;
    EXPECT_EQ(Fetch(world->BaseUrl() + "dl_mv_t3.php?v=1", &ok), "1.0.0.1");
    EXPECT_TRUE(ok);
    Fetch(world->BaseUrl() + "help.html", &ok);
    EXPECT_TRUE(ok);
    Fetch(world->BaseUrl() + "nothing.php", &ok);
    EXPECT_FALSE(ok);
}

// A room's name is the owner's to choose: the pages show it as text, never as markup.
TEST_F(WorldTest, PagesShowARoomsNameAsText) {
    auto owner = RawMember(LocalWorld::kMemberId, "111111", LocalWorld::kOpenRoom);
    ASSERT_TRUE(owner);
    owner->Send(KernelWrites(LocalWorld::kMemberId, LocalWorld::kOpenRoom, [&] {
        tag_CMDSetRoomInfoReq info{};
        info.roomId = LocalWorld::kOpenRoom;
        info.userId = LocalWorld::kMemberId;
        info.creatorId = LocalWorld::kMemberId;
        std::strcpy(info.roomName, "<b>\"x\"&</b>");
        k->SendMsg_SetRoomBaseInfoReq(&info);
    }));
    Frame f;
    ASSERT_TRUE(owner->Await(105, 63, f));
    for (const char* path : {"hall.php", "roomlist.php?ngroupid=1", "find.html"}) {
        SCOPED_TRACE(path);
        bool ok = false;
        const std::string page = Fetch(world->BaseUrl() + path, &ok);
        ASSERT_TRUE(ok);
        EXPECT_NE(page.find("&lt;b&gt;&quot;x&quot;&amp;&lt;/b&gt;"), std::string::npos) << page;
        EXPECT_EQ(page.find("<b>"), std::string::npos) << page;
    }
}

// Every page the configuration names is served, small and plain; the pages that talk
// back to the program carry its links, and the log never shows a password.
TEST_F(WorldTest, EveryConfiguredPageIsServedPlain) {
    std::istringstream conf(ReadText(LOCALWORLD_SOURCE "/globalconf.txt"));
    const std::string fixed =
        "http://127.0.0.1:" + std::to_string(LocalWorld::FixedPorts().http) + "/";
    int pages = 0;
    for (std::string line; std::getline(conf, line);) {
        const size_t at = line.find(fixed);
        if (at == std::string::npos || line.compare(0, 7, "ver_url") == 0) continue;
        SCOPED_TRACE(line);
        bool ok = false;
        const std::string page =
            Fetch(world->BaseUrl() + line.substr(at + fixed.size()) + "?nuserid=10001", &ok);
        EXPECT_TRUE(ok);
        EXPECT_EQ(page.find("<script"), std::string::npos);
        EXPECT_EQ(page.find("<form"), std::string::npos);
        ++pages;
    }
    EXPECT_GE(pages, 10);

    auto member = RawMember(LocalWorld::kUserId, "222222", LocalWorld::kOpenRoom);
    ASSERT_TRUE(member);
    struct Case {
        std::string path;
        std::string holds;
    } cases[] = {
        {"emotion.html", "<a href=\"clickemotion:8.gif\"><img src=\"emotion/8.gif\""},
        {"emotion/1.gif", "GIF8"},
        {"level_3.png", "PNG"},
        {"account.html?nuserid=10001", "100000"},
        {"pay.html?roomid=1001&nuserid=10002", "2000"},
        {"iconhelp.html", "<img src=\"mgr_1.png\">"},
        {"register.html", "href=\"registered.html\""},
        {"registered.html", "href=\"app:" + std::to_string(LocalWorld::kFirstRegisteredId) + ":"},
        // The finder narrows by group with links; it has no field to type in.
        {"find.html", "<a href=\"find.html?ngroupid=2\">"},
        // The game's page at the program's own address and at the game group's.
        {"carkelt/game.php?uname=10002&pwd=222222", "阿花 (10002)"},
        {"carkelt.html?uname=10002&pwd=222222", "<img src=\"/bg_winning.png\">"},
        {"bg_winning.png", "PNG"},
        // Live counts: the member who joined is counted.
        {"hall.php", "(1001, 1 人)"},
        {"roomlist.php?ngroupid=11?uname=10002&pwd=222222", "(1001, 1 人)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        bool ok = false;
        const std::string page = Fetch(world->BaseUrl() + c.path, &ok);
        EXPECT_TRUE(ok);
        EXPECT_NE(page.find(c.holds), std::string::npos) << page;
    }
    // Nothing outside the skin's pictures is served.
    for (const char* path :
         {"../CMakeLists.txt", "%2e%2e/skin/MVChat/level_3.png", "emotion/x.png"}) {
        bool ok = true;
        Fetch(world->BaseUrl() + path, &ok);
        EXPECT_FALSE(ok) << path;
    }
    // The registered account logs on with the password its link carries.
    EXPECT_TRUE(RawLogon(LocalWorld::kFirstRegisteredId,
                         std::to_string(LocalWorld::kFirstRegisteredId % 1000000), nullptr));
    std::lock_guard<std::mutex> g(logLock);
    bool logged = false;
    for (const std::string& line : worldLog) {
        EXPECT_EQ(line.find("222222"), std::string::npos) << line;
        logged |= line.find("pwd=***") != std::string::npos;
    }
    EXPECT_TRUE(logged);
}

// A program folder's configuration for a world on free ports names its ports in place
// of every fixed one.
TEST_F(WorldTest, ConfigurationNamesTheWorldsOwnPorts) {
    const std::string own = world->WithOwnPorts(ReadText(LOCALWORLD_SOURCE "/globalconf.txt"));
    const LocalWorld::Ports fixed = LocalWorld::FixedPorts();
    for (uint16_t port : {fixed.logon, fixed.lobby, fixed.room, fixed.http})
        EXPECT_EQ(own.find("127.0.0.1:" + std::to_string(port)), std::string::npos) << port;
    const LocalWorld::Ports& p = world->ports();
    for (const std::string& line :
         {"logonsvr=127.0.0.1:" + std::to_string(p.logon) + ";",
          "lobbysvr=127.0.0.1:" + std::to_string(p.lobby) + ";",
          "roomlist_url=http://127.0.0.1:" + std::to_string(p.http) + "/roomlist.php"})
        EXPECT_NE(own.find(line), std::string::npos) << line;
}

// The committed configuration text names the fixed ports of tools/localworld, and
// the version the world announces is the one the program folder's "update.ini" gets.
TEST(WorldConfiguration, GlobalConfTextNamesTheFixedWorld) {
    const std::string plain = ReadText(LOCALWORLD_SOURCE "/globalconf.txt");
    ASSERT_FALSE(plain.empty());
    char dir[] = "/tmp/mivora-world-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string file = std::string(dir) + "/globalconf.ini";
    std::wstring wide = winplat::Utf8ToWide(file);
    ASSERT_TRUE(globalconf::WriteFile(wide, plain));
    CGLobalConfigFile conf;
    conf.SetCodePage(936);
    ASSERT_EQ(conf.LoadFile(&wide[0]), 1);
    std::remove(file.c_str());
    rmdir(dir);

    const LocalWorld::Ports fixed = LocalWorld::FixedPorts();
    const std::string logon = "127.0.0.1:" + std::to_string(fixed.logon);
    const std::string lobby = "127.0.0.1:" + std::to_string(fixed.lobby);
    EXPECT_EQ(std::string(conf.logonsvr), logon + ";" + logon + ";" + logon + ";" + logon);
    EXPECT_EQ(std::string(conf.lobbysvr), lobby + ";" + lobby + ";" + lobby + ";" + lobby);
    const std::wstring web = L"http://127.0.0.1:" + std::to_wstring(fixed.http) + L"/";
    EXPECT_EQ(std::wstring(conf.dating_url), web + L"hall.php");
    EXPECT_EQ(std::wstring(conf.roomlist_url), web + L"roomlist.php");
    EXPECT_EQ(std::wstring(conf.find_url), web + L"find.html");

    std::string version = ReadText(LOCALWORLD_SOURCE "/version.txt");
    while (!version.empty() && (version.back() == '\n' || version.back() == '\r'))
        version.pop_back();
    EXPECT_EQ(version, LocalWorld::Options().version);
}

}  // namespace
}  // namespace worldtest
