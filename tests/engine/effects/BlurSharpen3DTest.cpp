// Gaussian, radial and tilt-shift blur, unsharp mask and the red/cyan offset.
#include "engine/effects/blur/PP_GaussianBlur.h"
#include "engine/effects/blur/PP_Sharpen.h"
#include "engine/effects/distortion/PP_3DEffect.h"

#include "engine/PostProcessParameter.h"
#include "support/EffectRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

namespace {

std::unique_ptr<PP_GaussianBlur> makeBlur(int type) {
    auto blur = std::make_unique<PP_GaussianBlur>();
    blur->set_type(type);
    return blur;
}

void expectParameter(PostProcessParameter* p, const char* name, double min, double max, double def) {
    ASSERT_NE(p, nullptr) << name;
    EXPECT_EQ(p->name(), name);
    EXPECT_EQ(p->min_value(), min);
    EXPECT_EQ(p->max_value(), max);
    EXPECT_EQ(p->default_value(), def);
}

TEST(BlurSharpen3D, NamesCategoriesAndParameters) {
    const char* names[] = {"Blur", "Radial Blur", "Tilt-Shift", "none"};
    for (int type = 0; type < 4; ++type) {
        SCOPED_TRACE(type);
        auto blur = makeBlur(type);
        EXPECT_EQ(blur->get_name(), names[type]);
        EXPECT_EQ(blur->get_categorie(), "Blur");
        EXPECT_EQ(blur->class_name(), "PP_GaussianBlur");
        EXPECT_EQ(blur->passes(), 2u);
        EXPECT_EQ(blur->isCenterSupported(), type == 1 || type == 2);
        EXPECT_FALSE(blur->this_filter_is_simply_color_modify());
        expectParameter(blur->param_1(), "Amount", 1.0, 25.0, 12.0);
        if (type == 0)
            EXPECT_EQ(blur->param_2(), nullptr);
        else
            expectParameter(blur->param_2(), "Radius", 0.01, 1.0, 0.01);
    }
    PP_Sharpen sharpen;
    EXPECT_EQ(sharpen.get_name(), "Sharpen");
    EXPECT_EQ(sharpen.get_categorie(), "Sharpen");
    EXPECT_EQ(sharpen.class_name(), "PP_Sharpen");
    EXPECT_TRUE(sharpen.this_filter_is_simply_color_modify());
    EXPECT_EQ(sharpen.passes(), 1u);
    expectParameter(sharpen.param_1(), "Radius", 1.0, 5.0, 1.0);
    expectParameter(sharpen.param_2(), "Amount", 0.0, 15.0, 1.0);

    PP_3DEffect offset;
    EXPECT_EQ(offset.get_name(), "3D Effect");
    EXPECT_EQ(offset.get_categorie(), "SFX");
    EXPECT_EQ(offset.class_name(), "PP_3DEffect");
    EXPECT_TRUE(offset.this_filter_is_simply_color_modify());
    EXPECT_EQ(offset.passes(), 1u);
    expectParameter(offset.param_1(), "Amount", 0.0, 1.0, 0.5);
    EXPECT_EQ(offset.param_2(), nullptr);
}

// Type 0 is the shared two-pass gaussian at trunc(W x Amount / 1000), W the rendered width,
// clamped to 1..100.
TEST(GaussianBlurEffect, RadiusFollowsTheRenderedWidth) {
    struct Case {
        int width, previewStep;
        double amount;
        int radius;
    };
    const Case cases[] = {
        {1000, 0, 12, 12}, {2400, 3, 12, 9}, {50, 0, 12, 1}, {20000, 0, 25, 100}, {333, 0, 3, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " step " + std::to_string(c.previewStep));
        WorkingImageGuard guard;
        auto blur = makeBlur(0);
        blur->param_1()->setValue(c.amount);
        const graphics::ImagePtr image = makeSourceImage(c.width, 3, patternColour);
        ASSERT_TRUE(PostProcess::global_pre_init(image));
        const std::vector<GaussianBlurColor> want = referenceGaussian(c.radius, std::max(c.previewStep, 1));
        const EffectOutput out = runEffect(*blur, image, c.previewStep);
        ASSERT_EQ(want.size(), size_t(out.w) * out.h);
        int wrong = 0;
        for (int j = 0; j < out.h; ++j)
            for (int i = 0; i < out.w; ++i) {
                const GaussianBlurColor g = want[size_t(j) * out.w + i];
                const Rgb p = out.at(i, j);
                wrong += p.r != uint8_t(g.red * 255.0f) || p.g != uint8_t(g.green * 255.0f) ||
                         p.b != uint8_t(g.blue * 255.0f);
            }
        EXPECT_EQ(wrong, 0);
    }
}

// "Radius" 0.01 on a 1000-row photo keeps rows within 5 of the centre row sharp, byte for byte.
TEST(GaussianBlurEffect, TiltShiftKeepsASharpBand) {
    for (int step : {0, 5}) {
        SCOPED_TRACE(step);
        WorkingImageGuard guard;
        auto blur = makeBlur(2);
        const EffectOutput out = runEffect(*blur, makeSourceImage(8, 1000, patternColour), step);
        for (int j = 0; j < out.h; ++j) {
            const int y = j * out.step;
            bool sharp = true;
            for (int i = 0; i < out.w; ++i)
                sharp = sharp && out.sameAsSource(i, j);
            EXPECT_EQ(sharp, y >= 495 && y <= 505) << "row " << y;
        }
    }
}

// "Radius" 1.0 makes the sharp zone reach the edge, leaving nothing to grow the blur over: a
// tilt-shift stays sharp everywhere, a radial blur blurs only its corners, at most at radius 100.
TEST(GaussianBlurEffect, RadiusOneKeepsTheSharpZoneToTheEdge) {
    for (int type : {1, 2})
        for (int step : {0, 2}) {
            SCOPED_TRACE("type " + std::to_string(type) + " step " + std::to_string(step));
            WorkingImageGuard guard;
            auto blur = makeBlur(type);
            blur->param_2()->setValue(1.0);
            const EffectOutput out = runEffect(*blur, makeSourceImage(20, 10, patternColour), step);
            for (int j = 0; j < out.h; ++j)
                for (int i = 0; i < out.w; ++i) {
                    const int x = i * out.step, y = j * out.step;
                    const double d = std::sqrt(double((x - 10) * (x - 10) + (y - 5) * (y - 5)));
                    if (type == 2 || d < 10.0) {
                        EXPECT_TRUE(out.sameAsSource(i, j)) << x << "," << y;
                    }
                }
            if (type == 1) {
                EXPECT_FALSE(out.sameAsSource(0, 0));
            }
        }
}

// The sharp disc of the radial blur follows the effect centre.
TEST(GaussianBlurEffect, RadialBlurIsSharpAroundTheCentre) {
    WorkingImageGuard guard;
    auto blur = makeBlur(1);
    blur->param_2()->setValue(0.2); // R0 = trunc(0.2 x 60 x 0.5) = 6
    blur->setEffectCenter({0.25, 0.5});
    const EffectOutput out = runEffect(*blur, makeSourceImage(60, 40, patternColour));
    int blurredOutside = 0, outside = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) {
            const int d = int(std::sqrt(double((15 - x) * (15 - x) + (20 - y) * (20 - y))));
            if (d <= 6) {
                EXPECT_TRUE(out.sameAsSource(x, y)) << x << "," << y;
            } else {
                ++outside;
                blurredOutside += !out.sameAsSource(x, y);
            }
        }
    EXPECT_GT(blurredOutside, outside * 9 / 10);
}

