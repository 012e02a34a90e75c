// The world's lifecycle, its seed, and the table that routes each request.
#include "LocalWorld.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "FrameServer.h"
#include "WorldRequest.h"
#include "MediaRelay.h"
#include "catalogs/GiftManager.h"
#include "catalogs/SealManager.h"
#include "http_test_server.h"

namespace testsupport {

namespace {

enum ServerKind { kLogonServer = 1, kLobbyServer = 2, kRoomServer = 3 };

const char* ServerName(int kind) {
    switch (kind) {
        case kLogonServer:
            return "logon";
        case kLobbyServer:
            return "lobby";
        default:
            return "room";
    }
}

}  // namespace

std::string HidePasswords(std::string line) {
    for (size_t at = line.find("pwd="); at != std::string::npos; at = line.find("pwd=", at)) {
        at += 4;
        const size_t end = line.find_first_of("& ", at);
        line.replace(at, (end == std::string::npos ? line.size() : end) - at, "***");
    }
    return line;
}

LocalWorld::Ports LocalWorld::FixedPorts() {
    Ports p;
    p.logon = 27101;
    p.lobby = 27102;
    p.room = 27103;
    p.relay = 27104;
    p.http = 27180;
    return p;
}

LocalWorld::LocalWorld(const Options& options) : m_options(options) {}

LocalWorld::~LocalWorld() {
    Stop();
}

bool LocalWorld::Start() {
    m_servers = std::make_unique<FrameServer>(
        [this](const FrameServer::Frame& f) {
            OnFrame(f.connection, f.kind, f.mainCmd, f.subCmd, f.payload, f.size);
        },
        [this](int connection, int kind) { OnClosed(connection, kind); },
        [this](const std::string& line) { Log(line); });
    const Ports& want = m_options.ports;
    m_ports.logon = m_servers->Listen(kLogonServer, want.logon);
    m_ports.lobby = m_servers->Listen(kLobbyServer, want.lobby);
    m_ports.room = m_servers->Listen(kRoomServer, want.room);
    if (!m_ports.logon || !m_ports.lobby || !m_ports.room) {
        Log("a server port is taken (logon " + std::to_string(want.logon) + ", lobby " +
            std::to_string(want.lobby) + ", room " + std::to_string(want.room) + ")");
        return false;
    }
    m_relay = std::make_unique<mivora_test::MediaRelay>(0, 0, want.relay);
    m_relay->SetKeptDatagrams(0);
    if (!m_relay->Start()) {
        Log("the relay port " + std::to_string(want.relay) + " is taken");
        return false;
    }
    m_ports.relay = m_relay->Port();
    HttpTestServer::Options web;
    web.port = want.http;
    web.maxConnections = 0;
    web.keepRequests = false;
    web.log = [this](const std::string& line) { Log(HidePasswords(line)); };
    try {
        m_http = std::make_unique<HttpTestServer>(web);
    } catch (const std::exception&) {
        Log("the web port " + std::to_string(want.http) + " is taken");
        return false;
    }
    m_ports.http = static_cast<uint16_t>(m_http->port());
    {
        std::lock_guard<std::mutex> g(m_lock);
        Seed();
        LoadCatalogs();
    }
    m_http->setPages([this](const HttpRequestSeen& r, HttpAnswer& a) { return Page(r, a); });
    m_servers->Start();
    return true;
}

void LocalWorld::Stop() {
    if (m_servers) m_servers->Stop();
    if (m_http) m_http->stop();
    if (m_relay) m_relay->Stop();
}

std::string LocalWorld::BaseUrl() const {
    return "http://127.0.0.1:" + std::to_string(m_ports.http) + "/";
}

std::string LocalWorld::WithOwnPorts(std::string configuration) const {
    const Ports fixed = FixedPorts();
    const std::pair<uint16_t, uint16_t> moves[] = {{fixed.logon, m_ports.logon},
                                                   {fixed.lobby, m_ports.lobby},
                                                   {fixed.room, m_ports.room},
                                                   {fixed.http, m_ports.http}};
    for (const auto& [from, to] : moves) {
        const std::string was = "127.0.0.1:" + std::to_string(from);
        const std::string now = "127.0.0.1:" + std::to_string(to);
        for (size_t at = configuration.find(was); at != std::string::npos;
             at = configuration.find(was, at + now.size()))
            configuration.replace(at, was.size(), now);
    }
    return configuration;
}

int32_t LocalWorld::VersionWord() const {
    uint32_t word = 0;
    std::istringstream in(m_options.version);
    std::string part;
    for (int i = 0; i < 4 && std::getline(in, part, '.'); ++i)
        word |= (static_cast<uint32_t>(std::atoi(part.c_str())) & 0xFFu) << (8 * i);
    return static_cast<int32_t>(word);
}

std::wstring LocalWorld::AliasOf(int userId) const {
    std::lock_guard<std::mutex> g(m_lock);
    auto it = m_accounts.find(userId);
    return it == m_accounts.end() ? std::wstring() : it->second.alias;
}

std::vector<int> LocalWorld::MembersOf(int roomId) const {
    std::lock_guard<std::mutex> g(m_lock);
    std::vector<int> ids;
    auto it = m_rooms.find(roomId);
    if (it != m_rooms.end())
        for (const auto& m : it->second.members) ids.push_back(m.first);
    return ids;
}

std::pair<int64_t, int64_t> LocalWorld::BalanceOf(int userId) const {
    std::lock_guard<std::mutex> g(m_lock);
    if (auto s = m_sessions.find(userId); s != m_sessions.end())
        return {s->second.money, s->second.points};
    if (auto a = m_accounts.find(userId); a != m_accounts.end())
        return {a->second.money, a->second.points};
    return {0, 0};
}

std::vector<int> LocalWorld::PublicMicHolders(int roomId) const {
    std::lock_guard<std::mutex> g(m_lock);
    std::vector<int> ids;
    if (auto it = m_rooms.find(roomId); it != m_rooms.end())
        for (const Mic& m : it->second.mics) ids.push_back(m.userId);
    return ids;
}

std::vector<int> LocalWorld::WaitQueueOf(int roomId) const {
    std::lock_guard<std::mutex> g(m_lock);
    auto it = m_rooms.find(roomId);
    return it == m_rooms.end() ? std::vector<int>() : it->second.waitQueue;
}

void LocalWorld::Log(const std::string& line) const {
    if (m_options.log) m_options.log(line);
}

void LocalWorld::Send(int connection, const std::vector<uint8_t>& frame) {
    m_servers->Send(connection, frame);
}

void LocalWorld::OnFrame(int connection, int kind, uint16_t mainCmd, uint16_t subCmd,
                         const uint8_t* payload, size_t size) {
    std::lock_guard<std::mutex> g(m_lock);
    Request r{connection, payload, size, subCmd};
    const std::vector<Route>& routes = kind == kLogonServer   ? LogonRoutes()
                                       : kind == kLobbyServer ? LobbyRoutes()
                                                              : RoomRoutes();
    std::string outcome = "not handled";
    for (const Route& route : routes) {
        if (route.mainCmd != mainCmd || route.subCmd != subCmd) continue;
        outcome = size < route.minPayload
                      ? "refused: " + std::to_string(size) + " payload bytes, " +
                            std::to_string(route.minPayload) + " needed"
                      : (this->*route.handler)(r);
        break;
    }
    Log(std::string(ServerName(kind)) + " " + std::to_string(mainCmd) + "/" +
        std::to_string(subCmd) + " connection " + std::to_string(connection) + ": " + outcome);
}

void LocalWorld::OnClosed(int connection, int kind) {
    std::lock_guard<std::mutex> g(m_lock);
    if (kind != kRoomServer || !m_memberships.count(connection)) return;
    const Membership m = m_memberships[connection];
    Leave(connection);
    Log("room connection " + std::to_string(connection) + " dropped: user " +
        std::to_string(m.userId) + " left room " + std::to_string(m.roomId));
}

void LocalWorld::LoadCatalogs() {
    if (m_options.skinDir.empty()) return;
    const std::filesystem::path skin = std::filesystem::path(m_options.skinDir).lexically_normal();
    const std::filesystem::path skinFolder = skin.has_filename() ? skin : skin.parent_path();
    CGiftManager gifts;
    std::wstring giftPath = (skinFolder / "gift" / "gift.conf").wstring();
    if (gifts.LoadGiftConfigW(giftPath.data()) != 0)
        Log("no gift catalog in " + skinFolder.string() + ": every gift is refused");
    for (const auto& [id, item] : gifts.gifts)
        if (item && item->price > 0) m_giftPrices[id] = item->price;
    // The program reads skin/Seal/seal.conf; the skin folder is skin/<name>.
    const std::filesystem::path sealFile = skinFolder.parent_path() / "Seal" / "seal.conf";
    CSealManager seals;
    std::wstring sealPath = sealFile.wstring();
    if (seals.LoadSealConfigW(sealPath.data()) != 0) {
        Log("no seal catalog at " + sealFile.string() + ": every seal is refused");
        return;
    }
    for (const auto& [id, item] : seals.seals)
        if (item && item->price >= 0 && item->time > 0)
            m_seals[id] = {item->price, static_cast<uint16_t>(std::min(item->time, 0xFFFF))};
}

void LocalWorld::Seed() {
    // The program's edition ranks user level 11 as its first member level; 2 is a
    // registered user. The owner's and the manager's rights come with their room roles.
    Account member;
    member.password = "111111";
    member.alias = L"小明";
    member.faceId = 5;
    member.sex = 1;
    member.level = kMemberLevel;
    member.money = kRichCoins;
    member.points = 500;
    m_accounts[kMemberId] = member;

    Account user;
    user.password = "222222";
    user.alias = L"阿花";
    user.faceId = 12;
    user.level = 2;
    user.money = kModestCoins;
    m_accounts[kUserId] = user;

    Account manager;
    manager.password = "444444";
    manager.alias = L"管理员";
    manager.faceId = 8;
    manager.level = kMemberLevel;
    manager.money = 50000;
    m_accounts[kManagerId] = manager;

    Account banned;
    banned.password = "333333";
    banned.alias = L"禁号";
    banned.banned = true;
    m_accounts[kBannedId] = banned;

    // Three levels; the last top-level group holds the page group and its child.
    m_groups = {
        {1, 0, L"语音聊天", "R"},
        {11, 1, L"闲聊区", "R"},
        {2, 0, L"音乐天地", "R"},
        {3, 0, L"新手乐园", "R"},
        {kHelpGroup, 3, L"帮助", BaseUrl() + "help.html"},
        {311, kHelpGroup, L"新手房间", "R"},
        {kGameGroup, 3, L"游戏", BaseUrl() + "carkelt/game.php"},
    };

    // Every room: microphone 1 is free for everyone, 2 gives ten-minute turns, 3 is the
    // managers'.
    auto withSeedMics = [](Room room) {
        room.mics[0].type = -1;
        room.mics[1].type = 10;
        room.mics[2].type = -2;
        return room;
    };

    Room open;
    open.groupId = 11;
    open.name = L"闲聊一号";
    open.ownerId = kMemberId;
    open.texts[0] = L"欢迎来到本地测试世界：这里的一切只在内存中。";
    open.texts[3] = L"本地测试房间";
    open.managers = {kManagerId};
    m_rooms[kOpenRoom] = withSeedMics(open);

    Room locked;
    locked.groupId = 2;
    locked.name = L"音乐密码房";
    locked.password = "8888";
    locked.ownerId = kUserId;
    m_rooms[kLockedRoom] = withSeedMics(locked);

    Room resident;
    resident.groupId = 311;
    resident.name = L"新手常驻房";
    resident.texts[0] = L"常驻成员一直都在。";
    resident.residents = {{20001, L"常驻甲", 2, 3}, {20002, L"常驻乙", 3, 7}};
    m_rooms[kResidentRoom] = withSeedMics(resident);
}

}  // namespace testsupport
