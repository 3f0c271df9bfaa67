#pragma once
// A thumbnail of a clip: one frame a little into it, decoded through the
// libraries playback uses, within a bounded time and memory. Safe on any
// thread; only regular files are opened, and nothing but the file itself
// (a play list or a clip naming other files or addresses reads none).

#include <QImage>
#include <QString>

namespace platform {

// The frame, turned as the clip's display matrix says and scaled to fit a
// `box`-pixel square (never enlarged). Null when the file has no picture or
// cannot be read within the bounds.
QImage clipThumbnail(const QString& path, int box);

}  // namespace platform
