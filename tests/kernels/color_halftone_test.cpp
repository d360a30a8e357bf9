#include "kernels/halftone/color_halftone.h"
#include "platform/graphics/ParallelRows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <utility>
#include <vector>

namespace {

std::vector<uint8_t> flat(int w, int h, uint8_t tone) {
    std::vector<uint8_t> px(size_t(w) * h * 4, tone);
    for (size_t k = 0; k < px.size(); k += 4)
        px[k] = 0; // alpha must not matter
    return px;
}

std::vector<uint8_t> screened(const std::vector<uint8_t>& src, int w, int h, float size, uint8_t alpha = 77) {
    std::vector<uint8_t> dst(src.size(), alpha);
    EXPECT_TRUE(color_halftone(src.data(), dst.data(), w, h, size));
    return dst;
}

// Mean of one colour byte (1..3) over the pixels at least `margin` from every edge.
double mean_inside(const std::vector<uint8_t>& px, int w, int h, int byte, int margin) {
    double sum = 0;
    int n = 0;
    for (int y = margin; y < h - margin; ++y)
        for (int x = margin; x < w - margin; ++x, ++n)
            sum += px[(size_t(y) * w + x) * 4 + byte];
    return sum / n;
}

TEST(ColorHalftone, DotSizeFollowsTone) {
    // Size 8: dots of radius rho = (255 - tone / 2) / 255 x 8 pixels on a lattice of pitch 12,
    // fully inked within rho - 2 of their centre and fading linearly over the 2-pixel rim.
    // One dot's ink is pi (rho - 2)^2 + the integral of 2 pi s (rho - s) / 2 over the rim:
    // 29.3 px for rho = 4 (white), 79.6 px for rho = 6 (tone 128); such dots do not overlap,
    // so the mean byte is 255 (1 - ink / 144). Black dots (rho = 8) overlap and leave only
    // the gaps between them.
    struct Case {
        uint8_t tone;
        double lo, hi;
    };
    const Case cases[] = {{255, 203 - 5, 203 + 5}, {128, 114 - 5, 114 + 5}, {0, 1, 30}};
    const int w = 128, h = 128;
    for (const Case& c : cases) {
        const auto dst = screened(flat(w, h, c.tone), w, h, 8);
        for (int byte = 1; byte <= 3; ++byte) {
            const double mean = mean_inside(dst, w, h, byte, 16);
            EXPECT_GT(mean, c.lo) << "tone " << int(c.tone) << " byte " << byte;
            EXPECT_LT(mean, c.hi) << "tone " << int(c.tone) << " byte " << byte;
        }
    }
}

// Centroids of the 4-connected groups of zero bytes of one channel.
std::vector<std::pair<double, double>> ink_blobs(const std::vector<uint8_t>& px, int w, int h, int byte) {
    std::vector<char> seen(size_t(w) * h, 0);
    std::vector<std::pair<double, double>> centres;
    for (int y0 = 0; y0 < h; ++y0)
        for (int x0 = 0; x0 < w; ++x0) {
            const size_t i0 = size_t(y0) * w + x0;
            if (seen[i0] || px[i0 * 4 + byte] != 0) continue;
            std::vector<std::pair<int, int>> queue{{x0, y0}};
            seen[i0] = 1;
            double sx = 0, sy = 0;
            for (size_t q = 0; q < queue.size(); ++q) {
                const auto [x, y] = queue[q];
                sx += x;
                sy += y;
                const int nx[4] = {x - 1, x + 1, x, x}, ny[4] = {y, y, y - 1, y + 1};
                for (int k = 0; k < 4; ++k) {
                    if (nx[k] < 0 || ny[k] < 0 || nx[k] >= w || ny[k] >= h) continue;
                    const size_t i = size_t(ny[k]) * w + nx[k];
                    if (seen[i] || px[i * 4 + byte] != 0) continue;
                    seen[i] = 1;
                    queue.push_back({nx[k], ny[k]});
                }
            }
            centres.push_back({sx / queue.size(), sy / queue.size()});
        }
    return centres;
}

TEST(ColorHalftone, EachChannelHasItsOwnScreenAngle) {
    // White at size 10: separate dots of radius 5 on a lattice of pitch 15. The step from a dot
    // to its nearest neighbour points along the lattice, so its angle modulo 90 degrees is the
    // channel's screen angle.
    const int w = 160, h = 160;
    const auto dst = screened(flat(w, h, 255), w, h, 10);
    const double expected[3] = {15, 75, 0};
    for (int byte = 1; byte <= 3; ++byte) {
        const auto blobs = ink_blobs(dst, w, h, byte);
        ASSERT_GT(blobs.size(), 50u) << byte;
        int measured = 0;
        for (const auto& a : blobs) {
            if (a.first < 20 || a.second < 20 || a.first > w - 20 || a.second > h - 20) continue;
            double best = 1e9, angle = 0;
            for (const auto& b : blobs) {
                const double dx = b.first - a.first, dy = b.second - a.second, d = std::hypot(dx, dy);
                if (d > 0 && d < best) {
                    best = d;
                    angle = std::atan2(dy, dx) * 180 / M_PI;
                }
            }
            EXPECT_NEAR(best, 15, 1.5) << byte;
            const double off = std::fmod(angle - expected[byte - 1] + 720 + 45, 90.0) - 45;
            EXPECT_NEAR(off, 0, 4) << "byte " << byte << " angle " << angle;
            ++measured;
        }
        EXPECT_GT(measured, 20) << byte;
    }
}

TEST(ColorHalftone, ChannelsAreIndependentAndAlphaIsKept) {
    const int w = 37, h = 23;
    std::mt19937 rng(3);
    std::vector<uint8_t> a(size_t(w) * h * 4), b;
    for (auto& v : a)
        v = uint8_t(rng());
    b = a;
    for (size_t k = 0; k < b.size(); k += 4) {
        b[k + 1] = uint8_t(rng()); // red differs
        b[k] = uint8_t(rng());     // and so does alpha
    }
    const auto da = screened(a, w, h, 3.5f, 77), db = screened(b, w, h, 3.5f, 77);
    bool red_differs = false;
    for (size_t k = 0; k < da.size(); k += 4) {
        ASSERT_EQ(da[k], 77) << k;
        ASSERT_EQ(db[k], 77) << k;
        ASSERT_EQ(da[k + 2], db[k + 2]) << k;
        ASSERT_EQ(da[k + 3], db[k + 3]) << k;
        red_differs |= da[k + 1] != db[k + 1];
    }
    EXPECT_TRUE(red_differs);
}

TEST(ColorHalftone, OneThreadGivesTheSameSheet) {
    const int w = 61, h = 47;
    std::mt19937 rng(4);
    std::vector<uint8_t> src(size_t(w) * h * 4);
    for (auto& v : src)
        v = uint8_t(rng());
    // Each thread count cuts the screens into that many bands of rows, which dots straddle.
    for (const float size : {1.0f, 2.5f, 7.0f}) {
        graphics::setParallelThreads(1);
        const auto serial = screened(src, w, h, size);
        for (const unsigned threads : {2u, 3u, 8u}) {
            graphics::setParallelThreads(threads);
            EXPECT_TRUE(screened(src, w, h, size) == serial) << size << " " << threads;
        }
    }
    graphics::setParallelThreads(0);
}

TEST(ColorHalftone, SizesBelowOneActAsOne) {
    const int w = 19, h = 13;
    std::mt19937 rng(8);
    std::vector<uint8_t> src(size_t(w) * h * 4);
    for (auto& v : src)
        v = uint8_t(rng());
    const auto one = screened(src, w, h, 1);
    for (float size : {0.0f, -3.0f, 0.5f, std::nanf("")})
        EXPECT_TRUE(screened(src, w, h, size) == one) << size;
}

TEST(ColorHalftone, WhiteAtSizeTwoMarksOnlyDotCentres) {
    // Radius 1 pixel: the centre gets half ink (127); one pixel away the rim has faded out.
    const int w = 40, h = 30;
    const auto dst = screened(flat(w, h, 255), w, h, 2);
    int centres = 0;
    for (size_t k = 0; k < dst.size(); k += 4)
        for (int c = 1; c <= 3; ++c) {
            ASSERT_TRUE(dst[k + c] == 255 || dst[k + c] == 127) << int(dst[k + c]);
            centres += dst[k + c] == 127;
        }
    // One dot per 3 x 3 lattice cell in each channel.
    EXPECT_NEAR(centres / 3.0, w * h / 9.0, w * h / 9.0 * 0.2);
}

TEST(ColorHalftone, BlackAtSizeSixInksMostOfTheSheet) {
    const int w = 40, h = 30;
    const auto dst = screened(flat(w, h, 0), w, h, 6);
    int zeros = 0;
    for (size_t k = 0; k < dst.size(); k += 4)
        for (int c = 1; c <= 3; ++c)
            zeros += dst[k + c] == 0;
    EXPECT_GT(zeros, w * h * 3 / 2);
}

TEST(ColorHalftone, DotsCentredJustOutsideStillPrint) {
    // A single pixel: every lattice point lies off it, yet those within r print onto it.
    const auto dst = screened(flat(1, 1, 0), 1, 1, 4);
    for (int c = 1; c <= 3; ++c)
        EXPECT_LT(dst[c], 255) << c;
    EXPECT_EQ(dst[0], 77);
}

// A flat tone screens to the same ink along the first row and column as inside the sheet: no dark
// line along the top and left edges (negative positions once landed on pixel 0 as well).
TEST(ColorHalftone, FirstRowAndColumnGetNoExtraInk) {
    const int w = 300, h = 200;
    std::vector<uint8_t> src(size_t(w) * h * 4);
    for (size_t i = 0; i < src.size(); i += 4) {
        src[i + 1] = 200;
        src[i + 2] = 120;
        src[i + 3] = 60;
    }
    for (const float size : {1.5f, 3.5f}) {
        const auto dst = screened(src, w, h, size);
        // The red and green screens are turned, so every row and column crosses all phases of
        // their lattice; the blue screen's upright rows alternate between dots and gaps.
        for (int c = 1; c <= 2; ++c) {
            double sheet = 0, row = 0, column = 0;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    sheet += dst[(size_t(y) * w + x) * 4 + size_t(c)];
            for (int x = 0; x < w; ++x)
                row += dst[size_t(x) * 4 + size_t(c)];
            for (int y = 0; y < h; ++y)
                column += dst[size_t(y) * w * 4 + size_t(c)];
            sheet /= double(w) * h;
            EXPECT_NEAR(row / w, sheet, 4) << "top row, size " << size << ", channel " << c;
            EXPECT_NEAR(column / h, sheet, 4) << "left column, size " << size << ", channel " << c;
        }
    }
}

} // namespace
