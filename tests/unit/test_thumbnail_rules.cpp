#include "editor/EditorRules.h"
#include "editor/ThumbnailRules.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace thumbs;

TEST(ThumbnailCache, WhereAFilesThumbnailLives) {
    EXPECT_EQ(cacheRoot("/x/cache", "/home/u"), "/x/cache/thumbnails");
    EXPECT_EQ(cacheRoot("", "/home/u"), "/home/u/.cache/thumbnails");
    EXPECT_EQ(cacheRoot("relative/cache", "/home/u"), "/home/u/.cache/thumbnails");
    struct Row {
        QString path;
        const char* uri;
        const char* md5;
    };
    const Row rows[] = {
        {"/home/jens/photos/me.png", "file:///home/jens/photos/me.png", "c6ee772d9e49320e97ec29a7eb5b1697"},
        {QString::fromUtf8("/tmp/a b/ä.jpg"), "file:///tmp/a%20b/%C3%A4.jpg", "6d4df6d0ed3f1931adf0ebc9fb157ec4"},
        {editor::fromRawName("/tmp/\xff.jpg"), "file:///tmp/%FF.jpg", "d6f07ceb6799769546a8aa3c7309216c"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(fileUri(r.path), QByteArray(r.uri));
        EXPECT_EQ(thumbnailPath("/c/thumbnails", Flavor::Normal, r.uri),
                  QStringLiteral("/c/thumbnails/normal/") + r.md5 + ".png");
    }
    EXPECT_EQ(flavorFor(32), Flavor::Normal);
    EXPECT_EQ(flavorFor(128), Flavor::Normal);
    EXPECT_EQ(flavorFor(129), Flavor::Large);
    EXPECT_EQ(thumbnailPath("/c", Flavor::Large, "u").section('/', 0, 2), "/c/large");
    EXPECT_TRUE(isInsideCache("/c/thumbnails/normal/x.png", "/c/thumbnails"));
    EXPECT_FALSE(isInsideCache("/c/thumbnails-old/x.png", "/c/thumbnails"));

    // Through links: a link to the cache's folder, and a cache root that is a link.
    TempDir dir;
    const std::filesystem::path real = dir.path() / "cache/thumbnails/normal";
    std::filesystem::create_directories(real);
    TempDir::put((real / "x.png").string(), "x");
    std::filesystem::create_directory_symlink(real, dir.path() / "shortcut");
    std::filesystem::create_directory_symlink(dir.path() / "cache", dir.path() / "linked");
    const QString root = QString::fromStdString(dir.file("cache/thumbnails"));
    EXPECT_TRUE(isInsideCache(QString::fromStdString(dir.file("shortcut/x.png")), root));
    EXPECT_TRUE(isInsideCache(QString::fromStdString((real / "x.png").string()),
                              QString::fromStdString(dir.file("linked/thumbnails"))));
    EXPECT_FALSE(isInsideCache(QString::fromStdString(dir.file("shortcut")), root + "/large"));
}

TEST(ThumbnailCache, OnlyAThumbnailOfTheFileAsItIsNowCounts) {
    const QByteArray uri = "file:///p/a.jpg";
    struct Row {
        const char* what;
        QString uriText, mtimeText;
        bool current;
    };
    const Row rows[] = {
        {"matching", "file:///p/a.jpg", "1700000000", true},
        {"from the future", "file:///p/a.jpg", "1800000000", false},
        {"older", "file:///p/a.jpg", "1699999999", false},
        {"another file", "file:///p/b.jpg", "1700000000", false},
        {"no stamp", "file:///p/a.jpg", "", false},
        {"no uri", "", "1700000000", false},
        {"not a number", "file:///p/a.jpg", "17e8", false},
    };
    for (const Row& r : rows) EXPECT_EQ(isCurrent(r.uriText, r.mtimeText, uri, 1700000000), r.current) << r.what;
}

TEST(ThumbnailCache, FittedSizeKeepsTheAspectAndNeverEnlarges) {
    EXPECT_EQ(fittedSize({4000, 3000}, 128), QSize(128, 96));
    EXPECT_EQ(fittedSize({3000, 4000}, 128), QSize(96, 128));
    EXPECT_EQ(fittedSize({100, 50}, 128), QSize(100, 50));
    EXPECT_EQ(fittedSize({100000, 10}, 128), QSize(128, 1));
    EXPECT_FALSE(fittedSize({0, 10}, 128).isValid());
}
