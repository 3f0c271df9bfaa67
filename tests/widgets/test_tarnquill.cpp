#include "converter/Converter.h"
#include "converter/frmMain.h"

#include "MessageBoxes.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using converter::frmMain;

namespace {

struct Box {
    QString title;
    QString text;
    QMessageBox::Icon icon;
    bool buttonsEnabled;
    bool waitCursor;
};

struct Step {
    int width;
    QString percent;
    bool buttonsEnabled;
    bool waitCursor;
};

// Drives one frmMain on a scratch program folder; answers each message box
// with its default button and records what was shown.
class Harness : public QObject {
public:
    Harness() {
        ::setenv("VISTROVA_HOME", dir.path().c_str(), 1);
        form = std::make_unique<frmMain>();
        form->show();
        bar = form->findChild<QWidget*>(QStringLiteral("shpBar"));
        percent = form->findChild<QLabel*>(QStringLiteral("lblPar"));
        convert = form->findChild<QPushButton*>(QStringLiteral("cmdButton0"));
        close = form->findChild<QPushButton*>(QStringLiteral("cmdButton1"));
        bar->installEventFilter(this);
    }
    ~Harness() override { ::unsetenv("VISTROVA_HOME"); }

    bool buttonsEnabled() const { return convert->isEnabled() && close->isEnabled(); }
    bool waitCursor() const { return form->testAttribute(Qt::WA_SetCursor) && form->cursor().shape() == Qt::WaitCursor; }

    TempDir dir;
    std::unique_ptr<frmMain> form;
    QWidget* bar = nullptr;
    QLabel* percent = nullptr;
    QPushButton* convert = nullptr;
    QPushButton* close = nullptr;
    std::vector<Box> boxes;
    std::vector<Step> steps;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == bar && event->type() == QEvent::Resize) {
            steps.push_back({bar->width(), percent->text(), buttonsEnabled(), waitCursor()});
        }
        return false;
    }

private:
    // Each box with its first (default) button, noting the window's state under it.
    ModalScript m_answerer{{}, [this](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            boxes.push_back({box->windowTitle(), box->text(), box->icon(), buttonsEnabled(), waitCursor()});
            answerBox(box);
        }
    }};
};

TEST(frmMainWindow, ElementsSitAtTheirPlaces) {
    Harness h;
    EXPECT_EQ(h.form->windowTitle(), QStringLiteral("Tarnquell"));
    EXPECT_EQ(h.form->size(), QSize(337, 143));
    EXPECT_EQ(h.form->minimumSize(), h.form->maximumSize());
    EXPECT_EQ(h.form->findChild<QWidget*>(QStringLiteral("shpBase"))->geometry(), QRect(16, 64, 305, 17));
    EXPECT_EQ(h.bar->geometry(), QRect(16, 64, 1, 17));
    EXPECT_EQ(h.percent->text(), QStringLiteral("0%"));
    EXPECT_EQ(h.convert->text(), QStringLiteral("変換"));
    EXPECT_EQ(h.convert->geometry(), QRect(16, 96, 81, 33));
    EXPECT_EQ(h.close->text(), QStringLiteral("閉じる"));
    EXPECT_EQ(h.close->geometry(), QRect(240, 96, 81, 33));
}

TEST(frmMainWindow, MissingSettingsShowsItsMessageOnly) {
    Harness h;
    h.convert->click();
    ASSERT_EQ(h.boxes.size(), 1u);
    EXPECT_EQ(h.boxes[0].title, QStringLiteral("Tarnquill"));
    EXPECT_EQ(h.boxes[0].text, QStringLiteral("[Vistrova.INI]が見つかりません。"));
    EXPECT_EQ(h.boxes[0].icon, QMessageBox::Warning);
    EXPECT_TRUE(h.steps.empty());
    EXPECT_EQ(h.percent->text(), QStringLiteral("0%"));
    EXPECT_TRUE(h.buttonsEnabled());
}

TEST(frmMainWindow, ConversionShowsEveryStepThenTheFinishedMessage) {
    Harness h;
    const converter::Paths paths = converter::pathsOf(h.dir.path().string());
    TempDir::put(paths.settingsFile, "[FILE1]\r\nLIST000=a|/a\r\n");
    h.convert->click();

    ASSERT_EQ(h.steps.size(), 100u);
    for (const std::size_t i : {std::size_t{0}, std::size_t{9}, std::size_t{29}, std::size_t{99}}) {
        EXPECT_EQ(h.steps[i].width, converter::barWidth(static_cast<int>(i))) << i;
        EXPECT_FALSE(h.steps[i].buttonsEnabled) << i;
        EXPECT_TRUE(h.steps[i].waitCursor) << i;
    }
    EXPECT_EQ(h.steps[9].width, 30);
    EXPECT_EQ(h.steps[29].width, 92);
    EXPECT_EQ(h.steps[99].width, 305);
    EXPECT_EQ(h.percent->text(), QStringLiteral("100%"));

    ASSERT_EQ(h.boxes.size(), 1u);
    EXPECT_EQ(h.boxes[0].title, QStringLiteral("Tarnquill"));
    EXPECT_EQ(h.boxes[0].text, QStringLiteral("変換が終了しました。"));
    EXPECT_EQ(h.boxes[0].icon, QMessageBox::Information);
    // Idle again before the message: buttons back, default pointer.
    EXPECT_TRUE(h.boxes[0].buttonsEnabled);
    EXPECT_FALSE(h.boxes[0].waitCursor);
    EXPECT_EQ(TempDir::get(converter::listFileOf(paths.listPrefix, 1)), "[FILELIST]\r\nLIST000=a|/a\r\nLISTNAME=\r\n");
}

TEST(frmMainWindow, UnwritableListsAreReportedBeforeTheFinishedMessage) {
    Harness h;
    const converter::Paths paths = converter::pathsOf(h.dir.path().string());
    TempDir::put(paths.settingsFile, "[FILE1]\r\nLIST000=a|/a\r\n[FILE2]\r\nLIST000=b|/b\r\n[FILE3]\r\nLIST000=c|/c\r\n");
    std::filesystem::create_directory(converter::listFileOf(paths.listPrefix, 1));
    std::filesystem::create_directory(converter::listFileOf(paths.listPrefix, 3));
    h.convert->click();

    ASSERT_EQ(h.boxes.size(), 2u);
    EXPECT_EQ(h.boxes[0].title, QStringLiteral("Tarnquill"));
    EXPECT_EQ(h.boxes[0].text, QStringLiteral("次のファイルに書き込めませんでした。\r\n") +
                                   QString::fromStdString(converter::listFileOf(paths.listPrefix, 1)) +
                                   QStringLiteral("\r\n") +
                                   QString::fromStdString(converter::listFileOf(paths.listPrefix, 3)));
    EXPECT_EQ(h.boxes[0].icon, QMessageBox::Critical);
    EXPECT_EQ(h.boxes[1].text, QStringLiteral("変換が終了しました。"));
    EXPECT_TRUE(std::filesystem::is_regular_file(converter::listFileOf(paths.listPrefix, 2)));
}

TEST(frmMainWindow, CloseButtonClosesTheWindow) {
    Harness h;
    h.close->click();
    EXPECT_FALSE(h.form->isVisible());
}

}  // namespace
