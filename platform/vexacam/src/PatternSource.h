// The test-pattern camera: moving colour bars with a frame counter, at the asked size
// and rate, on its own thread.
#pragma once

#include <atomic>
#include <thread>
#include <vector>

#include "FrameSource.h"

namespace vexacam {

class PatternSource : public FrameSource {
public:
    ~PatternSource() override;
    bool Open(int width, int height, int fps) override;
    bool Start(Sink sink) override;
    void Stop() override;

private:
    void Run(Sink sink);

    int fps_ = 15;
    uint32_t frame_ = 0;
    std::vector<uint8_t> picture_;
    std::atomic<bool> running_{false};
    std::thread thread_;
};

}  // namespace vexacam
