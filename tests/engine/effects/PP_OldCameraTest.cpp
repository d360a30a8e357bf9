// "Old Photo": luma with a fixed warm chroma times the vignette, against the formula at full size
// and in preview with vignettes made in the test; the vignette laid on its side for portrait
// pictures; and one run with the generated artwork.
#include "engine/effects/vintage/PP_OldCamera.h"

#include "engine/effects/ExpectedImageRun.h"
#include "support/TestBundle.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The formula: contrast around 0.5 in double, luma Y, (Y, 0.3, 0) back to RGB, times the vignette
// texel, the brightness and 3 in double.
pixel_t oldPhoto(Rgb in, pixel_t t, double contrast, double brightness) {
    const float k = 1.0f / 255.0f;
    const auto ct = [&](uint8_t b) { return float((double(float(b) * k) - 0.5) * contrast + 0.5); };
    const float r = ct(in.r), g = ct(in.g), b = ct(in.b);
    const float y = r * 0.299f + g * 0.587f + b * 0.114f + 0.0f;
    const float q = 0.3f, zero = 0.0f;
    const float outR = y * 1.0f + q * 0.95568806f + zero * 0.6198581f + 0.0f;
    const float outG = y * 1.0f + q * -0.2715818f + zero * -0.6468738f + 0.0f;
    const float outB = y * 1.0f + q * -1.1081773f + zero * 1.7050645f + 0.0f;
    const auto shade = [&](float v, float tv) { return float(double(v) * double(tv) * brightness * 3.0); };
    return {shade(outR, t.r), shade(outG, t.g), shade(outB, t.b)};
}

pixel_t texel(Rgb c) {
    const float k = 1.0f / 255.0f;
    return {float(c.r) * k, float(c.g) * k, float(c.b) * k};
}

void writeVignettes(const TestBundle& bundle, Rgb full, Rgb small) {
    TestBundle::writePicture(bundle.main() / "Vignette2.png", 6, 4, full.r, full.g, full.b);
    TestBundle::writePicture(bundle.main() / "Vignette2_small.png", 6, 4, small.r, small.g, small.b);
}

TEST(PP_OldCamera, GreyUnderAWhiteVignetteAtTheDefaults) {
    TestBundle bundle;
    writeVignettes(bundle, {255, 255, 255}, {255, 255, 255});
    PostProcess::global_clean();
    WorkingImageGuard guard;
    ASSERT_TRUE(PostProcess::global_pre_init(makeSourceImage(4, 3, [](int, int) {
        return Rgb{128, 128, 128};
    })));
    PP_OldCamera effect;
    effect.pre_init();
    effect.prepare_for_process();
    const pixel_t p = effect.process_pixel_x(1, 1, 0);
    EXPECT_NEAR(p.r, 1.18359, 1e-5);
    EXPECT_NEAR(p.g, 0.63132, 1e-5);
    EXPECT_NEAR(p.b, 0.25485, 1e-5);
    effect.process_ended();
}

TEST(PP_OldCamera, FollowsTheFormulaWithTheVignetteOfTheRun) {
    TestBundle bundle;
    const Rgb full{200, 100, 50}, small{90, 250, 160};
    writeVignettes(bundle, full, small);
    const std::vector<Rgb> inputs = {
        {0, 0, 0}, {255, 255, 255}, {128, 128, 128}, {200, 30, 90}, {12, 180, 250}};
    struct Case {
        double contrast, brightness;
    };
    for (const Case& c : {Case{1.2, 0.5}, Case{0.4, 1.0}, Case{2.0, 0.25}}) {
        SCOPED_TRACE(std::to_string(c.contrast) + ", " + std::to_string(c.brightness));
        PP_OldCamera effect;
        effect.param_1()->setValue(c.contrast);
        effect.param_2()->setValue(c.brightness);
        for (bool preview : {false, true}) {
            SCOPED_TRACE(preview ? "preview: the small vignette" : "full size");
            const std::vector<Rgb> out = runOverRow(effect, inputs, preview);
            ASSERT_EQ(out.size(), inputs.size());
            for (size_t i = 0; i < inputs.size(); ++i)
                EXPECT_EQ(out[i], storedPixel(oldPhoto(inputs[i], texel(preview ? small : full), c.contrast,
                                                       c.brightness)))
                    << "from " << inputs[i];
        }
    }
}

// While the preview is up, a full-size run still takes the full vignette, and the next preview
// the small one again.
TEST(PP_OldCamera, FullSizeRunAfterAPreviewTakesTheFullVignette) {
    TestBundle bundle;
    const Rgb full{200, 100, 50}, small{90, 250, 160};
    writeVignettes(bundle, full, small);
    const std::vector<Rgb> inputs = {{128, 128, 128}, {200, 30, 90}};
    PP_OldCamera effect;
    effect.on_preview_entered();
    for (bool preview : {true, false, true}) {
        SCOPED_TRACE(preview ? "preview" : "full size");
        const std::vector<Rgb> out = runOverRow(effect, inputs, preview);
        ASSERT_EQ(out.size(), inputs.size());
        for (size_t i = 0; i < inputs.size(); ++i)
            EXPECT_EQ(out[i], storedPixel(oldPhoto(inputs[i], texel(preview ? small : full), 1.2, 0.5)));
    }
    effect.on_preview_exit();
}

// A landscape vignette whose columns differ: a landscape picture reads it by column, a portrait
// picture by row, its rows taking the vignette's columns.
TEST(PP_OldCamera, PortraitPicturesReadTheVignetteOnItsSide) {
    TestBundle bundle;
    const auto shade = [](int column) {
        return Rgb{uint8_t(20 + 30 * column), uint8_t(20 + 30 * column), 100};
    };
    TestBundle::writePicture(bundle.main() / "Vignette2.png", 8, 4, [&](int x, int) {
        const Rgb c = shade(x);
        return std::array<uint8_t, 3>{c.r, c.g, c.b};
    });
    const Rgb grey{150, 150, 150};
    for (auto [w, h] : {std::pair{8, 4}, std::pair{4, 8}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        PP_OldCamera effect;
        expectImage(effect, makeSourceImage(w, h, [&](int, int) { return grey; }),
                    [&, w = w, h = h](int x, int y) {
                        return storedPixel(oldPhoto(grey, texel(shade(w > h ? x : y)), 1.2, 0.5));
                    },
                    {0});
    }
}

// The bundle's own vignette: bright in the middle, dark in the corners, either way round.
TEST(PP_OldCamera, GeneratedVignetteDarkensTheCorners) {
    for (auto [w, h] : {std::pair{90, 60}, std::pair{60, 90}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        PP_OldCamera effect;
        PostProcess::global_clean();
        WorkingImageGuard guard;
        const EffectOutput out = runEffect(effect, makeSourceImage(w, h, [](int, int) {
                                               return Rgb{128, 128, 128};
                                           }));
        const Rgb centre = out.at(w / 2, h / 2), corner = out.at(0, 0);
        EXPECT_GT(centre.r, 150);
        EXPECT_LT(corner.r, 110);
        EXPECT_GT(centre.g, corner.g);
        EXPECT_GT(centre.r, centre.b); // warm
    }
}

} // namespace
