#include "PictureDecode.h"

#include "ColourManage.h"
#include "FileSource.h"
#include "PictureRules.h"
#include "YuvScale.h"
#include "shared/FileKinds.h"

#include <libheif/heif.h>

#include <QFile>
#include <QImageReader>
#include <QPromise>
#include <QThreadPool>
#include <QTransform>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>

#include <malloc.h>
#include <unistd.h>

namespace platform {

namespace {
// A pipe or a device named like a picture would block the reader for good.
bool openable(const QString& path) { return files::isOpenableFile(QFile::encodeName(path).toStdString()); }

// Qt's own bound on the final picture, behind the budget checked from the header.
constexpr int kAllocationLimitMb = static_cast<int>(pictures::kDecodeBudgetBytes / (1024 * 1024));

std::atomic<int> g_decodesUnderWay{0};
struct UnderWay {
    UnderWay() { ++g_decodesUnderWay; }
    ~UnderWay() { --g_decodesUnderWay; }
    UnderWay(const UnderWay&) = delete;
    UnderWay& operator=(const UnderWay&) = delete;
};

pictures::Header headerOf(const QString& path) {
    FileSource source(path);
    return pictures::readHeader(source);
}

const char* qtFormatOf(pictures::Format format) {
    switch (format) {
    case pictures::Format::Jpeg: return "jpeg";
    case pictures::Format::Png: return "png";
    case pictures::Format::Gif: return "gif";
    case pictures::Format::Bmp: return "bmp";
    case pictures::Format::WebP: return "webp";
    case pictures::Format::Tiff: return "tiff";
    default: return nullptr;
    }
}

// A PNG as the decoder is to see it: the file with its text chunks left out
// (see pictures::keepPngChunk), streamed, so the file is never held whole.
class PngWithoutText final : public QIODevice {
public:
    PngWithoutText(const QString& path, bool thumbnailKeys) : m_file(path), m_thumbnailKeys(thumbnailKeys) {}
    bool open(OpenMode mode) override {
        return mode == QIODevice::ReadOnly && m_file.open(QIODevice::ReadOnly) && QIODevice::open(mode);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 most) override {
        qint64 out = 0;
        while (out < most) {
            if (m_pendingAt < m_pending.size()) {
                const qint64 n = std::min<qint64>(most - out, m_pending.size() - m_pendingAt);
                std::memcpy(data + out, m_pending.constData() + m_pendingAt, std::size_t(n));
                m_pendingAt += n;
                out += n;
            } else if (m_passing > 0) {
                const qint64 n = m_file.read(data + out, qint64(std::min<quint64>(m_passing, quint64(most - out))));
                if (n <= 0) {
                    m_passing = 0;
                    m_ended = true;
                } else {
                    m_passing -= quint64(n);
                    out += n;
                }
            } else if (m_ended) {
                break;
            } else {
                nextChunk();
            }
        }
        return out > 0 || !m_ended ? out : -1;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    void nextChunk() {
        m_pendingAt = 0;
        if (!m_signatureDone) {
            m_signatureDone = true;
            m_pending = m_file.read(8);
            return;
        }
        m_pending = m_file.read(8);
        if (m_pending.size() < 8) {
            m_ended = true;
            return;
        }
        const auto* h = reinterpret_cast<const uchar*>(m_pending.constData());
        const quint32 length = (quint32(h[0]) << 24) | (quint32(h[1]) << 16) | (quint32(h[2]) << 8) | h[3];
        const std::string_view type(m_pending.constData() + 4, 4);
        const QByteArray keyword = pictures::keepPngChunk(type, {}, 0, true) ? QByteArray()
                                                                            : m_file.read(std::min<quint32>(length, 80));
        if (pictures::keepPngChunk(type, std::string_view(keyword.constData(), std::size_t(keyword.size())), length,
                                   m_thumbnailKeys)) {
            m_pending += keyword;
            m_passing = quint64(length) + 4 - quint64(keyword.size());  // the rest and the CRC
        } else {
            m_pending.clear();
            if (!m_file.seek(m_file.pos() + qint64(length) + 4 - keyword.size())) m_ended = true;
        }
    }

    QFile m_file;
    bool m_thumbnailKeys;
    bool m_signatureDone = false;
    bool m_ended = false;
    QByteArray m_pending;
    qint64 m_pendingAt = 0;
    quint64 m_passing = 0;
};

// A reader bound to the format the header named, so no other plugin guesses
// at the bytes; PNGs come through the filter above.
struct PictureReader {
    std::unique_ptr<QIODevice> device;
    QImageReader reader;
};

std::unique_ptr<PictureReader> readerFor(const QString& path, const pictures::Header& header,
                                         bool thumbnailKeys = false) {
    const char* format = qtFormatOf(header.format);
    if (!format) return nullptr;
    auto out = std::make_unique<PictureReader>();
    if (header.format == pictures::Format::Png)
        out->device = std::make_unique<PngWithoutText>(path, thumbnailKeys);
    else
        out->device = std::make_unique<QFile>(path);
    if (!out->device->open(QIODevice::ReadOnly)) return nullptr;
    out->reader.setDevice(out->device.get());
    out->reader.setFormat(format);
    out->reader.setDecideFormatFromContent(false);
    out->reader.setAllocationLimit(kAllocationLimitMb);
    return out;
}

// ---- HEIF, HEIC and AVIF, which Qt does not read, go through libheif.

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
    if (w <= 0 || h <= 0 || w * h * 4 > qint64(pictures::kDecodeBudgetBytes)) return false;
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

bool fitsBudget(const pictures::Header& header, const QSize& target) {
    return pictures::withinBudget(header, std::uint32_t(std::max(0, target.width())),
                                  std::uint32_t(std::max(0, target.height())));
}

// The picture made from libheif's RGB: for codings the plane path does not take.
QImage decodeHeifRgb(const HeifPrimary& heif, const QSize& stored) {
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
    // The wrapper only borrows libheif's pixels: scaled (or copied) before they go.
    const QImage borrowed(pixels, w, h, stride, alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    return stored.isEmpty() || borrowed.size() == stored
               ? borrowed.copy()
               : borrowed.scaled(stored, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

pictures::Plane planeOf(const heif_image* image, heif_channel channel) {
    pictures::Plane p;
    if (!heif_image_has_channel(image, channel)) return p;
    int stride = 0;
    p.data = heif_image_get_plane_readonly(image, channel, &stride);
    p.stride = stride;
    p.width = heif_image_get_width(image, channel);
    p.height = heif_image_get_height(image, channel);
    p.bits = heif_image_get_bits_per_pixel_range(image, channel);
    return p;
}

// The picture made from the coded planes as the codec gives them, turned
// into RGB while shrunk to `stored`: no full-size RGB copy is ever held.
// `unknownMatrix` is set when the colour description needs libheif's own
// conversion.
QImage decodeHeifPlanes(const HeifPrimary& heif, const QSize& stored, pictures::Chroma chroma, bool* unknownMatrix) {
    const bool mono = chroma == pictures::Chroma::Mono;
    const heif_chroma asCoded = mono ? heif_chroma_monochrome
                                : chroma == pictures::Chroma::C420 ? heif_chroma_420
                                : chroma == pictures::Chroma::C422 ? heif_chroma_422
                                                                   : heif_chroma_444;
    heif_image* raw = nullptr;
    if (heif_decode_image(heif.handle.get(), &raw, mono ? heif_colorspace_monochrome : heif_colorspace_YCbCr,
                          asCoded, nullptr)
            .code != heif_error_Ok)
        return QImage();
    const HeifImage decoded(raw);
    pictures::YuvPicture picture;
    picture.luma = planeOf(raw, heif_channel_Y);
    picture.width = picture.luma.width;
    picture.height = picture.luma.height;
    if (!mono) {
        picture.cb = planeOf(raw, heif_channel_Cb);
        picture.cr = planeOf(raw, heif_channel_Cr);
    }
    picture.alpha = planeOf(raw, heif_channel_Alpha);
    // The codec's own description, else the file's; else BT.601 full range,
    // which libheif's own conversion takes (whatever the file says).
    heif_color_profile_nclx* nclx = nullptr;
    if (heif_image_get_nclx_color_profile(raw, &nclx).code != heif_error_Ok || !nclx) {
        nclx = nullptr;
        if (heif_image_handle_get_nclx_color_profile(heif.handle.get(), &nclx).code != heif_error_Ok) nclx = nullptr;
    }
    if (nclx) {
        picture.matrix = int(nclx->matrix_coefficients);
        picture.fullRange = nclx->full_range_flag != 0;
        heif_nclx_color_profile_free(nclx);
    }
    if (!pictures::knownYuvMatrix(picture.matrix)) {
        *unknownMatrix = true;
        return QImage();
    }
    const QSize full(picture.width, picture.height);
    // Made whole and left to Qt when it is to grow.
    const QSize made = stored.isEmpty() || stored.width() > full.width() || stored.height() > full.height() ? full : stored;
    if (made.isEmpty()) return QImage();
    QImage image(made, picture.alpha.data ? QImage::Format_RGBA8888_Premultiplied : QImage::Format_RGBX8888);
    if (image.isNull() ||
        !pictures::yuvToRgba(picture, made.width(), made.height(), image.bits(), image.bytesPerLine()))
        return QImage();
    if (stored.isEmpty() || made == stored) return image;
    return image.scaled(stored, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage decodeHeif(const QString& path, const QSize& target, const pictures::Header& header) {
    HeifPrimary heif;
    if (!openHeif(path, &heif)) return QImage();
    // Scaled before it is turned, so in the file's own orientation.
    const QSize stored = orientationTurnsSideways(heif.exifOrientation) ? target.transposed() : target;
    bool unknownMatrix = header.chroma == pictures::Chroma::Unknown;
    QImage image = unknownMatrix ? QImage() : decodeHeifPlanes(heif, stored, header.chroma, &unknownMatrix);
    // libheif's own conversion holds far more than the planes: only when that fits too.
    if (unknownMatrix && fitsBudget(pictures::heifThroughRgb(header), target)) image = decodeHeifRgb(heif, stored);
    return toDisplayColours(applyOrientation(image, heif.exifOrientation), heif.handle.get());
}

bool turnsSideways(const QImageReader& reader) {
    return reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
}
}  // namespace

QSize pictureSize(const QString& path) {
    if (!openable(path)) return QSize();
    const UnderWay busy;
    const pictures::Header header = headerOf(path);
    // One that does not fit even as a single pixel is no readable picture.
    if (!pictures::withinBudget(header, 1, 1)) return QSize();
    if (header.format == pictures::Format::Heif) return heifSize(path);
    const QSize stored(int(header.width), int(header.height));
    if (stored.width() <= 0 || stored.height() <= 0) return QSize();
    if (header.format != pictures::Format::Jpeg && header.format != pictures::Format::Tiff) return stored;
    const auto r = readerFor(path, header);
    return r && turnsSideways(r->reader) ? stored.transposed() : stored;
}

QImage decodePicture(const QString& path, const QSize& target) {
    if (!openable(path)) return QImage();
    const UnderWay busy;
    // Kept open: the colour profile is looked for in the bytes already read.
    FileSource source(path);
    const pictures::Header header = pictures::readHeader(source);
    if (!fitsBudget(header, target)) return QImage();
    if (header.format == pictures::Format::Heif) return decodeHeif(path, target, header);
    const auto r = readerFor(path, header);
    if (!r) return QImage();
    QImageReader& reader = r->reader;
    reader.setAutoTransform(true);
    // The reader scales before it turns the picture, so it is given the
    // size in the file's own orientation.
    // Qt scales a 1-bit picture (a one- or two-colour PNG, a GIF, a BMP) to
    // 1 bit again, dithered to black and white: such pictures, a bit a pixel,
    // are read whole and given their true colours before they are scaled.
    const QImage::Format stored = reader.imageFormat();
    const bool oneBit = stored == QImage::Format_Mono || stored == QImage::Format_MonoLSB;
    if (!target.isEmpty() && !oneBit)
        reader.setScaledSize(turnsSideways(reader) ? target.transposed() : target);
    QImage image = reader.read();
    if (oneBit && !image.isNull())
        image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (!image.isNull() && !target.isEmpty() && image.size() != target) {
        image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    // Converted once scaled: the fewer pixels the cheaper.
    return toDisplayColours(std::move(image), source, header.format);
}

bool isAnimatedPicture(const QString& path) {
    if (!openable(path)) return false;
    const UnderWay busy;
    const pictures::Header header = headerOf(path);
    if (!pictures::mayAnimate(header)) return false;
    const auto r = readerFor(path, header);
    return r && r->reader.supportsAnimation() && r->reader.imageCount() > 1;
}

QImage readThumbnailPng(const QString& path, int most) {
    if (!openable(path)) return QImage();
    const UnderWay busy;
    const pictures::Header header = headerOf(path);
    if (header.format != pictures::Format::Png || header.width > std::uint32_t(most) ||
        header.height > std::uint32_t(most))
        return QImage();
    const auto r = readerFor(path, header, true);
    return r ? r->reader.read() : QImage();
}

QFuture<QImage> decodePictureLater(const QString& path, const QSize& target) {
    // One worker, never destroyed: nothing waits for it at the end.
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool;
        p->setMaxThreadCount(1);
        return p;
    }();
    auto promise = std::make_shared<QPromise<QImage>>();
    promise->start();
    QFuture<QImage> future = promise->future();
    pool->start([promise, path, target] {
        promise->addResult(decodePicture(path, target));
        promise->finish();
    });
    return future;
}

int decodesUnderWay() { return g_decodesUnderWay.load(); }

void endLeavingDecodes(int code) {
    if (decodesUnderWay() == 0) return;
    std::fflush(nullptr);
    ::_exit(code);
}

void limitDecoderMemory() {
    // libjpeg keeps a multi-scan picture's coefficients outside Qt's bound;
    // this caps them (in thousands of bytes), behind the header check.
    if (!std::getenv("JPEGMEM"))
        setenv("JPEGMEM", std::to_string(pictures::kDecodeBudgetBytes / 1000).c_str(), 0);
    // Picture buffers go back to the system when freed: left to itself, the
    // allocator raises this bound after the first large free and keeps the
    // next decode's buffers in its heap, beside the old ones.
    mallopt(M_MMAP_THRESHOLD, 4 << 20);
}

}  // namespace platform
