#pragma once
// What the program knows of a file's kind comes from its name's extension alone.

#include <array>
#include <string>
#include <string_view>

namespace media {

// The editor's type box, indexed as stored in PATTERN.
inline constexpr int kFilterMovies = 0;
inline constexpr int kFilterImages = 1;
inline constexpr int kFilterAll = 2;
inline constexpr std::array<std::string_view, 3> kFilterNames = {"MOVIE FILES", "IMAGE FILES", "ALL FILES"};
// Today's formats follow the original extensions of each list.
inline constexpr std::array<std::string_view, 3> kFilterExtensions = {
    "AVI,M1V,MP2,MPA,MPE,MPEG,MPG,MPV,MPV2,M3U,MOV,QT,"
    "MP4,M4V,MKV,WEBM,OGV,MP3,M4A,OGG,OPUS,FLAC,WAV",
    "BMP,JPE,JPEG,JPG,GIF,"
    "PNG,WEBP,TIF,TIFF,HEIF,HEIC,AVIF",
    "AVI,M1V,MP2,MPA,MPE,MPEG,MPG,MPV,MPV2,M3U,MOV,QT,BMP,JPE,JPEG,JPG,GIF,"
    "MP4,M4V,MKV,WEBM,OGV,MP3,M4A,OGG,OPUS,FLAC,WAV,PNG,WEBP,TIF,TIFF,HEIF,HEIC,AVIF",
};

// Type names keyed by extension; the editor's icons are keyed by these names.
inline constexpr std::string_view kTypeVideoClip = "Video Clip";
inline constexpr std::string_view kTypeMovieClip = "Movie Clip";
inline constexpr std::string_view kTypeM3u = "M3U ファイル";
inline constexpr std::string_view kTypeQuickTime = "QuickTime ムービー";
inline constexpr std::string_view kTypeBitmap = "ビットマップ イメージ";
inline constexpr std::string_view kTypeJpeg = "JPEG イメージ";
inline constexpr std::string_view kTypeGif = "GIF イメージ";
// Today's pictures, clips and sounds.
inline constexpr std::string_view kTypePng = "PNG イメージ";
inline constexpr std::string_view kTypeWebp = "WebP イメージ";
inline constexpr std::string_view kTypeTiff = "TIFF イメージ";
inline constexpr std::string_view kTypeHeif = "HEIF イメージ";
inline constexpr std::string_view kTypeAvif = "AVIF イメージ";
inline constexpr std::string_view kTypeMp4 = "MPEG-4 ビデオ";
inline constexpr std::string_view kTypeMatroska = "Matroska ビデオ";
inline constexpr std::string_view kTypeWebm = "WebM ビデオ";
inline constexpr std::string_view kTypeOggVideo = "Ogg ビデオ";
inline constexpr std::string_view kTypeMp3 = "MP3 オーディオ";
inline constexpr std::string_view kTypeM4a = "MPEG-4 オーディオ";
inline constexpr std::string_view kTypeOggAudio = "Ogg オーディオ";
inline constexpr std::string_view kTypeOpus = "Opus オーディオ";
inline constexpr std::string_view kTypeFlac = "FLAC オーディオ";
inline constexpr std::string_view kTypeWave = "WAVE オーディオ";

// The type names that have an icon picture, in the order of the icon lists.
inline constexpr std::array<std::string_view, 21> kIconTypes = {
    kTypeBitmap, kTypeVideoClip, kTypeGif,      kTypeJpeg,     kTypeQuickTime, kTypeMovieClip, kTypePng,
    kTypeWebp,   kTypeTiff,      kTypeHeif,     kTypeAvif,     kTypeMp4,       kTypeMatroska,  kTypeWebm,
    kTypeOggVideo, kTypeMp3,     kTypeM4a,      kTypeOggAudio, kTypeOpus,      kTypeFlac,      kTypeWave};

// Upper-cased text after the last "." of the whole text ("" without one).
// Path separators are not looked for: "/my.dir/file" gives "DIR/FILE".
std::string extension(std::string_view name);

// The type name of an extension ("" for one without a name).
std::string_view typeName(std::string_view extension);

struct TypeCheck {
    std::string typeName;
    bool accepted = false;
};
// Whether filter `filterIndex` accepts `extension`, with the type name when it does.
TypeCheck ChkFType(int filterIndex, std::string_view extension);

// Extensions the player draws itself; every other one goes to the movie element.
bool isImage(std::string_view extension);


// What a type name stands for: a picture drawn by the program, a clip or
// play list with a picture, or a sound alone (both played by the movie
// element). None for "" and unknown names.
enum class TypeKind { None, Picture, Clip, Sound };
TypeKind kindOfType(std::string_view typeName);

}  // namespace media
