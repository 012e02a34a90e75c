#include "filters/Timestamps.h"

#include <atomic>

namespace RAVO {

namespace {
std::atomic<unsigned> g_videoTimestamp{0};
std::atomic<unsigned> g_audioTimestamp{0};
}  // namespace

unsigned NextVideoTimestamp() {
    return g_videoTimestamp += 10;
}
unsigned NextAudioTimestamp() {
    return g_audioTimestamp += 10;
}

}  // namespace RAVO
