#include "platform/graphics/ParallelRows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
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

} // namespace
