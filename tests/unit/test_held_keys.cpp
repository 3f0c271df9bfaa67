// Held keys, where a key goes and the platform choice: the small rules the
// windows and main use.

#include "platform/HeldKeys.h"
#include "platform/WindowKeys.h"
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

TEST(WindowKeys, TheWindowTakesItsOwnShortcutsOnly) {
    // Qt's numbers: Ctrl 0x04000000, keypad 0x20000000, U 0x55, A 0x41, C 0x43, F5 0x01000034.
    constexpr int kCtrl = 0x04000000;
    const int shortcuts[] = {kCtrl | 0x55, kCtrl | 0x41, 0x01000034, kCtrl | 0x31};
    EXPECT_TRUE(platform::windowTakesKey(kCtrl | 0x55, shortcuts));
    EXPECT_TRUE(platform::windowTakesKey(0x01000034, shortcuts));
    EXPECT_TRUE(platform::windowTakesKey(kCtrl | platform::kKeypadFlag | 0x31, shortcuts));  // the keypad's 1
    EXPECT_FALSE(platform::windowTakesKey(kCtrl | 0x43, shortcuts));  // Ctrl+C stays with the text box
    EXPECT_FALSE(platform::windowTakesKey(0x55, shortcuts));          // so does a plain U
    EXPECT_FALSE(platform::windowTakesKey(kCtrl | 0x55, {}));
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
