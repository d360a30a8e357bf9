// The adjustments effect: parameters, every stage against known pixels, the pre-pass caches
// between runs, noise reduction and the cancel handshake with the editor.
#include "engine/effects/adjustments/PP_SuperFilter.h"

#include "support/PixelEffectRun.h"

#include "kernels/denoise/denoise.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Thread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <initializer_list>
#include <iterator>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using SF = PP_SuperFilter;

// Opens the effect's state to the tests.
class Probe : public PP_SuperFilter {
  public:
    using PP_SuperFilter::canceled;
    using PP_SuperFilter::m_denoise_amount;
    using PP_SuperFilter::m_rgb_mult;
    using PP_SuperFilter::mp_highlights;
    using PP_SuperFilter::mp_highpass;
    using PP_SuperFilter::mp_shadows;
    using PP_SuperFilter::mp_tex_denoise_processed;
    using PP_SuperFilter::step_x;
    using PP_SuperFilter::transform_table;
};

using Settings = std::initializer_list<std::pair<int, double>>;

void set(PP_SuperFilter& effect, Settings values) {
    for (const auto& [index, value] : values)
        effect.params()[size_t(index)]->setValue(value);
}

std::string describe(Settings values) {
    std::string out;
    for (const auto& [index, value] : values)
        out += std::to_string(index) + "=" + std::to_string(value) + " ";
    return out;
}

// As the run loop stores a channel.
uint8_t storedByte(float v) {
    if (v < 0.0f) return 0;
    if (v > 1.0f) return 255;
    if (v != v) return 0;
    return uint8_t(v * 255.0f);
}

// One run on the working image as it stands, synchronously.
void runOnce(PostProcess& effect, bool preview) {
    effect.set_silent_mode(true);
    effect.setIsSmallPreview(false);
    effect.set_preview_mode(preview);
    effect.process();
}

TEST(PP_SuperFilter, NamesCategoryAndParameters) {
    SF effect;
    effect.init({}, 42);
    EXPECT_EQ(effect.class_name(), "PP_SuperFilter");
    EXPECT_EQ(effect.get_name(), "Super Filter");
    EXPECT_EQ(effect.get_categorie(), "Super");
    EXPECT_EQ(effect.get_index(), 42);
    const ParamSpec specs[] = {
        {"R", 0, 2, 1},
        {"G", 0, 2, 1},
        {"B", 0, 2, 1},
        {"Contrast", 0.5, 1.5, 1},
        {"Saturation", 0, 2, 1},
        {"Hue", -0.5, 0.5, 0},
        {"Color Temperature", 4.0, 9.6, 6.8},
        {"Shadow Amount", 0, 1, 0},
        {"Shadow Tonal Width", 15, 255, 15},
        {"Highlight Amount", 0, 1, 0},
        {"Highlight Tonal Width", 15, 255, 200},
        {"Histogram Low Bound", 0, 255, 0},
        {"Histogram High Bound", 0, 255, 255},
        {"Brightness", 0, 1, 0.5},
        {"Amount", 1, 7, 1},
        {"Radius", 1, 5, 1},
        {"Amount", 0, 1.1, 0},
        {"Radius", 1, 5, 1},
        {"Exposure", 0, 1, 0.5},
        {"Histogram Gamma", double(0.05f), double(0.95f), 0.5},
    };
    ASSERT_EQ(effect.params().size(), std::size(specs));
    for (size_t i = 0; i < std::size(specs); ++i)
        expectParameter(effect.params()[i].get(), specs[i], ("adjustment " + std::to_string(i)).c_str());
    const PostProcessParameter* first = effect.params()[0].get();
    effect.params()[0]->setValue(0.3);
    EXPECT_EQ(effect.params()[0].get(), first) << "made once and kept";
    EXPECT_EQ(effect.params()[0]->value(), 0.3);
    expectParameter(effect.param_1(), {"Gamma", 0.1, 1.9, 1.0}, "param_1");
    expectParameter(effect.param_2(), {"Brightness", 0.3, 2.0, 1.0}, "param_2");
}

