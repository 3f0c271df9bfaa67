// The player's actions, timers, pause, seek, volume and failure path, driven
// through fakes of the window, the media element, the mixer and a fake clock.

#include "PlayerFakes.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

using namespace player;
using namespace playerfakes;

namespace {

// --- stepping ---------------------------------------------------------------

struct StepRow {
    int count;
    int position;
    int action;
    int expected;
};

class StepTest : public PlayerTest, public ::testing::WithParamInterface<StepRow> {};

TEST_P(StepTest, MovesAndShows) {
    const StepRow& r = GetParam();
    std::vector<std::string> names;
    for (int i = 0; i < r.count; ++i) names.push_back("p" + std::to_string(i) + ".jpg");
    setList(names, r.position);
    core.MouseOperation(r.action);
    EXPECT_EQ(state.playList.position, r.expected);
    EXPECT_EQ(lastShown(), pathOf(r.expected));
}

INSTANTIATE_TEST_SUITE_P(Rows, StepTest,
                         ::testing::Values(StepRow{3, 2, kNext, 0}, StepRow{3, 0, kPrevious, 2},
                                           StepRow{3, 1, kNext, 2}, StepRow{3, 1, kPrevious, 0},
                                           StepRow{1, 0, kNext, 0}, StepRow{1, 0, kPrevious, 0},
                                           StepRow{3, 1, kRewind, 1}, StepRow{256, 255, kNext, 0},
                                           StepRow{256, 0, kPrevious, 255}));

TEST(PositionRules, WrapAtBothEnds) {
    EXPECT_EQ(nextPosition(2, 3), 0);
    EXPECT_EQ(nextPosition(0, 3), 1);
    EXPECT_EQ(previousPosition(0, 3), 2);
    EXPECT_EQ(previousPosition(2, 3), 1);
    EXPECT_EQ(nextPosition(0, 0), 0);
    EXPECT_EQ(previousPosition(0, 0), 0);
}

TEST_F(PlayerTest, EmptyListShowsNothing) {
    state.playList.count = 0;
    core.Vistrova();
    EXPECT_TRUE(host.shown.empty());
    EXPECT_TRUE(host.asked.empty());
}

TEST_F(PlayerTest, PositionPastTheListStartsAtTheFirstEntry) {
    setList({"a.jpg", "b.jpg"});
    state.playList.position = 7;
    core.Vistrova();
    EXPECT_EQ(state.playList.position, 0);
    EXPECT_EQ(lastShown(), pathOf(0));
}

TEST_F(PlayerTest, KindFollowsTheFileNamesExtension) {
    setList({"photo.JPE", ".hidden.jpg", "pic.Gif", "clip.mpg", "list.m3u", "noext"});
    core.Vistrova();
    EXPECT_EQ(core.state().mediaKind, kMovie) << "JPE goes to the movie element";
    EXPECT_EQ(media.file, pathOf(0));
    core.MouseOperation(kNext);
    EXPECT_EQ(core.state().mediaKind, kImage) << "a hidden file shows like any other";
    EXPECT_EQ(lastShown(), pathOf(1));
    core.MouseOperation(kNext);
    EXPECT_EQ(core.state().mediaKind, kImage);
    for (int i = 3; i < 6; ++i) {
        core.MouseOperation(kNext);
        EXPECT_EQ(core.state().mediaKind, kMovie) << i;
        EXPECT_EQ(media.file, pathOf(i));
    }
}

TEST_F(PlayerTest, MovieIsStoppedLoadedShownThenPlayed) {
    setList({"clip.avi"});
    core.Vistrova();
    EXPECT_EQ(media.log, (std::vector<std::string>{"stop", "setFile", "play"}));
    EXPECT_TRUE(host.movieVisible);
    EXPECT_FALSE(image.isEnabled()) << "no timer runs for a movie";
}

// --- display time -------------------------------------------------------------

struct TimeRow {
    int interval;
    int unit;
    int advancesAfterSeconds;  // 0: never
};

class DisplayTimeTest : public PlayerTest, public ::testing::WithParamInterface<TimeRow> {};

TEST_P(DisplayTimeTest, AdvancesWhenTheTimeHasPassed) {
    const TimeRow& r = GetParam();
    state.interval = static_cast<std::int16_t>(r.interval);
    state.unit = static_cast<std::int16_t>(r.unit);
    setList({"a.jpg", "b.jpg"});
    core.Vistrova();
    if (r.advancesAfterSeconds == 0) {
        clock.advance(3600 * 1000);
        EXPECT_EQ(state.playList.position, 0);
        EXPECT_FALSE(image.isEnabled()) << "the timer switches itself off";
        return;
    }
    clock.advance((r.advancesAfterSeconds - 1) * 1000);
    EXPECT_EQ(state.playList.position, 0) << "one tick early";
    clock.advance(1000);
    EXPECT_EQ(state.playList.position, 1);
}

INSTANTIATE_TEST_SUITE_P(Rows, DisplayTimeTest,
                         ::testing::Values(TimeRow{10, 0, 10}, TimeRow{1, 0, 1}, TimeRow{0, 0, 0},
                                           TimeRow{5, 1, 300}, TimeRow{1, 1, 60}, TimeRow{0, 1, 0}));

TEST_F(PlayerTest, PauseKeepsTheElapsedSeconds) {
    state.interval = 10;
    setList({"a.jpg", "b.jpg"});
    core.Vistrova();
    clock.advance(4000);
    core.MouseOperation(kPause);
    EXPECT_TRUE(core.state().paused);
    clock.advance(60000);
    EXPECT_EQ(state.playList.position, 0);
    core.MouseOperation(kPause);
    clock.advance(5000);
    EXPECT_EQ(state.playList.position, 0);
    clock.advance(1000);
    EXPECT_EQ(state.playList.position, 1) << "six more seconds after resuming";
}

TEST_F(PlayerTest, SteppingClearsThePause) {
    state.interval = 2;
    setList({"a.jpg", "b.jpg", "c.jpg"});
    core.Vistrova();
    core.MouseOperation(kPause);
    core.MouseOperation(kNext);
    EXPECT_FALSE(core.state().paused);
    clock.advance(2000);
    EXPECT_EQ(state.playList.position, 2) << "the new picture runs on its own time";
}

TEST_F(PlayerTest, PauseOfAMovieUsesTheElement) {
    setList({"clip.mpg"});
    core.Vistrova();
    core.MouseOperation(kPause);
    EXPECT_FALSE(media.playing);
    EXPECT_TRUE(core.state().paused);
    core.MouseOperation(kPause);
    EXPECT_TRUE(media.playing);
    EXPECT_FALSE(core.state().paused);
}

// --- end of a movie -----------------------------------------------------------

TEST_F(PlayerTest, NormalEndAdvancesAfterTheEndEvent) {
    setList({"clip.mpg", "b.jpg"});
    core.Vistrova();
    core.endOfStream(0);
    EXPECT_EQ(state.playList.position, 0) << "not inside the end event itself";
    EXPECT_TRUE(movie.isEnabled());
    clock.advance(10);
    EXPECT_EQ(state.playList.position, 1);
    EXPECT_FALSE(movie.isEnabled());
}

TEST_F(PlayerTest, ErrorEndStaysOnTheMovie) {
    setList({"clip.mpg", "b.jpg"});
    core.Vistrova();
    core.endOfStream(-13);
    clock.advance(10000);
    EXPECT_EQ(state.playList.position, 0);
}

TEST_F(PlayerTest, EndOfAStoppedMovieUnderAPictureIsIgnored) {
    setList({"clip.mpg", "b.jpg"});
    core.Vistrova();
    core.MouseOperation(kNext);
    core.endOfStream(0);
    clock.advance(100);
    EXPECT_EQ(state.playList.position, 1);
}

// --- seeking ------------------------------------------------------------------

struct SeekRow {
    double position;
    double duration;
    int action;
    double expected;
};

class SeekTest : public PlayerTest, public ::testing::WithParamInterface<SeekRow> {};

TEST_P(SeekTest, FirstTickSeeksTenSecondsWithinTheMovie) {
    const SeekRow& r = GetParam();
    setList({"clip.mpg"});
    core.Vistrova();
    media.pos = r.position;
    media.length = r.duration;
    core.MouseOperation(r.action);
    clock.advance(499);
    EXPECT_TRUE(media.seeks.empty()) << "the first seek comes after 500 ms";
    clock.advance(1);
    ASSERT_EQ(media.seeks.size(), 1u);
    EXPECT_DOUBLE_EQ(media.seeks[0], r.expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, SeekTest,
                         ::testing::Values(SeekRow{7.4, 100, kSeekBack, 0}, SeekRow{95, 100, kSeekForward, 100},
                                           SeekRow{50, 100, kSeekBack, 40}, SeekRow{50, 100, kSeekForward, 60},
                                           SeekRow{2.5, 100, kSeekForward, 12}, SeekRow{3.5, 100, kSeekForward, 14},
                                           SeekRow{20.5, 100, kSeekBack, 10}, SeekRow{10, 100, kSeekBack, 0},
                                           SeekRow{89.6, 99.5, kSeekForward, 99.5},
                                           SeekRow{30, 0, kSeekForward, 40}));

TEST_F(PlayerTest, HeldSeekRepeatsEveryTickFromTheLastTarget) {
    setList({"clip.mpg"});
    core.Vistrova();
    media.pos = 50;
    core.MouseOperation(kSeekForward);
    clock.advance(500);
    EXPECT_TRUE(media.muted);
    EXPECT_EQ(action.interval(), kSeekInterval);
    clock.advance(3);
    EXPECT_EQ(media.seeks, (std::vector<double>{60, 70, 80, 90}));
    clock.advance(10);
    EXPECT_DOUBLE_EQ(media.seeks.back(), 100) << "never past the duration";
}

TEST_F(PlayerTest, ReleaseAfterSeekingUnmutesAndResumes) {
    setList({"clip.mpg"});
    core.Vistrova();
    media.pos = 50;
    core.MouseDown();
    host.cursor.x -= 40;
    clock.advance(100);
    EXPECT_EQ(core.state().dragAction, kSeekBack);
    clock.advance(500);
    EXPECT_TRUE(core.state().seeking);
    media.playing = false;
    core.MouseUp(kButtonLeft, 0);
    EXPECT_FALSE(core.state().seeking);
    EXPECT_FALSE(media.muted);
    EXPECT_TRUE(media.playing);
    EXPECT_EQ(action.interval(), kActionInterval);
    EXPECT_FALSE(action.isEnabled());
    EXPECT_EQ(state.playList.position, 0) << "a drag is no click";
}

TEST_F(PlayerTest, ReleaseAfterSeekingStaysPausedWhenPaused) {
    setList({"clip.mpg"});
    core.Vistrova();
    core.MouseOperation(kPause);
    core.MouseOperation(kSeekForward);
    clock.advance(500);
    core.MouseUp(kButtonLeft, 0);
    EXPECT_FALSE(media.playing);
    EXPECT_FALSE(media.muted);
}

TEST_F(PlayerTest, SeekingOnAPictureLeavesTheStoppedMovieAlone) {
    setList({"clip.mpg", "b.jpg"});
    core.Vistrova();
    core.MouseOperation(kNext);
    media.log.clear();
    core.MouseOperation(kSeekForward);
    clock.advance(2000);
    core.MouseUp(kButtonLeft, 0);
    EXPECT_TRUE(media.seeks.empty());
    EXPECT_TRUE(media.log.empty());
}

// --- volume -------------------------------------------------------------------

struct VolumeRow {
    int step;
    int action;
    int expectedStep;
    std::uint32_t expectedWrite;
};

class VolumeTest : public PlayerTest, public ::testing::WithParamInterface<VolumeRow> {};

TEST_P(VolumeTest, OneStepPerTickWithinTheRange) {
    const VolumeRow& r = GetParam();
    setList({"a.jpg"});
    core.Vistrova();
    state.volumeStep = static_cast<std::int16_t>(r.step);
    core.MouseOperation(r.action);
    clock.advance(500);
    EXPECT_EQ(state.volumeStep, r.expectedStep);
    ASSERT_EQ(mixer.writes.size(), 1u);
    EXPECT_EQ(mixer.writes[0], r.expectedWrite);
}

INSTANTIATE_TEST_SUITE_P(Rows, VolumeTest,
                         ::testing::Values(VolumeRow{15, kVolumeUp, 15, 0xFFFFFFFFu},
                                           VolumeRow{0, kVolumeDown, 0, 0u},
                                           VolumeRow{7, kVolumeUp, 8, 0x88888888u},
                                           VolumeRow{8, kVolumeDown, 7, 0x77777777u},
                                           VolumeRow{0, kVolumeUp, 1, 0x11111111u},
                                           VolumeRow{14, kVolumeUp, 15, 0xFFFFFFFFu},
                                           VolumeRow{1, kVolumeDown, 0, 0u}));

TEST_F(PlayerTest, HeldVolumeDragStepsEvery500ms) {
    setList({"a.jpg"});
    core.Vistrova();
    state.volumeStep = 3;
    core.MouseDown();
    host.cursor.y += 33;
    clock.advance(100);
    clock.advance(1500);
    EXPECT_EQ(state.volumeStep, 0);
    EXPECT_EQ(mixer.writes, (std::vector<std::uint32_t>{0x22222222u, 0x11111111u, 0u}));
    core.MouseUp(kButtonLeft, 0);
    clock.advance(5000);
    EXPECT_EQ(mixer.writes.size(), 3u) << "release ends the repeat";
}

TEST(VolumeRules, EveryStepIsTheSameLevelOnBothChannels) {
    for (std::int16_t s = 0; s <= 15; ++s) {
        const std::uint32_t v = volumeOfStep(s);
        EXPECT_EQ(v & 0xFFFF, v >> 16);
        EXPECT_EQ(mdlPublic::volumeStepOf(v), s) << "the start-up step reads back the written one";
    }
    EXPECT_EQ(nextVolumeStep(40, false), 15);
    EXPECT_EQ(nextVolumeStep(-3, true), 0);
}

// --- end and failure path ---------------------------------------------------

TEST_F(PlayerTest, EndStopsAndClosesOnce) {
    setList({"clip.mpg", "b.jpg"});
    core.Vistrova();
    core.MouseOperation(kEnd);
    EXPECT_EQ(host.closeCalls, 1);
    EXPECT_FALSE(host.movieVisible);
    EXPECT_EQ(media.log.back(), "stop");
    core.MouseOperation(kNext);
    core.endOfStream(0);
    clock.advance(10000);
    EXPECT_EQ(state.playList.position, 0);
    EXPECT_EQ(host.closeCalls, 1);
}

TEST_F(PlayerTest, MissingFileRetryAsksAgainIgnoreMovesOn) {
    setList({"missing.jpg", "b.jpg"});
    host.answers = {4, 4, 5};  // Retry, Retry, Ignore
    core.Vistrova();
    ASSERT_EQ(host.asked.size(), 3u);
    EXPECT_EQ(host.asked[0], pathOf(0));
    EXPECT_EQ(state.playList.position, 1);
    EXPECT_EQ(lastShown(), pathOf(1));
    EXPECT_EQ(host.closeCalls, 0);
}

TEST_F(PlayerTest, OnlyRegularFilesAreOpened) {
    // A pipe, a folder or a device named like an entry is never handed on.
    setList({"missing pipe.jpg", "missing folder.avi", "missing device", "c.jpg"});
    ASSERT_EQ(::mkfifo(pathOf(0).c_str(), 0600), 0);
    std::filesystem::create_directory(pathOf(1));
    state.playList.paths[2] = "/dev/null";
    host.answers = {5, 5, 5};
    core.Vistrova();
    EXPECT_EQ(host.asked, (std::vector<std::string>{pathOf(0), pathOf(1), "/dev/null"}));
    EXPECT_EQ(host.shown, (std::vector<std::string>{pathOf(3)}));
    EXPECT_EQ(std::count(media.log.begin(), media.log.end(), "setFile"), 0);
}

TEST_F(PlayerTest, AbortEndsTheShowAndBecomesTheLastClick) {
    setList({"a.jpg", "missing.gif"});
    host.answers = {3};
    core.Vistrova();
    core.MouseOperation(kNext);
    EXPECT_EQ(host.asked.size(), 1u);
    EXPECT_EQ(core.state().lastClickAction, kEnd);
    EXPECT_EQ(host.closeCalls, 1);
}

TEST_F(PlayerTest, UndecodablePictureAndRefusedMovieTakeTheFailurePath) {
    setList({"bad.jpg", "clip.mpg", "c.jpg"});
    host.imageDecodes = false;
    host.answers = {5};
    core.Vistrova();
    EXPECT_EQ(host.asked, (std::vector<std::string>{pathOf(0)}));
    EXPECT_EQ(state.playList.position, 1);
    host.imageDecodes = true;
    host.answers = {5};
    core.mediaRefused();
    EXPECT_EQ(host.asked.size(), 2u);
    EXPECT_EQ(host.asked[1], pathOf(1));
    EXPECT_EQ(state.playList.position, 2);
    EXPECT_EQ(lastShown(), pathOf(2));
}

TEST_F(PlayerTest, PictureStillDecodingCountsItsTimeFromWhenItIsThere) {
    setList({"big.jpg", "bad.jpg", "c.jpg"});
    state.interval = 2;
    host.imageDecodesLater = true;
    core.Vistrova();
    clock.advance(5000);
    EXPECT_EQ(state.playList.position, 0);
    core.CommandPause();
    core.CommandPause();
    EXPECT_FALSE(image.isEnabled());
    core.pictureDecoded(true);
    clock.advance(1500);
    EXPECT_EQ(state.playList.position, 0);
    clock.advance(1000);
    EXPECT_EQ(state.playList.position, 1);
    // The next one fails once decoded; a late answer for a dropped one is ignored.
    host.answers = {5};
    core.pictureDecoded(false);
    EXPECT_EQ(host.asked, (std::vector<std::string>{pathOf(1)}));
    EXPECT_EQ(state.playList.position, 2);
    core.MouseOperation(kEnd);
    core.pictureDecoded(false);
    EXPECT_EQ(host.asked.size(), 1u);
}

TEST_F(PlayerTest, FailureBoxEndsAPendingPressWatch) {
    setList({"a.jpg", "missing.jpg"});
    core.Vistrova();
    host.answers = {5};
    core.MouseDown();
    // The click steps onto the missing file; the box answers Ignore.
    core.MouseUp(kButtonLeft, 0);
    EXPECT_FALSE(move.isEnabled());
    EXPECT_FALSE(action.isEnabled());
    EXPECT_EQ(state.playList.position, 0);
}

TEST_F(PlayerTest, FailureBoxDuringASeekPutsTheDragStateBack) {
    setList({"clip.mpg", "missing.jpg"});
    core.Vistrova();
    media.pos = 50;
    host.answers = {5};
    core.MouseOperation(kSeekForward);
    clock.advance(500);
    ASSERT_TRUE(core.state().seeking);
    // The clip ends while the button is held; the box takes the release.
    core.endOfStream(0);
    clock.advance(10);
    ASSERT_EQ(host.asked.size(), 1u);
    EXPECT_FALSE(core.state().seeking);
    EXPECT_FALSE(media.muted);
    EXPECT_EQ(action.interval(), kActionInterval);
    EXPECT_FALSE(action.isEnabled());
}

}  // namespace
