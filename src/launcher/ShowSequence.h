#pragma once
// The one way every caller starts the player: cursor to the screen's corner,
// volume step from the saved volume, the player modally over `owner`, cursor
// back to the centre. With a host window (not 0) the player runs inside that
// window at its size instead, and the pointer is left alone. GUI thread only.

#include <qwindowdefs.h>

class QWidget;

namespace mdlPublic {
struct PublicState;
}

namespace launcher {
void showSequence(mdlPublic::PublicState& state, QWidget* owner, WId hostWindow = 0);


}  // namespace launcher
