// The real player stepping through twenty 24-megapixel JPEGs on a 1920 x 1080
// screen: the time from the step (MouseOperation(1), reached through the next
// key) to the new picture, for pictures decoded ahead and for cold jumps, next
// to a bare full-size QImageReader decode of the same files and, when it is
// installed and a display is there, feh showing them. Prints its figures as
// ratios and the peak resident memory.
//
// Offscreen (the default): the step is sent as a key release event and ends
// when the picture has been painted. Targets: every step under 30 ms, cold
// jumps on average at most 1.1 x the bare decode (single jumps vary with the
// load of the machine), resident memory under 300 MB.
//
// On a real X server (QT_QPA_PLATFORM=xcb, see player_x11.sh): the key is
// pressed and released through XTEST and the step ends when the centre pixel
// read back from the server has changed; feh is timed the same way. Targets:
// median step at most 20 ms and at most 0.06 x feh's, resident memory under
// 200 MB.

#include "platform/AppStart.h"
#include "platform/PictureDecode.h"
#include "player/PicturePipeline.h"
#include "player/frmMain.h"
#include "shared/mdlPublic.h"

#include <QApplication>
#include <QColorSpace>
#include <QElapsedTimer>
#include <QEvent>
#include <QImage>
#include <QImageReader>
#include <QKeyEvent>
#include <QThreadPool>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include <stdlib.h>

#ifdef VISTROVA_BENCH_XTEST
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>
#endif

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

