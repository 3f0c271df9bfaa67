#pragma once
// Window geometry is kept in twips, 1/1440 inch; one pixel is 1440 / DPI twips
// (15 at 96 DPI).

#include <cmath>

namespace twips {

inline double perPixel(double logicalDpi) { return logicalDpi > 0 ? 1440.0 / logicalDpi : 15.0; }

// Twips to whole pixels, rounded to the nearest pixel.
inline int toPixels(double value, double perPixel) { return static_cast<int>(std::lround(value / perPixel)); }

// Former names, kept only until the editor calls the names above.
inline double PerPixel(double logicalDpi) { return perPixel(logicalDpi); }

}  // namespace twips
