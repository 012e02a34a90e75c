// Seams between the message loop of this layer and a user-interface toolkit:
// the blocking wait of a thread's loop (LoopWaiter) and the notifications of
// window changes (WindowHost). Both are plain interfaces so that a toolkit
// layer plugs in without changes here. Also a bounded pump for tests.
#pragma once

#include <poll.h>

#include <functional>
#include <vector>

#include "win32/base.h"

namespace winplat {

// The blocking wait of one thread's message loop. GetMessage and WaitMessage
// call Wait when the thread has nothing to do; PeekMessage calls it with a
// time-out of 0 so that a toolkit can deliver its pending events as messages.
// (A thread blocked in SendMessage to another thread does not call it: like on
// Windows it serves only messages sent to it until the answer comes.)
//
// Wait(fds, timeoutMs) blocks until one of `fds` is ready, Wake() is called,
// or `timeoutMs` has passed (-1: no time-out; 0: do not block), then fills each
// entry's `revents` (0 for entries that are not ready) and returns. The
// descriptors are the sockets registered with WSAAsyncSelect on this thread;
// the list may be empty. Wait may also serve the toolkit's own events (and
// from them call window procedures); it is never called with a layer lock held.
// Returning early (a spurious wake) is allowed: the loop checks again.
//
// Wake() is called from any thread (under a lock of the layer: it must not
// call back into the layer) when a message is posted or sent to the thread,
// a timer changes or the manual clock moves. A Wake() that comes before Wait()
// must make the next Wait() return at once (like a counting event).
class LoopWaiter {
public:
    virtual ~LoopWaiter();
    virtual void Wait(std::vector<pollfd>& fds, int timeoutMs) = 0;
    virtual void Wake() = 0;
};

// Installs the waiter of the calling thread's loop; null restores the default
// one (poll() over an eventfd and the descriptors). The caller keeps ownership
// and must uninstall it (SetLoopWaiter(nullptr)) before deleting it. The
// default waiter is created with the thread's queue and lives as long.
void SetLoopWaiter(LoopWaiter* waiter);
LoopWaiter* GetLoopWaiter();

// Notifications of window records, for the layer that puts windows on screen.
// All are called on the thread that made the change (the window's own thread,
// as the program does it) after the record changed, with no layer lock held; the window is valid
// during the call (WindowDestroyed comes after WM_NCDESTROY, just before the handle becomes
// invalid). Default implementations do nothing. Without a host, windows are records only.
class WindowHost {
public:
    virtual ~WindowHost();
    // After WM_CREATE succeeded (before a WS_VISIBLE window is shown).
    virtual void WindowCreated(HWND /*hwnd*/) {}
    virtual void WindowDestroyed(HWND /*hwnd*/) {}
    // Visibility changed (ShowWindow, SetWindowPos show/hide, WS_VISIBLE).
    virtual void WindowShown(HWND /*hwnd*/, bool /*visible*/) {}
    // ShowWindow with a command that activates (SW_SHOWNORMAL, SW_SHOW, SW_RESTORE, ...):
    // the window becomes the active one, with or without a window manager to do it.
    virtual void WindowActivateRequested(HWND /*hwnd*/) {}
    // Minimised, maximised or restored: SW_MINIMIZE, SW_MAXIMIZE or SW_RESTORE.
    virtual void WindowStateChanged(HWND /*hwnd*/, int /*showCommand*/) {}
    // Position or size changed; `rect` is GetWindowRect's (screen coordinates).
    virtual void WindowMoved(HWND /*hwnd*/, const RECT& /*rect*/) {}
    // Z-order request of SetWindowPos (HWND_TOP, HWND_TOPMOST, ... or a window).
    virtual void WindowZOrderChanged(HWND /*hwnd*/, HWND /*insertAfter*/) {}
    virtual void WindowTextChanged(HWND /*hwnd*/) {}
    // WM_SETICON changed the window's big or small icon.
    virtual void WindowIconChanged(HWND /*hwnd*/) {}
    virtual void WindowEnabled(HWND /*hwnd*/, bool /*enabled*/) {}
    // GWL_STYLE or GWL_EXSTYLE changed (for example WS_EX_LAYERED, WS_EX_TOPMOST).
    virtual void WindowStyleChanged(HWND /*hwnd*/) {}
    virtual void WindowParentChanged(HWND /*hwnd*/, HWND /*newParent*/) {}
    // SetWindowRgn: the record keeps `region` (null removes it).
    virtual void WindowRegionChanged(HWND /*hwnd*/, HRGN /*region*/, bool /*redraw*/) {}
    // GetSystemMetrics asks the host first; false leaves the layer's default.
    virtual bool SystemMetric(int /*index*/, int* /*value*/) { return false; }
    // WM_NCLBUTTONDOWN with HTCAPTION reached the default procedure: the window follows
    // the pointer until the left button is released.
    virtual void CaptionDragRequested(HWND /*hwnd*/) {}
};

// Installs the process-wide host (null: none). The host must outlive its use.
void SetWindowHost(WindowHost* host);
WindowHost* GetWindowHost();

// Runs the calling thread's loop (peek, dispatch, wait) until `done()` holds or
// `timeoutMs` of real time have passed (also with the manual clock installed).
// `done` is asked after every message and at least every 10 ms, so it may
// watch another thread's state. Returns done()'s last answer. A WM_QUIT met on the way ends the
// pump early and stays pending for the thread's own loop. For tests and start-up code.
bool PumpMessagesUntil(std::function<bool()> done, int timeoutMs);

}  // namespace winplat
