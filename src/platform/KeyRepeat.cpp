#include "KeyRepeat.h"

#include <QGuiApplication>
#include <QKeyEvent>

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

}  // namespace platform
