#include "PictureDecode.h"

#include "shared/FileKinds.h"

#include <QFile>
#include <QImageReader>

namespace platform {

namespace {
// A pipe or a device named like a picture would block the reader for good.
bool openable(const QString& path) { return files::isOpenableFile(QFile::encodeName(path).toStdString()); }

bool turnsSideways(const QImageReader& reader) {
    return reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
}
}  // namespace

QSize pictureSize(const QString& path) {
    if (!openable(path)) return QSize();
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QSize stored = reader.size();
    if (!stored.isValid()) return stored;
    return turnsSideways(reader) ? stored.transposed() : stored;
}

QImage decodePicture(const QString& path, const QSize& target) {
    if (!openable(path)) return QImage();
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    // The reader scales before it turns the picture, so it is given the
    // size in the file's own orientation.
    if (!target.isEmpty()) reader.setScaledSize(turnsSideways(reader) ? target.transposed() : target);
    QImage image = reader.read();
    if (!image.isNull() && !target.isEmpty() && image.size() != target) {
        image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return image;
}

bool isAnimatedPicture(const QString& path) {
    if (!openable(path)) return false;
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return reader.supportsAnimation() && reader.imageCount() > 1;
}

}  // namespace platform
