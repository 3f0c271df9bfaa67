#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Tarnquell"));
    label.setWindowTitle(QStringLiteral("Tarnquell"));
    label.show();
    return QApplication::exec();
}
