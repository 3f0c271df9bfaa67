#pragma once
// Qt key events as the Windows virtual-key codes the settings file keeps.
// One table for the player and the key dialog.

#include <Qt>

#include <cstdint>

namespace keycodes {

inline constexpr int kShiftBit = 1;
inline constexpr int kCtrlBit = 2;
inline constexpr int kAltBit = 4;

inline constexpr int kVkEscape = 27;
inline constexpr int kVkF1 = 112;
inline constexpr int kVkF2 = 113;
inline constexpr int kVkF4 = 115;

// Virtual-key code of a Qt key; `keypad` is whether the event carried
// Qt::KeypadModifier (keypad digits and operators have codes of their own).
// 0 for a key without a code.
int virtualKeyOf(int qtKey, bool keypad);

// Shift state as a bit mask: 1 Shift, 2 Ctrl, 4 Alt.
int shiftStateOf(Qt::KeyboardModifiers modifiers);

}  // namespace keycodes
