#include "PictureDecode.h"

#include <QImageReader>

namespace platform {

namespace {
bool TurnsSideways(const QImageReader& reader) {
    return reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
}
}  // namespace

QSize PictureSize(const QString& path) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QSize stored = reader.size();
    if (!stored.isValid()) return stored;
    return TurnsSideways(reader) ? stored.transposed() : stored;
}

QImage DecodePicture(const QString& path, const QSize& target) {
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
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return reader.supportsAnimation() && reader.imageCount() > 1;
}

}  // namespace platform
