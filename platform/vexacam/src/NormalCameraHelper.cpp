#include "vexacam/NormalCameraHelper.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "PatternSource.h"
#include "win32/text.h"
#include "V4l2Source.h"
#include "vexacam/DeviceChoice.h"

const char kTestPatternCameraName[] = "Mivora Test Pattern";

namespace {

struct FrameSize {
    int width;
    int height;
};

// Size indexes 1..7.
constexpr FrameSize kSizes[7] = {{160, 120}, {176, 144}, {320, 240}, {352, 288},
                                 {640, 480}, {800, 600}, {1024, 768}};

// Callers that ask for size 3 read 320 x 240 x 3 bytes whatever the device gave.
constexpr size_t kMinSampleBytes = 320 * 240 * 3;

struct Device {
    std::string name;
    std::string path;  // empty for the test pattern
};

bool TestCameraListed() {
    const char* v = std::getenv("MIVORA_TEST_CAMERA");
    return v && std::strcmp(v, "1") == 0;
}

// Device names reach the program as every narrow text does: in the ANSI code page
// ("?" where it has no form for a character). V4L2 and the environment give UTF-8.
std::string AnsiName(const std::string& utf8) {
    return winplat::WideToAnsi(winplat::Utf8ToWide(utf8));
}

// The test camera's listed name: MIVORA_TEST_CAMERA_NAME (UTF-8) when set.
std::string TestCameraName() {
    const char* v = std::getenv("MIVORA_TEST_CAMERA_NAME");
    return v && *v ? AnsiName(v) : std::string(kTestPatternCameraName);
}

// Like a real device, the test camera may give another size than asked:
// MIVORA_TEST_CAMERA_SIZE "WIDTHxHEIGHT" (each 1..4096) decides when set.
FrameSize TestCameraSize(FrameSize asked) {
    const char* v = std::getenv("MIVORA_TEST_CAMERA_SIZE");
    int w = 0, h = 0;
    if (v && std::sscanf(v, "%dx%d", &w, &h) == 2 && w > 0 && h > 0 && w <= 4096 && h <= 4096)
        return {w, h};
    return asked;
}

std::vector<Device> Devices() {
    std::vector<Device> devices;
    for (const vexacam::V4l2Device& d : vexacam::ListV4l2Devices())
        devices.push_back({AnsiName(d.name), d.path});
    if (TestCameraListed()) devices.push_back({TestCameraName(), std::string()});
    return devices;
}

void PutU32(char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<char>(v >> (8 * i));
}

void PutU16(char* p, uint16_t v) {
    p[0] = static_cast<char>(v);
    p[1] = static_cast<char>(v >> 8);
}

}  // namespace

struct CNormalCameraHelper::Impl {
    _VIDEO_CONFIG config{3, 7, 15};
    std::vector<_DEVIECENAME_LIST> list;
    std::unique_ptr<vexacam::FrameSource> source;
    IVideoCaptureNotify* notify = nullptr;
    bool capturing = false;

    std::mutex frameLock;  // guards latest and haveFrame
    std::vector<uint8_t> latest;
    bool haveFrame = false;
    std::vector<uint8_t> sample;

    void Disconnect() {
        if (source) source->Stop();
        capturing = false;
        source.reset();
        notify = nullptr;
        std::lock_guard<std::mutex> hold(frameLock);
        latest.clear();
        haveFrame = false;
        sample.clear();
    }

    void OnFrame(const uint8_t* data, size_t len) {
        {
            std::lock_guard<std::mutex> hold(frameLock);
            if (len == latest.size()) {
                std::memcpy(latest.data(), data, len);
                haveFrame = true;
            }
        }
        if (notify) notify->OnVideoFrameArrive(const_cast<uint8_t*>(data), len);
    }
};

CNormalCameraHelper::CNormalCameraHelper() : impl_(new Impl) {}

CNormalCameraHelper::~CNormalCameraHelper() {
    UninitDevice();
}

_DEVIECENAME_LIST* CNormalCameraHelper::getDeviceList(int kind) {
    impl_->list.clear();
    if (kind != 1) return nullptr;
    const std::vector<Device> devices = Devices();
    impl_->list.resize(devices.size());
    for (size_t i = 0; i < devices.size(); ++i) {
        _DEVIECENAME_LIST& entry = impl_->list[i];
        std::memset(entry.name, 0, sizeof entry.name);
        std::strncpy(entry.name, devices[i].name.c_str(), sizeof entry.name - 1);
        entry.next = i + 1 < devices.size() ? &impl_->list[i + 1] : nullptr;
    }
    return impl_->list.empty() ? nullptr : impl_->list.data();
}

