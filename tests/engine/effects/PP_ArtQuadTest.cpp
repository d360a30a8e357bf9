// Art quads: names and parameter, the colour each type makes in each quarter, the frame, which
// source pixel each quarter shows, and the edge variant.
#include "engine/effects/painterly/PP_ArtQuad.h"

#include "engine/BlendFunctions.h"
#include "engine/PostProcessParameter.h"
#include "support/EffectRun.h"
#include "support/PixelEffectRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

std::unique_ptr<PP_ArtQuad> makeQuad(int type) {
    auto quad = std::make_unique<PP_ArtQuad>();
    quad->set_type(type);
    return quad;
}

TEST(ArtQuad, NamesCategoryAndParameter) {
    for (int type = -1; type <= 10; ++type) {
        SCOPED_TRACE(type);
        auto quad = makeQuad(type);
        const std::string name = type >= 0 && type <= 9 ? "Art Quad " + std::to_string(type + 1) : "none";
        EXPECT_EQ(quad->get_name(), name);
        EXPECT_EQ(quad->get_categorie(), "Art Quads");
        EXPECT_EQ(quad->class_name(), "PP_ArtQuad");
        EXPECT_FALSE(quad->this_filter_is_simply_color_modify());
        EXPECT_FALSE(quad->isCenterSupported());
        EXPECT_EQ(quad->passes(), 1u);
        expectParameter(quad->param_1(), {"Width", 5.0, 30.0, 10.0}, "param_1");
        expectParameter(quad->param_2(), {}, "param_2");
    }
    EXPECT_EQ(make_pixel(0.25f, 0.5f, 2.0f).b, 2.0f);
}

// Quarter colours as numerators of n/256: Q1 top left, Q2 top right, Q3 bottom right, Q4 bottom left.
const int kQuarters[10][4][3] = {
    {{141, 64, 190}, {64, 147, 190}, {190, 131, 64}, {96, 131, 45}},
    {{141, 64, 190}, {64, 147, 190}, {190, 131, 64}, {96, 131, 45}},
    {{198, 60, 57}, {162, 57, 198}, {66, 198, 57}, {42, 141, 121}},
    {{129, 224, 56}, {56, 143, 224}, {224, 129, 56}, {180, 130, 233}},
    {{255, 210, 52}, {178, 193, 254}, {52, 255, 196}, {255, 52, 98}},
    {{255, 210, 52}, {178, 193, 254}, {52, 255, 196}, {255, 52, 98}},
    {{126, 234, 9}, {9, 141, 234}, {234, 114, 9}, {168, 126, 211}},
    {{23, 252, 61}, {247, 95, 225}, {252, 214, 66}, {241, 21, 65}},
    {{8, 250, 22}, {230, 7, 24}, {241, 41, 201}, {252, 186, 25}},
    {{8, 210, 250}, {216, 225, 0}, {241, 101, 41}, {67, 252, 25}},
};

pixel_t quarterColour(int type, int quarter) {
    const int* n = kQuarters[type][quarter];
    return {float(n[0]) / 256.0f, float(n[1]) / 256.0f, float(n[2]) / 256.0f};
}

Rgb bytes(pixel_t p) {
    return {storedByte(p.r), storedByte(p.g), storedByte(p.b)};
}

