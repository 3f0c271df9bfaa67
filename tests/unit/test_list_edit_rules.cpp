// Rules of the list pane and of the list navigation: adds and the 256 limit,
// unstorable names, deletes, moves, wrap-arounds, prompts and the store.
#include "editor/ListEditRules.h"
#include "shared/IniFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace editor;

namespace {
QList<PaneEntry> Files(int n, const QString& stem = QStringLiteral("f")) {
    QList<PaneEntry> out;
    for (int i = 0; i < n; ++i) {
        const QString name = stem + QString::number(i) + QStringLiteral(".jpg");
        out.push_back({name, QStringLiteral("/p/") + name, QStringLiteral("JPEG イメージ")});
    }
    return out;
}
}  // namespace

TEST(ListAdd, ChangedFlagPerKind) {
    struct Row {
        AddKind kind;
        int candidates;
        bool changed;
    } rows[] = {
        {AddKind::Selected, 0, false},  // nothing selected: the flag stays as it was
        {AddKind::Selected, 2, true},   {AddKind::All, 0, false},           {AddKind::All, 3, true},
        {AddKind::ViewDoubleClick, 1, true}, {AddKind::Drop, 0, true},  // a folder alone still marks the list
        {AddKind::Drop, 2, true},
    };
    for (const Row& r : rows) {
        const AddPlan plan = planAdd(r.kind, 0, Files(r.candidates));
        EXPECT_EQ(plan.changed, r.changed) << int(r.kind) << " " << r.candidates;
        EXPECT_EQ(plan.take.size(), r.candidates);
        EXPECT_FALSE(plan.overLimit);
    }
}

TEST(ListAdd, TheSameFileTwiceGivesTwoEntries) {
    QList<PaneEntry> twice = Files(1);
    twice << twice.front();
    EXPECT_EQ(planAdd(AddKind::All, 0, twice).take.size(), 2);
}

TEST(ListAdd, StopsAt256AndSaysSo) {
    struct Row {
        int now, offered, taken;
        bool over;
    } rows[] = {{0, 256, 256, false}, {0, 257, 256, true}, {250, 10, 6, true},
                {256, 1, 0, true},    {255, 1, 1, false},  {0, 10000, 256, true}};
    for (const Row& r : rows) {
        const AddPlan plan = planAdd(AddKind::Selected, r.now, Files(r.offered));
        EXPECT_EQ(plan.take.size(), r.taken) << r.now << "+" << r.offered;
        EXPECT_EQ(plan.overLimit, r.over) << r.now << "+" << r.offered;
        // The first ones offered are the ones taken, in order.
        if (r.taken > 0) {
            EXPECT_EQ(plan.take.front().name, QStringLiteral("f0.jpg"));
        }
    }
    // A full pane takes nothing, so the menu add leaves the flag alone.
    EXPECT_FALSE(planAdd(AddKind::Selected, 256, Files(3)).changed);
}

TEST(ListAdd, UnstorableNamesAreRefusedTheOthersTaken) {
    QList<PaneEntry> offered = Files(2);
    offered.insert(1, {QStringLiteral("a|b.jpg"), QStringLiteral("/p/a|b.jpg"), {}});
    offered.push_back({QStringLiteral("c\nd.jpg"), QStringLiteral("/p/c\nd.jpg"), {}});
    offered.push_back({QStringLiteral("ok.jpg"), QStringLiteral("/p|q/ok.jpg"), {}});  // "|" in the folder is fine
    offered.push_back({QStringLiteral("r.jpg"), QStringLiteral("/p/x\r/r.jpg"), {}});
    const AddPlan plan = planAdd(AddKind::Drop, 0, offered);
    ASSERT_EQ(plan.take.size(), 3);
    EXPECT_EQ(plan.take[2].path, QStringLiteral("/p|q/ok.jpg"));
    EXPECT_EQ(plan.unstorable,
              QStringList({QStringLiteral("a|b.jpg"), QStringLiteral("c\nd.jpg"), QStringLiteral("r.jpg")}));
    const QString text = unstorableText(plan.unstorable);
    EXPECT_TRUE(text.startsWith(kUnstorableMessage + QStringLiteral("\r\na|b.jpg\r\nc\\nd.jpg")));
    // Unstorable files do not use up the room of the pane.
    EXPECT_EQ(planAdd(AddKind::All, 255, offered).take.size(), 1);
}

