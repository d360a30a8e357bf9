#include "kernels/paint/smart_posterize.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

using Rgb = std::array<uint8_t, 3>;

// A row-major image of colours (alpha of the source is arbitrary and must not matter).
std::vector<uint8_t> image(const std::vector<Rgb>& colours) {
    std::vector<uint8_t> px;
    for (const Rgb& c : colours)
        px.insert(px.end(), {123, c[0], c[1], c[2]});
    return px;
}

Rgb grey(uint8_t v) {
    return {v, v, v};
}

TEST(SmartPosterize, AreasTakeTheMeanOfTheirSourceColours) {
    struct Case {
        std::string name;
        int width, height, levels, blur, contrast;
        std::vector<Rgb> source, expected;
    };
    const Case cases[] = {
        {"uniform", 3, 2, 8, 10, 256, std::vector<Rgb>(6, {17, 130, 250}),
         std::vector<Rgb>(6, {17, 130, 250})},
        {"truncating mean",
         3,
         1,
         64,
         1,
         256,
         {{10, 0, 0}, {11, 0, 0}, {11, 0, 0}},
         {{10, 0, 0}, {10, 0, 0}, {10, 0, 0}}},
        {"neutral contrast joins 100 and 101",
         2,
         1,
         2,
         1,
         256,
         {grey(100), grey(101)},
         {grey(100), grey(100)}},
        {"double contrast parts them (72 and 74)",
         2,
         1,
         2,
         1,
         512,
         {grey(100), grey(101)},
         {grey(100), grey(101)}},
        {"clamped highlights join", 2, 1, 1, 1, 512, {grey(240), grey(250)}, {grey(245), grey(245)}},
        // Diagonal pairs quantise alike (0 and 192) but touch only at a corner.
        {"corners do not connect",
         2,
         2,
         64,
         1,
         256,
         {grey(10), grey(200), grey(210), grey(20)},
         {grey(10), grey(200), grey(210), grey(20)}},
        // Radius blur - 1: 0 keeps single pixels apart, 1 spreads the peak over three, 2 over all.
        {"blur 1",
         5,
         1,
         1,
         1,
         256,
         {grey(0), grey(0), grey(255), grey(0), grey(0)},
         {grey(0), grey(0), grey(255), grey(0), grey(0)}},
        {"blur 2",
         5,
         1,
         1,
         2,
         256,
         {grey(0), grey(0), grey(255), grey(0), grey(0)},
         {grey(0), grey(85), grey(85), grey(85), grey(0)}},
        {"blur 3",
         5,
         1,
         1,
         3,
         256,
         {grey(0), grey(0), grey(255), grey(0), grey(0)},
         std::vector<Rgb>(5, grey(51))},
        // Out-of-range arguments act as the nearest sound ones (levels 1, radius 0).
        {"levels 0 and blur 0",
         3,
         1,
         0,
         0,
         256,
         {grey(10), grey(11), grey(11)},
         {grey(10), grey(11), grey(11)}},
    };
    for (const Case& c : cases) {
        const auto src = image(c.source);
        std::vector<uint8_t> dst(src.size(), 99);
        EXPECT_TRUE(smart_posterize(src.data(), dst.data(), c.width, c.height, c.levels, c.blur, c.contrast));
        std::vector<uint8_t> expected = image(c.expected);
        for (size_t k = 0; k < expected.size(); k += 4)
            expected[k] = 2;
        EXPECT_EQ(dst, expected) << c.name;
    }
}

TEST(SmartPosterize, LargeFlatAreaIsOneArea) {
    // A left half of blue 40 and 42 in a checkerboard and a plain right half, each area far
    // larger than a fixed stack of segments would hold. The blur leaves thin strips of
    // intermediate colours at the seam; every area, strip or half, takes its source mean.
    const int w = 600, h = 400;
    std::vector<Rgb> colours(size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            colours[size_t(y) * w + x] =
                x < w / 2 ? Rgb{40, 40, uint8_t(40 + 2 * ((x + y) % 2))} : Rgb{200, 200, 200};
    const auto src = image(colours);
    std::vector<uint8_t> dst(src.size());
    ASSERT_TRUE(smart_posterize(src.data(), dst.data(), w, h, 32, 3, 256));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = &dst[(size_t(y) * w + x) * 4];
            const Rgb expected = x < w / 2 ? Rgb{40, 40, 41} : Rgb{200, 200, 200};
            ASSERT_EQ(p[0], 2) << x << "," << y;
            ASSERT_EQ((Rgb{p[1], p[2], p[3]}), expected) << x << "," << y;
        }
    }
}

} // namespace
