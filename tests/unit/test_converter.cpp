#include "converter/Converter.h"
#include "converter/FormLayout.h"

#include "TempDir.h"
#include "Unprivileged.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using converter::kSettingsMissing;

// Lines joined with CRLF, as the Windows release wrote them.
std::string crlf(std::initializer_list<std::string> lines) {
    std::string s;
    for (const std::string& l : lines) s += l + "\r\n";
    return s;
}

std::string fullSection(const std::string& header, int count, const std::string& stem) {
    std::string s = header + "\r\n";
    for (int j = 0; j < count; ++j) {
        char key[16];
        std::snprintf(key, sizeof key, "LIST%03d", j);
        s += std::string(key) + "=" + stem + std::to_string(j) + "\r\n";
    }
    return s;
}

struct Folder {
    TempDir dir;
    converter::Paths paths = converter::pathsOf(dir.path().string());

    void settings(const std::string& bytes) const { TempDir::put(paths.settingsFile, bytes); }
    std::string list(int i) const { return TempDir::get(converter::listFileOf(paths.listPrefix, i)); }
    bool hasList(int i) const { return fs::exists(converter::listFileOf(paths.listPrefix, i)); }
    std::vector<std::string> listFiles() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir.path())) {
            const std::string n = e.path().filename().string();
            if (n != "VISTROVA.INI") names.push_back(n);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

// ---------------------------------------------------------------- progress

TEST(ConverterProgress, BarWidthRoundsHalvesToEven) {
    struct Row {
        int index;
        int width;
    };
    // 3.05 -> 3, 30.5 -> 30 (even), 91.5 -> 92 (even), 152.5 -> 152, 302.95 -> 303.
    for (const Row& r : {Row{0, 3}, Row{9, 30}, Row{29, 92}, Row{49, 152}, Row{98, 302}, Row{99, 305}}) {
        EXPECT_EQ(converter::barWidth(r.index), r.width) << "i = " << r.index;
    }
    EXPECT_EQ(converter::percentText(0), "1%");
    EXPECT_EQ(converter::percentText(99), "100%");
}

TEST(ConverterProgress, ReportsEveryListInOrderEvenWithoutLists) {
    Folder f;
    f.settings("[VISTROVA]\r\nINTERVAL=5\r\n");
    std::vector<int> seen;
    const auto result = converter::ChgINI(f.paths, [&](int i) { seen.push_back(i); });
    ASSERT_TRUE(result);
    ASSERT_EQ(seen.size(), 100u);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(seen[static_cast<std::size_t>(i)], i);
    EXPECT_TRUE(f.listFiles().empty());
}

TEST(ConverterLayout, TwipsToPixelsFollowTheScreenDensity) {
    const converter::FormLayout layout;
    const auto at96 = converter::toPixels(layout.client, 15.0, 15.0);
    EXPECT_EQ(at96.width, 337);
    EXPECT_EQ(at96.height, 143);
    EXPECT_EQ(converter::toPixels(layout.shpBase, 15.0, 15.0).width, converter::kTrackPixels);
    EXPECT_EQ(converter::toPixels(layout.shpBar, 15.0, 15.0).width, 1);
    const auto button = converter::toPixels(layout.cmdConvert, 15.0, 15.0);
    EXPECT_EQ(button.left, 16);
    EXPECT_EQ(button.top, 96);
    EXPECT_EQ(button.width, 81);
    EXPECT_EQ(button.height, 33);
    const auto percent = converter::toPixels(layout.lblPar, 15.0, 15.0);
    EXPECT_EQ(converter::widenedAboutCentre(percent, 31).left, percent.left - 3);  // centre kept
    EXPECT_EQ(converter::widenedAboutCentre(percent, 31).width, 31);
    EXPECT_EQ(converter::widenedAboutCentre(percent, 10).width, percent.width);   // never narrowed
    // At 144 dpi (10 twips per pixel) the track is 457.5 -> 458 pixels.
    EXPECT_EQ(converter::toPixels(layout.shpBase, 10.0, 10.0).width, 458);
    EXPECT_EQ(converter::barWidth(99, 458), 458);
}

// ---------------------------------------------------------------- conversion

struct ConvertRow {
    const char* what;
    std::string settings;
    std::map<int, std::string> expected;  // list number -> exact bytes of its list file
};

class ConverterRows : public ::testing::TestWithParam<ConvertRow> {};

TEST_P(ConverterRows, WritesExactlyTheExpectedListFiles) {
    const ConvertRow& row = GetParam();
    Folder f;
    f.settings(row.settings);
    const auto result = converter::ChgINI(f.paths);
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->unwritable.empty());
    EXPECT_EQ(result->listsWritten, static_cast<int>(row.expected.size()));
    std::vector<std::string> names;
    for (const auto& [i, bytes] : row.expected) {
        names.push_back(fs::path(converter::listFileOf(f.paths.listPrefix, i)).filename().string());
        EXPECT_EQ(f.list(i), bytes) << "list " << i;
    }
    EXPECT_EQ(f.listFiles(), names);
    // The old sections stay: the settings file is never written.
    EXPECT_EQ(TempDir::get(f.paths.settingsFile), row.settings);
}

