#include "player/PrefetchRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using player::keptPositions;
using player::prefetchOrder;

namespace {

struct OrderRow {
    const char* what;
    int position, count;
    std::vector<int> order;
};

const OrderRow kOrderRows[] = {
    {"middle of the list: next, then previous", 4, 10, {5, 3}},
    {"first entry: the previous wraps to the last", 0, 10, {1, 9}},
    {"last entry: the next wraps to the first", 9, 10, {0, 8}},
    {"two entries: the other one once", 0, 2, {1}},
    {"two entries from the second", 1, 2, {0}},
    {"three entries at the end", 2, 3, {0, 1}},
    {"one entry: nothing ahead", 0, 1, {}},
    {"empty list", 0, 0, {}},
    {"position past the end", 12, 10, {}},
    {"negative position", -1, 10, {}},
    {"full list, last slot", 255, 256, {0, 254}},
};

class PrefetchOrderTest : public ::testing::TestWithParam<OrderRow> {};

TEST_P(PrefetchOrderTest, NextThenPreviousWrappingAround) {
    const OrderRow& row = GetParam();
    EXPECT_EQ(prefetchOrder(row.position, row.count), row.order) << row.what;
    std::vector<int> kept = keptPositions(row.position, row.count);
    if (row.position < 0 || row.position >= row.count) {
        EXPECT_TRUE(kept.empty()) << row.what;
        return;
    }
    ASSERT_FALSE(kept.empty()) << row.what;
    EXPECT_EQ(kept.front(), row.position) << row.what;
    EXPECT_EQ(std::vector<int>(kept.begin() + 1, kept.end()), row.order) << row.what;
    EXPECT_LE(kept.size(), player::kMaxCachedPictures) << row.what;
}

INSTANTIATE_TEST_SUITE_P(Rows, PrefetchOrderTest, ::testing::ValuesIn(kOrderRows));

TEST(PrefetchRulesTest, CachedPicturesStayOnlyWhileTheirFileIsKept) {
    const std::vector<std::string> kept = {"/p/b.jpg", "/p/c.jpg", "/p/a.jpg"};
    EXPECT_TRUE(player::keepCached("/p/a.jpg", kept));
    EXPECT_FALSE(player::keepCached("/p/d.jpg", kept));
    // Paths are compared exactly: another case is another file here.
    EXPECT_FALSE(player::keepCached("/p/A.jpg", kept));
    EXPECT_FALSE(player::keepCached("/p/a.jpg", {}));
}

TEST(PrefetchRulesTest, OnlyPicturesAreDecodedAhead) {
    EXPECT_TRUE(player::isPrefetchable("/p/a.jpg"));
    EXPECT_TRUE(player::isPrefetchable("/p/dir.with.dots/B.GIF"));
    EXPECT_TRUE(player::isPrefetchable("/p/with space/ü'\"x.bmp"));
    EXPECT_FALSE(player::isPrefetchable("/p/clip.avi"));
    EXPECT_FALSE(player::isPrefetchable("/p/list.m3u"));
    EXPECT_FALSE(player::isPrefetchable("/p/noextension"));
    EXPECT_FALSE(player::isPrefetchable(""));
}

}  // namespace
