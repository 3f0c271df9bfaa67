#include "FolderPane.h"

#include "EditorCommands.h"
#include "EditorIcons.h"
#include "EditorRules.h"
#include "FileView.h"
#include "TwipsScale.h"
#include "platform/Volumes.h"
#include "shared/FileKinds.h"
#include "shared/MediaTypes.h"
#include "shared/Numeric.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDateTime>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QTreeWidget>

#include <algorithm>

namespace editor {

namespace {
constexpr int kPathRole = Qt::UserRole + 1;
constexpr int kKeyRole = Qt::UserRole + 2;
constexpr int kLoadedRole = Qt::UserRole + 3;

// Folders only, in the tree's order: a pipe, a device, a socket or a broken or looping link is none.
QStringList scanFolders(const QString& folderPath) {
    QStringList out;
    for (const std::string& raw : files::scanFolders(toRawName(folderPath))) {
        const QString name = fromRawName(raw);
        if (isListedFolderName(name)) out << name;
    }
    std::sort(out.begin(), out.end(), folderNameLess);
    return out;
}

PaneEntry entryOfRow(const QAbstractItemModel* model, int row) {
    const QModelIndex name = model->index(row, 0);
    return {name.data().toString(), name.data(FileView::kKeyRole).toString(), model->index(row, 1).data().toString()};
}
}  // namespace

FolderPane::FolderPane(QWidget* parent) : QWidget(parent) {
    drvList = new QComboBox(this);
    drvList->setObjectName(QStringLiteral("drvList"));
    drvList->setToolTip(QStringLiteral("ドライブの変更"));
    drvList->addItems(platform::mountRoots());
    cboType = new QComboBox(this);
    cboType->setObjectName(QStringLiteral("cboType"));
    cboType->setToolTip(QStringLiteral("ファイルの種類"));
    for (std::string_view name : media::kFilterNames) cboType->addItem(QString::fromLatin1(name.data(), int(name.size())));
    cboType->setCurrentIndex(media::kFilterAll);
    connect(drvList, &QComboBox::currentIndexChanged, this, [this] { drvList_Change(); });
    connect(cboType, &QComboBox::currentIndexChanged, this, &FolderPane::filterChanged);

    tvTreeView = new QTreeWidget(this);
    tvTreeView->setObjectName(QStringLiteral("tvTreeView"));
    tvTreeView->setHeaderHidden(true);
    // Names stay whole: the tree's one column is as wide as its widest shown
    // node, and the tree scrolls sideways when that is wider than the tree.
    tvTreeView->header()->setStretchLastSection(false);
    tvTreeView->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    tvTreeView->setTextElideMode(Qt::ElideNone);
    tvTreeView->setToolTip(QStringLiteral("フォルダの選択"));
    tvTreeView->installEventFilter(this);
    connect(tvTreeView, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* n) { tvTreeView_Expand(n); });
    connect(tvTreeView, &QTreeWidget::itemClicked, this, [this] { tvTreeView_Click(); });

    lvListView = new FileView(this);
    lvListView->setObjectName(QStringLiteral("lvListView"));
    lvListView->setToolTip(QStringLiteral("ダブルクリックでファイルリストに追加"));
    connect(lvListView, &FileView::clicked, this, [this] { lvListView_Click(); });
    connect(lvListView, &FileView::keyReleased, this, [this] { lvListView_Click(); });
    connect(lvListView, &FileView::gotFocus, this, [this] { showNodeTitle(); });
    connect(lvListView, &FileView::columnClicked, this, [this](int c) { sortBy(c); });
    connect(lvListView, &FileView::doubleClicked, this, [this] { lvListView_DblClick(); });
}

void FolderPane::place(const QRect& drive, const QRect& type, const QRect& tree, const QRect& files) {
    const QRect all = drive.united(type).united(tree).united(files);
    setGeometry(all);
    const QPoint origin = all.topLeft();
    drvList->setGeometry(drive.translated(-origin));
    cboType->setGeometry(type.translated(-origin));
    tvTreeView->setGeometry(tree.translated(-origin));
    lvListView->setGeometry(files.translated(-origin));
}

