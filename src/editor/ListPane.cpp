#include "ListPane.h"

#include "EditorIcons.h"
#include "EditorRules.h"
#include "dialogs/mdlMessage.h"
#include "shared/ListStore.h"
#include "shared/mdlPublic.h"

#include <QAbstractItemView>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTreeWidget>
#include <QUrl>

namespace editor {

namespace {

constexpr int kTypeRole = Qt::UserRole + 1;

ListPos currentPos(const mdlPublic::PublicState& pub) {
    return {pub.pageNum, pub.fileNum};
}

std::string currentListFile(const mdlPublic::PublicState& pub) {
    return liststore::listFilePath(pub.listPrefix, pub.pageNum, pub.fileNum);
}

}  // namespace

// Mouse, key, focus and drop events of the list, handed to the pane's handlers.
class ListPaneEvents : public QObject {
public:
    ListPaneEvents(ListPane* owner, QTreeWidget* list) : QObject(owner), m_owner(owner), m_list(list) {
        list->installEventFilter(this);
        list->viewport()->installEventFilter(this);
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
            m_owner->addDropped(e->mimeData());
            return true;
        }
        case QEvent::MouseButtonRelease:
            // The view updates its selection on the release first.
            if (watched == m_list->viewport())
                QMetaObject::invokeMethod(m_owner, [o = m_owner] { o->reportSelection(); }, Qt::QueuedConnection);
            break;
        case QEvent::MouseButtonDblClick:
            if (watched == m_list->viewport()) {
                m_owner->removeCurrent();
                return true;
            }
            break;
        case QEvent::KeyRelease:
            // A held key acts once (the window drops releases of keys pressed elsewhere).
            if (watched == m_list && !static_cast<QKeyEvent*>(event)->isAutoRepeat()) m_owner->reportSelection();
            break;
        case QEvent::FocusIn:
            if (watched == m_list) m_owner->lvList_GotFocus();
            break;
        default:
            break;
        }
        return false;
    }

private:
    ListPane* m_owner;
    QTreeWidget* m_list;
};

ListPane::ListPane(mdlPublic::PublicState& state, QWidget* parent) : QWidget(parent), m_state(state) {
    txtListName = new QLineEdit(this);
    txtListName->setObjectName(QStringLiteral("txtListName"));
    txtListName->setToolTip(QStringLiteral("ファイルリストのタイトル"));
    connect(txtListName, &QLineEdit::textChanged, this, [this] { txtListName_Change(); });

    // No sorting, the header steps to the next list, files dropped from outside.
    lvList = new QTreeWidget(this);
    lvList->setObjectName(QStringLiteral("lvList"));
    lvList->setColumnCount(2);
    lvList->setHeaderLabels({QStringLiteral("FileList"), QStringLiteral("Path")});
    lvList->setRootIsDecorated(false);
    lvList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvList->setToolTip(QStringLiteral("ダブルクリックでファイルリストから削除"));
    lvList->setSortingEnabled(false);
    lvList->header()->setSectionsClickable(true);
    lvList->setAcceptDrops(true);
    lvList->viewport()->setAcceptDrops(true);
    lvList->setDragDropMode(QAbstractItemView::DropOnly);
    lvList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    new ListPaneEvents(this, lvList);
    connect(lvList->header(), &QHeaderView::sectionClicked, this, [this] { lvList_ColumnClick(); });
}

void ListPane::place(const QRect& name, const QRect& list, int firstColumnPixels) {
    const QRect all = name.united(list);
    setGeometry(all);
    txtListName->setGeometry(name.translated(-all.topLeft()));
    lvList->setGeometry(list.translated(-all.topLeft()));
    if (firstColumnPixels >= 0) lvList->setColumnWidth(0, firstColumnPixels);
}

// ---- the entries ----

QList<PaneEntry> ListPane::entries() const {
    QList<PaneEntry> out;
    out.reserve(lvList->topLevelItemCount());
    for (int i = 0; i < lvList->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* it = lvList->topLevelItem(i);
        out.push_back({it->text(0), it->text(1), it->data(0, kTypeRole).toString()});
    }
    return out;
}

void ListPane::appendEntry(const PaneEntry& e) {
    auto* it = new QTreeWidgetItem(lvList, {e.name, e.path});
    it->setData(0, kTypeRole, e.type);
    it->setIcon(0, typeIcon(e.type));
}

void ListPane::removeRows(const QList<int>& rows) {
    for (int r : rows) delete lvList->takeTopLevelItem(r);
}

void ListPane::addEntries(AddKind kind, const QList<PaneEntry>& candidates) {
    const AddPlan plan = planAdd(kind, lvList->topLevelItemCount(), candidates);
    for (const PaneEntry& e : plan.take) appendEntry(e);
    if (plan.changed) m_changed = true;
    const int warning = mdlMessage::kExclamation + mdlMessage::kOkOnly;
    if (!plan.unstorable.isEmpty()) mdlMessage::msgBox(unstorableText(plan.unstorable), warning, mdlMessage::kTitleVistrova, window());
    if (plan.overLimit) mdlMessage::msgBox(kLimitMessage, warning, mdlMessage::kTitleVistrova, window());
    // The file view's double-click leaves the preview as it is.
    if (kind != AddKind::ViewDoubleClick) emit previewStale();
}

void ListPane::addDropped(const QMimeData* dropped) {
    if (!dropped || !dropped->hasUrls()) return;
    QList<PaneEntry> candidates;
    for (const QUrl& url : dropped->urls()) {
        // Local files only: other URLs name nothing the player could open.
        if (!url.isLocalFile()) continue;
        if (auto e = droppedEntry(pathOfUrl(url), m_filter)) candidates.push_back(*e);
    }
    addEntries(AddKind::Drop, candidates);
}

