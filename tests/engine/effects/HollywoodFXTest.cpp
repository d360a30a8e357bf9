// The Hollywood FX film looks: names and parameters, each look's formula on known pixels (the
// hook's float output, then the stored bytes at full size and in preview), the palette helpers.
#include "engine/effects/hollywood/HollywoodFX.h"
#include "engine/effects/hollywood/PP_HFX_Avatar.h"
#include "engine/effects/hollywood/PP_HFX_BWComics.h"
#include "engine/effects/hollywood/PP_HFX_ColorComics.h"
#include "engine/effects/hollywood/PP_HFX_Predator.h"
#include "engine/effects/hollywood/PP_HFX_SinCity.h"
#include "engine/effects/hollywood/PP_HFX_Sparta.h"
#include "engine/effects/hollywood/PP_HFX_Twilight.h"

#include "engine/PostProcessParameter.h"
#include "support/StubEffects.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// How the run stores a channel: clamped to 0..1, then truncated.
uint8_t storedByte(float v) {
    if (v < 0.0f) return 0;
    if (v > 1.0f) return 255;
    return uint8_t(v * 255.0f);
}

struct Picture {
    int width, height;
    std::function<Rgb(int x, int y)> colour;
};

// 7 x 7 is the least that puts all radius-3 neighbours of the centre inside the image.
Picture uniform(Rgb c, int side = 7) {
    return {side, side, [c](int, int) { return c; }};
}

// Columns 0..2 grey v, the rest c: an upright edge just left of column 3.
Picture leftEdge(uint8_t v, Rgb c) {
    return {7, 7, [v, c](int x, int) { return x < 3 ? Rgb{v, v, v} : c; }};
}

// A white border around inner: every radius-3 neighbour of the centre is white.
Picture whiteFrame(Rgb inner) {
    return {7, 7, [inner](int x, int y) {
                return x == 0 || y == 0 || x == 6 || y == 6 ? Rgb{255, 255, 255} : inner;
            }};
}

struct LookCase {
    const char* what;
    Picture picture;
    std::vector<double> params; // param_1, param_2 values; the defaults where missing
    pixel_t expected;           // at (x, y)
    int x = 3, y = 3;
};

// Each case runs on a fresh effect: the hook once directly, then a full-size and a preview run,
// both of which must store the expected bytes; the preview run must leave the working image alone.
template <typename Effect> void expectLook(const std::vector<LookCase>& cases) {
    for (const LookCase& c : cases) {
        SCOPED_TRACE(c.what);
        WorkingImageGuard guard;
        Effect effect;
        if (c.params.size() > 0) effect.param_1()->setValue(c.params[0]);
        if (c.params.size() > 1) effect.param_2()->setValue(c.params[1]);
        const graphics::ImagePtr source =
            makeSourceImage(c.picture.width, c.picture.height, c.picture.colour);

        ASSERT_TRUE(PostProcess::global_pre_init(source));
        effect.prepare_for_process();
        const pixel_t p = effect.process_pixel_x(c.x, c.y, 0);
        EXPECT_NEAR(p.r, c.expected.r, 1e-5);
        EXPECT_NEAR(p.g, c.expected.g, 1e-5);
        EXPECT_NEAR(p.b, c.expected.b, 1e-5);

        const uint8_t want[3] = {storedByte(c.expected.r), storedByte(c.expected.g),
                                 storedByte(c.expected.b)};
        for (bool preview : {false, true}) {
            SCOPED_TRACE(preview ? "preview" : "full size");
            PostProcess::global_clean();
            ASSERT_TRUE(PostProcess::global_pre_init(source));
            const size_t size = size_t(PostProcess::g_bypr) * size_t(PostProcess::g_height);
            const std::vector<uint8_t> before(PostProcess::gp_data, PostProcess::gp_data + size);
            effect.prepare(source);
            effect.set_silent_mode(true);
            effect.set_preview_mode(preview);
            effect.process();

            const uint8_t* out;
            if (preview) {
                const int step = PostProcess::g_preview_step_x;
                out = PostProcess::gp_preview_buf +
                      (size_t(c.y / step) * size_t(PostProcess::g_preview_w) + size_t(c.x / step)) * 4;
                EXPECT_EQ(0, std::memcmp(before.data(), PostProcess::gp_data, size))
                    << "a preview run changed the working image";
            } else {
                out = PostProcess::gp_data + (size_t(c.y) * size_t(PostProcess::g_width) + size_t(c.x)) * 4;
            }
            EXPECT_EQ(out[1], want[0]);
            EXPECT_EQ(out[2], want[1]);
            EXPECT_EQ(out[3], want[2]);
        }
    }
}

