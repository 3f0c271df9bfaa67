#pragma once
// The settings file VISTROVA.INI: its key table and the start-up reader.

#include "IniFile.h"
#include "mdlPublic.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace settings {

inline constexpr std::string_view kSection = "VISTROVA";

enum class Type {
    Text,    // free text, read as stored
    Switch,  // compared as text ("ON")
    Int16,   // whole number, 16-bit signed unless the range says less
    Int32,   // whole number, 32-bit signed
    Twips,   // single-precision number of twips
    Flag,    // "1" shown / "0" hidden
};

struct Key {
    std::string_view name;
    Type type;
    std::string_view defaultText;  // "" where the reader keeps the designed value
    std::int64_t min;
    std::int64_t max;
};

inline constexpr std::int64_t kInt16Min = -32768;
inline constexpr std::int64_t kInt16Max = 32767;
inline constexpr std::int64_t kInt32Min = -2147483647LL - 1;
inline constexpr std::int64_t kInt32Max = 2147483647LL;

// Every key of the section, with the range a read value must lie in to be used.
inline constexpr Key kKeys[] = {
    {"SIZE", Type::Switch, "", 0, 0},
    {"HSIZE", Type::Int32, "", 1, kInt32Max},
    {"WSIZE", Type::Int32, "", 1, kInt32Max},
    {"INTERVAL", Type::Int16, "10", 0, kInt16Max},
    {"UNIT", Type::Int16, "0", 0, 1},
    {"FILENUM", Type::Int16, "0", 0, 9},
    {"PAGENUM", Type::Int16, "0", 0, 9},
    {"BACKCOLOR", Type::Int32, "0", kInt32Min, kInt32Max},
    {"MyKeyLeft", Type::Int16, "117", kInt16Min, kInt16Max},
    {"MyKeyRight", Type::Int16, "119", kInt16Min, kInt16Max},
    {"MyKeyUp", Type::Int16, "116", kInt16Min, kInt16Max},
    {"MyKeyDown", Type::Int16, "118", kInt16Min, kInt16Max},
    {"PATTERN", Type::Int16, "2", 0, 2},
    {"ViewMode", Type::Int16, "3", 0, 3},
    {"DEFPATH", Type::Text, "", 0, 0},
    {"MainLeft", Type::Twips, "", kInt32Min, kInt32Max},
    {"MainTop", Type::Twips, "", kInt32Min, kInt32Max},
    {"MainWidth", Type::Twips, "", kInt32Min, kInt32Max},
    {"MainHeight", Type::Twips, "", kInt32Min, kInt32Max},
    {"WindowState", Type::Text, "0", 0, 0},
    {"Bar1", Type::Twips, "", kInt32Min, kInt32Max},
    {"Bar2", Type::Twips, "", kInt32Min, kInt32Max},
    {"Bar3", Type::Twips, "", kInt32Min, kInt32Max},
    {"Head1", Type::Twips, "", kInt32Min, kInt32Max},
    {"Head2", Type::Twips, "", kInt32Min, kInt32Max},
    {"Head3", Type::Twips, "", kInt32Min, kInt32Max},
    {"SortKey", Type::Int16, "", 0, kInt16Max},
    {"SortOrder", Type::Int16, "", 0, 1},
    {"ToolBar", Type::Flag, "1", 0, 1},
    {"CustomBar", Type::Flag, "1", 0, 1},
    {"StatusBar", Type::Flag, "1", 0, 1},
    {"Preview", Type::Flag, "1", 0, 1},
};

// The order in which the editor writes its keys on closing.
inline constexpr std::string_view kEditorCloseOrder[] = {
    "DEFPATH", "MainLeft", "MainTop",  "MainWidth", "MainHeight", "WindowState", "ViewMode", "PATTERN",
    "INTERVAL", "UNIT",    "FILENUM",  "PAGENUM",   "Bar1",       "Bar2",        "Bar3",     "Head1",
    "Head2",   "Head3",    "SortKey",  "SortOrder", "ToolBar",    "CustomBar",   "StatusBar", "Preview",
};

// The table row of a key (names compare case-insensitively, as in the file).
// Null for a name the table does not hold.
const Key* find(std::string_view name);

// A whole number within the key's range, or nothing (missing, not numeric, out of range).
std::optional<std::int64_t> readWhole(const ini::Snapshot& file, const Key& key);

// The start-up reader: fills the show settings of `state` from its settings
// file. Values not present, not numeric or out of range keep their defaults.
void loadStartup(mdlPublic::PublicState& state);
void loadStartup(mdlPublic::PublicState& state, const ini::Snapshot& file);

// Writes one key of the section at once. False when the write failed.
bool write(const std::string& settingsPath, std::string_view key, std::string_view value);
// Several keys as one atomic replace, in the order given. A value the file
// cannot hold (a line break) fails alone: the others are written, the key
// keeps its old value, and false is returned.
bool writeMany(const std::string& settingsPath,
               std::span<const std::pair<std::string_view, std::string>> values);


}  // namespace settings
