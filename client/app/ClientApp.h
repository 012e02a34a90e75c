// The program's one application object: the kernel's pointers, the program's
// folders, the edition's privilege delegate, the small icon, the single-instance
// windows, the AV device choice ("avconfig.txt") and the 16-byte block shared with
// the outside game program. Windows read its members directly.
#pragma once

#include <cstdint>

#include "app/OutsideOpen.h"
#include "win32/win32.h"

class CCommKernel;
class CCommKernelData;
class CUserObj;
class CUserEnvSetting;
class CWndSelSkin;
class CWndChatEmotion;
class CWndUserSetting;
class CAVLogThread;
class IUserMVManagerDelegate;

// Characters of the folder fields.
constexpr int kAppPathChars = 256;
constexpr int kUpdateSubVerChars = 32;
constexpr int kSectionNameChars = 64;
constexpr int kGameProcessCount = 20;

// The block shared with the outside game program (16 bytes, little-endian).
#pragma pack(push, 1)
struct tagGameShareBlock {
    uint16_t wSize;       // always 16
    uint16_t wReserved;   // 0
    uint32_t dwLobbyWnd;  // the client's lobby window; 0 at shutdown
    uint32_t dwUnused;    // 0
    uint32_t dwPeerWnd;   // the game program's window, written by it; 0 when none
};
#pragma pack(pop)
static_assert(sizeof(tagGameShareBlock) == 16, "the shared block is 16 bytes");

// Message the client posts to the game program at shutdown (and the game posts to
// the lobby), wParam 1002.
#define UM_GAME_LINK_CLOSE 12029
#define GAME_LINK_CLOSE_CODE 1002

// The name of the shared section; the game program gets it as its room token.
#define MIVORA_GAME_SECTION_NAME "8x8509317246650913"

class CClientApp {
public:
    CClientApp();
    // Runs at process exit and does nothing: the shutdown is Shutdown's job.
    ~CClientApp();
    CClientApp(const CClientApp&) = delete;
    CClientApp& operator=(const CClientApp&) = delete;

    void Init();
    void LoadAVConfig();
    void SaveAVConfig();
    // The program folder, without a trailing backslash.
    const wchar_t* GetAppPath();
    const wchar_t* GetDataRoot();
    // The per-user folder for that user, created when missing.
    void SetUserDataPath(int userId);
    // The per-user folder; empty until the logon answer has arrived, or when the
    // folder's path did not fit.
    const wchar_t* GetUserDataPath();
    void Shutdown();
    // 1 starts the game program, 2 opens the game page in the lobby; returns 0.
    int OpenGame(int kind);
    // The game program of OpenGame(1); when it cannot be started, `failed` is told
    // (with no local user or program folder nothing is tried).
    void StartGameProgram(const OpenFailed& failed);

    CCommKernel* m_pKernel;
    CCommKernelData* m_pKernelData;
    CUserObj* m_pLocalUser;
    CUserEnvSetting* m_pUserEnv;
    wchar_t m_szDataRoot[kAppPathChars];
    wchar_t m_szUserDataPath[kAppPathChars];
    wchar_t m_szUpdateSubVer[kUpdateSubVerChars];
    CWndSelSkin* m_pWndSelSkin;
    CWndChatEmotion* m_pWndChatEmotion;
    CWndUserSetting* m_pWndUserSetting;
    CAVLogThread* m_pAVLogThread;
    IUserMVManagerDelegate* m_pUserMVDelegate;
    HICON m_hSmallIcon;
    HANDLE m_hShareSection;
    char m_szSectionName[kSectionNameChars];
    tagGameShareBlock* m_pShareBlock;
    PROCESS_INFORMATION m_GameProcess[kGameProcessCount];
    unsigned m_nWaveInDev;
    unsigned m_nWaveOutDev;
    int m_nVideoDev;
};

// The program's application object.
extern CClientApp theApp;

// Stops and deletes a log thread the application object was given; nothing in the
// program creates one yet, so this is the place to finish when its class lands.
void StopAVLogThread(CAVLogThread* thread);
