#pragma once
// The folder browser: the drive box (drvList), the type filter (cboType), the
// folder tree (tvTreeView) and the file view (lvListView). It lists the
// folder chosen in the tree and reports what the user picks; it never shows
// a preview or edits the list itself. It keeps its part of the stored view:
// the folder, the type filter, the view mode, the column widths and the
// sorting. GUI thread only.

#include "ListEditRules.h"

#include <QWidget>

class QComboBox;
class QTreeWidget;
class QTreeWidgetItem;

namespace editor {

class FileView;
struct CloseView;
struct OpenView;
struct TwipsScale;

class FolderPane : public QWidget {
    Q_OBJECT
public:
    explicit FolderPane(QWidget* parent = nullptr);

    // The opening from the stored view: the view mode, the type filter, the
    // remembered folder, then the column widths and the sorting.
    void restore(const OpenView& v, const TwipsScale& scale);
    // Its part of the view stored on closing.
    void store(CloseView& v, const TwipsScale& scale) const;

    // The remembered folder `defPath` if its drive is mounted, else the tree of the drive shown.
    void open(const QString& defPath);
    // Walks the tree to `folderPath` afresh and lists the deepest folder found.
    void tvRefresh(const QString& folderPath);
    // Reads the current folder again.
    void refresh();
    // The tree takes the keyboard and the file view lists the folder chosen in it.
    void activate();
    // Sorts by `column`; the direction flips on every sort.
    void sortBy(int column);
    int viewMode() const;
    void setViewMode(int mode);
    // Arranges the icons of the icon modes along the left edge.
    void arrangeAlongLeft();
    void selectAll();
    void invertSelection();

    QString currentFolderPath() const { return m_folderPath; }
    int filter() const;
    void setFilter(int index);
    // The file view's rows, all or the selected ones, in the view's order.
    QList<PaneEntry> fileRows(bool selectedOnly) const;

    // Places the four elements, each in the window's client coordinates.
    void place(const QRect& drive, const QRect& type, const QRect& tree, const QRect& files);

    // For tests: the elements themselves.
    FileView* fileView() const { return lvListView; }
    QTreeWidget* tree() const { return tvTreeView; }

signals:
    void folderChanged(const QString& path);
    // The title the preview pane should show (the folder's name).
    void titleWanted(const QString& text);
    // The file view's selection: the names, and the path when one is selected.
    void selected(const QStringList& names, const QString& singlePath);
    // The file view's double-click: the focused entry, or none.
    void chosen(const QList<PaneEntry>& entries);
    void filterChanged(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void drvList_Change();
    void tvTreeView_Expand(QTreeWidgetItem* node);
    void tvTreeView_Click();
    void lvListView_Click();
    void lvListView_DblClick();
    QTreeWidgetItem* addFolderNode(QTreeWidgetItem* parent, const QString& name);
    void folderScan(QTreeWidgetItem* node);
    QString folderPathOf(QTreeWidgetItem* node) const;
    void setCurrentFolderPath(const QString& path);
    void showNodeTitle();

    long m_nodeCounter = 1;
    QString m_folderPath;
    QComboBox* drvList = nullptr;
    QComboBox* cboType = nullptr;
    QTreeWidget* tvTreeView = nullptr;
    FileView* lvListView = nullptr;
};

}  // namespace editor
