#include "FormLayout.h"

#include "shared/Twips.h"

namespace converter {

PixelRect ToPixels(const TwipsRect& r, double twipsPerPixelX, double twipsPerPixelY) {
    return PixelRect{twips::ToPixels(r.left, twipsPerPixelX), twips::ToPixels(r.top, twipsPerPixelY),
                     twips::ToPixels(r.width, twipsPerPixelX), twips::ToPixels(r.height, twipsPerPixelY)};
}

PixelRect WidenedAboutCentre(const PixelRect& r, int width) {
    if (width <= r.width) return r;
    const int grow = width - r.width;
    return PixelRect{r.left - grow / 2, r.top, width, r.height};
}

}  // namespace converter
