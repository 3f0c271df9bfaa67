#include "Mixer.h"

namespace platform {
namespace {
// Stands in until a real mixer is wired: keeps the value for this process.
class LocalMixer final : public IMixer {
public:
    std::uint32_t GetVolume() override { return m_volume; }
    void SetVolume(std::uint32_t volume) override { m_volume = volume; }

private:
    std::uint32_t m_volume = 0xFFFFFFFF;
};
}  // namespace

IMixer& SystemMixer() {
    static LocalMixer mixer;
    return mixer;
}

}  // namespace platform
