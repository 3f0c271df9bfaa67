#pragma once
// Picture decoding (BMP, JPEG, GIF, PNG, WebP, TIFF, and HEIF/HEIC/AVIF
// through libheif) by content, at the size it is shown, each decode within
// the memory budget of PictureRules.h: a picture over it, judged from its
// header before any pixel is read, counts as no readable picture.
// Sizes are those of the picture as it is seen: a JPEG whose EXIF orientation
// turns it by 90 degrees reports its width and height swapped. Pure
// functions: safe on any thread. Only regular files are opened; anything
// else (a pipe, a device) counts as no readable picture.

#include <QFuture>
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

// decodePicture on a worker thread; the future holds the picture.
QFuture<QImage> decodePictureLater(const QString& path, const QSize& target);

// Whether the file is a picture with more than one frame (an animated GIF)
// small enough to play.
bool isAnimatedPicture(const QString& path);

// A cached thumbnail (a PNG of at most `most` pixels a side) with its
// "Thumb::" texts and no others. Null when it is anything else.
QImage readThumbnailPng(const QString& path, int most);

// Decodes running on any thread now.
int decodesUnderWay();
// Ends the process with `code` at once when decodes are still under way, so
// the end never waits for a picture nobody will see (and no static goes while
// a worker uses it); returns otherwise. Everything worth keeping must be
// written and every lock given up before.
void endLeavingDecodes(int code);

// Bounds libjpeg's own buffers too. Call at start, before any thread runs.
void limitDecoderMemory();

}  // namespace platform
