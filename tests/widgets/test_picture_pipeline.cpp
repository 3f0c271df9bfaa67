// Pictures as the player decodes them: EXIF orientation, device pixel ratio,
// decoding ahead and its cache, animated GIFs; and bad files of every kind
// handed to the real player, which must go on or offer "Can't open!!".

#include "platform/ColourManage.h"
#include "platform/PictureDecode.h"
#include "player/PicturePipeline.h"
#include "player/frmMain.h"

#include "FifoWatch.h"
#include "MessageBoxes.h"
#include "QtWait.h"
#include "TempDir.h"

#include <QApplication>
#include <QBuffer>
#include <QColorSpace>
#include <QColorTransform>
#include <QCursor>
#include <QFile>
#include <QImageWriter>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QThreadPool>

#include <gtest/gtest.h>
#include <lcms2.h>
#include <libheif/heif.h>

#include <cstring>
#include <functional>
#include <optional>

namespace {

// A picture whose left half is red and right half blue.
QImage halves(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::blue);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w / 2; ++x) image.setPixel(x, y, qRgb(255, 0, 0));
    return image;
}

bool near(QRgb got, QColor want) {
    return std::abs(qRed(got) - want.red()) < 40 && std::abs(qGreen(got) - want.green()) < 40 &&
           std::abs(qBlue(got) - want.blue()) < 40;
}

TEST(PictureDecodeTest, ExifOrientationTurnsSizeAndPicture) {
    TempDir dir;
    const QString path = QString::fromStdString(dir.file("turned.jpg"));
    QImageWriter writer(path, "jpeg");
    writer.setQuality(95);
    // Stored 80 x 40, shown turned a quarter clockwise: 40 x 80, red on top.
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    ASSERT_TRUE(writer.write(halves(80, 40)));
    ASSERT_EQ(platform::pictureSize(path), QSize(40, 80));

    const player::FittedPicture p = player::decodeFitted(path, QSize(200, 200), 1.0);
    ASSERT_FALSE(p.image.isNull());
    EXPECT_EQ(p.natural, QSize(40, 80));
    EXPECT_EQ(p.fit, (player::Rect{50, 0, 100, 200}));
    EXPECT_EQ(p.image.size(), QSize(100, 200));
    EXPECT_TRUE(near(p.image.pixel(50, 20), Qt::red));
    EXPECT_TRUE(near(p.image.pixel(50, 180), Qt::blue));
}

std::string PngBytes() {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    halves(64, 48).save(&buffer, "PNG");
    return bytes.toStdString();
}

std::string PngChunk(const char* type, const QByteArray& data) {
    std::string typed = std::string(type, 4) + data.toStdString();
    quint32 crc = 0xFFFFFFFFu;
    for (unsigned char c : typed) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    crc ^= 0xFFFFFFFFu;
    const auto be32 = [](quint32 v) {
        return std::string{char(v >> 24), char((v >> 16) & 0xFF), char((v >> 8) & 0xFF), char(v & 0xFF)};
    };
    return be32(static_cast<quint32>(data.size())) + typed + be32(crc);
}

// A PNG of 20000 x 20000 RGBA pixels (1.6 GB decoded) from a few kilobytes of zeros.
std::string PngBomb() {
    QByteArray header("\x00\x00\x4E\x20\x00\x00\x4E\x20\x08\x06\x00\x00\x00", 13);
    const QByteArray rows = qCompress(QByteArray(64 * (1 + 20000 * 4), '\0'), 9).mid(4);
    return std::string("\x89PNG\r\n\x1A\n", 8) + PngChunk("IHDR", header) + PngChunk("IDAT", rows) +
           PngChunk("IEND", QByteArray());
}

// A well-formed MP4 holding a movie header and no track at all.
std::string Mp4WithoutStreams() {
    std::string ftyp("\x00\x00\x00\x18" "ftypisom\x00\x00\x02\x00" "isommp41", 24);
    std::string mvhd("\x00\x00\x00\x6C" "mvhd", 8);
    mvhd += std::string(12, '\0') + std::string("\x00\x00\x03\xE8", 4) + std::string(4, '\0');  // timescale 1000
    mvhd += std::string("\x00\x01\x00\x00\x01\x00", 6) + std::string(10, '\0');                  // rate, volume
    mvhd += std::string("\x00\x01\x00\x00", 4) + std::string(12, '\0') + std::string("\x00\x01\x00\x00", 4) +
            std::string(12, '\0') + std::string("\x40\x00\x00\x00", 4);                            // matrix
    mvhd += std::string(24, '\0') + std::string("\x00\x00\x00\x01", 4);
    return ftyp + std::string("\x00\x00\x00\x74" "moov", 8) + mvhd;
}

