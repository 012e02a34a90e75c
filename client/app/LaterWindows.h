// Windows the logon, lobby and room windows open and the dialogs build: registration,
// personal settings, the skin chooser, the room finder and the game page. Each is one
// call here, so the opener includes no dialog. The file that builds a window defines its
// ...WindowImpl and the program's wiring puts them in LaterWindowHooks() at start-up
// (program/ProgramWiring.cpp); tests replace a member with a recording double. A call
// whose member is empty opens nothing (registration answers false).
#pragma once

#include <functional>
#include <string>

#include "win32/win32.h"

// Runs the registration window modally over parent. True when it produced an
// account; account and password are then what the user registered.
bool RunUserRegisterWindow(HWND parent, std::wstring& account, std::wstring& password);
// Shows the personal settings window, creating it when none is open.
void OpenUserSettingWindow();
// Shows the skin chooser, creating it when none is open.
void OpenSkinChooserWindow();
// Runs the room finder modally over the lobby.
void RunFinderWindow(HWND lobby);
// Shows the game page window with that address and title, creating it when none is open.
void OpenGameWindow(HWND lobby, const std::wstring& url, const std::wstring& title);

// The window each call opens.
struct LaterWindowHooksT {
    std::function<bool(HWND, std::wstring&, std::wstring&)> runRegister;
    std::function<void()> openUserSetting;
    std::function<void()> openSkinChooser;
    std::function<void(HWND)> runFinder;
    std::function<void(HWND, const std::wstring&, const std::wstring&)> openGame;
};
LaterWindowHooksT& LaterWindowHooks();
