#include "platform/graphics/ParallelRows.h"

#include "platform/foundation/Thread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>
#include <utility>
#include <vector>

namespace {

TEST(ParallelFor, ChunksCoverEveryItemOnceAndRespectTheMinimum) {
    struct Case {
        unsigned threads;
        int count, min_items;
    };
    for (const Case c : {Case{1, 10, 1}, Case{4, 10, 1}, Case{8, 3, 1}, Case{8, 100, 30}, Case{3, 1000, 1},
                         Case{8, 0, 1}, Case{8, 5, 0}}) {
        graphics::setParallelThreads(c.threads);
        std::vector<std::atomic<int>> hits(size_t(c.count));
        std::mutex m;
        std::vector<std::pair<int, int>> chunks;
        graphics::parallelFor(c.count, c.min_items, [&](int begin, int end) {
            for (int i = begin; i < end; ++i)
                ++hits[size_t(i)];
            std::lock_guard<std::mutex> lock(m);
            chunks.emplace_back(begin, end);
        });
        for (int i = 0; i < c.count; ++i)
            ASSERT_EQ(hits[size_t(i)], 1) << c.threads << " threads, item " << i;
        EXPECT_LE(chunks.size(), size_t(c.threads));
        if (chunks.size() > 1) {
            for (const auto& [begin, end] : chunks)
                EXPECT_GE(end - begin, c.min_items);
        }
    }
    graphics::setParallelThreads(0);
}

TEST(ParallelFor, CallingThreadTakesPartAndDefaultUsesTheMachine) {
    graphics::setParallelThreads(0);
    EXPECT_EQ(graphics::parallelThreads(), std::max(1u, std::thread::hardware_concurrency()));
    graphics::setParallelThreads(4);
    EXPECT_EQ(graphics::parallelThreads(), 4u);
    std::set<std::thread::id> ids;
    std::mutex m;
    graphics::parallelFor(4, 1, [&](int, int) {
        std::lock_guard<std::mutex> lock(m);
        ids.insert(std::this_thread::get_id());
    });
    EXPECT_EQ(ids.size(), 4u);
    EXPECT_EQ(ids.count(std::this_thread::get_id()), 1u);
    graphics::setParallelThreads(0);
}

// Every chunk, on whichever thread, answers the cancel of the thread that called parallelFor; and
// every chunk runs even so, since callers may keep what the chunks made.
TEST(ParallelFor, ChunksSeeTheCallersCancelAndAllRun) {
    graphics::setParallelThreads(4);
    std::atomic<int> started{0}, sawCancel{0}, sawBefore{0}, afterCancel{0};
    std::atomic<bool> go{false};
    foundation::Thread worker([&] {
        graphics::parallelFor(4, 1, [&](int, int) {
            ++started;
            sawBefore += graphics::workCancelled();
            while (!go.load())
                std::this_thread::sleep_for(std::chrono::microseconds(100));
            sawCancel += graphics::workCancelled();
        });
        graphics::parallelFor(4, 1, [&](int, int) { ++afterCancel; });
    });
    while (started.load() < 4)
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    worker.cancel();
    go = true;
    worker.join();
    EXPECT_EQ(sawBefore.load(), 0);
    EXPECT_EQ(sawCancel.load(), 4);
    EXPECT_EQ(afterCancel.load(), 4);
    EXPECT_FALSE(graphics::workCancelled()); // the main thread is never cancelled
    graphics::setParallelThreads(0);
}

} // namespace
