#include "util/AVLogger.h"

#include <mutex>
#include <shared_mutex>

namespace RAVO {

namespace {
std::shared_mutex g_lock;
IAVLogger* g_logger = nullptr;

IAVLogger* lockedLogger() {
    g_lock.lock_shared();
    return g_logger;
}
}  // namespace

void SetAVLogger(IAVLogger* logger) {
    std::unique_lock<std::shared_mutex> lock(g_lock);
    g_logger = logger;
}

IAVLogger* GetAVLogger() {
    std::shared_lock<std::shared_mutex> lock(g_lock);
    return g_logger;
}

AVLoggerUse::AVLoggerUse() : logger(lockedLogger()) {}
AVLoggerUse::~AVLoggerUse() {
    g_lock.unlock_shared();
}

}  // namespace RAVO
