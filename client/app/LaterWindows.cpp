#include "app/LaterWindows.h"

LaterWindowHooksT& LaterWindowHooks() {
    static LaterWindowHooksT hooks;
    return hooks;
}

bool RunUserRegisterWindow(HWND parent, std::wstring& account, std::wstring& password) {
    return LaterWindowHooks().runRegister &&
           LaterWindowHooks().runRegister(parent, account, password);
}

void OpenUserSettingWindow() {
    if (LaterWindowHooks().openUserSetting) LaterWindowHooks().openUserSetting();
}

void OpenSkinChooserWindow() {
    if (LaterWindowHooks().openSkinChooser) LaterWindowHooks().openSkinChooser();
}

void RunFinderWindow(HWND lobby) {
    if (LaterWindowHooks().runFinder) LaterWindowHooks().runFinder(lobby);
}

void OpenGameWindow(HWND lobby, const std::wstring& url, const std::wstring& title) {
    if (LaterWindowHooks().openGame) LaterWindowHooks().openGame(lobby, url, title);
}
