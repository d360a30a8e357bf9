// Neighbourhood reads of the working image and the luminance histogram.
#include "engine/Neighbourhood.h"

#include "support/StubEffects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr float k255 = 1.0f / 255.0f;

void expectNear(pixel_t actual, pixel_t expected, float tolerance, const std::string& what) {
    EXPECT_NEAR(actual.r, expected.r, tolerance) << what;
    EXPECT_NEAR(actual.g, expected.g, tolerance) << what;
    EXPECT_NEAR(actual.b, expected.b, tolerance) << what;
}

// Installs a working image made from colour and frees it at the end.
class Neighbourhood : public ::testing::Test {
  protected:
    void install(int w, int h, const std::function<Rgb(int, int)>& colour) {
        PostProcess::global_clean();
        ASSERT_TRUE(PostProcess::global_pre_init(makeSourceImage(w, h, colour)));
    }
    static Rgb grey(uint8_t v) { return {v, v, v}; }
    WorkingImageGuard guard_;
};

// Straightforward double-precision means to compare the blurs with.
pixel_t referenceMean(const std::vector<std::pair<int, int>>& positions) {
    double r = 0, g = 0, b = 0;
    for (auto [x, y] : positions) {
        const Rgb c = patternColour(x, y);
        r += c.r;
        g += c.g;
        b += c.b;
    }
    const double n = double(positions.size()) * 255.0;
    return {float(r / n), float(g / n), float(b / n)};
}

TEST_F(Neighbourhood, SaturationMovesAwayFromTheWeightedGrey) {
    const pixel_t grey = do_saturation({1, 0, 0}, 0);
    EXPECT_EQ(grey.r, 0.33f);
    EXPECT_EQ(grey.g, 0.33f);
    EXPECT_EQ(grey.b, 0.33f);
    expectNear(do_saturation({1, 0, 0}, 2), {1.67f, -0.33f, -0.33f}, 1e-6f, "k = 2");
    expectNear(do_saturation({0.2f, 0.5f, 0.9f}, 1), {0.2f, 0.5f, 0.9f}, 1e-6f, "k = 1");
    // White is not kept white: the weights add up to 1.03.
    expectNear(do_saturation({1, 1, 1}, 0), {1.03f, 1.03f, 1.03f}, 1e-6f, "white");
}

TEST_F(Neighbourhood, EightNeighbourBlurSkipsWhatLiesOutside) {
    const int w = 7, h = 6;
    install(w, h, patternColour);
    for (float radius : {1.0f, 2.5f}) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                std::vector<std::pair<int, int>> used;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int sx = int(dx * radius + x), sy = int(dy * radius + y);
                        if ((dx || dy) && sx >= 0 && sy >= 0 && sx < w && sy < h) used.push_back({sx, sy});
                    }
                expectNear(do_blur(x, y, radius), referenceMean(used), 2e-6f,
                           "at " + std::to_string(x) + "," + std::to_string(y) + " radius " +
                               std::to_string(radius));
            }
    }
    // The corner averages exactly E, S and SE, summed in that order.
    const pixel_t e = PostProcess::get_source_pixel(1, 0), s = PostProcess::get_source_pixel(0, 1),
                  se = PostProcess::get_source_pixel(1, 1);
    const pixel_t corner = do_blur(0, 0, 1);
    EXPECT_EQ(corner.r, (e.r + s.r + se.r) * (1.0f / 3.0f));
    EXPECT_EQ(corner.b, (e.b + s.b + se.b) * (1.0f / 3.0f));

    // A radius that puts every neighbour outside gives black, as does a radius that is not a number.
    expectNear(do_blur(3, 3, 50.0f), {0, 0, 0}, 0, "all outside");
    expectNear(do_blur(3, 3, std::numeric_limits<float>::quiet_NaN()), {0, 0, 0}, 0, "NaN radius");
}

