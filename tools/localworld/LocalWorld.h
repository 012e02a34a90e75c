// The local test world: a logon, a lobby and a room server, a media relay and a
// web server on loopback, with a small seeded set of accounts, room groups and
// rooms kept in memory across logons. Tests start it in-process on free ports;
// tools/localworld runs it on the fixed ports for a person. No security: the
// passwords are plain text and every request is trusted as far as it parses.
// One file per server (LogonServer, LobbyServer, RoomServer, Pages), each with its
// table of requests.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace mivora_test {
class MediaRelay;
}

namespace testsupport {

class FrameServer;
class HttpTestServer;
struct HttpRequestSeen;
struct HttpAnswer;

class LocalWorld {
public:
    struct Ports {
        uint16_t logon = 0;
        uint16_t lobby = 0;
        uint16_t room = 0;
        uint16_t relay = 0;  // UDP
        uint16_t http = 0;
    };
    struct Options {
        Ports ports;                      // 0: a free port
        std::string version = "1.0.0.1";  // four dotted numbers
        // One line per request; none when unset.
        std::function<void(const std::string&)> log;
        // The skin folder whose emoticons and icons the pages show; none when empty.
        std::string skinDir;
    };

    // The fixed ports of tools/localworld.
    static Ports FixedPorts();

    // Seed ids, for tests and the README.
    static constexpr int kMemberId = 10001;      // a member, password "111111", owner of 1001
    static constexpr int kUserId = 10002;        // registered (level 2), password "222222"
    static constexpr int kBannedId = 10003;      // banned, password "333333"
    static constexpr int kManagerId = 10004;     // a member, password "444444", manager of 1001
    static constexpr uint8_t kMemberLevel = 11;  // the edition's first member level
    static constexpr int kFirstGuestId = 90001;
    static constexpr int kGuestFace = 1;        // the first picture of the skin's face folders
    static constexpr int kOpenRoom = 1001;      // no password
    static constexpr int kLockedRoom = 1002;    // password "8888"
    static constexpr int kResidentRoom = 1003;  // two residents
    static constexpr int kHelpGroup = 31;       // the group whose address is a page
    static constexpr int kGameGroup = 32;       // the group whose page opens the game window
    static constexpr int kFirstRegisteredId = 10101;

    // Logon refusals, and the join refusals besides 201 (no password) and 203 (wrong).
    static constexpr int kBanned = 101;
    static constexpr int kNoAccount = 103;
    static constexpr int kWrongPassword = 104;
    static constexpr int kUnknownRoom = 102;
    static constexpr int kNotLoggedOn = 104;  // join with a logon text the world did not give
    static constexpr int kNeedPassword = 201;
    static constexpr int kWrongRoomPassword = 203;
    static constexpr int kPutOutReason = 107;  // the same user joined on another connection
    // Join refused: on the room's or the site's black list. The program words only 101 as
    // a room the user may not enter; any other code reads as an unexplained error.
    static constexpr int kBlackListed = 101;
    static constexpr int kKickReason = 1;  // put out by a manager

    // Seed balances (coins, beans) and microphone types of the open room.
    static constexpr int64_t kRichCoins = 100000;
    static constexpr int64_t kModestCoins = 2000;
    // Failure codes the world puts in its refusals.
    static constexpr int kNotEnoughMoney = 2;
    static constexpr int kBadRequest = 1;

    explicit LocalWorld(const Options& options);
    ~LocalWorld();
    LocalWorld(const LocalWorld&) = delete;
    LocalWorld& operator=(const LocalWorld&) = delete;

    // Binds and starts everything; false (with a log line) when a port is taken.
    bool Start();
    void Stop();

    const Ports& ports() const { return m_ports; }
    // "http://127.0.0.1:<http port>/"
    std::string BaseUrl() const;
    // A program configuration text that names the fixed ports (globalconf.txt), with
    // this world's ports in their place.
    std::string WithOwnPorts(std::string configuration) const;
    // The version as the logon answer's version word: the four numbers as bytes in
    // memory order.
    int32_t VersionWord() const;