TEST(PP_SuperFilter, DefaultsLeaveEveryPixelAsItIs) {
    std::vector<PixelCase> cases;
    for (int x = 0; x < 48; ++x) {
        const Rgb c = patternColour(x * 5, x);
        cases.push_back({c, c});
    }
    cases.push_back({{0, 0, 0}, {0, 0, 0}});
    cases.push_back({{255, 255, 255}, {255, 255, 255}});
    SF effect;
    expectPixels(effect, cases);
    // Back at the defaults after other values: the same.
    set(effect, {{SF::kSaturation, 0.3}, {SF::kExposure, 0.9}});
    set(effect, {{SF::kSaturation, 1.0}, {SF::kExposure, 0.5}});
    expectPixels(effect, cases);
}

// Stages that need no mask, on the same six colours; bytes from the formulas evaluated by hand in
// the precisions they are given in.
TEST(PP_SuperFilter, StagesOnKnownPixels) {
    const Rgb in[6] = {{128, 128, 128}, {200, 100, 50}, {30, 60, 90},
                       {250, 240, 10},  {0, 0, 0},      {255, 255, 255}};
    struct Case {
        Settings values;
        Rgb out[6];
    };
    const Case cases[] = {
        // Temperature: rows 24 and 35; 6.5 and 7.49 round like the default and change nothing.
        {{{SF::kTemperature, 6.4}},
         {{128, 136, 136}, {200, 106, 53}, {30, 64, 95}, {250, 255, 10}, {0, 0, 0}, {255, 255, 255}}},
        {{{SF::kTemperature, 7.5}},
         {{145, 145, 128}, {226, 113, 50}, {34, 68, 90}, {255, 255, 10}, {0, 0, 0}, {255, 255, 255}}},
        {{{SF::kTemperature, 6.5}},
         {{128, 128, 128}, {200, 100, 50}, {30, 60, 90}, {250, 240, 10}, {0, 0, 0}, {255, 255, 255}}},
        {{{SF::kTemperature, 7.49}},
         {{128, 128, 128}, {200, 100, 50}, {30, 60, 90}, {250, 240, 10}, {0, 0, 0}, {255, 255, 255}}},
        {{{SF::kTemperature, 4.0}},
         {{128, 192, 255}, {200, 150, 139}, {30, 90, 251}, {250, 255, 27}, {0, 0, 0}, {255, 255, 255}}},
        // Beyond the table (no slider gets there): its last row.
        {{{SF::kTemperature, 12.0}},
         {{198, 178, 128}, {255, 139, 50}, {46, 83, 90}, {255, 255, 10}, {0, 0, 0}, {255, 255, 255}}},
        // Saturation: grey weights sum to 1.03.
        {{{SF::kSaturation, 0.0}},
         {{131, 131, 131}, {130, 130, 130}, {55, 55, 55}, {225, 225, 225}, {0, 0, 0}, {255, 255, 255}}},
        {{{SF::kSaturation, 2.0}},
         {{124, 124, 124}, {255, 69, 0}, {4, 64, 124}, {255, 254, 0}, {0, 0, 0}, {247, 247, 247}}},
        {{{SF::kExposure, 1.0}},
         {{192, 192, 192}, {255, 162, 112}, {57, 87, 117}, {255, 255, 48}, {0, 0, 0}, {255, 255, 255}}},
        {{{SF::kExposure, 0.0}},
         {{64, 64, 64}, {137, 37, 0}, {2, 32, 62}, {141, 131, 0}, {0, 0, 0}, {127, 127, 127}}},
        {{{SF::kBrightness, 1.0}},
         {{255, 255, 255}, {255, 227, 177}, {115, 145, 175}, {255, 255, 74}, {0, 0, 0}, {255, 255, 255}}},
        {{{SF::kBrightness, 0.0}},
         {{0, 0, 0}, {72, 0, 0}, {0, 0, 4}, {184, 175, 0}, {0, 0, 0}, {255, 255, 255}}},
        {{{SF::kBrightness, 0.7}},
         {{178, 178, 178}, {250, 150, 100}, {64, 94, 124}, {255, 255, 35}, {0, 0, 0}, {255, 255, 255}}},
        {{{SF::kContrast, 1.5}},
         {{128, 128, 128}, {236, 86, 11}, {0, 26, 71}, {255, 255, 0}, {0, 0, 0}, {255, 255, 255}}},
        {{{SF::kContrast, 0.5}},
         {{127, 127, 127}, {163, 113, 88}, {78, 93, 108}, {188, 183, 68}, {63, 63, 63}, {191, 191, 191}}},
        // Saturation before contrast: 1.5 L - 0.25. The other order would give 1.5 L - 0.2575.
        {{{SF::kSaturation, 0.0}, {SF::kContrast, 1.5}},
         {{134, 134, 134}, {132, 132, 132}, {19, 19, 19}, {255, 255, 255}, {0, 0, 0}, {255, 255, 255}}},
        // Channel gamma: all three run when one moves; 0 blacks the channel out.
        {{{SF::kRed, 0.0}},
         {{0, 128, 128}, {0, 100, 50}, {0, 60, 90}, {0, 240, 10}, {0, 0, 0}, {0, 255, 255}}},
        {{{SF::kRed, 0.5}, {SF::kGreen, 1.5}, {SF::kBlue, 2.0}},
         {{64, 161, 180}, {156, 136, 112}, {3, 97, 151}, {245, 244, 50}, {0, 0, 0}, {255, 255, 255}}},
        // Contrast pushes dark channels below 0; the power must not lift them back into grey.
        {{{SF::kContrast, 1.5}, {SF::kRed, 0.5}, {SF::kGreen, 0.5}, {SF::kBlue, 0.5}},
         {{64, 64, 64}, {218, 29, 0}, {0, 2, 19}, {255, 255, 0}, {0, 0, 0}, {255, 255, 255}}},
        {{{SF::kBrightness, 0.9}, {SF::kBlue, 0.5}},
         {{229, 229, 207}, {255, 201, 90}, {98, 128, 98}, {255, 255, 15}, {0, 0, 0}, {255, 255, 255}}},
        // Levels: the luma's stretch applied to all three channels, then the gamma column.
        {{{SF::kLevelsLow, 50}, {SF::kLevelsHigh, 200}},
         {{132, 132, 132}, {204, 102, 51}, {3, 7, 11}, {255, 255, 11}, {0, 0, 0}, {254, 254, 254}}},
        {{{SF::kLevelsGamma, 0.25}},
         {{64, 64, 64}, {157, 39, 10}, {3, 14, 30}, {245, 226, 0}, {0, 0, 0}, {253, 253, 253}}},
        {{{SF::kLevelsLow, 20}, {SF::kLevelsHigh, 230}, {SF::kLevelsGamma, 0.8}},
         {{168, 168, 168}, {222, 144, 93}, {55, 85, 110}, {255, 255, 35}, {0, 0, 0}, {254, 254, 254}}},
        // Bounds beyond the slider act as 0 and 255.
        {{{SF::kLevelsLow, -20}, {SF::kLevelsHigh, 300}},
         {{128, 128, 128}, {200, 100, 50}, {29, 59, 88}, {250, 240, 10}, {0, 0, 0}, {254, 254, 254}}},
        // Hue is not wrapped here; the conversion back takes any hue.
        {{{SF::kHue, 0.25}},
         {{128, 128, 128}, {74, 200, 49}, {89, 30, 90}, {9, 250, 120}, {0, 0, 0}, {255, 255, 255}}},
        {{{SF::kHue, -0.5}},
         {{128, 128, 128}, {49, 149, 200}, {90, 59, 30}, {9, 19, 250}, {0, 0, 0}, {255, 255, 255}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(describe(c.values));
        SF effect;
        set(effect, c.values);
        std::vector<PixelCase> pixels;
        for (int i = 0; i < 6; ++i)
            pixels.push_back({in[i], c.out[i]});
        expectPixels(effect, pixels);
    }
}

// Shadows, highlights and sharpening read the masks made from the whole picture: uniform rows give
// uniform masks (shadow mask max(128, 255 - luma), highlight mask (255 luma - 32385) / 128 from
// luma 127 up), a step gives high-pass bytes 108 and 148 beside it.
TEST(PP_SuperFilter, MaskStagesOnKnownPictures) {
    struct Case {
        Settings values;
        std::vector<Rgb> in, out;
    };
    const auto uniform = [](Rgb c) { return std::vector<Rgb>(8, c); };
    std::vector<Rgb> step(4, Rgb{100, 100, 100});
    step.resize(8, Rgb{160, 160, 160});
    const auto steps = [](uint8_t dark, uint8_t edgeDark, uint8_t edgeLight, uint8_t light) {
        std::vector<Rgb> out(3, Rgb{dark, dark, dark});
        out.push_back({edgeDark, edgeDark, edgeDark});
        out.push_back({edgeLight, edgeLight, edgeLight});
        out.resize(8, Rgb{light, light, light});
        return out;
    };
    const Case cases[] = {
        {{{SF::kShadowAmount, 0.5}}, uniform({60, 60, 60}), uniform({93, 93, 93})},
        {{{SF::kShadowAmount, 1.0}}, uniform({60, 60, 60}), uniform({110, 110, 110})},
        {{{SF::kShadowAmount, 0.5}}, uniform({200, 100, 50}), uniform({200, 101, 51})},
        {{{SF::kShadowAmount, 0.5}}, uniform({20, 20, 20}), uniform({63, 63, 63})},
        {{{SF::kShadowAmount, 1.0}}, uniform({0, 0, 0}), uniform({0, 0, 0})},
        {{{SF::kShadowAmount, 1.0}}, uniform({255, 255, 255}), uniform({255, 255, 255})},
        // Only the tonal width moved: the stage runs at amount 0 and still lifts the darks.
        {{{SF::kShadowTonalWidth, 100}}, uniform({20, 20, 20}), uniform({41, 41, 41})},
        {{{SF::kShadowTonalWidth, 100}}, uniform({60, 60, 60}), uniform({76, 76, 76})},
        {{{SF::kHighlightAmount, 1.0}}, uniform({230, 220, 180}), uniform({199, 180, 115})},
        {{{SF::kHighlightAmount, 0.4}}, uniform({230, 220, 180}), uniform({217, 204, 154})},
        {{{SF::kHighlightAmount, 1.0}}, uniform({160, 160, 160}), uniform({135, 135, 135})},
        {{{SF::kHighlightAmount, 1.0}}, uniform({200, 100, 50}), uniform({200, 100, 50})},
        {{{SF::kHighlightAmount, 1.0}}, uniform({255, 255, 255}), uniform({255, 255, 255})},
        // The highlight width alone: the stage runs at amount 0, which changes nothing.
        {{{SF::kHighlightTonalWidth, 50}}, uniform({230, 220, 180}), uniform({230, 220, 180})},
        {{{SF::kSharpenAmount, 3.0}}, step, steps(101, 54, 205, 161)},
        {{{SF::kSharpenAmount, 7.0}}, step, steps(102, 0, 255, 162)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(describe(c.values) + "from " + ::testing::PrintToString(c.in[0]));
        SF effect;
        set(effect, c.values);
        std::vector<PixelCase> pixels;
        for (size_t i = 0; i < c.in.size(); ++i)
            pixels.push_back({c.in[i], c.out[i]});
        expectPixels(effect, pixels);
    }
}

TEST(PP_SuperFilter, SharpeningIsWeakerByThePreviewStep) {
    WorkingImageGuard guard;
    ASSERT_TRUE(PostProcess::global_pre_init(makeSourceImage(8, 1, [](int x, int) {
        return x < 4 ? Rgb{100, 100, 100} : Rgb{160, 160, 160};
    })));
    Probe effect;
    set(effect, {{SF::kSharpenAmount, 3.0}});
    effect.pre_init();
    effect.prepare_for_process();
    struct Case {
        int step;
        uint8_t dark, light; // at x = 3 and 4, beside the step
    };
    for (const Case& c : {Case{1, 54, 205}, Case{5, 90, 169}}) {
        SCOPED_TRACE("step " + std::to_string(c.step));
        effect.step_x = c.step;
        EXPECT_EQ(storedByte(effect.process_pixel_x(3, 0, 0).g), c.dark);
        EXPECT_EQ(storedByte(effect.process_pixel_x(4, 0, 0).g), c.light);
    }
}

TEST(PP_SuperFilter, LevelsTableAndTemperatureGains) {
    WorkingImageGuard guard;
    ASSERT_TRUE(PostProcess::global_pre_init(makeSourceImage(4, 1, patternColour)));
    struct Levels {
        double low, high;
        std::vector<std::pair<int, int>> entries; // index, value
    };
    const Levels levels[] = {
        // The step 256 / 255 accumulates in single precision: entry 128 is already 129.
        {0, 255, {{0, 0}, {1, 1}, {127, 127}, {128, 129}, {199, 200}, {254, 255}, {255, 255}}},
        {50, 200, {{0, 0}, {49, 0}, {50, 0}, {51, 2}, {100, 85}, {199, 254}, {200, 255}, {255, 255}}},
        {-40, 400, {{0, 0}, {127, 127}, {128, 129}, {255, 255}}},
        // Crossed bounds: black below the high one, white from it.
        {200, 100, {{0, 0}, {99, 0}, {100, 255}, {199, 255}, {255, 255}}},
    };
    for (const Levels& l : levels) {
        SCOPED_TRACE("levels " + std::to_string(l.low) + " .. " + std::to_string(l.high));
        Probe effect;
        set(effect, {{SF::kLevelsLow, l.low}, {SF::kLevelsHigh, l.high}});
        effect.pre_init();
        effect.prepare_for_process();
        for (const auto& [index, value] : l.entries)
            EXPECT_EQ(effect.transform_table[index], value) << "entry " << index;
    }
    struct Gains {
        double temperature;
        float r, g, b;
    };
    const Gains gains[] = {
        {6.8, 1.0f, 1.0f, 1.0f},
        // 6.7 in single precision is just below: row 26, not the neutral row 27.
        {6.7, 1.0f, 1.051193f, 1.015847f},
        {6.4, 1.0f, 1.068719f, 1.064283f},
        {7.5, 1.133401f, 1.133915f, 1.0f},
        {4.0, 1.0f, 1.506932f, 2.790957f},
        {9.9, 1.537515f, 1.386001f, 1.0f},
        // Past either end (no slider gets there): the end rows.
        {1.0, 1.0f, 1.506932f, 2.790957f},
        {25.0, 1.552313f, 1.394895f, 1.0f},
    };
    for (const Gains& g : gains) {
        SCOPED_TRACE("temperature " + std::to_string(g.temperature));
        Probe effect;
        set(effect, {{SF::kTemperature, g.temperature}});
        effect.pre_init();
        effect.prepare_for_process();
        EXPECT_NEAR(effect.m_rgb_mult[0], g.r, 1e-5);
        EXPECT_NEAR(effect.m_rgb_mult[1], g.g, 1e-5);
        EXPECT_NEAR(effect.m_rgb_mult[2], g.b, 1e-5);
    }
}

// The gamma column is 2 x gamma x 255 rounded; values past the slider use the last column
// (exponent 256 / 767) instead of reading past the table.
TEST(PP_SuperFilter, LevelsGammaBeyondTheSliderStaysInTheTable) {
    WorkingImageGuard guard;
    ASSERT_TRUE(PostProcess::global_pre_init(makeSourceImage(1, 1, patternColour)));
    for (double gamma : {1.51, 2.0, 50.0}) {
        SCOPED_TRACE(gamma);
        SF effect;
        set(effect, {{SF::kLevelsGamma, gamma}});
        effect.pre_init();
        effect.prepare_for_process();
        // Grey 128: luma 128.5, table entry 129, level trunc(128 x 129 / 128.5) = 128.
        const pixel_t p =
            effect.processHistogramAtY(0, 0, {128.0f / 255.0f, 128.0f / 255.0f, 128.0f / 255.0f});
        const float expected =
            float(int(powf(128.0f / 255.0f, float(1.0 / (767 * 0.00390625))) * 255.0 + 0.5)) / 255.0f;
        EXPECT_EQ(p.r, expected);
    }
}

TEST(PP_SuperFilter, PrePassesAreKeptBetweenPreviews) {
    WorkingImageGuard guard;
    ASSERT_TRUE(PostProcess::global_pre_init(makeSourceImage(24, 16, patternColour)));
    Probe effect;
    struct Planes {
        const uint8_t *highpass, *shadows, *highlights;
    };
    const auto planes = [&] {
        return Planes{effect.mp_highpass.data.get(), effect.mp_shadows.data.get(),
                      effect.mp_highlights.data.get()};
    };
    struct Step {
        const char* what;
        Settings values;
        bool preview, clearFirst;
        bool highpass, shadows, highlights; // rebuilt
    };
    const Step steps[] = {
        {"first preview", {}, true, false, true, true, true},
        {"saturation", {{SF::kSaturation, 0.2}}, true, false, false, false, false},
        {"saturation again", {{SF::kSaturation, 1.7}}, true, false, false, false, false},
        {"sharpen radius", {{SF::kSharpenRadius, 3.0}}, true, false, true, false, false},
        {"sharpen amount", {{SF::kSharpenAmount, 4.0}}, true, false, false, false, false},
        {"full size", {}, false, false, true, true, true},
        {"preview after full size", {}, true, false, false, false, false},
        // At the default radius an existing plane is reused whatever radius made it.
        {"radius back to default", {{SF::kSharpenRadius, 1.0}}, true, false, false, false, false},
        {"full size at default radius", {}, false, false, false, true, true},
        {"new picture", {}, true, true, true, true, true},
    };
    Planes before{};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        set(effect, s.values);
        if (s.clearFirst) {
            effect.clearCashes();
            EXPECT_EQ(planes().highpass, nullptr);
            EXPECT_EQ(planes().shadows, nullptr);
            EXPECT_EQ(planes().highlights, nullptr);
            before = {};
        }
        runOnce(effect, s.preview);
        const Planes now = planes();
        ASSERT_NE(now.highpass, nullptr);
        ASSERT_NE(now.shadows, nullptr);
        ASSERT_NE(now.highlights, nullptr);
        EXPECT_EQ(now.highpass != before.highpass, s.highpass);
        EXPECT_EQ(now.shadows != before.shadows, s.shadows);
        EXPECT_EQ(now.highlights != before.highlights, s.highlights);
        before = now;
    }
}

// A working image of another size (a crop, say) without clearCashes: the planes are remade for it
// rather than read out of bounds.
TEST(PP_SuperFilter, PlanesFollowTheWorkingImageSize) {
    WorkingImageGuard guard;
    Probe effect;
    set(effect, {{SF::kShadowAmount, 0.7}, {SF::kHighlightAmount, 0.7}, {SF::kSharpenAmount, 2.0}});
    for (int width : {24, 9, 40}) {
        SCOPED_TRACE(width);
        PostProcess::global_clean();
        ASSERT_TRUE(PostProcess::global_pre_init(makeSourceImage(width, 7, patternColour)));
        runOnce(effect, true);
        for (const auto* plane : {&effect.mp_highpass, &effect.mp_shadows, &effect.mp_highlights}) {
            EXPECT_EQ(plane->width, width);
            EXPECT_EQ(plane->height, 7);
        }
    }
}

// A noisy picture large enough for the search window.
graphics::ImagePtr noisyPicture(int w, int h) {
    return makeSourceImage(w, h, [](int x, int y) {
        const int n = (x * 37 + y * 91 + (x * y) % 13 * 17) % 41 - 20;
        const auto c = [n](int base) { return uint8_t(std::clamp(base + n, 0, 255)); };
        return Rgb{c(120), c(90), c(160)};
    });
}

std::vector<uint8_t> workingBytes() {
    return {PostProcess::gp_data,
            PostProcess::gp_data + size_t(PostProcess::g_width) * PostProcess::g_height * 4};
}

// Colour bytes of a w x h buffer of 4-byte pixels with rows of rowPixels.
std::vector<Rgb> colours(const uint8_t* data, int w, int h, int rowPixels) {
    std::vector<Rgb> out;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = data + (size_t(y) * size_t(rowPixels) + size_t(x)) * 4;
            out.push_back({p[1], p[2], p[3]});
        }
    return out;
}

TEST(PP_SuperFilter, NoiseReductionRunsOnlyWithAStrength) {
    WorkingImageGuard guard;
    const int w = 24, h = 20;
    ASSERT_TRUE(PostProcess::global_pre_init(noisyPicture(w, h)));
    const std::vector<uint8_t> source = workingBytes();

    // Only the radius moved: the picture stays as it is (it used to turn black).
    Probe effect;
    set(effect, {{SF::kDenoiseRadius, 3.0}});
    runOnce(effect, false);
    EXPECT_EQ(effect.mp_tex_denoise_processed, nullptr);
    EXPECT_EQ(colours(PostProcess::gp_data, w, h, w), colours(source.data(), w, h, w));

    // With a strength the output is the kernel's result for the preview size.
    std::vector<uint8_t> expected(size_t(w) * h * 4);
    ASSERT_TRUE(
        denoise(source.data(), w, h, 4 * w, expected.data(), w, h, 4 * w, nullptr, nullptr, 1.5f, 0.8f));
    ASSERT_NE(colours(expected.data(), w, h, w), colours(source.data(), w, h, w))
        << "the picture must be noisy";
    set(effect, {{SF::kDenoiseAmount, 0.8}});
    runOnce(effect, true);
    ASSERT_EQ(PostProcess::g_preview_w, w);
    EXPECT_EQ(colours(PostProcess::gp_preview_buf, w, h, PostProcess::g_preview_w),
              colours(expected.data(), w, h, w));

    // Kept while other sliders move; remade for a new strength; dropped by a full-size run and by
    // clearCashes.
    const texture_t* kept = effect.mp_tex_denoise_processed.get();
    ASSERT_NE(kept, nullptr);
    set(effect, {{SF::kSaturation, 0.5}});
    runOnce(effect, true);
    EXPECT_EQ(effect.mp_tex_denoise_processed.get(), kept);
    // A new strength remakes it (judged by the strength it was made with: a freed texture's
    // address may come back for the new one).
    EXPECT_FLOAT_EQ(effect.m_denoise_amount, 0.8f);
    set(effect, {{SF::kDenoiseAmount, 0.4}});
    runOnce(effect, true);
    EXPECT_NE(effect.mp_tex_denoise_processed, nullptr);
    EXPECT_FLOAT_EQ(effect.m_denoise_amount, 0.4f);
    effect.clearCashes();
    EXPECT_EQ(effect.mp_tex_denoise_processed, nullptr);
    runOnce(effect, true);
    EXPECT_NE(effect.mp_tex_denoise_processed, nullptr);
    runOnce(effect, false);
    EXPECT_EQ(effect.mp_tex_denoise_processed, nullptr);
}

TEST(PP_SuperFilter, CancelHandshakeKeepsNoNoiseReduction) {
    WorkingImageGuard guard;
    const int w = 20, h = 18;
    ASSERT_TRUE(PostProcess::global_pre_init(noisyPicture(w, h)));
    const std::vector<Rgb> source = colours(PostProcess::gp_data, w, h, w);
    foundation::NotificationCenter& center = foundation::NotificationCenter::defaultCenter();
    Probe effect;
    effect.init({}, 3);
    set(effect, {{SF::kDenoiseAmount, 1.0}});
    {
        SF gone; // its observers must go with it
        gone.init({}, 4);
    }

    center.postNotificationName("processingAreCanceled");
    EXPECT_TRUE(effect.canceled.load());
    runOnce(effect, true);
    EXPECT_EQ(effect.mp_tex_denoise_processed, nullptr);
    // The stage falls back to the source.
    EXPECT_EQ(colours(PostProcess::gp_preview_buf, w, h, PostProcess::g_preview_w), source);

    center.postNotificationName("processingCancelingAreFinished");
    EXPECT_FALSE(effect.canceled.load());
    runOnce(effect, true);
    EXPECT_NE(effect.mp_tex_denoise_processed, nullptr);
    EXPECT_NE(colours(PostProcess::gp_preview_buf, w, h, PostProcess::g_preview_w), source);
}

// Cancelling the run's thread stops the noise reduction at its next report, and the partial
// result is not kept.
TEST(PP_SuperFilter, CancelledThreadStopsTheNoiseReduction) {
    WorkingImageGuard guard;
    ASSERT_TRUE(PostProcess::global_pre_init(noisyPicture(160, 120)));
    Probe effect;
    set(effect, {{SF::kDenoiseAmount, 1.0}});
    effect.set_silent_mode(true);
    std::atomic<bool> go{false};
    bool answer = true;
    foundation::Thread worker([&] {
        while (!go.load())
            std::this_thread::yield();
        answer = effect.progress_callback(0.25f);
        effect.pre_init();
        effect.set_preview_mode(false);
        effect.prepare_for_process();
    });
    worker.cancel();
    go = true;
    worker.join();
    EXPECT_FALSE(answer);
    EXPECT_EQ(effect.mp_tex_denoise_processed, nullptr);
    EXPECT_TRUE(effect.progress_callback(0.3f)) << "the main thread is never cancelled";
}

TEST(PP_SuperFilter, ProgressIsPostedOnlyWhenThePercentageChanges) {
    SF effect;
    effect.progress_callback(0.07f);
    RunRecorder recorder;
    for (float f : {0.075f, 0.123f, 0.1299f, 0.5f, 0.5f, 1.0f})
        effect.progress_callback(f);
    // 12, 50 and 100 are new.
    EXPECT_EQ(recorder.named("progressChanged").size(), 3u);
    EXPECT_EQ(effect.get_complete_precent(), 100);
}

// The last percentage belongs to one effect and one run: another effect, or the next run, that
// reaches the same percentage still reports it.
TEST(PP_SuperFilter, EveryRunReportsItsOwnProgress) {
    WorkingImageGuard guard;
    ASSERT_TRUE(PostProcess::global_pre_init(noisyPicture(64, 48)));
    SF first;
    first.progress_callback(1.0f);
    SF second;
    {
        RunRecorder recorder;
        second.progress_callback(1.0f);
        EXPECT_EQ(recorder.named("progressChanged").size(), 1u);
    }
    Probe effect;
    set(effect, {{SF::kDenoiseAmount, 1.0}});
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        RunRecorder recorder;
        effect.pre_init();
        effect.set_preview_mode(false);
        effect.prepare_for_process();
        EXPECT_FALSE(recorder.named("progressChanged").empty());
    }
}

} // namespace
