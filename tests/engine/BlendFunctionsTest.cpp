#include "engine/BlendFunctions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

using Blend = std::function<pixel_t(pixel_t, pixel_t)>;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

pixel_t grey(float v) {
    return {v, v, v};
}

void expect_pixel_eq(pixel_t actual, pixel_t expected, const std::string& what) {
    EXPECT_EQ(actual.r, expected.r) << what << " (red)";
    EXPECT_EQ(actual.g, expected.g) << what << " (green)";
    EXPECT_EQ(actual.b, expected.b) << what << " (blue)";
}

struct BlendCase {
    const char* name;
    Blend fn;
    pixel_t a;
    pixel_t b;
    pixel_t expected;
};

// Each row checks three independent channel cases at once, which also catches mixed-up channels.
TEST(BlendFunctions, TableOfModes) {
    const auto alpha = [](float k) { return [k](pixel_t a, pixel_t b) { return blend_alpha(a, b, k); }; };
    const std::vector<BlendCase> cases = {
        {"darken", blend_darken, {0.2f, 0.9f, 0}, {0.5f, 0.1f, 1}, {0.2f, 0.1f, 0}},
        {"lighten", blend_lighten, {0.2f, 0.9f, 0}, {0.5f, 0.1f, 1}, {0.5f, 0.9f, 1}},
        {"difference", blend_difference, {0.25f, 1, 0}, {0.75f, 0, 0}, {0.5f, 1, 0}},
        {"add is not clamped", blend_add, {0.75f, 0, 1}, {0.75f, 0, 1}, {1.5f, 0, 2}},
        {"screen", blend_screen, {0.5f, 0, 1}, {0.5f, 1, 0}, {0.75f, 1, 1}},
        {"screen of black", blend_screen, {0, 0, 0}, {0.25f, 0.5f, 1}, {0.25f, 0.5f, 1}},
        {"overlay", blend_overlay, {0.25f, 0.75f, 0}, {0.5f, 0.5f, 1}, {0.25f, 0.75f, 0}},
        {"overlay of white", blend_overlay, {1, 1, 1}, {0, 0.5f, 1}, {1, 1, 1}},
        {"soft light", blend_soft_light, {0, 1, 0.25f}, {0.5f, 0, 0.75f}, {0, 1, 0.375f}},
        {"soft light, black stays", blend_soft_light, {0, 0, 0.5f}, {0.75f, 1, 0.25f}, {0, 0, 0.375f}},
        {"hard light swaps soft light", blend_hard_light, {0.5f, 0, 0.75f}, {0, 1, 0.25f}, {0, 1, 0.375f}},
        {"hard light 2", blend_hard_light2, {0.3f, 0, 0.5f}, {0.5f, 1, 0.75f}, {0.3f, 1, 0.75f}},
        {"hard light 2 of black", blend_hard_light2, {0, 0, 1}, {0, 0.25f, 0}, {0, 0, 0}},
        {"linear light", blend_linear_light, {0.25f, 1, 0.75f}, {0.25f, 0.25f, 0.75f}, {0, 0.5f, 1}},
        {"linear light at 0.5", blend_linear_light, {0.25f, 0, 1}, {0.5f, 0.5f, 0.5f}, {0.25f, 0, 1}},
        {"color burn", blend_color_burn, {0.9f, 1, 0.75f}, {0, 0.3f, 0.5f}, {0, 1, 0.5f}},
        {"color burn floors at 0", blend_color_burn, {0.2f, 0, 1}, {0.4f, 1, 1}, {0, 0, 1}},
        {"color dodge", blend_color_dodge, {0.1f, 0, 0.25f}, {1, 0.3f, 0.5f}, {1, 0, 0.5f}},
        {"color dodge caps at 1", blend_color_dodge, {0.75f, 1, 0}, {0.5f, 0, 0}, {1, 1, 0}},
        {"vivid light", blend_vivid_light, {0.3f, 0.9f, 0.75f}, {0.5f, 0, 0.25f}, {0.3f, 0, 0.5f}},
        {"vivid light, upper half", blend_vivid_light, {1.5f, 0, 0.25f}, {0.5f, 1, 0.75f}, {1, 1, 0.5f}},
        {"hard mix", blend_hard_mix, {0.5f, 0.2f, 0}, {0.5f, 0.2f, 1}, {1, 0, 1}},
        {"hard mix of black", blend_hard_mix, {0, 0.9f, 0.75f}, {0, 0, 0.25f}, {0, 0, 1}},
        {"alpha 1 keeps a", alpha(1), {0.3f, 0.6f, 1}, {0.9f, 0.1f, 0}, {0.3f, 0.6f, 1}},
        {"alpha 0 keeps b", alpha(0), {0.3f, 0.6f, 1}, {0.9f, 0.1f, 0}, {0.9f, 0.1f, 0}},
        {"alpha half", alpha(0.5f), {1, 0, 0.5f}, {0, 1, 0.5f}, {0.5f, 0.5f, 0.5f}},
        {"alpha quarter", alpha(0.25f), {1, 0, 1}, {0, 1, 1}, {0.25f, 0.75f, 1}},
        {"luminocity: red on white is white", blend_luminocity, {1, 0, 0}, grey(1), grey(1)},
        {"luminocity: white on black is black", blend_luminocity, grey(1), grey(0), grey(0)},
        {"luminocity: grey keeps b's lightness", blend_luminocity, grey(0.3f), grey(0.6f),
         grey(153 / 255.0f)},
        {"luminocity: red at mid lightness", blend_luminocity, {1, 0, 0}, grey(0.5f), {254 / 255.0f, 0, 0}},
        {"luminocity: blue hue",
         blend_luminocity,
         {0.2f, 0.6f, 0.9f},
         {0.7f, 0.1f, 0.3f},
         {22 / 255.0f, 112 / 255.0f, 180 / 255.0f}},
        {"luminocity: purple hue",
         blend_luminocity,
         {0.9f, 0.3f, 0.7f},
         grey(0.4f),
         {178 / 255.0f, 25 / 255.0f, 127 / 255.0f}},
        {"luminocity: yellow hue",
         blend_luminocity,
         {1, 1, 0},
         {0.25f, 0.5f, 0.75f},
         {253 / 255.0f, 254 / 255.0f, 0}},
    };
    for (const auto& c : cases)
        expect_pixel_eq(c.fn(c.a, c.b), c.expected, c.name);
}

