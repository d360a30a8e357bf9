// The small per-pixel effects: neon edges, posterize, noise, two grey conversions, the three blurs,
// brightness and burnt colours. Names and parameters, the bytes each formula makes of known colours
// at full size and in preview, the seeded noise, and what the blurs spread where.
#include "engine/effects/blur/PP_Blur.h"
#include "engine/effects/colour/PP_BW.h"
#include "engine/effects/colour/PP_BlackAndWhite.h"
#include "engine/effects/colour/PP_BrighterImage.h"
#include "engine/effects/colour/PP_BurntColors.h"
#include "engine/effects/distortion/PP_ArtNoise.h"
#include "engine/effects/glow/PP_ArtFilter3.h"
#include "engine/effects/painterly/PP_ArtFilter4.h"

#include "engine/PostProcessParameter.h"
#include "kernels/Random.h"
#include "kernels/blur/fast_blur.h"
#include "kernels/blur/gaussian_blur.h"
#include "support/EffectRun.h"
#include "support/PixelEffectRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using Factory = std::function<std::unique_ptr<PostProcess>()>;

template <typename Effect> Factory make(int type = 0) {
    return [type] {
        auto e = std::make_unique<Effect>();
        e->set_type(type);
        return std::unique_ptr<PostProcess>(std::move(e));
    };
}

