// The editor window on the offscreen platform: close write-back, the prompt,
// the browser and the preview pane.
#include "editor/EditorRules.h"
#include "editor/FileView.h"
#include "platform/MpvElement.h"

#include "EditorFixture.h"
#include "FifoWatch.h"
#include "MessageBoxes.h"
#include "QtWait.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

using editor::frmFileListEx;
using namespace settings;

namespace {

class Editor : public EditorTest {
protected:
    std::vector<std::string> KeysInFile() const {
        std::vector<std::string> keys;
        const std::string text = Ini();
        std::size_t pos = 0;
        while (pos < text.size()) {
            std::size_t end = text.find("\r\n", pos);
            if (end == std::string::npos) end = text.size();
            const std::string line = text.substr(pos, end - pos);
            if (const auto eq = line.find('='); eq != std::string::npos) keys.push_back(line.substr(0, eq));
            pos = end + 2;
        }
        return keys;
    }
    // Opens, shows and closes one editor session.
    void Session() {
        frmFileListEx& w = Open();
        w.close();
        EXPECT_FALSE(w.isVisible());
    }
};

TEST_F(Editor, CloseWritesTheKeysInOrderAndTheGeometryDoesNotDrift) {
    Session();
    std::vector<std::string> expected;
    for (const auto& [key, text] : editor::closeValues({})) expected.emplace_back(key);
    EXPECT_EQ(KeysInFile(), expected);
    EXPECT_EQ(Value(kWindowState), "0");
    EXPECT_EQ(Value(kViewMode), "3");
    EXPECT_EQ(Value(kPattern), "2");
    EXPECT_EQ(Value(kInterval), "10");
    EXPECT_EQ(Value(kToolBar), "1");
    EXPECT_EQ(Value(kPreview), "1");
    EXPECT_EQ(Value(kDefPath), "/");
    for (const auto* key : {&kMainLeft, &kMainTop, &kMainWidth, &kMainHeight, &kBar1, &kBar2, &kBar3, &kHead1}) {
        const std::string v = Value(*key);
        EXPECT_FALSE(v.empty()) << key->name;
        EXPECT_EQ(v.find_first_not_of("-0123456789"), std::string::npos) << key->name << "=" << v;
    }
    // The outer frame holds the designed client area, 9660 twips wide.
    EXPECT_GE(std::stoi(Value(kMainWidth)), 9660);

    const std::string geometry[] = {Value(kMainLeft), Value(kMainTop), Value(kMainWidth), Value(kMainHeight),
                                    Value(kBar1),     Value(kBar2),    Value(kBar3)};
    Session();
    const std::string again[] = {Value(kMainLeft), Value(kMainTop), Value(kMainWidth), Value(kMainHeight),
                                 Value(kBar1),     Value(kBar2),    Value(kBar3)};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(geometry[i], again[i]) << i;
}

TEST_F(Editor, StoredViewIsRestoredAndWrittenBack) {
    PutIni("MainLeft=1500\r\nMainTop=900\r\nMainWidth=10500\r\nMainHeight=9000\r\nBar1=2400\r\nBar2=6000\r\n"
           "Bar3=3300\r\nViewMode=1\r\nPATTERN=0\r\nSortKey=2\r\nSortOrder=1\r\nStatusBar=0\r\nCustomBar=0.4\r\n"
           "Head1=1800\r\nHead2=900\r\n");
    Session();
    EXPECT_EQ(Value(kMainLeft), "1500");
    EXPECT_EQ(Value(kMainTop), "900");
    EXPECT_EQ(Value(kMainWidth), "10500");
    EXPECT_EQ(Value(kMainHeight), "9000");
    EXPECT_EQ(Value(kBar1), "2400");
    EXPECT_EQ(Value(kBar2), "6000");
    EXPECT_EQ(Value(kBar3), "3300");
    EXPECT_EQ(Value(kViewMode), "1");
    EXPECT_EQ(Value(kPattern), "0");
    EXPECT_EQ(Value(kSortKey), "2");
    EXPECT_EQ(Value(kSortOrder), "1");
    EXPECT_EQ(Value(kStatusBar), "0");
    EXPECT_EQ(Value(kCustomBar), "0");
    EXPECT_EQ(Value(kToolBar), "1");
    EXPECT_EQ(Value(kHead1), "1800");
    EXPECT_EQ(Value(kHead2), "900");
}

TEST_F(Editor, DisplayTimeAndUnitAreWrittenAsShown) {
    // A display time above the slider's range is kept, not cut to 99.
    pub.interval = 150;
    pub.unit = mdlPublic::kUnitMinutes;
    pub.fileNum = 4;
    pub.pageNum = 7;
    Session();
    EXPECT_EQ(Value(kInterval), "150");
    EXPECT_EQ(Value(kUnit), "1");
    EXPECT_EQ(Value(kFileNum), "4");
    EXPECT_EQ(Value(kPageNum), "7");
}

TEST_F(Editor, SettingsThatCannotBeWrittenAreReportedAndTheWindowCloses) {
    std::filesystem::create_directory(m_ini);  // stands in for a full disk or a read-only file
    const ModalScript boxes;
    Session();
    ASSERT_EQ(boxes.seen().size(), 1u);
    const ShownBox& box = boxes.seen()[0];
    EXPECT_EQ(box.text, QStringLiteral("設定ファイルに書き込めませんでした。\r\n") + QString::fromStdString(m_ini));
    EXPECT_EQ(box.title, QStringLiteral("Vistrova!!"));
    EXPECT_EQ(box.icon, QMessageBox::Warning);
}

TEST_F(Editor, CancelKeepsTheWindowOpenAndWritesNothing) {
    PutIni("PAGENUM=0\r\n");
    const std::string before = Ini();
    frmFileListEx& w = Open();
    w.lists()->setChanged(true);
    {
        const ModalScript boxes({Qt::Key_Escape});
        w.close();
        EXPECT_EQ(boxes.seen().size(), 1u);
    }
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.lists()->changed());
    EXPECT_EQ(Ini(), before);
    w.lists()->setChanged(false);
    w.close();
}

