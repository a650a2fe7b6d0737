#pragma once

// Turning the event loop in tests of windows and timers.

#include <QCoreApplication>
#include <QElapsedTimer>

namespace apptest {

// Spins the event loop for `ms` milliseconds.
inline void spinFor(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

// Spins the event loop until `done` or a generous deadline (a stall, not a speed check).
template <class Predicate> bool spinUntil(Predicate done, int timeoutMs = 20000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

} // namespace apptest
