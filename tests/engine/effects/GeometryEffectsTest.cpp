// Geometry, blur and texture looks: names, categories and parameters of every class and type; the
// symmetry mirrors, the pencil looks and the median filter against their formulas at full size
// and in preview.
#include "engine/Neighbourhood.h"
#include "engine/effects/blur/PP_RadialBlur.h"
#include "engine/effects/blur/PP_TestScanner.h"
#include "engine/effects/distortion/PP_SimmetryHorizontal.h"
#include "engine/effects/distortion/PP_SimmetryQuad.h"
#include "engine/effects/distortion/PP_SimmetryVertical.h"
#include "engine/effects/painterly/PP_Mosaic1.h"
#include "engine/effects/sketch/PP_Linocut.h"
#include "engine/effects/sketch/PP_LinocutInv.h"
#include "engine/effects/sketch/PP_PencilPaint.h"
#include "engine/effects/sketch/PP_PencilPaint2.h"
#include "engine/effects/vintage/PP_OldCamera.h"

#include "engine/effects/ExpectedImageRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

using Factory = std::unique_ptr<PostProcess> (*)();

template <typename Effect, int Type = 0> std::unique_ptr<PostProcess> make() {
    auto e = std::make_unique<Effect>();
    e->set_type(Type);
    return e;
}

TEST(GeometryEffects, NamesCategoriesAndParameters) {
    struct Case {
        Factory factory;
        const char* className;
        const char* name;
        const char* category;
        bool centre;
        ParamSpec p1, p2;
    };
    const ParamSpec linocutInner{"Inner Radius", 0.0, 20.0, 3.0},
        linocutOuter{"Outer Radius", 7.0, 200.0, 10.0};
    const ParamSpec range{"Range", 0.005, 0.5, 0.04};
    const auto pixelization = [](double def) { return ParamSpec{"Pixelization", 10.0, 300.0, def}; };
    const Case cases[] = {
        {make<PP_Linocut, 0>, "PP_Linocut", "Linocut", "Art", false, linocutInner, linocutOuter},
        {make<PP_Linocut, 1>, "PP_Linocut", "Linocut 2", "Art", false, linocutInner, linocutOuter},
        {make<PP_Linocut, 5>, "PP_Linocut", "Linocut 2", "Art", false, linocutInner, linocutOuter},
        {make<PP_LinocutInv>,
         "PP_LinocutInv",
         "Linocut 2",
         "Art",
         false,
         {"Inner Radius", 1.0, 3.0, 1.5},
         {"Outer Radius", 3.0, 12.0, 3.2}},
        {make<PP_Mosaic1, 0>, "PP_Mosaic1", "Mosaic 1", "SFX", false, pixelization(182), {}},
        {make<PP_Mosaic1, 1>, "PP_Mosaic1", "Pixelate 1", "Art", false, pixelization(130), {}},
        {make<PP_Mosaic1, 2>, "PP_Mosaic1", "Pixelate", "SFX", false, pixelization(200), {}},
        {make<PP_Mosaic1, 3>, "PP_Mosaic1", "Pixelate 3", "Art", false, pixelization(40), {}},
        {make<PP_Mosaic1, 4>, "PP_Mosaic1", "Mosaic 1", "Art", false, pixelization(10), {}},
        {make<PP_Mosaic1, -1>, "PP_Mosaic1", "Mosaic 1", "Art", false, pixelization(10), {}},
        {make<PP_OldCamera>,
         "PP_OldCamera",
         "Old Photo",
         "Vintage",
         false,
         {"Contrast", 0.4, 2.0, 1.2},
         {"Brightness", 0.0, 1.0, 0.5}},
        {make<PP_PencilPaint>,
         "PP_PencilPaint",
         "Pencil Paint",
         "Art",
         false,
         {"Edges", 1.0, 7.0, 3.0},
         {"Amount", 0.3, 1.0, 0.6}},
        {make<PP_PencilPaint2>,
         "PP_PencilPaint2",
         "Pencil Paint 2",
         "Art",
         false,
         {"Edges", 1.0, 3.0, 1.0},
         {}},
        {make<PP_RadialBlur, 0>,
         "PP_RadialBlur",
         "Radial Blur",
         "Blur",
         true,
         {"Amount", 0.0, 0.5, 0.45},
         range},
        {make<PP_RadialBlur, 1>,
         "PP_RadialBlur",
         "Tilt-Shift",
         "Blur",
         true,
         {"Amount", 0.0, 0.5, 0.32},
         range},
        {make<PP_RadialBlur, 2>,
         "PP_RadialBlur",
         "Upper Tilt-Shift",
         "Blur",
         false,
         {"Amount", 0.0, 0.5, 0.32},
         range},
        {make<PP_RadialBlur, 3>,
         "PP_RadialBlur",
         "Upper Tilt-Shift",
         "Blur",
         false,
         {"Amount", 0.0, 0.5, 0.32},
         range},
        {make<PP_RadialBlur, 4>,
         "PP_RadialBlur",
         "AAAProblem!",
         "Blur",
         false,
         {"Amount", 0.0, 0.5, 0.32},
         range},
        {make<PP_SimmetryHorizontal>,
         "PP_SimmetryHorizontal",
         "Symmetry Horizontal",
         "Symmetry",
         false,
         {},
         {}},
        {make<PP_SimmetryVertical>, "PP_SimmetryVertical", "Symmetry Vertical", "Symmetry", false, {}, {}},
        {make<PP_SimmetryQuad>, "PP_SimmetryQuad", "Symmetry Quad", "Symmetry", false, {}, {}},
        {make<PP_TestScanner>, "PP_TestScanner", "Test Scanner", "Test Scanner", false, {}, {}},
    };
    for (const Case& c : cases) {
        const std::unique_ptr<PostProcess> effect = c.factory();
        SCOPED_TRACE(std::string(c.className) + " " + c.name);
        EXPECT_EQ(effect->class_name(), c.className);
        EXPECT_EQ(effect->get_name(), c.name);
        EXPECT_EQ(effect->get_categorie(), c.category);
        EXPECT_EQ(effect->isCenterSupported(), c.centre);
        EXPECT_EQ(effect->this_filter_is_simply_color_modify(), std::string(c.className) == "PP_OldCamera");
        EXPECT_EQ(effect->passes(), 1u);
        EXPECT_FALSE(effect->isCanDifferResult());
        expectParameter(effect->param_1(), c.p1, "param_1");
        expectParameter(effect->param_2(), c.p2, "param_2");
        EXPECT_EQ(effect->param_1(), effect->param_1());
    }
}

