#include "util/AVLogger.h"

#include <atomic>

namespace RAVO {

namespace {
std::atomic<IAVLogger*> g_logger{nullptr};
}

void SetAVLogger(IAVLogger* logger) {
    g_logger = logger;
}
IAVLogger* GetAVLogger() {
    return g_logger;
}

}  // namespace RAVO
