#include "services/PropsFlashPlayTaskMgr.h"

#include <string>
#include <utility>

namespace {
const DWORD kCycleMs = 100;
}

CPropsFlashPlayTaskMgr::CPropsFlashPlayTaskMgr()
    : workerThread(nullptr), running(0), shieldPlayFlash(false), shieldPlayFlashSound(false) {
    InitializeCriticalSection(&lock);
}

CPropsFlashPlayTaskMgr::~CPropsFlashPlayTaskMgr() {
    // A worker left running would go on reading the members freed here.
    Uninit();
    DeleteCriticalSection(&lock);
}

int CPropsFlashPlayTaskMgr::Init() {
    if (workerThread) return 0;
    running = 1;
    Reset();
    workerThread = CreateThread(nullptr, 0, WorkerProc, this, 0, nullptr);
    if (!workerThread) {
        running = 0;
        return -1;
    }
    return 0;
}

int CPropsFlashPlayTaskMgr::Uninit() {
    if (workerThread) {
        running = 0;
        Wake();
        WaitForSingleObject(workerThread, INFINITE);
        CloseHandle(workerThread);
        workerThread = nullptr;
    }
    return 0;
}

int CPropsFlashPlayTaskMgr::AddPlayTask(tag_PropsFlashPlayTaskItem task) {
    EnterCriticalSection(&lock);
    tasks.push_back(task);
    LeaveCriticalSection(&lock);
    Wake();
    return 0;
}

void CPropsFlashPlayTaskMgr::Wake() {
    {
        std::lock_guard<std::mutex> hold(m_wakeLock);
        m_pending = true;
    }
    m_wake.notify_one();
}

void CPropsFlashPlayTaskMgr::Reset() {
    EnterCriticalSection(&lock);
    tasks.clear();
    LeaveCriticalSection(&lock);
}

void CPropsFlashPlayTaskMgr::SetAppPath(wchar_t* path) {
    EnterCriticalSection(&lock);
    appPath = path ? path : L"";
    LeaveCriticalSection(&lock);
}

void CPropsFlashPlayTaskMgr::SetShiledPlayFlash(bool shield) {
    shieldPlayFlash = shield;
}

void CPropsFlashPlayTaskMgr::SetShiledPlayFlashSound(bool shield) {
    shieldPlayFlashSound = shield;
}

void CPropsFlashPlayTaskMgr::SetPlayFailedHandler(std::function<void()> handler) {
    EnterCriticalSection(&lock);
    m_playFailed = std::move(handler);
    LeaveCriticalSection(&lock);
}

DWORD WINAPI CPropsFlashPlayTaskMgr::WorkerProc(LPVOID self) {
    auto* mgr = static_cast<CPropsFlashPlayTaskMgr*>(self);
    while (mgr->running == 1) {
        {
            std::unique_lock<std::mutex> hold(mgr->m_wakeLock);
            mgr->m_wake.wait(hold, [mgr] { return mgr->m_pending || mgr->running != 1; });
            mgr->m_pending = false;
        }
        std::list<tag_PropsFlashPlayTaskItem> batch;
        std::wstring folder;
        EnterCriticalSection(&mgr->lock);
        batch.swap(mgr->tasks);
        folder = mgr->appPath;
        LeaveCriticalSection(&mgr->lock);
        for (const tag_PropsFlashPlayTaskItem& task : batch)
            if (!mgr->shieldPlayFlash) mgr->Play(task, folder);
        Sleep(kCycleMs);
    }
    return 0;
}

void CPropsFlashPlayTaskMgr::Play(const tag_PropsFlashPlayTaskItem& task,
                                  const std::wstring& folder) {
    std::wstring line;
    if (task.kind == 0)
        line = folder + L"\\TeskFlash.exe " + folder + L"\\items\\" + std::to_wstring(task.number) +
               L".swf";
    else if (task.kind == 1 || task.kind == 2)
        line = folder + L"\\fireworks.exe FW_Flag 5";
    else
        return;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION pi{};
    // Not waited for; a player that cannot start is told to whoever asked to hear it.
    if (CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return;
    }
    EnterCriticalSection(&lock);
    const std::function<void()> failed = m_playFailed;
    LeaveCriticalSection(&lock);
    if (failed) failed();
}
