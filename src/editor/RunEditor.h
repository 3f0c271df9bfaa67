#pragma once
// Entry to the file list editor: shows frmFileListEx modally over `owner` and
// returns when it has closed. GUI thread only.

class QWidget;

namespace editor {
void RunEditor(QWidget* owner);
}
