#pragma once
// Runs Qt's event loop in a test until a condition holds or a time-out passes, so that timers,
// queued calls and deferred performs get their turn. Header only.
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <functional>

// Answers the condition's last value.
inline bool runEventLoopUntil(const std::function<bool()>& done, double seconds) {
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done() || clock.elapsed() >= qint64(seconds * 1000)) loop.quit();
    });
    poll.start();
    if (!done()) loop.exec();
    return done();
}

// Runs the loop for a while whatever happens: for checking that something does NOT happen.
inline void runEventLoopFor(double seconds) {
    runEventLoopUntil([] { return false; }, seconds);
}
