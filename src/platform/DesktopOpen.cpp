#include "DesktopOpen.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace platform {

bool openDocument(const QString& path) {
    if (!QFileInfo::exists(path)) return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

QString helpDocumentPath() {
    const QString dir = QCoreApplication::applicationDirPath();
    for (const QString& candidate : {dir + QStringLiteral("/Readme.html"),
                                     dir + QStringLiteral("/../share/vistrova/Readme.html")}) {
        if (QFileInfo::exists(candidate)) return QFileInfo(candidate).canonicalFilePath();
    }
    return {};
}

bool openHelpDocument() {
    const QString path = helpDocumentPath();
    return !path.isEmpty() && openDocument(path);
}

}  // namespace platform
