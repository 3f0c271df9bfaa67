// Decompression bombs through the real decode paths (the player's fitted
// decode and the editor's thumbnail worker), each in a child process of its
// own whose peak memory is read from the kernel: every crafted file stays
// well under 400 MB and answers within seconds.

#include "CraftedPictures.h"
#include "TempDir.h"
#include "editor/ThumbnailLoader.h"
#include "platform/PictureDecode.h"
#include "player/PicturePipeline.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace {

QString g_self;

long peakKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

// The child: decodes as the player and as the thumbnail worker, then prints
// "<peak kB> <shown> <animated> <thumbnail>".
int decodeChild(const QString& path, const QString& cache) {
    const player::FittedPicture shown = player::decodeFitted(path, QSize(1920, 1080), 1.0);
    const QImage thumb = editor::ThumbnailLoader::loadOrMake({path, true}, cache);
    std::printf("%ld %d %d %d\n", peakKb(), !shown.image.isNull(), shown.animated ? 1 : 0, !thumb.isNull());
    return 0;
}

struct Probe {
    long peakMb = -1;
    bool shown = false, animated = false, thumbnail = false;
    qint64 ms = 0;
};

Probe probe(const QString& path, const QString& cache) {
    QProcess child;
    QElapsedTimer t;
    t.start();
    child.start(g_self, {QStringLiteral("--decode"), path, cache});
    Probe p;
    if (!child.waitForFinished(30000)) {
        child.kill();
        child.waitForFinished();
        return p;
    }
    p.ms = t.elapsed();
    const QList<QByteArray> f = child.readAllStandardOutput().simplified().split(' ');
    if (f.size() != 4) return p;
    p.peakMb = f[0].toLong() / 1024;
    p.shown = f[1] == "1";
    p.animated = f[2] == "1";
    p.thumbnail = f[3] == "1";
    return p;
}

}  // namespace

TEST(HostilePictures, EveryBombStaysWithinMemoryAndTime) {
    TempDir dir;
    const QString d = QString::fromStdString(dir.path().string()) + QLatin1Char('/');
    ASSERT_TRUE(crafted::progressiveJpeg(d + "bomb.jpg", 65000, 65000));
    ASSERT_TRUE(crafted::progressiveJpeg(d + "progressive.jpg", 20000, 20000));
    ASSERT_TRUE(crafted::pngWithTexts(d + "texts.png", 300, 7900000));
    ASSERT_TRUE(crafted::hugePng(d + "huge.png", 50000));
    ASSERT_TRUE(crafted::deflateTiff(d + "strip.tif", 8000));
    ASSERT_TRUE(crafted::gifOfFrames(d + "frames.gif", 8000, 3000));
    ASSERT_TRUE(crafted::gifOfFrames(d + "small.gif", 64, 3));
    struct Row {
        const char* name;
        bool shown;  // the text-laden PNG and the large GIF are fine pictures
        bool animated;
    };
    const Row rows[] = {{"bomb.jpg", false, false},  {"progressive.jpg", false, false}, {"texts.png", true, false},
                        {"huge.png", false, false},  {"strip.tif", false, false},       {"frames.gif", true, false},
                        {"small.gif", true, true}};
    for (const Row& r : rows) {
        const Probe p = probe(d + r.name, d + "cache");
        std::printf("%s: peak %ld MB in %lld ms\n", r.name, p.peakMb, static_cast<long long>(p.ms));
        EXPECT_GE(p.peakMb, 0) << r.name << ": the child did not answer within 30 s";
        EXPECT_LT(p.peakMb, 400) << r.name;
        EXPECT_LT(p.ms, 20000) << r.name;
        EXPECT_EQ(p.shown, r.shown) << r.name;
        EXPECT_EQ(p.thumbnail, r.shown) << r.name;
        EXPECT_EQ(p.animated, r.animated) << r.name;
    }
    // A thumbnail the worker wrote reads back with its stamps, whatever else
    // its file carries.
    EXPECT_FALSE(QDir(d + "cache/normal").entryList(QDir::Files).isEmpty());
}

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--decode") == 0) {
        platform::limitDecoderMemory();
        QCoreApplication app(argc, argv);
        return decodeChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    QApplication app(argc, argv);
    g_self = QCoreApplication::applicationFilePath();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
