#include "RunPlayer.h"

#include "frmMain.h"

namespace player {

void RunPlayer(QWidget* owner) {
    // Built afresh for every show and discarded when it closes.
    frmMain player(owner);
    player.exec();
}

}  // namespace player
