#include "lobby/LobbyWindowLink.h"

#include "app/LaterWindows.h"
#include "lobby/WndLobby.h"

LobbyLinkT LobbyWindowLink() {
    LobbyLinkT link;
    link.hasWindow = [] { return CWndLobby::Current() != nullptr; };
    link.windowHandle = []() -> HWND {
        CWndLobby* lobby = CWndLobby::Current();
        return lobby ? lobby->GetHWND() : nullptr;
    };
    link.applySkin = [] {
        if (CWndLobby* lobby = CWndLobby::Current()) lobby->ApplySkin();
    };
    link.openGameWindow = [](const wchar_t* url, const wchar_t* title) {
        if (CWndLobby* lobby = CWndLobby::Current()) lobby->OpenGameWindow(url, title);
    };
    link.leaveRoomAndShow = [] {
        CWndLobby* lobby = CWndLobby::Current();
        if (!lobby) return;
        lobby->LeaveCurrentRoom();
        HWND wnd = lobby->GetHWND();
        if (::IsIconic(wnd))
            ::ShowWindow(wnd, SW_RESTORE);
        else
            ::ShowWindow(wnd, SW_SHOW);
        ::SetForegroundWindow(wnd);
    };
    link.rejoinRoom = [] {
        if (CWndLobby* lobby = CWndLobby::Current()) lobby->RejoinRoom();
    };
    link.showSkinChooser = [] {
        if (CWndLobby::Current()) OpenSkinChooserWindow();
    };
    link.showPersonalSettings = [] {
        if (CWndLobby::Current()) OpenUserSettingWindow();
    };
    link.sendSetUserProfileReq = [](tag_CMDSetUserProfileReq* record) {
        if (CWndLobby* lobby = CWndLobby::Current()) lobby->SendSetUserProfileReq(record);
    };
    link.sendSetUserPwdReq = [](tag_CMDSetUserPwdReq* record) {
        if (CWndLobby* lobby = CWndLobby::Current()) lobby->SendSetUserPwdReq(record);
    };
    return link;
}
