#pragma once
// Message boxes as the design gives them: a flag sum in, an answer code out.
// GUI thread only.

#include "MessageFlags.h"
#include "shared/Outcome.h"

#include <QString>

#include <string>

class QWidget;

namespace mdlMessage {

inline const QString kTitleVistrova = QStringLiteral("Vistrova!!");
inline const QString kTitleTarnquill = QStringLiteral("Tarnquill");

// Shows the box modally and returns the answer. The first button is the
// default; Esc answers Cancel where there is one (OK in an OK-only box) and
// nothing otherwise. The text is shown literally, never as markup.
int msgBox(const QString& text, int flags, const QString& title = kTitleVistrova, QWidget* parent = nullptr);

// Shows a failure's text in the box its flags give.
int show(const errors::Failure& failure, const QString& title = kTitleVistrova, QWidget* parent = nullptr);

// Tells that values could not be stored in the settings file at `path` (a
// full disk, a read-only file): the values hold for this run only.
void settingsNotStored(const std::string& path, QWidget* parent = nullptr);

}  // namespace mdlMessage
