// The player window on the offscreen platform: geometry, background colour,
// the fitted picture, the "Can't open!!" box, the help window and keys.

#include "dialogs/frmHelp.h"
#include "platform/MpvElement.h"
#include "platform/PictureDecode.h"
#include "player/frmMain.h"

#include "CraftedPictures.h"
#include "MessageBoxes.h"
#include "QtWait.h"
#include "TempDir.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

using dialogs::frmHelp;

namespace {

class frmMainTest : public ::testing::Test {
protected:
    void SetUp() override {
        state.backColor = 0x000000FF;  // red in 0x00BBGGRR
        state.interval = 0;
    }
    void addPicture(const char* name, int w, int h, QColor color) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(color);
        const std::string path = dir.file(name);
        ASSERT_TRUE(image.save(QString::fromStdString(path)));
        addPath(name, path);
    }
    void addPath(const char* title, const std::string& path) {
        auto& list = state.playList;
        list.titles[static_cast<std::size_t>(list.count)] = title;
        list.paths[static_cast<std::size_t>(list.count)] = path;
        ++list.count;
    }

    TempDir dir;
    mdlPublic::PublicState state;
};

TEST_F(frmMainTest, FixedSizeWindowShowsTheFittedPictureOnTheBackground) {
    state.fixedWidth = 400;
    state.fixedHeight = 300;
    addPicture("tall.bmp", 200, 300, Qt::green);
    player::frmMain player(nullptr, state);
    EXPECT_EQ(player.windowTitle(), QStringLiteral("Vistrova!!"));
    EXPECT_TRUE(player.windowFlags().testFlag(Qt::FramelessWindowHint));
    player.show();
    ASSERT_TRUE(waitFor([&] { return player.imgPct()->isVisible(); }));
    EXPECT_EQ(player.size(), QSize(400, 300));
    EXPECT_EQ(player.imgPct()->geometry(), QRect(100, 0, 200, 300));
    EXPECT_FALSE(player.mplMedia()->isVisible());

    const QImage shot = player.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(50, 150)), QColor(Qt::red));
    EXPECT_EQ(QColor(shot.pixel(350, 10)), QColor(Qt::red));
    EXPECT_EQ(QColor(shot.pixel(200, 150)), QColor(Qt::green));
    player.close();
}

TEST_F(frmMainTest, FullScreenPlayerCoversThePrimaryScreen) {
    state.backColor = 0x00400080;
    addPicture("wide.bmp", 400, 100, Qt::blue);
    player::frmMain player(nullptr, state);
    player.show();
    ASSERT_TRUE(waitFor([&] { return player.imgPct()->isVisible(); }));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(player.geometry(), screen);
    EXPECT_EQ(player.pctFrame()->size(), screen.size());
    const QImage shot = player.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(screen.width() / 2, 2)), QColor(128, 0, 64));
    EXPECT_EQ(QColor(shot.pixel(screen.width() / 2, screen.height() / 2)), QColor(Qt::blue));
    player.close();
}

TEST_F(frmMainTest, MissingFileAsksAndAbortEndsTheShow) {
    addPath("gone.jpg", dir.file("gone.jpg"));
    player::frmMain player(nullptr, state);
    const ModalScript boxes({"中止(&A)"});
    QTimer::singleShot(8000, &player, [&] { player.done(99); });
    const int result = player.exec();
    ASSERT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(boxes.seen()[0].text, QString::fromStdString(dir.file("gone.jpg")) + QStringLiteral(" Can't open!!"));
    EXPECT_EQ(boxes.seen()[0].title, QStringLiteral("Vistrova!!"));
    EXPECT_EQ(boxes.seen()[0].buttons, 3);
    EXPECT_NE(result, 99) << "Abort closed the player";
    EXPECT_EQ(player.core().state().lastClickAction, player::kEnd);
}

TEST_F(frmMainTest, UndecodablePictureIsOfferedRetryAndIgnore) {
    const std::string bad = dir.file("bad.jpg");
    TempDir::put(bad, "not a picture");
    addPath("bad.jpg", bad);
    addPicture("good.bmp", 20, 20, Qt::green);
    player::frmMain player(nullptr, state);
    const ModalScript boxes({"無視(&I)"});
    player.show();
    ASSERT_TRUE(waitFor([&] { return player.imgPct()->isVisible(); }));
    ASSERT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(boxes.seen()[0].title, QStringLiteral("Vistrova!!"));
    EXPECT_EQ(state.playList.position, 1);
    player.close();
}

