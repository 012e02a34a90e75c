// The pages of the program's web windows: the emoticon picker, the account and top-up
// pages, registration (its result link hands the new account to the logon window),
// the icon help, the game and the welcome tip, and the skin's pictures they show.
// Plain HTML with pictures: no scripts, no forms.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "WorldRequest.h"
#include "http_test_server.h"

namespace testsupport {

namespace {

// "<digits>.gif" in the emoticon folder, or "<letters, digits, _>.png" at the top: nothing
// else of the disk is served.
bool SafeName(const std::string& name, const std::string& extension) {
    if (name.size() <= extension.size() ||
        name.compare(name.size() - extension.size(), extension.size(), extension))
        return false;
    return std::all_of(name.begin(), name.end() - static_cast<long>(extension.size()),
                       [](unsigned char c) { return std::isalnum(c) || c == '_'; });
}

std::string Coins(int64_t value) {
    return std::to_string(value);
}

}  // namespace

bool LocalWorld::ServicePage(const std::string& path, const HttpRequestSeen& request,
                             HttpAnswer& answer) {
    if (path == "/emotion.html")
        answer.body = EmoticonPage();
    else if (path == "/account.html")
        answer.body = AccountPage(QueryNumber(request.path, "nuserid"));
    else if (path == "/pay.html")
        answer.body = TopUpPage(
            std::max(QueryNumber(request.path, "nuserid"), QueryNumber(request.path, "uid")));
    else if (path == "/register.html")
        answer.body = RegisterPage();
    else if (path == "/registered.html")
        answer.body = RegisteredPage();
    else if (path == "/iconhelp.html")
        answer.body = IconHelpPage();
    else if (path == "/carkelt.html" || path == "/carkelt/game.php")
        answer.body = GamePage(QueryNumber(request.path, "uname"));
    else if (path == "/welcome.html")
        answer.body = WelcomePage();
    else
        return Picture(path, answer);
    return true;
}

bool LocalWorld::Picture(const std::string& path, HttpAnswer& answer) const {
    if (m_options.skinDir.empty()) return false;
    std::string file;
    const std::string emotion = "/emotion/";
    if (path.compare(0, emotion.size(), emotion) == 0 &&
        SafeName(path.substr(emotion.size()), ".gif"))
        file = m_options.skinDir + path;
    else if (path.size() > 1 && SafeName(path.substr(1), ".png"))
        file = m_options.skinDir + path;
    if (file.empty()) return false;
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    answer.body.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

std::string LocalWorld::EmoticonPage() const {
    std::vector<int> codes;
    std::error_code error;
    if (!m_options.skinDir.empty())
        for (const auto& entry :
             std::filesystem::directory_iterator(m_options.skinDir + "/emotion", error)) {
            const std::string name = entry.path().filename().string();
            if (SafeName(name, ".gif") &&
                std::all_of(name.begin(), name.end() - 4,
                            [](unsigned char c) { return std::isdigit(c); }))
                codes.push_back(std::atoi(name.c_str()));
        }
    std::sort(codes.begin(), codes.end());
    std::string grid = "<table cellspacing=\"2\"><tr>";
    for (size_t i = 0; i < codes.size(); ++i) {
        const std::string code = std::to_string(codes[i]);
        if (i && i % 8 == 0) grid += "</tr><tr>";
        // The picker takes the code from the file name the link ends with.
        grid += "<td><a href=\"clickemotion:" + code + ".gif\"><img src=\"emotion/" + code +
                ".gif\" alt=\"" + code + "\"></a></td>";
    }
    grid += "</tr></table>";
    if (codes.empty()) grid = "<p>没有表情图片。</p>";
    return PageOf("表情", grid);
}

std::string LocalWorld::AccountPage(int userId) const {
    auto a = m_accounts.find(userId);
    auto s = m_sessions.find(userId);
    if (a == m_accounts.end() && s == m_sessions.end())
        return PageOf("我的帐户", "<h3>我的帐户</h3><p>没有这个帐号。</p>");
    const std::wstring alias = s != m_sessions.end() ? s->second.alias : a->second.alias;
    const int64_t coins = s != m_sessions.end() ? s->second.money : a->second.money;
    const int64_t beans = s != m_sessions.end() ? s->second.points : a->second.points;
    const int level = s != m_sessions.end() ? s->second.level : a->second.level;
    return PageOf("我的帐户",
                  "<h3>我的帐户</h3><p><img src=\"level_" + std::string(level >= 3 ? "3" : "2") +
                      ".png\"> " + Escaped(PageText(alias)) + " (" + std::to_string(userId) +
                      ")</p><p>金币: " + Coins(coins) + "</p><p>豆: " + Coins(beans) + "</p>");
}

std::string LocalWorld::TopUpPage(int userId) const {
    auto s = m_sessions.find(userId);
    const std::string balance =
        s == m_sessions.end() ? "" : "<p>当前余额: " + Coins(s->second.money) + " 金币</p>";
    return PageOf("充值", "<h3>充值</h3>" + balance +
                              "<p>本地测试世界不收钱：帐号 10001 有很多金币，10002 只有一点。"
                              "豆可以在房间的兑换窗口里换成金币。</p>");
}

std::string LocalWorld::RegisterPage() const {
    return PageOf("注册",
                  "<h3>注册</h3><p>本地测试世界为你建一个新帐号 (只在内存中)。</p>"
                  "<p><a href=\"registered.html\">建一个新帐号</a></p>");
}

std::string LocalWorld::RegisteredPage() {
    const int id = m_nextRegisteredId++;
    Account account;
    account.password = std::to_string(id % 1000000);
    account.alias = L"新用户" + std::to_wstring(id);
    account.level = 2;
    account.money = kModestCoins;
    m_accounts[id] = account;
    const std::string link = "app:" + std::to_string(id) + ":" + account.password;
    return PageOf("注册成功", "<h3>注册成功</h3><p>帐号 " + std::to_string(id) + "，密码 " +
                                  account.password + "</p><p><a href=\"" + link +
                                  "\">用这个帐号登录</a></p>");
}

std::string LocalWorld::IconHelpPage() const {
    struct Icon {
        const char* picture;
        const char* meaning;
    };
    static const Icon kIcons[] = {
        {"level_guest", "游客"}, {"level_2", "注册用户"}, {"level_3", "会员"},
        {"mgr_1", "房主"},       {"mgr_2", "副房主"},     {"mgr_3", "管理员"},
        {"mgr_4", "临时管理员"}, {"castle_lord", "城主"}, {"castle_lady", "城主夫人"},
    };
    std::string rows = "<table>";
    for (const Icon& i : kIcons)
        rows += "<tr><td><img src=\"" + std::string(i.picture) + ".png\"></td><td>" + i.meaning +
                "</td></tr>";
    return PageOf("图标说明", "<h3>图标说明</h3>" + rows + "</table>");
}

std::string LocalWorld::GamePage(int userId) const {
    // The program opens "/carkelt/game.php" (its own fixed address) and the game group's
    // page; both are this page. Pictures are named from the top: the address has a folder.
    auto s = m_sessions.find(userId);
    const std::string player = s == m_sessions.end()
                                   ? std::string()
                                   : "<p>玩家：" + Escaped(PageText(s->second.alias)) + " (" +
                                         std::to_string(userId) + ")，金币 " +
                                         Coins(s->second.money) + "</p>";
    return PageOf("游戏", "<h3>游戏</h3>" + player +
                              "<p><img src=\"/bg_winning.png\"></p>"
                              "<p>本地测试世界的游戏只有这一页：这里不下注，也不收钱。</p>");
}

std::string LocalWorld::WelcomePage() const {
    return PageOf("欢迎",
                  "<h3>欢迎来到本地测试世界</h3><p><img src=\"fang.png\"> 房间 1001 谁都能进，"
                  "1002 的密码是 8888，1003 里有两个常驻成员。</p>");
}

}  // namespace testsupport
