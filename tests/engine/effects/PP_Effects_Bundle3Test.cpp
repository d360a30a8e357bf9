// The seven treatments of the third bundle: names and sliders, the formula by known pixels over
// overlays made here, where the overlay and the blurred copy are read, how long both are kept,
// whole runs at full size and in preview, and one pass over the generated artwork.
#include "engine/effects/vintage/PP_Effects_Bundle3.h"

#include "engine/BlendFunctions.h"
#include "engine/ImageEditable.h"
#include "engine/PostProcessParameter.h"
#include "kernels/blur/fast_blur.h"
#include "platform/imageio/ImageDestination.h"
#include "support/PixelEffectRun.h"
#include "support/TestBundle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

enum Type { Kenai, NoirBlue, Conley, NoirRed, NoirSepia, Tokyo, Dixon };

// A PNG picture whose pixel (x, y) is colour(x, y).
void writePicture(const std::filesystem::path& file, int w, int h,
                  const std::function<Rgb(int, int)>& colour) {
    std::vector<uint8_t> bytes;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Rgb c = colour(x, y);
            bytes.insert(bytes.end(), {c.r, c.g, c.b, 255});
        }
    auto destination = imageio::ImageDestination::createWithPath(file.string(), "public.png");
    ASSERT_NE(destination, nullptr) << file;
    destination->addImage(graphics::Image::copy(bytes.data(), w, h, size_t(w) * 4, graphics::PixelFormat{}),
                          {});
    ASSERT_TRUE(destination->finalize()) << file;
}

// Both overlays and their preview versions, one colour each.
void writeOverlays(const TestBundle& bundle, Rgb c) {
    for (const char* name : {"lomo_overlayer", "lomo_overlayer_small", "horror", "horror_small"})
        TestBundle::writePicture(bundle.main() / (std::string(name) + ".png"), 12, 8, c.r, c.g, c.b);
}

// Overlay colours that change linearly across a picture of up to 12 x 12, so samples past the
// last texel stay in range.
Rgb ramp(int x, int y) {
    return {uint8_t(18 * x), uint8_t(18 * y), uint8_t(220 - 8 * x - 6 * y)};
}

graphics::ImagePtr uniform(int w, int h, Rgb c) {
    return makeSourceImage(w, h, [c](int, int) { return c; });
}

// Makes the working image and sets the effect up for a full-size run over it.
void prepareOn(PP_Effects_Bundle3& effect, const graphics::ImagePtr& image) {
    effect.prepare(image);
    ASSERT_TRUE(PostProcess::global_pre_init(image));
    effect.pre_init();
    effect.prepare_for_process();
}

void expectNear(pixel_t got, pixel_t want, float tolerance) {
    EXPECT_NEAR(got.r, want.r, tolerance);
    EXPECT_NEAR(got.g, want.g, tolerance);
    EXPECT_NEAR(got.b, want.b, tolerance);
}

// A full-size run and a live-preview run store what the hook answers at every pixel they visit.
void expectRunsStoreHookValues(PP_Effects_Bundle3& effect, const graphics::ImagePtr& image, int step) {
    {
        WorkingImageGuard guard;
        effect.prepare(image);
        ASSERT_TRUE(PostProcess::global_pre_init(image));
        effect.pre_init();
        expectRunStoresItsHookValues(effect, image);
    }
    WorkingImageGuard guard;
    effect.on_preview_entered();
    const EffectOutput out = runEffect(effect, image, step);
    EXPECT_EQ(workingImageBytes(), out.source) << "a preview run changed the working image";
    int wrong = 0;
    for (int j = 0; j < out.h; ++j)
        for (int i = 0; i < out.w; ++i) {
            // The live preview kept what the run read.
            const pixel_t e = effect.process_pixel_x(i * step, j * step, 0);
            const Rgb got = out.at(i, j);
            wrong += got.r != storedByte(e.r) || got.g != storedByte(e.g) || got.b != storedByte(e.b);
        }
    EXPECT_EQ(wrong, 0) << "preview";
    effect.on_preview_exit();
}

} // namespace

