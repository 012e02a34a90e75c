#include "filters/SamplerGrab.h"

namespace RAVO {

CSamplerGrabVideo::CSamplerGrabVideo() : m_callback(nullptr), m_mode(0) {}

int CSamplerGrabVideo::in_sample(int id, int type, unsigned ts, char* data, int len, int p1,
                                 int p2) {
    if (ISamplerGrabVideoCallBack* cb = m_callback)
        cb->OnGrabVideoSample(id, type, data, len, m_mode, p1, p2);
    return out_sample(id, type, ts, data, len, p1, p2);
}

int CSamplerGrabVideo::out_sample(int id, int type, unsigned ts, char* data, int len, int p1,
                                  int p2) {
    return fan_out(id, type, ts, data, len, p1, p2);
}

CSampleGrabAudio::CSampleGrabAudio() : m_callback(nullptr), m_mode(0) {}

int CSampleGrabAudio::in_sample(int id, int type, unsigned ts, char* data, int len, int p1,
                                int p2) {
    if (ISamplerGrabAudioCallBack* cb = m_callback)
        cb->OnGrabAudioSample(id, type, data, len, m_mode, p1, p2);
    return out_sample(id, type, ts, data, len, p1, p2);
}

int CSampleGrabAudio::out_sample(int id, int type, unsigned ts, char* data, int len, int p1,
                                 int p2) {
    return fan_out(id, type, ts, data, len, p1, p2);
}

}  // namespace RAVO
