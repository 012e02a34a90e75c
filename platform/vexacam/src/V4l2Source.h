// A V4L2 capture device, with libv4l2 converting whatever the device gives to packed
// B, G, R.
#pragma once

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "FrameSource.h"

namespace vexacam {

struct V4l2Device {
    std::string name;  // the driver's card name
    std::string path;  // /dev/videoN
};

// Capture devices that can stream, in /dev/videoN order.
std::vector<V4l2Device> ListV4l2Devices();

class V4l2Source : public FrameSource {
public:
    explicit V4l2Source(std::string path);
    ~V4l2Source() override;
    bool Open(int width, int height, int fps) override;
    bool Start(Sink sink) override;
    void Stop() override;

private:
    struct Mapping {
        void* start = nullptr;
        size_t length = 0;
    };

    void Run(Sink sink);
    void Close();

    std::string path_;
    int fd_ = -1;
    size_t bytesPerLine_ = 0;
    std::vector<Mapping> buffers_;
    std::vector<uint8_t> frame_;
    std::atomic<bool> running_{false};
    bool streaming_ = false;
    std::thread thread_;
};

}  // namespace vexacam
