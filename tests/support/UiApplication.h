#pragma once
// The one QApplication of an interface test program, made on first use on Qt's offscreen
// platform so widgets can be shown, driven by events and grabbed without a display.
#include <QApplication>
#include <cstdlib>

inline QApplication& uiApplication() {
    static int argc = 1;
    static char name[] = "opalene-tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return new QApplication(argc, argv);
    }();
    return *app;
}
