#include "kernels/denoise/denoise.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <thread>
#include <vector>

namespace {

// ARGB image with its rows packed.
struct Image {
    int width, height;
    std::vector<uint8_t> bytes;
    Image(int w, int h, uint8_t fill = 0) : width(w), height(h), bytes(size_t(w) * h * 4, fill) {}
    uint8_t* px(int x, int y) { return &bytes[(size_t(y) * width + x) * 4]; }
    int row_bytes() const { return 4 * width; }
};

Image noisy_image(int w, int h, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> noise(-12, 12);
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 1; c < 4; ++c) {
                const double smooth = 110 + 60 * std::sin(x * 0.15 + c) * std::cos(y * 0.11);
                img.px(x, y)[c] = uint8_t(std::clamp(int(smooth) + noise(rng), 0, 255));
            }
    return img;
}

bool run_denoise(Image& src, Image& dst, float amount, unsigned threads = 0,
                 denoise_progress_t callback = nullptr, void* context = nullptr) {
    return denoise(src.bytes.data(), src.width, src.height, src.row_bytes(), dst.bytes.data(), dst.width,
                   dst.height, dst.row_bytes(), callback, context, 1.5f, amount, threads);
}

using Planes = std::vector<std::vector<float>>;

// The textbook form: centres in raster order, each pair weighed once and added to both pixels.
// Pairs leaving the processed region are not formed; unweighed pixels keep their value.
Planes reference_nlmeans(int pr, int sr, float h, float sigma, const Planes& in, int w, int ht) {
    struct Acc {
        float r = 0, g = 0, b = 0, w = 0;
    };
    std::vector<Acc> acc(size_t(w) * ht);
    const int m = pr + sr;
    const float v = (sigma * sigma + sigma * sigma + sigma * sigma) / 3.0f;
    const float lower = 2.0f * v;
    const float upper = lower + h * std::sqrt(8.0f * v * v / float(3 * (2 * pr + 1) * (2 * pr + 1)));
    for (int y = m; y < ht - m; ++y)
        for (int x = m; x < w - m; ++x)
            for (int dy = sr; dy >= 0; --dy)
                for (int dx = -dy; dx <= dy; ++dx) {
                    const int qx = x + dx, qy = y + dy;
                    if (qx < m || qx >= w - m || qy >= ht - m) continue;
                    const float d = (l2_distance(in[0].data(), x, y, qx, qy, pr, w) +
                                     l2_distance(in[1].data(), x, y, qx, qy, pr, w) +
                                     l2_distance(in[2].data(), x, y, qx, qy, pr, w)) *
                                    0.33333334f;
                    if (d >= upper) continue;
                    const float wt = d < lower ? 1.0f : (upper - d) / (upper - lower);
                    const size_t p = size_t(y) * w + x, q = size_t(qy) * w + qx;
                    acc[p].r += in[0][q] * wt, acc[p].g += in[1][q] * wt, acc[p].b += in[2][q] * wt;
                    acc[p].w += wt;
                    acc[q].r += in[0][p] * wt, acc[q].g += in[1][p] * wt, acc[q].b += in[2][p] * wt;
                    acc[q].w += wt;
                }
    Planes out = in;
    for (size_t i = 0; i < acc.size(); ++i)
        if (double(acc[i].w) > 1e-10) {
            out[0][i] = acc[i].r / acc[i].w;
            out[1][i] = acc[i].g / acc[i].w;
            out[2][i] = acc[i].b / acc[i].w;
        }
    return out;
}

struct ProgressLog {
    std::vector<float> values;
    std::vector<std::thread::id> threads;
    size_t stop_at = SIZE_MAX; // call index answering 0
};

int log_progress(float progress, void* context) {
    auto* log = static_cast<ProgressLog*>(context);
    log->values.push_back(progress);
    log->threads.push_back(std::this_thread::get_id());
    return log->values.size() > log->stop_at ? 0 : 1;
}

TEST(Denoise, PatchDistanceLeavesOutTheCentreAndAveragesTheRest) {
    // Second patch: first patch + 2 everywhere, centre + 100.
    std::vector<float> plane(6 * 3, 0.0f);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) {
            plane[y * 6 + x] = float(10 * y + x);
            plane[y * 6 + x + 3] = float(10 * y + x) + (x == 1 && y == 1 ? 100.0f : 2.0f);
        }
    EXPECT_EQ(l2_distance(plane.data(), 1, 1, 4, 1, 1, 6), 4.0f);
    EXPECT_EQ(l2_distance(plane.data(), 1, 1, 4, 1, 0, 6), 0.0f);
}