// Which source row or column each output row or column shows.
TEST(GeometryEffects, SymmetryMirrorsAboutTheMiddle) {
    struct Case {
        Factory factory;
        int w, h;
        std::vector<int> columns, rows;
    };
    const Case cases[] = {
        // Odd height 5: rows 0 to 2 stay, row 3 shows row 1 and row 4 row 0.
        {make<PP_SimmetryHorizontal>, 3, 5, {0, 1, 2}, {0, 1, 2, 1, 0}},
        {make<PP_SimmetryHorizontal>, 3, 4, {0, 1, 2}, {0, 1, 2, 1}},
        {make<PP_SimmetryVertical>, 5, 3, {0, 1, 2, 1, 0}, {0, 1, 2}},
        {make<PP_SimmetryVertical>, 4, 3, {0, 1, 2, 1}, {0, 1, 2}},
        {make<PP_SimmetryQuad>, 4, 4, {0, 1, 2, 1}, {0, 1, 2, 1}},
        {make<PP_SimmetryQuad>, 5, 5, {0, 1, 2, 1, 0}, {0, 1, 2, 1, 0}},
        {make<PP_SimmetryQuad>, 6, 3, {0, 1, 2, 3, 2, 1}, {0, 1, 0}},
    };
    for (const Case& c : cases) {
        const std::unique_ptr<PostProcess> effect = c.factory();
        SCOPED_TRACE(effect->get_name() + " " + std::to_string(c.w) + "x" + std::to_string(c.h));
        const graphics::ImagePtr image = makeSourceImage(c.w, c.h, patternColour);
        expectImage(*effect, image,
                    [&](int x, int y) { return patternColour(c.columns[size_t(x)], c.rows[size_t(y)]); });
    }
}

