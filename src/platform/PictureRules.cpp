#include "PictureRules.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace pictures {

std::size_t MemorySource::readAt(std::uint64_t offset, std::uint8_t* into, std::size_t count) {
    if (offset >= m_size) return 0;
    const std::size_t n = std::min<std::uint64_t>(count, m_size - offset);
    std::memcpy(into, m_data + offset, n);
    return n;
}

namespace {

using namespace std::string_view_literals;

// Walks of markers, blocks and boxes stop after this many steps: a file of
// endless empty segments must not keep a worker busy.
constexpr int kMaxSteps = 1 << 16;

using u64 = std::uint64_t;
using u32 = std::uint32_t;

struct Reader {
    ByteSource& src;
    bool ok = true;

    u32 be(u64 at, int n) { return static_cast<u32>(num(at, n, true)); }
    u64 num(u64 at, int n, bool bigEndian) {
        std::array<std::uint8_t, 8> v{};
        if (src.readAt(at, v.data(), static_cast<std::size_t>(n)) != static_cast<std::size_t>(n)) {
            ok = false;
            return 0;
        }
        u64 r = 0;
        for (int i = 0; i < n; ++i) {
            const std::size_t k = static_cast<std::size_t>(bigEndian ? i : n - 1 - i);
            r = (r << 8) | v[k];
        }
        return r;
    }
    std::uint8_t byte(u64 at) { return static_cast<std::uint8_t>(num(at, 1, true)); }
};

bool startsWith(const std::uint8_t* head, std::size_t size, std::string_view magic, std::size_t at = 0) {
    return size >= at + magic.size() && std::memcmp(head + at, magic.data(), magic.size()) == 0;
}

u64 ceilDiv(u64 a, u64 b) { return b == 0 ? 0 : (a + b - 1) / b; }

// ---- JPEG: the frame header gives the size; a progressive frame, or a first
// scan that does not hold every component, makes libjpeg keep the
// coefficients of the whole picture.
Header readJpeg(Reader& r) {
    Header h;
    u64 at = 2;
    bool haveFrame = false;
    bool multiScan = false;
    unsigned components = 0;
    std::array<unsigned, 4> hs{}, vs{};
    for (int step = 0; step < kMaxSteps && r.ok; ++step) {
        if (r.byte(at) != 0xFF) return {};
        std::uint8_t marker = 0xFF;
        while (marker == 0xFF && r.ok) marker = r.byte(++at);
        ++at;
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;
        if (marker == 0xD9) break;
        const u32 length = r.be(at, 2);
        if (length < 2) return {};
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame && !haveFrame) {
            h.height = r.be(at + 3, 2);
            h.width = r.be(at + 5, 2);
            components = r.byte(at + 7);
            if (components == 0 || components > 4 || length < 8 + 3 * components) return {};
            for (unsigned c = 0; c < components; ++c) {
                const std::uint8_t sampling = r.byte(at + 8 + 3 * c + 1);
                hs[c] = std::max(1u, unsigned(sampling >> 4));
                vs[c] = std::max(1u, unsigned(sampling & 15));
            }
            multiScan = marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
            haveFrame = true;
        } else if (marker == 0xDA) {
            if (!haveFrame) return {};
            if (r.byte(at + 2) < components) multiScan = true;
            break;
        }
        at += length;
    }
    if (!r.ok || !haveFrame) return {};
    h.format = Format::Jpeg;
    h.scalesWhileDecoding = true;
    if (multiScan) {
        const unsigned hmax = *std::max_element(hs.begin(), hs.begin() + components);
        const unsigned vmax = *std::max_element(vs.begin(), vs.begin() + components);
        for (unsigned c = 0; c < components; ++c) {
            // Blocks of 8 x 8 coefficients of 2 bytes, padded to whole MCUs.
            const u64 wide = ceilDiv(ceilDiv(u64(h.width) * hs[c], 8ull * hmax), hs[c]) * hs[c];
            const u64 high = ceilDiv(ceilDiv(u64(h.height) * vs[c], 8ull * vmax), vs[c]) * vs[c];
            h.workBytes += wide * high * 128;
        }
    }
    return h;
}

