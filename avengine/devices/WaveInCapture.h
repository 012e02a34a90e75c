// Records the microphone through the wave-in functions and hands every filled
// buffer to the audio capture source.
#pragma once

#include <atomic>

#include "win32/win32.h"

namespace RAVO {

class IAudioCaptureNotify {
public:
    // One recorded buffer; the data is valid only during the call.
    virtual void OnAudioFrameArrive(char* pcm, int len) = 0;

protected:
    ~IAudioCaptureNotify() = default;
};

class CWaveInCapture {
public:
    enum { BUFFER_COUNT = 10, BUFFER_ALLOC = 8000, MAX_DEVICES = 32 };
    struct DeviceEntry {
        int id;
        char name[MAXPNAMELEN];
    };

    CWaveInCapture();
    virtual ~CWaveInCapture();
    CWaveInCapture(const CWaveInCapture&) = delete;
    CWaveInCapture& operator=(const CWaveInCapture&) = delete;

    // Reads the device names once.
    int EnumDevices();
    // The id of the device of exactly this name; -1 for null, no device or no match.
    int FindDevice(const char* name);
    // Opens and starts recording: 1, or 0 when the device refuses the format.
    int Open();
    int Close();

    void SetDeviceId(int id) { m_deviceId = id; }
    void SetFormat(int rate, int channels, int bits);
    void SetFramesPerBuffer(int frames) { m_framesPerBuffer = frames; }
    void SetNotify(IAudioCaptureNotify* notify) { m_notify = notify; }
    int IsRunning() const { return m_running; }

    static void CALLBACK WaveInProc(HWAVEIN waveIn, UINT message, DWORD_PTR instance,
                                    DWORD_PTR param1, DWORD_PTR param2);

    WAVEFORMATEX m_format;
    std::atomic<int> m_running;
    int m_deviceId;
    HWAVEIN m_hWaveIn;
    int m_framesPerBuffer;
    char* m_copyBuffer;
    int m_allocPerBuffer;
    int m_bytesPerBuffer;
    WAVEHDR* m_headers[BUFFER_COUNT];
    IAudioCaptureNotify* m_notify;
    DeviceEntry m_devices[MAX_DEVICES];
    int m_deviceCount;
    int m_enumerated;

private:
    void onData(WAVEHDR* header);
};

}  // namespace RAVO
