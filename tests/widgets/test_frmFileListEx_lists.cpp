// The editor's list commands on the offscreen platform: adds, drops, deletes,
// moves, store, list file deletion, navigation, run and the interval box.
#include "editor/EditorRules.h"
#include "editor/FileView.h"
#include "editor/frmFileListEx.h"

#include "EditorFixture.h"
#include "MessageBoxes.h"
#include "QtWait.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QImage>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

using editor::frmFileListEx;

namespace {

class Lists : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        for (const char* n : {"a.jpg", "b.gif", "c.avi", "d.bmp"}) TempDir::put(m_files.file(n), "x");
        PutIni("DEFPATH=" + m_root.toStdString() + "\r\n");
    }
    static QStringList Names(const frmFileListEx& w) {
        QStringList out;
        for (int i = 0; i < w.lists()->listView()->topLevelItemCount(); ++i) out << w.lists()->listView()->topLevelItem(i)->text(0);
        return out;
    }
    // Selects the file view's rows whose names are given.
    static void SelectFiles(frmFileListEx& w, const QStringList& names) {
        QAbstractItemView* v = w.folders()->fileView()->currentView();
        v->selectionModel()->clearSelection();
        for (int r = 0; r < v->model()->rowCount(); ++r) {
            const QModelIndex i = v->model()->index(r, 0);
            if (names.contains(i.data().toString()))
                v->selectionModel()->select(i, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
};

TEST_F(Lists, AddsFromTheFileViewAndTheirFlag) {
    frmFileListEx& w = Open();
    ASSERT_EQ(w.folders()->fileView()->rowCount(), 4);
    EXPECT_FALSE(w.lists()->changed());
    SelectFiles(w, {});
    w.menuItem("mnuEditAdd")->trigger();  // nothing selected: no change at all
    EXPECT_EQ(w.lists()->listView()->topLevelItemCount(), 0);
    EXPECT_FALSE(w.lists()->changed());

    SelectFiles(w, {"c.avi", "a.jpg"});
    w.menuItem("mnuEditAdd")->trigger();
    EXPECT_EQ(Names(w), QStringList({"a.jpg", "c.avi"}));  // in the file view's order
    EXPECT_EQ(w.lists()->listView()->topLevelItem(1)->text(1), m_root + "c.avi");
    EXPECT_FALSE(w.lists()->listView()->topLevelItem(0)->icon(0).isNull());
    EXPECT_TRUE(w.lists()->changed());

    w.lists()->setChanged(false);
    w.menuItem("mnuEditAddAll")->trigger();
    EXPECT_EQ(w.lists()->listView()->topLevelItemCount(), 6);
    EXPECT_TRUE(w.lists()->changed());

    // The double-click adds the focused entry, the same file again.
    w.lists()->setChanged(false);
    QAbstractItemView* v = w.folders()->fileView()->currentView();
    v->selectionModel()->setCurrentIndex(v->model()->index(3, 0), QItemSelectionModel::NoUpdate);
    emit w.folders()->fileView()->doubleClicked();
    EXPECT_EQ(Names(w).last(), "d.bmp");
    EXPECT_TRUE(w.lists()->changed());

    // Select all and invert work on the file view, never on the list pane.
    w.lists()->listView()->topLevelItem(0)->setSelected(true);
    w.menuItem("mnuEditDSelectAll")->trigger();
    EXPECT_EQ(w.folders()->fileView()->selectedNames().size(), 4);
    SelectFiles(w, {"a.jpg"});
    w.menuItem("mnuEditInvertSelection")->trigger();
    EXPECT_EQ(w.folders()->fileView()->selectedNames(), QStringList({"b.gif", "c.avi", "d.bmp"}));
    EXPECT_EQ(w.lists()->listView()->selectedItems().size(), 1);
    w.lists()->setChanged(false);
    w.close();
}

TEST_F(Lists, DropsTakeLocalNormalFilesOfTheFilter) {
    namespace fs = std::filesystem;
    fs::create_directories(m_files.path() / "folder.jpg");
    TempDir::put(m_files.file(".hidden.jpg"), "x");
    TempDir::put(m_files.file("A.JPG"), "x");
    TempDir::put(m_files.file("bar|name.jpg"), "x");
    frmFileListEx& w = Open();
    QMimeData none;
    none.setText(QStringLiteral("not files"));
    w.lists()->addDropped(&none);
    EXPECT_FALSE(w.lists()->changed());

    QMimeData folderOnly;
    folderOnly.setUrls({QUrl::fromLocalFile(m_root + "folder.jpg")});
    w.lists()->addDropped(&folderOnly);
    EXPECT_EQ(w.lists()->listView()->topLevelItemCount(), 0);
    EXPECT_TRUE(w.lists()->changed());  // a drop marks the list even when nothing was taken

    QMimeData mixed;
    mixed.setUrls({QUrl::fromLocalFile(m_root + "A.JPG"), QUrl::fromLocalFile(m_root + ".hidden.jpg"),
                   QUrl::fromLocalFile(m_root + "missing.jpg"), QUrl(QStringLiteral("https://example.org/x.jpg")),
                   QUrl::fromLocalFile(m_root + "bar|name.jpg"), QUrl::fromLocalFile(m_root + "c.avi")});
    {
        const ModalScript boxes({"OK"});
        w.lists()->addDropped(&mixed);
        ASSERT_EQ(boxes.seen().size(), 1u);
        EXPECT_EQ(boxes.seen()[0].text,
                  QStringLiteral("このファイル名はファイルリストに登録できません。\r\nbar|name.jpg"));
        EXPECT_EQ(boxes.seen()[0].icon, QMessageBox::Warning);
    }
    EXPECT_EQ(Names(w), QStringList({"A.JPG", "c.avi"}));

    // A real drop on the pane's viewport, as a file manager delivers it.
    QMimeData fromOutside;
    fromOutside.setUrls({QUrl::fromLocalFile(m_root + "b.gif")});
    QWidget* viewport = w.lists()->listView()->viewport();
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &fromOutside, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &fromOutside, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    EXPECT_EQ(Names(w), QStringList({"A.JPG", "c.avi", "b.gif"}));

    // With "MOVIE FILES" a picture is refused.
    w.folders()->setFilter(0);
    QMimeData picture;
    picture.setUrls({QUrl::fromLocalFile(m_root + "A.JPG")});
    w.lists()->addDropped(&picture);
    EXPECT_EQ(w.lists()->listView()->topLevelItemCount(), 3);
    w.lists()->setChanged(false);
    w.close();
}

TEST_F(Lists, NamesThatAreNotUtf8AreListedButRefused) {
    TempDir::put(m_files.file("bad\xff.jpg"), "x");
    frmFileListEx& w = Open();
    ASSERT_EQ(w.folders()->fileView()->rowCount(), 5);
    int bad = -1;
    for (int r = 0; r < 5; ++r)
        if (editor::holdsRawBytes(w.folders()->fileView()->nameOfRow(r))) bad = r;
    ASSERT_GE(bad, 0);
    // The key leads back to the file itself, also as a dragged URL.
    EXPECT_EQ(editor::toRawName(w.folders()->fileView()->keyOfRow(bad)), m_files.file("bad\xff.jpg"));
    QAbstractItemView* v = w.folders()->fileView()->currentView();
    std::unique_ptr<QMimeData> dragged(v->model()->mimeData({v->model()->index(bad, 0)}));

    const QString refused =
        QStringLiteral("このファイル名はファイルリストに登録できません。\r\nbad\uFFFD.jpg");
    {
        const ModalScript boxes({"OK", "OK"});
        w.menuItem("mnuEditAddAll")->trigger();
        w.lists()->addDropped(dragged.get());
        ASSERT_EQ(boxes.seen().size(), 2u);
        EXPECT_EQ(boxes.seen()[0].text, refused);
        EXPECT_EQ(boxes.seen()[1].text, refused);
        EXPECT_EQ(boxes.seen()[0].icon, QMessageBox::Warning);
    }
    EXPECT_EQ(Names(w), QStringList({"a.jpg", "b.gif", "c.avi", "d.bmp"}));
    w.lists()->setChanged(false);
    w.close();
}

TEST_F(Lists, ThePaneStopsAt256) {
    Store(Entries(254));
    frmFileListEx& w = Open();
    ASSERT_EQ(w.lists()->listView()->topLevelItemCount(), 254);
    QList<QUrl> urls;
    for (int i = 0; i < 1000; ++i) urls << QUrl::fromLocalFile(m_root + "a.jpg");
    QMimeData many;
    many.setUrls(urls);
    const ModalScript boxes({"OK"});
    w.lists()->addDropped(&many);
    EXPECT_EQ(w.lists()->listView()->topLevelItemCount(), 256);
    ASSERT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(boxes.seen()[0].text, QStringLiteral("ファイルリストに登録できるのは256ファイルまでです。"));
    w.lists()->setChanged(false);
    w.close();
}

TEST_F(Lists, DeletesAndMoves) {
    Store(Entries(4));
    frmFileListEx& w = Open();
    QTreeWidget* pane = w.lists()->listView();
    pane->topLevelItem(1)->setSelected(true);
    pane->topLevelItem(3)->setSelected(true);
    w.menuItem("mnuEditDelete")->trigger();
    EXPECT_EQ(Names(w), QStringList({"e0.jpg", "e2.jpg"}));
    EXPECT_TRUE(w.lists()->changed());

    w.lists()->setChanged(false);
    pane->clearSelection();
    w.menuItem("mnuEditDelete")->trigger();  // nothing selected
    EXPECT_FALSE(w.lists()->changed());

    // Moves: the ends stay put without a change; a move takes the icon along
    // and leaves the moved entry the only selected one.
    pane->setCurrentItem(pane->topLevelItem(0));
    w.menuItem("mnuEditUp")->trigger();
    EXPECT_FALSE(w.lists()->changed());
    pane->setCurrentItem(pane->topLevelItem(1));
    w.menuItem("mnuEditDown")->trigger();
    EXPECT_FALSE(w.lists()->changed());
    const QIcon icon = pane->topLevelItem(1)->icon(0);
    pane->topLevelItem(0)->setSelected(true);
    w.menuItem("mnuEditUp")->trigger();
    EXPECT_EQ(Names(w), QStringList({"e2.jpg", "e0.jpg"}));
    EXPECT_EQ(pane->topLevelItem(0)->text(1), "/x/e2.jpg");
    EXPECT_EQ(pane->topLevelItem(0)->icon(0).cacheKey(), icon.cacheKey());
    EXPECT_EQ(pane->selectedItems(), QList<QTreeWidgetItem*>({pane->topLevelItem(0)}));
    EXPECT_EQ(pane->currentItem(), pane->topLevelItem(0));
    EXPECT_EQ(pane->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_TRUE(w.lists()->changed());

    w.lists()->setChanged(false);
    pane->setCurrentItem(pane->topLevelItem(1));
    w.lists()->removeCurrent();
    EXPECT_EQ(Names(w), QStringList({"e2.jpg"}));
    EXPECT_TRUE(w.lists()->changed());

    w.menuItem("mnuEditDeleteAll")->trigger();
    w.lists()->setChanged(false);
    w.menuItem("mnuEditDeleteAll")->trigger();  // already empty, still a change
    EXPECT_TRUE(w.lists()->changed());
    w.lists()->removeCurrent();  // nothing to remove
    EXPECT_EQ(pane->topLevelItemCount(), 0);
    w.lists()->setChanged(false);
    w.close();
}

TEST_F(Lists, StoreWritesTheWholeListOrNothing) {
    frmFileListEx& w = Open();
    SelectFiles(w, {"a.jpg", "c.avi"});
    w.menuItem("mnuEditAdd")->trigger();
    w.lists()->nameBox()->setText(QStringLiteral("旅"));
    {
        const ModalScript boxes({"キャンセル"});
        w.menuItem("mnuFileSave")->trigger();
        ASSERT_EQ(boxes.seen().size(), 1u);
        EXPECT_EQ(boxes.seen()[0].text, QStringLiteral("PAGE 1 / LIST 1 に登録します。"));
        EXPECT_EQ(boxes.seen()[0].icon, QMessageBox::Question);
    }
    EXPECT_FALSE(std::filesystem::exists(ListFile(0, 0)));
    EXPECT_TRUE(w.lists()->changed());
    {
        const ModalScript boxes({"OK"});
        w.menuItem("mnuFileSave")->trigger();
    }
    EXPECT_FALSE(w.lists()->changed());
    std::string expected = "[FILELIST]\r\nLISTNAME=旅\r\nLIST000=a.jpg|" + (m_root + "a.jpg").toStdString() +
                           "\r\nLIST001=c.avi|" + (m_root + "c.avi").toStdString() + "\r\n";
    for (int i = 2; i < 256; ++i) expected += liststore::entryKey(i) + "=|\r\n";
    EXPECT_EQ(TempDir::get(ListFile(0, 0)), expected);
    w.close();
}

TEST_F(Lists, AFailingStoreKeepsTheEditsAndTheWindow) {
    // A list file that is a folder cannot be replaced, whoever runs the test.
    std::filesystem::create_directories(ListFile(0, 0));
    frmFileListEx& w = Open();
    SelectFiles(w, {"a.jpg"});
    w.menuItem("mnuEditAdd")->trigger();
    {
        const ModalScript boxes({"OK", "OK"});
        w.menuItem("mnuFileSave")->trigger();
        ASSERT_EQ(boxes.seen().size(), 2u);
        EXPECT_TRUE(boxes.seen()[1].text.startsWith(QStringLiteral("ファイルリストを保存できませんでした。\r\n")));
        EXPECT_GT(boxes.seen()[1].text.size(), 22);
        EXPECT_EQ(boxes.seen()[1].icon, QMessageBox::Critical);
    }
    EXPECT_TRUE(w.lists()->changed());
    EXPECT_EQ(w.lists()->listView()->topLevelItemCount(), 1);

    // The leave prompt's Yes with a failing store stays on the list.
    {
        const ModalScript boxes({"はい(&Y)", "OK", "OK"});
        w.menuItem("mnuFileListNext")->trigger();
        EXPECT_EQ(boxes.seen().size(), 3u);
    }
    EXPECT_EQ(pub.fileNum, 0);
    EXPECT_EQ(w.lists()->listView()->topLevelItemCount(), 1);

    // So does the close prompt's Yes.
    {
        const ModalScript boxes({"はい(&Y)", "OK", "OK"});
        w.close();
        EXPECT_EQ(boxes.seen().size(), 3u);
    }
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.lists()->changed());
    w.lists()->setChanged(false);
    w.close();
    EXPECT_FALSE(w.isVisible());
}

TEST_F(Lists, NavigationLoadsAndAsksBeforeLeaving) {
    Store({{"x.gif", "/p/x.gif"}, {"y.txt", "/p/y.txt"}}, "ninth", 0, 9);
    frmFileListEx& w = Open();
    EXPECT_EQ(w.lists()->listView()->headerItem()->text(0), "Page 1 / File 1");
    w.menuItem("mnuFileListBack")->trigger();
    EXPECT_EQ(w.lists()->listView()->headerItem()->text(0), "Page 1 / File 10");
    EXPECT_EQ(Names(w), QStringList({"x.gif", "y.txt"}));
    EXPECT_EQ(w.lists()->nameBox()->text(), "ninth");
    EXPECT_FALSE(w.lists()->changed());
    EXPECT_TRUE(w.lists()->listView()->topLevelItem(1)->data(0, Qt::UserRole + 1).toString().isEmpty());

    emit w.lists()->listView()->header()->sectionClicked(0);
    EXPECT_EQ(w.lists()->listView()->headerItem()->text(0), "Page 2 / File 1");
    w.menuItem("mnuFilePageBack")->trigger();
    w.menuItem("mnuFilePageBack")->trigger();
    EXPECT_EQ(w.lists()->listView()->headerItem()->text(0), "Page 10 / File 1");
    w.menuItem("mnuFileListBack")->trigger();
    emit w.lists()->listView()->header()->sectionClicked(0);
    EXPECT_EQ(w.lists()->listView()->headerItem()->text(0), "Page 1 / File 1");
    w.menuItem("mnuFilePageNext")->trigger();
    w.menuItem("mnuFileListNext")->trigger();
    EXPECT_EQ(pub.pageNum, 1);
    EXPECT_EQ(pub.fileNum, 1);

    // Leaving a changed list: Cancel stays, No goes without storing, Yes then
    // Cancel at the store's own prompt also goes.
    w.lists()->nameBox()->setText(QStringLiteral("edited"));
    EXPECT_TRUE(w.lists()->changed());
    {
        const ModalScript boxes({"キャンセル"});
        w.menuItem("mnuFileListNext")->trigger();
        ASSERT_EQ(boxes.seen().size(), 1u);
        EXPECT_EQ(boxes.seen()[0].text, QStringLiteral("ファイルリストは変更されています。\r\n変更点を保存しますか？"));
    }
    EXPECT_EQ(pub.fileNum, 1);
    EXPECT_EQ(w.lists()->nameBox()->text(), "edited");
    {
        const ModalScript boxes({"いいえ(&N)"});
        w.menuItem("mnuFileListNext")->trigger();
    }
    EXPECT_EQ(pub.fileNum, 2);
    EXPECT_FALSE(std::filesystem::exists(ListFile(1, 1)));
    w.lists()->nameBox()->setText(QStringLiteral("again"));
    {
        const ModalScript boxes({"はい(&Y)", "キャンセル"});
        w.menuItem("mnuFileListNext")->trigger();
        EXPECT_EQ(boxes.seen().size(), 2u);
    }
    EXPECT_EQ(pub.fileNum, 3);
    EXPECT_FALSE(std::filesystem::exists(ListFile(1, 2)));
    w.lists()->nameBox()->setText(QStringLiteral("kept"));
    {
        const ModalScript boxes({"はい(&Y)", "OK"});
        w.menuItem("mnuFileListNext")->trigger();
    }
    EXPECT_EQ(liststore::readListFile(ListFile(1, 3)).name, "kept");
    w.close();
}

TEST_F(Lists, DeletingTheListFile) {
    Store(Entries(2), "");
    frmFileListEx& w = Open();
    {
        const ModalScript boxes({"キャンセル"});
        w.menuItem("mnuFileDelete")->trigger();
        ASSERT_EQ(boxes.seen().size(), 1u);
        EXPECT_EQ(boxes.seen()[0].text, QStringLiteral("PAGE 1 / LIST 1 を削除します。"));
        EXPECT_EQ(boxes.seen()[0].icon, QMessageBox::Warning);
    }
    EXPECT_TRUE(std::filesystem::exists(ListFile(0, 0)));
    {
        const ModalScript boxes({"OK"});
        w.menuItem("mnuFileDelete")->trigger();
    }
    EXPECT_FALSE(std::filesystem::exists(ListFile(0, 0)));
    EXPECT_EQ(w.lists()->listView()->topLevelItemCount(), 0);
    EXPECT_FALSE(w.lists()->changed());  // the title was empty already

    // Nothing left to delete: the system's description, the pane as it was.
    w.menuItem("mnuEditAddAll")->trigger();
    w.lists()->nameBox()->setText(QStringLiteral("t"));
    {
        const ModalScript boxes({"OK", "OK"});
        w.menuItem("mnuFileDelete")->trigger();
        ASSERT_EQ(boxes.seen().size(), 2u);
        EXPECT_EQ(boxes.seen()[1].text, QString::fromLocal8Bit(std::strerror(ENOENT)));
        EXPECT_EQ(boxes.seen()[1].icon, QMessageBox::NoIcon);
    }
    EXPECT_EQ(w.lists()->listView()->topLevelItemCount(), 4);
    EXPECT_EQ(w.lists()->nameBox()->text(), "t");
    w.lists()->setChanged(false);
    w.close();
}

TEST_F(Lists, RunHandsThePaneOverOrWarns) {
    frmFileListEx& w = Open();
    int shows = 0;
    QWidget* owner = nullptr;
    w.setShowSequence([&](QWidget* o) {
        ++shows;
        owner = o;
    });
    {
        const ModalScript boxes({"OK"});
        w.menuItem("mnuFileRun")->trigger();
        ASSERT_EQ(boxes.seen().size(), 1u);
        EXPECT_EQ(boxes.seen()[0].text, QStringLiteral("ファイルリストを選択してください。"));
    }
    EXPECT_EQ(shows, 0);

    auto& pl = pub.playList;
    pl.position = 5;
    w.menuItem("mnuEditAddAll")->trigger();
    w.menuItem("mnuFileRun")->trigger();
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(owner, &w);
    EXPECT_EQ(pl.count, 4);
    EXPECT_EQ(pl.position, 0);
    EXPECT_EQ(pl.titles[0], "a.jpg");  // with its extension, unsaved edits included
    EXPECT_EQ(pl.paths[3], (m_root + "d.bmp").toStdString());
    EXPECT_FALSE(std::filesystem::exists(ListFile(0, 0)));
    w.lists()->setChanged(false);
    w.close();
}

TEST_F(Lists, IntervalBoxAndSlider) {
    pub.interval = 150;  // a hand-edited value stays as read
    frmFileListEx& w = Open();
    QLineEdit* box = w.intervalBar()->box();
    QSlider* slider = w.intervalBar()->slider();
    EXPECT_EQ(box->text(), "150");
    EXPECT_EQ(slider->value(), 99);
    EXPECT_EQ(pub.interval, 150);

    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("0"));
    EXPECT_EQ(box->text(), "0");
    QTest::keyClicks(box, QStringLiteral("7"));
    EXPECT_EQ(box->text(), "7");  // "07" passes through the slider and comes back as 7
    EXPECT_EQ(slider->value(), 7);
    QTest::keyClicks(box, QStringLiteral("3a-"));
    EXPECT_EQ(box->text(), "73");
    QTest::keyClicks(box, QStringLiteral("1"));  // a third digit
    EXPECT_EQ(box->text(), "73");
    EXPECT_EQ(pub.interval, 73);
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->text(), "0");
    EXPECT_EQ(slider->value(), 0);
    EXPECT_EQ(pub.interval, 0);

    box->setText(QStringLiteral("5."));
    EXPECT_EQ(pub.interval, 5);

    // A paste outside the range is held to it.
    box->setText(QStringLiteral("250"));
    EXPECT_EQ(box->text(), "99");
    EXPECT_EQ(slider->value(), 99);
    EXPECT_EQ(pub.interval, 99);

    slider->setValue(42);
    EXPECT_EQ(box->text(), "42");
    EXPECT_EQ(pub.interval, 42);
    EXPECT_FALSE(w.lists()->changed());  // the interval never marks the list

    QTest::mouseClick(w.findChildren<QRadioButton*>().at(1), Qt::LeftButton);
    EXPECT_EQ(pub.unit, 1);
    w.close();
}

