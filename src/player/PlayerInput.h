#pragma once
// The player's input tables: keys, clicks and drags to player actions.

#include "shared/mdlPublic.h"

#include <vector>

namespace player {

// Player actions, the argument of MouseOperation.
enum Action : int {
    kRewind = 0,
    kNext = 1,
    kPrevious = 2,
    kPause = 3,
    kSeekBack = 4,
    kSeekForward = 5,
    kVolumeUp = 6,
    kVolumeDown = 7,
    kEnd = 8,
};

// Mouse buttons as the player counts them.
inline constexpr int kButtonLeft = 1;
inline constexpr int kButtonRight = 2;
inline constexpr int kButtonMiddle = 4;

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

enum class KeyRow { None, HelpFile, Help, Action };
struct KeyDecision {
    KeyRow row = KeyRow::None;
    int action = -1;  // with KeyRow::Action
};

// The row a released key selects; rows are tried from the top, so the user
// keys win over Esc.
KeyDecision keyReleaseRow(int key, const mdlPublic::KeyTable& keys);

// Whether a key press ends the show: any key in the screen-saver modes,
// Alt+F4 always.
bool keyPressEndsShow(int startMode, int key, int shift);

// Whether the player keeps above every other window. A show gives way while
// another window has the keyboard (the help document it opened, a window the
// user switched to), so that window comes in front of it; the screen saver
// stays above whatever is active.
bool staysOnTop(int startMode, bool active);

// The action of a click (a press and release that did not become a drag).
int clickAction(int button, int shift, int lastClickAction);

// A drag starts past this distance from the press point, in pixels.
inline constexpr int kDragDistance = 32;

// Actions a cursor position starts while a button is held: the horizontal
// one first, then the vertical one; empty while the cursor stays near.
std::vector<int> dragActions(Point press, Point cursor);

}  // namespace player
