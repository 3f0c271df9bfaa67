#pragma once
// The screen's scale for one window: twips to pixels and back on each axis.

#include "EditorLayout.h"
#include "shared/Twips.h"

#include <QRect>

namespace editor {

struct TwipsScale {
    double x = 15, y = 15;  // twips per pixel

    int px(double twips) const { return twips::toPixels(twips, x); }
    int pxY(double twips) const { return twips::toPixels(twips, y); }
    double twX(int pixels) const { return twips::fromPixels(pixels, x); }
    double twY(int pixels) const { return twips::fromPixels(pixels, y); }
    // A negative size is refused, as the element would; the place still applies.
    QRect rect(const Rect& r) const { return {px(r.left), pxY(r.top), qMax(0, px(r.width)), qMax(0, pxY(r.height))}; }
};

}  // namespace editor
