// Whether text is drawn where it should be: how much of a reference rendering's ink a
// screenshot of the same place shows.
#pragma once

#include <QImage>

#include <cstdlib>

// Ink is a pixel of `ref` 20 grey levels or more off `background`; the screenshot shows
// it when its pixel there is within 48 in each channel (outside the screenshot it does
// not). The share of ink shown; 0 when the reference has fewer than `minInk` ink pixels.
inline double InkMatch(const QImage& shot, const QImage& ref, QRgb background, int minInk = 20) {
    int ink = 0, same = 0;
    for (int y = 0; y < ref.height(); ++y)
        for (int x = 0; x < ref.width(); ++x) {
            const QRgb r = ref.pixel(x, y);
            if (std::abs(qGray(r) - qGray(background)) < 20) continue;
            ++ink;
            if (x >= shot.width() || y >= shot.height()) continue;
            const QRgb s = shot.pixel(x, y);
            if (std::abs(qRed(r) - qRed(s)) < 48 && std::abs(qGreen(r) - qGreen(s)) < 48 &&
                std::abs(qBlue(r) - qBlue(s)) < 48)
                ++same;
        }
    return ink < minInk ? 0.0 : static_cast<double>(same) / ink;
}
