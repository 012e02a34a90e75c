#include "fenlo/UIWindow.h"

#include <map>

#include "fenlo/UIManager.h"

namespace DuiLib {

namespace {

// The results of the modal loops running on this thread, by window. A window may
// delete its object as it goes (OnFinalMessage), so its loop takes the result from
// here, written as the window is destroyed, and never reads the object afterwards.
thread_local std::map<HWND, UINT*> t_modalResults;

}  // namespace

CWindowWnd::CWindowWnd() = default;
CWindowWnd::~CWindowWnd() = default;

HWND CWindowWnd::GetHWND() const {
    return m_hWnd;
}
CWindowWnd::operator HWND() const {
    return m_hWnd;
}

LPCTSTR CWindowWnd::GetSuperClassName() const {
    return nullptr;
}
UINT CWindowWnd::GetClassStyle() const {
    return 0;
}

bool CWindowWnd::RegisterWindowClass() {
    winplat::InstallGui();
    WNDCLASSEXW existing;
    if (::GetClassInfoExW(CPaintManagerUI::GetInstance(), GetWindowClassName(), &existing))
        return true;  // classes sharing a name share the first registration
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = GetClassStyle();
    wc.lpfnWndProc = CWindowWnd::__WndProc;
    wc.hInstance = CPaintManagerUI::GetInstance();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = GetWindowClassName();
    ATOM ret = ::RegisterClassExW(&wc);
    return ret != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool CWindowWnd::RegisterSuperclass() {
    winplat::InstallGui();
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    if (!::GetClassInfoExW(nullptr, GetSuperClassName(), &wc) &&
        !::GetClassInfoExW(CPaintManagerUI::GetInstance(), GetSuperClassName(), &wc))
        return false;
    m_OldWndProc = wc.lpfnWndProc;
    wc.lpfnWndProc = CWindowWnd::__ControlProc;
    wc.hInstance = CPaintManagerUI::GetInstance();
    wc.lpszClassName = GetWindowClassName();
    ATOM ret = ::RegisterClassExW(&wc);
    return ret != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CWindowWnd::Create(HWND parent, LPCTSTR name, DWORD style, DWORD exStyle, const RECT rc,
                        HMENU menu) {
    return Create(parent, name, style, exStyle, rc.left, rc.top, rc.right - rc.left,
                  rc.bottom - rc.top, menu);
}

HWND CWindowWnd::Create(HWND parent, LPCTSTR name, DWORD style, DWORD exStyle, int x, int y, int cx,
                        int cy, HMENU menu) {
    if (GetSuperClassName() && !RegisterSuperclass()) return nullptr;
    if (!GetSuperClassName() && !RegisterWindowClass()) return nullptr;
    m_hWnd = ::CreateWindowExW(exStyle, GetWindowClassName(), name, style, x, y, cx, cy, parent,
                               menu, CPaintManagerUI::GetInstance(), this);
    return m_hWnd;
}

HWND CWindowWnd::CreateDuiWindow(HWND parent, LPCTSTR name, DWORD style, DWORD exStyle) {
    return Create(parent, name, style, exStyle, 0, 0, 0, 0, nullptr);
}

HWND CWindowWnd::Subclass(HWND hWnd) {
    if (!::IsWindow(hWnd)) return nullptr;
    m_OldWndProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(__ControlProc)));
    if (!m_OldWndProc) return nullptr;
    ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_bSubclassed = true;
    m_hWnd = hWnd;
    return m_hWnd;
}

void CWindowWnd::Unsubclass() {
    if (!m_bSubclassed || !::IsWindow(m_hWnd)) return;
    ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_OldWndProc));
    m_OldWndProc = nullptr;
    m_bSubclassed = false;
}

void CWindowWnd::ShowWindow(bool bShow, bool bTakeFocus) {
    if (!::IsWindow(m_hWnd)) return;
    ::ShowWindow(m_hWnd, bShow ? (bTakeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE) : SW_HIDE);
}

