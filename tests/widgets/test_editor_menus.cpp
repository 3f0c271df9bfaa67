// The editor's command surface on the offscreen platform: the menu bar and
// tool bars as built, view modes, sorting, dispatch of the list commands, the
// dialogs, the background colour and the screen-saver installation.
#include "editor/EditorCommands.h"
#include "editor/FileView.h"
#include "editor/IntervalBar.h"
#include "editor/ListPane.h"
#include "editor/frmFileListEx.h"

#include "EditorFixture.h"
#include "MessageBoxes.h"

#include <QAbstractButton>
#include <QAction>
#include <QAbstractItemView>
#include <QActionGroup>
#include <QApplication>
#include <QColorDialog>
#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>

// Readable failures.
static void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

using editor::Command;
using editor::frmFileListEx;
using namespace settings;
namespace fs = std::filesystem;

namespace {

QString Text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

class Menus : public EditorTest {
protected:
    std::vector<bool> ModeMarks(const frmFileListEx& w) const {
        std::vector<bool> marks;
        for (const char* key : {"ViewLarge", "ViewSmall", "ViewList", "ViewDetails"})
            marks.push_back(w.toolButton(QString::fromLatin1(key))->isChecked());
        for (int m = 0; m < 4; ++m) marks.push_back(w.menuItem(QStringLiteral("mnuListViewMode(%1)").arg(m))->isChecked());
        return marks;
    }
};

TEST_F(Menus, TheMenuBarHoldsEveryItemInOrderWithCaptionShortcutAndCheckMark) {
    frmFileListEx& w = Load();
    QStringList topCaptions;
    for (QAction* a : w.menuBar()->actions()) topCaptions << a->text();
    EXPECT_EQ(topCaptions, (QStringList{"ファイル(&F)", "編集(&E)", "表示(&V)", "カスタム(&C)", "ヘルプ(&H)"}));

    // Each menu lists the table's rows in order, separators included.
    QMenu* menu = nullptr;
    QMenu* submenu = nullptr;
    int position = 0, subPosition = 0;
    for (const editor::MenuRow& row : editor::menuTable()) {
        const QString name = Text(row.name);
        if (row.kind == editor::MenuKind::Menu) {
            QAction* a = w.menuItem(name);
            ASSERT_TRUE(a && a->menu()) << row.name;
            menu = a->menu();
            position = 0;
            continue;
        }
        QMenu* owner = row.sub ? submenu : menu;
        int& at = row.sub ? subPosition : position;
        ASSERT_TRUE(owner);
        ASSERT_LT(at, owner->actions().size()) << row.name;
        QAction* a = owner->actions().at(at++);
        EXPECT_EQ(a->objectName(), name);
        if (row.kind == editor::MenuKind::Separator) {
            EXPECT_TRUE(a->isSeparator()) << row.name;
            continue;
        }
        EXPECT_EQ(a, w.menuItem(name));
        EXPECT_EQ(a->text(), Text(row.caption)) << row.name;
        EXPECT_TRUE(a->icon().isNull()) << row.name;  // a tool bar button keeps its icon to itself
        EXPECT_EQ(a->shortcut(), QKeySequence(Text(row.shortcut))) << row.name;
        if (row.kind == editor::MenuKind::Submenu) {
            submenu = a->menu();
            subPosition = 0;
        }
        const bool checkedAtStart = row.kind == editor::MenuKind::Check || name == QStringLiteral("mnuListViewMode(3)");
        EXPECT_EQ(a->isChecked(), checkedAtStart) << row.name;
        EXPECT_EQ(a->isCheckable(), row.kind == editor::MenuKind::Check || row.kind == editor::MenuKind::Mode) << row.name;
    }
    EXPECT_EQ(w.menuItem(QStringLiteral("mnuFileRun"))->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_EQ(w.menuItem(QStringLiteral("mnuHelpContents"))->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_FALSE(w.menuItem(QStringLiteral("mnuViewOptions"))->isEnabled());
}

TEST_F(Menus, TheToolBarsHoldTheirButtonsWithKeysTooltipsAndIcons) {
    frmFileListEx& w = Load();
    const QList<QAction*> main = w.toolBar()->actions();
    ASSERT_EQ(main.size(), 22);
    const auto table = editor::toolBarTable();
    for (int i = 0; i < 22; ++i) {
        const auto& row = table[static_cast<std::size_t>(i)];
        EXPECT_EQ(main[i]->isSeparator(), row.kind == editor::ButtonKind::Separator) << i;
        if (main[i]->isSeparator()) continue;
        const auto* button = qobject_cast<QAbstractButton*>(w.toolBar()->widgetForAction(main[i]));
        EXPECT_EQ(button->objectName(), Text(row.key));
        EXPECT_EQ(button->toolTip(), Text(row.tooltip));
        EXPECT_FALSE(button->icon().isNull()) << row.key;
    }
    // The custom bar carries its four buttons first, then the interval controls.
    QStringList custom;
    for (QAction* a : w.customBar()->actions()) custom << (a->isSeparator() ? QStringLiteral("-") : w.customBar()->widgetForAction(a)->objectName());
    EXPECT_EQ(custom, (QStringList{"Screen", "Color", "-", "Option", "picCustomBar"}));
    EXPECT_EQ(w.toolButton(QStringLiteral("Color"))->toolTip(), QStringLiteral("背景色の変更"));
    // Keys compare exactly.
    for (const char* key : {"filesave", "FileSave ", "screen", "Options", ""}) EXPECT_EQ(w.toolButton(key), nullptr) << key;
}

TEST_F(Menus, ViewModesKeepOneCheckMarkAndOnePressedButton) {
    frmFileListEx& w = Load();
    EXPECT_EQ(ModeMarks(w), (std::vector<bool>{false, false, false, true, false, false, false, true}));

    w.menuItem(QStringLiteral("mnuListViewMode(2)"))->trigger();  // "一覧(&L)"
    EXPECT_EQ(w.folders()->fileView()->viewMode(), 2);
    EXPECT_EQ(ModeMarks(w), (std::vector<bool>{false, false, true, false, false, false, true, false}));
    EXPECT_EQ(w.folders()->fileView()->arrangement(), 0);

    // The menu item of an icon mode leaves the arrangement alone ...
    w.menuItem(QStringLiteral("mnuListViewMode(1)"))->trigger();
    EXPECT_EQ(w.folders()->fileView()->viewMode(), 1);
    EXPECT_EQ(w.folders()->fileView()->arrangement(), 0);
    // ... its button arranges along the left edge.
    w.toolButton(QStringLiteral("ViewLarge"))->click();
    EXPECT_EQ(w.folders()->fileView()->viewMode(), 0);
    EXPECT_EQ(w.folders()->fileView()->arrangement(), editor::kArrangeLeft);
    EXPECT_EQ(ModeMarks(w), (std::vector<bool>{true, false, false, false, true, false, false, false}));
    w.toolButton(QStringLiteral("ViewDetails"))->click();
    EXPECT_EQ(w.folders()->fileView()->viewMode(), 3);
    EXPECT_EQ(ModeMarks(w), (std::vector<bool>{false, false, false, true, false, false, false, true}));

    // The mode is stored on closing.
    w.toolButton(QStringLiteral("ViewSmall"))->click();
    w.show();
    w.close();
    EXPECT_EQ(Value(kViewMode), "1");
}

TEST_F(Menus, EverySortCommandFlipsTheDirection) {
    // Names and types sort differently: a.jpg (JPEG), b.avi (Video), c.bmp (bitmap).
    for (const char* n : {"a.jpg", "b.avi", "c.bmp"}) TempDir::put(m_files.file(n), "x");
    PutIni("DEFPATH=" + m_root.toStdString() + "\r\nSortKey=0\r\nSortOrder=0\r\n");
    frmFileListEx& w = Open();
    const auto names = [&] {
        QStringList out;
        for (int i = 0; i < w.folders()->fileView()->rowCount(); ++i) out << w.folders()->fileView()->nameOfRow(i);
        return out;
    };
    ASSERT_EQ(names(), (QStringList{"a.jpg", "b.avi", "c.bmp"}));
    QAction* byName = w.menuItem(QStringLiteral("mnuVAIByName"));
    byName->trigger();
    EXPECT_EQ(names(), (QStringList{"c.bmp", "b.avi", "a.jpg"}));
    byName->trigger();
    EXPECT_EQ(names(), (QStringList{"a.jpg", "b.avi", "c.bmp"}));
    // By type, flipped once more: descending type names.
    w.menuItem(QStringLiteral("mnuVAIByType"))->trigger();
    EXPECT_EQ(w.folders()->fileView()->sortColumn(), 1);
    EXPECT_EQ(w.folders()->fileView()->sortOrder(), 1);
    w.menuItem("mnuVAIByDate")->trigger();
    EXPECT_EQ(w.folders()->fileView()->sortColumn(), 2);
    EXPECT_EQ(w.folders()->fileView()->sortOrder(), 0);
    w.close();
    EXPECT_EQ(Value(kSortKey), "2");
    EXPECT_EQ(Value(kSortOrder), "0");
}

TEST_F(Menus, SelectAllAndInvertWorkOnTheFileViewOnly) {
    for (const char* n : {"a.jpg", "b.avi", "c.bmp"}) TempDir::put(m_files.file(n), "x");
    PutIni("DEFPATH=" + m_root.toStdString() + "\r\nSortKey=0\r\nSortOrder=0\r\n");
    TempDir::put(m_home.file("FILE00.INI"), "[FILELIST]\r\nLIST000=x|/x.jpg\r\n");
    frmFileListEx& w = Open();
    ASSERT_EQ(w.folders()->fileView()->rowCount(), 3);
    ASSERT_EQ(w.lists()->listView()->topLevelItemCount(), 1);
    w.lists()->listView()->topLevelItem(0)->setSelected(true);
    // Both view kinds: the details view selects whole rows, the icon views the name cell.
    for (int mode : {3, 0}) {
        w.menuItem(QStringLiteral("mnuListViewMode(%1)").arg(mode))->trigger();
        w.menuItem(QStringLiteral("mnuEditDSelectAll"))->trigger();
        EXPECT_EQ(w.folders()->fileView()->selectedNames(), (QStringList{"a.jpg", "b.avi", "c.bmp"}));
        w.menuItem(QStringLiteral("mnuEditInvertSelection"))->trigger();
        EXPECT_TRUE(w.folders()->fileView()->selectedNames().isEmpty());
        w.folders()->fileView()->currentView()->selectionModel()->select(w.folders()->fileView()->currentView()->model()->index(1, 0),
                                                               QItemSelectionModel::ClearAndSelect);
        w.menuItem("mnuEditInvertSelection")->trigger();
        EXPECT_EQ(w.folders()->fileView()->selectedNames(), (QStringList{"a.jpg", "c.bmp"}));
        EXPECT_TRUE(w.lists()->listView()->topLevelItem(0)->isSelected());
    }
    w.close();
}

TEST_F(Menus, EveryCommandIsOneActionRunByItsMenuItemButtonAndShortcut) {
    frmFileListEx& w = Load();
    // Every command has its handler, replaced here by a recorder (the key
    // dialog under View is shown disabled and runs nothing).
    std::vector<QString> ran;
    for (const auto& row : editor::menuTable()) {
        if (row.command == Command::None || !row.enabled) continue;
        QAction* a = w.menuItem(Text(row.name));
        EXPECT_TRUE(QObject::disconnect(a, &QAction::triggered, &w, nullptr)) << row.name << " runs nothing";
        QObject::connect(a, &QAction::triggered, &w, [&ran, a] { ran.push_back(a->objectName()); });
    }
    // A button runs its menu item's action, and its tool tip says what the item says.
    for (auto table : {editor::toolBarTable(), editor::customBarTable()})
        for (const auto& row : table) {
            if (row.kind == editor::ButtonKind::Separator) continue;
            ran.clear();
            w.toolButton(Text(row.key))->click();
            ASSERT_EQ(ran.size(), 1u) << row.key;
            EXPECT_EQ(w.toolButton(Text(row.key))->defaultAction(), w.menuItem(ran.front())) << row.key;
            const QString words = w.menuItem(ran.front())->text().section(QLatin1Char('('), 0, 0);
            // "背景色の変更" on the button, "背景色の設定" in the menu.
            EXPECT_TRUE(row.key == "Color" || w.toolButton(Text(row.key))->toolTip().startsWith(words)) << row.key;
        }

    // The shortcuts act while the window has the keyboard.
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    ran.clear();
    QTest::keyClick(w.folders()->tree(), Qt::Key_U, Qt::ControlModifier);
    QTest::keyClick(w.folders()->tree(), Qt::Key_T, Qt::ControlModifier);
    QTest::keyClick(w.folders()->tree(), Qt::Key_F5);
    EXPECT_EQ(ran, (std::vector<QString>{"mnuFileListNext", "mnuFilePageBack", "mnuFileRun"}));
    w.close();
}

TEST_F(Menus, TheTextBoxesContextMenusAreJapanese) {
    frmFileListEx& w = Load();
    for (QLineEdit* box : {w.intervalBar()->box(), w.lists()->nameBox()}) {
        const std::unique_ptr<QMenu> menu(box->createStandardContextMenu());
        QStringList texts;
        for (const QAction* a : menu->actions())
            if (!a->isSeparator()) texts << a->text().section(QLatin1Char('\t'), 0, 0);
        EXPECT_EQ(texts.filter(QRegularExpression(QStringLiteral("[A-Za-z]{3,}"))), QStringList{}) << texts.join('|').toStdString();
        EXPECT_EQ(texts.size(), 7);
    }
}

TEST_F(Menus, EscLeavesTheEditorOpenAndTheCustomBarLeadsWithItsButtons) {
    frmFileListEx& w = Open();
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_TRUE(w.isVisible());
    const QList<QAction*> bar = w.customBar()->actions();
    ASSERT_FALSE(bar.isEmpty());
    EXPECT_EQ(bar.first(), w.toolButton(QStringLiteral("Screen"))->defaultAction());
    EXPECT_EQ(bar.indexOf(w.toolButton(QStringLiteral("Option"))->defaultAction()), bar.size() - 2) << "the interval controls come last";
    w.close();
}

TEST_F(Menus, APaneActsOnlyOnTheReleaseOfAKeyPressedInTheEditor) {
    frmFileListEx& w = Open();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.lists()->listView()->setFocus();
    w.preview()->titleLabel()->setText(QStringLiteral("elsewhere"));
    // The Enter that answered a message box comes up here: nothing happens.
    QTest::keyRelease(w.windowHandle(), Qt::Key_Return);
    EXPECT_EQ(w.preview()->titleLabel()->text(), QStringLiteral("elsewhere"));
    // A key pressed and released in the list pane gives its selection feedback.
    QTest::keyClick(w.windowHandle(), Qt::Key_Down);
    EXPECT_EQ(w.preview()->titleLabel()->text(), w.lists()->nameBox()->text());
    w.close();
}

TEST_F(Menus, TheStoreButtonAsksBeforeStoring) {
    frmFileListEx& w = Open();
    const ModalScript boxes({Qt::Key_Escape});
    w.toolButton(QStringLiteral("FileSave"))->click();
    ASSERT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(boxes.seen()[0].text, QStringLiteral("PAGE 1 / LIST 1 に登録します。"));
    EXPECT_FALSE(fs::exists(m_home.file("FILE00.INI")));
    w.close();
}

TEST_F(Menus, AboutAndKeyDialogOpenOverTheEditor) {
    frmFileListEx& w = Open();
    QStringList titles;
    const auto closeIt = [&titles, &w](QWidget* dialog) {
        titles << dialog->windowTitle();
        EXPECT_EQ(dialog->parentWidget(), &w);
        dialog->close();
    };
    {
        ModalScript script{{closeIt, closeIt, closeIt}};
        w.menuItem(QStringLiteral("mnuHelpAbout"))->trigger();
        w.menuItem(QStringLiteral("mnuCustomOption"))->trigger();
        w.toolButton(QStringLiteral("Option"))->click();
        script.finish();
    }
    EXPECT_EQ(titles, (QStringList{"バージョン情報", "オプション", "オプション"}));
    w.close();
}

class Colour : public Menus {
protected:
    // Opens the colour dialog, notes what it offers, picks `pick`; returns the box shown then.
    ShownBox Choose(frmFileListEx& w, QColor pick) {
        ModalScript script{{[this, pick](QWidget* modal) {
                               auto* dialog = qobject_cast<QColorDialog*>(modal);
                               ASSERT_TRUE(dialog);
                               m_initial = dialog->currentColor();
                               m_texts.clear();
                               for (const QLabel* l : dialog->findChildren<QLabel*>()) m_texts << l->text();
                               for (const QAbstractButton* b : dialog->findChildren<QAbstractButton*>()) m_texts << b->text();
                               for (int i = 0; i < 16; ++i) m_custom[i] = QColorDialog::customColor(i);
                               // A change to a custom colour is not kept for the next opening.
                               QColorDialog::setCustomColor(0, QColor(1, 2, 3));
                               dialog->setCurrentColor(pick);
                               dialog->accept();
                           },
                           Qt::Key_Return}};
        w.toolButton(QStringLiteral("Color"))->click();
        EXPECT_EQ(script.seen().size(), 1u);
        return script.seen().empty() ? ShownBox{} : script.seen()[0];
    }
    QColor m_initial;
    QColor m_custom[16];
    QStringList m_texts;  // the dialog's labels and buttons
};

TEST_F(Colour, AChosenColourIsStoredAsBlueGreenRedAndTakesEffect) {
    PutIni("INTERVAL=5\r\n");
    frmFileListEx& w = Open();
    struct Row {
        QColor pick;
        const char* stored;
    };
    for (const Row& r : {Row{QColor(0, 0, 255), "16711680"}, Row{Qt::black, "0"}, Row{Qt::white, "16777215"},
                         Row{QColor(255, 0, 0), "255"}}) {
        const ShownBox box = Choose(w, r.pick);
        EXPECT_EQ(m_initial, QColor(Qt::black)) << "nothing is preselected";
        // Qt's own texts in the dialog are Japanese too.
        EXPECT_TRUE(m_texts.contains(QStringLiteral("基本カラー(&B)"))) << m_texts.join('|').toStdString();
        EXPECT_EQ(m_texts.filter(QRegularExpression(QStringLiteral("[A-Za-z]{3,}"))), QStringList{"&HTML:"});
        const auto presets = editor::customColours();
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(m_custom[i], QColor(presets[i].red, presets[i].green, presets[i].blue)) << i;
        EXPECT_EQ(box.text, QStringLiteral("背景色を変更しました。"));
        EXPECT_EQ(box.icon, QMessageBox::Information);
        EXPECT_EQ(box.title, QStringLiteral("Vistrova!!"));
        EXPECT_EQ(Value(kBackColor), r.stored);
        EXPECT_EQ(std::to_string(pub.backColor), r.stored);
    }
    EXPECT_EQ(Value(kInterval), "5");
    w.close();
}

TEST_F(Colour, CancelChangesNothing) {
    PutIni("BACKCOLOR=255\r\n");
    pub.backColor = 255;
    frmFileListEx& w = Open();
    const ModalScript script({[](QWidget* modal) { modal->close(); }});
    w.menuItem(QStringLiteral("mnuCustomColor"))->trigger();
    EXPECT_TRUE(script.done());
    EXPECT_TRUE(script.seen().empty());
    EXPECT_EQ(Value(kBackColor), "255");
    EXPECT_EQ(pub.backColor, 255);
    w.close();
}

TEST_F(Colour, AFailedWriteIsReportedAndTheColourStillHoldsForThisRun) {
    frmFileListEx& w = Open();
    pub.settingsPath = m_home.file("missing/VISTROVA.INI");
    const ShownBox box = Choose(w, QColor(0, 255, 0));
    EXPECT_TRUE(box.text.startsWith(QStringLiteral("背景色を設定ファイルに保存できませんでした。\r\n")));
    EXPECT_TRUE(box.text.endsWith(QStringLiteral("missing/VISTROVA.INI")));
    EXPECT_EQ(box.icon, QMessageBox::Warning);
    EXPECT_EQ(pub.backColor, 65280);
    EXPECT_FALSE(fs::exists(m_home.file("missing")));
}

class Install : public Menus {
protected:
    void SetUp() override {
        Menus::SetUp();
        m_userHome = m_scratch.file("user");
        m_data = m_scratch.file("data");
        m_target = m_data + "/vistrova/screensaver";
        fs::create_directories(m_userHome);
        m_savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
        ::setenv("HOME", m_userHome.c_str(), 1);
        ::setenv("XDG_DATA_HOME", m_data.c_str(), 1);
    }
    void TearDown() override {
        ::setenv("HOME", m_savedHome.c_str(), 1);
        ::unsetenv("XDG_DATA_HOME");
    }
    // Runs the installation from the custom bar, answering the confirmation
    // with OK or Cancel; returns the message shown afterwards (if any).
    ShownBox Run(bool ok, bool expectMessage) {
        frmFileListEx& w = Open();
        const ModalScript boxes({ok ? Qt::Key_Return : Qt::Key_Escape}, Qt::Key_Return);
        w.toolButton(QStringLiteral("Screen"))->click();
        const std::vector<ShownBox>& seen = boxes.seen();
        EXPECT_EQ(seen.size(), expectMessage ? 2u : 1u);
        if (!seen.empty()) {
            EXPECT_EQ(seen[0].text, Text(editor::installPrompt()));
            EXPECT_EQ(seen[0].icon, QMessageBox::Question);
        }
        w.close();
        return seen.size() > 1 ? seen[1] : ShownBox{};
    }
    std::vector<std::string> Installed() const {
        std::vector<std::string> names;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(m_target, ec)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TempDir m_scratch;
    std::string m_userHome, m_data, m_target, m_savedHome;
};

TEST_F(Install, OkCopiesTheRunningProgramTheSettingsAndTheExistingLists) {
    PutIni("INTERVAL=4\r\n");
    for (const char* n : {"00", "03", "99"}) TempDir::put(m_home.file(std::string("FILE") + n + ".INI"), n);
    TempDir::put(m_userHome + "/.xscreensaver", "mode:\t\trandom\nprograms:\t\\\n\t\tqix -root\t\t\t\t    \\n\n");
    Run(true, false);
    // Closing the editor wrote its settings after the copy; the copied one is as it was.
    EXPECT_EQ(Installed(), (std::vector<std::string>{"FILE00.INI", "FILE03.INI", "FILE99.INI", "VISTROVA.INI", "VISTROVA.SCR"}));
    EXPECT_EQ(TempDir::get(m_target + "/VISTROVA.INI"), "[VISTROVA]\r\nINTERVAL=4\r\n");
    EXPECT_EQ(TempDir::get(m_target + "/FILE03.INI"), "03");
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
    EXPECT_EQ(fs::file_size(m_target + "/VISTROVA.SCR"), fs::file_size(program.toStdString()));
    EXPECT_TRUE(QFileInfo(QString::fromStdString(m_target + "/VISTROVA.SCR")).isExecutable());
    const std::string config = TempDir::get(m_userHome + "/.xscreensaver");
    EXPECT_NE(config.find(m_target + "/VISTROVA.SCR"), std::string::npos);
    EXPECT_NE(config.find("qix -root"), std::string::npos);
}

TEST_F(Install, CancelCopiesNothing) {
    PutIni("INTERVAL=4\r\n");
    Run(false, false);
    EXPECT_FALSE(fs::exists(m_target));
}

TEST_F(Install, FailuresAreReportedWithTheirMessages) {
    // No settings file: only the program is copied.
    {
        const ShownBox box = Run(true, true);
        EXPECT_TRUE(box.text.startsWith(QStringLiteral("設定ファイルが作成されていません。\r\n")));
        EXPECT_EQ(box.icon, QMessageBox::Critical);
        EXPECT_EQ(Installed(), std::vector<std::string>{"VISTROVA.SCR"});
    }
    // A list that cannot take its place (a folder stands there): the copies before it stay.
    PutIni("INTERVAL=4\r\n");
    for (const char* n : {"00", "03"}) TempDir::put(m_home.file(std::string("FILE") + n + ".INI"), n);
    fs::create_directories(m_target + "/FILE03.INI/inner");
    {
        const ShownBox box = Run(true, true);
        EXPECT_EQ(box.text, QStringLiteral("ファイルをコピーできませんでした。\r\n") + QString::fromStdString(m_home.file("FILE03.INI")));
        EXPECT_EQ(box.icon, QMessageBox::Critical);
        EXPECT_EQ(TempDir::get(m_target + "/FILE00.INI"), "00");
    }
    // A file where the folder should be.
    fs::remove_all(m_data);
    fs::create_directories(m_data + "/vistrova");
    TempDir::put(m_target, "a file");
    {
        const ShownBox box = Run(true, true);
        EXPECT_EQ(box.text, QStringLiteral("Windowsディレクトリの取得に失敗しました。"));
        EXPECT_EQ(box.icon, QMessageBox::Critical);
        EXPECT_EQ(TempDir::get(m_target), "a file");
    }
    // An xscreensaver configuration that cannot be read as a file.
    fs::remove(m_target);
    fs::create_directories(m_userHome + "/.xscreensaver");
    {
        const ShownBox box = Run(true, true);
        EXPECT_EQ(box.text.section(QStringLiteral("\r\n"), 1), QString::fromStdString(m_userHome + "/.xscreensaver"));
        EXPECT_EQ(box.icon, QMessageBox::Warning);
        EXPECT_TRUE(fs::exists(m_target + "/VISTROVA.SCR"));
    }
}

}  // namespace
