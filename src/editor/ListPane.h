#pragma once
// The list pane: the list being edited (lvList) with its title (txtListName),
// the changed flag, the moves to another list or page, the store, the delete
// of the list file and the hand-over of a run. It reports what the preview
// pane should show and when a show should start; it never reaches into the
// browser. GUI thread only; its message boxes open over its window.

#include "ListEditRules.h"

#include <QWidget>

class QLineEdit;
class QMimeData;
class QTreeWidget;

namespace mdlPublic {
struct PublicState;
}

namespace editor {

class ListPane : public QWidget {
    Q_OBJECT
public:
    enum class StoreOutcome { Stored, Declined, Failed };

    // `state` holds the current page and list, and takes the handed-over entries.
    explicit ListPane(mdlPublic::PublicState& state, QWidget* parent = nullptr);

    bool changed() const { return m_changed; }
    void setChanged(bool changed) { m_changed = changed; }
    // The type filter a drop is held to.
    void setFilter(int index) { m_filter = index; }

    // Loads the current list of the current page; the list is then unchanged.
    void loadCurrent();
    StoreOutcome store();
    // Asks before leaving a changed list, then moves.
    void step(Step to);
    void deleteListFile();
    // Hands the pane's entries over to the player and asks for the show.
    void run();
    // Hands the pane's entries over to the player (the first 256).
    void handOver() const;

    void addEntries(AddKind kind, const QList<PaneEntry>& candidates);
    // Adds the local files a drop carries that the type filter accepts.
    void addDropped(const QMimeData* dropped);
    void removeSelected();
    void removeAll();
    // Removes the entry with the focus (what a double-click does).
    void removeCurrent();
    void moveCurrent(bool up);
    // Reports the title and the selection for the preview, and takes the keyboard.
    void reportSelection();

    // Places the title box and the list, in the window's client coordinates.
    void place(const QRect& name, const QRect& list, int firstColumnPixels);

    // For tests: the elements themselves.
    QTreeWidget* listView() const { return lvList; }
    QLineEdit* nameBox() const { return txtListName; }

signals:
    // The title the preview pane should show (the list's title).
    void titleWanted(const QString& text);
    // The pane's selection: the names, and the path when one is selected.
    void selected(const QStringList& names, const QString& singlePath);
    // An edit, a move or a run that leaves the preview pane empty.
    void previewStale();
    void showWanted();

private:
    friend class ListPaneEvents;
    bool leave();
    QList<PaneEntry> entries() const;
    void appendEntry(const PaneEntry& e);
    void removeRows(const QList<int>& rows);
    void lvList_GotFocus();
    void lvList_ColumnClick();
    void txtListName_Change();

    mdlPublic::PublicState& m_state;
    bool m_changed = false;
    int m_filter = 0;
    QTreeWidget* lvList = nullptr;
    QLineEdit* txtListName = nullptr;
};

}  // namespace editor
