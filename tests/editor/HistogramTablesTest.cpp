#include "editor/HistogramTables.h"

#include "platform/graphics/ParallelRows.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace {

std::vector<uint8_t> xrgb(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
    std::vector<uint8_t> pixels(size_t(w) * size_t(h) * 4);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = 255;
        pixels[i + 1] = r;
        pixels[i + 2] = g;
        pixels[i + 3] = b;
    }
    return pixels;
}

uint64_t total(const HistogramTables::Table& t) {
    return std::accumulate(t.begin(), t.end(), uint64_t(0));
}

} // namespace

TEST(HistogramTables, FlatGreyFillsOneBinPerTableUpToTheCap) {
    const auto pixels = xrgb(100, 100, 128, 128, 128);
    HistogramTables tables;
    tables.count(pixels.data(), 100, 100, 400);
    EXPECT_EQ(HistogramTables::capForSize(100, 100), 195u);
    // 0.3 x 128 + 0.59 x 128 + 0.11 x 128 in single precision lands just under 128.
    const int lum = int(0.3f * 128.f + 0.59f * 128.f + 0.11f * 128.f);
    EXPECT_EQ(tables.luminance[lum], 195u);
    EXPECT_EQ(tables.red[128], 195u);
    EXPECT_EQ(tables.green[128], 195u);
    EXPECT_EQ(tables.blue[128], 195u);
    EXPECT_EQ(total(tables.luminance), 195u);
    EXPECT_EQ(total(tables.red), 195u);
}

TEST(HistogramTables, ChannelsAreCountedApartAndLuminanceIsWeighted) {
    struct Case {
        uint8_t r, g, b;
        int lum;
    };
    const Case cases[] = {
        {255, 0, 0, 76}, {0, 255, 0, 150}, {0, 0, 255, 28}, {255, 255, 255, 255}, {0, 0, 0, 0}};
    for (const Case& c : cases) {
        const auto pixels = xrgb(64, 64, c.r, c.g, c.b);
        HistogramTables tables;
        tables.count(pixels.data(), 64, 64, 256);
        const uint64_t cap = HistogramTables::capForSize(64, 64);
        EXPECT_EQ(tables.luminance[c.lum], cap) << int(c.r) << "," << int(c.g) << "," << int(c.b);
        EXPECT_EQ(tables.red[c.r], cap);
        EXPECT_EQ(tables.green[c.g], cap);
        EXPECT_EQ(tables.blue[c.b], cap);
    }
}

TEST(HistogramTables, SameCountsOnOneThreadOrMany) {
    const int w = 301, h = 257;
    std::vector<uint8_t> pixels(size_t(w) * h * 4);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = uint8_t((i * 2654435761u) >> 13);
    HistogramTables one, many;
    graphics::setParallelThreads(1);
    one.count(pixels.data(), w, h, size_t(w) * 4);
    graphics::setParallelThreads(4);
    many.count(pixels.data(), w, h, size_t(w) * 4);
    graphics::setParallelThreads(0);
    EXPECT_EQ(one.luminance, many.luminance);
    EXPECT_EQ(one.red, many.red);
    EXPECT_EQ(one.blue, many.blue);
    EXPECT_GT(total(one.red), 0u);
}

TEST(HistogramTables, BuildsFromAnImageAndRefusesNone) {
    // R,G,B,A pixels: half pure red, half pure blue.
    std::vector<uint8_t> rgba(32 * 32 * 4);
    for (int i = 0; i < 32 * 32; ++i) {
        rgba[i * 4 + (i < 512 ? 0 : 2)] = 255;
        rgba[i * 4 + 3] = 255;
    }
    const graphics::ImagePtr image =
        graphics::Image::copy(rgba.data(), 32, 32, 32 * 4, graphics::PixelFormat{});
    ASSERT_TRUE(image);
    HistogramTables tables;
    ASSERT_TRUE(tables.build(image));
    const uint64_t cap = HistogramTables::capForSize(32, 32); // 20
    EXPECT_EQ(tables.red[255], cap);
    EXPECT_EQ(tables.red[0], cap);
    EXPECT_EQ(tables.blue[255], cap);
    EXPECT_EQ(tables.green[0], cap);
    // The same picture as opaque B,G,R,X bytes is counted in place, with the same result.
    std::vector<uint8_t> bgrx(32 * 32 * 4);
    for (int i = 0; i < 32 * 32; ++i) {
        bgrx[i * 4 + 0] = rgba[i * 4 + 2];
        bgrx[i * 4 + 2] = rgba[i * 4 + 0];
    }
    graphics::PixelFormat bgrxFormat;
    bgrxFormat.order = {graphics::Channel::B, graphics::Channel::G, graphics::Channel::R,
                        graphics::Channel::X};
    HistogramTables inPlace;
    ASSERT_TRUE(inPlace.build(graphics::Image::copy(bgrx.data(), 32, 32, 32 * 4, bgrxFormat)));
    EXPECT_EQ(inPlace.red, tables.red);
    EXPECT_EQ(inPlace.blue, tables.blue);
    EXPECT_EQ(inPlace.luminance, tables.luminance);
    EXPECT_FALSE(tables.build(nullptr));
    EXPECT_EQ(total(tables.red), 0u);
}
