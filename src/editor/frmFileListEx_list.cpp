// The list pane: its commands (add, drop, delete, move), the file view's
// selection commands, the selection feedback, and the menu items and
// shortcuts of the list commands.
#include "frmFileListEx.h"

#include "EditorIcons.h"
#include "FileView.h"
#include "dialogs/mdlMessage.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTreeWidget>
#include <QUrl>

namespace editor {

namespace {

constexpr int kTypeRole = Qt::UserRole + 1;

// Mouse, key, focus and drop events of the list pane, handed to the window's handlers.
class ListPaneEvents : public QObject {
public:
    ListPaneEvents(frmFileListEx* owner, QTreeWidget* pane) : QObject(owner), m_owner(owner), m_pane(pane) {
        pane->installEventFilter(this);
        pane->viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* e = static_cast<QDropEvent*>(event);
            if (e->mimeData() && e->mimeData()->hasUrls()) {
                e->setDropAction(Qt::CopyAction);
                e->accept();
            } else {
                e->ignore();
            }
            return true;
        }
        case QEvent::Drop: {
            auto* e = static_cast<QDropEvent*>(event);
            e->setDropAction(Qt::CopyAction);
            e->accept();
            m_owner->lvList_OLEDragDrop(e->mimeData());
            return true;
        }
        case QEvent::MouseButtonRelease:
            // The view updates its selection on the release first.
            if (watched == m_pane->viewport())
                QMetaObject::invokeMethod(m_owner, [o = m_owner] { o->lvList_Click(); }, Qt::QueuedConnection);
            break;
        case QEvent::MouseButtonDblClick:
            if (watched == m_pane->viewport()) {
                m_owner->lvList_DblClick();
                return true;
            }
            break;
        case QEvent::KeyRelease:
            // A held key acts once (the window drops releases of keys pressed elsewhere).
            if (watched == m_pane && !static_cast<QKeyEvent*>(event)->isAutoRepeat()) m_owner->lvList_Click();
            break;
        case QEvent::FocusIn:
            if (watched == m_pane) m_owner->lvList_GotFocus();
            break;
        default:
            break;
        }
        return false;
    }

private:
    frmFileListEx* m_owner;
    QTreeWidget* m_pane;
};


}  // namespace

void frmFileListEx::CreateListCommands() {
    // The menu items and tool buttons of these commands come from the command
    // table (frmFileListEx_menus.cpp); what is wired here is the panes' own input.
    // The list pane: no sorting, the header steps to the next list, files dropped from outside.
    lvList->setToolTip(QStringLiteral("ダブルクリックでファイルリストから削除"));
    lvList->setSortingEnabled(false);
    lvList->header()->setSectionsClickable(true);
    lvList->setAcceptDrops(true);
    lvList->viewport()->setAcceptDrops(true);
    lvList->setDragDropMode(QAbstractItemView::DropOnly);
    lvList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    new ListPaneEvents(this, lvList);
    connect(lvList->header(), &QHeaderView::sectionClicked, this, [this] { lvList_ColumnClick(); });
    connect(lvListView, &FileView::doubleClicked, this, [this] { lvListView_DblClick(); });
    connect(txtListName, &QLineEdit::textChanged, this, [this] { txtListName_Change(); });
}

// ---- the list pane's entries ----

QList<PaneEntry> frmFileListEx::paneEntries() const {
    QList<PaneEntry> out;
    out.reserve(lvList->topLevelItemCount());
    for (int i = 0; i < lvList->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* it = lvList->topLevelItem(i);
        out.push_back({it->text(0), it->text(1), it->data(0, kTypeRole).toString()});
    }
    return out;
}

void frmFileListEx::appendPaneEntry(const PaneEntry& e) {
    auto* it = new QTreeWidgetItem(lvList, {e.name, e.path});
    it->setData(0, kTypeRole, e.type);
    it->setIcon(0, TypeIcon(e.type));
}

void frmFileListEx::removePaneRows(const QList<int>& rows) {
    for (int r : rows) delete lvList->takeTopLevelItem(r);
}

void frmFileListEx::appendPlanned(AddKind kind, const QList<PaneEntry>& candidates) {
    const AddPlan plan = PlanAdd(kind, lvList->topLevelItemCount(), candidates);
    for (const PaneEntry& e : plan.take) appendPaneEntry(e);
    if (plan.changed) m_changed = true;
    if (!plan.unstorable.isEmpty()) mdlMessage::MsgBox(UnstorableText(plan.unstorable), 48, mdlMessage::kTitleVistrova, this);
    if (plan.overLimit) mdlMessage::MsgBox(kLimitMessage, 48, mdlMessage::kTitleVistrova, this);
}