TEST_F(Editor, NoWritesTheSettingsAndHandsTheUnsavedListOver) {
    Store(Entries(3), "Mine");
    const std::string listBefore = TempDir::get(ListFile(0, 0));
    pub.playList.position = 2;

    frmFileListEx& w = Open();
    ASSERT_EQ(w.lists()->listView()->topLevelItemCount(), 3);
    delete w.lists()->listView()->takeTopLevelItem(0);
    w.lists()->setChanged(true);
    const ModalScript boxes({Qt::Key_N});
    w.close();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(TempDir::get(ListFile(0, 0)), listBefore);
    EXPECT_EQ(KeysInFile().size(), editor::closeValues({}).size());
    EXPECT_EQ(pub.playList.count, 2);
    EXPECT_EQ(pub.playList.position, 0);
    EXPECT_EQ(pub.playList.titles[0], "e1.jpg");
    EXPECT_EQ(pub.playList.paths[1], "/x/e2.jpg");
}

TEST_F(Editor, HidingBarsGivesTheColumnsTheirRoom) {
    frmFileListEx& w = Open();
    const double before = w.layoutNow().tree.height;
    w.menuItem("mnuViewStatusBar")->trigger();
    EXPECT_GT(w.layoutNow().tree.height, before);
    const double top = w.layoutNow().tree.top;
    w.menuItem("mnuViewToolbar")->trigger();
    EXPECT_LT(w.layoutNow().tree.top, top);
    w.close();
    EXPECT_EQ(Value(kStatusBar), "0");
    EXPECT_EQ(Value(kToolBar), "0");
}

class Browser : public Editor {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        namespace fs = std::filesystem;
        fs::create_directories(m_files.path() / "Show" / "Deep");
        fs::create_directories(m_files.path() / "Show" / ".hidden");
        QImage(200, 100, QImage::Format_RGB32).save(m_root + "Show/a.jpg");
        QImage(50, 100, QImage::Format_RGB32).save(m_root + "Show/b.BMP", "BMP");
        for (const char* n : {"c.avi", ".h.gif", "noext", "name.", "notes.txt"})
            TempDir::put(m_files.file(std::string("Show/") + n), "x");
        PutIni("DEFPATH=" + (m_root + "Show/").toStdString() + "\r\n");
    }
};