// ---- PNG: the first chunk is the header.
Header readPng(Reader& r) {
    if (r.be(8, 4) != 13 || r.be(12, 4) != 0x49484452u /* IHDR */) return {};
    Header h;
    h.width = r.be(16, 4);
    h.height = r.be(20, 4);
    const std::uint8_t depth = r.byte(24);
    if (!r.ok || h.width > 0x7FFFFFFFu || h.height > 0x7FFFFFFFu) return {};
    h.format = Format::Png;
    h.pixelBytes = depth == 16 ? 8 : 4;
    return h;
}

// ---- GIF: the decoder paints every frame onto a canvas of the logical
// screen (the first frame's extent when the screen claims none) and keeps a
// copy of a frame to restore it.
Header readGif(Reader& r) {
    u32 screenW = r.num(6, 2, false);
    u32 screenH = r.num(8, 2, false);
    const std::uint8_t flags = r.byte(10);
    u64 at = 13;
    if (flags & 0x80) at += 3ull << ((flags & 7) + 1);
    for (int step = 0; step < kMaxSteps && r.ok; ++step) {
        const std::uint8_t block = r.byte(at);
        if (block == 0x21) {  // extension: label, then sub-blocks up to an empty one
            at += 2;
            for (std::uint8_t n = r.byte(at); n != 0 && r.ok; n = r.byte(at)) {
                at += 1ull + n;
                if (++step >= kMaxSteps) return {};
            }
            ++at;
        } else if (block == 0x2C) {
            const u32 left = r.num(at + 1, 2, false);
            const u32 top = r.num(at + 3, 2, false);
            const u32 w = r.num(at + 5, 2, false);
            const u32 hh = r.num(at + 7, 2, false);
            if (!r.ok || w == 0 || hh == 0) return {};
            if (screenW == 0) screenW = left + w;
            if (screenH == 0) screenH = top + hh;
            Header h;
            h.format = Format::Gif;
            h.width = screenW;
            h.height = screenH;
            h.workBytes = u64(w) * hh * 4;
            h.mayHaveFrames = true;
            return h;
        } else {
            return {};
        }
    }
    return {};
}

// ---- BMP: the size in its info header (16-bit in the old core header;
// a negative height is a top-down picture).
Header readBmp(Reader& r) {
    const u32 infoSize = r.num(14, 4, false);
    Header h;
    if (infoSize == 12) {
        h.width = r.num(18, 2, false);
        h.height = r.num(20, 2, false);
    } else if (infoSize >= 40) {
        const auto w = static_cast<std::int32_t>(r.num(18, 4, false));
        const auto hh = static_cast<std::int32_t>(r.num(22, 4, false));
        if (w <= 0 || hh == 0 || hh == INT32_MIN) return {};
        h.width = u32(w);
        h.height = u32(hh < 0 ? -hh : hh);
    } else {
        return {};
    }
    if (!r.ok) return {};
    h.format = Format::Bmp;
    return h;
}

// ---- WebP: the lossy, lossless or extended chunk right after the RIFF header.
Header readWebP(Reader& r) {
    Header h;
    const u32 chunk = r.be(12, 4);
    if (chunk == 0x56503820u) {  // "VP8 "
        if (r.be(23, 3) != 0x9D012Au) return {};
        h.width = r.num(26, 2, false) & 0x3FFF;
        h.height = r.num(28, 2, false) & 0x3FFF;
    } else if (chunk == 0x5650384Cu) {  // "VP8L"
        if (r.byte(20) != 0x2F) return {};
        const u64 bits = r.num(21, 4, false);
        h.width = u32(bits & 0x3FFF) + 1;
        h.height = u32((bits >> 14) & 0x3FFF) + 1;
    } else if (chunk == 0x56503858u) {  // "VP8X"
        h.mayHaveFrames = (r.byte(20) & 0x02) != 0;
        h.width = u32(r.num(24, 3, false)) + 1;
        h.height = u32(r.num(27, 3, false)) + 1;
    } else {
        return {};
    }
    if (!r.ok) return {};
    h.format = Format::WebP;
    // The decoder's own full-size buffer besides the picture.
    h.workBytes = u64(h.width) * h.height * 4;
    return h;
}

