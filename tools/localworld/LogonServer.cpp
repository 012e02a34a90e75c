// The logon server of the local world: logon, privileges and the room groups.
#include <cstring>

#include "Answers.h"
#include "WorldRequest.h"
#include "kernel/CmdRecords.h"

namespace testsupport {

namespace {

// Logon request payload: user id, logon word, time, 36 bytes of password text.
constexpr size_t kLogonPasswordAt = 12;
constexpr size_t kLogonPasswordWidth = 36;

// Private chat and the queue for registered users, the loudspeaker for members. The
// program's edition rules decide in the end; these only fill the server's table.
const answers::Privilege kPrivileges[] = {
    {4, 1, 0x020000, 0},  {4, 1, 0x030000, 0}, {34, 1, 0x020000, 0},
    {34, 1, 0x030000, 0}, {5, 1, 0x030000, 0},
};

}  // namespace

const std::vector<LocalWorld::Route>& LocalWorld::LogonRoutes() {
    static const std::vector<Route> routes = {
        {103, 3, 90, &LocalWorld::OnLogon},
    };
    return routes;
}

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
        // Face 0 has no picture in the skin: a guest would show an empty box.
        s.faceId = kGuestFace;
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

}  // namespace testsupport
