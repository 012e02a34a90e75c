// Creation and destruction of windows, with the messages Windows sends.
#include <algorithm>

#include "queue.h"
#include "window_internal.h"
#include "window_table.h"
#include "win32/loop.h"
#include "win32/sync.h"

#define ERROR_TLW_WITH_WSCHILD 1406L

namespace winplat {
namespace {

// Ends a record: after WM_NCDESTROY, the handle becomes invalid.
void finishWindow(HWND hwnd) {
    if (auto* host = GetWindowHost()) host->WindowDestroyed(hwnd);
    std::shared_ptr<WindowRecord> r;
    {
        std::lock_guard<std::mutex> g(WindowLock());
        r = LookupWindowLocked(hwnd);
        if (!r) return;
        if (auto p = LookupWindowLocked(r->parent)) {
            auto& c = p->children;
            c.erase(std::remove(c.begin(), c.end(), hwnd), c.end());
        }
        RemoveWindowLocked(hwnd);
    }
    KillWindowTimers(r->threadId, hwnd);
    CancelWindowSelections(hwnd);
    PurgeWindowMessages(r->threadId, hwnd);
    ReleaseClassWindow(r->cls);
}

void collectSubtreeLocked(HWND hwnd, std::vector<HWND>& out) {
    auto r = LookupWindowLocked(hwnd);
    if (!r) return;
    out.push_back(hwnd);
    for (HWND c : r->children) collectSubtreeLocked(c, out);
}

}  // namespace

MINMAXINFO DefaultMinMaxInfo() {
    MINMAXINFO m{};
    int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    m.ptMaxSize = POINT{cx, cy};
    m.ptMaxPosition = POINT{0, 0};
    m.ptMinTrackSize = POINT{0, 0};
    m.ptMaxTrackSize = POINT{0x7FFF, 0x7FFF};
    return m;
}

void DropThreadWindows(DWORD threadId) {
    std::vector<std::shared_ptr<WindowRecord>> dropped;
    {
        std::lock_guard<std::mutex> g(WindowLock());
        for (auto& r : AllWindowsLocked())
            if (r->threadId == threadId) {
                dropped.push_back(r);
                RemoveWindowLocked(r->hwnd);
            }
    }
    for (auto& r : dropped) {
        CancelWindowSelections(r->hwnd);
        ReleaseClassWindow(r->cls);
    }
}

}  // namespace winplat

