// Held keys and the platform choice: the small rules the windows and main use.

#include "platform/HeldKeys.h"
#include "platform/XcbSession.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(HeldKeys, FirstPressAndTheReleaseOfAKeySeenPressedCount) {
    platform::HeldKeys keys;
    std::string acted;
    const auto press = [&](int k) { acted += keys.press(k) ? "P" : "-"; };
    const auto release = [&](int k) { acted += keys.release(k) ? "R" : "-"; };
    release(9);                         // pressed while another window had the keyboard
    press(9), press(9), press(9);       // held: the server repeats the press
    press(7), release(7);               // another key in between
    release(9), release(9);
    keys.press(5);
    keys.clear();                       // the window lost the keyboard
    release(5);
    EXPECT_EQ(acted, "-P--PRR--");
}

TEST(XcbSession, XcbWhereAnXServerIsThereAndTheUserChoseNothing) {
    struct Row {
        const char* qpa;
        const char* display;
        bool xcb;
    };
    for (const Row& r : {Row{nullptr, ":0", true}, Row{"", ":1", true}, Row{"wayland", ":0", false},
                         Row{"offscreen", ":0", false}, Row{nullptr, nullptr, false}, Row{nullptr, "", false}})
        EXPECT_EQ(platform::prefersXcb(r.qpa, r.display), r.xcb) << (r.qpa ? r.qpa : "-") << " " << (r.display ? r.display : "-");
}

}  // namespace
