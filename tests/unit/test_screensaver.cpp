#include "editor/ScreenSaver.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using screensaver::Result;

struct Folders {
    TempDir dir;
    std::string program = dir.file("vistrova");
    std::string home = dir.file("home");
    std::string target = dir.file("target");
    Folders() {
        fs::create_directories(home);
        TempDir::put(program, "\x7f" "ELF program");
        ::chmod(program.c_str(), 0755);
    }
    std::string settings() const { return home + "/VISTROVA.INI"; }
    std::string prefix() const { return home + "/FILE"; }
};

TEST(ScreenSaverFolder, FollowsXdgDataHome) {
    EXPECT_EQ(screensaver::targetFolder(std::nullopt, "/home/u"), "/home/u/.local/share/vistrova/screensaver");
    EXPECT_EQ(screensaver::targetFolder(std::string("/data"), "/home/u"), "/data/vistrova/screensaver");
    EXPECT_EQ(screensaver::targetFolder(std::string("relative"), "/home/u"), "/home/u/.local/share/vistrova/screensaver");
}

TEST(ScreenSaverInstall, CopiesTheProgramSettingsAndExistingListsOnly) {
    Folders f;
    TempDir::put(f.settings(), "[VISTROVA]\r\nINTERVAL=3\r\n");
    for (const char* n : {"00", "03", "99"}) TempDir::put(f.home + "/FILE" + n + ".INI", std::string("list ") + n);
    fs::create_directories(f.target);
    TempDir::put(f.target + "/FILE50.INI", "from an earlier installation");

    const Result r = screensaver::install(f.program, f.settings(), f.prefix(), f.target);
    EXPECT_EQ(r.status, Result::Done);
    EXPECT_EQ(TempDir::get(f.target + "/VISTROVA.SCR"), "\x7f" "ELF program");
    struct stat st {};
    ASSERT_EQ(::stat((f.target + "/VISTROVA.SCR").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0755u);  // still runnable
    EXPECT_EQ(TempDir::get(f.target + "/VISTROVA.INI"), "[VISTROVA]\r\nINTERVAL=3\r\n");
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(f.target)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"FILE00.INI", "FILE03.INI", "FILE50.INI", "FILE99.INI",
                                               "VISTROVA.INI", "VISTROVA.SCR"}));
    EXPECT_EQ(TempDir::get(f.target + "/FILE50.INI"), "from an earlier installation");

    // A second installation overwrites the copies, never through a file of a temporary's name.
    TempDir::put(f.home + "/FILE03.INI", "changed");
    TempDir::put(f.home + "/outside", "kept");
    fs::create_symlink(f.home + "/outside", f.target + "/FILE03.INI.new");
    EXPECT_EQ(screensaver::install(f.program, f.settings(), f.prefix(), f.target).status, Result::Done);
    EXPECT_EQ(TempDir::get(f.target + "/FILE03.INI"), "changed");
    EXPECT_EQ(TempDir::get(f.home + "/outside"), "kept");
}

TEST(ScreenSaverInstall, MissingSettingsLeavesOnlyTheProgram) {
    Folders f;
    TempDir::put(f.home + "/FILE00.INI", "list");
    const Result r = screensaver::install(f.program, f.settings(), f.prefix(), f.target);
    EXPECT_EQ(r.status, Result::NoSettings);
    EXPECT_TRUE(fs::exists(f.target + "/VISTROVA.SCR"));
    EXPECT_FALSE(fs::exists(f.target + "/FILE00.INI"));
}

TEST(ScreenSaverInstall, FailuresAreReportedWithThePath) {
    Folders f;
    TempDir::put(f.settings(), "[VISTROVA]\r\n");
    const Result missing = screensaver::install(f.dir.file("no-such-program"), f.settings(), f.prefix(), f.target);
    EXPECT_EQ(missing.status, Result::CopyFailed);
    EXPECT_EQ(missing.path, f.dir.file("no-such-program"));

    TempDir::put(f.dir.file("a-file"), "not a folder");
    EXPECT_EQ(screensaver::install(f.program, f.settings(), f.prefix(), f.dir.file("a-file")).status, Result::NoTarget);
    EXPECT_EQ(TempDir::get(f.dir.file("a-file")), "not a folder");
}

