// GetAdaptersInfo from /sys/class/net (kind and hardware address) and
// getifaddrs (IPv4 address): Ethernet and wireless adapters only.
#include <arpa/inet.h>
#include <dirent.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "win32/iphlpapi.h"

namespace {

std::mutex g_lock;
std::string g_folder = "/sys/class/net";

struct Adapter {
    std::string name;
    UINT type;
    DWORD index;
    BYTE address[MAX_ADAPTER_ADDRESS_LENGTH];
    UINT addressLength;
};

std::string readLine(const std::string& path) {
    std::ifstream f(path);
    std::string line;
    std::getline(f, line);
    return line;
}

bool isFolder(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// "aa:bb:cc:dd:ee:ff" into bytes; false when malformed.
bool parseAddress(const std::string& text, Adapter& a) {
    a.addressLength = 0;
    size_t i = 0;
    while (i < text.size() && a.addressLength < MAX_ADAPTER_ADDRESS_LENGTH) {
        unsigned v;
        if (std::sscanf(text.c_str() + i, "%2x", &v) != 1) return false;
        a.address[a.addressLength++] = static_cast<BYTE>(v);
        i += 2;
        if (i < text.size() && text[i] != ':') return false;
        ++i;
    }
    return a.addressLength == 6;
}

std::vector<Adapter> listAdapters(const std::string& folder) {
    std::vector<Adapter> out;
    DIR* d = opendir(folder.c_str());
    if (!d) return out;
    while (dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        std::string base = folder + "/" + name;
        if (readLine(base + "/type") != "1") continue;  // ARPHRD_ETHER; loopback is 772
        Adapter a{};
        a.name = name;
        if (!parseAddress(readLine(base + "/address"), a)) continue;
        a.type = isFolder(base + "/wireless") || isFolder(base + "/phy80211") ? IF_TYPE_IEEE80211
                                                                               : MIB_IF_TYPE_ETHERNET;
        a.index = static_cast<DWORD>(std::strtoul(readLine(base + "/ifindex").c_str(), nullptr, 10));
        out.push_back(a);
    }
    closedir(d);
    std::sort(out.begin(), out.end(), [](const Adapter& x, const Adapter& y) {
        return x.index != y.index ? x.index < y.index : x.name < y.name;
    });
    return out;
}

void copyText(char* dst, size_t size, const std::string& src) {
    std::snprintf(dst, size, "%s", src.c_str());
}

void fillAddress(IP_ADAPTER_INFO& info, const std::string& name) {
    copyText(info.IpAddressList.IpAddress.String, sizeof info.IpAddressList.IpAddress.String, "0.0.0.0");
    copyText(info.IpAddressList.IpMask.String, sizeof info.IpAddressList.IpMask.String, "0.0.0.0");
    copyText(info.GatewayList.IpAddress.String, sizeof info.GatewayList.IpAddress.String, "0.0.0.0");
    copyText(info.GatewayList.IpMask.String, sizeof info.GatewayList.IpMask.String, "0.0.0.0");
    ifaddrs* all = nullptr;
    if (getifaddrs(&all) != 0) return;
    for (ifaddrs* i = all; i; i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET || name != i->ifa_name) continue;
        char text[INET_ADDRSTRLEN];
        auto* a = reinterpret_cast<sockaddr_in*>(i->ifa_addr);
        if (inet_ntop(AF_INET, &a->sin_addr, text, sizeof text))
            copyText(info.IpAddressList.IpAddress.String, sizeof info.IpAddressList.IpAddress.String, text);
        if (i->ifa_netmask) {
            auto* m = reinterpret_cast<sockaddr_in*>(i->ifa_netmask);
            if (inet_ntop(AF_INET, &m->sin_addr, text, sizeof text))
                copyText(info.IpAddressList.IpMask.String, sizeof info.IpAddressList.IpMask.String, text);
        }
        break;
    }
    freeifaddrs(all);
}

}  // namespace

namespace winplat {
void SetNetClassFolder(const char* folder) {
    std::lock_guard<std::mutex> g(g_lock);
    g_folder = folder && *folder ? folder : "/sys/class/net";
}
}  // namespace winplat

DWORD GetAdaptersInfo(PIP_ADAPTER_INFO info, PULONG size) {
    if (!size) return ERROR_INVALID_PARAMETER;
    std::string folder;
    {
        std::lock_guard<std::mutex> g(g_lock);
        folder = g_folder;
    }
    std::vector<Adapter> adapters = listAdapters(folder);
    if (adapters.empty()) return ERROR_NO_DATA;
    ULONG needed = static_cast<ULONG>(adapters.size() * sizeof(IP_ADAPTER_INFO));
    if (!info || *size < needed) {
        *size = needed;
        return ERROR_BUFFER_OVERFLOW;
    }
    std::memset(info, 0, needed);
    for (size_t i = 0; i < adapters.size(); ++i) {
        const Adapter& a = adapters[i];
        IP_ADAPTER_INFO& out = info[i];
        out.Next = i + 1 < adapters.size() ? &info[i + 1] : nullptr;
        out.ComboIndex = a.index;
        copyText(out.AdapterName, sizeof out.AdapterName, a.name);
        copyText(out.Description, sizeof out.Description, a.name);
        out.AddressLength = a.addressLength;
        std::memcpy(out.Address, a.address, a.addressLength);
        out.Index = a.index;
        out.Type = a.type;
        fillAddress(out, a.name);
    }
    return ERROR_SUCCESS;
}
