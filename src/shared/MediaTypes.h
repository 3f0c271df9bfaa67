#pragma once
// What the program knows of a file's kind comes from its name's extension
// alone, and all of it is in one table, kMediaTypes: the editor's filters,
// type names and icons, and which files the player draws, derive from it.

#include <string>
#include <string_view>

namespace media {

// The editor's type box, indexed as stored in PATTERN.
inline constexpr int kFilterMovies = 0;
inline constexpr int kFilterImages = 1;
inline constexpr int kFilterAll = 2;
inline constexpr std::string_view kFilterNames[] = {"MOVIE FILES", "IMAGE FILES", "ALL FILES"};

// What a type name stands for: a picture drawn by the program, a clip or
// play list with a picture, or a sound alone (both played by the movie
// element). None for "" and unknown names.
enum class TypeKind { None, Picture, Clip, Sound };

// What plays a file of an extension: the player draws the pictures Qt's
// readers or libheif decode and hands everything else to the movie element
// (mpv). The picture decoder itself picks Qt or libheif by the file's
// content, so a misnamed picture is still read; a picture row says which
// library its format needs.
enum class Decoder { QtReader, Libheif, Mpv };

// How the editor shows a type: the desktop theme's icon named `themeName`,
// else `genericName`, else a tile of the kind's colour marked with `mark`.
struct IconLook {
    std::string_view mark;
    std::string_view themeName;
    std::string_view genericName;
};

struct MediaType {
    std::string_view name;  // shown in the editor; its icons are keyed by it
    TypeKind kind;
    IconLook look;
};

// The filters an extension belongs to; "ALL FILES" takes both.
enum Filters : unsigned { kInNone = 0, kInMovies = 1, kInImages = 2 };

struct MediaRow {
    std::string_view extension;  // upper case, without the dot
    MediaType type;
    Filters filters;
    Decoder decoder;
};

// Types shared by several extensions.
inline constexpr MediaType kMovieClip{"Movie Clip", TypeKind::Clip, {"MPG", "video-mpeg", "video-x-generic"}};
inline constexpr MediaType kQuickTime{"QuickTime ムービー", TypeKind::Clip, {"QT", "video-quicktime", "video-x-generic"}};
inline constexpr MediaType kJpeg{"JPEG イメージ", TypeKind::Picture, {"JPG", "image-jpeg", "image-x-generic"}};
inline constexpr MediaType kTiff{"TIFF イメージ", TypeKind::Picture, {"TIF", "image-tiff", "image-x-generic"}};
inline constexpr MediaType kHeif{"HEIF イメージ", TypeKind::Picture, {"HEIC", "image-heif", "image-x-generic"}};
inline constexpr MediaType kMp4{"MPEG-4 ビデオ", TypeKind::Clip, {"MP4", "video-mp4", "video-x-generic"}};

// One row per extension. The filters list their extensions in row order:
// the original ones lead, today's formats follow.
inline constexpr MediaRow kMediaTypes[] = {
    {"AVI", {"Video Clip", TypeKind::Clip, {"AVI", "video-x-msvideo", "video-x-generic"}}, kInMovies, Decoder::Mpv},
    {"M1V", kMovieClip, kInMovies, Decoder::Mpv},
    {"MP2", kMovieClip, kInMovies, Decoder::Mpv},
    {"MPA", kMovieClip, kInMovies, Decoder::Mpv},
    {"MPE", kMovieClip, kInMovies, Decoder::Mpv},
    {"MPEG", kMovieClip, kInMovies, Decoder::Mpv},
    {"MPG", kMovieClip, kInMovies, Decoder::Mpv},
    {"MPV", kMovieClip, kInMovies, Decoder::Mpv},
    {"MPV2", kMovieClip, kInMovies, Decoder::Mpv},
    {"M3U", {"M3U ファイル", TypeKind::Clip, {"M3U", "audio-x-mpegurl", "text-x-generic"}}, kInMovies, Decoder::Mpv},
    {"MOV", kQuickTime, kInMovies, Decoder::Mpv},
    {"QT", kQuickTime, kInMovies, Decoder::Mpv},
    {"BMP", {"ビットマップ イメージ", TypeKind::Picture, {"BMP", "image-bmp", "image-x-generic"}}, kInImages, Decoder::QtReader},
    // A JPEG picture, yet played by the movie element, as it always has been.
    {"JPE", kJpeg, kInImages, Decoder::Mpv},
    {"JPEG", kJpeg, kInImages, Decoder::QtReader},
    {"JPG", kJpeg, kInImages, Decoder::QtReader},
    {"GIF", {"GIF イメージ", TypeKind::Picture, {"GIF", "image-gif", "image-x-generic"}}, kInImages, Decoder::QtReader},
    // Drawn by the player, yet in no filter.
    {"JFIF", kJpeg, kInNone, Decoder::QtReader},
    {"MP4", kMp4, kInMovies, Decoder::Mpv},
    {"M4V", kMp4, kInMovies, Decoder::Mpv},
    {"MKV", {"Matroska ビデオ", TypeKind::Clip, {"MKV", "video-x-matroska", "video-x-generic"}}, kInMovies, Decoder::Mpv},
    {"WEBM", {"WebM ビデオ", TypeKind::Clip, {"WEBM", "video-webm", "video-x-generic"}}, kInMovies, Decoder::Mpv},
    {"OGV", {"Ogg ビデオ", TypeKind::Clip, {"OGV", "video-ogg", "video-x-generic"}}, kInMovies, Decoder::Mpv},
    {"MP3", {"MP3 オーディオ", TypeKind::Sound, {"MP3", "audio-mpeg", "audio-x-generic"}}, kInMovies, Decoder::Mpv},
    {"M4A", {"MPEG-4 オーディオ", TypeKind::Sound, {"M4A", "audio-mp4", "audio-x-generic"}}, kInMovies, Decoder::Mpv},
    {"OGG", {"Ogg オーディオ", TypeKind::Sound, {"OGG", "audio-ogg", "audio-x-generic"}}, kInMovies, Decoder::Mpv},
    {"OPUS", {"Opus オーディオ", TypeKind::Sound, {"OPUS", "audio-x-opus+ogg", "audio-x-generic"}}, kInMovies, Decoder::Mpv},
    {"FLAC", {"FLAC オーディオ", TypeKind::Sound, {"FLAC", "audio-flac", "audio-x-generic"}}, kInMovies, Decoder::Mpv},
    {"WAV", {"WAVE オーディオ", TypeKind::Sound, {"WAV", "audio-x-wav", "audio-x-generic"}}, kInMovies, Decoder::Mpv},
    {"PNG", {"PNG イメージ", TypeKind::Picture, {"PNG", "image-png", "image-x-generic"}}, kInImages, Decoder::QtReader},
    {"WEBP", {"WebP イメージ", TypeKind::Picture, {"WEBP", "image-webp", "image-x-generic"}}, kInImages, Decoder::QtReader},
    {"TIF", kTiff, kInImages, Decoder::QtReader},
    {"TIFF", kTiff, kInImages, Decoder::QtReader},
    {"HEIF", kHeif, kInImages, Decoder::Libheif},
    {"HEIC", kHeif, kInImages, Decoder::Libheif},
    {"AVIF", {"AVIF イメージ", TypeKind::Picture, {"AVIF", "image-avif", "image-x-generic"}}, kInImages, Decoder::Libheif},
};

// The row of an upper-case extension; null for one without a row.
const MediaRow* rowOf(std::string_view extension);
// The type of a type name; null for "" and unknown names.
const MediaType* typeNamed(std::string_view typeName);

// Upper-cased text after the last "." of the whole text ("" without one).
// Path separators are not looked for: "/my.dir/file" gives "DIR/FILE".
std::string extension(std::string_view name);

// The type name of an extension ("" for one without a name).
std::string_view typeName(std::string_view extension);

// The extensions filter `filterIndex` accepts, comma-separated in row order
// ("" for an index without a filter).
std::string filterExtensions(int filterIndex);

struct TypeCheck {
    std::string typeName;
    bool accepted = false;
};
// Whether filter `filterIndex` accepts `extension`, with the type name when it does.
TypeCheck ChkFType(int filterIndex, std::string_view extension);

// Extensions the player draws itself; every other one goes to the movie element.
bool isImage(std::string_view extension);

TypeKind kindOfType(std::string_view typeName);

}  // namespace media
