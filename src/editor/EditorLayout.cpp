#include "EditorLayout.h"

namespace editor {

Layout SizeControls(Columns c, double x, int index, const LayoutEnv& env) {
    const double W = env.outerWidth;
    const double p = env.pixel;
    const double bars = (env.toolBarShown ? env.toolBarHeight : 0) + (env.customBarShown ? env.customBarHeight : 0);

    if (index == 0) {
        if (x < kMinColumn) x = kMinColumn;
        // A list column so wide that tree and file view cannot keep their least
        // width gives up the difference, rather than the tree vanishing.
        if (W - c.listWidth - 1680 < kMinColumn) c.listWidth = W - 1680 - kMinColumn;
        if (x > W - c.listWidth - kMinColumn - kGap - kFrameAllowance) x = W - c.listWidth - 1680;
        c.treeWidth = x;
        c.split0Left = x;
        c.fileLeft = x + kGap;
        c.fileWidth = W - (c.listWidth + c.treeWidth + kGap + kFrameAllowance);
        c.split1Left = c.fileLeft + c.fileWidth;
        c.listLeft = c.fileLeft + c.fileWidth + kGap;
    } else if (index == 1) {
        if (c.treeWidth + kMinColumn + kGap > x) x = c.treeWidth + 1540;
        if (x > W - kMinColumn - kFrameAllowance) x = W - 1640;
        c.fileWidth = x - c.fileLeft;
        c.split1Left = x;
        c.listLeft = x + kGap;
    } else if (index == 2) {
        c.webHeight = x - bars;
    }

    Layout l;
    c.listWidth = W - (c.fileWidth + c.treeWidth + kGap + kFrameAllowance);

    // The top stack: a hidden element takes no room.
    double y = 0;
    l.toolBar = {0, y, W, env.toolBarHeight};
    if (env.toolBarShown) y += env.toolBarHeight;
    l.customBar = {0, y, W, env.customBarHeight};
    if (env.customBarShown) y += env.customBarHeight;
    l.web = {0, y, W, c.webHeight};
    if (env.webShown) y += c.webHeight;
    l.splitUD = {0, y, W, env.splitUDHeight};
    y += env.splitUDHeight;
    l.titles = {0, y, W, env.titlesHeight};

    l.drvList = {0, 0, c.treeWidth, env.titlesHeight};
    l.cboType = {c.fileLeft + p, 0, c.fileWidth - 2 * p, env.titlesHeight};
    l.txtListName = {c.listLeft + p, 0, c.listWidth - 2 * p, env.titlesHeight};
    l.listFirstColumn = c.listWidth - kListHeadingAllowance;

    const double treeTop = l.titles.top + l.titles.height;
    const double treeHeight =
        env.innerHeight - (env.statusShown ? env.statusHeight : 0) - (l.titles.top + l.titles.height);
    l.tree = {0, treeTop, c.treeWidth, treeHeight};
    l.fileView = {c.fileLeft, treeTop - p, c.fileWidth, treeHeight + 2 * p};
    l.list = {c.listLeft, treeTop - p, c.listWidth, treeHeight + 2 * p};
    l.splitter0 = {c.split0Left, treeTop, kGap, treeHeight};
    l.splitter1 = {c.split1Left, treeTop, kGap, treeHeight};

    l.lblFolderWidth = l.drvList.width - 2 * kPreviewMargin;
    l.lineRight = l.drvList.width;
    l.lineY = env.lblFolderTop + env.lblFolderHeight + kTitleLineOffset;
    l.previewLeft = l.cboType.left + kPreviewMargin;
    l.previewBox = {l.previewLeft, kPreviewMargin, l.cboType.width - 2 * kPreviewMargin,
                    c.webHeight - 2 * kPreviewMargin};
    l.cols = c;
    return l;
}

ResizeDecision onResize(const Columns& c, double w, double h, bool minimised) {
    ResizeDecision d;
    if (minimised) return d;
    d.layout = true;
    d.width = w;
    d.height = h;
    if (w < kMinWindowWidth) {
        d.width = kMinWindowWidth;
        d.snapped = true;
    }
    if (h < kMinWindowHeight) {
        d.height = kMinWindowHeight;
        d.snapped = true;
    }
    if (c.fileWidth >= kMinColumn) {
        d.index = 1;
        d.position = c.split1Left;
    } else {
        d.index = 0;
        d.position = c.split0Left;
    }
    return d;
}

double verticalDragLeft(int index, double pos, const Columns& c, double W) {
    if (index == 0) {
        if (pos < kDragMarginV) return kDragMarginV;
        if (pos > W - c.listWidth - kDragMarginV) return W - c.listWidth - kDragMarginV;
        return pos;
    }
    if (pos < c.treeWidth + kDragMarginV) return c.treeWidth + kDragMarginV;
    if (pos > W - kDragMarginV) return W - kDragMarginV;
    return pos;
}

double horizontalDragTop(double pos, double H) {
    if (pos < kDragTopH) return kDragTopH;
    if (pos > H - kDragBottomH) return H - kDragBottomH;
    return pos;
}

Rect verticalFeedbackBar(const Rect& bar) {
    const long whole = static_cast<long>(bar.width + 0.5);
    return {bar.left, bar.top, static_cast<double>(whole / 2), bar.height - 20};
}

FitSize fitPreview(double w, double h, double webHeight, double cboTypeWidth) {
    FitSize f;
    if (w <= 0 || h <= 0) return f;
    const double rH = (webHeight - 2 * kPreviewMargin) / h;
    const double rW = (cboTypeWidth - 2 * kPreviewMargin) / w;
    const double s = rH >= rW ? rW : rH;
    if (s <= 0) return f;
    f.width = w * s;
    f.height = h * s;
    f.ok = true;
    return f;
}

}  // namespace editor
