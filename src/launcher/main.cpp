#include "StartupRules.h"
#include "frmStart.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // "/P" and "/A" end before anything else: no window, no file.
    const launcher::StartRequest request = launcher::StartRequestOf(launcher::CommandLineOf(argc, argv));
    if (request.endAtOnce) return 0;
    QApplication app(argc, argv);
    return frmStart::Run(request.startMode);
}
