// The rate window and the review prompt.
#include "app/KXRateWindow.h"
#include "app/KXReviewAppViewController.h"
#include "support/UiApplication.h"

#include <QApplication>
#include <QGraphicsOpacityEffect>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct Finished : KXReviewAppViewControllerDelegate {
    std::vector<bool> cancelled;
    void modalViewControllerDidFinish(KXReviewAppViewController*, bool isCanceled) override {
        cancelled.push_back(isCanceled);
    }
};

TEST(ReviewPrompt, OnlyNoReportsCancelledAndOnlyReviewOpensThePage) {
    QApplication& app = uiApplication();
    (void)app;
    struct Case {
        const char* button;
        bool cancelled;
        int pagesOpened;
    };
    for (const Case& c :
         {Case{"reviewButton", false, 1}, Case{"remindMeLaterButton", false, 0}, Case{"noButton", true, 0}}) {
        Finished delegate;
        KXReviewAppViewController prompt;
        std::vector<std::string> opened;
        prompt.openURL = [&](const std::string& url) {
            opened.push_back(url);
            return true;
        };
        prompt.setDelegate(&delegate);
        prompt.findChild<QPushButton*>(c.button)->click();
        EXPECT_EQ(delegate.cancelled, std::vector<bool>{c.cancelled}) << c.button;
        EXPECT_EQ(int(opened.size()), c.pagesOpened) << c.button;
    }
}

TEST(ReviewPrompt, FadesInOverAHalfDarkVeil) {
    QApplication& app = uiApplication();
    (void)app;
    KXReviewAppViewController prompt;
    prompt.resize(600, 400);
    auto* opacity = qobject_cast<QGraphicsOpacityEffect*>(prompt.graphicsEffect());
    ASSERT_NE(opacity, nullptr);
    EXPECT_EQ(opacity->opacity(), 0.0);
    ASSERT_NE(prompt.fadeIn(), nullptr);
    prompt.fadeIn()->setCurrentTime(prompt.fadeIn()->duration());
    EXPECT_EQ(opacity->opacity(), 1.0);
    prompt.setGraphicsEffect(nullptr); // the veil itself, without the fade
    // Black at half opacity over whatever lies below: the window colour at half its brightness.
    const QColor below = prompt.palette().color(QPalette::Window);
    const QColor corner = prompt.grab().toImage().pixelColor(2, 2);
    EXPECT_NEAR(corner.red(), below.red() / 2, 1);
    EXPECT_NEAR(corner.green(), below.green() / 2, 1);
}

TEST(RateWindow, NeverAsksByItselfAndCountsWhatItShows) {
    QApplication& app = uiApplication();
    (void)app;
    EXPECT_FALSE(KXRateWindow::runWindowIfNeeded());
    const int before = KXRateWindow::showCount();
    for (auto [button, answer] :
         std::vector<std::pair<const char*, bool>>{{"rateButton", true}, {"notNowButton", false}}) {
        QTimer::singleShot(0, [button = button] {
            for (QWidget* window : QApplication::topLevelWidgets())
                if (auto* rate = qobject_cast<KXRateWindow*>(window); rate && rate->isVisible())
                    rate->findChild<QPushButton*>(button)->click();
        });
        EXPECT_EQ(KXRateWindow::runWindow(), answer) << button;
    }
    EXPECT_EQ(KXRateWindow::showCount(), before + 2);
}

} // namespace
