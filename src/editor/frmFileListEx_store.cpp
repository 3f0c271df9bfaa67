// The current list: loading it, storing it, deleting its file, moving to
// another list or page, and running a show of the list pane.
#include "frmFileListEx.h"

#include "dialogs/mdlMessage.h"
#include "launcher/ShowSequence.h"
#include "shared/ListStore.h"
#include "shared/mdlPublic.h"

#include <QLineEdit>
#include <QTreeWidget>

namespace editor {

namespace {
ListPos CurrentPos() {
    const mdlPublic::PublicState& pub = mdlPublic::Public();
    return {pub.pageNum, pub.fileNum};
}

std::string CurrentListFile() {
    const mdlPublic::PublicState& pub = mdlPublic::Public();
    return liststore::ListFilePath(pub.listPrefix, pub.pageNum, pub.fileNum);
}
}  // namespace

void frmFileListEx::loadCurrentList() {
    lvList->headerItem()->setText(0, HeaderText(CurrentPos()));
    lvList->clear();
    const liststore::ListFile file = liststore::ReadListFile(CurrentListFile());
    // Setting the title marks the list changed; the load clears it below.
    txtListName->setText(QString::fromStdString(file.name));
    lvList->setUpdatesEnabled(false);
    for (const liststore::Entry& e : file.entries) appendPaneEntry(LoadedEntry(e));
    lvList->setUpdatesEnabled(true);
    m_changed = false;
}

frmFileListEx::StoreOutcome frmFileListEx::storeCurrentList() {
    if (mdlMessage::MsgBox(StorePrompt(CurrentPos()), 33, mdlMessage::kTitleVistrova, this) != mdlMessage::kOk)
        return StoreOutcome::Declined;
    const std::string error = StoreList(CurrentListFile(), txtListName->text(), paneEntries());
    if (!error.empty()) {
        // The list stays in the pane and stays marked changed.
        mdlMessage::MsgBox(StoreFailedText(error), 16, mdlMessage::kTitleVistrova, this);
        return StoreOutcome::Failed;
    }
    m_changed = false;
    return StoreOutcome::Stored;
}

void frmFileListEx::mnuFileSave_Click() { storeCurrentList(); }

bool frmFileListEx::leaveCurrentList() {
    if (!m_changed) return true;
    switch (mdlMessage::MsgBox(kLeavePrompt, 35, mdlMessage::kTitleVistrova, this)) {
    case mdlMessage::kYes:
        // Declining the store's own confirmation still moves on; a failed store does not.
        return storeCurrentList() != StoreOutcome::Failed;
    case mdlMessage::kNo:
        return true;
    default:
        return false;
    }
}

void frmFileListEx::moveTo(Step step) {
    if (!leaveCurrentList()) return;
    const ListPos next = StepTo(CurrentPos(), step);
    mdlPublic::PublicState& pub = mdlPublic::Public();
    pub.pageNum = static_cast<std::int16_t>(next.page);
    pub.fileNum = static_cast<std::int16_t>(next.list);
    loadCurrentList();
    PreClear();
}

void frmFileListEx::mnuFileListNext_Click() { moveTo(Step::NextList); }
void frmFileListEx::mnuFileListBack_Click() { moveTo(Step::PrevList); }
void frmFileListEx::mnuFilePageNext_Click() { moveTo(Step::NextPage); }
void frmFileListEx::mnuFilePageBack_Click() { moveTo(Step::PrevPage); }
void frmFileListEx::lvList_ColumnClick() { moveTo(Step::HeaderClick); }

void frmFileListEx::mnuFileDelete_Click() {
    if (mdlMessage::MsgBox(DeletePrompt(CurrentPos()), 49, mdlMessage::kTitleVistrova, this) != mdlMessage::kOk)
        return;
    const std::string error = liststore::DeleteListFile(CurrentListFile());
    if (!error.empty()) {
        mdlMessage::MsgBox(QString::fromLocal8Bit(error.c_str()), 0, mdlMessage::kTitleVistrova, this);
        return;
    }
    lvList->clear();
    // Emptying a title that held text marks the list changed; the flag is never cleared here.
    txtListName->clear();
}

void frmFileListEx::mnuFileRun_Click() {
    PreClear();
    mdlPublic::PublicState& pub = mdlPublic::Public();
    std::vector<liststore::Entry> entries;
    const int n = qMin(lvList->topLevelItemCount(), liststore::kMaxEntries);
    entries.reserve(std::size_t(n));
    for (int i = 0; i < n; ++i) {
        const QTreeWidgetItem* it = lvList->topLevelItem(i);
        entries.push_back({it->text(0).toStdString(), it->text(1).toStdString()});
    }
    liststore::HandOver(pub.playList, entries);
    if (pub.playList.count == 0) {
        mdlMessage::MsgBox(kRunWarning, 48, mdlMessage::kTitleVistrova, this);
        return;
    }
    if (m_showSequence)
        m_showSequence(this);
    else
        launcher::ShowSequence(this);
}

}  // namespace editor