TEST(SmallEffects, NamesCategoriesAndParameters) {
    struct Case {
        Factory factory;
        const char* className;
        const char* name;
        const char* category;
        bool colourOnly, independent;
        ParamSpec p1, p2;
    };
    const Case cases[] = {
        {make<PP_ArtFilter3>(),
         "PP_ArtFilter3",
         "Neon Light",
         "Glow",
         false,
         true,
         {"Brightness", 1.0, 5.0, 3.4},
         {"Blur", 0.5, 1.0, 0.7}},
        {make<PP_ArtFilter4>(),
         "PP_ArtFilter4",
         "Posterize",
         "Art",
         false,
         true,
         {"Amount", 2.0, 8.0, 5.0},
         {}},
        {make<PP_ArtNoise>(),
         "PP_ArtNoise",
         "Noise",
         "SFX",
         false,
         false,
         {"Amount", 1.0, 40.0, 4.8},
         {"Gamma", 0.0, 0.6, 0.2}},
        {make<PP_BlackAndWhite>(),
         "PP_BlackAndWhite",
         "Grayscale",
         "Black&White",
         true,
         true,
         {"Contrast", 0.4, 2.0, 1.0},
         {}},
        {make<PP_Blur>(0), "PP_Blur", "Blur", "Blur", false, true, {"Amount", 0.05, 1.0, 0.5}, {}},
        {make<PP_Blur>(1), "PP_Blur", "Horizontal Blur", "Blur", false, true, {"Amount", 0.05, 1.0, 0.5}, {}},
        {make<PP_Blur>(2), "PP_Blur", "Vertical Blur", "Blur", false, true, {"Amount", 0.05, 1.0, 0.5}, {}},
        {make<PP_Blur>(3), "PP_Blur", "none", "Blur", false, true, {"Amount", 0.05, 1.0, 0.5}, {}},
        {make<PP_BrighterImage>(),
         "PP_BrighterImage",
         "Brightness",
         "Trash",
         true,
         true,
         {"Brightness", 0.1, 3.0, 1.4},
         {}},
        {make<PP_BurntColors>(),
         "PP_BurntColors",
         "Burnt Colors",
         "Color Fantasy",
         true,
         true,
         {"Amount", 0.3, 1.5, 1.0},
         {"Brightness", 0.0, 0.5, 0.0}},
        {make<PP_BW>(),
         "PP_BW",
         "Black and White",
         "Black&White",
         true,
         true,
         {"Contrast", 0.5, 5.0, 4.0},
         {"Brightness", 1.0, 5.0, 3.0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<PostProcess> e = c.factory();
        EXPECT_EQ(e->class_name(), c.className);
        EXPECT_EQ(e->get_name(), c.name);
        EXPECT_EQ(e->get_categorie(), c.category);
        EXPECT_EQ(e->this_filter_is_simply_color_modify(), c.colourOnly);
        EXPECT_EQ(e->pixels_are_independent(), c.independent);
        EXPECT_FALSE(e->isCenterSupported());
        EXPECT_EQ(e->passes(), 1u);
        expectParameter(e->param_1(), c.p1, "param_1");
        expectParameter(e->param_2(), c.p2, "param_2");
    }
}

constexpr float kByte = 1.0f / 255.0f;

pixel_t unit(Rgb c) {
    return {float(c.r) * kByte, float(c.g) * kByte, float(c.b) * kByte};
}

Rgb bytes(pixel_t p) {
    return {storedByte(p.r), storedByte(p.g), storedByte(p.b)};
}

// A texel of the blurs as the hook answers it: each byte divided by 255.
Rgb fromTexel(Rgb t) {
    return bytes({float(t.r) / 255.0f, float(t.g) / 255.0f, float(t.b) / 255.0f});
}

const std::vector<Rgb> kColours = {{0, 0, 0},     {255, 255, 255}, {255, 0, 0},     {0, 255, 0},
                                   {0, 0, 255},   {12, 200, 99},   {128, 128, 128}, {77, 30, 240},
                                   {250, 251, 3}, {100, 100, 100}};

// The table of kColours through formula.
std::vector<PixelCase> through(const std::function<pixel_t(pixel_t)>& formula) {
    std::vector<PixelCase> cases;
    for (const Rgb& c : kColours)
        cases.push_back({c, bytes(formula(unit(c)))});
    return cases;
}

// Effects whose result at a pixel is a formula of that pixel alone: hand-worked values, then the
// formula over a table of colours, at two settings each.
TEST(SmallEffects, ColourFormulas) {
    struct Case {
        const char* what;
        Factory factory;
        double p1, p2;
        std::vector<PixelCase> byHand;
        std::function<pixel_t(pixel_t)> formula;
    };
    const auto posterize = [](float n) {
        return [n](pixel_t s) {
            return pixel_t{std::trunc(s.r * n) / n, std::trunc(s.g * n) / n, std::trunc(s.b * n) / n};
        };
    };
    const auto grayscale = [](float k) {
        return [k](pixel_t s) {
            const float v = float((double(s.g) * 0.59 + double(s.r) * 0.33) + double(s.b) * 0.11);
            const float c = (v - 0.5f) * k + 0.5f;
            return pixel_t{c, c, c};
        };
    };
    const auto bw = [](float k, double over) {
        return [k, over](pixel_t s) {
            const auto ct = [k](float c) { return (c - 0.5f) * k + 0.5f; };
            const double sum = (double(ct(s.g)) + double(ct(s.r))) + double(ct(s.b));
            const float v = float(double(float(sum / 3.0)) * over);
            return pixel_t{v, v, v};
        };
    };
    const auto brighter = [](double k) {
        return [k](pixel_t s) { return pixel_t{float(s.r * k), float(s.g * k), float(s.b * k)}; };
    };
    const auto burnt = [](double scale, double lift) {
        return [scale, lift](pixel_t s) {
            const float k = float(scale * 3.0), sat = float(scale * 4.0);
            const pixel_t c{(s.r - 0.5f) * k + 0.5f, (s.g - 0.5f) * k + 0.5f, (s.b - 0.5f) * k + 0.5f};
            const float L = float(0.33 * c.r + 0.59 * c.g + 0.11 * c.b);
            const auto out = [&](float v) { return float(double((v - L) * sat + L) + lift); };
            return pixel_t{out(c.r), out(c.g), out(c.b)};
        };
    };
    const Case cases[] = {
        // Five levels: 60 is 1.18 fifths, 127 2.49, 200 3.92.
        {"posterize 5",
         make<PP_ArtFilter4>(),
         5.0,
         0,
         {{{0, 60, 127}, {0, 51, 102}}, {{200, 255, 254}, {153, 255, 204}}},
         posterize(5.0f)},
        // "Amount" truncated to 2: below half is 0, from half up to 254 is half, full stays full.
        {"posterize 2",
         make<PP_ArtFilter4>(),
         2.9,
         0,
         {{{127, 128, 254}, {0, 127, 127}}, {{255, 0, 255}, {255, 0, 255}}},
         posterize(2.0f)},
        // Red weighs 0.33, so white is 1.03 and stays white.
        {"grayscale 1",
         make<PP_BlackAndWhite>(),
         1.0,
         0,
         {{{255, 0, 0}, {84, 84, 84}}, {{255, 255, 255}, {255, 255, 255}}},
         grayscale(1.0f)},
        {"grayscale 2", make<PP_BlackAndWhite>(), 2.0, 0, {{{100, 100, 100}, {78, 78, 78}}}, grayscale(2.0f)},
        {"black and white",
         make<PP_BW>(),
         4.0,
         3.0,
         {{{100, 100, 100}, {52, 52, 52}}, {{128, 128, 128}, {255, 255, 255}}},
         bw(4.0f, 3.0)},
        {"black and white soft", make<PP_BW>(), 0.5, 1.0, {{{255, 0, 0}, {106, 106, 106}}}, bw(0.5f, 1.0)},
        {"brightness", make<PP_BrighterImage>(), 1.4, 0, {{{101, 51, 200}, {141, 71, 255}}}, brighter(1.4)},
        {"brightness low",
         make<PP_BrighterImage>(),
         0.1,
         0,
         {{{205, 107, 255}, {20, 10, 25}}},
         brighter(0.1)},
        // Contrast 3 then saturation 4 around L = 0.33 r + 0.59 g + 0.11 b.
        {"burnt", make<PP_BurntColors>(), 1.0, 0.0, {{{128, 128, 128}, {117, 117, 117}}}, burnt(1.0, 0.0)},
        {"burnt lifted", make<PP_BurntColors>(), 0.3, 0.5, {{{0, 0, 0}, {140, 140, 140}}}, burnt(0.3, 0.5)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<PostProcess> e = c.factory();
        e->param_1()->setValue(c.p1);
        if (e->param_2()) e->param_2()->setValue(c.p2);
        expectPixels(*e, c.byHand);
        expectPixels(*e, through(c.formula));
    }
}

// Three draws per visited pixel, row by row on this narrow image: x offset, y offset, brightness.
std::vector<Rgb> expectedNoise(const EffectOutput& out, int r, double gamma, uint64_t seed) {
    Random::seed(seed);
    const int w = out.sourceWidth, h = int(out.source.size() / 4 / size_t(w));
    const float lo = float(1.0 - gamma), hi = float(1.0 + gamma);
    std::vector<Rgb> want;
    for (int y = 0; y < h; y += out.step)
        for (int x = 0; x < w; x += out.step) {
            int sx = x + int(Random::random() % (2 * r + 1)) - r;
            if (sx < 0 || sx >= w) sx = x;
            int sy = y + int(Random::random() % (2 * r + 1)) - r;
            if (sy < 0 || sy >= h) sy = y;
            const float f = lo + (hi - lo) * float(Random::random() % 5001) / 5000.0f;
            const uint8_t* p = &out.source[(size_t(sy) * size_t(w) + size_t(sx)) * 4];
            want.push_back(
                bytes({float(p[1]) * kByte * f, float(p[2]) * kByte * f, float(p[3]) * kByte * f}));
        }
    return want;
}

// "Amount" 40 on a 100-pixel side: radius trunc(100 x 40 / 500) = 8.
TEST(ArtNoise, ScattersAndShadesWithTheSeededGenerator) {
    for (double gamma : {0.0, 0.2, 0.6})
        for (int step : {0, 3}) {
            SCOPED_TRACE("gamma " + std::to_string(gamma) + " step " + std::to_string(step));
            WorkingImageGuard guard;
            PP_ArtNoise noise;
            noise.param_1()->setValue(40.0);
            noise.param_2()->setValue(gamma);
            Random::seed(77);
            const EffectOutput out = runEffect(noise, makeSourceImage(100, 100, patternColour), step);
            const std::vector<Rgb> want = expectedNoise(out, 8, gamma, 77);
            ASSERT_EQ(want.size(), size_t(out.w) * size_t(out.h));
            int wrong = 0, moved = 0;
            for (int j = 0; j < out.h; ++j)
                for (int i = 0; i < out.w; ++i) {
                    wrong += !(out.at(i, j) == want[size_t(j) * size_t(out.w) + size_t(i)]);
                    moved += !out.sameAsSource(i, j);
                }
            EXPECT_EQ(wrong, 0);
            EXPECT_GT(moved, out.w * out.h / 2);
        }
}

// With no brightness noise every pixel is a copy of one within 8 columns and rows, inside the
// image: an offset that would leave it keeps the pixel's own column or row.
TEST(ArtNoise, ScatterStaysInsideTheImage) {
    WorkingImageGuard guard;
    PP_ArtNoise noise;
    noise.param_1()->setValue(40.0);
    noise.param_2()->setValue(0.0);
    Random::seed(5);
    const auto position = [](int x, int y) { return Rgb{uint8_t(x), uint8_t(y), 7}; };
    const EffectOutput out = runEffect(noise, makeSourceImage(100, 100, position));
    int ownColumn = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            const Rgb p = out.at(x, y);
            ASSERT_EQ(p.b, 7);
            ASSERT_LE(std::abs(int(p.r) - x), 8) << x << "," << y;
            ASSERT_LE(std::abs(int(p.g) - y), 8) << x << "," << y;
            ASSERT_LT(p.r, 100);
            ASSERT_LT(p.g, 100);
            ownColumn += x == 0 && p.r == 0;
        }
    // Column 0 keeps its own column for the eight offsets that leave and for offset 0.
    EXPECT_GT(ownColumn, 30);
}

// "Amount" 1 on a 300-pixel short side: radius 0 and, with "Gamma" 0, factor 1.
TEST(ArtNoise, SmallestAmountWithoutGammaGivesThePhotoBack) {
    WorkingImageGuard guard;
    PP_ArtNoise noise;
    noise.param_1()->setValue(1.0);
    noise.param_2()->setValue(0.0);
    const EffectOutput out = runEffect(noise, makeSourceImage(400, 300, patternColour));
    EXPECT_TRUE(out.bytes == out.source);
}

// Neon: colour times (1 - mask) x "Brightness", mask the soft edge map of the photo; the last
// column takes the colour and the mask of the one before it.
TEST(NeonLight, EdgesKeepTheirColourTimesBrightness) {
    struct Case {
        int w, h;
        double brightness, blur;
        int radius; // trunc(min side / (blur x 200)), at least 1
    };
    const Case cases[] = {
        {60, 40, 3.4, 0.7, 1}, {90, 200, 1.0, 0.5, 1}, {300, 210, 2.0, 0.5, 2}, {400, 300, 3.4, 0.5, 3}};
    const auto photo = [](int x, int y) {
        const bool disc = (x - 25) * (x - 25) + (y - 20) * (y - 20) < 150;
        return Rgb{uint8_t(disc ? 230 : 20 + x % 7), uint8_t(disc ? 40 : 90), uint8_t((x * 3 + y) % 256)};
    };
    for (const Case& c : cases)
        for (int step : {0, 3}) {
            SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h) + " step " + std::to_string(step));
            WorkingImageGuard guard;
            PP_ArtFilter3 neon;
            neon.param_1()->setValue(c.brightness);
            neon.param_2()->setValue(c.blur);
            const EffectOutput out = runEffect(neon, makeSourceImage(c.w, c.h, photo), step);
            if (step) {
                EXPECT_EQ(workingImageBytes(), out.source) << "the run changed the working image";
            }
            std::vector<uint8_t> mask(out.source.size());
            ASSERT_TRUE(fast_blur_ed_argb(out.source.data(), mask.data(), c.w, c.h, 4 * c.w, 4 * c.w,
                                          c.radius, c.radius));
            int wrong = 0;
            for (int j = 0; j < out.h; ++j)
                for (int i = 0; i < out.w; ++i) {
                    const int x = i * out.step, y = j * out.step;
                    // The colour of the pixel itself, the last column included.
                    const uint8_t* s = &out.source[(size_t(y) * size_t(c.w) + size_t(x)) * 4];
                    const uint8_t* t = &mask[(size_t(y) * size_t(c.w) + size_t(x)) * 4];
                    pixel_t want;
                    float* channel = &want.r;
                    for (int k = 0; k < 3; ++k)
                        channel[k] = float(s[k + 1]) * kByte * float((1.0 - t[k + 1] / 255.0) * c.brightness);
                    wrong += !(out.at(i, j) == bytes(want));
                }
            EXPECT_EQ(wrong, 0);
        }
}

