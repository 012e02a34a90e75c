// Taps of the chains: each hands every sample to the program's callback (when
// one is set) and passes it on unchanged.
#pragma once

#include <atomic>

#include "filters/AVBaseFilter.h"
#include "filters/SamplerGrabCallBack.h"

namespace RAVO {

class CSamplerGrabVideo : public CAVBaseFilter {
public:
    CSamplerGrabVideo();
    int in_sample(int id, int type, unsigned ts, char* data, int len, int p1, int p2) override;
    int out_sample(int id, int type, unsigned ts, char* data, int len, int p1, int p2) override;

    void setCallBack(ISamplerGrabVideoCallBack* cb) { m_callback = cb; }
    // 0, GRAB_MODE_CAPTURE or GRAB_MODE_PLAY: passed to the callback as is.
    void setParam1(int mode) { m_mode = mode; }
    int getParam1() const { return m_mode; }

    std::atomic<ISamplerGrabVideoCallBack*> m_callback;
    std::atomic<int> m_mode;
};

class CSampleGrabAudio : public CAVBaseFilter {
public:
    CSampleGrabAudio();
    int in_sample(int id, int type, unsigned ts, char* data, int len, int p1, int p2) override;
    int out_sample(int id, int type, unsigned ts, char* data, int len, int p1, int p2) override;

    void setCallBack(ISamplerGrabAudioCallBack* cb) { m_callback = cb; }
    void setParam1(int mode) { m_mode = mode; }
    int getParam1() const { return m_mode; }

    std::atomic<ISamplerGrabAudioCallBack*> m_callback;
    std::atomic<int> m_mode;
};

}  // namespace RAVO
