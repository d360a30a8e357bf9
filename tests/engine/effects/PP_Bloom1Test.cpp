// The six glow looks: names and sliders, colours on flat photos, the blur radius, the edge mask
// radius and the working image left alone.
#include "engine/effects/glow/PP_Bloom1.h"

#include "engine/PostProcessParameter.h"
#include "support/EffectRun.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

std::unique_ptr<PP_Bloom1> makeGlow(int type) {
    auto glow = std::make_unique<PP_Bloom1>();
    glow->set_type(type);
    return glow;
}

graphics::ImagePtr flat(int w, int h, Rgb c) {
    return makeSourceImage(w, h, [c](int, int) { return c; });
}

bool near(Rgb got, Rgb want, int slack) {
    return std::abs(got.r - want.r) <= slack && std::abs(got.g - want.g) <= slack &&
           std::abs(got.b - want.b) <= slack;
}

std::string str(Rgb c) {
    return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
}

TEST(Glow, NamesParametersAndPassesByType) {
    struct Case {
        int type;
        const char* name;
        double brightness, glow;
        uint64_t passes;
    };
    const Case cases[] = {{0, "Glow Vivid Color", 0.6, 0.76, 2}, {1, "Glow Grayscale", 0.7, 0.4, 2},
                          {2, "Glowing Edges", 0.7, 0.6, 1},     {3, "Sepia Glow", 0.784, 0.6, 2},
                          {4, "Yellow Glow", 0.7, 0.6, 2},       {5, "Pink Glow", 0.7, 0.6, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto glow = makeGlow(c.type);
        EXPECT_EQ(glow->get_name(), c.name);
        EXPECT_EQ(glow->get_categorie(), "Glow");
        EXPECT_EQ(glow->class_name(), "PP_Bloom1");
        EXPECT_EQ(glow->passes(), c.passes);
        EXPECT_FALSE(glow->isCenterSupported());
        EXPECT_FALSE(glow->this_filter_is_simply_color_modify());
        PostProcessParameter* p1 = glow->param_1();
        PostProcessParameter* p2 = glow->param_2();
        ASSERT_TRUE(p1 && p2);
        EXPECT_EQ(p1, glow->param_1()); // kept once made
        EXPECT_EQ(p1->name(), "Brightness");
        EXPECT_EQ(p2->name(), "Glow Amount");
        for (PostProcessParameter* p : {p1, p2}) {
            EXPECT_EQ(p->min_value(), 0.1);
            EXPECT_EQ(p->max_value(), 1.0);
        }
        EXPECT_EQ(p1->default_value(), c.brightness);
        EXPECT_EQ(p2->default_value(), c.glow);
    }
    auto none = makeGlow(6);
    EXPECT_EQ(none->get_name(), "none");
    EXPECT_EQ(none->param_1(), nullptr);
    EXPECT_EQ(none->param_2(), nullptr);
    EXPECT_EQ(none->passes(), 2u);
}

// Flat photos: the glow is the photo itself, so every look reduces to its colour formula. Values
// worked out from the formulas by hand with the glow equal to the photo; both blur passes truncate,
// so a flat glow comes out up to two levels darker, hence two bytes of slack.
TEST(Glow, ColoursOnFlatPhotosAtFullSizeAndInPreview) {
    struct Case {
        int type;
        Rgb in;
        double p1, p2; // 0: the default
        Rgb out;
    };
    const Case cases[] = {
        {0, {0, 0, 0}, 0, 0, {0, 0, 0}},
        {0, {128, 128, 128}, 0, 0, {172, 172, 172}},
        {0, {200, 100, 50}, 0, 0, {255, 85, 0}},
        {0, {200, 100, 50}, 1.0, 0.1, {255, 25, 0}},
        {0, {128, 128, 128}, 1.0, 0.1, {137, 137, 137}},
        {1, {0, 0, 0}, 0, 0, {0, 0, 0}},
        {1, {128, 128, 128}, 0, 0, {192, 192, 192}},
        {1, {200, 100, 50}, 0, 0, {175, 175, 175}},
        {1, {200, 100, 50}, 1.0, 0.1, {140, 140, 140}},
        {2, {255, 255, 255}, 0, 0, {223, 223, 223}},
        {2, {128, 128, 128}, 0, 0, {89, 89, 89}},
        {2, {200, 100, 50}, 0, 0, {165, 60, 7}},
        {2, {200, 100, 50}, 1.0, 0.1, {236, 86, 11}},
        {3, {0, 0, 0}, 0, 0, {0, 0, 0}},
        {3, {255, 255, 255}, 0, 0, {255, 255, 230}},
        {3, {128, 128, 128}, 0, 0, {172, 126, 90}},
        {3, {200, 100, 50}, 0, 0, {153, 110, 77}},
        {3, {200, 100, 50}, 1.0, 0.1, {125, 117, 112}},
        {4, {0, 0, 0}, 0, 0, {25, 25, 25}},
        {4, {255, 255, 255}, 0, 0, {255, 255, 200}},
        {4, {128, 128, 128}, 0, 0, {236, 189, 113}},
        {4, {200, 100, 50}, 1.0, 0.1, {158, 151, 139}},
        {5, {0, 0, 0}, 0, 0, {25, 25, 25}},
        {5, {255, 255, 255}, 0, 0, {255, 234, 255}},
        {5, {128, 128, 128}, 0, 0, {231, 130, 182}},
        {5, {200, 100, 50}, 1.0, 0.1, {157, 142, 150}},
    };
    for (const Case& c : cases)
        for (int step : {0, 3}) {
            SCOPED_TRACE("type " + std::to_string(c.type) + " on " + str(c.in) +
                         (step ? " preview" : " full"));
            WorkingImageGuard guard;
            auto glow = makeGlow(c.type);
            if (c.p1 > 0) {
                glow->param_1()->setValue(c.p1);
                glow->param_2()->setValue(c.p2);
            }
            const EffectOutput out = runEffect(*glow, flat(23, 17, c.in), step);
            int wrong = 0;
            for (int j = 0; j < out.h; ++j)
                for (int i = 0; i < out.w; ++i)
                    wrong += !near(out.at(i, j), c.out, 2);
            EXPECT_EQ(wrong, 0) << "first pixel " << str(out.at(0, 0)) << ", expected " << str(c.out);
        }
}

TEST(Glow, OtherTypesGiveBlack) {
    WorkingImageGuard guard;
    auto none = makeGlow(9);
    const EffectOutput out = runEffect(*none, makeSourceImage(9, 7, patternColour));
    for (int j = 0; j < out.h; ++j)
        for (int i = 0; i < out.w; ++i)
            ASSERT_TRUE(near(out.at(i, j), {0, 0, 0}, 0));
}

// The glow of every look is the two-pass gaussian at radius W / 100 (W the width rendered),
// clamped to 1..100: compared against the per-pixel passes at the expected radius.
TEST(Glow, BlurRadiusFollowsTheRenderedWidth) {
    struct Case {
        int width, previewStep, radius;
    };
    const Case cases[] = {{99, 0, 1}, {250, 0, 2}, {4900, 0, 49}, {12000, 0, 100}, {1200, 3, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " step " + std::to_string(c.previewStep));
        WorkingImageGuard guard;
        const int h = 3;
        auto glow = makeGlow(1);
        glow->param_1()->setValue(0.1);
        glow->param_2()->setValue(1.0);
        const graphics::ImagePtr image = makeSourceImage(c.width, h, patternColour);
        // "Brightness" 0.1 and "Glow Amount" 1: output = grey x 0.1 + 2 g, g the glow grey.
        const int step = std::max(c.previewStep, 1);
        ASSERT_TRUE(PostProcess::global_pre_init(image));
        const std::vector<GaussianBlurColor> blurred = referenceGaussian(c.radius, step);
        const std::vector<uint8_t> source = workingImageBytes();
        const EffectOutput out = runEffect(*glow, image, c.previewStep);
        int wrong = 0;
        size_t k = 0;
        for (int y = 0; y < h; y += step)
            for (int x = 0; x < c.width; x += step) {
                const GaussianBlurColor g = blurred[k++];
                const float grey = ((g.green + g.red) + g.blue) / 3.0f;
                const uint8_t* s = &source[(size_t(y) * c.width + x) * 4];
                const float sum = float(int(s[1]) + int(s[2]) + int(s[3]));
                const float gray = float(double(float(double(sum) * (1.0 / 255.0))) * (1.0 / 3.0));
                const float v = float(double(gray) * 0.1) + float(2.0 * double(grey) * 1.0);
                const uint8_t want = v > 1.0f ? 255 : uint8_t(v * 255.0f);
                wrong += out.at(x / step, y / step).r != want;
            }
        EXPECT_EQ(wrong, 0);
    }
}

// "Glowing Edges" glows where the soft edge mask dips; its box radius is min(W, H) / 100, at least 1.
// A vertical step at column 40 lights columns 38..41 with radius 1 and 37..42 with radius 2.
TEST(Glow, EdgeMaskRadiusFollowsTheShorterSide) {
    struct Case {
        int w, h;
        bool litAtDistanceTwo;
    };
    const Case cases[] = {{150, 160, false}, {199, 220, false}, {260, 200, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        WorkingImageGuard guard;
        auto edges = makeGlow(2);
        const EffectOutput out = runEffect(*edges, makeSourceImage(c.w, c.h, [](int x, int) {
            return x < 40 ? Rgb{60, 60, 60} : Rgb{180, 180, 180};
        }));
        const int y = c.h / 2;
        const Rgb far = out.at(45, y);
        EXPECT_GT(out.at(40, y).r, far.r);                      // next to the step
        EXPECT_EQ(out.at(42, y).r > far.r, c.litAtDistanceTwo); // two columns away
        EXPECT_EQ(out.at(43, y).r, far.r);
        EXPECT_EQ(far.r, 144); // flat: ((180/255 - 0.5) x 1.5 + 0.5) x 0.7
    }
}

// A preview grid that misses the last column must still blur from written texels only: a flat
// photo stays flat to its right edge.
TEST(Glow, PreviewRightEdgeStaysFlat) {
    WorkingImageGuard guard;
    auto glow = makeGlow(0);
    const EffectOutput out = runEffect(*glow, flat(1001, 12, {90, 140, 200}), 3);
    ASSERT_EQ(out.w, 334);
    const Rgb first = out.at(0, 0);
    int wrong = 0;
    for (int j = 0; j < out.h; ++j)
        for (int i = 0; i < out.w; ++i) {
            const Rgb p = out.at(i, j);
            wrong += p.r != first.r || p.g != first.g || p.b != first.b;
        }
    EXPECT_EQ(wrong, 0);
}

TEST(Glow, PreviewsLeaveTheWorkingImageAlone) {
    for (int type = 0; type <= 6; ++type) {
        SCOPED_TRACE(type);
        WorkingImageGuard guard;
        const graphics::ImagePtr image = makeSourceImage(31, 22, patternColour);
        ASSERT_TRUE(PostProcess::global_pre_init(image));
        const std::vector<uint8_t> before = workingImageBytes();
        auto glow = makeGlow(type);
        runEffect(*glow, image, 2);
        EXPECT_TRUE(workingImageBytes() == before);
    }
}

} // namespace
