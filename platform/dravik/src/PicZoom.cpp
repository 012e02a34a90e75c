#include "dravik/PicZoom.h"

#include <cstring>
#include <vector>

namespace {

bool Usable(const DravikPicture& p) {
    return p.pixels && p.width > 0 && p.height > 0 && p.stride >= p.width * 4;
}

const uint8_t* Row(const DravikPicture& p, long y) {
    return reinterpret_cast<const uint8_t*>(p.pixels) + y * p.stride;
}

uint8_t* Row(const DravikPicture& p, long y, bool) {
    return reinterpret_cast<uint8_t*>(p.pixels) + y * p.stride;
}

// Source position of each destination column or row in 16.16 fixed point, centre
// aligned, clamped so that the right or lower neighbour is still inside the picture.
struct Tap {
    long index;     // left or upper source sample
    uint32_t frac;  // weight of the next sample, 0..256
};

std::vector<Tap> Taps(long dstSize, long srcSize) {
    std::vector<Tap> taps(static_cast<size_t>(dstSize));
    const int64_t step = (static_cast<int64_t>(srcSize) << 16) / dstSize;
    int64_t pos = step / 2 - 0x8000;
    for (long i = 0; i < dstSize; ++i, pos += step) {
        int64_t p = pos < 0 ? 0 : pos;
        long index = static_cast<long>(p >> 16);
        uint32_t frac = static_cast<uint32_t>((p & 0xFFFF) >> 8);
        if (index >= srcSize - 1) {
            index = srcSize - 1;
            frac = 0;
        }
        taps[static_cast<size_t>(i)] = {index, frac};
    }
    return taps;
}

// The four channels of a pixel, each in a 16-bit lane of a 64-bit word, so that one
// multiply weighs them all (a channel times a weight of at most 256 fits its lane).
constexpr uint64_t kLanes = 0x00FF00FF00FF00FFull;

uint32_t Load(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

void Store(uint8_t* p, uint32_t v) {
    std::memcpy(p, &v, 4);
}

uint64_t Spread(uint32_t p) {
    const uint64_t v = p;
    return (v | v << 24) & kLanes;
}

uint32_t Gather(uint64_t v) {
    return static_cast<uint32_t>(v | v >> 24);
}

// a weighted 256 - w, b weighted w, rounded.
uint64_t Mix(uint64_t a, uint64_t b, uint32_t w) {
    return ((a * (256 - w) + b * w + 0x0080008000800080ull) >> 8) & kLanes;
}

}  // namespace

void PicZoom_Bilinear_MMX(const DravikPicture& dst, const DravikPicture& src) {
    if (!Usable(dst) || !Usable(src)) return;
    if (dst.width == src.width && dst.height == src.height) {
        for (long y = 0; y < dst.height; ++y)
            std::memcpy(Row(dst, y, true), Row(src, y), static_cast<size_t>(dst.width) * 4);
        return;
    }
    const std::vector<Tap> xs = Taps(dst.width, src.width);
    const std::vector<Tap> ys = Taps(dst.height, src.height);
    for (long y = 0; y < dst.height; ++y) {
        const Tap& ty = ys[static_cast<size_t>(y)];
        const uint8_t* r0 = Row(src, ty.index);
        const uint8_t* r1 = ty.frac ? Row(src, ty.index + 1) : r0;
        uint8_t* out = Row(dst, y, true);
        for (long x = 0; x < dst.width; ++x) {
            const Tap& tx = xs[static_cast<size_t>(x)];
            const long x0 = tx.index * 4;
            const long x1 = tx.frac ? x0 + 4 : x0;
            const uint64_t top = Mix(Spread(Load(r0 + x0)), Spread(Load(r0 + x1)), tx.frac);
            const uint64_t bottom = Mix(Spread(Load(r1 + x0)), Spread(Load(r1 + x1)), tx.frac);
            Store(out + x * 4, Gather(Mix(top, bottom, ty.frac)));
        }
    }
}