struct ParamSpec {
    const char* name; // null: no such parameter
    double min, max, def;
};

TEST(HollywoodFX, NamesCategoriesAndParameters) {
    struct Case {
        std::shared_ptr<PostProcess> effect;
        const char* className;
        const char* name;
        const char* category;
        ParamSpec p1, p2;
    };
    const Case cases[] = {
        {std::make_shared<PP_HFX_Avatar>(),
         "PP_HFX_Avatar",
         "Alien Skin",
         "Hollywood FX",
         {"Contrast", 1.1, 2.0, 1.35},
         {}},
        {std::make_shared<PP_HFX_Sparta>(),
         "PP_HFX_Sparta",
         "Sparta",
         "Hollywood FX",
         {"Contrast", 1.2, 2.0, 1.35},
         {"Brightness", 1.0, 2.0, 1.2}},
        {std::make_shared<PP_HFX_Twilight>(),
         "PP_HFX_Twilight",
         "Twilight",
         "Hollywood FX",
         {"Brightness", 1.0, 2.0, 1.15},
         {}},
        {std::make_shared<PP_HFX_BWComics>(),
         "PP_HFX_BWComics",
         "B&W Comics",
         "Hollywood FX",
         {"Contrast", 1.5, 3.0, 2.5},
         {}},
        {std::make_shared<PP_HFX_ColorComics>(),
         "PP_HFX_ColorComics",
         "Color Comics",
         "Hollywood FX",
         {"Posterize", 3.0, 16.0, 12.0},
         {"Contrast", 1.2, 3.0, 1.3}},
        {std::make_shared<PP_HFX_SinCity>(),
         "PP_HFX_SinCity",
         "B&W&Red Comics",
         "Hollywood FX",
         {"Contrast", 1.0, 3.0, 1.7},
         {"Saturation", 1.0, 3.0, 2.0}},
        {std::make_shared<PP_HFX_Predator>(), "PP_HFX_Predator", "Predator Vision", "SFX", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.className);
        EXPECT_EQ(c.effect->class_name(), c.className);
        EXPECT_EQ(c.effect->get_name(), c.name);
        EXPECT_EQ(c.effect->get_categorie(), c.category);
        EXPECT_FALSE(c.effect->this_filter_is_simply_color_modify());
        const std::pair<PostProcessParameter*, ParamSpec> params[] = {{c.effect->param_1(), c.p1},
                                                                      {c.effect->param_2(), c.p2}};
        for (const auto& [p, spec] : params) {
            if (!spec.name) {
                EXPECT_EQ(p, nullptr);
                continue;
            }
            ASSERT_NE(p, nullptr);
            EXPECT_EQ(p->name(), spec.name);
            EXPECT_DOUBLE_EQ(p->min_value(), spec.min);
            EXPECT_DOUBLE_EQ(p->max_value(), spec.max);
            EXPECT_DOUBLE_EQ(p->default_value(), spec.def);
        }
        EXPECT_EQ(c.effect->param_1(), params[0].first) << "made once, then kept";
        EXPECT_EQ(c.effect->param_2(), params[1].first);
    }
}

