#include "ServerSet.h"

namespace testsupport {

TcpStandIn& ServerSet::server(Kind kind) {
    switch (kind) {
        case kLogon:
            return m_logon;
        case kLobby:
            return m_lobby;
        case kRoom:
        default:
            return m_room;
    }
}

std::string ServerSet::Address(Kind kind) {
    return "127.0.0.1:" + std::to_string(server(kind).port());
}

}  // namespace testsupport