// Pins the evaluation precision: over a grid each mode must match its reference formula to
// the bit, and the grid must hold a point where the other precision would give another float.
struct PrecisionCase {
    const char* name;
    Blend fn;
    std::function<float(float, float)> reference;
    std::function<float(float, float)> other_precision;
};

TEST(BlendFunctions, PrecisionOfEachFormula) {
    const std::vector<PrecisionCase> cases = {
        {"screen", blend_screen,
         [](float a, float b) { return float(1.0 - (1.0 - double(b)) * (1.0 - double(a))); },
         [](float a, float b) { return 1.0f - (1.0f - b) * (1.0f - a); }},
        {"overlay", blend_overlay,
         [](float a, float b) {
             return a < 0.5f ? float(double(b) * (2.0 * a))
                             : float(1.0 - 2.0 * (1.0 - double(a)) * (1.0 - double(b)));
         },
         [](float a, float b) { return a < 0.5f ? b * (2.0f * a) : 1.0f - 2.0f * (1.0f - a) * (1.0f - b); }},
        {"soft light squares in float", blend_soft_light,
         [](float a, float b) {
             const float a2 = a * a;
             return b < 0.5f ? float((1.0 - 2.0 * b) * a2 + 2.0 * a * double(b))
                             : float((1.0 - double(b)) * 2.0 * a + (2.0 * b - 1.0) * std::sqrt(double(a)));
         },
         [](float a, float b) {
             return b < 0.5f ? float((1.0 - 2.0 * b) * (double(a) * a) + 2.0 * a * double(b))
                             : float((1.0 - double(b)) * 2.0 * a + (2.0 * b - 1.0) * std::sqrt(double(a)));
         }},
        {"color dodge", blend_color_dodge,
         [](float a, float b) { return b == 1.0f ? b : float(std::min(1.0, double(a) / (1.0 - double(b)))); },
         [](float a, float b) { return b == 1.0f ? b : std::min(1.0f, a / (1.0f - b)); }},
        {"alpha mixes precisions", [](pixel_t a, pixel_t b) { return blend_alpha(a, b, 0.3f); },
         [](float a, float b) { return float(double(a * 0.3f) + double(b) * (1.0 - double(0.3f))); },
         [](float a, float b) { return float(double(a) * 0.3f + double(b) * (1.0 - double(0.3f))); }},
    };
    for (const auto& c : cases) {
        bool discriminated = false;
        for (int i = 0; i <= 40; ++i) {
            for (int j = 0; j <= 40; ++j) {
                const float a = i / 41.0f + 0.01f, b = j / 41.0f;
                const float got = c.fn(grey(a), grey(b)).g;
                ASSERT_EQ(got, c.reference(a, b)) << c.name << " a=" << a << " b=" << b;
                discriminated |= got != c.other_precision(a, b);
            }
        }
        EXPECT_TRUE(discriminated) << c.name << ": the grid cannot tell the precisions apart";
    }
}

