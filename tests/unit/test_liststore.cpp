#include "editor/ListEditRules.h"
#include "shared/IniFile.h"
#include "shared/ListStore.h"

#include "TempDir.h"
#include "Unprivileged.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using liststore::Entry;

std::string listText(const std::vector<std::pair<int, std::string>>& keys, const std::string& name = "") {
    std::string text = "[FILELIST]\r\n";
    if (!name.empty()) text += "LISTNAME=" + name + "\r\n";
    for (const auto& [i, v] : keys) text += liststore::entryKey(i) + "=" + v + "\r\n";
    return text;
}

TEST(ListFileNames, PageAndListGiveTwoDigits) {
    EXPECT_EQ(liststore::listFilePath("/home/u/Show/FILE", 0, 0), "/home/u/Show/FILE00.INI");
    EXPECT_EQ(liststore::listFilePath("/home/u/Show/FILE", 3, 5), "/home/u/Show/FILE35.INI");
    EXPECT_EQ(liststore::listFilePath("/FILE", 9, 9), "/FILE99.INI");
    EXPECT_EQ(liststore::entryKey(0), "LIST000");
    EXPECT_EQ(liststore::entryKey(42), "LIST042");
    EXPECT_EQ(liststore::entryKey(255), "LIST255");
}

TEST(ListFileReading, RulesOfTheEntries) {
    struct Row {
        const char* what;
        std::string text;
        std::vector<std::string> names;
    };
    const Row rows[] = {
        {"a filler ends the list", listText({{0, "a.jpg|/a.jpg"}, {1, "|"}, {2, "b.jpg|/b.jpg"}}), {"a.jpg"}},
        {"a value without | ends the list", listText({{0, "a.jpg|/a.jpg"}, {1, "b.jpg"}, {2, "c|/c"}}), {"a.jpg"}},
        {"an empty display name ends the list", listText({{0, "|/x.jpg"}, {1, "b|/b"}}), {}},
        {"a gap ends the list", listText({{0, "a|/a"}, {2, "c|/c"}}), {"a"}},
        {"split at the first |", listText({{0, "a|/p|q"}}), {"a"}},
        {"missing file", "", {}},
        {"binary junk", std::string("\0\xff[FILELIST\x01\r\nLIST000\x00=", 24), {}},
    };
    TempDir dir;
    for (const Row& r : rows) {
        const std::string file = dir.file("FILE00.INI");
        std::filesystem::remove(file);
        if (!r.text.empty()) TempDir::put(file, r.text);
        const auto list = liststore::readListFile(file);
        std::vector<std::string> names;
        for (const auto& e : list.entries) names.push_back(e.name);
        EXPECT_EQ(names, r.names) << r.what;
    }
    TempDir::put(dir.file("P.INI"), listText({{0, "a|/p|q"}}, "My list"));
    const auto list = liststore::readListFile(dir.file("P.INI"));
    ASSERT_EQ(list.entries.size(), 1u);
    EXPECT_EQ(list.entries[0].path, "/p|q");
    EXPECT_EQ(list.name, "My list");
}

TEST(ListFileReading, StopsAt256AndNeverReadsLIST256) {
    std::vector<std::pair<int, std::string>> keys;
    for (int i = 0; i <= 256; ++i) keys.emplace_back(i, "f" + std::to_string(i) + ".jpg|/f.jpg");
    TempDir dir;
    TempDir::put(dir.file("FILE00.INI"), listText(keys));
    const auto list = liststore::readListFile(dir.file("FILE00.INI"));
    ASSERT_EQ(list.entries.size(), 256u);
    EXPECT_EQ(list.entries.back().name, "f255.jpg");
}

