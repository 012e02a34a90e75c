#include "window_table.h"

#include <unordered_map>

namespace winplat {
namespace {

struct Table {
    std::unordered_map<HWND, std::shared_ptr<WindowRecord>> windows;
    uintptr_t next = 0x10002;
};

Table& table() {
    static Table* t = new Table;  // lives until exit: threads may end late
    return *t;
}

}  // namespace

std::mutex& WindowLock() {
    static std::mutex* m = new std::mutex;
    return *m;
}

std::shared_ptr<WindowRecord> LookupWindowLocked(HWND hwnd) {
    if (!hwnd) return nullptr;
    auto it = table().windows.find(hwnd);
    return it == table().windows.end() ? nullptr : it->second;
}

HWND AddWindowLocked(const std::shared_ptr<WindowRecord>& record) {
    // Even values, stepping by 4, never reused: stale handles stay stale.
    HWND h = reinterpret_cast<HWND>(table().next);
    table().next += 4;
    record->hwnd = h;
    table().windows[h] = record;
    return h;
}

void RemoveWindowLocked(HWND hwnd) {
    table().windows.erase(hwnd);
}

std::vector<std::shared_ptr<WindowRecord>> AllWindowsLocked() {
    std::vector<std::shared_ptr<WindowRecord>> all;
    all.reserve(table().windows.size());
    for (auto& w : table().windows) all.push_back(w.second);
    return all;
}

POINT ClientOriginLocked(const WindowRecord& record) {
    POINT p{record.rect.left, record.rect.top};
    const WindowRecord* r = &record;
    for (int depth = 0; r->parent && depth < 256; ++depth) {
        auto parent = LookupWindowLocked(r->parent);
        if (!parent) break;
        p.x += parent->rect.left;
        p.y += parent->rect.top;
        r = parent.get();
    }
    return p;
}

std::shared_ptr<WindowRecord> LookupWindow(HWND hwnd) {
    std::lock_guard<std::mutex> g(WindowLock());
    return LookupWindowLocked(hwnd);
}

DWORD WindowThread(HWND hwnd) {
    std::lock_guard<std::mutex> g(WindowLock());
    auto r = LookupWindowLocked(hwnd);
    return r ? r->threadId : 0;
}

LRESULT CallWindowDirect(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WNDPROC proc;
    {
        std::lock_guard<std::mutex> g(WindowLock());
        auto r = LookupWindowLocked(hwnd);
        if (!r) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        proc = r->proc;
    }
    return proc ? proc(hwnd, msg, wParam, lParam) : DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace winplat
