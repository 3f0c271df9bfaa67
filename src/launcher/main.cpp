#include "StartupRules.h"
#include "frmStart.h"
#include "platform/ColourManage.h"
#include "platform/HostWindow.h"
#include "platform/KeyRepeat.h"
#include "platform/AppStart.h"
#include "platform/PictureDecode.h"
#include "platform/XcbSession.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

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
    return launcher::frmStart::run(request.startMode, request.hostWindow);
}
