// Seeds of the video decoder target: frames the encoder plug-in makes (a key frame
// and the frames after it) at two sizes, and the key frame after a reported loss.
#include <vector>

#include "SeedWriter.h"
#include "frames.h"
#include "pindor/KorCodec4.h"

namespace {

void AddFrame(std::vector<uint8_t>& seed, const uint8_t* frame, int len, uint8_t flags) {
    seed.push_back(flags);
    seed.push_back(static_cast<uint8_t>(len));
    seed.push_back(static_cast<uint8_t>(len >> 8));
    seed.insert(seed.end(), frame, frame + len);
}

std::vector<std::vector<uint8_t>> Encode(int width, int height, int frames) {
    CKorCodec4 codec;
    std::vector<std::vector<uint8_t>> out;
    if (codec.EncodeInit(width, height, 1, 64000, 15, 1) != 0) return out;
    for (int i = 0; i < frames; ++i) {
        std::vector<uint8_t> picture = PatternFrame32(width, height, static_cast<uint32_t>(i));
        const int len =
            codec.Encode(width, height, picture.data(), static_cast<int>(picture.size()));
        if (len > 0) out.emplace_back(codec.buffer, codec.buffer + len);
    }
    codec.EncodeClose();
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    fuzzing::SeedWriter seeds(argc, argv);
    for (const auto& size : {std::pair<int, int>{64, 48}, {176, 144}}) {
        std::vector<std::vector<uint8_t>> frames = Encode(size.first, size.second, 4);
        if (frames.empty()) return 1;
        std::vector<uint8_t> stream, key;
        for (const auto& f : frames) AddFrame(stream, f.data(), static_cast<int>(f.size()), 0);
        seeds.Add(stream);
        AddFrame(key, frames[0].data(), static_cast<int>(frames[0].size()), 1);
        seeds.Add(key);
    }
    return 0;
}
