#pragma once
// Decisions of start-up that need no window: what the command line asks for,
// where the show sequence puts the cursor, which launcher button is under a point.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace launcher {

// What the command line asks for: end at once, or run in one of the start modes.
struct StartRequest {
    bool endAtOnce = false;       // "/P" (preview) and "/A" (password): nothing to do
    std::int16_t startMode = 0;   // mdlPublic::StartMode when not ending
};

// The arguments after the program name, joined by single spaces, as the
// screen-saver host passes one command-line text.
std::string CommandLineOf(int argc, const char* const* argv);

// Only the first two characters count, upper-cased: "/P" "/A" end, "/C" mode 2,
// "/S" mode 1, anything else (empty, a number, "S") mode 0.
StartRequest StartRequestOf(std::string_view commandLine);

// Launcher buttons: 2 Start, 3 List, 4 Exit (the picture index of each), 1 none.
inline constexpr int kButtonNone = 1;
inline constexpr int kButtonStart = 2;
inline constexpr int kButtonList = 3;
inline constexpr int kButtonExit = 4;
inline constexpr int kButtonRadius = 30;

// The button whose centre is nearer than the radius to launcher pixel (x, y).
int ButtonAt(double x, double y);

struct Point {
    int x = 0;
    int y = 0;
};
// Cursor targets of the show sequence on a screen of the given pixel size:
// the bottom-right corner before the show, the centre after it.
Point ShowCursorCorner(int screenWidth, int screenHeight);
Point ShowCursorCentre(int screenWidth, int screenHeight);

}  // namespace launcher
