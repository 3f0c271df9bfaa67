// Opens the file list editor as `vistrova /C` would, for the end-to-end tests.
#include "editor/RunEditor.h"
#include "shared/ListStore.h"
#include "shared/ProgramFolder.h"
#include "shared/Settings.h"
#include "shared/mdlPublic.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    auto& state = mdlPublic::Public();
    mdlPublic::SetPaths(state, programfolder::Resolve());
    settings::LoadStartup(state);
    liststore::LoadPlayList(state);
    editor::RunEditor(nullptr);
    return 0;
}
