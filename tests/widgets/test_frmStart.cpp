// The launcher window on the offscreen platform: its artwork, its outline as a
// QRegion, the closing paths that set the volume back, the start modes.

#include "launcher/frmStart.h"
#include "shared/mdlPublic.h"

#include "FakeMixer.h"
#include "MessageBoxes.h"
#include "QtWait.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QAbstractButton>
#include <QMouseEvent>
#include <QRandomGenerator>

#include <vector>

using launcher::frmStart;

namespace {

// Every pixel of the scanned width is in the region exactly when it differs
// from the top-left pixel; nothing right of that width is.
void expectOutline(const QImage& picture, const QRegion& region) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    const QRgb key = rgb.pixel(0, 0);
    const int w = picture.width() / 4 * 4;
    // Rasterise the region's rectangles (they never overlap) and compare.
    std::vector<char> inside(static_cast<std::size_t>(picture.width() * picture.height()), 0);
    for (const QRect& r : region) {
        ASSERT_TRUE(QRect(0, 0, w, picture.height()).contains(r)) << r.x() << "," << r.y();
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) ++inside[static_cast<std::size_t>(y * picture.width() + x)];
    }
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const bool expected = x < w && rgb.pixel(x, y) != key;
            ASSERT_EQ(inside[static_cast<std::size_t>(y * picture.width() + x)], expected ? 1 : 0) << x << "," << y;
        }
    }
}

mdlPublic::PublicState stateOf(std::int16_t mode, std::int16_t count, std::uint32_t saved) {
    mdlPublic::PublicState s;
    s.startMode = mode;
    s.playList.count = count;
    s.savedVolume = saved;
    return s;
}

TEST(LauncherArtwork, PictureAndButtonStripsAreThere) {
    const QImage picture = frmStart::loadPicture(frmStart::kPicturePath);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(frmStart::kWidth, frmStart::kHeight));
    const QRgb key = picture.pixel(0, 0);
    // The three buttons are solid figure; the corners are cut out.
    for (const QPoint c : {QPoint(236, 184), QPoint(308, 184), QPoint(380, 184)}) {
        for (const QPoint d : {QPoint(0, 0), QPoint(-25, 0), QPoint(25, 0), QPoint(0, -25), QPoint(0, 25)}) {
            EXPECT_NE(picture.pixel(c + d), key);
        }
    }
    EXPECT_EQ(picture.pixel(431, 0), key);
    EXPECT_EQ(picture.pixel(0, 223), key);
    for (const char* name : {"NoSelect", "Start", "List", "Exit"}) {
        const QImage strip = frmStart::loadPicture(QStringLiteral(":/launcher/%1.png").arg(QLatin1String(name)));
        ASSERT_FALSE(strip.isNull()) << name;
        EXPECT_TRUE(QRect(0, 0, frmStart::kWidth, frmStart::kHeight)
                        .contains(QRect(frmStart::kButtonStripAt, strip.size())))
            << name;
    }
    // Each lit strip differs from the unlit one inside its own button only.
    const QImage none = frmStart::loadPicture(QStringLiteral(":/launcher/NoSelect.png"));
    const QImage start = frmStart::loadPicture(QStringLiteral(":/launcher/Start.png"));
    EXPECT_NE(none.pixel(236 - 206, 184 - 154 + 20), start.pixel(236 - 206, 184 - 154 + 20));
    EXPECT_EQ(none.pixel(380 - 206, 184 - 154 + 20), start.pixel(380 - 206, 184 - 154 + 20));
}

TEST(CreatePctRgnX, OutlineOfTheLauncherArtwork) {
    const QImage picture = frmStart::loadPicture(frmStart::kPicturePath);
    const std::optional<QRegion> region = frmStart::CreatePctRgnX(picture);
    ASSERT_TRUE(region.has_value());
    expectOutline(picture, *region);
}

TEST(CreatePctRgnX, ManyBatchesAndOddWidths) {
    QRandomGenerator rng(11);
    for (const QSize size : {QSize(433, 120), QSize(7, 3), QSize(64, 64), QSize(300, 90)}) {
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(QColor(255, 0, 255));
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                if (rng.bounded(3) == 0) picture.setPixel(x, y, qRgb(10, 20, 30 + static_cast<int>(rng.bounded(2))));
        const std::optional<QRegion> region = frmStart::CreatePctRgnX(picture);
        ASSERT_TRUE(region.has_value());
        expectOutline(picture, *region);
    }
    QImage allKey(40, 10, QImage::Format_RGB888);
    allKey.fill(QColor(1, 2, 3));
    const std::optional<QRegion> empty = frmStart::CreatePctRgnX(allKey);
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->isEmpty());
}

TEST(CreatePctRgnX, MissingOrBrokenPictureFails) {
    EXPECT_FALSE(frmStart::CreatePctRgnX(QImage()).has_value());
    TempDir dir;
    EXPECT_TRUE(frmStart::loadPicture(QString::fromStdString(dir.file("missing.png"))).isNull());
    const std::string broken = dir.file("broken.png");
    TempDir::put(broken, std::string("\x89PNG\r\n\x1a\n garbage", 17));
    const QImage picture = frmStart::loadPicture(QString::fromStdString(broken));
    EXPECT_TRUE(picture.isNull());
    EXPECT_FALSE(frmStart::CreatePctRgnX(picture).has_value());
}

