#include "platform/appkit/ModalSession.h"

#include "support/UiApplication.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using appkit::ModalSession;

namespace {

class ModalSessionTest : public ::testing::Test {
  protected:
    QApplication& app = uiApplication();
    QWidget window;
};

} // namespace

TEST_F(ModalSessionTest, StopWithACodeEndsTheRunWithThatCode) {
    const int codes[] = {0, 1, -1, 42};
    for (int code : codes) {
        bool modalDuring = false;
        QTimer::singleShot(5, [&, code] {
            modalDuring = ModalSession::modalWindow() == &window && window.isVisible() &&
                          QApplication::activeModalWidget() == &window;
            ModalSession::stopModalWithCode(code);
        });
        EXPECT_EQ(ModalSession::runModalForWindow(&window), code);
        EXPECT_TRUE(modalDuring);
        EXPECT_EQ(ModalSession::modalWindow(), nullptr);
        // The window stays for its caller to close, no longer modal.
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(window.windowModality(), Qt::NonModal);
    }
}

TEST_F(ModalSessionTest, PlainStopAndAbortAnswerTheirCodes) {
    QTimer::singleShot(0, [] { ModalSession::stopModal(); });
    EXPECT_EQ(ModalSession::runModalForWindow(&window), ModalSession::Stop);
    QTimer::singleShot(0, [] { ModalSession::abortModal(); });
    EXPECT_EQ(ModalSession::runModalForWindow(&window), ModalSession::Abort);
}

TEST_F(ModalSessionTest, StopWithNoSessionDoesNothing) {
    ModalSession::stopModalWithCode(3);
    QTimer::singleShot(0, [] { ModalSession::stopModalWithCode(4); });
    EXPECT_EQ(ModalSession::runModalForWindow(&window), 4);
    EXPECT_EQ(ModalSession::runModalForWindow(nullptr), ModalSession::Abort);
}

// The usual pattern: the window's closing tells a delegate, which stops the run.
TEST_F(ModalSessionTest, AStopSentWhileTheWindowClosesWins) {
    QTimer::singleShot(0, [&] {
        ModalSession::stopModalWithCode(7);
        window.close();
    });
    EXPECT_EQ(ModalSession::runModalForWindow(&window), 7);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(ModalSessionTest, AWindowClosedOrDestroyedWithoutAStopAborts) {
    QTimer::singleShot(0, [&] { window.close(); });
    EXPECT_EQ(ModalSession::runModalForWindow(&window), ModalSession::Abort);

    QPointer<QWidget> doomed = new QWidget;
    QTimer::singleShot(0, [&] { delete doomed.data(); });
    EXPECT_EQ(ModalSession::runModalForWindow(doomed), ModalSession::Abort);
    EXPECT_TRUE(doomed.isNull());
    EXPECT_EQ(ModalSession::modalWindow(), nullptr);
}

TEST_F(ModalSessionTest, SessionsNestAndStopTheInnermost) {
    QWidget inner;
    std::vector<std::string> order;
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(0, [&] {
            order.push_back(ModalSession::modalWindow() == &inner ? "inner running" : "wrong window");
            ModalSession::stopModalWithCode(5);
        });
        const int innerCode = ModalSession::runModalForWindow(&inner);
        order.push_back("inner " + std::to_string(innerCode));
        order.push_back(ModalSession::modalWindow() == &window ? "outer again" : "wrong window");
        ModalSession::stopModalWithCode(6);
    });
    const int outerCode = ModalSession::runModalForWindow(&window);
    order.push_back("outer " + std::to_string(outerCode));
    EXPECT_EQ(order, (std::vector<std::string>{"inner running", "inner 5", "outer again", "outer 6"}));
}
