#include "ThumbnailRules.h"

#include "EditorRules.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

namespace thumbs {

int pixelsOf(Flavor flavor) { return flavor == Flavor::Large ? 256 : 128; }

QString folderNameOf(Flavor flavor) {
    return flavor == Flavor::Large ? QStringLiteral("large") : QStringLiteral("normal");
}

Flavor flavorFor(int shownPixels) { return shownPixels > 128 ? Flavor::Large : Flavor::Normal; }

QString cacheRoot(const QString& xdgCacheHome, const QString& home) {
    const QString base = QDir::isAbsolutePath(xdgCacheHome) ? xdgCacheHome : home + QStringLiteral("/.cache");
    return QDir::cleanPath(base + QStringLiteral("/thumbnails"));
}

QByteArray fileUri(const QString& absolutePath) { return editor::urlOfPath(absolutePath).toEncoded(); }

QString thumbnailFileName(const QByteArray& uri) {
    return QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex()) +
           QStringLiteral(".png");
}

QString thumbnailPath(const QString& root, Flavor flavor, const QByteArray& uri) {
    return root + QLatin1Char('/') + folderNameOf(flavor) + QLatin1Char('/') + thumbnailFileName(uri);
}

QString failurePath(const QString& root, const QString& program, const QByteArray& uri) {
    return root + QStringLiteral("/fail/") + program + QLatin1Char('/') + thumbnailFileName(uri);
}

bool isCurrent(const QString& uriText, const QString& mtimeText, const QByteArray& uri, qint64 mtime) {
    bool ok = false;
    const qint64 stamped = mtimeText.toLongLong(&ok);
    return ok && stamped == mtime && uriText.toUtf8() == uri;
}

QSize fittedSize(const QSize& natural, int box) {
    if (natural.isEmpty() || box <= 0) return {};
    if (natural.width() <= box && natural.height() <= box) return natural;
    const QSize fitted = natural.scaled(box, box, Qt::KeepAspectRatio);
    return fitted.expandedTo(QSize(1, 1));
}

bool isInsideCache(const QString& path, const QString& root) {
    const auto inside = [](const QString& p, const QString& r) {
        return !p.isEmpty() && !r.isEmpty() && (p == r || p.startsWith(r + QLatin1Char('/')));
    };
    if (inside(QDir::cleanPath(path), QDir::cleanPath(root))) return true;
    // Reached through a link, to the cache or to a folder of it: where the
    // two really are decides.
    return inside(QFileInfo(path).canonicalFilePath(), QFileInfo(root).canonicalFilePath());
}

}  // namespace thumbs
