// Conversion between twips (1/1440 inch), the unit of every designed measure, and the device
// pixels of a window at its DPI. Pure, so the rounding rules are tested natively.
#pragma once

#include <cmath>

namespace volane {

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kDefaultDpi = 96;

// Nearest whole pixel; halves round away from zero so that +x and -x stay symmetric.
inline int TwipsToPixels(double twips, int dpi) {
    return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

// A length of pixels at 96 DPI scaled for another DPI: the nearest whole pixel, halves up.
inline int ScaledPixels(int pixels, int dpi) {
    return static_cast<int>(std::lround(static_cast<double>(pixels) * dpi / kDefaultDpi));
}

// Exact: the twips value of a whole number of pixels (15 per pixel at 96 DPI).
constexpr double PixelsToTwips(int pixels, int dpi) {
    return static_cast<double>(pixels) * kTwipsPerInch / dpi;
}

}  // namespace volane
