#include "MpvElement.h"

#include "shared/M3uList.h"

#include <mpv/client.h>
#include <mpv/render.h>

#include <QGuiApplication>
#include <QMetaObject>
#include <QPainter>
#include <QResizeEvent>
#include <QShowEvent>
#include <qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

// mpv can draw into a window of its own only on an X server; elsewhere
// (offscreen, minimal, a Wayland client) it renders in software.
bool useNativeWindow() { return QGuiApplication::platformName() == QLatin1String("xcb"); }

// The pixel value of a colour on a true-colour visual of 24 or 32 bits.
std::uint32_t PixelOf(const QColor& c) {
    return (static_cast<std::uint32_t>(c.red()) << 16) | (static_cast<std::uint32_t>(c.green()) << 8) |
           static_cast<std::uint32_t>(c.blue());
}

// "key=value,key=value" from VISTROVA_MPV_OPTIONS; a bare key means "yes".
void applyEnvironmentOptions(mpv_handle* mpv) {
    const QByteArray text = qgetenv("VISTROVA_MPV_OPTIONS");
    for (const QByteArray& item : text.split(',')) {
        const QByteArray trimmed = item.trimmed();
        if (trimmed.isEmpty()) continue;
        const int eq = trimmed.indexOf('=');
        const QByteArray key = eq < 0 ? trimmed : trimmed.left(eq).trimmed();
        const QByteArray value = eq < 0 ? QByteArray("yes") : trimmed.mid(eq + 1).trimmed();
        mpv_set_option_string(mpv, key.constData(), value.constData());
    }
}

}  // namespace

MpvElement::MpvElement(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_mpv = mpv_create();
    if (!m_mpv) return;
    m_native = useNativeWindow();
    if (m_native) {
        // OpenGL through EGL on the X server (hardware, or Mesa's software
        // llvmpipe, which mpv would skip unasked), else plain X11; never a
        // Wayland surface of its own beside Qt's X11 window. mpv's window
        // takes neither mouse nor keys, so both reach the Qt window around
        // it; it leaves the cursor alone.
        mpv_set_option_string(m_mpv, "vo", "gpu,x11");
        mpv_set_option_string(m_mpv, "gpu-context", "x11egl");
        mpv_set_option_string(m_mpv, "opengl-sw", "yes");
        mpv_set_option_string(m_mpv, "input-cursor", "no");
        mpv_set_option_string(m_mpv, "cursor-autohide", "no");
    } else {
        mpv_set_option_string(m_mpv, "vo", "libmpv");
    }
    mpv_set_option_string(m_mpv, "idle", "yes");
    mpv_set_option_string(m_mpv, "keep-open", "no");
    mpv_set_option_string(m_mpv, "hwdec", "no");
    mpv_set_option_string(m_mpv, "gpu-hwdec-interop", "no");
    mpv_set_option_string(m_mpv, "audio-display", "no");
    mpv_set_option_string(m_mpv, "osd-level", "0");
    mpv_set_option_string(m_mpv, "input-default-bindings", "no");
    mpv_set_option_string(m_mpv, "input-vo-keyboard", "no");
    mpv_set_option_string(m_mpv, "load-scripts", "no");
    // The clip plays as it is: no subtitles, audio tracks or cover pictures
    // picked up because their names look like the clip's, and no position
    // remembered from an earlier run.
    mpv_set_option_string(m_mpv, "autoload-files", "no");
    mpv_set_option_string(m_mpv, "sub-auto", "no");
    mpv_set_option_string(m_mpv, "audio-file-auto", "no");
    mpv_set_option_string(m_mpv, "cover-art-auto", "no");
    mpv_set_option_string(m_mpv, "resume-playback", "no");
    mpv_set_option_string(m_mpv, "load-auto-profiles", "no");
    mpv_set_option_string(m_mpv, "ytdl", "no");
    mpv_set_option_string(m_mpv, "pause", "yes");
    applyEnvironmentOptions(m_mpv);
    if (mpv_initialize(m_mpv) < 0) {
        mpv_terminate_destroy(m_mpv);
        m_mpv = nullptr;
        return;
    }
    mpv_set_wakeup_callback(m_mpv, &MpvElement::onWakeup, this);

    // The software render context exists before any file is loaded.
    if (!m_native) createRenderContext();
}