// Today's formats decode through the same function as the old ones. The HEIC
// and the AVIF are made by libheif's encoder from a JPEG turned by its EXIF
// orientation, which the encoder keeps as EXIF only.
TEST(PictureDecodeTest, PngWebpTiffHeicAndAvifDecodeTurnedAndScaled) {
    TempDir dir;
    for (const char* format : {"png", "webp", "tiff"}) {
        const QString path = QString::fromStdString(dir.file(std::string("p.") + format));
        QImageWriter writer(path, format);
        if (std::string_view(format) == "webp") writer.setQuality(100);
        ASSERT_TRUE(writer.write(halves(80, 40))) << format << ": " << writer.errorString().toStdString();
        EXPECT_EQ(platform::pictureSize(path), QSize(80, 40)) << format;
        const QImage image = platform::decodePicture(path, QSize(40, 20));
        ASSERT_EQ(image.size(), QSize(40, 20)) << format;
        EXPECT_TRUE(near(image.pixel(5, 10), Qt::red)) << format;
        EXPECT_TRUE(near(image.pixel(35, 10), Qt::blue)) << format;
    }
    // A one-colour PNG, which tools store as a 1-bit palette, keeps its colour when scaled.
    const QString palette = QString::fromStdString(dir.file("palette.png"));
    ASSERT_EQ(std::system(("convert -size 300x400 xc:orange '" + palette.toStdString() + "'").c_str()), 0);
    const QImage flat = platform::decodePicture(palette, QSize(96, 128));
    ASSERT_EQ(flat.size(), QSize(96, 128));
    EXPECT_TRUE(near(flat.pixel(40, 60), QColor(255, 165, 0))) << QColor(flat.pixel(40, 60)).name().toStdString();
    const std::string jpeg = dir.file("turned.jpg");
    QImageWriter writer(QString::fromStdString(jpeg), "jpeg");
    writer.setQuality(95);
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    ASSERT_TRUE(writer.write(halves(80, 40)));
    for (const char* name : {"phone photo.heic", "phone photo.avif"}) {
        const std::string heif = dir.file(name);
        ASSERT_EQ(std::system(("heif-enc -q 95 '" + jpeg + "' -o '" + heif + "' >/dev/null 2>&1").c_str()), 0)
            << "heif-enc (libheif-examples) made no " << name;
        const QString path = QString::fromStdString(heif);
        EXPECT_EQ(platform::pictureSize(path), QSize(40, 80)) << name;
        const player::FittedPicture p = player::decodeFitted(path, QSize(200, 200), 1.0);
        ASSERT_EQ(p.image.size(), QSize(100, 200)) << name;
        EXPECT_TRUE(near(p.image.pixel(50, 20), Qt::red)) << name;
        EXPECT_TRUE(near(p.image.pixel(50, 180), Qt::blue)) << name;
        EXPECT_FALSE(p.animated) << name;
    }

    // A bomb is refused by its header, before any row is inflated.
    const std::string bomb = dir.file("bomb.png");
    TempDir::put(bomb, PngBomb());
    EXPECT_TRUE(platform::decodePicture(QString::fromStdString(bomb), QSize()).isNull());
}

TEST(PictureDecodeTest, DecodedAtDevicePixelsForTheScreensRatio) {
    TempDir dir;
    const QString path = QString::fromStdString(dir.file("small.bmp"));
    ASSERT_TRUE(halves(50, 25).save(path));
    const player::FittedPicture p = player::decodeFitted(path, QSize(100, 100), 2.0);
    EXPECT_EQ(p.fit, (player::Rect{0, 25, 100, 50}));
    EXPECT_EQ(p.image.size(), QSize(200, 100));
    EXPECT_DOUBLE_EQ(p.image.devicePixelRatio(), 2.0);
    EXPECT_FALSE(p.animated);
}

// Within a few units of `want`: colour conversions round differently.
::testing::AssertionResult closeTo(QRgb got, QRgb want, int units = 4) {
    if (std::abs(qRed(got) - qRed(want)) <= units && std::abs(qGreen(got) - qGreen(want)) <= units &&
        std::abs(qBlue(got) - qBlue(want)) <= units)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << qRed(got) << "," << qGreen(got) << "," << qBlue(got)
                                         << " want " << qRed(want) << "," << qGreen(want) << "," << qBlue(want);
}

