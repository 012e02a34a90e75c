#include "room/LobbyLink.h"

#include "lobby/LaterWindows.h"
#include "lobby/WndLobby.h"

bool HasLobbyWindow() {
    return CWndLobby::Current() != nullptr;
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
