#pragma once
// Where a key pressed in a window goes. As menu accelerators do, the window's
// own command shortcuts act whichever of its controls has the keyboard; a
// text box keeps its editing keys (letters, Backspace, arrows, Ctrl+C ...)
// wherever the window has no command on them. Plain C++: a key is Qt's key
// code with its modifier bits, as QKeyCombination::toCombined gives it.

#include <algorithm>
#include <span>

namespace platform {

// Qt's keypad flag: a shortcut on Ctrl+1 answers the keypad's 1 as well.
inline constexpr int kKeypadFlag = 0x20000000;

// True when the pressed key is one of the window's single-key shortcuts.
inline bool windowTakesKey(int pressed, std::span<const int> windowShortcuts) {
    const int key = pressed & ~kKeypadFlag;
    return std::any_of(windowShortcuts.begin(), windowShortcuts.end(),
                       [key](int shortcut) { return (shortcut & ~kKeypadFlag) == key; });
}

}  // namespace platform