void FolderPane::restore(const OpenView& v, const TwipsScale& scale) {
    lvListView->setViewMode(v.viewMode);
    setFilter(v.pattern);
    open(QString::fromStdString(v.defPath));
    const std::optional<double> heads[] = {v.head1, v.head2, v.head3};
    for (int i = 0; i < 3; ++i)
        if (heads[i]) lvListView->setColumnWidth(i, scale.px(*heads[i]));
    if (v.sortKey) lvListView->setSort(*v.sortKey, lvListView->sortOrder());
    if (v.sortOrder) lvListView->setSort(lvListView->sortColumn(), *v.sortOrder);
}

void FolderPane::store(CloseView& v, const TwipsScale& scale) const {
    v.defPath = m_folderPath.toStdString();
    v.viewMode = static_cast<std::int16_t>(lvListView->viewMode());
    v.pattern = static_cast<std::int16_t>(filter());
    // Whole twips: a pixel is more than one twip, so the width reopens at the same pixel.
    const auto head = [&](int column) { return numeric::roundHalfEven(scale.twX(lvListView->columnWidth(column))); };
    v.head1 = head(0);
    v.head2 = head(1);
    v.head3 = head(2);
    v.sortKey = static_cast<std::int16_t>(lvListView->sortColumn());
    v.sortOrder = static_cast<std::int16_t>(lvListView->sortOrder());
}

int FolderPane::viewMode() const { return lvListView->viewMode(); }
void FolderPane::setViewMode(int mode) { lvListView->setViewMode(mode); }
void FolderPane::arrangeAlongLeft() { lvListView->setArrangement(kArrangeLeft); }

void FolderPane::refresh() {
    // A copy: the walk changes the current folder as it goes.
    const QString path = m_folderPath;
    tvRefresh(path);
}

void FolderPane::activate() {
    tvTreeView->setFocus();
    tvTreeView_Click();
}

int FolderPane::filter() const { return cboType->currentIndex(); }

void FolderPane::setFilter(int index) { cboType->setCurrentIndex(index); }

void FolderPane::open(const QString& defPath) {
    const int rememberedDrive = drvList->currentIndex();
    QString drive;
    if (!defPath.isEmpty()) {
        drive = driveOf(defPath, platform::mountRoots());
        const int i = drive.isEmpty() ? -1 : drvList->findText(drive);
        if (i >= 0) drvList->setCurrentIndex(i);  // a different drive runs drvList_Change
    }
    if (!drive.isEmpty() && defPath.size() > rootFolderPath(drive).size() && drvList->currentText() == drive)
        tvRefresh(defPath);
    else if (drvList->currentIndex() == rememberedDrive)
        drvList_Change();
}

QString FolderPane::folderPathOf(QTreeWidgetItem* node) const {
    return node ? node->data(0, kPathRole).toString() : QString();
}

QTreeWidgetItem* FolderPane::addFolderNode(QTreeWidgetItem* parent, const QString& name) {
    auto* node = new QTreeWidgetItem(parent, {name});
    node->setData(0, kKeyRole, QStringLiteral("C%1").arg(m_nodeCounter));
    node->setData(0, kPathRole, folderPathOf(parent) + name + QLatin1Char('/'));
    node->setIcon(0, folderIcon());
    ++m_nodeCounter;
    return node;
}

void FolderPane::folderScan(QTreeWidgetItem* node) {
    for (const QString& name : scanFolders(folderPathOf(node))) addFolderNode(node, name);
}

void FolderPane::setCurrentFolderPath(const QString& path) {
    m_folderPath = path;
    emit folderChanged(path);
}

void FolderPane::showNodeTitle() {
    if (QTreeWidgetItem* n = tvTreeView->currentItem()) emit titleWanted(n->text(0));
}

void FolderPane::drvList_Change() {
    lvListView->clear();
    tvTreeView->blockSignals(true);
    tvTreeView->clear();
    tvTreeView->blockSignals(false);
    m_nodeCounter = 1;
    const QString drive = drvList->currentText();
    if (drive.isEmpty()) return;
    auto* root = new QTreeWidgetItem(tvTreeView, {drive});
    root->setData(0, kKeyRole, QStringLiteral("R"));
    root->setData(0, kPathRole, rootFolderPath(drive));
    root->setIcon(0, folderIcon());
    folderScan(root);
    tvTreeView->expandItem(root);  // reads the subfolders of every top-level folder
    setCurrentFolderPath(rootFolderPath(drive));
    emit titleWanted(drive);
    tvTreeView->setCurrentItem(root);
}

