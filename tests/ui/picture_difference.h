// How far apart two screen pictures are: shared by the real-display tests of the
// windows and the two-program test, which links no window code.
#pragma once

#include <QImage>

namespace picture {

// The share of pixels that differ (any channel by more than 32) between two pictures of
// the same size; 1 when the sizes differ.
double Difference(const QImage& a, const QImage& b);

}  // namespace picture
