// Colour strokes: identity and defaults per type, each target's pixel table, the threshold
// boundary, and settings that stay with their own effect.
#include "engine/effects/colour/PP_CS.h"

#include "support/PixelEffectRun.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(PP_CS, NamesCategoryAndParametersPerType) {
    const char* const names[] = {"Red Stroke",     "Green Stroke", "Blue Stroke", "Yellow Stroke",
                                 "Magenta Stroke", "Cyan Stroke",  "CS",          "CS"};
    for (int type = -1; type < 7; ++type) {
        SCOPED_TRACE("type " + std::to_string(type));
        PP_CS effect;
        effect.set_type(type);
        EXPECT_EQ(effect.class_name(), "PP_CS");
        EXPECT_EQ(effect.get_name(), names[type < 0 ? 7 : type]);
        EXPECT_EQ(effect.get_categorie(), "Color Strokes");
        EXPECT_FALSE(effect.this_filter_is_simply_color_modify());
        const bool red = type == 0;
        expectParameter(effect.param_1(), {"Saturation", 1.7, 4.0, red ? 3.08 : 2.1}, "param_1");
        expectParameter(effect.param_2(), {"Color Range", 0.6, 1.4, red ? 1.16 : 1.0}, "param_2");
    }
}

TEST(PP_CS, StrokesAtTheirDefaults) {
    // Shared by every target: black, white and colours far from all six targets go grey.
    const std::vector<PixelCase> common = {
        {{0, 0, 0}, {0, 0, 0}}, {{255, 255, 255}, {255, 255, 255}}, {{40, 30, 20}, {0, 0, 0}}};
    struct Case {
        int type;
        std::vector<PixelCase> pixels;
    };
    const Case cases[] = {
        // Grey 128 lies inside the red range (w about 0.17); do_saturation's 1.03 weights pull it
        // down to 126.
        {0,
         {{{255, 0, 0}, {255, 0, 0}},
          {{0, 255, 0}, {159, 159, 159}},
          {{0, 0, 255}, {0, 0, 0}},
          {{128, 128, 128}, {126, 126, 126}},
          {{200, 120, 60}, {199, 120, 60}},
          {{230, 40, 220}, {112, 112, 112}}}},
        {1,
         {{{255, 0, 0}, {56, 56, 56}},
          {{0, 255, 0}, {0, 255, 0}},
          {{128, 128, 128}, {127, 127, 127}},
          {{200, 120, 60}, {141, 141, 141}}}},
        {2,
         {{{0, 0, 255}, {0, 0, 255}},
          {{0, 255, 0}, {159, 159, 159}},
          {{128, 128, 128}, {127, 127, 127}},
          {{90, 160, 220}, {139, 155, 169}}}},
        {3,
         {{{250, 230, 40}, {255, 255, 0}},
          {{128, 128, 128}, {128, 128, 128}},
          {{200, 120, 60}, {168, 132, 105}},
          {{255, 0, 0}, {56, 56, 56}}}},
        {4,
         {{{230, 40, 220}, {255, 0, 255}},
          {{128, 128, 128}, {128, 128, 128}},
          {{0, 255, 0}, {159, 159, 159}}}},
        {5,
         {{{40, 220, 230}, {0, 255, 255}},
          {{90, 160, 220}, {107, 163, 211}},
          {{128, 128, 128}, {128, 128, 128}},
          {{0, 0, 255}, {0, 0, 0}}}},
        // No such stroke: the picture passes through.
        {6,
         {{{200, 120, 60}, {200, 120, 60}}, {{90, 160, 220}, {90, 160, 220}}, {{40, 30, 20}, {40, 30, 20}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("type " + std::to_string(c.type));
        std::vector<PixelCase> pixels = c.pixels;
        if (c.type <= 5) pixels.insert(pixels.end(), common.begin(), common.end());
        PP_CS effect;
        effect.set_type(c.type);
        expectPixels(effect, pixels);
    }
}

TEST(PP_CS, StrokesFollowTheirSliders) {
    struct Case {
        double saturation, range;
        std::vector<PixelCase> pixels;
    };
    const Case cases[] = {
        {1.7, 0.6, {{{200, 120, 60}, {141, 141, 141}}, {{230, 60, 50}, {195, 61, 53}}}},
        {4.0, 1.4, {{{200, 120, 60}, {255, 96, 0}}, {{230, 60, 50}, {255, 0, 0}}, {{0, 0, 0}, {0, 0, 0}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("saturation " + std::to_string(c.saturation) + " range " + std::to_string(c.range));
        PP_CS effect;
        effect.param_1()->setValue(c.saturation);
        effect.param_2()->setValue(c.range);
        expectPixels(effect, c.pixels);
    }
}

// Red 117 alone lies at distance 1 - 117/255 = 0.5412 from red; a "Color Range" of 0.6013072
// puts the threshold exactly there.
TEST(PP_CS, DistanceEqualToTheThresholdGoesGrey) {
    WorkingImageGuard guard;
    ASSERT_TRUE(PostProcess::global_pre_init(makeSourceImage(1, 1, [](int, int) { return Rgb{117, 0, 0}; })));
    const float atThreshold = 0.6013071537017822f;
    const auto run = [](float range) {
        PP_CS effect;
        effect.param_2()->setValue(range);
        effect.prepare_for_process();
        return effect.process_pixel_x(0, 0, 0);
    };
    const pixel_t p = run(atThreshold);
    const float grey = do_filter_environment(PostProcess::get_source_pixel(0, 0)).r;
    const float expected = (grey - 0.5f) * 1.4f + 0.5f;
    EXPECT_EQ(p.r, expected);
    EXPECT_EQ(p.g, expected);
    EXPECT_EQ(p.b, expected);

    const pixel_t q = run(std::nextafter(atThreshold, 2.0f));
    EXPECT_GT(q.r, q.g) << "just past the threshold the red starts to show";
}

TEST(PP_CS, FilterEnvironmentIsTheWeightedGrey) {
    const pixel_t v = do_filter_environment({1.0f, 0.5f, 0.25f});
    const float expected = float(0.3 + 0.59 * 0.5 + 0.11 * 0.25);
    EXPECT_EQ(v.r, expected);
    EXPECT_EQ(v.g, expected);
    EXPECT_EQ(v.b, expected);
}

// Each effect keeps the settings of its own run: preparing a second stroke effect does not change
// what the first one makes.
TEST(PP_CS, SettingsStayWithTheirEffect) {
    WorkingImageGuard guard;
    ASSERT_TRUE(PostProcess::global_pre_init(makeSourceImage(1, 1, [](int, int) {
        return Rgb{200, 120, 60};
    })));
    PP_CS first;
    first.prepare_for_process();
    const pixel_t before = first.process_pixel_x(0, 0, 0);

    PP_CS second;
    second.param_1()->setValue(1.7);
    second.param_2()->setValue(0.6);
    second.prepare_for_process();
    const pixel_t other = second.process_pixel_x(0, 0, 0);

    const pixel_t after = first.process_pixel_x(0, 0, 0);
    EXPECT_EQ(after.r, before.r);
    EXPECT_EQ(after.g, before.g);
    EXPECT_EQ(after.b, before.b);
    EXPECT_NE(other.r, before.r) << "the two settings give different strokes";
}

} // namespace
