// Window classes: registered by name (case-insensitive) for the whole process.
#include <cwctype>
#include <map>

#include "window_table.h"

namespace winplat {
namespace {

struct Classes {
    std::mutex lock;
    std::map<std::wstring, std::shared_ptr<WindowClass>> byName;
    ATOM nextAtom = 0xC000;  // the range Windows uses for registered classes
};

Classes& classes() {
    static Classes* c = new Classes;
    return *c;
}

std::wstring folded(LPCWSTR name) {
    std::wstring s(name);
    for (auto& ch : s) ch = static_cast<wchar_t>(std::towlower(ch));
    return s;
}

bool isAtom(LPCWSTR name) {
    return IS_INTRESOURCE(name);
}

std::shared_ptr<WindowClass> findLocked(LPCWSTR nameOrAtom) {
    if (!nameOrAtom) return nullptr;
    if (isAtom(nameOrAtom)) {
        ATOM atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(nameOrAtom));
        for (auto& c : classes().byName)
            if (c.second->atom == atom) return c.second;
        return nullptr;
    }
    auto it = classes().byName.find(folded(nameOrAtom));
    return it == classes().byName.end() ? nullptr : it->second;
}

}  // namespace

std::shared_ptr<WindowClass> FindClass(LPCWSTR nameOrAtom) {
    std::lock_guard<std::mutex> g(classes().lock);
    auto c = findLocked(nameOrAtom);
    if (c) ++c->windows;  // the caller creates a window of it or releases
    return c;
}

void ReleaseClassWindow(const std::shared_ptr<WindowClass>& cls) {
    std::lock_guard<std::mutex> g(classes().lock);
    if (cls && cls->windows > 0) --cls->windows;
}

}  // namespace winplat

using winplat::WindowClass;

ATOM RegisterClassExW(const WNDCLASSEXW* wc) {
    if (!wc || !wc->lpszClassName || winplat::isAtom(wc->lpszClassName) || !*wc->lpszClassName ||
        wc->cbWndExtra < 0 || wc->cbClsExtra < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto& cs = winplat::classes();
    std::lock_guard<std::mutex> g(cs.lock);
    std::wstring key = winplat::folded(wc->lpszClassName);
    if (cs.byName.count(key)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    auto c = std::make_shared<WindowClass>();
    c->name = wc->lpszClassName;
    c->atom = cs.nextAtom++;
    c->style = wc->style;
    c->proc = wc->lpfnWndProc;
    c->clsExtra = wc->cbClsExtra;
    c->wndExtra = wc->cbWndExtra;
    c->instance = wc->hInstance;
    c->icon = wc->hIcon;
    c->iconSmall = wc->hIconSm;
    c->cursor = wc->hCursor;
    c->background = wc->hbrBackground;
    cs.byName[key] = c;
    return c->atom;
}

ATOM RegisterClassW(const WNDCLASSW* wc) {
    if (!wc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WNDCLASSEXW ex{};
    ex.cbSize = sizeof ex;
    ex.style = wc->style;
    ex.lpfnWndProc = wc->lpfnWndProc;
    ex.cbClsExtra = wc->cbClsExtra;
    ex.cbWndExtra = wc->cbWndExtra;
    ex.hInstance = wc->hInstance;
    ex.hIcon = wc->hIcon;
    ex.hCursor = wc->hCursor;
    ex.hbrBackground = wc->hbrBackground;
    ex.lpszMenuName = wc->lpszMenuName;
    ex.lpszClassName = wc->lpszClassName;
    return RegisterClassExW(&ex);
}

BOOL UnregisterClassW(LPCWSTR className, HINSTANCE) {
    auto& cs = winplat::classes();
    std::lock_guard<std::mutex> g(cs.lock);
    auto c = winplat::findLocked(className);
    if (!c) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if (c->windows > 0) {
        SetLastError(ERROR_CLASS_HAS_WINDOWS);
        return FALSE;
    }
    cs.byName.erase(winplat::folded(c->name.c_str()));
    return TRUE;
}

BOOL GetClassInfoExW(HINSTANCE, LPCWSTR className, LPWNDCLASSEXW out) {
    auto& cs = winplat::classes();
    std::lock_guard<std::mutex> g(cs.lock);
    auto c = winplat::findLocked(className);
    if (!c || !out) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    out->style = c->style;
    out->lpfnWndProc = c->proc;
    out->cbClsExtra = c->clsExtra;
    out->cbWndExtra = c->wndExtra;
    out->hInstance = c->instance;
    out->hIcon = c->icon;
    out->hIconSm = c->iconSmall;
    out->hCursor = c->cursor;
    out->hbrBackground = c->background;
    out->lpszMenuName = nullptr;
    out->lpszClassName = className;
    return c->atom;
}

int GetClassNameW(HWND hwnd, LPWSTR out, int size) {
    auto r = winplat::LookupWindow(hwnd);
    if (!r) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (!out || size <= 0) return 0;
    const std::wstring& name = r->cls->name;  // the class name never changes
    int n = static_cast<int>(name.size()) < size - 1 ? static_cast<int>(name.size()) : size - 1;
    name.copy(out, static_cast<size_t>(n));
    out[n] = L'\0';
    return n;
}
