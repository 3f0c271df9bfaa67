// The file that stands in for the mixer: read once, every change written whole.

#include "platform/MixerFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

TEST(MixerFile, ReadsTheValueAtStart) {
    TempDir dir;
    struct Case {
        std::string text;
        std::uint32_t volume;
    };
    const std::vector<Case> cases = {
        {"2147516416", 0x80008000}, {"0", 0},         {"4294967295", 0xFFFFFFFF}, {" 65535\n", 0xFFFF},
        {"4294967296", 0xFFFFFFFF}, {"-1", 0xFFFFFFFF}, {"abc", 0xFFFFFFFF},      {"", 0xFFFFFFFF},
        {"12 34", 0xFFFFFFFF},       {"0x10", 0xFFFFFFFF},
    };
    for (const Case& c : cases) {
        const std::string file = dir.file("mixer");
        TempDir::put(file, c.text);
        EXPECT_EQ(platform::makeFileMixer(file)->volume(), c.volume) << "[" << c.text << "]";
    }
    EXPECT_EQ(platform::makeFileMixer(dir.file("missing"))->volume(), 0xFFFFFFFFu);
}

TEST(MixerFile, EveryChangeIsWrittenAsDecimalText) {
    TempDir dir;
    const std::string file = dir.file("mixer");
    TempDir::put(file, "100");
    auto mixer = platform::makeFileMixer(file);
    mixer->setVolume(0xC000C000);
    EXPECT_EQ(TempDir::get(file), "3221274624");
    EXPECT_EQ(mixer->volume(), 0xC000C000u);
    mixer->setVolume(7);
    EXPECT_EQ(TempDir::get(file), "7");
    // A value written by someone else is not read back: the start value was saved.
    TempDir::put(file, "55");
    EXPECT_EQ(mixer->volume(), 7u);
    // Created when it did not exist.
    auto fresh = platform::makeFileMixer(dir.file("new"));
    fresh->setVolume(0);
    EXPECT_EQ(TempDir::get(dir.file("new")), "0");
}

TEST(MixerFile, UnwritableFileKeepsTheValueInProcess) {
    TempDir dir;
    auto mixer = platform::makeFileMixer(dir.file("no-such-folder/mixer"));
    mixer->setVolume(1234);
    EXPECT_EQ(mixer->volume(), 1234u);
}

}  // namespace

#include "platform/MixerScale.h"

namespace {

TEST(MixerScale, ChannelsMapLinearlyOntoTheElementRange) {
    struct Range {
        long min, max;
    };
    for (const Range r : {Range{0, 87}, Range{0, 65536}, Range{-10239, 0}, Range{0, 31}, Range{0, 1}}) {
        EXPECT_EQ(platform::channelToMixer(0, r.min, r.max), r.min);
        EXPECT_EQ(platform::channelToMixer(0xFFFF, r.min, r.max), r.max);
        EXPECT_EQ(platform::mixerToChannel(r.min, r.min, r.max), 0u);
        EXPECT_EQ(platform::mixerToChannel(r.max, r.min, r.max), 0xFFFFu);
        // Out of range readings are clamped.
        EXPECT_EQ(platform::mixerToChannel(r.max + 5, r.min, r.max), 0xFFFFu);
        EXPECT_EQ(platform::mixerToChannel(r.min - 5, r.min, r.max), 0u);
        // Every mixer step survives the way to a channel value and back.
        for (long v = r.min; v <= r.max; v += std::max(1L, (r.max - r.min) / 500)) {
            EXPECT_EQ(platform::channelToMixer(platform::mixerToChannel(v, r.min, r.max), r.min, r.max), v);
        }
    }
    // Half volume lands in the middle of the range.
    EXPECT_EQ(platform::channelToMixer(0x8000, 0, 100), 50);
    // A range that is not one gives silence rather than a division by zero.
    EXPECT_EQ(platform::mixerToChannel(5, 3, 3), 0u);
    EXPECT_EQ(platform::channelToMixer(0x8000, 3, 3), 3);
}

}  // namespace
