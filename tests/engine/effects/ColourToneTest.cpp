// Colour and tone effects: names, categories and parameters of every class and lens type, the
// bytes each formula makes of known colours at full size and in preview, the hook values at the
// documented points, and night vision's neighbourhood threshold.
#include "engine/effects/colour/PP_Invert.h"
#include "engine/effects/colour/PP_LensFilter.h"
#include "engine/effects/colour/PP_LensFilter_Hard.h"
#include "engine/effects/colour/PP_LessColors.h"
#include "engine/effects/colour/PP_MoreColors.h"
#include "engine/effects/colour/PP_MoreContrast.h"
#include "engine/effects/colour/PP_NightVision.h"
#include "engine/effects/colour/PP_Normalize.h"
#include "engine/effects/colour/PP_Solarization.h"
#include "engine/effects/colour/PP_Tritone.h"
#include "engine/effects/colour/PP_Tritone2.h"
#include "engine/effects/colour/PP_XRay.h"
#include "engine/effects/test/PP_NV1.h"
#include "engine/effects/vintage/PP_Sepia.h"

#include "support/PixelEffectRun.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using Factory = std::unique_ptr<PostProcess> (*)();

template <typename Effect> std::unique_ptr<PostProcess> make() {
    return std::make_unique<Effect>();
}

