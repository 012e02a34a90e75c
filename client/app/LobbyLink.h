// What the application shell, the dialogs and the room window ask of the lobby window
// (kernel window table entry 1), one call each, so they include no lobby header and
// work whatever lobby stands behind them. The lobby fills a LobbyLinkT
// (lobby/LobbyWindowLink.h) and the program's wiring installs it at start-up
// (program/ProgramWiring.cpp); with nothing installed, or a member left empty, each
// call does nothing and answers as without a lobby window.
#pragma once

#include <cstdint>
#include <functional>

#include "win32/win32.h"

struct tag_CMDSetUserProfileReq;
struct tag_CMDSetUserPwdReq;

// True when a lobby window is registered.
bool HasLobbyWindow();
// The lobby window's handle, or null.
HWND LobbyWindowHandle();
// The lobby window applies the current skin (and tells the room window).
void LobbyApplySkin();
// The lobby opens its game window with that address and title.
void LobbyOpenGameWindow(const wchar_t* url, const wchar_t* title);
// The lobby leaves the current room and shows itself.
void LobbyLeaveRoomAndShow();
// The lobby sends the join request again for the current room (a rejoin).
void LobbyRejoinRoom();
void LobbyShowSkinChooser();
void LobbyShowPersonalSettings();
// The personal settings' two requests, on the lobby's short lobby-server session.
void LobbySendSetUserProfileReq(tag_CMDSetUserProfileReq* record);
void LobbySendSetUserPwdReq(tag_CMDSetUserPwdReq* record);

// The calls above, one member each.
struct LobbyLinkT {
    std::function<bool()> hasWindow;
    std::function<HWND()> windowHandle;
    std::function<void()> applySkin;
    std::function<void(const wchar_t* url, const wchar_t* title)> openGameWindow;
    std::function<void()> leaveRoomAndShow;
    std::function<void()> rejoinRoom;
    std::function<void()> showSkinChooser;
    std::function<void()> showPersonalSettings;
    std::function<void(tag_CMDSetUserProfileReq*)> sendSetUserProfileReq;
    std::function<void(tag_CMDSetUserPwdReq*)> sendSetUserPwdReq;
};
// Puts link behind the calls (an empty LobbyLinkT removes it).
void SetLobbyLink(LobbyLinkT link);
