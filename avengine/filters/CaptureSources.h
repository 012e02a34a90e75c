// The two capture sources: the camera's and the wave-in device's, each queueing
// what its device delivers for the chain behind it.
#pragma once

#include <cstdint>

#include "devices/WaveInCapture.h"
#include "facade/AVConfig.h"
#include "filters/SourceAvBuf.h"
#include "vexacam/NormalCameraHelper.h"

namespace RAVO {

class CSourceVideoCapBuf : public CSourceAvBuf, public IVideoCaptureNotify {
public:
    enum { RGB32_BUFFER_BYTES = 0x300000 };  // 1024 x 768 x 4, the largest camera size

    CSourceVideoCapBuf();
    ~CSourceVideoCapBuf() override;
    int start() override;
    int stop() override;

    // 1 when the camera connected; 0 when it was connected already, the size index is
    // outside 1..7, there is no camera or it does not connect.
    int connect(VideoSetConfig* config);
    // Releases and deletes the camera.
    int disconnect();
    int width() const;
    int height() const;

    void OnVideoFrameArrive(void* data, unsigned long len) override;

    int m_ssrc;
    CNormalCameraHelper* m_camera;
    char m_videoFormat[40];
    _VIDEO_CONFIG m_cameraConfig;
    DWORD m_lastFrameTime;
    uint8_t* m_rgb32;
};

class CSourceAudioCapBuf : public CSourceAvBuf, public IAudioCaptureNotify {
public:
    CSourceAudioCapBuf();
    ~CSourceAudioCapBuf() override;
    int start() override;
    int stop() override;

    void OnAudioFrameArrive(char* pcm, int len) override;

    int m_ssrc;
    CWaveInCapture* m_waveIn;
};

// Expands packed 3-byte pixels to 4 bytes each: the three bytes in their order,
// then 255.
void ConvertRGB24ToRGB32(const uint8_t* rgb24, uint8_t* rgb32, int pixels);

}  // namespace RAVO
