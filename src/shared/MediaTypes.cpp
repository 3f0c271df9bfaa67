#include "MediaTypes.h"

namespace media {

std::string extension(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return {};
    std::string ext(name.substr(dot + 1));
    for (char& c : ext) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return ext;
}

std::string_view typeName(std::string_view ext) {
    struct Row {
        std::string_view ext;
        std::string_view type;
    };
    static constexpr Row kRows[] = {
        {"AVI", kTypeVideoClip},  {"M1V", kTypeMovieClip}, {"MP2", kTypeMovieClip},
        {"MPA", kTypeMovieClip},  {"MPE", kTypeMovieClip}, {"MPEG", kTypeMovieClip},
        {"MPG", kTypeMovieClip},  {"MPV", kTypeMovieClip}, {"MPV2", kTypeMovieClip},
        {"M3U", kTypeM3u},        {"MOV", kTypeQuickTime}, {"QT", kTypeQuickTime},
        {"BMP", kTypeBitmap},     {"JFIF", kTypeJpeg},     {"JPE", kTypeJpeg},
        {"JPEG", kTypeJpeg},      {"JPG", kTypeJpeg},      {"GIF", kTypeGif},
        {"PNG", kTypePng},        {"WEBP", kTypeWebp},     {"TIF", kTypeTiff},
        {"TIFF", kTypeTiff},      {"HEIF", kTypeHeif},     {"HEIC", kTypeHeif},
        {"AVIF", kTypeAvif},      {"MP4", kTypeMp4},       {"M4V", kTypeMp4},
        {"MKV", kTypeMatroska},   {"WEBM", kTypeWebm},     {"OGV", kTypeOggVideo},
        {"MP3", kTypeMp3},        {"M4A", kTypeM4a},       {"OGG", kTypeOggAudio},
        {"OPUS", kTypeOpus},      {"FLAC", kTypeFlac},     {"WAV", kTypeWave},
    };
    for (const Row& r : kRows) {
        if (r.ext == ext) return r.type;
    }
    return {};
}

TypeCheck ChkFType(int filterIndex, std::string_view ext) {
    TypeCheck result;
    if (ext.empty() || filterIndex < 0 || filterIndex >= static_cast<int>(kFilterExtensions.size())) {
        return result;
    }
    // Whole comma-separated items only: "PE" or "MP" must not match part of one.
    std::string_view list = kFilterExtensions[static_cast<std::size_t>(filterIndex)];
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const std::string_view item = list.substr(0, comma);
        if (item == ext) {
            result.accepted = true;
            result.typeName = std::string(typeName(ext));
            return result;
        }
        if (comma == std::string_view::npos) break;
        list.remove_prefix(comma + 1);
    }
    return result;
}

bool isImage(std::string_view ext) {
    // JPE stays with the movie element, as it always has.
    static constexpr std::string_view kImages[] = {"BMP", "JFIF", "JPEG", "JPG",  "GIF",  "PNG",
                                                   "WEBP", "TIF", "TIFF", "HEIF", "HEIC", "AVIF"};
    for (std::string_view image : kImages) {
        if (image == ext) return true;
    }
    return false;
}

TypeKind kindOfType(std::string_view t) {
    static constexpr std::string_view kPictures[] = {kTypeBitmap, kTypeJpeg, kTypeGif,  kTypePng,
                                                     kTypeWebp,   kTypeTiff, kTypeHeif, kTypeAvif};
    static constexpr std::string_view kClips[] = {kTypeVideoClip, kTypeMovieClip, kTypeM3u,  kTypeQuickTime,
                                                  kTypeMp4,       kTypeMatroska,  kTypeWebm, kTypeOggVideo};
    static constexpr std::string_view kSounds[] = {kTypeMp3, kTypeM4a, kTypeOggAudio, kTypeOpus, kTypeFlac, kTypeWave};
    if (t.empty()) return TypeKind::None;
    for (std::string_view p : kPictures)
        if (p == t) return TypeKind::Picture;
    for (std::string_view c : kClips)
        if (c == t) return TypeKind::Clip;
    for (std::string_view s : kSounds)
        if (s == t) return TypeKind::Sound;
    return TypeKind::None;
}

}  // namespace media
