// The message queue of one thread: posted messages, messages sent from other
// threads, the quit flag, timers, and the waiter that blocks the thread's loop.
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "win32/loop.h"
#include "win32/messages.h"

namespace winplat {

class ThreadQueue;

// A message sent from another thread; the sender waits until `done`.
struct SentMessage {
    HWND hwnd;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
    bool done = false;  // under the sender's queue lock
    std::shared_ptr<ThreadQueue> sender;
};

struct Timer {
    HWND hwnd;
    UINT_PTR id;
    UINT elapse;
    TIMERPROC proc;
    uint64_t due;  // layer clock, milliseconds
};

// Lock order: a queue lock may be held while taking WindowLock() or the socket
// selection lock, never the reverse.
class ThreadQueue {
public:
    explicit ThreadQueue(DWORD id);
    ~ThreadQueue();
    ThreadQueue(const ThreadQueue&) = delete;
    ThreadQueue& operator=(const ThreadQueue&) = delete;

    const DWORD threadId;
    std::mutex lock;
    std::condition_variable changed;  // SendMessage waits on it
    std::deque<MSG> posted;
    std::deque<std::shared_ptr<SentMessage>> incoming;
    std::vector<Timer> timers;
    bool quit = false;
    int quitCode = 0;
    bool alive = true;

    // Wakes the thread's loop and a SendMessage wait; `lock` must be held.
    void WakeLocked();
    void SetWaiter(LoopWaiter* waiter);  // null: the default waiter
    LoopWaiter* Waiter();

private:
    std::unique_ptr<LoopWaiter> default_;
    LoopWaiter* waiter_;
};

// The calling thread's queue, made on first use.
std::shared_ptr<ThreadQueue> CurrentQueue();
// Another thread's queue; null when that thread has none (or has ended).
std::shared_ptr<ThreadQueue> QueueOfThread(DWORD threadId);
void WakeThread(DWORD threadId);

// Answers a sent message and wakes its sender.
void CompleteSent(const std::shared_ptr<SentMessage>& sent, LRESULT result);

// Timers of a queue (lock held): the wait until the next one is due (-1 none,
// or while the manual clock stands), and taking a due one as WM_TIMER.
int NextTimerDelayLocked(ThreadQueue& q, uint64_t now);
bool TakeTimerLocked(ThreadQueue& q, HWND filter, UINT filterMin, UINT filterMax, bool remove,
                     MSG* out, uint64_t now);
// Whether the calling thread has a timer (hwnd, id) with that procedure.
bool TimerProcValid(HWND hwnd, UINT_PTR id, TIMERPROC proc);
// Whether a message's window passes a GetMessage window filter.
bool WindowFilterMatches(HWND filter, HWND hwnd);
bool RangeMatches(UINT filterMin, UINT filterMax, UINT msg);

// Ends a thread's window records and socket selections (defined with them).
void DropThreadWindows(DWORD threadId);
void CancelThreadSelections(DWORD threadId);

}  // namespace winplat
