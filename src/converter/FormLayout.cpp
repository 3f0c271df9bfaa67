#include "FormLayout.h"

#include "shared/Twips.h"

namespace converter {

PixelRect toPixels(const TwipsRect& r, double twipsPerPixelX, double twipsPerPixelY) {
    return PixelRect{twips::toPixels(r.left, twipsPerPixelX), twips::toPixels(r.top, twipsPerPixelY),
                     twips::toPixels(r.width, twipsPerPixelX), twips::toPixels(r.height, twipsPerPixelY)};
}

PixelRect widenedAboutCentre(const PixelRect& r, int width) {
    if (width <= r.width) return r;
    const int grow = width - r.width;
    return PixelRect{r.left - grow / 2, r.top, width, r.height};
}

}  // namespace converter
