#include "kernels/parallel_for.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <set>
#include <thread>
#include <utility>
#include <vector>

namespace {

TEST(KernelParallelFor, ChunksCoverEveryItemOnceAndRespectTheMinimum) {
    struct Case {
        unsigned threads;
        int count, min_items;
    };
    for (const Case c : {Case{1, 10, 1}, Case{4, 10, 1}, Case{8, 3, 1}, Case{8, 100, 30}, Case{3, 1000, 1},
                         Case{8, 0, 1}, Case{8, 5, 0}}) {
        kernel_set_threads(c.threads);
        std::vector<std::atomic<int>> hits(size_t(c.count));
        std::mutex m;
        std::vector<std::pair<int, int>> chunks;
        kernel_parallel_for(c.count, c.min_items, [&](int begin, int end) {
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
    kernel_set_threads(0);
}

TEST(KernelParallelFor, CallingThreadTakesPartAndDefaultUsesTheMachine) {
    kernel_set_threads(0);
    EXPECT_EQ(kernel_threads(), std::max(1u, std::thread::hardware_concurrency()));
    kernel_set_threads(4);
    EXPECT_EQ(kernel_threads(), 4u);
    std::set<std::thread::id> ids;
    std::mutex m;
    kernel_parallel_for(4, 1, [&](int, int) {
        std::lock_guard<std::mutex> lock(m);
        ids.insert(std::this_thread::get_id());
    });
    EXPECT_EQ(ids.size(), 4u);
    EXPECT_EQ(ids.count(std::this_thread::get_id()), 1u);
    kernel_set_threads(0);
}

} // namespace
