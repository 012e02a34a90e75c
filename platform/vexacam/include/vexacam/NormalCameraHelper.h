// Camera capture: real devices through V4L2, and a test-pattern camera chosen by the name
// kTestPatternCameraName (listed among the devices when MIVORA_TEST_CAMERA=1 is set).
// Frames are packed 3-byte pixels (B, G, R), rows bottom-up, of the size GetVideoFormat
// reports.
#pragma once

#include <memory>

// Capture request: size index 1..7 (160x120, 176x144, 320x240, 352x288, 640x480,
// 800x600, 1024x768), a value the callers always pass as 7 (kept, not used), frames per
// second. A real device may give another size; GetVideoFormat tells.
struct _VIDEO_CONFIG {
    int sizeIndex;
    int pixelKind;
    int fps;
};

// One entry of the device list: the NUL-terminated name, then the next entry or null.
struct _DEVIECENAME_LIST {
    char name[128];
    _DEVIECENAME_LIST* next;
};

// Receives every captured frame on the camera's own thread.
class IVideoCaptureNotify {
public:
    virtual void OnVideoFrameArrive(void* data, unsigned long len) = 0;

protected:
    ~IVideoCaptureNotify() = default;
};

extern const char kTestPatternCameraName[];

class CNormalCameraHelper {
public:
    CNormalCameraHelper();
    virtual ~CNormalCameraHelper();
    CNormalCameraHelper(const CNormalCameraHelper&) = delete;
    CNormalCameraHelper& operator=(const CNormalCameraHelper&) = delete;

    // kind 1: video devices. The list belongs to the helper (valid until the next call or
    // UninitDevice); null when there is none.
    _DEVIECENAME_LIST* getDeviceList(int kind);
    // Taken by the next Connect. 1, or 0 for a null pointer.
    int SetConfig(_VIDEO_CONFIG* config);
    // Opens the device at `index` in the device list, or failing that the one called
    // `name` (the test pattern always by its name); a connected device is released first. notify
    // may be null (frames then go only to the sample buffer). Non-zero when connected.
    int Connect(int mode, int index, const char* name, IVideoCaptureNotify* notify);
    int IsConnected();
    // Writes the 40-byte bitmap information header of the frames (size 40, width, height
    // > 0 for bottom-up rows, 1 plane, 24 bits, no compression, image bytes). 1, or 0
    // when not connected.
    int GetVideoFormat(char* format);
    // Non-zero when frames flow.
    int StartCapture();
    int StopCapture();
    // Copies the latest frame to GetDataPointer(). 1, or 0 before the first frame.
    int PrepareSampleData();
    // At least width x height x 3 bytes, and never less than 320 x 240 x 3; null when not
    // connected.
    unsigned char* GetDataPointer();
    // Stops capture and releases the device and the device list.
    int UninitDevice();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
