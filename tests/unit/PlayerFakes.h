#pragma once
// Fakes of the player window, the media element and a clock for
// the player's rule tests.

#include "player/PlayerCore.h"

#include "FakeMixer.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace playerfakes {
using namespace player;

// Timers on a clock that moves only when told; a timer fires every interval
// from the moment it was switched on (or its interval changed) while on.
class FakeClock;
class FakeTimer final : public ITimer {
public:
    explicit FakeTimer(FakeClock& clock) : m_clock(clock) {}
    void setEnabled(bool on) override;
    bool isEnabled() const override { return m_enabled; }
    void setInterval(int ms) override;
    int interval() const override { return m_interval; }

    std::function<void()> onTick;
    std::int64_t due = 0;

private:
    FakeClock& m_clock;
    bool m_enabled = false;
    int m_interval = 0;
};

class FakeClock {
public:
    std::int64_t now = 0;
    std::vector<FakeTimer*> timers;

    // Moves the clock on by `ms`, firing every tick due on the way, in order.
    void advance(std::int64_t ms) {
        const std::int64_t end = now + ms;
        for (;;) {
            FakeTimer* next = nullptr;
            for (FakeTimer* t : timers) {
                if (t->isEnabled() && t->due <= end && (!next || t->due < next->due)) next = t;
            }
            if (!next) break;
            now = next->due;
            next->due += next->interval() > 0 ? next->interval() : 1;
            next->onTick();
        }
        now = end;
    }
};

inline void FakeTimer::setEnabled(bool on) {
    if (on && !m_enabled) due = m_clock.now + (m_interval > 0 ? m_interval : 1);
    m_enabled = on;
}

inline void FakeTimer::setInterval(int ms) {
    m_interval = ms;
    due = m_clock.now + (ms > 0 ? ms : 1);
}

class FakeHost final : public IPlayerHost {
public:
    PictureStart showImage(const std::string& path) override {
        shown.push_back(path);
        imageVisible = imageDecodes && !imageDecodesLater;
        movieVisible = false;
        if (imageDecodesLater) return PictureStart::Decoding;
        return imageDecodes ? PictureStart::Shown : PictureStart::Failed;
    }
    void hideImage() override { imageVisible = false; }
    void showMovie() override {
        movieVisible = true;
        shown.push_back("movie:" + lastMoviePath);
    }
    void hideMovie() override { movieVisible = false; }
    void closePlayer() override { ++closeCalls; }
    Point cursorPos() override { return cursor; }
    void focusPlayer() override { ++focusCalls; }
    bool coversScreen() override { return coversTheScreen; }
    void openHelpFile() override { ++helpFileCalls; }
    void keepOnTop(bool on) override { onTop = on; }
    void showHelp() override {
        ++helpCalls;
        if (duringHelp) duringHelp();
    }
    int askCantOpen(const std::string& path) override {
        asked.push_back(path);
        if (answers.empty()) return 3;  // Abort
        const int a = answers.front();
        answers.pop_front();
        return a;
    }

    std::vector<std::string> shown;
    std::string lastMoviePath;
    bool imageDecodes = true;
    bool imageDecodesLater = false;  // showImage leaves it decoding
    bool imageVisible = false;
    bool movieVisible = false;
    int closeCalls = 0;
    int focusCalls = 0;
    int helpFileCalls = 0;
    int helpCalls = 0;
    bool onTop = true;
    std::function<void()> duringHelp;
    Point cursor{500, 400};
    bool coversTheScreen = true;
    std::vector<std::string> asked;
    std::deque<int> answers;
};

class FakeMedia final : public platform::IMediaElement {
public:
    explicit FakeMedia(FakeHost& host) : m_host(host) {}
    void setFile(const std::string& path) override {
        file = path;
        m_host.lastMoviePath = path;
        log.push_back("setFile");
    }
    void play() override {
        playing = true;
        log.push_back("play");
    }
    void pause() override {
        playing = false;
        log.push_back("pause");
    }
    void stop() override {
        playing = false;
        log.push_back("stop");
    }
    double position() override { return pos; }
    void setPosition(double s) override {
        pos = s;
        seeks.push_back(s);
    }
    double duration() override { return length; }
    int naturalWidth() override { return 320; }
    int naturalHeight() override { return 240; }
    void setSeekingMute(bool on) override {
        muted = on;
        log.push_back(on ? "mute" : "unmute");
    }

    std::string file;
    bool playing = false;
    bool muted = false;
    double pos = 0;
    double length = 100;
    std::vector<double> seeks;
    std::vector<std::string> log;

private:
    FakeHost& m_host;
};

class PlayerTest : public ::testing::Test {
protected:
    PlayerTest()
        : image(clock), movie(clock), move(clock), action(clock), media(host),
          core(state, host, media, mixer, Timers{image, movie, move, action}) {
        clock.timers = {&image, &movie, &move, &action};
        image.onTick = [this] { core.tmrImage_Timer(); };
        movie.onTick = [this] { core.tmrMovie_Timer(); };
        move.onTick = [this] { core.tmrMove_Timer(); };
        action.onTick = [this] { core.tmrAction_Timer(); };
        state.interval = 0;
    }

    // Files named as given (created in a scratch folder unless they start
    // with "missing") become the play list.
    void setList(const std::vector<std::string>& names, int position = 0) {
        auto& list = state.playList;
        list.count = static_cast<std::int16_t>(names.size());
        list.position = static_cast<std::int16_t>(position);
        for (std::size_t i = 0; i < names.size(); ++i) {
            const std::string path = dir.file(names[i]);
            if (names[i].rfind("missing", 0) != 0) TempDir::put(path, "x");
            list.paths[i] = path;
            list.titles[i] = names[i];
        }
    }
    std::string pathOf(int i) const { return state.playList.paths[static_cast<std::size_t>(i)]; }
    std::string lastShown() const { return host.shown.empty() ? "" : host.shown.back(); }

    // A click: press and release without moving.
    void click(int button, int shift = 0) {
        core.MouseDown();
        core.MouseUp(button, shift);
    }

    TempDir dir;
    mdlPublic::PublicState state;
    FakeClock clock;
    FakeTimer image, movie, move, action;
    FakeHost host;
    FakeMedia media;
    FakeMixer mixer;
    PlayerCore core;
};

}  // namespace playerfakes