TEST(PP_Effects_Bundle3, NamesCategoriesAndSlidersOfEveryType) {
    struct Look {
        int type;
        const char* name;
        const char* category;
        ParamSpec p1, p2;
    };
    const Look looks[] = {
        {0, "Kenai", "Groovy Lo-Fi", {"Contrast", 0.7, 2.5, 1.3}, {"Color", 0.1, 0.9, 0.5}},
        {1, "Noir Blue", "Photo Styles", {"Contrast", 1.2, 2.5, 1.3}, {"Color", 0.1, 0.9, 0.5}},
        {2, "Conley", "Groovy Lo-Fi", {"Contrast", 0.7, 2.5, 2.25}, {"Color", 0.1, 0.9, 0.575}},
        {3, "Noir Red", "Photo Styles", {"Contrast", 1.2, 2.7, 2.0}, {"Color", 0.15, 0.6, 0.5}},
        {4, "Noir Sepia", "Photo Styles", {"Contrast", 0.7, 2.0, 1.0}, {"Color", 0.05, 0.5, 0.3}},
        {5, "Tokyo", "Groovy Lo-Fi", {"Contrast", 1.0, 3.0, 1.7}, {"Color", 0.6, 2.9, 1.5}},
        {6, "Dixon", "Groovy Lo-Fi", {"Contrast", 0.7, 2.5, 1.8}, {}},
        {7, "tmp", "Groovy Lo-Fi", {}, {}},
        {-3, "tmp", "Groovy Lo-Fi", {}, {}},
    };
    for (const Look& look : looks) {
        SCOPED_TRACE(look.type);
        PP_Effects_Bundle3 effect;
        effect.set_type(look.type);
        EXPECT_EQ(effect.class_name(), "PP_Effects_Bundle3");
        EXPECT_EQ(effect.get_name(), look.name);
        EXPECT_EQ(effect.get_categorie(), look.category);
        EXPECT_TRUE(effect.this_filter_is_simply_color_modify());
        EXPECT_EQ(effect.passes(), 1u);
        expectParameter(effect.param_1(), look.p1, "param_1");
        expectParameter(effect.param_2(), look.p2, "param_2");
    }
}

