#include "editor/EditorRules.h"
#include "shared/Numeric.h"
#include "shared/ProgramFolder.h"
#include "shared/Settings.h"
#include "shared/mdlPublic.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

mdlPublic::PublicState Loaded(const std::string& iniText) {
    mdlPublic::PublicState s;
    settings::loadStartup(s, ini::Snapshot(iniText));
    return s;
}

TEST(Numeric, DecimalTextOnly) {
    struct Row {
        const char* text;
        std::optional<double> value;
    };
    const Row rows[] = {
        {"10", 10},     {" 7 ", 7},   {"+3", 3},    {"-4", -4},        {"2.5", 2.5}, {".5", 0.5},
        {"5.", 5},      {"0", 0},     {"", {}},     {"abc", {}},       {"1e3", {}},  {"&H10", {}},
        {"1.2.3", {}},  {"- 1", {}},  {".", {}},    {"+", {}},         {"12a", {}},  {"\t42\t", 42},
    };
    // Too small for a double is still a number, and it rounds to 0.
    const std::string tiny = "0." + std::string(400, '0') + "1";
    for (const Row& r : rows) EXPECT_EQ(numeric::parse(r.text), r.value) << '"' << r.text << '"';
    EXPECT_EQ(numeric::toWhole(tiny, 0, 9), 0);
    EXPECT_EQ(numeric::toWhole("-" + tiny, -9, 9), 0);
    EXPECT_EQ(numeric::toWhole("1" + tiny, 0, 9), std::nullopt);  // 10^400 is out of range
}

TEST(Numeric, RoundsHalvesToEven) {
    const std::pair<double, double> rows[] = {{2.5, 2},   {3.5, 4},  {-0.5, 0}, {-1.5, -2},
                                              {0.49, 0},  {1.51, 2}, {-2.5, -2}};
    for (const auto& [in, out] : rows) EXPECT_EQ(numeric::roundHalfEven(in), out) << in;
    EXPECT_FALSE(std::signbit(numeric::roundHalfEven(-0.4)));
}

TEST(Numeric, WholeNumbersWithinRange) {
    EXPECT_EQ(numeric::toWhole("32767", -32768, 32767), 32767);
    EXPECT_EQ(numeric::toWhole("32767.4", -32768, 32767), 32767);
    EXPECT_EQ(numeric::toWhole("32767.5", -32768, 32767), std::nullopt);  // rounds to 32768
    EXPECT_EQ(numeric::toWhole("-32768", -32768, 32767), -32768);
    EXPECT_EQ(numeric::toWhole("99999999999999999999999999999", -32768, 32767), std::nullopt);
    EXPECT_EQ(numeric::toWhole(std::string(400, '9'), 0, 9), std::nullopt);
}

TEST(StartupSettings, NoFileGivesTheDefaults) {
    const auto s = Loaded("");
    EXPECT_EQ(s.interval, 10);
    EXPECT_EQ(s.backColor, 0);
    EXPECT_EQ(s.keys.left, 117);
    EXPECT_EQ(s.keys.right, 119);
    EXPECT_EQ(s.keys.up, 116);
    EXPECT_EQ(s.keys.down, 118);
    EXPECT_EQ(s.fileNum, 0);
    EXPECT_EQ(s.pageNum, 0);
    EXPECT_EQ(s.unit, mdlPublic::kUnitSeconds);
    EXPECT_FALSE(mdlPublic::hasFixedSize(s));
    EXPECT_EQ(mdlPublic::displaySeconds(s), 10);
}

