// The local world's web pages: the network test, the three update pages, the hall
// page, a room list per group (all rooms without a group), the room finder, and the
// page group's page.
// The pages of the service's windows are in ServicePages.cpp.
#include <algorithm>
#include <cstdlib>

#include "WorldRequest.h"
#include "http_test_server.h"

namespace testsupport {

std::string PageOf(const std::string& title, const std::string& body) {
    return "<html><head><meta charset=\"utf-8\"><title>" + title + "</title></head><body>" + body +
           "</body></html>";
}

// The lobby may append a second query with '?', so the number ends at the first non-digit.
int QueryNumber(const std::string& path, const std::string& name) {
    size_t at = path.find('?');
    while (at != std::string::npos) {
        at = path.find(name + "=", at);
        if (at == std::string::npos) return -1;
        const char before = path[at - 1];
        if (before == '?' || before == '&') break;
        at += name.size();
    }
    if (at == std::string::npos) return -1;
    return std::atoi(path.c_str() + at + name.size() + 1);
}

bool LocalWorld::Page(const HttpRequestSeen& request, HttpAnswer& answer) {
    std::lock_guard<std::mutex> g(m_lock);
    const std::string path = request.path.substr(0, request.path.find('?'));
    answer.status = 200;
    if (path == "/nettest.html")
        answer.body = "ok";
    else if (path == "/dl_mv_t1.php" || path == "/dl_mv_t2.php")
        answer.body = "// local test world: nothing to update\r\n";
    else if (path == "/dl_mv_t3.php")
        answer.body = m_options.version;
    else if (path == "/hall.php")
        answer.body = HallPage();
    else if (path == "/roomlist.php")
        answer.body = RoomListPage(QueryNumber(request.path, "ngroupid"));
    else if (path == "/find.html")
        answer.body = FinderPage(QueryNumber(request.path, "ngroupid"));
    else if (path == "/help.html")
        answer.body = HelpPage();
    else
        return ServicePage(path, request, answer);
    return true;
}

bool LocalWorld::InGroupTree(int groupId, int top) const {
    // Parents come before their children, so walking up ends.
    for (int id = groupId; id != 0;) {
        if (id == top) return true;
        int parent = 0;
        for (const Group& g : m_groups)
            if (g.id == id) parent = g.parentId;
        id = parent;
    }
    return false;
}

std::string LocalWorld::RoomLinks(const std::vector<int>& roomIds) const {
    if (roomIds.empty()) return "<p>这个分组里没有房间。</p>";
    std::string out = "<ul>";
    for (int id : roomIds) {
        const Room& room = m_rooms.at(id);
        const size_t people = room.members.size() + room.residents.size();
        out += "<li><a href=\"enterchatroom://" + std::to_string(id) +
               ",127.0.0.1:" + std::to_string(m_ports.room) + "\">" + Escaped(PageText(room.name)) +
               "</a> (" + std::to_string(id) + ", " + std::to_string(people) + " 人" +
               (room.password.empty() ? "" : ", 有密码") + ")</li>";
    }
    return out + "</ul>";
}

std::string LocalWorld::RoomListPage(int groupId) const {
    std::vector<int> ids;
    for (const auto& [id, room] : m_rooms)
        if (groupId < 0 || InGroupTree(room.groupId, groupId)) ids.push_back(id);
    std::wstring title = L"全部房间";
    for (const Group& g : m_groups)
        if (g.id == groupId) title = g.name;
    return PageOf(Escaped(PageText(title)),
                  "<h3>" + Escaped(PageText(title)) + "</h3>" + RoomLinks(ids));
}

std::string LocalWorld::GroupPath(int groupId) const {
    std::string path;
    // Parents come before their children, so walking up ends.
    for (int id = groupId; id != 0;) {
        int parent = 0;
        for (const Group& g : m_groups)
            if (g.id == id) {
                path = Escaped(PageText(g.name)) + (path.empty() ? "" : " › " + path);
                parent = g.parentId;
            }
        id = parent;
    }
    return path;
}

std::string LocalWorld::FinderPage(int groupId) const {
    // The browser runs no scripts and submits no forms: the finder is a list to pick
    // from, narrowed by group with links, every room a link the finder window joins.
    std::string groups = "<p>分类：<a href=\"find.html\">全部</a>";
    for (const Group& g : m_groups) {
        const bool holdsRooms = std::any_of(m_rooms.begin(), m_rooms.end(), [&](const auto& room) {
            return InGroupTree(room.second.groupId, g.id);
        });
        if (holdsRooms)
            groups += " | <a href=\"find.html?ngroupid=" + std::to_string(g.id) + "\">" +
                      Escaped(PageText(g.name)) + "</a>";
    }
    groups += "</p>";
    std::string rows =
        "<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\">"
        "<tr><th>房号</th><th>房间</th><th>分类</th><th>人数</th><th>密码</th></tr>";
    int shown = 0;
    for (const auto& [id, room] : m_rooms) {
        if (groupId >= 0 && !InGroupTree(room.groupId, groupId)) continue;
        const size_t people = room.members.size() + room.residents.size();
        rows += "<tr><td>" + std::to_string(id) + "</td><td><a href=\"enterchatroom://" +
                std::to_string(id) + ",127.0.0.1:" + std::to_string(m_ports.room) + "\">" +
                Escaped(PageText(room.name)) + "</a></td><td>" + GroupPath(room.groupId) +
                "</td><td>" + std::to_string(people) + "</td><td>" +
                (room.password.empty() ? "" : "有") + "</td></tr>";
        ++shown;
    }
    rows += "</table>";
    if (!shown) rows = "<p>这个分类里没有房间。</p>";
    return PageOf("查找房间", "<h3>查找房间</h3><p>点房间名进入房间。</p>" + groups + rows);
}

std::string LocalWorld::HallPage() const {
    std::vector<int> ids;
    for (const auto& room : m_rooms) ids.push_back(room.first);
    return PageOf("大厅",
                  "<h3>本地测试世界</h3><p>只在本机运行的测试服务器：没有安全措施，"
                  "密码是明文，一切只在内存中。</p>" +
                      RoomLinks(ids));
}

std::string LocalWorld::HelpPage() const {
    return PageOf("帮助",
                  "<h3>帮助</h3><p>帐号 10001 (密码 111111) 与 10002 (密码 222222) "
                  "可以登录；10003 已被封禁；游客登录会得到新的号码。</p>"
                  "<p>房间 1002 的密码是 8888。</p>");
}

}  // namespace testsupport