// An Adobe RGB profile Qt does not parse (its connection space is Lab), for
// Little CMS alone.
QByteArray adobeProfileWithLabConnection() {
    const cmsCIExyY white{0.3127, 0.3290, 1.0};
    const cmsCIExyYTRIPLE primaries{{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}};
    cmsToneCurve* curve = cmsBuildGamma(nullptr, 2.19921875);
    cmsToneCurve* curves[3] = {curve, curve, curve};
    cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(curve);
    cmsSetPCS(profile, cmsSigLabData);
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    QByteArray icc(qsizetype(size), '\0');
    cmsSaveProfileToMem(profile, icc.data(), &size);
    cmsCloseProfile(profile);
    return icc;
}

// A JPEG with `icc` in an APP2 segment right after its start.
QByteArray withIccSegment(const QByteArray& jpeg, const QByteArray& icc) {
    const QByteArray body = QByteArray("ICC_PROFILE", 12) + char(1) + char(1) + icc;
    const int length = int(body.size()) + 2;
    return jpeg.left(2) + "\xFF\xE2" + char(length >> 8) + char(length & 0xFF) + body + jpeg.mid(2);
}

// How a test picture is coded by libheif's encoders.
struct HeifCoding {
    heif_compression_format codec = heif_compression_HEVC;
    const char* chroma = "420";
    int matrix = -1;  // -1: no nclx description
    bool fullRange = true;
    int primaries = 1;
    int transfer = 13;
    // Its 4:2:0 planes made here by the description's matrix and range
    // (libheif's encoder codes BT.601 full range whatever it writes).
    bool ownPlanes = false;
};

// Fills `image` (YCbCr 4:2:0, 8 bits) from an opaque `rgb` by BT.709 or BT.2020.
bool fillPlanes(heif_image* image, const QImage& rgb, int matrix, bool fullRange) {
    const int w = rgb.width(), h = rgb.height(), cw = (w + 1) / 2, ch = (h + 1) / 2;
    if (heif_image_add_plane(image, heif_channel_Y, w, h, 8).code != heif_error_Ok ||
        heif_image_add_plane(image, heif_channel_Cb, cw, ch, 8).code != heif_error_Ok ||
        heif_image_add_plane(image, heif_channel_Cr, cw, ch, 8).code != heif_error_Ok)
        return false;
    const double kr = matrix == 1 ? 0.2126 : 0.2627, kb = matrix == 1 ? 0.0722 : 0.0593;
    const double ys = fullRange ? 255 : 219, yo = fullRange ? 0 : 16, cs = fullRange ? 255 : 224;
    int sy = 0, sb = 0, sr = 0;
    uint8_t* y = heif_image_get_plane(image, heif_channel_Y, &sy);
    uint8_t* cb = heif_image_get_plane(image, heif_channel_Cb, &sb);
    uint8_t* cr = heif_image_get_plane(image, heif_channel_Cr, &sr);
    const auto luma = [&](QRgb p) { return (kr * qRed(p) + (1 - kr - kb) * qGreen(p) + kb * qBlue(p)) / 255; };
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) y[row * sy + col] = uint8_t(std::lround(yo + ys * luma(rgb.pixel(col, row))));
    for (int row = 0; row < ch; ++row)
        for (int col = 0; col < cw; ++col) {
            // The chroma of the top left pixel of each 2 x 2.
            const QRgb p = rgb.pixel(2 * col, 2 * row);
            const double l = luma(p);
            cb[row * sb + col] = uint8_t(std::lround(128 + cs * (qBlue(p) / 255.0 - l) / (2 * (1 - kb))));
            cr[row * sr + col] = uint8_t(std::lround(128 + cs * (qRed(p) / 255.0 - l) / (2 * (1 - kr))));
        }
    return true;
}

