#include "PictureDecode.h"

#include "shared/FileKinds.h"

#include <QFile>
#include <QImageReader>

namespace platform {

namespace {
// A pipe or a device named like a picture would block the reader for good.
bool Openable(const QString& path) { return files::IsOpenableFile(QFile::encodeName(path).toStdString()); }

bool TurnsSideways(const QImageReader& reader) {
    return reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
}
}  // namespace

QSize PictureSize(const QString& path) {
    if (!Openable(path)) return QSize();
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QSize stored = reader.size();
    if (!stored.isValid()) return stored;
    return TurnsSideways(reader) ? stored.transposed() : stored;
}

QImage DecodePicture(const QString& path, const QSize& target) {
    if (!Openable(path)) return QImage();
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    // The reader scales before it turns the picture, so it is given the
    // size in the file's own orientation.
    if (!target.isEmpty()) reader.setScaledSize(TurnsSideways(reader) ? target.transposed() : target);
    QImage image = reader.read();
    if (!image.isNull() && !target.isEmpty() && image.size() != target) {
        image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return image;
}

bool IsAnimatedPicture(const QString& path) {
    if (!Openable(path)) return false;
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return reader.supportsAnimation() && reader.imageCount() > 1;
}

}  // namespace platform
