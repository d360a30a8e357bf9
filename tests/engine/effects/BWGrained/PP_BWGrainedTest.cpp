// "B&W Grained": the contrasty grey by known pixels, the grain's bounds with a seeded generator,
// and whole runs without grain.
#include "engine/effects/colour/PP_BWGrained.h"

#include "engine/PostProcessParameter.h"
#include "kernels/Random.h"
#include "support/EffectRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

TEST(PP_BWGrained, NamesCategoryAndSliders) {
    PP_BWGrained effect;
    EXPECT_EQ(effect.class_name(), "PP_BWGrained");
    EXPECT_EQ(effect.get_name(), "B&W Grained");
    EXPECT_EQ(effect.get_categorie(), "Black&White");
    EXPECT_TRUE(effect.this_filter_is_simply_color_modify());
    EXPECT_EQ(effect.passes(), 1u);
    struct Case {
        const PostProcessParameter* p;
        const char* name;
        double def;
    };
    const Case cases[] = {{effect.param_1(), "Grain", double(0.28f)},
                          {effect.param_2(), "Contrast", double(0.55f)}};
    for (const Case& c : cases) {
        ASSERT_NE(c.p, nullptr);
        EXPECT_EQ(c.p->name(), c.name);
        EXPECT_EQ(c.p->min_value(), 0.0);
        EXPECT_EQ(c.p->max_value(), 1.0);
        EXPECT_EQ(c.p->default_value(), c.def) << "the single-precision default, widened";
    }
    EXPECT_EQ(effect.param_1(), cases[0].p);
}

namespace {

// The value at (0, 0) of a one-colour picture.
float valueOf(Rgb colour, double grain, double contrast) {
    WorkingImageGuard guard;
    EXPECT_TRUE(PostProcess::global_pre_init(makeSourceImage(2, 2, [&](int, int) { return colour; })));
    PP_BWGrained effect;
    effect.param_1()->setValue(grain);
    effect.param_2()->setValue(contrast);
    effect.prepare_for_process();
    const pixel_t p = effect.process_pixel_x(0, 0, 0);
    EXPECT_EQ(p.r, p.g);
    EXPECT_EQ(p.r, p.b);
    return p.r;
}

} // namespace

TEST(PP_BWGrained, WithoutGrainContrastSpreadsAroundMidGrey) {
    struct Case {
        Rgb colour;
        double contrast;
        float expected;
    };
    const Case cases[] = {
        {{128, 128, 128}, 0.0, 0.50098039f},
        {{128, 128, 128}, 0.55, 0.50205882f},
        {{128, 128, 128}, 1.0, 0.50294118f},
        {{255, 255, 255}, 0.55, 1.0f},
        {{0, 0, 0}, 0.55, 0.0f},
        {{30, 60, 90}, 0.55, 0.22205882f},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(valueOf(c.colour, 0.0, c.contrast), c.expected, 1e-6f)
            << int(c.colour.r) << "," << int(c.colour.g) << "," << int(c.colour.b) << " contrast "
            << c.contrast;
}

TEST(PP_BWGrained, GrainBrightensByUpToHalfItsValue) {
    const Rgb grey{100, 110, 120};
    const float base = valueOf(grey, 0.0, 0.3);

    // The grain is the low byte of a draw: reproduce the draws with the same seed.
    Random::seed(11);
    std::vector<int> draws(500);
    for (int& n : draws)
        n = Random::rand() & 255;
    WorkingImageGuard guard;
    ASSERT_TRUE(PostProcess::global_pre_init(makeSourceImage(2, 2, [&](int, int) { return grey; })));
    PP_BWGrained effect;
    effect.param_1()->setValue(1.0);
    effect.param_2()->setValue(0.3);
    effect.prepare_for_process();
    Random::seed(11);
    float low = 1, high = 0;
    for (int n : draws) {
        const float v = effect.process_pixel_x(1, 1, 0).r;
        EXPECT_GE(v, base);
        EXPECT_LE(v, base + 0.5f + 1e-6f);
        EXPECT_NEAR(v, base + float(n) / 255.0f * 0.5f, 1e-6f);
        low = std::min(low, v - base);
        high = std::max(high, v - base);
    }
    EXPECT_LT(low, 0.02f);
    EXPECT_GT(high, 0.48f);
}

TEST(PP_BWGrained, RunsWithoutGrainStoreThePixelsOfTheFormula) {
    {
        WorkingImageGuard guard;
        PP_BWGrained full;
        full.param_1()->setValue(0.0);
        expectRunStoresItsHookValues(full, makeSourceImage(64, 48, patternColour));
    }
    WorkingImageGuard guard;
    PP_BWGrained preview;
    preview.param_1()->setValue(0.0);
    preview.param_2()->setValue(0.9);
    expectRunStoresItsHookValues(preview, makeSourceImage(64, 48, patternColour), 3);
}

// On a picture larger than the preview, one grain covers a square of the preview's step: the saved
// picture seen at the preview's size keeps the grain the preview showed, instead of averaging
// single-pixel grain away.
TEST(PP_BWGrained, GrainIsAsCoarseAsThePreviewShowsIt) {
    const int w = 1300, h = 980;
    const graphics::ImagePtr source = makeSourceImage(w, h, [](int, int) { return Rgb{100, 110, 120}; });
    WorkingImageGuard guard;
    PP_BWGrained effect;
    effect.param_1()->setValue(1.0);
    effect.param_2()->setValue(0.3);
    PostProcess::global_clean();
    const EffectOutput full = runEffect(effect, source);
    const int step = PostProcess::g_preview_step_x;
    ASSERT_GE(step, 2);
    PostProcess::global_clean();
    const EffectOutput preview = runEffect(effect, source, step);

    const auto spread = [](const std::vector<double>& v) {
        double mean = 0, square = 0;
        for (double x : v)
            mean += x / double(v.size());
        for (double x : v)
            square += (x - mean) * (x - mean) / double(v.size());
        return std::sqrt(square);
    };
    std::vector<double> blocks, previewPixels;
    int mixed = 0;
    for (int by = 0; by + step <= h; by += step)
        for (int bx = 0; bx + step <= w; bx += step) {
            double sum = 0;
            for (int y = by; y < by + step; ++y)
                for (int x = bx; x < bx + step; ++x) {
                    sum += full.at(x, y).r;
                    mixed += full.at(x, y).r != full.at(bx, by).r;
                }
            blocks.push_back(sum / (step * step));
        }
    for (int j = 0; j < preview.h; ++j)
        for (int i = 0; i < preview.w; ++i)
            previewPixels.push_back(preview.at(i, j).r);
    EXPECT_EQ(mixed, 0) << "a grain is not one square of the preview's step";
    const double ratio = spread(blocks) / spread(previewPixels);
    EXPECT_GT(ratio, 0.85) << "the saved picture's grain averages away at the preview's size";
    EXPECT_LT(ratio, 1.15);
}
