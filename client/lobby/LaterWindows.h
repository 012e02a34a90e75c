// Windows the logon and lobby windows open but other work builds: registration,
// personal settings, the skin chooser, the room finder and the game page. Each is one
// call here. Their defaults live in LaterWindowsDefault.cpp and do nothing; when a
// window lands, its file defines the matching ...Window function and the default
// goes. Tests put recording doubles in LaterWindowHooks().
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

// Tests: a set member replaces the window it names.
struct LaterWindowHooksT {
    std::function<bool(HWND, std::wstring&, std::wstring&)> runRegister;
    std::function<void()> openUserSetting;
    std::function<void()> openSkinChooser;
    std::function<void(HWND)> runFinder;
    std::function<void(HWND, const std::wstring&, const std::wstring&)> openGame;
};
LaterWindowHooksT& LaterWindowHooks();

// The defaults the calls fall back to (LaterWindowsDefault.cpp until the windows land).
bool RunUserRegisterWindowImpl(HWND parent, std::wstring& account, std::wstring& password);
void OpenUserSettingWindowImpl();
void OpenSkinChooserWindowImpl();
void RunFinderWindowImpl(HWND lobby);
void OpenGameWindowImpl(HWND lobby, const std::wstring& url, const std::wstring& title);
