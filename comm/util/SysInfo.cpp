#include "util/SysInfo.h"

#include <cstdio>
#include <vector>

namespace {

constexpr ULONG kFirstAdapterBuffer = 648;
constexpr UINT kAdapterTypeEthernet = 6;
constexpr UINT kAdapterTypeWireless = 71;

}  // namespace

void GetMacAddress(char* out) {
    if (!out) return;
    ULONG size = kFirstAdapterBuffer;
    std::vector<unsigned char> buf(size);
    DWORD rc = GetAdaptersInfo(reinterpret_cast<PIP_ADAPTER_INFO>(buf.data()), &size);
    if (rc == ERROR_BUFFER_OVERFLOW) {
        buf.assign(size, 0);
        rc = GetAdaptersInfo(reinterpret_cast<PIP_ADAPTER_INFO>(buf.data()), &size);
    }
    if (rc != ERROR_SUCCESS) {
        out[0] = '\0';
        return;
    }
    for (auto* a = reinterpret_cast<PIP_ADAPTER_INFO>(buf.data()); a; a = a->Next) {
        if (a->Type != kAdapterTypeEthernet && a->Type != kAdapterTypeWireless) continue;
        std::snprintf(out, 18, "%02X-%02X-%02X-%02X-%02X-%02X", a->Address[0], a->Address[1],
                      a->Address[2], a->Address[3], a->Address[4], a->Address[5]);
        return;
    }
}

void SetAutoStart(const wchar_t* valueName, int enable) {
    HKEY windows = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SoftWare\\Microsoft\\Windows", 0, KEY_WRITE,
                      &windows) != ERROR_SUCCESS)
        return;
    HKEY current = nullptr;
    if (RegCreateKeyExW(windows, L"CurrentVersion", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                        nullptr, &current, nullptr) != ERROR_SUCCESS) {
        RegCloseKey(windows);
        return;
    }
    HKEY run = nullptr;
    if (RegCreateKeyExW(current, L"Run", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                        &run, nullptr) == ERROR_SUCCESS) {
        if (!enable) {
            RegDeleteValueW(run, valueName);
        } else {
            wchar_t path[MAX_PATH] = {0};
            DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
            if (n > 0 && n < MAX_PATH)
                RegSetValueExW(run, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(path),
                               static_cast<DWORD>((n + 1) * sizeof(wchar_t)));
        }
        RegCloseKey(run);
    }
    RegCloseKey(current);
    RegCloseKey(windows);
}

namespace {

constexpr BYTE kWorkstation = 1;     // VER_NT_WORKSTATION
constexpr DWORD kPlatformNT = 2;     // VER_PLATFORM_WIN32_NT
constexpr int kServerR2Metric = 89;  // SM_SERVERR2
constexpr WORD kArchAmd64 = 9;       // PROCESSOR_ARCHITECTURE_AMD64

bool ReadVersion(OSVERSIONINFOEXW& v) {
    ZeroMemory(&v, sizeof v);
    v.dwOSVersionInfoSize = sizeof v;
    return GetVersionExW(&v) != FALSE;
}

bool IsServerR2() {
    return GetSystemMetrics(kServerR2Metric) != 0;
}

bool IsX64() {
    SYSTEM_INFO si;
    ZeroMemory(&si, sizeof si);
    GetNativeSystemInfo(&si);
    return si.u.s.wProcessorArchitecture == kArchAmd64;
}

}  // namespace

CString getSystemName() {
    OSVERSIONINFOEXW v;
    if (!ReadVersion(v)) return CString();
    const bool workstation = v.wProductType == kWorkstation;
    const DWORD major = v.dwMajorVersion, minor = v.dwMinorVersion;
    if (major == 4) {
        if (minor == 0)
            return v.dwPlatformId == kPlatformNT ? L"Microsoft Windows NT 4.0"
                                                 : L"Microsoft Windows 95";
        if (minor == 10) return L"Microsoft Windows 98";
        if (minor == 90) return L"Microsoft Windows Me";
        return CString();
    }
    if (major == 5) {
        if (minor == 0) return L"Microsoft Windows 2000";
        if (minor == 1) return L"Microsoft Windows XP";
        if (minor == 2) {
            if (workstation && IsX64()) return L"Microsoft Windows XP Professional x64 Edition";
            return IsServerR2() ? L"Microsoft Windows Server 2003 R2"
                                : L"Microsoft Windows Server 2003";
        }
        return CString();
    }
    if (major == 6) {
        switch (minor) {
            case 0:
                return workstation ? L"Microsoft Windows Vista" : L"Microsoft Windows Server 2008";
            case 1:
                return workstation ? L"Microsoft Windows 7" : L"Microsoft Windows Server 2008 R2";
            case 2:
                return workstation ? L"Microsoft Windows 8" : L"";
            case 3:
                return workstation ? L"Microsoft Window 8" : L"";
            default:
                return CString();
        }
    }
    return L"未知操作系统";
}

CString getVersionMark() {
    OSVERSIONINFOEXW v;
    if (!ReadVersion(v)) return CString();
    const DWORD major = v.dwMajorVersion, minor = v.dwMinorVersion;
    const WORD suite = v.wSuiteMask;
    if (major == 5 && minor == 0) return suite == 2 ? L"Advanced Server" : L"";
    if (major == 5 && minor == 1) {
        if (suite == 64) return L"Embedded";
        if (suite == 512) return L"Home Edition";
        return L"Professional";
    }
    if (major == 5 && minor == 2) {
        if (IsServerR2()) return suite == 8192 ? L"Storage Server" : L"";
        switch (suite) {
            case 1024:
                return L"Web Edition";
            case 16384:
                return L"Compute Cluster Edition";
            case 8192:
                return L"Storage Server";
            case 128:
                return L"Datacenter Edition";
            case 2:
                return L"Enterprise Edition";
            default:
                return CString();
        }
    }
    if (major == 6 && minor == 0) {
        if (v.wProductType != kWorkstation) {
            if (suite == 128) return L"Datacenter Server";
            if (suite == 2) return L"Enterprise";
            return CString();
        }
        return suite == 512 ? L"Home" : L"";
    }
    return CString();
}
