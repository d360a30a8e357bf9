// The welcome window: pages from the data file, wrapping, the start page moving on each time,
// the start-up check box, the subscription and a missing or empty page list.
#include "app/KXWelcomeScreenWindowController.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/UserDefaults.h"
#include "support/TemporaryDirectory.h"
#include "support/UiApplication.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <atomic>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace {

using foundation::Array;
using foundation::Dictionary;
using foundation::Value;

struct WelcomeWindow : ::testing::Test {
    QApplication& app = uiApplication();
    TemporaryDirectory dir;
    foundation::UserDefaults& defaults = foundation::UserDefaults::standardUserDefaults();

    void SetUp() override {
        defaults.removeObjectForKey(KXWelcomeScreenWindowController::kCurrentPageIndexKey);
        defaults.removeObjectForKey(KXWelcomeScreenWindowController::kShowOnStartupKey);
    }

    std::string pages(int count) {
        Array list;
        for (int i = 0; i < count; ++i)
            list.push_back(
                Value(Dictionary{{"text", Value("Page " + std::to_string(i))},
                                 {"imageName", Value("welcome_page_" + std::to_string(i % 3 + 1))}}));
        const std::string path = dir.path().string() + "/pages" + std::to_string(count) + ".plist";
        EXPECT_TRUE(foundation::PropertyList::write(Value(Dictionary{{"data", Value(list)}}), path));
        return path;
    }

