// Per-frame cost of the media codecs: capture-side scale and H.264 encode for the room's
// three configuration texts (camera 320 x 240 at 15 fps), H.264 decode, Opus per 40 ms.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

#include "aurik/KorCodec6.h"
#include "aurik2/KorCodec7.h"
#include "lumar/KorCodec3.h"
#include "pindor/KorCodec4.h"
#include "pindor2/KorCodec5.h"
#include "vexacam/TestPattern.h"

namespace {

constexpr int kCamW = 320;
constexpr int kCamH = 240;
constexpr int kClip = 30;  // frames cycled through: two seconds at 15 fps

const char* const kConfigTexts[] = {
    "1 15 60000 32000 1000 1000 10 12 5 6 1000 3 224 168 1",
    "1 15 32 48000 1000 1000 10 12 5 6 1000 3 256 192 2",
    "1 15 31 64000 1000 1000 10 12 5 6 1000 3 320 240 2",
};

struct VideoConfig {
    int fps, bitrate, audioRate, width, height, mode;
};

VideoConfig ReadConfig(const char* text) {
    int v[15] = {};
    std::sscanf(text, "%d %d %d %d %d %d %d %d %d %d %d %d %d %d %d", &v[0], &v[1], &v[2], &v[3],
                &v[4], &v[5], &v[6], &v[7], &v[8], &v[9], &v[10], &v[11], &v[12], &v[13], &v[14]);
    return {v[1], v[2], v[3], v[12], v[13], v[14]};
}

// Camera frames as the capture chain holds them: 32-bit, the camera's bytes then 255.
const std::vector<std::vector<uint8_t>>& CameraClip() {
    static const std::vector<std::vector<uint8_t>> clip = [] {
        std::vector<std::vector<uint8_t>> frames;
        std::vector<uint8_t> bgr(kCamW * kCamH * 3);
        for (int n = 0; n < kClip; ++n) {
            vexacam::DrawTestPattern(bgr.data(), kCamW, kCamH, static_cast<uint32_t>(n));
            std::vector<uint8_t> rgb32(kCamW * kCamH * 4);
            for (size_t i = 0, j = 0; i < bgr.size(); i += 3, j += 4) {
                rgb32[j] = bgr[i];
                rgb32[j + 1] = bgr[i + 1];
                rgb32[j + 2] = bgr[i + 2];
                rgb32[j + 3] = 255;
            }
            frames.push_back(std::move(rgb32));
        }
        return frames;
    }();
    return clip;
}

// Process CPU time, to give the share of one core a stream at its frame rate takes.
class CpuShare {
public:
    explicit CpuShare(int fps) : fps_(fps), start_(std::clock()) {}
    void Report(benchmark::State& state) const {
        const double seconds = static_cast<double>(std::clock() - start_) / CLOCKS_PER_SEC;
        if (state.iterations() > 0)
            state.counters["cpu_percent"] = 100.0 * seconds / state.iterations() * fps_;
    }

private:
    int fps_;
    std::clock_t start_;
};

// Scale (when the play size differs from the camera's) and encode one frame.
void BM_CaptureEncode(benchmark::State& state) {
    const VideoConfig c = ReadConfig(kConfigTexts[state.range(0)]);
    state.SetLabel(std::to_string(c.width) + "x" + std::to_string(c.height) +
                   (c.mode == 2 ? " qp " : " bit/s ") + std::to_string(c.bitrate));
    const bool scale = c.width != kCamW || c.height != kCamH;
    CKorCodec3 scaler;
    if (scale) scaler.EncodeInit(kCamW, kCamH, c.width, c.height, 1);
    CKorCodec4 enc;
    if (enc.EncodeInit(c.width, c.height, c.mode, c.bitrate, c.fps, 1) != 0) {
        state.SkipWithError("encoder did not open");
        return;
    }
    const auto& clip = CameraClip();
    size_t n = 0;
    double bytes = 0;
    const CpuShare share(c.fps);
    for (auto _ : state) {
        uint8_t* frame = const_cast<uint8_t*>(clip[n++ % clip.size()].data());
        if (scale) {
            scaler.Encode(frame, 0);
            frame = scaler.buffer;
        }
        const int len = enc.Encode(c.width, c.height, frame, 0);
        benchmark::DoNotOptimize(len);
        bytes += len;
    }
    share.Report(state);
    state.counters["bytes_per_frame"] =
        benchmark::Counter(bytes, benchmark::Counter::kAvgIterations);
    enc.EncodeClose();
    scaler.EncodeClose();
}
BENCHMARK(BM_CaptureEncode)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// Decode of the room's capture settings stream (320 x 240, 128000 bit/s, 15 fps).
void BM_Decode(benchmark::State& state) {
    CKorCodec4 enc;
    std::vector<std::vector<uint8_t>> packets;
    enc.EncodeInit(kCamW, kCamH, 1, 128000, 15, 1);
    for (const auto& f : CameraClip()) {
        const int len = enc.Encode(kCamW, kCamH, const_cast<uint8_t*>(f.data()), 0);
        if (len > 8) packets.emplace_back(enc.buffer + 8, enc.buffer + len);
    }
    enc.EncodeClose();
    CKorCodec5 dec;
    dec.DecodeInit(1);
    size_t n = 0;
    const CpuShare share(15);
    for (auto _ : state) {
        const auto& p = packets[n++ % packets.size()];
        const int out = dec.Decode(p.data(), static_cast<int>(p.size()), kCamW, kCamH);
        if (out <= 0) {
            state.SkipWithError("decode failed");
            break;
        }
    }
    share.Report(state);
    dec.DecodeClose();
}
BENCHMARK(BM_Decode)->Unit(benchmark::kMillisecond);

constexpr int kAudioFrame = 1920;  // 40 ms at 48000 Hz

std::vector<int16_t> Speechlike() {
    std::vector<int16_t> pcm(kAudioFrame * 2);
    uint32_t seed = 1;
    for (int i = 0; i < kAudioFrame; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const double noise = static_cast<double>(seed >> 16) / 65536.0 - 0.5;
        const double v = 6000 * std::sin(2 * M_PI * 220 * i / 48000.0) +
                         3000 * std::sin(2 * M_PI * 1250 * i / 48000.0) + 1500 * noise;
        pcm[i * 2] = pcm[i * 2 + 1] = static_cast<int16_t>(v);
    }
    return pcm;
}

// The audio bit rates of the three configuration texts.
void BM_OpusEncode(benchmark::State& state) {
    const int rate = ReadConfig(kConfigTexts[state.range(0)]).audioRate;
    state.SetLabel(std::to_string(rate) + " bit/s");
    CKorCodec6 enc;
    enc.EncodeInit(48000, 2, rate);
    const std::vector<int16_t> pcm = Speechlike();
    const CpuShare share(25);
    for (auto _ : state) benchmark::DoNotOptimize(enc.Encode(pcm.data(), kAudioFrame * 4));
    share.Report(state);
    enc.EncodeClose();
}
BENCHMARK(BM_OpusEncode)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

void BM_OpusDecode(benchmark::State& state) {
    const int rate = ReadConfig(kConfigTexts[state.range(0)]).audioRate;
    state.SetLabel(std::to_string(rate) + " bit/s");
    CKorCodec6 enc;
    enc.EncodeInit(48000, 2, rate);
    const std::vector<int16_t> pcm = Speechlike();
    const int n = enc.Encode(pcm.data(), kAudioFrame * 4);
    const std::vector<char> packet(enc.outBuffer, enc.outBuffer + (n > 0 ? n : 0));
    enc.EncodeClose();
    KorCodec7 dec;
    dec.DecodeInit(48000, 2);
    const CpuShare share(25);
    for (auto _ : state)
        benchmark::DoNotOptimize(dec.Decode(packet.data(), static_cast<int>(packet.size())));
    share.Report(state);
    dec.DecodeClose();
}
BENCHMARK(BM_OpusDecode)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

}  // namespace
