#pragma once
// Window geometry is kept in twips, 1/1440 inch; one pixel is 1440 / DPI twips
// (15 at 96 DPI).

#include <cmath>

namespace twips {

inline double perPixel(double logicalDpi) { return logicalDpi > 0 ? 1440.0 / logicalDpi : 15.0; }

// Twips to whole pixels, rounded to the nearest pixel.
inline int toPixels(double value, double perPixel) { return static_cast<int>(std::lround(value / perPixel)); }

// Pixels to twips.
inline double fromPixels(int pixels, double perPixel) { return pixels * perPixel; }


}  // namespace twips
