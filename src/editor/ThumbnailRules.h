#pragma once
// The shared thumbnail cache file managers keep under the user's cache
// folder: where a file's thumbnail lives, and whether a cached one still
// belongs to the file as it is now. Qt Core only; safe on any thread.

#include <QByteArray>
#include <QSize>
#include <QString>

namespace thumbs {

// The cache's two sizes: "normal" holds thumbnails of at most 128 pixels a
// side, "large" of at most 256.
enum class Flavor { Normal, Large };
int pixelsOf(Flavor flavor);
QString folderNameOf(Flavor flavor);
// The smallest flavor that shows `shownPixels` without enlarging.
Flavor flavorFor(int shownPixels);

// "<cache>/thumbnails": $XDG_CACHE_HOME when it is an absolute path, else
// "<home>/.cache".
QString cacheRoot(const QString& xdgCacheHome, const QString& home);

// The file's URI as the cache keys it: "file://" and the absolute path,
// percent-encoded byte for byte (names that are not UTF-8 included).
QByteArray fileUri(const QString& absolutePath);
// The lower-case hex MD5 of the URI, with ".png".
QString thumbnailFileName(const QByteArray& uri);
QString thumbnailPath(const QString& root, Flavor flavor, const QByteArray& uri);

// Where `program` records that it could not make a thumbnail of the file,
// so it is not tried again while the file stays as it is:
// "<root>/fail/<program>/<md5>.png", stamped like a thumbnail.
QString failurePath(const QString& root, const QString& program, const QByteArray& uri);

// A cached thumbnail is the file's while its Thumb::URI is the file's URI and
// its Thumb::MTime the file's modification time in whole seconds; a missing,
// malformed or different value makes it stale.
bool isCurrent(const QString& uriText, const QString& mtimeText, const QByteArray& uri, qint64 mtime);

// `natural` scaled to fit a `box`-pixel square, the aspect kept, never
// enlarged, at least one pixel a side. Invalid for an empty size.
QSize fittedSize(const QSize& natural, int box);

// Whether `path` lies inside the cache, also when a link leads there (or the
// cache is reached through one): thumbnails are never made of thumbnails.
bool isInsideCache(const QString& path, const QString& root);

}  // namespace thumbs
