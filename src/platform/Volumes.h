#pragma once
// The mounted volumes that stand in for drives. GUI thread.

#include <QStringList>

namespace platform {
// Root paths of the mounted, readable volumes; "/" first, the others sorted.
QStringList mountRoots();

}  // namespace platform
