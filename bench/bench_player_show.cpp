// The real player stepping through twenty 24-megapixel JPEGs on a 1920 x 1080
// screen (offscreen platform): the time from the step (MouseOperation(1),
// reached through the next key) to the new picture painted, for pictures
// decoded ahead and for cold jumps, next to a bare full-size QImageReader
// decode of the same files and, when it is installed and a display is there,
// feh showing them. Prints its figures as ratios and the peak resident memory.
// Targets: every step under 30 ms, cold jumps on average at most 1.1 x the
// bare decode (single jumps vary with the load of the machine), resident
// memory under 300 MB.

#include "player/PicturePipeline.h"
#include "player/frmMain.h"
#include "shared/mdlPublic.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QImage>
#include <QImageReader>
#include <QKeyEvent>
#include <QThreadPool>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

#include <stdlib.h>

namespace {

constexpr int kPictures = 20;
constexpr int kWidth = 6000;
constexpr int kHeight = 4000;  // 24 megapixels

long statusKb(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string want = std::string(key) + ":";
    while (std::getline(in, line)) {
        if (line.rfind(want, 0) == 0) return std::atol(line.c_str() + want.size());
    }
    return -1;
}

// Forgets the peak so far, so the player's own peak is read later.
void resetPeak() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
}

std::vector<std::string> makePictures(const std::string& dir) {
    std::vector<std::string> paths;
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (int i = 0; i < kPictures; ++i) {
        const std::string path = dir + "/photo " + std::to_string(i) + ".jpg";
        for (int y = 0; y < kHeight; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < kWidth; ++x)
                line[x] = qRgb((x * 7 + i * 40) & 255, (y * 3 + x / 50) & 255, ((x + y) * 5 + i * 13) & 255);
        }
        if (!image.save(QString::fromStdString(path), "JPEG", 90)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            std::exit(1);
        }
        paths.push_back(path);
    }
    return paths;
}

// Notes the picture's paint: the step ends when it has been drawn.
class PaintWatch final : public QObject {
public:
    bool painted = false;
protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) painted = true;
        return false;
    }
};

double waitPainted(PaintWatch& watch, const QElapsedTimer& clock) {
    while (!watch.painted) QApplication::processEvents(QEventLoop::AllEvents, 5);
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

void settle(long& peakKb) {
    player::PicturePipeline::pool().waitForDone();
    for (int i = 0; i < 5; ++i) QApplication::processEvents(QEventLoop::AllEvents, 10);
    peakKb = std::max(peakKb, statusKb("VmRSS"));
}

double Step(player::frmMain& player, PaintWatch& watch, Qt::Key key) {
    watch.painted = false;
    QElapsedTimer clock;
    clock.start();
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(&player, &release);
    return waitPainted(watch, clock);
}

double mean(const std::vector<double>& v) { return v.empty() ? 0 : std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size()); }

double fehPerPicture(const std::vector<std::string>& paths) {
    if (std::system("command -v feh >/dev/null 2>&1") != 0) return -1;
    if (qEnvironmentVariableIsEmpty("DISPLAY")) return -2;
    std::string cmd = "feh -F -Z --on-last-slide quit -D 0.01";
    for (const auto& p : paths) cmd += " '" + p + "'";
    cmd += " >/dev/null 2>&1";
    QElapsedTimer clock;
    clock.start();
    if (std::system(cmd.c_str()) != 0) return -3;
    return static_cast<double>(clock.nsecsElapsed()) / 1e6 / static_cast<double>(paths.size());
}

}  // namespace

