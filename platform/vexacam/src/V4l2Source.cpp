#include "V4l2Source.h"

#include <fcntl.h>
#include <libv4l2.h>
#include <linux/videodev2.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace vexacam {

namespace {

constexpr int kMaxDevices = 64;
constexpr unsigned kBufferCount = 4;

int Xioctl(int fd, unsigned long request, void* arg) {
    int r;
    do {
        r = v4l2_ioctl(fd, request, arg);
    } while (r == -1 && errno == EINTR);
    return r;
}

}  // namespace

std::vector<V4l2Device> ListV4l2Devices() {
    std::vector<V4l2Device> devices;
    for (int i = 0; i < kMaxDevices; ++i) {
        const std::string path = "/dev/video" + std::to_string(i);
        if (access(path.c_str(), F_OK) != 0) continue;
        // A plain open is enough to ask what the device is.
        const int fd = open(path.c_str(), O_RDWR | O_NONBLOCK);
        if (fd < 0) continue;
        v4l2_capability cap;
        std::memset(&cap, 0, sizeof cap);
        if (ioctl(fd, VIDIOC_QUERYCAP, &cap) == 0) {
            const uint32_t caps =
                (cap.capabilities & V4L2_CAP_DEVICE_CAPS) ? cap.device_caps : cap.capabilities;
            if ((caps & V4L2_CAP_VIDEO_CAPTURE) && (caps & V4L2_CAP_STREAMING)) {
                std::string name(reinterpret_cast<const char*>(cap.card),
                                 strnlen(reinterpret_cast<const char*>(cap.card), sizeof cap.card));
                for (const V4l2Device& d : devices) {
                    // Two cameras of one model still need names of their own.
                    if (d.name == name) name += " (" + path + ")";
                }
                devices.push_back({name, path});
            }
        }
        close(fd);
    }
    return devices;
}

V4l2Source::V4l2Source(std::string path) : path_(std::move(path)) {}

V4l2Source::~V4l2Source() {
    Stop();
    Close();
}

bool V4l2Source::Open(int width, int height, int fps) {
    fd_ = v4l2_open(path_.c_str(), O_RDWR | O_NONBLOCK);
    if (fd_ < 0) return false;

    v4l2_format fmt;
    std::memset(&fmt, 0, sizeof fmt);
    fmt.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    fmt.fmt.pix.width = static_cast<uint32_t>(width);
    fmt.fmt.pix.height = static_cast<uint32_t>(height);
    fmt.fmt.pix.pixelformat = V4L2_PIX_FMT_BGR24;
    fmt.fmt.pix.field = V4L2_FIELD_ANY;
    if (Xioctl(fd_, VIDIOC_S_FMT, &fmt) < 0 || fmt.fmt.pix.pixelformat != V4L2_PIX_FMT_BGR24 ||
        fmt.fmt.pix.width == 0 || fmt.fmt.pix.height == 0) {
        Close();
        return false;
    }
    width_ = static_cast<int>(fmt.fmt.pix.width);
    height_ = static_cast<int>(fmt.fmt.pix.height);
    bytesPerLine_ = std::max<size_t>(fmt.fmt.pix.bytesperline, static_cast<size_t>(width_) * 3);

    // The rate is a wish: many drivers keep their own.
    v4l2_streamparm parm;
    std::memset(&parm, 0, sizeof parm);
    parm.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    parm.parm.capture.timeperframe.numerator = 1;
    parm.parm.capture.timeperframe.denominator = static_cast<uint32_t>(fps > 0 ? fps : 15);
    Xioctl(fd_, VIDIOC_S_PARM, &parm);

    v4l2_requestbuffers req;
    std::memset(&req, 0, sizeof req);
    req.count = kBufferCount;
    req.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    req.memory = V4L2_MEMORY_MMAP;
    if (Xioctl(fd_, VIDIOC_REQBUFS, &req) < 0 || req.count == 0) {
        Close();
        return false;
    }
    for (unsigned i = 0; i < req.count; ++i) {
        v4l2_buffer buf;
        std::memset(&buf, 0, sizeof buf);
        buf.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        buf.memory = V4L2_MEMORY_MMAP;
        buf.index = i;
        if (Xioctl(fd_, VIDIOC_QUERYBUF, &buf) < 0) {
            Close();
            return false;
        }
        void* start =
            v4l2_mmap(nullptr, buf.length, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, buf.m.offset);
        if (start == MAP_FAILED) {
            Close();
            return false;
        }
        buffers_.push_back({start, buf.length});
    }
    frame_.assign(static_cast<size_t>(width_) * height_ * 3, 0);
    return true;
}

bool V4l2Source::Start(Sink sink) {
    if (running_) return true;
    if (fd_ < 0) return false;
    for (unsigned i = 0; i < buffers_.size(); ++i) {
        v4l2_buffer buf;
        std::memset(&buf, 0, sizeof buf);
        buf.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        buf.memory = V4L2_MEMORY_MMAP;
        buf.index = i;
        if (Xioctl(fd_, VIDIOC_QBUF, &buf) < 0) return false;
    }
    v4l2_buf_type type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (Xioctl(fd_, VIDIOC_STREAMON, &type) < 0) return false;
    streaming_ = true;
    running_ = true;
    thread_ = std::thread(&V4l2Source::Run, this, std::move(sink));
    return true;
}

void V4l2Source::Stop() {
    running_ = false;
    if (thread_.joinable()) thread_.join();
    if (streaming_) {
        v4l2_buf_type type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        Xioctl(fd_, VIDIOC_STREAMOFF, &type);
        streaming_ = false;
    }
}

void V4l2Source::Run(Sink sink) {
    const size_t rowBytes = static_cast<size_t>(width_) * 3;
    const size_t needed = bytesPerLine_ * static_cast<size_t>(height_ - 1) + rowBytes;
    while (running_) {
        pollfd pfd{fd_, POLLIN, 0};
        // A short wait keeps Stop prompt when the device goes quiet.
        const int ready = poll(&pfd, 1, 200);
        if (ready < 0 && errno != EINTR) break;
        if (ready <= 0) continue;

        v4l2_buffer buf;
        std::memset(&buf, 0, sizeof buf);
        buf.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        buf.memory = V4L2_MEMORY_MMAP;
        if (Xioctl(fd_, VIDIOC_DQBUF, &buf) < 0) {
            if (errno == EAGAIN) continue;
            break;  // unplugged or failed: no more frames
        }
        const bool whole = buf.index < buffers_.size() && buf.bytesused >= needed &&
                           buffers_[buf.index].length >= needed;
        if (whole) {
            // The device gives rows top-down; the frames go out bottom-up.
            const uint8_t* base = static_cast<const uint8_t*>(buffers_[buf.index].start);
            for (int y = 0; y < height_; ++y) {
                std::memcpy(frame_.data() + static_cast<size_t>(height_ - 1 - y) * rowBytes,
                            base + static_cast<size_t>(y) * bytesPerLine_, rowBytes);
            }
        }
        if (Xioctl(fd_, VIDIOC_QBUF, &buf) < 0) break;
        if (whole) sink(frame_.data(), frame_.size());
    }
}

void V4l2Source::Close() {
    for (const Mapping& m : buffers_) v4l2_munmap(m.start, m.length);
    buffers_.clear();
    if (fd_ >= 0) v4l2_close(fd_);
    fd_ = -1;
}

}  // namespace vexacam