using namespace winplat;

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
    auto cls = FindClass(className);
    if (!cls) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    if (parent == HWND_MESSAGE) parent = nullptr;
    bool child = (style & WS_CHILD) != 0;
    // A top-level window "owned" by the desktop has no owner (the skin chooser is made so).
    if (!child && parent == DesktopWindowHandle()) parent = nullptr;
    bool overlapped = !child && !(style & WS_POPUP);
    if (x == CW_USEDEFAULT) x = y = 0;
    if (width == CW_USEDEFAULT) {
        width = overlapped ? 640 : 0;
        height = overlapped ? 480 : 0;
    }
    // Windows gives overlapped windows a caption; the program's windows remove it.
    if (overlapped) style |= WS_CAPTION | WS_CLIPSIBLINGS;
    DWORD initial = style & (WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);

    auto rec = std::make_shared<WindowRecord>();
    rec->cls = cls;
    rec->proc = cls->proc;
    rec->style = style & ~initial;
    rec->exStyle = exStyle;
    rec->rect = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
    rec->restore = rec->rect;
    rec->instance = instance;
    rec->threadId = GetCurrentThreadId();
    rec->extra.assign(static_cast<size_t>(cls->wndExtra), 0);
    if (child) rec->id = reinterpret_cast<LONG_PTR>(menu);
    HWND hwnd;
    {
        std::lock_guard<std::mutex> g(WindowLock());
        if (parent) {
            auto p = LookupWindowLocked(parent);
            if (!p) {
                ReleaseClassWindow(cls);
                SetLastError(ERROR_INVALID_WINDOW_HANDLE);
                return nullptr;
            }
            if (child) {
                rec->parent = parent;
            } else {  // the owner of a top-level window is a top-level window
                for (int depth = 0; p->parent && depth < 256; ++depth) {
                    auto up = LookupWindowLocked(p->parent);
                    if (!up) break;
                    p = up;
                }
                rec->owner = p->hwnd;
            }
        } else if (child) {
            ReleaseClassWindow(cls);
            SetLastError(ERROR_TLW_WITH_WSCHILD);
            return nullptr;
        }
        hwnd = AddWindowLocked(rec);
        if (auto p = LookupWindowLocked(rec->parent)) p->children.insert(p->children.begin(), hwnd);
    }
    CurrentQueue();

    CREATESTRUCTW cs{};
    cs.lpCreateParams = param;
    cs.hInstance = instance;
    cs.hMenu = menu;
    cs.hwndParent = parent;
    cs.cx = width;
    cs.cy = height;
    cs.x = x;
    cs.y = y;
    cs.style = static_cast<LONG>(style);
    cs.lpszName = windowName;
    cs.lpszClass = className;
    cs.dwExStyle = exStyle;
    LPARAM csParam = reinterpret_cast<LPARAM>(&cs);

    if (!child) {
        MINMAXINFO mmi = DefaultMinMaxInfo();
        CallWindowDirect(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    }
    if (!CallWindowDirect(hwnd, WM_NCCREATE, 0, csParam)) {
        CallWindowDirect(hwnd, WM_NCDESTROY, 0, 0);
        finishWindow(hwnd);
        return nullptr;
    }
    RECT client = rec->rect;
    CallWindowDirect(hwnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&client));
    if (CallWindowDirect(hwnd, WM_CREATE, 0, csParam) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (!IsWindow(hwnd)) return nullptr;
    RECT r;
    {
        std::lock_guard<std::mutex> g(WindowLock());
        r = rec->rect;
    }
    CallWindowDirect(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(r.right - r.left, r.bottom - r.top));
    CallWindowDirect(hwnd, WM_MOVE, 0, MAKELPARAM(r.left, r.top));
    if (auto* host = GetWindowHost()) host->WindowCreated(hwnd);
    if (initial & WS_VISIBLE) {
        ShowWindow(hwnd, (initial & WS_MAXIMIZE)   ? SW_SHOWMAXIMIZED
                         : (initial & WS_MINIMIZE) ? SW_SHOWMINIMIZED
                                                   : SW_SHOW);
    }
    return IsWindow(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hwnd) {
    auto rec = LookupWindow(hwnd);
    if (!rec) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (rec->threadId != GetCurrentThreadId()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    std::vector<HWND> owned;
    {
        std::lock_guard<std::mutex> g(WindowLock());
        if (rec->destroying) return TRUE;  // already on its way (a WM_DESTROY handler)
        for (auto& r : AllWindowsLocked())
            if (r->owner == hwnd && !r->destroying) owned.push_back(r->hwnd);
    }
    for (HWND o : owned) DestroyWindow(o);

    if (IsWindowVisible(hwnd))
        ApplyWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    std::vector<HWND> tree;  // parents before children
    {
        std::lock_guard<std::mutex> g(WindowLock());
        collectSubtreeLocked(hwnd, tree);
        for (HWND h : tree)
            if (auto r = LookupWindowLocked(h)) r->destroying = true;
    }
    for (HWND h : tree) CallWindowDirect(h, WM_DESTROY, 0, 0);
    for (auto it = tree.rbegin(); it != tree.rend(); ++it) {
        CallWindowDirect(*it, WM_NCDESTROY, 0, 0);
        finishWindow(*it);
    }
    return TRUE;
}

BOOL IsWindow(HWND hwnd) {
    return LookupWindow(hwnd) ? TRUE : FALSE;
}