int main(int argc, char** argv) {
    std::string tmpl = (std::filesystem::temp_directory_path() / "vistrova-show-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) return 1;
    const std::string dir = tmpl;
    // A 1920 x 1080 screen without a display server, unless one was chosen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        const std::string config = dir + "/screen.json";
        std::ofstream(config) << R"({"screens":[{"name":"bench","x":0,"y":0,"width":1920,"height":1080,)"
                                 R"("logicalDpi":96,"logicalBaseDpi":96,"dpr":1}]})";
        ::setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).c_str(), 1);
    }
    ::setenv("VISTROVA_MPV_OPTIONS", "ao=null", 0);
    QApplication app(argc, argv);

    std::printf("writing %d pictures of %d x %d ...\n", kPictures, kWidth, kHeight);
    std::fflush(stdout);
    const std::vector<std::string> paths = makePictures(dir);

    mdlPublic::PublicState state;
    state.interval = 0;
    for (int i = 0; i < kPictures; ++i) {
        state.playList.paths[static_cast<std::size_t>(i)] = paths[static_cast<std::size_t>(i)];
        state.playList.titles[static_cast<std::size_t>(i)] = "photo";
    }
    state.playList.count = kPictures;

    resetPeak();
    long peakKb = 0;
    std::vector<double> steps;
    std::vector<double> colds;
    QSize shown;
    {
        player::frmMain player(nullptr, state);
        PaintWatch watch;
        player.imgPct()->installEventFilter(&watch);
        player.show();
        QElapsedTimer first;
        first.start();
        waitPainted(watch, first);
        shown = player.imgPct()->size();
        settle(peakKb);

        // Forward through the list, each picture decoded ahead while the one
        // before it was shown.
        for (int i = 1; i < kPictures; ++i) {
            steps.push_back(Step(player, watch, Qt::Key_F8));
            settle(peakKb);
        }
        // Cold jumps: the step lands ten entries away from what was decoded ahead.
        for (int i = 0; i < 6; ++i) {
            state.playList.position = static_cast<std::int16_t>((state.playList.position + 9) % kPictures);
            colds.push_back(Step(player, watch, Qt::Key_F8));
            settle(peakKb);
        }
        player.close();
    }
    const long playerPeakKb = std::max(peakKb, statusKb("VmHWM"));

    std::vector<double> bare;
    for (const auto& p : paths) {
        QElapsedTimer clock;
        clock.start();
        QImageReader reader(QString::fromStdString(p));
        const QImage image = reader.read();
        bare.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        if (image.isNull()) std::fprintf(stderr, "bare decode failed: %s\n", p.c_str());
    }
    const double feh = fehPerPicture(paths);

    const double stepMean = mean(steps);
    const double stepMax = *std::max_element(steps.begin(), steps.end());
    const double coldMean = mean(colds);
    const double coldMax = *std::max_element(colds.begin(), colds.end());
    const double bareMean = mean(bare);
    std::printf("picture shown at %d x %d on a 1920 x 1080 screen\n", shown.width(), shown.height());
    std::printf("bare full-size decode (QImageReader): %8.1f ms per picture\n", bareMean);
    std::printf("step to a picture decoded ahead:      %8.1f ms mean, %.1f ms max  (%.3f x bare decode)  target < 30 ms: %s\n",
                stepMean, stepMax, stepMean / bareMean, stepMax < 30 ? "met" : "MISSED");
    std::printf("cold jump:                            %8.1f ms mean, %.1f ms max  (%.3f x bare decode)  target <= 1.1 x: %s\n",
                coldMean, coldMax, coldMean / bareMean, coldMean <= 1.1 * bareMean ? "met" : "MISSED");
    if (feh > 0) {
        std::printf("feh -F -Z -D 0.01:                    %8.1f ms per picture  (step = %.3f x feh)  target < 0.1 x: %s\n",
                    feh, stepMean / feh, stepMean < 0.1 * feh ? "met" : "MISSED");
    } else {
        std::printf("feh: %s\n", feh == -1 ? "not installed" : feh == -2 ? "no display (run under xvfb-run)" : "failed");
    }
    std::printf("peak resident memory of the player:   %8.1f MB  target < 300 MB: %s\n", playerPeakKb / 1024.0,
                playerPeakKb < 300 * 1024 ? "met" : "MISSED");

    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return 0;
}
