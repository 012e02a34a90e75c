#include "app/LaterWindows.h"

LaterWindowHooksT& LaterWindowHooks() {
    static LaterWindowHooksT hooks;
    return hooks;
}

bool RunUserRegisterWindow(HWND parent, std::wstring& account, std::wstring& password) {
    if (LaterWindowHooks().runRegister) return LaterWindowHooks().runRegister(parent, account, password);
    return RunUserRegisterWindowImpl(parent, account, password);
}

void OpenUserSettingWindow() {
    if (LaterWindowHooks().openUserSetting) return LaterWindowHooks().openUserSetting();
    OpenUserSettingWindowImpl();
}

void OpenSkinChooserWindow() {
    if (LaterWindowHooks().openSkinChooser) return LaterWindowHooks().openSkinChooser();
    OpenSkinChooserWindowImpl();
}

void RunFinderWindow(HWND lobby) {
    if (LaterWindowHooks().runFinder) return LaterWindowHooks().runFinder(lobby);
    RunFinderWindowImpl(lobby);
}

void OpenGameWindow(HWND lobby, const std::wstring& url, const std::wstring& title) {
    if (LaterWindowHooks().openGame) return LaterWindowHooks().openGame(lobby, url, title);
    OpenGameWindowImpl(lobby, url, title);
}