// Over a picture of one colour the blurred copy is that colour too, so each formula is checked
// with known src = blurred pixel and texel.
TEST(PP_Effects_Bundle3, FormulaOfEachTypeByKnownPixels) {
    TestBundle bundle;
    struct Case {
        int type;
        Rgb overlay, in;
        double p1, p2; // negative: the default
        pixel_t want;
    };
    const Case cases[] = {
        {Kenai, {200, 120, 40}, {128, 128, 128}, -1, -1, {0.740388632f, 0.450405538f, 0.0812048465f}},
        {Kenai, {64, 128, 192}, {200, 60, 10}, -1, -1, {0.26853326f, 0.372718483f, 0.317171216f}},
        {Kenai, {200, 120, 40}, {0, 0, 0}, 2.5, 0.1, {0.319049865f, -0.143826306f, -0.0177350249f}},
        {NoirBlue, {200, 120, 40}, {30, 180, 90}, -1, -1, {0.141099572f, 0.0587117746f, 0.304947853f}},
        {NoirBlue, {64, 128, 192}, {255, 255, 255}, -1, -1, {0.319803923f, 0.809411824f, 0.539607882f}},
        {Conley, {200, 120, 40}, {255, 255, 255}, -1, -1, {0.949999988f, 1.52363241f, 0.556585908f}},
        {Conley, {64, 128, 192}, {30, 180, 90}, -1, -1, {0.0f, 0.639873505f, 0.491244495f}},
        {Conley, {200, 120, 40}, {128, 128, 128}, 0.7, 0.9, {0.988235295f, 0.446792364f, 0.0f}},
        {NoirRed, {200, 120, 40}, {128, 128, 128}, -1, -1, {0.589773178f, 0.0395232663f, 0.118569799f}},
        {NoirRed, {64, 128, 192}, {200, 60, 10}, -1, -1, {0.151326418f, 0.0775086582f, 0.05167244f}},
        {NoirSepia, {255, 255, 255}, {30, 180, 90}, -1, -1, {0.539334595f, 0.235294133f, 0.235294133f}},
        {NoirSepia, {200, 120, 40}, {255, 255, 255}, -1, -1, {1.56862748f, 0.313725501f, 0.282352954f}},
        {Tokyo, {200, 120, 40}, {200, 60, 10}, -1, -1, {0.651975274f, 0.15587388f, 0.0436403491f}},
        {Tokyo, {64, 128, 192}, {30, 180, 90}, -1, -1, {0.137630343f, 0.491173148f, 0.430065691f}},
        {Tokyo, {64, 128, 192}, {128, 128, 128}, 3.0, 0.6, {0.351602197f, 0.391893715f, 0.442614734f}},
        {Dixon, {200, 120, 40}, {30, 180, 90}, -1, -1, {0.568204641f, 0.568204641f, 0.568204641f}},
        {Dixon, {64, 128, 192}, {200, 60, 10}, -1, -1, {0.326715261f, 0.326715261f, 0.326715261f}},
        {Dixon, {200, 120, 40}, {128, 128, 128}, 0.7, -1, {0.554494798f, 0.554494798f, 0.554494798f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " from " << c.in << " over " << c.overlay);
        writeOverlays(bundle, c.overlay);
        WorkingImageGuard guard;
        PP_Effects_Bundle3 effect;
        effect.set_type(c.type);
        if (c.p1 >= 0) effect.param_1()->setValue(c.p1);
        if (c.p2 >= 0) effect.param_2()->setValue(c.p2);
        prepareOn(effect, uniform(24, 16, c.in));
        for (const auto& [x, y] : {std::pair{0, 0}, {23, 15}, {11, 7}, {5, 12}})
            expectNear(effect.process_pixel_x(x, y, 0), c.want, 1e-5f);
        effect.process_ended();
    }
}

TEST(PP_Effects_Bundle3, NoirBlueOnMidGreyUnderAWhiteOverlay) {
    TestBundle bundle;
    writeOverlays(bundle, {255, 255, 255});
    for (int step : {0, 2}) {
        SCOPED_TRACE(step ? "preview" : "full size");
        WorkingImageGuard guard;
        PP_Effects_Bundle3 effect;
        effect.set_type(NoirBlue);
        const EffectOutput out = runEffect(effect, uniform(16, 10, {128, 128, 128}), step);
        for (int j = 0; j < out.h; ++j)
            for (int i = 0; i < out.w; ++i)
                ASSERT_EQ(out.at(i, j), (Rgb{64, 133, 191})) << i << ", " << j;
    }
}

// With Contrast 0 and Color 1 the Noir types answer half the texel with green and blue
// exchanged, and "Dixon" with Contrast 0 the grey of the texel: probes of where the overlay is
// read. It lies across the picture when their orientations differ; "Dixon" turns it upside down.
TEST(PP_Effects_Bundle3, OverlayIsLaidAcrossWhenOrientationsDifferAndDixonFlipsIt) {
    TestBundle bundle;
    struct Case {
        int imageW, imageH, overlayW, overlayH;
        bool across;
    };
    const Case cases[] = {
        {40, 24, 12, 8, false}, {40, 24, 8, 12, true},  {24, 40, 12, 8, true},
        {24, 40, 8, 12, false}, {30, 30, 12, 8, false}, {30, 30, 8, 12, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.imageW << "x" << c.imageH << " under " << c.overlayW << "x" << c.overlayH);
        writePicture(bundle.main() / "horror.png", c.overlayW, c.overlayH, ramp);
        writePicture(bundle.main() / "lomo_overlayer.png", c.overlayW, c.overlayH, ramp);
        const auto oracle = ImageEditable::setup_overlay_e("horror");
        const int W = c.imageW, H = c.imageH;
        const auto texel = [&](int u, int v) {
            return c.across ? oracle->get_pixel_relative_e_x(v, u, H, W)
                            : oracle->get_pixel_relative_e_x(u, v, W, H);
        };
        WorkingImageGuard guard;
        const graphics::ImagePtr image = makeSourceImage(W, H, patternColour);
        PP_Effects_Bundle3 noir;
        noir.set_type(NoirBlue);
        noir.param_1()->setValue(0.0);
        noir.param_2()->setValue(1.0);
        prepareOn(noir, image);
        PP_Effects_Bundle3 dixon;
        dixon.set_type(Dixon);
        dixon.param_1()->setValue(0.0);
        prepareOn(dixon, image);
        for (int y = 0; y < H; y += 3)
            for (int x = 0; x < W; x += 5) {
                SCOPED_TRACE(testing::Message() << "at " << x << ", " << y);
                const pixel_t t = texel(x, y);
                const pixel_t n = noir.process_pixel_x(x, y, 0);
                EXPECT_EQ(n.r, 0.5f * t.r);
                EXPECT_EQ(n.g, 0.5f * t.b);
                EXPECT_EQ(n.b, 0.5f * t.g);
                const pixel_t f = texel(x, H - y);
                const float grey = float(0.33 * f.r + 0.59 * f.g + 0.11 * f.b);
                expectNear(dixon.process_pixel_x(x, y, 0), {grey, grey, grey}, 1e-6f);
            }
        noir.process_ended();
        dixon.process_ended();
    }
}

// With Contrast 1, Color 1 and a white overlay a Noir type answers about gray w + (1 - w) bg
// (doubled for Noir Sepia), so the blurred grey bg can be read back and compared with a box blur of
// radius min(width, height) / 20 (Noir Blue) or / 6 (Noir Red, Noir Sepia).
TEST(PP_Effects_Bundle3, NoirTypesReadTheBlurredCopyAtTheirRadius) {
    TestBundle bundle;
    writeOverlays(bundle, {255, 255, 255});
    const int W = 60, H = 44;
    const auto colour = [](int x, int y) {
        return Rgb{uint8_t((x * 37 + y * 11) % 256), uint8_t((x * x + 3 * y * y) % 256),
                   uint8_t((x ^ y) * 4)};
    };
    struct Case {
        int type;
        float weight;
        int radius;
    };
    for (const Case& c : {Case{NoirBlue, 0.3f, 2}, Case{NoirRed, 0.5f, 7}, Case{NoirSepia, 0.4f, 7}}) {
        SCOPED_TRACE(c.type);
        WorkingImageGuard guard;
        PP_Effects_Bundle3 effect;
        effect.set_type(c.type);
        effect.param_1()->setValue(1.0);
        effect.param_2()->setValue(1.0);
        prepareOn(effect, makeSourceImage(W, H, colour));
        std::vector<uint8_t> blurred(size_t(W) * H * 4);
        ASSERT_TRUE(
            fast_blur_argb(PostProcess::gp_data, blurred.data(), W, H, 4 * W, 4 * W, c.radius, c.radius));
        int wrong = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const uint8_t* s = PostProcess::gp_data + (size_t(y) * W + size_t(x)) * 4;
                const uint8_t* b = &blurred[(size_t(y) * W + size_t(x)) * 4];
                const double gray = (s[1] + s[2] + s[3]) / 255.0 / 3.0;
                const double bg = ((b[1] + b[2] + b[3]) / 3) / 255.0;
                const double v = effect.process_pixel_x(x, y, 0).r / (c.type == NoirSepia ? 2.0 : 1.0);
                wrong += std::abs(gray * c.weight + (1.0 - c.weight) * bg - v) > 1e-4;
            }
        EXPECT_EQ(wrong, 0);
        effect.process_ended();
    }
}

