#include "ShowSequence.h"

#include "StartupRules.h"
#include "platform/HostWindow.h"
#include "player/RunPlayer.h"
#include "player/frmMain.h"
#include "shared/mdlPublic.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <cstdio>

namespace launcher {
namespace {
constexpr int kHostCheckMs = 500;

void moveCursor(const QScreen* screen, Point (*target)(int, int)) {
    if (!screen) return;
    const QRect geometry = screen->geometry();
    const Point p = target(geometry.width(), geometry.height());
    QCursor::setPos(geometry.x() + p.x, geometry.y() + p.y);
}
}  // namespace

void showSequence(mdlPublic::PublicState& state, QWidget* owner, WId hostWindow) {
    // Every show starts its volume steps from the volume the program found.
    state.volumeStep = mdlPublic::volumeStepOf(state.savedVolume);
    if (hostWindow != 0) {
        // The host owns the window; a hidden launcher would make a poor owner
        // for a child of someone else's window.
        player::frmMain player(nullptr, state);
        const std::optional<QSize> size = platform::hostWindowSize(hostWindow);
        if (!size || !player.embedInto(hostWindow, *size)) {
            // Gone since start-up checked it: nothing to show in.
            std::fprintf(stderr, "vistrova: cannot show in window 0x%lx\n", static_cast<unsigned long>(hostWindow));
            return;
        }
        // A host that destroys its window without a signal first would leave
        // the show running unseen; it ends with the window instead.
        QTimer watch;
        watch.setInterval(kHostCheckMs);
        QObject::connect(&watch, &QTimer::timeout, &player, [&player, hostWindow] {
            if (!platform::hostWindowSize(hostWindow)) player.close();
        });
        watch.start();
        player.exec();
        return;
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    // The corner keeps the pointer out of the picture until the user moves it.
    moveCursor(screen, &showCursorCorner);
    player::runPlayer(state, owner);
    moveCursor(QGuiApplication::primaryScreen(), &showCursorCentre);
}

}  // namespace launcher
