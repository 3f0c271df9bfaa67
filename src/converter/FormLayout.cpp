#include "FormLayout.h"

#include <cmath>

namespace converter {

double TwipsPerPixel(double dpi) {
    // A screen that reports no sensible density is taken as the usual 96 dpi.
    if (!(dpi >= 24.0 && dpi <= 1440.0)) dpi = 96.0;
    return 1440.0 / dpi;
}

int ToPixels(int twips, double twipsPerPixel) {
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

PixelRect ToPixels(const TwipsRect& r, double twipsPerPixelX, double twipsPerPixelY) {
    return PixelRect{ToPixels(r.left, twipsPerPixelX), ToPixels(r.top, twipsPerPixelY),
                     ToPixels(r.width, twipsPerPixelX), ToPixels(r.height, twipsPerPixelY)};
}

PixelRect WidenedAboutCentre(const PixelRect& r, int width) {
    if (width <= r.width) return r;
    const int grow = width - r.width;
    return PixelRect{r.left - grow / 2, r.top, width, r.height};
}

}  // namespace converter