TEST(ListDrop, OnlyExistingNormalVisibleFilesOfTheFilter) {
    TempDir dir;
    namespace fs = std::filesystem;
    fs::create_directories(dir.path() / "folder.jpg");
    for (const char* n : {"a.JPG", ".hidden.jpg", "c.avi", "notes.txt"}) TempDir::put(dir.file(n), "x");
    const QString root = QString::fromStdString(dir.path().string()) + "/";
    struct Row {
        const char* name;
        int filter;
        bool taken;
    } rows[] = {
        {"a.JPG", 2, true},         {"a.JPG", 0, false},        {"a.JPG", 1, true},  {"c.avi", 0, true},
        {"c.avi", 1, false},        {"notes.txt", 2, false},    {".hidden.jpg", 2, false},
        {"folder.jpg", 2, false},   {"missing.jpg", 2, false},
    };
    for (const Row& r : rows) {
        const auto e = droppedEntry(root + r.name, r.filter);
        EXPECT_EQ(e.has_value(), r.taken) << r.name << " " << r.filter;
        if (e) {
            EXPECT_EQ(e->name, QString::fromLatin1(r.name));
            EXPECT_EQ(e->path, root + r.name);
            EXPECT_FALSE(e->type.isEmpty());
        }
    }
    EXPECT_FALSE(droppedEntry(QString(), 2));
    EXPECT_FALSE(droppedEntry(QStringLiteral("/dev/null"), 2));
}

TEST(ListDelete, PlansAndTheirFlag) {
    const DeletePlan none = planDeleteSelected({false, false});
    EXPECT_TRUE(none.remove.isEmpty());
    EXPECT_FALSE(none.changed);
    const DeletePlan some = planDeleteSelected({true, false, true, true});
    EXPECT_EQ(some.remove, QList<int>({3, 2, 0}));  // from the end, so indexes stay valid
    EXPECT_TRUE(some.changed);
    EXPECT_TRUE(planDeleteAll(0).changed);  // an empty pane still counts as changed
    EXPECT_EQ(planDeleteAll(3).remove, QList<int>({2, 1, 0}));
    EXPECT_FALSE(planDeleteCurrent(0, -1).changed);
    EXPECT_EQ(planDeleteCurrent(3, 1).remove, QList<int>({1}));
    EXPECT_TRUE(planDeleteCurrent(3, 1).changed);
}

TEST(ListMove, EndsDoNotMove) {
    struct Row {
        int current, count;
        bool up;
        int target;
    } rows[] = {{0, 0, true, -1}, {-1, 3, true, -1}, {0, 3, true, -1}, {2, 3, false, -1}, {1, 3, true, 0},
                {1, 3, false, 2}, {0, 1, false, -1}, {0, 1, true, -1},  {0, 3, false, 1}};
    for (const Row& r : rows) EXPECT_EQ(moveTarget(r.current, r.count, r.up), r.target) << r.current << r.up;
}

TEST(ListNavigation, WrapArounds) {
    struct Row {
        ListPos from;
        Step step;
        ListPos to;
    } rows[] = {
        {{0, 0}, Step::PrevList, {0, 9}},    {{0, 0}, Step::PrevPage, {9, 0}},    {{0, 9}, Step::NextList, {0, 0}},
        {{0, 9}, Step::HeaderClick, {1, 0}}, {{9, 9}, Step::HeaderClick, {0, 0}}, {{9, 4}, Step::NextPage, {0, 4}},
        {{3, 4}, Step::NextList, {3, 5}},    {{3, 4}, Step::PrevPage, {2, 4}},    {{3, 4}, Step::HeaderClick, {3, 5}},
    };
    for (const Row& r : rows) EXPECT_EQ(stepTo(r.from, r.step), r.to) << r.from.page << r.from.list << int(r.step);
    // Repeated header clicks visit every list file in order.
    ListPos p;
    for (int n = 1; n <= 100; ++n) {
        p = stepTo(p, Step::HeaderClick);
        EXPECT_EQ(p.page * 10 + p.list, n % 100);
    }
}

