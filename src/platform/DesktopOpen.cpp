#include "DesktopOpen.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace platform {

bool OpenDocument(const QString& path) {
    if (!QFileInfo::exists(path)) return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

QString HelpDocumentPath() {
    const QString dir = QCoreApplication::applicationDirPath();
    for (const QString& candidate : {dir + QStringLiteral("/Readme.html"),
                                     dir + QStringLiteral("/../share/vistrova/Readme.html")}) {
        if (QFileInfo::exists(candidate)) return QFileInfo(candidate).canonicalFilePath();
    }
    return {};
}

bool OpenHelpDocument() {
    const QString path = HelpDocumentPath();
    return !path.isEmpty() && OpenDocument(path);
}

}  // namespace platform
