// The logon server (logon, privileges, room groups) and the lobby server (profile
// and password changes) of the local world.
#include <cstring>

#include "Answers.h"
#include "LocalWorldRequest.h"
#include "kernel/CmdRecords.h"

namespace testsupport {

namespace {

// Logon request payload: user id, logon word, time, 36 bytes of password text.
constexpr size_t kLogonPasswordAt = 12;
constexpr size_t kLogonPasswordWidth = 36;
constexpr size_t kAliasBytes = 16;  // the alias fields hold 17 bytes with their NUL
constexpr size_t kPasswordBytes = 16;

// Private chat and the queue for registered users, the loudspeaker for members. The
// program's edition rules decide in the end; these only fill the server's table.
const answers::Privilege kPrivileges[] = {
    {4, 1, 0x020000, 0},  {4, 1, 0x030000, 0}, {34, 1, 0x020000, 0},
    {34, 1, 0x030000, 0}, {5, 1, 0x030000, 0},
};

}  // namespace

std::string LocalWorld::OnLogon(const Request& r) {
    const int32_t id = r.I32(0);
    const std::string text = r.Text(kLogonPasswordAt, kLogonPasswordWidth);
    Session s;
    s.logonText = text;
    int32_t userId = id;
    if (id == 0) {
        userId = m_nextGuestId++;
        s.alias = L"游客" + std::to_wstring(userId);
        s.level = 1;
    } else {
        auto it = m_accounts.find(id);
        int reason = 0;
        if (it == m_accounts.end())
            reason = kNoAccount;
        else if (it->second.banned)
            reason = kBanned;
        else if (it->second.password != text)
            reason = kWrongPassword;
        if (reason) {
            Send(r.connection, answers::LogonFailedAnswer(reason, id, 0));
            return "user " + std::to_string(id) + " refused with " + std::to_string(reason);
        }
        const Account& a = it->second;
        s.alias = a.alias;
        s.faceId = a.faceId;
        s.sex = a.sex;
        s.level = a.level;
        s.money = a.money;
        s.points = a.points;
    }
    m_sessions[userId] = s;

    answers::LogonOk ok;
    ok.money = s.money;
    ok.points = s.points;
    ok.userId = userId;
    ok.versionWord = VersionWord();
    ok.faceId = s.faceId;
    ok.levels[0] = s.level;
    ok.sex = s.sex;
    ok.alias = WireText(s.alias);
    Send(r.connection, answers::LogonOkAnswer(ok));
    Send(r.connection, answers::PrivilegeListAnswer(std::vector<answers::Privilege>(
                           std::begin(kPrivileges), std::end(kPrivileges))));
    SendGroups(r.connection);
    return id == 0 ? "guest logged on as " + std::to_string(userId)
                   : "user " + std::to_string(userId) + " logged on";
}

void LocalWorld::SendGroups(int connection) {
    for (const Group& g : m_groups) {
        answers::RoomGroup a;
        a.groupId = g.id;
        a.parentId = g.parentId;
        a.userNum = MembersIn(g.id);
        a.showCount = 1;
        a.name = WireText(g.name);
        a.address = g.address;
        Send(connection, answers::RoomGroupAnswer(a));
    }
    Send(connection, answers::RoomGroupListEndAnswer());
}

int LocalWorld::MembersIn(int groupId) const {
    int n = 0;
    for (const auto& [id, room] : m_rooms)
        if (room.groupId == groupId)
            n += static_cast<int>(room.members.size() + room.residents.size());
    return n;
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
    if (result == 0) it->second.password = newPassword;
    // User id, a word, the result, a flag byte (1: take the new password), the text.
    answers::Payload p(13);
    p.i32(0, req.userId).i32(8, result).u8(12, result == 0 ? 1 : 0);
    p.text(13, result == 0 ? newPassword : std::string(), kPasswordBytes + 1);
    Send(r.connection, answers::Frame(answers::kLogonMain, 121, p));
    return "password of user " + std::to_string(req.userId) +
           (result ? " refused with " + std::to_string(result) : " changed");
}

}  // namespace testsupport
