#include "editor/EditorRules.h"
#include "shared/Settings.h"
#include "shared/Twips.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace editor;

TEST(Twips, PerPixelAndText) {
    EXPECT_DOUBLE_EQ(twips::perPixel(96), 15);
    EXPECT_DOUBLE_EQ(twips::perPixel(120), 12);
    EXPECT_DOUBLE_EQ(twips::perPixel(0), 15);
    EXPECT_DOUBLE_EQ(wholePixel(14.4), 14);
    EXPECT_DOUBLE_EQ(wholePixel(0.2), 1);
    const std::pair<double, const char*> rows[] = {
        {1200, "1200"}, {-60, "-60"}, {0, "0"}, {-0.0, "0"}, {7.5, "7.5"}, {12345678, "12345678"}, {1.0 / 3, "0.3333333"},
    };
    for (const auto& [value, text] : rows) EXPECT_EQ(settings::twipsText(value), text) << value;
}

TEST(WindowFrame, OffScreenFramesComeBackToThePrimaryScreen) {
    const QRect primary(0, 0, 1920, 1040);
    const std::vector<QRect> screens = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    struct Row {
        const char* what;
        QRect frame;
        QRect expected;
    };
    const Row rows[] = {
        {"inside stays", QRect(100, 100, 800, 600), QRect(100, 100, 800, 600)},
        {"on the second screen stays", QRect(2000, 50, 800, 600), QRect(2000, 50, 800, 600)},
        {"partly off but grabbable stays", QRect(-700, -10, 800, 600), QRect(-700, -10, 800, 600)},
        {"minimised position comes back", QRect(-32000, -32000, 800, 600), QRect(560, 220, 800, 600)},
        {"a display no longer there", QRect(3300, 100, 800, 600), QRect(560, 220, 800, 600)},
        {"only a sliver visible", QRect(1900, 1070, 800, 600), QRect(560, 220, 800, 600)},
        {"too big for the screen shrinks", QRect(5000, 5000, 4000, 3000), QRect(0, 0, 1920, 1040)},
    };
    for (const Row& r : rows) EXPECT_EQ(editor::bringOntoScreen(r.frame, screens, primary), r.expected) << r.what;
}

TEST(FileListing, TimeFormat) {
    EXPECT_EQ(listTime(QDateTime(QDate(1999, 12, 31), QTime(23, 59))), QStringLiteral("99/12/31 23:59"));
    EXPECT_EQ(listTime(QDateTime(QDate(2000, 1, 5), QTime(7, 3))), QStringLiteral("00/01/05 07:03"));
    EXPECT_EQ(previewTimeText(QDateTime(QDate(1999, 11, 15), QTime(21, 12))), QStringLiteral("更新日時: 99/11/15 21:12"));
}

TEST(FileListing, FolderNames) {
    const std::pair<const char*, bool> rows[] = {
        {".", false}, {"..", false}, {"pagefile.sys", false}, {"?", false}, {"", false},
        {".hidden", true}, {"Photos", true}, {"Pagefile.sys", true},
    };
    for (const auto& [name, listed] : rows) EXPECT_EQ(isListedFolderName(QString::fromUtf8(name)), listed) << name;
}

TEST(FileListing, RowsFollowTheTypeFilter) {
    struct Row {
        int filter;
        const char* name;
        bool listed;
        const char* type;
    } rows[] = {
        {2, "photo.JPG", true, "JPEG イメージ"}, {2, "photo.jpg", true, "JPEG イメージ"},
        {2, "noext", false, ""},                 {2, "name.", false, ""},
        {0, "photo.jpg", false, ""},             {1, "clip.avi", false, ""},
        {0, "clip.avi", true, "Video Clip"},     {2, ".hidden.gif", true, "GIF イメージ"},
        {2, "list.m3u", true, "M3U ファイル"},    {2, "notes.txt", false, ""},
    };
    const QDateTime t(QDate(2001, 2, 3), QTime(4, 5));
    for (const Row& r : rows) {
        const auto row = makeFileRow(r.filter, QStringLiteral("/home/u/Show/"), QString::fromUtf8(r.name), t);
        ASSERT_EQ(row.has_value(), r.listed) << r.name << " filter " << r.filter;
        if (!row) continue;
        EXPECT_EQ(row->key, QStringLiteral("/home/u/Show/") + QString::fromUtf8(r.name));
        EXPECT_EQ(row->name, QString::fromUtf8(r.name));
        EXPECT_EQ(row->type, QString::fromUtf8(r.type));
        EXPECT_EQ(row->time, QStringLiteral("01/02/03 04:05"));
    }
}