TEST(ColourTone, NamesCategoriesAndParameters) {
    struct Case {
        Factory factory;
        const char* className;
        const char* name;
        const char* category;
        bool colourModify;
        ParamSpec p1, p2;
    };
    const Case cases[] = {
        {make<PP_Invert>,
         "PP_Invert",
         "Invert Image",
         "Color Fantasy",
         true,
         {"Contrast", 0.5, 2.0, 1.0},
         {}},
        {make<PP_LensFilter>,
         "PP_LensFilter",
         "Red Lense",
         "Color Lenses",
         false,
         {"Contrast", -0.4, 0.4, 0.0},
         {}},
        {make<PP_LensFilter_Hard>,
         "PP_LensFilter_Hard",
         "Red Lense Mono",
         "Color Lenses",
         false,
         {"Contrast", -0.4, 0.4, 0.0},
         {}},
        {make<PP_LessColors>,
         "PP_LessColors",
         "Less Colors",
         "Image Correction",
         true,
         {"Saturation", 0.0, 2.5, 0.5},
         {}},
        {make<PP_MoreColors>,
         "PP_MoreColors",
         "Saturation",
         "Trash",
         true,
         {"Saturation", 0.0, 3.0, 2.2},
         {}},
        {make<PP_MoreContrast>,
         "PP_MoreContrast",
         "Contrast",
         "Trash",
         true,
         {"Contrast", 0.4, 2.0, 1.5},
         {}},
        {make<PP_Normalize>, "PP_Normalize", "Normalize", "Uncategorized", true, {}, {}},
        {make<PP_Sepia>, "PP_Sepia", "Sepia", "Vintage", true, {"Amount", 0.0, 1.1, 1.0}, {}},
        {make<PP_Solarization>,
         "PP_Solarization",
         "Solarize",
         "Color Fantasy",
         true,
         {"Contrast", 0.5, 2.0, 1.0},
         {}},
        {make<PP_Tritone>, "PP_Tritone", "Tritone", "Color Fantasy", true, {"Depth", 0.1, 3.0, 1.0}, {}},
        {make<PP_Tritone2>,
         "PP_Tritone2",
         "Tritone 2",
         "Color Fantasy",
         true,
         {"Contrast", 0.1, 3.0, 1.0},
         {}},
        {make<PP_XRay>,
         "PP_XRay",
         "X-ray",
         "SFX",
         true,
         {"Contrast", 0.5, 5.0, 4.0},
         {"Brightness", 0.3, 2.0, 1.0}},
        {make<PP_NightVision>,
         "PP_NightVision",
         "Night Vision",
         "Image Correction",
         false,
         {"Amount", 1.0, 10.0, 5.0},
         {}},
        {make<PP_NV1>, "PP_NV1", "PP_NV1", "Test", false, {"br", 0.0, 0.5, 0.22}, {"contr", 1.0, 2.0, 1.2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.className);
        const std::unique_ptr<PostProcess> effect = c.factory();
        EXPECT_EQ(effect->class_name(), c.className);
        EXPECT_EQ(effect->get_name(), c.name);
        EXPECT_EQ(effect->get_categorie(), c.category);
        EXPECT_EQ(effect->this_filter_is_simply_color_modify(), c.colourModify);
        expectParameter(effect->param_1(), c.p1, "param_1");
        expectParameter(effect->param_2(), c.p2, "param_2");
        // Made once, then kept.
        EXPECT_EQ(effect->param_1(), effect->param_1());
    }
}

TEST(ColourTone, LensNamesByType) {
    const char* const names[] = {"Red Lense",         "Green Lense",    "Blue Lense",   "Lilac Lense",
                                 "Violet Lense",      "Pink Lense",     "Orange Lense", "Yellow Lense",
                                 "Light Green Lense", "Turquoise Lense"};
    for (int type = -2; type < 13; ++type) {
        SCOPED_TRACE("type " + std::to_string(type));
        PP_LensFilter lens;
        PP_LensFilter_Hard mono;
        lens.set_type(type);
        mono.set_type(type);
        const bool known = type >= 0 && type <= 9;
        EXPECT_EQ(lens.get_name(), known ? std::string(names[type]) : "Lenses Light");
        EXPECT_EQ(mono.get_name(), known ? std::string(names[type]) + " Mono" : "Lenses Mono");
    }
}

// The bytes a run stores, at full size and in preview.
TEST(ColourTone, PixelTables) {
    struct Case {
        Factory factory;
        int type;
        std::optional<double> p1, p2;
        std::vector<PixelCase> pixels;
    };
    // clang-format off
    const Case cases[] = {
        {make<PP_Invert>, 0, 1.0, std::nullopt, {{{0, 0, 0}, {255, 255, 255}}, {{255, 255, 255}, {0, 0, 0}}, {{128, 128, 128}, {126, 126, 126}}, {{64, 64, 64}, {191, 191, 191}}, {{200, 120, 60}, {54, 134, 195}}, {{40, 30, 20}, {215, 225, 235}}, {{90, 160, 220}, {165, 94, 34}}, {{255, 0, 0}, {0, 255, 255}}}},
        // Twice the distance from mid grey: 64 and 191 land next to white and black.
        {make<PP_Invert>, 0, 2.0, std::nullopt, {{{0, 0, 0}, {255, 255, 255}}, {{255, 255, 255}, {0, 0, 0}}, {{128, 128, 128}, {126, 126, 126}}, {{64, 64, 64}, {254, 254, 254}}, {{200, 120, 60}, {0, 142, 255}}, {{40, 30, 20}, {255, 255, 255}}, {{90, 160, 220}, {202, 62, 0}}, {{255, 0, 0}, {0, 255, 255}}}},
        {make<PP_Invert>, 0, 0.5, std::nullopt, {{{0, 0, 0}, {191, 191, 191}}, {{255, 255, 255}, {63, 63, 63}}, {{128, 128, 128}, {127, 127, 127}}, {{64, 64, 64}, {159, 159, 159}}, {{200, 120, 60}, {91, 131, 161}}, {{40, 30, 20}, {171, 176, 181}}, {{90, 160, 220}, {146, 111, 81}}, {{255, 0, 0}, {63, 191, 191}}}},
        // Contrast 0 is 1.35; types outside 0..8 are turquoise.
        {make<PP_LensFilter>, -1, 0.0, std::nullopt, {{{128, 128, 128}, {24, 127, 128}}, {{64, 64, 64}, {8, 41, 41}}, {{200, 120, 60}, {43, 116, 36}}}},
        {make<PP_LensFilter>, 0, 0.0, std::nullopt, {{{128, 128, 128}, {128, 24, 24}}, {{64, 64, 64}, {41, 8, 8}}, {{200, 120, 60}, {225, 22, 6}}}},
        {make<PP_LensFilter>, 1, 0.0, std::nullopt, {{{128, 128, 128}, {53, 128, 24}}, {{64, 64, 64}, {17, 41, 8}}, {{200, 120, 60}, {94, 117, 6}}}},
        {make<PP_LensFilter>, 2, 0.0, std::nullopt, {{{128, 128, 128}, {44, 44, 128}}, {{64, 64, 64}, {14, 14, 41}}, {{200, 120, 60}, {77, 40, 36}}}},
        {make<PP_LensFilter>, 3, 0.0, std::nullopt, {{{128, 128, 128}, {90, 67, 128}}, {{64, 64, 64}, {29, 22, 41}}, {{200, 120, 60}, {159, 62, 36}}}},
        {make<PP_LensFilter>, 4, 0.0, std::nullopt, {{{128, 128, 128}, {128, 24, 126}}, {{64, 64, 64}, {41, 8, 41}}, {{200, 120, 60}, {225, 22, 35}}}},
        {make<PP_LensFilter>, 5, 0.0, std::nullopt, {{{128, 128, 128}, {128, 70, 68}}, {{64, 64, 64}, {41, 23, 22}}, {{200, 120, 60}, {225, 64, 19}}}},
        {make<PP_LensFilter>, 6, 0.0, std::nullopt, {{{128, 128, 128}, {128, 50, 24}}, {{64, 64, 64}, {41, 16, 8}}, {{200, 120, 60}, {225, 46, 6}}}},
        {make<PP_LensFilter>, 7, 0.0, std::nullopt, {{{128, 128, 128}, {128, 121, 24}}, {{64, 64, 64}, {41, 39, 8}}, {{200, 120, 60}, {225, 110, 6}}}},
        {make<PP_LensFilter>, 8, 0.0, std::nullopt, {{{128, 128, 128}, {98, 128, 24}}, {{64, 64, 64}, {32, 41, 8}}, {{200, 120, 60}, {173, 117, 6}}}},
        {make<PP_LensFilter>, 9, 0.0, std::nullopt, {{{128, 128, 128}, {24, 127, 128}}, {{64, 64, 64}, {8, 41, 41}}, {{200, 120, 60}, {43, 116, 36}}}},
        {make<PP_LensFilter>, 10, 0.0, std::nullopt, {{{128, 128, 128}, {24, 127, 128}}, {{64, 64, 64}, {8, 41, 41}}, {{200, 120, 60}, {43, 116, 36}}}},
        {make<PP_LensFilter>, 3, 0.4, std::nullopt, {{{0, 0, 0}, {0, 0, 0}}, {{255, 255, 255}, {247, 185, 255}}, {{128, 128, 128}, {90, 67, 128}}, {{64, 64, 64}, {11, 8, 16}}, {{200, 120, 60}, {179, 60, 9}}, {{40, 30, 20}, {0, 0, 0}}, {{90, 160, 220}, {43, 97, 255}}, {{255, 0, 0}, {247, 0, 0}}}},
        {make<PP_LensFilter>, 5, -0.4, std::nullopt, {{{0, 0, 0}, {6, 3, 3}}, {{255, 255, 255}, {248, 137, 133}}, {{128, 128, 128}, {127, 70, 68}}, {{64, 64, 64}, {67, 37, 36}}, {{200, 120, 60}, {196, 66, 34}}, {{40, 30, 20}, {44, 19, 13}}, {{90, 160, 220}, {91, 87, 115}}, {{255, 0, 0}, {248, 3, 3}}}},
        {make<PP_LensFilter_Hard>, 0, 0.0, std::nullopt, {{{0, 0, 0}, {0, 0, 0}}, {{255, 255, 255}, {255, 57, 57}}, {{128, 128, 128}, {128, 24, 24}}, {{64, 64, 64}, {41, 8, 8}}, {{200, 120, 60}, {126, 24, 24}}, {{40, 30, 20}, {0, 0, 0}}, {{90, 160, 220}, {166, 32, 32}}, {{255, 0, 0}, {70, 13, 13}}}},
        {make<PP_LensFilter_Hard>, 4, 0.0, std::nullopt, {{{0, 0, 0}, {0, 0, 0}}, {{255, 255, 255}, {255, 57, 255}}, {{128, 128, 128}, {128, 24, 126}}, {{64, 64, 64}, {41, 8, 41}}, {{200, 120, 60}, {126, 24, 124}}, {{40, 30, 20}, {0, 0, 0}}, {{90, 160, 220}, {166, 32, 164}}, {{255, 0, 0}, {70, 13, 69}}}},
        {make<PP_LensFilter_Hard>, 9, 0.0, std::nullopt, {{{0, 0, 0}, {0, 0, 0}}, {{255, 255, 255}, {57, 255, 255}}, {{128, 128, 128}, {24, 127, 128}}, {{64, 64, 64}, {8, 41, 41}}, {{200, 120, 60}, {24, 125, 126}}, {{40, 30, 20}, {0, 0, 0}}, {{90, 160, 220}, {32, 166, 166}}, {{255, 0, 0}, {13, 69, 70}}}},
        {make<PP_LensFilter_Hard>, 12, 0.0, std::nullopt, {{{0, 0, 0}, {0, 0, 0}}, {{255, 255, 255}, {57, 255, 255}}, {{128, 128, 128}, {24, 127, 128}}, {{64, 64, 64}, {8, 41, 41}}, {{200, 120, 60}, {24, 125, 126}}, {{40, 30, 20}, {0, 0, 0}}, {{90, 160, 220}, {32, 166, 166}}, {{255, 0, 0}, {13, 69, 70}}}},
        {make<PP_LensFilter_Hard>, 7, 0.4, std::nullopt, {{{0, 0, 0}, {0, 0, 0}}, {{255, 255, 255}, {255, 255, 67}}, {{128, 128, 128}, {128, 121, 24}}, {{64, 64, 64}, {16, 15, 3}}, {{200, 120, 60}, {126, 119, 24}}, {{40, 30, 20}, {0, 0, 0}}, {{90, 160, 220}, {178, 168, 34}}, {{255, 0, 0}, {53, 50, 10}}}},
        // Grey weights sum to 1.03: even greys brighten.
        {make<PP_LessColors>, 0, 0.5, std::nullopt, {{{0, 0, 0}, {0, 0, 0}}, {{255, 255, 255}, {255, 255, 255}}, {{128, 128, 128}, {129, 129, 129}}, {{64, 64, 64}, {64, 64, 64}}, {{200, 120, 60}, {171, 131, 101}}, {{40, 30, 20}, {36, 31, 26}}, {{90, 160, 220}, {119, 154, 184}}, {{255, 0, 0}, {169, 42, 42}}}},
        {make<PP_LessColors>, 0, 0.0, std::nullopt, {{{0, 0, 0}, {0, 0, 0}}, {{255, 255, 255}, {255, 255, 255}}, {{128, 128, 128}, {131, 131, 131}}, {{64, 64, 64}, {65, 65, 65}}, {{200, 120, 60}, {143, 143, 143}}, {{40, 30, 20}, {33, 33, 33}}, {{90, 160, 220}, {148, 148, 148}}, {{255, 0, 0}, {84, 84, 84}}}},
        {make<PP_MoreColors>, 0, 2.2, std::nullopt, {{{0, 0, 0}, {0, 0, 0}}, {{255, 255, 255}, {245, 245, 245}}, {{128, 128, 128}, {123, 123, 123}}, {{64, 64, 64}, {61, 61, 61}}, {{200, 120, 60}, {255, 91, 0}}, {{40, 30, 20}, {48, 26, 4}}, {{90, 160, 220}, {20, 174, 255}}, {{255, 0, 0}, {255, 0, 0}}}},
        {make<PP_MoreColors>, 0, 3.0, std::nullopt, {{{0, 0, 0}, {0, 0, 0}}, {{255, 255, 255}, {239, 239, 239}}, {{128, 128, 128}, {120, 120, 120}}, {{64, 64, 64}, {60, 60, 60}}, {{200, 120, 60}, {255, 73, 0}}, {{40, 30, 20}, {53, 23, 0}}, {{90, 160, 220}, {0, 183, 255}}, {{255, 0, 0}, {255, 0, 0}}}},
        {make<PP_MoreContrast>, 0, 1.5, std::nullopt, {{{0, 0, 0}, {0, 0, 0}}, {{255, 255, 255}, {255, 255, 255}}, {{128, 128, 128}, {128, 128, 128}}, {{64, 64, 64}, {32, 32, 32}}, {{200, 120, 60}, {236, 116, 26}}, {{40, 30, 20}, {0, 0, 0}}, {{90, 160, 220}, {71, 176, 255}}, {{255, 0, 0}, {255, 0, 0}}}},
        {make<PP_MoreContrast>, 0, 0.4, std::nullopt, {{{0, 0, 0}, {76, 76, 76}}, {{255, 255, 255}, {178, 178, 178}}, {{128, 128, 128}, {127, 127, 127}}, {{64, 64, 64}, {102, 102, 102}}, {{200, 120, 60}, {156, 124, 100}}, {{40, 30, 20}, {92, 88, 84}}, {{90, 160, 220}, {112, 140, 164}}, {{255, 0, 0}, {178, 76, 76}}}},
        {make<PP_Normalize>, 0, std::nullopt, std::nullopt, {{{0, 0, 0}, {0, 0, 0}}, {{255, 255, 255}, {255, 255, 255}}, {{128, 128, 128}, {128, 128, 128}}, {{64, 64, 64}, {64, 64, 64}}, {{200, 120, 60}, {200, 120, 60}}, {{40, 30, 20}, {40, 30, 20}}, {{90, 160, 220}, {90, 160, 220}}, {{255, 0, 0}, {255, 0, 0}}}},
        {make<PP_NV1>, 0, 0.5, 2.0, {{{0, 0, 0}, {0, 0, 0}}, {{255, 255, 255}, {255, 255, 255}}, {{128, 128, 128}, {128, 128, 128}}, {{64, 64, 64}, {64, 64, 64}}, {{200, 120, 60}, {200, 120, 60}}, {{40, 30, 20}, {40, 30, 20}}, {{90, 160, 220}, {90, 160, 220}}, {{255, 0, 0}, {255, 0, 0}}}},
        // Grey 128 takes the sepia hue and saturation: (27, 96, 128).
        {make<PP_Sepia>, 0, 1.0, std::nullopt, {{{0, 0, 0}, {0, 0, 0}}, {{255, 255, 255}, {254, 201, 158}}, {{128, 128, 128}, {128, 101, 80}}, {{64, 64, 64}, {64, 51, 40}}, {{200, 120, 60}, {137, 109, 85}}, {{40, 30, 20}, {31, 25, 19}}, {{90, 160, 220}, {145, 115, 89}}, {{255, 0, 0}, {75, 60, 47}}}},
        {make<PP_Sepia>, 0, 0.5, std::nullopt, {{{0, 0, 0}, {0, 0, 0}}, {{255, 255, 255}, {254, 228, 206}}, {{128, 128, 128}, {128, 114, 104}}, {{64, 64, 64}, {64, 57, 52}}, {{200, 120, 60}, {168, 114, 72}}, {{40, 30, 20}, {35, 27, 19}}, {{90, 160, 220}, {117, 137, 155}}, {{255, 0, 0}, {165, 30, 23}}}},
        {make<PP_Sepia>, 0, 1.1, std::nullopt, {{{0, 0, 0}, {0, 0, 0}}, {{255, 255, 255}, {253, 195, 148}}, {{128, 128, 128}, {128, 98, 75}}, {{64, 64, 64}, {64, 49, 37}}, {{200, 120, 60}, {130, 107, 87}}, {{40, 30, 20}, {30, 24, 18}}, {{90, 160, 220}, {150, 110, 76}}, {{255, 0, 0}, {58, 66, 51}}}},
        {make<PP_Sepia>, 0, 0.0, std::nullopt, {{{0, 0, 0}, {0, 0, 0}}, {{255, 255, 255}, {255, 255, 255}}, {{128, 128, 128}, {128, 128, 128}}, {{64, 64, 64}, {64, 64, 64}}, {{200, 120, 60}, {200, 120, 60}}, {{40, 30, 20}, {40, 30, 20}}, {{90, 160, 220}, {90, 160, 220}}, {{255, 0, 0}, {255, 0, 0}}}},
        {make<PP_Solarization>, 0, 1.0, std::nullopt, {{{0, 0, 0}, {255, 255, 255}}, {{255, 255, 255}, {255, 255, 255}}, {{128, 128, 128}, {1, 1, 1}}, {{64, 64, 64}, {126, 126, 126}}, {{200, 120, 60}, {145, 14, 134}}, {{40, 30, 20}, {175, 195, 215}}, {{90, 160, 220}, {74, 65, 185}}, {{255, 0, 0}, {255, 255, 255}}}},
        {make<PP_Solarization>, 0, 2.0, std::nullopt, {{{0, 0, 0}, {255, 255, 255}}, {{255, 255, 255}, {255, 255, 255}}, {{128, 128, 128}, {0, 0, 0}}, {{64, 64, 64}, {126, 126, 126}}, {{200, 120, 60}, {162, 0, 142}}, {{40, 30, 20}, {222, 255, 255}}, {{90, 160, 220}, {22, 2, 242}}, {{255, 0, 0}, {255, 255, 255}}}},
        // Black is the shadow tone, white the highlight, grey near the mid tone.
        {make<PP_Tritone>, 0, 1.0, std::nullopt, {{{0, 0, 0}, {255, 0, 0}}, {{255, 255, 255}, {0, 0, 255}}, {{128, 128, 128}, {0, 253, 1}}, {{64, 64, 64}, {126, 128, 0}}, {{200, 120, 60}, {1, 253, 0}}, {{40, 30, 20}, {195, 59, 0}}, {{90, 160, 220}, {0, 196, 58}}, {{255, 0, 0}, {84, 170, 0}}}},
        {make<PP_Tritone>, 0, 3.0, std::nullopt, {{{0, 0, 0}, {255, 0, 0}}, {{255, 255, 255}, {0, 0, 255}}, {{128, 128, 128}, {0, 251, 3}}, {{64, 64, 64}, {255, 0, 0}}, {{200, 120, 60}, {4, 250, 0}}, {{40, 30, 20}, {255, 0, 0}}, {{90, 160, 220}, {0, 79, 175}}, {{255, 0, 0}, {255, 0, 0}}}},
        {make<PP_Tritone2>, 0, 1.0, std::nullopt, {{{0, 0, 0}, {153, 0, 0}}, {{255, 255, 255}, {0, 0, 127}}, {{128, 128, 128}, {253, 253, 254}}, {{64, 64, 64}, {204, 128, 128}}, {{200, 120, 60}, {254, 253, 253}}, {{40, 30, 20}, {177, 59, 59}}, {{90, 160, 220}, {196, 196, 225}}, {{255, 0, 0}, {221, 170, 170}}}},
        {make<PP_Tritone2>, 0, 0.1, std::nullopt, {{{0, 0, 0}, {244, 229, 229}}, {{255, 255, 255}, {229, 229, 242}}, {{128, 128, 128}, {254, 254, 254}}, {{64, 64, 64}, {249, 242, 242}}, {{200, 120, 60}, {254, 254, 254}}, {{40, 30, 20}, {247, 235, 235}}, {{90, 160, 220}, {249, 249, 252}}, {{255, 0, 0}, {251, 246, 246}}}},
        {make<PP_XRay>, 0, 4.0, 1.0, {{{0, 0, 0}, {237, 255, 255}}, {{255, 255, 255}, {0, 0, 0}}, {{128, 128, 128}, {0, 0, 81}}, {{64, 64, 64}, {81, 183, 255}}, {{200, 120, 60}, {0, 0, 86}}, {{40, 30, 20}, {164, 255, 255}}, {{90, 160, 220}, {0, 0, 0}}, {{255, 0, 0}, {30, 121, 238}}}},
        {make<PP_XRay>, 0, 0.5, 2.0, {{{0, 0, 0}, {218, 252, 255}}, {{255, 255, 255}, {63, 63, 63}}, {{128, 128, 128}, {140, 157, 179}}, {{64, 64, 64}, {179, 205, 238}}, {{200, 120, 60}, {141, 158, 181}}, {{40, 30, 20}, {200, 230, 255}}, {{90, 160, 220}, {123, 136, 153}}, {{255, 0, 0}, {167, 189, 219}}}},
        {make<PP_XRay>, 0, 1.0, 0.3, {{{0, 0, 0}, {46, 56, 69}}, {{255, 255, 255}, {0, 0, 0}}, {{128, 128, 128}, {23, 28, 34}}, {{64, 64, 64}, {34, 42, 52}}, {{200, 120, 60}, {23, 28, 35}}, {{40, 30, 20}, {41, 50, 61}}, {{90, 160, 220}, {17, 21, 26}}, {{255, 0, 0}, {30, 37, 46}}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        const std::unique_ptr<PostProcess> effect = c.factory();
        effect->set_type(c.type);
        SCOPED_TRACE(effect->class_name() + " type " + std::to_string(c.type) + " p1 " +
                     std::to_string(c.p1.value_or(0)) + " p2 " + std::to_string(c.p2.value_or(0)));
        if (c.p1) effect->param_1()->setValue(*c.p1);
        if (c.p2) effect->param_2()->setValue(*c.p2);
        expectPixels(*effect, c.pixels);
    }
}

// Hook values at the documented points, before the store truncates them.
TEST(ColourTone, HookValues) {
    struct Case {
        Factory factory;
        double p1;
        Rgb in;
        pixel_t out;
    };
    const Case cases[] = {
        // 64 and 191 are 0.251 and 0.749: at contrast 2 nearly white and nearly black.
        {make<PP_Invert>, 2.0, {64, 191, 128}, {0.998039f, 0.001961f, 0.496078f}},
        {make<PP_Invert>, 1.0, {0, 255, 51}, {1.0f, 0.0f, 0.8f}},
        // Solarised 64 is 2 (0.5 - 0.25098).
        {make<PP_Solarization>, 1.0, {64, 255, 0}, {0.498039f, 1.0f, 1.0f}},
        {make<PP_Tritone>, 1.0, {128, 128, 128}, {0.0f, 0.996078f, 0.003922f}},
        {make<PP_Tritone>, 1.0, {255, 255, 255}, {0.0f, 0.0f, 1.0f}},
        {make<PP_Tritone>, 1.0, {0, 0, 0}, {1.0f, 0.0f, 0.0f}},
        // Inverted grey 1 tinted (155, 189, 233) / 255, contrasted by 4.
        {make<PP_XRay>, 4.0, {0, 0, 0}, {0.931373f, 1.464706f, 2.154902f}},
        {make<PP_LensFilter>, 0.0, {128, 128, 128}, {0.502647f, 0.096587f, 0.096587f}},
    };
    WorkingImageGuard guard;
    for (const Case& c : cases) {
        const std::unique_ptr<PostProcess> effect = c.factory();
        SCOPED_TRACE(effect->class_name() + " " + std::to_string(c.p1));
        PostProcess::global_clean();
        ASSERT_TRUE(PostProcess::global_pre_init(makeSourceImage(1, 1, [&](int, int) { return c.in; })));
        effect->param_1()->setValue(c.p1);
        effect->prepare_for_process();
        const pixel_t p = effect->process_pixel_x(0, 0, 0);
        EXPECT_NEAR(p.r, c.out.r, 2e-6);
        EXPECT_NEAR(p.g, c.out.g, 2e-6);
        EXPECT_NEAR(p.b, c.out.b, 2e-6);
    }
}

// Night vision brightens a pixel by 1 + amount x 3 (L - 0.5)^2 where the integer mean of its
// 8 x 8 neighbourhood has brightness L of at most 0.4 (level 102 is just above), and otherwise
// only clamps it. A fresh effect is run, so the amount comes from a parameter made on request.
TEST(PP_NightVision, UniformImagesAroundTheThreshold) {
    struct Case {
        Rgb in;
        std::optional<double> amount;
        Rgb out;
    };
    const Case cases[] = {
        {{20, 20, 20}, std::nullopt, {73, 73, 73}},
        {{20, 20, 20}, 1.0, {30, 30, 30}},
        {{20, 20, 20}, 10.0, {126, 126, 126}},
        {{30, 60, 90}, std::nullopt, {61, 123, 184}},
        {{101, 101, 101}, std::nullopt, {117, 117, 117}},
        {{102, 102, 102}, std::nullopt, {102, 102, 102}},
        {{250, 250, 250}, 10.0, {250, 250, 250}},
        {{0, 0, 0}, 10.0, {0, 0, 0}},
    };
    for (const Case& c : cases)
        for (int step : {0, 2}) {
            SCOPED_TRACE(::testing::Message()
                         << c.in << " amount " << c.amount.value_or(-1) << " step " << step);
            PostProcess::global_clean();
            WorkingImageGuard guard;
            PP_NightVision effect;
            if (c.amount) effect.param_1()->setValue(*c.amount);
            const EffectOutput out =
                runEffect(effect, makeSourceImage(5, 3, [&](int, int) { return c.in; }), step);
            for (int j = 0; j < out.h; ++j)
                for (int i = 0; i < out.w; ++i)
                    EXPECT_EQ(out.at(i, j), c.out) << "at " << i << ", " << j;
        }
}

// Dark left half (20), bright right half (250): the window runs from x - 4 to x + 3, so the
// dark pixels nearest the edge see enough brightness to stay as they are.
TEST(PP_NightVision, WindowAtADarkBrightEdge) {
    const uint8_t expected[16] = {73, 73, 73, 73, 73, 49, 31, 20, 250, 250, 250, 250, 250, 250, 250, 250};
    const auto source = makeSourceImage(16, 6, [](int x, int) {
        const uint8_t v = x < 8 ? 20 : 250;
        return Rgb{v, v, v};
    });
    for (int step : {0, 1, 3}) {
        SCOPED_TRACE("step " + std::to_string(step));
        PostProcess::global_clean();
        WorkingImageGuard guard;
        PP_NightVision effect;
        const EffectOutput out = runEffect(effect, source, step);
        for (int j = 0; j < out.h; ++j)
            for (int i = 0; i < out.w; ++i) {
                const uint8_t v = expected[i * out.step];
                EXPECT_EQ(out.at(i, j), (Rgb{v, v, v})) << "at " << i << ", " << j;
            }
    }
}

} // namespace