UINT CWindowWnd::ShowModal() {
    if (!::IsWindow(m_hWnd)) return IDCANCEL;
    HWND hWnd = m_hWnd;
    m_nModalResult = IDCANCEL;
    HWND owner = ::GetWindow(hWnd, GW_OWNER);
    if (!owner) owner = ::GetParent(hWnd);
    ::ShowWindow(hWnd, SW_SHOWNORMAL);
    if (owner) ::EnableWindow(owner, FALSE);
    bool ownerEnabled = false;
    bool quit = false;
    int quitCode = 0;
    UINT result = IDCANCEL;
    t_modalResults[hWnd] = &result;
    MSG msg;
    while (::IsWindow(hWnd)) {
        if (!::GetMessageW(&msg, nullptr, 0, 0)) {
            quit = true;
            quitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (msg.message == WM_CLOSE && msg.hwnd == hWnd && owner && !ownerEnabled) {
            // The owner takes the activation back before this window goes.
            ::EnableWindow(owner, TRUE);
            ::SetFocus(owner);
            ownerEnabled = true;
        }
        if (!CPaintManagerUI::TranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    if (owner && !ownerEnabled) {
        ::EnableWindow(owner, TRUE);
        ::SetFocus(owner);
    }
    // The outer loop still has to see the quit message.
    // Still there (the loop was quit): the object is too. Otherwise the result was
    // taken as the window went.
    if (::IsWindow(hWnd)) result = m_nModalResult;
    t_modalResults.erase(hWnd);
    if (quit) ::PostQuitMessage(quitCode);
    return result;
}

void CWindowWnd::Close(UINT nRet) {
    if (!::IsWindow(m_hWnd)) return;
    m_nModalResult = nRet;
    ::PostMessageW(m_hWnd, WM_CLOSE, static_cast<WPARAM>(nRet), 0L);
}

void CWindowWnd::CenterWindow() {
    if (!::IsWindow(m_hWnd)) return;
    RECT rcDlg{0, 0, 0, 0};
    ::GetWindowRect(m_hWnd, &rcDlg);
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    ::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &mi);
    RECT rcArea = mi.rcWork;
    RECT rcCenter = rcArea;
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (!owner) owner = ::GetParent(m_hWnd);
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) ::GetWindowRect(owner, &rcCenter);
    int w = rcDlg.right - rcDlg.left, h = rcDlg.bottom - rcDlg.top;
    int x = (rcCenter.left + rcCenter.right) / 2 - w / 2;
    int y = (rcCenter.top + rcCenter.bottom) / 2 - h / 2;
    // Keep the window on the screen's work area.
    if (x < rcArea.left)
        x = rcArea.left;
    else if (x + w > rcArea.right)
        x = rcArea.right - w;
    if (y < rcArea.top)
        y = rcArea.top;
    else if (y + h > rcArea.bottom)
        y = rcArea.bottom - h;
    ::SetWindowPos(m_hWnd, nullptr, x, y, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindowWnd::SetIcon(UINT nRes) {
    HICON icon = ::LoadIconW(CPaintManagerUI::GetInstance(), MAKEINTRESOURCEW(nRes));
    if (!icon) return;  // not a resource the program carries: the default stays
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

LRESULT CWindowWnd::SendMessageW(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(m_hWnd, uMsg, wParam, lParam);
}
LRESULT CWindowWnd::PostMessageW(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageW(m_hWnd, uMsg, wParam, lParam);
}

void CWindowWnd::ResizeClient(int cx, int cy) {
    RECT rc{0, 0, 0, 0};
    if (!::GetClientRect(m_hWnd, &rc)) return;
    if (cx != -1) rc.right = cx;
    if (cy != -1) rc.bottom = cy;
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                   SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

LRESULT CWindowWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return ::CallWindowProcW(m_OldWndProc ? m_OldWndProc : ::DefWindowProcW, m_hWnd, uMsg, wParam,
                             lParam);
}

void CWindowWnd::OnFinalMessage(HWND) {}

LRESULT CALLBACK CWindowWnd::__WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    CWindowWnd* pThis = nullptr;
    if (uMsg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<LPCREATESTRUCTW>(lParam);
        pThis = static_cast<CWindowWnd*>(cs->lpCreateParams);
        pThis->m_hWnd = hWnd;
        ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pThis));
    } else {
        pThis = reinterpret_cast<CWindowWnd*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
        if (uMsg == WM_NCDESTROY && pThis) {
            LRESULT lRes =
                ::CallWindowProcW(pThis->m_OldWndProc ? pThis->m_OldWndProc : ::DefWindowProcW,
                                  hWnd, uMsg, wParam, lParam);
            ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
            if (pThis->m_bSubclassed) pThis->Unsubclass();
            pThis->m_hWnd = nullptr;
            auto slot = t_modalResults.find(hWnd);
            if (slot != t_modalResults.end()) *slot->second = pThis->m_nModalResult;
            pThis->OnFinalMessage(hWnd);
            return lRes;
        }
    }
    if (pThis) return pThis->HandleMessage(uMsg, wParam, lParam);
    return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

LRESULT CALLBACK CWindowWnd::__ControlProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return __WndProc(hWnd, uMsg, wParam, lParam);
}

}  // namespace DuiLib
