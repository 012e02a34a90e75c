#include "app/WinMain.h"

#include <string>
#include <vector>

#include "app/ClientApp.h"
#include "app/EntryWindows.h"
#include "app/ProductInfo.h"
#include "app/SkinTable.h"
#include "catalogs/CaitiaoManager.h"
#include "catalogs/FaceManager.h"
#include "catalogs/GiftManager.h"
#include "catalogs/SealManager.h"
#include "catalogs/UserLevelInfoManager.h"
#include "config/UserLogonManager.h"
#include "fenlo/UIlib.h"
#include "kernel/CommKernel.h"
#include "session/CommKernelData.h"

using DuiLib::CPaintManagerUI;

namespace {

// A writable, NUL-terminated copy for the loaders that take a non-const path.
std::vector<wchar_t> Buffer(const std::wstring& text) {
    return std::vector<wchar_t>(text.c_str(), text.c_str() + text.size() + 1);
}

std::vector<char> AnsiBuffer(const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::vector<char> out(static_cast<size_t>(n > 0 ? n : 1), '\0');
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
    return out;
}

// The files the start-up reads, beside the program.
struct StartupFiles {
    std::wstring globalConf, gift, seal, chrome, torties, caotiao, userface, leveldesc;
};

StartupFiles FilesIn(const std::wstring& instancePath) {
    StartupFiles f;
    f.globalConf = instancePath + L"globalconf.ini";
    f.gift = instancePath + L"skin\\MVChat" + L"/gift/gift.conf";
    f.seal = instancePath + L"skin/Seal/seal.conf";
    f.chrome = instancePath + L"skin\\MVChat" + L"/WndRoomFaceUserTime.xml";
    f.torties = instancePath + L"torties.dat";
    f.caotiao = instancePath + L"caotiao.txt";
    f.userface = instancePath + L"userface.dat";
    f.leveldesc = instancePath + L"leveldesc.dat";
    return f;
}

void LoadKernelFiles(CCommKernelData* data, const StartupFiles& f) {
    auto globalConf = Buffer(f.globalConf);
    data->LoadGlobalConf(globalConf.data());
    auto gift = Buffer(f.gift);
    data->m_pGiftManager->LoadGiftConfigW(gift.data());
    auto seal = Buffer(f.seal);
    data->m_pSealManager->LoadSealConfigW(seal.data());
    auto torties = AnsiBuffer(f.torties);
    data->m_pUserLogonMgr->setConfigFile(torties.data());
    data->m_pUserLogonMgr->loadFileData();
    auto chrome = AnsiBuffer(f.chrome);
    data->m_pUserLogonMgr->setChromeFile(chrome.data());
    data->m_pUserLogonMgr->initChromeData();
    data->m_pCaitiaoManager->LoadConfig(AnsiBuffer(f.caotiao).data());
    auto userface = AnsiBuffer(f.userface);
    data->m_pFaceManager->LoadBaseFaceConfig(userface.data());
    auto leveldesc = Buffer(f.leveldesc);
    data->m_pUserLevelInfoManager->LoadLevelConfigW(leveldesc.data());
}

// A quit message that ended the logon window is answered by the shutdown; it must
// not reach a later loop on this thread.
void DropPendingQuit() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
    CPaintManagerUI::SetInstance(hInstance);
    const std::wstring instancePath = CPaintManagerUI::GetInstancePath().GetData();
    CPaintManagerUI::SetResourcePath((instancePath + L"skin\\MVChat").c_str());

    const StartupFiles files = FilesIn(instancePath);

    SelectSkin(kDefaultSkinId);

    if (FAILED(OleInitialize(nullptr))) return 0;
    LoadLibraryW(L"riched20.dll");
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return -1;

    CCommKernel* kernel = CCommKernel::GetInstance();
    kernel->init(hInstance);
    CCommKernelData* data = kernel->m_pData;
    data->init();
    LoadKernelFiles(data, files);

    theApp.Init();
    theApp.LoadAVConfig();

    const std::wstring icon = std::wstring(theApp.GetAppPath()) + L"\\MVchat.ico";
    theApp.m_hSmallIcon = static_cast<HICON>(
        LoadImageW(nullptr, icon.c_str(), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                   GetSystemMetrics(SM_CYSMICON), LR_LOADFROMFILE));

    const std::wstring logonTitle = std::wstring(MIVORA_PRODUCT_TITLE) + L"登录窗口";
    const int logon = RunLogonWindow(logonTitle.c_str());
    if (logon < 0) return 0;  // the window could not be made
    // Only a logon leads to the lobby: closed, an update started or a quit message
    // (Escape) all end the program here.
    if (logon != 1) {
        DropPendingQuit();
        theApp.Shutdown();
        OleUninitialize();
        return 0;
    }

    const std::wstring lobbyTitle = std::wstring(MIVORA_PRODUCT_TITLE) + L"大厅窗口";
    if (!CreateLobbyWindow(lobbyTitle.c_str())) return 0;
    CPaintManagerUI::MessageLoop();

    data->SaveChatFont();
    theApp.Shutdown();
    OleUninitialize();
    return 0;
}
