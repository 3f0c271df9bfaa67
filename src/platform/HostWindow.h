#pragma once
// The window a screen-saver host gives for the show. GUI thread only, after
// the application object exists.

#include <QSize>
#include <qwindowdefs.h>

#include <optional>

namespace platform {

// The inner size of X window `id` on the display the program runs on; nothing
// when there is no X display or no such window.
std::optional<QSize> hostWindowSize(WId id);

}  // namespace platform