// The eight-neighbour mean as first written: every position truncated from single precision and
// tested, the samples summed in neighbour order and divided by their count.
pixel_t plainEightNeighbourMean(const uint8_t* data, int w, int h, int x, int y, float radius) {
    constexpr int kOffsets[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};
    float r = 0.0f, g = 0.0f, b = 0.0f;
    int n = 0;
    for (const auto& o : kOffsets) {
        const float fx = float(o[0]) * radius + float(x), fy = float(o[1]) * radius + float(y);
        if (!(fx > -1e9f && fx < 1e9f && fy > -1e9f && fy < 1e9f)) continue;
        const int sx = int(fx), sy = int(fy);
        if (sx < 0 || sy < 0 || sx >= w || sy >= h) continue;
        const uint8_t* p = data + (size_t(sy) * size_t(w) + size_t(sx)) * 4;
        r += float(p[1]) * k255;
        g += float(p[2]) * k255;
        b += float(p[3]) * k255;
        ++n;
    }
    if (n == 0) return {0.0f, 0.0f, 0.0f};
    const float inv = 1.0f / float(n);
    return {r * inv, g * inv, b * inv};
}

// Whole-pixel radii inside the picture take a shorter path: it must give the plain loop's floats
// exactly, on noise and on flat areas (whose sums lie a hair off whole levels), near the edges, for
// fractional, negative and huge radii.
TEST_F(Neighbourhood, EightNeighbourBlurGivesThePlainLoopsFloatsExactly) {
    uint32_t state = 12345;
    const auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    const struct {
        int w, h;
        bool flat;
    } shapes[] = {{1, 1, false}, {5, 3, false},   {23, 17, false},
                  {64, 9, true}, {31, 40, false}, {40, 31, true}};
    const float radii[] = {0.0f, 1.0f, 2.0f, 3.0f, 4.0f, 7.0f, 15.0f, -2.0f, 1.5f, 2.999f, 1e7f, 3e9f};
    for (const auto& shape : shapes) {
        std::vector<uint8_t> data(size_t(shape.w) * size_t(shape.h) * 4);
        for (size_t i = 0; i < data.size(); ++i)
            data[i] = shape.flat ? uint8_t(i % 4 == 1 ? 77 : (i % 4 == 2 ? 128 : 201)) : uint8_t(next());
        for (float radius : radii)
            for (int y = 0; y < shape.h; ++y)
                for (int x = 0; x < shape.w; ++x) {
                    const pixel_t fast = do_blur_data(data.data(), shape.w, shape.h, x, y, radius);
                    const pixel_t plain =
                        plainEightNeighbourMean(data.data(), shape.w, shape.h, x, y, radius);
                    const std::string at = std::to_string(shape.w) + "x" + std::to_string(shape.h) + " at " +
                                           std::to_string(x) + "," + std::to_string(y) + " radius " +
                                           std::to_string(radius);
                    EXPECT_EQ(fast.r, plain.r) << at;
                    EXPECT_EQ(fast.g, plain.g) << at;
                    EXPECT_EQ(fast.b, plain.b) << at;
                }
    }
}

TEST_F(Neighbourhood, BlurOfAGivenBufferUsesItsOwnSize) {
    install(2, 2, [](int, int) { return Rgb{0, 0, 0}; });
    // A 3 x 2 buffer unrelated to the working image: only its own pixels count.
    const uint8_t data[] = {255, 30,  0, 0, 255, 60,  0, 0, 255, 90,  0, 0,
                            255, 120, 0, 0, 255, 150, 0, 0, 255, 180, 0, 0};
    const pixel_t p = do_blur_data(data, 3, 2, 2, 1, 1.0f); // W, NW, N
    EXPECT_NEAR(p.r, (150.0f + 60.0f + 90.0f) / 3.0f / 255.0f, 1e-6f);
    EXPECT_EQ(do_blur_data(nullptr, 3, 2, 1, 1, 1.0f).r, 0.0f);
}

