#include "kernels/denoise/wavelets/complex_wav.h"
#include "kernels/denoise/wavelets/wav2d.h"
#include "kernels/denoise/wavelets/wavelet_alloc.h"

#include "kernels/WaveletPlane.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <string>

namespace {

// Values in 0..1.
void fill_random(Plane& p, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> d(0.0f, 1.0f);
    for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x)
            p.rows[y][x] = d(rng);
}

// Smooth shading, a few gentle waves and a bright disc with a hard rim.
void fill_photo(Plane& p) {
    const float cx = 0.6f * float(p.w), cy = 0.4f * float(p.h), r = 0.25f * float(std::min(p.w, p.h));
    for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x) {
            const float fx = float(x) / float(p.w), fy = float(y) / float(p.h);
            float v = 0.25f + 0.3f * fx + 0.1f * std::sin(9.0f * fy) * std::cos(5.0f * fx);
            if ((float(x) - cx) * (float(x) - cx) + (float(y) - cy) * (float(y) - cy) < r * r) v += 0.35f;
            p.rows[y][x] = v;
        }
}

// The four coefficient sets of a transform.
struct Sets {
    int h = 0, w = 0;
    float** s[4] = {};
    Sets(int height, int width, int levels) {
        EXPECT_TRUE(complex_wav_size(height, width, levels, h, w));
        for (auto& a : s)
            a = allocate_2d_float(h, w, 1);
    }
    ~Sets() {
        for (auto& a : s)
            free_2d_float(a);
    }
    Sets(const Sets&) = delete;
    Sets& operator=(const Sets&) = delete;
};

using Forward = bool (*)(float**, int, int, int, float** const[4]);
using Inverse = bool (*)(float** const[4], int, int, int, float**);
struct Form {
    const char* name;
    Forward forw;
    Inverse inv;
};
const Form kForms[] = {{"plain", complex_wav_forw, complex_wav_inv},
                       {"packet", complex_wav_pack_forw, complex_wav_pack_inv}};

TEST(ComplexWavelet, SetsCoverThePlaneRoundedUpToTheCoarsestLevel) {
    struct Case {
        int h, w, levels, sh, sw;
    } cases[] = {
        {29, 37, 3, 32, 40}, {48, 64, 4, 48, 64}, {1, 1, 2, 4, 4}, {5, 3, 0, 5, 3}, {33, 40, 1, 34, 40}};
    for (const auto& c : cases) {
        int sh = 0, sw = 0;
        ASSERT_TRUE(complex_wav_size(c.h, c.w, c.levels, sh, sw));
        EXPECT_EQ(sh, c.sh);
        EXPECT_EQ(sw, c.sw);
    }
    int sh = -1, sw = -1;
    EXPECT_FALSE(complex_wav_size(0, 5, 1, sh, sw));
    EXPECT_FALSE(complex_wav_size(5, 5, -1, sh, sw));
    EXPECT_FALSE(complex_wav_size(5, 5, 25, sh, sw));
    EXPECT_FALSE(complex_wav_size(0x7ffffff0, 5, 8, sh, sw));
    EXPECT_EQ(sh, -1);
}

TEST(ComplexWavelet, InverseReturnsTheInput) {
    struct Size {
        int w, h;
    } sizes[] = {{37, 29}, {64, 48}, {40, 33}, {5, 3}, {1, 1}};
    for (const Form& f : kForms)
        for (const Size& s : sizes)
            for (int levels : {1, 2, 3, 4})
                for (bool photo : {false, true}) {
                    SCOPED_TRACE(std::string(f.name) + " " + std::to_string(s.w) + "x" + std::to_string(s.h) +
                                 " levels " + std::to_string(levels) + (photo ? " photo" : " random"));
                    Plane in(s.w, s.h), out(s.w, s.h);
                    if (photo)
                        fill_photo(in);
                    else
                        fill_random(in, unsigned(s.w * 100 + s.h + levels));
                    Sets sets(s.h, s.w, levels);
                    ASSERT_TRUE(f.forw(in.rows, s.h, s.w, levels, sets.s));
                    double changed = 0; // the forward transform must have done something
                    for (int y = 0; y < s.h; ++y)
                        for (int x = 0; x < s.w; ++x)
                            changed = std::max(changed, double(std::fabs(sets.s[0][y][x] - in.rows[y][x])));
                    EXPECT_GT(changed, 0.1);
                    ASSERT_TRUE(f.inv(sets.s, s.h, s.w, levels, out.rows));
                    EXPECT_LT(out.max_difference(in), 1e-5);
                }
}

