// Plays one remote user's decoded sound through the wave-out functions, holding
// output back until a few buffers are queued so that it does not stutter.
#pragma once

#include <atomic>

#include "win32/win32.h"

namespace RAVO {

class CWaveOutPlay {
public:
    enum { BUFFER_COUNT = 40, QUEUE_LIMIT = 35 };

    CWaveOutPlay();
    virtual ~CWaveOutPlay();
    CWaveOutPlay(const CWaveOutPlay&) = delete;
    CWaveOutPlay& operator=(const CWaveOutPlay&) = delete;

    void SetFormat(int rate, int channels, int bits, int framesPerBuffer);
    // 1, or 0 when the device does not open.
    int Open();
    // Queues one buffer: len, or -1 when it is dropped.
    int Write(int len, char* pcm);
    int Close();

    static void CALLBACK WaveOutProc(HWAVEOUT waveOut, UINT message, DWORD_PTR instance,
                                     DWORD_PTR param1, DWORD_PTR param2);

    std::atomic<int> m_starved;
    int m_open;
    int m_deviceId;
    WAVEFORMATEX m_format;
    int m_framesPerBuffer;
    int m_bytesPerBuffer;
    std::atomic<int> m_queued;
    int m_next;
    char* m_block;
    WAVEHDR* m_headers;
    int m_restartThreshold;
    HWAVEOUT m_hWaveOut;

private:
    // Unprepares the first `prepared` headers, closes the device, frees the buffers.
    void release(int prepared);
};

}  // namespace RAVO
