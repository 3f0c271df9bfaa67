// Thumbnails in the editor's large-icon view, on a folder of 10 000 small
// pictures: listing it with a cold and with a warm thumbnail cache (the
// listing must not wait for thumbnails), the longest stall of the GUI thread
// while thumbnails fill in (target under 100 ms), and thumbnails made per
// second by the worker (decode, scale, write into the cache), for pictures
// and for clips (one frame a little into each).
// The cache is a scratch folder (XDG_CACHE_HOME), never the user's.

#include "editor/FileView.h"
#include "editor/FolderPane.h"
#include "editor/ThumbnailLoader.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <stdlib.h>

namespace fs = std::filesystem;

namespace {

struct Pictures {
    Pictures() {
        std::string tmpl = (fs::temp_directory_path() / "vistrova-thumbs-XXXXXX").string();
        root = QString::fromLocal8Bit(::mkdtemp(tmpl.data()));
        folder = root + "/pics/";
        fs::create_directories(folder.toStdString());
        QImage image(160, 120, QImage::Format_RGB32);
        for (int i = 0; i < 10000; ++i) {
            image.fill(QColor::fromHsv(i % 360, 200, 200));
            image.save(folder + QStringLiteral("p%1.png").arg(i), "png");
        }
    }
    ~Pictures() { fs::remove_all(root.toStdString()); }
    QString cache(const char* name) const { return root + "/" + name; }
    QString root, folder;
};

Pictures& Shared() {
    static Pictures p;
    return p;
}

// Runs the event loop for `ms`, returning the longest gap between ticks.
double LongestStallMs(int ms) {
    QElapsedTimer clock, gap;
    clock.start();
    gap.start();
    qint64 longest = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { longest = std::max(longest, gap.restart()); });
    tick.start(5);
    while (clock.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 5);
    return double(longest);
}

void ListLargeIcons(benchmark::State& state, const char* cacheName, bool warmFirst) {
    qputenv("XDG_CACHE_HOME", Shared().cache(cacheName).toUtf8());
    editor::FolderPane pane;
    pane.resize(800, 600);
    pane.fileView()->setViewMode(editor::FileView::kLargeIcons);
    pane.show();
    pane.tvRefresh(Shared().folder);
    QTreeWidgetItem* folder = pane.tree()->currentItem();
    QTreeWidgetItem* parent = folder->parent();
    if (warmFirst) {
        // Every thumbnail made once, so each listing finds them all cached.
        for (int r = 0; r < pane.fileView()->rowCount(); ++r)
            editor::ThumbnailLoader::loadOrMake({pane.fileView()->keyOfRow(r), true},
                                                pane.fileView()->thumbnailLoader()->cacheRoot());
    }
    double stall = 0;
    for (auto _ : state) {
        state.PauseTiming();
        pane.tree()->setCurrentItem(parent);
        pane.activate();
        state.ResumeTiming();
        pane.tree()->setCurrentItem(folder);
        pane.activate();
        QApplication::processEvents();
        state.PauseTiming();
        stall = std::max(stall, LongestStallMs(1500));
        state.ResumeTiming();
    }
    state.counters["rows"] = pane.fileView()->rowCount();
    state.counters["stallMs"] = stall;
}

void BM_ListLargeIconsColdCache10000(benchmark::State& state) { ListLargeIcons(state, "cold", false); }
BENCHMARK(BM_ListLargeIconsColdCache10000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ListLargeIconsWarmCache10000(benchmark::State& state) { ListLargeIcons(state, "warm", true); }
BENCHMARK(BM_ListLargeIconsWarmCache10000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ThumbnailsMade(benchmark::State& state) {
    int made = 0, i = 0;
    for (auto _ : state) {
        // A picture not made before each round, so each is decoded and written.
        const QString cache = Shared().cache("made");
        const QString file = Shared().folder + QStringLiteral("p%1.png").arg(i % 10000);
        benchmark::DoNotOptimize(editor::ThumbnailLoader::loadOrMake({file, true}, cache));
        ++made;
        ++i;
    }
    state.counters["perSecond"] = benchmark::Counter(made, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ThumbnailsMade)->Unit(benchmark::kMillisecond)->Iterations(500);

// Twenty clips of 10 s, 1280 x 720 (MPEG-4 part 2, as cameras wrote them).
struct Clips {
    Clips() {
        folder = Shared().root + "/clips/";
        fs::create_directories(folder.toStdString());
        for (int i = 0; i < 20; ++i) {
            const std::string cmd = "ffmpeg -loglevel error -y -f lavfi -i testsrc=size=1280x720:rate=25:duration=10 "
                                    "-c:v mpeg4 -q:v 4 '" + (folder + QStringLiteral("c%1.avi").arg(i)).toStdString() + "'";
            if (std::system(cmd.c_str()) != 0) ok = false;
        }
    }
    QString folder;
    bool ok = true;
};

void BM_ClipThumbnailsMade(benchmark::State& state) {
    static Clips clips;
    if (!clips.ok) {
        state.SkipWithError("ffmpeg made no clips");
        return;
    }
    const QString cache = Shared().cache("clip-cache");
    int made = 0, i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(cache.toStdString());
        state.ResumeTiming();
        const QImage image = editor::ThumbnailLoader::loadOrMake(
            {clips.folder + QStringLiteral("c%1.avi").arg(i % 20), true, true}, cache);
        if (image.isNull()) {
            state.SkipWithError("a clip gave no thumbnail");
            break;
        }
        ++made;
        ++i;
    }
    state.counters["perSecond"] = benchmark::Counter(made, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ClipThumbnailsMade)->Unit(benchmark::kMillisecond)->Iterations(40);

}  // namespace