MpvElement::~MpvElement() {
    if (m_mpv) mpv_set_wakeup_callback(m_mpv, nullptr, nullptr);
    freeRenderContext();
    // mpv closes its window while the window it sits in still exists.
    if (m_mpv) mpv_terminate_destroy(m_mpv);
    m_mpv = nullptr;
    destroyWindow();
}

void MpvElement::release() {
    if (!m_mpv) return;
    mpv_set_wakeup_callback(m_mpv, nullptr, nullptr);
    freeRenderContext();
    mpv_terminate_destroy(m_mpv);
    m_mpv = nullptr;
    destroyWindow();
    ++m_gen;
    m_active = false;
}

bool MpvElement::ensureWindow() {
    if (m_xWindow) return true;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection()) return false;
    // A plain X window the toolkit does not know, made at once, shown or not,
    // so a clip loads without waiting for the element to appear (the
    // editor's preview shows it only once the clip's size is known). Neither
    // it nor mpv's window inside it asks for pointer or key events, so the X
    // server hands those to the toolkit's window around it, and a press, a
    // drag and its release reach the player or the preview as over a
    // picture, even when the movie is hidden or reloaded meanwhile.
    m_host = nativeParentWidget();
    if (!m_host) m_host = window();
    const WId parentId = m_host->winId();
    if (parentId == 0) return false;
    m_xcb = x11->connection();
    m_xWindow = xcb_generate_id(m_xcb);
    const std::uint32_t values[] = {PixelOf(m_background)};
    xcb_create_window(m_xcb, XCB_COPY_FROM_PARENT, m_xWindow, static_cast<xcb_window_t>(parentId), 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, XCB_CW_BACK_PIXEL, values);
    // Moving an ancestor moves the element within the host's window.
    for (QWidget* w = parentWidget(); w && w != m_host; w = w->parentWidget()) w->installEventFilter(this);
    m_xGeometry = QRect();
    m_xMapped = false;
    syncWindow();
    const QByteArray text = QByteArray::number(static_cast<qulonglong>(m_xWindow));
    return mpv_set_property_string(m_mpv, "wid", text.constData()) >= 0;
}

void MpvElement::syncWindow() {
    if (!m_xWindow) return;
    const qreal dpr = devicePixelRatioF();
    const QPoint at = mapTo(m_host, QPoint(0, 0));
    const QRect r(qRound(at.x() * dpr), qRound(at.y() * dpr), qMax(1, qRound(width() * dpr)),
                  qMax(1, qRound(height() * dpr)));
    if (r != m_xGeometry) {
        m_xGeometry = r;
        const std::uint32_t values[] = {static_cast<std::uint32_t>(r.x()), static_cast<std::uint32_t>(r.y()),
                                        static_cast<std::uint32_t>(r.width()), static_cast<std::uint32_t>(r.height())};
        xcb_configure_window(m_xcb, m_xWindow,
                             XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                                 XCB_CONFIG_WINDOW_HEIGHT,
                             values);
    }
    const bool mapped = isVisible() && !size().isEmpty();
    if (mapped != m_xMapped) {
        m_xMapped = mapped;
        if (mapped) {
            xcb_map_window(m_xcb, m_xWindow);
        } else {
            xcb_unmap_window(m_xcb, m_xWindow);
        }
    }
    xcb_flush(m_xcb);
}

void MpvElement::destroyWindow() {
    if (!m_xWindow) return;
    for (QWidget* w = parentWidget(); w && w != m_host; w = w->parentWidget()) w->removeEventFilter(this);
    // Gone already where the host's window went first.
    if (m_host && m_host->internalWinId()) {
        xcb_destroy_window(m_xcb, m_xWindow);
        xcb_flush(m_xcb);
    }
    m_xWindow = 0;
}

