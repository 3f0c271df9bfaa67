#include "frmMain.h"
#include "platform/AppStart.h"
#include "platform/XcbSession.h"

#include <QApplication>
#include <QIcon>

#include <cstdlib>

int main(int argc, char* argv[]) {
    const bool xcbChosenHere = platform::preferXcb();
    QApplication app(argc, argv);
    if (xcbChosenHere) unsetenv("QT_QPA_PLATFORM");
    platform::prepareApplication(app);
    QIcon icon;
    for (const char* size : {"48x48", "64x64", "128x128", "256x256"}) {
        icon.addFile(QStringLiteral(":/icons/%1/apps/tarnquill.png").arg(QLatin1String(size)));
    }
    QApplication::setWindowIcon(icon);
    converter::frmMain form;
    form.show();
    return QApplication::exec();
}
