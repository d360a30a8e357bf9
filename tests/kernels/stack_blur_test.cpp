#include "kernels/blur/stack_blur.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

namespace {

uint32_t pixel(uint8_t a, uint8_t r, uint8_t g, uint8_t b) {
    const uint8_t bytes[4] = {a, r, g, b};
    uint32_t p;
    std::memcpy(&p, bytes, 4);
    return p;
}

uint8_t byte_of(uint32_t p, int i) {
    return reinterpret_cast<const uint8_t*>(&p)[i];
}

// Direct tent sums with clamped indices: rows into planes, then columns, each divided by
// (r + 1)^2. 64-bit sums so that the reference cannot overflow where the kernel might.
std::vector<uint32_t> reference_blur(const std::vector<uint32_t>& in, int w, int h, int r) {
    const int64_t div = int64_t(r + 1) * (r + 1);
    std::vector<int64_t> planes(size_t(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) {
                int64_t sum = 0;
                for (int k = -r; k <= r; ++k)
                    sum += int64_t(r + 1 - std::abs(k)) *
                           byte_of(in[size_t(y) * w + std::clamp(x + k, 0, w - 1)], 1 + c);
                planes[(size_t(y) * w + x) * 3 + c] = sum / div;
            }
    std::vector<uint32_t> out(in.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t v[3];
            for (int c = 0; c < 3; ++c) {
                int64_t sum = 0;
                for (int k = -r; k <= r; ++k)
                    sum +=
                        (r + 1 - std::abs(k)) * planes[(size_t(std::clamp(y + k, 0, h - 1)) * w + x) * 3 + c];
                v[c] = uint8_t(sum / div);
            }
            out[size_t(y) * w + x] = pixel(255, v[0], v[1], v[2]);
        }
    return out;
}

std::vector<uint32_t> random_image(int w, int h, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<uint32_t> img(size_t(w) * h);
    for (auto& p : img)
        p = uint32_t(rng());
    return img;
}

TEST(StackBlur, RadiusOneWeighsOneTwoOne) {
    std::vector<uint32_t> row = {pixel(9, 0, 80, 7), pixel(9, 40, 40, 7), pixel(9, 80, 0, 7)};
    stack_blur(row.data(), 3, 1, 1);
    EXPECT_EQ(row[0], pixel(255, 10, 70, 7));
    EXPECT_EQ(row[1], pixel(255, 40, 40, 7));
    EXPECT_EQ(row[2], pixel(255, 70, 10, 7));
}

TEST(StackBlur, UniformImageKeepsItsColourWithOpaqueAlpha) {
    std::vector<uint32_t> img(7 * 5, pixel(3, 200, 17, 255));
    stack_blur(img.data(), 7, 5, 4);
    for (uint32_t p : img)
        EXPECT_EQ(p, pixel(255, 200, 17, 255));
}

TEST(StackBlur, RadiusBelowOneOrEmptyImageChangesNothing) {
    const auto original = random_image(6, 4, 1);
    for (int radius : {0, -1, -1000}) {
        auto img = original;
        stack_blur(img.data(), 6, 4, radius);
        EXPECT_EQ(img, original) << "radius " << radius;
    }
    auto img = original;
    stack_blur(img.data(), 0, 4, 3);
    stack_blur(img.data(), 6, -1, 3);
    stack_blur(nullptr, 6, 4, 3);
    EXPECT_EQ(img, original);
}

TEST(StackBlur, MatchesDirectTentSums) {
    struct Case {
        int w, h;
    };
    // Single rows and columns, images narrower than the radius, and ordinary ones.
    const Case sizes[] = {{1, 1}, {1, 9}, {9, 1}, {2, 3}, {5, 4}, {17, 11}, {32, 7}};
    unsigned seed = 1;
    for (const Case& s : sizes) {
        for (int r = 1; r <= 10; ++r) {
            auto img = random_image(s.w, s.h, seed++);
            const auto expected = reference_blur(img, s.w, s.h, r);
            stack_blur(img.data(), s.w, s.h, r);
            ASSERT_EQ(img, expected) << s.w << "x" << s.h << " radius " << r;
        }
    }
}

TEST(StackBlur, HugeRadiusIsBoundedWithoutOverflow) {
    auto img = random_image(6, 5, 99);
    // Bright pixels make the sums as large as they can be at the bound.
    for (auto& p : img)
        p |= 0xF0F0F0F0u;
    const auto expected = reference_blur(img, 6, 5, kStackBlurMaxRadius);
    stack_blur(img.data(), 6, 5, 1 << 30);
    EXPECT_EQ(img, expected);
}

} // namespace
