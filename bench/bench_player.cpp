// Picture decoding as the player does it: natural size from the header, then
// the picture decoded at the size it is shown on a 1920 x 1080 screen. The
// step to the next picture should stay well under 100 ms for a 12-megapixel
// JPEG on the project's 2-core machines. Also the fit arithmetic per entry.

#include "platform/PictureDecode.h"
#include "player/Fit.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QImage>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <stdlib.h>

namespace {

const std::string& benchDir() {
    static const std::string dir = [] {
        std::string tmpl = (std::filesystem::temp_directory_path() / "vistrova-bench-XXXXXX").string();
        return std::string(::mkdtemp(tmpl.data()) ? tmpl : std::string());
    }();
    return dir;
}

std::string makePicture(const char* name, int w, int h) {
    const std::string path = benchDir() + "/" + name;
    if (!std::filesystem::exists(path)) {
        QImage image(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < w; ++x) line[x] = qRgb((x * 7) & 255, (y * 3) & 255, ((x + y) * 5) & 255);
        }
        // HEIF through libheif's encoder program, from a JPEG of the same.
        const bool heic = path.ends_with(".heic");
        image.save(QString::fromStdString(heic ? path + ".jpg" : path));
        if (heic && std::system(("heif-enc -q 80 '" + path + ".jpg' -o '" + path + "' >/dev/null").c_str()) != 0)
            return {};
    }
    return path;
}

void decodeAtScreenSize(benchmark::State& state, const char* name, int w, int h) {
    const QString path = QString::fromStdString(makePicture(name, w, h));
    for (auto _ : state) {
        const QSize natural = platform::pictureSize(path);
        const player::Rect r = player::fitImage(1920, 1080, natural.width(), natural.height());
        QImage picture = platform::decodePicture(path, QSize(r.width, r.height));
        benchmark::DoNotOptimize(picture.constBits());
    }
}

BENCHMARK_CAPTURE(decodeAtScreenSize, jpeg_4000x3000, "big.jpg", 4000, 3000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decodeAtScreenSize, jpeg_640x480_enlarged, "small.jpg", 640, 480)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decodeAtScreenSize, bmp_1920x1080, "screen.bmp", 1920, 1080)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decodeAtScreenSize, heic_4000x3000, "big.heic", 4000, 3000)->Unit(benchmark::kMillisecond);

void fitPerEntry(benchmark::State& state) {
    int w = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(player::fitImage(1920, 1080, w, 3000 - w));
        w = w % 2999 + 1;
    }
}
BENCHMARK(fitPerEntry);

}  // namespace

int main(int argc, char** argv) {
    // Image plugins are found through the application's library paths.
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    if (!benchDir().empty()) std::filesystem::remove_all(benchDir(), ec);
    return 0;
}