TEST(HollywoodFX, AlienSkinTurnsHuesHalfwayAndGlows) {
    expectLook<PP_HFX_Avatar>({
        // Hue 0 becomes cyan; saturation 1.3 overshoots, the store clamps.
        {"pure red", uniform({255, 0, 0}), {}, {-0.3525f, 1.4025f, 1.4025f}},
        {"blue wraps round to yellow", uniform({0, 0, 255}), {}, {1.4025f, 1.4025f, -0.3525f}},
        {"orange", uniform({201, 120, 40}), {}, {-0.045304f, 0.512167f, 1.062755f}},
        {"dark blue", uniform({31, 60, 90}), {}, {0.358814f, 0.159225f, -0.047245f}},
        {"grey at contrast 2", uniform({100, 100, 100}), {2.0}, {0.318137f, 0.318137f, 0.318137f}},
        {"glow of a white ring", whiteFrame({101, 101, 101}), {}, {0.484706f, 0.484706f, 0.484706f}},
        // Of the radius-3 neighbours of (1, 1) only the grey interior lies inside.
        {"glow near the border", whiteFrame({101, 101, 101}), {}, {0.394118f, 0.394118f, 0.394118f}, 1, 1},
        // No neighbour inside: the glow is that of black.
        {"single pixel", uniform({201, 120, 40}, 1), {}, {-0.116088f, 0.441382f, 0.991971f}, 0, 0},
    });
}

TEST(HollywoodFX, SpartaBrightensDrainsAndTintsBronze) {
    expectLook<PP_HFX_Sparta>({
        {"mid grey", uniform({128, 128, 128}), {}, {0.634569f, 0.492625f, 0.229877f}},
        {"black", uniform({0, 0, 0}), {}, {-0.225010f, -0.146088f, 0.0f}},
        {"orange", uniform({200, 120, 40}), {}, {0.823182f, 0.520115f, 0.0f}},
        {"green at contrast 2, brightness 1",
         uniform({90, 160, 60}),
         {2.0, 1.0},
         {0.424199f, 0.467380f, 0.0f}},
    });
}

TEST(HollywoodFX, TwilightBurnsTowardCyanAndGlows) {
    expectLook<PP_HFX_Twilight>({
        {"mid grey", uniform({128, 128, 128}), {}, {0.355610f, 0.600966f, 0.636208f}},
        {"orange", uniform({200, 120, 40}), {}, {0.658680f, 0.599588f, 0.454176f}},
        {"grey at brightness 2", uniform({100, 100, 100}), {2.0}, {0.691718f, 0.812547f, 0.829902f}},
        {"glow of a white ring", whiteFrame({60, 90, 30}), {}, {0.125f, 0.446553f, 0.364471f}},
    });
}

TEST(HollywoodFX, BWComicsInksEdgesInTwelveSteps) {
    expectLook<PP_HFX_BWComics>({
        {"flat orange", uniform({200, 120, 40}), {}, {0.530392f, 0.530392f, 0.530392f}},
        {"flat grey", uniform({128, 128, 128}), {}, {0.523725f, 0.523725f, 0.523725f}},
        // Edge 128/255: 5 of 12 steps remain.
        {"soft edge on white", leftEdge(223, {255, 255, 255}), {}, {0.307292f, 0.307292f, 0.307292f}},
        {"faint edge at contrast 1.5",
         leftEdge(191, {201, 201, 201}),
         {1.5},
         {0.750074f, 0.750074f, 0.750074f}},
        {"strong edge inks black", leftEdge(180, {150, 100, 60}), {1.5}, {-0.25f, -0.25f, -0.25f}},
    });
}

TEST(HollywoodFX, ColorComicsInksEdgesInPosterizeSteps) {
    // The orange side has integer grey 120; each left grey gives one of the four steps of 3.
    expectLook<PP_HFX_ColorComics>({
        {"flat orange", uniform({200, 120, 40}), {}, {0.719725f, 0.515804f, 0.311882f}},
        {"no edge, step 1", leftEdge(120, {200, 120, 40}), {3.0}, {0.719725f, 0.515804f, 0.311882f}},
        {"step 2/3", leftEdge(110, {200, 120, 40}), {3.0}, {0.429817f, 0.293869f, 0.157922f}},
        {"step 1/3", leftEdge(90, {200, 120, 40}), {3.0}, {0.139908f, 0.071935f, 0.003961f}},
        {"step 0", leftEdge(0, {200, 120, 40}), {3.0}, {-0.15f, -0.15f, -0.15f}},
        {"posterize 3.9 counts as 3",
         leftEdge(90, {200, 120, 40}),
         {3.9, 2.0},
         {-0.053987f, -0.158562f, -0.263137f}},
        {"default twelve steps", leftEdge(90, {200, 120, 40}), {}, {0.284863f, 0.182902f, 0.080941f}},
    });
}

