#pragma once
// What a picture will cost before a single pixel of it is decoded: its format
// and natural size read from the file's own header (JPEG, PNG, GIF, BMP,
// WebP, TIFF, HEIF/HEIC/AVIF), the peak memory the decoders need for it, and
// whether that fits the one budget every decode of the program shares. A tiny
// file may claim a picture of billions of pixels (a decompression bomb); such
// a file is refused here. Plain C++, no Qt: safe on any thread.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace pictures {

// Random access to the bytes of a file. Fewer bytes than asked at its end.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::size_t readAt(std::uint64_t offset, std::uint8_t* into, std::size_t count) = 0;
};

class MemorySource final : public ByteSource {
public:
    MemorySource(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    std::size_t readAt(std::uint64_t offset, std::uint8_t* into, std::size_t count) override;

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
};

enum class Format { Unknown, Jpeg, Png, Gif, Bmp, WebP, Tiff, Heif };

// How a HEIF's coded planes sample colour, in order of the memory they take.
enum class Chroma : std::uint8_t { Unknown, Mono, C420, C422, C444 };

struct Header {
    Format format = Format::Unknown;
    // As stored, before any orientation turns it.
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    // Bytes per decoded pixel: 8 for 16-bit samples, else 4.
    std::uint32_t pixelBytes = 4;
    // Memory a decoder holds besides the picture itself: a multi-scan JPEG's
    // coefficients, a TIFF strip or tile, a GIF frame kept for its disposal.
    std::uint64_t workBytes = 0;
    // Whether the decoder can shrink while it decodes (JPEG's DCT scaling).
    bool scalesWhileDecoding = false;
    // Whether the file may hold more than one frame (GIF, animated WebP).
    bool mayHaveFrames = false;
    // HEIF: the richest chroma sampling and the most bits a sample among its
    // codec configurations (the colour planes, not an alpha plane, decide).
    Chroma chroma = Chroma::Unknown;
    std::uint8_t sampleBits = 8;

    bool valid() const { return format != Format::Unknown && width > 0 && height > 0; }
};

// The header of the picture in `source`; invalid (Unknown or empty) when the
// bytes are no picture of a known format or the header is malformed.
Header readHeader(ByteSource& source);

// Every decode stays within this much memory, the final picture included.
inline constexpr std::uint64_t kDecodeBudgetBytes = 256ull * 1024 * 1024;
// Animations decode one whole frame per step on the GUI thread: only small
// ones play; a larger one shows its first frame.
inline constexpr std::uint64_t kAnimationPixels = 4ull * 1024 * 1024;

// Peak bytes of decoding the picture and scaling it to `targetWidth` x
// `targetHeight` (0 x 0: natural size).
std::uint64_t decodeCost(const Header& header, std::uint32_t targetWidth, std::uint32_t targetHeight);
bool withinBudget(const Header& header, std::uint32_t targetWidth, std::uint32_t targetHeight);
// A HEIF as libheif's own RGB conversion decodes it, whole: its planes, then
// interleaved RGB besides the picture.
Header heifThroughRgb(Header header);
// Whether its frames may be played one after another.
bool mayAnimate(const Header& header);

// PNG text chunks (tEXt, zTXt, iTXt) are unpacked and kept whole by the
// decoder, however many there are: they are dropped before it sees them,
// except, when `thumbnailKeys` is set, a few small ones whose keyword starts
// with "Thumb::" (the stamps of a cached thumbnail). `keyword` is the start
// of the chunk's data (at most 80 bytes are looked at); `length` its size.
bool keepPngChunk(std::string_view type, std::string_view keyword, std::uint32_t length, bool thumbnailKeys);
inline constexpr std::uint32_t kMaxThumbnailKeyBytes = 4096;

}  // namespace pictures
