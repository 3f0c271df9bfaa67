// The player on a screen of device pixel ratio 2: pictures are decoded at
// device pixels, so one-pixel detail survives instead of being blurred by a
// decode at logical size and a stretch.

#include "platform/AppStart.h"
#include "player/frmMain.h"

#include "QtWait.h"
#include "TempDir.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace {

TEST(frmMainHiDpiTest, PictureIsSharpAtTheScreensPixelRatio) {
    ASSERT_DOUBLE_EQ(qApp->devicePixelRatio(), 2.0);
    TempDir dir;
    // 400 x 300 with columns alternating red and blue, one pixel wide.
    QImage stripes(400, 300, QImage::Format_RGB32);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x) stripes.setPixel(x, y, x % 2 ? qRgb(0, 0, 255) : qRgb(255, 0, 0));
    const std::string path = dir.file("stripes.bmp");
    ASSERT_TRUE(stripes.save(QString::fromStdString(path)));

    mdlPublic::PublicState state;
    state.fixedWidth = 200;  // logical pixels: 400 x 300 device pixels
    state.fixedHeight = 150;
    state.interval = 0;
    state.playList.paths[0] = path;
    state.playList.count = 1;
    player::frmMain player(nullptr, state);
    player.show();
    ASSERT_TRUE(waitFor([&] { return player.imgPct()->isVisible(); }));
    EXPECT_EQ(player.imgPct()->geometry(), QRect(0, 0, 200, 150));

    const QImage shot = player.imgPct()->grab().toImage();
    ASSERT_EQ(shot.size(), QSize(400, 300));
    for (int x = 100; x < 110; ++x) {
        const QColor c = shot.pixelColor(x, 150);
        if (x % 2) {
            EXPECT_TRUE(c.blue() > 200 && c.red() < 50) << "column " << x << " " << c.name().toStdString();
        } else {
            EXPECT_TRUE(c.red() > 200 && c.blue() < 50) << "column " << x << " " << c.name().toStdString();
        }
    }
    player.close();
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    platform::prepareApplication(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
