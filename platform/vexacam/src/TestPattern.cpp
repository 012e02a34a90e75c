#include "vexacam/TestPattern.h"

#include <algorithm>
#include <cstring>

namespace vexacam {

namespace {

// 5 x 7 digits, one row per byte, bit 4 the leftmost pixel.
constexpr uint8_t kDigits[10][7] = {
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1E, 0x01, 0x01, 0x0E, 0x01, 0x01, 0x1E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},
};

// White, yellow, cyan, green, magenta, red, blue, black as B, G, R.
constexpr uint8_t kBars[8][3] = {{235, 235, 235}, {16, 235, 235}, {235, 235, 16}, {16, 235, 16},
                                 {235, 16, 235},  {16, 16, 235},  {235, 16, 16},  {16, 16, 16}};

constexpr int kCounterDigits = 6;

}  // namespace

void DrawTestPattern(uint8_t* bgr, int width, int height, uint32_t frame) {
    if (!bgr || width <= 0 || height <= 0) return;
    const size_t stride = static_cast<size_t>(width) * 3;
    // Picture row y (0 = top) lives in memory row height - 1 - y.
    auto pixel = [&](int x, int y) {
        return bgr + static_cast<size_t>(height - 1 - y) * stride + static_cast<size_t>(x) * 3;
    };

    const uint64_t shift = static_cast<uint64_t>(frame) * 2;
    uint8_t* top = pixel(0, 0);
    for (int x = 0; x < width; ++x) {
        const uint64_t pos = (x + shift) % static_cast<uint64_t>(width);
        std::memcpy(top + x * 3, kBars[pos * 8 / static_cast<uint64_t>(width)], 3);
    }
    for (int y = 1; y < height; ++y) std::memcpy(pixel(0, y), top, stride);

    const int scale = std::max(1, height / 80);
    const int boxW = (kCounterDigits * 6 + 1) * scale;
    const int boxH = 9 * scale;
    const int left = 4 * scale;
    const int upper = 4 * scale;
    uint32_t value = frame % 1000000;
    int digits[kCounterDigits];
    for (int i = kCounterDigits - 1; i >= 0; --i, value /= 10)
        digits[i] = static_cast<int>(value % 10);
    for (int y = 0; y < boxH && upper + y < height; ++y) {
        for (int x = 0; x < boxW && left + x < width; ++x) {
            const int gx = x / scale - 1;
            const int gy = y / scale - 1;
            bool ink = false;
            if (gx >= 0 && gy >= 0 && gy < 7) {
                const int d = gx / 6;
                const int col = gx % 6;
                if (d < kCounterDigits && col < 5) ink = (kDigits[digits[d]][gy] >> (4 - col)) & 1;
            }
            const uint8_t v = ink ? 0 : 255;
            uint8_t* p = pixel(left + x, upper + y);
            p[0] = p[1] = p[2] = v;
        }
    }
}

}  // namespace vexacam
