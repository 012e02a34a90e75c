#include "pattern_match.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "vexacam/TestPattern.h"

namespace roomtest {

namespace {

// The bar a colour belongs to (0..7 in the pattern's order), or -1 for none: the
// colours a scaled, encoded and decoded picture gives stay this close to their bar.
int BarOf(QRgb c) {
    static const QRgb kBars[8] = {qRgb(235, 235, 235), qRgb(235, 235, 16), qRgb(16, 235, 235),
                                  qRgb(16, 235, 16),   qRgb(235, 16, 235), qRgb(235, 16, 16),
                                  qRgb(16, 16, 235),   qRgb(16, 16, 16)};
    for (int i = 0; i < 8; ++i) {
        const QRgb b = kBars[i];
        if (std::abs(qRed(c) - qRed(b)) < 48 && std::abs(qGreen(c) - qGreen(b)) < 48 &&
            std::abs(qBlue(c) - qBlue(b)) < 48)
            return i;
    }
    return -1;
}

}  // namespace

int PatternMatch(const QImage& shot, const QRect& area) {
    if (shot.isNull() || area.width() < 16 || area.height() < 16) return 0;
    const int width = area.width();
    // Frame 0 scaled into the area; every later frame is that picture shifted round,
    // two pattern pixels a frame.
    std::vector<uint8_t> bgr(320 * 240 * 3);
    vexacam::DrawTestPattern(bgr.data(), 320, 240, 0);
    QImage pattern(bgr.data(), 320, 240, 320 * 3, QImage::Format_BGR888);
    const QImage expected = pattern.mirrored(false, true).scaled(area.size());
    std::vector<int> want(static_cast<size_t>(width));
    const int row = area.height() * 3 / 4;
    for (int x = 0; x < width; ++x) want[static_cast<size_t>(x)] = BarOf(expected.pixel(x, row));

    // Sampled points of the lower half, below the frame counter.
    const QImage got = shot.copy(area);
    struct Point {
        int x, bar;
    };
    std::vector<Point> points;
    for (int y = area.height() / 2; y < area.height() - 6; y += 8)
        for (int x = 4; x < width - 4; x += 5) points.push_back({x, BarOf(got.pixel(x, y))});
    if (points.empty()) return 0;

    // The best of every shift, so the score does not depend on the frame the pane shows;
    // a point may match a bar a few pixels away (scaling blurs the edges).
    constexpr int kSlack = 3;
    size_t best = 0;
    for (int shift = 0; shift < width; ++shift) {
        size_t close = 0;
        for (const Point& p : points) {
            if (p.bar < 0) continue;
            for (int dx = -kSlack; dx <= kSlack; ++dx) {
                const int ex = ((p.x + shift + dx) % width + width) % width;
                if (want[static_cast<size_t>(ex)] == p.bar) {
                    ++close;
                    break;
                }
            }
        }
        best = std::max(best, close);
    }
    return static_cast<int>(best * 100 / points.size());
}

}  // namespace roomtest