// ---- TIFF (classic and BigTIFF): the first directory; libtiff reads a
// whole strip or tile at a time (a picture without RowsPerStrip is one strip).
Header readTiff(Reader& r) {
    const bool big = r.byte(0) == 'M';
    const u32 version = u32(r.num(2, 2, big));
    const bool bigTiff = version == 43;
    if (version != 42 && !bigTiff) return {};
    const int countBytes = bigTiff ? 8 : 2;
    const int entryBytes = bigTiff ? 20 : 12;
    const int valueBytes = bigTiff ? 8 : 4;
    const u64 ifd = bigTiff ? r.num(8, 8, big) : r.num(4, 4, big);
    const u64 entries = r.num(ifd, countBytes, big);
    if (!r.ok || entries > 4096) return {};
    u64 width = 0, height = 0, bits = 1, samples = 1, rowsPerStrip = ~0ull, tileW = 0, tileH = 0;
    for (u64 i = 0; i < entries && r.ok; ++i) {
        const u64 e = ifd + u64(countBytes) + i * u64(entryBytes);
        const u32 tag = u32(r.num(e, 2, big));
        const u32 type = u32(r.num(e + 2, 2, big));
        const u64 count = r.num(e + 4, valueBytes, big);
        const int size = type == 3 ? 2 : type == 4 ? 4 : type == 16 ? 8 : type == 1 ? 1 : 0;
        if (size == 0 || count == 0) continue;
        // The first value: in the entry when all values fit there, else at its offset.
        const u64 valueAt = e + 4 + u64(valueBytes);
        const u64 first = count * u64(size) <= u64(valueBytes) ? r.num(valueAt, size, big)
                                                               : r.num(r.num(valueAt, valueBytes, big), size, big);
        switch (tag) {
        case 256: width = first; break;
        case 257: height = first; break;
        case 258: bits = first; break;
        case 277: samples = first; break;
        case 278: rowsPerStrip = first; break;
        case 322: tileW = first; break;
        case 323: tileH = first; break;
        default: break;
        }
    }
    if (!r.ok || width == 0 || height == 0 || width > 0xFFFFFFFFull || height > 0xFFFFFFFFull) return {};
    Header h;
    h.format = Format::Tiff;
    h.width = u32(width);
    h.height = u32(height);
    h.pixelBytes = bits > 8 ? 8 : 4;
    bits = std::min<u64>(std::max<u64>(bits, 1), 64);
    samples = std::min<u64>(std::max<u64>(samples, 1), 16);
    const u64 rowBytes = ceilDiv(width * bits * samples, 8);
    if (tileW > 0 && tileH > 0) {
        h.workBytes = std::min<u64>(tileW, 1ull << 32) * std::min<u64>(tileH, 1ull << 32) * ceilDiv(bits * samples, 8);
    } else {
        h.workBytes = rowBytes * std::min<u64>(rowsPerStrip, height);
    }
    return h;
}

// ---- HEIF, HEIC and AVIF: the size the primary item's properties give
// (for a grid, the whole picture's).
bool findBox(Reader& r, u64 begin, u64 end, u32 type, u64* inner, u64* innerEnd) {
    u64 at = begin;
    for (int step = 0; step < kMaxSteps && at + 8 <= end && r.ok; ++step) {
        u64 size = r.be(at, 4);
        u64 headerSize = 8;
        if (size == 1) {
            size = r.num(at + 8, 8, true);
            headerSize = 16;
        } else if (size == 0) {
            size = end - at;
        }
        if (size < headerSize || size > end - at) return false;
        if (r.be(at + 4, 4) == type) {
            *inner = at + headerSize;
            *innerEnd = at + size;
            return r.ok;
        }
        at += size;
    }
    return false;
}

constexpr u32 fourcc(const char (&s)[5]) {
    return (u32(std::uint8_t(s[0])) << 24) | (u32(std::uint8_t(s[1])) << 16) | (u32(std::uint8_t(s[2])) << 8) |
           u32(std::uint8_t(s[3]));
}

