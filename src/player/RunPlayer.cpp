#include "RunPlayer.h"

#include "frmMain.h"
#include "platform/ScreenSaverInhibit.h"

namespace player {

void runPlayer(mdlPublic::PublicState& state, QWidget* owner) {
    // The desktop's own screen saver and display sleep wait while a show runs
    // by hand; in the screen-saver modes this program is the screen saver.
    platform::ScreenSaverInhibit hold;
    if (state.startMode == mdlPublic::kStartNormal) hold.inhibit(QStringLiteral("Slideshow"));
    // Built afresh for every show and discarded when it closes.
    frmMain player(owner, state);
    player.exec();
    hold.release();
}

}  // namespace player
