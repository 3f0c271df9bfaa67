#pragma once
// The browser's file view (lvListView): one model shown as large icons, small
// icons, a list or details, sorted by the text of one column, dragged out as
// text/uri-list. GUI thread only.

#include "FileViewModel.h"

#include <QStringList>
#include <QWidget>

#include <utility>
#include <vector>

class QListView;
class QTreeView;
class QStackedLayout;
class QAbstractItemView;
class QItemSelectionModel;
class QTimer;

namespace editor {

class ThumbnailLoader;

class FileView : public QWidget {
    Q_OBJECT
public:
    enum { kLargeIcons = 0, kSmallIcons = 1, kList = 2, kDetails = 3 };
    static constexpr int kKeyRole = FileViewModel::kKeyRole;

    explicit FileView(QWidget* parent = nullptr);

    void clear();
    // Many rows at once: the views hear of them once, not once per row.
    void addRows(const std::vector<std::pair<FileRow, QIcon>>& rows);
    int rowCount() const;

    void setViewMode(int mode);
    int viewMode() const { return m_mode; }
    // Arrangement of the icon modes: 0 none (rows), 1 along the left edge (columns).
    void setArrangement(int arrangement);
    int arrangement() const { return m_arrangement; }

    // Sorting compares the texts of the column; 0 ascending, 1 descending.
    void setSort(int column, int order);
    int sortColumn() const { return m_sortColumn; }
    int sortOrder() const { return m_sortOrder; }
    void sortNow();

    int columnWidth(int column) const;  // pixels
    void setColumnWidth(int column, int pixels);

    // Selected rows in view order.
    QStringList selectedNames() const;
    QStringList selectedKeys() const;
    void focusFirstWithoutSelection();
    void selectAllRows();
    void invertSelection();
    void setFocusToView();
    QAbstractItemView* currentView() const;
    // Empty for a row out of range.
    QString keyOfRow(int row) const;
    QString nameOfRow(int row) const;
    // What makes and reads the large-icon view's thumbnails.
    ThumbnailLoader* thumbnailLoader() const { return m_thumbs; }

signals:
    void clicked();
    void doubleClicked();
    void keyReleased();
    void gotFocus();
    void columnClicked(int column);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<int> selectedRowsInOrder() const;
    void requestThumbnails();
    QStringList visiblePaths() const;
    void thumbnailReady(const QString& path, const QImage& image);

    FileViewModel* m_model;
    QItemSelectionModel* m_selection;
    QStackedLayout* m_stack;
    QListView* m_listView;
    QTreeView* m_detailView;
    int m_mode = kDetails;
    int m_arrangement = 0;
    int m_sortColumn = 0;
    int m_sortOrder = 0;
    ThumbnailLoader* m_thumbs;
    QTimer* m_thumbsRequest;   // coalesces the rows added and the sort that follows
    QTimer* m_thumbsVisible;   // coalesces scrolling
    bool m_thumbsRequested = false;
};

}  // namespace editor