TEST(ListFileReading, ShiftJisListsOfTheWindowsRelease) {
    // 表.jpg|C:\表.jpg in CP932: the second byte of 表 is 0x5C, and of ポ is 0x7C ("|").
    TempDir dir;
    TempDir::put(dir.file("FILE00.INI"),
                 "[FILELIST]\r\nLISTNAME=\x83\x7C\x83\x58\r\nLIST000=\x95\x5C.jpg|C:\\\x95\x5C.jpg\r\n"
                 "LIST001=\x83\x7C.jpg|C:\\\x83\x7C.jpg\r\n");
    const auto list = liststore::readListFile(dir.file("FILE00.INI"));
    EXPECT_EQ(list.name, "\xE3\x83\x9D\xE3\x82\xB9");  // ポス
    ASSERT_EQ(list.entries.size(), 2u);
    EXPECT_EQ(list.entries[0].name, "\xE8\xA1\xA8.jpg");
    EXPECT_EQ(list.entries[0].path, "C:\\\xE8\xA1\xA8.jpg");
    EXPECT_EQ(list.entries[1].name, "\xE3\x83\x9D.jpg");  // not cut at the trail byte 0x7C
    EXPECT_EQ(list.entries[1].path, "C:\\\xE3\x83\x9D.jpg");
}

TEST(ListFileWriting, StoreWritesNameEntriesAndFillersInOrder) {
    TempDir dir;
    const std::string file = dir.file("FILE00.INI");
    const std::vector<Entry> ten(10, Entry{"x.jpg", "/x.jpg"});
    ASSERT_TRUE(liststore::writeListFile(file, "ten", ten));
    const std::vector<Entry> three = {{"a.jpg", "/p/a.jpg"}, {"b.avi", "/p/b.avi"}, {"写真.gif", "/p/写真.gif"}};
    ASSERT_TRUE(liststore::writeListFile(file, "three", three));

    std::string expected = "[FILELIST]\r\nLISTNAME=three\r\nLIST000=a.jpg|/p/a.jpg\r\nLIST001=b.avi|/p/b.avi\r\n"
                           "LIST002=写真.gif|/p/写真.gif\r\n";
    for (int i = 3; i < 256; ++i) expected += liststore::entryKey(i) + "=|\r\n";
    EXPECT_EQ(TempDir::get(file), expected);

    const auto back = liststore::readListFile(file);
    EXPECT_EQ(back.name, "three");
    ASSERT_EQ(back.entries.size(), 3u);
    EXPECT_EQ(back.entries[2].name, "写真.gif");
}

TEST(ListFileWriting, KeepsForeignKeysAndSections) {
    TempDir dir;
    const std::string file = dir.file("FILE01.INI");
    TempDir::put(file, "; notes\r\n[FILELIST]\r\nLIST000=old|/old\r\nEXTRA=1\r\n[OTHER]\r\nk=v\r\n");
    ASSERT_TRUE(liststore::writeListFile(file, "", {{"n.jpg", "/n.jpg"}}));
    const std::string text = TempDir::get(file);
    EXPECT_EQ(text.rfind("; notes\r\n[FILELIST]\r\nLIST000=n.jpg|/n.jpg\r\nEXTRA=1\r\nLISTNAME=\r\nLIST001=|\r\n", 0), 0u);
    EXPECT_NE(text.find("[OTHER]\r\nk=v\r\n"), std::string::npos);
}

TEST(ListFileWriting, UnstorableEntriesLeaveTheOldListWhole) {
    TempDir dir;
    const std::string file = dir.file("FILE02.INI");
    ASSERT_TRUE(liststore::writeListFile(file, "keep", {{"a.jpg", "/a.jpg"}}));
    const std::string before = TempDir::get(file);
    const std::vector<std::vector<Entry>> bad = {
        {{"a|b.jpg", "/a|b.jpg"}},
        {{"a.jpg", "/x\n.jpg"}},
        {{"a\r.jpg", "/a.jpg"}},
        {{"", "/nameless.jpg"}},
        {{"ok.jpg", "/ok.jpg"}, {"b\n.jpg", "/b.jpg"}},
    };
    for (const auto& entries : bad) {
        EXPECT_FALSE(liststore::writeListFile(file, "changed", entries));
        EXPECT_EQ(TempDir::get(file), before);
    }
    EXPECT_FALSE(liststore::writeListFile(file, "bad\nname", {}));
    EXPECT_EQ(TempDir::get(file), before);
    EXPECT_TRUE(liststore::isStorable({"a.jpg", "/dir|with bar/a.jpg"}));  // "|" in the path reads back
}

TEST(ListFileWriting, OnlyThe256ReadableEntriesAreStored) {
    TempDir dir;
    const std::string file = dir.file("FILE03.INI");
    std::vector<Entry> many(300, Entry{"m.jpg", "/m.jpg"});
    ASSERT_TRUE(liststore::writeListFile(file, "", many));
    EXPECT_EQ(ini::readProfileString(file, "FILELIST", "LIST256"), "");
    EXPECT_EQ(liststore::readListFile(file).entries.size(), 256u);
}

