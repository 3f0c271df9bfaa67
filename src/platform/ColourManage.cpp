#include "ColourManage.h"

#include "ColourRules.h"

#include <libheif/heif.h>
#include <lcms2.h>
#include <xcb/xcb.h>
#include <zlib.h>

#include <QGuiApplication>
#include <QMutex>
#include <QPointF>

#include <cstdlib>
#include <memory>

namespace platform {

namespace {

struct Target {
    QByteArray icc;     // empty: sRGB
    QColorSpace space;  // Qt's reading of it; invalid when Qt cannot parse it
};

QMutex g_targetMutex;
Target g_target{QByteArray(), QColorSpace(QColorSpace::SRgb)};

Target currentTarget() {
    QMutexLocker lock(&g_targetMutex);
    return g_target;
}

// zlib data inflated, never to more than a profile may hold.
QByteArray inflated(const std::string& deflated) {
    QByteArray out;
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return {};
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(deflated.data()));
    z.avail_in = uInt(deflated.size());
    char buffer[64 * 1024];
    int status = Z_OK;
    while (status == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = sizeof buffer;
        status = inflate(&z, Z_NO_FLUSH);
        out.append(buffer, qsizetype(sizeof buffer - z.avail_out));
        if (std::size_t(out.size()) > colours::kMaxProfileBytes) status = Z_MEM_ERROR;
    }
    inflateEnd(&z);
    return status == Z_STREAM_END ? out : QByteArray();
}

QByteArray profileInFile(pictures::ByteSource& source, pictures::Format format) {
    colours::EmbeddedProfile found = colours::embeddedProfile(source, format);
    if (found.bytes.empty()) return {};
    return found.deflated ? inflated(found.bytes) : QByteArray::fromStdString(found.bytes);
}

// Formats Qt converts in place; others are brought to one first.
QImage convertible(QImage image) {
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGBX64:
    case QImage::Format_RGBA64:
    case QImage::Format_RGBA64_Premultiplied: return image;
    default:
        return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    }
}

struct ProfileClose {
    void operator()(void* p) const { cmsCloseProfile(p); }
};
using Profile = std::unique_ptr<void, ProfileClose>;

QImage viaLittleCms(QImage image, const QByteArray& sourceIcc, const Target& target) {
    const Profile source(cmsOpenProfileFromMem(sourceIcc.constData(), cmsUInt32Number(sourceIcc.size())));
    const Profile display(target.icc.isEmpty()
                              ? cmsCreate_sRGBProfile()
                              : cmsOpenProfileFromMem(target.icc.constData(), cmsUInt32Number(target.icc.size())));
    if (!source || !display || cmsGetColorSpace(source.get()) != cmsSigRgbData ||
        cmsGetColorSpace(display.get()) != cmsSigRgbData)
        return image;
    image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    constexpr cmsUInt32Number kPixels = TYPE_BGRA_8;
#else
    constexpr cmsUInt32Number kPixels = TYPE_ARGB_8;
#endif
    cmsHTRANSFORM transform = cmsCreateTransform(source.get(), kPixels, display.get(), kPixels,
                                                 INTENT_PERCEPTUAL, cmsFLAGS_COPY_ALPHA);
    if (!transform) return image;
    for (int y = 0; y < image.height(); ++y)
        cmsDoTransform(transform, image.constScanLine(y), image.scanLine(y), cmsUInt32Number(image.width()));
    cmsDeleteTransform(transform);
    image.setColorSpace(target.space);
    return image;
}

QImage convert(QImage image, const QColorSpace& source, const QByteArray& sourceIcc) {
    if (image.isNull() || (!source.isValid() && sourceIcc.isEmpty())) return image;
    const Target target = currentTarget();
    if (source.isValid() && target.space.isValid()) {
        if (source == target.space) return image;
        image = convertible(std::move(image));
        image.setColorSpace(source);
        image.convertToColorSpace(target.space);
        return image;
    }
    const QByteArray icc = !sourceIcc.isEmpty() ? sourceIcc : source.iccProfile();
    return icc.isEmpty() ? image : viaLittleCms(std::move(image), icc, target);
}

}  // namespace

QByteArray readDisplayProfile() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection) return {};
    static constexpr char kName[] = "_ICC_PROFILE";
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, sizeof kName - 1, kName), nullptr);
    const xcb_atom_t name = atom ? atom->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(atom);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (name == XCB_ATOM_NONE || !screen) return {};
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, screen->root, name, XCB_GET_PROPERTY_TYPE_ANY, 0,
                         std::uint32_t(colours::kMaxProfileBytes / 4)),
        nullptr);
    QByteArray icc;
    if (reply && reply->format == 8 && reply->bytes_after == 0)
        icc = QByteArray(static_cast<const char*>(xcb_get_property_value(reply)), xcb_get_property_value_length(reply));
    std::free(reply);
    return icc;
}

void setDisplayProfile(const QByteArray& icc) {
    Target target{icc, icc.isEmpty() ? QColorSpace(QColorSpace::SRgb) : QColorSpace::fromIccProfile(icc)};
    QMutexLocker lock(&g_targetMutex);
    g_target = std::move(target);
}

QImage toDisplayColours(QImage image, pictures::ByteSource& file, pictures::Format format) {
    if (image.isNull()) return image;
    const QColorSpace read = image.colorSpace();
    // What Qt could not parse it dropped: Little CMS may read the file's own profile.
    return convert(std::move(image), read, read.isValid() ? QByteArray() : profileInFile(file, format));
}

QImage toDisplayColours(QImage image, const heif_image_handle* handle) {
    if (image.isNull() || !handle) return image;
    switch (heif_image_handle_get_color_profile_type(handle)) {
    case heif_color_profile_type_nclx: {
        heif_color_profile_nclx* nclx = nullptr;
        if (heif_image_handle_get_nclx_color_profile(handle, &nclx).code != heif_error_Ok || !nclx) return image;
        const QColorSpace space = colourSpaceOfNclx(nclx->color_primaries, nclx->transfer_characteristics);
        heif_nclx_color_profile_free(nclx);
        return convert(std::move(image), space, {});
    }
    case heif_color_profile_type_prof:
    case heif_color_profile_type_rICC: {
        const std::size_t size = heif_image_handle_get_raw_color_profile_size(handle);
        if (size == 0 || size > colours::kMaxProfileBytes) return image;
        QByteArray icc(qsizetype(size), Qt::Uninitialized);
        if (heif_image_handle_get_raw_color_profile(handle, icc.data()).code != heif_error_Ok) return image;
        return convert(std::move(image), QColorSpace::fromIccProfile(icc), icc);
    }
    default: return image;
    }
}

QColorSpace colourSpaceOfNclx(int primariesCode, int transferCode) {
    const colours::NclxSpace nclx = colours::nclxSpace(primariesCode, transferCode);
    if (!nclx.usable || nclx.isSRgb) return {};
    const colours::Chromaticities& c = nclx.primaries;
    const auto curve = nclx.transfer == colours::Transfer::Linear  ? QColorSpace::TransferFunction::Linear
                       : nclx.transfer == colours::Transfer::Gamma ? QColorSpace::TransferFunction::Gamma
                                                                   : QColorSpace::TransferFunction::SRgb;
    return QColorSpace(QPointF(c.whiteX, c.whiteY), QPointF(c.redX, c.redY), QPointF(c.greenX, c.greenY),
                       QPointF(c.blueX, c.blueY), curve, float(nclx.gamma));
}

}  // namespace platform
