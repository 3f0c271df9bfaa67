#pragma once
// The movie element: on an X server libmpv draws into a plain child window of
// its own (OpenGL where there is some, else plain X11), so the window around it
// stays on Qt's raster path; elsewhere (offscreen) it draws through its
// software render API into a QImage. Reusable wherever a movie is shown. GUI
// thread only; mpv's own threads only queue work onto it.

#include "IMediaElement.h"

#include <QColor>
#include <QImage>
#include <QPointer>
#include <QWidget>

#include <atomic>
#include <cstdint>
#include <string>

struct mpv_handle;
struct mpv_render_context;
struct mpv_event;
struct xcb_connection_t;

namespace platform {

class MpvElement final : public QWidget, public IMediaElement {
    Q_OBJECT
public:
    explicit MpvElement(QWidget* parent = nullptr);
    ~MpvElement() override;

    // False when libmpv could not be started; every file is then refused.
    bool isAvailable() const { return m_mpv != nullptr; }
    // Ends libmpv ahead of time, before the window holding it goes; the
    // element then refuses every file.
    void release();
    // Colour of the area the video does not cover.
    void setBackgroundColor(const QColor& color);

    void setFile(const std::string& path) override;
    void play() override;
    void pause() override;
    void stop() override;
    double position() override;
    void setPosition(double seconds) override;
    double duration() override;
    int naturalWidth() override { return m_naturalWidth; }
    int naturalHeight() override { return m_naturalHeight; }
    void setSeekingMute(bool on) override;
    // A property of mpv as text ("" when it has none), for diagnostics.
    std::string propertyText(const char* name) const;

signals:
    // The loaded file (or the last entry of a play list) ended: 0 at its
    // normal end, non-zero after an error during playback.
    void endOfStream(int result);
    // The file could not be played at all (nothing of it started).
    void refused();
    void naturalSizeChanged(int width, int height);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static void onWakeup(void* self);
    static void onRenderUpdate(void* self);
    void drainEvents();
    void handleEvent(const mpv_event& event);
    void renderUpdate();
    void renderSoftware();
    void issueLoad();
    bool ensureWindow();
    void syncWindow();
    void destroyWindow();
    void createRenderContext();
    void freeRenderContext();
    void finishStream(bool error, int code);

    mpv_handle* m_mpv = nullptr;
    mpv_render_context* m_render = nullptr;  // software rendering only
    bool m_native = false;         // mpv draws into m_xWindow
    // The X window mpv draws into, a child of the host's window, made at the
    // first load and kept over the element's place while the element shows.
    xcb_connection_t* m_xcb = nullptr;
    std::uint32_t m_xWindow = 0;
    QPointer<QWidget> m_host;
    QRect m_xGeometry;
    bool m_xMapped = false;
    QImage m_frame;              // software rendering target
    QColor m_background = Qt::black;
    std::atomic<bool> m_wakeupQueued{false};
    std::atomic<bool> m_updateQueued{false};
    bool m_draining = false;

    std::string m_path;
    std::string m_source;         // what mpv loads: the path, or a list's checked entries
    int m_redirects = 0;          // play lists mpv opened for the current file
    static constexpr int kMaxRedirects = 8;
    std::uint64_t m_gen = 0;      // bumped by every load and stop; tags replies and reports
    bool m_renderFailed = false;  // no render context can be had: load anyway
    bool m_loadIssued = false;
    bool m_replyArrived = false;  // the loadfile was taken; later start-files are ours
    bool m_active = false;        // a file of ours is loaded and has not ended
    std::int64_t m_lastEntry = -1;  // play list entry whose end ends the stream
    bool m_started = false;
    bool m_hasTarget = false;
    double m_target = 0;
    int m_naturalWidth = 0;
    int m_naturalHeight = 0;
    bool m_hasFrame = false;
};

}  // namespace platform
