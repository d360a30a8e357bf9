#pragma once
// The one offscreen QApplication of an interface benchmark, made on first use, and a wait that
// turns its event loop. Header only.
#include <QApplication>

#include <chrono>
#include <cstdlib>
#include <functional>

namespace bench {

inline QApplication& application() {
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QApplication app(argc, argv);
    return app;
}

// Turns the event loop until done() answers true; false when `seconds` passed first.
inline bool pumpUntil(const std::function<bool()>& done, double seconds) {
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (Clock::now() > end) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return true;
}

} // namespace bench
