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
#include <map>
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
    bool physical;   // backed by a device, not a virtual interface
    std::string ip;  // first IPv4 address, empty when none
    std::string mask;
};

// The first IPv4 address and mask of each interface.
std::map<std::string, std::pair<std::string, std::string>> ipv4Addresses() {
    std::map<std::string, std::pair<std::string, std::string>> out;
    ifaddrs* all = nullptr;
    if (getifaddrs(&all) != 0) return out;
    for (ifaddrs* i = all; i; i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET || out.count(i->ifa_name)) continue;
        char ip[INET_ADDRSTRLEN] = "0.0.0.0", mask[INET_ADDRSTRLEN] = "0.0.0.0";
        inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(i->ifa_addr)->sin_addr, ip, sizeof ip);
        if (i->ifa_netmask)
            inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(i->ifa_netmask)->sin_addr, mask,
                      sizeof mask);
        out[i->ifa_name] = {ip, mask};
    }
    freeifaddrs(all);
    return out;
}

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
    auto addresses = ipv4Addresses();
    while (dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        std::string base = folder + "/" + name;
        if (readLine(base + "/type") != "1") continue;  // ARPHRD_ETHER; loopback is 772
        Adapter a{};
        a.name = name;
        if (!parseAddress(readLine(base + "/address"), a)) continue;
        a.type = isFolder(base + "/wireless") || isFolder(base + "/phy80211")
                     ? IF_TYPE_IEEE80211
                     : MIB_IF_TYPE_ETHERNET;
        a.index =
            static_cast<DWORD>(std::strtoul(readLine(base + "/ifindex").c_str(), nullptr, 10));
        a.physical = isFolder(base + "/device");
        auto ip = addresses.find(name);
        if (ip != addresses.end()) {
            a.ip = ip->second.first;
            a.mask = ip->second.second;
        }
        out.push_back(a);
    }
    closedir(d);
    // The program takes the first adapter as the machine's, so the order must
    // not change with the network's state: real devices first, then interface order.
    std::sort(out.begin(), out.end(), [](const Adapter& x, const Adapter& y) {
        if (x.physical != y.physical) return x.physical;
        return x.index != y.index ? x.index < y.index : x.name < y.name;
    });
    return out;
}

void copyText(char* dst, size_t size, const std::string& src) {
    std::snprintf(dst, size, "%s", src.c_str());
}

void fillAddress(IP_ADAPTER_INFO& info, const Adapter& a) {
    auto& list = info.IpAddressList;
    copyText(list.IpAddress.String, sizeof list.IpAddress.String, a.ip.empty() ? "0.0.0.0" : a.ip);
    copyText(list.IpMask.String, sizeof list.IpMask.String, a.mask.empty() ? "0.0.0.0" : a.mask);
    copyText(info.GatewayList.IpAddress.String, sizeof info.GatewayList.IpAddress.String,
             "0.0.0.0");
    copyText(info.GatewayList.IpMask.String, sizeof info.GatewayList.IpMask.String, "0.0.0.0");
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
        fillAddress(out, a);
    }
    return ERROR_SUCCESS;
}
