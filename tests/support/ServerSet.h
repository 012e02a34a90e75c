// A logon, a lobby and a room stand-in server at once, each on its own loopback
// port, for tests that play a whole session.
#pragma once

#include <cstdint>
#include <string>

#include "TcpStandIn.h"

namespace testsupport {

class ServerSet {
public:
    enum Kind { kLogon = 1, kLobby = 2, kRoom = 3 };

    ServerSet() = default;
    explicit ServerSet(const TcpStandIn::Options& options)
        : m_logon(options), m_lobby(options), m_room(options) {}

    TcpStandIn& logon() { return m_logon; }
    TcpStandIn& lobby() { return m_lobby; }
    TcpStandIn& room() { return m_room; }
    // By server type (1 logon, 2 lobby, 3 room).
    TcpStandIn& server(Kind kind);
    // "127.0.0.1:<port>", the form of the configuration's server lists.
    std::string Address(Kind kind);

private:
    TcpStandIn m_logon;
    TcpStandIn m_lobby;
    TcpStandIn m_room;
};

}  // namespace testsupport