// `picture` (alpha kept when it has any) coded as `coding` says.
bool writeHeif(const std::string& path, const QImage& picture, const HeifCoding& coding) {
    const bool alpha = picture.hasAlphaChannel();
    const QImage rgba = picture.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    const int w = rgba.width(), h = rgba.height();
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    heif_image* image = nullptr;
    heif_color_profile_nclx* nclx = heif_nclx_color_profile_alloc();
    heif_encoding_options* options = heif_encoding_options_alloc();
    bool ok = heif_context_get_encoder_for_format(context, coding.codec, &encoder).code == heif_error_Ok;
    if (ok && coding.ownPlanes) {
        ok = heif_image_create(w, h, heif_colorspace_YCbCr, heif_chroma_420, &image).code == heif_error_Ok &&
             fillPlanes(image, picture, coding.matrix, coding.fullRange);
    } else if (ok) {
        ok = heif_image_create(w, h, heif_colorspace_RGB,
                               alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, &image)
                     .code == heif_error_Ok &&
             heif_image_add_plane(image, heif_channel_interleaved, w, h, 8).code == heif_error_Ok;
        int stride = 0;
        uint8_t* pixels = ok ? heif_image_get_plane(image, heif_channel_interleaved, &stride) : nullptr;
        for (int y = 0; pixels && y < h; ++y)
            std::memcpy(pixels + y * stride, rgba.constScanLine(y), size_t(w) * (alpha ? 4 : 3));
    }
    if (ok) {
        heif_encoder_set_lossy_quality(encoder, coding.ownPlanes ? 100 : 90);
        heif_encoder_set_parameter_string(encoder, "chroma", coding.chroma);
        if (coding.matrix >= 0) {
            nclx->color_primaries = heif_color_primaries(coding.primaries);
            nclx->transfer_characteristics = heif_transfer_characteristics(coding.transfer);
            nclx->matrix_coefficients = heif_matrix_coefficients(coding.matrix);
            nclx->full_range_flag = coding.fullRange ? 1 : 0;
            options->output_nclx_profile = nclx;
            options->macOS_compatibility_workaround_no_nclx_profile = 0;
            // Planes made here are said to be libheif's own coding, or its
            // encoder would code them again; the file says the truth after.
            if (coding.ownPlanes) nclx->matrix_coefficients = heif_matrix_coefficients(6), nclx->full_range_flag = 1;
            ok = heif_image_set_nclx_color_profile(image, nclx).code == heif_error_Ok;
        }
        ok = ok && heif_context_encode_image(context, image, encoder, options, nullptr).code == heif_error_Ok &&
             heif_context_write_to_file(context, path.c_str()).code == heif_error_Ok;
    }
    if (ok && coding.ownPlanes) {
        // The colr box: primaries, transfer, matrix (16 bits each), range.
        QByteArray bytes = QByteArray::fromStdString(TempDir::get(path));
        const qsizetype at = bytes.indexOf("colrnclx");
        ok = at > 0 && at + 15 <= bytes.size();
        if (ok) {
            bytes[at + 13] = char(coding.matrix);
            bytes[at + 14] = char(coding.fullRange ? 0x80 : 0);
            TempDir::put(path, bytes.toStdString());
        }
    }
    heif_encoding_options_free(options);
    heif_nclx_color_profile_free(nclx);
    if (image) heif_image_release(image);
    if (encoder) heif_encoder_release(encoder);
    heif_context_free(context);
    return ok;
}

// A HEIC of `colour` in Display P3, said by an nclx description (libheif's
// encoder program writes none).
bool heicOfDisplayP3(const std::string& path, QRgb colour) {
    QImage image(32, 32, QImage::Format_RGB32);
    image.fill(colour);
    HeifCoding coding;
    coding.matrix = 6, coding.primaries = 12;
    return writeHeif(path, image, coding);
}

// The picture as libheif itself turns it into RGB, premultiplied.
QImage libheifRgb(const std::string& path) {
    heif_context* context = heif_context_alloc();
    heif_image_handle* handle = nullptr;
    heif_image* image = nullptr;
    QImage out;
    if (heif_context_read_from_file(context, path.c_str(), nullptr).code == heif_error_Ok &&
        heif_context_get_primary_image_handle(context, &handle).code == heif_error_Ok) {
        const bool alpha = heif_image_handle_has_alpha_channel(handle);
        if (heif_decode_image(handle, &image, heif_colorspace_RGB,
                              alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, nullptr)
                .code == heif_error_Ok) {
            int stride = 0;
            const uint8_t* pixels = heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride);
            out = QImage(pixels, heif_image_get_width(image, heif_channel_interleaved),
                         heif_image_get_height(image, heif_channel_interleaved), stride,
                         alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888)
                      .convertToFormat(QImage::Format_ARGB32_Premultiplied);
            heif_image_release(image);
        }
        heif_image_handle_release(handle);
    }
    heif_context_free(context);
    return out;
}