namespace {
// The file view's rows, all or the selected ones, in the view's order.
QList<PaneEntry> FileViewRows(const FileView* view, bool selectedOnly) {
    QList<PaneEntry> out;
    const QAbstractItemView* v = view->currentView();
    const QAbstractItemModel* model = v->model();
    const QItemSelectionModel* selection = v->selectionModel();
    for (int r = 0; r < model->rowCount(); ++r) {
        const QModelIndex name = model->index(r, 0);
        if (selectedOnly && !selection->isSelected(name)) continue;
        out.push_back({name.data().toString(), name.data(FileView::kKeyRole).toString(),
                       model->index(r, 1).data().toString()});
    }
    return out;
}
}  // namespace

void frmFileListEx::mnuEditAdd_Click() {
    appendPlanned(AddKind::Selected, FileViewRows(lvListView, true));
    PreClear();
}

void frmFileListEx::mnuEditAddAll_Click() {
    appendPlanned(AddKind::All, FileViewRows(lvListView, false));
    PreClear();
}

void frmFileListEx::lvListView_DblClick() {
    if (lvListView->rowCount() == 0) return;
    const QAbstractItemView* v = lvListView->currentView();
    const QModelIndex current = v->currentIndex();
    QList<PaneEntry> one;
    if (current.isValid()) {
        const QModelIndex name = v->model()->index(current.row(), 0);
        one.push_back({name.data().toString(), name.data(FileView::kKeyRole).toString(),
                       v->model()->index(current.row(), 1).data().toString()});
    }
    appendPlanned(AddKind::ViewDoubleClick, one);
}

void frmFileListEx::lvList_OLEDragDrop(const QMimeData* dropped) {
    if (!dropped || !dropped->hasUrls()) return;
    const int filter = cboType->currentIndex();
    QList<PaneEntry> candidates;
    for (const QUrl& url : dropped->urls()) {
        // Local files only: other URLs name nothing the player could open.
        if (!url.isLocalFile()) continue;
        if (auto e = DroppedEntry(PathOfUrl(url), filter)) candidates.push_back(*e);
    }
    appendPlanned(AddKind::Drop, candidates);
    PreClear();
}

void frmFileListEx::mnuEditDelete_Click() {
    QList<bool> selected;
    for (int i = 0; i < lvList->topLevelItemCount(); ++i) selected << lvList->topLevelItem(i)->isSelected();
    const DeletePlan plan = PlanDeleteSelected(selected);
    removePaneRows(plan.remove);
    if (plan.changed) m_changed = true;
    PreClear();
}

void frmFileListEx::mnuEditDeleteAll_Click() {
    const DeletePlan plan = PlanDeleteAll(lvList->topLevelItemCount());
    lvList->clear();
    if (plan.changed) m_changed = true;
    PreClear();
}

void frmFileListEx::lvList_DblClick() {
    const DeletePlan plan =
        PlanDeleteCurrent(lvList->topLevelItemCount(), lvList->indexOfTopLevelItem(lvList->currentItem()));
    removePaneRows(plan.remove);
    if (plan.changed) m_changed = true;
    PreClear();
}

void frmFileListEx::moveCurrent(bool up) {
    const int i = lvList->indexOfTopLevelItem(lvList->currentItem());
    const int j = MoveTarget(i, lvList->topLevelItemCount(), up);
    if (j < 0) return;
    lvList->setSelectionMode(QAbstractItemView::SingleSelection);
    QTreeWidgetItem* moving = lvList->takeTopLevelItem(i);
    lvList->insertTopLevelItem(j, moving);
    lvList->setCurrentItem(moving);
    lvList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_changed = true;
}

void frmFileListEx::mnuEditUp_Click() { moveCurrent(true); }
void frmFileListEx::mnuEditDown_Click() { moveCurrent(false); }


void frmFileListEx::lvList_Click() {
    setFolderTitle(txtListName->text());
    if (!pctWeb->isHidden() && isVisible()) {
        QStringList names;
        QString path;
        for (int i = 0; i < lvList->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* it = lvList->topLevelItem(i);
            if (!it->isSelected()) continue;
            names << it->text(0);
            path = it->text(1);
        }
        SelectionRule(names, names.size() == 1 ? path : QString());
    }
    lvList->setFocus();
}

void frmFileListEx::lvList_GotFocus() { setFolderTitle(txtListName->text()); }

void frmFileListEx::txtListName_Change() { m_changed = true; }

}  // namespace editor
