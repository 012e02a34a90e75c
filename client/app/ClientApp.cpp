#include "app/ClientApp.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <cwchar>
#include <string>

#include "app/Kelt58UserMVDelegate.h"
#include "app/LobbyLink.h"
#include "app/OutsideOpen.h"
#include "app/ProductInfo.h"
#include "app/ShareRestrictedSD.h"
#include "controls/KernelData.h"
#include "kernel/CommKernel.h"
#include "model/UserMVManager.h"
#include "session/CommKernelData.h"
#include "util/FileUtil.h"

CClientApp theApp;

namespace {

// The game web service; the lobby opens its page only for this service.
const wchar_t kGameBaseUrl[] = L"http://127.0.0.1:27180/carkelt/game.php";
const wchar_t kGameProgram[] = L"drovel.exe";

// Copies a path into a fixed field only when it fits whole: a cut path would name
// another folder. An empty field means the folder is unavailable.
template <size_t N>
bool StorePath(wchar_t (&field)[N], const std::wstring& path) {
    if (path.size() >= N) {
        field[0] = L'\0';
        return false;
    }
    std::wmemcpy(field, path.c_str(), path.size() + 1);
    return true;
}

std::wstring DocumentsFolder() {
    wchar_t docs[MAX_PATH] = {0};
    GetMyDocumentPath(docs);
    return docs;
}

// The path in the ANSI code page, as the C streams take it; empty when it cannot be
// converted.
std::string AnsiPath(const std::wstring& path) {
    const int n = WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, &out[0], n, nullptr, nullptr);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

// A file of the program folder; empty when the folder is unknown (its path did not
// fit), so nothing is read or written at the file system's root instead.
std::string AppFileAnsi(const wchar_t* appPath, const wchar_t* name) {
    if (!appPath || !*appPath) return {};
    return AnsiPath(std::wstring(appPath) + L"\\" + name);
}

}  // namespace

CClientApp::CClientApp()
    : m_pKernel(nullptr),
      m_pKernelData(nullptr),
      m_pLocalUser(nullptr),
      m_pUserEnv(nullptr),
      m_szDataRoot{},
      m_szUserDataPath{},
      m_szUpdateSubVer{},
      m_pWndSelSkin(nullptr),
      m_pWndChatEmotion(nullptr),
      m_pWndUserSetting(nullptr),
      m_pAVLogThread(nullptr),
      m_pUserMVDelegate(nullptr),
      m_hSmallIcon(nullptr),
      m_hShareSection(nullptr),
      m_szSectionName{},
      m_pShareBlock(nullptr),
      m_GameProcess{},
      m_nWaveInDev(static_cast<unsigned>(-1)),
      m_nWaveOutDev(static_cast<unsigned>(-1)),
      m_nVideoDev(0) {}

CClientApp::~CClientApp() {}

void CClientApp::Init() {
    std::srand(static_cast<unsigned>(std::time(nullptr)));

    if (!m_pKernel) {
        m_pKernel = CCommKernel::GetInstance();
        m_pKernelData = m_pKernel->m_pData;
        m_pLocalUser = m_pKernelData ? m_pKernelData->GetLocalUser() : nullptr;
        m_pUserEnv = m_pKernelData ? &m_pKernelData->m_UserEnv : nullptr;
    }

    if (StorePath(m_szDataRoot, DocumentsFolder() + L"\\KeltSQShow") && !IsDirExist(m_szDataRoot))
        CreateMultiDir(m_szDataRoot);

    if (!m_pUserMVDelegate) m_pUserMVDelegate = new CKelt58UserMVDelegate;

    std::snprintf(m_szSectionName, sizeof(m_szSectionName), "%s", MIVORA_GAME_SECTION_NAME);

    CShareRestrictedSD sd;
    m_hShareSection = CreateFileMappingA(INVALID_HANDLE_VALUE, sd.GetSA(), PAGE_READWRITE, 0, 16,
                                         m_szSectionName);
    if (m_hShareSection) {
        m_pShareBlock = static_cast<tagGameShareBlock*>(
            MapViewOfFile(m_hShareSection, FILE_MAP_ALL_ACCESS, 0, 0, 0));
        if (m_pShareBlock) {
            std::memset(m_pShareBlock, 0, sizeof(*m_pShareBlock));
            m_pShareBlock->wSize = 16;
            std::memset(m_GameProcess, 0, sizeof(m_GameProcess));
        }
    }
}