// What each type makes of a flat area of colour s in a quarter whose colour is Q.
Rgb expectedFlat(int type, int quarter, Rgb s) {
    const pixel_t Q = quarterColour(type, quarter);
    const float k = 1.0f / 255.0f;
    const pixel_t src{float(s.r) * k, float(s.g) * k, float(s.b) * k};
    const float g = float(s.r + s.g + s.b) * k * 0.33333334f;
    const float c2 = (g - 0.5f) + (g - 0.5f) + 0.5f;
    const float c3 = (g - 0.5f) * 3.0f + 0.5f;
    const auto each = [](pixel_t a, float (*f)(float, float), pixel_t b) {
        return pixel_t{f(a.r, b.r), f(a.g, b.g), f(a.b, b.b)};
    };
    const auto grey = [](float v) { return pixel_t{v, v, v}; };
    switch (type) {
    case 0:
        return bytes(blend_luminocity(Q, src));
    case 1:
        return bytes(blend_vivid_light(Q, src));
    case 2:
        return bytes(blend_vivid_light(grey(c2), Q));
    case 3:
        return bytes(each(
            grey(c2), [](float a, float b) { return a < b ? a : b; }, Q));
    case 4: {
        const float c = float(int(((g - 0.5f) * 1.5f + 0.5f) * 5.0f)) / 5.0f;
        return bytes({c * Q.r, c * Q.g, c * Q.b});
    }
    case 5: { // flat: no edge, so v = 1; saturation 2.5 around L = 1.03
        const float L = float(0.33 + 0.59 + 0.11);
        const float v = (1.0f - L) * 2.5f + L;
        return bytes({v * Q.r, v * Q.g, v * Q.b});
    }
    case 6:
        return bytes(blend_hard_light(grey(((1.0f - g) - 0.5f) * 3.0f + 0.5f), Q));
    case 7:
        return bytes(each(
            Q, [](float a, float b) { return a < b ? a : b; }, src));
    case 8:
        return bytes(each(
            grey(c2), [](float a, float b) { return std::fabs(a - b); }, Q));
    default:
        return bytes(each(
            grey(c3), [](float a, float b) { return a > b ? a : b; }, Q));
    }
}

// 80 x 60 with "Width" 5: frame at x <= 5, x >= 75, 38 <= x <= 42, y <= 5, y >= 55, 28 <= y <= 32.
// One even position per quarter, so that the preview visits it too.
constexpr int kW = 80, kH = 60;
const std::pair<int, int> kInQuarter[4] = {{10, 8}, {50, 8}, {50, 38}, {10, 38}};

TEST(ArtQuad, EveryTypeBlendsEachQuarterWithItsColour) {
    const Rgb colours[] = {{128, 128, 128}, {200, 40, 90}, {10, 220, 130}, {0, 0, 0}, {255, 255, 255}};
    for (int type = 0; type <= 9; ++type)
        for (const Rgb& colour : colours)
            for (int step : {0, 2}) {
                SCOPED_TRACE("type " + std::to_string(type) + " step " + std::to_string(step));
                WorkingImageGuard guard;
                auto quad = makeQuad(type);
                quad->param_1()->setValue(5.9);
                const EffectOutput out =
                    runEffect(*quad, makeSourceImage(kW, kH, [&](int, int) { return colour; }), step);
                for (int quarter = 0; quarter < 4; ++quarter) {
                    const auto [x, y] = kInQuarter[quarter];
                    EXPECT_EQ(out.at(x / out.step, y / out.step), expectedFlat(type, quarter, colour))
                        << "quarter " << quarter + 1 << " from " << colour;
                }
            }
}

// Grey 128 worked out by hand: vivid light of Q1 over 0.50196 divides by 1 - 0.0039; five grey
// levels give c = 0.4.
TEST(ArtQuad, GreyInTheFirstQuarter) {
    const std::pair<int, Rgb> cases[] = {{1, {141, 64, 190}}, {4, {101, 83, 20}}, {10, {0, 0, 0}}};
    for (const auto& [type, want] : cases) {
        SCOPED_TRACE(type);
        WorkingImageGuard guard;
        auto quad = makeQuad(type);
        const EffectOutput out = runEffect(*quad, makeSourceImage(kW, kH, [](int, int) {
            return Rgb{128, 128, 128};
        }));
        EXPECT_EQ(out.at(20, 15), want);
    }
}