// A step from grey 100 to 150 at column 10, radius 1: the grid columns either side of the step
// overshoot and flat areas keep their value. "Amount" 0 gives the photo back exactly.
TEST(Sharpen, OvershootsAStepEdgeAndAmountZeroIsIdentity) {
    const auto step = [](int x, int) { return x < 10 ? Rgb{100, 100, 100} : Rgb{150, 150, 150}; };
    for (int preview : {0, 2}) {
        SCOPED_TRACE(preview);
        {
            WorkingImageGuard guard;
            PP_Sharpen sharpen;
            const EffectOutput out = runEffect(sharpen, makeSourceImage(20, 6, step), preview);
            const int left = 10 / out.step - 1, right = 10 / out.step;
            for (int i = 0; i < out.w; ++i) {
                const Rgb p = out.at(i, 2);
                // Blur next to the step: 100 x 0.8557 + 150 x 0.1443 = 107.2 and 142.8.
                const bool edge = i == left || i == right;
                const int lo = i == left ? 93 : i == right ? 157 : i < left ? 100 : 150;
                EXPECT_TRUE(p.r >= lo && p.r <= lo + int(edge) && p.g == p.r && p.b == p.r)
                    << i << ": " << int(p.r);
            }
        }
        WorkingImageGuard guard;
        PP_Sharpen sharpen;
        sharpen.param_1()->setValue(3.0);
        sharpen.param_2()->setValue(0.0);
        const EffectOutput out = runEffect(sharpen, makeSourceImage(20, 6, patternColour), preview);
        for (int j = 0; j < out.h; ++j)
            for (int i = 0; i < out.w; ++i)
                EXPECT_TRUE(out.sameAsSource(i, j)) << i << "," << j;
    }
}