const std::string k600(600, 'x');
// Shift-JIS "テ" (0x83 0x65) repeated: byte 511 would be a lead byte, so the cut is at 510.
const std::string kSjis600 = [] {
    std::string s;
    while (s.size() < 600) s += "\x83\x65";
    return s;
}();

INSTANTIATE_TEST_SUITE_P(
    Lists, ConverterRows,
    ::testing::Values(
        ConvertRow{"no LIST000: the list is not converted, whatever else it has",
                   crlf({"[FILE0]", "LIST001=b|/b", "LISTNAME=name", "[FILE1]", "LIST000=", "LIST001=c|/c",
                         "LISTNAME=n1"}),
                   {}},
        ConvertRow{"a gap ends the list; a missing LISTNAME is written empty",
                   crlf({"[FILE0]", "LIST000=a|/a", "LIST001=b|/b", "LIST003=d|/d"}),
                   {{0, crlf({"[FILELIST]", "LIST000=a|/a", "LIST001=b|/b", "LISTNAME="})}}},
        ConvertRow{"256 entries converted whole, LIST256 never read",
                   fullSection("[FILE5]", 257, "e") + "LISTNAME=full\r\n",
                   {{5, fullSection("[FILELIST]", 256, "e") + "LISTNAME=full\r\n"}}},
        ConvertRow{"FILE7 goes to FILE07.INI, FILE42 to FILE42.INI, FILE07 is never read",
                   crlf({"[FILE07]", "LIST000=wrong|/w", "[FILE7]", "LIST000=seven|/7", "LISTNAME=L7", "[FILE42]",
                         "LIST000=forty-two|/42", "[FILE100]", "LIST000=never|/n"}),
                   {{7, crlf({"[FILELIST]", "LIST000=seven|/7", "LISTNAME=L7"})},
                    {42, crlf({"[FILELIST]", "LIST000=forty-two|/42", "LISTNAME="})}}},
        ConvertRow{"odd case, spaces, quotes, comments, CR-only line ends, a second FILE3 section",
                   std::string("junk before any section\r[ file3 ]\r  list000 =  \"quoted value\"  \r"
                               "; LIST001=commented\r LIST001\t=  b|/b\rlistname = 'Name'\r"
                               "[FILE3]\rLIST002=second section is never read\r"),
                   {{3, crlf({"[FILELIST]", "LIST000=quoted value", "LIST001=b|/b", "LISTNAME=Name"})}}},
        ConvertRow{"values cut as the reader cuts them: 511 bytes, 510 before a split Shift-JIS character",
                   crlf({"[FILE0]", "LIST000=" + k600, "LIST001=" + kSjis600,
                         "LIST002=\x83\x65\x83\x58\x83\x67|C:\\\x89\xe6\x91\x9c.jpg", "LISTNAME=\x96\xbc"}),
                   {{0, crlf({"[FILELIST]", "LIST000=" + k600.substr(0, 511), "LIST001=" + kSjis600.substr(0, 510),
                              "LIST002=\x83\x65\x83\x58\x83\x67|C:\\\x89\xe6\x91\x9c.jpg", "LISTNAME=\x96\xbc"})}}},
        ConvertRow{"a value ending at a NUL byte is copied up to it",
                   std::string("[FILE1]\r\nLIST000=ab\0cd\r\nLISTNAME=x\r\n", 36),
                   {{1, crlf({"[FILELIST]", "LIST000=ab", "LISTNAME=x"})}}}),
    [](const ::testing::TestParamInfo<ConvertRow>& row) { return "row" + std::to_string(row.index); });

