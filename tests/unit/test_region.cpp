// The launcher outline: the batched exclusive-or of key runs must leave exactly
// the pixels whose colour differs from the top-left pixel's, inside W x H.

#include "launcher/PctRegion.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

using launcher::KeyRect;

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bgr;  // packed rows, 3 * width bytes each

    Picture(int w, int h, std::uint32_t fill) : width(w), height(h), bgr(static_cast<std::size_t>(3 * w * h)) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) set(x, y, fill);
    }
    void set(int x, int y, std::uint32_t rgb) {
        std::uint8_t* p = &bgr[static_cast<std::size_t>(3 * (y * width + x))];
        p[0] = rgb & 0xFF;
        p[1] = (rgb >> 8) & 0xFF;
        p[2] = (rgb >> 16) & 0xFF;
    }
    bool sameAsCorner(int x, int y) const {
        const std::uint8_t* p = &bgr[static_cast<std::size_t>(3 * (y * width + x))];
        return p[0] == bgr[0] && p[1] == bgr[1] && p[2] == bgr[2];
    }
    launcher::PixelView view() const { return {bgr.data(), width, height, 3 * width}; }
    // Rows from text: '.' key colour, '#' figure, 'k' key colour again.
    static Picture fromRows(const std::vector<std::string>& rows) {
        Picture pic(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), 0x00FF00FF);
        for (int y = 0; y < pic.height; ++y)
            for (int x = 0; x < pic.width; ++x)
                if (rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] == '#') pic.set(x, y, 0x203040);
        return pic;
    }
};

struct ScanOutcome {
    bool ok = false;
    launcher::ScanSize size;
    std::vector<std::vector<KeyRect>> batches;
    std::vector<std::vector<bool>> region;  // what the window keeps, by (y, x)
};

// Applies the batches exactly as the window does: start from the full
// rectangle, exclusive-or each rectangle in.
ScanOutcome scan(const Picture& pic) {
    ScanOutcome out;
    std::vector<std::vector<KeyRect>> batches;
    out.ok = launcher::scanKeyRects(
        pic.view(), [&](std::span<const KeyRect> batch) { batches.emplace_back(batch.begin(), batch.end()); },
        out.size);
    out.batches = batches;
    out.region.assign(static_cast<std::size_t>(out.size.height),
                      std::vector<bool>(static_cast<std::size_t>(out.size.width), true));
    for (const auto& batch : batches) {
        for (const KeyRect& r : batch) {
            EXPECT_LE(0, r.x0);
            EXPECT_LE(r.x0, r.x1);
            EXPECT_LE(r.x1, out.size.width);
            for (int x = r.x0; x < r.x1; ++x) {
                auto&& cell = out.region[static_cast<std::size_t>(r.y)][static_cast<std::size_t>(x)];
                cell = !cell;
            }
        }
    }
    return out;
}

// The pixel-set rule: kept exactly where the colour differs from pixel (0, 0).
void expectPixelSet(const Picture& pic, const ScanOutcome& out) {
    ASSERT_TRUE(out.ok);
    ASSERT_EQ(out.size.width, pic.width & ~3);
    ASSERT_EQ(out.size.height, pic.height);
    for (int y = 0; y < out.size.height; ++y)
        for (int x = 0; x < out.size.width; ++x)
            ASSERT_EQ(out.region[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)], !pic.sameAsCorner(x, y))
                << "pixel " << x << "," << y;
}

std::size_t rectCount(const ScanOutcome& out) {
    std::size_t n = 0;
    for (const auto& b : out.batches) n += b.size();
    return n;
}

TEST(RegionScan, ShapesFollowThePixelSetRule) {
    const std::vector<std::vector<std::string>> cases = {
        {"........", "..##....", ".####...", "........"},  // figure in the middle, all-key rows
        {"........", "#......#", "##....##", "########"},  // runs touching both edges
        {"....##..", "........", "..#.#.#.", ".#.#.#.#"},  // alternating pixels
        {"..##..##..##", "############", "#..#..#..#.."},  // width 12
    };
    for (const auto& rows : cases) {
        const Picture pic = Picture::fromRows(rows);
        expectPixelSet(pic, scan(pic));
    }
}

TEST(RegionScan, AllKeyRowIsOneFullRectangle) {
    const Picture pic = Picture::fromRows({"........", "..##....", "........"});
    const ScanOutcome out = scan(pic);
    expectPixelSet(pic, out);
    ASSERT_EQ(out.batches.size(), 1u);
    const auto& rects = out.batches[0];
    // Row 0: (0, 8); row 1: (0, 2), (4, 8); row 2: (0, 8).
    ASSERT_EQ(rects.size(), 4u);
    EXPECT_EQ(rects[0].x0, 0);
    EXPECT_EQ(rects[0].x1, 8);
    EXPECT_EQ(rects[3].y, 2);
    EXPECT_EQ(rects[3].x1, 8);
}

