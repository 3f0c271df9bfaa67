#pragma once
// Entry to the slideshow player: shows frmMain modally over `owner` and returns
// when it has closed. GUI thread only.

class QWidget;

namespace player {
void runPlayer(QWidget* owner);
}
