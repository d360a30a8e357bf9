#include "engine/ProgressSpan.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The bar's figures as the manager first wrote them out by hand: a preset step's share in single
// precision, then the 80/20 split of a render with a frame.
int64_t presetStepByHand(int64_t p, size_t i, size_t n) {
    const float share = 100.0f / float(n);
    return int64_t(std::trunc(double(p) * double(share) / 100.0 + double(i) * double(share)));
}

// Runs report no percent below 0 (below it, truncating before or after the frame pass's 80 would differ).
TEST(ProgressSpan, NestedSharesShowWhatTheHandWrittenArithmeticShowed) {
    const ProgressSpan main(0, 80), frame(80, 100);
    for (size_t n = 1; n <= 12; ++n)
        for (size_t i = 0; i < n; ++i)
            for (int64_t p = 0; p <= 105; ++p) {
                const int64_t step = ProgressSpan().child(i, n).at(double(p));
                ASSERT_EQ(step, presetStepByHand(p, i, n)) << n << " steps, step " << i << ", " << p << "%";
                ASSERT_EQ(main.at(double(step)), int64_t(std::trunc(double(step) * 0.8)));
                ASSERT_EQ(frame.at(double(step)), int64_t(std::trunc(double(step) * 0.2) + 80.0));
            }
}

TEST(ProgressSpan, Examples) {
    struct Case {
        const char* name;
        int64_t got;
        int64_t expected;
    };
    const Case cases[] = {
        {"whole bar", ProgressSpan().at(57), 57},
        {"step 2 of 4 at 50%", ProgressSpan().child(2, 4).at(50), 62},
        {"the same before a frame", ProgressSpan(0, 80).at(double(ProgressSpan().child(2, 4).at(50))), 49},
        {"second of three steps starts", ProgressSpan().child(1, 3).at(0), 33},
        {"last of three steps ends", ProgressSpan().child(2, 3).at(100), 99},
        {"frame pass ends", ProgressSpan(80, 100).at(100), 100},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.got, c.expected) << c.name;
}

} // namespace
