#include "dialogs/RoomAvPanelBase.h"

#include <cwchar>
#include <string>

#include "app/ClientApp.h"
#include "app/LobbyLink.h"
#include "app/SkinTable.h"
#include "dialogs/WndUserSetting.h"
#include "win32/files.h"
#include "win32/process.h"
#include "win32/text.h"

using namespace DuiLib;

void CRoomAvPanelBase::InitWindow() {
    CSkinWnd::InitWindow();
    if (m_pWinBG && g_pCurSkin) m_pWinBG->SetBkImage(g_pCurSkin->szBkImage);
}

void CRoomAvPanelBase::OnClick(TNotifyUI& msg) {
    const CDuiString name = msg.pSender ? msg.pSender->GetName() : CDuiString();
    if (name == L"btnmoreset")
        OpenUserSettingVideoPage();
    else if (name == L"btnmoreeq" && !StartVolumeMixer())
        ::MessageBoxW(m_hWnd, L"无法打开音量控制：没有找到系统的音量控制程序！", L"提示:",
                      MB_OK | MB_ICONINFORMATION);
    else
        CSkinWnd::OnClick(msg);
}

const wchar_t* CRoomAvPanelBase::StartVolumeMixer() {
    wchar_t folder[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, folder, CSIDL_SYSTEM, FALSE)) return nullptr;
    for (const wchar_t* program : {L"SndVol.exe", L"sndvol32.exe"}) {
        std::wstring path = std::wstring(folder) + L"\\" + program;
        if (PathFileExistsW(path.c_str()))
            return WinExec(winplat::WideToAnsi(program).c_str(), SW_SHOW) > 31 ? program : nullptr;
    }
    return nullptr;
}

void CRoomAvPanelBase::OpenUserSettingVideoPage() {
    LobbyShowPersonalSettings();
    if (CWndUserSetting* settings = theApp.m_pWndUserSetting) settings->ShowPage(3);
}
