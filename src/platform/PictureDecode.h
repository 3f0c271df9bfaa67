#pragma once
// Picture decoding (BMP, JPEG, GIF, PNG, WebP, TIFF, and HEIF/HEIC/AVIF
// through libheif) by content, at the size it is shown.
// Sizes are those of the picture as it is seen: a JPEG whose EXIF orientation
// turns it by 90 degrees reports its width and height swapped. Pure
// functions: safe on any thread. Only regular files are opened; anything
// else (a pipe, a device) counts as no readable picture.

#include <QImage>
#include <QSize>
#include <QString>

namespace platform {

// Natural size from the file's header, in its shown orientation; invalid
// when it is not a readable picture.
QSize pictureSize(const QString& path);

// The picture, turned as its orientation says, scaled to `target` while
// decoding (JPEG decodes at a reduced size directly). Null on failure. An
// empty target decodes at natural size.
QImage decodePicture(const QString& path, const QSize& target);

// Whether the file is a picture with more than one frame (an animated GIF).
bool isAnimatedPicture(const QString& path);

}  // namespace platform