TEST_F(Browser, OpensTheRememberedFolderAndListsItsMediaFiles) {
    frmFileListEx& w = Open();
    EXPECT_EQ(w.folders()->currentFolderPath(), m_root + "Show/");
    ASSERT_TRUE(w.folders()->tree()->currentItem());
    EXPECT_EQ(w.folders()->tree()->currentItem()->text(0), QStringLiteral("Show"));
    // The opened folder's subfolders, hidden ones included, are read.
    QStringList children;
    for (int i = 0; i < w.folders()->tree()->currentItem()->childCount(); ++i)
        children << w.folders()->tree()->currentItem()->child(i)->text(0);
    children.sort();
    EXPECT_EQ(children, (QStringList{".hidden", "Deep"}));

    editor::FileView* view = w.folders()->fileView();
    QStringList names;
    for (int i = 0; i < view->rowCount(); ++i) names << view->nameOfRow(i);
    EXPECT_EQ(names, (QStringList{".h.gif", "a.jpg", "b.BMP", "c.avi"}));
    EXPECT_EQ(view->keyOfRow(1), m_root + "Show/a.jpg");
    EXPECT_TRUE(view->selectedNames().isEmpty());

    // Sorting flips the direction on every column click.
    w.folders()->sortBy(0);
    EXPECT_EQ(view->nameOfRow(0), QStringLiteral("c.avi"));
    w.folders()->sortBy(0);
    EXPECT_EQ(view->nameOfRow(0), QStringLiteral(".h.gif"));
    w.close();
    EXPECT_EQ(Value(kDefPath), (m_root + "Show/").toStdString());
}

TEST_F(Browser, NamesShowWholeInANarrowTreeAndInTheDetails) {
    const QString deep = QStringLiteral("日本語のとても長いフォルダの名前です");
    ASSERT_TRUE(QDir().mkpath(m_root + "Show/Deep/" + deep));
    PutIni("DEFPATH=" + (m_root + "Show/Deep/" + deep + "/").toStdString() + "\r\nBar1=0\r\n");
    frmFileListEx& w = Open();
    EXPECT_DOUBLE_EQ(w.layoutNow().tree.width, 1500);  // the first splitter at its least
    QTreeWidget* tree = w.folders()->tree();
    QTreeWidgetItem* node = tree->currentItem();
    ASSERT_TRUE(node);
    EXPECT_EQ(node->text(0), deep);
    // The deep node's name is drawn whole; the tree scrolls sideways to it.
    EXPECT_GE(tree->visualItemRect(node).width(), tree->fontMetrics().horizontalAdvance(deep));
    EXPECT_GT(tree->horizontalScrollBar()->maximum(), 0);

    const QAbstractItemView* details = w.folders()->fileView()->currentView();
    for (const QString& type : {QStringLiteral("ビットマップ イメージ"), QStringLiteral("QuickTime ムービー")})
        EXPECT_GT(w.folders()->fileView()->columnWidth(1), details->fontMetrics().horizontalAdvance(type));
    w.close();
}

TEST_F(Browser, RefreshWalksCaseSensitivelyAndRelistsWithTheNewFilter) {
    frmFileListEx& w = Open();
    w.folders()->setFilter(0);  // movies only; the folder is not listed again yet
    EXPECT_EQ(w.folders()->fileView()->rowCount(), 4);
    w.folders()->activate();
    EXPECT_EQ(w.folders()->fileView()->rowCount(), 4);
    w.menuItem("mnuViewRefresh")->trigger();
    EXPECT_EQ(w.folders()->fileView()->rowCount(), 1);
    EXPECT_EQ(w.folders()->currentFolderPath(), m_root + "Show/");

    // A name differing only in case is not found: the walk stops above it.
    w.folders()->tvRefresh(m_root + "show/");
    EXPECT_EQ(w.folders()->currentFolderPath(), m_root);
    w.close();
}

