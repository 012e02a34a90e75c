// What the application shell, the dialogs and the room window ask of the lobby window
// (kernel window table entry 1), one call each, so they include no lobby header and
// work whatever lobby stands behind them. Each does nothing without a lobby window.
// The lobby's own files define them.
#pragma once

#include <cstdint>

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
