// Opening, activation, repaint, the View toggles and the close sequence.
#include "frmFileListEx.h"

#include "FolderPane.h"
#include "IntervalBar.h"
#include "ListPane.h"
#include "PreviewPane.h"
#include "dialogs/mdlMessage.h"
#include "shared/Numeric.h"
#include "shared/Settings.h"
#include "shared/mdlPublic.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

namespace editor {

void frmFileListEx::Form_Load() {
    const OpenView v = readOpenView(ini::Snapshot::load(m_state.settingsPath));

    // 1. The title sits 50 screen pixels below the top of the pane.
    m_preview->setTitleTop(50);

    // 2.-4. and 9. View mode, type filter, the remembered folder (else the
    // tree of the current drive), then column widths and sorting.
    m_folders->restore(v, m_scale);

    // 5.-6. Outer frame and state.
    QRect frame = frameGeometry();
    bool frameGiven = false;
    if (v.left) frame.moveLeft(m_scale.px(*v.left)), frameGiven = true;
    if (v.top) frame.moveTop(m_scale.pxY(*v.top)), frameGiven = true;
    if (v.width && *v.width > 0) frame.setWidth(m_scale.px(*v.width)), frameGiven = true;
    if (v.height && *v.height > 0) frame.setHeight(m_scale.pxY(*v.height)), frameGiven = true;
    if (frameGiven) {
        std::vector<QRect> screens;
        for (const QScreen* sc : QGuiApplication::screens()) screens.push_back(sc->geometry());
        if (const QScreen* primary = QGuiApplication::primaryScreen()) {
            frame = bringOntoScreen(frame, screens, primary->availableGeometry());
        }
        m_wantedFrame = frame;
        move(frame.topLeft());
        resize(frame.size() - (frameGeometry().size() - size()));
    }
    if (v.maximised) setWindowState(windowState() | Qt::WindowMaximized);

    // 7.-8. Splitters.
    if (v.bar1) m_cols.split0Left = *v.bar1;
    if (v.bar2) m_cols.split1Left = *v.bar2;
    if (v.bar3) m_feedbackTop = *v.bar3;

    // 10.-11. Bars and preview.
    const std::pair<QWidget*, QAction*> bars[] = {
        {tbToolBar, mnuViewToolbar}, {tbCustomBar, mnuViewCustombar}, {sbStatusBar, mnuViewStatusBar}, {m_preview, mnuViewPre}};
    const bool shown[] = {v.toolBar, v.customBar, v.statusBar, v.preview};
    for (int i = 0; i < 4; ++i) {
        if (shown[i]) continue;
        bars[i].first->hide();
        bars[i].second->setChecked(false);
    }

    // 12.-13. Interval box and unit.
    m_interval->showValues(m_state.interval, m_state.unit);

    // 14. Horizontal splitter first, then the second and the first vertical one.
    SizeControls(m_feedbackTop, 2);
    SizeControls(m_cols.split1Left, 1);
    SizeControls(m_cols.split0Left, 0);

    // 15. The current list.
    m_list->loadCurrent();
    syncViewModeMarks();
    m_loaded = true;
}

void frmFileListEx::syncViewModeMarks() {
    // The mode's button carries the same action, so it follows.
    const int mode = m_folders->viewMode();
    if (!mnuListViewMode[mode]->isChecked()) mnuListViewMode[mode]->setChecked(true);
}

void frmFileListEx::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_loaded && !m_closing) {
        m_folders->activate();
    } else if (event->type() == QEvent::WindowStateChange) {
        resizeHandling();
    }
}

void frmFileListEx::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    syncViewModeMarks();
}

void frmFileListEx::mnuListViewMode_Click(int mode) {
    m_folders->setViewMode(mode);
    syncViewModeMarks();
}

void frmFileListEx::toggleElement(QWidget* element, const QAction* item) {
    // The trigger has already turned the check mark over.
    if (!item->isChecked()) {
        element->hide();
    } else {
        element->show();
        if (element == m_preview) m_preview->PreClear();
    }
    SizeControls(m_cols.split0Left, 0);
}

