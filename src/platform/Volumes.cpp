#include "Volumes.h"

#include <QStorageInfo>

namespace platform {

QStringList MountRoots() {
    QStringList others;
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
        if (!v.isValid() || !v.isReady()) continue;
        const QString root = v.rootPath();
        if (root.isEmpty() || root == QLatin1String("/") || others.contains(root)) continue;
        others << root;
    }
    others.sort();
    others.prepend(QStringLiteral("/"));
    return others;
}

}  // namespace platform
