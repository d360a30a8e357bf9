#pragma once
// The one offscreen QApplication of an interface benchmark, made on first use. Header only.
#include <QApplication>

#include <cstdlib>

namespace bench {

inline QApplication& application() {
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QApplication app(argc, argv);
    return app;
}

} // namespace bench
