// The four colour treatments of the second bundle: names and sliders, the formula by known pixels,
// whole runs at full size and in preview, and the random flicker of "Night Vision Cam".
#include "engine/effects/bundles/PP_Effects_Bundle2.h"

#include "engine/PostProcessParameter.h"
#include "kernels/Random.h"
#include "support/PixelEffectRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

struct Look {
    int type;
    const char* name;
    const char* category;
    ParamSpec p1, p2;
};

const Look kLooks[] = {
    {0, "Night Vision Cam", "SFX", {"Brightness", 1.0, 3.0, 1.5}, {}},
    {1, "Sanibel", "Groovy Lo-Fi", {"Contrast", 1.0, 3.0, 1.2}, {"Brightness", 0.0, 0.5, 0.3}},
    {2, "Mars", "Photo Styles", {"Contrast", 1.0, 10.0, 4.0}, {}},
    {3, "Griffin", "Groovy Lo-Fi", {"Contrast", 1.0, 3.0, 1.2}, {"Brightness", 0.0, 0.5, 0.2}},
    {4, "PP_NV1", "Test", {}, {}},
    {-1, "PP_NV1", "Test", {}, {}},
};

// Hook output at pixel 0 of a one-pixel working image of colour c.
pixel_t hookOn(PP_Effects_Bundle2& effect, Rgb c) {
    WorkingImageGuard guard;
    EXPECT_TRUE(PostProcess::global_pre_init(makeSourceImage(1, 1, [&](int, int) { return c; })));
    effect.prepare_for_process();
    return effect.process_pixel_x(0, 0, 0);
}

void expectNear(pixel_t got, pixel_t want, float tolerance) {
    EXPECT_NEAR(got.r, want.r, tolerance);
    EXPECT_NEAR(got.g, want.g, tolerance);
    EXPECT_NEAR(got.b, want.b, tolerance);
}

} // namespace

TEST(PP_Effects_Bundle2, NamesCategoriesAndSlidersOfEveryType) {
    for (const Look& look : kLooks) {
        SCOPED_TRACE(look.type);
        PP_Effects_Bundle2 effect;
        effect.set_type(look.type);
        EXPECT_EQ(effect.class_name(), "PP_Effects_Bundle2");
        EXPECT_EQ(effect.get_name(), look.name);
        EXPECT_EQ(effect.get_categorie(), look.category);
        EXPECT_FALSE(effect.this_filter_is_simply_color_modify());
        EXPECT_EQ(effect.passes(), 1u);
        expectParameter(effect.param_1(), look.p1, "param_1");
        expectParameter(effect.param_2(), look.p2, "param_2");
        EXPECT_EQ(effect.param_1(), effect.param_1());
    }
}

