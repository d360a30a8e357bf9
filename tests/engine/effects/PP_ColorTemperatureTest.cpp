// Colour-temperature looks: identity, the gains each type takes from its black-body colour, and
// the blend with "Amount".
#include "engine/effects/colour/PP_ColorTemperature.h"

#include "support/PixelEffectRun.h"

#include <gtest/gtest.h>

namespace {

TEST(PP_ColorTemperature, NamesCategoryAndParameter) {
    const char* const names[] = {"Cold Blue",   "Cool Blue",  "Cool", "Warm",
                                 "Warm Yellow", "Hot Yellow", "none", "none"};
    for (int type = -1; type < 7; ++type) {
        SCOPED_TRACE("type " + std::to_string(type));
        PP_ColorTemperature effect;
        effect.set_type(type);
        EXPECT_EQ(effect.class_name(), "PP_ColorTemperature");
        EXPECT_EQ(effect.get_name(), names[type < 0 ? 7 : type]);
        EXPECT_EQ(effect.get_categorie(), "Color Temperature");
        EXPECT_TRUE(effect.this_filter_is_simply_color_modify());
        expectParameter(effect.param_1(), {"Amount", 0.1, 2.0, 1.0}, "param_1");
        expectParameter(effect.param_2(), {}, "param_2");
    }
}

// The gains are 1 / component over the smallest of those: (1.4440, 1.3294, 1) for "Warm
// Yellow", so grey 128 becomes (184, 170, 128).
TEST(PP_ColorTemperature, GainsPerTypeAndAmount) {
    struct Case {
        int type;
        double amount;
        std::vector<PixelCase> pixels;
    };
    const std::vector<PixelCase> extremes = {{{0, 0, 0}, {0, 0, 0}},
                                             {{255, 255, 255}, {255, 255, 255}},
                                             {{255, 0, 0}, {255, 0, 0}},
                                             {{0, 0, 255}, {0, 0, 255}}};
    const auto with = [&](std::vector<PixelCase> more) {
        more.insert(more.end(), extremes.begin(), extremes.end());
        return more;
    };
    const std::vector<PixelCase> coldBlue = {
        {{128, 128, 128}, {128, 192, 255}}, {{40, 30, 20}, {40, 45, 55}}, {{200, 120, 60}, {200, 180, 167}}};
    const Case cases[] = {
        {0, 1.0, with(coldBlue)},
        {1, 1.0,
         with({{{128, 128, 128}, {128, 160, 211}},
               {{40, 30, 20}, {40, 37, 33}},
               {{200, 120, 60}, {200, 150, 99}}})},
        {2, 1.0,
         with({{{128, 128, 128}, {128, 144, 160}},
               {{40, 30, 20}, {40, 33, 25}},
               {{90, 160, 220}, {90, 181, 255}}})},
        {3, 1.0,
         with({{{128, 128, 128}, {137, 139, 128}},
               {{200, 120, 60}, {214, 131, 60}},
               {{250, 230, 40}, {255, 251, 40}}})},
        {4, 1.0,
         with({{{128, 128, 128}, {184, 170, 128}},
               {{40, 30, 20}, {57, 39, 20}},
               {{90, 160, 220}, {129, 212, 220}}})},
        {5, 1.0,
         with({{{128, 128, 128}, {235, 200, 128}},
               {{40, 30, 20}, {73, 46, 20}},
               {{90, 160, 220}, {165, 250, 220}}})},
        {6, 1.0, with(coldBlue)},
        {-3, 1.0, with(coldBlue)},
        // Twice the distance from 1 ("Warm Yellow" red 1.888), then a tenth of it.
        {0, 2.0, with({{{128, 128, 128}, {128, 255, 255}}, {{200, 120, 60}, {200, 241, 255}}})},
        {1, 2.0, with({{{128, 128, 128}, {128, 192, 255}}, {{200, 120, 60}, {200, 180, 138}}})},
        {2, 2.0, with({{{128, 128, 128}, {128, 161, 192}}, {{200, 120, 60}, {200, 151, 90}}})},
        {3, 2.0, with({{{128, 128, 128}, {146, 151, 128}}, {{200, 120, 60}, {228, 142, 60}}})},
        {4, 2.0, with({{{128, 128, 128}, {241, 212, 128}}, {{90, 160, 220}, {169, 255, 220}}})},
        {5, 2.0, with({{{128, 128, 128}, {255, 255, 128}}, {{90, 160, 220}, {241, 255, 220}}})},
        {0, 0.1, with({{{128, 128, 128}, {128, 134, 150}}, {{90, 160, 220}, {90, 168, 255}}})},
        {1, 0.1, with({{{128, 128, 128}, {128, 131, 136}}, {{90, 160, 220}, {90, 164, 234}}})},
        {2, 0.1, with({{{128, 128, 128}, {128, 129, 131}}, {{90, 160, 220}, {90, 162, 225}}})},
        {3, 0.1, with({{{128, 128, 128}, {128, 129, 128}}, {{200, 120, 60}, {201, 121, 60}}})},
        {4, 0.1, with({{{128, 128, 128}, {133, 132, 128}}, {{200, 120, 60}, {208, 123, 60}}})},
        {5, 0.1, with({{{128, 128, 128}, {138, 135, 128}}, {{200, 120, 60}, {216, 126, 60}}})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("type " + std::to_string(c.type) + " amount " + std::to_string(c.amount));
        PP_ColorTemperature effect;
        effect.set_type(c.type);
        effect.param_1()->setValue(c.amount);
        expectPixels(effect, c.pixels);
    }
}

TEST(PP_ColorTemperature, HookOutputIsTheGainBlend) {
    struct Case {
        int type;
        pixel_t gains;
    };
    const Case cases[] = {
        {0, {1.0f, 1.5069f, 2.7910f}}, {1, {1.0f, 1.2513f, 1.6543f}}, {2, {1.0f, 1.1317f, 1.25f}},
        {3, {1.0710f, 1.0929f, 1.0f}}, {4, {1.4440f, 1.3294f, 1.0f}}, {5, {1.8413f, 1.5652f, 1.0f}},
    };
    WorkingImageGuard guard;
    ASSERT_TRUE(PostProcess::global_pre_init(makeSourceImage(1, 1, [](int, int) {
        return Rgb{102, 51, 204};
    })));
    const pixel_t src = PostProcess::get_source_pixel(0, 0);
    for (const Case& c : cases)
        for (double amount : {0.1, 1.0, 1.7}) {
            SCOPED_TRACE("type " + std::to_string(c.type) + " amount " + std::to_string(amount));
            PP_ColorTemperature effect;
            effect.set_type(c.type);
            effect.param_1()->setValue(amount);
            effect.prepare_for_process();
            const pixel_t p = effect.process_pixel_x(0, 0, 0);
            const auto expected = [&](float gain, float v) { return (gain * v - v) * amount + v; };
            EXPECT_NEAR(p.r, expected(c.gains.r, src.r), 2e-4);
            EXPECT_NEAR(p.g, expected(c.gains.g, src.g), 2e-4);
            EXPECT_NEAR(p.b, expected(c.gains.b, src.b), 2e-4);
            // The smallest gain is exactly 1: that channel is untouched.
            const float untouched = c.type <= 2 ? p.r : p.b;
            EXPECT_EQ(untouched, c.type <= 2 ? src.r : src.b);
        }
}

} // namespace
