#pragma once
// The wave-out volume: 32 bits, left channel in the low 16, right in the high 16.
// GUI thread only.

#include <cstdint>

namespace platform {

class IMixer {
public:
    virtual ~IMixer() = default;
    virtual std::uint32_t volume() = 0;
    virtual void setVolume(std::uint32_t volume) = 0;
};

// The mixer of this process: the file named by VISTROVA_MIXER_FILE when set,
// else the ALSA simple mixer of the default device, else a process-local value.
IMixer& systemMixer();

}  // namespace platform
