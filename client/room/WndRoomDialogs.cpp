// Openers of the room's dialogs and what they answer.
#include "room/LobbyLink.h"
#include "room/WndRoom.h"

void CWndRoom::ShowSkinChooser() {
    LobbyShowSkinChooser();
}

void CWndRoom::ShowPersonalSettings() {
    LobbyShowPersonalSettings();
}

// The dialog issues fill these; until a dialog exists its slot stays null.
void CWndRoom::ShowUserInfoWnd(int) {}
void CWndRoom::ShowSealWnd(int) {}
void CWndRoom::ShowIconHelpWnd() {}
void CWndRoom::ShowAudioSettingWnd() {}
void CWndRoom::ShowNetworkChoose() {}
void CWndRoom::ShowViolationWnd(int) {}
void CWndRoom::ShowGetPaidWnd() {}
void CWndRoom::ShowAutoChatWnd() {}
void CWndRoom::ShowExchangeWnd() {}
void CWndRoom::OnOpenChestResp(const char*) {}
void CWndRoom::DestroyChildWindows() {}
