// The lobby's side of what the shell, the dialogs and the room ask of it.
#include "app/LobbyLink.h"

#include "app/LaterWindows.h"
#include "lobby/WndLobby.h"

bool HasLobbyWindow() {
    return CWndLobby::Current() != nullptr;
}

HWND LobbyWindowHandle() {
    CWndLobby* lobby = CWndLobby::Current();
    return lobby ? lobby->GetHWND() : nullptr;
}

void LobbyLeaveRoomAndShow() {
    CWndLobby* lobby = CWndLobby::Current();
    if (!lobby) return;
    lobby->LeaveCurrentRoom();
    HWND wnd = lobby->GetHWND();
    if (::IsIconic(wnd))
        ::ShowWindow(wnd, SW_RESTORE);
    else
        ::ShowWindow(wnd, SW_SHOW);
    ::SetForegroundWindow(wnd);
}

void LobbyRejoinRoom() {
    if (CWndLobby* lobby = CWndLobby::Current()) lobby->RejoinRoom();
}

void LobbyShowSkinChooser() {
    if (HasLobbyWindow()) OpenSkinChooserWindow();
}

void LobbyShowPersonalSettings() {
    if (HasLobbyWindow()) OpenUserSettingWindow();
}

void LobbySendSetUserProfileReq(tag_CMDSetUserProfileReq* record) {
    if (CWndLobby* lobby = CWndLobby::Current()) lobby->SendSetUserProfileReq(record);
}

void LobbySendSetUserPwdReq(tag_CMDSetUserPwdReq* record) {
    if (CWndLobby* lobby = CWndLobby::Current()) lobby->SendSetUserPwdReq(record);
}
