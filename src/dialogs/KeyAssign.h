#pragma once
// The four player keys: their names and the rule that binds a new one.

#include "shared/SettingsKeys.h"

#include <array>
#include <cstdint>
#include <string>

namespace keyassign {

// Display name of a Windows virtual-key code; "" for a code without one.
std::string ChrKeyCord(int keyCode);

// Previous, next, pause, rewind: the order of the boxes and of the settings keys.
using Codes = std::array<std::int16_t, 4>;
inline constexpr const settings::Key<std::int16_t>* kSettingsKeys[4] = {&settings::kMyKeyLeft, &settings::kMyKeyRight,
                                                                        &settings::kMyKeyUp, &settings::kMyKeyDown};

enum class Verdict { Accepted, Reserved, Duplicate };

// Binds `keyCode` to box `index` of `pending` unless it is F1, F2 or Esc, or
// another box holds it already; a refused key changes nothing.
Verdict assign(Codes& pending, int index, int keyCode);

}  // namespace keyassign
