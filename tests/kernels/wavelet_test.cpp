#include "kernels/denoise/wavelets/wav2d.h"
#include "kernels/denoise/wavelets/wavelet_alloc.h"
#include "kernels/denoise/wavelets/wavelet_denoise.h"

#include "kernels/WaveletPlane.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

struct BankCase {
    char name;
    int taps;
    bool periodic;
};

constexpr BankCase kBanks[] = {{'H', 0, true}, {'A', 0, false}, {'D', 9, false},
                               {'D', 8, true}, {'N', 0, true},  {'N', -1, true}};

WaveletBank bank_of(const BankCase& b) {
    WaveletBank bank;
    EXPECT_TRUE(choose_filter(b.name, b.taps, bank));
    return bank;
}

TEST(WaveletTransform, ReconstructsItsInput) {
    for (const BankCase& b : kBanks) {
        const WaveletBank bank = bank_of(b);
        // Mirrored banks take any size; periodic ones need sizes divisible by 2^levels.
        const int w = b.periodic ? 48 : 37, h = b.periodic ? 32 : 29;
        for (bool packets : {false, true})
            for (int sx = 0; sx < 2; ++sx)
                for (int sy = 0; sy < 2; ++sy) {
                    SCOPED_TRACE(std::string(1, b.name) + std::to_string(b.taps) +
                                 (packets ? " packets" : "") + " shift " + std::to_string(sx) + "," +
                                 std::to_string(sy));
                    Plane in(w, h), p(w, h);
                    in.fill_random(unsigned(b.name + b.taps));
                    p.copy_from(in);
                    auto run = packets ? wavpack2d_inpl : wav2d_inpl;
                    ASSERT_TRUE(run(p.rows, h, w, 4, bank, true, sx, sy));
                    EXPECT_GT(p.max_difference(in), 1.0); // the transform did something
                    ASSERT_TRUE(run(p.rows, h, w, 4, bank, false, sx, sy));
                    EXPECT_LT(p.max_difference(in), 1e-3) << p.max_difference(in);
                }
    }
}

TEST(WaveletTransform, OrthogonalBanksKeepEnergyAndFlatImagesHaveNoDetail) {
    for (const BankCase& b : kBanks) {
        if (!b.periodic) continue;
        const WaveletBank bank = bank_of(b);
        Plane p(32, 32);
        p.fill_random(7);
        const double before = p.energy();
        ASSERT_TRUE(wav2d_inpl(p.rows, 32, 32, 3, bank, true, 0, 0));
        EXPECT_NEAR(p.energy() / before, 1.0, 1e-5) << b.name;

        Plane flat(32, 32);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                flat.rows[y][x] = 100.0f;
        ASSERT_TRUE(wav2d_inpl(flat.rows, 32, 32, 1, bank, true, 1, 0));
        // One level: the low-low corner is 16 x 16 and holds 2 x 100, the rest is 0.
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                EXPECT_NEAR(flat.rows[y][x], x < 16 && y < 16 ? 200.0f : 0.0f, 1e-3)
                    << b.name << x << "," << y;
    }
}

TEST(WaveletTransform, RefusesWhatItCannotReconstruct) {
    WaveletBank bank;
    ASSERT_TRUE(choose_filter('H', 0, bank));
    Plane p(24, 20); // 20 -> 10 -> 5: odd at the third level
    p.fill_random(3);
    Plane copy(24, 20);
    copy.copy_from(p);
    EXPECT_FALSE(wav2d_inpl(p.rows, 20, 24, 3, bank, true, 0, 0));
    EXPECT_FALSE(wavpack2d_inpl(p.rows, 20, 24, 3, bank, true, 0, 0));
    EXPECT_EQ(p.max_difference(copy), 0.0);
    EXPECT_TRUE(wav2d_inpl(p.rows, 20, 24, 2, bank, true, 0, 0));
}

TEST(LineExtension, MirrorsAndWraps) {
    struct Case {
        int phase;                   // -1: periodic
        std::vector<float> expected; // 3 before, the line 1 2 3 4, 3 after
    } cases[] = {
        {0, {4, 3, 2, 1, 2, 3, 4, 3, 2, 1}},
        {1, {3, 2, 1, 1, 2, 3, 4, 4, 3, 2}},
        {2, {4, 3, 2, 1, 2, 3, 4, 4, 3, 2}},
        {-1, {2, 3, 4, 1, 2, 3, 4, 1, 2, 3}},
    };
    for (const auto& c : cases) {
        std::vector<float> buf = {0, 0, 0, 1, 2, 3, 4, 0, 0, 0};
        if (c.phase < 0)
            extend_periodic(buf.data() + 3, 4, 3);
        else
            EXPECT_TRUE(extend_mirror(buf.data() + 3, 4, 3, c.phase));
        EXPECT_EQ(buf, c.expected) << "phase " << c.phase;
    }

    // Extensions longer than the line reflect again.
    std::vector<float> two = {0, 0, 0, 0, 5, 6, 0, 0, 0, 0};
    EXPECT_TRUE(extend_mirror(two.data() + 4, 2, 4, 0));
    EXPECT_EQ(two, (std::vector<float>{5, 6, 5, 6, 5, 6, 5, 6, 5, 6}));

    std::vector<float> one = {0, 0, 9, 0, 0};
    EXPECT_TRUE(extend_mirror(one.data() + 2, 1, 2, 0));
    EXPECT_EQ(one, (std::vector<float>{9, 9, 9, 9, 9}));

    std::vector<float> untouched = {0, 0, 1, 2, 0, 0};
    EXPECT_FALSE(extend_mirror(untouched.data() + 2, 2, 2, 3));
    EXPECT_EQ(untouched, (std::vector<float>{0, 0, 1, 2, 0, 0}));
}