TEST_F(Neighbourhood, BoxBlurClampsIntoTheImage) {
    const int w = 7, h = 6;
    install(w, h, patternColour);
    for (int r : {1, 2, 4})
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                std::vector<std::pair<int, int>> used;
                for (int sx = x - r; sx < x + r; ++sx)
                    for (int sy = y - r; sy < y + r; ++sy)
                        used.push_back({std::clamp(sx, 0, w - 1), std::clamp(sy, 0, h - 1)});
                expectNear(do_blur2(x, y, r), referenceMean(used), 2e-6f,
                           "at " + std::to_string(x) + "," + std::to_string(y) + " r " + std::to_string(r));
            }
    const pixel_t origin = PostProcess::get_source_pixel(0, 0);
    const pixel_t p = do_blur2(0, 0, 1);
    EXPECT_FLOAT_EQ(p.r, origin.r);
    EXPECT_FLOAT_EQ(p.g, origin.g);
    expectNear(do_blur2(3, 3, 0), {0, 0, 0}, 0, "r = 0");
}

TEST_F(Neighbourhood, SparseBoxBlurTakesAnIntegerMean) {
    const int w = 7, h = 6;
    install(w, h, patternColour);
    struct Case {
        int x, y, r, step;
    };
    for (const Case& c : {Case{2, 2, 2, 3}, Case{0, 0, 2, 1}, Case{6, 5, 3, 2}, Case{3, 3, 1, 1}}) {
        int sum[3] = {0, 0, 0}, n = 0;
        for (int sx = c.x - c.r; sx < c.x + c.r; sx += c.step)
            for (int sy = c.y - c.r; sy < c.y + c.r; sy += c.step)
                if (sx >= 0 && sy >= 0 && sx < w && sy < h) {
                    const Rgb p = patternColour(sx, sy);
                    sum[0] += p.r;
                    sum[1] += p.g;
                    sum[2] += p.b;
                    ++n;
                }
        ASSERT_GT(n, 0);
        const pixel_t expected{float((sum[0] / n) / 255.0), float((sum[1] / n) / 255.0),
                               float((sum[2] / n) / 255.0)};
        const pixel_t got = do_blur3(c.x, c.y, c.r, c.step);
        EXPECT_EQ(got.r, expected.r) << c.x << "," << c.y;
        EXPECT_EQ(got.g, expected.g) << c.x << "," << c.y;
        EXPECT_EQ(got.b, expected.b) << c.x << "," << c.y;
    }
    // Step 3 from (0, 0) skips the centre (2, 2): only the four corners of the 4 x 4 window count.
    const pixel_t skip = do_blur3(2, 2, 2, 3);
    const int corners =
        patternColour(0, 0).r + patternColour(3, 0).r + patternColour(0, 3).r + patternColour(3, 3).r;
    EXPECT_EQ(skip.r, float((corners / 4) / 255.0));
    expectNear(do_blur3(3, 3, 0, 1), {0, 0, 0}, 0, "empty window");
    expectNear(do_blur3(3, 3, 1, 0), do_blur3(3, 3, 1, 1), 0, "step 0 counts as 1");
}

