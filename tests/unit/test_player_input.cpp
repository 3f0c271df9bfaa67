// Keys, clicks, drags and the screen-saver modes of the player, through the
// input tables and the player core.

#include "PlayerFakes.h"

#include "player/PlayerInput.h"

using namespace player;
using namespace playerfakes;

namespace {

constexpr int kShift = 1;
constexpr int kCtrl = 2;
constexpr int kAlt = 4;
constexpr int kEsc = 27;
constexpr int kF1 = 112;
constexpr int kF2 = 113;
constexpr int kF4 = 115;

// --- the tables alone -------------------------------------------------------

struct KeyTableRow {
    const char* what;
    mdlPublic::KeyTable keys;
    int key;
    KeyRow row;
    int action;
};

const KeyTableRow kKeyRows[] = {
    {"F1 opens the help file", {}, kF1, KeyRow::HelpFile, -1},
    {"F2 shows the help window", {}, kF2, KeyRow::Help, -1},
    {"default left F6", {}, 117, KeyRow::Action, kPrevious},
    {"default right F8", {}, 119, KeyRow::Action, kNext},
    {"default up F5", {}, 116, KeyRow::Action, kPause},
    {"default down F7", {}, 118, KeyRow::Action, kRewind},
    {"Esc ends", {}, kEsc, KeyRow::Action, kEnd},
    {"user key Esc steps forward", {117, kEsc, 116, 118}, kEsc, KeyRow::Action, kNext},
    {"user key F1 loses to the help row", {kF1, 119, 116, 118}, kF1, KeyRow::HelpFile, -1},
    {"the same key twice: left wins", {65, 65, 116, 118}, 65, KeyRow::Action, kPrevious},
    {"arrow as down key", {117, 119, 116, 40}, 40, KeyRow::Action, kRewind},
    {"unbound key", {}, 65, KeyRow::None, -1},
    {"Alt+F4 is no release row", {}, kF4, KeyRow::None, -1},
};

class KeyTableTest : public ::testing::TestWithParam<KeyTableRow> {};

TEST_P(KeyTableTest, FirstMatchingRowWins) {
    const KeyTableRow& r = GetParam();
    const KeyDecision d = keyReleaseRow(r.key, r.keys);
    EXPECT_EQ(d.row, r.row) << r.what;
    if (r.row == KeyRow::Action) {
        EXPECT_EQ(d.action, r.action) << r.what;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, KeyTableTest, ::testing::ValuesIn(kKeyRows));

TEST(KeyPress, EndsOnAltF4AndOnAnyKeyInScreenSaverModes) {
    EXPECT_TRUE(keyPressEndsShow(mdlPublic::kStartNormal, kF4, kAlt));
    EXPECT_FALSE(keyPressEndsShow(mdlPublic::kStartNormal, kF4, kAlt | kCtrl));
    EXPECT_FALSE(keyPressEndsShow(mdlPublic::kStartNormal, kF4, 0));
    EXPECT_FALSE(keyPressEndsShow(mdlPublic::kStartNormal, kEsc, 0)) << "Esc acts on release";
    for (int mode : {mdlPublic::kStartShow, mdlPublic::kStartSettings}) {
        for (int key : {16, 65, kEsc, 0}) EXPECT_TRUE(keyPressEndsShow(mode, key, 0)) << mode << " " << key;
    }
}

struct ClickRow {
    const char* what;
    int button;
    int shift;
    int last;
    int expected;
};

const ClickRow kClickRows[] = {
    {"left", kButtonLeft, 0, kRewind, kNext},
    {"right", kButtonRight, 0, kRewind, kPrevious},
    {"middle", kButtonMiddle, 0, kNext, kPause},
    {"Ctrl+right ends", kButtonRight, kCtrl, kNext, kEnd},
    {"Ctrl+left ends", kButtonLeft, kCtrl, kNext, kEnd},
    {"Shift+right pauses", kButtonRight, kShift, kNext, kPause},
    {"Ctrl+Shift is neither: left", kButtonLeft, kCtrl | kShift, kRewind, kNext},
    {"Alt+left is left", kButtonLeft, kAlt, kRewind, kNext},
    {"Ctrl+middle ends", kButtonMiddle, kCtrl, kRewind, kEnd},
    {"other button repeats", 0, 0, kPrevious, kPrevious},
    {"other button with Alt repeats", 0, kAlt, kPause, kPause},
};

class ClickTableTest : public ::testing::TestWithParam<ClickRow> {};

TEST_P(ClickTableTest, FirstMatchingRowWins) {
    const ClickRow& r = GetParam();
    EXPECT_EQ(clickAction(r.button, r.shift, r.last), r.expected) << r.what;
}

INSTANTIATE_TEST_SUITE_P(Rows, ClickTableTest, ::testing::ValuesIn(kClickRows));

struct DragRow {
    int dx;
    int dy;
    std::vector<int> actions;
};

class DragTableTest : public ::testing::TestWithParam<DragRow> {};

TEST_P(DragTableTest, MeasuredFromThePressPoint) {
    const DragRow& r = GetParam();
    EXPECT_EQ(dragActions({500, 400}, {500 + r.dx, 400 + r.dy}), r.actions) << r.dx << "," << r.dy;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DragTableTest,
    ::testing::Values(DragRow{-40, 0, {kSeekBack}}, DragRow{40, 0, {kSeekForward}}, DragRow{0, -40, {kVolumeUp}},
                      DragRow{0, 33, {kVolumeDown}}, DragRow{32, 0, {}}, DragRow{-32, 32, {}},
                      DragRow{0, -33, {kVolumeUp}}, DragRow{33, 33, {kSeekForward, kVolumeDown}},
                      DragRow{-100, -100, {kSeekBack, kVolumeUp}}, DragRow{0, 0, {}}));

// --- through the core ---------------------------------------------------------

TEST_F(PlayerTest, ClickStepsAndDoubleClickRepeatsTheClick) {
    setList({"a.jpg", "b.jpg", "c.jpg", "d.jpg"});
    core.Vistrova();
    click(kButtonLeft);
    EXPECT_EQ(state.playList.position, 1);
    // The second press of a double click arrives as the double click only.
    core.MouseDblClick();
    core.MouseUp(kButtonLeft, 0);
    EXPECT_EQ(state.playList.position, 2);
    click(kButtonRight);
    EXPECT_EQ(state.playList.position, 1);
    core.MouseDblClick();
    EXPECT_EQ(state.playList.position, 0);
}

TEST_F(PlayerTest, DoubleClickWithASecondPressStepsTwiceOnly) {
    setList({"a.jpg", "b.jpg", "c.jpg", "d.jpg"});
    core.Vistrova();
    // Some toolkits deliver the second press as well as the double click.
    click(kButtonLeft);
    core.MouseDown();
    core.MouseDblClick();
    core.MouseUp(kButtonLeft, 0);
    EXPECT_EQ(state.playList.position, 2);
}

TEST_F(PlayerTest, DoubleClickBeforeAnyClickRewinds) {
    setList({"a.jpg", "b.jpg"}, 1);
    core.Vistrova();
    core.MouseDblClick();
    EXPECT_EQ(state.playList.position, 1);
    EXPECT_EQ(host.shown.size(), 2u) << "shown again";
}

TEST_F(PlayerTest, LongStillPressIsAClick) {
    setList({"a.jpg", "b.jpg"});
    core.Vistrova();
    core.MouseDown();
    clock.advance(60000);
    core.MouseUp(kButtonLeft, 0);
    EXPECT_EQ(state.playList.position, 1);
}

TEST_F(PlayerTest, SmallMovesStayAClick) {
    setList({"a.jpg", "b.jpg"});
    core.Vistrova();
    core.MouseDown();
    host.cursor.x += 32;
    host.cursor.y -= 32;
    clock.advance(1000);
    core.MouseUp(kButtonLeft, 0);
    EXPECT_EQ(state.playList.position, 1);
    EXPECT_TRUE(mixer.writes.empty());
}

TEST_F(PlayerTest, CtrlClickEndsAndShiftClickPauses) {
    setList({"a.jpg", "b.jpg"});
    core.Vistrova();
    click(kButtonRight, kShift);
    EXPECT_TRUE(core.state().paused);
    click(kButtonRight, kCtrl);
    EXPECT_EQ(host.closeCalls, 1);
    const int focus = host.focusCalls;
    core.MouseUp(kButtonRight, 0);
    EXPECT_EQ(host.focusCalls, focus);
}

TEST_F(PlayerTest, SecondButtonWhileHeldRewinds) {
    setList({"a.jpg", "b.jpg"});
    core.Vistrova();
    core.MouseDown();
    core.MouseDown();
    EXPECT_EQ(state.playList.position, 0);
    EXPECT_EQ(host.shown.size(), 2u) << "the same entry again";
    core.MouseUp(kButtonRight, 0);
    core.MouseUp(kButtonLeft, 0);
    EXPECT_EQ(state.playList.position, 0) << "the releases are no clicks";
}

TEST_F(PlayerTest, PressInTheTopLeftPixelEnds) {
    setList({"a.jpg", "b.jpg"});
    core.Vistrova();
    host.cursor = {0, 0};
    core.MouseDown();
    EXPECT_EQ(host.closeCalls, 1);
    host.cursor = {1, 0};
    core.MouseUp(kButtonLeft, 0);
    EXPECT_EQ(state.playList.position, 0);
}

TEST_F(PlayerTest, PressNextToTheCornerDoesNotEnd) {
    setList({"a.jpg", "b.jpg"});
    core.Vistrova();
    for (Point p : {Point{1, 0}, Point{0, 1}}) {
        host.cursor = p;
        core.MouseDown();
        core.MouseUp(kButtonLeft, 0);
    }
    EXPECT_EQ(host.closeCalls, 0);
    EXPECT_EQ(state.playList.position, 0) << "two clicks on two entries";
}

TEST_F(PlayerTest, DragInBothDirectionsKeepsTheVerticalAction) {
    setList({"clip.mpg"});
    core.Vistrova();
    state.volumeStep = 5;
    core.MouseDown();
    host.cursor.x += 50;
    host.cursor.y -= 50;
    clock.advance(100);
    EXPECT_EQ(core.state().dragAction, kVolumeUp);
    EXPECT_FALSE(move.isEnabled());
    clock.advance(500);
    EXPECT_EQ(state.volumeStep, 6);
    EXPECT_TRUE(media.seeks.empty());
}

TEST_F(PlayerTest, DragIsReadFromTheCursorEvery100ms) {
    setList({"clip.mpg"});
    core.Vistrova();
    core.MouseDown();
    clock.advance(250);
    host.cursor.x -= 40;
    clock.advance(49);
    EXPECT_EQ(core.state().dragAction, 0) << "not before the next tick";
    clock.advance(1);
    EXPECT_EQ(core.state().dragAction, kSeekBack);
}

// --- keys through the core ------------------------------------------------------

TEST_F(PlayerTest, UserKeysStepPauseAndRewind) {
    setList({"a.jpg", "b.jpg", "c.jpg"});
    core.Vistrova();
    core.KeyUp(119, 0);
    EXPECT_EQ(state.playList.position, 1);
    core.KeyUp(117, 0);
    EXPECT_EQ(state.playList.position, 0);
    core.KeyUp(116, 0);
    EXPECT_TRUE(core.state().paused);
    core.KeyUp(118, 0);
    EXPECT_FALSE(core.state().paused);
    EXPECT_EQ(host.shown.size(), 4u);
    core.KeyDown(kEsc, 0);
    EXPECT_EQ(host.closeCalls, 0) << "Esc acts on release";
    core.KeyUp(kEsc, 0);
    EXPECT_EQ(host.closeCalls, 1);
}

TEST_F(PlayerTest, UserKeyEscStepsInsteadOfEnding) {
    state.keys.right = kEsc;
    setList({"a.jpg", "b.jpg"});
    core.Vistrova();
    core.KeyUp(kEsc, 0);
    EXPECT_EQ(state.playList.position, 1);
    EXPECT_EQ(host.closeCalls, 0);
}

TEST_F(PlayerTest, FixedSizeWindowIgnoresTheKeyTableButNotAltF4) {
    host.coversTheScreen = false;
    setList({"a.jpg", "b.jpg"});
    core.Vistrova();
    for (int key : {kF1, kF2, 117, 119, 116, 118, kEsc}) core.KeyUp(key, 0);
    EXPECT_EQ(state.playList.position, 0);
    EXPECT_EQ(host.helpFileCalls + host.helpCalls + host.closeCalls, 0);
    EXPECT_FALSE(core.state().paused);
    core.KeyDown(kF4, kAlt);
    EXPECT_EQ(host.closeCalls, 1);
}

TEST_F(PlayerTest, F1OpensTheHelpFileWhichMayComeInFrontOfTheShow) {
    setList({"a.jpg"});
    core.Vistrova();
    core.KeyUp(kF1, 0);
    EXPECT_EQ(host.helpFileCalls, 1);
    EXPECT_EQ(host.helpCalls, 0);
    core.activationChanged(false);  // the document took the keyboard
    EXPECT_FALSE(host.onTop);
    core.activationChanged(true);  // back on the show
    EXPECT_TRUE(host.onTop);
    // The screen saver stays above whatever is active; a closed player is left as it is.
    state.startMode = mdlPublic::kStartShow;
    core.activationChanged(false);
    EXPECT_TRUE(host.onTop);
    state.startMode = mdlPublic::kStartNormal;
    core.KeyUp(kEsc, 0);
    core.activationChanged(false);
    EXPECT_TRUE(host.onTop);
}

TEST_F(PlayerTest, F2PausesDuringHelpAndTheShowRunsAfterIt) {
    state.interval = 10;
    setList({"a.jpg", "b.jpg"});
    core.Vistrova();
    for (bool pausedBefore : {false, true}) {
        if (pausedBefore) core.MouseOperation(kPause);
        bool pausedDuringHelp = false;
        host.duringHelp = [&] { pausedDuringHelp = core.state().paused && !image.isEnabled(); };
        core.KeyUp(kF2, 0);
        EXPECT_TRUE(pausedDuringHelp) << pausedBefore;
        EXPECT_FALSE(core.state().paused) << pausedBefore;
        EXPECT_TRUE(image.isEnabled()) << pausedBefore;
    }
    EXPECT_EQ(host.helpCalls, 2);
}

TEST_F(PlayerTest, ScreenSaverShowEndsOnAnyKeyOrButtonButNotOnMoves) {
    for (int mode : {mdlPublic::kStartShow, mdlPublic::kStartSettings}) {
        for (int input = 0; input < 3; ++input) {
            FakeHost localHost;
            FakeMedia localMedia(localHost);
            FakeClock localClock;
            FakeTimer t1(localClock), t2(localClock), t3(localClock), t4(localClock);
            state.startMode = static_cast<std::int16_t>(mode);
            PlayerCore local(state, localHost, localMedia, mixer, Timers{t1, t2, t3, t4});
            setList({"a.jpg", "b.jpg"});
            local.Vistrova();
            localHost.cursor.x += 200;  // a move alone does nothing
            localClock.advance(1000);
            EXPECT_EQ(localHost.closeCalls, 0);
            if (input == 0) local.KeyDown(16, kShift);
            if (input == 1) local.MouseDown();
            if (input == 2) local.KeyDown(65, 0);
            EXPECT_EQ(localHost.closeCalls, 1) << mode << " " << input;
            EXPECT_FALSE(localHost.imageVisible);
        }
    }
}

TEST_F(PlayerTest, AltF4EndsInTheNormalMode) {
    setList({"clip.mpg"});
    core.Vistrova();
    core.KeyDown(kF4, kAlt | kShift);
    EXPECT_EQ(host.closeCalls, 0);
    core.KeyDown(kF4, kAlt);
    EXPECT_EQ(host.closeCalls, 1);
    EXPECT_EQ(media.log.back(), "stop");
}

TEST_F(PlayerTest, ClosingFromOutsideStopsAndSilencesTheCore) {
    state.interval = 1;
    setList({"a.jpg", "b.jpg"});
    core.Vistrova();
    core.closeRequested();
    EXPECT_FALSE(host.imageVisible);
    clock.advance(5000);
    core.KeyUp(119, 0);
    EXPECT_EQ(state.playList.position, 0);
    EXPECT_EQ(host.closeCalls, 0) << "the window closes itself";
}

}  // namespace
