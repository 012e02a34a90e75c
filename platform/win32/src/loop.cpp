// Posting, sending and fetching messages; the thread's loop and its wait.
#include <chrono>
#include <climits>
#include <cwctype>
#include <map>

#include "async_select.h"
#include "queue.h"
#include "window_internal.h"
#include "window_table.h"
#include "win32/clock.h"
#include "win32/sync.h"

namespace winplat {

bool WindowFilterMatches(HWND filter, HWND hwnd) {
    if (!filter) return true;
    if (filter == reinterpret_cast<HWND>(static_cast<intptr_t>(-1))) return hwnd == nullptr;
    return hwnd == filter || (hwnd && IsChild(filter, hwnd));
}

bool RangeMatches(UINT filterMin, UINT filterMax, UINT msg) {
    return (filterMin == 0 && filterMax == 0) || (msg >= filterMin && msg <= filterMax);
}

namespace {

thread_local std::vector<std::shared_ptr<SentMessage>> t_inSend;  // being handled here
thread_local MSG t_lastMessage{};

// Handles the messages other threads sent to this one.
void serveSent(ThreadQueue& q) {
    for (;;) {
        std::shared_ptr<SentMessage> s;
        {
            std::lock_guard<std::mutex> g(q.lock);
            if (q.incoming.empty()) return;
            s = q.incoming.front();
            q.incoming.pop_front();
        }
        t_inSend.push_back(s);
        LRESULT r = CallWindowDirect(s->hwnd, s->msg, s->wParam, s->lParam);
        t_inSend.pop_back();
        CompleteSent(s, r);
    }
}

// Takes a posted message, the quit message or a due timer; false when none.
bool takeLocked(ThreadQueue& q, MSG* out, HWND filter, UINT min, UINT max, bool remove) {
    for (auto it = q.posted.begin(); it != q.posted.end();) {
        if (it->hwnd && !LookupWindow(it->hwnd)) {  // its window is gone
            it = q.posted.erase(it);
            continue;
        }
        if (WindowFilterMatches(filter, it->hwnd) && RangeMatches(min, max, it->message)) {
            *out = *it;
            if (remove) q.posted.erase(it);
            return true;
        }
        ++it;
    }
    if (q.quit && RangeMatches(min, max, WM_QUIT)) {
        *out =
            MSG{nullptr, WM_QUIT, static_cast<WPARAM>(q.quitCode), 0, GetTickCount(), POINT{0, 0}};
        if (remove) q.quit = false;
        return true;
    }
    return TakeTimerLocked(q, filter, min, max, remove, out, NowMilliseconds());
}

// The core of GetMessage, PeekMessage and the pumps. waitMs: -1 until a
// message comes, 0 look once (and let the waiter deliver pending events),
// else at most that many milliseconds of real time.
bool fetch(MSG* out, HWND filter, UINT min, UINT max, bool remove, int waitMs) {
    auto q = CurrentQueue();
    DWORD tid = q->threadId;
    auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs > 0 ? waitMs : 0);
    bool waited = false;
    std::vector<pollfd> fds;
    for (;;) {
        serveSent(*q);
        if (ThreadHasSelections(tid)) {  // sockets are served even when the queue is busy
            fds.clear();
            CollectSocketPollSet(tid, fds);
            if (!fds.empty() && poll(fds.data(), fds.size(), 0) > 0) HandleSocketPoll(tid, fds);
        }
        int timeout;
        {
            std::lock_guard<std::mutex> g(q->lock);
            if (takeLocked(*q, out, filter, min, max, remove)) {
                if (remove) t_lastMessage = *out;
                return true;
            }
            if (!q->incoming.empty()) continue;
            timeout = NextTimerDelayLocked(*q, NowMilliseconds());
        }
        if (waitMs == 0) {
            if (waited) return false;
            timeout = 0;
        } else if (waitMs > 0) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                            deadline - std::chrono::steady_clock::now())
                            .count();
            if (left <= 0 && waited) return false;
            int bound = left <= 0 ? 0 : (left > INT_MAX ? INT_MAX : static_cast<int>(left));
            timeout = timeout < 0 ? bound : std::min(timeout, bound);
        }
        fds.clear();
        int limit = CollectSocketPollSet(tid, fds);
        if (limit >= 0 && (timeout < 0 || timeout > limit)) timeout = limit;
        q->Waiter()->Wait(fds, timeout);
        HandleSocketPoll(tid, fds);
        waited = true;
    }
}

std::shared_ptr<ThreadQueue> queueFor(DWORD tid) {
    return tid == GetCurrentThreadId() ? CurrentQueue() : QueueOfThread(tid);
}

bool post(const std::shared_ptr<ThreadQueue>& q, HWND hwnd, UINT msg, WPARAM wParam,
          LPARAM lParam) {
    std::lock_guard<std::mutex> g(q->lock);
    if (!q->alive) return false;
    q->posted.push_back(MSG{hwnd, msg, wParam, lParam, GetTickCount(), POINT{0, 0}});
    q->WakeLocked();
    return true;
}

}  // namespace

void PurgeWindowMessages(DWORD threadId, HWND hwnd) {
    auto q = QueueOfThread(threadId);
    if (!q) return;
    std::lock_guard<std::mutex> g(q->lock);
    auto& p = q->posted;
    for (auto it = p.begin(); it != p.end();) it = it->hwnd == hwnd ? p.erase(it) : it + 1;
}

void PurgeSocketMessages(DWORD threadId, HWND hwnd, UINT msg, WPARAM socket) {
    auto q = QueueOfThread(threadId);
    if (!q) return;
    std::lock_guard<std::mutex> g(q->lock);
    auto& p = q->posted;
    for (auto it = p.begin(); it != p.end();)
        it = it->hwnd == hwnd && it->message == msg && it->wParam == socket ? p.erase(it) : it + 1;
}