// The largest difference of any channel of any pixel (premultiplied).
int largestDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return 256;
    const QImage x = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    int most = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            most = std::max({most, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                             std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    return most;
}

// The planes as coded are turned into RGB as libheif would, whole or shrunk
// as Qt would shrink libheif's RGB: each chroma sampling, alpha, odd sizes.
// A BT.709 or BT.2020 description is followed (libheif's own conversion
// takes BT.601 full range whatever the file says) and gives the picture back.
TEST(PictureDecodeTest, HeifPlanesMatchLibheifsOwnColours) {
    TempDir dir;
    QImage picture(61, 47, QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgba(x * 4, y * 5, (x * y) & 255, x < 30 ? 255 : 255 - 2 * y));
    const QImage opaque = picture.convertToFormat(QImage::Format_RGB32);
    struct Case {
        const char* name;
        HeifCoding coding;
        bool alpha;
    };
    const Case cases[] = {
        {"plain.heic", {}, false},
        {"444.heic", {heif_compression_HEVC, "444", 6, true}, false},
        {"422.heic", {heif_compression_HEVC, "422"}, false},
        {"alpha.heic", {heif_compression_HEVC, "420", 6, true}, true},
        {"alpha.avif", {heif_compression_AV1, "420"}, true},
    };
    for (const Case& c : cases) {
        const std::string path = dir.file(c.name);
        ASSERT_TRUE(writeHeif(path, c.alpha ? picture : opaque, c.coding)) << c.name;
        const QImage reference = libheifRgb(path);
        ASSERT_FALSE(reference.isNull()) << c.name;
        const QString file = QString::fromStdString(path);
        EXPECT_LE(largestDifference(platform::decodePicture(file, {}), reference), 3) << c.name;
        for (const QSize size : {QSize(20, 15), QSize(7, 30)})
            EXPECT_LE(largestDifference(platform::decodePicture(file, size),
                                        reference.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)),
                      3)
                << c.name << " at " << size.width() << " x " << size.height();
    }

    // Smooth colours, so that the shared chroma of each 2 x 2 costs little.
    QImage smooth(40, 30, QImage::Format_RGB32);
    for (int y = 0; y < smooth.height(); ++y)
        for (int x = 0; x < smooth.width(); ++x) smooth.setPixel(x, y, qRgb(40 + x * 4, 200 - y * 5, 60 + x * 2 + y * 2));
    for (const auto& [matrix, fullRange] : {std::pair{1, false}, std::pair{9, true}}) {
        const std::string path = dir.file("own" + std::to_string(matrix) + ".heic");
        HeifCoding coding{heif_compression_HEVC, "420", matrix, fullRange};
        coding.ownPlanes = true;
        ASSERT_TRUE(writeHeif(path, smooth, coding));
        const QString file = QString::fromStdString(path);
        EXPECT_LE(largestDifference(platform::decodePicture(file, {}), smooth), 12) << matrix;
        EXPECT_LE(largestDifference(platform::decodePicture(file, QSize(10, 10)),
                                    smooth.scaled(10, 10, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)),
                  6)
            << matrix;
    }
}

// Adobe RGB (60,160,90) is about (0,161,85) in sRGB; a picture that says
// nothing of its colours is left exactly as it is.
TEST(PictureDecodeTest, EmbeddedProfilesAreShownInTheDisplaysColours) {
    TempDir dir;
    const QRgb adobeGreen = qRgb(60, 160, 90);
    QImage adobe(32, 32, QImage::Format_RGB32);
    adobe.fill(adobeGreen);
    adobe.setColorSpace(QColorSpace::AdobeRgb);
    const QString jpeg = QString::fromStdString(dir.file("adobe.jpg"));
    const QString png = QString::fromStdString(dir.file("adobe.png"));
    QImageWriter jpegWriter(jpeg, "jpeg");
    jpegWriter.setQuality(100);
    ASSERT_TRUE(jpegWriter.write(adobe));
    ASSERT_TRUE(adobe.save(png));
    QImage plain = adobe;
    plain.setColorSpace(QColorSpace());
    const QString untagged = QString::fromStdString(dir.file("plain.png"));
    ASSERT_TRUE(plain.save(untagged));
    const QString lab = QString::fromStdString(dir.file("lab.jpg"));
    QBuffer bareJpeg;
    ASSERT_TRUE(bareJpeg.open(QIODevice::WriteOnly) && plain.save(&bareJpeg, "jpeg", 100));
    TempDir::put(lab.toStdString(), withIccSegment(bareJpeg.data(), adobeProfileWithLabConnection()).toStdString());
    ASSERT_FALSE(QColorSpace::fromIccProfile(adobeProfileWithLabConnection()).isValid());

    const QRgb srgb = qRgb(0, 161, 85);
    for (const QString& path : {jpeg, png, lab}) {
        const QImage image = platform::decodePicture(path, QSize(16, 16));
        ASSERT_EQ(image.size(), QSize(16, 16)) << path.toStdString();
        EXPECT_TRUE(closeTo(image.pixel(8, 8), srgb)) << path.toStdString();
    }
    EXPECT_EQ(platform::decodePicture(untagged, QSize(16, 16)).pixel(8, 8), adobeGreen);

    // With the display's profile published, pictures are converted to it.
    platform::setDisplayProfile(QColorSpace(QColorSpace::DisplayP3).iccProfile());
    const QRgb p3 = QColorSpace(QColorSpace::AdobeRgb).transformationToColorSpace(QColorSpace::DisplayP3).map(adobeGreen);
    for (const QString& path : {jpeg, lab}) EXPECT_TRUE(closeTo(platform::decodePicture(path, {}).pixel(8, 8), p3));
    EXPECT_EQ(platform::decodePicture(untagged, {}).pixel(8, 8), adobeGreen);
    platform::setDisplayProfile({});

    // A HEIC of Display P3 described by nclx rather than by a profile.
    const std::string heic = dir.file("p3.heic");
    ASSERT_TRUE(heicOfDisplayP3(heic, adobeGreen));
    const QRgb fromP3 = QColorSpace(QColorSpace::DisplayP3).transformationToColorSpace(QColorSpace::SRgb).map(adobeGreen);
    EXPECT_TRUE(closeTo(platform::decodePicture(QString::fromStdString(heic), {}).pixel(8, 8), fromP3, 6));
    // sRGB (or unspecified) and HDR curves leave the picture as it is.
    EXPECT_FALSE(platform::colourSpaceOfNclx(1, 13).isValid());
    EXPECT_FALSE(platform::colourSpaceOfNclx(9, 16).isValid());
    EXPECT_TRUE(platform::colourSpaceOfNclx(9, 1).isValid());
}

