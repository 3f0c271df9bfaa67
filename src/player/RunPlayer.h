#pragma once
// Entry to the slideshow player: shows frmMain modally over `owner` and returns
// when it has closed. GUI thread only.

class QWidget;

namespace mdlPublic {
struct PublicState;
}

namespace player {
void runPlayer(mdlPublic::PublicState& state, QWidget* owner);
}
