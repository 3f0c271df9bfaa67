#include "mdlPublic.h"

#include "FileKinds.h"

namespace mdlPublic {
std::string settingsPathOf(std::string_view folder) { return files::joinPath(folder, kSettingsFileName); }
std::string listPrefixOf(std::string_view folder) { return files::joinPath(folder, kListFileStem); }

void setPaths(PublicState& state, std::string_view folder) {
    state.settingsPath = settingsPathOf(folder);
    state.listPrefix = listPrefixOf(folder);
}

std::int32_t displaySeconds(const PublicState& state) {
    return state.unit == kUnitMinutes ? std::int32_t{state.interval} * 60 : state.interval;
}

std::int16_t volumeStepOf(std::uint32_t v) {
    // Upper bound of each step; the first bound not below v wins.
    static constexpr std::uint32_t kUpper[16] = {
        0x08880888, 0x19991999, 0x2AAA2AAA, 0x3BBB3BBB, 0x4CCC4CCC, 0x5DDD5DDD, 0x6EEE6EEE, 0x7FFF7FFF,
        0x91119111, 0xA222A222, 0xB333B333, 0xC444C444, 0xD555D555, 0xE666E666, 0xF777F777, 0xFFFFFFFF,
    };
    for (std::int16_t step = 0; step < 16; ++step) {
        if (v <= kUpper[step]) return step;
    }
    return 15;
}

Rgb rgbOf(std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    return {static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF)};
}

}  // namespace mdlPublic
