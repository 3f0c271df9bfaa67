#include "Fit.h"

#include <cmath>

namespace player {
namespace {
int whole(double v) { return static_cast<int>(std::lround(v)); }
}  // namespace

Rect fitImage(int frameWidth, int frameHeight, int width, int height) {
    if (width <= 0 || height <= 0 || frameWidth <= 0 || frameHeight <= 0) {
        return {0, 0, frameWidth > 0 ? frameWidth : 0, frameHeight > 0 ? frameHeight : 0};
    }
    const double rh = static_cast<double>(frameHeight) / height;
    const double rw = static_cast<double>(frameWidth) / width;
    const double s = rh >= rw ? rw : rh;
    const int w = whole(s * width);
    const int h = whole(s * height);
    return {whole((frameWidth - s * width) / 2), whole((frameHeight - s * height) / 2), w, h};
}

Rect fitMovie(int frameWidth, int frameHeight, int width, int height) {
    if (width <= 0 || height <= 0 || frameWidth <= 0 || frameHeight <= 0) {
        return {0, 0, frameWidth > 0 ? frameWidth : 0, frameHeight > 0 ? frameHeight : 0};
    }
    const double rh = static_cast<double>(frameHeight) / height;
    const double rw = static_cast<double>(frameWidth) / width;
    const double r = rh >= rw ? rw : rh;
    // Size first, then the place from the rounded size, as the element is moved.
    const int h = whole(height * r);
    const int w = whole(width * r);
    return {whole((frameWidth - w) / 2.0), whole((frameHeight - h) / 2.0), w, h};
}

Rect playerWindow(const Rect& screen, int fixedWidth, int fixedHeight) {
    if (fixedWidth <= 0 || fixedHeight <= 0) return screen;
    const int w = fixedWidth < screen.width ? fixedWidth : screen.width;
    const int h = fixedHeight < screen.height ? fixedHeight : screen.height;
    return {screen.left + (screen.width - w) / 2, screen.top + (screen.height - h) / 2, w, h};
}

}  // namespace player