TEST(StartupSettings, ReadsEveryShowKey) {
    const auto s = Loaded(
        "[VISTROVA]\r\nSIZE=ON\r\nHSIZE=480\r\nWSIZE=640\r\nINTERVAL=3\r\nUNIT=1\r\nFILENUM=5\r\nPAGENUM=3\r\n"
        "BACKCOLOR=16711680\r\nMyKeyLeft=37\r\nMyKeyRight=39\r\nMyKeyUp=38\r\nMyKeyDown=40\r\n");
    EXPECT_EQ(s.fixedWidth, 640);
    EXPECT_EQ(s.fixedHeight, 480);
    EXPECT_EQ(s.interval, 3);
    EXPECT_EQ(s.unit, mdlPublic::kUnitMinutes);
    EXPECT_EQ(mdlPublic::displaySeconds(s), 180);
    EXPECT_EQ(s.fileNum, 5);
    EXPECT_EQ(s.pageNum, 3);
    EXPECT_EQ(s.backColor, 0xFF0000);
    EXPECT_EQ(s.keys.left, 37);
    EXPECT_EQ(s.keys.right, 39);
    EXPECT_EQ(s.keys.up, 38);
    EXPECT_EQ(s.keys.down, 40);
}

TEST(StartupSettings, FallbacksForBadValues) {
    struct Row {
        const char* what;
        const char* body;
        int interval, fileNum, pageNum, keyLeft, backColor;
    };
    const Row rows[] = {
        {"INTERVAL=0 stays 0", "INTERVAL=0", 0, 0, 0, 117, 0},
        {"INTERVAL=abc is 10", "INTERVAL=abc", 10, 0, 0, 117, 0},
        {"empty INTERVAL is 10", "INTERVAL=", 10, 0, 0, 117, 0},
        {"INTERVAL rounds half to even", "INTERVAL=2.5", 2, 0, 0, 117, 0},
        {"INTERVAL past 16 bits is 10", "INTERVAL=40000", 10, 0, 0, 117, 0},
        {"negative INTERVAL is 10", "INTERVAL=-5", 10, 0, 0, 117, 0},
        {"FILENUM 10 is out of 0..9", "FILENUM=10\r\nPAGENUM=-1", 10, 0, 0, 117, 0},
        {"FILENUM 9.4 rounds into range", "FILENUM=9.4\r\nPAGENUM=8.5", 10, 9, 8, 117, 0},
        {"key code past 16 bits is the default", "MyKeyLeft=70000", 10, 0, 0, 117, 0},
        {"key code text is the default", "MyKeyLeft=F6", 10, 0, 0, 117, 0},
        {"BACKCOLOR past 32 bits is black", "BACKCOLOR=4294967296", 10, 0, 0, 117, 0},
        {"negative BACKCOLOR within 32 bits is kept", "BACKCOLOR=-1", 10, 0, 0, 117, -1},
        {"lower-case key names still match", "interval=7\r\nmykeyleft=65", 7, 0, 0, 65, 0},
        {"quoted numbers are numbers", "INTERVAL=\"12\"", 12, 0, 0, 117, 0},
    };
    for (const Row& r : rows) {
        const auto s = Loaded(std::string("[VISTROVA]\r\n") + r.body + "\r\n");
        EXPECT_EQ(s.interval, r.interval) << r.what;
        EXPECT_EQ(s.fileNum, r.fileNum) << r.what;
        EXPECT_EQ(s.pageNum, r.pageNum) << r.what;
        EXPECT_EQ(s.keys.left, r.keyLeft) << r.what;
        EXPECT_EQ(s.backColor, r.backColor) << r.what;
    }
}

TEST(StartupSettings, FixedSizeNeedsExactOnAndBothNumbers) {
    const std::pair<const char*, bool> rows[] = {
        {"SIZE=ON\r\nHSIZE=480\r\nWSIZE=640", true},
        {"SIZE=on\r\nHSIZE=480\r\nWSIZE=640", false},
        {"SIZE= ON \r\nHSIZE=480\r\nWSIZE=640", true},  // blanks around a value are trimmed by the reader
        {"SIZE=ON\r\nHSIZE=480", false},
        {"SIZE=ON\r\nHSIZE=480\r\nWSIZE=wide", false},
        {"SIZE=ON\r\nHSIZE=0\r\nWSIZE=640", false},
        {"SIZE=ON\r\nHSIZE=-480\r\nWSIZE=640", false},
        {"HSIZE=480\r\nWSIZE=640", false},
    };
    for (const auto& [body, fixed] : rows) {
        EXPECT_EQ(mdlPublic::hasFixedSize(Loaded(std::string("[VISTROVA]\r\n") + body + "\r\n")), fixed) << body;
    }
}