namespace {

// Noir Blue at its defaults under a white overlay: the red byte a run stores over a pixel whose
// bytes sum to `sum` when the blurred copy there sums to `blurredSum`.
uint8_t noirBlueRed(int sum, int blurredSum) {
    const float gray = float(double(float(double(sum) * (1.0 / 255.0))) * (1.0 / 3.0));
    const float bg = float(double(blurredSum / 3) * (1.0 / 255.0));
    const float m = float(double(gray * 0.3f) + (1.0 - double(0.3f)) * double(bg));
    const float v = (m - 0.5f) * 1.3f + 0.5f;
    const pixel_t vv = blend_vivid_light({v, v, v}, {48 / 255.0f, 137 / 255.0f, 206 / 255.0f});
    return storedByte(blend_alpha({v, v, v}, vv, 0.5f).r);
}

// Paints the working image grey in place, as nothing that replaces it would.
void repaintInPlace(int level) {
    for (int i = 0; i < PostProcess::g_width * PostProcess::g_height; ++i)
        for (int c = 1; c < 4; ++c)
            PostProcess::gp_data[size_t(i) * 4 + size_t(c)] = uint8_t(level);
}

uint8_t firstRed(const EffectOutput& out) {
    return out.at(0, 0).r;
}

} // namespace

// While the effect is the live preview, overlay and blurred copy outlive the runs for as long as
// the working image is the one they were made from.
TEST(PP_Effects_Bundle3, LivePreviewKeepsItsBlurredCopyUntilTheWorkingImageChanges) {
    TestBundle bundle;
    writeOverlays(bundle, {255, 255, 255});
    ASSERT_NE(noirBlueRed(600, 300), noirBlueRed(600, 600));
    WorkingImageGuard guard;
    PP_Effects_Bundle3 effect;
    effect.set_type(NoirBlue);
    effect.on_preview_entered();

    EXPECT_EQ(firstRed(runEffect(effect, uniform(20, 12, {100, 100, 100}), 2)), noirBlueRed(300, 300));
    // Only the parameters change between preview runs: the copy of grey 100 is read again.
    repaintInPlace(200);
    EXPECT_EQ(firstRed(runEffect(effect, nullptr, 2)), noirBlueRed(600, 300));
    EXPECT_EQ(firstRed(runEffect(effect, nullptr, 2)), noirBlueRed(600, 300));

    // A full-size run blurs afresh; the picture it installs is a new working image.
    const EffectOutput full = runEffect(effect, nullptr);
    EXPECT_EQ(firstRed(full), noirBlueRed(600, 600));
    const int sum = PostProcess::gp_data[1] + PostProcess::gp_data[2] + PostProcess::gp_data[3];
    ASSERT_NE(noirBlueRed(sum, sum), noirBlueRed(sum, 600));
    EXPECT_EQ(firstRed(runEffect(effect, nullptr, 2)), noirBlueRed(sum, sum));

    // A new picture of the same size, wherever its buffer lands.
    PostProcess::global_clean();
    EXPECT_EQ(firstRed(runEffect(effect, uniform(20, 12, {30, 30, 30}), 2)), noirBlueRed(90, 90));

    // A larger one: the old copy would be read past its end.
    PostProcess::global_clean();
    const EffectOutput larger = runEffect(effect, uniform(64, 40, {90, 90, 90}), 3);
    EXPECT_EQ(larger.at(larger.w - 1, larger.h - 1).r, noirBlueRed(270, 270));

    // Leaving the live preview frees both; the next preview run reads the picture as it is.
    effect.on_preview_exit();
    repaintInPlace(180);
    EXPECT_EQ(firstRed(runEffect(effect, nullptr, 2)), noirBlueRed(540, 540));
}

