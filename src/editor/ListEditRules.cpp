#include "ListEditRules.h"

#include "EditorRules.h"
#include "dialogs/mdlMessage.h"
#include "shared/FileKinds.h"
#include "shared/MediaTypes.h"

#include <filesystem>

namespace editor {

bool isStorableEntry(const QString& name, const QString& path) {
    // A list file is UTF-8 text: a name that is not UTF-8 would come back as another name.
    if (holdsRawBytes(name) || holdsRawBytes(path)) return false;
    return liststore::isStorable({name.toStdString(), path.toStdString()});
}

AddPlan planAdd(AddKind kind, int entriesNow, const QList<PaneEntry>& candidates) {
    AddPlan plan;
    int room = qMax(0, kListLimit - entriesNow);
    for (const PaneEntry& e : candidates) {
        if (!isStorableEntry(e.name, e.path)) {
            plan.unstorable << e.name;
            continue;
        }
        if (room == 0) {
            plan.overLimit = true;
            continue;
        }
        plan.take << e;
        --room;
    }
    plan.changed = kind == AddKind::ViewDoubleClick || kind == AddKind::Drop || !plan.take.isEmpty();
    return plan;
}

QString unstorableText(const QStringList& names) {
    // A long refusal names the first few; the box must still fit the screen.
    constexpr int kShown = 10;
    QStringList shown = names.mid(0, kShown);
    for (QString& n : shown) {
        // The name itself may hold the line breaks that made it unstorable.
        n.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
        n.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
        n = QString::fromStdString(toRawName(n));  // bytes that are not UTF-8 show as U+FFFD
    }
    if (names.size() > kShown) shown << QStringLiteral("... (%1)").arg(names.size());
    return kUnstorableMessage + QStringLiteral("\r\n") + shown.join(QStringLiteral("\r\n"));
}

std::optional<PaneEntry> droppedEntry(const QString& path, int filterIndex) {
    if (path.isEmpty()) return std::nullopt;
    // Normal files only: a folder, a device, a pipe or a missing path gives no name.
    if (!files::isOpenableFile(toRawName(path))) return std::nullopt;
    const QString name = path.section(QLatin1Char('/'), -1);
    if (name.isEmpty() || name.startsWith(QLatin1Char('.'))) return std::nullopt;
    const media::TypeCheck t = media::ChkFType(filterIndex, media::extension(name.toStdString()));
    if (!t.accepted) return std::nullopt;
    return PaneEntry{name, path, QString::fromStdString(t.typeName)};
}

PaneEntry loadedEntry(const liststore::Entry& e) {
    const media::TypeCheck t = media::ChkFType(media::kFilterAll, media::extension(e.name));
    return {QString::fromStdString(e.name), QString::fromStdString(e.path),
            t.accepted ? QString::fromStdString(t.typeName) : QString()};
}

DeletePlan planDeleteSelected(const QList<bool>& selected) {
    DeletePlan plan;
    for (int i = int(selected.size()) - 1; i >= 0; --i) {
        if (!selected[i]) continue;
        plan.remove << i;
        plan.changed = true;
    }
    return plan;
}

DeletePlan planDeleteAll(int count) {
    DeletePlan plan;
    for (int i = count - 1; i >= 0; --i) plan.remove << i;
    plan.changed = true;
    return plan;
}

DeletePlan planDeleteCurrent(int count, int current) {
    DeletePlan plan;
    if (count <= 0) return plan;
    if (current >= 0 && current < count) plan.remove << current;
    plan.changed = true;
    return plan;
}

int moveTarget(int current, int count, bool up) {
    if (count <= 0 || current < 0 || current >= count) return -1;
    if (up) return current == 0 ? -1 : current - 1;
    return current == count - 1 ? -1 : current + 1;
}

ListPos stepTo(ListPos p, Step step) {
    switch (step) {
    case Step::NextList:
        p.list = p.list == 9 ? 0 : p.list + 1;
        break;
    case Step::PrevList:
        p.list = p.list == 0 ? 9 : p.list - 1;
        break;
    case Step::NextPage:
        p.page = p.page == 9 ? 0 : p.page + 1;
        break;
    case Step::PrevPage:
        p.page = p.page == 0 ? 9 : p.page - 1;
        break;
    case Step::HeaderClick:
        if (++p.list >= 10) {
            p.list = 0;
            if (++p.page >= 10) p.page = 0;
        }
        break;
    }
    return p;
}

QString headerText(ListPos pos) { return QStringLiteral("Page %1 / File %2").arg(pos.page + 1).arg(pos.list + 1); }

QString storePrompt(ListPos pos) {
    return QStringLiteral("PAGE %1 / LIST %2 に登録します。").arg(pos.page + 1).arg(pos.list + 1);
}

QString deletePrompt(ListPos pos) {
    return QStringLiteral("PAGE %1 / LIST %2 を削除します。").arg(pos.page + 1).arg(pos.list + 1);
}

errors::Outcome<> storeList(const std::string& file, const QString& listName, const QList<PaneEntry>& entries) {
    std::vector<liststore::Entry> out;
    out.reserve(std::size_t(entries.size()));
    for (const PaneEntry& e : entries) out.push_back({e.name.toStdString(), e.path.toStdString()});
    const errors::Outcome<> stored = liststore::writeListFile(file, listName.toStdString(), out);
    if (stored) return {};
    return errors::Failure{storeFailedText(stored.failure().text).toStdString(), mdlMessage::kCritical + mdlMessage::kOkOnly};
}

QString storeFailedText(const std::string& description) {
    return kStoreFailed + QStringLiteral("\r\n") + QString::fromLocal8Bit(description.c_str());
}

}  // namespace editor
