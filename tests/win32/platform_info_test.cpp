#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "win32/win32.h"

namespace {

std::string makeTempFolder() {
    char tmpl[] = "/tmp/mivora-win32-XXXXXX";
    const char* d = mkdtemp(tmpl);
    return d ? d : "";
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
}

// A made-up /sys/class/net: loopback, two virtual wired adapters, a wireless
// one, one backed by a device, and one without a usable hardware address.
struct FakeNet {
    std::string root = makeTempFolder();
    FakeNet() {
        add("lo", "772", "00:00:00:00:00:00", "1", false);
        add("wlan0", "1", "a0:b1:c2:d3:e4:f5", "3", true);
        add("eth0", "1", "00:1a:2b:3c:4d:5e", "2", false);
        add("odd0", "1", "zz", "4", false);
        add("enp3s0", "1", "10:20:30:40:50:60", "9", false);
        mkdir((root + "/enp3s0/device").c_str(), 0755);
        winplat::SetNetClassFolder(root.c_str());
    }
    ~FakeNet() {
        winplat::SetNetClassFolder(nullptr);
        std::string cmd = "rm -rf '" + root + "'";
        EXPECT_EQ(std::system(cmd.c_str()), 0);
    }
    void add(const std::string& name, const std::string& type, const std::string& address,
             const std::string& index, bool wireless) {
        std::string d = root + "/" + name;
        mkdir(d.c_str(), 0755);
        writeFile(d + "/type", type + "\n");
        writeFile(d + "/address", address + "\n");
        writeFile(d + "/ifindex", index + "\n");
        if (wireless) mkdir((d + "/wireless").c_str(), 0755);
    }
};

// Real devices first, then by interface index.
TEST(IpHelper, AdaptersAreEthernetAndWirelessDevicesFirstWithTheSizeProtocol) {
    FakeNet net;
    ULONG size = 648;
    std::vector<unsigned char> small(size);
    auto* info = reinterpret_cast<IP_ADAPTER_INFO*>(small.data());
    ASSERT_EQ(GetAdaptersInfo(info, &size), static_cast<DWORD>(ERROR_BUFFER_OVERFLOW));
    EXPECT_EQ(size, 3 * sizeof(IP_ADAPTER_INFO));
    std::vector<IP_ADAPTER_INFO> buf(3);
    ASSERT_EQ(GetAdaptersInfo(buf.data(), &size), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_STREQ(buf[0].AdapterName, "enp3s0");
    EXPECT_EQ(buf[0].Next, &buf[1]);
    const IP_ADAPTER_INFO* a = &buf[1];
    EXPECT_STREQ(a->AdapterName, "eth0");
    EXPECT_EQ(a->Type, static_cast<UINT>(MIB_IF_TYPE_ETHERNET));
    EXPECT_EQ(a->AddressLength, 6u);
    EXPECT_EQ(a->Address[0], 0x00);
    EXPECT_EQ(a->Address[5], 0x5e);
    ASSERT_NE(a->Next, nullptr);
    EXPECT_STREQ(a->Next->AdapterName, "wlan0");
    EXPECT_EQ(a->Next->Type, static_cast<UINT>(IF_TYPE_IEEE80211));
    EXPECT_EQ(a->Next->Next, nullptr);
    EXPECT_EQ(GetAdaptersInfo(buf.data(), nullptr), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(IpHelper, NoAdapterGivesNoData) {
    std::string empty = makeTempFolder();
    winplat::SetNetClassFolder(empty.c_str());
    ULONG size = 0;
    EXPECT_EQ(GetAdaptersInfo(nullptr, &size), static_cast<DWORD>(ERROR_NO_DATA));
    winplat::SetNetClassFolder(nullptr);
    rmdir(empty.c_str());
}

class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("XDG_CONFIG_HOME");
        saved_ = old ? old : "";
        hadOld_ = old != nullptr;
        config_ = makeTempFolder();
        setenv("XDG_CONFIG_HOME", config_.c_str(), 1);
    }
    void TearDown() override {
        if (hadOld_)
            setenv("XDG_CONFIG_HOME", saved_.c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
        std::string cmd = "rm -rf '" + config_ + "'";
        EXPECT_EQ(std::system(cmd.c_str()), 0);
    }
    std::string config_, saved_;
    bool hadOld_ = false;
};

TEST_F(Registry, TheRunKeyIsAnAutostartEntry) {
    HKEY windows = nullptr, version = nullptr, run = nullptr;
    ASSERT_EQ(
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SoftWare\\Microsoft\\Windows", 0, KEY_WRITE, &windows),
        ERROR_SUCCESS);
    ASSERT_EQ(RegCreateKeyExW(windows, L"CurrentVersion", 0, nullptr, 0, KEY_WRITE, nullptr,
                              &version, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegCreateKeyExW(version, L"Run", 0, nullptr, 0, KEY_WRITE, nullptr, &run, nullptr),
              ERROR_SUCCESS);
    const wchar_t program[] = L"C:\\Program Files\\Mivora $1\\mivora.exe";
    ASSERT_EQ(RegSetValueExW(run, L"MivoraChat", 0, REG_SZ, reinterpret_cast<const BYTE*>(program),
                             sizeof program),
              ERROR_SUCCESS);
    std::string entry;
    ASSERT_TRUE(winplat::ReadWholeFile(
        winplat::Utf8ToWide(config_ + "/autostart/MivoraChat.desktop"), entry));
    EXPECT_NE(entry.find("[Desktop Entry]\n"), std::string::npos);
    EXPECT_NE(entry.find("\nExec=\"/Program Files/Mivora \\\\$1/mivora.exe\"\n"),
              std::string::npos);

    wchar_t back[MAX_PATH] = {};
    DWORD size = sizeof back, type = 0;
    ASSERT_EQ(
        RegQueryValueExW(run, L"MivoraChat", nullptr, &type, reinterpret_cast<BYTE*>(back), &size),
        ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_STREQ(back, L"\\Program Files\\Mivora $1\\mivora.exe");

    EXPECT_EQ(RegDeleteValueW(run, L"MivoraChat"), ERROR_SUCCESS);
    EXPECT_NE(access((config_ + "/autostart/MivoraChat.desktop").c_str(), F_OK), 0);
    EXPECT_EQ(RegDeleteValueW(run, L"MivoraChat"), ERROR_FILE_NOT_FOUND);
    for (HKEY k : {run, version, windows}) EXPECT_EQ(RegCloseKey(k), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(run), ERROR_INVALID_HANDLE);
}

TEST_F(Registry, OtherValuesAreKeptInMemoryWithWindowsSizeRules) {
    HKEY k = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Mivora\\Test", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &k, &disposition),
              ERROR_SUCCESS);
    DWORD v = 1234;
    ASSERT_EQ(RegSetValueExW(k, L"Count", 0, REG_DWORD, reinterpret_cast<BYTE*>(&v), sizeof v),
              ERROR_SUCCESS);
    DWORD out = 0, size = 2, type = 0;
    EXPECT_EQ(RegQueryValueExW(k, L"count", nullptr, &type, reinterpret_cast<BYTE*>(&out), &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, sizeof(DWORD));
    EXPECT_EQ(RegQueryValueExW(k, L"count", nullptr, &type, reinterpret_cast<BYTE*>(&out), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(out, 1234u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(RegQueryValueExW(k, L"Missing", nullptr, nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    RegCloseKey(k);
}

TEST(Version, NoWindowsVersionReadsAsAnUnknownSystem) {
    OSVERSIONINFOEXW v{};
    v.dwOSVersionInfoSize = sizeof v;
    ASSERT_TRUE(GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&v)));
    EXPECT_EQ(v.dwMajorVersion, 0u);
    EXPECT_EQ(v.dwMinorVersion, 0u);
    EXPECT_EQ(v.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
    EXPECT_EQ(v.wProductType, VER_NT_WORKSTATION);
    OSVERSIONINFOEXW bad{};
    bad.dwOSVersionInfoSize = 3;
    EXPECT_FALSE(GetVersionExW(&bad));
    SYSTEM_INFO si;
    GetNativeSystemInfo(&si);
#if defined(__x86_64__)
    EXPECT_EQ(si.u.s.wProcessorArchitecture, PROCESSOR_ARCHITECTURE_AMD64);
#endif
    EXPECT_GE(si.dwNumberOfProcessors, 1u);
}

TEST(Ole, StartUpCallsSucceedAndOnlyTheRichEditLibraryLoads) {
    EXPECT_EQ(OleInitialize(nullptr), S_OK);
    HMODULE m = LoadLibraryW(L"Riched20.dll");
    EXPECT_NE(m, nullptr);
    EXPECT_TRUE(FreeLibrary(m));
    EXPECT_EQ(LoadLibraryW(L"kernel32.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    OleUninitialize();
}

}  // namespace