TEST(RegionScan, AllKeyPictureLeavesNothing) {
    const Picture pic(16, 5, 0x123456);
    const ScanOutcome out = scan(pic);
    expectPixelSet(pic, out);
    EXPECT_EQ(rectCount(out), 5u);
    for (const auto& row : out.region)
        for (bool kept : row) EXPECT_FALSE(kept);
}

TEST(RegionScan, RowStartingInTheFigureStartsWithAnEmptyRectangle) {
    // Pixel (0,0) is key; row 1 starts in the figure.
    const Picture pic = Picture::fromRows({"....", "##..", "####"});
    const ScanOutcome out = scan(pic);
    expectPixelSet(pic, out);
    const auto& rects = out.batches[0];
    ASSERT_EQ(rects.size(), 4u);  // (0,4) | (0,0) (2,4) | (0,0)
    EXPECT_EQ(rects[1].x0, 0);
    EXPECT_EQ(rects[1].x1, 0);
    EXPECT_EQ(rects[3].x0, rects[3].x1);
}

TEST(RegionScan, WidthIsRoundedDownToFour) {
    for (int width : {4, 5, 6, 7, 8, 9, 433}) {
        Picture pic(width, 3, 0x00FF00FF);
        // Figure pixels in the last columns must fall outside the region.
        for (int y = 0; y < 3; ++y) pic.set(width - 1, y, 0x000000);
        pic.set(1, 1, 0x000000);
        const ScanOutcome out = scan(pic);
        expectPixelSet(pic, out);
        EXPECT_EQ(out.size.width, width / 4 * 4) << width;
    }
    EXPECT_EQ(launcher::scanWidthOf(433), 432);
    EXPECT_EQ(launcher::scanWidthOf(7), 4);
    EXPECT_EQ(launcher::scanWidthOf(3), 0);
}

TEST(RegionScan, KeyColourInsideTheFigureIsAHole) {
    // The top-left pixel belongs to the figure: its colour is cut everywhere.
    Picture pic(8, 4, 0x0000FF);
    pic.set(0, 0, 0xFFFFFF);
    pic.set(5, 2, 0xFFFFFF);
    pic.set(6, 2, 0xFFFFFE);  // one step off is not the key: no tolerance
    const ScanOutcome out = scan(pic);
    expectPixelSet(pic, out);
    EXPECT_FALSE(out.region[0][0]);
    EXPECT_FALSE(out.region[2][5]);
    EXPECT_TRUE(out.region[2][6]);
}

TEST(RegionScan, BatchesHoldAtMost256AndSplitExactly) {
    // Each row "key figure key figure" gives 2 rectangles: 128 rows = 256.
    for (int rows : {127, 128, 129, 300}) {
        Picture pic(8, rows, 0x00FF00FF);
        for (int y = 0; y < rows; ++y) {
            pic.set(2, y, 0x101010);
            pic.set(3, y, 0x101010);
            pic.set(6, y, 0x101010);
            pic.set(7, y, 0x101010);
        }
        const ScanOutcome out = scan(pic);
        expectPixelSet(pic, out);
        const std::size_t total = static_cast<std::size_t>(2 * rows);
        EXPECT_EQ(rectCount(out), total);
        ASSERT_EQ(out.batches.size(), total / 256 + 1) << rows;  // full batches, then the rest
        for (std::size_t i = 0; i + 1 < out.batches.size(); ++i) EXPECT_EQ(out.batches[i].size(), 256u);
        EXPECT_EQ(out.batches.back().size(), total % 256);
    }
}

TEST(RegionScan, RandomPicturesFollowThePixelSetRule) {
    std::mt19937 rng(7);
    for (int round = 0; round < 40; ++round) {
        const int w = 1 + static_cast<int>(rng() % 70);
        const int h = 1 + static_cast<int>(rng() % 40);
        Picture pic(w, h, 0x00FF00FF);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (rng() % 3 == 0) pic.set(x, y, (rng() % 2) ? 0x00FF00FE : 0x00FF00FF ^ 0x010000);
        if (rng() % 4 == 0) pic.set(0, 0, 0x00FF00FE);  // corner in the figure
        expectPixelSet(pic, scan(pic));
    }
}

TEST(RegionScan, EmptyOrShortBuffersAreRefused) {
    const Picture pic(8, 2, 0);
    int calls = 0;
    const auto count = [&](std::span<const KeyRect>) { ++calls; };
    launcher::ScanSize size;
    EXPECT_FALSE(launcher::scanKeyRects({nullptr, 8, 2, 24}, count, size));
    EXPECT_FALSE(launcher::scanKeyRects({pic.bgr.data(), 0, 2, 24}, count, size));
    EXPECT_FALSE(launcher::scanKeyRects({pic.bgr.data(), 8, 0, 24}, count, size));
    EXPECT_FALSE(launcher::scanKeyRects({pic.bgr.data(), 8, 2, 23}, count, size));
    EXPECT_EQ(calls, 0);
    // Narrower than 4: nothing of the picture remains, but it is a region.
    const Picture narrow(3, 2, 0x777777);
    const ScanOutcome out = scan(narrow);
    EXPECT_TRUE(out.ok);
    EXPECT_EQ(out.size.width, 0);
}

}  // namespace