bool MpvElement::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Move && watched != this) syncWindow();
    return QWidget::eventFilter(watched, event);
}

void MpvElement::createRenderContext() {
    if (!m_mpv || m_render) return;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_SW)},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    if (mpv_render_context_create(&m_render, m_mpv, params) < 0) {
        // Without a picture the sound still plays and the end still comes.
        m_render = nullptr;
        m_renderFailed = true;
        return;
    }
    mpv_render_context_set_update_callback(m_render, &MpvElement::onRenderUpdate, this);
}

void MpvElement::freeRenderContext() {
    if (!m_render) return;
    mpv_render_context_set_update_callback(m_render, nullptr, nullptr);
    mpv_render_context_free(m_render);
    m_render = nullptr;
}

void MpvElement::onWakeup(void* self) {
    auto* element = static_cast<MpvElement*>(self);
    if (element->m_wakeupQueued.exchange(true)) return;
    QMetaObject::invokeMethod(element, [element] { element->drainEvents(); }, Qt::QueuedConnection);
}

void MpvElement::onRenderUpdate(void* self) {
    auto* element = static_cast<MpvElement*>(self);
    if (element->m_updateQueued.exchange(true)) return;
    QMetaObject::invokeMethod(element, [element] { element->renderUpdate(); }, Qt::QueuedConnection);
}

void MpvElement::setBackgroundColor(const QColor& color) {
    m_background = color;
    if (m_mpv) {
        const QByteArray name = color.name(QColor::HexRgb).toLatin1();
        mpv_set_property_string(m_mpv, "background", name.constData());
    }
    if (m_xWindow) {
        const std::uint32_t values[] = {PixelOf(color)};
        xcb_change_window_attributes(m_xcb, m_xWindow, XCB_CW_BACK_PIXEL, values);
        xcb_clear_area(m_xcb, 0, m_xWindow, 0, 0, 0, 0);
        xcb_flush(m_xcb);
    }
    update();
}

void MpvElement::setFile(const std::string& path) {
    ++m_gen;
    m_path = path;
    m_active = false;
    m_replyArrived = false;
    m_loadIssued = false;
    m_lastEntry = -1;
    m_started = false;
    m_hasTarget = false;
    m_hasFrame = false;
    m_naturalWidth = 0;
    m_naturalHeight = 0;
    if (!m_mpv) {
        const std::uint64_t gen = m_gen;
        QMetaObject::invokeMethod(this, [this, gen] { if (gen == m_gen) emit refused(); }, Qt::QueuedConnection);
        return;
    }
    int yes = 1;
    mpv_set_property(m_mpv, "pause", MPV_FORMAT_FLAG, &yes);
    // Without its window mpv would open one of its own: the clip then plays
    // without a picture, as where no render context can be had.
    if (m_native && !ensureWindow()) mpv_set_property_string(m_mpv, "vid", "no");
    m_source = m_path;
    m_redirects = 0;
    if (m3u::isList(m_path)) {
        // mpv would follow a list into itself for good, or block on a FIFO it
        // names: it gets the list's playable entries instead, or nothing.
        const std::vector<std::string> entries = m3u::playable(m_path);
        if (entries.empty()) {
            const std::uint64_t gen = m_gen;
            QMetaObject::invokeMethod(this, [this, gen] { if (gen == m_gen) emit refused(); }, Qt::QueuedConnection);
            return;
        }
        m_source = "memory://#EXTM3U\n";
        for (const std::string& e : entries) m_source += e + "\n";
    }
    issueLoad();
}

void MpvElement::issueLoad() {
    m_loadIssued = true;
    const char* cmd[] = {"loadfile", m_source.c_str(), "replace", nullptr};
    if (mpv_command_async(m_mpv, m_gen, cmd) < 0) finishStream(true, -1);
}

std::string MpvElement::propertyText(const char* name) const {
    if (!m_mpv) return {};
    char* value = mpv_get_property_string(m_mpv, name);
    if (!value) return {};
    std::string text(value);
    mpv_free(value);
    return text;
}