TEST_F(Browser, PreviewShowsOnePictureOrTheSummaryOfSeveral) {
    frmFileListEx& w = Open();
    editor::FileView* view = w.folders()->fileView();
    QAbstractItemView* items = view->currentView();
    items->selectionModel()->select(items->model()->index(1, 0),
                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    emit w.folders()->fileView()->clicked();
    EXPECT_EQ(w.preview()->nameLabel()->text(), QStringLiteral("a.jpg"));
    EXPECT_EQ(w.preview()->typeLabel()->text(), QStringLiteral("JPEG イメージ"));
    EXPECT_TRUE(w.preview()->timeLabel()->text().startsWith(QStringLiteral("更新日時: ")));
    ASSERT_TRUE(waitFor([&] { return !w.preview()->picture()->isHidden(); }));
    // A 2:1 picture fitted to the box keeps its proportions and stays inside it.
    const QSize shown = w.preview()->picture()->size();
    EXPECT_NEAR(double(shown.width()) / shown.height(), 2.0, 0.05);
    const editor::Layout& l = w.layoutNow();
    EXPECT_LE(shown.width(), qRound(l.previewBox.width / 15) + 1);
    EXPECT_LE(shown.height(), qRound(l.previewBox.height / 15) + 1);
    EXPECT_GT(w.preview()->nameLabel()->x(), w.preview()->picture()->x() + w.preview()->picture()->width());

    view->selectAllRows();
    emit w.folders()->fileView()->clicked();
    EXPECT_TRUE(w.preview()->picture()->isHidden());
    EXPECT_EQ(w.preview()->summaryLabel()->text(),
              QStringLiteral("4 個のオブジェクトを選択\r\n\r\n.h.gif\r\na.jpg\r\nb.BMP\r\nc.avi"));

    // Dragging out offers the selected files as local file URLs, in view order.
    std::unique_ptr<QMimeData> data(items->model()->mimeData(items->selectionModel()->selectedIndexes()));
    ASSERT_TRUE(data->hasUrls());
    ASSERT_EQ(data->urls().size(), 4);
    EXPECT_EQ(data->urls().at(1).toLocalFile(), m_root + "Show/a.jpg");

    // Hiding and showing the pane leaves it empty.
    w.menuItem("mnuViewPre")->trigger();
    EXPECT_TRUE(w.preview()->isHidden());
    w.menuItem("mnuViewPre")->trigger();
    EXPECT_TRUE(w.preview()->summaryLabel()->text().isEmpty());
    w.close();
}

TEST_F(Browser, DateColumnSortsByItsTextAndExpansionReadsOnce) {
    const auto setTime = [&](const char* name, QDate date) {
        QFile f(m_root + "Show/" + name);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(QDateTime(date, QTime(12, 0)), QFileDevice::FileModificationTime));
    };
    setTime("a.jpg", QDate(1999, 5, 1));
    setTime("b.BMP", QDate(2000, 5, 1));
    setTime("c.avi", QDate(2010, 5, 1));
    setTime(".h.gif", QDate(2005, 5, 1));
    PutIni("DEFPATH=" + (m_root + "Show/").toStdString() + "\r\nSortKey=2\r\nSortOrder=0\r\n");
    frmFileListEx& w = Open();
    QStringList names;
    for (int i = 0; i < w.folders()->fileView()->rowCount(); ++i) names << w.folders()->fileView()->nameOfRow(i);
    // "00/05/01" sorts before "05/..", "10/.." and "99/..".
    EXPECT_EQ(names, (QStringList{"b.BMP", ".h.gif", "c.avi", "a.jpg"}));

    QTreeWidgetItem* show = w.folders()->tree()->currentItem();
    ASSERT_TRUE(show);
    QTreeWidgetItem* parent = show->parent();
    ASSERT_TRUE(parent);
    const int before = show->childCount();
    w.folders()->tree()->collapseItem(parent);
    w.folders()->tree()->expandItem(parent);
    emit w.folders()->tree()->itemExpanded(parent);
    EXPECT_EQ(show->childCount(), before);
    w.close();
}

