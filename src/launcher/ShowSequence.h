#pragma once
// The one way every caller starts the player: cursor to the screen's corner,
// volume step from the saved volume, the player modally over `owner`, cursor
// back to the centre. GUI thread only.

class QWidget;

namespace launcher {
void ShowSequence(QWidget* owner);
}
