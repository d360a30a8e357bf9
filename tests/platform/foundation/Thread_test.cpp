#include "platform/foundation/Thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using foundation::Thread;

TEST(Thread, TheRunningFunctionSeesCancel) {
    std::atomic<bool> started{false};
    std::atomic<long> polls{0};
    bool sawCancel = false;
    Thread* self = nullptr;
    Thread thread([&] {
        self = &Thread::current();
        started = true;
        while (!Thread::current().isCancelled())
            ++polls;
        sawCancel = true;
    });
    while (!started)
        std::this_thread::yield();
    EXPECT_FALSE(thread.isCancelled());
    thread.cancel();
    thread.join();
    EXPECT_TRUE(sawCancel);
    EXPECT_TRUE(thread.isCancelled());
    EXPECT_EQ(self, &thread);
}

TEST(Thread, DestructionJoins) {
    std::atomic<bool> finished{false};
    {
        Thread thread([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            finished = true;
        });
    }
    EXPECT_TRUE(finished);
}

TEST(Thread, ThreadsStartedElsewhereAreNeverCancelled) {
    Thread& main = Thread::current();
    EXPECT_EQ(&main, &Thread::current());
    main.cancel();
    EXPECT_FALSE(Thread::current().isCancelled());
    main.join(); // nothing to wait for

    Thread* fromStdThread = nullptr;
    std::thread other([&] {
        fromStdThread = &Thread::current();
        EXPECT_FALSE(fromStdThread->isCancelled());
    });
    other.join();
    EXPECT_NE(fromStdThread, &main);
}

TEST(Thread, CancellingOneThreadLeavesAnotherRunning) {
    std::atomic<bool> stopB{false};
    std::atomic<bool> bCancelled{true};
    Thread a([] {
        while (!Thread::current().isCancelled())
            std::this_thread::yield();
    });
    Thread b([&] {
        while (!stopB)
            std::this_thread::yield();
        bCancelled = Thread::current().isCancelled();
    });
    a.cancel();
    a.join();
    stopB = true;
    b.join();
    EXPECT_FALSE(bCancelled);
}
