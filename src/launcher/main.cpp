// Start-up and end of vistrova: the command line, the application object, the
// one-copy lock, the program folder and its settings, the mixer, the
// termination signals and the event loop around the launcher window.

#include "StartupRules.h"
#include "dialogs/mdlMessage.h"
#include "frmStart.h"
#include "platform/AppStart.h"
#include "platform/ColourManage.h"
#include "platform/HostWindow.h"
#include "platform/InstanceLock.h"
#include "platform/KeyRepeat.h"
#include "platform/Mixer.h"
#include "platform/PictureDecode.h"
#include "platform/SignalWatcher.h"
#include "platform/XcbSession.h"
#include "shared/ListStore.h"
#include "shared/ProgramFolder.h"
#include "shared/Settings.h"
#include "shared/mdlPublic.h"

#include <QApplication>
#include <QEvent>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

const QString kMsgAlreadyRunning = QStringLiteral("[VistrovA!!]は既に起動されています。");

bool reportStartup() {
    const char* value = std::getenv("VISTROVA_REPORT_STARTUP");
    return value && value[0] == '1';
}

// Prints the wall-clock time of the window's first picture, for the start-up
// benchmark, then stands down.
class FirstExposeReport final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint) return false;
        watched->removeEventFilter(this);
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        std::fprintf(stderr, "vistrova: first expose at %lld.%06ld\n", static_cast<long long>(now.tv_sec),
                     now.tv_nsec / 1000);
        return false;
    }
};

// From the lock to the end of the event loop; returns the exit code. A host
// window (not 0) carries the show of start mode 1 instead of the screen.
int runLauncher(std::int16_t startMode, WId hostWindow) {
    // One copy per executable name; the screen-saver modes give way silently.
    platform::InstanceLock lock(platform::InstanceLock::defaultFolder(), platform::InstanceLock::executableName());
    if (!lock.tryAcquire()) {
        if (startMode == mdlPublic::kStartNormal) mdlMessage::msgBox(kMsgAlreadyRunning, mdlMessage::kExclamation);
        return 0;
    }

    mdlPublic::PublicState state;
    state.startMode = startMode;
    mdlPublic::setPaths(state, programfolder::resolve());
    platform::IMixer& mixer = platform::systemMixer();
    state.savedVolume = mixer.volume();
    settings::loadStartup(state);
    liststore::loadPlayList(state);

    // The program ends only through the launcher's close, so the volume is
    // always set back; a hidden launcher must not end it early either.
    QApplication::setQuitOnLastWindowClosed(false);
    launcher::frmStart form(state, mixer);
    form.setHostWindow(hostWindow);
    if (reportStartup()) form.installEventFilter(new FirstExposeReport(&form));
    platform::SignalWatcher watcher;
    QObject::connect(&watcher, &platform::SignalWatcher::terminationRequested, &form, [&form](int) {
        launcher::frmStart::closeModalWindows();
        form.close();
        form.Form_Unload();  // also when a modal window refused the close
    });
    if (!form.Form_Load()) return 1;
    const int code = QApplication::exec();
    form.Form_Unload();
    lock.release();
    platform::endLeavingDecodes(code);
    return code;
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
    const launcher::StartRequest request = launcher::startRequestOf(args, std::getenv("XSCREENSAVER_WINDOW"));
    // "/P" and "/A" end before anything else: no window, no file; so does a
    // host switch that cannot be carried out.
    if (request.endAtOnce) return 0;
    if (!request.refusal.empty()) {
        std::fprintf(stderr, "vistrova: %s\n", request.refusal.c_str());
        return launcher::kExitRefused;
    }
    platform::limitDecoderMemory();
    const bool xcbChosenHere = platform::preferXcb();
    QApplication app(argc, argv);
    if (xcbChosenHere) unsetenv("QT_QPA_PLATFORM");
    platform::prepareApplication(app);
    // A held key then comes as presses and one release, as on Windows.
    platform::enableDetectableAutoRepeat();
    // Pictures are decoded for the display's colours, read once here.
    platform::setDisplayProfile(platform::readDisplayProfile());
    if (request.inHost && request.hostWindow != 0 && !platform::hostWindowSize(request.hostWindow)) {
        std::fprintf(stderr, "vistrova: no window 0x%lx on this display\n",
                     static_cast<unsigned long>(request.hostWindow));
        return launcher::kExitRefused;
    }
    return runLauncher(request.startMode, request.hostWindow);
}