// Outside the live preview every run makes overlay and blurred copy afresh.
TEST(PP_Effects_Bundle3, PreviewRunsOutsideTheLivePreviewKeepNothing) {
    TestBundle bundle;
    writeOverlays(bundle, {255, 255, 255});
    WorkingImageGuard guard;
    PP_Effects_Bundle3 effect;
    effect.set_type(NoirBlue);
    EXPECT_EQ(firstRed(runEffect(effect, uniform(20, 12, {100, 100, 100}), 2)), noirBlueRed(300, 300));
    repaintInPlace(200);
    EXPECT_EQ(firstRed(runEffect(effect, nullptr, 2)), noirBlueRed(600, 600));
}

// Preview runs read the "_small" overlay, full-size runs the full one.
TEST(PP_Effects_Bundle3, PreviewReadsTheSmallOverlay) {
    TestBundle bundle;
    TestBundle::writePicture(bundle.main() / "horror.png", 12, 8, 255, 255, 255);
    TestBundle::writePicture(bundle.main() / "horror_small.png", 6, 4, 0, 0, 0);
    for (int step : {0, 2}) {
        WorkingImageGuard guard;
        PP_Effects_Bundle3 effect;
        effect.set_type(NoirBlue);
        const EffectOutput out = runEffect(effect, uniform(16, 10, {128, 128, 128}), step);
        EXPECT_EQ(out.at(3, 3), step ? (Rgb{0, 0, 0}) : (Rgb{64, 133, 191}));
    }
}