TEST_F(Lists, MenuShortcutsActWhicheverTextBoxHasTheKeyboard) {
    // Ctrl+U, Ctrl+A and Ctrl+E are a text box's own editing keys too; in the
    // editor they are its commands, and the boxes keep their other keys.
    Store({}, "first");
    pub.interval = 12;
    frmFileListEx& w = Open();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    int fileNum = 0;
    for (QLineEdit* box : {w.intervalBar()->box(), w.lists()->nameBox()}) {
        const QString name = box->objectName();
        box->setFocus();
        const QString before = box->text();
        QTest::keyClick(box, Qt::Key_U, Qt::ControlModifier);
        EXPECT_EQ(pub.fileNum, ++fileNum) << name.toStdString();
        if (box == w.intervalBar()->box()) {
            EXPECT_EQ(box->text(), before);
        }
        box->setFocus();
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        EXPECT_EQ(w.folders()->fileView()->selectedNames().size(), 4) << name.toStdString();
        box->setFocus();
        QTest::keyClick(box, Qt::Key_E, Qt::ControlModifier);
        EXPECT_EQ(Names(w).size(), 4) << name.toStdString();
        w.menuItem("mnuEditDeleteAll")->trigger();
        w.lists()->setChanged(false);
    }
    // Plain keys still edit the box that has the keyboard.
    QLineEdit* title = w.lists()->nameBox();
    title->setFocus();
    title->clear();
    QTest::keyClicks(title, QStringLiteral("abc"));
    QTest::keyClick(title, Qt::Key_Backspace);
    QTest::keyClick(title, Qt::Key_Left);
    QTest::keyClicks(title, QStringLiteral("x"));
    EXPECT_EQ(title->text(), "axb");
    w.lists()->setChanged(false);
    w.close();
    EXPECT_EQ(Value(settings::kInterval), "12");
    EXPECT_EQ(Value(settings::kFileNum), "2");
}

