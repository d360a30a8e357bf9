// The per-pixel colour looks: "Gamma", the fixed hue shifts of PP_Hue and the "Test1" identity.
// Names and sliders, the formulas by known pixels, and runs at full size and in preview.
#include "engine/effects/colour/PP_Gamma.h"
#include "engine/effects/colour/PP_Hue.h"
#include "engine/effects/test/PP_Eff1.h"

#include "engine/PostProcessParameter.h"
#include "support/PixelEffectRun.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A row of every kind of colour: black, white, grey, saturated and muted hues.
const std::vector<Rgb> kColours = {{0, 0, 0},     {255, 255, 255}, {128, 128, 128}, {255, 0, 0},
                                   {30, 180, 90}, {200, 60, 10},   {77, 140, 250},  {240, 230, 20},
                                   {20, 40, 60},  {1, 2, 3}};

graphics::ImagePtr colourGrid() {
    return makeSourceImage(5, 4, [](int x, int y) { return kColours[size_t(x + 5 * y) % kColours.size()]; });
}

pixel_t hookOn(PostProcess& effect, Rgb c) {
    WorkingImageGuard guard;
    EXPECT_TRUE(PostProcess::global_pre_init(makeSourceImage(1, 1, [&](int, int) { return c; })));
    effect.pre_init();
    effect.prepare_for_process();
    return effect.process_pixel_x(0, 0, 0);
}

} // namespace

TEST(PP_Gamma, NameCategoryAndSlider) {
    PP_Gamma effect;
    EXPECT_EQ(effect.class_name(), "PP_Gamma");
    EXPECT_EQ(effect.get_name(), "Gamma");
    EXPECT_EQ(effect.get_categorie(), "Trash");
    EXPECT_TRUE(effect.this_filter_is_simply_color_modify());
    expectParameter(effect.param_1(), {"Gamma", 0.1, 1.9, 1.0}, "param_1");
    expectParameter(effect.param_2(), {}, "param_2");
}

// powf(c, 1 / gamma) capped at 1: every byte here is clear of a rounding edge.
TEST(PP_Gamma, RaisesEachChannelToOneOverGamma) {
    struct Table {
        double gamma;
        std::vector<PixelCase> cases;
    };
    const Table tables[] = {
        {0.5, {{{64, 128, 200}, {16, 64, 156}}, {{0, 1, 255}, {0, 0, 255}}}},
        {1.9, {{{64, 128, 200}, {123, 177, 224}}, {{0, 1, 255}, {0, 13, 255}}}},
        {0.1, {{{64, 128, 200}, {0, 0, 22}}, {{0, 1, 255}, {0, 0, 255}}}},
        {1.0, {{{64, 128, 200}, {64, 128, 200}}, {{0, 1, 255}, {0, 1, 255}}, {{17, 99, 254}, {17, 99, 254}}}},
    };
    for (const Table& t : tables) {
        SCOPED_TRACE(t.gamma);
        PP_Gamma effect;
        effect.param_1()->setValue(t.gamma);
        expectPixels(effect, t.cases);
    }
}

TEST(PP_Gamma, ReadsTheSliderAtEveryPixel) {
    WorkingImageGuard guard;
    ASSERT_TRUE(PostProcess::global_pre_init(makeSourceImage(1, 1, [](int, int) {
        return Rgb{64, 64, 64};
    })));
    PP_Gamma effect;
    effect.prepare_for_process();
    const float c = 64.0f / 255.0f;
    EXPECT_NEAR(effect.process_pixel_x(0, 0, 0).r, c, 1e-6f);
    effect.param_1()->setValue(0.5);
    EXPECT_NEAR(effect.process_pixel_x(0, 0, 0).r, c * c, 1e-6f);
}

TEST(PP_Hue, NamesCategoryAndSliderOfEveryType) {
    const char* const names[] = {"Hue Blue",   "Hue Green",  "Hue Pink", "Hue Turquoise",
                                 "Hue Purple", "Hue Yellow", "Hue Red",  "none"};
    for (int type = 0; type <= 7; ++type) {
        SCOPED_TRACE(type);
        PP_Hue effect;
        effect.set_type(type);
        EXPECT_EQ(effect.class_name(), "PP_Hue");
        EXPECT_EQ(effect.get_name(), names[type]);
        EXPECT_EQ(effect.get_categorie(), "Hue");
        EXPECT_TRUE(effect.this_filter_is_simply_color_modify());
        expectParameter(effect.param_1(), {"Amount", 0.1, 2.0, 1.0}, "param_1");
        expectParameter(effect.param_2(), {}, "param_2");
    }
}

