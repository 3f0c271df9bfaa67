// The folder browser: drive change, tree expansion, folder listing, the path
// walk of tvRefresh and the selection feedback.
#include "frmFileListEx.h"

#include "EditorIcons.h"
#include "FileView.h"
#include "dialogs/PlainText.h"
#include "shared/FileKinds.h"

#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTreeWidget>

namespace editor {

namespace {
constexpr int kPathRole = Qt::UserRole + 1;
constexpr int kKeyRole = Qt::UserRole + 2;
constexpr int kLoadedRole = Qt::UserRole + 3;

// Folders only: a pipe, a device, a socket or a broken or looping link is none.
QStringList ScanFolders(const QString& folderPath) {
    QStringList out;
    for (const std::string& raw : files::ScanFolders(ToRawName(folderPath))) {
        const QString name = FromRawName(raw);
        if (IsListedFolderName(name)) out << name;
    }
    return out;
}
}  // namespace

QString frmFileListEx::currentDrive() const { return drvList->currentText(); }

QString frmFileListEx::folderPathOf(QTreeWidgetItem* node) const {
    return node ? node->data(0, kPathRole).toString() : QString();
}

QTreeWidgetItem* frmFileListEx::addFolderNode(QTreeWidgetItem* parent, const QString& name) {
    auto* node = new QTreeWidgetItem(parent, {name});
    node->setData(0, kKeyRole, QStringLiteral("C%1").arg(m_nodeCounter));
    node->setData(0, kPathRole, folderPathOf(parent) + name + QLatin1Char('/'));
    node->setIcon(0, FolderIcon());
    ++m_nodeCounter;
    return node;
}

void frmFileListEx::folderScan(QTreeWidgetItem* node) {
    for (const QString& name : ScanFolders(folderPathOf(node))) addFolderNode(node, name);
}

void frmFileListEx::setFolderTitle(const QString& text) {
    if (lblFolder->text() == text) return;
    plaintext::SetText(lblFolder, text);
    // Title change: the line follows the grown label, the pane below it empties.
    const int w = lblFolder->width();
    lblFolder->resize(w, qMax(lblFolder->heightForWidth(w), lblFolder->fontMetrics().height()));
    if (m_laidOut) {
        m_layout.lineY = m_lblFolderTop + twY(lblFolder->height()) + kTitleLineOffset;
        linWebBar->setGeometry(0, pxY(m_layout.lineY), px(m_layout.lineRight), 1);
    }
    PreClear();
}

void frmFileListEx::drvList_Change() {
    lvListView->clear();
    tvTreeView->blockSignals(true);
    tvTreeView->clear();
    tvTreeView->blockSignals(false);
    m_nodeCounter = 1;
    const QString drive = currentDrive();
    if (drive.isEmpty()) return;
    auto* root = new QTreeWidgetItem(tvTreeView, {drive});
    root->setData(0, kKeyRole, QStringLiteral("R"));
    root->setData(0, kPathRole, RootFolderPath(drive));
    root->setIcon(0, FolderIcon());
    folderScan(root);
    tvTreeView->expandItem(root);  // reads the subfolders of every top-level folder
    setCurrentFolderPath(RootFolderPath(drive));
    setFolderTitle(drive);
    tvTreeView->setCurrentItem(root);
}

void frmFileListEx::tvTreeView_Expand(QTreeWidgetItem* node) {
    if (!node || node->data(0, kLoadedRole).toBool()) return;
    node->setData(0, kLoadedRole, true);
    for (int i = 0; i < node->childCount(); ++i) folderScan(node->child(i));
}

void frmFileListEx::tvTreeView_Click() {
    QTreeWidgetItem* node = tvTreeView->currentItem();
    if (!node) return;
    const QString path = folderPathOf(node);
    if (path == currentFolderPath()) return;
    setCurrentFolderPath(path);
    setFolderTitle(node->text(0));
    lvListView->clear();
    const int filter = cboType->currentIndex();
    // Scanned by raw name: a listing through QDir drops names that are not UTF-8.
    const std::vector<files::ScannedFile> scanned = files::ScanFiles(ToRawName(path));
    std::vector<std::pair<FileRow, QIcon>> rows;
    rows.reserve(scanned.size());
    for (const files::ScannedFile& f : scanned) {
        const QDateTime modified = f.modified ? QDateTime::fromMSecsSinceEpoch(*f.modified) : QDateTime();
        if (auto row = MakeFileRow(filter, path, FromRawName(f.name), modified)) {
            QIcon icon = TypeIcon(row->type);
            rows.emplace_back(std::move(*row), std::move(icon));
        }
    }
    lvListView->addRows(rows);
    lvListView->sortNow();
    lvListView->focusFirstWithoutSelection();
}

void frmFileListEx::tvRefresh(const QString& folderPath) {
    lvListView->clear();
    drvList_Change();
    QTreeWidgetItem* node = tvTreeView->topLevelItem(0);
    if (node) {
        // A segment not found ends the walk at the deepest folder found.
        for (const QString& segment : WalkSegments(folderPath, currentDrive())) {
            QStringList texts;
            for (int i = 0; i < node->childCount(); ++i) texts << node->child(i)->text(0);
            const int found = FindChild(texts, segment);
            if (found < 0) break;
            node = node->child(found);
            tvTreeView->setCurrentItem(node);
            tvTreeView->expandItem(node);
            tvTreeView_Expand(node);
        }
    }
    if (QTreeWidgetItem* selected = tvTreeView->currentItem()) tvTreeView->scrollToItem(selected);
    tvTreeView->setFocus();
    tvTreeView_Click();
}

void frmFileListEx::lvListView_Click() {
    if (QTreeWidgetItem* n = tvTreeView->currentItem()) setFolderTitle(n->text(0));
    if (!pctWeb->isHidden() && isVisible()) {
        const QStringList keys = lvListView->selectedKeys();
        SelectionRule(lvListView->selectedNames(), keys.size() == 1 ? keys.first() : QString());
    }
    lvListView->setFocusToView();
}

bool frmFileListEx::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tvTreeView) {
        // A held key acts once (the window drops releases of keys pressed elsewhere).
        if (event->type() == QEvent::KeyRelease && !static_cast<QKeyEvent*>(event)->isAutoRepeat())
            tvTreeView_Click();
        else if (event->type() == QEvent::FocusIn) {
            if (QTreeWidgetItem* n = tvTreeView->currentItem()) setFolderTitle(n->text(0));
        }
        return false;
    }
    for (int i = 0; i < 2; ++i) {
        if (watched != imgSplitter[i] && !(i == 1 && watched == pctSplitUD)) continue;
        const int bar = watched == pctSplitUD ? 2 : i;
        auto* me = static_cast<QMouseEvent*>(event);
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            splitterPress(bar, me->position().toPoint());
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
