#include "shared/IniFile.h"
#include "shared/TextCodec.h"

#include "TempDir.h"
#include "Unprivileged.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <dlfcn.h>
#include <set>
#include <fstream>
#include <functional>
#include <string>

using ini::applyWrite;
using ini::readValue;

// Every file synced to the disk, by inode: a write must sync what it renames.
static std::set<ino_t> g_synced;
extern "C" int fdatasync(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) == 0) g_synced.insert(st.st_ino);
    static const auto real = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fdatasync"));
    return real(fd);
}

namespace {

struct ReadRow {
    const char* what;
    std::string content;
    const char* section;
    const char* key;
    std::string expected;
};

const std::string kSample =
    "; leading comment\r\n"
    "[section1]\r\n"
    "name1=val1\r\n"
    "name2=\"val2\"\r\n"
    "name3\r\n"
    "name4=\r\n"
    "  spaced   =   value with  inner  spaces  \t\r\n"
    "; name5=commented\r\n"
    "quote1='single'\r\n"
    "quote2=\"mismatch'\r\n"
    "quote3=\"\r\n"
    "hash=a#b;c\r\n"
    "[Section2]\r\n"
    "name1=second\r\n";

class IniRead : public ::testing::TestWithParam<ReadRow> {};

TEST_P(IniRead, AnswersLikeTheProfileCall) {
    const ReadRow& r = GetParam();
    EXPECT_EQ(readValue(r.content, r.section, r.key), r.expected) << r.what;
    // The parsed-once form must give the very same answers.
    EXPECT_EQ(ini::Snapshot(r.content).read(r.section, r.key), r.expected) << r.what << " (snapshot)";
}

INSTANTIATE_TEST_SUITE_P(
    Rules, IniRead,
    ::testing::Values(
        ReadRow{"plain value", kSample, "section1", "name1", "val1"},
        ReadRow{"quoted value loses its quotes", kSample, "section1", "name2", "val2"},
        ReadRow{"names ignore ASCII case", kSample, "SECTION1", "NaMe1", "val1"},
        ReadRow{"key without = reads empty", kSample, "section1", "name3", ""},
        ReadRow{"empty value", kSample, "section1", "name4", ""},
        ReadRow{"blanks trimmed around name and value", kSample, "section1", "spaced",
                "value with  inner  spaces"},
        ReadRow{"comment never matches", kSample, "section1", "; name5", ""},
        ReadRow{"commented key is absent", kSample, "section1", "name5", ""},
        ReadRow{"single quotes removed too", kSample, "section1", "quote1", "single"},
        ReadRow{"mismatched quotes stay", kSample, "section1", "quote2", "\"mismatch'"},
        ReadRow{"a lone quote stays", kSample, "section1", "quote3", "\""},
        ReadRow{"# and inner ; are text", kSample, "section1", "hash", "a#b;c"},
        ReadRow{"second section", kSample, "section2", "name1", "second"},
        ReadRow{"missing key", kSample, "section1", "nothere", ""},
        ReadRow{"missing section", kSample, "nosuch", "name1", ""},
        ReadRow{"empty file", "", "a", "b", ""},
        ReadRow{"lines before the first header are unreachable", "k=v\r\n[s]\r\n", "", "k", ""},
        ReadRow{"empty section name", "[]\r\nk=v\r\n", "", "k", "v"},
        ReadRow{"header without ]", "[sec   \r\nk=v\r\n", "sec", "k", "v"},
        ReadRow{"text after ] ignored", "[ sec ] trailing\r\nk=v\r\n", "sec", "k", "v"},
        ReadRow{"CR-only line ends", "[s]\rk=v\rj=w", "s", "j", "w"},
        ReadRow{"LF-only line ends", "[s]\nk=v\nj=w\n", "s", "j", "w"},
        ReadRow{"runs of line ends", "[s]\r\n\r\n\n\rk=v", "s", "k", "v"},
        ReadRow{"only the first section of a name is searched", "[s]\r\na=1\r\n[S]\r\nb=2\r\n", "s", "b", ""},
        ReadRow{"first key wins", "[s]\r\nk=1\r\nK=2\r\n", "s", "k", "1"},
        ReadRow{"first key wins even without =", "[s]\r\nk\r\nk=2\r\n", "s", "k", ""},
        ReadRow{"value split at the first =", "[s]\r\nk=a=b\r\n", "s", "k", "a=b"},
        ReadRow{"value ends at NUL", std::string("[s]\r\nk=ab\0cd\r\n", 14), "s", "k", "ab"},
        ReadRow{"byte-order mark skipped", "\xEF\xBB\xBF[s]\r\nk=v\r\n", "s", "k", "v"},
        ReadRow{"bytes >= 0x80 are not case-folded", "[s]\r\n\xC3\xA9=v\r\n", "s", "\xC3\x89", ""},
        ReadRow{"vertical tab is trimmed", "[s]\r\n\vk\v=\vv\v\r\n", "s", "k", "v"}));

TEST(IniCut, LongValuesArriveCutWithoutSplittingCharacters) {
    const std::string ascii(600, 'x');
    EXPECT_EQ(readValue("[s]\r\nk=" + ascii + "\r\n", "s", "k"), std::string(511, 'x'));

    // 170 three-byte characters = 510 bytes, then one more: the cut lands inside it.
    std::string utf8;
    for (int i = 0; i < 200; ++i) utf8 += "\xE3\x81\x82";  // あ
    const std::string cut = ini::detail::cutToBuffer(utf8);
    EXPECT_EQ(cut.size(), 510u);
    EXPECT_TRUE(textcodec::isValidUtf8(cut));

    // Shift-JIS: one ASCII byte then double-byte characters; byte 511 would be a lead byte.
    std::string sjis = "a";
    for (int i = 0; i < 300; ++i) sjis += "\x82\xA0";
    EXPECT_EQ(ini::detail::cutToBuffer(sjis).size(), 511u);
    sjis = std::string();
    for (int i = 0; i < 300; ++i) sjis += "\x82\xA0";
    EXPECT_EQ(ini::detail::cutToBuffer(sjis).size(), 510u);

    EXPECT_EQ(ini::detail::cutToBuffer(std::string(511, 'y')).size(), 511u);
}

struct WriteRow {
    const char* what;
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
    const char* readBack = nullptr;  // what a read answers, when not the value itself
};

class IniWrite : public ::testing::TestWithParam<WriteRow> {};

TEST_P(IniWrite, ChangesOnlyWhatItMust) {
    const WriteRow& r = GetParam();
    std::string content = r.before;
    ASSERT_TRUE(applyWrite(content, r.section, r.key, r.value)) << r.what;
    EXPECT_EQ(content, r.after) << r.what;
    const auto trim = [](std::string t) {
        t.erase(0, t.find_first_not_of(' '));
        t.erase(t.find_last_not_of(' ') + 1);
        return t;
    };
    EXPECT_EQ(readValue(content, trim(r.section), trim(r.key)), r.readBack ? r.readBack : r.value) << r.what;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, IniWrite,
    ::testing::Values(
        WriteRow{"replace keeps comments, blanks and spacing of other lines",
                 "; top\r\n\r\n[s]\r\na = b\r\n  ; note\r\nk=old\r\n\r\n[t]\r\nk=keep\r\n", "s", "k", "new",
                 "; top\r\n\r\n[s]\r\na = b\r\n  ; note\r\nk=new\r\n\r\n[t]\r\nk=keep\r\n"},
        WriteRow{"replace keeps the key's spelling from the file", "[S]\r\nMyKey = 1\r\n", "s", "MYKEY", "2",
                 "[S]\r\nMyKey=2\r\n"},
        WriteRow{"replace a key without =", "[s]\r\nk\r\n", "s", "k", "v", "[s]\r\nk=v\r\n"},
        WriteRow{"new key goes to the end of its section, not the file",
                 "[sec]\r\na=1\r\n[other]\r\nb=2\r\n", "sec", "new", "x",
                 "[sec]\r\na=1\r\nnew=x\r\n[other]\r\nb=2\r\n"},
        WriteRow{"new key stays above trailing comments and blank lines",
                 "[sec]\r\na=1\r\n; trailing\r\n\r\n[other]\r\n", "sec", "n", "v",
                 "[sec]\r\na=1\r\nn=v\r\n; trailing\r\n\r\n[other]\r\n"},
        WriteRow{"new key in an empty section", "[sec]\r\n[b]\r\n", "sec", "k", "v", "[sec]\r\nk=v\r\n[b]\r\n"},
        WriteRow{"unterminated last line gets a line end on replace", "[s]\r\nk=1", "s", "k", "2",
                 "[s]\r\nk=2\r\n"},
        WriteRow{"unterminated last line gets a line end before an insert", "[s]\r\nk=1", "s", "j", "2",
                 "[s]\r\nk=1\r\nj=2\r\n"},
        WriteRow{"new section appended without blank line", "[a]\r\nx=1\r\n", "b", "y", "2",
                 "[a]\r\nx=1\r\n[b]\r\ny=2\r\n"},
        WriteRow{"new section after an unterminated line", "[a]\r\nx=1", "b", "y", "2",
                 "[a]\r\nx=1\r\n[b]\r\ny=2\r\n"},
        WriteRow{"new file", "", "VISTROVA", "INTERVAL", "5", "[VISTROVA]\r\nINTERVAL=5\r\n"},
        WriteRow{"names written without surrounding spaces", "", " s ", " k ", " v ", "[s]\r\nk= v \r\n", "v"},
        WriteRow{"LF file keeps its other line ends", "[s]\na=1\nb=2\n", "s", "a", "9", "[s]\na=9\nb=2\n"},
        WriteRow{"CR-only file", "[s]\ra=1\r", "s", "b", "2", "[s]\ra=1\rb=2\r\n"},
        WriteRow{"byte-order mark kept", "\xEF\xBB\xBF[s]\r\nk=1\r\n", "s", "k", "2",
                 "\xEF\xBB\xBF[s]\r\nk=2\r\n"},
        WriteRow{"only the first of duplicate sections is written",
                 "[s]\r\na=1\r\n[s]\r\nk=2\r\n", "s", "k", "3", "[s]\r\na=1\r\nk=3\r\n[s]\r\nk=2\r\n"},
        WriteRow{"value written as given, quotes included", "", "s", "k", "\"q\"", "[s]\r\nk=\"q\"\r\n", "q"}));

TEST(IniWriteRefusal, LineBreaksAndNulAreRefusedAndChangeNothing) {
    const std::string original = "[s]\r\nk=1\r\n";
    for (const std::string& bad : {std::string("a\rb"), std::string("a\nb"), std::string("a\0b", 3)}) {
        std::string content = original;
        EXPECT_FALSE(applyWrite(content, "s", "k", bad));
        EXPECT_FALSE(applyWrite(content, "s", bad, "v"));
        EXPECT_FALSE(applyWrite(content, bad, "k", "v"));
        EXPECT_EQ(content, original);
    }
}

TEST(IniWriteRefusal, NamesThatWouldNotReadBackAreRefused) {
    std::string content;
    EXPECT_FALSE(applyWrite(content, "a]b", "k", "v"));
    EXPECT_FALSE(applyWrite(content, "s", "k=x", "v"));
    EXPECT_FALSE(applyWrite(content, "s", ";k", "v"));
    EXPECT_FALSE(applyWrite(content, "s", "[k", "v"));
    EXPECT_EQ(content, "");
    EXPECT_TRUE(applyWrite(content, "s", "k;x[y]", "v=w"));
    EXPECT_EQ(readValue(content, "s", "k;x[y]"), "v=w");
}

TEST(IniFiles, WriteCreatesReadsBackAndReplacesAtomically) {
    TempDir dir;
    const std::string file = dir.file("VISTROVA.INI");
    EXPECT_EQ(ini::readProfileString(file, "s", "k"), "");
    ASSERT_TRUE(ini::writeProfileString(file, "s", "k", "v"));
    EXPECT_EQ(ini::readProfileString(file, "s", "k"), "v");
    ASSERT_TRUE(ini::writeProfileString(file, "s", "j", "w"));
    EXPECT_EQ(TempDir::get(file), "[s]\r\nk=v\r\nj=w\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(g_synced.count(st.st_ino), 1U) << "renamed into place before its bytes were on the disk";
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(IniFiles, FailedWritesReportFailureAndKeepTheOldFile) {
    TempDir dir;
    EXPECT_FALSE(ini::writeProfileString(dir.file("missing/VISTROVA.INI"), "s", "k", "v"));
    EXPECT_FALSE(ini::writeProfileString("", "s", "k", "v"));
    EXPECT_FALSE(ini::writeProfileString(dir.path().string() + "/", "s", "k", "v"));

    const std::string file = dir.file("A.INI");
    TempDir::put(file, "[s]\r\nk=old\r\n");
    EXPECT_FALSE(ini::writeProfileString(file, "s", "k", "bad\nvalue"));
    EXPECT_EQ(TempDir::get(file), "[s]\r\nk=old\r\n");
}

// Permissions, tried as an ordinary user: a file that cannot be read, or may
// not be written, is never replaced, whatever the folder allows.
struct AccessRow {
    const char* what;
    mode_t fileMode;
    mode_t folderMode;
    ini::Presence presence;  // what a read finds
};

class IniAccess : public ::testing::TestWithParam<AccessRow> {};

TEST_P(IniAccess, FileThatCannotBeReadOrWrittenIsKeptByteForByte) {
    const AccessRow& r = GetParam();
    TempDir dir;
    const std::string file = dir.file("VISTROVA.INI");
    const std::string old = "; mine\r\n[VISTROVA]\r\nBACKCOLOR=255\r\n[FILE0]\r\nLIST000=a|/a\r\n";
    TempDir::put(file, old);
    ::chmod(file.c_str(), r.fileMode);
    ::chmod(dir.path().c_str(), r.folderMode);
    asUnprivileged(dir.path(), [&] {
        EXPECT_EQ(ini::load(file).presence, r.presence) << r.what;
        EXPECT_FALSE(ini::writeProfileString(file, "VISTROVA", "INTERVAL", "5")) << r.what;
        EXPECT_FALSE(ini::writeProfileBatch(file, {{"VISTROVA", "PAGENUM", "1"}})) << r.what;
        EXPECT_FALSE(ini::replaceFile(file, "")) << r.what;
    });
    ::chmod(dir.path().c_str(), 0700);
    EXPECT_EQ(TempDir::get(file), old) << r.what;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << r.what;
}

INSTANTIATE_TEST_SUITE_P(
    Permissions, IniAccess,
    ::testing::Values(AccessRow{"no permission at all", 0000, 0700, ini::Presence::Unreadable},
                      AccessRow{"write-only file", 0200, 0700, ini::Presence::Unreadable},
                      AccessRow{"read-only file in a writable folder", 0444, 0700, ini::Presence::Read},
                      AccessRow{"writable file in a read-only folder", 0644, 0500, ini::Presence::Read}));

TEST(IniFiles, ReadThatFailsIsNotTakenForAnEmptyFile) {
    // A regular file whose read fails with an I/O error, reached through a link.
    TempDir dir;
    const std::string link = dir.file("VISTROVA.INI");
    std::filesystem::create_symlink("/proc/self/mem", link);
    EXPECT_EQ(ini::load(link).presence, ini::Presence::Unreadable);
    EXPECT_EQ(ini::readProfileString(link, "s", "k"), "");
    EXPECT_FALSE(ini::writeProfileString(link, "s", "k", "v"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
}

TEST(IniFiles, OnlyRegularFilesAreReadOrReplaced) {
    TempDir dir;
    const std::string fifo = dir.file("FILE00.INI");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string folder = dir.file("FILE01.INI");
    std::filesystem::create_directory(folder);
    const std::string linkToFifo = dir.file("VISTROVA.INI");
    std::filesystem::create_symlink("FILE00.INI", linkToFifo);
    for (const std::string& f : {fifo, folder, linkToFifo}) {
        // Opening the FIFO for reading would block for good if it were opened.
        EXPECT_EQ(ini::load(f).presence, ini::Presence::NotRegular) << f;
        EXPECT_EQ(ini::readProfileString(f, "s", "k"), "") << f;
        EXPECT_FALSE(ini::writeProfileString(f, "s", "k", "v")) << f;
    }
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_TRUE(std::filesystem::is_symlink(linkToFifo));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);
}

TEST(IniFiles, WriteFailureLikeAFullDiskLeavesTheOldFile) {
    // A file size limit makes write() fail part way, as a full disk does.
    TempDir dir;
    const std::string file = dir.file("B.INI");
    TempDir::put(file, "[s]\r\nk=old\r\n");
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 64;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const bool ok(ini::writeProfileString(file, "s", "k", std::string(4096, 'z')));
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(ok);
    EXPECT_EQ(TempDir::get(file), "[s]\r\nk=old\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(IniLinks, WritesGoThroughLinksToTheirTarget) {
    TempDir dir;
    const std::filesystem::path real = dir.path() / "real";
    std::filesystem::create_directory(real);
    struct Row {
        const char* link;
        const char* pointsTo;  // relative to the link's folder
        const char* target;    // file that receives the write
        const char* before;    // nullptr: the target does not exist
    } rows[] = {
        {"A.INI", "real/a.ini", "real/a.ini", "[s]\r\nk=1\r\nj=keep\r\n"},
        {"B.INI", "real/b.ini", "real/b.ini", nullptr},    // dangling: the target is created
        {"C.INI", "A2.INI", "real/c.ini", nullptr},        // a chain, ending dangling
        {"A2.INI", "real/c.ini", "real/c.ini", nullptr},
    };
    for (const Row& r : rows) {
        if (r.before) TempDir::put((dir.path() / r.target).string(), r.before);
        std::filesystem::create_symlink(r.pointsTo, dir.path() / r.link);
    }
    ::chmod((real / "a.ini").c_str(), 0640);
    for (const Row& r : rows) {
        const std::string link = (dir.path() / r.link).string();
        ASSERT_TRUE(ini::writeProfileString(link, "s", "k", r.link)) << r.link;
        EXPECT_TRUE(std::filesystem::is_symlink(link)) << r.link;
        EXPECT_EQ(ini::readProfileString(dir.path() / r.target, "s", "k"), r.link) << r.link;
    }
    EXPECT_EQ(TempDir::get((real / "a.ini").string()), "[s]\r\nk=A.INI\r\nj=keep\r\n");
    struct stat st {};
    ASSERT_EQ(::stat((real / "a.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    // A loop of links leads to no file: the write fails and the links stay.
    std::filesystem::create_symlink("LOOP2.INI", dir.path() / "LOOP1.INI");
    std::filesystem::create_symlink("LOOP1.INI", dir.path() / "LOOP2.INI");
    EXPECT_FALSE(ini::writeProfileString(dir.path() / "LOOP1.INI", "s", "k", "v"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "LOOP1.INI"));
}

// In a sticky folder everyone may write (like /tmp), a link is followed only
// when it belongs to the follower or to the folder's owner, at every hop of a
// chain, as the kernel's protected_symlinks has it: another user's link can
// neither make a write land in a file of ours nor be read through.
TEST(IniLinks, LinksOthersPlantInSharedFoldersAreNotFollowed) {
    TempDir dir;
    const std::filesystem::path shared = dir.path() / "shared";
    std::filesystem::create_directory(shared);
    ::chmod(shared.c_str(), 01777);
    const std::string victim = dir.file("victim.ini");
    const std::string old = "[s]\r\nk=mine\r\n";
    TempDir::put(victim, old);
    std::filesystem::create_symlink(victim, shared / "OWN.INI");
    ASSERT_TRUE(ini::writeProfileString(shared / "OWN.INI", "s", "k", "own link"));
    TempDir::put(victim, old);
    if (::geteuid() != 0) return;  // only root can stand for two users

    // Another user plants links: in the shared folder, and in a sticky
    // folder of their own.
    const std::filesystem::path theirs = dir.path() / "theirs";
    std::filesystem::create_directory(theirs);
    ::chmod(dir.path().c_str(), 0711);
    asUnprivileged(theirs, [&] {
        ::chmod(theirs.c_str(), 01777);
        std::filesystem::create_symlink(victim, shared / "FILE00.INI");
        std::filesystem::create_symlink(victim, theirs / "FILE00.INI");
    });
    std::filesystem::create_symlink("FILE00.INI", shared / "CHAIN.INI");  // ours, leading to theirs
    for (const char* name : {"FILE00.INI", "CHAIN.INI"}) {
        const std::filesystem::path link = shared / name;
        EXPECT_FALSE(ini::writeProfileString(link, "FILELIST", "LIST000", "a|/a")) << name;
        EXPECT_FALSE(ini::writeProfileBatch(link, {{"FILELIST", "LISTNAME", "x"}})) << name;
        EXPECT_FALSE(ini::replaceFile(link, "x")) << name;
        EXPECT_EQ(ini::load(link).presence, ini::Presence::Unreadable) << name;
        EXPECT_EQ(ini::readProfileString(link, "s", "k"), "") << name;
        EXPECT_TRUE(std::filesystem::is_symlink(link)) << name;
    }
    EXPECT_EQ(TempDir::get(victim), old);
    // The owner of a sticky folder may link from it.
    EXPECT_TRUE(ini::writeProfileString(theirs / "FILE00.INI", "s", "k", "folder owner's link"));
    EXPECT_EQ(ini::readProfileString(victim, "s", "k"), "folder owner's link");
}

TEST(IniFiles, SuccessfulWriteRemovesOnlyItsOwnStaleTemporaries) {
    TempDir dir;
    const std::string file = dir.file("FILE00.INI");
    const char* const stale[] = {".FILE00.INI.a1B2c3.tmp", ".FILE00.INI.zzzzzz.tmp"};
    const char* const kept[] = {".FILE00.INI.busy01.tmp",  // a write in progress holds its lock
                                ".FILE01.INI.a1B2c3.tmp", ".FILE00.INI.backup", ".FILE00.INI.a1B2c.tmp",
                                "FILE00.INI.a1B2c3.tmp"};
    for (const char* n : stale) TempDir::put(dir.file(n), "torn");
    for (const char* n : kept) TempDir::put(dir.file(n), "other");
    const int busy = ::open(dir.file(kept[0]).c_str(), O_RDONLY);
    ASSERT_EQ(::flock(busy, LOCK_EX), 0);
    ASSERT_TRUE(ini::writeProfileString(file, "s", "k", "v"));
    ::close(busy);
    for (const char* n : stale) EXPECT_FALSE(std::filesystem::exists(dir.file(n))) << n;
    for (const char* n : kept) EXPECT_EQ(TempDir::get(dir.file(n)), "other") << n;
}

TEST(IniBatch, YieldsTheBytesOfTheSingleWrites) {
    TempDir dir;
    const std::string one = dir.file("one.ini");
    const std::string many = dir.file("many.ini");
    const std::string start = "; keep\r\n[FILELIST]\r\nLIST001=x|y\r\nLISTNAME=old\r\n[other]\r\nq=1";
    TempDir::put(one, start);
    TempDir::put(many, start);
    std::vector<ini::Write> writes = {{"FILELIST", "LISTNAME", "new"},
                                      {"FILELIST", "LIST000", "a|b"},
                                      {"FILELIST", "LIST001", "|"},
                                      {"other", "q", "2"},
                                      {"third", "z", "3"},
                                      {"FILELIST", "LIST002", "|"}};
    for (const auto& w : writes) ASSERT_TRUE(ini::writeProfileString(one, w.section, w.key, w.value));
    ASSERT_TRUE(ini::writeProfileBatch(many, writes));
    EXPECT_EQ(TempDir::get(many), TempDir::get(one));

    // A refused write fails alone: the batch reports it and stores the others.
    const std::vector<ini::Write> mixed = {{"FILELIST", "LISTNAME", "bad\r\n"},
                                           {"FILELIST", "LIST003", "c|d"},
                                           {"other", "q=", "x"},
                                           {"other", "q", "3"}};
    EXPECT_FALSE(ini::writeProfileBatch(many, mixed));
    EXPECT_EQ(ini::readProfileString(many, "FILELIST", "LISTNAME"), "new");
    EXPECT_EQ(ini::readProfileString(many, "FILELIST", "LIST003"), "c|d");
    EXPECT_EQ(ini::readProfileString(many, "other", "q"), "3");
    const std::string before = TempDir::get(many);
    EXPECT_FALSE(ini::writeProfileBatch(many, {{"FILELIST", "LIST004", "\n"}}));
    EXPECT_EQ(TempDir::get(many), before);
}

TEST(IniFiles, HugeFilesReadWithTheSameRules) {
    // 40 MB of junk keys around the ones asked for.
    std::string content = "[VISTROVA]\r\nINTERVAL=7\r\n";
    const std::string junk = "k0123456789=value value value value value value value value value\r\n";
    content.reserve(41u << 20);
    while (content.size() < (40u << 20)) content += junk;
    content += "[FILELIST]\r\nLIST000=a|/a\r\n";
    const ini::Snapshot snap(content);
    EXPECT_EQ(snap.read("vistrova", "interval"), "7");
    EXPECT_EQ(snap.read("FILELIST", "LIST000"), "a|/a");
    EXPECT_EQ(snap.read("FILELIST", "LIST001"), "");
    EXPECT_EQ(readValue(content, "VISTROVA", "k0123456789"), "value value value value value value value value value");
}

// The peak memory `fn` adds to the process (its high-water mark, reset first).
long peakGrowthKb(const std::function<void()>& fn) {
    const auto field = [](std::string_view name) {
        std::ifstream status("/proc/self/status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind(name, 0) == 0) return std::stol(line.substr(name.size()));
        return -1L;
    };
    std::ofstream("/proc/self/clear_refs") << "5";
    const long before = field("VmRSS:");
    fn();
    return field("VmHWM:") - before;
}

TEST(IniFiles, HugeFilesAreHeldOnceWhenReadOrWritten) {
    TempDir dir;
    const std::string file = dir.file("VISTROVA.INI");
    {
        std::string content = "[VISTROVA]\r\nINTERVAL=7\r\n[FILE0]\r\n";
        for (int i = 0; content.size() < (64u << 20); ++i)
            content += "LIST" + std::to_string(i) + "=name " + std::to_string(i) + "|/home/u/Show/picture.jpg\r\n";
        TempDir::put(file, content);
    }
    const long sizeKb = static_cast<long>(std::filesystem::file_size(file) / 1024);
    const long readKb = peakGrowthKb([&] {
        const ini::Snapshot snap = ini::Snapshot::load(file);
        EXPECT_EQ(snap.read("VISTROVA", "INTERVAL"), "7");
        EXPECT_EQ(snap.read("FILE0", "LIST5"), "name 5|/home/u/Show/picture.jpg");
    });
    EXPECT_LT(readKb, sizeKb * 3 / 2) << "read of a " << sizeKb << " kB file";
    const long writeKb = peakGrowthKb([&] {
        EXPECT_TRUE(ini::writeProfileBatch(file, {{"VISTROVA", "INTERVAL", "8"}, {"VISTROVA", "PAGENUM", "1"},
                                                  {"FILE0", "LIST5", "x|/x"}, {"new", "k", "v"}}));
    });
    EXPECT_LT(writeKb, sizeKb * 5 / 4) << "write to a " << sizeKb << " kB file";
    EXPECT_EQ(ini::readProfileString(file, "VISTROVA", "PAGENUM"), "1");
    EXPECT_EQ(ini::readProfileString(file, "FILE0", "LIST5"), "x|/x");
}

TEST(TextCodec, DecodesUtf8AsIsAndShiftJisFromTheWindowsRelease) {
    EXPECT_EQ(textcodec::decode("photo.jpg"), "photo.jpg");
    EXPECT_EQ(textcodec::decode("\xE5\x86\x99\xE7\x9C\x9F"), "\xE5\x86\x99\xE7\x9C\x9F");  // 写真
    EXPECT_EQ(textcodec::decode("\x8E\xCA\x90\x5E"), "\xE5\x86\x99\xE7\x9C\x9F");          // 写真 in CP932
    // CP932 maps 0x5C to a backslash and the wave dash to U+FF5E (not SHIFT_JIS's mapping).
    EXPECT_EQ(textcodec::decode("\x81\x60\x5C"), "\xEF\xBD\x9E\\");
    // A byte CP932 cannot map becomes U+FFFD instead of ending the text.
    EXPECT_EQ(textcodec::decode("\x82\xA0\xFF" "a"), "\xE3\x81\x82\xEF\xBF\xBD" "a");
    EXPECT_FALSE(textcodec::isValidUtf8("\xC0\xAF"));      // overlong
    EXPECT_FALSE(textcodec::isValidUtf8("\xED\xA0\x80"));  // surrogate
    EXPECT_FALSE(textcodec::isValidUtf8("\xE3\x81"));      // truncated
}

}  // namespace
