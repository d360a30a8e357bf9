#pragma once
// The alert a window shows, found by waiting for it, and answering it by return code. Header only.
#include "support/EventLoop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QWidget>
#include <gtest/gtest.h>

inline QMessageBox* shownAlert(QWidget* window, double seconds = 2.0) {
    QMessageBox* found = nullptr;
    runEventLoopUntil(
        [&] {
            for (QMessageBox* box : window->findChildren<QMessageBox*>())
                if (box->isVisible()) found = box;
            return found != nullptr;
        },
        seconds);
    return found;
}

// The first visible message box of the whole application (a modal one has no parent window).
inline QMessageBox* shownTopLevelAlert(double seconds = 2.0) {
    QMessageBox* found = nullptr;
    runEventLoopUntil(
        [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) found = box;
            return found != nullptr;
        },
        seconds);
    return found;
}

inline void answer(QMessageBox* box, int code) {
    ASSERT_NE(box, nullptr);
    for (QAbstractButton* button : box->buttons())
        if (button->property("alertReturnCode").toInt() == code) {
            button->click();
            return;
        }
    FAIL() << "no button answers " << code;
}
