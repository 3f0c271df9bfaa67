// Opening, activation, repaint, the View toggles and the close sequence.
#include "frmFileListEx.h"

#include "FileView.h"
#include "dialogs/mdlMessage.h"
#include "platform/Volumes.h"
#include "shared/ListStore.h"
#include "shared/Numeric.h"
#include "shared/Settings.h"
#include "shared/mdlPublic.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>

namespace editor {

void frmFileListEx::Form_Load() {
    const mdlPublic::PublicState& pub = mdlPublic::Public();
    const OpenView v = ReadOpenView(ini::Snapshot::Load(pub.settingsPath));

    // 1. The title sits 50 screen pixels below the top of the pane.
    m_lblFolderTop = 50 * m_tppY;
    lblFolder->move(lblFolder->x(), 50);

    // 2.-3. View mode and type filter.
    lvListView->setViewMode(v.viewMode);
    cboType->setCurrentIndex(v.pattern);

    // 4. The remembered folder, else the tree of the current drive.
    const int rememberedDrive = drvList->currentIndex();
    const QString defPath = QString::fromStdString(v.defPath);
    QString drive;
    if (!defPath.isEmpty()) {
        drive = DriveOf(defPath, platform::MountRoots());
        const int i = drive.isEmpty() ? -1 : drvList->findText(drive);
        if (i >= 0) drvList->setCurrentIndex(i);  // a different drive runs drvList_Change
    }
    if (!drive.isEmpty() && defPath.size() > RootFolderPath(drive).size() && drvList->currentText() == drive)
        tvRefresh(defPath);
    else if (drvList->currentIndex() == rememberedDrive)
        drvList_Change();

    // 5.-6. Outer frame and state.
    QRect frame = frameGeometry();
    bool frameGiven = false;
    if (v.left) frame.moveLeft(px(*v.left)), frameGiven = true;
    if (v.top) frame.moveTop(pxY(*v.top)), frameGiven = true;
    if (v.width && *v.width > 0) frame.setWidth(px(*v.width)), frameGiven = true;
    if (v.height && *v.height > 0) frame.setHeight(pxY(*v.height)), frameGiven = true;
    if (frameGiven) {
        std::vector<QRect> screens;
        for (const QScreen* sc : QGuiApplication::screens()) screens.push_back(sc->geometry());
        if (const QScreen* primary = QGuiApplication::primaryScreen()) {
            frame = BringOntoScreen(frame, screens, primary->availableGeometry());
        }
        m_wantedFrame = frame;
        move(frame.topLeft());
        resize(frame.size() - (frameGeometry().size() - size()));
    }
    if (v.maximised) setWindowState(windowState() | Qt::WindowMaximized);

    // 7.-9. Splitters, column widths, sorting.
    if (v.bar1) m_cols.split0Left = *v.bar1;
    if (v.bar2) m_cols.split1Left = *v.bar2;
    if (v.bar3) m_feedbackTop = *v.bar3;
    const std::optional<double> heads[] = {v.head1, v.head2, v.head3};
    for (int i = 0; i < 3; ++i)
        if (heads[i]) lvListView->setColumnWidth(i, px(*heads[i]));
    if (v.sortKey) lvListView->setSort(*v.sortKey, lvListView->sortOrder());
    if (v.sortOrder) lvListView->setSort(lvListView->sortColumn(), *v.sortOrder);

    // 10.-11. Bars and preview.
    const std::pair<QWidget*, QAction*> bars[] = {
        {tbToolBar, mnuViewToolbar}, {tbCustomBar, mnuViewCustombar}, {sbStatusBar, mnuViewStatusBar}, {pctWeb, mnuViewPre}};
    const bool shown[] = {v.toolBar, v.customBar, v.statusBar, v.preview};
    for (int i = 0; i < 4; ++i) {
        if (shown[i]) continue;
        bars[i].first->hide();
        bars[i].second->setChecked(false);
    }

    // 12.-13. Interval box and unit.
    txtTime->setText(QString::number(pub.interval));
    {
        // The slider follows the box, never the reverse: a value above its range stays in the box.
        const QSignalBlocker block(sldTime);
        sldTime->setValue(qBound(0, int(pub.interval), 99));
    }
    optTime[pub.unit != 0 ? 1 : 0]->setChecked(true);

    // 14. Horizontal splitter first, then the second and the first vertical one.
    SizeControls(m_feedbackTop, 2);
    SizeControls(m_cols.split1Left, 1);
    SizeControls(m_cols.split0Left, 0);

    // 15. The current list.
    loadCurrentList();
    syncViewModeMarks();
    m_loaded = true;
}

void frmFileListEx::syncViewModeMarks() {
    const int mode = lvListView->viewMode();
    if (!mnuListViewMode[mode]->isChecked()) mnuListViewMode[mode]->setChecked(true);
    if (!m_viewButtons[mode]->isChecked()) m_viewButtons[mode]->setChecked(true);
}

void frmFileListEx::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_loaded && !m_closing) {
        tvTreeView->setFocus();
        tvTreeView_Click();
    } else if (event->type() == QEvent::WindowStateChange) {
        resizeHandling();
    }
}