TEST(StartupSettings, UnitIsReadBack) {
    EXPECT_EQ(Loaded("[VISTROVA]\r\nUNIT=1\r\n").unit, mdlPublic::kUnitMinutes);
    EXPECT_EQ(Loaded("[VISTROVA]\r\nUNIT=0\r\n").unit, mdlPublic::kUnitSeconds);
    EXPECT_EQ(Loaded("[VISTROVA]\r\nUNIT=7\r\n").unit, mdlPublic::kUnitSeconds);
    EXPECT_EQ(Loaded("[VISTROVA]\r\nUNIT=x\r\n").unit, mdlPublic::kUnitSeconds);
}

TEST(StartupSettings, MissingListNumbersKeepTheCurrentOnes) {
    mdlPublic::PublicState s;
    s.fileNum = 4;
    s.pageNum = 2;
    settings::loadStartup(s, ini::Snapshot("[VISTROVA]\r\nINTERVAL=5\r\n"));
    EXPECT_EQ(s.fileNum, 4);
    EXPECT_EQ(s.pageNum, 2);
}

TEST(SettingsKeys, NumbersAreReadWithinTheirKeysRanges) {
    using namespace settings;
    const ini::Snapshot file("[VISTROVA]\r\nsortkey=2\r\nSortOrder=2\r\nBar1=-2147483648.4\r\nBar2=2147483648\r\n");
    EXPECT_EQ(read(file, kSortKey), 2);
    EXPECT_EQ(read(file, kSortOrder), std::nullopt);
    EXPECT_EQ(read(file, kBar1), -2147483648.0);
    EXPECT_EQ(read(file, kBar2), std::nullopt);
    EXPECT_EQ(read(ini::Snapshot("[VISTROVA]\r\nSortKey=3\r\n"), kSortKey), std::nullopt);  // three columns
}

TEST(SettingsFile, WritesKeepOtherKeysAndTheirOrder) {
    TempDir dir;
    const std::string file = dir.file("VISTROVA.INI");
    TempDir::put(file, "[VISTROVA]\r\nINTERVAL=10\r\nFILENUM=1\r\n; mine\r\nPAGENUM=2\r\n");
    ASSERT_TRUE(settings::write(file, settings::entry(settings::kFileNum, 3)));
    const settings::Entry many[] = {settings::entry(settings::kPageNum, 4), settings::entry(settings::kUnit, 1)};
    ASSERT_TRUE(settings::writeMany(file, many));
    EXPECT_EQ(TempDir::get(file), "[VISTROVA]\r\nINTERVAL=10\r\nFILENUM=3\r\n; mine\r\nPAGENUM=4\r\nUNIT=1\r\n");
}

TEST(SettingsFile, ARefusedValueOfTheCloseBatchFailsAlone) {
    // The browser stood in a folder whose name holds a line break.
    TempDir dir;
    const std::string file = dir.file("VISTROVA.INI");
    TempDir::put(file, "[VISTROVA]\r\nDEFPATH=/home/u/old/\r\nBACKCOLOR=255\r\n");
    editor::CloseView view;
    view.defPath = "/home/u/a\nb/";
    const auto values = editor::closeValues(view);
    EXPECT_FALSE(settings::writeMany(file, values));
    const ini::Snapshot after = ini::Snapshot::load(file);
    EXPECT_EQ(settings::read(after, settings::kDefPath), "/home/u/old/");
    EXPECT_EQ(settings::read(after, settings::kBackColor), 255);
    for (const auto& [key, text] : values) {
        if (key != settings::kDefPath.name) {
            EXPECT_EQ(after.read(settings::kSection, key), text) << key;
        }
    }
}

TEST(SettingsFile, ShiftJisDefPathDecodesLikeEveryOtherValue) {
    // /写真/ as the Windows release stored it.
    const auto v = editor::readOpenView(ini::Snapshot("[VISTROVA]\r\nDEFPATH=/\x8E\xCA\x90\x5E/\r\n"));
    EXPECT_EQ(v.defPath, "/\xE5\x86\x99\xE7\x9C\x9F/");
}

