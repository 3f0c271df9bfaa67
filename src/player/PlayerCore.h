#pragma once
// The player's state and everything that changes it: the actions of
// MouseOperation, the commands, the four timers and the input handlers. The
// window owns one, hands it the timers, the media element and the mixer, and
// does what it asks through IPlayerHost. GUI thread only.

#include "PlayerInput.h"
#include "platform/IMediaElement.h"
#include "platform/Mixer.h"
#include "shared/mdlPublic.h"

#include <cstdint>
#include <string>

namespace player {

inline constexpr int kImageInterval = 1000;
inline constexpr int kMovieInterval = 10;
inline constexpr int kMoveInterval = 100;
inline constexpr int kActionInterval = 500;
inline constexpr int kSeekInterval = 1;
inline constexpr double kSeekStep = 10.0;
inline constexpr std::int16_t kMaxVolumeStep = 15;

enum MediaKind : std::int16_t { kImage = 0, kMovie = 1 };

class ITimer {
public:
    virtual ~ITimer() = default;
    virtual void setEnabled(bool on) = 0;
    virtual bool isEnabled() const = 0;
    virtual void setInterval(int ms) = 0;
    virtual int interval() const = 0;
};

struct Timers {
    ITimer& image;
    ITimer& movie;
    ITimer& move;
    ITimer& action;
};

// How showing a picture began: shown at once, not decodable, or being
// decoded off the GUI thread (the host then calls PlayerCore::pictureDecoded).
enum class PictureStart { Shown, Failed, Decoding };

// What the window does on the core's behalf.
class IPlayerHost {
public:
    virtual ~IPlayerHost() = default;
    // Hides both elements, loads the picture and shows it fitted. A picture
    // still decoding is dropped by hideImage or the next showImage.
    virtual PictureStart showImage(const std::string& path) = 0;
    virtual void hideImage() = 0;
    // Places the movie element fitted to its natural size and shows it.
    virtual void showMovie() = 0;
    virtual void hideMovie() = 0;
    virtual void closePlayer() = 0;
    virtual Point cursorPos() = 0;
    virtual void focusPlayer() = 0;
    // Whether the player covers the screen (not the fixed-size window).
    virtual bool coversScreen() = 0;
    virtual void openHelpFile() = 0;
    // Keeps the window above all others, or lets other windows come in front.
    virtual void keepOnTop(bool on) = 0;
    // Shows the help window modally; returns when it has closed.
    virtual void showHelp() = 0;
    // The "Can't open!!" box; returns the answer code.
    virtual int askCantOpen(const std::string& path) = 0;
};

struct PlayerState {
    std::int16_t mediaKind = kImage;
    std::int16_t lastClickAction = kRewind;
    std::int32_t elapsedSeconds = 0;
    std::int32_t displaySeconds = 0;
    std::int16_t dragAction = 0;
    bool paused = false;
    bool seeking = false;
    Point pressPoint;
    bool closed = false;  // after action 8 nothing more happens
    bool decoding = false;  // the current picture is not there yet
};

// Positions after next and previous, wrapping at both ends.
std::int16_t nextPosition(std::int16_t position, std::int16_t count);
std::int16_t previousPosition(std::int16_t position, std::int16_t count);
// A seek of `step` seconds from the position rounded to whole seconds
// (halves to even), kept within 0..duration.
double seekTarget(double position, double duration, double step);
// The volume step after one step down or up, within 0..15.
std::int16_t nextVolumeStep(std::int16_t step, bool down);
// The wave-out value of a step: the same level on both channels.
std::uint32_t volumeOfStep(std::int16_t step);
// Whether the entry may be opened: a regular file, hidden ones too. Anything
// else (missing, a folder, a pipe or a device) takes the failure path.
bool fileExists(const std::string& path);

class PlayerCore {
public:
    PlayerCore(mdlPublic::PublicState& state, IPlayerHost& host, platform::IMediaElement& media,
               platform::IMixer& mixer, Timers timers);

    const PlayerState& state() const { return m_s; }

    // Shows the entry at the current position.
    void Vistrova();
    void MouseOperation(int action);
    void CommandStop();
    void CommandPause();
    void ChangeVolume(bool down);

    void tmrImage_Timer();
    void tmrMovie_Timer();
    void tmrMove_Timer();
    void tmrAction_Timer();

    // The picture showImage left decoding is shown, or could not be decoded.
    void pictureDecoded(bool shown);

    // From the media element.
    void endOfStream(int result);
    void mediaRefused();

    // Input. Keys are virtual-key codes, shift states bit masks.
    void KeyDown(int key, int shift);
    void KeyUp(int key, int shift);
    void MouseDown();
    void MouseUp(int button, int shift);
    void MouseDblClick();
    // The window is being closed from outside (window manager, Alt+F4).
    void closeRequested();
    // The player window became the active window (true), or another window
    // took the keyboard (false).
    void activationChanged(bool active);

private:
    void failurePath(const std::string& path);
    void startDisplayTime();
    // Clears the seeking flag, the 1 ms repeat and the mute of a seek.
    void endSeeking();
    void endShow();

    mdlPublic::PublicState& m_public;
    IPlayerHost& m_host;
    platform::IMediaElement& m_media;
    platform::IMixer& m_mixer;
    Timers m_timers;
    PlayerState m_s;
};

}  // namespace player