// With `profiled`, each carries an Adobe RGB profile, which is converted on
// decoding.
std::vector<std::string> makePictures(const std::string& dir, bool profiled = false) {
    std::vector<std::string> paths;
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    if (profiled) image.setColorSpace(QColorSpace::AdobeRgb);
    for (int i = 0; i < kPictures; ++i) {
        const std::string path = dir + (profiled ? "/adobe " : "/photo ") + std::to_string(i) + ".jpg";
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
    // Sleeps until events come: spinning would take the core the worker
    // decoding the picture needs.
    while (!watch.painted) QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
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

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
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

#ifdef VISTROVA_BENCH_XTEST
// A second connection to the X server that presses keys as a user does and
// reads the screen back, as a viewer sees it.
class ServerProbe {
public:
    ServerProbe() {
        m_conn = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_conn)) return;
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_conn)).data->root;
        const auto* ext = xcb_get_extension_data(m_conn, &xcb_test_id);
        m_ok = ext && ext->present;
    }
    ~ServerProbe() { xcb_disconnect(m_conn); }
    bool ok() const { return m_ok; }

    std::uint32_t Pixel(int x, int y) {
        xcb_get_image_reply_t* reply = xcb_get_image_reply(
            m_conn, xcb_get_image(m_conn, XCB_IMAGE_FORMAT_Z_PIXMAP, m_root, static_cast<std::int16_t>(x),
                                  static_cast<std::int16_t>(y), 1, 1, ~0u),
            nullptr);
        std::uint32_t value = 0;
        if (reply && xcb_get_image_data_length(reply) >= 4) std::memcpy(&value, xcb_get_image_data(reply), 4);
        std::free(reply);
        return value & 0xFFFFFF;
    }

    xcb_keycode_t KeyCode(xcb_keysym_t sym) {
        const xcb_setup_t* setup = xcb_get_setup(m_conn);
        const int count = setup->max_keycode - setup->min_keycode + 1;
        xcb_get_keyboard_mapping_reply_t* map = xcb_get_keyboard_mapping_reply(
            m_conn, xcb_get_keyboard_mapping(m_conn, setup->min_keycode, static_cast<std::uint8_t>(count)), nullptr);
        xcb_keycode_t code = 0;
        if (map) {
            const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
            for (int i = 0; i < count * map->keysyms_per_keycode && !code; ++i) {
                if (syms[i] == sym) code = static_cast<xcb_keycode_t>(setup->min_keycode + i / map->keysyms_per_keycode);
            }
        }
        std::free(map);
        return code;
    }

    void MovePointer(int x, int y) {
        xcb_warp_pointer(m_conn, XCB_NONE, m_root, 0, 0, 0, 0, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y));
        Sync();
    }

    // Presses and releases `key`; milliseconds from the release to the pixel
    // at (x, y) changing, or -1 when it has not changed within 20 s.
    double Step(xcb_keycode_t key, int x, int y) {
        const std::uint32_t before = Pixel(x, y);
        Fake(XCB_KEY_PRESS, key);
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        QElapsedTimer clock;
        clock.start();
        Fake(XCB_KEY_RELEASE, key);
        while (clock.elapsed() < 20000) {
            if (Differs(Pixel(x, y), before)) return static_cast<double>(clock.nsecsElapsed()) / 1e6;
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
        return -1;
    }

    // Waits up to `ms` for the pixel at (x, y) to leave `from`.
    bool WaitChange(int x, int y, std::uint32_t from, int ms) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) {
            if (Differs(Pixel(x, y), from)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

private:
    static bool Differs(std::uint32_t a, std::uint32_t b) {
        for (int shift : {0, 8, 16}) {
            const int d = static_cast<int>((a >> shift) & 255) - static_cast<int>((b >> shift) & 255);
            if (std::abs(d) > 6) return true;
        }
        return false;
    }
    void Fake(std::uint8_t type, xcb_keycode_t key) {
        xcb_test_fake_input(m_conn, type, key, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        Sync();
    }
    void Sync() { std::free(xcb_get_input_focus_reply(m_conn, xcb_get_input_focus(m_conn), nullptr)); }

    xcb_connection_t* m_conn = nullptr;
    xcb_window_t m_root = 0;
    bool m_ok = false;
};

// Runs `work` on its own thread while this one keeps serving the player.
double WhileServing(const std::function<double()>& work) {
    QEventLoop loop;
    double result = -1;
    std::thread worker([&] {
        result = work();
        QMetaObject::invokeMethod(&loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    return result;
}

// feh full screen on the same files, stepped with the Right key.
std::vector<double> FehSteps(ServerProbe& probe, const std::vector<std::string>& paths, int cx, int cy) {
    std::vector<double> steps;
    if (std::system("command -v feh >/dev/null 2>&1") != 0) return steps;
    const std::uint32_t empty = probe.Pixel(cx, cy);
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::vector<char*> args{const_cast<char*>("feh"), const_cast<char*>("-F"), const_cast<char*>("-Z")};
        for (const auto& p : paths) args.push_back(const_cast<char*>(p.c_str()));
        args.push_back(nullptr);
        ::execvp("feh", args.data());
        ::_exit(127);
    }
    if (pid > 0 && probe.WaitChange(cx, cy, empty, 20000)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        probe.MovePointer(cx, cy);
        const xcb_keycode_t right = probe.KeyCode(0xff53);  // Right
        for (std::size_t i = 1; i < paths.size(); ++i) {
            const double ms = probe.Step(right, cx, cy);
            if (ms < 0) break;
            steps.push_back(ms);
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        }
    }
    if (pid > 0) {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
    }
    return steps;
}
#endif

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
    platform::limitDecoderMemory();  // as vistrova does
    QApplication app(argc, argv);
    platform::prepareApplication(app);  // as the programs do
    const bool onServer = QGuiApplication::platformName() == QLatin1String("xcb");
#ifdef VISTROVA_BENCH_XTEST
    ServerProbe probe;
    if (onServer && !probe.ok()) {
        std::fprintf(stderr, "the X server offers no XTEST\n");
        return 1;
    }
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const int cx = screen.center().x();
    const int cy = screen.center().y();
    xcb_keycode_t f8 = onServer ? probe.KeyCode(0xffc5) : 0;  // F8
#else
    if (onServer) {
        std::fprintf(stderr, "built without xcb-xtest: no figures on a real X server\n");
        return 1;
    }
#endif

    std::printf("writing %d pictures of %d x %d ...\n", kPictures, kWidth, kHeight);
    std::fflush(stdout);
    const std::vector<std::string> paths = makePictures(dir);

    resetPeak();
    long peakKb = 0;
    QSize shown;
    // Steps forward through `files`, then cold jumps.
    const auto play = [&](const std::vector<std::string>& files, std::vector<double>& steps,
                          std::vector<double>& colds) {
        mdlPublic::PublicState state;
        state.interval = 0;
        for (int i = 0; i < kPictures; ++i) {
            state.playList.paths[static_cast<std::size_t>(i)] = files[static_cast<std::size_t>(i)];
            state.playList.titles[static_cast<std::size_t>(i)] = "photo";
        }
        state.playList.count = kPictures;
        player::frmMain player(nullptr, state);
        PaintWatch watch;
        player.imgPct()->installEventFilter(&watch);
        player.show();
        QElapsedTimer first;
        first.start();
        waitPainted(watch, first);
        shown = player.imgPct()->size();
        settle(peakKb);
        const auto step = [&]() -> double {
#ifdef VISTROVA_BENCH_XTEST
            if (onServer) return WhileServing([&] { return probe.Step(f8, cx, cy); });
#endif
            return Step(player, watch, Qt::Key_F8);
        };
        if (onServer) {
            // Give the first picture time to reach the screen.
            QElapsedTimer wait;
            wait.start();
            while (wait.elapsed() < 1000) QApplication::processEvents(QEventLoop::AllEvents, 20);
        }

        // Forward through the list, each picture decoded ahead while the one
        // before it was shown.
        for (int i = 1; i < kPictures; ++i) {
            steps.push_back(step());
            settle(peakKb);
        }
        // Cold jumps: the step lands ten entries away from what was decoded ahead.
        for (int i = 0; i < 6; ++i) {
            state.playList.position = static_cast<std::int16_t>((state.playList.position + 9) % kPictures);
            colds.push_back(step());
            settle(peakKb);
        }
        player.close();
    };
    std::vector<double> steps;
    std::vector<double> colds;
    play(paths, steps, colds);
    const long playerPeakKb = std::max(peakKb, statusKb("VmHWM"));
    if (std::any_of(steps.begin(), steps.end(), [](double ms) { return ms < 0; }) ||
        std::any_of(colds.begin(), colds.end(), [](double ms) { return ms < 0; })) {
        std::fprintf(stderr, "a step never changed the screen\n");
        return 1;
    }

    std::vector<double> bare;
    for (const auto& p : paths) {
        QElapsedTimer clock;
        clock.start();
        QImageReader reader(QString::fromStdString(p));
        const QImage image = reader.read();
        bare.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        if (image.isNull()) std::fprintf(stderr, "bare decode failed: %s\n", p.c_str());
    }
    double feh = -1;
    std::vector<double> fehSteps;
#ifdef VISTROVA_BENCH_XTEST
    if (onServer) {
        for (int i = 0; i < 10; ++i) QApplication::processEvents(QEventLoop::AllEvents, 20);
        fehSteps = FehSteps(probe, paths, cx, cy);
        feh = fehSteps.empty() ? -3 : median(fehSteps);
    }
#endif
    if (!onServer) feh = fehPerPicture(paths);

    // The same with a colour profile in every picture.
    std::printf("writing %d pictures with an Adobe RGB profile ...\n", kPictures);
    std::fflush(stdout);
    std::vector<double> profiledSteps;
    std::vector<double> profiledColds;
    play(makePictures(dir, true), profiledSteps, profiledColds);

    const double stepMean = mean(steps);
    const double stepMedian = median(steps);
    const double stepMax = *std::max_element(steps.begin(), steps.end());
    const double coldMean = mean(colds);
    const double coldMax = *std::max_element(colds.begin(), colds.end());
    const double bareMean = mean(bare);
    const long limitMb = onServer ? 200 : 300;
    std::printf("%s\n", onServer ? "real X server (xcb): key release to the changed centre pixel"
                                 : "offscreen: key release event to the picture painted");
    std::printf("picture shown at %d x %d on a 1920 x 1080 screen\n", shown.width(), shown.height());
    std::printf("bare full-size decode (QImageReader): %8.1f ms per picture\n", bareMean);
    if (onServer) {
        std::printf("step to a picture decoded ahead:      %8.1f ms median, %.1f ms mean, %.1f ms max  target median <= 20 ms: %s\n",
                    stepMedian, stepMean, stepMax, stepMedian <= 20 ? "met" : "MISSED");
    } else {
        std::printf("step to a picture decoded ahead:      %8.1f ms mean, %.1f ms median, %.1f ms max  (%.3f x bare decode)  target < 30 ms: %s\n",
                    stepMean, stepMedian, stepMax, stepMean / bareMean, stepMax < 30 ? "met" : "MISSED");
    }
    std::printf("cold jump:                            %8.1f ms mean, %.1f ms max  (%.3f x bare decode)  target <= 1.1 x: %s\n",
                coldMean, coldMax, coldMean / bareMean, coldMean <= 1.1 * bareMean ? "met" : "MISSED");
    if (onServer && feh > 0) {
        std::printf("feh -F -Z, Right key, same measure:   %8.1f ms median over %zu steps  (step = %.3f x feh)  target <= 0.06 x: %s\n",
                    feh, fehSteps.size(), stepMedian / feh, stepMedian <= 0.06 * feh ? "met" : "MISSED");
    } else if (feh > 0) {
        std::printf("feh -F -Z -D 0.01:                    %8.1f ms per picture  (step = %.3f x feh)  target < 0.1 x: %s\n",
                    feh, stepMean / feh, stepMean < 0.1 * feh ? "met" : "MISSED");
    } else {
        std::printf("feh: %s\n", feh == -1 ? "not installed" : feh == -2 ? "no display (run under xvfb-run)" : "failed");
    }
    std::printf("with an Adobe RGB profile: step       %8.1f ms median, %.1f ms mean; cold jump %.1f ms mean  (%.2f x, %.2f x without)\n",
                median(profiledSteps), mean(profiledSteps), mean(profiledColds), mean(profiledSteps) / stepMean,
                mean(profiledColds) / coldMean);
    std::printf("peak resident memory of the player:   %8.1f MB  target < %ld MB: %s\n", playerPeakKb / 1024.0,
                limitMb, playerPeakKb < limitMb * 1024 ? "met" : "MISSED");

    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return 0;
}