TEST(Converter, ExistingListFileIsWrittenIntoNotReplaced) {
    Folder f;
    f.settings(crlf({"[FILE3]", "LIST000=new0|/n0", "LIST001=new1|/n1", "LISTNAME=new name"}));
    const std::string existing = crlf({"; kept comment", "[OTHER]", "k=v", "[FileList]", "LISTNAME=old name",
                                       "list000 = old0|/o0", "LIST004=kept4|/k4", "", "; trailing comment"});
    TempDir::put(converter::listFileOf(f.paths.listPrefix, 3), existing);

    const auto result = converter::ChgINI(f.paths);
    EXPECT_EQ(result->listsWritten, 1);
    EXPECT_EQ(f.list(3), crlf({"; kept comment", "[OTHER]", "k=v", "[FileList]", "LISTNAME=new name",
                               "list000=new0|/n0", "LIST004=kept4|/k4", "LIST001=new1|/n1", "",
                               "; trailing comment"}));

    // Running again writes the same values again.
    const std::string once = f.list(3);
    converter::ChgINI(f.paths);
    EXPECT_EQ(f.list(3), once);
}

TEST(Converter, BinaryGarbageNeverCrashesAndWritesOnlyLists) {
    Folder f;
    std::string garbage;
    unsigned state = 12345;
    for (int n = 0; n < 20000; ++n) {
        state = state * 1103515245u + 12345u;
        garbage += static_cast<char>(state >> 16);
    }
    f.settings(garbage + "\r\n[FILE9]\r\nLIST000=\xff\xfe\x80|/x\r\n");
    const auto result = converter::ChgINI(f.paths);
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->unwritable.empty());
    ASSERT_TRUE(f.hasList(9));
    EXPECT_EQ(f.list(9), crlf({"[FILELIST]", "LIST000=\xff\xfe\x80|/x", "LISTNAME="}));
    for (const std::string& name : f.listFiles()) EXPECT_EQ(name.rfind("FILE", 0), 0u) << name;
}

// ---------------------------------------------------------------- failures

TEST(ConverterFailure, MissingSettingsTouchesNothing) {
    Folder f;
    int calls = 0;
    auto result = converter::ChgINI(f.paths, [&](int) { ++calls; });
    EXPECT_EQ(result.failure(), kSettingsMissing);
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(f.listFiles().empty());

    // A folder named like the settings file is no settings file either.
    fs::create_directory(f.paths.settingsFile);
    result = converter::ChgINI(f.paths, [&](int) { ++calls; });
    EXPECT_EQ(result.failure(), kSettingsMissing);
    EXPECT_EQ(calls, 0);
}

TEST(ConverterFailure, UnreadableSettingsIsNotTakenForAnEmptyOne) {
    Folder f;
    f.settings(crlf({"[FILE0]", "LIST000=a|/a"}));
    ::chmod(f.paths.settingsFile.c_str(), 0);
    asUnprivileged(f.dir.path(), [&] { EXPECT_EQ(converter::ChgINI(f.paths).failure(), converter::kSettingsUnreadable); });
    EXPECT_FALSE(f.hasList(0));

    // A FIFO in its place is not opened (that would block for good).
    fs::remove(f.paths.settingsFile);
    ASSERT_EQ(::mkfifo(f.paths.settingsFile.c_str(), 0600), 0);
    EXPECT_EQ(converter::ChgINI(f.paths).failure(), converter::kSettingsUnreadable);
    EXPECT_TRUE(fs::is_fifo(f.paths.settingsFile));
}

