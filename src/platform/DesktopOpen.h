#pragma once
// Opens a document with the desktop's default handler, never through a shell
// command line. GUI thread only.

#include <QString>

namespace platform {

// False when the file is missing or no handler took it.
bool OpenDocument(const QString& path);

}  // namespace platform
