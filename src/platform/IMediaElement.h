#pragma once
// What the player and the editor's preview need of a movie element. Plain C++
// so the rules can drive a fake. GUI thread only.

#include <string>

namespace platform {

class IMediaElement {
public:
    virtual ~IMediaElement() = default;
    // Loads a file (paused at its start); replaces whatever was loaded.
    virtual void setFile(const std::string& path) = 0;
    virtual void play() = 0;
    virtual void pause() = 0;
    // Unloads the file; no end of stream follows.
    virtual void stop() = 0;
    // Seconds from the start. After a seek this is the seek target until
    // playing resumes, so repeated seeks do not start from a stale position.
    virtual double position() = 0;
    virtual void setPosition(double seconds) = 0;
    // Seconds; 0 while unknown.
    virtual double duration() = 0;
    // Natural video size in pixels; 0 while unknown or without video.
    virtual int naturalWidth() = 0;
    virtual int naturalHeight() = 0;
    // The switch held while seeking: the sound is muted.
    virtual void setSeekingMute(bool on) = 0;
};

}  // namespace platform
