// A window of the Windows layer driven by a C++ object: the class is registered
// from GetWindowClassName/GetClassStyle and messages reach HandleMessage.
#pragma once

#include "fenlo/UIString.h"
#include "win32gui/menu.h"
#include "win32gui/user.h"

namespace DuiLib {

class CWindowWnd {
public:
    CWindowWnd();

    HWND GetHWND() const;
    operator HWND() const;

    bool RegisterWindowClass();
    bool RegisterSuperclass();

    HWND Create(HWND hwndParent, LPCTSTR pstrName, DWORD dwStyle, DWORD dwExStyle, const RECT rc,
                HMENU hMenu = nullptr);
    HWND Create(HWND hwndParent, LPCTSTR pstrName, DWORD dwStyle, DWORD dwExStyle,
                int x = CW_USEDEFAULT, int y = CW_USEDEFAULT, int cx = CW_USEDEFAULT,
                int cy = CW_USEDEFAULT, HMENU hMenu = nullptr);
    HWND CreateDuiWindow(HWND hwndParent, LPCTSTR pstrWindowName, DWORD dwStyle = 0,
                         DWORD dwExStyle = 0);
    HWND Subclass(HWND hWnd);
    void Unsubclass();
    void ShowWindow(bool bShow = true, bool bTakeFocus = true);
    // Runs a nested loop until the window is closed: the value given to Close, or
    // IDCANCEL when the window was destroyed in another way. The owner is disabled
    // meanwhile. A quit message ends the loop and stays pending for the outer loop.
    UINT ShowModal();
    // Ends the window: WM_CLOSE is posted with nRet, and ShowModal returns nRet.
    void Close(UINT nRet = IDOK);
    void CenterWindow();
    void SetIcon(UINT nRes);

    LRESULT SendMessageW(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0L);
    LRESULT PostMessageW(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0L);
    void ResizeClient(int cx = -1, int cy = -1);

protected:
    virtual LPCTSTR GetWindowClassName() const = 0;
    virtual LPCTSTR GetSuperClassName() const;
    virtual UINT GetClassStyle() const;
    virtual LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);
    virtual void OnFinalMessage(HWND hWnd);

public:
    virtual ~CWindowWnd();

protected:
    static LRESULT CALLBACK __WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK __ControlProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;
    WNDPROC m_OldWndProc = nullptr;
    bool m_bSubclassed = false;

private:
    UINT m_nModalResult = IDCANCEL;
    // The running ShowModal's own copy of the result: a window that deletes itself
    // when destroyed is gone before ShowModal returns.
    UINT* m_pModalResult = nullptr;
};

}  // namespace DuiLib
