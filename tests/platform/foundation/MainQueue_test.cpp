#include "platform/foundation/MainQueue.h"
#include "platform/foundation/RunLoop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

using foundation::MainQueue;
using foundation::RunLoop;

TEST(MainQueue, WorkerTasksRunOnTheMainThreadInOrderWhenPumped) {
    std::vector<int> order;
    std::vector<bool> onMain;
    std::thread worker([&] {
        EXPECT_FALSE(MainQueue::isMainThread());
        for (int i = 0; i < 100; ++i)
            MainQueue::async([&, i] {
                order.push_back(i);
                onMain.push_back(MainQueue::isMainThread());
            });
    });
    worker.join();
    EXPECT_TRUE(order.empty()) << "async must not run before the loop is pumped";

    ASSERT_TRUE(RunLoop::runUntil([&] { return order.size() == 100; }, 5.0));
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(order[i], i);
    for (bool b : onMain)
        EXPECT_TRUE(b);
}

TEST(MainQueue, WorkQueuedDuringAPassRunsOnTheNextPass) {
    std::vector<int> order;
    int passEnds = 0;
    int owner = 0;
    MainQueue::addPassEndObserver(&owner, [&] { order.push_back(-(++passEnds)); });
    MainQueue::async([&] {
        order.push_back(1);
        MainQueue::async([&] { order.push_back(2); });
    });
    EXPECT_TRUE(RunLoop::runOnce());
    EXPECT_TRUE(RunLoop::runOnce());
    EXPECT_FALSE(RunLoop::runOnce());
    MainQueue::removePassEndObservers(&owner);
    RunLoop::runOnce();
    EXPECT_EQ(order, (std::vector<int>{1, -1, 2, -2, -3}));
}

TEST(MainQueue, AfterRunsInDeadlineOrderNotBeforeItsDelay) {
    using Clock = std::chrono::steady_clock;
    std::vector<int> order;
    const Clock::time_point start = Clock::now();
    Clock::time_point lateRan;
    MainQueue::after(0.05, [&] {
        order.push_back(2);
        lateRan = Clock::now();
    });
    MainQueue::after(0.0, [&] { order.push_back(1); });
    MainQueue::after(-3.0, [&] { order.push_back(0); }); // a negative delay counts as none
    ASSERT_TRUE(RunLoop::runUntil([&] { return order.size() == 3; }, 5.0));
    EXPECT_EQ(order, (std::vector<int>{1, 0, 2}));
    EXPECT_GE(lateRan - start, std::chrono::milliseconds(50));
}

TEST(MainQueue, CancelledAfterNeverRunsAndReleasesWhatItHeld) {
    auto payload = std::make_shared<int>(7);
    bool ran = false, other = false;
    auto handle = MainQueue::after(0.0, [&ran, payload] { ran = *payload == 7; });
    MainQueue::after(0.0, [&] { other = true; });
    EXPECT_EQ(payload.use_count(), 2);
    handle.cancel();
    EXPECT_EQ(payload.use_count(), 1);
    RunLoop::runUntil([&] { return other; }, 5.0);
    EXPECT_TRUE(other);
    EXPECT_FALSE(ran);
    handle.cancel(); // cancelling again, or after the time, is harmless
}

TEST(MainQueue, RunUntilGivesUpAtTheTimeout) {
    EXPECT_FALSE(RunLoop::runUntil([] { return false; }, 0.02));
}

TEST(MainQueue, RunOnceDoesNothingOffTheMainThread) {
    bool ran = false;
    MainQueue::async([&] { ran = true; });
    std::thread worker([] { EXPECT_FALSE(RunLoop::runOnce()); });
    worker.join();
    EXPECT_FALSE(ran);
    RunLoop::runOnce();
    EXPECT_TRUE(ran);
}

namespace {

struct CollectingDispatcher : MainQueue::Dispatcher {
    std::vector<MainQueue::Task> tasks;
    std::vector<double> delays;
    void async(MainQueue::Task task) override { tasks.push_back(std::move(task)); }
    void after(double seconds, MainQueue::Task task) override {
        delays.push_back(seconds);
        tasks.push_back(std::move(task));
    }
};

} // namespace

TEST(MainQueue, AnInstalledDispatcherReceivesTheWork) {
    CollectingDispatcher dispatcher;
    MainQueue::setDispatcher(&dispatcher);
    int count = 0;
    MainQueue::async([&] { ++count; });
    auto handle = MainQueue::after(0.25, [&] { count += 10; });
    MainQueue::after(0.5, [&] { count += 100; });
    MainQueue::setDispatcher(nullptr);

    EXPECT_FALSE(RunLoop::runOnce()) << "the run loop must not see the dispatcher's work";
    ASSERT_EQ(dispatcher.tasks.size(), 3u);
    EXPECT_EQ(dispatcher.delays, (std::vector<double>{0.25, 0.5}));
    handle.cancel();
    for (auto& t : dispatcher.tasks)
        t();
    EXPECT_EQ(count, 101);
}

TEST(MainQueue, PassEndObserverMayRemoveItself) {
    int owner = 0, calls = 0;
    MainQueue::addPassEndObserver(&owner, [&] {
        ++calls;
        MainQueue::removePassEndObservers(&owner);
    });
    MainQueue::passDidEnd();
    MainQueue::passDidEnd();
    EXPECT_EQ(calls, 1);
}
