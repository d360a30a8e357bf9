#include "kernels/denoise/nlmd/nlmeans.h"
#include "kernels/denoise/nlmd/noise_estimation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

TEST(QuickSort, SortsKeysAndCarriesTheOtherArray) {
    std::mt19937 rng(9);
    for (int n : {0, 1, 2, 6, 8, 100, 5000}) {
        for (int pattern = 0; pattern < 4; ++pattern) {
            std::vector<float> keys(static_cast<size_t>(n)), other(static_cast<size_t>(n));
            for (int i = 0; i < n; ++i) {
                keys[i] = pattern == 0   ? float(rng() % 1000)
                          : pattern == 1 ? float(i)
                          : pattern == 2 ? float(n - i)
                                         : float(rng() % 3); // many equal keys
                other[i] = float(i);
            }
            const std::vector<float> original = keys;
            ASSERT_TRUE(quick_sort(keys.data(), other.data(), n));
            EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end())) << n << " pattern " << pattern;
            std::vector<float> seen = other;
            std::sort(seen.begin(), seen.end());
            for (int i = 0; i < n; ++i) {
                EXPECT_EQ(seen[i], float(i)); // a permutation
                EXPECT_EQ(keys[i], original[size_t(other[i])]);
            }
        }
    }
}

// Two flat halves, 50 and 200, with gaussian noise of the given spread.
std::vector<float> two_level_plane(int w, int h, float sigma, unsigned seed) {
    std::mt19937 rng(seed);
    std::normal_distribution<float> noise(0.0f, sigma);
    std::vector<float> p(size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p[size_t(y) * w + x] = (x < w / 2 ? 50.0f : 200.0f) + noise(rng);
    return p;
}

TEST(NoiseEstimation, FindsTheNoiseOfEachIntensity) {
    const int w = 211, h = 120;
    const auto plane = two_level_plane(w, h, 5.0f, 21);
    for (bool equal_counts : {false, true}) {
        float noise[2], level[2];
        ASSERT_TRUE(noise_estimation_algorithm(plane.data(), w, h, 15, 0.01f, 2, equal_counts, noise, level));
        EXPECT_NEAR(level[0], 50.0f, 3.0f);
        EXPECT_NEAR(level[1], 200.0f, 3.0f);
        for (float n : noise)
            EXPECT_NEAR(n, 5.0f, 0.75f);
    }
}

TEST(NoiseEstimation, EmptyBinsAndRefusals) {
    const int w = 85, h = 42; // four block columns, the edge between the second and third
    const auto plane = two_level_plane(w, h, 2.0f, 3);
    float noise[3], level[3];
    // Equal steps between 50 and 200: the middle bin has no block.
    ASSERT_TRUE(noise_estimation_algorithm(plane.data(), w, h, 21, 0.005f, 3, false, noise, level));
    EXPECT_EQ(noise[1], -1.0f);
    EXPECT_GT(noise[0], 0.0f);
    EXPECT_GT(noise[2], 0.0f);

    float untouched[1] = {42.0f};
    struct Bad {
        int block;
        float percentile;
        int w, h, bins;
    } cases[] = {{15, 0.02f, w, h, 1}, {17, 0.01f, w, h, 1}, {21, 0.01f, 21, h, 1}, {15, 0.01f, w, h, 0}};
    for (const auto& c : cases) {
        EXPECT_FALSE(noise_estimation_algorithm(plane.data(), c.w, c.h, c.block, c.percentile, c.bins, true,
                                                untouched, untouched));
        EXPECT_EQ(untouched[0], 42.0f);
    }
}

TEST(NoiseEstimation, DerivativeKeepsTheSpreadOfOneSample) {
    const float image[6] = {1, 3, 7, 0, 0, 2};
    float d[4];
    noise_estimate_compute_derivative(image, 3, 2, d);
    const float expected[4] = {2 / 1.4142135f, 4 / 1.4142135f, 0.0f, 2 / 1.4142135f};
    for (int i = 0; i < 4; ++i)
        EXPECT_FLOAT_EQ(d[i], expected[i]);
}

TEST(NlmeansHelpers, NormalizeAndWeightedDistance) {
    std::vector<float> k = {1, 2, 1, 2, 4, 2, 1, 2, 1};
    normalize(k.data(), 9);
    EXPECT_FLOAT_EQ(k[4], 0.25f);
    std::vector<float> zero = {0, 0};
    normalize(zero.data(), 2);
    EXPECT_EQ(zero, (std::vector<float>{0, 0}));

    // Two 3 x 3 patches side by side in a 6 x 3 plane, differing by 2 at the centre only.
    std::vector<float> plane(18, 5.0f);
    plane[size_t(1 * 6 + 4)] = 7.0f;
    EXPECT_FLOAT_EQ(weighted_l2_distance(plane.data(), 1, 1, 4, 1, k.data(), 1, 6), 0.25f * 4.0f);
}

struct Rgb {
    std::vector<float> r, g, b;
};

// A vertical step edge, 60 | 190 in every channel, with gaussian noise.
Rgb noisy_step(int w, int h, float sigma, unsigned seed, Rgb* clean = nullptr) {
    std::mt19937 rng(seed);
    std::normal_distribution<float> noise(0.0f, sigma);
    Rgb img{std::vector<float>(size_t(w) * h), std::vector<float>(size_t(w) * h),
            std::vector<float>(size_t(w) * h)};
    if (clean) *clean = img;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const size_t i = size_t(y) * w + x;
            const float base = x < w / 2 ? 60.0f : 190.0f;
            img.r[i] = std::round(base + noise(rng));
            img.g[i] = std::round(base + noise(rng));
            img.b[i] = std::round(base + noise(rng));
            if (clean) clean->r[i] = clean->g[i] = clean->b[i] = base;
        }
    return img;
}