// The tiled, threaded gather must add every pixel's contributions in the textbook order:
// results equal to the bit, across tile borders and for any thread count.
TEST(Denoise, MatchesTheTextbookFormExactly) {
    struct Case {
        int w, h, pr, sr;
        float hh, sigma;
        unsigned threads;
    };
    const Case cases[] = {
        {300, 40, 1, 7, 1.5f, 11.0f, 1}, // two tile columns and rows, one thread
        {300, 40, 1, 7, 1.5f, 11.0f, 3},
        {61, 29, 1, 7, 1.5f, 30.0f, 2}, // wide tolerance: many fractional weights
        {40, 30, 2, 3, 1.0f, 15.0f, 4}, // other radii
        {20, 20, 0, 4, 1.5f, 5.0f, 2},  // no patch: every distance 0
        {40, 30, 1, 7, 0.0f, 11.0f, 2}, // no tolerance band: weights 1 or 0
        {16, 16, 1, 7, 1.5f, 10.0f, 2}, // region too small: input kept
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " pr " << c.pr << " sr " << c.sr << " sigma "
                                        << c.sigma << " threads " << c.threads);
        const Image img = noisy_image(c.w, c.h, 7);
        Planes in(3, std::vector<float>(size_t(c.w) * c.h));
        for (int c3 = 0; c3 < 3; ++c3)
            for (size_t i = 0; i < in[c3].size(); ++i)
                in[c3][i] = img.bytes[i * 4 + 1 + c3];
        Planes out(3, std::vector<float>(in[0].size(), -1.0f));
        EXPECT_TRUE(nlmeans(c.pr, c.sr, c.hh, c.sigma, c.sigma, c.sigma, in[0].data(), in[1].data(),
                            in[2].data(), out[0].data(), out[1].data(), out[2].data(), c.w, c.h, nullptr,
                            nullptr, c.threads));
        const Planes expected = reference_nlmeans(c.pr, c.sr, c.hh, c.sigma, in, c.w, c.h);
        int mismatches = 0;
        for (int c3 = 0; c3 < 3; ++c3)
            for (size_t i = 0; i < in[c3].size(); ++i)
                mismatches += out[c3][i] != expected[c3][i];
        EXPECT_EQ(mismatches, 0);
    }
}

// Edge patches take in the zero border, so pairs with edge pixels can get fractional weights:
// the truncated average of equal values may then land one level low, never more, never above.
TEST(Denoise, FlatImageStaysFlatUpToTheEdges) {
    struct Case {
        uint8_t value;
        float amount;
        int slack;
    };
    const Case cases[] = {
        {100, 1.0f, 0}, {10, 1.1f, 0}, {150, 10.0f, 0}, {0, 1.0f, 0},
        {255, 0.5f, 0}, {25, 1.0f, 1}, {200, 10.0f, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.value) << " at amount " << c.amount);
        Image src(23, 19, c.value), dst(23, 19, 7);
        run_denoise(src, dst, c.amount);
        for (int y = 0; y < dst.height; ++y)
            for (int x = 0; x < dst.width; ++x) {
                ASSERT_EQ(dst.px(x, y)[0], 7) << x << "," << y; // alpha untouched
                for (int ch = 1; ch < 4; ++ch) {
                    ASSERT_LE(dst.px(x, y)[ch], c.value) << x << "," << y;
                    ASSERT_GE(dst.px(x, y)[ch] + c.slack, c.value) << x << "," << y;
                }
            }
    }
}

TEST(Denoise, AmountZeroKeepsTheImage) {
    Image src = noisy_image(37, 21, 3), dst(37, 21);
    run_denoise(src, dst, 0.0f);
    for (int y = 0; y < src.height; ++y)
        for (int x = 0; x < src.width; ++x)
            for (int ch = 1; ch < 4; ++ch)
                ASSERT_EQ(dst.px(x, y)[ch], src.px(x, y)[ch]);
}

// Random bytes with a tiny amount: no two patches alike, so each pixel keeps its resampled value.
TEST(Denoise, ResamplesByNearestPixel) {
    struct Case {
        int sw, sh, dw, dh;
    };
    const Case cases[] = {{13, 9, 13, 9}, {13, 9, 26, 18}, {20, 12, 7, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.sw << "x" << c.sh << " -> " << c.dw << "x" << c.dh);
        std::mt19937 rng(11);
        Image src(c.sw, c.sh), dst(c.dw, c.dh);
        for (uint8_t& b : src.bytes)
            b = uint8_t(rng());
        run_denoise(src, dst, 0.001f);
        for (int y = 0; y < c.dh; ++y)
            for (int x = 0; x < c.dw; ++x)
                for (int ch = 1; ch < 4; ++ch)
                    ASSERT_EQ(dst.px(x, y)[ch], src.px(x * c.sw / c.dw, y * c.sh / c.dh)[ch])
                        << x << "," << y;
    }
}

