// The large-icon view fills in thumbnails from the shared cache, making the
// missing ones there as file managers would.
#include "CraftedPictures.h"
#include "TempDir.h"
#include "QtWait.h"
#include "editor/EditorIcons.h"
#include "editor/FileView.h"
#include "editor/FolderPane.h"
#include "editor/ThumbnailLoader.h"
#include "platform/PictureDecode.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QScreen>
#include <QUrl>

#include <gtest/gtest.h>

#include <cstdlib>

#include <sys/stat.h>

namespace {

QString cachedPathOf(const QString& cacheHome, const QString& file, const QString& flavor = "normal") {
    const QByteArray uri = QUrl::fromLocalFile(file).toEncoded();
    return cacheHome + "/thumbnails/" + flavor + "/" + QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex() +
           ".png";
}

void savePicture(const QString& path, QSize size, Qt::GlobalColor colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(path));
}

void plantThumbnail(const QString& cacheHome, const QString& file, Qt::GlobalColor colour, const QString& uri,
                    qint64 mtime, const QString& flavor = "normal") {
    QDir().mkpath(cacheHome + "/thumbnails/" + flavor);
    const int side = flavor == "large" ? 200 : 64;  // a large one exceeds the normal size
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(colour);
    image.setText("Thumb::URI", uri);
    image.setText("Thumb::MTime", QString::number(mtime));
    ASSERT_TRUE(image.save(cachedPathOf(cacheHome, file, flavor), "png"));
}

// JPEG shifts a plain colour a little.
bool near(const QColor& a, Qt::GlobalColor b) {
    const QColor c(b);
    return qAbs(a.red() - c.red()) < 12 && qAbs(a.green() - c.green()) < 12 && qAbs(a.blue() - c.blue()) < 12;
}

qint64 mtimeOf(const QString& file) { return QFileInfo(file).lastModified().toSecsSinceEpoch(); }

unsigned modeOf(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 0777;
}

// The colour at the centre of the icon the view shows for `name`.
QColor iconCentre(editor::FileView* view, const QString& name) {
    for (int r = 0; r < view->rowCount(); ++r)
        if (view->nameOfRow(r) == name) {
            const QModelIndex i = view->currentView()->model()->index(r, 0);
            const QImage icon = i.data(Qt::DecorationRole).value<QIcon>().pixmap(32).toImage();
            return icon.isNull() ? QColor() : icon.pixelColor(icon.width() / 2, icon.height() / 2);
        }
    return QColor();
}

}  // namespace

