// The props-animation queue: the user-interface thread queues play tasks, one
// worker thread starts a player program per task, a batch at most every 100 ms, and
// sleeps while the queue is empty.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <list>
#include <mutex>
#include <string>

#include "win32/win32.h"

// Passed by value as one 32-bit word: kind in the low half, number in the high.
// Kind 0 plays animation `number`, kinds 1 and 2 the fireworks, others nothing.
struct tag_PropsFlashPlayTaskItem {
    uint16_t kind;
    uint16_t number;
};
static_assert(sizeof(tag_PropsFlashPlayTaskItem) == 4, "one 32-bit word");

class CPropsFlashPlayTaskMgr {
public:
    CPropsFlashPlayTaskMgr();
    ~CPropsFlashPlayTaskMgr();
    CPropsFlashPlayTaskMgr(const CPropsFlashPlayTaskMgr&) = delete;
    CPropsFlashPlayTaskMgr& operator=(const CPropsFlashPlayTaskMgr&) = delete;

    // 0 when the worker runs (already or now), -1 when it cannot be started.
    int Init();
    // Stops the worker and waits for it; 0.
    int Uninit();
    int AddPlayTask(tag_PropsFlashPlayTaskItem task);
    void Reset();
    // The program folder, where the players are (Windows form); null is empty.
    void SetAppPath(wchar_t* path);
    // While set, queued tasks are dropped without starting anything.
    void SetShiledPlayFlash(bool shield);
    void SetShiledPlayFlashSound(bool shield);
    // Called on the worker thread when a player cannot be started (it is not there);
    // null: nobody is told.
    void SetPlayFailedHandler(std::function<void()> handler);

    // Members in their established order. `running` and the shields are written
    // by the user-interface thread and read by the worker; `lock` guards `tasks`
    // and `appPath`.
    HANDLE workerThread;
    std::atomic<int32_t> running;
    std::list<tag_PropsFlashPlayTaskItem> tasks;
    CRITICAL_SECTION lock;
    std::wstring appPath;
    std::atomic<bool> shieldPlayFlash;
    std::atomic<bool> shieldPlayFlashSound;

private:
    static DWORD WINAPI WorkerProc(LPVOID self);
    void Play(const tag_PropsFlashPlayTaskItem& task, const std::wstring& folder);
    // Wakes the worker: a task queued, or Uninit().
    void Wake();

    std::mutex m_wakeLock;
    std::condition_variable m_wake;
    bool m_pending = false;              // under m_wakeLock
    std::function<void()> m_playFailed;  // under lock
};
