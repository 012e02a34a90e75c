#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "vexacam/DeviceChoice.h"
#include "vexacam/NormalCameraHelper.h"

namespace {

struct Format {
    uint32_t size, width, height;
    uint16_t planes, bits;
    uint32_t compression, imageBytes;
};

Format ReadFormat(CNormalCameraHelper& cam) {
    char raw[40];
    std::memset(raw, 0, sizeof raw);
    cam.GetVideoFormat(raw);
    Format f;
    std::memcpy(&f.size, raw, 4);
    std::memcpy(&f.width, raw + 4, 4);
    std::memcpy(&f.height, raw + 8, 4);
    std::memcpy(&f.planes, raw + 12, 2);
    std::memcpy(&f.bits, raw + 14, 2);
    std::memcpy(&f.compression, raw + 16, 4);
    std::memcpy(&f.imageBytes, raw + 20, 4);
    return f;
}

class Counter : public IVideoCaptureNotify {
public:
    void OnVideoFrameArrive(void* data, unsigned long len) override {
        std::lock_guard<std::mutex> hold(lock);
        ++frames;
        lastLen = len;
        last.assign(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + len);
    }
    int Frames() {
        std::lock_guard<std::mutex> hold(lock);
        return frames;
    }
    std::mutex lock;
    int frames = 0;
    unsigned long lastLen = 0;
    std::vector<uint8_t> last;
};

// Waits (bounded) until the notify interface has seen `count` frames.
bool WaitFrames(Counter& c, int count, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (c.Frames() < count && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return c.Frames() >= count;
}

bool ListHas(_DEVIECENAME_LIST* list, const char* name) {
    for (; list; list = list->next)
        if (std::strcmp(list->name, name) == 0) return true;
    return false;
}

TEST(TestPatternCamera, ListedOnlyWhenAskedForButAlwaysSelectableByName) {
    CNormalCameraHelper cam;
    unsetenv("MIVORA_TEST_CAMERA");
    EXPECT_FALSE(ListHas(cam.getDeviceList(1), kTestPatternCameraName));
    setenv("MIVORA_TEST_CAMERA", "1", 1);
    EXPECT_TRUE(ListHas(cam.getDeviceList(1), kTestPatternCameraName));
    unsetenv("MIVORA_TEST_CAMERA");

    _VIDEO_CONFIG config{3, 7, 15};
    cam.SetConfig(&config);
    EXPECT_NE(cam.Connect(0, 99, kTestPatternCameraName, nullptr), 0);
    EXPECT_NE(cam.IsConnected(), 0);
    cam.UninitDevice();
    EXPECT_EQ(cam.IsConnected(), 0);
}

TEST(TestPatternCamera, SizeIndexesGiveTheReportedFormat) {
    struct Case {
        int index;
        uint32_t w, h;
    };
    const Case cases[] = {{1, 160, 120}, {2, 176, 144}, {3, 320, 240}, {4, 352, 288},
                          {5, 640, 480}, {6, 800, 600}, {7, 1024, 768}};
    CNormalCameraHelper cam;
    for (const Case& c : cases) {
        _VIDEO_CONFIG config{c.index, 7, 15};
        cam.SetConfig(&config);
        ASSERT_NE(cam.Connect(0, 0, kTestPatternCameraName, nullptr), 0) << c.index;
        const Format f = ReadFormat(cam);
        EXPECT_EQ(f.size, 40u);
        EXPECT_EQ(f.width, c.w);
        EXPECT_EQ(f.height, c.h);
        EXPECT_EQ(f.planes, 1);
        EXPECT_EQ(f.bits, 24);
        EXPECT_EQ(f.compression, 0u);
        EXPECT_EQ(f.imageBytes, c.w * c.h * 3);
    }
    for (int bad : {0, 8, -1}) {
        _VIDEO_CONFIG config{bad, 7, 15};
        cam.SetConfig(&config);
        EXPECT_EQ(cam.Connect(0, 0, kTestPatternCameraName, nullptr), 0) << bad;
        EXPECT_EQ(cam.IsConnected(), 0);
    }
    char raw[40] = {};
    EXPECT_EQ(cam.GetVideoFormat(raw), 0);
}

TEST(TestPatternCamera, UnknownNameAndIndexDoNotConnect) {
    unsetenv("MIVORA_TEST_CAMERA");
    CNormalCameraHelper cam;
    _VIDEO_CONFIG config{3, 7, 15};
    cam.SetConfig(&config);
    EXPECT_EQ(cam.Connect(0, 1000, "No Such Camera", nullptr), 0);
    EXPECT_EQ(cam.IsConnected(), 0);
    EXPECT_EQ(cam.StartCapture(), 0);
    EXPECT_EQ(cam.GetDataPointer(), nullptr);
}

// Frames of the reported size arrive on the camera's thread at about the rate asked
// for, bottom-up, moving; they stop with StopCapture.
TEST(TestPatternCamera, DeliversFramesAtAboutTheRate) {
    CNormalCameraHelper cam;
    Counter counter;
    _VIDEO_CONFIG config{3, 7, 20};
    cam.SetConfig(&config);
    ASSERT_NE(cam.Connect(0, 0, kTestPatternCameraName, &counter), 0);
    const Format f = ReadFormat(cam);
    EXPECT_EQ(cam.PrepareSampleData(), 0);  // nothing captured yet

    ASSERT_NE(cam.StartCapture(), 0);
    const auto begin = std::chrono::steady_clock::now();
    // A loaded machine may deliver late, never early: wait (bounded) for the first
    // frames, and bound the rate only from above over at least a second.
    ASSERT_TRUE(WaitFrames(counter, 5, std::chrono::seconds(30)));
    std::this_thread::sleep_until(begin + std::chrono::seconds(1));
    const int frames = counter.Frames();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    EXPECT_LE(frames, static_cast<int>(seconds * 20 * 2) + 2);  // 20 a second, paced
    std::vector<uint8_t> first;
    {
        std::lock_guard<std::mutex> hold(counter.lock);
        EXPECT_EQ(counter.lastLen, static_cast<unsigned long>(f.width * f.height * 3));
        first = counter.last;
    }
    ASSERT_TRUE(WaitFrames(counter, frames + 2, std::chrono::seconds(30)));
    {
        std::lock_guard<std::mutex> hold(counter.lock);
        EXPECT_NE(counter.last, first) << "the pattern moves";
    }

    // The counter box is white at the top of the picture: the last rows in memory.
    const size_t stride = static_cast<size_t>(f.width) * 3;
    // (the box starts 12 pixels in at this size).
    const uint8_t* topRow = first.data() + (f.height - 1 - 13) * stride;
    EXPECT_EQ(topRow[13 * 3], 255);
    const uint8_t* bottomRow = first.data() + 13 * stride;
    EXPECT_FALSE(bottomRow[13 * 3] == 255 && bottomRow[13 * 3 + 1] == 255);

    ASSERT_EQ(cam.PrepareSampleData(), 1);
    const uint8_t* sample = cam.GetDataPointer();
    ASSERT_NE(sample, nullptr);
    EXPECT_EQ(sample[(f.height - 1 - 13) * stride + 13 * 3], 255);

    cam.StopCapture();
    const int stopped = counter.Frames();
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(counter.Frames(), stopped);

    // Connecting again while connected (the camera dialog does) switches cleanly.
    config.fps = 30;
    cam.SetConfig(&config);
    ASSERT_NE(cam.Connect(0, 0, kTestPatternCameraName, &counter), 0);
    ASSERT_NE(cam.StartCapture(), 0);
    EXPECT_TRUE(WaitFrames(counter, stopped + 3, std::chrono::seconds(30)));
    cam.UninitDevice();
}

// The callers choose by index: the camera dialog with its combo index and a fixed name,
// the room with the chosen index and the first device's name.
TEST(CameraChoice, IndexDecidesAndTheNameServesOnlyOutsideTheList) {
    const std::vector<std::string> names = {"Integrated Webcam", "USB Camera", "Capture Card"};
    struct Case {
        int index;
        const char* name;
        int chosen;
    };
    const Case cases[] = {
        {1, "Integrated Webcam", 1},  // the dialog's second combo item
        {2, "Integrated Webcam", 2},  // the room: chosen index, first device's name
        {0, "USB Camera", 0},        {7, "USB Camera", 1},  // index past the list: the name
        {-1, "Capture Card", 2},     {7, "No Such Camera", -1}, {7, nullptr, -1}, {3, "", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.index << " " << (c.name ? c.name : "(null)"));
        EXPECT_EQ(vexacam::ChooseCameraDevice(names, c.index, c.name), c.chosen);
    }
    EXPECT_EQ(vexacam::ChooseCameraDevice({}, 0, "Integrated Webcam"), -1);
}

// A real camera, when the machine has one.
TEST(V4l2Camera, CapturesFramesOfTheReportedSize) {
    unsetenv("MIVORA_TEST_CAMERA");
    CNormalCameraHelper cam;
    _DEVIECENAME_LIST* list = cam.getDeviceList(1);
    if (!list) GTEST_SKIP() << "no V4L2 capture device on this machine (/dev/video*)";
    _VIDEO_CONFIG config{3, 7, 15};
    cam.SetConfig(&config);
    Counter counter;
    ASSERT_NE(cam.Connect(0, 0, list->name, &counter), 0) << list->name;
    const Format f = ReadFormat(cam);
    EXPECT_GT(f.width, 0u);
    EXPECT_GT(f.height, 0u);
    ASSERT_NE(cam.StartCapture(), 0);
    ASSERT_TRUE(WaitFrames(counter, 3, std::chrono::seconds(10)));
    {
        std::lock_guard<std::mutex> hold(counter.lock);
        EXPECT_EQ(counter.lastLen, static_cast<unsigned long>(f.width * f.height * 3));
    }
    cam.StopCapture();
    cam.UninitDevice();
}

}  // namespace
