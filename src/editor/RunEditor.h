#pragma once
// Entry to the file list editor: shows frmFileListEx modally over `owner` and
// returns when it has closed; its run command starts `showSequence` over the
// editor. GUI thread only.

#include <functional>

class QWidget;

namespace mdlPublic {
struct PublicState;
}

namespace editor {
void runEditor(mdlPublic::PublicState& state, QWidget* owner, std::function<void(QWidget*)> showSequence);
}