    static void waitFor(const std::function<bool()>& done) {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
};

TEST_F(WelcomeWindow, EachNewWindowStartsOnePageFurther) {
    const std::string path = pages(3);
    for (int64_t expected : {0, 1, 2, 0}) {
        KXWelcomeScreenWindowController welcome(path);
        EXPECT_EQ(welcome.currentPageIndex(), expected);
        EXPECT_EQ(defaults.integerForKey("currentPageIndex"), expected); // stored at once
        EXPECT_EQ(welcome.infoTextField()->text(), QString("Page %1").arg(expected));
        EXPECT_FALSE(welcome.imageView()->pixmap().isNull());
    }
    defaults.setInteger(2, "currentPageIndex");
    EXPECT_EQ(KXWelcomeScreenWindowController(path).currentPageIndex(), 0);
}

TEST_F(WelcomeWindow, PagingWrapsBothWays) {
    KXWelcomeScreenWindowController welcome(pages(3));
    ASSERT_EQ(welcome.currentPageIndex(), 0);
    welcome.window()->findChild<QPushButton*>("previousPageButton")->click();
    EXPECT_EQ(welcome.currentPageIndex(), 2);
    EXPECT_EQ(welcome.infoTextField()->text(), "Page 2");
    welcome.window()->findChild<QPushButton*>("nextPageButton")->click();
    EXPECT_EQ(welcome.currentPageIndex(), 0);
    welcome.onShowNextPageButtonClicked();
    EXPECT_EQ(welcome.infoTextField()->text(), "Page 1");
}

TEST_F(WelcomeWindow, AMissingOrEmptyPageListHidesThePageArea) {
    for (const std::string& path : {pages(0), dir.path().string() + "/absent.plist"}) {
        KXWelcomeScreenWindowController welcome(path);
        welcome.window()->show();
        EXPECT_TRUE(welcome.data().empty());
        EXPECT_FALSE(welcome.pageArea()->isVisible());
        welcome.onShowNextPageButtonClicked();
        welcome.onShowPreviousPageButtonClicked();
        EXPECT_FALSE(welcome.pageArea()->isVisible());
        // The rest of the window still works.
        EXPECT_TRUE(welcome.window()->findChild<QPushButton*>("continueButton")->isVisible());
        welcome.continueButtonClick();
        EXPECT_FALSE(welcome.window()->isVisible());
    }
}

TEST_F(WelcomeWindow, TheCheckBoxIsStoredOnContinue) {
    defaults.setBool(true, "showWelcomeScreenOnStartup");
    KXWelcomeScreenWindowController welcome(pages(2));
    int calls = 0;
    welcome.callback = [&] { ++calls; };
    welcome.window()->show();
    EXPECT_TRUE(welcome.showWelcomeScreenOnStartup());
    EXPECT_FALSE(welcome.tickImageView()->pixmap().isNull());
    welcome.window()->findChild<QPushButton*>("showOnStartupButton")->click();
    EXPECT_FALSE(welcome.showWelcomeScreenOnStartup());
    EXPECT_TRUE(welcome.tickImageView()->pixmap().isNull());
    EXPECT_TRUE(defaults.boolForKey("showWelcomeScreenOnStartup")); // not before Continue
    welcome.window()->findChild<QPushButton*>("continueButton")->click();
    EXPECT_FALSE(defaults.boolForKey("showWelcomeScreenOnStartup"));
    EXPECT_TRUE(defaults.objectForKey("showWelcomeScreenOnStartup").has_value());
    EXPECT_FALSE(welcome.window()->isVisible());
    EXPECT_EQ(calls, 1);
}

TEST_F(WelcomeWindow, SubscriptionTrimsTheAddressAndRunsOffTheMainThread) {
    KXWelcomeScreenWindowController welcome(pages(1));
    welcome.window()->show();
    std::mutex lock;
    std::vector<std::string> received;
    auto receivedSoFar = [&] {
        std::lock_guard<std::mutex> guard(lock);
        return received;
    };
    std::atomic<bool> onMainThread{true};
    std::atomic<bool> release{false};
    const std::thread::id main = std::this_thread::get_id();
    welcome.saveEmailToRemoteDatabase = [&](const std::string& address) {
        {
            std::lock_guard<std::mutex> guard(lock);
            received.push_back(address);
        }
        onMainThread = std::this_thread::get_id() == main;
        while (!release)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return true;
    };
    welcome.subscribeEmailTextField()->setText("  a@b.cz \n");
    welcome.subscribeButton()->click();
    EXPECT_FALSE(welcome.subscribeButton()->isVisible());
    EXPECT_TRUE(welcome.progressIndicator()->isVisible());
    waitFor([&] { return !receivedSoFar().empty(); });
    ASSERT_EQ(receivedSoFar(), std::vector<std::string>{"a@b.cz"});
    EXPECT_FALSE(onMainThread);
    // The window answers while the subscription works.
    QApplication::processEvents();
    EXPECT_TRUE(welcome.progressIndicator()->isVisible());
    release = true;
    waitFor([&] { return welcome.thankYouBox()->isVisible(); });
    EXPECT_TRUE(welcome.thankYouBox()->isVisible());
    EXPECT_FALSE(welcome.progressIndicator()->isVisible());
    EXPECT_FALSE(welcome.subscribeEmailTextField()->isVisible());
}

TEST_F(WelcomeWindow, AnInvalidAddressOrAFailedSubscriptionLetsTheUserTryAgain) {
    KXWelcomeScreenWindowController welcome(pages(1));
    welcome.window()->show();
    std::atomic<int> saves{0};
    welcome.saveEmailToRemoteDatabase = [&](const std::string&) {
        ++saves;
        return false;
    };
    welcome.subscribeEmailTextField()->setText("not an address");
    welcome.subscribeButton()->click();
    waitFor([&] { return welcome.invalidEmailTextField()->isVisible(); });
    EXPECT_TRUE(welcome.invalidEmailTextField()->isVisible());
    EXPECT_TRUE(welcome.subscribeButton()->isVisible());
    EXPECT_EQ(saves, 0);

    welcome.subscribeEmailTextField()->setText("someone@example.org");
    welcome.subscribeButton()->click();
    waitFor([&] { return saves == 1 && welcome.subscribeButton()->isVisible(); });
    EXPECT_EQ(saves, 1);
    EXPECT_TRUE(welcome.subscribeButton()->isVisible());
    EXPECT_FALSE(welcome.invalidEmailTextField()->isVisible());
    EXPECT_FALSE(welcome.progressIndicator()->isVisible());
    EXPECT_FALSE(welcome.thankYouBox()->isVisible());
}

TEST(WelcomeWindowData, TheBundleHasThreePages) {
    QApplication& app = uiApplication();
    (void)app;
    KXWelcomeScreenWindowController welcome;
    ASSERT_EQ(welcome.data().size(), 3u);
    welcome.window()->show();
    EXPECT_TRUE(welcome.pageArea()->isVisible());
    EXPECT_FALSE(welcome.imageView()->pixmap().isNull());
    EXPECT_FALSE(welcome.infoTextField()->text().isEmpty());
}

} // namespace
