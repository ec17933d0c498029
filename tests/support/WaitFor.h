#pragma once
// Runs the event loop until `condition` holds or `ms` pass; true when it held.

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <functional>

inline bool WaitFor(const std::function<bool()>& condition, int ms = 5000) {
    QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}
