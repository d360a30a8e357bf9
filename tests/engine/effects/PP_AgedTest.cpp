// "Aged": the warm monochrome with its vignette, by known pixels, and through whole runs.
#include "engine/effects/vintage/PP_Aged.h"

#include "engine/PostProcessParameter.h"
#include "support/EffectRun.h"

#include <gtest/gtest.h>

TEST(PP_Aged, NamesCategoryAndContrastSlider) {
    PP_Aged effect;
    EXPECT_EQ(effect.class_name(), "PP_Aged");
    EXPECT_EQ(effect.get_name(), "Aged");
    EXPECT_EQ(effect.get_categorie(), "Vintage");
    EXPECT_TRUE(effect.this_filter_is_simply_color_modify());
    EXPECT_EQ(effect.passes(), 1u);
    const PostProcessParameter* p = effect.param_1();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p, effect.param_1());
    EXPECT_EQ(p->name(), "Contrast");
    EXPECT_EQ(p->min_value(), -0.75);
    EXPECT_EQ(p->max_value(), 0.5);
    EXPECT_EQ(p->default_value(), -0.0625);
    EXPECT_EQ(effect.param_2(), nullptr);
}

TEST(PP_Aged, WarmGreyDarkenedTowardsTheBorder) {
    struct Case {
        const char* what;
        int w, h, x, y;
        Rgb colour;
        double contrast;
        float red, blue; // green equals red
    };
    const Case cases[] = {
        // At the centre the vignette is 1.1.
        {"grey at centre", 64, 48, 32, 24, {128, 128, 128}, -0.0625, 0.64889706f, 0.54889706f},
        {"colour at centre", 64, 48, 32, 24, {30, 60, 90}, -0.0625, 0.37389706f, 0.27389706f},
        {"white at centre clamps", 64, 48, 32, 24, {255, 255, 255}, -0.0625, 1.1f, 1.0f},
        {"black anywhere", 64, 48, 5, 40, {0, 0, 0}, -0.0625, 0.13125f, 0.03125f},
        // At a corner it is about 0.1358 whatever the aspect ratio.
        {"white at corner, landscape", 64, 48, 0, 0, {255, 255, 255}, -0.0625, 0.25852826f, 0.15852826f},
        {"white at corner, portrait", 48, 64, 0, 0, {255, 255, 255}, -0.0625, 0.25852826f, 0.15852826f},
        {"low contrast, white", 64, 48, 32, 24, {255, 255, 255}, -0.75, 0.75f, 0.65f},
        {"low contrast, black", 64, 48, 3, 3, {0, 0, 0}, -0.75, 0.475f, 0.375f},
        {"high contrast, black clamps", 64, 48, 60, 2, {0, 0, 0}, 0.5, 0.1f, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WorkingImageGuard guard;
        ASSERT_TRUE(PostProcess::global_pre_init(makeSourceImage(c.w, c.h, [&](int x, int y) {
            return x == c.x && y == c.y ? c.colour : Rgb{77, 77, 77};
        })));
        PP_Aged effect;
        effect.param_1()->setValue(c.contrast);
        effect.prepare_for_process();
        const pixel_t p = effect.process_pixel_x(c.x, c.y, 0);
        EXPECT_NEAR(p.r, c.red, 1e-6f);
        EXPECT_NEAR(p.g, c.red, 1e-6f);
        EXPECT_NEAR(p.b, c.blue, 1e-6f);
    }
}

TEST(PP_Aged, RunsStoreThePixelsOfTheFormula) {
    {
        WorkingImageGuard guard;
        PP_Aged full;
        expectRunStoresItsHookValues(full, makeSourceImage(64, 48, patternColour));
    }
    WorkingImageGuard guard;
    PP_Aged preview;
    preview.param_1()->setValue(0.3);
    expectRunStoresItsHookValues(preview, makeSourceImage(64, 48, patternColour), 3);
}