TEST(ListFileDeleting, RemovesAndReportsTheSystemError) {
    TempDir dir;
    const std::string file = dir.file("FILE04.INI");
    ASSERT_TRUE(liststore::writeListFile(file, "", {}));
    EXPECT_TRUE(liststore::deleteListFile(file));
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(liststore::deleteListFile(file).failure().text, "No such file or directory");
}

TEST(ListFileWriting, FileThatMayNotBeReadOrWrittenIsKeptAndTheStoreFails) {
    const struct {
        const char* what;
        mode_t fileMode;
        mode_t folderMode;
    } rows[] = {{"read-only folder", 0644, 0500},
                {"read-only file", 0444, 0700},
                {"unreadable file", 0200, 0700},
                {"no permission at all", 0000, 0700}};
    for (const auto& r : rows) {
        TempDir dir;
        const std::string file = dir.file("FILE05.INI");
        const std::string old = listText({{0, "a|/a"}, {1, "b|/b"}}, "old") + "[mine]\r\nx=1\r\n";
        TempDir::put(file, old);
        ::chmod(file.c_str(), r.fileMode);
        ::chmod(dir.path().c_str(), r.folderMode);
        asUnprivileged(dir.path(), [&] {
            EXPECT_FALSE(liststore::writeListFile(file, "new", {})) << r.what;
            // The editor's failure box gets the system's reason.
            EXPECT_EQ(editor::storeList(file, "new", {}).failure().text, editor::storeFailedText("Permission denied").toStdString()) << r.what;
        });
        ::chmod(dir.path().c_str(), 0700);
        EXPECT_EQ(TempDir::get(file), old) << r.what;
    }
}

TEST(PlayList, StartupLoadTakesTitlesWithoutExtension) {
    TempDir dir;
    mdlPublic::PublicState s;
    mdlPublic::setPaths(s, dir.path().string());
    s.pageNum = 3;
    s.fileNum = 5;
    s.playList.position = 7;
    TempDir::put(dir.file("FILE35.INI"),
                 listText({{0, "my.holiday.jpg|/p/my.holiday.jpg"}, {1, "README|/p/README"}, {2, "x.avi|/p/x.avi"}}));
    liststore::loadPlayList(s);
    EXPECT_EQ(s.playList.count, 3);
    EXPECT_EQ(s.playList.titles[0], "my.holiday");
    EXPECT_EQ(s.playList.titles[1], "");
    EXPECT_EQ(s.playList.titles[2], "x");
    EXPECT_EQ(s.playList.paths[1], "/p/README");
    EXPECT_EQ(s.playList.position, 7);  // not changed by the load

    s.fileNum = 6;  // no such file: an empty list
    liststore::loadPlayList(s);
    EXPECT_EQ(s.playList.count, 0);
    EXPECT_EQ(s.playList.paths[0], "");
}

TEST(PlayList, HandOverKeepsNamesAndStopsAt256) {
    mdlPublic::PlayList pl;
    pl.position = 9;
    std::vector<Entry> entries;
    for (int i = 0; i < 300; ++i) entries.push_back({"n" + std::to_string(i) + ".jpg", "/p" + std::to_string(i)});
    liststore::handOver(pl, entries);
    EXPECT_EQ(pl.count, 256);
    EXPECT_EQ(pl.position, 0);
    EXPECT_EQ(pl.titles[0], "n0.jpg");
    EXPECT_EQ(pl.paths[255], "/p255");

    liststore::handOver(pl, {{"a.jpg", "/a"}});
    EXPECT_EQ(pl.count, 1);
    EXPECT_EQ(pl.titles[1], "");  // the old slots are cleared
}

TEST(DevFName, TextBeforeTheLastDot) {
    EXPECT_EQ(liststore::DevFName("photo.jpg"), "photo");
    EXPECT_EQ(liststore::DevFName("my.holiday.jpg"), "my.holiday");
    EXPECT_EQ(liststore::DevFName("README"), "");
    EXPECT_EQ(liststore::DevFName(".hidden"), "");
    EXPECT_EQ(liststore::DevFName("ends."), "ends");
}

}  // namespace
