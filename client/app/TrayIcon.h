// The lobby's notification-area icon and its menu.
#pragma once

#include "fenlo/UIlib.h"
#include "win32gui/shell.h"

class CTrayIcon {
public:
    CTrayIcon();
    ~CTrayIcon();
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // Adds the icon for the window: its id is the menu handle's value, the tip names
    // the product and the local user. The two texts are not used.
    bool Add(HMENU* menu, DuiLib::CWindowWnd* wnd, UINT callbackMessage, LPCWSTR text1,
             LPCWSTR text2, HICON icon);
    // Removes the icon when it was added.
    void Remove();
    // The callback message: a left click shows or hides the window, a right click
    // opens the menu at the cursor, its commands going to the window.
    void OnTrayMessage(WPARAM wParam, LPARAM lParam);

    NOTIFYICONDATAW m_nid;
    bool m_bAdded;
    HMENU m_hMenu;
    DuiLib::CWindowWnd* m_pWnd;
};