    // Test views of the state.
    std::wstring AliasOf(int userId) const;
    std::vector<int> MembersOf(int roomId) const;
    // The balances (coins, beans) of a user; zeros for an unknown one.
    std::pair<int64_t, int64_t> BalanceOf(int userId) const;
    // The holders of the three public microphones of a room (0: free).
    std::vector<int> PublicMicHolders(int roomId) const;
    std::vector<int> WaitQueueOf(int roomId) const;

private:
    struct Account {
        std::string password;
        std::wstring alias;
        int faceId = 0;
        uint8_t sex = 0;
        uint8_t level = 2;
        int64_t money = 0;
        int64_t points = 0;
        bool banned = false;
    };
    struct Group {
        int id;
        int parentId;
        std::wstring name;
        std::string address;  // "R" (its room list page) or the page itself
    };
    struct Resident {
        int id;
        std::wstring alias;
        uint8_t level;
        int faceId;
    };
    struct Mic {
        int userId = 0;
        int16_t type = -1;  // -2 managers only, -1 free without limit, 0 closed, > 0 minutes
    };
    struct Room {
        int groupId = 0;
        std::wstring name;
        std::string password;
        int ownerId = 0;
        uint16_t kind = 1;  // the layout the program shows: every seeded room is a normal one
        std::wstring texts[4];
        std::vector<Resident> residents;
        std::map<int, int> members;  // user id -> connection
        Mic mics[3];
        std::set<int> vipHolders;
        std::set<int> secretHolders;
        std::vector<int> waitQueue;       // a user may queue more than once
        int32_t waitLimits[2] = {3, 50};  // per user, whole queue
        uint32_t flags = 0x80;            // the wait queue is open
        int32_t deputies[4] = {0, 0, 0, 0};
        std::set<int> managers;
        std::set<int> tempManagers;
        std::set<int> blackList;
        std::string mediaUrl;  // empty: the world's relay
    };
    struct Session {
        std::string logonText;  // what the logon carried; a join must carry it again
        std::wstring alias;
        int faceId = 0;
        uint8_t sex = 0;
        uint8_t level = 1;
        int64_t money = 0;
        int64_t points = 0;
        bool forbidInvite = false;  // no manager may carry this user to a microphone
    };
    struct Membership {
        int userId;
        int roomId;
    };
    // A seal of the skin's catalog, the one the program's seal window shows.
    struct SealItem {
        int64_t price;
        uint16_t minutes;
    };
    struct Request;  // one frame as the handlers see it
    // One row per request a server answers: shorter payloads are refused, requests
    // without a row only logged.
    struct Route {
        uint16_t mainCmd;
        uint16_t subCmd;
        size_t minPayload;
        std::string (LocalWorld::*handler)(const Request&);
    };
    static const std::vector<Route>& LogonRoutes();
    static const std::vector<Route>& LobbyRoutes();
    static const std::vector<Route>& RoomRoutes();

    void Seed();
    // The skin's gift and seal catalogs, the files the program reads: gift/gift.conf in
    // the skin folder, skin/Seal/seal.conf beside it.
    void LoadCatalogs();
    // A gift's unit price in coins; 0 for one the catalog does not have.
    int64_t PriceOf(int giftId) const;
    void Log(const std::string& line) const;
    void OnFrame(int connection, int kind, uint16_t mainCmd, uint16_t subCmd,
                 const uint8_t* payload, size_t size);
    void OnClosed(int connection, int kind);
    void Send(int connection, const std::vector<uint8_t>& frame);

