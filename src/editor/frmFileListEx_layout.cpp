// Applying the layout rules to the elements: SizeControls, the resize
// handling and the three splitter drags. The arithmetic is in EditorLayout.
#include "frmFileListEx.h"

#include "FileView.h"

#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QResizeEvent>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

#include <cmath>

namespace editor {

int frmFileListEx::px(double twips) const { return qRound(twips / m_tppX); }
int frmFileListEx::pxY(double twips) const { return qRound(twips / m_tppY); }
double frmFileListEx::twX(int pixels) const { return pixels * m_tppX; }
double frmFileListEx::twY(int pixels) const { return pixels * m_tppY; }

void frmFileListEx::setTwipsGeometry(QWidget* w, const Rect& r) const {
    // A negative size is refused, as the element would; the place still applies.
    w->setGeometry(px(r.left), pxY(r.top), qMax(0, px(r.width)), qMax(0, pxY(r.height)));
}

LayoutEnv frmFileListEx::layoutEnv() const {
    LayoutEnv e;
    const QRect frame = frameGeometry();
    e.outerWidth = twX(frame.width());
    e.outerHeight = twY(frame.height());
    e.innerHeight = twY(height() - (m_menuBar->isHidden() ? 0 : m_menuBar->sizeHint().height()));
    e.pixel = WholePixel(m_tppX);
    e.toolBarHeight = twY(kBarPixels);
    e.toolBarShown = !tbToolBar->isHidden();
    e.customBarHeight = twY(kBarPixels);
    e.customBarShown = !tbCustomBar->isHidden();
    e.webShown = !pctWeb->isHidden();
    e.splitUDHeight = kSplitUDHeight;
    e.titlesHeight = twY(kTitlesPixels);
    e.statusHeight = twY(sbStatusBar->sizeHint().height());
    e.statusShown = !sbStatusBar->isHidden();
    e.lblFolderTop = m_lblFolderTop;
    e.lblFolderHeight = twY(lblFolder->height());
    return e;
}

void frmFileListEx::SizeControls(double position, int index) {
    const LayoutEnv env = layoutEnv();
    m_layout = editor::SizeControls(m_cols, position, index, env);
    m_cols = m_layout.cols;
    m_laidOut = true;
    applyLayout();
}

void frmFileListEx::applyLayout() {
    const Layout& l = m_layout;
    const int clientWidth = m_client->width();
    const auto full = [&](QWidget* w, const Rect& r) {
        w->setGeometry(0, pxY(r.top), clientWidth, qMax(0, pxY(r.top + r.height) - pxY(r.top)));
    };
    full(tbToolBar, l.toolBar);
    full(tbCustomBar, l.customBar);
    full(pctWeb, l.web);
    full(pctSplitUD, l.splitUD);
    full(picTitles, l.titles);
    setTwipsGeometry(drvList, l.drvList);
    setTwipsGeometry(cboType, l.cboType);
    setTwipsGeometry(txtListName, l.txtListName);
    setTwipsGeometry(tvTreeView, l.tree);
    setTwipsGeometry(lvListView, l.fileView);
    setTwipsGeometry(lvList, l.list);
    setTwipsGeometry(imgSplitter[0], l.splitter0);
    setTwipsGeometry(imgSplitter[1], l.splitter1);
    if (l.listFirstColumn >= 0) lvList->setColumnWidth(0, px(l.listFirstColumn));
    const int statusHeight = sbStatusBar->sizeHint().height();
    sbStatusBar->setGeometry(0, m_client->height() - statusHeight, clientWidth, statusHeight);

    if (l.lblFolderWidth >= 0) {
        const int w = px(l.lblFolderWidth);
        lblFolder->setGeometry(lblFolder->x(), pxY(m_lblFolderTop), w,
                               qMax(lblFolder->heightForWidth(w), lblFolder->fontMetrics().height()));
    }
    const double lineY = m_lblFolderTop + twY(lblFolder->height()) + kTitleLineOffset;
    m_layout.lineY = lineY;
    linWebBar->setGeometry(0, pxY(lineY), qMax(0, px(l.lineRight)), 1);
    for (QWidget* w : {static_cast<QWidget*>(imgPre), mplPre->widget(), static_cast<QWidget*>(lblNum)})
        w->move(px(l.previewLeft), w->y());
    if (!imgPre->isHidden() || !mplPre->widget()->isHidden()) WebReSize();
}

void frmFileListEx::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    const int menuHeight = m_menuBar->sizeHint().height();
    m_menuBar->setGeometry(0, 0, width(), menuHeight);
    m_client->setGeometry(0, menuHeight, width(), height() - menuHeight);
    resizeHandling();
}

