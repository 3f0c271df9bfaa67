// Start-up decisions: the command line, the volume step of the saved volume,
// the launcher's buttons and the show sequence's cursor targets.

#include "launcher/StartupRules.h"
#include "shared/mdlPublic.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

struct CommandCase {
    std::string line;
    bool end;
    int mode;
};

TEST(CommandLine, OnlyTheFirstTwoCharactersCount) {
    const std::vector<CommandCase> cases = {
        {"/s", false, 1},      {"/S", false, 1},       {"/S 1234", false, 1}, {"/s:99", false, 1},
        {"/sx", false, 1},     {"/c:1234", false, 2},  {"/C", false, 2},      {"/c 9", false, 2},
        {"/p 1234", true, 0},  {"/P", true, 0},        {"/a", true, 0},       {"/A 77", true, 0},
        {"S", false, 0},       {"", false, 0},         {"1234", false, 0},    {"/", false, 0},
        {"-s", false, 0},      {" /s", false, 0},      {"/x", false, 0},      {"//s", false, 0},
        {"\xE3\x81\x82/s", false, 0}, {std::string("/\0s", 3), false, 0},
    };
    for (const CommandCase& c : cases) {
        const launcher::StartRequest r = launcher::startRequestOf(c.line);
        EXPECT_EQ(r.endAtOnce, c.end) << "[" << c.line << "]";
        if (!c.end) {
            EXPECT_EQ(r.startMode, c.mode) << "[" << c.line << "]";
        }
    }
}

TEST(CommandLine, HugeTextIsDecidedByItsHead) {
    std::string huge(1 << 20, 'x');
    EXPECT_EQ(launcher::startRequestOf(huge).startMode, 0);
    huge.replace(0, 2, "/s");
    EXPECT_EQ(launcher::startRequestOf(huge).startMode, 1);
    huge.replace(0, 2, "/P");
    EXPECT_TRUE(launcher::startRequestOf(huge).endAtOnce);
    std::string noise(4096, '\0');
    for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>(i * 37);
    EXPECT_FALSE(launcher::startRequestOf(noise).endAtOnce);
}

TEST(CommandLine, ArgumentsAreJoinedBySpaces) {
    const char* one[] = {"vistrova", "/S", "1234"};
    EXPECT_EQ(launcher::commandLineOf(3, one), "/S 1234");
    const char* none[] = {"vistrova"};
    EXPECT_EQ(launcher::commandLineOf(1, none), "");
    // An empty first argument leaves a leading space: no longer a switch.
    const char* empty[] = {"vistrova", "", "/s"};
    EXPECT_EQ(launcher::startRequestOf(launcher::commandLineOf(3, empty)).startMode, 0);
}

TEST(LauncherButtons, HitTestInTwipsAtTheEdgePixels) {
    struct Hit {
        double x, y;  // launcher pixels
        int button;
    };
    const std::vector<Hit> hits = {
        {236, 184, launcher::kButtonStart}, {236, 213, launcher::kButtonStart}, {236, 214, launcher::kButtonNone},
        {206.5, 184, launcher::kButtonStart}, {206, 184, launcher::kButtonNone}, {308, 160, launcher::kButtonList},
        {380, 184, launcher::kButtonExit},  {409, 184, launcher::kButtonExit},  {410, 184, launcher::kButtonNone},
        {272, 184, launcher::kButtonNone},  {0, 0, launcher::kButtonNone},      {-5, 1e9, launcher::kButtonNone},
        {338, 184, launcher::kButtonNone},  {337, 184, launcher::kButtonList},  {236, 155, launcher::kButtonStart},
        {236, 154, launcher::kButtonNone},
    };
    // 96 dpi (15), 120 dpi (12), one twip per pixel, and unequal factors.
    const std::vector<std::pair<double, double>> scales = {{15, 15}, {12, 12}, {1, 1}, {10, 10}};
    for (const auto& [px, py] : scales) {
        for (const Hit& h : hits) {
            EXPECT_EQ(launcher::buttonAt(h.x * px, h.y * py, px, py), h.button)
                << h.x << "," << h.y << " at " << px << "x" << py;
        }
    }
}

TEST(LauncherButtons, UnequalTwipsPerPixelUseTheGeometricMeanRadius) {
    // 20 by 5 twips per pixel: the radius is 30 * 10 = 300 twips, a circle in twips.
    EXPECT_EQ(launcher::buttonAt(236 * 20 + 299, 184 * 5, 20, 5), launcher::kButtonStart);
    EXPECT_EQ(launcher::buttonAt(236 * 20 + 300, 184 * 5, 20, 5), launcher::kButtonNone);
    EXPECT_EQ(launcher::buttonAt(236 * 20, 184 * 5 + 299, 20, 5), launcher::kButtonStart);
    EXPECT_EQ(launcher::buttonAt(236 * 20, 184 * 5 - 300, 20, 5), launcher::kButtonNone);
}

TEST(LauncherButtons, PixelsGoThroughWholeTwipsPerPixel) {
    struct Row {
        double x, y, dpiX, dpiY;
        int button;
    };
    const std::vector<Row> rows = {
        {236, 213, 96, 96, launcher::kButtonStart},   {236, 214, 96, 96, launcher::kButtonNone},
        {272, 184, 96, 96, launcher::kButtonNone},    {236, 213, 120, 120, launcher::kButtonStart},
        {236, 214, 120, 120, launcher::kButtonNone},  {236, 213, 144, 144, launcher::kButtonStart},
        // 20 by 15 twips: a radius of 30 * sqrt(300) twips, about 26 pixels
        // across and 34.6 pixels down.
        {405, 184, 72, 96, launcher::kButtonExit},    {406, 184, 72, 96, launcher::kButtonNone},
        {380, 218, 72, 96, launcher::kButtonExit},    {380, 219, 72, 96, launcher::kButtonNone},
        // An unknown or absurd resolution still gives a usable answer.
        {236, 213, 0, 0, launcher::kButtonStart},     {236, 213, 1e9, 1e9, launcher::kButtonStart},
        {236, 214, -5, 96, launcher::kButtonNone},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(launcher::buttonAtPixel(r.x, r.y, r.dpiX, r.dpiY), r.button)
            << r.x << "," << r.y << " at " << r.dpiX << "x" << r.dpiY;
    }
}

TEST(ShowCursor, CornerAndCentreOfTheScreen) {
    EXPECT_EQ(launcher::showCursorCorner(1024, 768).x, 1023);
    EXPECT_EQ(launcher::showCursorCorner(1024, 768).y, 767);
    EXPECT_EQ(launcher::showCursorCentre(1024, 768).x, 512);
    EXPECT_EQ(launcher::showCursorCentre(1024, 768).y, 384);
    EXPECT_EQ(launcher::showCursorCorner(0, 0).x, 0);
}

}  // namespace