// Frame width b = trunc("Width"): the borders 0..b and w-b.., and the centre lines w/2 +- b/2.
TEST(ArtQuad, FrameLinesFollowTheWidth) {
    struct Case {
        int w, h;
        double width;
        std::set<int> columns, rows; // first and last frame index of each band
    };
    const auto band = [](std::initializer_list<std::pair<int, int>> ranges) {
        std::set<int> s;
        for (const auto& [a, b] : ranges)
            for (int i = a; i <= b; ++i)
                s.insert(i);
        return s;
    };
    const Case cases[] = {
        {1000, 800, 10.0, band({{0, 10}, {495, 505}, {990, 999}}), band({{0, 10}, {395, 405}, {790, 799}})},
        {101, 140, 25.7, band({{0, 25}, {38, 62}, {76, 100}}), band({{0, 25}, {58, 82}, {115, 139}})},
    };
    const auto grey = [](int, int) { return Rgb{90, 90, 90}; };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
        WorkingImageGuard guard;
        auto framed = makeQuad(1);
        framed->param_1()->setValue(c.width);
        const EffectOutput out = runEffect(*framed, makeSourceImage(c.w, c.h, grey));
        const Rgb white{255, 255, 255};
        int wrong = 0;
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x)
                wrong += (out.at(x, y) == white) != (c.columns.count(x) || c.rows.count(y));
        EXPECT_EQ(wrong, 0);

        auto open = makeQuad(0);
        open->param_1()->setValue(c.width);
        PostProcess::global_clean(); // a full-size run left its result as the working image
        const EffectOutput plain = runEffect(*open, makeSourceImage(c.w, c.h, grey));
        for (int x : c.columns)
            EXPECT_FALSE(plain.at(x, c.h / 4) == white) << "column " << x;
    }
}

// One bright pixel in a dark photo shows once in each quarter, at half the distance from the
// quarter's corner; types 2 and 4 mirror two of the quarters (reading w - 2x).
TEST(ArtQuad, EachQuarterShowsTheWholePhotoAtHalfSize) {
    const std::pair<int, std::set<std::pair<int, int>>> cases[] = {
        {0, {{10, 8}, {50, 8}, {50, 38}, {10, 38}}},
        {1, {{10, 8}, {50, 8}, {50, 38}, {10, 38}}},
        {2, {{30, 8}, {50, 8}, {70, 38}, {10, 38}}},
        {4, {{10, 8}, {70, 8}, {50, 38}, {30, 38}}},
    };
    const auto photo = [](int x, int y) { return x == 20 && y == 16 ? Rgb{250, 250, 250} : Rgb{60, 60, 60}; };
    const auto dark = [](int, int) { return Rgb{60, 60, 60}; };
    for (const auto& [type, marked] : cases)
        for (int step : {0, 2}) {
            SCOPED_TRACE("type " + std::to_string(type) + " step " + std::to_string(step));
            WorkingImageGuard guard;
            auto quad = makeQuad(type);
            quad->param_1()->setValue(5.0);
            const EffectOutput base = runEffect(*quad, makeSourceImage(kW, kH, dark), step);
            PostProcess::global_clean();
            const EffectOutput out = runEffect(*quad, makeSourceImage(kW, kH, photo), step);
            std::set<std::pair<int, int>> changed;
            for (int j = 0; j < out.h; ++j)
                for (int i = 0; i < out.w; ++i)
                    if (!(out.at(i, j) == base.at(i, j))) changed.insert({i * out.step, j * out.step});
            EXPECT_EQ(changed, marked);
        }
}

// "Art Quad 6" darkens where the photo has an edge two pixels either side of the source position.
TEST(ArtQuad, EdgeTypeDarkensAlongEdges) {
    const auto step = [](int x, int) { return x < 20 ? Rgb{0, 0, 0} : Rgb{255, 255, 255}; };
    WorkingImageGuard guard;
    auto quad = makeQuad(5);
    quad->param_1()->setValue(5.0);
    const EffectOutput out = runEffect(*quad, makeSourceImage(kW, kH, step));
    EXPECT_EQ(out.at(10, 8), (Rgb{0, 0, 0})); // reads (20, 16), samples 18 and 22 across the step
    EXPECT_EQ(out.at(8, 8), expectedFlat(5, 0, {0, 0, 0}));  // reads (16, 16), all samples black
    EXPECT_EQ(out.at(14, 8), expectedFlat(5, 0, {0, 0, 0})); // reads (28, 16), all samples white
}

} // namespace