TEST_F(Neighbourhood, EdgeDetectionFindsSteps) {
    struct Case {
        const char* name;
        std::function<Rgb(int, int)> colour;
        int x, y;
        float scale;
        float expected;
    };
    const Case cases[] = {
        {"uniform",
         [](int, int) {
             return Rgb{90, 90, 90};
         },
         4, 3, 1, 0.0f},
        {"uniform corner",
         [](int, int) {
             return Rgb{90, 90, 90};
         },
         0, 0, 2, 0.0f},
        {"vertical step to white",
         [](int x, int) {
             return x < 4 ? Rgb{0, 0, 0} : Rgb{255, 255, 255};
         },
         4, 3, 1, 1.0f},
        {"vertical step to 51",
         [](int x, int) {
             return x < 4 ? Rgb{0, 0, 0} : Rgb{51, 51, 51};
         },
         3, 3, 1, 0.8f},
        {"horizontal step",
         [](int, int y) {
             return y < 3 ? Rgb{0, 0, 0} : Rgb{10, 20, 30};
         },
         2, 3, 1, 80.0f / 255.0f},
        {"step beyond the edge, clamped",
         [](int x, int) {
             return x < 7 ? Rgb{0, 0, 0} : Rgb{51, 51, 51};
         },
         7, 2, 3, 0.8f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        install(8, 6, c.colour);
        EXPECT_NEAR(do_edge_detection(c.x, c.y, false, c.scale, 0, 0), c.expected, 1e-6f);
    }
}

TEST_F(Neighbourhood, RandomisedEdgeDetectionDrawsTwicePerSample) {
    install(9, 7, patternColour);
    Random::seed(42);
    const float randomised = do_edge_detection(4, 3, true, 2.0f, 1.0f, 1.0f);
    const long next = Random::random();
    Random::seed(42);
    for (int i = 0; i < 16; ++i)
        Random::random();
    EXPECT_EQ(Random::random(), next);
    EXPECT_EQ(randomised, do_edge_detection(4, 3, false, 2.0f, 0, 0));

    // The factor is a fraction of the range, not an integer quotient that is almost always min.
    install(9, 7, [](int x, int) { return x < 4 ? Rgb{0, 0, 0} : Rgb{255, 255, 255}; });
    int edges = 0;
    for (int i = 0; i < 50; ++i)
        edges += do_edge_detection(4, 3, true, 3.0f, 0.0f, 1.0f) > 0.0f;
    EXPECT_GT(edges, 25);
}

TEST_F(Neighbourhood, TestEdgeDetectionReadsOutsideAsBlack) {
    install(8, 6, [](int, int) { return Rgb{10, 10, 10}; });
    EXPECT_EQ(do_test_edge_detection(4, 3, false, 1, 0, 0), 0.0f);
    // At the left edge the three western samples are black: Gx = 7 grey, Gy = 0.
    const float g = float(double(float(30.0 / 255.0)) * (1.0 / 3.0));
    EXPECT_NEAR(do_test_edge_detection(0, 3, false, 1, 0, 0), 7.0f * g, 1e-6f);
    install(8, 6, [](int x, int) { return x < 4 ? Rgb{0, 0, 0} : Rgb{255, 255, 255}; });
    EXPECT_EQ(do_test_edge_detection(4, 3, false, 1, 0, 0), 1.0f);
}

TEST_F(Neighbourhood, SmallFiltersReadOutsideAsBlack) {
    install(5, 4, [](int, int) { return Rgb{100, 100, 100}; });
    const float v = 100.0f * k255;
    expectNear(do_sharpen(2, 2), {0, 0, 0}, 1e-6f, "sharpen, uniform");
    expectNear(do_sharpen(0, 0), {5 * v * 0.125f, 5 * v * 0.125f, 5 * v * 0.125f}, 1e-6f, "sharpen, corner");
    expectNear(get_blur_pixel(2, 2), {v, v, v}, 1e-6f, "blur pixel, inside");
    expectNear(get_blur_pixel(0, 0), {3 * v / 5, 3 * v / 5, 3 * v / 5}, 1e-6f, "blur pixel, corner");
}

TEST_F(Neighbourhood, FlatAndRegionStatistics) {
    install(6, 6, patternColour);
    const pixel_t min = get_flat(3, 3, 1, 1, false); // columns 1..2, rows 1..2, either corner order
    const pixel_t max = get_flat(1, 1, 3, 3, true);
    float lo = 1, hi = 0;
    for (int y = 1; y < 3; ++y)
        for (int x = 1; x < 3; ++x) {
            lo = std::min(lo, patternColour(x, y).r * k255);
            hi = std::max(hi, patternColour(x, y).r * k255);
        }
    EXPECT_EQ(min.r, lo);
    EXPECT_EQ(max.r, hi);
    // Clamped: a window past the right edge reads the last column.
    EXPECT_EQ(get_flat(8, 0, 10, 1, true).g, patternColour(5, 0).g * k255);
    expectNear(get_flat(2, 2, 2, 5, false), {1, 1, 1}, 0, "empty window keeps the start");

    install(6, 6, [](int x, int) { return Rgb{uint8_t(x < 3 ? 51 : 102), 0, 0}; });
    float info[6];
    get_region_info(info, 0, 0, 3, 3);
    EXPECT_NEAR(info[0], 0.2f, 1e-6f);
    EXPECT_NEAR(info[3], 0.0f, 1e-5f);
    get_region_info(info, -3, 0, 3, 3); // half outside: black samples count
    EXPECT_NEAR(info[0], 0.1f, 1e-6f);
    EXPECT_NEAR(info[3], (0.36f * 18 - 1.8f * 1.8f) / 18, 1e-5f); // n times the variance
    get_region_info(info, 2, 2, 2, 2);
    for (float f : info)
        EXPECT_EQ(f, 0.0f);
}

TEST_F(Neighbourhood, KuwaharaTakesTheCalmestQuadrant) {
    // Only the quadrant right of and above (3, 3), columns 3..5 by rows 0..2, is uniform.
    install(7, 7, [](int x, int y) {
        if (x >= 3 && x <= 5 && y <= 2) return Rgb{120, 60, 30};
        return patternColour(x, y);
    });
    expectNear(do_kuwahara(3, 3), {120 * k255, 60 * k255, 30 * k255}, 1e-6f, "quadrant D");
}

TEST_F(Neighbourhood, HistogramCountsLuminanceAndFindsOccupiedBounds) {
    // 44 greys: 10 of 50 (not above the threshold), 20 of 100, 11 of 200, 3 of 250.
    const auto colour = [](int x, int y) {
        const int i = y * 11 + x;
        return grey(uint8_t(i < 10 ? 50 : i < 30 ? 100 : i < 41 ? 200 : 250));
    };
    PostProcess effect;
    effect.build_histogram_table(makeSourceImage(11, 4, colour));
    EXPECT_EQ(g_histogram_table[50], 10u);
    EXPECT_EQ(g_histogram_table[100], 20u);
    EXPECT_EQ(g_histogram_table[200], 11u);
    EXPECT_EQ(g_histogram_table[250], 3u);
    uint64_t total = 0;
    for (uint64_t c : g_histogram_table)
        total += c;
    EXPECT_EQ(total, 44u);
    EXPECT_EQ(effect.get_histogramm_auto_low(), 100);
    EXPECT_EQ(effect.get_histogramm_auto_high(), 200);

    effect.build_histogram_table(makeSourceImage(3, 3, colour)); // nine pixels: no bin occupied
    EXPECT_EQ(effect.get_histogramm_auto_low(), 0);
    EXPECT_EQ(effect.get_histogramm_auto_high(), 0);
    effect.build_histogram_table(nullptr);
    EXPECT_EQ(g_histogram_table[50], 0u);
}

TEST_F(Neighbourhood, LevelsStretchKeepsChroma) {
    PostProcess effect;
    const auto pixels = [](std::initializer_list<Rgb> colours) {
        std::vector<uint8_t> bytes;
        for (const Rgb& c : colours)
            bytes.insert(bytes.end(), {255, c.r, c.g, c.b});
        return bytes;
    };
    std::vector<uint8_t> img = pixels({{40, 40, 40}, {125, 125, 125}, {200, 100, 50}, {250, 250, 250}});
    effect.adjust_image_histogramm(img.data(), 2, 2, 50, 200);
    // Luminance 40 is below the range; 125 maps to 128; 250 above it maps to 255.
    EXPECT_EQ(img, pixels({{0, 0, 0}, {127, 127, 127}, {204, 102, 51}, {254, 254, 254}}));

    // The full range maps luminance to itself; the half added to it costs a saturated channel up
    // to two steps.
    const std::vector<uint8_t> original = pixels({{0, 0, 0}, {17, 90, 200}, {128, 128, 128}, {255, 254, 1}});
    std::vector<uint8_t> identity = original;
    effect.adjust_image_histogramm(identity.data(), 4, 1, 0, 256);
    for (size_t i = 0; i < identity.size(); ++i)
        EXPECT_NEAR(identity[i], original[i], 2) << "byte " << i;

    // Bounds past the table or an empty range leave the pixels alone; others are limited to it.
    for (auto [low, high] : {std::pair{200, 50}, {300, 400}, {256, 256}}) {
        img = original;
        effect.adjust_image_histogramm(img.data(), 4, 1, low, high);
        EXPECT_EQ(img, original) << low << ".." << high;
    }
    img = original;
    effect.adjust_image_histogramm(img.data(), 4, 1, -20, 900);
    EXPECT_EQ(img, identity);
}

} // namespace
