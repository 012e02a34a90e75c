// What the application shell and the dialogs ask of the lobby window, one call each,
// so they work and are testable whatever lobby stands behind them.
#pragma once

// The lobby window applies the current skin (and tells the room window); nothing
// when there is no lobby.
void LobbyApplySkin();
// The lobby opens its game window with that address and title; nothing when there
// is no lobby.
void LobbyOpenGameWindow(const wchar_t* url, const wchar_t* title);
