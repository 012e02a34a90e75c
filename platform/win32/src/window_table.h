// Window classes and window records, and the table that maps HWND values to
// records. A handle value is never reused, so a stale handle finds nothing.
// Fields are read and written under WindowLock(); window procedures are never
// called with it held.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "win32/window.h"

namespace winplat {

struct WindowClass {
    std::wstring name;
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC proc = nullptr;
    int clsExtra = 0;
    int wndExtra = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HICON iconSmall = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    int windows = 0;  // live windows of the class
};

struct WindowRecord {
    HWND hwnd = nullptr;
    std::shared_ptr<WindowClass> cls;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;  // children only
    HWND owner = nullptr;   // top-level windows only
    RECT rect{};            // screen (top-level) or parent client coordinates
    RECT restore{};         // placement before minimise or maximise
    bool restoreMaximized = false;
    std::wstring text;
    LONG_PTR userData = 0;
    LONG_PTR id = 0;  // child id (the menu argument)
    HINSTANCE instance = nullptr;
    DWORD threadId = 0;
    std::vector<unsigned char> extra;
    std::vector<HWND> children;  // top of the z-order first
    HRGN region = nullptr;
    HICON iconBig = nullptr;  // WM_SETICON
    HICON iconSmall = nullptr;
    bool destroying = false;
};

std::mutex& WindowLock();

// Lock held for all of these.
std::shared_ptr<WindowRecord> LookupWindowLocked(HWND hwnd);
HWND AddWindowLocked(const std::shared_ptr<WindowRecord>& record);
void RemoveWindowLocked(HWND hwnd);
std::vector<std::shared_ptr<WindowRecord>> AllWindowsLocked();
// The top-left corner of a window's client area in screen coordinates.
POINT ClientOriginLocked(const WindowRecord& record);

// Lock not held.
std::shared_ptr<WindowRecord> LookupWindow(HWND hwnd);
DWORD WindowThread(HWND hwnd);  // 0 for an invalid window
// Calls the window's procedure on the calling thread; 0 for an invalid window.
LRESULT CallWindowDirect(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

std::shared_ptr<WindowClass> FindClass(LPCWSTR nameOrAtom);
void ReleaseClassWindow(const std::shared_ptr<WindowClass>& cls);

}  // namespace winplat
