#pragma once
// Runs the event loop until a condition holds, for tests of windows and of
// work that finishes on the GUI thread.

#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>

// True once `done` holds; false when `ms` milliseconds passed first.
inline bool waitFor(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// Runs the event loop for `ms` milliseconds, for what must not happen meanwhile.
inline void pumpFor(int ms) {
    waitFor([] { return false; }, ms);
}