TEST(Paths, FolderWithAndWithoutTrailingSlash) {
    mdlPublic::PublicState s;
    mdlPublic::setPaths(s, "/home/u/Show");
    EXPECT_EQ(s.settingsPath, "/home/u/Show/VISTROVA.INI");
    EXPECT_EQ(s.listPrefix, "/home/u/Show/FILE");
    mdlPublic::setPaths(s, "/");
    EXPECT_EQ(s.settingsPath, "/VISTROVA.INI");
    EXPECT_EQ(s.listPrefix, "/FILE");
}

TEST(ProgramFolder, ChoiceOrder) {
    programfolder::Facts f;
    f.exeDir = "/home/u/show";
    f.home = "/home/u";
    f.exeDirOwnedByUser = true;
    f.exeDirWritable = true;
    EXPECT_EQ(programfolder::choose(f), "/home/u/show");
    f.vistrovaHome = "/data/show";
    EXPECT_EQ(programfolder::choose(f), "/data/show");
    f.vistrovaHome.reset();
    f.exeDirWritable = false;
    EXPECT_EQ(programfolder::choose(f), "/home/u/.config/vistrova");
    f.exeDirHasSettings = true;  // a copied program with its settings beside it, read-only
    EXPECT_EQ(programfolder::choose(f), "/home/u/show");
    f.exeDirHasSettings = false;
    f.xdgConfigHome = "/cfg";
    EXPECT_EQ(programfolder::choose(f), "/cfg/vistrova");
}

// Only a folder of the user's own keeps the files beside the program: an
// installed copy run by root must not pin later users to its folder.
TEST(ProgramFolder, SystemSharedAndForeignFoldersAreNeverChosen) {
    programfolder::Facts own;
    own.home = "/root";
    own.exeDirOwnedByUser = own.exeDirWritable = own.exeDirHasSettings = true;
    for (const char* dir : {"/usr/bin", "/usr/local/bin", "/usr/games", "/bin", "/sbin", "/opt/vistrova/bin",
                            "/snap/vistrova/12/usr/bin", "/usr/bin/"}) {
        programfolder::Facts f = own;
        f.exeDir = dir;
        EXPECT_EQ(programfolder::choose(f), "/root/.config/vistrova") << dir;
    }
    EXPECT_FALSE(programfolder::isSystemFolder("/usr2/bin"));
    EXPECT_FALSE(programfolder::isSystemFolder("/home/u/usr"));

    programfolder::Facts f = own;
    f.exeDir = "/home/u/.local/bin";
    EXPECT_EQ(programfolder::choose(f), "/home/u/.local/bin");
    f.exeDirInstalled = true;  // ~/.local/bin beside ~/.local/share/vistrova
    EXPECT_EQ(programfolder::choose(f), "/root/.config/vistrova");
    f = own;
    f.exeDir = "/tmp";
    f.exeDirWritableByOthers = true;
    EXPECT_EQ(programfolder::choose(f), "/root/.config/vistrova");
    f = own;
    f.exeDir = "/home/alice/show";
    f.exeDirOwnedByUser = false;  // another user's folder, though it holds the settings file
    EXPECT_EQ(programfolder::choose(f), "/root/.config/vistrova");
}

// The one table of the saved volume's steps; the player's round trip of each
// step it writes is tested with the player's volume rules.
TEST(VolumeStep, TableBoundaries) {
    const std::pair<std::uint32_t, int> rows[] = {
        {0x00000000, 0},  {0x08880888, 0},  {0x08880889, 1},  {0x0000FFFF, 0},  {0x7FFF7FFF, 7},
        {0x7FFF8000, 8},  {0x80008000, 8},  {0x91119111, 8},  {0x91119112, 9},  {0xF777F777, 14},
        {0xF777F778, 15}, {0xFFFFFFFF, 15}, {0x11111111, 1},  {0x88888888, 8},  {0x19991999, 1},
        {0x1999199A, 2},  {0xFFFF0000, 15}, {0x4CCC4CCD, 5},  {0xC444C445, 12},
    };
    for (const auto& [v, step] : rows) EXPECT_EQ(mdlPublic::volumeStepOf(v), step) << std::hex << v;
}

}  // namespace
