#include "shared/ListStore.h"
#include "shared/ProgramFolder.h"
#include "shared/Settings.h"
#include "shared/mdlPublic.h"

#include <QApplication>
#include <QLabel>

#include <clocale>

int main(int argc, char* argv[]) {
    // Screen-saver preview and password switches: no window, no file access.
    if (argc > 1 && argv[1][0] == '/' && (argv[1][1] == 'P' || argv[1][1] == 'p' || argv[1][1] == 'A' || argv[1][1] == 'a')) {
        return 0;
    }
    QApplication app(argc, argv);
    auto& state = mdlPublic::Public();
    mdlPublic::SetPaths(state, programfolder::Resolve());
    settings::LoadStartup(state);
    liststore::LoadPlayList(state);
    QLabel label(QStringLiteral("Vistrova!!"));
    label.setWindowTitle(QStringLiteral("Vistrova!!"));
    label.resize(432, 224);
    label.show();
    return QApplication::exec();
}