TEST(ComplexWavelet, TheTreesDiffer) {
    // Tree b runs a sample later and on reversed filters, so the sets must differ.
    Plane in(32, 32);
    fill_photo(in);
    Sets sets(32, 32, 3);
    ASSERT_TRUE(complex_wav_forw(in.rows, 32, 32, 3, sets.s));
    for (int t = 1; t < 4; ++t) {
        double d = 0;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                d = std::max(d, double(std::fabs(sets.s[t][y][x] - sets.s[0][y][x])));
        EXPECT_GT(d, 1e-3) << "set " << t;
    }
}

TEST(ComplexWavelet, RefusesBadArguments) {
    Plane in(8, 8), out(8, 8);
    fill_random(in, 1);
    Sets sets(8, 8, 2);
    float** const missing[4] = {sets.s[0], sets.s[1], nullptr, sets.s[3]};
    for (const Form& f : kForms) {
        EXPECT_FALSE(f.forw(nullptr, 8, 8, 2, sets.s));
        EXPECT_FALSE(f.forw(in.rows, 8, 8, 2, missing));
        EXPECT_FALSE(f.forw(in.rows, 8, 8, -1, sets.s));
        EXPECT_FALSE(f.forw(in.rows, 0, 8, 2, sets.s));
        EXPECT_FALSE(f.inv(sets.s, 8, 8, 2, nullptr));
        EXPECT_FALSE(f.inv(missing, 8, 8, 2, out.rows));
        EXPECT_EQ(sets.s[0][0][0], 0.0f); // untouched
    }
}

TEST(ComplexWavelet, ThresholdKeepsPairsAtOrAboveIt) {
    struct Case {
        float re, im, threshold;
        bool zeroed;
    } cases[] = {
        {3.0f, 4.0f, 5.0f, false}, {3.0f, 4.0f, 5.01f, true},  {-3.0f, -4.0f, 4.99f, false},
        {0.0f, 0.0f, 0.0f, false}, {0.0f, 0.0f, 0.001f, true}, {-0.9f, 0.1f, 1.0f, true},
        {1.0f, 0.0f, 1.0f, false}, {1.0f, 1.0f, -2.0f, true},  {0.0f, 7.0f, 6.0f, false},
    };
    const int n = int(std::size(cases));
    for (int i = 0; i < n; ++i) {
        float r = cases[i].re, m = cases[i].im;
        float* rr = &r;
        float* mm = &m;
        EXPECT_EQ(hard_threshold_complex(&rr, &mm, 1, 1, cases[i].threshold), cases[i].zeroed ? 1 : 0) << i;
        EXPECT_EQ(r, cases[i].zeroed ? 0.0f : cases[i].re) << i;
        EXPECT_EQ(m, cases[i].zeroed ? 0.0f : cases[i].im) << i;
    }
    Plane one_re(2, 2), one_im(2, 2);
    one_re.rows[1][1] = 0.5f;
    one_im.rows[0][1] = -2.0f;
    EXPECT_EQ(hard_threshold_complex(one_re.rows, one_im.rows, 2, 2, 1.0f), 3);
    EXPECT_EQ(one_re.rows[1][1], 0.0f);
    EXPECT_EQ(one_im.rows[0][1], -2.0f);
}

TEST(ComplexWavelet, ThresholdAtZeroChangesNothing) {
    Plane in(37, 29), out(37, 29);
    fill_random(in, 9);
    for (const Form& f : kForms) {
        Sets sets(29, 37, 3), copy(29, 37, 3);
        ASSERT_TRUE(f.forw(in.rows, 29, 37, 3, sets.s));
        ASSERT_TRUE(f.forw(in.rows, 29, 37, 3, copy.s));
        EXPECT_EQ(hard_threshold_complex(sets.s[0], sets.s[2], sets.h, sets.w, 0.0f), 0);
        EXPECT_EQ(hard_threshold_complex(sets.s[1], sets.s[3], sets.h, sets.w, 0.0f), 0);
        for (int t = 0; t < 4; ++t)
            for (int y = 0; y < sets.h; ++y)
                for (int x = 0; x < sets.w; ++x)
                    ASSERT_EQ(sets.s[t][y][x], copy.s[t][y][x]) << f.name << " set " << t;
        ASSERT_TRUE(f.inv(sets.s, 29, 37, 3, out.rows));
        EXPECT_LT(out.max_difference(in), 1e-5) << f.name;
    }
}

// Ratio of the largest to the smallest energy of the x-detail band of each level, over a
// vertical step edge moved across two coefficients of that level: for all four trees together
// and for tree a alone.
struct Spread {
    double complex_spread, real_spread;
};
Spread step_energy_spread(int level) {
    const int w = 256, h = 16, levels = 4; // wide enough that the wrapped ends do not interfere
    double cmin = 1e30, cmax = 0, rmin = 1e30, rmax = 0;
    for (int p = 124; p < 124 + (2 << level); ++p) {
        Plane in(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = p; x < w; ++x)
                in.rows[y][x] = 1.0f;
        Sets sets(h, w, levels);
        EXPECT_TRUE(complex_wav_forw(in.rows, h, w, levels, sets.s));
        double c = 0, r = 0;
        for (int y = 0; y < (h >> level); ++y)
            for (int x = w >> level; x < (w >> (level - 1)); ++x) {
                for (const auto& set : sets.s)
                    c += double(set[y][x]) * set[y][x];
                const double aa = (double(sets.s[0][y][x]) + sets.s[3][y][x]) / std::sqrt(2.0);
                r += aa * aa;
            }
        cmin = std::min(cmin, c);
        cmax = std::max(cmax, c);
        rmin = std::min(rmin, r);
        rmax = std::max(rmax, r);
    }
    return {cmax / cmin, rmax / rmin};
}

