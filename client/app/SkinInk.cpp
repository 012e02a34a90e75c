#include "app/SkinInk.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kBlack = 0xFF000000;
// Enough for small text to be read by most eyes.
constexpr double kReadable = 4.5;

double Channel(uint32_t argb, int shift) {
    const double c = static_cast<double>((argb >> shift) & 0xFF) / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(uint32_t argb) {
    return 0.2126 * Channel(argb, 16) + 0.7152 * Channel(argb, 8) + 0.0722 * Channel(argb, 0);
}

}  // namespace

double ContrastRatio(uint32_t a, uint32_t b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

uint32_t ReadableInk(uint32_t preferred, uint32_t ground) {
    if (preferred != 0 && ContrastRatio(preferred, ground) >= kReadable) return preferred;
    return ContrastRatio(kWhite, ground) >= ContrastRatio(kBlack, ground) ? kWhite : kBlack;
}
