#pragma once
// Held keys under X11: the server repeats a held key as release/press pairs,
// and Qt marks only some of them as auto-repeat. GUI thread only.

#include "HeldKeys.h"

#include <QObject>

class QKeyEvent;
class QWidget;

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

// Keeps a top-level window to the keys pressed in it. It watches the window's
// native window, where every key of the window passes before any of its
// widgets sees it, and drops the release of a key whose press went elsewhere
// (the message box or dialog that took the keyboard, the window that opened
// this one). With `Presses::Once` it also drops the repeated presses of a held
// key. What is held is forgotten when the window loses the keyboard or a
// modal window blocks it.
class HeldKeyFilter : public QObject {
public:
    enum class Presses { Repeat, Once };
    HeldKeyFilter(QWidget* window, Presses presses);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Presses m_presses;
    HeldKeys m_held;
};

}  // namespace platform