TEST(ConverterFailure, UnwritableListFilesAreReportedAndTheOthersStillWritten) {
    Folder f;
    f.settings(crlf({"[FILE1]", "LIST000=a|/a", "[FILE2]", "LIST000=b|/b", "[FILE4]", "LIST000=c|/c"}));
    // A folder where FILE02.INI belongs cannot be replaced by a file.
    fs::create_directory(converter::listFileOf(f.paths.listPrefix, 2));
    const auto result = converter::ChgINI(f.paths);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->listsWritten, 2);
    EXPECT_EQ(result->unwritable, std::vector<std::string>{converter::listFileOf(f.paths.listPrefix, 2)});
    EXPECT_EQ(f.list(1), crlf({"[FILELIST]", "LIST000=a|/a", "LISTNAME="}));
    EXPECT_EQ(f.list(4), crlf({"[FILELIST]", "LIST000=c|/c", "LISTNAME="}));
    EXPECT_TRUE(fs::is_directory(converter::listFileOf(f.paths.listPrefix, 2)));
}

TEST(ConverterFailure, ReadOnlyFolderReportsEveryListAndKeepsOldFiles) {
    Folder f;
    f.settings(crlf({"[FILE0]", "LIST000=a|/a", "[FILE1]", "LIST000=b|/b"}));
    const std::string old = crlf({"[FILELIST]", "LIST000=old|/o"});
    TempDir::put(converter::listFileOf(f.paths.listPrefix, 1), old);
    ::chmod(f.dir.path().c_str(), 0555);
    asUnprivileged(f.dir.path(), [&] {
        const auto result = converter::ChgINI(f.paths);
        EXPECT_EQ(result->listsWritten, 0);
        EXPECT_EQ(result->unwritable, (std::vector<std::string>{converter::listFileOf(f.paths.listPrefix, 0),
                                                                converter::listFileOf(f.paths.listPrefix, 1)}));
    });
    ::chmod(f.dir.path().c_str(), 0755);
    EXPECT_FALSE(f.hasList(0));
    EXPECT_EQ(f.list(1), old);
}

TEST(ConverterFailure, ListFileThatMayNotBeReadOrWrittenIsReportedAndKept) {
    // Its keys the old section lacks would be lost if it were taken as empty.
    Folder f;
    f.settings(crlf({"[FILE0]", "LIST000=a|/a", "[FILE1]", "LIST000=b|/b", "[FILE2]", "LIST000=c|/c"}));
    const std::string old = crlf({"[FILELIST]", "LIST000=old|/o", "LIST001=keep|/k", "LISTNAME=mine"});
    TempDir::put(converter::listFileOf(f.paths.listPrefix, 0), old);
    TempDir::put(converter::listFileOf(f.paths.listPrefix, 2), old);
    ::chmod(converter::listFileOf(f.paths.listPrefix, 0).c_str(), 0200);
    ::chmod(converter::listFileOf(f.paths.listPrefix, 2).c_str(), 0444);
    asUnprivileged(f.dir.path(), [&] {
        const auto result = converter::ChgINI(f.paths);
        EXPECT_EQ(result->listsWritten, 1);
        EXPECT_EQ(result->unwritable, (std::vector<std::string>{converter::listFileOf(f.paths.listPrefix, 0),
                                                                converter::listFileOf(f.paths.listPrefix, 2)}));
    });
    EXPECT_EQ(f.list(0), old);
    EXPECT_EQ(f.list(2), old);
    EXPECT_EQ(f.list(1), crlf({"[FILELIST]", "LIST000=b|/b", "LISTNAME="}));
}

TEST(ConverterFailure, MessageListsOneFilePerLine) {
    EXPECT_EQ(converter::unwritableMessage({"/h/FILE02.INI", "/h/FILE10.INI"}),
              (errors::Failure{"次のファイルに書き込めませんでした。\r\n/h/FILE02.INI\r\n/h/FILE10.INI", 16}));
}

}  // namespace
