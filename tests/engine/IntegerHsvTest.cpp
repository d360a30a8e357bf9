// Integer HSV: the hue branches for each largest channel, ties, grey and black, and every sector
// and guard of the way back.
#include "engine/IntegerHsv.h"

#include <gtest/gtest.h>

namespace {

TEST(IntegerHsv, FromLevels) {
    struct Case {
        int r, g, b;
        int h, s, v;
    };
    const Case cases[] = {
        {162, 128, 101, 27, 96, 162}, // the sepia brown
        {200, 50, 120, 332, 191, 200}, {50, 200, 120, 148, 191, 200}, {120, 200, 50, 92, 191, 200},
        {50, 120, 200, 212, 191, 200}, {120, 50, 200, 268, 191, 200}, {255, 0, 0, 0, 255, 255},
        {255, 255, 0, 60, 255, 255},   {0, 255, 255, 180, 255, 255},  {255, 0, 255, 300, 255, 255},
        {10, 10, 9, 60, 26, 10},       {77, 77, 77, -1, 0, 77},       {0, 0, 0, -1, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.r << ", " << c.g << ", " << c.b);
        int h = 7, s = 7, v = 7;
        getHsv2(c.r, c.g, c.b, &h, &s, &v);
        EXPECT_EQ(h, c.h);
        EXPECT_EQ(s, c.s);
        EXPECT_EQ(v, c.v);
    }
    // A missing out-pointer: nothing is written.
    int s = 7, v = 7;
    getHsv2(1, 2, 3, nullptr, &s, &v);
    EXPECT_EQ(s, 7);
    EXPECT_EQ(v, 7);
}

TEST(IntegerHsv, ToPackedLevels) {
    struct Case {
        int h, s, v;
        uint32_t r, g, b;
    };
    const Case cases[] = {
        {27, 96, 128, 128, 101, 80},  {90, 200, 100, 61, 100, 22},  {150, 200, 100, 22, 100, 61},
        {210, 200, 100, 22, 61, 100}, {270, 200, 100, 61, 22, 100}, {330, 200, 100, 100, 22, 61},
        {0, 255, 255, 255, 0, 0},     {359, 255, 255, 255, 0, 4},   {400, 200, 100, 100, 74, 22},
        {-1, 200, 90, 90, 90, 90},    {40, 0, 90, 90, 90, 90},      {-2, 100, 100, 0, 0, 0},
        {30, 256, 100, 0, 0, 0},      {30, 100, 256, 0, 0, 0},      {30, -1, 100, 0, 0, 0},
        {30, 100, -1, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.h << ", " << c.s << ", " << c.v);
        EXPECT_EQ(hsvToRGB2(c.h, c.s, c.v), c.r | c.g << 8 | c.b << 16);
    }
}

} // namespace
