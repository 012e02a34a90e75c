#include "picture_difference.h"

#include <cstdlib>

namespace picture {

double Difference(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.isNull()) return 1.0;
    long differ = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            differ += std::abs(qRed(p) - qRed(q)) > 32 || std::abs(qGreen(p) - qGreen(q)) > 32 ||
                      std::abs(qBlue(p) - qBlue(q)) > 32;
        }
    return static_cast<double>(differ) / (static_cast<double>(a.width()) * a.height());
}

}  // namespace picture
