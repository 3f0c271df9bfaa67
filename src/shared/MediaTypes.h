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
inline constexpr std::array<std::string_view, 3> kFilterExtensions = {
    "AVI,M1V,MP2,MPA,MPE,MPEG,MPG,MPV,MPV2,M3U,MOV,QT",
    "BMP,JPE,JPEG,JPG,GIF",
    "AVI,M1V,MP2,MPA,MPE,MPEG,MPG,MPV,MPV2,M3U,MOV,QT,BMP,JPE,JPEG,JPG,GIF",
};

// Type names keyed by extension; the editor's icons are keyed by these names.
inline constexpr std::string_view kTypeVideoClip = "Video Clip";
inline constexpr std::string_view kTypeMovieClip = "Movie Clip";
inline constexpr std::string_view kTypeM3u = "M3U ファイル";
inline constexpr std::string_view kTypeQuickTime = "QuickTime ムービー";
inline constexpr std::string_view kTypeBitmap = "ビットマップ イメージ";
inline constexpr std::string_view kTypeJpeg = "JPEG イメージ";
inline constexpr std::string_view kTypeGif = "GIF イメージ";

// The type names that have an icon picture, in the order of the icon lists.
inline constexpr std::array<std::string_view, 6> kIconTypes = {
    kTypeBitmap, kTypeVideoClip, kTypeGif, kTypeJpeg, kTypeQuickTime, kTypeMovieClip};

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


}  // namespace media
