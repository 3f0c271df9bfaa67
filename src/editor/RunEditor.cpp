#include "RunEditor.h"

#include "frmFileListEx.h"

namespace editor {

void RunEditor(QWidget* owner) {
    // Every opening builds the window afresh; nothing of it survives the close.
    frmFileListEx window(owner);
    window.setWindowModality(Qt::ApplicationModal);
    window.Form_Load();
    window.exec();
}

}  // namespace editor
