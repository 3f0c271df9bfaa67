#pragma once
// Turns SIGTERM and SIGINT into a Qt signal on the GUI thread: the handler only
// writes one byte into a socket pair, a notifier reads it in the event loop.
// Create one, after the application object, on the GUI thread.

#include <QObject>

class QSocketNotifier;

namespace platform {

class SignalWatcher final : public QObject {
    Q_OBJECT
public:
    explicit SignalWatcher(QObject* parent = nullptr);
    ~SignalWatcher() override;

signals:
    void terminationRequested(int signalNumber);

private:
    void readSignal();

    QSocketNotifier* m_notifier = nullptr;
};

}  // namespace platform
