#include "platform/graphics/ParallelRows.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

using graphics::parallelRows;

TEST(ParallelRows, VisitsEveryRowOnce) {
    struct Case {
        int rows;
        size_t pixelsPerRow;
    };
    for (const Case c : {Case{0, 100}, Case{1, 1 << 20}, Case{7, 1 << 20}, Case{1000, 4096}, Case{1000, 1}}) {
        SCOPED_TRACE(c.rows);
        std::vector<std::atomic<int>> visits(size_t(c.rows));
        parallelRows(c.rows, c.pixelsPerRow, [&](int first, int end) {
            ASSERT_LE(0, first);
            ASSERT_LE(first, end);
            ASSERT_LE(end, c.rows);
            for (int y = first; y < end; ++y)
                ++visits[size_t(y)];
        });
        for (const auto& v : visits)
            EXPECT_EQ(v.load(), 1);
    }
}

TEST(ParallelRows, RethrowsAfterAllBandsEnd) {
    std::atomic<int> rowsDone = 0;
    EXPECT_THROW(parallelRows(64, 1 << 20,
                              [&](int first, int end) {
                                  if (first == 0) throw std::runtime_error("band failed");
                                  rowsDone += end - first;
                              }),
                 std::runtime_error);
    if (std::thread::hardware_concurrency() > 1) {
        EXPECT_GT(rowsDone.load(), 0); // the other bands ran to their end
    }
}
