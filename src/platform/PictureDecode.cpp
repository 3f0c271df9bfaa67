#include "PictureDecode.h"

#include "shared/FileKinds.h"

#include <libheif/heif.h>

#include <QFile>
#include <QImageReader>
#include <QTransform>

#include <cstring>
#include <memory>
#include <mutex>

namespace platform {

namespace {
// A pipe or a device named like a picture would block the reader for good.
bool openable(const QString& path) { return files::isOpenableFile(QFile::encodeName(path).toStdString()); }

// A tiny file may claim a huge picture (a decompression bomb): nothing is
// decoded that would need more memory than this.
constexpr qint64 kAllocationLimitBytes = 256LL * 1024 * 1024;
constexpr int kAllocationLimitMb = static_cast<int>(kAllocationLimitBytes / (1024 * 1024));

void limitReader(QImageReader& reader) {
    reader.setDecideFormatFromContent(true);
    reader.setAllocationLimit(kAllocationLimitMb);
}

// ---- HEIF, HEIC and AVIF, which Qt does not read, go through libheif.

bool isHeifFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray head = file.read(64);
    if (head.size() < 12) return false;
    return heif_check_filetype(reinterpret_cast<const uint8_t*>(head.constData()), static_cast<int>(head.size())) !=
           heif_filetype_no;
}

struct HeifContextFree {
    void operator()(heif_context* c) const { heif_context_free(c); }
};
struct HeifHandleFree {
    void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
};
struct HeifImageFree {
    void operator()(heif_image* i) const { heif_image_release(i); }
};
using HeifContext = std::unique_ptr<heif_context, HeifContextFree>;
using HeifHandle = std::unique_ptr<heif_image_handle, HeifHandleFree>;
using HeifImage = std::unique_ptr<heif_image, HeifImageFree>;

struct HeifPrimary {
    HeifContext context;
    HeifHandle handle;
    int exifOrientation = 1;  // 1 when the file's own transformations apply
};

// Reads a 16/32-bit number of a TIFF block in its byte order.
quint32 tiffNumber(const uchar* p, int bytes, bool bigEndian) {
    quint32 v = 0;
    for (int i = 0; i < bytes; ++i) v |= quint32(p[bigEndian ? i : bytes - 1 - i]) << (8 * (bytes - 1 - i));
    return v;
}

// The Orientation tag (1..8) of an EXIF block as HEIF stores it (a 4-byte
// offset to the TIFF header first); 1 when absent or malformed.
int exifOrientationOf(const QByteArray& exif) {
    const auto* data = reinterpret_cast<const uchar*>(exif.constData());
    const qint64 size = exif.size();
    if (size < 4) return 1;
    const qint64 tiff = 4 + qint64(tiffNumber(data, 4, true));
    if (tiff < 0 || tiff + 8 > size) return 1;
    const uchar* t = data + tiff;
    const qint64 tiffSize = size - tiff;
    bool big;
    if (t[0] == 'M' && t[1] == 'M') big = true;
    else if (t[0] == 'I' && t[1] == 'I') big = false;
    else return 1;
    const qint64 ifd = tiffNumber(t + 4, 4, big);
    if (ifd + 2 > tiffSize) return 1;
    const qint64 count = tiffNumber(t + ifd, 2, big);
    for (qint64 i = 0; i < count; ++i) {
        const qint64 entry = ifd + 2 + 12 * i;
        if (entry + 12 > tiffSize) return 1;
        if (tiffNumber(t + entry, 2, big) != 0x0112) continue;
        const quint32 value = tiffNumber(t + entry + 8, 2, big);
        return value >= 1 && value <= 8 ? int(value) : 1;
    }
    return 1;
}

// Whether the file turns or mirrors its picture itself (irot / imir
// properties). Such files may still carry an EXIF orientation, which then
// only describes the camera and must not turn the picture a second time.
bool hasOwnTransformation(const QByteArray& head) {
    const auto* d = reinterpret_cast<const uchar*>(head.constData());
    // Walks the boxes below `begin` .. `end` looking for a path of types.
    const auto findBox = [&](qint64 begin, qint64 end, const char* type, qint64* inner, qint64* innerEnd) {
        for (qint64 at = begin; at + 8 <= end;) {
            qint64 size = tiffNumber(d + at, 4, true);
            qint64 header = 8;
            if (size == 1) {
                if (at + 16 > end) return false;
                size = qint64((quint64(tiffNumber(d + at + 8, 4, true)) << 32) | tiffNumber(d + at + 12, 4, true));
                header = 16;
            } else if (size == 0) {
                size = end - at;
            }
            if (size < header || at + size > end) return false;
            if (memcmp(d + at + 4, type, 4) == 0) {
                *inner = at + header;
                *innerEnd = at + size;
                return true;
            }
            at += size;
        }
        return false;
    };
    qint64 meta = 0, metaEnd = 0, iprp = 0, iprpEnd = 0, ipco = 0, ipcoEnd = 0, unused = 0, unusedEnd = 0;
    if (!findBox(0, head.size(), "meta", &meta, &metaEnd)) return false;
    meta += 4;  // a full box: version and flags
    if (!findBox(meta, metaEnd, "iprp", &iprp, &iprpEnd)) return false;
    if (!findBox(iprp, iprpEnd, "ipco", &ipco, &ipcoEnd)) return false;
    return findBox(ipco, ipcoEnd, "irot", &unused, &unusedEnd) || findBox(ipco, ipcoEnd, "imir", &unused, &unusedEnd);
}

bool openHeif(const QString& path, HeifPrimary* out) {
    static std::once_flag once;
    std::call_once(once, [] { heif_init(nullptr); });
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    // The boxes that describe the picture come first; the coded data follows.
    const QByteArray head = file.read(1 << 20);
    out->context.reset(heif_context_alloc());
    if (!out->context) return false;
    // libheif's own bound, in pixels (its parameter is squared).
    heif_context_set_maximum_image_size_limit(out->context.get(), 1 << 14);
    const QByteArray name = QFile::encodeName(path);
    if (heif_context_read_from_file(out->context.get(), name.constData(), nullptr).code != heif_error_Ok) return false;
    heif_image_handle* handle = nullptr;
    if (heif_context_get_primary_image_handle(out->context.get(), &handle).code != heif_error_Ok) return false;
    out->handle.reset(handle);
    const qint64 w = heif_image_handle_get_width(handle);
    const qint64 h = heif_image_handle_get_height(handle);
    if (w <= 0 || h <= 0 || w * h * 4 > kAllocationLimitBytes) return false;
    if (hasOwnTransformation(head)) return true;
    heif_item_id exifId = 0;
    if (heif_image_handle_get_list_of_metadata_block_IDs(handle, "Exif", &exifId, 1) == 1) {
        const std::size_t size = heif_image_handle_get_metadata_size(handle, exifId);
        if (size > 0 && size < (1u << 20)) {
            QByteArray exif(static_cast<qsizetype>(size), Qt::Uninitialized);
            if (heif_image_handle_get_metadata(handle, exifId, exif.data()).code == heif_error_Ok)
                out->exifOrientation = exifOrientationOf(exif);
        }
    }
    return true;
}

bool orientationTurnsSideways(int orientation) { return orientation >= 5; }

QImage applyOrientation(const QImage& image, int orientation) {
    const auto turned = [&](qreal degrees) { return image.transformed(QTransform().rotate(degrees)); };
    switch (orientation) {
    case 2: return image.mirrored(true, false);
    case 3: return image.mirrored(true, true);
    case 4: return image.mirrored(false, true);
    case 5: return turned(90).mirrored(true, false);
    case 6: return turned(90);
    case 7: return turned(90).mirrored(false, true);
    case 8: return turned(270);
    default: return image;
    }
}

QSize heifSize(const QString& path) {
    HeifPrimary heif;
    if (!openHeif(path, &heif)) return QSize();
    const QSize size(heif_image_handle_get_width(heif.handle.get()), heif_image_handle_get_height(heif.handle.get()));
    return orientationTurnsSideways(heif.exifOrientation) ? size.transposed() : size;
}

QImage decodeHeif(const QString& path, const QSize& target) {
    HeifPrimary heif;
    if (!openHeif(path, &heif)) return QImage();
    heif_image* raw = nullptr;
    const bool alpha = heif_image_handle_has_alpha_channel(heif.handle.get()) != 0;
    if (heif_decode_image(heif.handle.get(), &raw, heif_colorspace_RGB,
                          alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, nullptr)
            .code != heif_error_Ok)
        return QImage();
    const HeifImage decoded(raw);
    int stride = 0;
    const uint8_t* pixels = heif_image_get_plane_readonly(raw, heif_channel_interleaved, &stride);
    const int w = heif_image_get_width(raw, heif_channel_interleaved);
    const int h = heif_image_get_height(raw, heif_channel_interleaved);
    if (!pixels || w <= 0 || h <= 0) return QImage();
    // The wrapper only borrows libheif's pixels: copy before they go.
    const QImage borrowed(pixels, w, h, stride, alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    QImage image = applyOrientation(borrowed.copy(), heif.exifOrientation);
    if (!target.isEmpty() && image.size() != target)
        image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}

bool turnsSideways(const QImageReader& reader) {
    return reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
}
}  // namespace

QSize pictureSize(const QString& path) {
    if (!openable(path)) return QSize();
    if (isHeifFile(path)) return heifSize(path);
    QImageReader reader(path);
    limitReader(reader);
    const QSize stored = reader.size();
    if (!stored.isValid()) return stored;
    return turnsSideways(reader) ? stored.transposed() : stored;
}

QImage decodePicture(const QString& path, const QSize& target) {
    if (!openable(path)) return QImage();
    if (isHeifFile(path)) return decodeHeif(path, target);
    QImageReader reader(path);
    limitReader(reader);
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
    if (!openable(path) || isHeifFile(path)) return false;
    QImageReader reader(path);
    limitReader(reader);
    return reader.supportsAnimation() && reader.imageCount() > 1;
}

}  // namespace platform