bool PumpMessagesUntil(std::function<bool()> done, int timeoutMs) {
    const long long kRecheckMs = 10;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (done()) return true;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        if (left <= 0) return done();
        // `done` may turn on another thread's doing (a test server), with
        // nothing arriving here: look at it again every few milliseconds.
        MSG m;
        if (!fetch(&m, nullptr, 0, 0, true,
                   static_cast<int>(std::min<long long>(left, kRecheckMs))))
            continue;
        if (m.message == WM_QUIT) {  // left for the thread's own loop
            PostQuitMessage(static_cast<int>(m.wParam));
            return done();
        }
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}

}  // namespace winplat

using namespace winplat;

BOOL PostThreadMessageW(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto q = queueFor(threadId);
    if (!q || !post(q, nullptr, msg, wParam, lParam)) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    return TRUE;
}

BOOL PostMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!hwnd) return PostThreadMessageW(GetCurrentThreadId(), msg, wParam, lParam);
    if (hwnd == HWND_BROADCAST) {
        std::vector<HWND> tops;
        {
            std::lock_guard<std::mutex> g(WindowLock());
            for (auto& r : AllWindowsLocked())
                if (!r->parent) tops.push_back(r->hwnd);
        }
        for (HWND h : tops) PostMessageW(h, msg, wParam, lParam);
        return TRUE;
    }
    DWORD tid = WindowThread(hwnd);
    auto q = tid ? queueFor(tid) : nullptr;
    if (!q || !post(q, hwnd, msg, wParam, lParam)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return TRUE;
}

LRESULT SendMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    DWORD tid = WindowThread(hwnd);
    if (!tid) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (tid == GetCurrentThreadId()) return CallWindowDirect(hwnd, msg, wParam, lParam);
    auto target = QueueOfThread(tid);
    if (!target) return 0;
    auto me = CurrentQueue();
    auto s = std::make_shared<SentMessage>();
    s->hwnd = hwnd;
    s->msg = msg;
    s->wParam = wParam;
    s->lParam = lParam;
    s->sender = me;
    {
        std::lock_guard<std::mutex> g(target->lock);
        if (!target->alive) return 0;
        target->incoming.push_back(s);
        target->WakeLocked();
    }
    // Serve what others send to this thread meanwhile, so that two threads
    // sending to each other do not deadlock.
    for (;;) {
        serveSent(*me);
        std::unique_lock<std::mutex> lk(me->lock);
        if (s->done) return s->result;
        if (!me->incoming.empty()) continue;
        me->changed.wait(lk);
    }
}

BOOL SendNotifyMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    DWORD tid = WindowThread(hwnd);
    if (!tid) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (tid == GetCurrentThreadId()) {
        CallWindowDirect(hwnd, msg, wParam, lParam);
        return TRUE;
    }
    return PostMessageW(hwnd, msg, wParam, lParam);
}

BOOL GetMessageW(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax) {
    if (!msg) return -1;
    if (hwnd && hwnd != reinterpret_cast<HWND>(static_cast<intptr_t>(-1)) && !IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    fetch(msg, hwnd, filterMin, filterMax, true, -1);
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL PeekMessageW(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (!msg) return FALSE;
    return fetch(msg, hwnd, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0, 0) ? TRUE : FALSE;
}

BOOL TranslateMessage(const MSG* msg) {
    if (!msg) return FALSE;
    switch (msg->message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            return TRUE;
        default:
            return FALSE;
    }
}

LRESULT DispatchMessageW(const MSG* msg) {
    if (!msg) return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        // Only a timer procedure that is still set is called.
        auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        if (TimerProcValid(msg->hwnd, msg->wParam, proc))
            proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
        return 0;
    }
    if (!msg->hwnd) return 0;
    if (!IsWindow(msg->hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    MSG saved = t_lastMessage;
    t_lastMessage = *msg;
    LRESULT r = CallWindowDirect(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    t_lastMessage = saved;
    SocketMessageDispatched(*msg);
    return r;
}

void PostQuitMessage(int exitCode) {
    auto q = CurrentQueue();
    std::lock_guard<std::mutex> g(q->lock);
    q->quit = true;
    q->quitCode = exitCode;
    q->WakeLocked();
}

BOOL WaitMessage() {
    MSG m;
    fetch(&m, nullptr, 0, 0, false, -1);
    return TRUE;
}

DWORD GetMessageTime() {
    return t_lastMessage.time;
}
DWORD GetMessagePos() {
    return static_cast<DWORD>(
        MAKELONG(static_cast<WORD>(t_lastMessage.pt.x), static_cast<WORD>(t_lastMessage.pt.y)));
}

BOOL InSendMessage() {
    return t_inSend.empty() ? FALSE : TRUE;
}

BOOL ReplyMessage(LRESULT result) {
    if (t_inSend.empty()) return FALSE;
    CompleteSent(t_inSend.back(), result);
    return TRUE;
}

UINT RegisterWindowMessageW(LPCWSTR name) {
    static std::mutex lock;
    static std::map<std::wstring, UINT>* ids = new std::map<std::wstring, UINT>;
    if (!name || !*name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::wstring key(name);
    for (auto& c : key) c = static_cast<wchar_t>(std::towlower(c));
    std::lock_guard<std::mutex> g(lock);
    auto it = ids->find(key);
    if (it != ids->end()) return it->second;
    UINT id = 0xC000 + static_cast<UINT>(ids->size());
    if (id > 0xFFFF) return 0;
    (*ids)[key] = id;
    return id;
}
