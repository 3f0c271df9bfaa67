// The screen-saver host's switches: which window the show goes to, and the
// refusals of numbers that name no window.

#include "launcher/StartupRules.h"
#include "shared/mdlPublic.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

TEST(WindowId, DecimalAndHexadecimalOnly) {
    struct Row {
        std::string text;
        std::optional<std::uint32_t> id;
    };
    const std::vector<Row> rows = {
        {"1", 1u},
        {"4194311", 4194311u},
        {"0x400007", 0x400007u},
        {"0X1f", 0x1Fu},
        {"0xFFFFFFFF", 0xFFFFFFFFu},
        {"4294967295", 4294967295u},
        {"007", 7u},
        {"4294967296", std::nullopt},
        {"0x100000000", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"0", std::nullopt},
        {"0x0", std::nullopt},
        {"0x", std::nullopt},
        {"", std::nullopt},
        {"-5", std::nullopt},
        {"+5", std::nullopt},
        {" 5", std::nullopt},
        {"5 ", std::nullopt},
        {"12ab", std::nullopt},
        {"abc", std::nullopt},
        {"0x12g", std::nullopt},
        {"1e3", std::nullopt},
        {std::string("12\0" "3", 4), std::nullopt},
    };
    for (const Row& r : rows) EXPECT_EQ(launcher::windowIdOf(r.text), r.id) << "[" << r.text << "]";
}

struct HostCase {
    std::vector<std::string> args;
    const char* env;
    int mode;
    bool inHost;
    std::uint32_t window;
    bool refused;
};

TEST(HostSwitches, WindowOfTheShow) {
    const std::vector<HostCase> cases = {
        {{"-root"}, nullptr, 1, true, 0, false},
        {{"--root"}, "", 1, true, 0, false},
        {{"-root"}, "0x2a00005", 1, true, 0x2a00005, false},
        {{"--root"}, "44040197", 1, true, 44040197, false},
        {{"-root", "-fps"}, "12", 1, true, 12, false},
        {{"-window-id", "77"}, nullptr, 1, true, 77, false},
        {{"--window-id", "0x4e"}, "5", 1, true, 0x4e, false},
        {{"--window-id=123"}, nullptr, 1, true, 123, false},
        // The slash switches and everything else keep their text rule.
        {{"/s"}, "12", 1, false, 0, false},
        {{"/c:1234"}, nullptr, 2, false, 0, false},
        {{"root"}, nullptr, 0, false, 0, false},
        {{"-ROOT"}, nullptr, 0, false, 0, false},
        {{"--windowid", "5"}, nullptr, 0, false, 0, false},
        {{"S", "-root"}, nullptr, 0, false, 0, false},
        {{}, "12", 0, false, 0, false},
        // Numbers that name no window are refused before anything starts.
        {{"-root"}, "window", 0, false, 0, true},
        {{"-root"}, "0", 0, false, 0, true},
        {{"-root"}, "-1", 0, false, 0, true},
        {{"--root"}, "0x1 0x2", 0, false, 0, true},
        {{"-window-id"}, nullptr, 0, false, 0, true},
        {{"--window-id"}, "12", 0, false, 0, true},
        {{"-window-id", ""}, nullptr, 0, false, 0, true},
        {{"-window-id", "-root"}, nullptr, 0, false, 0, true},
        {{"-window-id", "0"}, nullptr, 0, false, 0, true},
        {{"--window-id="}, nullptr, 0, false, 0, true},
        {{"--window-id=0x"}, nullptr, 0, false, 0, true},
    };
    for (const HostCase& c : cases) {
        std::string shown;
        for (const std::string& a : c.args) shown += "[" + a + "]";
        shown += c.env ? std::string(" env=") + c.env : " no env";
        const launcher::StartRequest r = launcher::startRequestOf(c.args, c.env);
        EXPECT_FALSE(r.endAtOnce) << shown;
        EXPECT_EQ(r.refusal.empty(), !c.refused) << shown << ": " << r.refusal;
        if (c.refused) continue;
        EXPECT_EQ(r.startMode, c.mode) << shown;
        EXPECT_EQ(r.inHost, c.inHost) << shown;
        EXPECT_EQ(r.hostWindow, c.window) << shown;
    }
}

TEST(HostSwitches, SlashSwitchesThatEndStillEnd) {
    EXPECT_TRUE(launcher::startRequestOf({"/p", "1234"}, "12").endAtOnce);
    EXPECT_TRUE(launcher::startRequestOf({"/A"}, nullptr).endAtOnce);
}

TEST(HostSwitches, RefusalNamesTheBadValueSafely) {
    const launcher::StartRequest r = launcher::startRequestOf({"-root"}, "12\x1b[2Jx");
    ASSERT_FALSE(r.refusal.empty());
    EXPECT_NE(r.refusal.find("XSCREENSAVER_WINDOW"), std::string::npos);
    EXPECT_EQ(r.refusal.find('\x1b'), std::string::npos) << "control characters reach the terminal";
    const std::string huge(100000, '9');
    const launcher::StartRequest h = launcher::startRequestOf({"-window-id", huge}, nullptr);
    ASSERT_FALSE(h.refusal.empty());
    EXPECT_LT(h.refusal.size(), 200u);
    EXPECT_NE(h.refusal.find("-window-id"), std::string::npos);
}

}  // namespace