// The chroma sampling and sample bits of the HEVC (hvcC) and AV1 (av1C)
// configurations among the properties `begin` .. `end`.
void readHeifCoding(Reader& r, u64 begin, u64 end, Header* h) {
    u64 at = begin;
    for (int step = 0; step < kMaxSteps && at + 8 <= end && r.ok; ++step) {
        const u64 size = r.be(at, 4);
        if (size < 8 || size > end - at) return;
        Chroma chroma = Chroma::Unknown;
        unsigned bits = 8;
        if (r.be(at + 4, 4) == fourcc("hvcC") && size >= 8 + 23) {
            static constexpr Chroma kByIdc[] = {Chroma::Mono, Chroma::C420, Chroma::C422, Chroma::C444};
            chroma = kByIdc[r.byte(at + 8 + 16) & 3];
            bits = 8 + (r.byte(at + 8 + 17) & 7);
        } else if (r.be(at + 4, 4) == fourcc("av1C") && size >= 8 + 4) {
            const std::uint8_t b = r.byte(at + 8 + 2);
            bits = (b & 0x40) ? ((b & 0x20) ? 12 : 10) : 8;
            chroma = (b & 0x10)                ? Chroma::Mono
                     : (b & 0x08) && (b & 0x04) ? Chroma::C420
                     : (b & 0x08)               ? Chroma::C422
                                                : Chroma::C444;
        }
        if (r.ok && chroma != Chroma::Unknown) {
            h->chroma = std::max(h->chroma, chroma);
            h->sampleBits = std::uint8_t(std::max<unsigned>(h->sampleBits, bits));
        }
        at += size;
    }
}

Header readHeif(Reader& r) {
    const u64 end = ~0ull >> 1;
    u64 meta = 0, metaEnd = 0;
    if (!findBox(r, 0, end, fourcc("meta"), &meta, &metaEnd)) return {};
    meta += 4;  // version and flags
    u64 pitm = 0, pitmEnd = 0, iprp = 0, iprpEnd = 0, ipco = 0, ipcoEnd = 0, ipma = 0, ipmaEnd = 0;
    if (!findBox(r, meta, metaEnd, fourcc("pitm"), &pitm, &pitmEnd)) return {};
    const u32 primary = r.byte(pitm) == 0 ? r.be(pitm + 4, 2) : r.be(pitm + 4, 4);
    if (!findBox(r, meta, metaEnd, fourcc("iprp"), &iprp, &iprpEnd)) return {};
    if (!findBox(r, iprp, iprpEnd, fourcc("ipco"), &ipco, &ipcoEnd)) return {};
    if (!findBox(r, iprp, iprpEnd, fourcc("ipma"), &ipma, &ipmaEnd)) return {};
    const std::uint8_t version = r.byte(ipma);
    const bool wideIndex = (r.be(ipma, 4) & 1) != 0;
    const u32 entries = r.be(ipma + 4, 4);
    u64 at = ipma + 8;
    for (u32 i = 0; i < entries && i < u32(kMaxSteps) && at < ipmaEnd && r.ok; ++i) {
        const int idBytes = version < 1 ? 2 : 4;
        const u32 item = r.be(at, idBytes);
        const std::uint8_t count = r.byte(at + u64(idBytes));
        at += u64(idBytes) + 1;
        for (unsigned k = 0; k < count && r.ok; ++k) {
            const u32 index = (wideIndex ? r.be(at, 2) & 0x7FFF : r.byte(at) & 0x7F);
            at += wideIndex ? 2 : 1;
            if (item != primary || index == 0) continue;
            // The index-th property (counted from 1) of the container.
            u64 prop = ipco;
            for (u32 n = 1; n < index && n < 1024 && r.ok && prop + 8 <= ipcoEnd; ++n) {
                const u64 size = r.be(prop, 4);
                if (size < 8) return {};
                prop += size;
            }
            if (prop + 20 > ipcoEnd || r.be(prop + 4, 4) != fourcc("ispe")) continue;
            Header h;
            h.format = Format::Heif;
            h.width = r.be(prop + 12, 4);
            h.height = r.be(prop + 16, 4);
            if (!r.ok) return {};
            readHeifCoding(r, ipco, ipcoEnd, &h);
            if (h.chroma == Chroma::Unknown) return heifThroughRgb(h);
            // The coded planes about three times over (the codec's own frame
            // and its working data, libheif's copy of the frame), as measured;
            // they are turned into the target's size row by row.
            const u64 quarters = h.chroma == Chroma::Mono   ? 4
                                 : h.chroma == Chroma::C420 ? 6
                                 : h.chroma == Chroma::C422 ? 8
                                                            : 12;
            h.workBytes = 3 * ceilDiv(u64(h.width) * h.height * quarters * (h.sampleBits > 8 ? 2 : 1), 4);
            h.scalesWhileDecoding = true;
            return h;
        }
    }
    return {};
}

