#pragma once
// Rules of the list pane and of moving between the 100 lists, without a
// window: what an add or a drop takes, where a move goes, the texts of the
// header and the prompts, and the store with its failure box. Qt Core at most.

#include "shared/ListStore.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

namespace editor {

// A list file holds (and a show plays) at most this many entries.
inline constexpr int kListLimit = liststore::kMaxEntries;

inline const QString kLimitMessage = QStringLiteral("ファイルリストに登録できるのは256ファイルまでです。");
inline const QString kUnstorableMessage = QStringLiteral("このファイル名はファイルリストに登録できません。");
inline const QString kLeavePrompt = QStringLiteral("ファイルリストは変更されています。\r\n変更点を保存しますか？");
inline const QString kRunWarning = QStringLiteral("ファイルリストを選択してください。");
inline const QString kStoreFailed = QStringLiteral("ファイルリストを保存できませんでした。");

// One entry of the list pane.
struct PaneEntry {
    QString name;  // display name, column "FileList"
    QString path;  // full path, column "Path"
    QString type;  // type name, the icon key; "" for a name without a media type
};

// Whether the list file can hold the entry so that it reads back unchanged.
bool isStorableEntry(const QString& name, const QString& path);

// The four ways entries get into the list pane.
enum class AddKind { Selected, All, ViewDoubleClick, Drop };

// What an add or a drop does with its candidates, in order: the ones taken,
// the names refused as unstorable, whether the 256 limit cut it short, and
// whether it sets the changed flag (a double-click and a drop always do, the
// menu adds only when something was appended).
struct AddPlan {
    QList<PaneEntry> take;
    QStringList unstorable;
    bool overLimit = false;
    bool changed = false;
};
AddPlan planAdd(AddKind kind, int entriesNow, const QList<PaneEntry>& candidates);

// Rows (0-based) a delete removes, highest first, and whether it sets the
// changed flag. Delete all sets it even on an empty pane.
struct DeletePlan {
    QList<int> remove;
    bool changed = false;
};
DeletePlan planDeleteSelected(const QList<bool>& selected);
DeletePlan planDeleteAll(int count);
DeletePlan planDeleteCurrent(int count, int current);  // the list pane's double-click

// The message shown for the refused names (one box for one add or drop).
QString unstorableText(const QStringList& names);

// A dropped path as the list pane takes it: only an existing normal file that
// is not hidden (a dot file) and whose extension the type filter accepts.
// Folders, missing paths, devices and pipes give nothing.
std::optional<PaneEntry> droppedEntry(const QString& path, int filterIndex);

// An entry of a loaded list: the icon is the type name for filter "ALL FILES",
// empty when the extension has none.
PaneEntry loadedEntry(const liststore::Entry& e);

// Index (0-based) the current entry moves to, or -1 when it does not move.
int moveTarget(int current, int count, bool up);

// The current list, page and list number each 0..9.
struct ListPos {
    int page = 0;
    int list = 0;
    bool operator==(const ListPos&) const = default;
};
enum class Step { NextList, PrevList, NextPage, PrevPage, HeaderClick };
ListPos stepTo(ListPos from, Step step);

QString headerText(ListPos pos);   // "Page 3 / File 10"
QString storePrompt(ListPos pos);  // "PAGE 3 / LIST 10 に登録します。"
QString deletePrompt(ListPos pos); // "PAGE 3 / LIST 10 を削除します。"

// Stores the list as one atomic replace. A failure (the file as it was) is
// the box to show: storeFailedText with the system's reason, critical.
errors::Outcome<> storeList(const std::string& file, const QString& listName, const QList<PaneEntry>& entries);

// The store failure message: the fixed text, CR LF, the description.
QString storeFailedText(const std::string& description);

}  // namespace editor
