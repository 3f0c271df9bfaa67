#pragma once
// Pictures in their true colours: a picture that describes its colours (an
// embedded ICC profile, or a HEIF/AVIF colour description) is converted to
// the display's profile when the X server publishes one, and to sRGB
// otherwise. A picture without a description is taken as sRGB and left as it
// is, at no cost. Qt converts what it can parse; Little CMS the rest; a
// profile neither reads leaves the picture as it is. The conversions are
// safe on any thread: they run where the pictures are decoded.

#include "PictureRules.h"

#include <QByteArray>
#include <QColorSpace>
#include <QImage>
#include <QString>

struct heif_image_handle;

namespace platform {

// The ICC profile of the display: the root window's _ICC_PROFILE property,
// as colour managers set it. Empty when there is none or no X server.
// GUI thread.
QByteArray readDisplayProfile();

// The profile pictures are converted to from now on; empty: sRGB. Set once
// at start, before pictures are decoded.
void setDisplayProfile(const QByteArray& icc);

// `image` (decoded from `file`, whose header says `format`) in the display's
// colours. `image.colorSpace()` is what the decoder read; when it found none
// the file's own profile is looked for, for Little CMS, in the bytes the
// header check has already read.
QImage toDisplayColours(QImage image, pictures::ByteSource& file, pictures::Format format);

// The same for a picture libheif decoded from `handle` (its ICC profile or
// nclx description).
QImage toDisplayColours(QImage image, const heif_image_handle* handle);

// The colour space of an nclx description; invalid when it cannot be
// converted from, or is sRGB already.
QColorSpace colourSpaceOfNclx(int primariesCode, int transferCode);

}  // namespace platform
