#include "HostWindow.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>

namespace platform {

std::optional<QSize> hostWindowSize(WId id) {
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection() || id == 0 || id > 0xFFFFFFFFu) return std::nullopt;
    xcb_connection_t* connection = x11->connection();
    // A window id that names nothing gives an error instead of a reply; asking
    // with a reply cookie keeps that error away from Qt's own handler.
    const xcb_get_window_attributes_cookie_t kind =
        xcb_get_window_attributes(connection, static_cast<xcb_window_t>(id));
    const xcb_get_geometry_cookie_t cookie = xcb_get_geometry(connection, static_cast<xcb_drawable_t>(id));
    xcb_generic_error_t* error = nullptr;
    // Geometry alone would also answer for a pixmap; only a window will do.
    xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(connection, kind, &error);
    std::free(error);
    error = nullptr;
    const bool isWindow = attributes != nullptr;
    std::free(attributes);
    xcb_get_geometry_reply_t* reply = xcb_get_geometry_reply(connection, cookie, &error);
    std::free(error);
    if (!reply) return std::nullopt;
    if (!isWindow) {
        std::free(reply);
        return std::nullopt;
    }
    const QSize size(reply->width, reply->height);
    std::free(reply);
    if (size.isEmpty()) return std::nullopt;
    return size;
}

}  // namespace platform
