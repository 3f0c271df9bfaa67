// Test driver of the end-to-end player test: loads the settings and the
// current list of VISTROVA_HOME and runs the player once, as a show would.

#include "platform/AppStart.h"
#include "platform/ColourManage.h"
#include "platform/KeyRepeat.h"
#include "platform/Mixer.h"
#include "platform/PictureDecode.h"
#include "player/RunPlayer.h"
#include "shared/ListStore.h"
#include "shared/ProgramFolder.h"
#include "shared/Settings.h"
#include "shared/mdlPublic.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    platform::limitDecoderMemory();  // as vistrova does
    QApplication app(argc, argv);
    platform::prepareApplication(app);  // as vistrova does
    platform::enableDetectableAutoRepeat();  // as vistrova does
    platform::setDisplayProfile(platform::readDisplayProfile());  // as vistrova does
    mdlPublic::PublicState state;
    mdlPublic::setPaths(state, programfolder::resolve());
    settings::loadStartup(state);
    liststore::loadPlayList(state);
    state.savedVolume = platform::systemMixer().volume();
    state.volumeStep = mdlPublic::volumeStepOf(state.savedVolume);
    player::runPlayer(state, nullptr);
    std::printf("closed at %d\n", state.playList.position);
    platform::endLeavingDecodes(0);
    return 0;
}