TEST(PictureDecodeTest, AnimatedGifIsNotedStillGifIsNot) {
    TempDir dir;
    const std::string anim = dir.file("anim.gif");
    const std::string still = dir.file("still.gif");
    const std::string cmd = "convert -delay 10 -size 30x20 xc:red xc:blue -loop 0 '" + anim + "' && convert -size 30x20 xc:red '" + still + "'";
    if (std::system(cmd.c_str()) != 0) GTEST_SKIP() << "no ImageMagick";
    EXPECT_TRUE(player::decodeFitted(QString::fromStdString(anim), QSize(60, 40), 1.0).animated);
    EXPECT_FALSE(player::decodeFitted(QString::fromStdString(still), QSize(60, 40), 1.0).animated);
}

class PipelineTest : public ::testing::Test {
protected:
    void add(const char* name, QColor color, int w = 40, int h = 30) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(color);
        const std::string path = dir.file(name);
        ASSERT_TRUE(image.save(QString::fromStdString(path)));
        list.paths[static_cast<std::size_t>(list.count)] = path;
        ++list.count;
    }
    TempDir dir;
    mdlPublic::PlayList list;
    player::PicturePipeline pipeline;
    const QSize frame{80, 60};
};

TEST_F(PipelineTest, NeighboursAreDecodedAheadAndOthersDropped) {
    add("a.bmp", Qt::red);
    add("b.bmp", Qt::green);
    add("c.bmp", Qt::blue);
    add("d.bmp", Qt::yellow);
    add("e.bmp", Qt::cyan);
    ASSERT_EQ(pipeline.take(list.paths[0], frame, 1.0).image.pixel(1, 1), QColor(Qt::red).rgb());
    pipeline.prefetch(list, frame, 1.0);
    EXPECT_EQ(pipeline.cachedCount(), 3u);  // a, then b and e ahead
    player::PicturePipeline::pool().waitForDone();

    // Stepping on: b comes from the cache; a stays as b's previous, e goes.
    list.position = 1;
    EXPECT_EQ(pipeline.take(list.paths[1], frame, 1.0).image.pixel(1, 1), QColor(Qt::green).rgb());
    pipeline.prefetch(list, frame, 1.0);
    EXPECT_EQ(pipeline.cachedCount(), 3u);
    // A changed screen size decodes afresh.
    pipeline.prefetch(list, QSize(40, 30), 1.0);
    EXPECT_EQ(pipeline.cachedCount(), 2u);  // only the two neighbours under way
    player::PicturePipeline::pool().waitForDone();
}