TEST(PP_Effects_Bundle2, FormulaOfEachLookByKnownPixels) {
    struct Case {
        int type;
        double p1, p2; // negative: the default
        Rgb in;
        pixel_t want;
    };
    const Case cases[] = {
        // Mars: mid-grey with the default contrast 4, and the contrast curve clamped before the blend.
        {2, -1, -1, {128, 128, 128}, {0.903498709f, 0.610134661f, 0.378393024f}},
        {2, -1, -1, {30, 180, 90}, {0.817377925f, 0.262206912f, 0.0511341989f}},
        {2, -1, -1, {77, 140, 250}, {0.988594115f, 0.953920186f, 0.701755643f}},
        {2, 10.0, -1, {255, 255, 255}, {1.0f, 1.0f, 0.745098054f}},
        {2, 1.0, -1, {200, 60, 10}, {0.873125732f, 0.48742795f, 0.262975782f}},
        // Sanibel: brightness added after the contrast and nothing clamped, so light pixels pass 1.
        {1, -1, -1, {128, 128, 128}, {0.597591758f, 0.632282495f, 0.577475011f}},
        {1, -1, -1, {0, 0, 0}, {0.0f, 0.0471018814f, 0.145218f}},
        {1, -1, -1, {255, 255, 255}, {1.77882373f, 1.64932585f, 1.00132883f}},
        {1, -1, -1, {200, 60, 10}, {1.26726663f, 0.113598675f, 0.179386944f}},
        {1, 2.5, 0.0, {0, 0, 0}, {0.0f, -0.176632062f, -0.544567525f}},
        {1, 1.0, 0.5, {77, 140, 250}, {0.596816719f, 1.0520463f, 1.05834317f}},
        // Griffin: the same lift clamped before the overlay, so white gives the tint itself.
        {3, -1, -1, {128, 128, 128}, {0.742617309f, 0.399944633f, 0.45801577f}},
        {3, -1, -1, {255, 255, 255}, {0.996078432f, 0.988235295f, 0.870588243f}},
        {3, -1, -1, {30, 180, 90}, {0.275087655f, 0.883598685f, 0.210146144f}},
        {3, 3.0, 0.5, {77, 140, 250}, {0.462952465f, 0.988235295f, 0.870588243f}},
        {3, 1.0, 0.0, {200, 60, 10}, {0.81241101f, 0.0f, 0.0139240567f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "type " << c.type << " from " << c.in << " at " << c.p1 << ", " << c.p2);
        PP_Effects_Bundle2 effect;
        effect.set_type(c.type);
        if (c.p1 >= 0) effect.param_1()->setValue(c.p1);
        if (c.p2 >= 0) effect.param_2()->setValue(c.p2);
        expectNear(hookOn(effect, c.in), c.want, 2e-6f);
    }
}

TEST(PP_Effects_Bundle2, RunsStoreTheLooksAtFullSizeAndInPreview) {
    struct Table {
        int type;
        std::vector<PixelCase> cases;
    };
    const Table tables[] = {
        {1,
         {{{128, 128, 128}, {152, 161, 147}},
          {{0, 0, 0}, {0, 12, 37}},
          {{255, 255, 255}, {255, 255, 255}},
          {{200, 60, 10}, {255, 28, 45}},
          {{30, 180, 90}, {0, 255, 114}},
          {{77, 140, 250}, {31, 185, 251}}}},
        {2,
         {{{128, 128, 128}, {230, 155, 96}},
          {{0, 0, 0}, {205, 53, 0}},
          {{255, 255, 255}, {255, 255, 190}},
          {{30, 180, 90}, {208, 66, 13}},
          {{77, 140, 250}, {252, 243, 178}}}},
        {3,
         {{{128, 128, 128}, {189, 101, 116}},
          {{0, 0, 0}, {29, 0, 9}},
          {{255, 255, 255}, {254, 252, 222}},
          {{200, 60, 10}, {254, 0, 13}},
          {{30, 180, 90}, {70, 225, 53}}}},
    };
    for (const Table& t : tables) {
        SCOPED_TRACE(t.type);
        PP_Effects_Bundle2 effect;
        effect.set_type(t.type);
        expectPixels(effect, t.cases);
    }
}

TEST(PP_Effects_Bundle2, NightVisionBurnsGreenAndFlickersWithTheGenerator) {
    // The green burn of gray x brightness, before any flicker.
    struct Case {
        Rgb in;
        double brightness;
        pixel_t burn;
    };
    const Case cases[] = {
        {{128, 128, 128}, 1.5, {0.0f, 0.625000119f, 0.0f}},
        {{0, 0, 0}, 1.5, {0.0f, 0.0f, 0.0f}},
        {{77, 140, 250}, 1.5, {0.641666591f, 0.872023761f, 0.328124851f}},
        {{255, 255, 255}, 1.5, {3.125f, 1.75892854f, 4.984375f}},
        {{200, 60, 10}, 3.0, {1.25000024f, 1.08928585f, 1.46875048f}},
    };
    for (const Case& c : cases)
        for (uint64_t seed : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u}) {
            SCOPED_TRACE(testing::Message() << "from " << c.in << ", seed " << seed);
            Random::seed(seed);
            const long n = Random::random();
            float f = 1.0f;
            if (n % 41 >= 7) f = float(Random::random() % 5001) / 5000.0f * 0.78f + 0.82f;
            PP_Effects_Bundle2 effect;
            effect.set_type(0);
            effect.param_1()->setValue(c.brightness);
            Random::seed(seed);
            expectNear(hookOn(effect, c.in), {c.burn.r * f, c.burn.g * f, c.burn.b * f}, 2e-6f);
        }
}