TEST(ScreenSaverInstall, InstallingFromTheInstalledCopySkipsItself) {
    Folders f;
    fs::create_directories(f.target);
    const std::string installed = f.target + "/VISTROVA.SCR";
    TempDir::put(installed, "installed program");
    TempDir::put(f.target + "/VISTROVA.INI", "[VISTROVA]\r\n");
    const Result r = screensaver::install(installed, f.target + "/VISTROVA.INI", f.target + "/FILE", f.target);
    EXPECT_EQ(r.status, Result::Done);
    EXPECT_EQ(TempDir::get(installed), "installed program");
}

const char* const kConfig =
    "# XScreenSaver Preferences File\n"
    "timeout:\t0:10:00\n"
    "mode:\t\trandom\n"
    "programs:\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tmaze -root\t\t\t\t    \\n\\\n"
    "  GL:\t\t\t\tsuperquadrics -root\t\t    \\n\\\n"
    "-\t\t\t\tattraction -root\t\t    \\n\n"
    "\n"
    "pointerHysteresis:\t10\n";

TEST(XScreenSaver, OneEntryAddedOnceEveryOtherByteKept) {
    const auto added = screensaver::addProgramEntry(kConfig, "/home/u/.local/share/vistrova/screensaver/VISTROVA.SCR");
    ASSERT_TRUE(added);
    const std::string expected = std::string(kConfig).insert(
        std::string(kConfig).find("\t\t\t\tmaze"),
        "  \"Vistrova\"  /home/u/.local/share/vistrova/screensaver/VISTROVA.SCR --root\t\\n\\\n");
    EXPECT_EQ(*added, expected);
    EXPECT_FALSE(screensaver::addProgramEntry(*added, "/home/u/.local/share/vistrova/screensaver/VISTROVA.SCR"));
}

TEST(XScreenSaver, OddProgramsLines) {
    EXPECT_EQ(*screensaver::addProgramEntry("timeout: 1\nprograms:\nlock: False\n", "/v/VISTROVA.SCR"),
              "timeout: 1\nprograms:\t\\\n  \"Vistrova\"  /v/VISTROVA.SCR --root\t\\n\nlock: False\n");
    EXPECT_EQ(*screensaver::addProgramEntry("programs: maze -root\n", "/v/VISTROVA.SCR"),
              "programs:\t\\\n  \"Vistrova\"  /v/VISTROVA.SCR --root\t\\n\\\n\t\tmaze -root\n");
    EXPECT_EQ(*screensaver::addProgramEntry("timeout: 1", "/my dir/VISTROVA.SCR"),
              "timeout: 1\nprograms:\t\\\n  \"Vistrova\"  '/my dir/VISTROVA.SCR' --root\t\\n\n");
}

TEST(XScreenSaver, RegistrationLeavesBadConfigurationsAlone) {
    TempDir dir;
    const std::string config = dir.file(".xscreensaver");
    EXPECT_EQ(screensaver::registerProgram(config, "/v/VISTROVA.SCR"), screensaver::Registration::NoConfig);
    EXPECT_FALSE(fs::exists(config));

    TempDir::put(config, kConfig);
    EXPECT_EQ(screensaver::registerProgram(config, "/v/VISTROVA.SCR"), screensaver::Registration::Added);
    EXPECT_EQ(screensaver::registerProgram(config, "/v/VISTROVA.SCR"), screensaver::Registration::AlreadyThere);
    EXPECT_NE(TempDir::get(config).find("/v/VISTROVA.SCR --root"), std::string::npos);

    const std::string huge = dir.file("huge");
    TempDir::put(huge, std::string(9u << 20, '#'));
    EXPECT_EQ(screensaver::registerProgram(huge, "/v/VISTROVA.SCR"), screensaver::Registration::Refused);
    EXPECT_EQ(fs::file_size(huge), 9u << 20);

    fs::create_directory(dir.file("dir"));
    EXPECT_EQ(screensaver::registerProgram(dir.file("dir"), "/v/VISTROVA.SCR"), screensaver::Registration::Refused);
}

}  // namespace
