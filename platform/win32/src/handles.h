// The table of kernel-object handles: a handle is valid only while it is in the
// table, so a stale or foreign handle is refused instead of followed.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>

#include "win32/base.h"

namespace winplat {

class KernelObject {
public:
    virtual ~KernelObject() = default;
    // Waitable objects answer under the wait lock (see WaitLock).
    virtual bool IsSignaled() const { return false; }
    // Called when a wait on this object is satisfied (auto-reset events, mutexes).
    virtual void OnWaitSatisfied() {}
};

HANDLE RegisterHandle(std::shared_ptr<KernelObject> object);
std::shared_ptr<KernelObject> LookupHandle(HANDLE handle);
bool UnregisterHandle(HANDLE handle);

// All waitable state changes happen under this lock and notify this condition.
std::mutex& WaitLock();
std::condition_variable& WaitCondition();

}  // namespace winplat
