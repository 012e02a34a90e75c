// Camera-like test frames for the codec tests.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "vexacam/TestPattern.h"

// Test-pattern frame `n` as 32-bit pixels: the camera's three bytes, then 255.
inline std::vector<uint8_t> PatternFrame32(int width, int height, uint32_t n) {
    std::vector<uint8_t> bgr(static_cast<size_t>(width) * height * 3);
    vexacam::DrawTestPattern(bgr.data(), width, height, n);
    std::vector<uint8_t> out(static_cast<size_t>(width) * height * 4);
    for (size_t i = 0, j = 0; i < bgr.size(); i += 3, j += 4) {
        out[j] = bgr[i];
        out[j + 1] = bgr[i + 1];
        out[j + 2] = bgr[i + 2];
        out[j + 3] = 255;
    }
    return out;
}

// Mean absolute difference of the colour bytes of two 32-bit pictures.
inline double MeanAbsError(const uint8_t* a, const uint8_t* b, size_t bytes) {
    uint64_t sum = 0;
    size_t n = 0;
    for (size_t i = 0; i < bytes; ++i) {
        if (i % 4 == 3) continue;
        sum += static_cast<uint64_t>(std::abs(int(a[i]) - int(b[i])));
        ++n;
    }
    return n ? static_cast<double>(sum) / n : 0.0;
}