bool isHeifBrand(u32 brand) {
    for (const u32 known : {fourcc("heic"), fourcc("heix"), fourcc("heim"), fourcc("heis"), fourcc("hevc"),
                            fourcc("hevx"), fourcc("mif1"), fourcc("msf1"), fourcc("avif"), fourcc("avis")})
        if (brand == known) return true;
    return false;
}

}  // namespace

Header readHeader(ByteSource& source) {
    std::array<std::uint8_t, 32> head{};
    const std::size_t n = source.readAt(0, head.data(), head.size());
    const std::uint8_t* d = head.data();
    Reader r{source};
    Header h;
    if (n >= 3 && d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF) {
        h = readJpeg(r);
    } else if (startsWith(d, n, "\x89PNG\r\n\x1a\n")) {
        h = readPng(r);
    } else if (startsWith(d, n, "GIF87a") || startsWith(d, n, "GIF89a")) {
        h = readGif(r);
    } else if (startsWith(d, n, "BM")) {
        h = readBmp(r);
    } else if (startsWith(d, n, "RIFF") && startsWith(d, n, "WEBP", 8)) {
        h = readWebP(r);
    } else if (startsWith(d, n, "II*\0"sv) || startsWith(d, n, "MM\0*"sv) || startsWith(d, n, "II+\0"sv) ||
               startsWith(d, n, "MM\0+"sv)) {
        h = readTiff(r);
    } else if (startsWith(d, n, "ftyp", 4)) {
        bool heif = isHeifBrand(r.be(8, 4));
        const u64 ftypSize = r.be(0, 4);
        for (u64 at = 16; !heif && at + 4 <= std::min<u64>(ftypSize, 1024); at += 4) heif = isHeifBrand(r.be(at, 4));
        if (heif) h = readHeif(r);
    }
    return h.valid() ? h : Header{};
}

std::uint64_t decodeCost(const Header& header, std::uint32_t targetWidth, std::uint32_t targetHeight) {
    if (!header.valid()) return ~0ull;
    const u64 w = header.width, h = header.height;
    const u64 target = u64(targetWidth) * targetHeight * 4;
    u64 decoded = w * h * header.pixelBytes;
    if (header.scalesWhileDecoding && header.format == Format::Heif) {
        // Turned from its planes straight into the target, when the target
        // is no larger than the picture either way up; else made whole first.
        const u64 tw = targetWidth, th = targetHeight;
        if (tw > 0 && th > 0 && ((tw <= w && th <= h) || (tw <= h && th <= w))) decoded = 0;
    } else if (header.scalesWhileDecoding && targetWidth > 0 && targetHeight > 0) {
        // libjpeg decodes at M/8 of the size, M the smallest that still
        // covers the target (as the reader picks it), then the rest is scaled.
        const double f = std::min(double(w) / targetWidth, double(h) / targetHeight);
        const u64 m = std::clamp<u64>(u64(std::ceil(8.0 / f)), 1, 8);
        decoded = ceilDiv(w * m, 8) * ceilDiv(h * m, 8) * header.pixelBytes;
    }
    return decoded + header.workBytes + target;
}

bool withinBudget(const Header& header, std::uint32_t targetWidth, std::uint32_t targetHeight) {
    return header.valid() && decodeCost(header, targetWidth, targetHeight) <= kDecodeBudgetBytes;
}

Header heifThroughRgb(Header header) {
    header.chroma = Chroma::Unknown;
    header.scalesWhileDecoding = false;
    header.workBytes = u64(header.width) * header.height * 6;
    return header;
}

bool mayAnimate(const Header& header) {
    return header.valid() && header.mayHaveFrames && u64(header.width) * header.height <= kAnimationPixels;
}

bool keepPngChunk(std::string_view type, std::string_view keyword, std::uint32_t length, bool thumbnailKeys) {
    if (type != "tEXt" && type != "zTXt" && type != "iTXt") return true;
    return thumbnailKeys && length <= kMaxThumbnailKeyBytes && keyword.substr(0, 7) == "Thumb::";
}

}  // namespace pictures