TEST(ListNavigation, Texts) {
    EXPECT_EQ(headerText({2, 9}), QStringLiteral("Page 3 / File 10"));
    EXPECT_EQ(storePrompt({0, 0}), QStringLiteral("PAGE 1 / LIST 1 に登録します。"));
    EXPECT_EQ(deletePrompt({9, 9}), QStringLiteral("PAGE 10 / LIST 10 を削除します。"));
    EXPECT_EQ(storeFailedText("Permission denied"),
              QStringLiteral("ファイルリストを保存できませんでした。\r\nPermission denied"));
}

TEST(ListStore, KeySequenceAndFiller) {
    TempDir dir;
    const std::string file = dir.file("FILE00.INI");
    ASSERT_TRUE(storeList(file, QStringLiteral("旅行"), Files(3)));
    std::string expected = "[FILELIST]\r\nLISTNAME=旅行\r\n";
    for (int i = 0; i < 3; ++i)
        expected += "LIST00" + std::to_string(i) + "=f" + std::to_string(i) + ".jpg|/p/f" + std::to_string(i) + ".jpg\r\n";
    for (int i = 3; i < 256; ++i) expected += liststore::entryKey(i) + "=|\r\n";
    EXPECT_EQ(TempDir::get(file), expected);

    // A shorter list over a longer one: the filler hides the old tail.
    ASSERT_TRUE(storeList(file, QString(), Files(1, QStringLiteral("g"))));
    const liststore::ListFile back = liststore::readListFile(file);
    EXPECT_EQ(back.name, "");
    ASSERT_EQ(back.entries.size(), 1u);
    EXPECT_EQ(back.entries[0].name, "g0.jpg");
}

TEST(ListStore, AFailingStoreSaysWhyAndKeepsTheOldList) {
    TempDir dir;
    const std::string file = dir.file("FILE00.INI");
    ASSERT_TRUE(storeList(file, QStringLiteral("old"), Files(2)));
    const std::string before = TempDir::get(file);
    // An unstorable entry or name is refused before anything is written.
    QList<PaneEntry> bad = Files(1);
    bad << PaneEntry{QStringLiteral("x|y.jpg"), QStringLiteral("/x|y.jpg"), {}};
    EXPECT_FALSE(storeList(file, QStringLiteral("new"), bad));
    EXPECT_FALSE(storeList(file, QStringLiteral("a\r\nb"), Files(1)));
    EXPECT_EQ(TempDir::get(file), before);
    // A list file that is a folder cannot be replaced (whoever runs the test).
    std::filesystem::create_directories(dir.path() / "FILE01.INI");
    const auto why = storeList(dir.file("FILE01.INI"), QStringLiteral("n"), Files(1));
    EXPECT_EQ(why.failure(), (errors::Failure{storeFailedText("Invalid argument").toStdString(), 16}));
    EXPECT_EQ(storeList(dir.file("no/FILE01.INI"), {}, {}).failure().text, storeFailedText("No such file or directory").toStdString());
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "FILE01.INI"));
}

TEST(ListLoad, IconsFollowTheAllFilesFilter) {
    EXPECT_EQ(loadedEntry({"a.gif", "/a.gif"}).type, QStringLiteral("GIF イメージ"));
    EXPECT_EQ(loadedEntry({"b.mpg", "/b.mpg"}).type, QStringLiteral("Movie Clip"));
    EXPECT_EQ(loadedEntry({"notes.txt", "/n.txt"}).type, QString());
    EXPECT_EQ(loadedEntry({"noext", "/noext"}).type, QString());
}
