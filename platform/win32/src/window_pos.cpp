// Placement, visibility, enabled state, minimise and maximise of window records.
#include <algorithm>

#include "window_internal.h"
#include "window_table.h"
#include "win32/loop.h"

using namespace winplat;

namespace {

RECT screenRect() {
    return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void reorderLocked(WindowRecord& r, HWND insertAfter) {
    if (insertAfter == HWND_TOPMOST) r.exStyle |= WS_EX_TOPMOST;
    if (insertAfter == HWND_NOTOPMOST) r.exStyle &= ~static_cast<DWORD>(WS_EX_TOPMOST);
    auto p = LookupWindowLocked(r.parent);
    if (!p) return;
    auto& c = p->children;
    c.erase(std::remove(c.begin(), c.end(), r.hwnd), c.end());
    if (insertAfter == HWND_BOTTOM) {
        c.push_back(r.hwnd);
        return;
    }
    auto at = std::find(c.begin(), c.end(), insertAfter);
    c.insert(at == c.end() ? c.begin() : at + 1, r.hwnd);
}

bool getStyle(HWND hwnd, DWORD& style) {
    std::lock_guard<std::mutex> g(WindowLock());
    auto r = LookupWindowLocked(hwnd);
    if (!r) return false;
    style = r->style;
    return true;
}

// Sets the minimise/maximise bits and the restore placement; the new rectangle.
RECT enterState(HWND hwnd, DWORD state) {
    RECT target{};
    MINMAXINFO mmi = DefaultMinMaxInfo();
    if (state == WS_MAXIMIZE)
        SendMessageW(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    std::lock_guard<std::mutex> g(WindowLock());
    auto r = LookupWindowLocked(hwnd);
    if (!r) return target;
    bool wasNormal = !(r->style & (WS_MINIMIZE | WS_MAXIMIZE));
    if (wasNormal) r->restore = r->rect;
    if (state == WS_MINIMIZE) r->restoreMaximized = (r->style & WS_MAXIMIZE) != 0;
    r->style = (r->style & ~static_cast<DWORD>(WS_MINIMIZE | WS_MAXIMIZE)) | state;
    if (state == WS_MAXIMIZE)
        target = RECT{mmi.ptMaxPosition.x, mmi.ptMaxPosition.y,
                      mmi.ptMaxPosition.x + mmi.ptMaxSize.x, mmi.ptMaxPosition.y + mmi.ptMaxSize.y};
    else if (state == WS_MINIMIZE)
        target = r->rect;
    else
        target = r->restore;
    return target;
}

}  // namespace

namespace winplat {

WPARAM SizeKind(HWND hwnd) {
    DWORD style = 0;
    getStyle(hwnd, style);
    if (style & WS_MINIMIZE) return SIZE_MINIMIZED;
    if (style & WS_MAXIMIZE) return SIZE_MAXIMIZED;
    return SIZE_RESTORED;
}

BOOL ApplyWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags,
                    bool forceSize) {
    if (!IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    WINDOWPOS wp{hwnd, insertAfter, x, y, cx, cy, flags};
    if (!(flags & SWP_NOSENDCHANGING))
        SendMessageW(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
    RECT before, after;
    bool wasVisible, visible;
    {
        std::lock_guard<std::mutex> g(WindowLock());
        auto r = LookupWindowLocked(hwnd);
        if (!r) return FALSE;
        before = after = r->rect;
        if (!(wp.flags & SWP_NOMOVE)) {
            after = RECT{wp.x, wp.y, wp.x + (before.right - before.left),
                         wp.y + (before.bottom - before.top)};
        }
        if (!(wp.flags & SWP_NOSIZE)) {
            after.right = after.left + std::max(wp.cx, 0);
            after.bottom = after.top + std::max(wp.cy, 0);
        }
        r->rect = after;
        wasVisible = (r->style & WS_VISIBLE) != 0;
        if (wp.flags & SWP_SHOWWINDOW) r->style |= WS_VISIBLE;
        if (wp.flags & SWP_HIDEWINDOW) r->style &= ~static_cast<DWORD>(WS_VISIBLE);
        visible = (r->style & WS_VISIBLE) != 0;
        if (!(wp.flags & SWP_NOZORDER)) reorderLocked(*r, wp.hwndInsertAfter);
    }
    bool moved = before.left != after.left || before.top != after.top;
    bool sized = before.right - before.left != after.right - after.left ||
                 before.bottom - before.top != after.bottom - after.top || forceSize;
    WINDOWPOS done{hwnd,
                   wp.hwndInsertAfter,
                   static_cast<int>(after.left),
                   static_cast<int>(after.top),
                   static_cast<int>(after.right - after.left),
                   static_cast<int>(after.bottom - after.top),
                   wp.flags | (moved ? 0u : kSwpNoClientMove) | (sized ? 0u : kSwpNoClientSize)};
    SendMessageW(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&done));
    if (auto* host = GetWindowHost()) {
        if (!(wp.flags & SWP_NOZORDER)) host->WindowZOrderChanged(hwnd, wp.hwndInsertAfter);
        if (moved || sized) {
            RECT screen;
            if (GetWindowRect(hwnd, &screen)) host->WindowMoved(hwnd, screen);
        }
        if (visible != wasVisible) host->WindowShown(hwnd, visible);
    }
    return TRUE;
}

}  // namespace winplat

namespace {

bool ActivatesOnShow(int cmdShow) {
    switch (cmdShow) {
        case SW_SHOWNORMAL:
        case SW_SHOWMAXIMIZED:
        case SW_SHOW:
        case SW_RESTORE:
        case SW_SHOWDEFAULT:
            return true;
        default:
            return false;
    }
}

BOOL ShowWindowState(HWND hwnd, int cmdShow);

}  // namespace

BOOL ShowWindow(HWND hwnd, int cmdShow) {
    const BOOL wasVisible = ShowWindowState(hwnd, cmdShow);
    DWORD style = 0;
    if (ActivatesOnShow(cmdShow) && getStyle(hwnd, style) && !(style & WS_CHILD) &&
        !(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_NOACTIVATE))
        if (auto* host = winplat::GetWindowHost()) host->WindowActivateRequested(hwnd);
    return wasVisible;
}

namespace {

BOOL ShowWindowState(HWND hwnd, int cmdShow) {
    DWORD style;
    if (!getStyle(hwnd, style)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    bool wasVisible = (style & WS_VISIBLE) != 0;
    const UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    if (cmdShow == SW_HIDE) {
        if (!wasVisible) return FALSE;
        SendMessageW(hwnd, WM_SHOWWINDOW, FALSE, 0);
        ApplyWindowPos(hwnd, nullptr, 0, 0, 0, 0, keep | SWP_HIDEWINDOW);
        return TRUE;
    }
    const DWORD showOnly = 0xFFFFFFFFu;
    DWORD current = style & (WS_MINIMIZE | WS_MAXIMIZE);
    DWORD state;
    switch (cmdShow) {
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED:
        case SW_SHOWMINNOACTIVE:
        case SW_FORCEMINIMIZE:
            state = WS_MINIMIZE;
            break;
        case SW_MAXIMIZE:
            state = WS_MAXIMIZE;
            break;
        case SW_RESTORE:
        case SW_SHOWNORMAL:
        case SW_SHOWDEFAULT: {
            // A window minimised from maximised is restored to maximised.
            std::lock_guard<std::mutex> g(WindowLock());
            auto r = LookupWindowLocked(hwnd);
            state = (current == WS_MINIMIZE && r && r->restoreMaximized) ? WS_MAXIMIZE : 0;
            break;
        }
        default:
            state = showOnly;
            break;  // SW_SHOW, SW_SHOWNA, SW_SHOWNOACTIVATE
    }
    if (!wasVisible) SendMessageW(hwnd, WM_SHOWWINDOW, TRUE, 0);
    UINT show = wasVisible ? 0u : static_cast<UINT>(SWP_SHOWWINDOW);
    if (state == showOnly || state == current) {
        if (!wasVisible) ApplyWindowPos(hwnd, nullptr, 0, 0, 0, 0, keep | show);
        return wasVisible;
    }
    RECT target = enterState(hwnd, state);
    ApplyWindowPos(hwnd, nullptr, target.left, target.top, target.right - target.left,
                   target.bottom - target.top,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | show, true);
    if (auto* host = GetWindowHost())
        host->WindowStateChanged(hwnd, state == WS_MINIMIZE   ? SW_MINIMIZE
                                       : state == WS_MAXIMIZE ? SW_MAXIMIZE
                                                              : SW_RESTORE);
    return wasVisible;
}

}  // namespace

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
    return ApplyWindowPos(
        hwnd, nullptr, x, y, width, height,
        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0u : static_cast<UINT>(SWP_NOREDRAW)));
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    return ApplyWindowPos(hwnd, insertAfter, x, y, cx, cy, flags);
}

BOOL GetWindowRect(HWND hwnd, LPRECT rect) {
    if (!rect) return FALSE;
    if (hwnd == DesktopWindowHandle()) {
        *rect = screenRect();
        return TRUE;
    }
    std::lock_guard<std::mutex> g(WindowLock());
    auto r = LookupWindowLocked(hwnd);
    if (!r) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    POINT o = ClientOriginLocked(*r);
    *rect =
        RECT{o.x, o.y, o.x + (r->rect.right - r->rect.left), o.y + (r->rect.bottom - r->rect.top)};
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, LPRECT rect) {
    if (!rect) return FALSE;
    RECT w;
    if (!GetWindowRect(hwnd, &w)) return FALSE;
    *rect = RECT{0, 0, w.right - w.left, w.bottom - w.top};
    return TRUE;
}

namespace {
bool origin(HWND hwnd, POINT& o) {
    if (!hwnd || hwnd == DesktopWindowHandle()) {
        o = POINT{0, 0};
        return true;
    }
    std::lock_guard<std::mutex> g(WindowLock());
    auto r = LookupWindowLocked(hwnd);
    if (!r) return false;
    o = ClientOriginLocked(*r);
    return true;
}
}  // namespace

BOOL ClientToScreen(HWND hwnd, LPPOINT point) {
    POINT o;
    if (!point || !origin(hwnd, o)) return FALSE;
    point->x += o.x;
    point->y += o.y;
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, LPPOINT point) {
    POINT o;
    if (!point || !origin(hwnd, o)) return FALSE;
    point->x -= o.x;
    point->y -= o.y;
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
    POINT a, b;
    if (!origin(from, a) || !origin(to, b)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    LONG dx = a.x - b.x, dy = a.y - b.y;
    for (UINT i = 0; points && i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

BOOL IsWindowVisible(HWND hwnd) {
    std::lock_guard<std::mutex> g(WindowLock());
    auto r = LookupWindowLocked(hwnd);
    if (!r) return FALSE;
    for (int depth = 0; r && depth < 256; ++depth) {
        if (!(r->style & WS_VISIBLE)) return FALSE;
        if (!r->parent) return TRUE;
        r = LookupWindowLocked(r->parent);
    }
    return FALSE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    bool wasDisabled;
    {
        std::lock_guard<std::mutex> g(WindowLock());
        auto r = LookupWindowLocked(hwnd);
        if (!r) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        wasDisabled = (r->style & WS_DISABLED) != 0;
        if (wasDisabled == !enable) return wasDisabled;
        if (enable)
            r->style &= ~static_cast<DWORD>(WS_DISABLED);
        else
            r->style |= WS_DISABLED;
    }
    SendMessageW(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
    if (auto* host = GetWindowHost()) host->WindowEnabled(hwnd, enable != FALSE);
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd) {
    DWORD style;
    return getStyle(hwnd, style) && !(style & WS_DISABLED);
}

BOOL IsIconic(HWND hwnd) {
    DWORD style;
    return getStyle(hwnd, style) && (style & WS_MINIMIZE);
}

BOOL IsZoomed(HWND hwnd) {
    DWORD style;
    return getStyle(hwnd, style) && (style & WS_MAXIMIZE);
}
