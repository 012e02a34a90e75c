// Openers of the room's dialogs and what they answer.
#include "dialogs/WndGetPaid.h"
#include "dialogs/WndIconHelp.h"
#include "dialogs/WndMyAccount.h"
#include "dialogs/WndRoomAudioSetting3.h"
#include "dialogs/WndRoomAutoChat.h"
#include "kernel/CommKernel.h"
#include "room/LobbyLink.h"
#include "room/WndRoom.h"
#include "session/CommKernelData.h"

void CWndRoom::ShowSkinChooser() {
    LobbyShowSkinChooser();
}

void CWndRoom::ShowPersonalSettings() {
    LobbyShowPersonalSettings();
}

void CWndRoom::ShowAudioSettingWnd() {
    OpenSelfDeleting(m_pWndAudioSetting, m_hWnd, ReuseAction::kShow, WS_EX_TOOLWINDOW);
}

// The dialog issues fill these; until a dialog exists its slot stays null.
void CWndRoom::ShowSealWnd(int) {}
void CWndRoom::ShowNetworkChoose() {}
void CWndRoom::OnOpenChestResp(const char*) {}
void CWndRoom::DestroyChildWindows() {}

// The web pages and the auto-chat settings of the room: one window each, owned by
// the room; its slot is cleared when the window goes.
void CWndRoom::ShowIconHelpWnd() {
    OpenSelfDeleting(m_pWndIconHelp, m_hWnd, ReuseAction::kNothing, WS_EX_TOOLWINDOW);
}

void CWndRoom::ShowGetPaidWnd() {
    OpenSelfDeleting(m_pWndGetPaid, m_hWnd, ReuseAction::kNothing, WS_EX_TOOLWINDOW);
}

void CWndRoom::ShowAutoChatWnd() {
    OpenSelfDeleting(m_pWndAutoChat, m_hWnd, ReuseAction::kShow, WS_EX_TOOLWINDOW);
}

void CWndRoom::ShowAccountWnd() {
    CCommKernelData* data = CCommKernel::GetInstance()->m_pData;
    if (!data || data->GetLocalUser()->levels[0] <= 1) {
        InsertHintLine(1, 1, L"您目前的身份是游客，请注册后重新登录。");
        return;
    }
    OpenSelfDeleting(m_pWndMyAccount, m_hWnd, ReuseAction::kShowAndForeground);
}
