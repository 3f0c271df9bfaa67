#include "FileView.h"

#include "ThumbnailLoader.h"
#include "shared/MediaTypes.h"

#include <QEvent>
#include <QKeyEvent>
#include <QHeaderView>
#include <QListView>
#include <QPixmap>
#include <QScrollBar>
#include <QStackedLayout>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeView>

namespace editor {

namespace {

// Every entry keeps the icon's whole box, whatever the proportions of the
// thumbnail drawn in it: an entry keeps the size the view placed it with (a
// wide thumbnail would shorten it, and the view repaints only the shorter
// place, leaving the label drawn below), and the labels of a row line up.
class IconBoxDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        const QSize box = option->decorationSize;  // the view's icon size
        QStyledItemDelegate::initStyleOption(option, index);
        if (option->features & QStyleOptionViewItem::HasDecoration) option->decorationSize = box;
    }
};

// Wide enough for the longest type name in the view's font, as the view draws a cell.
int typeColumnWidth(const QAbstractItemView* view) {
    QStyleOptionViewItem option;
    option.initFrom(view);
    option.widget = view;
    option.features = QStyleOptionViewItem::HasDisplay;
    int widest = 0;
    for (const media::MediaRow& row : media::kMediaTypes) {
        option.text = QString::fromUtf8(row.type.name.data(), qsizetype(row.type.name.size()));
        widest = qMax(widest, view->style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), view).width());
    }
    return widest;
}

}  // namespace