TEST(HollywoodFX, BWRedComicsKeepsOnlyClearReds) {
    expectLook<PP_HFX_SinCity>({
        {"grey stays grey", uniform({200, 200, 200}), {}, {1.376667f, 1.376667f, 1.376667f}},
        // d = 0.2157 gives colour weight 0.0514.
        {"orange-red, little colour", uniform({255, 200, 0}), {}, {0.940027f, 0.917866f, 0.837282f}},
        {"pure red", uniform({255, 0, 0}), {}, {2.517333f, -0.722667f, -0.722667f}},
        {"red lead 48/255 is below 0.19", uniform({200, 152, 0}), {}, {0.605111f, 0.605111f, 0.605111f}},
        {"red lead 49/255 is above 0.19", uniform({200, 151, 0}), {}, {0.603546f, 0.601888f, 0.596780f}},
        {"green leads", uniform({200, 220, 0}), {}, {0.816667f, 0.816667f, 0.816667f}},
        {"dark red", uniform({91, 40, 30}), {}, {0.020481f, 0.012481f, 0.010912f}},
        {"contrast 1, saturation 3", uniform({230, 60, 90}), {1.0, 3.0}, {1.456453f, 0.020374f, 0.273800f}},
    });
}

TEST(HollywoodFX, PredatorVisionMapsBrightnessToHeat) {
    expectLook<PP_HFX_Predator>({
        {"black: half-strength blue", uniform({0, 0, 0}), {}, {0.0f, 0.0f, 0.5f}},
        {"dark grey: blue", uniform({60, 60, 60}), {}, {0.0f, 0.0f, 0.558518f}},
        {"red: blue", uniform({255, 0, 0}), {}, {0.0f, 0.0f, 0.612124f}},
        {"mid grey: cyan", uniform({128, 128, 128}), {}, {0.0f, 0.733515f, 0.733515f}},
        {"light grey: green", uniform({163, 163, 163}), {}, {0.0f, 0.851294f, 0.0f}},
        {"lighter grey: yellow", uniform({215, 215, 215}), {}, {1.0f, 1.0f, 0.0f}},
        {"white: red", uniform({255, 255, 255}), {}, {1.0f, 0.0f, 0.0f}},
    });
}

TEST(HollywoodFX, PaletteAndFraction) {
    struct PaletteCase {
        float h;
        pixel_t colour;
    };
    const PaletteCase palette[] = {
        {-0.5f, {0, 0, 1}}, {0.0f, {0, 0, 1}}, {0.16f, {0, 0, 1}}, {1.0f / 6.0f + 1e-6f, {0, 1, 1}},
        {0.4f, {0, 1, 0}},  {0.6f, {1, 1, 0}}, {0.7f, {1, 0, 0}},  {2.0f, {1, 0, 0}},
    };
    for (const PaletteCase& c : palette) {
        SCOPED_TRACE(c.h);
        const pixel_t p = hsv(c.h);
        EXPECT_EQ(p.r, c.colour.r);
        EXPECT_EQ(p.g, c.colour.g);
        EXPECT_EQ(p.b, c.colour.b);
    }
    struct FracCase {
        float v, expected;
    };
    const FracCase fractions[] = {{2.75f, 0.75f}, {-1.25f, -0.25f}, {3.0f, 0.0f}, {0.5f, 0.5f}};
    for (const FracCase& c : fractions)
        EXPECT_EQ(frac(c.v), c.expected) << c.v;
}

} // namespace
