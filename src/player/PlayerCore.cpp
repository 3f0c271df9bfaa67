#include "PlayerCore.h"

#include "shared/FileKinds.h"
#include "shared/MediaTypes.h"
#include "shared/Numeric.h"

#include <filesystem>

namespace player {

namespace {
// Answers of the "Can't open!!" box.
constexpr int kAnswerRetry = 4;
constexpr int kAnswerIgnore = 5;
}  // namespace

std::int16_t nextPosition(std::int16_t position, std::int16_t count) {
    return position < count - 1 ? static_cast<std::int16_t>(position + 1) : std::int16_t{0};
}

std::int16_t previousPosition(std::int16_t position, std::int16_t count) {
    if (position < 1) return count > 0 ? static_cast<std::int16_t>(count - 1) : std::int16_t{0};
    return static_cast<std::int16_t>(position - 1);
}

double seekTarget(double position, double duration, double step) {
    double target = numeric::roundHalfEven(position) + step;
    if (target < 0) target = 0;
    // An unknown duration (0) must not pull every forward seek back to the start.
    if (duration > 0 && target > duration) target = duration;
    return target;
}

std::int16_t nextVolumeStep(std::int16_t step, bool down) {
    if (step < 0) step = 0;
    if (step > kMaxVolumeStep) step = kMaxVolumeStep;
    if (down) return step > 0 ? static_cast<std::int16_t>(step - 1) : step;
    return step < kMaxVolumeStep ? static_cast<std::int16_t>(step + 1) : step;
}

std::uint32_t volumeOfStep(std::int16_t step) {
    if (step < 0) step = 0;
    if (step > kMaxVolumeStep) step = kMaxVolumeStep;
    return static_cast<std::uint32_t>(step) * 0x11111111u;
}

bool fileExists(const std::string& path) { return files::isOpenableFile(path); }

PlayerCore::PlayerCore(mdlPublic::PublicState& state, IPlayerHost& host, platform::IMediaElement& media,
                       platform::IMixer& mixer, Timers timers)
    : m_public(state), m_host(host), m_media(media), m_mixer(mixer), m_timers(timers) {
    m_timers.image.setInterval(kImageInterval);
    m_timers.movie.setInterval(kMovieInterval);
    m_timers.move.setInterval(kMoveInterval);
    m_timers.action.setInterval(kActionInterval);
    m_timers.image.setEnabled(false);
    m_timers.movie.setEnabled(false);
    m_timers.move.setEnabled(false);
    m_timers.action.setEnabled(false);
}

void PlayerCore::Vistrova() {
    if (m_s.closed) return;
    auto& list = m_public.playList;
    if (list.count <= 0) return;
    if (list.count > mdlPublic::kPlayListSlots) list.count = mdlPublic::kPlayListSlots;
    // A position left over from a longer list would read past the entries.
    if (list.position < 0 || list.position >= list.count) list.position = 0;
    const std::string path = list.paths[static_cast<std::size_t>(list.position)];

    if (!fileExists(path)) {
        failurePath(path);
        return;
    }
    const std::string name = std::filesystem::path(path).filename().string();
    if (media::isImage(media::extension(name))) {
        m_s.mediaKind = kImage;
        switch (m_host.showImage(path)) {
        case PictureStart::Failed:
            failurePath(path);
            return;
        case PictureStart::Decoding:
            // The display time counts from when the picture is there.
            m_s.decoding = true;
            return;
        case PictureStart::Shown:
            startDisplayTime();
            break;
        }
    } else {
        m_s.mediaKind = kMovie;
        m_host.hideImage();
        m_host.hideMovie();
        m_media.stop();
        m_media.setFile(path);
        m_host.showMovie();
        m_media.play();
    }
}

void PlayerCore::startDisplayTime() {
    m_s.elapsedSeconds = 0;
    m_s.displaySeconds = mdlPublic::displaySeconds(m_public);
    m_timers.image.setEnabled(!m_s.paused);
}

void PlayerCore::pictureDecoded(bool shown) {
    if (m_s.closed || !m_s.decoding) return;
    m_s.decoding = false;
    const auto& list = m_public.playList;
    if (shown) {
        startDisplayTime();
    } else if (list.position >= 0 && list.position < list.count) {
        failurePath(list.paths[static_cast<std::size_t>(list.position)]);
    }
}

void PlayerCore::failurePath(const std::string& path) {
    // A press that led here is used up: its watch must not turn the moves to
    // the box's buttons into a seek or a volume drag.
    m_timers.move.setEnabled(false);
    m_timers.action.setEnabled(false);
    // The box takes the release of a seeking drag: its state ends here, or
    // a later short drag would act at once and later clips stay muted.
    endSeeking();
    const int answer = m_host.askCantOpen(path);
    if (m_s.closed) return;
    if (answer == kAnswerRetry) {
        MouseOperation(kRewind);
    } else if (answer == kAnswerIgnore) {
        MouseOperation(kNext);
    } else {
        m_s.lastClickAction = kEnd;
        MouseOperation(kEnd);
    }
}

void PlayerCore::MouseOperation(int action) {
    if (m_s.closed) return;
    auto& list = m_public.playList;
    switch (action) {
    case kRewind:
        CommandStop();
        Vistrova();
        break;
    case kNext:
        CommandStop();
        list.position = nextPosition(list.position, list.count);
        Vistrova();
        break;
    case kPrevious:
        CommandStop();
        list.position = previousPosition(list.position, list.count);
        Vistrova();
        break;
    case kPause:
        CommandPause();
        break;
    case kSeekBack:
    case kSeekForward:
    case kVolumeUp:
    case kVolumeDown:
        m_s.dragAction = static_cast<std::int16_t>(action);
        m_timers.action.setEnabled(true);
        break;
    case kEnd:
        CommandStop();
        endShow();
        break;
    default:
        break;
    }
}

void PlayerCore::endShow() {
    m_s.closed = true;
    m_timers.image.setEnabled(false);
    m_timers.movie.setEnabled(false);
    m_timers.move.setEnabled(false);
    m_timers.action.setEnabled(false);
    m_host.closePlayer();
}

void PlayerCore::CommandStop() {
    m_s.paused = false;
    if (m_s.mediaKind == kImage) {
        m_s.decoding = false;
        m_timers.image.setEnabled(false);
        m_host.hideImage();
    } else if (m_s.mediaKind == kMovie) {
        m_media.stop();
        m_host.hideMovie();
    }
}

void PlayerCore::CommandPause() {
    if (m_s.closed) return;
    if (m_s.mediaKind == kImage) {
        m_s.paused = !m_s.paused;
        m_timers.image.setEnabled(!m_s.paused && !m_s.decoding);
    } else if (m_s.mediaKind == kMovie) {
        if (m_s.paused) {
            m_s.paused = false;
            m_media.play();
        } else {
            m_s.paused = true;
            m_media.pause();
        }
    }
}

void PlayerCore::ChangeVolume(bool down) {
    m_public.volumeStep = nextVolumeStep(m_public.volumeStep, down);
    m_mixer.setVolume(volumeOfStep(m_public.volumeStep));
}

void PlayerCore::tmrImage_Timer() {
    if (m_s.closed) return;
    if (m_s.displaySeconds == 0) {
        m_timers.image.setEnabled(false);
        return;
    }
    ++m_s.elapsedSeconds;
    if (m_s.elapsedSeconds >= m_s.displaySeconds) MouseOperation(kNext);
}

void PlayerCore::tmrMovie_Timer() {
    m_timers.movie.setEnabled(false);
    MouseOperation(kNext);
}

void PlayerCore::tmrMove_Timer() {
    if (m_s.closed) return;
    for (int action : dragActions(m_s.pressPoint, m_host.cursorPos())) {
        m_timers.move.setEnabled(false);
        MouseOperation(action);
    }
}

void PlayerCore::tmrAction_Timer() {
    if (m_s.closed) return;
    switch (m_s.dragAction) {
    case kSeekBack:
    case kSeekForward: {
        // A hidden, stopped movie must not be moved and then resumed under a picture.
        if (m_s.mediaKind != kMovie) break;
        if (!m_s.seeking) {
            m_timers.action.setInterval(kSeekInterval);
            m_media.setSeekingMute(true);
        }
        m_s.seeking = true;
        const double step = m_s.dragAction == kSeekBack ? -kSeekStep : kSeekStep;
        m_media.setPosition(seekTarget(m_media.position(), m_media.duration(), step));
        break;
    }
    case kVolumeUp:
        ChangeVolume(false);
        break;
    case kVolumeDown:
        ChangeVolume(true);
        break;
    default:
        break;
    }
}

void PlayerCore::endOfStream(int result) {
    if (m_s.closed || m_s.mediaKind != kMovie) return;
    if (result == 0) m_timers.movie.setEnabled(true);
}

void PlayerCore::mediaRefused() {
    if (m_s.closed || m_s.mediaKind != kMovie) return;
    const auto& list = m_public.playList;
    if (list.position < 0 || list.position >= list.count) return;
    m_host.hideMovie();
    failurePath(list.paths[static_cast<std::size_t>(list.position)]);
}

void PlayerCore::KeyDown(int key, int shift) {
    if (m_s.closed) return;
    if (keyPressEndsShow(m_public.startMode, key, shift)) {
        CommandStop();
        endShow();
    }
}

void PlayerCore::KeyUp(int key, int /*shift*/) {
    if (m_s.closed) return;
    if (m_host.coversScreen()) {
        const KeyDecision d = keyReleaseRow(key, m_public.keys);
        switch (d.row) {
        case KeyRow::HelpFile:
            m_host.openHelpFile();
            break;
        case KeyRow::Help:
            if (!m_s.paused) CommandPause();
            m_host.showHelp();
            // Closing the help window toggles the pause once, so the show runs on.
            CommandPause();
            break;
        case KeyRow::Action:
            MouseOperation(d.action);
            if (d.action == kEnd) return;
            break;
        case KeyRow::None:
            break;
        }
    }
    if (m_s.closed) return;
    m_host.focusPlayer();
}

void PlayerCore::MouseDown() {
    if (m_s.closed) return;
    if (m_public.startMode != mdlPublic::kStartNormal) {
        CommandStop();
        endShow();
        return;
    }
    if (m_timers.move.isEnabled()) {
        m_timers.move.setEnabled(false);
        MouseOperation(kRewind);
        return;
    }
    m_s.pressPoint = m_host.cursorPos();
    if (m_s.pressPoint == Point{0, 0}) {
        MouseOperation(kEnd);
        return;
    }
    m_timers.move.setEnabled(true);
}

void PlayerCore::MouseUp(int button, int shift) {
    if (m_s.closed) return;
    if (m_timers.move.isEnabled()) {
        m_s.lastClickAction = static_cast<std::int16_t>(clickAction(button, shift, m_s.lastClickAction));
        MouseOperation(m_s.lastClickAction);
        if (m_s.lastClickAction == kEnd || m_s.closed) return;
        m_host.focusPlayer();
    }
    m_timers.action.setEnabled(false);
    if (m_s.seeking) {
        endSeeking();
        if (!m_s.paused) m_media.play();
    }
    m_timers.move.setEnabled(false);
}

void PlayerCore::endSeeking() {
    if (!m_s.seeking) return;
    m_s.seeking = false;
    m_timers.action.setInterval(kActionInterval);
    m_media.setSeekingMute(false);
}

void PlayerCore::MouseDblClick() {
    if (m_s.closed) return;
    // Should the second press of a double click arrive as a press too, its
    // watch ends here so its release does not step once more.
    m_timers.move.setEnabled(false);
    MouseOperation(m_s.lastClickAction);
}

void PlayerCore::activationChanged(bool active) {
    if (m_s.closed) return;
    m_host.keepOnTop(staysOnTop(m_public.startMode, active));
}

void PlayerCore::closeRequested() {
    if (m_s.closed) return;
    CommandStop();
    m_s.closed = true;
    m_timers.image.setEnabled(false);
    m_timers.movie.setEnabled(false);
    m_timers.move.setEnabled(false);
    m_timers.action.setEnabled(false);
}

}  // namespace player
