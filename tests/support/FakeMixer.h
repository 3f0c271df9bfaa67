#pragma once
// A mixer that keeps every volume written to it.

#include "platform/Mixer.h"

#include <cstdint>
#include <vector>

class FakeMixer final : public platform::IMixer {
public:
    std::uint32_t volume() override { return level; }
    void setVolume(std::uint32_t v) override {
        level = v;
        writes.push_back(v);
    }
    std::uint32_t level = 0;
    std::vector<std::uint32_t> writes;
};