TEST(ComplexWavelet, DetailEnergyBarelyChangesWhenAnEdgeMoves) {
    // The trees must lag by half a coefficient at every level: with a wrong lag or a reversed
    // pair the complex energy swings as much as a single real tree's.
    for (int level : {2, 3, 4}) {
        const Spread s = step_energy_spread(level);
        EXPECT_LT(s.complex_spread, 1.1) << "level " << level;
        EXPECT_GT(s.real_spread, 1.4) << "level " << level;
    }
}

double psnr(const Plane& a, const Plane& b) {
    double e = 0;
    for (int y = 0; y < a.h; ++y)
        for (int x = 0; x < a.w; ++x)
            e += (double(a.rows[y][x]) - b.rows[y][x]) * (double(a.rows[y][x]) - b.rows[y][x]);
    return 10.0 * std::log10(1.0 / (e / double(a.w * a.h)));
}

// Forward, threshold both pairs of sets, inverse.
void denoise(const Form& f, float** in, int h, int w, int levels, float threshold, float** out) {
    Sets sets(h, w, levels);
    ASSERT_TRUE(f.forw(in, h, w, levels, sets.s));
    hard_threshold_complex(sets.s[0], sets.s[2], sets.h, sets.w, threshold);
    hard_threshold_complex(sets.s[1], sets.s[3], sets.h, sets.w, threshold);
    ASSERT_TRUE(f.inv(sets.s, h, w, levels, out));
}

TEST(ComplexWavelet, ThresholdingRemovesNoise) {
    const float sigma = 0.05f;
    struct Size {
        int w, h;
    } sizes[] = {{96, 80}, {75, 61}};
    for (const Form& f : kForms)
        for (const Size& s : sizes) {
            SCOPED_TRACE(std::string(f.name) + " " + std::to_string(s.w) + "x" + std::to_string(s.h));
            Plane clean(s.w, s.h), noisy(s.w, s.h), out(s.w, s.h);
            fill_photo(clean);
            std::mt19937 rng(17);
            std::normal_distribution<float> noise(0.0f, sigma);
            for (int y = 0; y < s.h; ++y)
                for (int x = 0; x < s.w; ++x)
                    noisy.rows[y][x] = clean.rows[y][x] + noise(rng);
            denoise(f, noisy.rows, s.h, s.w, 4, 3.0f * sigma, out.rows);
            const double before = psnr(clean, noisy), after = psnr(clean, out);
            // Packets split the detail bands again, where the trees are no longer a Hilbert pair.
            const double gain = f.forw == complex_wav_forw ? 7.0 : 4.5;
            EXPECT_GT(after, before + gain) << before << " dB -> " << after << " dB";
        }
}

TEST(ComplexWavelet, ThresholdZeroesOnlySmallPairsOfATransform) {
    Plane in(40, 33);
    fill_photo(in);
    int previous = -1;
    for (float threshold : {0.0f, 0.01f, 0.05f, 0.2f, 1.0f}) {
        Sets sets(33, 40, 3), before(33, 40, 3);
        ASSERT_TRUE(complex_wav_forw(in.rows, 33, 40, 3, sets.s));
        ASSERT_TRUE(complex_wav_forw(in.rows, 33, 40, 3, before.s));
        const int zeroed = hard_threshold_complex(sets.s[0], sets.s[2], sets.h, sets.w, threshold) +
                           hard_threshold_complex(sets.s[1], sets.s[3], sets.h, sets.w, threshold);
        EXPECT_GE(zeroed, previous) << threshold;
        previous = zeroed;
        int counted = 0;
        for (int p = 0; p < 2; ++p)
            for (int y = 0; y < sets.h; ++y)
                for (int x = 0; x < sets.w; ++x) {
                    const float re = before.s[p][y][x], im = before.s[p + 2][y][x];
                    const bool small = re * re + im * im < threshold * threshold;
                    counted += small;
                    ASSERT_EQ(sets.s[p][y][x], small ? 0.0f : re);
                    ASSERT_EQ(sets.s[p + 2][y][x], small ? 0.0f : im);
                }
        EXPECT_EQ(zeroed, counted) << threshold;
    }
    EXPECT_GT(previous, 0);
}

} // namespace
