#include "kernels/regions/fill_color_island.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

struct Image {
    int w, h, row_bytes;
    std::vector<uint8_t> px;

    // A flat grey image with a padded row, so that row bytes are honoured.
    Image(int width, int height)
        : w(width), h(height), row_bytes(width * 4 + 8), px(size_t(row_bytes) * height, 77) {}
    const uint8_t* at(int x, int y) const { return &px[size_t(y) * row_bytes + size_t(x) * 4]; }
};

// The island disc of radius 10 grown by `rings` rings of 8-connected neighbours.
bool in_island(int x, int y, int cx, int cy, int rings) {
    for (int dy = -rings; dy <= rings; ++dy)
        for (int dx = -rings; dx <= rings; ++dx) {
            const int u = x + dx - cx, v = y + dy - cy;
            if (u * u + v * v <= 100) return true;
        }
    return false;
}

void expect_island(const Image& img, int cx, int cy, int rings) {
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            const uint8_t v = in_island(x, y, cx, cy, rings) ? 255 : 0;
            const uint8_t* p = img.at(x, y);
            ASSERT_TRUE(std::all_of(p, p + 4, [&](uint8_t b) { return b == v; }))
                << x << "," << y << " rings " << rings;
        }
}

void run(Image& img, int x, int y) {
    fill_color_island(img.px.data(), img.w, img.h, img.row_bytes, x, y);
}

TEST(FillColorIsland, SmallImageIsAllBackgroundButTheDisc) {
    Image img(21, 30);
    testing::internal::CaptureStdout();
    run(img, 3, 4);
    const std::string out = testing::internal::GetCapturedStdout();
    expect_island(img, 3, 4, 0);
    EXPECT_EQ(out, "3.000000 4.000000\nimage: 21x30\npixels: 630\niterations: 0/51\n");
}

// A dark square on a light ground: the island is the whole square, from the first call on.
TEST(FillColorIsland, IslandIsTheWholeRegionOfItsColour) {
    struct Case {
        int w, h, left, top, side;
    };
    // Several sizes in turn also show that a table kept for another size is not reused.
    for (const Case& c : {Case{80, 80, 20, 20, 40}, Case{120, 90, 30, 15, 55}, Case{60, 64, 18, 20, 25}}) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        auto square = [&] {
            Image img(c.w, c.h);
            std::fill(img.px.begin(), img.px.end(), 250);
            for (int y = c.top; y < c.top + c.side; ++y)
                std::fill_n(&img.px[size_t(y) * img.row_bytes + size_t(c.left) * 4], c.side * 4, 5);
            return img;
        };
        for (int call = 0; call < 2; ++call) {
            Image img = square();
            run(img, c.left + c.side / 2, c.top + c.side / 2);
            for (int y = 0; y < c.h; ++y)
                for (int x = 0; x < c.w; ++x) {
                    const bool inside =
                        x >= c.left && x < c.left + c.side && y >= c.top && y < c.top + c.side;
                    ASSERT_EQ(*img.at(x, y), inside ? 255 : 0) << x << "," << y << " call " << call;
                }
        }
    }
}

TEST(FillColorIsland, InvalidArgumentsLeaveDataAlone) {
    Image img(30, 30);
    const auto before = img.px;
    fill_color_island(nullptr, 30, 30, img.row_bytes, 15, 15);
    fill_color_island(img.px.data(), 0, 30, img.row_bytes, 15, 15);
    fill_color_island(img.px.data(), 30, -1, img.row_bytes, 15, 15);
    fill_color_island(img.px.data(), 30, 30, 30 * 4 - 1, 15, 15);
    EXPECT_EQ(img.px, before);
}

TEST(RGBtoHSV, KnownColours) {
    struct Case {
        float r, g, b, h, s, v;
    };
    const Case cases[] = {
        {1, 0, 0, 0, 1, 1},
        {0, 1, 0, 1.0f / 3, 1, 1},
        {0, 0, 1, 2.0f / 3, 1, 1},
        {1, 1, 0, 1.0f / 6, 1, 1},
        {0, 1, 1, 0.5f, 1, 1},
        {1, 0, 1, 5.0f / 6, 1, 1},
        {1, 0, 0.5f, 11.0f / 12, 1, 1},
        {0.5f, 0.25f, 0.25f, 0, 0.5f, 0.5f},
        {0.5f, 0.5f, 0.5f, 0, 0, 0.5f},
        {0, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        float h = -1, s = -1, v = -1;
        RGBtoHSV(c.r, c.g, c.b, &h, &s, &v);
        EXPECT_NEAR(h, c.h, 1e-6) << c.r << "," << c.g << "," << c.b;
        EXPECT_NEAR(s, c.s, 1e-6) << c.r << "," << c.g << "," << c.b;
        EXPECT_NEAR(v, c.v, 1e-6) << c.r << "," << c.g << "," << c.b;
    }
}

} // namespace