void CClientApp::LoadAVConfig() {
    const std::string path = AppFileAnsi(GetAppPath(), L"avconfig.txt");
    FILE* f = path.empty() ? nullptr : winplat::OpenFileMapped(path.c_str(), "r");
    if (!f) return;
    // Fields the line does not give keep their values.
    const int fields = std::fscanf(f, "%u %u %d", &m_nWaveInDev, &m_nWaveOutDev, &m_nVideoDev);
    static_cast<void>(fields);
    std::fclose(f);
}

void CClientApp::SaveAVConfig() {
    const std::string path = AppFileAnsi(GetAppPath(), L"avconfig.txt");
    FILE* f = path.empty() ? nullptr : winplat::OpenFileMapped(path.c_str(), "w");
    if (!f) return;
    std::fprintf(f, "%u %u %d", m_nWaveInDev, m_nWaveOutDev, m_nVideoDev);
    std::fclose(f);
}

const wchar_t* CClientApp::GetAppPath() {
    CCommKernelData* data = m_pKernelData;
    if (!data) data = KernelData();
    return data ? data->m_szAppPath : L"";
}

const wchar_t* CClientApp::GetDataRoot() {
    return m_szDataRoot;
}

void CClientApp::SetUserDataPath(int userId) {
    const std::wstring path = DocumentsFolder() + L"\\KeltSQShow\\" + std::to_wstring(userId);
    if (!StorePath(m_szUserDataPath, path)) return;
    if (!IsDirExist(m_szUserDataPath)) CreateMultiDir(m_szUserDataPath);
}

const wchar_t* CClientApp::GetUserDataPath() {
    return m_szUserDataPath;
}

void CClientApp::Shutdown() {
    if (m_pUserEnv) m_pUserEnv->SaveUserEnviron();

    if (m_pAVLogThread) {
        StopAVLogThread(m_pAVLogThread);
        m_pAVLogThread = nullptr;
    }

    if (m_pUserMVDelegate) {
        // The privilege manager must not keep asking a deleted delegate.
        if (m_pKernelData && m_pKernelData->m_pUserMVManager &&
            m_pKernelData->m_pUserMVManager->delegate == m_pUserMVDelegate)
            m_pKernelData->m_pUserMVManager->SetDelegate(nullptr);
        delete m_pUserMVDelegate;
        m_pUserMVDelegate = nullptr;
    }

    if (m_pShareBlock) {
        // The peer field is written by another program: post only to a real window.
        if (m_pShareBlock->dwPeerWnd) {
            HWND peer = reinterpret_cast<HWND>(static_cast<uintptr_t>(m_pShareBlock->dwPeerWnd));
            if (IsWindow(peer)) PostMessageW(peer, UM_GAME_LINK_CLOSE, GAME_LINK_CLOSE_CODE, 0);
            m_pShareBlock->dwPeerWnd = 0;
        }
        m_pShareBlock->dwLobbyWnd = 0;
        UnmapViewOfFile(m_pShareBlock);
        m_pShareBlock = nullptr;
    }

    if (m_hShareSection) {
        CloseHandle(m_hShareSection);
        m_hShareSection = nullptr;
    }
}

int CClientApp::OpenGame(int kind) {
    if (!m_pLocalUser) return 0;
    if (kind == 1) {
        StartGameProgram(nullptr);
    } else if (kind == 2) {
        // The address carries the password; the service is recognised by its base.
        if (!std::wcsstr(kGameBaseUrl, L"carkelt")) return 0;
        if (!m_pKernel || !m_pKernel->m_pWndTable || !m_pKernel->m_pWndTable[1]) return 0;
        wchar_t url[1024] = {0};
        if (swprintf_s(url, L"%s?uname=%d&pwd=%hs", kGameBaseUrl, m_pLocalUser->userId,
                       m_pLocalUser->password.c_str()) <= 0)
            return 0;
        LobbyOpenGameWindow(url, MIVORA_PRODUCT_SUBTITLE);
    }
    return 0;
}

void CClientApp::StartGameProgram(const OpenFailed& failed) {
    if (!m_pLocalUser || !*GetAppPath()) return;
    // The folder may hold blanks: quoted, the program path stays one argument.
    wchar_t cmd[1024] = {0};
    if (swprintf_s(cmd, L"\"%s\\Game\\%s\" /RoomToken:%hs /UserId:%ld /Password:%hs", GetAppPath(),
                   kGameProgram, m_szSectionName, static_cast<long>(m_pLocalUser->userId),
                   m_pLocalUser->password.c_str()) <= 0)
        return;
    StartOutsideProgram(cmd, CREATE_DEFAULT_ERROR_MODE, L"游戏程序", failed);
}
