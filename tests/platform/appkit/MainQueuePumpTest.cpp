#include "platform/appkit/MainQueuePump.h"

#include "platform/foundation/MainQueue.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UndoManager.h"
#include "support/EventLoop.h"
#include "support/UiApplication.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using foundation::MainQueue;

namespace {

class MainQueuePumpTest : public ::testing::Test {
  protected:
    QApplication& app = uiApplication();
    std::vector<std::string> ran; // touched on the main thread only
};

} // namespace

TEST_F(MainQueuePumpTest, WorkersReachTheGuiThreadInPostingOrder) {
    appkit::MainQueuePump pump;
    bool allOnMain = true;
    std::thread worker([&] {
        for (int i = 0; i < 50; ++i)
            MainQueue::async([&, i] {
                allOnMain = allOnMain && MainQueue::isMainThread();
                ran.push_back(std::to_string(i));
            });
    });
    worker.join();
    ASSERT_TRUE(runEventLoopUntil([&] { return ran.size() == 50; }, 3));
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(ran[size_t(i)], std::to_string(i));
    EXPECT_TRUE(allOnMain);
}

TEST_F(MainQueuePumpTest, DelayedTasksRunByDueTimeAndCanBeCancelled) {
    appkit::MainQueuePump pump;
    MainQueue::after(0.05, [&] { ran.push_back("late"); });
    MainQueue::after(0.01, [&] { ran.push_back("soon"); });
    MainQueue::DelayedTask dropped = MainQueue::after(0.02, [&] { ran.push_back("dropped"); });
    MainQueue::async([&] { ran.push_back("now"); });
    dropped.cancel();
    std::thread worker([&] { MainQueue::after(0.03, [&] { ran.push_back("from worker"); }); });
    worker.join();
    ASSERT_TRUE(runEventLoopUntil([&] { return ran.size() == 4; }, 3));
    runEventLoopFor(0.03);
    EXPECT_EQ(ran, (std::vector<std::string>{"now", "soon", "from worker", "late"}));
}

// Whatever one event registers is closed when the loop is about to wait again.
TEST_F(MainQueuePumpTest, EachPassEndsWhenTheLoopIsAboutToWait) {
    appkit::MainQueuePump pump;
    int owner = 0;
    MainQueue::addPassEndObserver(&owner, [&] { ran.push_back("end"); });
    MainQueue::async([&] { ran.push_back("task"); });
    auto endAfterTask = [&] {
        const auto task = std::find(ran.begin(), ran.end(), "task");
        return task != ran.end() && std::find(task, ran.end(), "end") != ran.end();
    };
    EXPECT_TRUE(runEventLoopUntil(endAfterTask, 3));
    MainQueue::removePassEndObservers(&owner);
}

TEST_F(MainQueuePumpTest, WithoutAPumpTheRunLoopHoldsTheWorkAgain) {
    { appkit::MainQueuePump pump; }
    MainQueue::async([&] { ran.push_back("run loop"); });
    runEventLoopFor(0.03);
    EXPECT_TRUE(ran.empty());
    EXPECT_TRUE(foundation::RunLoop::runUntil([&] { return !ran.empty(); }, 1));
}

// An undo step is what one pass of Qt's loop registers: two callbacks apart in time are two steps.
TEST_F(MainQueuePumpTest, UndoStepsCloseWithThePassesOfQtsLoop) {
    appkit::MainQueuePump pump;
    foundation::UndoManager undo;
    int target = 0;
    bool laterRan = false;
    MainQueue::async([&] {
        undo.registerUndo(&target, [&] { ran.push_back("undo a"); });
        undo.registerUndo(&target, [&] { ran.push_back("undo b"); });
    });
    MainQueue::after(0.03, [&] {
        undo.registerUndo(&target, [&] { ran.push_back("undo c"); });
        laterRan = true;
    });
    ASSERT_TRUE(runEventLoopUntil([&] { return laterRan && undo.groupingLevel() == 0; }, 2));
    undo.undo();
    EXPECT_EQ(ran, std::vector<std::string>{"undo c"});
    undo.undo();
    EXPECT_EQ(ran, (std::vector<std::string>{"undo c", "undo b", "undo a"}));
    EXPECT_FALSE(undo.canUndo());
}