    // Logon and lobby servers.
    std::string OnLogon(const Request& r);
    std::string OnSetProfile(const Request& r);
    std::string OnSetPassword(const Request& r);
    std::string OnLobbyPing(const Request& r);
    void SendGroups(int connection);
    int MembersIn(int groupId) const;
    // Room server.
    std::string OnJoinRoom(const Request& r);
    std::string OnExitRoom(const Request& r);
    std::string OnRoomChat(const Request& r);
    std::string OnRoomPing(const Request& r);
    std::string OnCollectRoom(const Request& r);
    std::string OnAliasState(const Request& r);
    void SendJoined(int connection, int userId, int roomId);
    // Room microphones and the wait queue.
    std::string OnSetMicState(const Request& r);
    std::string OnChangePubMic(const Request& r);
    // Seats a member on a public microphone (any free one for index 255), telling the
    // room; refused with 105/74.
    std::string SeatOnPublicMic(const Request& r, int roomId, int actorId, int targetId,
                                uint8_t index);
    std::string OnUpWaitMic(const Request& r);
    std::string OnOperateWaitMic(const Request& r);
    std::string OnForbidInvite(const Request& r);
    // Takes a user off every microphone and out of the queue, telling the room.
    void ReleaseMics(int roomId, int userId, int actorId);
    // With the room's automatic mode on, the first queued users take the free public
    // microphones they may use.
    void ServeQueue(int roomId);
    std::vector<uint8_t> MicTableOf(int roomId) const;
    std::vector<uint8_t> WaitQueueFrameOf(int roomId) const;
    // Money.
    std::string OnTradeGift(const Request& r);
    std::string OnTradeFireworks(const Request& r);
    std::string OnPlayFireworks(const Request& r);
    std::string OnSendSeal(const Request& r);
    std::string OnMoneyOp(const Request& r);
    std::string OnOpenChest(const Request& r);
    // Charges a loudspeaker line and sends it to every room; false when short.
    bool Loudspeaker(int userId, uint8_t kind, const std::string& text);
    // Adds to a user's balances (account and session); false when one would go below 0.
    bool Pay(int userId, int64_t coins, int64_t beans);
    void SendWealth(int roomId, int userId);
    // Room administration and private video.
    std::string OnKick(const Request& r);
    std::string OnBlackList(const Request& r);
    std::string OnSetPriority(const Request& r);
    std::string OnSeeIp(const Request& r);
    std::string OnSetRoomInfo(const Request& r);
    std::string OnSetRoomStatus(const Request& r);
    std::string OnSetRoomNotice(const Request& r);
    std::string OnSetRoomMedia(const Request& r);
    std::string OnConnMediaReq(const Request& r);
    std::string OnConnMediaAnswer(const Request& r);
    // 3 owner, 2 manager, 1 temporary manager, 0 anyone else.
    int RankIn(const Room& room, int userId) const;
    // Puts a member out: the room (him included) is told, then he is no member.
    void PutOut(int roomId, int userId, int actorId, int reason);
    // The room of the member on `connection` when he is `userId` in `roomId`; null otherwise.
    Room* ActorRoom(const Request& r, int userId, int roomId);
    // A request that starts with the room (bytes 0-3) and the acting member (4-7); the
    // room is null when the requester is not that member of it.
    struct Acting {
        int32_t roomId;
        int32_t actorId;
        Room* room;
    };
    Acting ActingIn(const Request& r);
    // The log line of a request whose actor is not in the room.
    static std::string ActorNotIn(int roomId);
    // Sends the refusal `answer` to the requester; returns the log line `why`.
    std::string Refuse(const Request& r, const std::vector<uint8_t>& answer, std::string why);
    void SendToRoom(int roomId, const std::vector<uint8_t>& frame);
    int ConnectionOf(int userId) const;  // his room connection, or 0
    // Takes the member of `connection` out of his room and tells the others.
    void Leave(int connection);
    // Every connected member of a room but `except`.
    std::vector<int> OthersIn(int roomId, int except) const;
    std::vector<uint8_t> UserEntryOf(int userId, int roomId) const;
    // Web pages.
    bool Page(const HttpRequestSeen& request, HttpAnswer& answer);
    std::string RoomListPage(int groupId) const;
    std::string HallPage() const;
    // The room finder: every room (or a group's) with its number, group, count and lock.
    std::string FinderPage(int groupId) const;
    // "parent › child" of a group's names, as page text.
    std::string GroupPath(int groupId) const;
    std::string HelpPage() const;
    std::string RoomLinks(const std::vector<int>& roomIds) const;
    bool InGroupTree(int groupId, int top) const;
    // The service's own pages (ServicePages.cpp); false for a path they do not know.
    bool ServicePage(const std::string& path, const HttpRequestSeen& request, HttpAnswer& answer);
    std::string EmoticonPage() const;
    std::string AccountPage(int userId) const;
    std::string TopUpPage(int userId) const;
    std::string RegisterPage() const;
    std::string RegisteredPage();
    std::string IconHelpPage() const;
    // The game's page, for the user the address names (0: none).
    std::string GamePage(int userId) const;
    std::string WelcomePage() const;
    // A picture of the skin folder: "emotion/<n>.gif" or "<name>.png" at its top.
    bool Picture(const std::string& path, HttpAnswer& answer) const;

    Options m_options;
    Ports m_ports;
    mutable std::mutex m_lock;  // the state below: frames, pages and test views
    std::map<int, Account> m_accounts;
    std::vector<Group> m_groups;  // parents before children
    std::map<int, Room> m_rooms;
    std::map<int, Session> m_sessions;
    std::map<int, Membership> m_memberships;  // connection -> member
    int m_nextGuestId = kFirstGuestId;
    int m_nextRegisteredId = kFirstRegisteredId;
    std::set<int> m_siteBlackList;
    std::map<int, SealItem> m_seals;
    std::map<int, int64_t> m_giftPrices;
    std::map<std::pair<int, int>, int32_t> m_giftsReceived;  // (receiver, gift) -> how many
    std::mt19937 m_draw{27};  // lucky gifts, fireworks and boxes: seeded, so runs repeat

    std::unique_ptr<FrameServer> m_servers;
    std::unique_ptr<mivora_test::MediaRelay> m_relay;
    std::unique_ptr<HttpTestServer> m_http;
};

}  // namespace testsupport
