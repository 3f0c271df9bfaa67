#include "ScreenSaverInhibit.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>

namespace platform {

namespace {
const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kPath = QStringLiteral("/org/freedesktop/ScreenSaver");
const QString kInterface = QStringLiteral("org.freedesktop.ScreenSaver");

void sendUnInhibit(std::uint32_t cookie) {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("UnInhibit"));
    call << cookie;
    // Nothing to wait for: the hold is gone either way when the program ends.
    QDBusConnection::sessionBus().asyncCall(call);
}
}  // namespace

bool sessionBusAvailable() {
    // Without an address the bus library would try to launch a bus of its
    // own on the X display; a show must not start daemons.
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

ScreenSaverInhibit::ScreenSaverInhibit(QObject* parent) : QObject(parent) {}

ScreenSaverInhibit::~ScreenSaverInhibit() { release(); }

void ScreenSaverInhibit::inhibit(const QString& reason) {
    if (m_hold && !m_hold->released) return;
    if (!sessionBusAvailable()) return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Inhibit"));
    QString app = QCoreApplication::applicationName();
    if (app.isEmpty()) app = QStringLiteral("vistrova");
    call << app << reason;
    auto hold = std::make_shared<Hold>();
    m_hold = hold;
    m_requested = true;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [hold](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<std::uint32_t> reply = *w;
        w->deleteLater();
        // No service (no desktop screen saver): nothing is held.
        if (reply.isError()) return;
        hold->cookie = reply.value();
        hold->haveCookie = true;
        if (hold->released) sendUnInhibit(hold->cookie);
    });
}

void ScreenSaverInhibit::release() {
    if (!m_hold || m_hold->released) return;
    m_hold->released = true;
    if (m_hold->haveCookie) sendUnInhibit(m_hold->cookie);
}

}  // namespace platform
