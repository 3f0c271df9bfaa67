#pragma once
// Layout arithmetic of the file list editor: the three columns, the heading
// strip, the top stack and the splitter drags. All lengths are twips; the
// window only converts the rectangles to pixels and applies them.

namespace editor {

inline constexpr double kMinWindowWidth = 4680;
inline constexpr double kMinWindowHeight = 5000;
inline constexpr double kMinColumn = 1500;
inline constexpr double kGap = 40;
inline constexpr double kFrameAllowance = 140;
inline constexpr double kListHeadingAllowance = 600;
inline constexpr double kDragMarginV = 500;
inline constexpr double kDragTopH = 2000;
inline constexpr double kDragBottomH = 3000;
inline constexpr double kPreviewMargin = 120;
inline constexpr double kTitleLineOffset = 60;
inline constexpr double kSplitUDHeight = 40;
inline constexpr double kSplitterBarWidth = 150;

struct Rect {
    double left = 0, top = 0, width = 0, height = 0;
};

// What the layout reads from the window and its fixed elements.
struct LayoutEnv {
    double outerWidth = 0;   // W
    double outerHeight = 0;  // H
    double innerHeight = 0;  // client area below the menu bar
    double pixel = 15;       // one screen pixel, a whole number of twips
    double toolBarHeight = 0;
    bool toolBarShown = true;
    double customBarHeight = 0;
    bool customBarShown = true;
    bool webShown = true;
    double splitUDHeight = kSplitUDHeight;
    double titlesHeight = 0;
    double statusHeight = 0;
    bool statusShown = true;
    double lblFolderTop = 0;     // relative to the preview pane
    double lblFolderHeight = 0;  // after it grew to fit its text
};

// The positions SizeControls keeps from one call to the next.
struct Columns {
    double treeWidth = 3000;
    double split0Left = 3000;
    double fileLeft = 3040;
    double fileWidth = 3005;
    double split1Left = 6045;
    double listLeft = 6085;
    double listWidth = 3435;
    double webHeight = 1536;
};

// Everything placed by one layout, in client coordinates of the window.
struct Layout {
    Columns cols;
    Rect toolBar, customBar, web, splitUD, titles;
    Rect drvList, cboType, txtListName;  // within the heading strip
    Rect tree, fileView, list;
    Rect splitter0, splitter1;
    double listFirstColumn = 0;
    double lblFolderWidth = 0;
    double lineRight = 0, lineY = 0;  // linWebBar, relative to the preview pane
    double previewLeft = 0;           // imgPre, mplPre, lblNum
    Rect previewBox;                  // the box a picture or clip is fitted into
};

// SizeControls: clamps `position` for splitter `index` (0, 1 vertical; 2
// horizontal; anything else only re-lays out), updates `cols` and places all.
Layout SizeControls(Columns cols, double position, int index, const LayoutEnv& env);

// Resize handling: the size the window must be snapped to and the relayout to run.
struct ResizeDecision {
    bool layout = false;  // false while minimised
    double width = 0, height = 0;  // the outer size after snapping
    bool snapped = false;
    int index = 1;
    double position = 0;
};
ResizeDecision onResize(const Columns& cols, double outerWidth, double outerHeight, bool minimised);

// Left edge of the vertical feedback bar while splitter `index` is dragged to `position`.
double verticalDragLeft(int index, double position, const Columns& cols, double outerWidth);
// Top of the horizontal feedback bar while the preview splitter is dragged to `position`.
double horizontalDragTop(double position, double outerHeight);
// Rectangle of the vertical feedback bar put over splitter bar `bar` on a press.
Rect verticalFeedbackBar(const Rect& bar);

// The fit rule of the preview: a w x h element scaled into the preview box,
// keeping its proportions. Nothing when a size is not positive.
struct FitSize {
    double width = 0, height = 0;
    bool ok = false;
};
FitSize fitPreview(double w, double h, double webHeight, double cboTypeWidth);

}  // namespace editor
