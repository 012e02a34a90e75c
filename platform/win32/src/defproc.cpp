// The default window procedure: what Windows does for messages a window
// procedure leaves alone, as far as the program relies on it.
#include <algorithm>

#include "window_internal.h"
#include "window_table.h"
#include "win32/loop.h"

using namespace winplat;

namespace {

#define MA_ACTIVATE 1
#define VK_F4_KEY 0x73

void setText(HWND hwnd, LPCWSTR text) {
    {
        std::lock_guard<std::mutex> g(WindowLock());
        auto r = LookupWindowLocked(hwnd);
        if (!r) return;
        r->text = text ? text : L"";
    }
    if (auto* host = GetWindowHost()) host->WindowTextChanged(hwnd);
}

LRESULT getText(HWND hwnd, WPARAM size, LPARAM out) {
    auto* buf = reinterpret_cast<wchar_t*>(out);
    if (!buf || size == 0) return 0;
    std::lock_guard<std::mutex> g(WindowLock());
    auto r = LookupWindowLocked(hwnd);
    if (!r) return 0;
    size_t n = std::min(r->text.size(), static_cast<size_t>(size) - 1);
    r->text.copy(buf, n);
    buf[n] = L'\0';
    return static_cast<LRESULT>(n);
}

// Keeps the icon in the record and returns the one it replaces.
LRESULT setIcon(HWND hwnd, WPARAM kind, HICON icon) {
    HICON previous = nullptr;
    {
        std::lock_guard<std::mutex> g(WindowLock());
        auto r = LookupWindowLocked(hwnd);
        if (!r) return 0;
        HICON& slot = kind == ICON_BIG ? r->iconBig : r->iconSmall;
        previous = slot;
        slot = icon;
    }
    if (auto* host = GetWindowHost()) host->WindowIconChanged(hwnd);
    return reinterpret_cast<LRESULT>(previous);
}

HWND parentOf(HWND hwnd) {
    std::lock_guard<std::mutex> g(WindowLock());
    auto r = LookupWindowLocked(hwnd);
    return r && (r->style & WS_CHILD) ? r->parent : nullptr;
}

// WM_WINDOWPOSCHANGED becomes WM_MOVE and WM_SIZE, as on Windows.
void positionChanged(HWND hwnd, const WINDOWPOS* wp) {
    if (!wp) return;
    RECT rc;
    {
        std::lock_guard<std::mutex> g(WindowLock());
        auto r = LookupWindowLocked(hwnd);
        if (!r) return;
        rc = r->rect;
    }
    if (!(wp->flags & kSwpNoClientMove))
        SendMessageW(hwnd, WM_MOVE, 0, MAKELPARAM(rc.left, rc.top));
    if (!(wp->flags & kSwpNoClientSize)) {
        WPARAM kind = SizeKind(hwnd);
        LPARAM size =
            kind == SIZE_MINIMIZED ? 0 : MAKELPARAM(rc.right - rc.left, rc.bottom - rc.top);
        SendMessageW(hwnd, WM_SIZE, kind, size);
    }
}

// A size change is held within the window's WM_GETMINMAXINFO limits.
void positionChanging(HWND hwnd, WINDOWPOS* wp) {
    if (!wp || (wp->flags & SWP_NOSIZE)) return;
    if (parentOf(hwnd)) return;
    MINMAXINFO mmi = DefaultMinMaxInfo();
    SendMessageW(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    wp->cx = std::max<int>(mmi.ptMinTrackSize.x, std::min<int>(wp->cx, mmi.ptMaxTrackSize.x));
    wp->cy = std::max<int>(mmi.ptMinTrackSize.y, std::min<int>(wp->cy, mmi.ptMaxTrackSize.y));
}

LRESULT hitTest(HWND hwnd, LPARAM lParam) {
    RECT r;
    if (!GetWindowRect(hwnd, &r)) return HTNOWHERE;
    int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom ? HTCLIENT : HTNOWHERE;
}

LRESULT sysCommand(HWND hwnd, WPARAM wParam) {
    switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            SendMessageW(hwnd, WM_CLOSE, 0, 0);
            break;
        case SC_MINIMIZE:
            ShowWindow(hwnd, SW_MINIMIZE);
            break;
        case SC_MAXIMIZE:
            ShowWindow(hwnd, SW_MAXIMIZE);
            break;
        case SC_RESTORE:
            ShowWindow(hwnd, SW_RESTORE);
            break;
        default:
            break;  // moving and sizing by the user belong to the host
    }
    return 0;
}

}  // namespace

LRESULT DefWindowProcW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_NCCREATE: {
            auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
            if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) setText(hwnd, cs->lpszName);
            return TRUE;
        }
        case WM_SETTEXT:
            setText(hwnd, reinterpret_cast<LPCWSTR>(lParam));
            return TRUE;
        case WM_GETTEXT:
            return getText(hwnd, wParam, lParam);
        case WM_GETTEXTLENGTH: {
            std::lock_guard<std::mutex> g(WindowLock());
            auto r = LookupWindowLocked(hwnd);
            return r ? static_cast<LRESULT>(r->text.size()) : 0;
        }
        case WM_SETICON:
            return setIcon(hwnd, wParam, reinterpret_cast<HICON>(lParam));
        case WM_GETICON: {
            std::lock_guard<std::mutex> g(WindowLock());
            auto r = LookupWindowLocked(hwnd);
            if (!r) return 0;
            return reinterpret_cast<LRESULT>(wParam == ICON_BIG ? r->iconBig : r->iconSmall);
        }
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_WINDOWPOSCHANGING:
            positionChanging(hwnd, reinterpret_cast<WINDOWPOS*>(lParam));
            return 0;
        case WM_WINDOWPOSCHANGED:
            positionChanged(hwnd, reinterpret_cast<const WINDOWPOS*>(lParam));
            return 0;
        case WM_NCHITTEST:
            return hitTest(hwnd, lParam);
        case WM_SYSCOMMAND:
            return sysCommand(hwnd, wParam);
        case WM_SYSKEYDOWN:
            if (wParam == VK_F4_KEY && (lParam & (1 << 29)))
                SendMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
            return 0;
        case WM_CONTEXTMENU:
        case WM_MOUSEWHEEL:
        case WM_MOUSEHWHEEL:
            // A child hands these on to its parent.
            if (HWND p = parentOf(hwnd)) return SendMessageW(p, msg, wParam, lParam);
            return 0;
        case WM_MOUSEACTIVATE:
            return MA_ACTIVATE;
        case WM_NCACTIVATE:
            return TRUE;
        case WM_ERASEBKGND:
            return 1;
        case WM_QUERYENDSESSION:
            return TRUE;
        default:
            return 0;
    }
}

LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return proc ? proc(hwnd, msg, wParam, lParam) : 0;
}
