// The window host seam, and the few window calls whose answers come from it.
#include <atomic>

#include "window_table.h"
#include "win32/loop.h"

namespace winplat {

WindowHost::~WindowHost() = default;

namespace {
std::atomic<WindowHost*> g_host{nullptr};
}

void SetWindowHost(WindowHost* host) {
    g_host = host;
}
WindowHost* GetWindowHost() {
    return g_host.load();
}

}  // namespace winplat

int GetSystemMetrics(int index) {
    int value = 0;
    if (auto* host = winplat::GetWindowHost())
        if (host->SystemMetric(index, &value)) return value;
    // Without a screen: a common desktop size and Windows' usual frame sizes.
    switch (index) {
        case SM_CXSCREEN:
        case SM_CXFULLSCREEN:
        case SM_CXVIRTUALSCREEN:
        case SM_CXMAXIMIZED:
            return 1920;
        case SM_CYSCREEN:
        case SM_CYVIRTUALSCREEN:
        case SM_CYMAXIMIZED:
            return 1080;
        case SM_CYFULLSCREEN:
            return 1080 - 23;
        case SM_CMONITORS:
            return 1;
        case SM_CXICON:
        case SM_CYICON:
        case SM_CXCURSOR:
        case SM_CYCURSOR:
            return 32;
        case SM_CXSMICON:
        case SM_CYSMICON:
            return 16;
        case SM_CYCAPTION:
            return 23;
        case SM_CXBORDER:
        case SM_CYBORDER:
            return 1;
        case SM_CXFRAME:
        case SM_CYFRAME:
            return 4;
        case SM_CXVSCROLL:
        case SM_CYHSCROLL:
            return 17;
        case SM_CXDOUBLECLK:
        case SM_CYDOUBLECLK:
            return 4;
        default:
            return 0;  // SM_SERVERR2 and the rest
    }
}

HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name) {
    if (instance || !IS_INTRESOURCE(name)) return nullptr;
    return reinterpret_cast<HCURSOR>(const_cast<LPWSTR>(name));
}

int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw) {
    {
        std::lock_guard<std::mutex> g(winplat::WindowLock());
        auto r = winplat::LookupWindowLocked(hwnd);
        if (!r) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        r->region = region;
    }
    if (auto* host = winplat::GetWindowHost())
        host->WindowRegionChanged(hwnd, region, redraw != FALSE);
    return 1;
}
