// Windows the logon, lobby and room windows open and the dialogs build: registration,
// personal settings, the skin chooser, the room finder and the game page. Each is one
// call here, so the opener includes no dialog; the file that builds the window defines the
// matching ...WindowImpl. Tests put recording doubles in LaterWindowHooks().
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

// What the calls run without a hook: the windows themselves, defined by their files.
bool RunUserRegisterWindowImpl(HWND parent, std::wstring& account, std::wstring& password);
void OpenUserSettingWindowImpl();
void OpenSkinChooserWindowImpl();
void RunFinderWindowImpl(HWND lobby);
void OpenGameWindowImpl(HWND lobby, const std::wstring& url, const std::wstring& title);