void MpvElement::play() {
    m_hasTarget = false;
    if (!m_mpv) return;
    int no = 0;
    mpv_set_property(m_mpv, "pause", MPV_FORMAT_FLAG, &no);
}

void MpvElement::pause() {
    if (!m_mpv) return;
    int yes = 1;
    mpv_set_property(m_mpv, "pause", MPV_FORMAT_FLAG, &yes);
}

void MpvElement::stop() {
    ++m_gen;
    m_active = false;
    m_loadIssued = false;
    m_replyArrived = false;
    m_lastEntry = -1;
    m_hasTarget = false;
    m_hasFrame = false;
    if (!m_mpv) return;
    const char* cmd[] = {"stop", nullptr};
    mpv_command_async(m_mpv, 0, cmd);
}

double MpvElement::position() {
    if (m_hasTarget) return m_target;
    double value = 0;
    if (!m_mpv || mpv_get_property(m_mpv, "time-pos", MPV_FORMAT_DOUBLE, &value) < 0) return 0;
    return value;
}

void MpvElement::setPosition(double seconds) {
    m_target = seconds;
    m_hasTarget = true;
    if (!m_mpv || !m_active) return;
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", seconds);
    const char* cmd[] = {"seek", text, "absolute", nullptr};
    mpv_command_async(m_mpv, 0, cmd);
}

double MpvElement::duration() {
    double value = 0;
    if (!m_mpv || mpv_get_property(m_mpv, "duration", MPV_FORMAT_DOUBLE, &value) < 0) return 0;
    return value;
}

void MpvElement::setSeekingMute(bool on) {
    if (!m_mpv) return;
    int flag = on ? 1 : 0;
    mpv_set_property(m_mpv, "mute", MPV_FORMAT_FLAG, &flag);
}

void MpvElement::drainEvents() {
    m_wakeupQueued = false;
    if (!m_mpv || m_draining) return;
    m_draining = true;
    for (;;) {
        const mpv_event* event = mpv_wait_event(m_mpv, 0);
        if (!event || event->event_id == MPV_EVENT_NONE) break;
        handleEvent(*event);
    }
    m_draining = false;
}

void MpvElement::handleEvent(const mpv_event& event) {
    switch (event.event_id) {
    case MPV_EVENT_COMMAND_REPLY: {
        if (!m_loadIssued || m_replyArrived || event.reply_userdata != m_gen) break;
        m_replyArrived = true;
        if (event.error < 0) {
            finishStream(true, event.error);
            break;
        }
        m_active = true;
        // The entry id of the loaded file, where the library reports it.
        const auto* reply = static_cast<const mpv_event_command*>(event.data);
        if (reply && reply->result.format == MPV_FORMAT_NODE_MAP) {
            const mpv_node_list* map = reply->result.u.list;
            for (int i = 0; map && i < map->num; ++i) {
                if (std::strcmp(map->keys[i], "playlist_entry_id") == 0 &&
                    map->values[i].format == MPV_FORMAT_INT64) {
                    m_lastEntry = map->values[i].u.int64;
                }
            }
        }
        break;
    }
    case MPV_EVENT_START_FILE: {
        const auto* start = static_cast<const mpv_event_start_file*>(event.data);
        if (m_active && m_lastEntry < 0 && start) m_lastEntry = start->playlist_entry_id;
        break;
    }
    case MPV_EVENT_VIDEO_RECONFIG: {
        if (!m_active) break;
        std::int64_t w = 0;
        std::int64_t h = 0;
        if (mpv_get_property(m_mpv, "dwidth", MPV_FORMAT_INT64, &w) < 0) w = 0;
        if (mpv_get_property(m_mpv, "dheight", MPV_FORMAT_INT64, &h) < 0) h = 0;
        // The video output closes at the end of each file; keep the last size.
        if (w <= 0 || h <= 0) break;
        if (w != m_naturalWidth || h != m_naturalHeight) {
            m_naturalWidth = static_cast<int>(w);
            m_naturalHeight = static_cast<int>(h);
            emit naturalSizeChanged(m_naturalWidth, m_naturalHeight);
        }
        break;
    }
    case MPV_EVENT_PLAYBACK_RESTART:
        if (m_active) m_started = true;
        break;
    case MPV_EVENT_END_FILE: {
        const auto* end = static_cast<const mpv_event_end_file*>(event.data);
        // M3U lists are expanded before mpv sees them; a list of another
        // kind that leads on and on (mpv reads some by their content) ends
        // as an error instead of looping for good.
        if (m_active && end && end->reason == MPV_END_FILE_REASON_REDIRECT && ++m_redirects > kMaxRedirects) {
            const char* cmd[] = {"stop", nullptr};
            mpv_command_async(m_mpv, 0, cmd);
            finishStream(true, -1);
            break;
        }
        if (!m_active || !end || m_lastEntry < 0 || end->playlist_entry_id != m_lastEntry) break;
        switch (end->reason) {
        case MPV_END_FILE_REASON_EOF:
            finishStream(false, 0);
            break;
        case MPV_END_FILE_REASON_ERROR:
            finishStream(true, end->error);
            break;
        case MPV_END_FILE_REASON_REDIRECT:
            // A play list: its last entry now ends the stream.
            if (end->playlist_insert_num_entries > 0) {
                m_lastEntry = end->playlist_insert_id + end->playlist_insert_num_entries - 1;
            } else {
                finishStream(true, -1);
            }
            break;
        default:
            break;  // stopped or replaced on request
        }
        break;
    }
    default:
        break;
    }
}

