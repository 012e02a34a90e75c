// What the room window asks of the lobby window (kernel window table entry 1): leave
// the room and show the lobby, rejoin after a disconnection, and the two windows the
// lobby owns. Each does nothing without a lobby window.
#pragma once

// True when a lobby window is registered.
bool HasLobbyWindow();
// The lobby leaves the current room and shows itself.
void LobbyLeaveRoomAndShow();
// The lobby sends the join request again for the current room (a rejoin).
void LobbyRejoinRoom();
void LobbyShowSkinChooser();
void LobbyShowPersonalSettings();
