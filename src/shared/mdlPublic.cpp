#include "mdlPublic.h"

namespace mdlPublic {
namespace {
std::string Join(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (path.empty() || path.back() != '/') path += '/';
    path += name;
    return path;
}
}  // namespace

PublicState& Public() {
    static PublicState state;
    return state;
}

std::string SettingsPathOf(std::string_view folder) { return Join(folder, kSettingsFileName); }
std::string ListPrefixOf(std::string_view folder) { return Join(folder, kListFileStem); }

void SetPaths(PublicState& state, std::string_view folder) {
    state.settingsPath = SettingsPathOf(folder);
    state.listPrefix = ListPrefixOf(folder);
}

std::int32_t DisplaySeconds(const PublicState& state) {
    return state.unit == kUnitMinutes ? std::int32_t{state.interval} * 60 : state.interval;
}

std::int16_t VolumeStepOf(std::uint32_t v) {
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

}  // namespace mdlPublic
