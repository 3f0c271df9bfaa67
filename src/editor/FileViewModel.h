#pragma once
// The rows of the file view: the listed files of one folder as name, type and
// modification time, one flat table the file view's four modes all show.
// Sorting reorders the rows in place; dragged rows leave as local file URLs.
// GUI thread only.

#include "EditorRules.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>

#include <utility>
#include <vector>

namespace editor {

class FileViewModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kNameColumn = 0, kTypeColumn = 1, kTimeColumn = 2, kColumnCount = 3 };
    // On the name cell: the entry's key, the file's full path.
    static constexpr int kKeyRole = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Stable, by the text shown in `column`: rows of equal text keep their
    // order in both directions. Selection and current row follow their rows.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

    void clear();
    // Adds the rows at the end, in the order given.
    void append(const std::vector<std::pair<FileRow, QIcon>>& rows);
    // The row's data; an empty row when `row` is out of range.
    const FileRow& fileRow(int row) const;

    // A file's thumbnail, shown in place of its type icon while thumbnails
    // are shown; dropped by clear().
    void setThumbnail(const QString& key, const QIcon& icon);
    void setShowThumbnails(bool show);

private:
    struct Entry {
        FileRow row;
        QIcon icon;
        QIcon thumbnail;
    };
    void indexKeys();

    std::vector<Entry> m_entries;
    QHash<QString, int> m_rowOfKey;
    bool m_showThumbnails = false;
};

}  // namespace editor