void frmFileListEx::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    syncViewModeMarks();
}

void frmFileListEx::mnuListViewMode_Click(int mode) {
    lvListView->setViewMode(mode);
    syncViewModeMarks();
}

void frmFileListEx::lvListView_ColumnClick(int column) {
    const SortState next = SortAfter({lvListView->sortColumn(), lvListView->sortOrder()}, column);
    lvListView->setSort(next.column, next.order);
}

void frmFileListEx::toggleElement(QWidget* element, QAction* item) {
    if (item->isChecked()) {
        element->hide();
        item->setChecked(false);
    } else {
        element->show();
        item->setChecked(true);
        if (element == pctWeb) PreClear();
    }
    SizeControls(m_cols.split0Left, 0);
}

void frmFileListEx::mnuViewToolbar_Click() { toggleElement(tbToolBar, mnuViewToolbar); }
void frmFileListEx::mnuViewCustombar_Click() { toggleElement(tbCustomBar, mnuViewCustombar); }
void frmFileListEx::mnuViewStatusBar_Click() { toggleElement(sbStatusBar, mnuViewStatusBar); }
void frmFileListEx::mnuViewPre_Click() { toggleElement(pctWeb, mnuViewPre); }
void frmFileListEx::mnuViewRefresh_Click() { tvRefresh(currentFolderPath()); }

// Esc leaves the editor open: it closes only through its menu and the close box.
void frmFileListEx::reject() {}

bool frmFileListEx::event(QEvent* event) {
    // Back from a message box or dialog the editor takes the keyboard again,
    // also where no window manager hands it back.
    if (event->type() == QEvent::WindowUnblocked && isVisible() && !m_closing) activateWindow();
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize) fitWantedFrame();
    return QDialog::event(event);
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
    const mdlPublic::PublicState& pub = mdlPublic::Public();
    CloseView v;
    v.defPath = currentFolderPath().toStdString();
    const QRect frame = frameGeometry();
    v.left = frame.x() * m_tppX;
    v.top = frame.y() * m_tppY;
    v.width = frame.width() * m_tppX;
    v.height = frame.height() * m_tppY;
    v.windowState = isMinimized() ? 1 : isMaximized() ? 2 : 0;
    v.viewMode = lvListView->viewMode();
    v.pattern = cboType->currentIndex();
    v.intervalText = txtTime->text().toStdString();
    v.intervalValue = pub.interval;
    v.unit = optTime[0]->isChecked() ? 0 : 1;
    v.fileNum = pub.fileNum;
    v.pageNum = pub.pageNum;
    v.bar1 = m_cols.split0Left;
    v.bar2 = m_cols.split1Left;
    v.bar3 = m_layout.splitUD.top;
    v.head1 = lvListView->columnWidth(0) * m_tppX;
    v.head2 = lvListView->columnWidth(1) * m_tppX;
    v.head3 = lvListView->columnWidth(2) * m_tppX;
    v.sortKey = lvListView->sortColumn();
    v.sortOrder = lvListView->sortOrder();
    v.toolBar = !tbToolBar->isHidden();
    v.customBar = !tbCustomBar->isHidden();
    v.statusBar = !sbStatusBar->isHidden();
    v.preview = !pctWeb->isHidden();
    // Whole twips at any screen resolution; a pixel is more than one twip, so
    // the rounded value still reopens at the same pixel.
    for (double* t : {&v.left, &v.top, &v.width, &v.height, &v.bar1, &v.bar2, &v.bar3, &v.head1, &v.head2, &v.head3})
        *t = numeric::RoundHalfEven(*t);
    return v;
}

bool frmFileListEx::closeSequence() {
    if (m_changed) {
        const int answer = mdlMessage::MsgBox(
            QStringLiteral("ファイルリストは変更されています。\r\n変更点を保存しますか？"), 35, mdlMessage::kTitleVistrova, this);
        if (answer == mdlMessage::kCancel) return false;
        // A store that failed keeps the window open, so the edits are not lost.
        if (answer == mdlMessage::kYes && storeCurrentList() == StoreOutcome::Failed) return false;
    }
    m_closing = true;
    const std::vector<std::pair<std::string_view, std::string>> values = CloseValues(currentView());
    // A file that cannot be written loses the values; the window closes all the same.
    settings::WriteMany(mdlPublic::Public().settingsPath, values);

    std::vector<liststore::Entry> entries;
    for (int i = 0; i < lvList->topLevelItemCount() && i < liststore::kMaxEntries; ++i) {
        const QTreeWidgetItem* it = lvList->topLevelItem(i);
        entries.push_back({it->text(0).toStdString(), it->text(1).toStdString()});
    }
    liststore::HandOver(mdlPublic::Public().playList, entries);
    PreClear();
    return true;
}

}  // namespace editor
