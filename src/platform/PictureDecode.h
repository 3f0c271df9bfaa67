#pragma once
// Picture decoding (BMP, JPEG, GIF ...) by content, at the size it is shown.
// Pure functions: safe on any thread.

#include <QImage>
#include <QSize>
#include <QString>

namespace platform {

// Natural size from the file's header; invalid when it is not a readable picture.
QSize PictureSize(const QString& path);

// The picture scaled to `target` while decoding (JPEG decodes at a reduced
// size directly). Null on failure. An empty target decodes at natural size.
QImage DecodePicture(const QString& path, const QSize& target);

}  // namespace platform
