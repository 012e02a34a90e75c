// The notification area (tray) on QSystemTrayIcon. Where the desktop has no tray
// (offscreen, a bare X server) the icons are still kept, so code and tests see
// what was added.
#pragma once

#include <vector>
#include <string>

#include "win32/win32.h"

#define NIM_ADD 0x00000000
#define NIM_MODIFY 0x00000001
#define NIM_DELETE 0x00000002

#define NIF_MESSAGE 0x00000001
#define NIF_ICON 0x00000002
#define NIF_TIP 0x00000004

struct NOTIFYICONDATAW {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    WCHAR szTip[128];
    DWORD dwState;
    DWORD dwStateMask;
    WCHAR szInfo[256];
    UINT uTimeout;
    WCHAR szInfoTitle[64];
    DWORD dwInfoFlags;
};
typedef NOTIFYICONDATAW* PNOTIFYICONDATAW;

// An icon is known by (hWnd, uID). A click on it posts the callback message to the
// window with wParam uID and lParam WM_LBUTTONDOWN; the context click WM_RBUTTONUP.
BOOL Shell_NotifyIconW(DWORD message, PNOTIFYICONDATAW data);
#define Shell_NotifyIcon Shell_NotifyIconW

namespace winplat {

struct TrayIconInfo {
    HWND hwnd;
    UINT id;
    UINT callbackMessage;
    HICON icon;
    std::wstring tip;
    bool shown;  // on a real tray
};
// The icons added and not deleted, in the order they were added.
std::vector<TrayIconInfo> TrayIcons();
// What a click (or a context click) on the icon does; false when there is none.
bool ClickTrayIcon(HWND hwnd, UINT id, bool context);

}  // namespace winplat
