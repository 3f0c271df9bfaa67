// The hold on the desktop's screen saver: nothing without a session bus; on a
// private bus with a stand-in ScreenSaver service, Inhibit goes out without
// waiting and UnInhibit gives back the cookie it answered, also when the
// hold is released before the answer came.

#include "platform/ScreenSaverInhibit.h"

#include "QtWait.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace {

// The desktop's screen saver as the bus sees it.
class FakeScreenSaver final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    QStringList calls;
    uint next = 41;
public Q_SLOTS:
    uint Inhibit(const QString& app, const QString& reason) {
        calls << QStringLiteral("Inhibit %1 %2").arg(app, reason);
        return ++next;
    }
    void UnInhibit(uint cookie) { calls << QStringLiteral("UnInhibit %1").arg(cookie); }
};

QProcess* g_bus = nullptr;

TEST(ScreenSaverInhibitTest, NothingHappensWithoutASessionBus) {
    const QByteArray address = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", "/nonexistent-vistrova-runtime");
    EXPECT_FALSE(platform::sessionBusAvailable());
    {
        platform::ScreenSaverInhibit hold;
        hold.inhibit(QStringLiteral("Slideshow"));
        EXPECT_FALSE(hold.requested());
        hold.release();
    }
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    qputenv("XDG_RUNTIME_DIR", runtime);
}

class OnBusTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!g_bus) GTEST_SKIP() << "no dbus-daemon";
        service = QDBusConnection::connectToBus(QString::fromLocal8Bit(qgetenv("DBUS_SESSION_BUS_ADDRESS")),
                                                QStringLiteral("fake-saver"));
        ASSERT_TRUE(service.isConnected());
        ASSERT_TRUE(service.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &saver,
                                           QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(service.registerService(QStringLiteral("org.freedesktop.ScreenSaver")));
    }
    void TearDown() override {
        if (!g_bus) return;
        service.unregisterService(QStringLiteral("org.freedesktop.ScreenSaver"));
        service.unregisterObject(QStringLiteral("/org/freedesktop/ScreenSaver"));
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-saver"));
    }
    FakeScreenSaver saver;
    QDBusConnection service{QString()};
};

TEST_F(OnBusTest, HeldWhileTheShowRunsAndGivenBackAfter) {
    platform::ScreenSaverInhibit hold;
    hold.inhibit(QStringLiteral("Slideshow"));
    EXPECT_TRUE(hold.requested());
    ASSERT_TRUE(waitFor([&] { return saver.calls.size() == 1; })) << saver.calls.join(',').toStdString();
    EXPECT_EQ(saver.calls[0], QStringLiteral("Inhibit test_screensaver_inhibit Slideshow"));
    // The answer arrives before the show ends.
    pumpFor(200);
    hold.inhibit(QStringLiteral("again"));  // already held: no second request
    hold.release();
    ASSERT_TRUE(waitFor([&] { return saver.calls.size() >= 2; })) << saver.calls.join(',').toStdString();
    EXPECT_EQ(saver.calls[1], QStringLiteral("UnInhibit 42"));
    pumpFor(200);
    EXPECT_EQ(saver.calls.size(), 2);
}

TEST_F(OnBusTest, ReleasedBeforeTheAnswerStillGivesTheHoldBack) {
    {
        platform::ScreenSaverInhibit hold;
        hold.inhibit(QStringLiteral("Slideshow"));
        // Ends at once, as a show closed within its first moment.
    }
    ASSERT_TRUE(waitFor([&] { return saver.calls.size() >= 2; })) << saver.calls.join(',').toStdString();
    EXPECT_TRUE(saver.calls[0].startsWith(QStringLiteral("Inhibit ")));
    EXPECT_EQ(saver.calls[1], QStringLiteral("UnInhibit 42"));
}

TEST(ScreenSaverInhibitNoServiceTest, AMissingServiceIsNoError) {
    if (!g_bus) GTEST_SKIP() << "no dbus-daemon";
    platform::ScreenSaverInhibit hold;
    hold.inhibit(QStringLiteral("Slideshow"));
    EXPECT_TRUE(hold.requested());
    pumpFor(300);
    hold.release();  // no cookie came: nothing to give back, nothing breaks
    pumpFor(100);
}

}  // namespace

int main(int argc, char** argv) {
    // A private session bus for this run only.
    QProcess bus;
    bus.setProgram(QStringLiteral("dbus-daemon"));
    bus.setArguments({QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    bus.start();
    if (bus.waitForStarted(3000) && bus.waitForReadyRead(3000)) {
        const QByteArray address = bus.readLine().trimmed();
        if (!address.isEmpty()) {
            qputenv("DBUS_SESSION_BUS_ADDRESS", address);
            g_bus = &bus;
        }
    }
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    if (g_bus) {
        QDBusConnection::disconnectFromBus(QDBusConnection::sessionBus().name());
        bus.terminate();
        bus.waitForFinished(3000);
    }
    return result;
}

#include "test_screensaver_inhibit.moc"
