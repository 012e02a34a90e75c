#include "pattern_match.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "vexacam/TestPattern.h"

namespace roomtest {

int PatternMatch(const QImage& shot, const QRect& area) {
    if (shot.isNull() || area.width() < 16 || area.height() < 16) return 0;
    std::vector<uint8_t> bgr(320 * 240 * 3);
    vexacam::DrawTestPattern(bgr.data(), 320, 240, 0);
    QImage pattern(bgr.data(), 320, 240, 320 * 3, QImage::Format_BGR888);
    const QImage expected = pattern.mirrored(false, true).scaled(area.size());
    const QImage got = shot.copy(area);
    int close = 0, total = 0;
    for (int y = area.height() / 2; y < area.height() - 6; y += 8)
        for (int x = 4; x < area.width() - 4; x += 5) {
            const QRgb a = got.pixel(x, y);
            bool match = false;
            for (int dx = -40; dx <= 40 && !match; ++dx) {
                const int ex = x + dx;
                if (ex < 0 || ex >= expected.width()) continue;
                const QRgb b = expected.pixel(ex, y);
                match = std::abs(qRed(a) - qRed(b)) < 48 && std::abs(qGreen(a) - qGreen(b)) < 48 &&
                        std::abs(qBlue(a) - qBlue(b)) < 48;
            }
            close += match;
            ++total;
        }
    return total ? close * 100 / total : 0;
}

}  // namespace roomtest