void MpvElement::finishStream(bool error, int code) {
    m_active = false;
    const std::uint64_t gen = m_gen;
    // Reported after the drain, so a slot may open a modal box safely; a
    // report that a newer load or stop overtook is dropped.
    if (error && !m_started) {
        QMetaObject::invokeMethod(this, [this, gen] { if (gen == m_gen) emit refused(); }, Qt::QueuedConnection);
        return;
    }
    const int result = error ? (code != 0 ? code : -1) : 0;
    QMetaObject::invokeMethod(this, [this, gen, result] { if (gen == m_gen) emit endOfStream(result); },
                              Qt::QueuedConnection);
}

void MpvElement::renderUpdate() {
    m_updateQueued = false;
    if (!m_render) return;
    const std::uint64_t flags = mpv_render_context_update(m_render);
    if (flags & MPV_RENDER_UPDATE_FRAME) renderSoftware();
}

void MpvElement::renderSoftware() {
    if (!m_render) return;
    const qreal dpr = devicePixelRatioF();
    const QSize target(static_cast<int>(width() * dpr), static_cast<int>(height() * dpr));
    if (target.isEmpty()) return;
    if (m_frame.size() != target) m_frame = QImage(target, QImage::Format_RGBX8888);
    if (m_frame.isNull()) return;
    int size[2] = {target.width(), target.height()};
    char format[] = "rgb0";
    std::size_t stride = static_cast<std::size_t>(m_frame.bytesPerLine());
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_SW_SIZE, size},
        {MPV_RENDER_PARAM_SW_FORMAT, format},
        {MPV_RENDER_PARAM_SW_STRIDE, &stride},
        {MPV_RENDER_PARAM_SW_POINTER, m_frame.bits()},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    if (mpv_render_context_render(m_render, params) >= 0) {
        m_hasFrame = m_active || m_hasFrame;
        update();
    }
}

void MpvElement::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (m_render && m_hasFrame && !m_frame.isNull()) {
        painter.drawImage(rect(), m_frame);
    } else {
        painter.fillRect(rect(), m_background);
    }
}

void MpvElement::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_xWindow) {
        syncWindow();
    } else if (m_hasFrame) {
        renderSoftware();
    }
}

void MpvElement::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    syncWindow();
}

void MpvElement::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    syncWindow();
}

void MpvElement::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    syncWindow();
}

}  // namespace platform