TEST_F(PipelineTest, PictureChangedAfterItsDecodeAheadIsReadAgain) {
    add("a.bmp", Qt::red);
    add("b.bmp", Qt::green);
    pipeline.take(list.paths[0], frame, 1.0);
    pipeline.prefetch(list, frame, 1.0);
    player::PicturePipeline::pool().waitForDone();
    QImage other(20, 30, QImage::Format_RGB32);
    other.fill(Qt::blue);
    ASSERT_TRUE(other.save(QString::fromStdString(list.paths[1])));
    const player::FittedPicture p = pipeline.take(list.paths[1], frame, 1.0);
    EXPECT_EQ(p.natural, QSize(20, 30));
    EXPECT_EQ(p.image.pixel(1, 1), QColor(Qt::blue).rgb());
}

TEST_F(PipelineTest, FileRemovedAfterItsDecodeAheadIsNotShown) {
    add("a.bmp", Qt::red);
    add("b.bmp", Qt::green);
    pipeline.take(list.paths[0], frame, 1.0);
    pipeline.prefetch(list, frame, 1.0);
    player::PicturePipeline::pool().waitForDone();
    ASSERT_TRUE(QFile::remove(QString::fromStdString(list.paths[1])));
    EXPECT_TRUE(pipeline.take(list.paths[1], frame, 1.0).image.isNull());
}

TEST(AnimatedGifTest, FramesChangeWhileShownAndTheDisplayTimeStillCounts) {
    TempDir dir;
    const std::string anim = dir.file("anim.gif");
    const std::string cmd = "convert -delay 15 -size 30x20 xc:red xc:blue -loop 0 '" + anim + "'";
    if (std::system(cmd.c_str()) != 0) GTEST_SKIP() << "no ImageMagick";
    mdlPublic::PublicState state;
    state.fixedWidth = 300;
    state.fixedHeight = 200;
    state.interval = 2;
    state.playList.paths[0] = anim;
    state.playList.paths[1] = dir.file("second.bmp");
    QImage second(10, 10, QImage::Format_RGB32);
    second.fill(Qt::green);
    ASSERT_TRUE(second.save(QString::fromStdString(state.playList.paths[1])));
    state.playList.count = 2;

    player::frmMain player(nullptr, state);
    player.show();
    ASSERT_TRUE(waitFor([&] { return player.imgPct()->isVisible(); }, 8000));
    EXPECT_EQ(player.imgPct()->geometry(), QRect(0, 0, 300, 200));
    bool red = false;
    bool blue = false;
    waitFor([&] {
        const QColor c = player.imgPct()->grab().toImage().pixelColor(150, 100);
        red = red || (c.red() > 200 && c.blue() < 60);
        blue = blue || (c.blue() > 200 && c.red() < 60);
        return (red && blue) || state.playList.position != 0;
    }, 1500);
    EXPECT_TRUE(red && blue) << "the picture did not animate";
    EXPECT_EQ(state.playList.position, 0);
    // Two seconds of display time move the show on as for a still picture.
    EXPECT_TRUE(waitFor([&] { return state.playList.position == 1; }, 4000));
    player.close();
}

// Bad entries followed by a good picture: the player offers the failure path
// (answered Ignore) or shows what it can, and reaches the good picture.
struct BadRow {
    const char* name;
    std::function<void(const std::string& path, const TempDir& dir)> make;
    bool pipe = false;  // made a FIFO, which must be refused without being opened
    bool refused = false;  // nothing in it can be shown: the box must be offered
};

std::string jpegBytes() {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    halves(64, 48).save(&buffer, "JPEG");
    return bytes.toStdString();
}