TEST_F(frmMainTest, EscEndsTheShowWhileALargePictureIsStillDecoding) {
    const std::string big = dir.file("big.tif");
    ASSERT_TRUE(crafted::deflateTiff(QString::fromStdString(big), 5000));
    addPath("big.tif", big);
    player::frmMain player(nullptr, state);
    player.show();
    ASSERT_TRUE(waitFor([] { return platform::decodesUnderWay() > 0; }));
    QTest::keyClick(player.windowHandle(), Qt::Key_Escape);
    EXPECT_FALSE(player.isVisible());
    EXPECT_GT(platform::decodesUnderWay(), 0) << "the decode was over before the key was taken";
    EXPECT_TRUE(waitFor([] { return platform::decodesUnderWay() == 0; }, 20000));
}

TEST_F(frmMainTest, F2PausesShowsTheHelpWindowAndOkResumes) {
    state.interval = 10;
    addPicture("a.bmp", 20, 20, Qt::green);
    addPicture("b.bmp", 20, 20, Qt::blue);
    addPicture("c.bmp", 20, 20, Qt::yellow);
    state.playList.position = 1;
    player::frmMain player(nullptr, state);
    player.show();
    ASSERT_TRUE(waitFor([&] { return player.imgPct()->isVisible(); }));
    QString info;
    bool pausedDuringHelp = false;
    const ModalScript script({[&](QWidget* modal) {
        auto* help = qobject_cast<frmHelp*>(modal);
        if (!help) return;
        info = help->lblInfo()->text();
        pausedDuringHelp = player.core().state().paused;
        help->cmdOK()->click();
    }});
    QTest::keyClick(&player, Qt::Key_F2);
    EXPECT_EQ(info, QStringLiteral("2/3 b.bmp"));
    EXPECT_TRUE(pausedDuringHelp);
    EXPECT_FALSE(player.core().state().paused);
    player.close();
}

TEST_F(frmMainTest, OnlyTheReleaseOfAKeyPressedHereActsOnce) {
    addPicture("a.bmp", 20, 20, Qt::green);
    addPicture("b.bmp", 20, 20, Qt::blue);
    addPicture("c.bmp", 20, 20, Qt::red);
    player::frmMain player(nullptr, state);
    player.show();
    ASSERT_TRUE(waitFor([&] { return player.imgPct()->isVisible(); }));
    // Keys reach a window through its native window, as the X server sends them.
    QWindow* window = player.windowHandle();
    // Releases of keys pressed elsewhere (the Esc or Enter that closed a box).
    QTest::keyRelease(window, Qt::Key_F8);
    QTest::keyRelease(window, Qt::Key_Escape);
    EXPECT_EQ(state.playList.position, 0);
    EXPECT_TRUE(player.isVisible());
    // A held key: repeated presses (flagged or not), one release.
    QTest::keyPress(window, Qt::Key_F8);
    QTest::keyPress(window, Qt::Key_F8);
    QKeyEvent repeatRelease(QEvent::KeyRelease, Qt::Key_F8, Qt::NoModifier, QString(), true);
    QKeyEvent repeatPress(QEvent::KeyPress, Qt::Key_F8, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(window, &repeatRelease);
    QApplication::sendEvent(window, &repeatPress);
    QTest::keyRelease(window, Qt::Key_F8);
    QTest::keyRelease(window, Qt::Key_F8);
    EXPECT_EQ(state.playList.position, 1);
    // Another window takes the keyboard (the help document): the player lets
    // it come in front and runs on; activated again, it is on top and its
    // keys act.
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(waitFor([&] { return other.isActiveWindow(); }));
    EXPECT_FALSE(window->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(player.isVisible());
    player.activateWindow();
    ASSERT_TRUE(waitFor([&] { return player.isActiveWindow(); }));
    EXPECT_TRUE(window->flags().testFlag(Qt::WindowStaysOnTopHint));
    QTest::keyClick(window, Qt::Key_F8);
    EXPECT_EQ(state.playList.position, 2);
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_FALSE(player.isVisible());
    EXPECT_TRUE(player.core().state().closed);
}

TEST(frmHelpTest, BarShowsPositionCountAndTitle) {
    mdlPublic::PlayList list;
    list.count = 12;
    list.position = 3;
    list.titles[3] = "夕焼け";
    EXPECT_EQ(frmHelp::infoText(list), QString::fromUtf8("4/12 夕焼け"));
    list.count = 1;
    list.position = 0;
    list.titles[0] = "only";
    EXPECT_EQ(frmHelp::infoText(list), QStringLiteral("1/1 only"));

    frmHelp help(list);
    EXPECT_EQ(help.size(), QSize(480, 514));
    EXPECT_EQ(help.lblInfo()->text(), QStringLiteral("1/1 only"));
    EXPECT_EQ(help.lblInfo()->palette().color(QPalette::Window), QColor(0, 0, 192));
    EXPECT_EQ(help.cmdOK()->text(), QStringLiteral("OK"));
    EXPECT_EQ(frmHelp::helpPicture().size(), QSize(480, 514));
}

}  // namespace