TEST(WaveletDenoise, ThresholdAndRounding) {
    Plane p(4, 1);
    const float in[4] = {-2.0f, 1.5f, -1.5f, 0.0f};
    for (int x = 0; x < 4; ++x)
        p.rows[0][x] = in[x];
    EXPECT_EQ(hard_threshold(p.rows, 1, 4, 1.5f), 3);
    EXPECT_EQ(p.rows[0][0], -2.0f);
    EXPECT_EQ(p.rows[0][1], 0.0f);

    const float values[] = {-3.0f, 0.49f, 0.5f, 127.5f, 254.6f, 300.0f};
    const float rounded[] = {0.0f, 0.0f, 1.0f, 128.0f, 255.0f, 255.0f};
    Plane q(6, 1);
    for (int x = 0; x < 6; ++x)
        q.rows[0][x] = values[x];
    round_and_clip_to_0_255(q.rows, 1, 6);
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(q.rows[0][x], rounded[x]) << values[x];
}

std::vector<uint8_t> argb_image(int w, int h, unsigned seed, float sigma,
                                std::vector<uint8_t>* clean = nullptr) {
    std::mt19937 rng(seed);
    std::normal_distribution<float> noise(0.0f, sigma);
    std::vector<uint8_t> img(size_t(w) * h * 4);
    if (clean) clean->resize(img.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 4; ++c) {
                const size_t i = (size_t(y) * w + x) * 4 + c;
                const float base = c == 0 ? 77.0f : x < w / 2 ? 60.0f : 190.0f; // a vertical step edge
                img[i] = uint8_t(std::clamp(base + (c == 0 ? 0.0f : noise(rng)), 0.0f, 255.0f));
                if (clean) (*clean)[i] = uint8_t(base);
            }
    return img;
}

double rms_colour_error(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    double s = 0;
    size_t n = 0;
    for (size_t i = 0; i < a.size(); ++i)
        if (i % 4 != 0) {
            s += (double(a[i]) - b[i]) * (double(a[i]) - b[i]);
            ++n;
        }
    return std::sqrt(s / double(n));
}

TEST(WaveletDenoise, ZeroThresholdGivesBackTheImage) {
    const int w = 21, h = 13;
    const auto src = argb_image(w, h, 5, 40.0f);
    std::vector<uint8_t> dst(src.size(), 0);
    ASSERT_TRUE(denoise_wav(src.data(), w, h, w * 4, dst.data(), w * 4, 0.0f));
    for (size_t i = 0; i < src.size(); ++i)
        ASSERT_EQ(dst[i], i % 4 == 0 ? 0 : src[i]) << "byte " << i; // byte 0 is left alone
}

TEST(WaveletDenoise, RemovesNoiseAndKeepsAStepEdge) {
    const int w = 64, h = 48;
    std::vector<uint8_t> clean;
    const auto noisy = argb_image(w, h, 11, 12.0f, &clean);
    std::vector<uint8_t> dst(noisy.size(), 0);
    ASSERT_TRUE(denoise_wav(noisy.data(), w, h, w * 4, dst.data(), w * 4, 36.0f));

    const double before = rms_colour_error(noisy, clean), after = rms_colour_error(dst, clean);
    EXPECT_LT(after, 0.5 * before) << before << " -> " << after;

    // Mean red two columns either side of the edge.
    double left = 0, right = 0;
    for (int y = 0; y < h; ++y) {
        left += dst[(size_t(y) * w + w / 2 - 2) * 4 + 1];
        right += dst[(size_t(y) * w + w / 2 + 1) * 4 + 1];
    }
    EXPECT_GT((right - left) / h, 110.0);
}

TEST(WaveletDenoise, RejectsMissingBuffers) {
    std::vector<uint8_t> img(16, 3);
    EXPECT_FALSE(denoise_wav(nullptr, 2, 2, 8, img.data(), 8, 1.0f));
    EXPECT_FALSE(denoise_wav(img.data(), 2, 2, 8, nullptr, 8, 1.0f));
    EXPECT_FALSE(denoise_wav(img.data(), 0, 2, 8, img.data(), 8, 1.0f));
    EXPECT_EQ(img, std::vector<uint8_t>(16, 3));
}

TEST(WaveletAlloc, ZeroFillsAndRefusesImpossibleSizes) {
    float** z = allocate_2d_float(3, 5, 1);
    ASSERT_NE(z, nullptr);
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(z[y], z[0] + 5 * y);
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(z[y][x], 0.0f);
    }
    free_2d_float(z);

    int* ones = allocate_1d_int(4, 1);
    ASSERT_NE(ones, nullptr);
    EXPECT_EQ(ones[3], 0);
    std::free(ones);

    EXPECT_EQ(allocate_2d_double(INT_MAX, INT_MAX, 0), nullptr);
    EXPECT_EQ(allocate_2d_int(-1, 3, 0), nullptr);
    EXPECT_EQ(allocate_1d_uchar(-5, 0), nullptr);
}

} // namespace