// Sharpening has nothing to sharpen on a flat picture, whatever its settings.
TEST(Sharpen, FlatAreasStayAtEveryAmountAndRadius) {
    const auto flat = [](int, int) { return Rgb{100, 37, 201}; };
    for (double radius : {1.0, 2.0, 3.0, 4.0, 5.0})
        for (double amount : {0.5, 1.0, 4.0, 15.0}) {
            SCOPED_TRACE("radius " + std::to_string(radius) + " amount " + std::to_string(amount));
            WorkingImageGuard guard;
            PP_Sharpen sharpen;
            sharpen.param_1()->setValue(radius);
            sharpen.param_2()->setValue(amount);
            const EffectOutput out = runEffect(sharpen, makeSourceImage(24, 16, flat));
            for (int j = 0; j < out.h; ++j)
                for (int i = 0; i < out.w; ++i)
                    ASSERT_TRUE(out.sameAsSource(i, j)) << i << "," << j;
        }
}

// Red comes from "Amount" x 20 columns to the right (10 at the default), the last column where that
// passes the edge; green and blue stay.
TEST(Effect3D, TakesRedFromTheRight) {
    const auto image = [](int x, int) {
        return Rgb{uint8_t(x == 30 ? 255 : x == 49 ? 200 : 0), uint8_t(80 + x), 160};
    };
    for (int preview : {0, 2}) {
        SCOPED_TRACE(preview);
        WorkingImageGuard guard;
        PP_3DEffect offset;
        const EffectOutput out = runEffect(offset, makeSourceImage(50, 4, image), preview);
        for (int i = 0; i < out.w; ++i) {
            const int x = i * out.step;
            const Rgb p = out.at(i, 1);
            const int red = x == 20 ? 255 : x >= 39 ? 200 : 0;
            EXPECT_TRUE(p.r == red && p.g == 80 + x && p.b == 160) << x;
        }
    }
}

TEST(BlurSharpen3D, PreviewsLeaveTheWorkingImageAlone) {
    const std::function<std::unique_ptr<PostProcess>()> makers[] = {
        [] { return makeBlur(0); },
        [] { return makeBlur(1); },
        [] { return makeBlur(2); },
        [] { return makeBlur(3); },
        [] { return std::make_unique<PP_Sharpen>(); },
        [] { return std::make_unique<PP_3DEffect>(); }};
    for (const auto& make : makers) {
        WorkingImageGuard guard;
        std::unique_ptr<PostProcess> effect = make();
        SCOPED_TRACE(effect->get_name());
        const graphics::ImagePtr image = makeSourceImage(31, 22, patternColour);
        ASSERT_TRUE(PostProcess::global_pre_init(image));
        const std::vector<uint8_t> before = workingImageBytes();
        runEffect(*effect, image, 2);
        EXPECT_TRUE(workingImageBytes() == before);
    }
}

} // namespace
