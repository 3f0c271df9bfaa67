#pragma once
// Holds off the desktop's screen saver and display sleep while a show runs,
// through the freedesktop ScreenSaver service on the session bus. The calls
// never wait for an answer; without a session bus nothing happens. GUI
// thread only (the answers arrive on its event loop).

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>

namespace platform {

class ScreenSaverInhibit final : public QObject {
    Q_OBJECT
public:
    explicit ScreenSaverInhibit(QObject* parent = nullptr);
    // Releases a hold still in place.
    ~ScreenSaverInhibit() override;

    // Asks for the hold; a second call while held does nothing.
    void inhibit(const QString& reason);
    // Gives the hold back, also when its answer has not arrived yet.
    void release();

    // Whether a request went out (false without a session bus).
    bool requested() const { return m_requested; }

    struct Hold {
        bool released = false;
        bool haveCookie = false;
        std::uint32_t cookie = 0;
    };

private:
    bool m_requested = false;
    // Shared with the pending answer, which may outlive this object.
    std::shared_ptr<Hold> m_hold;
};

// Whether a session bus can be reached without starting one.
bool sessionBusAvailable();

}  // namespace platform