// Case-sensitive text order; rows of equal text keep their order in both
// directions (not a reversed ascending sort); the selection moves with its row.
TEST(FileViewSort, IsStableByColumnTextAndTheSelectionFollows) {
    editor::FileView view;
    view.addRows({{{"/f/b", "b", "T", "1"}, QIcon()},
                  {{"/f/a", "a", "T", "2"}, QIcon()},
                  {{"/f/B", "B", "S", "1"}, QIcon()}});
    view.currentView()->selectionModel()->select(view.currentView()->model()->index(0, 0),
                                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    const auto names = [&] { return QStringList{view.nameOfRow(0), view.nameOfRow(1), view.nameOfRow(2)}; };
    view.setSort(0, 0);
    EXPECT_EQ(names(), (QStringList{"B", "a", "b"}));
    view.setSort(1, 1);
    EXPECT_EQ(names(), (QStringList{"a", "b", "B"}));
    EXPECT_EQ(view.selectedKeys(), QStringList{"/f/b"});
}

TEST_F(Editor, HiddenPreviewStoresTheSplitterAtTheToolBarsBottom) {
    {
        frmFileListEx& w = Open();
        w.menuItem("mnuViewPre")->trigger();
        w.close();
    }
    const double bars = Load().layoutNow().web.top;  // the tool bars' bottom, laid out afresh
    EXPECT_EQ(Value(kPreview), "0");
    EXPECT_EQ(std::stod(Value(kBar3)), bars);
    PutIni("Bar3=" + Value(kBar3) + "\r\n");
    frmFileListEx& w = Open();
    EXPECT_DOUBLE_EQ(w.layoutNow().cols.webHeight, 0);
    w.close();
}

TEST_F(Editor, ShrinkingBelowTheLeastSizeSnapsBack) {
    frmFileListEx& w = Open();
    w.resize(100, 100);
    QApplication::processEvents();
    EXPECT_GE(w.frameGeometry().width() * 15, 4680);
    EXPECT_GE(w.frameGeometry().height() * 15, 5000);
    EXPECT_LE(w.frameGeometry().width() * 15, 4680 + 15);
    w.close();
}

TEST_F(Browser, ATitleChangeEmptiesThePane) {
    frmFileListEx& w = Open();
    w.preview()->PreView(m_root + "Show/a.jpg");
    ASSERT_TRUE(waitFor([&] { return !w.preview()->picture()->isHidden(); }));
    const QString title = w.preview()->titleLabel()->text();
    w.folders()->tvRefresh(m_root);  // another folder: the title changes
    EXPECT_NE(w.preview()->titleLabel()->text(), title);
    EXPECT_TRUE(w.preview()->picture()->isHidden());
    EXPECT_TRUE(w.preview()->nameLabel()->text().isEmpty());
    w.close();
}

TEST_F(Browser, EveryViewModeFeedsThePreview) {
    frmFileListEx& w = Open();
    for (int mode = 0; mode < 4; ++mode) {
        w.menuItem(QStringLiteral("mnuListViewMode(%1)").arg(mode))->trigger();
        QAbstractItemView* items = w.folders()->fileView()->currentView();
        // The icon views select the name cell alone.
        items->selectionModel()->select(items->model()->index(1, 0), QItemSelectionModel::ClearAndSelect);
        emit w.folders()->fileView()->clicked();
        EXPECT_EQ(w.preview()->nameLabel()->text(), QStringLiteral("a.jpg")) << mode;
        EXPECT_TRUE(waitFor([&] { return !w.preview()->picture()->isHidden(); })) << mode;
    }
    w.close();
    EXPECT_EQ(Value(kViewMode), "3");
}

TEST_F(Browser, AClipIsFittedBeforeItPlays) {
    const std::string clip = (m_root + "Show/clip.mpg").toStdString();
    const std::string cmd = "ffmpeg -loglevel error -y -f lavfi -i testsrc=size=320x180:rate=25:duration=2 "
                            "-c:v mpeg1video -q:v 4 '" + clip + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    frmFileListEx& w = Open();
    w.preview()->PreView(m_root + "Show/clip.mpg");
    EXPECT_EQ(w.preview()->typeLabel()->text(), QStringLiteral("Movie Clip"));
    ASSERT_TRUE(waitFor([&] { return !w.preview()->movie()->isHidden(); }, 10000));
    // Fitted with the clip's proportions, the name placed right of it.
    EXPECT_NEAR(double(w.preview()->movie()->width()) / w.preview()->movie()->height(), 320.0 / 180.0, 0.05);
    EXPECT_GT(w.preview()->nameLabel()->x(), w.preview()->movie()->x() + w.preview()->movie()->width());

    // A click on the clip that played to its end plays it again, from its start.
    auto* element = qobject_cast<platform::MpvElement*>(w.preview()->movie());
    ASSERT_TRUE(element);
    QSignalSpy ends(element, &platform::MpvElement::endOfStream);
    ASSERT_TRUE(waitFor([&] { return ends.count() == 1; }, 10000));
    QTest::mouseClick(element, Qt::LeftButton);
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(waitFor([&] { return ends.count() == 2; }, 10000));
    EXPECT_GE(timer.elapsed(), 1500);
    w.preview()->PreClear();
    EXPECT_TRUE(w.preview()->movie()->isHidden());
    w.close();
}

TEST_F(Browser, MissingOrUnreadableFilesShowNoPicture) {
    frmFileListEx& w = Open();
    w.preview()->PreView(m_root + "Show/gone.gif");
    EXPECT_TRUE(w.preview()->nameLabel()->text().isEmpty());
    EXPECT_TRUE(w.preview()->timeLabel()->text().isEmpty());
    EXPECT_EQ(w.preview()->typeLabel()->text(), QStringLiteral("GIF イメージ"));
    EXPECT_TRUE(w.preview()->picture()->isHidden());
    w.preview()->PreView(m_root + "Show/.h.gif");
    EXPECT_EQ(w.preview()->nameLabel()->text(), QStringLiteral(".h.gif"));
    EXPECT_TRUE(w.preview()->picture()->isHidden());
    // With no picture shown yet the labels still grow to fit: each whole, on one line.
    for (const QLabel* l : {w.preview()->nameLabel(), w.preview()->typeLabel(), w.preview()->timeLabel()}) {
        EXPECT_GE(l->width(), l->fontMetrics().horizontalAdvance(l->text())) << l->objectName().toStdString();
        EXPECT_LT(l->height(), 2 * l->fontMetrics().height()) << l->objectName().toStdString();
    }
    w.preview()->PreView(m_root + "Show/notes.txt");
    EXPECT_EQ(w.preview()->nameLabel()->text(), QStringLiteral("notes.txt"));
    EXPECT_TRUE(w.preview()->typeLabel()->text().isEmpty());

    // A pipe named like a picture or a clip is never opened: nothing shows.
    for (const char* name : {"Show/pipe.jpg", "Show/pipe.avi"}) {
        FifoWatch pipe((m_root + name).toStdString());
        ASSERT_TRUE(pipe.made());
        w.preview()->PreView(m_root + name);
        EXPECT_FALSE(pipe.opened()) << name;
        EXPECT_TRUE(w.preview()->picture()->isHidden()) << name;
        EXPECT_TRUE(w.preview()->movie()->isHidden()) << name;
        EXPECT_TRUE(w.preview()->nameLabel()->isHidden()) << name;
    }

    // A name that looks like markup is shown as it is (a file name holds no "/").
    const QString markup = QStringLiteral("<b>x&amp;<img src=a.jpg>.jpg");
    TempDir::put((m_root + "Show/" + markup).toStdString(), "x");
    w.preview()->PreView(m_root + "Show/" + markup);
    EXPECT_EQ(w.preview()->nameLabel()->text(), markup);
    EXPECT_EQ(w.preview()->nameLabel()->textFormat(), Qt::PlainText);
    w.close();
}

}  // namespace
