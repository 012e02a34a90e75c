#include "app/TrustedGates.h"

#include <algorithm>
#include <set>
#include <string>

#include "config/GLobalConfigFile.h"
#include "controls/KernelData.h"
#include "model/FixedText.h"
#include "session/CommKernelData.h"
#include "util/LogPrint.h"
#include "win32/text.h"

const wchar_t kUnknownGateHint[] = L"该房间链接指向未知的服务器,已忽略.";

namespace {

// Gates the configured web server's pages gave, for this run of the program.
std::set<std::wstring>& LearntHosts() {
    static std::set<std::wstring> hosts;
    return hosts;
}

std::wstring LowerAscii(std::wstring s) {
    for (wchar_t& c : s)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return s;
}

bool InTable(const tag_ServerAddr* table, const std::wstring& host) {
    if (!table) return false;
    for (int i = 0; i < kServerTableSize; ++i) {
        const std::string entry = FixedFieldText(table[i].szHost, sizeof table[i].szHost);
        if (!entry.empty() && LowerAscii(winplat::Utf8ToWide(entry)) == host) return true;
    }
    return false;
}

bool IsTrustedHost(const std::wstring& host) {
    if (host.empty()) return false;
    if (LearntHosts().count(host)) return true;
    CCommKernelData* data = KernelData();
    if (!data) return false;
    // The room-gate table holds the gate of the room joined last, which was trusted.
    return InTable(data->m_pLogonSvrTable, host) || InTable(data->m_pLobbySvrTable, host) ||
           InTable(data->m_pRoomGateTable, host);
}

// The configuration's web addresses, each read within its field.
std::vector<std::wstring> ConfiguredWebAddresses(const CGLobalConfigFile& c) {
    std::vector<std::wstring> out;
    auto add = [&out](const auto& field) {
        const size_t n = std::size(field);
        out.emplace_back(field, std::find(field, field + n, L'\0'));
    };
    add(c.www_page), add(c.index_page), add(c.daili_page), add(c.user_page);
    add(c.pay_page), add(c.register0_page), add(c.register_page), add(c.getpwd_page);
    add(c.getbox_page), add(c.top10_page), add(c.roomlist_page), add(c.qq_service);
    add(c.help_icon_page), add(c.help_level_page), add(c.userinfo_page), add(c.my_page);
    add(c.favorite_page), add(c.lastgo_page), add(c.login_banner), add(c.agent_url);
    add(c.sysnotify_url), add(c.ad_url1), add(c.ad_url2), add(c.flash_url);
    add(c.chatcss_url), add(c.welltip_url), add(c.userreg_url), add(c.usercenter_url);
    add(c.agentcenter_url), add(c.mangercenter_url), add(c.vcbmanager_url), add(c.myacc_url);
    add(c.dating_url), add(c.roomlist_url), add(c.iconhelp_url), add(c.find_url);
    add(c.emotion_url0), add(c.emotion_url1), add(c.emotion_url2), add(c.ver_url1);
    add(c.ver_url2), add(c.soft_url), add(c.company_url), add(c.getpaid_url);
    add(c.userpay_url), add(c.userhelp_url);
    return out;
}

}  // namespace

bool IsConfiguredWebPage(const std::wstring& url) {
    const std::wstring host = WebAddressHost(url);
    CCommKernelData* data = KernelData();
    if (host.empty() || !data) return false;
    for (const std::wstring& address : ConfiguredWebAddresses(data->m_GlobalConfig))
        if (WebAddressHost(address) == host) return true;
    return false;
}

bool IsTrustedGateList(const RoomGateList& list) {
    return !list.gates.empty() &&
           std::all_of(list.gates.begin(), list.gates.end(),
                       [](const RoomLinkGate& g) { return IsTrustedHost(g.host); });
}

bool AcceptRoomLink(const RoomLink& link, const std::wstring& page, const char* where) {
    if (!page.empty() && IsConfiguredWebPage(page)) {
        for (const RoomLinkGate& g : link.gate.gates) LearntHosts().insert(g.host);
        return true;
    }
    if (IsTrustedGateList(link.gate)) return true;
    __log_print__("tag_%s: 房间链接指向未知的服务器, 不进入: room=%d gate=%s", where, link.roomId,
                  winplat::WideToUtf8(link.gate.text).c_str());
    return false;
}

void ForgetLearntGates() {
    LearntHosts().clear();
}
