#pragma once
// Places of frmMain's elements, kept in twips as the form was drawn, and their
// conversion to pixels of the screen the window is shown on.

namespace converter {

struct TwipsRect {
    int left, top, width, height;
};

struct PixelRect {
    int left, top, width, height;
};

struct FormLayout {
    TwipsRect client{0, 0, 5055, 2145};
    TwipsRect lblInfo{240, 240, 4575, 615};
    TwipsRect shpBase{240, 960, 4575, 255};
    TwipsRect shpBar{240, 960, 15, 255};
    TwipsRect lblPar{2340, 990, 360, 180};
    TwipsRect cmdConvert{240, 1440, 1215, 495};
    TwipsRect cmdClose{3600, 1440, 1215, 495};
};

// Each side in whole pixels, rounded to the nearest (twips::perPixel gives the scale).
PixelRect toPixels(const TwipsRect& r, double twipsPerPixelX, double twipsPerPixelY);

// `r` widened about its centre to at least `width` pixels, so a text wider
// than the place drawn for it is not clipped.
PixelRect widenedAboutCentre(const PixelRect& r, int width);

}  // namespace converter
