// What a path names before anything opens it, and names that are not UTF-8
// carried through the editor without loss.
#include "editor/EditorRules.h"
#include "editor/ListEditRules.h"
#include "shared/FileKinds.h"
#include "shared/M3uList.h"

#include "TempDir.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

const std::string kRawName = "bad\xff\xfe name.jpg";

// One folder holding every kind of entry a listing can meet.
class OddFolder : public ::testing::Test {
protected:
    void SetUp() override {
        TempDir::put(dir.file("picture.jpg"), "x");
        TempDir::put(dir.file(kRawName), "x");
        fs::create_directory(dir.path() / "sub");
        fs::create_directory(dir.path() / "sub\xfe");
        ASSERT_EQ(::mkfifo(dir.file("pipe.jpg").c_str(), 0600), 0);
        fs::create_symlink("nowhere", dir.path() / "dangling");
        fs::create_symlink("loop2", dir.path() / "loop1");
        fs::create_symlink("loop1", dir.path() / "loop2");
        fs::create_directory_symlink("sub", dir.path() / "link to sub");
        fs::create_symlink("picture.jpg", dir.path() / "link.jpg");
        m_socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        const std::string sock = dir.file("sock");
        ASSERT_LT(sock.size(), sizeof addr.sun_path);
        std::strcpy(addr.sun_path, sock.c_str());
        ASSERT_EQ(::bind(m_socket, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    }
    void TearDown() override { ::close(m_socket); }

    TempDir dir;
    int m_socket = -1;
};

TEST_F(OddFolder, OnlyRegularFilesOpenAndOnlyFoldersAreFolders) {
    struct Row {
        std::string name;
        bool openable, folder;
    } const rows[] = {
        {"picture.jpg", true, false}, {"link.jpg", true, false},     {kRawName, true, false},
        {"sub", false, true},         {"link to sub", false, true},  {"pipe.jpg", false, false},
        {"sock", false, false},       {"dangling", false, false},    {"loop1", false, false},
        {"missing.jpg", false, false},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(files::isOpenableFile(dir.file(r.name)), r.openable) << r.name;
        EXPECT_EQ(files::isFolder(dir.file(r.name)), r.folder) << r.name;
    }
    EXPECT_FALSE(files::isOpenableFile("/dev/null"));
    EXPECT_FALSE(files::isOpenableFile(""));

    std::vector<std::string> folders = files::scanFolders(dir.path().string() + "/");
    std::sort(folders.begin(), folders.end());
    EXPECT_EQ(folders, (std::vector<std::string>{"link to sub", "sub", "sub\xfe"}));

    std::vector<std::string> names;
    for (const files::ScannedFile& f : files::scanFiles(dir.path().string())) {
        names.push_back(f.name);
        EXPECT_EQ(f.modified.has_value(), f.name != "dangling" && f.name != "loop1" && f.name != "loop2") << f.name;
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{kRawName, "dangling", "link.jpg", "loop1", "loop2", "picture.jpg",
                                               "pipe.jpg", "sock"}));
}

// A play list is expanded before the movie library sees it: entries that
// lead back into the list, that are no regular files, or that are missing
// are left out, and a list with nothing left plays nothing.
TEST(PlayLists, ExpandWithoutCyclesFifosOrMissingEntries) {
    TempDir dir;
    const std::string clip = dir.file("clip.mpg");
    TempDir::put(clip, "x");
    ASSERT_EQ(::mkfifo(dir.file("pipe.mpg").c_str(), 0600), 0);
    TempDir::put(dir.file("self.m3u"), "#EXTM3U\r\nself.m3u\r\n" + dir.file("self.m3u") + "\r\n");
    TempDir::put(dir.file("a.m3u"), "b.m3u\n");
    TempDir::put(dir.file("b.m3u"), "a.m3u\n");
    TempDir::put(dir.file("pipe.m3u"), "pipe.mpg\nmissing.mpg\n" + dir.path().string() + "\n");
    for (const char* list : {"self.m3u", "a.m3u", "b.m3u", "pipe.m3u"})
        EXPECT_TRUE(m3u::playable(dir.file(list)).empty()) << list;

    // Lists nested in place, with their own folder for relative entries;
    // a list named twice (no cycle) plays twice.
    fs::create_directory(dir.path() / "sub");
    TempDir::put(dir.file("sub/inner.m3u"), "../clip.mpg\r\n# comment\r\n\r\n");
    TempDir::put(dir.file("sub/clip.mpg"), "x");
    TempDir::put(dir.file("mixed.m3u"), "#EXTM3U\n#EXTINF:1,Clip\n  clip.mpg  \nsub/inner.m3u\nmixed.m3u\nsub/inner.m3u\n"
                                        "file://" + dir.file("sub/clip.mpg") + "\nhttp://host/a.mpg\nsmb://host/a.mpg\n");
    const std::vector<std::string> expected = {clip,     dir.file("sub/../clip.mpg"), dir.file("sub/../clip.mpg"),
                                               dir.file("sub/clip.mpg"), "http://host/a.mpg"};
    EXPECT_EQ(m3u::playable(dir.file("mixed.m3u")), expected);

    // A list is told by its name or by its first line; a FIFO is never opened.
    TempDir::put(dir.file("text.mpg"), "#EXTM3U\nclip.mpg\n");
    EXPECT_TRUE(m3u::isList(dir.file("text.mpg")));
    EXPECT_TRUE(m3u::isList(dir.file("SELF.M3U8")));
    EXPECT_FALSE(m3u::isList(clip));
    EXPECT_FALSE(m3u::isList(dir.file("pipe.mpg")));
}

TEST(RawNames, RoundTripThroughTextAndUrlsAndAreRefusedByLists) {
    const std::string rows[] = {"plain.jpg", "日本語.jpg", kRawName, "\xe3\x81", "\xed\xa0\x80 surrogate",
                                "\xc0\xaf overlong", "\xf4\x90\x80\x80 too high", "𝄞 four bytes"};
    for (const std::string& raw : rows) {
        const QString text = editor::fromRawName(raw);
        EXPECT_EQ(editor::toRawName(text), raw);
        const bool valid = QString::fromUtf8(raw).toUtf8().toStdString() == raw;
        EXPECT_EQ(editor::holdsRawBytes(text), !valid) << raw;
        EXPECT_EQ(editor::fromRawName(editor::toRawName(editor::pathOfUrl(editor::urlOfPath("/d/" + text)))),
                  "/d/" + text)
            << raw;
        // A list file keeps UTF-8 text only: such a name would read back as another.
        EXPECT_EQ(editor::isStorableEntry(text, "/d/" + text), valid) << raw;
    }
    const QString shown = editor::unstorableText({editor::fromRawName(kRawName)});
    EXPECT_EQ(shown, editor::kUnstorableMessage + QStringLiteral("\r\nbad\uFFFD\uFFFD name.jpg"));
}

}  // namespace