TEST(Thumbnails, LargeIconsReadTheCacheAndWriteWhatIsMissing) {
    TempDir dir;
    const QString home = QString::fromStdString(dir.path().string());
    const QString cache = home + "/cache";
    const QString pics = home + "/pics";
    qputenv("XDG_CACHE_HOME", cache.toUtf8());
    QDir().mkpath(pics);
    savePicture(pics + "/wide.png", {400, 300}, Qt::blue);
    savePicture(pics + "/tall.jpg", {50, 80}, Qt::green);
    savePicture(pics + "/planted.png", {64, 64}, Qt::blue);
    savePicture(pics + "/big.png", {300, 300}, Qt::blue);
    TempDir::put((pics + "/broken.png").toStdString(), "\x89PNG\r\n\x1a\nnot really");
    // A thumbnail planted in the cache is taken without decoding the picture;
    // a stale one (from the future) and another file's are made anew.
    plantThumbnail(cache, pics + "/planted.png", Qt::red, QUrl::fromLocalFile(pics + "/planted.png").toString(),
                   mtimeOf(pics + "/planted.png"));
    plantThumbnail(cache, pics + "/big.png", Qt::red, QUrl::fromLocalFile(pics + "/big.png").toString(),
                   mtimeOf(pics + "/big.png"), "large");
    plantThumbnail(cache, pics + "/wide.png", Qt::magenta, QUrl::fromLocalFile(pics + "/wide.png").toString(),
                   mtimeOf(pics + "/wide.png") + 100000);
    plantThumbnail(cache, pics + "/tall.jpg", Qt::magenta, QUrl::fromLocalFile(pics + "/other.jpg").toString(),
                   mtimeOf(pics + "/tall.jpg"));

    editor::FolderPane pane;
    editor::FileView* view = pane.fileView();
    view->setViewMode(editor::FileView::kLargeIcons);
    pane.open(pics + "/");
    ASSERT_EQ(view->rowCount(), 5);
    const auto centreOf = [&](const QString& name) { return iconCentre(view, name); };
    ASSERT_TRUE(waitFor([&] {
        return near(centreOf("wide.png"), Qt::blue) && near(centreOf("tall.jpg"), Qt::green) &&
               near(centreOf("planted.png"), Qt::red) && near(centreOf("big.png"), Qt::red);
    }));

    struct Made {
        QString name;
        QSize size;
    };
    for (const Made& m : {Made{"wide.png", {128, 96}}, Made{"tall.jpg", {50, 80}}}) {
        const QString file = pics + "/" + m.name;
        const QString thumb = cachedPathOf(cache, file);
        const QImage made(thumb, "png");
        EXPECT_EQ(made.size(), m.size) << m.name.toStdString();
        EXPECT_EQ(made.text("Thumb::URI"), QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded));
        EXPECT_EQ(made.text("Thumb::MTime"), QString::number(mtimeOf(file)));
        EXPECT_EQ(modeOf(thumb), 0600u);
    }
    // Folders the cache lacks are made private to the user.
    const QString fresh = home + "/fresh/thumbnails";
    EXPECT_FALSE(editor::ThumbnailLoader::loadOrMake({pics + "/wide.png", true}, fresh).isNull());
    EXPECT_EQ(modeOf(fresh), 0700u);
    EXPECT_EQ(modeOf(fresh + "/normal"), 0700u);
    // A picture that does not decode keeps its type icon and leaves nothing behind.
    EXPECT_FALSE(QFileInfo::exists(cachedPathOf(cache, pics + "/broken.png")));
    EXPECT_FALSE(near(centreOf("broken.png"), Qt::blue));
    EXPECT_EQ(QDir(pics).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 5);
    EXPECT_EQ(QDir(cache + "/thumbnails/normal").entryList(QDir::Files | QDir::Hidden).size(), 3);
}

// Thumbnails arriving in a drawn view (4:3 pictures, as cameras make them)
// leave the screen as a full repaint draws it: no label is left behind where
// the type icon had put it.
TEST(Thumbnails, ArrivingThumbnailsLeaveNoStaleLabels) {
    TempDir dir;
    const QString pics = QString::fromStdString(dir.path().string());
    qputenv("XDG_CACHE_HOME", (pics + "/cache").toUtf8());
    std::vector<std::pair<editor::FileRow, QIcon>> rows;
    for (int i = 0; i < 6; ++i) {
        const QString name = QStringLiteral("photo%1.png").arg(i);
        savePicture(pics + "/" + name, i % 2 ? QSize(400, 300) : QSize(300, 400), Qt::blue);
        rows.push_back({{pics + "/" + name, name, "PNG イメージ", "26/12/08 12:00"}, editor::typeIcon("PNG イメージ")});
    }
    editor::FileView view;
    view.resize(300, 200);
    view.setViewMode(editor::FileView::kLargeIcons);
    view.show();
    QAbstractItemView* items = view.currentView();
    view.addRows(rows);
    QApplication::processEvents();
    const QModelIndex wide = items->model()->index(1, 0);
    const QRect before = items->visualRect(wide);
    const auto thumbnailsShown = [&] {
        for (int r = 0; r < 6; ++r) {
            const QIcon icon = items->model()->index(r, 0).data(Qt::DecorationRole).value<QIcon>();
            if (!near(icon.pixmap(32).toImage().pixelColor(16, 16), Qt::blue)) return false;
        }
        return true;
    };
    ASSERT_TRUE(waitFor(thumbnailsShown));
    QApplication::processEvents();
    EXPECT_EQ(items->visualRect(wide), before);
    const QImage onScreen = view.screen()->grabWindow(view.winId()).toImage();
    const QImage repainted = view.grab().toImage();
    EXPECT_EQ(onScreen.convertToFormat(QImage::Format_RGB32), repainted.convertToFormat(QImage::Format_RGB32));
}

