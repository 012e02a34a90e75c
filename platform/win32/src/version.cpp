// Version and processor information. No Windows version exists here: the
// version reads as 0.0, which the program's tables treat as an unknown system.
#include <sys/utsname.h>
#include <unistd.h>

#include <cstring>

#include "win32/version.h"

BOOL GetVersionExW(LPOSVERSIONINFOW info) {
    if (!info || (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOW) &&
                  info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOEXW))) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    DWORD size = info->dwOSVersionInfoSize;
    std::memset(info, 0, size);
    info->dwOSVersionInfoSize = size;
    info->dwMajorVersion = 0;
    info->dwMinorVersion = 0;
    info->dwBuildNumber = 0;
    info->dwPlatformId = VER_PLATFORM_WIN32_NT;
    if (size == sizeof(OSVERSIONINFOEXW))
        reinterpret_cast<LPOSVERSIONINFOEXW>(info)->wProductType = VER_NT_WORKSTATION;
    return TRUE;
}

void GetNativeSystemInfo(LPSYSTEM_INFO info) {
    if (!info) return;
    std::memset(info, 0, sizeof *info);
    struct utsname u {};
    uname(&u);
    WORD arch = PROCESSOR_ARCHITECTURE_UNKNOWN;
    DWORD type = 0;
    if (!std::strcmp(u.machine, "x86_64")) {
        arch = PROCESSOR_ARCHITECTURE_AMD64;
        type = 8664;  // PROCESSOR_AMD_X8664
    } else if (!std::strcmp(u.machine, "aarch64")) {
        arch = PROCESSOR_ARCHITECTURE_ARM64;
    } else if (u.machine[0] == 'i' && !std::strcmp(u.machine + 2, "86")) {
        arch = PROCESSOR_ARCHITECTURE_INTEL;
        type = 586;  // PROCESSOR_INTEL_PENTIUM
    }
    info->u.s.wProcessorArchitecture = arch;
    long page = sysconf(_SC_PAGESIZE);
    info->dwPageSize = page > 0 ? static_cast<DWORD>(page) : 4096;
    info->lpMinimumApplicationAddress = reinterpret_cast<LPVOID>(static_cast<uintptr_t>(0x10000));
    info->lpMaximumApplicationAddress = reinterpret_cast<LPVOID>(
        static_cast<uintptr_t>(sizeof(void*) == 8 ? 0x7FFFFFFEFFFFull : 0x7FFEFFFFull));
    long cpus = sysconf(_SC_NPROCESSORS_ONLN);
    info->dwNumberOfProcessors = cpus > 0 ? static_cast<DWORD>(cpus) : 1;
    info->dwActiveProcessorMask =
        info->dwNumberOfProcessors >= sizeof(DWORD_PTR) * 8
            ? ~static_cast<DWORD_PTR>(0)
            : (static_cast<DWORD_PTR>(1) << info->dwNumberOfProcessors) - 1;
    info->dwProcessorType = type;
    info->dwAllocationGranularity = 65536;
    info->wProcessorLevel = 6;
}

void GetSystemInfo(LPSYSTEM_INFO info) {
    GetNativeSystemInfo(info);
}