void frmFileListEx::resizeHandling() {
    if (m_inResize) return;
    const QRect frame = frameGeometry();
    const ResizeDecision d = OnResize(m_cols, twX(frame.width()), twY(frame.height()), isMinimized());
    if (!d.layout) return;
    if (d.snapped) {
        m_inResize = true;
        const QSize extra = frame.size() - size();
        // Whole pixels at or above the least size.
        const int w = static_cast<int>(std::ceil(d.width / m_tppX - 1e-9));
        const int h = static_cast<int>(std::ceil(d.height / m_tppY - 1e-9));
        resize(w - extra.width(), h - extra.height());
        m_inResize = false;
    }
    SizeControls(d.position, d.index);
}

void frmFileListEx::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_wantedFrame) return;
    // Under a window manager the frame is known only once it has taken the
    // window, some time after the show: fit again whenever its size changes.
    m_fittedMargins.reset();
    QTimer::singleShot(0, this, [this] { fitWantedFrame(); });
}

void frmFileListEx::fitWantedFrame() {
    if (!m_wantedFrame || !isVisible() || isMaximized() || isMinimized()) return;
    const QRect frame = frameGeometry();
    const QRect inner = geometry();
    const QMargins margins(inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
                           frame.bottom() - inner.bottom());
    if (m_fittedMargins == margins) return;
    m_fittedMargins = margins;
    // The outer frame becomes what was stored, so a close writes the same values again.
    const QRect wanted = *m_wantedFrame;
    if (frame.size() != wanted.size()) resize(wanted.size() - (frame.size() - size()));
    if (frame.topLeft() != wanted.topLeft()) move(wanted.topLeft());
}

void frmFileListEx::splitterPress(int bar, const QPoint&) {
    if (bar == 2) {
        picSplitter[1]->setGeometry(pctSplitUD->geometry());
        m_feedbackTop = m_layout.splitUD.top;
        picSplitter[1]->show();
        picSplitter[1]->raise();
    } else {
        const Rect& b = bar == 0 ? m_layout.splitter0 : m_layout.splitter1;
        const Rect f = VerticalFeedbackBar({b.left, b.top, kSplitterBarWidth, b.height});
        m_feedbackLeft = f.left;
        setTwipsGeometry(picSplitter[0], f);
        picSplitter[0]->show();
        picSplitter[0]->raise();
    }
    m_dragging = true;
}

void frmFileListEx::splitterMove(int bar, const QPoint& pos) {
    if (!m_dragging) return;
    const LayoutEnv env = layoutEnv();
    if (bar == 2) {
        m_feedbackTop = HorizontalDragTop(m_layout.splitUD.top + twY(pos.y()), env.outerHeight);
        picSplitter[1]->move(picSplitter[1]->x(), pxY(m_feedbackTop));
    } else {
        const double barLeft = bar == 0 ? m_cols.split0Left : m_cols.split1Left;
        m_feedbackLeft = VerticalDragLeft(bar, barLeft + twX(pos.x()), m_cols, env.outerWidth);
        picSplitter[0]->move(px(m_feedbackLeft), picSplitter[0]->y());
    }
}

void frmFileListEx::splitterRelease(int bar) {
    if (bar == 2) {
        SizeControls(m_feedbackTop, 2);
        WebReSize();
        m_dragging = false;
        picSplitter[1]->hide();
    } else {
        SizeControls(m_feedbackLeft, bar);
        picSplitter[0]->hide();
        m_dragging = false;
    }
}

}  // namespace editor