// The mask is made into the effect's own texture: preparing a run leaves every byte of the working
// image as it was, the last column included, and a flat photo has no edges, so it turns black.
TEST(NeonLight, FlatPhotoTurnsBlackAndTheWorkingImageStays) {
    WorkingImageGuard guard;
    const graphics::ImagePtr image = makeSourceImage(50, 30, patternColour);
    ASSERT_TRUE(PostProcess::global_pre_init(image));
    const std::vector<uint8_t> before = workingImageBytes();
    PP_ArtFilter3 neon;
    neon.pre_init();
    neon.prepare_for_process();
    EXPECT_TRUE(workingImageBytes() == before);
    neon.process_ended();
    neon.post_clean();

    std::vector<PixelCase> flat(9, {{200, 120, 40}, {0, 0, 0}});
    expectPixels(neon, flat);
}

Rgb pixelAt(const std::vector<uint8_t>& bytes, int w, int x, int y) {
    const uint8_t* p = &bytes[(size_t(y) * size_t(w) + size_t(x)) * 4];
    return {p[1], p[2], p[3]};
}

// Box blurs along one axis with radius trunc(min side / (inverted "Amount" x 120)), at least 1.
// A one-pixel line across the blur spreads to 255 / (2r + 1) within r of it; along it nothing changes.
TEST(BlurEffect, HorizontalAndVerticalBlurRadius) {
    struct Case {
        int w, h;
        double amount;
        int radius;
    };
    // At 1.0 the inverted value is 0.05f, a hair above 0.05: 123 / 6.0000001 is 20.
    const Case cases[] = {{123, 123, 1.0, 20}, {123, 123, 0.05, 1}, {600, 300, 0.5, 4}, {240, 250, 0.05, 2}};
    for (const Case& c : cases)
        for (int type : {1, 2})
            for (int step : {0, 3}) {
                SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h) + " amount " +
                             std::to_string(c.amount) + " type " + std::to_string(type) + " step " +
                             std::to_string(step));
                const int x0 = c.w / 2 / 3 * 3, y0 = c.h / 2 / 3 * 3; // on the preview grid
                const auto line = [&](bool vertical) {
                    return [=](int x, int y) {
                        const bool on = vertical ? x == x0 : y == y0;
                        return on ? Rgb{255, 255, 255} : Rgb{0, 0, 0};
                    };
                };
                const Rgb spread = fromTexel(Rgb{uint8_t(255 / (2 * c.radius + 1)), 0, 0});
                const Rgb spreadGrey{spread.r, spread.r, spread.r};
                for (bool vertical : {true, false}) {
                    WorkingImageGuard guard;
                    PP_Blur blur;
                    blur.set_type(type);
                    blur.param_1()->setValue(c.amount);
                    const EffectOutput out = runEffect(blur, makeSourceImage(c.w, c.h, line(vertical)), step);
                    const bool across = vertical == (type == 1);
                    int wrong = 0;
                    for (int j = 0; j < out.h; ++j)
                        for (int i = 0; i < out.w; ++i) {
                            const int d =
                                vertical ? std::abs(i * out.step - x0) : std::abs(j * out.step - y0);
                            const Rgb want = !across         ? out.sourceAt(i, j)
                                             : d <= c.radius ? spreadGrey
                                                             : Rgb{0, 0, 0};
                            wrong += !(out.at(i, j) == want);
                        }
                    EXPECT_EQ(wrong, 0) << (vertical ? "vertical line" : "horizontal line");
                }
            }
}

