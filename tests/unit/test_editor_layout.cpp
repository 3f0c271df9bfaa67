#include "editor/EditorLayout.h"

#include <gtest/gtest.h>

using namespace editor;

namespace {

LayoutEnv Env(double W = 9900, double inner = 8580) {
    LayoutEnv e;
    e.outerWidth = W;
    e.outerHeight = inner + 600;
    e.innerHeight = inner;
    e.pixel = 15;
    e.toolBarHeight = 420;
    e.customBarHeight = 420;
    e.titlesHeight = 360;
    e.statusHeight = 330;
    e.lblFolderTop = 750;
    e.lblFolderHeight = 300;
    return e;
}

}  // namespace

struct VerticalRow {
    const char* what;
    int index;
    double position;
    double expectTree;
    double expectFileRight;  // split1Left
};

class VerticalSplitter : public ::testing::TestWithParam<VerticalRow> {};

TEST_P(VerticalSplitter, ClampsAndPlacesColumns) {
    const VerticalRow& r = GetParam();
    Columns c;  // tree 3000, file view 3040..6045, list 3435
    const Layout l = SizeControls(c, r.position, r.index, Env());
    EXPECT_DOUBLE_EQ(l.cols.treeWidth, r.expectTree) << r.what;
    EXPECT_DOUBLE_EQ(l.cols.split1Left, r.expectFileRight) << r.what;
    // The three columns and the two gaps fill W less the frame allowance.
    EXPECT_DOUBLE_EQ(l.cols.treeWidth + l.cols.fileWidth + l.cols.listWidth + kGap + kFrameAllowance, 9900) << r.what;
    EXPECT_DOUBLE_EQ(l.cols.listLeft, l.cols.split1Left + kGap) << r.what;
    EXPECT_DOUBLE_EQ(l.cols.fileLeft, l.cols.split0Left + kGap) << r.what;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, VerticalSplitter,
    ::testing::Values(
        // Index 0 keeps the list width (3435): the file view takes the difference.
        VerticalRow{"first splitter inside its bounds", 0, 2400, 2400, 2400 + 40 + (9900 - 3435 - 2400 - 180)},
        VerticalRow{"first splitter below 1500 is pulled to 1500", 0, 200, 1500, 1540 + (9900 - 3435 - 1500 - 180)},
        VerticalRow{"first splitter far right stops where the file view keeps 1500", 0, 9000, 9900 - 3435 - 1680,
                    9900 - 3435 - 1680 + 40 + 1500},
        VerticalRow{"second splitter inside its bounds", 1, 7000, 3000, 7000},
        VerticalRow{"second splitter too near the tree", 1, 3100, 3000, 3000 + 1540},
        VerticalRow{"second splitter far right ends at W - 1640", 1, 9800, 3000, 9900 - 1640}));

TEST(SizeControls, HorizontalSplitterEndsThePaneWhereReleasedWithOrWithoutToolBars) {
    for (bool bars : {true, false}) {
        LayoutEnv e = Env();
        e.toolBarShown = bars;
        e.customBarShown = bars;
        const Layout l = SizeControls(Columns{}, 2600, 2, e);
        EXPECT_DOUBLE_EQ(l.splitUD.top, 2600) << bars;
        EXPECT_DOUBLE_EQ(l.web.height, bars ? 2600 - 840 : 2600) << bars;
        EXPECT_DOUBLE_EQ(l.titles.top, 2640) << bars;
    }
}