void FolderPane::tvTreeView_Expand(QTreeWidgetItem* node) {
    if (!node || node->data(0, kLoadedRole).toBool()) return;
    node->setData(0, kLoadedRole, true);
    for (int i = 0; i < node->childCount(); ++i) folderScan(node->child(i));
}

void FolderPane::tvTreeView_Click() {
    QTreeWidgetItem* node = tvTreeView->currentItem();
    if (!node) return;
    const QString path = folderPathOf(node);
    if (path == m_folderPath) return;
    setCurrentFolderPath(path);
    emit titleWanted(node->text(0));
    lvListView->clear();
    const int filter = cboType->currentIndex();
    // Scanned by raw name: a listing through QDir drops names that are not UTF-8.
    const std::vector<files::ScannedFile> scanned = files::scanFiles(toRawName(path));
    std::vector<std::pair<FileRow, QIcon>> rows;
    rows.reserve(scanned.size());
    for (const files::ScannedFile& f : scanned) {
        const QDateTime modified = f.modified ? QDateTime::fromMSecsSinceEpoch(*f.modified) : QDateTime();
        if (auto row = makeFileRow(filter, path, fromRawName(f.name), modified)) {
            QIcon icon = typeIcon(row->type);
            rows.emplace_back(std::move(*row), std::move(icon));
        }
    }
    lvListView->addRows(rows);
    lvListView->sortNow();
    lvListView->focusFirstWithoutSelection();
}

void FolderPane::tvRefresh(const QString& folderPath) {
    lvListView->clear();
    drvList_Change();
    QTreeWidgetItem* node = tvTreeView->topLevelItem(0);
    if (node) {
        // A segment not found ends the walk at the deepest folder found.
        for (const QString& segment : walkSegments(folderPath, drvList->currentText())) {
            QStringList texts;
            for (int i = 0; i < node->childCount(); ++i) texts << node->child(i)->text(0);
            const int found = childIndexOf(texts, segment);
            if (found < 0) break;
            node = node->child(found);
            tvTreeView->setCurrentItem(node);
            tvTreeView->expandItem(node);
            tvTreeView_Expand(node);
        }
    }
    if (QTreeWidgetItem* current = tvTreeView->currentItem()) tvTreeView->scrollToItem(current);
    tvTreeView->setFocus();
    tvTreeView_Click();
}

void FolderPane::lvListView_Click() {
    showNodeTitle();
    const QStringList keys = lvListView->selectedKeys();
    emit selected(lvListView->selectedNames(), keys.size() == 1 ? keys.first() : QString());
    lvListView->setFocusToView();
}

void FolderPane::sortBy(int column) {
    const SortState next = sortAfter({lvListView->sortColumn(), lvListView->sortOrder()}, column);
    lvListView->setSort(next.column, next.order);
}

void FolderPane::lvListView_DblClick() {
    if (lvListView->rowCount() == 0) return;
    const QAbstractItemView* v = lvListView->currentView();
    const QModelIndex current = v->currentIndex();
    QList<PaneEntry> one;
    if (current.isValid()) one.push_back(entryOfRow(v->model(), current.row()));
    emit chosen(one);
}

void FolderPane::selectAll() {
    lvListView->selectAllRows();
    lvListView->setFocusToView();
    lvListView_Click();
}

void FolderPane::invertSelection() {
    lvListView->invertSelection();
    lvListView_Click();
}

QList<PaneEntry> FolderPane::fileRows(bool selectedOnly) const {
    QList<PaneEntry> out;
    const QAbstractItemView* v = lvListView->currentView();
    const QItemSelectionModel* selection = v->selectionModel();
    for (int r = 0; r < v->model()->rowCount(); ++r) {
        if (selectedOnly && !selection->isSelected(v->model()->index(r, 0))) continue;
        out.push_back(entryOfRow(v->model(), r));
    }
    return out;
}

bool FolderPane::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tvTreeView) {
        // A held key acts once (the window drops releases of keys pressed elsewhere).
        if (event->type() == QEvent::KeyRelease && !static_cast<QKeyEvent*>(event)->isAutoRepeat())
            tvTreeView_Click();
        else if (event->type() == QEvent::FocusIn)
            showNodeTitle();
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace editor
