#include "RunEditor.h"

#include "frmFileListEx.h"

namespace editor {

void runEditor(mdlPublic::PublicState& state, QWidget* owner, std::function<void(QWidget*)> showSequence) {
    // Every opening builds the window afresh; nothing of it survives the close.
    frmFileListEx window(state, owner);
    window.setWindowModality(Qt::ApplicationModal);
    window.setShowSequence(std::move(showSequence));
    window.Form_Load();
    window.exec();
}

}  // namespace editor