// A missing overlay is reported and read as black; nothing is read outside a buffer.
TEST(PP_Effects_Bundle3, MissingOverlayReadsAsBlack) {
    TestBundle bundle;
    testing::internal::CaptureStderr();
    for (int step : {0, 2}) {
        WorkingImageGuard guard;
        PP_Effects_Bundle3 effect;
        effect.set_type(NoirRed);
        const EffectOutput out = runEffect(effect, makeSourceImage(16, 10, patternColour), step);
        for (int j = 0; j < out.h; ++j)
            for (int i = 0; i < out.w; ++i)
                ASSERT_EQ(out.at(i, j), (Rgb{0, 0, 0}));
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Missing image resource: horror\nMissing image resource: horror_small\n");
}

TEST(PP_Effects_Bundle3, RunsStoreTheHookValuesOfEveryType) {
    TestBundle bundle;
    for (const char* name : {"lomo_overlayer", "lomo_overlayer_small", "horror", "horror_small"})
        writePicture(bundle.main() / (std::string(name) + ".png"), 12, 8, ramp);
    for (int type : {0, 1, 2, 3, 4, 5, 6, 7}) {
        SCOPED_TRACE(type);
        PP_Effects_Bundle3 effect;
        effect.set_type(type);
        expectRunsStoreHookValues(effect, makeSourceImage(40, 26, patternColour), 3);
    }
}

TEST(PP_Effects_Bundle3, DixonIsGreyWhateverThePicture) {
    TestBundle bundle;
    for (const char* name : {"lomo_overlayer", "lomo_overlayer_small"})
        writePicture(bundle.main() / (std::string(name) + ".png"), 12, 8, ramp);
    for (int step : {0, 2}) {
        WorkingImageGuard guard;
        PP_Effects_Bundle3 dixon;
        dixon.set_type(Dixon);
        const EffectOutput out = runEffect(dixon, makeSourceImage(48, 32, patternColour), step);
        for (int j = 0; j < out.h; ++j)
            for (int i = 0; i < out.w; ++i) {
                const Rgb p = out.at(i, j);
                ASSERT_TRUE(p.r == p.g && p.g == p.b) << i << ", " << j;
            }
    }
}

// Against the overlays the build generates, one type for each: both load at full size and in
// preview, and what the runs store is the formula over them.
TEST(PP_Effects_Bundle3, GeneratedArtwork) {
    for (int type : {NoirBlue, Kenai}) {
        SCOPED_TRACE(type);
        PP_Effects_Bundle3 effect;
        effect.set_type(type);
        testing::internal::CaptureStderr();
        expectRunsStoreHookValues(effect, makeSourceImage(48, 32, patternColour), 2);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    }
}
