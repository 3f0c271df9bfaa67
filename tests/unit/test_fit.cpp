#include "player/Fit.h"

#include <gtest/gtest.h>

using player::fitImage;
using player::fitMovie;
using player::Rect;

namespace {

struct FitRow {
    const char* what;
    int frameW, frameH, w, h;
    Rect expected;
};

const FitRow kImageRows[] = {
    {"small picture enlarged to the whole screen", 1024, 768, 320, 240, {0, 0, 1024, 768}},
    {"wide picture, letterbox", 1000, 1000, 2000, 500, {0, 375, 1000, 250}},
    {"tall picture, pillarbox", 1024, 768, 200, 300, {256, 0, 512, 768}},
    {"exact size stays", 800, 600, 800, 600, {0, 0, 800, 600}},
    {"fixed 480 x 640 window, landscape picture", 480, 640, 640, 480, {0, 140, 480, 360}},
    {"one pixel picture fills by its smaller ratio", 1024, 768, 1, 1, {128, 0, 768, 768}},
    {"no natural size fills the frame", 1024, 768, 0, 0, {0, 0, 1024, 768}},
    {"negative size fills the frame", 640, 480, -5, 10, {0, 0, 640, 480}},
};

const FitRow kMovieRows[] = {
    {"16:9 clip on 4:3 screen", 1024, 768, 320, 180, {0, 96, 1024, 576}},
    {"4:3 clip on 16:9 screen", 1920, 1080, 640, 480, {240, 0, 1440, 1080}},
    {"wide clip in square frame", 1000, 1000, 2000, 500, {0, 375, 1000, 250}},
    {"odd remainder rounds", 1023, 767, 320, 240, {0, 0, 1023, 767}},
    {"audio only fills the frame", 1024, 768, 0, 0, {0, 0, 1024, 768}},
    {"fixed window", 480, 640, 352, 288, {0, 124, 480, 393}},
};

class ImageFit : public ::testing::TestWithParam<FitRow> {};
class MovieFit : public ::testing::TestWithParam<FitRow> {};

TEST_P(ImageFit, PlacesPicture) {
    const FitRow& r = GetParam();
    EXPECT_EQ(fitImage(r.frameW, r.frameH, r.w, r.h), r.expected) << r.what;
}

TEST_P(MovieFit, PlacesElement) {
    const FitRow& r = GetParam();
    EXPECT_EQ(fitMovie(r.frameW, r.frameH, r.w, r.h), r.expected) << r.what;
}

INSTANTIATE_TEST_SUITE_P(Rows, ImageFit, ::testing::ValuesIn(kImageRows));
INSTANTIATE_TEST_SUITE_P(Rows, MovieFit, ::testing::ValuesIn(kMovieRows));

TEST(Fit, NeverLeavesTheFrame) {
    for (int w : {1, 3, 17, 640, 1281, 4000}) {
        for (int h : {1, 2, 19, 480, 999, 3000}) {
            for (const Rect& r : {fitImage(1366, 768, w, h), fitMovie(1366, 768, w, h)}) {
                EXPECT_GE(r.left, 0);
                EXPECT_GE(r.top, 0);
                EXPECT_LE(r.left + r.width, 1366) << w << "x" << h;
                EXPECT_LE(r.top + r.height, 768) << w << "x" << h;
                // One side always touches the frame's edges.
                EXPECT_TRUE(r.width == 1366 || r.height == 768) << w << "x" << h;
            }
        }
    }
}

}  // namespace

TEST(Fit, PlayerWindowIsBoundedByTheScreen) {
    struct Row {
        const char* what;
        int fixedW, fixedH;
        Rect expected;
    } const rows[] = {
        {"fixed 480 x 640 centred", 480, 640, {272, 64, 480, 640}},
        {"30000 x 30000 is cut to the screen", 30000, 30000, {0, 0, 1024, 768}},
        {"only the width too large", 5000, 300, {0, 234, 1024, 300}},
        {"no fixed height: the whole screen", 480, 0, {0, 0, 1024, 768}},
    };
    for (const Row& r : rows) EXPECT_EQ(player::playerWindow({0, 0, 1024, 768}, r.fixedW, r.fixedH), r.expected) << r.what;
    EXPECT_EQ(player::playerWindow({1920, 0, 800, 600}, 9000, 100), (Rect{1920, 250, 800, 100})) << "second screen";
}
