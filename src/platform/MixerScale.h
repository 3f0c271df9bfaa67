#pragma once
// One 16-bit wave-out channel (0..65535) against a mixer element's own range,
// linearly and rounded to the nearest step, so a value read and written back
// lands on the same mixer step.

#include <algorithm>
#include <cstdint>

namespace platform {

inline std::uint32_t mixerToChannel(long value, long min, long max) {
    if (max <= min) return 0;
    const long long span = static_cast<long long>(max) - min;
    const long long v = std::clamp<long long>(static_cast<long long>(value) - min, 0, span);
    return static_cast<std::uint32_t>((v * 0xFFFF + span / 2) / span);
}

inline long channelToMixer(std::uint32_t channel, long min, long max) {
    if (max <= min) return min;
    const long long span = static_cast<long long>(max) - min;
    const long long c = std::min<long long>(channel, 0xFFFF);
    return static_cast<long>(min + (c * span + 0x7FFF) / 0xFFFF);
}

}  // namespace platform