TEST(SizeControls, CommonPartPlacesHeadingsAndColumns) {
    const Layout l = SizeControls(Columns{}, 3000, 0, Env());
    const double treeTop = 420 + 420 + 1536 + 40 + 360;
    const double treeHeight = 8580 - 330 - treeTop;
    EXPECT_DOUBLE_EQ(l.tree.top, treeTop);
    EXPECT_DOUBLE_EQ(l.tree.height, treeHeight);
    // The file view and the list reach one pixel beyond the tree at both ends.
    EXPECT_DOUBLE_EQ(l.fileView.top, treeTop - 15);
    EXPECT_DOUBLE_EQ(l.fileView.height, treeHeight + 30);
    EXPECT_DOUBLE_EQ(l.list.top, treeTop - 15);
    EXPECT_DOUBLE_EQ(l.splitter0.top, treeTop);
    EXPECT_DOUBLE_EQ(l.splitter1.height, treeHeight);
    // The heading boxes sit one pixel inside their columns.
    EXPECT_DOUBLE_EQ(l.drvList.width, l.cols.treeWidth);
    EXPECT_DOUBLE_EQ(l.cboType.left, l.cols.fileLeft + 15);
    EXPECT_DOUBLE_EQ(l.cboType.width, l.cols.fileWidth - 30);
    EXPECT_DOUBLE_EQ(l.txtListName.left, l.cols.listLeft + 15);
    EXPECT_DOUBLE_EQ(l.txtListName.width, l.cols.listWidth - 30);
    EXPECT_DOUBLE_EQ(l.listFirstColumn, l.cols.listWidth - 600);
    // Preview pane: title width, line and the left edge of the picture.
    EXPECT_DOUBLE_EQ(l.lblFolderWidth, 3000 - 240);
    EXPECT_DOUBLE_EQ(l.lineRight, 3000);
    EXPECT_DOUBLE_EQ(l.lineY, 750 + 300 + 60);
    EXPECT_DOUBLE_EQ(l.previewLeft, l.cboType.left + 120);
    EXPECT_DOUBLE_EQ(l.previewBox.width, l.cboType.width - 240);
    EXPECT_DOUBLE_EQ(l.previewBox.height, 1536 - 240);
}

TEST(SizeControls, HiddenElementsGiveTheirRoomToTheColumns) {
    const Layout all = SizeControls(Columns{}, 3000, 0, Env());
    struct Row {
        const char* what;
        void (*hide)(LayoutEnv&);
        double topShift, heightGain;
    } rows[] = {
        {"status bar", [](LayoutEnv& e) { e.statusShown = false; }, 0, 330},
        {"preview", [](LayoutEnv& e) { e.webShown = false; }, -1536, 1536},
        {"tool bar", [](LayoutEnv& e) { e.toolBarShown = false; }, -420, 420},
        {"custom bar", [](LayoutEnv& e) { e.customBarShown = false; }, -420, 420},
    };
    for (const Row& r : rows) {
        LayoutEnv e = Env();
        r.hide(e);
        const Layout l = SizeControls(Columns{}, 3000, 0, e);
        EXPECT_DOUBLE_EQ(l.tree.top, all.tree.top + r.topShift) << r.what;
        EXPECT_DOUBLE_EQ(l.tree.height, all.tree.height + r.heightGain) << r.what;
    }
}

TEST(SizeControls, ListTooWideForBothColumnsGivesUpWidth) {
    Columns c;
    c.listWidth = 5000;
    const Layout l = SizeControls(c, 3000, 0, Env(6000));
    EXPECT_DOUBLE_EQ(l.cols.treeWidth, 1500);
    EXPECT_GE(l.cols.fileWidth, 1500);
    EXPECT_GT(l.cols.listWidth, 0);
}

TEST(Resize, SnapsToTheLeastSizeAndSkipsAMinimisedWindow) {
    Columns c;
    EXPECT_FALSE(onResize(c, 100, 100, true).layout);
    const ResizeDecision d = onResize(c, 3000, 4000, false);
    EXPECT_TRUE(d.snapped);
    EXPECT_DOUBLE_EQ(d.width, 4680);
    EXPECT_DOUBLE_EQ(d.height, 5000);
    EXPECT_FALSE(onResize(c, 9000, 9000, false).snapped);
}

