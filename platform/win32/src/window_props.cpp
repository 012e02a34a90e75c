// Window record properties: long values, relations, text, lookup.
#include <cstring>
#include <cwctype>

#include "window_internal.h"
#include "window_table.h"
#include "win32/loop.h"
#include "win32/sync.h"

using namespace winplat;

namespace {

bool sameFolded(const std::wstring& a, LPCWSTR b) {
    size_t n = wcslen(b);
    if (a.size() != n) return false;
    for (size_t i = 0; i < n; ++i)
        if (std::towlower(a[i]) != std::towlower(b[i])) return false;
    return true;
}

std::shared_ptr<WindowRecord> topLevelLocked(std::shared_ptr<WindowRecord> r) {
    for (int depth = 0; r && r->parent && depth < 256; ++depth) {
        auto up = LookupWindowLocked(r->parent);
        if (!up) break;
        r = up;
    }
    return r;
}

// Style changes go through WM_STYLECHANGING/CHANGED, as on Windows.
LONG_PTR setStyle(HWND hwnd, int index, DWORD value) {
    DWORD old;
    {
        std::lock_guard<std::mutex> g(WindowLock());
        auto r = LookupWindowLocked(hwnd);
        if (!r) return 0;
        old = index == GWL_STYLE ? r->style : r->exStyle;
    }
    STYLESTRUCT ss{old, value};
    SendMessageW(hwnd, WM_STYLECHANGING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&ss));
    {
        std::lock_guard<std::mutex> g(WindowLock());
        auto r = LookupWindowLocked(hwnd);
        if (!r) return 0;
        (index == GWL_STYLE ? r->style : r->exStyle) = ss.styleNew;
    }
    SendMessageW(hwnd, WM_STYLECHANGED, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&ss));
    if (auto* host = GetWindowHost()) host->WindowStyleChanged(hwnd);
    return static_cast<LONG_PTR>(old);
}

}  // namespace

LONG_PTR GetWindowLongPtrW(HWND hwnd, int index) {
    std::lock_guard<std::mutex> g(WindowLock());
    auto r = LookupWindowLocked(hwnd);
    if (!r) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    switch (index) {
        case GWLP_USERDATA:
            return r->userData;
        case GWLP_WNDPROC:
            return reinterpret_cast<LONG_PTR>(r->proc);
        case GWL_STYLE:
            return static_cast<LONG_PTR>(r->style);
        case GWL_EXSTYLE:
            return static_cast<LONG_PTR>(r->exStyle);
        case GWLP_ID:
            return r->id;
        case GWLP_HINSTANCE:
            return reinterpret_cast<LONG_PTR>(r->instance);
        case GWLP_HWNDPARENT:
            return reinterpret_cast<LONG_PTR>(r->parent ? r->parent : r->owner);
        default:
            break;
    }
    if (index < 0 || static_cast<size_t>(index) + sizeof(LONG_PTR) > r->extra.size()) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    LONG_PTR v;
    std::memcpy(&v, r->extra.data() + index, sizeof v);
    return v;
}

LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value) {
    if (index == GWL_STYLE || index == GWL_EXSTYLE) {
        if (!IsWindow(hwnd)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        return setStyle(hwnd, index, static_cast<DWORD>(value));
    }
    std::lock_guard<std::mutex> g(WindowLock());
    auto r = LookupWindowLocked(hwnd);
    if (!r) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    LONG_PTR old;
    switch (index) {
        case GWLP_USERDATA:
            old = r->userData;
            r->userData = value;
            return old;
        case GWLP_WNDPROC:
            old = reinterpret_cast<LONG_PTR>(r->proc);
            r->proc = reinterpret_cast<WNDPROC>(value);
            return old;
        case GWLP_ID:
            old = r->id;
            r->id = value;
            return old;
        case GWLP_HINSTANCE:
            old = reinterpret_cast<LONG_PTR>(r->instance);
            r->instance = reinterpret_cast<HINSTANCE>(value);
            return old;
        case GWLP_HWNDPARENT:  // changes the owner of a top-level window
            old = reinterpret_cast<LONG_PTR>(r->owner);
            if (!r->parent) r->owner = reinterpret_cast<HWND>(value);
            return old;
        default:
            break;
    }
    if (index < 0 || static_cast<size_t>(index) + sizeof(LONG_PTR) > r->extra.size()) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    std::memcpy(&old, r->extra.data() + index, sizeof old);
    std::memcpy(r->extra.data() + index, &value, sizeof value);
    return old;
}

LONG GetWindowLongW(HWND hwnd, int index) {
    return static_cast<LONG>(GetWindowLongPtrW(hwnd, index));
}
LONG SetWindowLongW(HWND hwnd, int index, LONG value) {
    // Styles are unsigned bit sets: keep them from sign extension.
    LONG_PTR v = (index == GWL_STYLE || index == GWL_EXSTYLE)
                     ? static_cast<LONG_PTR>(static_cast<DWORD>(value))
                     : static_cast<LONG_PTR>(value);
    return static_cast<LONG>(SetWindowLongPtrW(hwnd, index, v));
}

HWND GetParent(HWND hwnd) {
    std::lock_guard<std::mutex> g(WindowLock());
    auto r = LookupWindowLocked(hwnd);
    if (!r) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (r->style & WS_CHILD) return r->parent;
    return (r->style & WS_POPUP) ? r->owner : nullptr;  // Windows' rule for popups
}

HWND SetParent(HWND child, HWND newParent) {
    HWND old;
    {
        std::lock_guard<std::mutex> g(WindowLock());
        auto r = LookupWindowLocked(child);
        auto p = LookupWindowLocked(newParent);
        if (!r || (newParent && !p)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        for (auto up = p; up; up = LookupWindowLocked(up->parent))  // no cycles
            if (up->hwnd == child) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return nullptr;
            }
        old = r->parent;
        if (auto op = LookupWindowLocked(old)) {
            auto& c = op->children;
            for (auto it = c.begin(); it != c.end(); ++it)
                if (*it == child) {
                    c.erase(it);
                    break;
                }
        }
        r->parent = newParent;
        if (p) p->children.insert(p->children.begin(), child);
    }
    if (auto* host = GetWindowHost()) host->WindowParentChanged(child, newParent);
    return old ? old : DesktopWindowHandle();
}

HWND GetWindow(HWND hwnd, UINT relation) {
    std::lock_guard<std::mutex> g(WindowLock());
    auto r = LookupWindowLocked(hwnd);
    if (!r) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (relation == GW_OWNER) return r->owner;
    if (relation == GW_CHILD) return r->children.empty() ? nullptr : r->children.front();
    auto p = LookupWindowLocked(r->parent);
    if (!p) return nullptr;  // siblings of top-level windows are not tracked
    auto& c = p->children;
    size_t i = 0;
    while (i < c.size() && c[i] != hwnd) ++i;
    switch (relation) {
        case GW_HWNDFIRST:
            return c.front();
        case GW_HWNDLAST:
            return c.back();
        case GW_HWNDNEXT:
            return i + 1 < c.size() ? c[i + 1] : nullptr;
        case GW_HWNDPREV:
            return i > 0 && i < c.size() ? c[i - 1] : nullptr;
        default:
            return nullptr;
    }
}

HWND GetAncestor(HWND hwnd, UINT flags) {
    std::lock_guard<std::mutex> g(WindowLock());
    auto r = LookupWindowLocked(hwnd);
    if (!r) return nullptr;
    switch (flags) {
        case GA_PARENT:
            return r->parent ? r->parent : DesktopWindowHandle();
        case GA_ROOT:
            return topLevelLocked(r)->hwnd;
        case GA_ROOTOWNER: {
            auto top = topLevelLocked(r);
            for (int depth = 0; top->owner && depth < 256; ++depth) {
                auto o = LookupWindowLocked(top->owner);
                if (!o) break;
                top = topLevelLocked(o);
            }
            return top->hwnd;
        }
        default:
            return nullptr;
    }
}

BOOL IsChild(HWND parent, HWND hwnd) {
    std::lock_guard<std::mutex> g(WindowLock());
    auto r = LookupWindowLocked(hwnd);
    for (int depth = 0; r && r->parent && depth < 256; ++depth) {
        if (r->parent == parent) return TRUE;
        r = LookupWindowLocked(r->parent);
    }
    return FALSE;
}

HWND GetDlgItem(HWND parent, int id) {
    std::lock_guard<std::mutex> g(WindowLock());
    auto p = LookupWindowLocked(parent);
    if (!p) return nullptr;
    for (HWND c : p->children) {
        auto r = LookupWindowLocked(c);
        if (r && r->id == id) return c;
    }
    return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
    return static_cast<int>(GetWindowLongPtrW(hwnd, GWLP_ID));
}

HWND GetDesktopWindow() {
    return DesktopWindowHandle();
}

HWND FindWindowW(LPCWSTR className, LPCWSTR windowName) {
    std::lock_guard<std::mutex> g(WindowLock());
    for (auto& r : AllWindowsLocked()) {
        if (r->parent || r->destroying) continue;
        if (className && !IS_INTRESOURCE(className) && !sameFolded(r->cls->name, className))
            continue;
        if (className && IS_INTRESOURCE(className) &&
            r->cls->atom != static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(className)))
            continue;
        if (windowName && r->text != windowName) continue;
        return r->hwnd;
    }
    return nullptr;
}

DWORD GetWindowThreadProcessId(HWND hwnd, LPDWORD processId) {
    DWORD t = WindowThread(hwnd);
    if (processId) *processId = t ? GetCurrentProcessId() : 0;
    return t;
}

BOOL SetWindowTextW(HWND hwnd, LPCWSTR text) {
    if (!IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int GetWindowTextW(HWND hwnd, LPWSTR out, int size) {
    if (!out || size <= 0) return 0;
    out[0] = L'\0';
    if (!IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return static_cast<int>(
        SendMessageW(hwnd, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(out)));
}

int GetWindowTextLengthW(HWND hwnd) {
    return static_cast<int>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
}
