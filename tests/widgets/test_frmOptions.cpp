#include "dialogs/frmOptions.h"
#include "shared/IniFile.h"
#include "shared/SettingsKeys.h"
#include "shared/mdlPublic.h"

#include "MessageBoxes.h"
#include "TempDir.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using dialogs::frmOptions;

namespace {

class KeyDialog : public ::testing::Test {
protected:
    KeyDialog() {
        state.settingsPath = dir.file("VISTROVA.INI");
        dialog = std::make_unique<frmOptions>(state);
        dialog->show();
    }
    QLineEdit* keyBox(int i) { return dialog->findChild<QLineEdit*>(QStringLiteral("txtKey%1").arg(i)); }
    QPushButton* button(const char* name) { return dialog->findChild<QPushButton*>(name); }
    QString text(int i) { return keyBox(i)->text(); }

    // Presses a key in box i and returns the text of the message box it raised ("" for none).
    QString press(int i, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        const ModalScript boxes;
        QTest::keyClick(keyBox(i), key, mods);
        QApplication::processEvents();
        return boxes.seen().empty() ? QString() : boxes.seen()[0].text;
    }

    TempDir dir;
    mdlPublic::PublicState state;
    std::unique_ptr<frmOptions> dialog;
};

TEST_F(KeyDialog, OpensWithTheLiveKeysAndNothingToApply) {
    EXPECT_EQ(dialog->windowTitle(), "オプション");
    EXPECT_EQ(text(0), "F6");
    EXPECT_EQ(text(1), "F8");
    EXPECT_EQ(text(2), "F5");
    EXPECT_EQ(text(3), "F7");
    EXPECT_FALSE(button("cmdApply")->isEnabled());
}

TEST_F(KeyDialog, RefusedKeysChangeNothing) {
    EXPECT_EQ(press(0, Qt::Key_F1), "F1,F2,Escキーは使用できません。");
    EXPECT_EQ(press(1, Qt::Key_F2), "F1,F2,Escキーは使用できません。");
    EXPECT_EQ(press(2, Qt::Key_Escape), "F1,F2,Escキーは使用できません。");
    EXPECT_EQ(press(1, Qt::Key_F6), "設定が重複しています。");
    EXPECT_EQ(text(1), "F8");
    EXPECT_FALSE(button("cmdApply")->isEnabled());
    EXPECT_TRUE(dialog->isVisible());  // Esc in a box does not close the dialog
}

TEST_F(KeyDialog, AcceptedKeysShowTheirNamesAndApplyWritesTheFourCodes) {
    EXPECT_EQ(press(0, Qt::Key_A, Qt::ShiftModifier), "");  // Shift+A binds A alone
    EXPECT_EQ(text(0), "A");
    EXPECT_TRUE(button("cmdApply")->isEnabled());
    EXPECT_EQ(press(1, Qt::Key_F6), "");  // box 0's old key is free now
    EXPECT_EQ(press(2, Qt::Key_5, Qt::KeypadModifier), "");
    EXPECT_EQ(press(3, Qt::Key_5), "");  // main-row 5 is another code
    EXPECT_EQ(text(2), "5");
    EXPECT_EQ(text(3), "5");
    EXPECT_EQ(state.keys.left, 117);  // nothing is live before Apply

    button("cmdApply")->click();
    EXPECT_FALSE(button("cmdApply")->isEnabled());
    EXPECT_EQ(state.keys.left, 65);
    EXPECT_EQ(state.keys.right, 117);
    EXPECT_EQ(state.keys.up, 101);
    EXPECT_EQ(state.keys.down, 53);
    EXPECT_EQ(TempDir::get(state.settingsPath),
              "[VISTROVA]\r\nMyKeyLeft=65\r\nMyKeyRight=117\r\nMyKeyUp=101\r\nMyKeyDown=53\r\n");
}

TEST_F(KeyDialog, CancelDropsPendingKeys) {
    press(0, Qt::Key_Left);
    EXPECT_EQ(text(0), "←");
    button("cmdCancel")->click();
    EXPECT_EQ(state.keys.left, 117);
    EXPECT_FALSE(std::filesystem::exists(state.settingsPath));
}

TEST_F(KeyDialog, OkAppliesEvenWithoutChanges) {
    button("cmdOK")->click();
    EXPECT_EQ(ini::readProfileString(state.settingsPath, settings::kSection, settings::kMyKeyDown.name), "118");
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(KeyDialog, KeysThatCannotBeStoredAreReported) {
    std::filesystem::create_directory(state.settingsPath);  // stands in for a full disk
    const ModalScript boxes;
    button("cmdOK")->click();
    ASSERT_EQ(boxes.seen().size(), 1u);
    EXPECT_TRUE(boxes.seen()[0].text.startsWith(QStringLiteral("設定ファイルに書き込めませんでした。\r\n")));
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(KeyDialog, TypingNeverEditsABox) {
    QTest::keyClicks(keyBox(0), "xyz");
    EXPECT_EQ(text(0), "Z");  // each letter is a key binding, not text
    QTest::keyClick(keyBox(0), Qt::Key_Delete);
    EXPECT_EQ(text(0), "Del");
}

}  // namespace