// Gaussian of radius roundf(W x "Amount" x 15 / 1000), W the rendered width, on the run's grid,
// each pass rounded; a radius that rounds to 0 gives the photo back, and a flat photo stays flat.
TEST(BlurEffect, GaussianRadiusFollowsTheRenderedWidth) {
    struct Case {
        int w, h, step;
        double amount;
        int radius;
    };
    const Case cases[] = {
        {200, 50, 0, 0.5, 2},                       // 1.5 rounds away from zero
        {200, 50, 2, 0.5, 1},                       // preview width 100
        {400, 60, 0, 1.0, 6}, {333, 90, 3, 0.8, 1}, // preview width 111: 1.33
        {50, 20, 0, 0.05, 0},                       // 0.0375
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + " step " + std::to_string(c.step));
        WorkingImageGuard guard;
        PP_Blur blur;
        blur.set_type(0);
        blur.param_1()->setValue(c.amount);
        const EffectOutput out = runEffect(blur, makeSourceImage(c.w, c.h, patternColour), c.step);
        std::vector<uint8_t> want = out.source;
        if (c.radius > 0) {
            float* table = gaussianMatrixForRadius(unsigned(c.radius));
            ASSERT_NE(table, nullptr);
            const float* row = table + (c.radius - 1) * (2 * c.radius + 1);
            EXPECT_TRUE(gaussianBlurARGB(out.source.data(), want.data(), c.w, c.h, row, 2 * c.radius + 1,
                                         out.step, true));
            std::free(table);
        }
        int wrong = 0, blurred = 0;
        for (int j = 0; j < out.h; ++j)
            for (int i = 0; i < out.w; ++i) {
                const Rgb w = pixelAt(want, c.w, i * out.step, j * out.step);
                wrong += !(out.at(i, j) == fromTexel(w));
                blurred += !out.sameAsSource(i, j);
            }
        EXPECT_EQ(wrong, 0);
        EXPECT_EQ(blurred > 0, c.radius > 0);
    }
    for (const Case& c : cases) {
        SCOPED_TRACE("flat " + std::to_string(c.w) + " step " + std::to_string(c.step));
        WorkingImageGuard guard;
        PP_Blur blur;
        blur.set_type(0);
        blur.param_1()->setValue(c.amount);
        const EffectOutput flat = runEffect(blur,
                                            makeSourceImage(c.w, c.h,
                                                            [](int, int) {
                                                                return Rgb{100, 37, 201};
                                                            }),
                                            c.step);
        for (int j = 0; j < flat.h; ++j)
            for (int i = 0; i < flat.w; ++i)
                ASSERT_TRUE(flat.sameAsSource(i, j)) << i << "," << j << ": " << flat.at(i, j);
    }
}

TEST(BlurEffect, TypeOutsideTheTableIsBlack) {
    PP_Blur blur;
    blur.set_type(3);
    expectPixels(blur, {{{200, 100, 50}, {0, 0, 0}}, {{255, 255, 255}, {0, 0, 0}}});
}

} // namespace
