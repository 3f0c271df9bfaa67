#pragma once
// Program-wide state of vistrova and the helpers every subsystem shares.
// The program's start-up owns the one instance and hands it to each window;
// all of it lives on the GUI thread, nothing here is locked.

#include "SettingsKeys.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace mdlPublic {

inline constexpr int kPlayListSlots = 256;
inline constexpr std::string_view kSettingsFileName = "VISTROVA.INI";
inline constexpr std::string_view kListFileStem = "FILE";

enum StartMode : std::int16_t { kStartNormal = 0, kStartShow = 1, kStartSettings = 2 };
enum Unit : std::int16_t { kUnitSeconds = 0, kUnitMinutes = 1 };

struct PlayList {
    std::array<std::string, kPlayListSlots> titles;
    std::array<std::string, kPlayListSlots> paths;
    std::int16_t count = 0;     // valid slots from index 0
    std::int16_t position = 0;  // the entry the player shows
};

struct KeyTable {
    // Windows virtual-key codes: previous, next, pause, rewind.
    std::int16_t left = settings::kMyKeyLeft.fallback;
    std::int16_t right = settings::kMyKeyRight.fallback;
    std::int16_t up = settings::kMyKeyUp.fallback;
    std::int16_t down = settings::kMyKeyDown.fallback;
};

struct PublicState {
    std::string settingsPath;
    std::string listPrefix;
    std::int16_t startMode = kStartNormal;
    PlayList playList;
    std::int16_t pageNum = 0;
    std::int16_t fileNum = 0;
    std::int16_t interval = settings::kInterval.fallback;  // display time value
    std::int16_t unit = settings::kUnit.fallback;  // kUnitSeconds
    std::int32_t backColor = 0;  // 0x00BBGGRR
    std::int32_t fixedWidth = 0;
    std::int32_t fixedHeight = 0;  // 0 = full screen
    KeyTable keys;
    std::uint32_t savedVolume = 0;
    std::int16_t volumeStep = 0;
};

// Settings file path and list file prefix of a program folder.
std::string settingsPathOf(std::string_view folder);
std::string listPrefixOf(std::string_view folder);
void setPaths(PublicState& state, std::string_view folder);

// Display time in seconds: the value, times 60 with the minutes unit.
std::int32_t displaySeconds(const PublicState& state);

// Volume step 0..15 of a 32-bit wave-out volume (right channel in the high bits).
std::int16_t volumeStepOf(std::uint32_t volume);

// Colours are stored as 0x00BBGGRR, red in the low byte.
struct Rgb {
    int red, green, blue;
};
Rgb rgbOf(std::int32_t value);

// The player's fixed window size applies only with a positive width and height.
inline bool hasFixedSize(const PublicState& s) { return s.fixedWidth > 0 && s.fixedHeight > 0; }


}  // namespace mdlPublic