FileView::FileView(QWidget* parent) : QWidget(parent) {
    m_model = new FileViewModel(this);
    m_selection = new QItemSelectionModel(m_model, this);

    m_listView = new QListView(this);
    m_listView->setItemDelegate(new IconBoxDelegate(m_listView));
    m_detailView = new QTreeView(this);
    m_detailView->setRootIsDecorated(false);
    m_detailView->setUniformRowHeights(true);
    m_detailView->setAllColumnsShowFocus(true);
    m_detailView->header()->setSectionsClickable(true);
    m_detailView->header()->setStretchLastSection(false);
    for (QAbstractItemView* v : {static_cast<QAbstractItemView*>(m_listView), static_cast<QAbstractItemView*>(m_detailView)}) {
        v->setModel(m_model);
        v->setSelectionModel(m_selection);
        v->setSelectionMode(QAbstractItemView::ExtendedSelection);
        v->setSelectionBehavior(QAbstractItemView::SelectRows);
        v->setEditTriggers(QAbstractItemView::NoEditTriggers);
        v->setDragEnabled(true);
        v->setDragDropMode(QAbstractItemView::DragOnly);
        v->setDefaultDropAction(Qt::CopyAction);
        v->installEventFilter(this);
        v->viewport()->installEventFilter(this);
        connect(v, &QAbstractItemView::doubleClicked, this, [this] { emit doubleClicked(); });
    }
    // Designed widths of the three columns, in pixels; the type names show whole.
    m_detailView->setColumnWidth(0, 140);
    m_detailView->setColumnWidth(1, qMax(100, typeColumnWidth(m_detailView)));
    m_detailView->setColumnWidth(2, 110);
    connect(m_detailView->header(), &QHeaderView::sectionClicked, this, [this](int c) { emit columnClicked(c); });

    m_stack = new QStackedLayout(this);
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_stack->addWidget(m_listView);
    m_stack->addWidget(m_detailView);

    m_thumbs = new ThumbnailLoader(QString(), this);
    connect(m_thumbs, &ThumbnailLoader::thumbnailReady, this, &FileView::thumbnailReady);
    m_thumbsRequest = new QTimer(this);
    m_thumbsRequest->setSingleShot(true);
    m_thumbsRequest->setInterval(0);
    connect(m_thumbsRequest, &QTimer::timeout, this, &FileView::requestThumbnails);
    m_thumbsVisible = new QTimer(this);
    m_thumbsVisible->setSingleShot(true);
    m_thumbsVisible->setInterval(50);
    connect(m_thumbsVisible, &QTimer::timeout, this, [this] { m_thumbs->prioritize(visiblePaths()); });
    for (QScrollBar* bar : {m_listView->verticalScrollBar(), m_listView->horizontalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, m_thumbsVisible, qOverload<>(&QTimer::start));
    setViewMode(kDetails);
}

void FileView::clear() {
    m_thumbs->cancel();
    m_thumbsRequested = false;
    m_model->clear();
}

void FileView::addRows(const std::vector<std::pair<FileRow, QIcon>>& rows) {
    m_model->append(rows);
    m_thumbsRequested = false;
    if (m_mode == kLargeIcons) m_thumbsRequest->start();
}

void FileView::requestThumbnails() {
    if (m_mode != kLargeIcons || m_thumbsRequested) return;
    m_thumbsRequested = true;
    m_thumbs->setShownSize(m_listView->iconSize() * devicePixelRatioF());
    // In the view's order, the rows in sight first; sounds and other files have none.
    std::vector<ThumbnailLoader::Job> jobs;
    for (int r = 0; r < m_model->rowCount(); ++r) {
        const FileRow& row = m_model->fileRow(r);
        const media::TypeKind kind = media::kindOfType(row.type.toStdString());
        if (kind == media::TypeKind::Picture || kind == media::TypeKind::Clip)
            jobs.push_back({row.key, true, kind == media::TypeKind::Clip});
    }
    m_thumbs->setJobs(std::move(jobs));
    m_thumbs->prioritize(visiblePaths());
}

QStringList FileView::visiblePaths() const {
    // Rows lie in view order along the flow, so the rows in sight are a run
    // from the first one in sight, as many as the viewport holds.
    const QSize grid = m_listView->gridSize().isValid() ? m_listView->gridSize() : QSize(84, 64);
    const QSize port = m_listView->viewport()->size();
    const QModelIndex first = m_listView->indexAt(QPoint(grid.width() / 2, grid.height() / 2));
    const int from = first.isValid() ? first.row() : 0;
    const int count = (port.width() / grid.width() + 1) * (port.height() / grid.height() + 1);
    QStringList paths;
    for (int r = from; r < qMin(m_model->rowCount(), from + count); ++r) paths << m_model->fileRow(r).key;
    return paths;
}

void FileView::thumbnailReady(const QString& path, const QImage& image) {
    // Already at the size shown (ten thousand thumbnails at full size would take gigabytes).
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(devicePixelRatioF());
    m_model->setThumbnail(path, QIcon(pixmap));
}

int FileView::rowCount() const { return m_model->rowCount(); }

void FileView::setViewMode(int mode) {
    if (mode < kLargeIcons || mode > kDetails) return;
    m_mode = mode;
    const bool focused = currentView()->hasFocus();
    switch (mode) {
    case kLargeIcons:
        m_listView->setViewMode(QListView::IconMode);
        m_listView->setIconSize(QSize(32, 32));
        m_listView->setGridSize(QSize(84, 64));
        m_listView->setWordWrap(true);
        break;
    case kSmallIcons:
        m_listView->setViewMode(QListView::ListMode);
        m_listView->setFlow(QListView::LeftToRight);
        m_listView->setIconSize(QSize(16, 16));
        m_listView->setGridSize(QSize(140, 20));
        break;
    case kList:
        m_listView->setViewMode(QListView::ListMode);
        m_listView->setFlow(QListView::TopToBottom);
        m_listView->setIconSize(QSize(16, 16));
        m_listView->setGridSize(QSize());
        break;
    default:
        break;
    }
    if (mode == kLargeIcons || mode == kSmallIcons)
        m_listView->setFlow(m_arrangement == 1 ? QListView::TopToBottom : QListView::LeftToRight);
    if (mode != kDetails) {
        m_listView->setWrapping(true);
        m_listView->setResizeMode(QListView::Adjust);
        m_listView->setMovement(QListView::Static);
        m_listView->setDragEnabled(true);
        m_stack->setCurrentWidget(m_listView);
    } else {
        m_stack->setCurrentWidget(m_detailView);
    }
    m_model->setShowThumbnails(mode == kLargeIcons);
    if (mode == kLargeIcons) m_thumbsRequest->start();
    if (focused) currentView()->setFocus();
}

void FileView::setArrangement(int arrangement) {
    if (arrangement < 0 || arrangement > 1) return;
    m_arrangement = arrangement;
    if (m_mode == kLargeIcons || m_mode == kSmallIcons) setViewMode(m_mode);
}

void FileView::setSort(int column, int order) {
    if (column < 0 || column > 2 || order < 0 || order > 1) return;
    m_sortColumn = column;
    m_sortOrder = order;
    sortNow();
}

void FileView::sortNow() {
    if (m_mode == kLargeIcons) m_thumbsVisible->start();
    m_model->sort(m_sortColumn, m_sortOrder == 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
    m_detailView->header()->setSortIndicatorShown(true);
    m_detailView->header()->setSortIndicator(m_sortColumn,
                                             m_sortOrder == 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
}

int FileView::columnWidth(int column) const { return m_detailView->columnWidth(column); }

void FileView::setColumnWidth(int column, int pixels) {
    if (pixels >= 0) m_detailView->setColumnWidth(column, pixels);
}

std::vector<int> FileView::selectedRowsInOrder() const {
    // The icon and list modes select the name cell only, the details mode the
    // whole row: a row counts once either way. Marked, not searched, so a
    // selection of thousands of rows stays linear.
    const int count = m_model->rowCount();
    std::vector<char> marked(static_cast<std::size_t>(count), 0);
    for (const QItemSelectionRange& range : m_selection->selection()) {
        if (!range.isValid()) continue;
        for (int r = qMax(range.top(), 0); r <= qMin(range.bottom(), count - 1); ++r)
            marked[static_cast<std::size_t>(r)] = 1;
    }
    std::vector<int> rows;
    for (std::size_t r = 0; r < marked.size(); ++r)
        if (marked[r]) rows.push_back(static_cast<int>(r));
    return rows;
}

QStringList FileView::selectedNames() const {
    QStringList out;
    for (int r : selectedRowsInOrder()) out << nameOfRow(r);
    return out;
}

QStringList FileView::selectedKeys() const {
    QStringList out;
    for (int r : selectedRowsInOrder()) out << keyOfRow(r);
    return out;
}

QString FileView::keyOfRow(int row) const { return m_model->fileRow(row).key; }
QString FileView::nameOfRow(int row) const { return m_model->fileRow(row).name; }

void FileView::focusFirstWithoutSelection() {
    if (m_model->rowCount() == 0) return;
    m_selection->setCurrentIndex(m_model->index(0, 0), QItemSelectionModel::NoUpdate);
    m_selection->clearSelection();
}

void FileView::selectAllRows() { currentView()->selectAll(); }

void FileView::invertSelection() {
    // Whole rows: the icon modes select the name cell only, so cells cannot be
    // toggled one by one. Runs of rows make one range each.
    const std::vector<int> selected = selectedRowsInOrder();
    QItemSelection inverted;
    const int last = m_model->columnCount() - 1;
    int from = 0;
    const auto selectRun = [&](int to) {
        if (from < to) inverted.select(m_model->index(from, 0), m_model->index(to - 1, last));
    };
    for (int r : selected) {
        selectRun(r);
        from = r + 1;
    }
    selectRun(m_model->rowCount());
    m_selection->select(inverted, QItemSelectionModel::ClearAndSelect);
}

void FileView::setFocusToView() { currentView()->setFocus(); }

QAbstractItemView* FileView::currentView() const {
    return m_mode == kDetails ? static_cast<QAbstractItemView*>(m_detailView) : m_listView;
}

bool FileView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease && (watched == m_listView || watched == m_detailView)) {
        if (!static_cast<QKeyEvent*>(event)->isAutoRepeat()) emit keyReleased();
    }
    else if (event->type() == QEvent::MouseButtonRelease &&
             (watched == m_listView->viewport() || watched == m_detailView->viewport()))
        // Any click in the view counts, on an entry or beside it; the view
        // updates its selection on the release first.
        QMetaObject::invokeMethod(this, &FileView::clicked, Qt::QueuedConnection);
    else if (event->type() == QEvent::FocusIn && (watched == m_listView || watched == m_detailView))
        emit gotFocus();
    return QWidget::eventFilter(watched, event);
}

}  // namespace editor
