// The lobby server of the local world: profile and password changes.
#include <cstddef>
#include <cstring>

#include "Answers.h"
#include "WorldRequest.h"
#include "kernel/CmdRecords.h"

namespace testsupport {

namespace {

constexpr size_t kAliasBytes = 16;  // the alias fields hold 17 bytes with their NUL
constexpr size_t kPasswordBytes = 16;

}  // namespace

const std::vector<LocalWorld::Route>& LocalWorld::LobbyRoutes() {
    static const std::vector<Route> routes = {
        {103, 118, 43, &LocalWorld::OnSetProfile},
        {103, 120, 43, &LocalWorld::OnSetPassword},
        {104, 2, 8, &LocalWorld::OnLobbyPing},
    };
    return routes;
}

std::string LocalWorld::OnLobbyPing(const Request& r) {
    return "keep-alive of user " + std::to_string(r.I32(0));
}

std::string LocalWorld::OnSetProfile(const Request& r) {
    tag_CMDSetUserProfileReq req;
    std::memcpy(&req, r.payload, sizeof req);
    const std::string alias = r.Text(offsetof(tag_CMDSetUserProfileReq, alias), sizeof req.alias);
    auto it = m_accounts.find(req.userId);
    int result = 0;
    if (it == m_accounts.end())
        result = 1;
    else if (alias.empty() || alias.size() > kAliasBytes)
        result = 2;
    if (result == 0) {
        Account& a = it->second;
        a.alias = FromWire(alias);
        a.faceId = req.faceId;
        a.sex = req.sex;
        // A session already open shows the new profile in the rooms from now on.
        if (auto s = m_sessions.find(req.userId); s != m_sessions.end()) {
            s->second.alias = a.alias;
            s->second.faceId = a.faceId;
            s->second.sex = a.sex;
        }
    }
    Send(r.connection, answers::Words(answers::kLogonMain, 119, {req.userId, result}));
    return "profile of user " + std::to_string(req.userId) +
           (result ? " refused with " + std::to_string(result) : " changed");
}

std::string LocalWorld::OnSetPassword(const Request& r) {
    tag_CMDSetUserPwdReq req;
    std::memcpy(&req, r.payload, sizeof req);
    const std::string oldPassword =
        r.Text(offsetof(tag_CMDSetUserPwdReq, oldPassword), sizeof req.oldPassword);
    const std::string newPassword =
        r.Text(offsetof(tag_CMDSetUserPwdReq, newPassword), sizeof req.newPassword);
    auto it = m_accounts.find(req.userId);
    int result = 0;
    if (it == m_accounts.end())
        result = 1;
    else if (it->second.password != oldPassword)
        result = 2;
    else if (newPassword.empty() || newPassword.size() > kPasswordBytes)
        result = 3;
    if (result == 0) {
        it->second.password = newPassword;
        // The program takes the new password as its logon text, and its joins carry it.
        auto session = m_sessions.find(req.userId);
        if (session != m_sessions.end()) session->second.logonText = newPassword;
    }
    // User id, a word, the result, a flag byte (1: take the new password), the text.
    answers::Payload p(13);
    p.i32(0, req.userId).i32(8, result).u8(12, result == 0 ? 1 : 0);
    p.text(13, result == 0 ? newPassword : std::string(), kPasswordBytes + 1);
    Send(r.connection, answers::Frame(answers::kLogonMain, 121, p));
    return "password of user " + std::to_string(req.userId) +
           (result ? " refused with " + std::to_string(result) : " changed");
}

}  // namespace testsupport
