#pragma once
// What both programs set up once their application object exists. GUI thread.

class QApplication;

namespace platform {

// Loads Qt's Japanese translation, whatever the locale, so Qt's own texts
// (dialogs, context menus) speak Japanese as the programs' own texts do;
// lets every window's command shortcuts act whichever of its controls has the
// keyboard, ahead of a focused text box's own bindings of the same key; and
// formats numbers the C way, which the media element needs. Call it once the
// application object exists, before the first window is built.
void prepareApplication(QApplication& app);

}  // namespace platform
