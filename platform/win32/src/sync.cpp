#include "win32/sync.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <unistd.h>
#include <vector>

#include "handles.h"

namespace {

using winplat::KernelObject;

struct Event : KernelObject {
    bool manual = false;
    bool signaled = false;
    bool IsSignaled() const override { return signaled; }
    void OnWaitSatisfied() override {
        if (!manual) signaled = false;
    }
};

struct Mutex : KernelObject {
    std::thread::id owner;
    int depth = 0;
    bool IsSignaled() const override { return depth == 0 || owner == std::this_thread::get_id(); }
    void OnWaitSatisfied() override {
        owner = std::this_thread::get_id();
        ++depth;
    }
};

struct Thread : KernelObject {
    bool finished = false;
    DWORD exitCode = STILL_ACTIVE;
    bool IsSignaled() const override { return finished; }
};

std::atomic<DWORD> g_nextThreadId{1};
thread_local DWORD t_threadId = 0;

template <class T>
std::shared_ptr<T> lookup(HANDLE h) {
    return std::dynamic_pointer_cast<T>(winplat::LookupHandle(h));
}

}  // namespace

void InitializeCriticalSection(LPCRITICAL_SECTION cs) {
    if (cs) cs->impl = new std::recursive_mutex;
}

BOOL InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION cs, DWORD) {
    InitializeCriticalSection(cs);
    return cs ? TRUE : FALSE;
}

void DeleteCriticalSection(LPCRITICAL_SECTION cs) {
    if (!cs) return;
    delete static_cast<std::recursive_mutex*>(cs->impl);
    cs->impl = nullptr;
}

void EnterCriticalSection(LPCRITICAL_SECTION cs) {
    static_cast<std::recursive_mutex*>(cs->impl)->lock();
}

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION cs) {
    return static_cast<std::recursive_mutex*>(cs->impl)->try_lock() ? TRUE : FALSE;
}

void LeaveCriticalSection(LPCRITICAL_SECTION cs) {
    static_cast<std::recursive_mutex*>(cs->impl)->unlock();
}

DWORD GetCurrentThreadId() {
    if (t_threadId == 0) t_threadId = g_nextThreadId++;
    return t_threadId;
}

DWORD GetCurrentProcessId() {
    return static_cast<DWORD>(getpid());
}

HANDLE CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE start, LPVOID param,
                    DWORD flags, LPDWORD threadId) {
    if (!start || (flags & CREATE_SUSPENDED)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto state = std::make_shared<Thread>();
    DWORD id = g_nextThreadId++;
    HANDLE h = winplat::RegisterHandle(state);
    try {
        std::thread([state, start, param, id] {
            t_threadId = id;
            DWORD code = start(param);
            std::lock_guard<std::mutex> g(winplat::WaitLock());
            state->exitCode = code;
            state->finished = true;
            winplat::WaitCondition().notify_all();
        }).detach();
    } catch (...) {
        winplat::UnregisterHandle(h);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (threadId) *threadId = id;
    return h;
}

BOOL GetExitCodeThread(HANDLE thread, LPDWORD code) {
    auto t = lookup<Thread>(thread);
    if (!t || !code) return FALSE;
    std::lock_guard<std::mutex> g(winplat::WaitLock());
    *code = t->exitCode;
    return TRUE;
}

HANDLE CreateEventW(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCWSTR) {
    auto e = std::make_shared<Event>();
    e->manual = manualReset != FALSE;
    e->signaled = initialState != FALSE;
    return winplat::RegisterHandle(e);
}

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES sa, BOOL manualReset, BOOL initialState, LPCSTR) {
    return CreateEventW(sa, manualReset, initialState, nullptr);
}

BOOL SetEvent(HANDLE event) {
    auto e = lookup<Event>(event);
    if (!e) return FALSE;
    std::lock_guard<std::mutex> g(winplat::WaitLock());
    e->signaled = true;
    winplat::WaitCondition().notify_all();
    return TRUE;
}

BOOL ResetEvent(HANDLE event) {
    auto e = lookup<Event>(event);
    if (!e) return FALSE;
    std::lock_guard<std::mutex> g(winplat::WaitLock());
    e->signaled = false;
    return TRUE;
}

HANDLE CreateMutexW(LPSECURITY_ATTRIBUTES, BOOL initialOwner, LPCWSTR) {
    auto m = std::make_shared<Mutex>();
    if (initialOwner) m->OnWaitSatisfied();
    return winplat::RegisterHandle(m);
}

BOOL ReleaseMutex(HANDLE mutex) {
    auto m = lookup<Mutex>(mutex);
    if (!m) return FALSE;
    std::lock_guard<std::mutex> g(winplat::WaitLock());
    if (m->depth == 0 || m->owner != std::this_thread::get_id()) return FALSE;
    if (--m->depth == 0) {
        m->owner = std::thread::id();
        winplat::WaitCondition().notify_all();
    }
    return TRUE;
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD ms) {
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || !handles) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    std::vector<std::shared_ptr<KernelObject>> objects;
    for (DWORD i = 0; i < count; ++i) {
        auto o = winplat::LookupHandle(handles[i]);
        if (!o) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        objects.push_back(std::move(o));
    }
    // Takes the objects when the wait is satisfied; returns the wait result or -1.
    auto tryAcquire = [&]() -> long {
        if (waitAll) {
            for (auto& o : objects)
                if (!o->IsSignaled()) return -1;
            for (auto& o : objects) o->OnWaitSatisfied();
            return WAIT_OBJECT_0;
        }
        for (DWORD i = 0; i < count; ++i) {
            if (objects[i]->IsSignaled()) {
                objects[i]->OnWaitSatisfied();
                return static_cast<long>(WAIT_OBJECT_0 + i);
            }
        }
        return -1;
    };
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    std::unique_lock<std::mutex> lock(winplat::WaitLock());
    for (;;) {
        long result = tryAcquire();
        if (result >= 0) return static_cast<DWORD>(result);
        if (ms == INFINITE) {
            winplat::WaitCondition().wait(lock);
        } else if (winplat::WaitCondition().wait_until(lock, deadline) == std::cv_status::timeout) {
            result = tryAcquire();
            return result >= 0 ? static_cast<DWORD>(result) : WAIT_TIMEOUT;
        }
    }
}

DWORD WaitForSingleObject(HANDLE handle, DWORD ms) {
    return WaitForMultipleObjects(1, &handle, TRUE, ms);
}

BOOL CloseHandle(HANDLE handle) {
    if (!winplat::UnregisterHandle(handle)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

void Sleep(DWORD ms) {
    if (ms == 0) {
        std::this_thread::yield();
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

LONG InterlockedIncrement(LONG volatile* v) {
    return __atomic_add_fetch(v, 1, __ATOMIC_SEQ_CST);
}
LONG InterlockedDecrement(LONG volatile* v) {
    return __atomic_sub_fetch(v, 1, __ATOMIC_SEQ_CST);
}
LONG InterlockedExchange(LONG volatile* t, LONG v) {
    return __atomic_exchange_n(t, v, __ATOMIC_SEQ_CST);
}
LONG InterlockedCompareExchange(LONG volatile* t, LONG exchange, LONG comparand) {
    __atomic_compare_exchange_n(t, &comparand, exchange, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
    return comparand;
}
