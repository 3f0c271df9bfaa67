#include "FileViewModel.h"

#include <QMimeData>
#include <QUrl>

#include <algorithm>
#include <numeric>

namespace editor {

namespace {
QString FileRow::*const kColumnText[FileViewModel::kColumnCount] = {&FileRow::name, &FileRow::type, &FileRow::time};
}  // namespace

int FileViewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_entries.size());
}

int FileViewModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant FileViewModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    const Entry& e = m_entries[static_cast<std::size_t>(index.row())];
    const bool nameCell = index.column() == kNameColumn;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return e.row.*kColumnText[index.column()];
    case Qt::DecorationRole:
        if (!nameCell) return {};
        return (m_showThumbnails && !e.thumbnail.isNull()) ? QVariant(e.thumbnail) : QVariant(e.icon);
    case kKeyRole:
        return nameCell ? QVariant(e.row.key) : QVariant();
    default:
        return {};
    }
}

QVariant FileViewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const QString labels[kColumnCount] = {QStringLiteral("名前"), QStringLiteral("種類"),
                                                 QStringLiteral("更新日時")};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return labels[section];
}

Qt::ItemFlags FileViewModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}

void FileViewModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= kColumnCount) return;
    QString FileRow::*const text = kColumnText[column];
    std::vector<int> sorted(m_entries.size());
    std::iota(sorted.begin(), sorted.end(), 0);
    const auto rowText = [&](int r) -> const QString& { return m_entries[static_cast<std::size_t>(r)].row.*text; };
    if (order == Qt::AscendingOrder)
        std::stable_sort(sorted.begin(), sorted.end(), [&](int a, int b) { return rowText(a) < rowText(b); });
    else
        std::stable_sort(sorted.begin(), sorted.end(), [&](int a, int b) { return rowText(b) < rowText(a); });

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<Entry> entries;
    entries.reserve(m_entries.size());
    std::vector<int> newRow(m_entries.size());
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        const auto from = static_cast<std::size_t>(sorted[i]);
        entries.push_back(std::move(m_entries[from]));
        newRow[from] = static_cast<int>(i);
    }
    m_entries.swap(entries);
    indexKeys();
    // The views' selection and current row are persistent indexes: they move with their rows.
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& i : before)
        after << index(newRow[static_cast<std::size_t>(i.row())], i.column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

QStringList FileViewModel::mimeTypes() const { return {QStringLiteral("text/uri-list")}; }

QMimeData* FileViewModel::mimeData(const QModelIndexList& indexes) const {
    std::vector<int> rows;
    for (const QModelIndex& i : indexes)
        if (checkIndex(i, CheckIndexOption::IndexIsValid)) rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QList<QUrl> urls;
    for (int r : rows) urls << urlOfPath(fileRow(r).key);
    auto* data = new QMimeData;
    data->setUrls(urls);
    return data;
}

void FileViewModel::clear() {
    if (m_entries.empty()) return;
    beginResetModel();
    m_entries.clear();
    m_rowOfKey.clear();
    endResetModel();
}

void FileViewModel::append(const std::vector<std::pair<FileRow, QIcon>>& rows) {
    if (rows.empty()) return;
    // Into an empty table one reset is cheaper for the views than an insertion.
    const bool fresh = m_entries.empty();
    const int start = rowCount();
    if (fresh)
        beginResetModel();
    else
        beginInsertRows({}, start, start + static_cast<int>(rows.size()) - 1);
    m_entries.reserve(m_entries.size() + rows.size());
    for (const auto& [row, icon] : rows) {
        m_rowOfKey.insert(row.key, static_cast<int>(m_entries.size()));
        m_entries.push_back({row, icon, QIcon()});
    }
    if (fresh)
        endResetModel();
    else
        endInsertRows();
}

const FileRow& FileViewModel::fileRow(int row) const {
    static const FileRow none;
    if (row < 0 || row >= rowCount()) return none;
    return m_entries[static_cast<std::size_t>(row)].row;
}

void FileViewModel::setThumbnail(const QString& key, const QIcon& icon) {
    const int row = m_rowOfKey.value(key, -1);
    if (row < 0) return;
    m_entries[static_cast<std::size_t>(row)].thumbnail = icon;
    if (m_showThumbnails) emit dataChanged(index(row, kNameColumn), index(row, kNameColumn), {Qt::DecorationRole});
}

void FileViewModel::setShowThumbnails(bool show) {
    if (show == m_showThumbnails) return;
    m_showThumbnails = show;
    if (!m_entries.empty())
        emit dataChanged(index(0, kNameColumn), index(rowCount() - 1, kNameColumn), {Qt::DecorationRole});
}

void FileViewModel::indexKeys() {
    m_rowOfKey.clear();
    m_rowOfKey.reserve(static_cast<qsizetype>(m_entries.size()));
    for (std::size_t i = 0; i < m_entries.size(); ++i) m_rowOfKey.insert(m_entries[i].row.key, static_cast<int>(i));
}

}  // namespace editor
