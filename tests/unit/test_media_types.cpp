#include "shared/MediaTypes.h"

#include <gtest/gtest.h>

namespace {

TEST(MediaTypes, ExtensionOfAName) {
    const std::pair<const char*, const char*> rows[] = {
        {"photo.JPG", "JPG"}, {"photo.jpg", "JPG"}, {"photo.Jpg", "JPG"}, {"archive.tar.gz", "GZ"},
        {"README", ""},       {"dot.", ""},         {"/my.dir/file", "DIR/FILE"}, {"", ""},
    };
    for (const auto& [name, ext] : rows) EXPECT_EQ(media::extension(name), ext) << name;
}

TEST(MediaTypes, FiltersAndTypeNames) {
    struct Row {
        int filter;
        const char* ext;
        bool accepted;
        std::string_view type;
    };
    const Row rows[] = {
        {1, "AVI", false, ""}, {0, "JPG", false, ""}, {2, "AVI", true, "Video Clip"}, {2, "JPG", true, "JPEG イメージ"},
        {2, "JFIF", false, ""},  // a type name, yet no filter lists it
        {1, "JPE", true, "JPEG イメージ"}, {0, "M3U", true, "M3U ファイル"}, {0, "QT", true, "QuickTime ムービー"},
        {0, "MPV2", true, "Movie Clip"}, {1, "BMP", true, "ビットマップ イメージ"}, {1, "GIF", true, "GIF イメージ"},
        {2, "PE", false, ""}, {2, "MP", false, ""}, {2, "JP", false, ""}, {2, "", false, ""},
        {2, "jpg", false, ""},  // callers pass upper case
        {5, "JPG", false, ""}, {-1, "JPG", false, ""}, {1, "PNG", true, "PNG イメージ"}, {1, "WEBP", true, "WebP イメージ"},
        {1, "TIF", true, "TIFF イメージ"}, {1, "HEIC", true, "HEIF イメージ"}, {2, "AVIF", true, "AVIF イメージ"},
        {0, "PNG", false, ""}, {0, "MP4", true, "MPEG-4 ビデオ"}, {0, "MKV", true, "Matroska ビデオ"},
        {2, "WEBM", true, "WebM ビデオ"}, {0, "OPUS", true, "Opus オーディオ"}, {2, "WAV", true, "WAVE オーディオ"},
        {1, "MP3", false, ""}, {2, "M4", false, ""}, {2, "WEB", false, ""},
    };
    for (const Row& r : rows) {
        const auto c = media::ChkFType(r.filter, r.ext);
        EXPECT_EQ(c.accepted, r.accepted) << r.filter << " " << r.ext;
        EXPECT_EQ(c.typeName, r.type) << r.filter << " " << r.ext;
    }
    // The original lists lead, unchanged.
    EXPECT_EQ(media::filterExtensions(0).substr(0, 48), "AVI,M1V,MP2,MPA,MPE,MPEG,MPG,MPV,MPV2,M3U,MOV,QT");
    EXPECT_EQ(media::filterExtensions(1).substr(0, 20), "BMP,JPE,JPEG,JPG,GIF");
    EXPECT_EQ(media::filterExtensions(2).substr(0, 69),
              "AVI,M1V,MP2,MPA,MPE,MPEG,MPG,MPV,MPV2,M3U,MOV,QT,BMP,JPE,JPEG,JPG,GIF");
    EXPECT_EQ(media::filterExtensions(5), "");
    EXPECT_EQ(media::kindOfType("FLAC オーディオ"), media::TypeKind::Sound);
    EXPECT_EQ(media::kindOfType("M3U ファイル"), media::TypeKind::Clip);
    EXPECT_EQ(media::kindOfType("PNG"), media::TypeKind::None);
}

// What every row of the table drives: the editor's filters, names and icons,
// and the player's choice between drawing a file and playing it.
TEST(MediaTypes, EveryRowIsListedNamedDrawnAndPlayed) {
    for (const media::MediaRow& row : media::kMediaTypes) {
        const std::string_view ext = row.extension;
        EXPECT_EQ(media::rowOf(ext), &row) << ext << " has one row";
        EXPECT_EQ(media::extension("a." + std::string(ext)), ext) << ext << " is upper case";
        EXPECT_FALSE(row.type.name.empty() || row.type.look.mark.empty() || row.type.look.themeName.empty()) << ext;
        // A type name stands for one kind, however many extensions share it.
        EXPECT_EQ(media::kindOfType(row.type.name), row.type.kind) << ext;
        const bool movie = media::ChkFType(media::kFilterMovies, ext).accepted;
        const bool image = media::ChkFType(media::kFilterImages, ext).accepted;
        EXPECT_EQ(media::ChkFType(media::kFilterAll, ext).accepted, movie || image) << ext;
        EXPECT_FALSE(movie && image) << ext;
        // The image filter lists the pictures, the movie filter what the movie element plays.
        EXPECT_TRUE(!(movie || image) || image == (row.type.kind == media::TypeKind::Picture)) << ext;
        EXPECT_TRUE(!movie || !media::isImage(ext)) << ext;
        // The player draws pictures only.
        EXPECT_TRUE(!media::isImage(ext) || row.type.kind == media::TypeKind::Picture) << ext;
    }
}

TEST(MediaTypes, PlayerImages) {
    for (const char* ext : {"BMP", "JFIF", "JPEG", "JPG", "GIF", "PNG", "WEBP", "TIF", "TIFF", "HEIF", "HEIC", "AVIF"})
        EXPECT_TRUE(media::isImage(ext)) << ext;
    for (const char* ext : {"JPE", "AVI", "MP4", "WEBM", "FLAC", "", "jpg", "png"})
        EXPECT_FALSE(media::isImage(ext)) << ext;
}

}  // namespace