TEST(BlendFunctions, NaNTakesTheFormulaBranchAndPassesMinMax) {
    struct NaNCase {
        const char* name;
        Blend fn;
        pixel_t a, b;
    };
    // Every result channel must be NaN: min/max and the 0/1 guards must not swallow it.
    const std::vector<NaNCase> cases = {
        {"darken, NaN first", blend_darken, grey(kNaN), grey(0.5f)},
        {"darken, NaN second", blend_darken, grey(0.5f), grey(kNaN)},
        {"lighten, NaN first", blend_lighten, grey(kNaN), grey(0.5f)},
        {"lighten, NaN second", blend_lighten, grey(0.5f), grey(kNaN)},
        {"linear light", blend_linear_light, grey(kNaN), {0.2f, 0.5f, 0.9f}},
        {"color burn", blend_color_burn, grey(0.5f), grey(kNaN)},
        {"color dodge", blend_color_dodge, grey(kNaN), grey(0.5f)},
        {"vivid light, NaN b", blend_vivid_light, grey(0.5f), grey(kNaN)},
        {"vivid light, NaN a", blend_vivid_light, grey(kNaN), {0.2f, 0.5f, 0.9f}},
        {"overlay", blend_overlay, grey(kNaN), grey(0.5f)},
        {"hard light 2", blend_hard_light2, grey(0.5f), grey(kNaN)},
        {"soft light", blend_soft_light, grey(kNaN), grey(0.25f)},
    };
    for (const auto& c : cases) {
        const pixel_t p = c.fn(c.a, c.b);
        EXPECT_TRUE(std::isnan(p.r) && std::isnan(p.g) && std::isnan(p.b)) << c.name;
    }
    // Hard mix turns NaN into a decision: NaN < 0.5 is false.
    EXPECT_EQ(blend_hard_mix(grey(0.5f), grey(kNaN)).r, 1.0f);
}

TEST(BlendFunctions, LuminocityClampsOutOfRangeChannels) {
    // Out-of-range and NaN channels become the nearest byte instead of an undefined cast.
    expect_pixel_eq(blend_luminocity(grey(0.5f), {1.5f, 7, 1e30f}), grey(1), "over 1 is white");
    expect_pixel_eq(blend_luminocity(grey(0.5f), {-0.5f, kNaN, -1e30f}), grey(0),
                    "below 0 and NaN are black");
    expect_pixel_eq(blend_luminocity({kNaN, kNaN, kNaN}, grey(0.6f)), grey(153 / 255.0f), "NaN a is grey");
}

TEST(Smoothstep, EdgesAndMiddle) {
    EXPECT_DOUBLE_EQ(smoothstep(0.2, 0.8, 0.5), 0.5);
    EXPECT_EQ(smoothstep(0.2, 0.8, 0.2), 0.0);
    EXPECT_EQ(smoothstep(0.2, 0.8, 0.8), 1.0);
    EXPECT_EQ(smoothstep(0.2, 0.8, 0.1), 0.0);
    EXPECT_EQ(smoothstep(0.2, 0.8, 0.9), 1.0);
    EXPECT_DOUBLE_EQ(smoothstep(0.0, 1.0, 0.25), 0.15625);
    // Reversed edges: the lower test wins below edge0, the upper one above it.
    EXPECT_EQ(smoothstep(0.8, 0.2, 0.5), 0.0);
    EXPECT_EQ(smoothstep(0.8, 0.2, 0.9), 1.0);
}

struct HslCase {
    pixel_t rgb;
    hsl_t hsl;
};

