#pragma once
// Runs a per-pixel effect over an image made in code, at full size and in preview, and compares
// every pixel it wrote with what the test expects of the source position the pixel stands for.
// The expectation is computed over the fresh working image before each run. Header only.
#include "engine/PostProcess.h"

#include "support/EffectRun.h"
#include "support/PixelEffectRun.h"
#include "support/StubEffects.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <vector>

// previewSteps: 0 is the full-size run, n > 0 a preview run over every n-th column and row.
inline void expectImage(PostProcess& effect, const graphics::ImagePtr& image,
                        const std::function<Rgb(int x, int y)>& expected,
                        std::initializer_list<int> previewSteps = {0, 2}) {
    for (int step : previewSteps) {
        SCOPED_TRACE(step ? "preview" : "full size");
        PostProcess::global_clean();
        WorkingImageGuard guard;
        ASSERT_TRUE(PostProcess::global_pre_init(image));
        const int w = PostProcess::g_width, h = PostProcess::g_height;
        std::vector<Rgb> want;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                want.push_back(expected(x, y));
        const EffectOutput out = runEffect(effect, image, step);
        int wrong = 0;
        for (int j = 0; j < out.h; ++j)
            for (int i = 0; i < out.w; ++i) {
                const int x = i * out.step, y = j * out.step;
                const Rgb e = want[size_t(y) * size_t(w) + size_t(x)];
                if (!(out.at(i, j) == e) && ++wrong <= 5)
                    ADD_FAILURE() << "at (" << x << ", " << y << "): " << out.at(i, j) << " instead of " << e;
            }
        EXPECT_EQ(wrong, 0);
    }
}

inline Rgb storedPixel(const pixel_t& p) {
    return {storedByte(p.r), storedByte(p.g), storedByte(p.b)};
}

// The source pixel (x, y) of the working image as bytes; black outside.
inline Rgb sourceRgb(int x, int y) {
    if (x < 0 || y < 0 || x >= PostProcess::g_width || y >= PostProcess::g_height) return {0, 0, 0};
    const uint8_t* p = PostProcess::gp_data + (size_t(y) * size_t(PostProcess::g_width) + size_t(x)) * 4;
    return {p[1], p[2], p[3]};
}
