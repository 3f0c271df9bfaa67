#include "PctRegion.h"

#include <array>

namespace launcher {

bool scanKeyRects(const PixelView& view, const KeyRectBatchSink& sink, ScanSize& size) {
    const int w = scanWidthOf(view.width);
    const int h = view.height;
    if (!view.bgr || view.width <= 0 || h <= 0 || view.stride < std::ptrdiff_t{3} * view.width) return false;
    size = {w, h};

    std::array<KeyRect, kRectsPerBatch> batch;
    std::size_t n = 0;
    const auto append = [&](int x0, int x1, int y) {
        batch[n++] = {x0, x1, y};
        if (n == batch.size()) {
            sink(std::span<const KeyRect>(batch.data(), n));
            n = 0;
        }
    };

    const std::uint8_t k0 = view.bgr[0];
    const std::uint8_t k1 = view.bgr[1];
    const std::uint8_t k2 = view.bgr[2];
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = view.bgr + view.stride * y;
        bool keyMode = true;
        int start = 0;
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = row + std::ptrdiff_t{3} * x;
            const bool isKey = p[0] == k0 && p[1] == k1 && p[2] == k2;
            if (keyMode && !isKey) {
                append(start, x, y);
                keyMode = false;
            } else if (!keyMode && isKey) {
                start = x;
                keyMode = true;
            }
        }
        if (keyMode) append(start, w, y);
    }
    sink(std::span<const KeyRect>(batch.data(), n));
    return true;
}

}  // namespace launcher