double rms(const std::vector<float>& a, const std::vector<float>& b, int w, int h, int margin) {
    double s = 0;
    int n = 0;
    for (int y = margin; y < h - margin; ++y)
        for (int x = margin; x < w - margin; ++x) {
            const double d = a[size_t(y) * w + x] - b[size_t(y) * w + x];
            s += d * d;
            ++n;
        }
    return std::sqrt(s / n);
}

std::vector<uint8_t> bytes(const std::vector<float>& v) {
    return {v.begin(), v.end()};
}

// Runs a three-plane variant by name; the 8-bit one through byte planes.
Rgb run_variant(const std::string& name, const Rgb& in, int w, int h, float sigma) {
    Rgb out{std::vector<float>(in.r.size()), std::vector<float>(in.r.size()),
            std::vector<float>(in.r.size())};
    if (name == "org") {
        EXPECT_TRUE(nlmeans_org(1, 3, false, nullptr, 0, 1.0f, sigma, sigma, sigma, in.r.data(), in.g.data(),
                                in.b.data(), out.r.data(), out.g.data(), out.b.data(), w, h));
    } else if (name == "org kernel") {
        const float k[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
        EXPECT_TRUE(nlmeans_org(1, 3, true, k, 3, 1.0f, sigma, sigma, sigma, in.r.data(), in.g.data(),
                                in.b.data(), out.r.data(), out.g.data(), out.b.data(), w, h));
    } else if (name == "sliding") {
        EXPECT_TRUE(nlmeans_sliding_window(1, 3, 1.0f, sigma, sigma, sigma, in.r.data(), in.g.data(),
                                           in.b.data(), out.r.data(), out.g.data(), out.b.data(), w, h));
    } else {
        auto r = bytes(in.r), g = bytes(in.g), b = bytes(in.b);
        std::vector<uint8_t> orr(r.size()), og(r.size()), ob(r.size());
        EXPECT_TRUE(nlmeans_int(1, 3, 1.0f, sigma, sigma, sigma, r.data(), g.data(), b.data(), orr.data(),
                                og.data(), ob.data(), w, h));
        out = {{orr.begin(), orr.end()}, {og.begin(), og.end()}, {ob.begin(), ob.end()}};
    }
    return out;
}

TEST(NlmeansVariants, ReduceNoiseAndKeepTheEdge) {
    const int w = 40, h = 24, margin = 4; // patch 1 + search 3
    Rgb clean;
    const Rgb noisy = noisy_step(w, h, 8.0f, 17, &clean);
    for (const std::string name : {"org", "org kernel", "sliding", "int"}) {
        SCOPED_TRACE(name);
        const Rgb out = run_variant(name, noisy, w, h, 8.0f);
        EXPECT_LT(rms(out.r, clean.r, w, h, margin), 0.6 * rms(noisy.r, clean.r, w, h, margin));
        double left = 0, right = 0;
        for (int y = margin; y < h - margin; ++y) {
            left += out.g[size_t(y) * w + w / 2 - 1];
            right += out.g[size_t(y) * w + w / 2];
        }
        EXPECT_GT((right - left) / (h - 2 * margin), 115.0);
        // The margin gathers no weight in the triangle variants and keeps its input.
        if (name != "sliding") {
            EXPECT_EQ(out.b[5], noisy.b[5]);
        }
    }
}

TEST(NlmeansVariants, FlatImagesStayFlat) {
    const int w = 12, h = 11;
    const Rgb flat{std::vector<float>(size_t(w) * h, 100.0f), std::vector<float>(size_t(w) * h, 30.0f),
                   std::vector<float>(size_t(w) * h, 200.0f)};
    for (const std::string name : {"org", "org kernel", "sliding", "int"}) {
        const Rgb out = run_variant(name, flat, w, h, 5.0f);
        for (size_t i = 0; i < flat.r.size(); ++i) {
            ASSERT_FLOAT_EQ(out.r[i], 100.0f) << name;
            ASSERT_FLOAT_EQ(out.g[i], 30.0f) << name;
            ASSERT_FLOAT_EQ(out.b[i], 200.0f) << name;
        }
    }
}

TEST(NlmeansVariants, SinglePlaneMixesItsInputBackIn) {
    // With h = 0 a candidate weighs 1 below 2 sigma^2 and is skipped otherwise, in both
    // forms, so the single-plane result is the three-plane one mixed 0.85 / 0.15 with the input.
    const int w = 20, h = 16;
    const Rgb img = noisy_step(w, h, 6.0f, 5);
    std::vector<float> single(img.r.size()), r(img.r.size()), g(img.r.size()), b(img.r.size());
    ASSERT_TRUE(nlmeans(1, 2, false, nullptr, 0, 0.0f, 6.0f, img.r.data(), single.data(), w, h));
    ASSERT_TRUE(nlmeans_org(1, 2, false, nullptr, 0, 0.0f, 6.0f, 6.0f, 6.0f, img.r.data(), img.r.data(),
                            img.r.data(), r.data(), g.data(), b.data(), w, h));
    int changed = 0;
    for (size_t i = 0; i < single.size(); ++i) {
        EXPECT_NEAR(single[i], 0.85f * r[i] + 0.15f * img.r[i], 1e-3) << i;
        changed += r[i] != img.r[i];
    }
    EXPECT_GT(changed, w * h / 4);
}

TEST(NlmeansVariants, IntegerFormCountsPairsAndNeedsNoise) {
    const int w = 13, h = 10, m = 1 + 2;
    const Rgb img = noisy_step(w, h, 6.0f, 8);
    auto r = bytes(img.r), g = bytes(img.g), b = bytes(img.b);
    std::vector<uint8_t> orr(r.size()), og(r.size()), ob(r.size());
    testing::internal::CaptureStdout();
    // Sigma 0: both thresholds are 0, every pair is compared and none is used.
    ASSERT_TRUE(nlmeans_int(1, 2, 1.0f, 0, 0, 0, r.data(), g.data(), b.data(), orr.data(), og.data(),
                            ob.data(), w, h));
    const std::string printed = testing::internal::GetCapturedStdout();
    const unsigned pairs = unsigned((w - 2 * m) * (h - 2 * m) * 9);
    EXPECT_EQ(printed, "all_n: " + std::to_string(pairs) + "\nuse_n: 0\n");
    EXPECT_EQ(orr, r);
    EXPECT_EQ(ob, b);
}

TEST(NlmeansVariants, RefuseBadArguments) {
    std::vector<float> p(64, 1.0f), out(64, 9.0f);
    const float k[4] = {1, 1, 1, 1};
    EXPECT_FALSE(nlmeans(1, 2, true, k, 2, 1.0f, 1.0f, p.data(), out.data(), 8, 8)); // kernel not 3 x 3
    EXPECT_FALSE(nlmeans(1, 2, true, nullptr, 3, 1.0f, 1.0f, p.data(), out.data(), 8, 8));
    EXPECT_FALSE(nlmeans(-1, 2, false, nullptr, 0, 1.0f, 1.0f, p.data(), out.data(), 8, 8));
    EXPECT_FALSE(nlmeans(1, 2, false, nullptr, 0, 1.0f, 1.0f, nullptr, out.data(), 8, 8));
    EXPECT_FALSE(nlmeans_sliding_window(1, 2, 1, 1, 1, 1, p.data(), p.data(), nullptr, out.data(), out.data(),
                                        out.data(), 8, 8));
    EXPECT_EQ(out, std::vector<float>(64, 9.0f));
}

} // namespace
