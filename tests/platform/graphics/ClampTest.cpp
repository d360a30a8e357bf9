#include "platform/graphics/Clamp.h"

#include <gtest/gtest.h>

#include <limits>

TEST(Clamp, Clamp01KeepsTheUnitRangeAndSendsNaNToZero) {
    constexpr float inf = std::numeric_limits<float>::infinity();
    const struct {
        float in, out;
    } cases[] = {
        {0.0f, 0.0f},
        {-0.0f, 0.0f},
        {0.25f, 0.25f},
        {1.0f, 1.0f},
        {-1e-30f, 0.0f},
        {1.0000001f, 1.0f},
        {inf, 1.0f},
        {-inf, 0.0f},
        {std::numeric_limits<float>::quiet_NaN(), 0.0f},
        {-std::numeric_limits<float>::quiet_NaN(), 0.0f},
    };
    for (const auto& c : cases)
        EXPECT_EQ(graphics::clamp01(c.in), c.out) << c.in;
}