TEST(frmStart, NormalStartShowsTheShapedLauncher) {
    auto state = stateOf(mdlPublic::kStartNormal, 0, 0x12345678);
    FakeMixer mixer;
    frmStart form(state, mixer);
    ASSERT_TRUE(form.Form_Load());
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.size(), QSize(432, 224));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Vistrova!!"));
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_FALSE(form.mask().contains(QPoint(0, 0)));
    EXPECT_TRUE(form.mask().contains(QPoint(380, 184)));
    EXPECT_TRUE(mixer.writes.empty());
}

TEST(frmStart, UnreadablePictureEndsWithTheStartFailure) {
    TempDir dir;
    const std::string broken = dir.file("launcher.png");
    TempDir::put(broken, "not a picture");
    for (const std::string& path : {broken, dir.file("missing.png")}) {
        auto state = stateOf(mdlPublic::kStartShow, 2, 9);
        FakeMixer mixer;
        frmStart form(state, mixer, QString::fromStdString(path));
        const ModalScript boxes;
        EXPECT_FALSE(form.Form_Load());
        ASSERT_EQ(boxes.seen().size(), 1u);
        EXPECT_EQ(boxes.seen()[0].text + '|' + boxes.seen()[0].title, QStringLiteral("起動に失敗しました。|Vistrova!!"));
        EXPECT_FALSE(form.isVisible());
        EXPECT_TRUE(mixer.writes.empty());
        QCoreApplication::processEvents();
        EXPECT_TRUE(mixer.writes.empty()) << "the start mode ran after the failure";
    }
}

TEST(frmStart, ClosingKeysSetTheVolumeBack) {
    struct Press {
        int key;
        Qt::KeyboardModifiers modifiers;
        QString text;
        bool closes;
    };
    const std::vector<Press> presses = {
        {Qt::Key_E, Qt::NoModifier, QStringLiteral("e"), true},
        {Qt::Key_E, Qt::ShiftModifier, QStringLiteral("E"), true},
        {Qt::Key_F4, Qt::AltModifier, QString(), true},
        {Qt::Key_F4, Qt::AltModifier | Qt::ShiftModifier, QString(), false},
        {Qt::Key_F4, Qt::NoModifier, QString(), false},
        {Qt::Key_X, Qt::NoModifier, QStringLiteral("x"), false},
    };
    for (const Press& p : presses) {
        auto state = stateOf(mdlPublic::kStartNormal, 0, 0x80008000);
        FakeMixer mixer;
        mixer.level = 0x10001000;  // as if a show had turned it down
        frmStart form(state, mixer);
        ASSERT_TRUE(form.Form_Load());
        QKeyEvent event(QEvent::KeyPress, p.key, p.modifiers, p.text);
        QApplication::sendEvent(&form, &event);
        EXPECT_EQ(form.isVisible(), !p.closes) << p.key;
        if (p.closes) {
            EXPECT_EQ(mixer.writes, std::vector<std::uint32_t>{0x80008000}) << p.key;
        } else {
            EXPECT_TRUE(mixer.writes.empty()) << p.key;
        }
    }
}

TEST(frmStart, ButtonsLightUnderTheMouseAndExitCloses) {
    auto state = stateOf(mdlPublic::kStartNormal, 0, 77);
    FakeMixer mixer;
    frmStart form(state, mixer);
    ASSERT_TRUE(form.Form_Load());
    const auto move = [&](QPointF p) {
        QMouseEvent event(QEvent::MouseMove, p, form.mapToGlobal(p), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&form, &event);
    };
    move({236, 184});
    EXPECT_EQ(form.selectedMenu(), 2);
    move({308, 200});
    EXPECT_EQ(form.selectedMenu(), 3);
    move({272, 184});
    EXPECT_EQ(form.selectedMenu(), 1);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(380, 200), form.mapToGlobal(QPointF(380, 200)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &release);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(mixer.writes, std::vector<std::uint32_t>{77});
}

TEST(frmStart, ScreenSaverModesRunAndClose) {
    // Show mode with a list: the show sequence sets the step, then the end.
    // Ends whatever modal window the start mode opens (the player, its failure
    // box, the editor) as a user would, so the start-up path runs to its end.
    const ModalScript ender({}, [](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) answerBox(box);  // Abort on "Can't open!!"
        else modal->close();
    });
    auto state = stateOf(mdlPublic::kStartShow, 3, 0x80008000);
    {
        FakeMixer mixer;
        frmStart form(state, mixer);
        ASSERT_TRUE(form.Form_Load());
        EXPECT_FALSE(form.isVisible());
        waitFor([&] { return !mixer.writes.empty(); });
        EXPECT_EQ(mixer.writes, std::vector<std::uint32_t>{0x80008000});
        EXPECT_EQ(state.volumeStep, 8);
    }
    // Settings mode: the editor, then the end. Its close writes the settings
    // into a program folder of the test's own.
    state = stateOf(mdlPublic::kStartSettings, 0, 5);
    TempDir home;
    mdlPublic::setPaths(state, home.path().string());
    {
        FakeMixer mixer;
        frmStart form(state, mixer);
        ASSERT_TRUE(form.Form_Load());
        waitFor([&] { return !mixer.writes.empty(); });
        EXPECT_EQ(mixer.writes, std::vector<std::uint32_t>{5});
        EXPECT_FALSE(form.isVisible());
    }
}

}  // namespace
