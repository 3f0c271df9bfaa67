#pragma once
// Held keys under X11: the server repeats a held key as release/press pairs,
// and Qt marks only some of them as auto-repeat. GUI thread only.

class QKeyEvent;

namespace platform {

// Asks the X server to repeat held keys as presses alone, with one release
// when the key comes up (XKB's detectable auto-repeat), on Qt's own
// connection. False where the platform is not xcb or the server refuses.
// Call once the application object exists.
bool enableDetectableAutoRepeat();

// The number that names the physical key of an event, for HeldKeys: the
// native scan code where there is one (a shifted digit keeps its key), else
// Qt's key code (events made by tests).
int keyIdentity(const QKeyEvent& event);

}  // namespace platform
