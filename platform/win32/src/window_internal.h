// What window creation, placement and destruction share inside the layer.
#pragma once

#include "win32/window.h"

namespace winplat {

// Internal WINDOWPOS flags of WM_WINDOWPOSCHANGED (Windows' own values): the
// client area kept its size / position, so no WM_SIZE / WM_MOVE follows.
constexpr UINT kSwpNoClientSize = 0x0800;
constexpr UINT kSwpNoClientMove = 0x1000;

// Defaults of WM_GETMINMAXINFO before the window adjusts them.
MINMAXINFO DefaultMinMaxInfo();
// Applies a placement change with WM_WINDOWPOSCHANGING/CHANGED (and, through
// DefWindowProc, WM_MOVE and WM_SIZE), then tells the host.
// `forceSize` sends WM_SIZE even when the size stayed (minimise, maximise, restore).
BOOL ApplyWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags,
                    bool forceSize = false);

// The desktop's pseudo handle: screen-sized, never in the window table.
inline HWND DesktopWindowHandle() {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(0x10000));
}
// The WM_SIZE wParam for the window's state.
WPARAM SizeKind(HWND hwnd);

// Things of a window kept elsewhere: its timers, its socket selections and
// its posted messages are dropped when it is destroyed.
void KillWindowTimers(DWORD threadId, HWND hwnd);
void CancelWindowSelections(HWND hwnd);
void PurgeWindowMessages(DWORD threadId, HWND hwnd);
void PurgeSocketMessages(DWORD threadId, HWND hwnd, UINT msg, WPARAM socket);

}  // namespace winplat
