// Openers of the room's dialogs and what they answer.
#include "dialogs/WndRoomAudioSetting3.h"
#include "room/LobbyLink.h"
#include "room/WndRoom.h"

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
void CWndRoom::ShowUserInfoWnd(int) {}
void CWndRoom::ShowSealWnd(int) {}
void CWndRoom::ShowIconHelpWnd() {}
void CWndRoom::ShowNetworkChoose() {}
void CWndRoom::ShowViolationWnd(int) {}
void CWndRoom::ShowGetPaidWnd() {}
void CWndRoom::ShowAutoChatWnd() {}
void CWndRoom::ShowExchangeWnd() {}
void CWndRoom::OnOpenChestResp(const char*) {}
void CWndRoom::DestroyChildWindows() {}
