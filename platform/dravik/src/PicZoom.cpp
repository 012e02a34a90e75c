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
        const uint32_t wy1 = ty.frac;
        const uint32_t wy0 = 256 - wy1;
        uint8_t* out = Row(dst, y, true);
        for (long x = 0; x < dst.width; ++x) {
            const Tap& tx = xs[static_cast<size_t>(x)];
            const long x0 = tx.index * 4;
            const long x1 = tx.frac ? x0 + 4 : x0;
            const uint32_t wx1 = tx.frac;
            const uint32_t wx0 = 256 - wx1;
            for (int c = 0; c < 4; ++c) {
                const uint32_t top = r0[x0 + c] * wx0 + r0[x1 + c] * wx1;
                const uint32_t bottom = r1[x0 + c] * wx0 + r1[x1 + c] * wx1;
                out[x * 4 + c] = static_cast<uint8_t>((top * wy0 + bottom * wy1 + 32768) >> 16);
            }
        }
    }
}
