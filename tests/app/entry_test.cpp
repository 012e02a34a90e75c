// The program entry run in-process on a laid-out program folder, with the logon
// window reporting "closed".
#include <filesystem>

#include "app/ClientApp.h"
#include "app/SkinTable.h"
#include "app/WinMain.h"
#include "app_fixture.h"
#include "catalogs/CaitiaoManager.h"
#include "catalogs/FaceManager.h"
#include "catalogs/GiftManager.h"
#include "catalogs/SealManager.h"
#include "catalogs/UserLevelInfoManager.h"
#include "kernel/CommKernel.h"
#include "session/CommKernelData.h"
#include "win32gui/user.h"

namespace fs = std::filesystem;

namespace {

class EntryTest : public AppTest {};

// While the entry waits on the logon window, closes it as its close button does
// (result 2), so the entry goes on to the shutdown; with the stand-in entry windows
// there is no window to close. The button itself may be busy while the window checks
// the update service, so the window is closed directly.
void CALLBACK CloseLogonWindow(HWND, UINT, UINT_PTR, DWORD) {
    void** table = CCommKernel::GetInstance()->m_pWndTable;
    // Entry 0 holds the logon window, a skinned window.
    if (table && table[0]) static_cast<CSkinWnd*>(table[0])->Close(2);
}

TEST_F(EntryTest, StartsFromItsFolderAndEndsWhenTheLogonWindowCloses) {
    TempDir program;
    CopyProgramFolder(program);
    UseProgramFolder(program);
    SelectSkin(3);

    const UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseLogonWindow);
    ASSERT_EQ(WinMain(GetModuleHandleW(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOWNORMAL), 0);
    KillTimer(nullptr, timer);

    CCommKernelData* data = CCommKernel::GetInstance()->m_pData;
    // The catalogs beside the program and in its skin were found.
    EXPECT_FALSE(data->m_pGiftManager->gifts.empty());
    EXPECT_FALSE(data->m_pSealManager->seals.empty());
    EXPECT_GT(data->m_pCaitiaoManager->GetCaitiaoCount(), 0);
    EXPECT_FALSE(data->m_pFaceManager->faceGroups.empty());
    EXPECT_FALSE(data->m_pUserLevelInfoManager->levels.empty());
    // The logon table comes from the folder's globalconf.ini (the local world).
    EXPECT_STREQ(data->m_pLogonSvrTable[0].szHost, "127.0.0.1");
    EXPECT_EQ(data->m_pLogonSvrTable[0].wPort, 27101);
    EXPECT_EQ(data->m_pLobbySvrTable[0].wPort, 27102);
    // The machine-data file is made in the folder's own skin.
    EXPECT_TRUE(fs::exists(program.nativePath("skin/MVChat/WndRoomFaceUserTime.xml")));

    EXPECT_EQ(g_pCurSkin->id, 15);
    int w = 0, h = 0;
    ASSERT_TRUE(winplat::GetIconSize(theApp.m_hSmallIcon, &w, &h));
    EXPECT_EQ(w, GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(h, GetSystemMetrics(SM_CYSMICON));
    EXPECT_EQ(theApp.m_nWaveInDev, 0xFFFFFFFFu);
    EXPECT_EQ(theApp.m_nWaveOutDev, 0xFFFFFFFFu);
    EXPECT_EQ(theApp.m_nVideoDev, 0);
    EXPECT_TRUE(fs::is_directory(DocumentsDir() + "/KeltSQShow"));

    // Closed at logon: no lobby, no chat font saved, the shared section released.
    EXPECT_EQ(CCommKernel::GetInstance()->m_pWndTable[1], nullptr);
    EXPECT_FALSE(fs::exists(program.nativePath("userenv.ini")));
    EXPECT_EQ(theApp.m_pShareBlock, nullptr);
    EXPECT_EQ(theApp.m_hShareSection, nullptr);
    EXPECT_EQ(theApp.m_pUserMVDelegate, nullptr);
    EXPECT_EQ(OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, MIVORA_GAME_SECTION_NAME), nullptr);
    // No quit message is left behind for a later loop.
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

}  // namespace
