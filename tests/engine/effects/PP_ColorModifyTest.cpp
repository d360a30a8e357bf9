// Colour-modify looks: identity per type, the per-type formulas against bytes worked out by hand
// in single and double precision as each step prescribes, and the randomised contour drawing.
#include "engine/effects/colour/PP_ColorModify.h"

#include "engine/Neighbourhood.h"
#include "kernels/Random.h"

#include "support/PixelEffectRun.h"

#include <gtest/gtest.h>

namespace {

TEST(PP_ColorModify, NamesCategoriesAndParametersPerType) {
    struct Case {
        int type;
        const char* name;
        const char* category;
        ParamSpec p1, p2;
        bool simple;
    };
    const Case cases[] = {
        {0, "Color Reprint", "Art", {"Amount", 0.7, 2.0, 1.0}, {}, true},
        {1, "Abstract Contours", "Art", {"Scale", 2.0, 20.0, 4.0}, {}, false},
        {2, "B&W Magazine", "Black&White", {"Contrast", 1.2, 3.0, 1.7}, {}, true},
        {3, "Amsterdam", "Photo Styles", {"Contrast", 1.2, 3.0, 1.7}, {"Saturation", 0.1, 0.7, 0.5}, true},
        {4, "Hippie", "Photo Styles", {"Contrast", 1.2, 3.0, 1.506}, {"Saturation", 1.0, 3.0, 1.5}, true},
        {5, "none", "none", {"Scale", 1.5, 3.0, 2.0}, {}, true},
        {8, "none", "none", {"Scale", 1.5, 3.0, 2.0}, {}, true},
        {9, "none", "none", {}, {}, true},
        {-1, "none", "none", {}, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("type " + std::to_string(c.type));
        PP_ColorModify effect;
        effect.set_type(c.type);
        EXPECT_EQ(effect.class_name(), "PP_ColorModify");
        EXPECT_EQ(effect.get_name(), c.name);
        EXPECT_EQ(effect.get_categorie(), c.category);
        EXPECT_EQ(effect.this_filter_is_simply_color_modify(), c.simple);
        expectParameter(effect.param_1(), c.p1, "param_1");
        expectParameter(effect.param_2(), c.p2, "param_2");
        EXPECT_EQ(effect.param_1(), effect.param_1()) << "made once";
    }
}

TEST(PP_ColorModify, LooksAtTheirDefaults) {
    struct Case {
        int type;
        std::vector<PixelCase> pixels;
    };
    const Case cases[] = {
        // Color Reprint: (40, 30, 20) is dark after the self-overlay (mean 0.059) and gets a further
        // fifth of the source; without it the result would be (20, 15, 10).
        {0,
         {{{0, 0, 0}, {0, 0, 0}},
          {{255, 255, 255}, {255, 255, 255}},
          {{128, 128, 128}, {195, 195, 195}},
          {{255, 0, 0}, {255, 0, 0}},
          {{40, 30, 20}, {28, 21, 14}},
          {{200, 120, 60}, {255, 138, 30}},
          {{90, 160, 220}, {52, 255, 255}}}},
        // B&W Magazine: the grey of do_saturation, whose weights sum to 1.03.
        {2,
         {{{0, 0, 0}, {0, 0, 0}},
          {{255, 255, 255}, {255, 255, 255}},
          {{128, 128, 128}, {163, 163, 163}},
          {{255, 0, 0}, {63, 63, 63}},
          {{0, 255, 0}, {203, 203, 203}},
          {{0, 0, 255}, {0, 0, 0}},
          {{200, 120, 60}, {188, 188, 188}},
          {{230, 40, 220}, {146, 146, 146}}}},
        {3,
         {{{0, 0, 0}, {0, 0, 0}},
          {{128, 128, 128}, {161, 161, 161}},
          {{255, 0, 0}, {245, 0, 0}},
          {{0, 255, 0}, {46, 255, 46}},
          {{0, 0, 255}, {0, 0, 186}},
          {{200, 120, 60}, {249, 165, 102}},
          {{90, 160, 220}, {138, 212, 255}},
          {{250, 230, 40}, {255, 255, 164}}}},
        // Hippie: mid grey is 0.634 before the saturation step.
        {4,
         {{{0, 0, 0}, {0, 0, 0}},
          {{255, 255, 255}, {255, 255, 255}},
          {{128, 128, 128}, {159, 159, 159}},
          {{40, 30, 20}, {2, 0, 0}},
          {{200, 120, 60}, {255, 125, 0}},
          {{90, 160, 220}, {35, 234, 255}}}},
        // Colour casts: c + w x 2 in double, landing a hair off whole bytes.
        {5,
         {{{0, 0, 0}, {0, 0, 0}},
          {{255, 255, 255}, {207, 253, 50}},
          {{128, 128, 128}, {80, 126, 0}},
          {{200, 120, 60}, {152, 118, 0}},
          {{90, 160, 220}, {42, 158, 16}}}},
        {6,
         {{{255, 255, 255}, {2, 253, 253}},
          {{128, 128, 128}, {0, 126, 126}},
          {{40, 30, 20}, {0, 28, 18}},
          {{200, 120, 60}, {0, 118, 58}}}},
        {7,
         {{{255, 255, 255}, {253, 42, 16}},
          {{128, 128, 128}, {126, 0, 0}},
          {{250, 230, 40}, {248, 18, 0}},
          {{40, 220, 230}, {38, 8, 0}}}},
        {8,
         {{{255, 255, 255}, {231, 0, 253}},
          {{128, 128, 128}, {104, 0, 126}},
          {{40, 30, 20}, {16, 0, 18}},
          {{90, 160, 220}, {66, 0, 218}}}},
        // No such look: the picture passes through.
        {9, {{{0, 0, 0}, {0, 0, 0}}, {{200, 120, 60}, {200, 120, 60}}, {{90, 160, 220}, {90, 160, 220}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("type " + std::to_string(c.type));
        PP_ColorModify effect;
        effect.set_type(c.type);
        expectPixels(effect, c.pixels);
    }
}

TEST(PP_ColorModify, LooksFollowTheirSliders) {
    struct Case {
        int type;
        double p1, p2;
        std::vector<PixelCase> pixels;
    };
    const Case cases[] = {
        {0,
         2.0,
         0,
         {{{128, 128, 128}, {255, 255, 255}},
          {{200, 120, 60}, {255, 157, 0}},
          {{90, 160, 220}, {15, 255, 255}}}},
        {0,
         0.7,
         0,
         {{{128, 128, 128}, {175, 175, 175}},
          {{200, 120, 60}, {255, 132, 39}},
          {{90, 160, 220}, {64, 255, 255}}}},
        {2,
         3.0,
         0,
         {{{128, 128, 128}, {164, 164, 164}},
          {{200, 120, 60}, {207, 207, 207}},
          {{90, 160, 220}, {225, 225, 225}}}},
        {3,
         1.2,
         0.1,
         {{{128, 128, 128}, {163, 163, 163}},
          {{200, 120, 60}, {189, 177, 168}},
          {{90, 160, 220}, {179, 189, 198}}}},
        {4,
         3.0,
         3.0,
         {{{128, 128, 128}, {152, 152, 152}},
          {{200, 120, 60}, {255, 0, 0}},
          {{90, 160, 220}, {0, 255, 255}}}},
        {5,
         3.0,
         0,
         {{{128, 128, 128}, {56, 125, 0}}, {{200, 120, 60}, {128, 117, 0}}, {{90, 160, 220}, {18, 157, 0}}}},
        {6,
         3.0,
         0,
         {{{128, 128, 128}, {0, 125, 125}}, {{200, 120, 60}, {0, 117, 57}}, {{90, 160, 220}, {0, 157, 217}}}},
        {7,
         3.0,
         0,
         {{{128, 128, 128}, {125, 0, 0}}, {{200, 120, 60}, {197, 0, 0}}, {{90, 160, 220}, {87, 0, 0}}}},
        {8,
         3.0,
         0,
         {{{128, 128, 128}, {92, 0, 125}}, {{200, 120, 60}, {164, 0, 57}}, {{90, 160, 220}, {54, 0, 217}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("type " + std::to_string(c.type) + " at " + std::to_string(c.p1));
        PP_ColorModify effect;
        effect.set_type(c.type);
        effect.param_1()->setValue(c.p1);
        if (effect.param_2()) effect.param_2()->setValue(c.p2);
        expectPixels(effect, c.pixels);
    }
}

TEST(PP_ColorModify, MagazineIsAlwaysGrey) {
    WorkingImageGuard guard;
    PP_ColorModify effect;
    effect.set_type(2);
    effect.param_1()->setValue(2.3);
    ASSERT_TRUE(PostProcess::global_pre_init(makeSourceImage(40, 30, patternColour)));
    effect.prepare_for_process();
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const pixel_t p = effect.process_pixel_x(x, y, 0);
            ASSERT_EQ(p.r, p.g) << x << "," << y;
            ASSERT_EQ(p.r, p.b) << x << "," << y;
        }
}

// Bytes of a full-size run over image, the generator seeded first.
std::vector<uint8_t> seededRun(PostProcess& effect, const graphics::ImagePtr& image) {
    PostProcess::global_clean();
    effect.prepare(image);
    effect.set_silent_mode(true);
    Random::seed(7);
    effect.process();
    return {PostProcess::gp_data, PostProcess::gp_data + size_t(PostProcess::g_bypr) * PostProcess::g_height};
}

TEST(PP_ColorModify, AbstractContoursDrawRandomisedEdges) {
    WorkingImageGuard guard;
    PP_ColorModify effect;
    effect.set_type(1);
    effect.param_1()->setValue(2.5); // offsets up to 2.5 x 3 = 7.5 pixels

    // Flat areas have no edges, whatever the draws.
    const std::vector<uint8_t> flat = seededRun(effect, makeSourceImage(9, 7, [](int, int) {
                                                    return Rgb{90, 160, 220};
                                                }));
    for (size_t i = 0; i < flat.size(); i += 4)
        ASSERT_EQ(flat[i + 1] | flat[i + 2] | flat[i + 3], 0) << "flat image, pixel " << i / 4;

    // Edge strength at offset scale 3 with factors in 0.2 .. "Scale", drawn in visiting order
    // from the seeded generator: row by row, the image being narrower than one strip of columns.
    const int w = 30, h = 14;
    const auto step = [](int x, int) { return x < 12 ? Rgb{20, 30, 40} : Rgb{210, 220, 240}; };
    const std::vector<uint8_t> out = seededRun(effect, makeSourceImage(w, h, step));
    PostProcess::global_clean();
    ASSERT_TRUE(PostProcess::global_pre_init(makeSourceImage(w, h, step)));
    Random::seed(7);
    int lit = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float v = do_edge_detection(x, y, true, 3.0f, 0.2f, 2.5f);
            const uint8_t expected = uint8_t(v * 255.0f);
            const uint8_t* p = &out[(size_t(y) * w + size_t(x)) * 4];
            ASSERT_EQ(p[1], expected) << x << "," << y;
            ASSERT_EQ(p[2], expected) << x << "," << y;
            ASSERT_EQ(p[3], expected) << x << "," << y;
            // Positions truncate toward zero: x - 7.5 reaches back to column 11 from x = 19.
            const bool nearStep = x >= 5 && x <= 19;
            if (!nearStep) {
                EXPECT_EQ(expected, 0) << x << "," << y;
            }
            lit += expected > 0;
        }
    EXPECT_GT(lit, h) << "the step shows";
}

} // namespace