// Esc leaves the editor open: it closes only through its menu and the close box.
void frmFileListEx::reject() {}

bool frmFileListEx::event(QEvent* event) {
    // Back from a message box or dialog the editor takes the keyboard again,
    // also where no window manager hands it back.
    if (event->type() == QEvent::WindowUnblocked && isVisible() && !m_closing) activateWindow();
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize) {
        fitWantedFrame();
        noteNormalFrame();
    }
    return QDialog::event(event);
}

namespace {
constexpr Qt::WindowStates kNotNormal = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;
}

void frmFileListEx::noteNormalFrame() {
    if (isVisible() && !(windowState() & kNotNormal)) m_normalFrame = frameGeometry();
}

QRect frmFileListEx::restoredFrame() const {
    if (!(windowState() & kNotNormal)) return frameGeometry();
    if (m_normalFrame) return *m_normalFrame;
    // Never shown in the normal state: the stored frame it opened with, else
    // the normal geometry inside the present frame's margins.
    if (m_wantedFrame) return *m_wantedFrame;
    const QRect frame = frameGeometry();
    const QRect inner = geometry();
    return normalGeometry().marginsAdded(QMargins(inner.left() - frame.left(), inner.top() - frame.top(),
                                                  frame.right() - inner.right(), frame.bottom() - inner.bottom()));
}

void frmFileListEx::closeEvent(QCloseEvent* event) {
    if (m_closing || !closeSequence()) {
        event->ignore();
        return;
    }
    event->accept();
    QDialog::done(QDialog::Accepted);
}

CloseView frmFileListEx::currentView() const {
    CloseView v;
    m_folders->store(v, m_scale);
    m_interval->store(v);
    // Maximised or minimised, the frame the window comes back to: the next
    // opening restores that frame and then maximises.
    const QRect frame = restoredFrame();
    v.left = m_scale.twX(frame.x());
    v.top = m_scale.twY(frame.y());
    v.width = m_scale.twX(frame.width());
    v.height = m_scale.twY(frame.height());
    v.windowState = isMinimized() ? 1 : isMaximized() ? 2 : 0;
    v.intervalValue = m_state.interval;
    v.fileNum = m_state.fileNum;
    v.pageNum = m_state.pageNum;
    v.bar1 = m_cols.split0Left;
    v.bar2 = m_cols.split1Left;
    v.bar3 = m_layout.splitUD.top;
    v.toolBar = !tbToolBar->isHidden();
    v.customBar = !tbCustomBar->isHidden();
    v.statusBar = !sbStatusBar->isHidden();
    v.preview = !m_preview->isHidden();
    // Whole twips at any screen resolution; a pixel is more than one twip, so
    // the rounded value still reopens at the same pixel.
    for (double* t : {&v.left, &v.top, &v.width, &v.height, &v.bar1, &v.bar2, &v.bar3})
        *t = numeric::roundHalfEven(*t);
    return v;
}

bool frmFileListEx::closeSequence() {
    if (m_list->changed()) {
        const int answer = mdlMessage::msgBox(kLeavePrompt, mdlMessage::kQuestion + mdlMessage::kYesNoCancel,
                                              mdlMessage::kTitleVistrova, this);
        if (answer == mdlMessage::kCancel) return false;
        // A store that failed keeps the window open, so the edits are not lost.
        if (answer == mdlMessage::kYes && m_list->store() == ListPane::StoreOutcome::Failed) return false;
    }
    m_closing = true;
    const std::vector<settings::Entry> values = closeValues(currentView());
    // A file that cannot be written loses the values: the user is told, and
    // the window closes all the same.
    const std::string& settingsPath = m_state.settingsPath;
    if (!settings::writeMany(settingsPath, values)) mdlMessage::settingsNotStored(settingsPath, this);
    m_list->handOver();
    m_preview->PreClear();
    return true;
}

}  // namespace editor
