// IP Helper's adapter list, built from getifaddrs and /sys/class/net.
#pragma once

#include <ctime>

#include "win32/base.h"

#define MAX_ADAPTER_DESCRIPTION_LENGTH 128
#define MAX_ADAPTER_NAME_LENGTH 256
#define MAX_ADAPTER_ADDRESS_LENGTH 8

#define MIB_IF_TYPE_OTHER 1
#define MIB_IF_TYPE_ETHERNET 6
#define MIB_IF_TYPE_TOKENRING 9
#define MIB_IF_TYPE_FDDI 15
#define MIB_IF_TYPE_PPP 23
#define MIB_IF_TYPE_LOOPBACK 24
#define MIB_IF_TYPE_SLIP 28
#define IF_TYPE_IEEE80211 71

#define ERROR_NO_DATA 232L
#define ERROR_NOT_SUPPORTED 50L

struct IP_ADDRESS_STRING {
    char String[4 * 4];
};
typedef IP_ADDRESS_STRING IP_MASK_STRING;

struct IP_ADDR_STRING {
    IP_ADDR_STRING* Next;
    IP_ADDRESS_STRING IpAddress;
    IP_MASK_STRING IpMask;
    DWORD Context;
};
typedef IP_ADDR_STRING* PIP_ADDR_STRING;

struct IP_ADAPTER_INFO {
    IP_ADAPTER_INFO* Next;
    DWORD ComboIndex;
    char AdapterName[MAX_ADAPTER_NAME_LENGTH + 4];
    char Description[MAX_ADAPTER_DESCRIPTION_LENGTH + 4];
    UINT AddressLength;
    BYTE Address[MAX_ADAPTER_ADDRESS_LENGTH];
    DWORD Index;
    UINT Type;
    UINT DhcpEnabled;
    PIP_ADDR_STRING CurrentIpAddress;
    IP_ADDR_STRING IpAddressList;
    IP_ADDR_STRING GatewayList;
    IP_ADDR_STRING DhcpServer;
    BOOL HaveWins;
    IP_ADDR_STRING PrimaryWinsServer;
    IP_ADDR_STRING SecondaryWinsServer;
    time_t LeaseObtained;
    time_t LeaseExpires;
};
typedef IP_ADAPTER_INFO* PIP_ADAPTER_INFO;
typedef ULONG* PULONG;

// The Ethernet (6) and wireless (71) adapters with a hardware address; the
// loopback and other kinds are left out. ERROR_BUFFER_OVERFLOW with the size
// needed in *size when the buffer is too small (or null); ERROR_NO_DATA when
// there is no adapter.
DWORD GetAdaptersInfo(PIP_ADAPTER_INFO info, PULONG size);

namespace winplat {
// Where the adapter list is read from (tests point it at a made-up tree);
// empty restores "/sys/class/net".
void SetNetClassFolder(const char* folder);
}  // namespace winplat