TEST_F(Lists, ThePanesSelectionFeedsThePreview) {
    QImage(60, 30, QImage::Format_RGB32).save(m_root + "real.jpg");
    Store({{"real.jpg", (m_root + "real.jpg").toStdString()}, {"b.gif", (m_root + "b.gif").toStdString()}}, "Title");
    frmFileListEx& w = Open();
    QTreeWidget* pane = w.lists()->listView();
    pane->topLevelItem(0)->setSelected(true);
    w.lists()->reportSelection();
    EXPECT_EQ(w.preview()->titleLabel()->text(), "Title");
    EXPECT_TRUE(waitFor([&] { return !w.preview()->picture()->isHidden(); }));
    EXPECT_EQ(w.preview()->nameLabel()->text(), "real.jpg");
    pane->topLevelItem(1)->setSelected(true);
    w.lists()->reportSelection();
    EXPECT_TRUE(w.preview()->picture()->isHidden());
    EXPECT_FALSE(w.preview()->summaryLabel()->isHidden());  // several selected: the summary
    EXPECT_TRUE(pane->hasFocus() || !w.isActiveWindow());
    w.close();
}

TEST_F(Lists, OddListFilesLoadAsFarAsTheyReadAndStayUntouched) {
    struct Row {
        std::string body;
        QStringList names;
        QString title;
    };
    const std::string longValue = "long.jpg|/" + std::string(600, 'p');
    const Row rows[] = {
        {"", {}, ""},
        {"LIST000=a.jpg|/a.jpg\r\nLIST001=b.jpg|/b.jpg\r\nLIST003=d.jpg|/d.jpg\r\n", {"a.jpg", "b.jpg"}, ""},
        {"LIST000=a.jpg|/a.jpg\r\nLIST001=no bar\r\nLIST002=c.jpg|/c.jpg\r\n", {"a.jpg"}, ""},
        {"LIST000=|/lead.jpg\r\nLIST001=b.jpg|/b.jpg\r\n", {}, ""},
        {"LIST000=a.jpg|/x|y|z.jpg\r\n", {"a.jpg"}, ""},
        {"LIST000=" + longValue + "\r\n", {"long.jpg"}, ""},
        // Shift-JIS of the Windows release: the name "表" (0x95 0x5C) and a title.
        {"LISTNAME=\x83\x65\x83\x58\x83\x67\r\nLIST000=\x95\x5C.jpg|C:\\\x95\x5C.jpg\r\n", {"表.jpg"}, "テスト"},
        {"LISTNAME=" + std::string(10000, 'n') + "\r\nLIST000=a.jpg|/a.jpg\r\n", {"a.jpg"}, QString(511, 'n')},
    };
    for (const Row& r : rows) {
        const std::string bytes = "[FILELIST]\r\n" + r.body;
        TempDir::put(ListFile(0, 0), bytes);
        frmFileListEx& w = Open();
        EXPECT_EQ(Names(w), r.names) << r.body.substr(0, 60);
        EXPECT_EQ(w.lists()->nameBox()->text(), r.title) << r.body.substr(0, 60);
        EXPECT_FALSE(w.lists()->changed());
        if (r.names.size() == 1 && r.body.find("x|y|z") != std::string::npos) {
            EXPECT_EQ(w.lists()->listView()->topLevelItem(0)->text(1), "/x|y|z.jpg");
        }
        // Moving away and back and closing leave the file as it was.
        w.menuItem("mnuFileListNext")->trigger();
        w.menuItem("mnuFileListBack")->trigger();
        EXPECT_EQ(Names(w), r.names);
        w.close();
        EXPECT_EQ(TempDir::get(ListFile(0, 0)), bytes);
    }
}

}  // namespace