void ListPane::removeSelected() {
    QList<bool> selected;
    for (int i = 0; i < lvList->topLevelItemCount(); ++i) selected << lvList->topLevelItem(i)->isSelected();
    const DeletePlan plan = planDeleteSelected(selected);
    removeRows(plan.remove);
    if (plan.changed) m_changed = true;
    emit previewStale();
}

void ListPane::removeAll() {
    const DeletePlan plan = planDeleteAll(lvList->topLevelItemCount());
    lvList->clear();
    if (plan.changed) m_changed = true;
    emit previewStale();
}

void ListPane::removeCurrent() {
    const DeletePlan plan =
        planDeleteCurrent(lvList->topLevelItemCount(), lvList->indexOfTopLevelItem(lvList->currentItem()));
    removeRows(plan.remove);
    if (plan.changed) m_changed = true;
    emit previewStale();
}

void ListPane::moveCurrent(bool up) {
    const int i = lvList->indexOfTopLevelItem(lvList->currentItem());
    const int j = moveTarget(i, lvList->topLevelItemCount(), up);
    if (j < 0) return;
    lvList->setSelectionMode(QAbstractItemView::SingleSelection);
    QTreeWidgetItem* moving = lvList->takeTopLevelItem(i);
    lvList->insertTopLevelItem(j, moving);
    lvList->setCurrentItem(moving);
    lvList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_changed = true;
}

void ListPane::reportSelection() {
    emit titleWanted(txtListName->text());
    QStringList names;
    QString path;
    for (int i = 0; i < lvList->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* it = lvList->topLevelItem(i);
        if (!it->isSelected()) continue;
        names << it->text(0);
        path = it->text(1);
    }
    emit selected(names, names.size() == 1 ? path : QString());
    lvList->setFocus();
}

void ListPane::lvList_GotFocus() { emit titleWanted(txtListName->text()); }

void ListPane::txtListName_Change() { m_changed = true; }

// ---- the list file ----

void ListPane::loadCurrent() {
    lvList->headerItem()->setText(0, headerText(currentPos(m_state)));
    lvList->clear();
    const liststore::ListFile file = liststore::readListFile(currentListFile(m_state));
    // Setting the title marks the list changed; the load clears it below.
    txtListName->setText(QString::fromStdString(file.name));
    lvList->setUpdatesEnabled(false);
    for (const liststore::Entry& e : file.entries) appendEntry(loadedEntry(e));
    lvList->setUpdatesEnabled(true);
    m_changed = false;
}

ListPane::StoreOutcome ListPane::store() {
    if (mdlMessage::msgBox(storePrompt(currentPos(m_state)), mdlMessage::kQuestion + mdlMessage::kOkCancel,
                           mdlMessage::kTitleVistrova, window()) != mdlMessage::kOk)
        return StoreOutcome::Declined;
    if (const auto stored = storeList(currentListFile(m_state), txtListName->text(), entries()); !stored) {
        // The list stays in the pane and stays marked changed.
        mdlMessage::show(stored.failure(), mdlMessage::kTitleVistrova, window());
        return StoreOutcome::Failed;
    }
    m_changed = false;
    return StoreOutcome::Stored;
}

bool ListPane::leave() {
    if (!m_changed) return true;
    switch (mdlMessage::msgBox(kLeavePrompt, mdlMessage::kQuestion + mdlMessage::kYesNoCancel,
                               mdlMessage::kTitleVistrova, window())) {
    case mdlMessage::kYes:
        // Declining the store's own confirmation still moves on; a failed store does not.
        return store() != StoreOutcome::Failed;
    case mdlMessage::kNo:
        return true;
    default:
        return false;
    }
}

void ListPane::step(Step to) {
    if (!leave()) return;
    const ListPos next = stepTo(currentPos(m_state), to);
    m_state.pageNum = static_cast<std::int16_t>(next.page);
    m_state.fileNum = static_cast<std::int16_t>(next.list);
    loadCurrent();
    emit previewStale();
}

void ListPane::lvList_ColumnClick() { step(Step::HeaderClick); }

void ListPane::deleteListFile() {
    if (mdlMessage::msgBox(deletePrompt(currentPos(m_state)), mdlMessage::kExclamation + mdlMessage::kOkCancel,
                           mdlMessage::kTitleVistrova, window()) != mdlMessage::kOk)
        return;
    if (const auto deleted = liststore::deleteListFile(currentListFile(m_state)); !deleted) {
        mdlMessage::show(deleted.failure(), mdlMessage::kTitleVistrova, window());
        return;
    }
    lvList->clear();
    // Emptying a title that held text marks the list changed; the flag is never cleared here.
    txtListName->clear();
}

void ListPane::handOver() const {
    std::vector<liststore::Entry> handed;
    const int n = qMin(lvList->topLevelItemCount(), liststore::kMaxEntries);
    handed.reserve(std::size_t(n));
    for (int i = 0; i < n; ++i) {
        const QTreeWidgetItem* it = lvList->topLevelItem(i);
        handed.push_back({it->text(0).toStdString(), it->text(1).toStdString()});
    }
    liststore::handOver(m_state.playList, handed);
}

void ListPane::run() {
    emit previewStale();
    handOver();
    if (m_state.playList.count == 0) {
        mdlMessage::msgBox(kRunWarning, mdlMessage::kExclamation + mdlMessage::kOkOnly, mdlMessage::kTitleVistrova,
                           window());
        return;
    }
    emit showWanted();
}

}  // namespace editor