int CNormalCameraHelper::SetConfig(_VIDEO_CONFIG* config) {
    if (!config) return 0;
    impl_->config = *config;
    return 1;
}

int CNormalCameraHelper::Connect(int mode, int index, const char* name,
                                 IVideoCaptureNotify* notify) {
    impl_->Disconnect();
    const int sizeIndex = impl_->config.sizeIndex;
    if (sizeIndex < 1 || sizeIndex > 7) return 0;
    const FrameSize size = kSizes[sizeIndex - 1];
    const int fps = impl_->config.fps > 0 ? impl_->config.fps : 15;

    // The test pattern is asked for by name, listed or not; a real device by its index.
    const std::vector<Device> devices = Devices();
    const Device* chosen = nullptr;
    Device pattern{kTestPatternCameraName, std::string()};
    if (name && (std::strcmp(name, kTestPatternCameraName) == 0 ||
                 (TestCameraListed() && TestCameraName() == name))) {
        chosen = &pattern;
    } else {
        std::vector<std::string> names;
        for (const Device& d : devices) names.push_back(d.name);
        const int at = vexacam::ChooseCameraDevice(names, index, name);
        if (at >= 0) chosen = &devices[static_cast<size_t>(at)];
    }
    if (!chosen) return 0;

    std::unique_ptr<vexacam::FrameSource> source;
    FrameSize open = size;
    if (chosen->path.empty()) {
        source.reset(new vexacam::PatternSource);
        open = TestCameraSize(size);
    } else {
        source.reset(new vexacam::V4l2Source(chosen->path));
    }
    if (!source->Open(open.width, open.height, fps)) return 0;

    const size_t bytes = static_cast<size_t>(source->width()) * source->height() * 3;
    {
        std::lock_guard<std::mutex> hold(impl_->frameLock);
        impl_->latest.assign(bytes, 0);
        impl_->sample.assign(std::max(bytes, kMinSampleBytes), 0);
        impl_->haveFrame = false;
    }
    impl_->source = std::move(source);
    impl_->notify = notify;
    return 1;
}

int CNormalCameraHelper::IsConnected() {
    return impl_->source ? 1 : 0;
}

int CNormalCameraHelper::GetVideoFormat(char* format) {
    if (!impl_->source || !format) return 0;
    const uint32_t w = static_cast<uint32_t>(impl_->source->width());
    const uint32_t h = static_cast<uint32_t>(impl_->source->height());
    std::memset(format, 0, 40);
    PutU32(format + 0, 40);   // header size
    PutU32(format + 4, w);    // width
    PutU32(format + 8, h);    // height, positive: rows bottom-up
    PutU16(format + 12, 1);   // planes
    PutU16(format + 14, 24);  // bits per pixel
    PutU32(format + 16, 0);   // uncompressed
    PutU32(format + 20, w * h * 3);
    return 1;
}

int CNormalCameraHelper::StartCapture() {
    if (!impl_->source) return 0;
    if (impl_->capturing) return 1;
    Impl* impl = impl_.get();
    impl_->capturing =
        impl_->source->Start([impl](const uint8_t* data, size_t len) { impl->OnFrame(data, len); });
    return impl_->capturing ? 1 : 0;
}

int CNormalCameraHelper::StopCapture() {
    if (!impl_->source) return 0;
    impl_->source->Stop();
    impl_->capturing = false;
    return 1;
}

int CNormalCameraHelper::PrepareSampleData() {
    std::lock_guard<std::mutex> hold(impl_->frameLock);
    if (!impl_->haveFrame) return 0;
    std::memcpy(impl_->sample.data(), impl_->latest.data(), impl_->latest.size());
    return 1;
}

unsigned char* CNormalCameraHelper::GetDataPointer() {
    std::lock_guard<std::mutex> hold(impl_->frameLock);
    return impl_->sample.empty() ? nullptr : impl_->sample.data();
}

int CNormalCameraHelper::UninitDevice() {
    impl_->Disconnect();
    impl_->list.clear();
    return 1;
}