// Expected values from the textbook HSL rotation in double precision: the hue turned by the
// type's offset, then mixed with the source by Amount (past it above 1).
TEST(PP_Hue, TurnsTheHueByTheTypesOffsetAndMixesByAmount) {
    struct Case {
        int type;
        double amount;
        Rgb in;
        pixel_t want;
    };
    const Case cases[] = {
        {3, 1.0, {255, 0, 0}, {0.0f, 1.0f, 1.0f}},
        {0, 1.0, {255, 0, 0}, {0.0f, 0.4f, 1.0f}},
        {1, 1.0, {30, 180, 90}, {0.235294118f, 0.117647059f, 0.705882353f}},
        {2, 1.0, {200, 60, 10}, {0.784313725f, 0.0392156863f, 0.290196078f}},
        {4, 1.0, {77, 140, 250}, {0.301960784f, 0.980392157f, 0.394117647f}},
        {5, 1.0, {200, 60, 10}, {0.662745098f, 0.784313725f, 0.0392156863f}},
        {6, 1.0, {30, 180, 90}, {0.117647059f, 0.705882353f, 0.176470588f}},
        {6, 1.0, {255, 0, 0}, {1.0f, 0.0f, 0.3f}},
        {0, 0.5, {77, 140, 250}, {0.561176471f, 0.764705882f, 0.641176471f}},
        {2, 2.0, {30, 180, 90}, {0.352941176f, 0.705882353f, -0.117647059f}},
        {4, 0.1, {200, 60, 10}, {0.766666667f, 0.215686275f, 0.11372549f}},
        {1, 1.0, {128, 128, 128}, {0.501960784f, 0.501960784f, 0.501960784f}},
        {5, 1.5, {240, 230, 20}, {-0.164705882f, 0.960784314f, 0.0784313725f}},
        {3, 1.0, {20, 40, 60}, {0.235294118f, 0.156862745f, 0.0784313725f}},
        {7, 1.0, {200, 60, 10}, {0.784313725f, 0.235294118f, 0.0392156863f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " at " << c.amount << " from " << c.in);
        PP_Hue effect;
        effect.set_type(c.type);
        effect.param_1()->setValue(c.amount);
        const pixel_t got = hookOn(effect, c.in);
        EXPECT_NEAR(got.r, c.want.r, 1e-5f);
        EXPECT_NEAR(got.g, c.want.g, 1e-5f);
        EXPECT_NEAR(got.b, c.want.b, 1e-5f);
    }
}

TEST(PP_Hue, TurquoiseMakesPureRedCyanAtFullSizeAndInPreview) {
    PP_Hue effect;
    effect.set_type(3);
    for (bool preview : {false, true}) {
        SCOPED_TRACE(preview ? "preview" : "full size");
        const std::vector<Rgb> out = runOverRow(effect, {{255, 0, 0}, {255, 0, 0}}, preview);
        ASSERT_EQ(out.size(), 2u);
        EXPECT_LE(out[0].r, 1);
        EXPECT_GE(out[0].g, 254);
        EXPECT_GE(out[0].b, 254);
    }
}

TEST(PP_Hue, RunsStoreTheHookAtFullSizeAndInPreview) {
    for (int type = 0; type <= 6; ++type) {
        SCOPED_TRACE(type);
        PP_Hue effect;
        effect.set_type(type);
        effect.param_1()->setValue(1.3);
        for (int step : {0, 2}) {
            WorkingImageGuard guard;
            expectRunStoresItsHookValues(effect, colourGrid(), step);
        }
    }
}

TEST(PP_Eff1, ReturnsEveryPixelUnchangedWhateverItsAmount) {
    PP_Eff1 effect;
    EXPECT_EQ(effect.class_name(), "PP_Eff1");
    EXPECT_EQ(effect.get_name(), "Test1");
    EXPECT_EQ(effect.get_categorie(), "Test");
    EXPECT_TRUE(effect.this_filter_is_simply_color_modify());
    expectParameter(effect.param_1(), {"Amount", 0.0, 1.0, 1.0}, "param_1");
    expectParameter(effect.param_2(), {}, "param_2");
    std::vector<PixelCase> same;
    for (const Rgb& c : kColours)
        same.push_back({c, c});
    for (double amount : {0.0, 0.4, 1.0}) {
        SCOPED_TRACE(amount);
        effect.param_1()->setValue(amount);
        expectPixels(effect, same);
    }
}
