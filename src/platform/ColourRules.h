#pragma once
// The colour description a picture carries: an ICC profile embedded in the
// file (JPEG, PNG, WebP), found without decoding a pixel, and the meaning of
// a HEIF/AVIF "nclx" description (the code points of ITU-T H.273) as
// primaries and a transfer curve. Plain C++, no Qt: safe on any thread.

#include "PictureRules.h"

#include <cstddef>
#include <string>

namespace colours {

// CIE xy chromaticities of a white point and three primaries.
struct Chromaticities {
    double whiteX, whiteY, redX, redY, greenX, greenY, blueX, blueY;
};

enum class Transfer { Unsupported, SRgb, Linear, Gamma };

struct NclxSpace {
    // Whether the picture can be converted from it at all; when not (an HDR
    // curve, an unknown code) it is shown as it is.
    bool usable = false;
    // Already sRGB (or unspecified, which is taken as sRGB): nothing to do.
    bool isSRgb = false;
    Chromaticities primaries{};
    Transfer transfer = Transfer::Unsupported;
    double gamma = 0;  // for Transfer::Gamma
};

NclxSpace nclxSpace(int primariesCode, int transferCode);

// The ICC profile a JPEG (APP2 "ICC_PROFILE" chunks, in sequence), a PNG
// (iCCP, still deflated) or a WebP (ICCP) carries before its pixels. Empty
// when there is none, it is malformed, or larger than kMaxProfileBytes.
struct EmbeddedProfile {
    std::string bytes;
    bool deflated = false;  // PNG: zlib data to be inflated
};
inline constexpr std::size_t kMaxProfileBytes = 4u * 1024 * 1024;
EmbeddedProfile embeddedProfile(pictures::ByteSource& source, pictures::Format format);

}  // namespace colours
