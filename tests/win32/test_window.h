// A window whose procedure records every message it gets, for the tests.
#pragma once

#include <functional>
#include <mutex>
#include <vector>

#include "win32/win32.h"

namespace wintest {

struct Recorder {
    std::mutex lock;
    std::vector<UINT> msgs;
    std::vector<MSG> details;
    // Called for every message; set `handled` to answer with the result.
    std::function<LRESULT(HWND, UINT, WPARAM, LPARAM, bool& handled)> hook;

    std::vector<UINT> Messages() {
        std::lock_guard<std::mutex> g(lock);
        return msgs;
    }
    // The recorded messages with ids in `keep`, in order.
    std::vector<UINT> Only(std::initializer_list<UINT> keep) {
        std::vector<UINT> out;
        for (UINT m : Messages())
            for (UINT k : keep)
                if (m == k) out.push_back(m);
        return out;
    }
    void Clear() {
        std::lock_guard<std::mutex> g(lock);
        msgs.clear();
        details.clear();
    }
};

inline LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* rec = reinterpret_cast<Recorder*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (rec) {
        {
            std::lock_guard<std::mutex> g(rec->lock);
            rec->msgs.push_back(msg);
            rec->details.push_back(MSG{hwnd, msg, wParam, lParam, 0, POINT{0, 0}});
        }
        if (rec->hook) {
            bool handled = false;
            LRESULT r = rec->hook(hwnd, msg, wParam, lParam, handled);
            if (handled) return r;
        }
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

inline const wchar_t* RecordingClass() {
    static const wchar_t* name = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = RecordingProc;
        wc.cbWndExtra = 2 * sizeof(LONG_PTR);
        wc.lpszClassName = L"MivoraTestRecorder";
        RegisterClassExW(&wc);
        return L"MivoraTestRecorder";
    }();
    return name;
}

inline HWND MakeWindow(Recorder* rec, DWORD style = WS_POPUP, HWND parent = nullptr,
                       RECT r = RECT{10, 20, 110, 70}, DWORD exStyle = 0) {
    return CreateWindowExW(exStyle, RecordingClass(), L"test", style, r.left, r.top,
                           r.right - r.left, r.bottom - r.top, parent, nullptr, nullptr, rec);
}

// Pumps until `done` or ten seconds pass.
inline bool PumpUntil(std::function<bool()> done) {
    return winplat::PumpMessagesUntil(std::move(done), 10000);
}

}  // namespace wintest
