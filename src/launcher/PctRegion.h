#pragma once
// The launcher's outline: which pixels of its picture are cut out. Pure and
// display-free, so it runs on any pixel buffer; the window turns the
// rectangles into a QRegion.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

namespace launcher {

// 24-bit pixels, bytes blue, green, red; rows top first, `stride` bytes apart.
struct PixelView {
    const std::uint8_t* bgr = nullptr;
    int width = 0;   // the picture's own width; the scan uses it rounded down to 4
    int height = 0;
    std::ptrdiff_t stride = 0;
};

// Pixels x0 .. x1-1 of row y; x0 == x1 covers nothing.
struct KeyRect {
    int x0 = 0;
    int x1 = 0;
    int y = 0;
};

inline constexpr int kRectsPerBatch = 256;  // 1024 polygon points

// Receives each full batch during the scan and the rest at its end (possibly
// empty). The window region starts as (0,0)-(W,H) and each batch is combined
// into it by exclusive-or.
using KeyRectBatchSink = std::function<void(std::span<const KeyRect>)>;

struct ScanSize {
    int width = 0;   // W: picture width rounded down to a multiple of 4
    int height = 0;  // H
};

// The picture width the scan covers: 433 -> 432, 7 -> 4.
inline int scanWidthOf(int pictureWidth) { return pictureWidth > 0 ? pictureWidth & ~3 : 0; }

// Scans the rows for runs of the key colour (the colour of pixel (0,0)) and
// hands them to `sink` in batches of kRectsPerBatch. Returns the scanned
// size, or false (nothing handed over) when the view holds no pixels or its
// stride is too short for its width.
bool scanKeyRects(const PixelView& view, const KeyRectBatchSink& sink, ScanSize& size);

}  // namespace launcher
