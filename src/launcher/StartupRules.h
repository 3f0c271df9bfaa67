#pragma once
// Decisions of start-up that need no window: what the command line asks for,
// where the show sequence puts the cursor, which launcher button is under a point.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace launcher {

// What the command line asks for: end at once, or run in one of the start modes.
struct StartRequest {
    bool endAtOnce = false;       // "/P" (preview) and "/A" (password): nothing to do
    std::int16_t startMode = 0;   // mdlPublic::StartMode when not ending
    // The show runs inside a window of a screen-saver host (start mode 1).
    // Window 0 is the root window, which the normal full-screen show covers.
    bool inHost = false;
    std::uint32_t hostWindow = 0;
    // Not empty: the command line cannot be carried out; say this on stderr
    // and end with kExitRefused, touching nothing.
    std::string refusal;
};

inline constexpr int kExitRefused = 2;

// The arguments after the program name, joined by single spaces, as the
// screen-saver host passes one command-line text.
std::string commandLineOf(int argc, const char* const* argv);

// Only the first two characters count, upper-cased: "/P" "/A" end, "/C" mode 2,
// "/S" mode 1, anything else (empty, a number, "S") mode 0.
StartRequest startRequestOf(std::string_view commandLine);

// The arguments after the program name and the value of XSCREENSAVER_WINDOW
// (null when unset). A first argument "-root"/"--root" shows on the window the
// variable names (else the root window); "-window-id N"/"--window-id N" (or
// "--window-id=N") on window N. Anything else goes by the text rule above.
StartRequest startRequestOf(const std::vector<std::string>& args, const char* xscreensaverWindow);

// An X window number: decimal or "0x" hexadecimal, 1 to 0xFFFFFFFF, nothing
// around it. Nothing for any other text.
std::optional<std::uint32_t> windowIdOf(std::string_view text);

// Launcher buttons: 2 Start, 3 List, 4 Exit (the picture index of each), 1 none.
inline constexpr int kButtonNone = 1;
inline constexpr int kButtonStart = 2;
inline constexpr int kButtonList = 3;
inline constexpr int kButtonExit = 4;
inline constexpr int kButtonRadius = 30;

// The button under launcher point (x, y) given in twips, on a screen of
// `perPixelX` by `perPixelY` twips per pixel: nearer to the centre than the
// radius, which is 30 pixels scaled by the square root of both factors.
int buttonAt(double x, double y, double perPixelX, double perPixelY);

// The same for a point in launcher pixels on a screen of the given dots per
// inch: whole twips per pixel each way (15 at 96), as the mouse events of the
// design report positions.
int buttonAtPixel(double x, double y, double dpiX, double dpiY);

struct Point {
    int x = 0;
    int y = 0;
};
// Cursor targets of the show sequence on a screen of the given pixel size:
// the bottom-right corner before the show, the centre after it.
Point showCursorCorner(int screenWidth, int screenHeight);
Point showCursorCentre(int screenWidth, int screenHeight);

}  // namespace launcher
