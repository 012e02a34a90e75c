// Seeds of the audio decoder target: 40 ms blocks of a tone as the encoder plug-in
// packs them, stereo and mono, and a run with a packet lost.
#include <cmath>
#include <vector>

#include "SeedWriter.h"
#include "aurik/KorCodec6.h"

namespace {

std::vector<std::vector<uint8_t>> Encode(int channels, int blocks) {
    CKorCodec6 codec;
    std::vector<std::vector<uint8_t>> out;
    if (codec.EncodeInit(48000, channels, 32000) != 0) return out;
    const int frames = 48000 / 25;
    std::vector<int16_t> pcm(static_cast<size_t>(frames * channels));
    for (int b = 0; b < blocks; ++b) {
        for (int i = 0; i < frames; ++i)
            for (int c = 0; c < channels; ++c)
                pcm[static_cast<size_t>(i * channels + c)] = static_cast<int16_t>(
                    8000 * std::sin(2 * 3.14159265 * 440 * (b * frames + i) / 48000.0));
        const int len = codec.Encode(pcm.data(), static_cast<int>(pcm.size() * 2));
        if (len > 0) out.emplace_back(codec.outBuffer, codec.outBuffer + len);
    }
    codec.EncodeClose();
    return out;
}

std::vector<uint8_t> Seed(uint8_t format, const std::vector<std::vector<uint8_t>>& packets) {
    std::vector<uint8_t> s{format};
    for (const auto& p : packets) {
        s.push_back(static_cast<uint8_t>(p.size()));
        s.push_back(static_cast<uint8_t>(p.size() >> 8));
        s.insert(s.end(), p.begin(), p.end());
    }
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    fuzzing::SeedWriter seeds(argc, argv);
    std::vector<std::vector<uint8_t>> stereo = Encode(2, 4), mono = Encode(1, 3);
    if (stereo.empty() || mono.empty()) return 1;
    seeds.Add(Seed(0, stereo));
    seeds.Add(Seed(1, mono));
    seeds.Add(Seed(2 * 3, {stereo[0], {}, stereo[2]}));  // 24 kHz, a lost packet between
    return 0;
}
