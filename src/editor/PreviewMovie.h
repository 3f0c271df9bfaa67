#pragma once
// The movie element of the preview pane (mplPre), seen through what the pane
// needs: load a clip without starting it, report its natural size, start it,
// close it. A click on it toggles play and pause. GUI thread only; the pane
// owns it.

#include <QSize>
#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace editor {

class IPreviewMovie {
public:
    virtual ~IPreviewMovie() = default;
    virtual QWidget* widget() = 0;
    // Loads the clip without starting it. False when it cannot be opened.
    virtual bool load(const QString& path, const QString& typeName) = 0;
    // Closes the clip; any playback ends.
    virtual void unload() = 0;
    // Natural size in pixels; empty when unknown (a clip with sound only).
    virtual QSize naturalSize() const = 0;
    virtual void play() = 0;
    // Runs `ready` once the loaded clip's natural size is known (at once when
    // it already is); never for a clip that shows no picture or was unloaded.
    virtual void whenReady(std::function<void()> ready) = 0;
};

std::unique_ptr<IPreviewMovie> createPreviewMovie(QWidget* parent);

}  // namespace editor
