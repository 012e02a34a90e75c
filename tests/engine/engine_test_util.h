// Helpers of the engine tests: a sink that keeps what reaches it, grab callbacks
// that count, encoded test-pattern frames, and a bounded wait.
#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "filters/AVBaseFilter.h"
#include "filters/SamplerGrabCallBack.h"
#include "pindor/KorCodec4.h"
#include "vexacam/TestPattern.h"

namespace engine_test {

struct Sample {
    int id, type;
    unsigned ts;
    std::vector<char> data;
    int len, p1, p2;
};

class SinkFilter : public RAVO::CAVBaseFilter {
public:
    int in_sample(int id, int type, unsigned ts, char* data, int len, int p1, int p2) override {
        std::lock_guard<std::mutex> g(m_mutex);
        Sample s{id, type, ts, {}, len, p1, p2};
        if (data && len > 0) s.data.assign(data, data + len);
        m_samples.push_back(std::move(s));
        m_pointers.push_back(data);
        return 0;
    }
    std::vector<Sample> samples() {
        std::lock_guard<std::mutex> g(m_mutex);
        return m_samples;
    }
    size_t count() {
        std::lock_guard<std::mutex> g(m_mutex);
        return m_samples.size();
    }
    std::vector<char*> pointers() {
        std::lock_guard<std::mutex> g(m_mutex);
        return m_pointers;
    }

private:
    std::mutex m_mutex;
    std::vector<Sample> m_samples;
    std::vector<char*> m_pointers;
};

// Keeps every grabbed picture or sound with its values.
class GrabRecorder : public RAVO::ISamplerGrabVideoCallBack,
                     public RAVO::ISamplerGrabAudioCallBack {
public:
    struct Grab {
        int id, type, len, mode, p1, p2;
        std::vector<char> data;
    };
    int OnGrabVideoSample(int id, int type, char* data, int len, int mode, int w, int h) override {
        return keep(m_video, id, type, data, len, mode, w, h);
    }
    int OnGrabAudioSample(int id, int type, char* data, int len, int mode, int p1,
                          int p2) override {
        return keep(m_audio, id, type, data, len, mode, p1, p2);
    }
    std::vector<Grab> video() {
        std::lock_guard<std::mutex> g(m_mutex);
        return m_video;
    }
    std::vector<Grab> audio() {
        std::lock_guard<std::mutex> g(m_mutex);
        return m_audio;
    }
    size_t videoCount() {
        std::lock_guard<std::mutex> g(m_mutex);
        return m_videoTotal;
    }
    size_t audioCount() {
        std::lock_guard<std::mutex> g(m_mutex);
        return m_audioTotal;
    }
    // Only the first `n` grabs keep their data (the rest are counted).
    void keepData(size_t n) { m_keep = n; }

private:
    int keep(std::vector<Grab>& list, int id, int type, char* data, int len, int mode, int p1,
             int p2) {
        std::lock_guard<std::mutex> g(m_mutex);
        (&list == &m_video ? m_videoTotal : m_audioTotal)++;
        if (list.size() >= m_keep) return 0;
        Grab grab{id, type, len, mode, p1, p2, {}};
        if (data && len > 0) grab.data.assign(data, data + len);
        list.push_back(std::move(grab));
        return 0;
    }
    std::mutex m_mutex;
    std::vector<Grab> m_video, m_audio;
    size_t m_videoTotal = 0, m_audioTotal = 0;
    size_t m_keep = 100000;
};

inline bool waitFor(const std::function<bool()>& done, int timeoutMs = 10000) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= until) return done();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// 32-bit pattern frame (B, G, R, 255), rows bottom-up as the camera gives them.
inline std::vector<unsigned char> patternFrame(int w, int h, uint32_t n) {
    std::vector<uint8_t> bgr(static_cast<size_t>(w * h * 3));
    vexacam::DrawTestPattern(bgr.data(), w, h, n);
    std::vector<unsigned char> out(static_cast<size_t>(w * h * 4));
    for (int i = 0; i < w * h; ++i) {
        out[static_cast<size_t>(i) * 4 + 0] = bgr[static_cast<size_t>(i) * 3 + 0];
        out[static_cast<size_t>(i) * 4 + 1] = bgr[static_cast<size_t>(i) * 3 + 1];
        out[static_cast<size_t>(i) * 4 + 2] = bgr[static_cast<size_t>(i) * 3 + 2];
        out[static_cast<size_t>(i) * 4 + 3] = 255;
    }
    return out;
}

// `count` encoded frames of the pattern (8-byte header, then Annex B); the first is a
// key frame, and so is every `fps`-th.
inline std::vector<std::vector<char>> encodedFrames(int w, int h, int count, int fps = 15) {
    CKorCodec4 enc;
    std::vector<std::vector<char>> frames;
    if (enc.EncodeInit(w, h, 1, 128000, fps, 1) != 0) return frames;
    for (int i = 0; i < count; ++i) {
        std::vector<unsigned char> f = patternFrame(w, h, static_cast<uint32_t>(i));
        int n = enc.Encode(w, h, f.data(), static_cast<int>(f.size()));
        if (n > 8)
            frames.emplace_back(reinterpret_cast<char*>(enc.buffer),
                                reinterpret_cast<char*>(enc.buffer) + n);
    }
    enc.EncodeClose();
    return frames;
}

inline uint32_t keyFlag(const std::vector<char>& frame) {
    const unsigned char* b = reinterpret_cast<const unsigned char*>(frame.data() + 4);
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

}  // namespace engine_test
