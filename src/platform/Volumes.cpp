#include "Volumes.h"

#include <QFileInfo>
#include <QStorageInfo>

namespace platform {

QStringList mountRoots() {
    QStringList others;
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
        if (!v.isValid() || !v.isReady()) continue;
        const QString root = v.rootPath();
        if (root.isEmpty() || root == QLatin1String("/") || others.contains(root)) continue;
        // A file bind-mounted over another (containers do this) is no drive.
        if (!QFileInfo(root).isDir()) continue;
        others << root;
    }
    others.sort();
    others.prepend(QStringLiteral("/"));
    return others;
}

}  // namespace platform
