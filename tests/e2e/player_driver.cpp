// Test driver of the end-to-end player test: loads the settings and the
// current list of VISTROVA_HOME and runs the player once, as a show would.

#include "platform/KeyRepeat.h"
#include "platform/Mixer.h"
#include "player/RunPlayer.h"
#include "shared/ListStore.h"
#include "shared/ProgramFolder.h"
#include "shared/Settings.h"
#include "shared/mdlPublic.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    platform::EnableDetectableAutoRepeat();  // as vistrova does
    auto& state = mdlPublic::Public();
    mdlPublic::SetPaths(state, programfolder::Resolve());
    settings::LoadStartup(state);
    liststore::LoadPlayList(state);
    state.savedVolume = platform::SystemMixer().GetVolume();
    state.volumeStep = mdlPublic::VolumeStepOf(state.savedVolume);
    player::RunPlayer(nullptr);
    std::printf("closed at %d\n", state.playList.position);
    return 0;
}
