#include "PictureDecode.h"

#include <QImageReader>

namespace platform {

QSize PictureSize(const QString& path) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return reader.size();
}

QImage DecodePicture(const QString& path, const QSize& target) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    if (!target.isEmpty()) reader.setScaledSize(target);
    QImage image = reader.read();
    if (!image.isNull() && !target.isEmpty() && image.size() != target) {
        image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return image;
}

}  // namespace platform