// Edge-free colours: the paper tint washed toward white by 1 - Amount. A step of 0 to 255 is an
// edge of full strength, which draws black.
TEST(GeometryEffects, PencilPaintTintsToPaperAndDrawsEdges) {
    struct Case {
        double amount;
        Rgb in, out;
    };
    // out = ((1 - t) (1 - Amount) + t) x 255 with t the channel times 232, 216, 178 / 255.
    const Case cases[] = {
        {0.6, {255, 255, 255}, {241, 231, 208}}, {0.6, {0, 0, 0}, {102, 102, 102}},
        {1.0, {255, 255, 255}, {232, 216, 178}}, {1.0, {128, 64, 32}, {116, 54, 22}},
        {0.3, {128, 64, 32}, {213, 194, 185}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.amount);
        PP_PencilPaint effect;
        effect.param_2()->setValue(c.amount);
        expectPixels(effect, {{c.in, c.out}, {c.in, c.out}, {c.in, c.out}});
    }
    PP_PencilPaint effect;
    // Edges 1: the pixels either side of the step see it whole.
    effect.param_1()->setValue(1.0);
    const Rgb black{0, 0, 0}, white{255, 255, 255};
    const std::vector<Rgb> out = runOverRow(effect, {black, black, white, white}, false);
    EXPECT_EQ(out[0], (Rgb{102, 102, 102}));
    EXPECT_EQ(out[1], black);
    EXPECT_EQ(out[2], black);
    EXPECT_EQ(out[3], (Rgb{241, 231, 208}));
}

// Against the formula over a patterned picture, with the edge strength of the working image.
TEST(GeometryEffects, PencilLooksFollowTheirFormulaOverAPicture) {
    const graphics::ImagePtr image = makeSourceImage(21, 13, [](int x, int y) {
        return Rgb{uint8_t((x * 40 + y * 7) % 256), uint8_t(x > 10 ? 220 : 30), uint8_t((y * 50) % 256)};
    });
    for (double edges : {1.0, 2.0, 3.0}) {
        SCOPED_TRACE(edges);
        PP_PencilPaint paint;
        paint.param_1()->setValue(edges);
        paint.param_2()->setValue(0.45);
        const double wash = 1.0 - 0.45;
        expectImage(paint, image, [&](int x, int y) {
            const float w = 1.0f - do_edge_detection(x, y, false, float(edges), 0.0f, 0.0f);
            const Rgb s = sourceRgb(x, y);
            const auto ch = [&](uint8_t b, float paper) {
                const float t = float(b) / 255.0f * paper;
                return float((double(1.0f - t) * wash + double(t)) * double(w));
            };
            return storedPixel({ch(s.r, 0.9098039f), ch(s.g, 0.84705883f), ch(s.b, 0.69803923f)});
        });

        PP_PencilPaint2 lines;
        lines.param_1()->setValue(edges);
        expectImage(lines, image, [&](int x, int y) {
            const float v = 1.0f - do_edge_detection(x, y, false, float(edges + 2.0), 0.0f, 0.0f);
            return storedPixel({v, v, v});
        });
    }
}

// A sample of the 10 x 10 window is its colour and its brightness (0 outside); the result is the
// one at index 50 when they are sorted by brightness.
TEST(GeometryEffects, TestScannerGivesTheUpperMedianOfItsWindow) {
    // Distinct brightness everywhere inside, none of it black.
    const int w = 14, h = 12;
    const graphics::ImagePtr image = makeSourceImage(w, h, [](int x, int y) {
        const int v = 10 + y * w + x;
        return Rgb{uint8_t(v), uint8_t(v / 3), uint8_t(17)};
    });
    PP_TestScanner effect;
    expectImage(effect, image, [&](int x, int y) {
        std::vector<std::pair<int, Rgb>> samples;
        for (int sy = y - 5; sy < y + 5; ++sy)
            for (int sx = x - 5; sx < x + 5; ++sx) {
                const Rgb s = sourceRgb(sx, sy);
                samples.push_back({s.r + s.g + s.b, s});
            }
        std::sort(samples.begin(), samples.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        return samples[50].second;
    });
}

TEST(GeometryEffects, TestScannerRadiusStaysWithinItsBuffer) {
    PostProcess::global_clean();
    WorkingImageGuard guard;
    ASSERT_TRUE(PostProcess::global_pre_init(makeSourceImage(30, 30, patternColour)));
    // Radius 1: the 2 x 2 block up and to the left, upper median of four.
    const pixel_t p = PP_TestScanner::do_median_filer_x(1, 1, 1);
    const pixel_t wide = PP_TestScanner::do_median_filer_x(15, 15, 50); // limited to 5
    const pixel_t five = PP_TestScanner::do_median_filer_x(15, 15, 5);
    EXPECT_EQ(storedPixel(wide), storedPixel(five));
    std::vector<std::pair<int, Rgb>> block;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) {
            const Rgb c = patternColour(x, y);
            block.push_back({c.r + c.g + c.b, c});
        }
    std::sort(block.begin(), block.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    EXPECT_EQ(storedPixel(p), block[2].second);
    EXPECT_EQ(storedPixel(PP_TestScanner::do_median_filer_x(1, 1, 0)), block[2].second); // at least 1
}

} // namespace
