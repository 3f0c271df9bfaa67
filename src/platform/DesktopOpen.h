#pragma once
// Opens a document with the desktop's default handler, never through a shell
// command line. GUI thread only.

#include <QString>

namespace platform {

// False when the file is missing or no handler took it.
bool openDocument(const QString& path);

// The help document Readme.html: beside the executable, or in the data folder
// of an installed copy (<prefix>/share/vistrova). "" when neither has it.
QString helpDocumentPath();

// Opens the help document; false when it is missing or no handler took it.
bool openHelpDocument();


}  // namespace platform
