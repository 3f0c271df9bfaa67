#pragma once
// Message boxes as the design gives them: a flag sum in, an answer code out.
// GUI thread only.

#include <QString>

class QWidget;

namespace mdlMessage {

// Flags: icon 16 critical, 32 question, 48 exclamation, 64 information, plus
// buttons 0 OK, 1 OK/Cancel, 2 Abort/Retry/Ignore, 3 Yes/No/Cancel, 4 Yes/No,
// 5 Retry/Cancel.
enum Answer { kOk = 1, kCancel = 2, kAbort = 3, kRetry = 4, kIgnore = 5, kYes = 6, kNo = 7 };

inline const QString kTitleVistrova = QStringLiteral("Vistrova!!");
inline const QString kTitleTarnquill = QStringLiteral("Tarnquill");

// Shows the box modally and returns the answer. The first button is the
// default; Esc answers Cancel where there is one (OK in an OK-only box) and
// nothing otherwise. The text is shown literally, never as markup.
int MsgBox(const QString& text, int flags, const QString& title = kTitleVistrova, QWidget* parent = nullptr);

}  // namespace mdlMessage
