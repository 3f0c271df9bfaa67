#include "PctRegion.h"

#include <array>
#include <cstring>

namespace launcher {

bool ScanKeyRects(const PixelView& view, const KeyRectBatchSink& sink, ScanSize& size) {
    const int w = ScanWidthOf(view.width);
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

    const std::uint8_t* key = view.bgr;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = view.bgr + view.stride * y;
        bool keyMode = true;
        int start = 0;
        for (int x = 0; x < w; ++x) {
            const bool isKey = std::memcmp(row + std::ptrdiff_t{3} * x, key, 3) == 0;
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
