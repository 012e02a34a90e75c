// The application object: the AV device file, the shared block, the shutdown and
// the game program.
#include <sys/stat.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

#include "app/ClientApp.h"
#include "app_fixture.h"
#include "kernel/CommKernel.h"
#include "model/PrivilegeIds.h"
#include "model/UserMVManager.h"
#include "session/CommKernelData.h"

namespace fs = std::filesystem;

namespace {

class ClientAppTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        UseProgramFolder(program_);
    }
    TempDir program_;
};

TEST_F(ClientAppTest, AvConfigFile) {
    struct Case {
        const char* name;
        const char* text;  // null: no file
        unsigned waveIn, waveOut;
        int video;
    } cases[] = {
        {"missing", nullptr, 0xFFFFFFFFu, 0xFFFFFFFFu, 0},
        {"three numbers", "3 1 2", 3, 1, 2},
        {"garbage", "abc def", 0xFFFFFFFFu, 0xFFFFFFFFu, 0},
        {"cut short", "4 5", 4, 5, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(program_.nativePath("avconfig.txt"));
        if (c.text) WriteText(program_.nativePath("avconfig.txt"), c.text);
        CClientApp app;
        app.Init();
        app.LoadAVConfig();
        EXPECT_EQ(app.m_nWaveInDev, c.waveIn);
        EXPECT_EQ(app.m_nWaveOutDev, c.waveOut);
        EXPECT_EQ(app.m_nVideoDev, c.video);
        app.Shutdown();
    }
}

TEST_F(ClientAppTest, AvConfigRoundTrip) {
    CClientApp app;
    app.m_nWaveInDev = 2;
    app.m_nWaveOutDev = 0xFFFFFFFFu;
    app.m_nVideoDev = 1;
    app.SaveAVConfig();
    EXPECT_EQ(ReadText(program_.nativePath("avconfig.txt")), "2 4294967295 1");
    CClientApp again;
    again.LoadAVConfig();
    EXPECT_EQ(again.m_nWaveInDev, 2u);
    EXPECT_EQ(again.m_nWaveOutDev, 0xFFFFFFFFu);
    EXPECT_EQ(again.m_nVideoDev, 1);
}

// Another client (or the game program) made the section first and left bytes in it.
TEST_F(ClientAppTest, ExistingSectionIsReset) {
    HANDLE other = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 16,
                                      MIVORA_GAME_SECTION_NAME);
    ASSERT_NE(other, nullptr);
    auto* view = static_cast<unsigned char*>(MapViewOfFile(other, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    ASSERT_NE(view, nullptr);
    std::memset(view, 0xAB, 16);

    CClientApp app;
    app.Init();
    ASSERT_NE(app.m_pShareBlock, nullptr);
    const unsigned char expected[16] = {16, 0};
    EXPECT_EQ(std::memcmp(view, expected, 16), 0);
    EXPECT_STREQ(app.m_szSectionName, "8x8509317246650913");
    app.Shutdown();
    EXPECT_EQ(app.m_pShareBlock, nullptr);

    UnmapViewOfFile(view);
    CloseHandle(other);
}

struct PeerLog {
    UINT msg = 0;
    WPARAM wParam = 0;
    LPARAM lParam = -1;
};
PeerLog g_peer;

LRESULT CALLBACK PeerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == UM_GAME_LINK_CLOSE) g_peer = PeerLog{msg, wParam, lParam};
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

TEST_F(ClientAppTest, ShutdownTellsOnlyAWindowPeer) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = PeerProc;
    wc.lpszClassName = L"GamePeerTest";
    RegisterClassW(&wc);
    HWND peer =
        CreateWindowExW(0, L"GamePeerTest", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(peer, nullptr);

    struct Case {
        const char* name;
        uint32_t value;
        bool told;
    } cases[] = {
        {"a window", static_cast<uint32_t>(reinterpret_cast<uintptr_t>(peer)), true},
        {"not a window", 0x7FFF1234u, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_peer = PeerLog{};
        CClientApp app;
        app.Init();
        ASSERT_NE(app.m_pShareBlock, nullptr);
        tagGameShareBlock* block = app.m_pShareBlock;
        // Look at the block through a view of our own, which outlives the shutdown.
        HANDLE h = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, MIVORA_GAME_SECTION_NAME);
        ASSERT_NE(h, nullptr);
        auto* view =
            static_cast<tagGameShareBlock*>(MapViewOfFile(h, FILE_MAP_ALL_ACCESS, 0, 0, 0));
        ASSERT_NE(view, nullptr);
        block->dwLobbyWnd = 0x1111;
        block->dwPeerWnd = c.value;

        app.Shutdown();
        PumpPending();
        EXPECT_EQ(g_peer.msg, c.told ? static_cast<UINT>(UM_GAME_LINK_CLOSE) : 0u);
        if (c.told) {
            EXPECT_EQ(g_peer.wParam, 1002u);
            EXPECT_EQ(g_peer.lParam, 0);
        }
        EXPECT_EQ(view->dwPeerWnd, 0u);
        EXPECT_EQ(view->dwLobbyWnd, 0u);
        EXPECT_EQ(view->wSize, 16);
        UnmapViewOfFile(view);
        CloseHandle(h);
    }
    DestroyWindow(peer);
}

// The logon window hands the delegate to the privilege manager; after the shutdown
// the manager must not ask the deleted one (the sanitizer build sees a use).
TEST_F(ClientAppTest, PrivilegeCheckAfterShutdown) {
    CClientApp app;
    app.Init();
    CUserMVManager* manager = CCommKernel::GetInstance()->m_pData->m_pUserMVManager;
    ASSERT_NE(app.m_pUserMVDelegate, nullptr);
    manager->SetDelegate(app.m_pUserMVDelegate);
    app.Shutdown();
    EXPECT_EQ(app.m_pUserMVDelegate, nullptr);
    EXPECT_EQ(manager->delegate, nullptr);
    CUserObj user;
    user.levels[0] = 3;
    manager->CheckPrivilege(static_cast<short>(100), &user);
}

// The program folder may hold blanks; the game program still gets its arguments whole.
TEST_F(ClientAppTest, OpenGameFromAFolderWithABlank) {
    const std::string folder = program_.nativePath("Mivora Client");
    fs::create_directories(folder + "/Game");
    const std::string script = folder + "/Game/drovel.exe";
    WriteText(script,
              "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$(dirname "
              "\"$0\")/args.tmp\"\n"
              "mv \"$(dirname \"$0\")/args.tmp\" \"$(dirname \"$0\")/args.txt\"\n");
    ::chmod(script.c_str(), 0755);
    CCommKernelData* data = CCommKernel::GetInstance()->m_pData;
    const std::wstring windowsFolder = winplat::ToWindowsPath(folder);
    ASSERT_LT(windowsFolder.size(), sizeof(data->m_szAppPath) / sizeof(wchar_t));
    std::wcscpy(data->m_szAppPath, windowsFolder.c_str());

    CClientApp app;
    app.Init();
    app.m_pLocalUser->userId = 5208;
    app.m_pLocalUser->password = "pw123";
    EXPECT_EQ(app.OpenGame(1), 0);
    const std::string args = folder + "/Game/args.txt";
    for (int i = 0; i < 500 && !fs::exists(args); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(ReadText(args), "/RoomToken:8x8509317246650913\n/UserId:5208\n/Password:pw123\n");
    EXPECT_EQ(app.OpenGame(7), 0);
    app.Shutdown();
}

// Folders that do not fit their fields are unavailable rather than cut to another.
TEST_F(ClientAppTest, FoldersTooLongForTheirFields) {
    struct Case {
        const char* name;
        size_t homeExtra;
        bool rootFits, userFits;
    } cases[] = {
        {"short", 0, true, true},
        {"root fits, user folder not", 0, true, false},
        {"neither", 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Home lengths chosen so that the documents folder plus "\KeltSQShow" (11)
        // and "\<id>" (11) land on either side of 256 characters.
        const size_t base = home_.native().size();
        const size_t docs = std::string("/Documents").size();
        size_t target;  // length of the home folder
        if (std::string(c.name) == "short")
            target = base + 10;
        else if (std::string(c.name) == "root fits, user folder not")
            target = 255 - 11 - docs - 5;
        else
            target = 255 - docs;
        ASSERT_GT(target, base + 1);
        const std::string home = home_.native() + "/" + std::string(target - base - 1, 'h');
        fs::create_directories(home);
        setenv("HOME", home.c_str(), 1);
        unsetenv("XDG_CONFIG_HOME");

        CClientApp app;
        app.Init();
        EXPECT_EQ(app.GetDataRoot()[0] != L'\0', c.rootFits);
        EXPECT_EQ(fs::exists(home + "/Documents/KeltSQShow"), c.rootFits);
        app.SetUserDataPath(1234567890);
        EXPECT_EQ(app.GetUserDataPath()[0] != L'\0', c.userFits);
        if (c.userFits) {
            EXPECT_TRUE(fs::is_directory(home + "/Documents/KeltSQShow/1234567890"));
            EXPECT_EQ(std::wstring(app.GetUserDataPath()),
                      winplat::ToWindowsPath(home + "/Documents/KeltSQShow/1234567890"));
        }
        app.Shutdown();
    }
}

}  // namespace

namespace {

// A program folder whose path does not fit the kernel's field is unknown: the files
// that live in it are neither read nor written anywhere else.
TEST_F(AppTest, ProgramFolderTooLongForItsField) {
    const std::string folder =
        home_.native() + "/" + std::string(150, 'p') + "/" + std::string(120, 'q');
    std::filesystem::create_directories(folder);
    winplat::SetModulePath(winplat::ToWindowsPath(folder) + L"\\mivora");
    CCommKernel::GetInstance()->m_pData->init();
    CClientApp app;
    EXPECT_STREQ(app.GetAppPath(), L"");
    app.m_nVideoDev = 3;
    app.SaveAVConfig();
    EXPECT_FALSE(std::filesystem::exists("/avconfig.txt"));
    EXPECT_FALSE(std::filesystem::exists(folder + "/avconfig.txt"));
    app.LoadAVConfig();
    EXPECT_EQ(app.m_nVideoDev, 3);
}

}  // namespace
