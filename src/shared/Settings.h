#pragma once
// The settings file VISTROVA.INI: reading and writing its keys, and the
// start-up reader.

#include "IniFile.h"
#include "Numeric.h"
#include "Outcome.h"
#include "SettingsKeys.h"
#include "mdlPublic.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace settings {

// A number within the key's range, or nothing (missing, not numeric, out of range).
template <typename T>
    requires(!std::is_same_v<T, std::string_view>)
std::optional<T> read(const ini::Snapshot& file, const Key<T>& key) {
    const auto whole = numeric::toWhole(file.read(kSection, key.name), key.min, key.max);
    if (!whole) return std::nullopt;
    return static_cast<T>(*whole);
}
// A text key's value as stored; "" when missing.
std::string read(const ini::Snapshot& file, const Key<std::string_view>& key);

// The value read, else the key's fallback.
template <typename T>
T value(const ini::Snapshot& file, const Key<T>& key) {
    return read(file, key).value_or(key.fallback);
}

// A key with the text to store for it.
using Entry = std::pair<std::string_view, std::string>;

// A number of twips as single-precision text: whole numbers without a
// fraction ("1200", "-60"), others with seven significant digits.
std::string twipsText(double twips);

inline std::string textOf(std::int16_t v) { return std::to_string(v); }
inline std::string textOf(std::int32_t v) { return std::to_string(v); }
inline std::string textOf(double twips) { return twipsText(twips); }
inline std::string textOf(bool shown) { return shown ? "1" : "0"; }
inline std::string textOf(std::string_view text) { return std::string(text); }

// The value in the key's stored form.
template <typename T>
Entry entry(const Key<T>& key, std::type_identity_t<T> value) {
    return {key.name, textOf(value)};
}

// The start-up reader: fills the show settings of `state` from its settings
// file. Values not present, not numeric or out of range keep their defaults.
void loadStartup(mdlPublic::PublicState& state);
void loadStartup(mdlPublic::PublicState& state, const ini::Snapshot& file);

// Writes one key of the section at once; a failure carries the system's reason.
errors::Outcome<> write(const std::string& settingsPath, const Entry& written);
// Several keys as one atomic replace, in the order given. A value the file
// cannot hold (a line break) fails alone: the others are written, the key
// keeps its old value, and the outcome is a failure.
errors::Outcome<> writeMany(const std::string& settingsPath, std::span<const Entry> values);

}  // namespace settings