TEST(Drives, LongestMountPointAtAFolderBoundary) {
    const QStringList roots = {"/", "/home", "/mnt/data", "/mnt/data/inner"};
    const std::pair<const char*, const char*> rows[] = {
        {"/home/u/Show/", "/home"}, {"/homework/", "/"},        {"/mnt/data", "/mnt/data"},
        {"/mnt/data/inner/x/", "/mnt/data/inner"}, {"/mnt/database/", "/"}, {"relative/", ""},
    };
    for (const auto& [path, drive] : rows) EXPECT_EQ(driveOf(QString::fromUtf8(path), roots), QString::fromUtf8(drive)) << path;
    EXPECT_EQ(rootFolderPath("/"), QStringLiteral("/"));
    EXPECT_EQ(rootFolderPath("/mnt/data"), QStringLiteral("/mnt/data/"));
}

TEST(TreeWalk, SegmentsBelowTheDriveRoot) {
    struct Row {
        const char* path;
        const char* root;
        QStringList segments;
    } rows[] = {
        {"/home/u/Show/", "/", {"home", "u", "Show"}},
        {"/mnt/d/a/b/", "/mnt/d", {"a", "b"}},
        {"/", "/", {}},
        {"/mnt/d/", "/mnt/d", {}},
        {"/other/a/", "/mnt/d", {}},
        {"/home//u/", "/", {"home", "u"}},
        {"/home/u", "/", {"home"}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(walkSegments(QString::fromUtf8(r.path), QString::fromUtf8(r.root)), r.segments) << r.path;
}

TEST(TreeWalk, ChildNamesCompareCaseSensitively) {
    const QStringList children = {"Photos", "photos", "Music"};
    EXPECT_EQ(childIndexOf(children, "photos"), 1);
    EXPECT_EQ(childIndexOf(children, "Photos"), 0);
    EXPECT_EQ(childIndexOf(children, "PHOTOS"), -1);
    EXPECT_EQ(childIndexOf({}, "x"), -1);
}

TEST(TreeWalk, FoldersSortAsFileManagersSortThem) {
    const QStringList sorted = {"1", "01", "2", "10", "_x", "a2", "a10", "b", "Photos", "photos", "photos 2", "Ärger", "Ünter"};
    QStringList shuffled = sorted;
    std::reverse(shuffled.begin(), shuffled.end());
    std::swap(shuffled[2], shuffled[9]);
    std::sort(shuffled.begin(), shuffled.end(), folderNameLess);
    EXPECT_EQ(shuffled, sorted);
    for (const QString& name : sorted) EXPECT_FALSE(folderNameLess(name, name)) << name.toStdString();
}

TEST(Preview, SummaryAndKinds) {
    EXPECT_EQ(selectionSummary({"a.jpg", "b.jpg", "c.avi"}),
              QStringLiteral("3 個のオブジェクトを選択\r\n\r\na.jpg\r\nb.jpg\r\nc.avi"));
    EXPECT_EQ(selectionSummary({"a", "b"}).count(QStringLiteral("\r\n")), 3);
    EXPECT_EQ(kindOf("Video Clip"), PreviewKind::Movie);
    EXPECT_EQ(kindOf("M3U ファイル"), PreviewKind::Movie);
    EXPECT_EQ(kindOf("QuickTime ムービー"), PreviewKind::Movie);
    EXPECT_EQ(kindOf("GIF イメージ"), PreviewKind::Image);
    EXPECT_EQ(kindOf("ビットマップ イメージ"), PreviewKind::Image);
    EXPECT_EQ(kindOf(""), PreviewKind::Other);
    EXPECT_EQ(kindOf("HEIF イメージ"), PreviewKind::Image);
    EXPECT_EQ(kindOf("MPEG-4 ビデオ"), PreviewKind::Movie);
    EXPECT_EQ(kindOf("FLAC オーディオ"), PreviewKind::Movie);  // a sound plays in the movie element
}

TEST(CloseValues, AllKeysInOrderWithTheirFormats) {
    CloseView v;
    v.defPath = "/home/u/Show/";
    v.left = 1200;
    v.top = -60;
    v.width = 9660;
    v.height = 8925;
    v.windowState = 2;
    v.viewMode = 1;
    v.pattern = 0;
    v.intervalText = "25";
    v.unit = 1;
    v.fileNum = 3;
    v.pageNum = 9;
    v.bar1 = 3000;
    v.bar2 = 6045;
    v.bar3 = 3840;
    v.head1 = 2100;
    v.head2 = 1500;
    v.head3 = 1650;
    v.sortKey = 2;
    v.sortOrder = 1;
    v.customBar = false;
    v.preview = false;
    using namespace settings;
    const std::vector<Entry> expected = {
        {kDefPath.name, "/home/u/Show/"}, {kMainLeft.name, "1200"}, {kMainTop.name, "-60"}, {kMainWidth.name, "9660"},
        {kMainHeight.name, "8925"}, {kWindowState.name, "2"}, {kViewMode.name, "1"}, {kPattern.name, "0"},
        {kInterval.name, "25"}, {kUnit.name, "1"}, {kFileNum.name, "3"}, {kPageNum.name, "9"}, {kBar1.name, "3000"},
        {kBar2.name, "6045"}, {kBar3.name, "3840"}, {kHead1.name, "2100"}, {kHead2.name, "1500"}, {kHead3.name, "1650"},
        {kSortKey.name, "2"}, {kSortOrder.name, "1"}, {kToolBar.name, "1"}, {kCustomBar.name, "0"},
        {kStatusBar.name, "1"}, {kPreview.name, "0"}};
    EXPECT_EQ(closeValues(v), expected);
}

TEST(CloseValues, IntervalIsTheBoxTextAsAWholeNumber) {
    const std::pair<const char*, const char*> rows[] = {{"5.", "5"}, {"2.5", "2"}, {"3.5", "4"}, {"07", "7"},
                                                        {"abc", "12"}, {"", "12"}};
    for (const auto& [text, stored] : rows) {
        CloseView v;
        v.intervalText = text;
        v.intervalValue = 12;
        const auto values = closeValues(v);
        EXPECT_EQ(std::ranges::find(values, settings::kInterval.name, &settings::Entry::first)->second, stored) << text;
    }
}

TEST(OpenView, NumericTestsAndFallbacks) {
    struct Row {
        const char* ini;
        bool toolBar;
        int viewMode;
        bool maximised;
    } rows[] = {
        {"ToolBar=abc\nViewMode=x\n", true, 3, false},
        {"ToolBar=0\nViewMode=0\nWindowState=2\n", false, 0, true},
        {"ToolBar=0.4\nViewMode=1\nWindowState=1\n", false, 1, false},
        {"ToolBar=2\nViewMode=9\nWindowState=20\n", true, 3, true},
        {"", true, 3, false},
    };
    for (const Row& r : rows) {
        const OpenView v = readOpenView(ini::Snapshot(std::string("[VISTROVA]\n") + r.ini));
        EXPECT_EQ(v.toolBar, r.toolBar) << r.ini;
        EXPECT_EQ(v.viewMode, r.viewMode) << r.ini;
        EXPECT_EQ(v.maximised, r.maximised) << r.ini;
        EXPECT_TRUE(v.statusBar && v.customBar && v.preview) << r.ini;
    }
    const OpenView v = readOpenView(ini::Snapshot(
        "[VISTROVA]\nMainLeft=1200\nMainTop=abc\nBar3=2500.4\nPATTERN=7\nSortKey=2\nSortOrder=1\nPreview=0\n"));
    EXPECT_EQ(v.left, 1200);
    EXPECT_FALSE(v.top);
    EXPECT_EQ(v.bar3, 2500);
    EXPECT_EQ(v.pattern, 2);
    EXPECT_EQ(v.sortKey, 2);
    EXPECT_EQ(v.sortOrder, 1);
    EXPECT_FALSE(v.preview);
}