TEST(Resize, WideningWidensOnlyTheList_NarrowFileViewTakesFromTheTree) {
    Layout l = SizeControls(Columns{}, 3000, 0, Env(9900));
    ResizeDecision d = onResize(l.cols, 12000, 9000, false);
    ASSERT_EQ(d.index, 1);
    const Layout wide = SizeControls(l.cols, d.position, d.index, Env(12000));
    EXPECT_DOUBLE_EQ(wide.cols.treeWidth, l.cols.treeWidth);
    EXPECT_DOUBLE_EQ(wide.cols.fileWidth, l.cols.fileWidth);
    EXPECT_DOUBLE_EQ(wide.cols.listWidth, l.cols.listWidth + 2100);

    // Narrowing pulls the second splitter to W - 1640: the file view narrows below 1500 ...
    d = onResize(wide.cols, 5000, 9000, false);
    const Layout narrow = SizeControls(wide.cols, d.position, d.index, Env(5000));
    EXPECT_LT(narrow.cols.fileWidth, 1500);
    // ... and the next resize narrows the tree instead, giving the file view 1500 back.
    d = onResize(narrow.cols, 5000, 9000, false);
    ASSERT_EQ(d.index, 0);
    const Layout again = SizeControls(narrow.cols, d.position, d.index, Env(5000));
    EXPECT_DOUBLE_EQ(again.cols.fileWidth, 1500);
    EXPECT_LT(again.cols.treeWidth, narrow.cols.treeWidth);
}

TEST(Drag, FeedbackBarsStayWithinTheLooseLimits) {
    Columns c;  // tree 3000, list 3435
    EXPECT_DOUBLE_EQ(verticalDragLeft(0, 10, c, 9900), 500);
    EXPECT_DOUBLE_EQ(verticalDragLeft(0, 9000, c, 9900), 9900 - 3435 - 500);
    EXPECT_DOUBLE_EQ(verticalDragLeft(0, 2000, c, 9900), 2000);
    EXPECT_DOUBLE_EQ(verticalDragLeft(1, 3100, c, 9900), 3500);
    EXPECT_DOUBLE_EQ(verticalDragLeft(1, 9800, c, 9900), 9400);
    EXPECT_DOUBLE_EQ(horizontalDragTop(100, 9000), 2000);
    EXPECT_DOUBLE_EQ(horizontalDragTop(8000, 9000), 6000);
    EXPECT_DOUBLE_EQ(horizontalDragTop(4000, 9000), 4000);
    const Rect f = verticalFeedbackBar({3000, 2760, 151, 4785});
    EXPECT_DOUBLE_EQ(f.width, 75);
    EXPECT_DOUBLE_EQ(f.height, 4765);
    // A release at the loose limit is pulled to the layout bound.
    EXPECT_DOUBLE_EQ(SizeControls(c, 500, 0, Env()).cols.treeWidth, 1500);
}

struct FitRow {
    const char* what;
    double w, h, web, cbo, ew, eh;
    bool ok;
};
class Fit : public ::testing::TestWithParam<FitRow> {};
TEST_P(Fit, KeepsProportionsWithinTheBox) {
    const FitRow& r = GetParam();
    const FitSize f = fitPreview(r.w, r.h, r.web, r.cbo);
    EXPECT_EQ(f.ok, r.ok) << r.what;
    if (!r.ok) return;
    EXPECT_NEAR(f.width, r.ew, 1e-9) << r.what;
    EXPECT_NEAR(f.height, r.eh, 1e-9) << r.what;
}
// Box: 1296 high (1536 - 240), 2760 wide (3000 - 240).
INSTANTIATE_TEST_SUITE_P(Rows, Fit,
                         ::testing::Values(FitRow{"small wide picture is enlarged to the box width", 276, 60, 1536, 3000,
                                                  2760, 600, true},
                                           FitRow{"tall picture scaled by the height ratio", 300, 648, 1536, 3000,
                                                  600, 1296, true},
                                           FitRow{"exact proportions fill the box", 1380, 648, 1536, 3000, 2760,
                                                  1296, true},
                                           FitRow{"zero height has no fit", 300, 0, 1536, 3000, 0, 0, false},
                                           FitRow{"no room has no fit", 300, 300, 200, 3000, 0, 0, false}));
