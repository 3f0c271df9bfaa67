#pragma once
// A picture as its codec gives it (a luma plane, two chroma planes at full,
// half or quarter resolution, perhaps an alpha plane) turned into RGBA at
// any size in one pass over its rows: each target pixel is the area average
// of the source pixels it covers. Only the planes and the target are held,
// never a full-size RGB copy. Plain C++, no Qt.

#include <cstddef>
#include <cstdint>

namespace pictures {

struct Plane {
    const std::uint8_t* data = nullptr;  // null: absent
    std::ptrdiff_t stride = 0;           // bytes from one row to the next
    int width = 0;
    int height = 0;
    int bits = 8;  // significant bits a sample; above 8, each sample is a 16-bit word
};

struct YuvPicture {
    int width = 0;
    int height = 0;
    Plane luma, cb, cr;  // cb and cr absent: monochrome
    Plane alpha;         // absent: opaque
    // The matrix coefficients code of the colour description (0 identity,
    // 1 BT.709, 4 FCC, 5 and 6 BT.601, 7 SMPTE 240M, 9 BT.2020 non-constant
    // luminance; 2, unspecified, counts as BT.601) and its range.
    int matrix = 6;
    bool fullRange = true;
};

// Whether the matrix coefficients code is one the conversion knows.
bool knownYuvMatrix(int matrix);

// Writes the picture at `outWidth` x `outHeight` into `out` (4 bytes a pixel
// R, G, B, A, alpha premultiplied; 255 when opaque), rows `outStride` apart.
// False when the planes do not describe the picture or the matrix is unknown.
bool yuvToRgba(const YuvPicture& picture, int outWidth, int outHeight, std::uint8_t* out, std::ptrdiff_t outStride);

}  // namespace pictures