const BadRow kBadRows[] = {
    {"empty.jpg", [](const std::string& p, const TempDir&) { TempDir::put(p, ""); }},
    {"truncated.jpg", [](const std::string& p, const TempDir&) { TempDir::put(p, jpegBytes().substr(0, 300)); }},
    {"corrupt.jpg",
     [](const std::string& p, const TempDir&) {
         std::string b = jpegBytes();
         for (std::size_t i = 200; i < b.size() - 2; i += 7) b[i] = static_cast<char>(0xFF);
         TempDir::put(p, b);
     }},
    {"truncated.gif", [](const std::string& p, const TempDir&) { TempDir::put(p, std::string("GIF89a\x10\x00\x10\x00\x80", 11)); }},
    {"text.gif", [](const std::string& p, const TempDir&) { TempDir::put(p, "GIF? no, a text file\n"); }},
    {"truncated.bmp", [](const std::string& p, const TempDir&) { TempDir::put(p, std::string("BM\x36\x10\x00\x00", 6)); }},
    {"huge header.bmp",
     [](const std::string& p, const TempDir&) {
         // Claims 60000 x 60000 pixels with no data behind the header.
         std::string h("BM", 2);
         h += std::string("\x36\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00\x28\x00\x00\x00", 16);
         h += std::string("\x60\xEA\x00\x00\x60\xEA\x00\x00\x01\x00\x18\x00", 12);
         h += std::string(24, '\0');
         TempDir::put(p, h);
     }},
    {"text named.avi", [](const std::string& p, const TempDir&) { TempDir::put(p, "this is no movie\n"); }},
    {"zero length.mpg", [](const std::string& p, const TempDir&) { TempDir::put(p, ""); }},
    {"missing entries.m3u",
     [](const std::string& p, const TempDir& d) { TempDir::put(p, "#EXTM3U\n" + d.file("gone1.mpg") + "\n" + d.file("gone 2.mpg") + "\n"); }},
    {"it's \"quoted\" 日本語.jpg", [](const std::string& p, const TempDir&) { TempDir::put(p, "not a picture"); }},
    {"truncated.png", [](const std::string& p, const TempDir&) { TempDir::put(p, PngBytes().substr(0, 100)); }},
    {"bomb.png", [](const std::string& p, const TempDir&) { TempDir::put(p, PngBomb()); }, false, true},
    {"not one.webp", [](const std::string& p, const TempDir&) { TempDir::put(p, std::string("RIFF\x20\0\0\0WEBPVP8 garbage, no picture", 35)); }, false, true},
    {"not one.heic", [](const std::string& p, const TempDir&) { TempDir::put(p, std::string("\0\0\0\x18" "ftypheic\0\0\0\0mif1heic" "broken", 30)); }, false, true},
    {"no streams.mp4", [](const std::string& p, const TempDir&) { TempDir::put(p, Mp4WithoutStreams()); }, false, true},
    {"pipe.jpg", nullptr, true},
    {"pipe.avi", nullptr, true},
};

class BadInputTest : public ::testing::TestWithParam<BadRow> {};

TEST_P(BadInputTest, ShowGoesOnToTheNextPicture) {
    const BadRow& row = GetParam();
    TempDir dir;
    mdlPublic::PublicState state;
    state.fixedWidth = 200;
    state.fixedHeight = 150;
    state.interval = 0;
    const std::string bad = dir.file(row.name);
    std::optional<FifoWatch> pipe;
    if (row.pipe) {
        pipe.emplace(bad);
        ASSERT_TRUE(pipe->made());
    } else {
        row.make(bad, dir);
    }
    QImage good(20, 20, QImage::Format_RGB32);
    good.fill(Qt::green);
    const std::string goodPath = dir.file("good pic ü.bmp");
    ASSERT_TRUE(good.save(QString::fromStdString(goodPath)));
    state.playList.paths[0] = bad;
    state.playList.paths[1] = goodPath;
    state.playList.count = 2;

    player::frmMain player(nullptr, state);
    // Answers Ignore to every "Can't open!!" box while the test runs.
    const ModalScript ignore({}, "無視(&I)");
    player.show();
    // A picture that decodes partly is shown and stays; the F8 step moves on.
    if (waitFor([&] { return player.imgPct()->isVisible() || state.playList.position == 1; }, 10000) &&
        state.playList.position == 0) {
        // The fixed-size window ignores the key table: step by a left click,
        // away from the corner pixel that ends the show.
        QCursor::setPos(120, 90);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(50, 50), QPointF(50, 50), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(50, 50), QPointF(50, 50), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&player, &press);
        QApplication::sendEvent(&player, &release);
    }
    EXPECT_TRUE(waitFor([&] { return state.playList.position == 1 && player.imgPct()->isVisible(); }, 10000))
        << row.name << ": position " << state.playList.position;
    const std::vector<ShownBox>& asked = ignore.seen();
    EXPECT_LE(asked.size(), 1u) << row.name;
    if (row.refused || pipe) {
        EXPECT_EQ(asked.size(), 1u) << row.name;
    }
    for (const ShownBox& box : asked)
        EXPECT_EQ(box.text, QString::fromStdString(bad) + QStringLiteral(" Can't open!!")) << row.name;
    if (pipe) {
        EXPECT_FALSE(pipe->opened()) << row.name;
    }
    EXPECT_FALSE(player.core().state().closed) << row.name;
    player.close();
}

std::string rowName(const ::testing::TestParamInfo<BadRow>& row) { return "row" + std::to_string(row.index); }

INSTANTIATE_TEST_SUITE_P(Rows, BadInputTest, ::testing::ValuesIn(kBadRows), rowName);

}  // namespace
