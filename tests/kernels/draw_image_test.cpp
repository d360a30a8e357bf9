#include "kernels/drawing/draw_image.h"

#include <gtest/gtest.h>

#include <array>
#include <utility>
#include <vector>

TEST(DrawImage, CoverageChoosesColourBlendOrNothing) {
    struct Row {
        uint8_t coverage;
        std::array<uint8_t, 3> expected;
    };
    // Destination (200, 50, 100), colour (100, 150, 0).
    const Row rows[] = {
        {0, {100, 150, 0}},   {10, {100, 150, 0}},   {11, {103, 145, 4}},   {128, {149, 99, 50}},
        {244, {194, 54, 95}}, {245, {200, 50, 100}}, {255, {200, 50, 100}},
    };
    for (const Row& r : rows) {
        // Bytes 0, 2 and 3 of the brush would paint or skip if they were read as coverage.
        const uint8_t brush[4] = {255, r.coverage, 0, 128};
        uint8_t dest[4] = {7, 200, 50, 100};
        draw_image(brush, dest, 1, 1, 1, 1, 4, 4, 0, 0, 100, 150, 0);
        EXPECT_EQ(dest[0], 7) << int(r.coverage);
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(dest[c + 1], r.expected[c]) << int(r.coverage) << " channel " << c;
    }
}

TEST(DrawImage, StampIsClippedToTheDestination) {
    // A 4 x 4 brush painting its diagonal only, rows padded; a 3 x 3 destination, rows padded,
    // allocated to the byte so that any write outside it is caught.
    const int bw = 4, bh = 4, brb = bw * 4 + 8;
    const int dw = 3, dh = 3, drb = dw * 4 + 4;
    std::vector<uint8_t> brush(size_t(brb) * bh, 255);
    for (int j = 0; j < bh; ++j)
        brush[size_t(j) * brb + size_t(j) * 4 + 1] = 0;

    const std::pair<int, int> positions[] = {{-2, -2}, {1, 1}, {-5, 0}, {2, -3}, {0, 3}, {-1, 0}, {0, 0}};
    for (auto [x, y] : positions) {
        std::vector<uint8_t> dest(size_t(drb) * dh, 33);
        draw_image(brush.data(), dest.data(), bw, bh, dw, dh, brb, drb, x, y, 1, 2, 3);
        for (int py = 0; py < dh; ++py) {
            for (int px = 0; px < drb / 4; ++px) {
                const uint8_t* p = &dest[size_t(py) * drb + size_t(px) * 4];
                const bool painted = px < dw && px - x == py - y && px >= x && px < x + bw;
                EXPECT_EQ(p[0], 33);
                for (int c = 0; c < 3; ++c)
                    EXPECT_EQ(p[c + 1], painted ? c + 1 : 33)
                        << "stamp at " << x << "," << y << " pixel " << px << "," << py;
            }
        }
    }
}
