#include "platform/PictureRules.h"
#include "platform/YuvScale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace pictures;

namespace {

std::string be16(unsigned v) { return {char(v >> 8), char(v & 255)}; }
std::string be32(std::uint32_t v) { return be16(v >> 16) + be16(v & 0xFFFF); }
std::string le16(unsigned v) { return {char(v & 255), char(v >> 8)}; }
std::string le32(std::uint32_t v) { return le16(v & 0xFFFF) + le16(v >> 16); }

Header headerOf(const std::string& bytes) {
    MemorySource source(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return readHeader(source);
}

// SOI, a comment, the frame (3 components, the first sampled 2 x 2) and a scan
// of `scanComponents`.
std::string jpeg(unsigned marker, unsigned w, unsigned h, int scanComponents = 3) {
    std::string s = "\xFF\xD8\xFF\xFE" + be16(6) + "hey!";
    s += "\xFF" + std::string(1, char(marker)) + be16(17) + "\x08" + be16(h) + be16(w) + "\x03";
    s += std::string("\x01\x22\x00\x02\x11\x01\x03\x11\x01", 9);
    s += "\xFF\xDA" + be16(6 + 2 * scanComponents) + std::string(1, char(scanComponents));
    s += std::string(size_t(2 * scanComponents + 3), '\0');
    return s;
}

std::string box(const std::string& type, const std::string& body) { return be32(8 + body.size()) + type + body; }

// A HEIF whose primary item 7 has an ispe of w x h (the third property),
// its HEVC configuration saying `chromaIdc` and `bits` when given.
std::string heif(std::uint32_t w, std::uint32_t h, int chromaIdc = -1, int bits = 8) {
    const std::string ispe = box("ispe", be32(0) + be32(w) + be32(h));
    std::string hvcC;
    if (chromaIdc >= 0)
        hvcC = std::string(16, '\1') + char(0xFC | chromaIdc) + char(0xF8 | (bits - 8)) + std::string(5, '\0');
    const std::string ipco = box("ipco", box("hvcC", hvcC) + box("colr", "nclx") + ispe);
    const std::string ipma = box("ipma", be32(0) + be32(2) + be16(1) + "\x01\x01" + be16(7) + "\x02\x81\x03");
    const std::string meta = box("meta", be32(0) + box("hdlr", "pict") + box("pitm", be32(0) + be16(7)) +
                                             box("iprp", ipco + ipma));
    return box("ftyp", "mif1" + be32(0) + "mif1heic") + meta + box("mdat", "xxxx");
}

}  // namespace

TEST(PictureRules, SizesAndCostsFromTheHeaders) {
    const std::string png = "\x89PNG\r\n\x1a\n" + be32(13) + "IHDR" + be32(50000) + be32(40) + "\x08\x02";
    std::string gif = "GIF89a" + le16(8000) + le16(8000) + std::string("\x80\0\0", 3) + std::string(6, '\0');
    gif += "\x21\xFE\x03" "abc" + std::string(1, '\0') + "\x2C" + le16(0) + le16(0) + le16(10) + le16(10);
    const std::string bmp = "BM" + std::string(12, '\0') + le32(40) + le32(300) + le32(uint32_t(-200));
    const std::string webp = "RIFF" + le32(30) + "WEBPVP8X" + le32(10) + "\x02" + std::string(3, '\0') +
                             std::string("\x3F\0\0\xCF\x07\0", 6);
    std::string tiff = "II*" + std::string(1, '\0') + le32(8) + le16(3);
    tiff += le16(256) + le16(4) + le32(1) + le32(8000);
    tiff += le16(257) + le16(3) + le32(1) + le16(8000) + le16(0);
    tiff += le16(277) + le16(3) + le32(1) + le16(3) + le16(0);
    struct Row {
        const char* what;
        std::string bytes;
        Format format;
        std::uint32_t w, h;
        bool fitsTheScreen, animates;
    };
    const Row rows[] = {
        {"24 MP baseline JPEG", jpeg(0xC0, 6000, 4000), Format::Jpeg, 6000, 4000, true, false},
        {"huge baseline JPEG scaled while decoding", jpeg(0xC0, 20000, 20000), Format::Jpeg, 20000, 20000, true,
         false},
        {"24 MP progressive JPEG", jpeg(0xC2, 6000, 4000), Format::Jpeg, 6000, 4000, true, false},
        {"progressive JPEG claiming 65000 x 65000", jpeg(0xC2, 65000, 65000), Format::Jpeg, 65000, 65000, false,
         false},
        {"JPEG of one scan per component, 20000 x 20000", jpeg(0xC0, 20000, 20000, 1), Format::Jpeg, 20000, 20000,
         false, false},
        {"PNG of 50000 x 40", png, Format::Png, 50000, 40, true, false},
        {"GIF with an 8000 x 8000 screen", gif, Format::Gif, 8000, 8000, true, false},
        {"top-down BMP", bmp, Format::Bmp, 300, 200, true, false},
        {"animated WebP 64 x 2000", webp, Format::WebP, 64, 2000, true, true},
        {"TIFF of 8000 x 8000 in one strip", tiff, Format::Tiff, 8000, 8000, false, false},
        {"HEIF 4000 x 3000", heif(4000, 3000), Format::Heif, 4000, 3000, true, false},
        {"HEIF grid 8000 x 8000", heif(8000, 8000), Format::Heif, 8000, 8000, false, false},
    };
    for (const Row& r : rows) {
        const Header h = headerOf(r.bytes);
        EXPECT_EQ(h.format, r.format) << r.what;
        EXPECT_EQ(h.width, r.w) << r.what;
        EXPECT_EQ(h.height, r.h) << r.what;
        EXPECT_EQ(withinBudget(h, 1920, 1080), r.fitsTheScreen) << r.what;
        EXPECT_EQ(mayAnimate(h), r.animates) << r.what;
    }
    // JPEG alone shrinks while decoding: a big one fits a screen, not its own size.
    EXPECT_FALSE(withinBudget(headerOf(jpeg(0xC0, 20000, 20000)), 0, 0));
    // A HEIF coded 4:2:0 is turned into the screen's size from its planes: a
    // 48-megapixel photo fits, even upright; made whole, or 10-bit 4:4:4, or
    // a bomb's size, it does not.
    const Header photo = headerOf(heif(8000, 6000, 1));
    EXPECT_EQ(photo.chroma, Chroma::C420);
    EXPECT_TRUE(withinBudget(photo, 1920, 1080));
    EXPECT_TRUE(withinBudget(photo, 1080, 1440));
    EXPECT_FALSE(withinBudget(photo, 0, 0));
    EXPECT_FALSE(withinBudget(heifThroughRgb(photo), 1920, 1080));
    EXPECT_FALSE(withinBudget(headerOf(heif(8000, 6000, 3, 10)), 1920, 1080));
    EXPECT_FALSE(withinBudget(headerOf(heif(16384, 16384, 1)), 1920, 1080));
    EXPECT_FALSE(withinBudget(headerOf(png.substr(0, 20) + be32(20000) + "\x08\x02"), 128, 128));
}

TEST(PictureRules, MalformedOrUnknownBytesAreNoPicture) {
    const std::string cut = jpeg(0xC2, 100, 100).substr(0, 14);
    for (const std::string& bytes : {std::string(), std::string("hello"), cut, jpeg(0xC0, 0, 100),
                                     std::string("GIF89a\x10\x00\x10\x00\x00\x00\x00\x3B", 14),
                                     heif(0, 10), std::string("BM") + std::string(12, '\0') + le32(7)}) {
        const Header h = headerOf(bytes);
        EXPECT_FALSE(h.valid());
        EXPECT_FALSE(withinBudget(h, 10, 10));
    }
}

TEST(PictureRules, OnlyTheThumbnailsOwnSmallTextsReachTheDecoder) {
    EXPECT_TRUE(keepPngChunk("IDAT", "", 1u << 30, false));
    EXPECT_TRUE(keepPngChunk("iCCP", "", 3000, false));
    EXPECT_FALSE(keepPngChunk("zTXt", "Comment", 100, true));
    EXPECT_FALSE(keepPngChunk("tEXt", "Thumb::URI", 100, false));
    EXPECT_TRUE(keepPngChunk("tEXt", "Thumb::URI", 100, true));
    EXPECT_TRUE(keepPngChunk("zTXt", "Thumb::MTime", 30, true));
    EXPECT_FALSE(keepPngChunk("iTXt", "Thumb::URI", kMaxThumbnailKeyBytes + 1, true));
}

// One colour through each matrix and range, as an encoder would code it, and
// back; a 2 x 2 of it shrunk to one pixel averages, alpha premultiplied.
TEST(PictureRules, YuvPlanesBecomeTheirRgb) {
    struct Row {
        int matrix;
        double kr, kb;
    };
    for (const Row m : {Row{6, 0.299, 0.114}, Row{1, 0.2126, 0.0722}, Row{9, 0.2627, 0.0593}})
        for (const bool full : {true, false}) {
            const double r = 200 / 255.0, g = 90 / 255.0, b = 30 / 255.0;
            const double l = m.kr * r + (1 - m.kr - m.kb) * g + m.kb * b;
            const double ys = full ? 255 : 219, yo = full ? 0 : 16, cs = full ? 255 : 224;
            const std::uint8_t y = std::uint8_t(std::lround(yo + ys * l));
            const std::uint8_t cb = std::uint8_t(std::lround(128 + cs * (b - l) / (2 * (1 - m.kb))));
            const std::uint8_t cr = std::uint8_t(std::lround(128 + cs * (r - l) / (2 * (1 - m.kr))));
            const std::uint8_t luma[4] = {y, y, y, y}, alpha[4] = {255, 255, 0, 0};
            YuvPicture p;
            p.width = p.height = 2;
            p.luma = {luma, 2, 2, 2, 8};
            p.cb = {&cb, 1, 1, 1, 8};
            p.cr = {&cr, 1, 1, 1, 8};
            p.matrix = m.matrix;
            p.fullRange = full;
            std::uint8_t out[16] = {};
            ASSERT_TRUE(yuvToRgba(p, 2, 2, out, 8));
            EXPECT_NEAR(out[12], 200, 2) << m.matrix << full;
            EXPECT_NEAR(out[13], 90, 2) << m.matrix << full;
            EXPECT_NEAR(out[14], 30, 2) << m.matrix << full;
            EXPECT_EQ(out[15], 255);
            p.alpha = {alpha, 2, 2, 2, 8};
            ASSERT_TRUE(yuvToRgba(p, 1, 1, out, 4));
            EXPECT_NEAR(out[0], 100, 2) << m.matrix << full;
            EXPECT_EQ(out[3], 128);
        }
}
