// Until these windows are built there is nothing to open. Each window's own file
// takes its function over when it lands (and its line here goes).
#include "lobby/LaterWindows.h"

bool RunUserRegisterWindowImpl(HWND, std::wstring&, std::wstring&) { return false; }
void OpenUserSettingWindowImpl() {}
void OpenSkinChooserWindowImpl() {}
void RunFinderWindowImpl(HWND) {}
void OpenGameWindowImpl(HWND, const std::wstring&, const std::wstring&) {}
