#include "KeyRepeat.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

// The XKB header names a member `explicit`, a C++ keyword.
#define explicit xkb_explicit
#include <xcb/xkb.h>
#undef explicit

#include <cstdlib>

namespace platform {

bool enableDetectableAutoRepeat() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection) return false;
    std::free(xcb_xkb_use_extension_reply(
        connection, xcb_xkb_use_extension(connection, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION), nullptr));
    constexpr std::uint32_t kDetectable = XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT;
    xcb_xkb_per_client_flags_reply_t* reply = xcb_xkb_per_client_flags_reply(
        connection,
        xcb_xkb_per_client_flags(connection, XCB_XKB_ID_USE_CORE_KBD, kDetectable, kDetectable, 0, 0, 0),
        nullptr);
    const bool on = reply && (reply->value & kDetectable) != 0;
    std::free(reply);
    return on;
}

int keyIdentity(const QKeyEvent& event) {
    // Scan codes and Qt's key codes never meet in one window: a real server
    // gives every event a scan code.
    return event.nativeScanCode() != 0 ? static_cast<int>(event.nativeScanCode()) : event.key();
}

HeldKeyFilter::HeldKeyFilter(QWidget* window, Presses presses) : QObject(window), m_presses(presses) {
    // The native window exists from the first show on.
    window->installEventFilter(this);
    if (QWindow* handle = window->windowHandle()) handle->installEventFilter(this);
}

bool HeldKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Show:
        if (auto* widget = qobject_cast<QWidget*>(watched); widget && widget->windowHandle())
            widget->windowHandle()->installEventFilter(this);  // installed once however often it runs
        break;
    case QEvent::KeyPress:
        if (watched->isWindowType()) {
            const auto& key = static_cast<const QKeyEvent&>(*event);
            const bool first = !key.isAutoRepeat() && m_held.press(keyIdentity(key));
            return !first && m_presses == Presses::Once;
        }
        break;
    case QEvent::KeyRelease:
        if (watched->isWindowType()) {
            const auto& key = static_cast<const QKeyEvent&>(*event);
            // The release paired with a repeated press is the widgets' to judge.
            if (key.isAutoRepeat()) return m_presses == Presses::Once;
            return !m_held.release(keyIdentity(key));
        }
        break;
    case QEvent::WindowBlocked:
    case QEvent::FocusOut:
        // Keys held now come up in another window.
        if (watched->isWindowType() || event->type() == QEvent::WindowBlocked) m_held.clear();
        break;
    default:
        break;
    }
    return false;
}

}  // namespace platform
