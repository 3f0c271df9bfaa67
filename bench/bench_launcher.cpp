// The launcher's outline: the pixel scan alone and the whole build of the
// window region, on the launcher artwork and on a large picture.

#include "launcher/PctRegion.h"
#include "launcher/frmStart.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

using launcher::frmStart;

namespace {

const QImage& launcherPicture() {
    static const QImage picture = frmStart::loadPicture(frmStart::kPicturePath).convertToFormat(QImage::Format_BGR888);
    return picture;
}

// 4000 x 3000: a figure of circles and stripes on a flat key colour.
const QImage& largePicture() {
    static const QImage picture = [] {
        QImage image(4000, 3000, QImage::Format_BGR888);
        image.fill(QColor(255, 0, 255));
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 60, 120));
        p.drawEllipse(QPointF(1400, 1500), 1200, 1200);
        p.setBrush(QColor(250, 210, 120));
        for (int i = 0; i < 40; ++i) p.drawRect(2200 + i * 40, 200 + i * 30, 20, 2500 - i * 40);
        p.end();
        return image;
    }();
    return picture;
}

void scan(benchmark::State& state, const QImage& image) {
    const launcher::PixelView view{image.constBits(), image.width(), image.height(), image.bytesPerLine()};
    std::size_t rects = 0;
    for (auto _ : state) {
        launcher::ScanSize size;
        rects = 0;
        launcher::scanKeyRects(view, [&](std::span<const launcher::KeyRect> b) { rects += b.size(); }, size);
        benchmark::DoNotOptimize(rects);
    }
    state.counters["rects"] = static_cast<double>(rects);
}

void region(benchmark::State& state, const QImage& image) {
    std::size_t count = 0;
    for (auto _ : state) {
        const std::optional<QRegion> region = frmStart::CreatePctRgnX(image);
        count = region ? static_cast<std::size_t>(region->rectCount()) : 0;
        benchmark::DoNotOptimize(count);
    }
    state.counters["region_rects"] = static_cast<double>(count);
}

void BM_ScanLauncher(benchmark::State& state) { scan(state, launcherPicture()); }
void BM_RegionLauncher(benchmark::State& state) { region(state, launcherPicture()); }
void BM_Scan4000x3000(benchmark::State& state) { scan(state, largePicture()); }
void BM_Region4000x3000(benchmark::State& state) { region(state, largePicture()); }

BENCHMARK(BM_ScanLauncher)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RegionLauncher)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Scan4000x3000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Region4000x3000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
