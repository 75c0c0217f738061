#pragma once

#include <cmath>

// Layout lengths are designed in twips (1/1440 inch); the screen counts
// pixels. At 96 dots per inch 15 twips make one pixel.
inline constexpr double kTwipsPerInch = 1440.0;

inline int TwipsToPixels(int twips, double dpi) {
    return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

inline int PixelsToTwips(int pixels, double dpi) {
    return static_cast<int>(std::lround(pixels * kTwipsPerInch / dpi));
}
