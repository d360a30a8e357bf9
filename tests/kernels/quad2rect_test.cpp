#include "kernels/drawing/quad2rect.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kSide = 4;
constexpr int kRowBytes = kSide * 4 + 8; // padded source rows
constexpr uint32_t kFill = 0xDEADBEEF;

uint32_t source_pixel(int x, int y) {
    return 0xAA000000u | uint32_t(y) << 8 | uint32_t(x);
}

std::vector<uint32_t> source_image() {
    std::vector<uint32_t> src(size_t(kRowBytes / 4) * kSide, 0x55555555);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            src[size_t(y) * kRowBytes / 4 + x] = source_pixel(x, y);
    return src;
}

uint32_t at_or_fill(int x, int y) {
    return x >= 0 && x < kSide && y >= 0 && y < kSide ? source_pixel(x, y) : kFill;
}

struct QuadCase {
    const char* name;
    float c[8]; // x0 y0 (top-left), x1 y1 (bottom-left), x2 y2 (bottom-right), x3 y3 (top-right)
    bool integral;
    std::function<uint32_t(int, int)> expected;
};

const float kHuge = 524288.0f; // 2^19: u x (R - L) needs more than 32 bits in fixed point

const QuadCase kCases[] = {
    {"identity", {0, 0, 0, 4, 4, 4, 4, 0}, true, [](int i, int j) { return at_or_fill(i, j); }},
    {"mirror", {3, 0, 3, 4, -1, 4, -1, 0}, true, [](int i, int j) { return at_or_fill(3 - i, j); }},
    {"shift left", {-1, 0, -1, 4, 3, 4, 3, 0}, true, [](int i, int j) { return at_or_fill(i - 1, j); }},
    {"transpose", {0, 0, 4, 0, 4, 4, 0, 4}, true, [](int i, int j) { return at_or_fill(j, i); }},
    {"half pixel left floors",
     {-0.5f, 0, -0.5f, 4, 3.5f, 4, 3.5f, 0},
     false,
     [](int i, int j) { return at_or_fill(i - 1, j); }},
    {"huge span",
     {-kHuge, 0, -kHuge, 4, kHuge, 4, kHuge, 0},
     true,
     [](int i, int j) { return i == 2 ? source_pixel(0, j) : kFill; }},
};

void expect_output(const QuadCase& q, const std::vector<uint32_t>& dst, const char* which) {
    for (int j = 0; j < kSide; ++j)
        for (int i = 0; i < kSide; ++i)
            EXPECT_EQ(dst[size_t(j) * kSide + i], q.expected(i, j))
                << which << " " << q.name << " at " << i << "," << j;
}

} // namespace

TEST(Quad2Rect, MapsTheQuadOntoTheRectangle) {
    const std::vector<uint32_t> src = source_image();
    for (const QuadCase& q : kCases) {
        std::vector<uint32_t> dst(kSide * kSide, 0);
        quad2rect(src.data(), dst.data(), kSide, kSide, kRowBytes, 0, kFill, q.c[0], q.c[1], q.c[2], q.c[3],
                  q.c[4], q.c[5], q.c[6], q.c[7]);
        expect_output(q, dst, "float");
        if (!q.integral) continue;
        std::vector<uint32_t> dst_i(kSide * kSide, 0);
        quad2rect_i(src.data(), dst_i.data(), kSide, kSide, kRowBytes, 0, kFill, int(q.c[0]), int(q.c[1]),
                    int(q.c[2]), int(q.c[3]), int(q.c[4]), int(q.c[5]), int(q.c[6]), int(q.c[7]));
        expect_output(q, dst_i, "fixed");
    }
}

TEST(Quad2Rect, ZeroSidesWriteNothing) {
    const std::vector<uint32_t> src = source_image();
    for (auto [w, h] : {std::pair{0, 4}, std::pair{4, 0}, std::pair{0, 0}}) {
        uint32_t dst[2] = {1, 2};
        quad2rect_i(src.data(), dst, w, h, kRowBytes, 0, kFill, 0, 0, 0, 4, 4, 4, 4, 0);
        quad2rect(src.data(), dst, w, h, kRowBytes, 0, kFill, 0, 0, 0, 4, 4, 4, 4, 0);
        EXPECT_EQ(dst[0], 1u);
        EXPECT_EQ(dst[1], 2u);
    }
}

// The integer form holds at real sizes: the identity keeps every column, a mirror reverses them.
TEST(Quad2Rect, FixedPointHoldsForAnyWidth) {
    for (auto [w, h] : {std::pair{1000, 3}, std::pair{2049, 2}, std::pair{6000, 2}, std::pair{3, 4000}}) {
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        std::vector<uint32_t> src(size_t(w) * h);
        for (size_t k = 0; k < src.size(); ++k)
            src[k] = uint32_t(k);
        std::vector<uint32_t> identity(src.size()), mirrored(src.size()), expected(src.size());
        quad2rect_i(src.data(), identity.data(), w, h, w * 4, 0, kFill, 0, 0, 0, h, w, h, w, 0);
        EXPECT_EQ(identity, src);
        quad2rect_i(src.data(), mirrored.data(), w, h, w * 4, 0, kFill, w - 1, 0, w - 1, h, -1, h, -1, 0);
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                expected[size_t(j) * w + i] = src[size_t(j) * w + (w - 1 - i)];
        EXPECT_EQ(mirrored, expected);
    }
}
