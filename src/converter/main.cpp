#include "frmMain.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QIcon icon;
    for (const char* size : {"48x48", "64x64", "128x128", "256x256"}) {
        icon.addFile(QStringLiteral(":/icons/%1/apps/tarnquill.png").arg(QLatin1String(size)));
    }
    QApplication::setWindowIcon(icon);
    frmMain form;
    form.show();
    return QApplication::exec();
}
