#pragma once
// What both programs set up once their application object exists. GUI thread.

class QApplication;
class QObject;

namespace platform {

// Qt's own texts (dialogs, context menus) in Japanese, whatever the locale, as
// the programs' own texts are; false when Qt's translation is not installed.
bool loadQtJapanese(QApplication& app);

// Lets every window's command shortcuts act whichever of its controls has the
// keyboard, ahead of a focused text box's own bindings of the same key.
// Returns the filter, owned by the application.
QObject* installWindowShortcutsFirst(QApplication& app);

// Both of the above, in the order the programs need them.
void prepareApplication(QApplication& app);

}  // namespace platform