void expect_hsl_eq(hsl_t actual, hsl_t expected, const std::string& what) {
    EXPECT_EQ(actual.h, expected.h) << what << " (hue)";
    EXPECT_EQ(actual.s, expected.s) << what << " (saturation)";
    EXPECT_EQ(actual.l, expected.l) << what << " (lightness)";
}

std::string describe(pixel_t p) {
    return "(" + std::to_string(p.r) + ", " + std::to_string(p.g) + ", " + std::to_string(p.b) + ")";
}

TEST(ColourConversions, RgbToHslTable) {
    const std::vector<HslCase> cases = {
        {{1, 0, 0}, {0, 1, 0.5f}},
        {{0, 1, 0}, {1.0f / 3.0f, 1, 0.5f}},
        {{0, 0, 1}, {2.0f / 3.0f, 1, 0.5f}},
        {grey(0), {0, 0, 0}},
        {grey(0.4f), {0, 0, 0.4f}},
        {grey(1), {0, 0, 1}},
        {{0.5f, 0.25f, 0}, {0x1.55556p-4f, 1, 0.25f}},
        {{0.2f, 0.6f, 0.9f}, {0x1.249248p-1f, 0x1.8e38e2p-1f, 0x1.19999ap-1f}},
        {{0.9f, 0.3f, 0.7f}, {0x1.c71c72p-1f, 0x1.7ffffep-1f, 0x1.333334p-1f}},
        {{0.1f, 0.05f, 0.8f}, {0x1.5b05b2p-1f, 0x1.c3c3c2p-1f, 0x1.b33334p-2f}},
        // Saturation above lightness 0.5 is divided in double (in float it would be 0x1.e1262p-1).
        {{0.03425f, 0.0625f, 0.97f}, {0x1.52c1d4p-1f, 0x1.e1261ep-1f, 0x1.011688p-1f}},
    };
    for (const auto& c : cases)
        expect_hsl_eq(RGBToHSL(c.rgb), c.hsl, describe(c.rgb));
}

TEST(ColourConversions, HslToRgbTable) {
    const std::vector<HslCase> cases = {
        // Hue - 1/3 is rounded to float before the double 2/3 is subtracted: a trace stays.
        {{1, 0, 0x1p-22f}, {0, 1, 0.5f}},
        {{0, 1, 0x1p-24f}, {1.0f / 3.0f, 1, 0.5f}},
        {{0, 0, 1}, {2.0f / 3.0f, 1, 0.5f}},
        {grey(0.7f), {0.3f, 0, 0.7f}},
        {grey(1), {0.5f, 1, 1}},
        {grey(0), {0.5f, 1, 0}},
        {{0x1.cccccep-2f, 0x1.51eb86p-2f, 0x1.333334p-3f}, {0.1f, 0.5f, 0.3f}},
        {{0x1.a1cab8p-2f, 0x1.1eb85p-2f, 0x1.d70a4p-1f}, {0.7f, 0.8f, 0.6f}},
        {{0x1.4p-1f, 0x1.8p-2f, 0x1.ccccccp-2f}, {0.95f, 0.25f, 0.5f}},
        // Hue + 1/3 is added in double (a float 1/3 would give red 0x1.8adab8p-2).
        {{0x1.8adabcp-2f, 0x1.0a3d72p-1f, 0x1.1eb85p-2f}, {0.26f, 0.3f, 0.4f}},
        // Lightness exactly 0.5 takes the "(l + s) - s l" branch; the other gives 0x1.010102p-1.
        {{0x1.0101p-1f, 0x1.fdfep-2f, 0x1.fdfep-2f}, {0, 1 / 255.0f, 0.5f}},
    };
    for (const auto& c : cases)
        expect_pixel_eq(HSLToRGB(c.hsl), c.rgb, describe(c.rgb));
}

