#include "PatternSource.h"

#include <chrono>

#include "vexacam/TestPattern.h"

namespace vexacam {

PatternSource::~PatternSource() {
    Stop();
}

bool PatternSource::Open(int width, int height, int fps) {
    if (width <= 0 || height <= 0 || fps <= 0) return false;
    width_ = width;
    height_ = height;
    fps_ = fps;
    picture_.assign(static_cast<size_t>(width) * height * 3, 0);
    return true;
}

bool PatternSource::Start(Sink sink) {
    if (running_) return true;
    if (picture_.empty()) return false;
    running_ = true;
    thread_ = std::thread(&PatternSource::Run, this, std::move(sink));
    return true;
}

void PatternSource::Stop() {
    running_ = false;
    if (thread_.joinable()) thread_.join();
}

void PatternSource::Run(Sink sink) {
    using Clock = std::chrono::steady_clock;
    const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(1)) / fps_;
    auto next = Clock::now();
    while (running_) {
        DrawTestPattern(picture_.data(), width_, height_, frame_++);
        sink(picture_.data(), picture_.size());
        next += period;
        // After a stall, carry on at the rate instead of catching up in a burst.
        if (Clock::now() - next > period) next = Clock::now();
        // Sleep in short steps so that Stop never waits a whole slow frame.
        while (running_ && Clock::now() < next) {
            const auto left = next - Clock::now();
            std::this_thread::sleep_for(
                std::min<Clock::duration>(left, std::chrono::milliseconds(20)));
        }
    }
}

}  // namespace vexacam
