// Applying the layout rules to the elements: SizeControls, the resize
// handling and the three splitter drags. The arithmetic is in EditorLayout.
#include "frmFileListEx.h"

#include "FolderPane.h"
#include "ListPane.h"
#include "PreviewPane.h"

#include <QMenuBar>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include <cmath>

namespace editor {

LayoutEnv frmFileListEx::layoutEnv() const {
    LayoutEnv e;
    const QRect frame = frameGeometry();
    e.outerWidth = m_scale.twX(frame.width());
    e.outerHeight = m_scale.twY(frame.height());
    e.innerHeight = m_scale.twY(height() - (m_menuBar->isHidden() ? 0 : m_menuBar->sizeHint().height()));
    e.pixel = wholePixel(m_scale.x);
    e.toolBarHeight = m_scale.twY(kBarPixels);
    e.toolBarShown = !tbToolBar->isHidden();
    e.customBarHeight = m_scale.twY(kBarPixels);
    e.customBarShown = !tbCustomBar->isHidden();
    e.webShown = !m_preview->isHidden();
    e.splitUDHeight = kSplitUDHeight;
    e.titlesHeight = m_scale.twY(kTitlesPixels);
    e.statusHeight = m_scale.twY(sbStatusBar->sizeHint().height());
    e.statusShown = !sbStatusBar->isHidden();
    e.lblFolderTop = m_preview->titleTop();
    e.lblFolderHeight = m_preview->titleHeight();
    return e;
}

void frmFileListEx::SizeControls(double position, int index) {
    const LayoutEnv env = layoutEnv();
    m_layout = editor::SizeControls(m_cols, position, index, env);
    m_cols = m_layout.cols;
    applyLayout();
}

void frmFileListEx::applyLayout() {
    const Layout& l = m_layout;
    const int clientWidth = m_client->width();
    const auto full = [&](QWidget* w, const Rect& r) {
        w->setGeometry(0, m_scale.pxY(r.top), clientWidth, qMax(0, m_scale.pxY(r.top + r.height) - m_scale.pxY(r.top)));
    };
    full(tbToolBar, l.toolBar);
    full(tbCustomBar, l.customBar);
    full(m_preview, l.web);
    full(pctSplitUD, l.splitUD);
    // The heading strip's elements sit over their columns.
    const auto heading = [&](const Rect& r) { return m_scale.rect(r).translated(0, m_scale.pxY(l.titles.top)); };
    m_folders->place(heading(l.drvList), heading(l.cboType), m_scale.rect(l.tree), m_scale.rect(l.fileView));
    m_list->place(heading(l.txtListName), m_scale.rect(l.list), l.listFirstColumn >= 0 ? m_scale.px(l.listFirstColumn) : -1);
    imgSplitter[0]->setGeometry(m_scale.rect(l.splitter0));
    imgSplitter[1]->setGeometry(m_scale.rect(l.splitter1));
    const int statusHeight = sbStatusBar->sizeHint().height();
    sbStatusBar->setGeometry(0, m_client->height() - statusHeight, clientWidth, statusHeight);
    m_preview->applyLayout(l);
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
    const ResizeDecision d = onResize(m_cols, m_scale.twX(frame.width()), m_scale.twY(frame.height()), isMinimized());
    if (!d.layout) return;
    if (d.snapped) {
        m_inResize = true;
        const QSize extra = frame.size() - size();
        // Whole pixels at or above the least size.
        const int w = static_cast<int>(std::ceil(d.width / m_scale.x - 1e-9));
        const int h = static_cast<int>(std::ceil(d.height / m_scale.y - 1e-9));
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

void frmFileListEx::splitterPress(int bar) {
    if (bar == 2) {
        picSplitter[1]->setGeometry(pctSplitUD->geometry());
        m_feedbackTop = m_layout.splitUD.top;
        picSplitter[1]->show();
        picSplitter[1]->raise();
    } else {
        const Rect& b = bar == 0 ? m_layout.splitter0 : m_layout.splitter1;
        const Rect f = verticalFeedbackBar({b.left, b.top, kSplitterBarWidth, b.height});
        m_feedbackLeft = f.left;
        picSplitter[0]->setGeometry(m_scale.rect(f));
        picSplitter[0]->show();
        picSplitter[0]->raise();
    }
    m_dragging = true;
}

void frmFileListEx::splitterMove(int bar, const QPoint& pos) {
    if (!m_dragging) return;
    const LayoutEnv env = layoutEnv();
    if (bar == 2) {
        m_feedbackTop = horizontalDragTop(m_layout.splitUD.top + m_scale.twY(pos.y()), env.outerHeight);
        picSplitter[1]->move(picSplitter[1]->x(), m_scale.pxY(m_feedbackTop));
    } else {
        const double barLeft = bar == 0 ? m_cols.split0Left : m_cols.split1Left;
        m_feedbackLeft = verticalDragLeft(bar, barLeft + m_scale.twX(pos.x()), m_cols, env.outerWidth);
        picSplitter[0]->move(m_scale.px(m_feedbackLeft), picSplitter[0]->y());
    }
}

void frmFileListEx::splitterRelease(int bar) {
    if (bar == 2) {
        SizeControls(m_feedbackTop, 2);
        m_preview->WebReSize();
        m_dragging = false;
        picSplitter[1]->hide();
    } else {
        SizeControls(m_feedbackLeft, bar);
        picSplitter[0]->hide();
        m_dragging = false;
    }
}


bool frmFileListEx::eventFilter(QObject* watched, QEvent* event) {
    for (int i = 0; i < 2; ++i) {
        if (watched != imgSplitter[i] && !(i == 1 && watched == pctSplitUD)) continue;
        const int bar = watched == pctSplitUD ? 2 : i;
        auto* me = static_cast<QMouseEvent*>(event);
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            splitterPress(bar);
            return true;
        case QEvent::MouseMove:
            splitterMove(bar, me->position().toPoint());
            return true;
        case QEvent::MouseButtonRelease:
            splitterRelease(bar);
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace editor