TEST(ColourConversions, HueToRgbWrapsOnceAndPicksTheSegment) {
    // Segments of the hue circle: rising edge, plateau at q, falling edge, floor at p.
    EXPECT_FLOAT_EQ(HueToRGB(0.2f, 0.8f, 0.1f), 0.2f + 0.6f * 0.6f);
    EXPECT_EQ(HueToRGB(0.2f, 0.8f, 0.4f), 0.8f);
    EXPECT_FLOAT_EQ(HueToRGB(0.2f, 0.8f, 0.6f), 0.2f + (2.0f / 3.0f - 0.6f) * 0.6f * 6.0f);
    EXPECT_EQ(HueToRGB(0.2f, 0.8f, 0.9f), 0.2f);
    // -0.6 wraps to 0.4 and 1.4 to 0.4 (to float rounding): both on the plateau.
    EXPECT_EQ(HueToRGB(0.2f, 0.8f, -0.6f), 0.8f);
    EXPECT_EQ(HueToRGB(0.2f, 0.8f, 1.4f), 0.8f);
}

TEST(ColourConversions, RoundTripOverAGrid) {
    constexpr int n = 17;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            for (int k = 0; k < n; ++k) {
                const pixel_t p = {i / 16.0f, j / 16.0f, k / 16.0f};
                const pixel_t back = HSLToRGB(RGBToHSL(p));
                EXPECT_NEAR(back.r, p.r, 1e-5) << describe(p);
                EXPECT_NEAR(back.g, p.g, 1e-5) << describe(p);
                EXPECT_NEAR(back.b, p.b, 1e-5) << describe(p);
            }
}

TEST(ColourConversions, ByteConversionPair) {
    float h, l, s;
    // Pure blue in the byte pair's own channel order.
    EXPECT_TRUE(Color_RgbToHls(0, 0, 255, &h, &l, &s));
    EXPECT_EQ(h, 4.0f / 6.0f);
    EXPECT_EQ(l, 0.5f);
    EXPECT_EQ(s, 1.0f);
    // Red's hue is negative before the wrap: (0 - 51) / d / 6 + 1.
    EXPECT_TRUE(Color_RgbToHls(255, 0, 51, &h, &l, &s));
    EXPECT_FLOAT_EQ(h, 1.0f - 0.2f / 6.0f);
    Color_RgbToHls(77, 77, 77, &h, &l, &s);
    EXPECT_EQ(h, 0.0f);
    EXPECT_EQ(s, 0.0f);
    EXPECT_EQ(l, 77 / 255.0f);

    uint32_t r, g, b;
    EXPECT_TRUE(Color_HlsToRgb(&r, &g, &b, 0.9f, 77 / 255.0f, 0));
    EXPECT_EQ(r, 77u);
    EXPECT_EQ(g, 77u);
    EXPECT_EQ(b, 77u);
    Color_HlsToRgb(&r, &g, &b, 0, 0.5f, 1);
    EXPECT_EQ(r, 255u);
    EXPECT_EQ(g, 0u);
    EXPECT_EQ(b, 0u);
    // Lightness exactly 0.5 takes the "<= 0.5" branch; the other one would give (127, 127, 127).
    Color_HlsToRgb(&r, &g, &b, 0, 0.5f, 1 / 255.0f);
    EXPECT_EQ(r, 128u);
    EXPECT_EQ(g, 126u);
    EXPECT_EQ(b, 126u);
    // Every byte triple survives the round trip through the pair (to within one step).
    for (int v = 0; v < 256; v += 15)
        for (int w = 0; w < 256; w += 17)
            for (int u = 0; u < 256; u += 51) {
                Color_RgbToHls(uint8_t(v), uint8_t(w), uint8_t(u), &h, &l, &s);
                Color_HlsToRgb(&r, &g, &b, h, l, s);
                EXPECT_NEAR(int(r), v, 1) << v << "," << w << "," << u;
                EXPECT_NEAR(int(g), w, 1) << v << "," << w << "," << u;
                EXPECT_NEAR(int(b), u, 1) << v << "," << w << "," << u;
            }
}

TEST(ColourConversions, HueHelpersDifferOnlyInTheirTwoThirds) {
    // Just below 2/3 the float constant 0.6666667 (a little above 2/3) still leaves room for
    // the falling edge that the double 2/3 does not.
    const float h = std::nextafter(2.0f / 3.0f, 0.0f);
    float out;
    Color_HueToRgb(&out, 0, 1, h);
    EXPECT_EQ(out, float((double(0.6666667f) - h) * 6.0));
    EXPECT_EQ(HueToRGB(0, 1, h), float((2.0 / 3.0 - h) * 6.0));
    EXPECT_NE(out, HueToRGB(0, 1, h));
}

} // namespace
