// SetTimer and KillTimer: timers live in the queue of the thread that owns
// them and become WM_TIMER when that thread looks for messages.
#include <algorithm>
#include <atomic>
#include <climits>

#include "queue.h"
#include "window_internal.h"
#include "window_table.h"
#include "win32/clock.h"
#include "win32/sync.h"

namespace winplat {

int NextTimerDelayLocked(ThreadQueue& q, uint64_t now) {
    if (q.timers.empty()) return -1;
    uint64_t next = UINT64_MAX;
    for (auto& t : q.timers) next = std::min(next, t.due);
    if (next <= now) return 0;
    if (ManualClockInstalled()) return -1;  // the clock hook wakes the loop
    uint64_t wait = next - now;
    return wait > INT_MAX ? INT_MAX : static_cast<int>(wait);
}

bool TakeTimerLocked(ThreadQueue& q, HWND filter, UINT filterMin, UINT filterMax, bool remove,
                     MSG* out, uint64_t now) {
    if (!RangeMatches(filterMin, filterMax, WM_TIMER)) return false;
    Timer* best = nullptr;
    for (auto& t : q.timers)
        if (t.due <= now && (!best || t.due < best->due) && WindowFilterMatches(filter, t.hwnd))
            best = &t;
    if (!best) return false;
    *out = MSG{best->hwnd,
               WM_TIMER,
               best->id,
               reinterpret_cast<LPARAM>(best->proc),
               static_cast<DWORD>(now),
               POINT{0, 0}};
    // Missed periods are not caught up: the next one counts from now.
    if (remove) best->due = now + best->elapse;
    return true;
}

bool TimerProcValid(HWND hwnd, UINT_PTR id, TIMERPROC proc) {
    auto q = CurrentQueue();
    std::lock_guard<std::mutex> g(q->lock);
    for (auto& t : q->timers)
        if (t.hwnd == hwnd && t.id == id && t.proc == proc) return true;
    return false;
}

void KillWindowTimers(DWORD threadId, HWND hwnd) {
    auto q = QueueOfThread(threadId);
    if (!q) return;
    std::lock_guard<std::mutex> g(q->lock);
    auto& ts = q->timers;
    ts.erase(std::remove_if(ts.begin(), ts.end(), [&](const Timer& t) { return t.hwnd == hwnd; }),
             ts.end());
}

}  // namespace winplat

using namespace winplat;

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
    static std::atomic<UINT_PTR> nextThreadTimer{0x7F00};
    elapseMs = std::max<UINT>(elapseMs, USER_TIMER_MINIMUM);
    elapseMs = std::min<UINT>(elapseMs, USER_TIMER_MAXIMUM);
    if (hwnd) {
        DWORD tid = WindowThread(hwnd);
        if (!tid) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        if (tid != GetCurrentThreadId()) {  // Windows: the window must be the caller's
            SetLastError(ERROR_ACCESS_DENIED);
            return 0;
        }
    }
    auto q = CurrentQueue();
    uint64_t due = NowMilliseconds() + elapseMs;
    std::lock_guard<std::mutex> g(q->lock);
    for (auto& t : q->timers)
        if (t.hwnd == hwnd && t.id == id && (hwnd || id)) {
            t.elapse = elapseMs;
            t.proc = proc;
            t.due = due;
            return hwnd ? (id ? id : 1) : id;
        }
    if (!hwnd) id = nextThreadTimer++;
    q->timers.push_back(Timer{hwnd, id, elapseMs, proc, due});
    return hwnd ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    std::shared_ptr<ThreadQueue> q;
    if (hwnd) {
        DWORD tid = WindowThread(hwnd);
        if (!tid) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        q = QueueOfThread(tid);
    } else {
        q = CurrentQueue();
    }
    if (!q) return FALSE;
    std::lock_guard<std::mutex> g(q->lock);
    auto& ts = q->timers;
    for (auto it = ts.begin(); it != ts.end(); ++it)
        if (it->hwnd == hwnd && it->id == id) {
            ts.erase(it);
            return TRUE;
        }
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}