TEST(Denoise, ReducesNoiseAndKeepsAStepEdge) {
    const int w = 48, h = 24;
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> noise(-12, 12);
    Image src(w, h), dst(w, h);
    auto clean = [](int x) { return x < w / 2 ? 60 : 180; };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int ch = 1; ch < 4; ++ch)
                src.px(x, y)[ch] = uint8_t(clean(x) + noise(rng));
    run_denoise(src, dst, 1.0f);

    double error_before = 0, error_after = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int ch = 1; ch < 4; ++ch) {
                error_before += std::abs(src.px(x, y)[ch] - clean(x));
                error_after += std::abs(dst.px(x, y)[ch] - clean(x));
            }
    EXPECT_LT(error_after, error_before / 2);
    for (int y = 0; y < h; ++y)
        for (int ch = 1; ch < 4; ++ch) {
            EXPECT_NEAR(dst.px(w / 2 - 1, y)[ch], 60, 12);
            EXPECT_NEAR(dst.px(w / 2, y)[ch], 180, 12);
        }
}

TEST(Denoise, ReportsRisingProgressOnTheCallingThreadUpToOne) {
    Image src = noisy_image(300, 70, 1), dst(300, 70);
    ProgressLog log;
    run_denoise(src, dst, 1.0f, 4, log_progress, &log);
    ASSERT_FALSE(log.values.empty());
    EXPECT_TRUE(std::is_sorted(log.values.begin(), log.values.end()));
    EXPECT_GT(log.values.front(), 0.0f);
    EXPECT_EQ(log.values.back(), 1.0f);
    for (std::thread::id id : log.threads)
        EXPECT_EQ(id, std::this_thread::get_id());
}

// Stopping leaves the pixels not reached as they were; with one thread the stop comes after
// the first tile, with several within the tiles already under way.
TEST(Denoise, ZeroAnswerStopsAtOnce) {
    for (unsigned threads : {1u, 4u}) {
        SCOPED_TRACE(testing::Message() << threads << " threads");
        Image src = noisy_image(300, 96, 2), full(300, 96), stopped(300, 96);
        run_denoise(src, full, 1.0f, threads);
        ProgressLog log;
        log.stop_at = 0;
        testing::internal::CaptureStdout();
        run_denoise(src, stopped, 1.0f, threads, log_progress, &log);
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(log.values.size(), 1u);
        // With helpers the other threads may finish every tile before the calling thread reports
        // its first, so only one thread pins down how much was left undone.
        if (threads == 1) EXPECT_LT(log.values[0], 0.5f);
        size_t count = 0;
        for (size_t at = out.find("cancelled\n"); at != std::string::npos;
             at = out.find("cancelled\n", at + 1))
            ++count;
        EXPECT_EQ(count, 1u);
        int kept = 0, denoised = 0, mixed = 0;
        for (int y = 0; y < src.height; ++y)
            for (int x = 0; x < src.width; ++x)
                for (int ch = 1; ch < 4; ++ch) {
                    const uint8_t s = src.px(x, y)[ch], f = full.px(x, y)[ch], c = stopped.px(x, y)[ch];
                    if (f == s) continue;
                    kept += c == s;
                    denoised += c == f;
                    mixed += c != s && c != f;
                }
        EXPECT_EQ(mixed, 0);                  // a tile is either done whole or left alone
        if (threads == 1) EXPECT_GT(kept, 0); // work left undone keeps the input
        EXPECT_GT(denoised, 0);               // work done is kept
    }
}

TEST(Denoise, PrintsSizeAndTime) {
    Image src = noisy_image(9, 7, 4), dst(9, 7);
    testing::internal::CaptureStdout();
    run_denoise(src, dst, 1.0f);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("Noise reduction image: 9x7\ntime: ", 0), 0u) << out;
}

TEST(Denoise, EmptySizesLeaveTheDestinationAlone) {
    struct Case {
        int sw, sh, dw, dh;
    };
    const Case cases[] = {{0, 5, 4, 4}, {5, 0, 4, 4}, {5, 5, 0, 4}, {5, 5, 4, -1}};
    for (const Case& c : cases) {
        Image src(5, 5, 90), dst(4, 4, 33);
        EXPECT_FALSE(denoise(src.bytes.data(), c.sw, c.sh, src.row_bytes(), dst.bytes.data(), c.dw, c.dh,
                             dst.row_bytes(), nullptr, nullptr, 1.5f, 1.0f));
        EXPECT_TRUE(std::all_of(dst.bytes.begin(), dst.bytes.end(), [](uint8_t b) { return b == 33; }));
    }
}

} // namespace
