#include "Fit.h"

#include <cmath>

namespace player {
namespace {
int Whole(double v) { return static_cast<int>(std::lround(v)); }
}  // namespace

Rect FitImage(int frameWidth, int frameHeight, int width, int height) {
    if (width <= 0 || height <= 0 || frameWidth <= 0 || frameHeight <= 0) {
        return {0, 0, frameWidth > 0 ? frameWidth : 0, frameHeight > 0 ? frameHeight : 0};
    }
    const double rh = static_cast<double>(frameHeight) / height;
    const double rw = static_cast<double>(frameWidth) / width;
    const double s = rh >= rw ? rw : rh;
    const int w = Whole(s * width);
    const int h = Whole(s * height);
    return {Whole((frameWidth - s * width) / 2), Whole((frameHeight - s * height) / 2), w, h};
}

Rect FitMovie(int frameWidth, int frameHeight, int width, int height) {
    if (width <= 0 || height <= 0 || frameWidth <= 0 || frameHeight <= 0) {
        return {0, 0, frameWidth > 0 ? frameWidth : 0, frameHeight > 0 ? frameHeight : 0};
    }
    const double rh = static_cast<double>(frameHeight) / height;
    const double rw = static_cast<double>(frameWidth) / width;
    const double r = rh >= rw ? rw : rh;
    // Size first, then the place from the rounded size, as the element is moved.
    const int h = Whole(height * r);
    const int w = Whole(width * r);
    return {Whole((frameWidth - w) / 2.0), Whole((frameHeight - h) / 2.0), w, h};
}

Rect PlayerWindow(const Rect& screen, int fixedWidth, int fixedHeight) {
    if (fixedWidth <= 0 || fixedHeight <= 0) return screen;
    const int w = fixedWidth < screen.width ? fixedWidth : screen.width;
    const int h = fixedHeight < screen.height ? fixedHeight : screen.height;
    return {screen.left + (screen.width - w) / 2, screen.top + (screen.height - h) / 2, w, h};
}

}  // namespace player