TEST(Thumbnails, ALoaderGoingAwayDoesNotWaitForAPictureStillDecoding) {
    TempDir dir;
    const QString big = QString::fromStdString(dir.file("big.tif"));
    ASSERT_TRUE(crafted::deflateTiff(big, 5000));
    {
        editor::ThumbnailLoader loader(QString::fromStdString(dir.file("cache")));
        loader.setJobs({{big, true}});
        ASSERT_TRUE(waitFor([] { return platform::decodesUnderWay() > 0; }));
    }
    EXPECT_GT(platform::decodesUnderWay(), 0) << "the loader waited for the decode";
    EXPECT_TRUE(waitFor([] { return platform::decodesUnderWay() == 0; }, 20000));
}

// A clip gets a frame of its own; a clip or picture that gives none is
// recorded in the cache's failures and not tried again while it stays as it is.
TEST(Thumbnails, ClipsGetAFrameAndFailuresAreNotTriedAgain) {
    TempDir dir;
    const QString home = QString::fromStdString(dir.path().string());
    const QString cache = home + "/cache";
    const QString clips = home + "/clips";
    qputenv("XDG_CACHE_HOME", cache.toUtf8());
    QDir().mkpath(clips);
    const QString clip = clips + "/green.mpg";
    ASSERT_EQ(std::system(("ffmpeg -loglevel error -y -f lavfi -i color=c=0x00ff00:size=320x160:rate=25:duration=2 "
                           "-c:v mpeg1video -q:v 2 '" + clip.toStdString() + "'").c_str()),
              0);
    TempDir::put((clips + "/broken.avi").toStdString(), "RIFF\x10\0\0\0AVI LIST but nothing more");
    TempDir::put((clips + "/broken.jpg").toStdString(), "\xFF\xD8\xFF\xE0 not really");

    editor::FolderPane pane;
    editor::FileView* view = pane.fileView();
    view->setViewMode(editor::FileView::kLargeIcons);
    pane.open(clips + "/");
    ASSERT_EQ(view->rowCount(), 3);
    const auto centreOf = [&](const QString& name) { return iconCentre(view, name); };
    ASSERT_TRUE(waitFor([&] { return near(centreOf("green.mpg"), Qt::green); }));
    const QImage made(cachedPathOf(cache, clip), "png");
    EXPECT_EQ(made.size(), QSize(128, 64));
    EXPECT_EQ(made.text("Thumb::URI"), QUrl::fromLocalFile(clip).toString(QUrl::FullyEncoded));
    EXPECT_EQ(made.text("Thumb::MTime"), QString::number(mtimeOf(clip)));
    EXPECT_EQ(modeOf(cachedPathOf(cache, clip)), 0600u);

    const QStringList versions = QDir(cache + "/thumbnails/fail").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(versions.size(), 1);
    EXPECT_TRUE(versions[0].startsWith("vistrova-"));
    const QString failures = cache + "/thumbnails/fail/" + versions[0];
    ASSERT_TRUE(waitFor([&] { return QDir(failures).entryList(QDir::Files).size() == 2; }));
    const QString broken = clips + "/broken.avi";
    const QImage mark(cachedPathOf(cache, broken).replace(cache + "/thumbnails/normal", failures), "png");
    EXPECT_EQ(mark.text("Thumb::URI"), QUrl::fromLocalFile(broken).toString(QUrl::FullyEncoded));
    EXPECT_EQ(mark.text("Thumb::MTime"), QString::number(mtimeOf(broken)));
    EXPECT_FALSE(QFileInfo::exists(cachedPathOf(cache, broken)));

    // The clip mended but stamped as before is not tried again; once it
    // changes it is.
    const QDateTime stamp = QFileInfo(broken).lastModified();
    QFile::remove(broken);
    ASSERT_TRUE(QFile::copy(clip, broken));
    {
        QFile f(broken);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite) && f.setFileTime(stamp, QFileDevice::FileModificationTime));
    }
    const QString root = cache + "/thumbnails";
    EXPECT_TRUE(editor::ThumbnailLoader::loadOrMake({broken, true, true}, root).isNull());
    {
        QFile f(broken);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite) && f.setFileTime(stamp.addSecs(60), QFileDevice::FileModificationTime));
    }
    EXPECT_FALSE(editor::ThumbnailLoader::loadOrMake({broken, true, true}, root).isNull());
}
