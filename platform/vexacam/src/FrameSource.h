// What the camera helper needs of a capture back end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace vexacam {

class FrameSource {
public:
    // One bottom-up frame of packed B, G, R; valid during the call only.
    using Sink = std::function<void(const uint8_t* data, size_t len)>;

    virtual ~FrameSource() = default;
    // Asks for width x height at fps; the size taken is in width() and height().
    virtual bool Open(int width, int height, int fps) = 0;
    // Frames go to the sink on the source's own thread until Stop.
    virtual bool Start(Sink sink) = 0;
    virtual void Stop() = 0;

    int width() const { return width_; }
    int height() const { return height_; }

protected:
    int width_ = 0;
    int height_ = 0;
};

}  // namespace vexacam