TEST(PP_Effects_Bundle2, NightVisionLeavesAboutSevenPixelsInFortyOneUnflickered) {
    WorkingImageGuard guard;
    ASSERT_TRUE(PostProcess::global_pre_init(makeSourceImage(1, 1, [](int, int) {
        return Rgb{128, 128, 128};
    })));
    PP_Effects_Bundle2 effect;
    effect.set_type(0);
    effect.prepare_for_process();
    Random::seed(41);
    const float burn = 0.625000119f;
    int steady = 0;
    float lowest = 10.0f, highest = 0.0f;
    for (int i = 0; i < 41000; ++i) {
        const pixel_t p = effect.process_pixel_x(0, 0, 0);
        if (p.g == burn) ++steady;
        lowest = std::min(lowest, p.g / burn);
        highest = std::max(highest, p.g / burn);
    }
    EXPECT_NEAR(steady, 7000, 400);
    EXPECT_GE(lowest, 0.8199f);
    EXPECT_LE(highest, 1.6001f);
    EXPECT_LT(lowest, 0.83f);
    EXPECT_GT(highest, 1.59f);
}

// A run asks the hook once per pixel, column by column, on the generator of its own thread: the
// same seed replays it.
TEST(PP_Effects_Bundle2, NightVisionRunsAreReproducibleFromTheSeed) {
    const int w = 7, h = 5;
    const auto colour = [](int x, int y) { return Rgb{uint8_t(60 + 20 * x), uint8_t(90 + 25 * y), 140}; };
    for (int step : {0, 2}) {
        SCOPED_TRACE(step ? "preview" : "full size");
        WorkingImageGuard guard;
        const graphics::ImagePtr image = makeSourceImage(w, h, colour);
        ASSERT_TRUE(PostProcess::global_pre_init(image));
        PP_Effects_Bundle2 reference;
        reference.set_type(0);
        reference.prepare_for_process();
        Random::seed(99);
        std::vector<pixel_t> expected; // row by row: the run visits a strip this narrow row by row
        for (int y = 0; y < h; y += std::max(step, 1))
            for (int x = 0; x < w; x += std::max(step, 1))
                expected.push_back(reference.process_pixel_x(x, y, 0));

        PP_Effects_Bundle2 effect;
        effect.set_type(0);
        Random::seed(99);
        const EffectOutput out = runEffect(effect, image, step);
        ASSERT_EQ(size_t(out.w) * size_t(out.h), expected.size());
        int wrong = 0;
        for (int i = 0; i < out.w; ++i)
            for (int j = 0; j < out.h; ++j) {
                const pixel_t e = expected[size_t(j) * size_t(out.w) + size_t(i)];
                const Rgb got = out.at(i, j);
                wrong += got.r != storedByte(e.r) || got.g != storedByte(e.g) || got.b != storedByte(e.b);
            }
        EXPECT_EQ(wrong, 0);
    }
}

TEST(PP_Effects_Bundle2, TypeWithoutTableLeavesThePictureAndHasNoSliders) {
    PP_Effects_Bundle2 effect;
    effect.set_type(9);
    ASSERT_EQ(effect.param_1(), nullptr);
    ASSERT_EQ(effect.param_2(), nullptr);
    expectPixels(effect, {{{10, 20, 30}, {10, 20, 30}}, {{250, 128, 0}, {250, 128, 0}}});
}
