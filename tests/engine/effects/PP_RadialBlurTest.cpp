// Focus blurs: the radius limit and sharp zone each type hands the variable-radius blur, checked
// through the bytes at full size and in preview; unknown types; and, on a 12-megapixel picture,
// radii that keep growing away from the sharp row far past 255.
#include "engine/effects/blur/PP_RadialBlur.h"
#include "kernels/blur/special_blur.h"

#include "engine/effects/ExpectedImageRun.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Case {
    int type;
    double amount, range;
    graphics::Point centre;
    // What the blur must be given.
    int limit, sharp, centreX, centreY;
};

// The working image blurred by the kernel with the given arguments, bytes 1 to 3 read back.
std::vector<uint8_t> reference(const Case& c) {
    const int w = PostProcess::g_width, h = PostProcess::g_height;
    std::vector<uint8_t> out(size_t(w) * size_t(h) * 4);
    if (c.type == 0)
        blur_radial_argb(PostProcess::gp_data, out.data(), w, h, w * 4, w * 4, c.centreX, c.centreY, c.limit,
                         c.sharp);
    else
        blur_vertical_argb(PostProcess::gp_data, out.data(), w, h, w * 4, w * 4, c.centreY, c.limit, c.sharp);
    return out;
}

// On 200 x 120. The limit is trunc(min side x 0.25 / d), d = 50 (0.5 - Amount) in double from a
// single-precision 0.5 - Amount, or 0.99999998 below 0.02: at 0.45 that is 30 / 2.50000004 = 11;
// the sharp half-width is trunc(Range x 200).
TEST(PP_RadialBlur, EachTypeBlursWithItsLimitSharpZoneAndCentre) {
    const Case cases[] = {
        {0, 0.45, 0.04, {0.5, 0.5}, 11, 8, 100, 60}, {0, 0.5, 0.1, {0.25, 0.8}, 30, 20, 50, 96},
        {0, 0.35, 0.005, {0.0, 0.0}, 3, 1, 0, 0}, // 30 / 7.5000003 just below 4
        {1, 0.32, 0.04, {0.9, 0.25}, 3, 8, 0, 30},   {1, 0.4, 0.005, {0.5, 0.75}, 5, 1, 0, 90},
        {2, 0.49, 0.04, {0.5, 0.5}, 30, 8, 0, 0},   // below 0.02 after inversion
        {3, 0.45, 0.2, {0.5, 0.5}, 11, 40, 0, 120}, // from the bottom edge
        {2, 0.0, 0.04, {0.5, 0.5}, 1, 8, 0, 0},     // 30 / 25 truncates to 1
    };
    const graphics::ImagePtr image = makeSourceImage(200, 120, [](int x, int y) {
        const uint32_t n = uint32_t(x) * 2654435761u ^ uint32_t(y) * 40503u;
        return Rgb{uint8_t(x + (n >> 29)), uint8_t(y * 2), uint8_t(n >> 24)};
    });
    for (const Case& c : cases) {
        SCOPED_TRACE("type " + std::to_string(c.type) + " amount " + std::to_string(c.amount));
        PP_RadialBlur effect;
        effect.set_type(c.type);
        effect.param_1()->setValue(c.amount);
        effect.param_2()->setValue(c.range);
        effect.setEffectCenter(c.centre);
        std::vector<uint8_t> blurred;
        expectImage(effect, image, [&](int x, int y) {
            if (blurred.empty()) blurred = reference(c);
            const uint8_t* p = &blurred[(size_t(y) * 200 + size_t(x)) * 4];
            return storedPixel({float(p[1]) / 255.0f, float(p[2]) / 255.0f, float(p[3]) / 255.0f});
        });
    }
}

TEST(PP_RadialBlur, UnknownTypesLeaveThePictureAsItIs) {
    PP_RadialBlur effect;
    effect.set_type(7);
    expectImage(effect, makeSourceImage(31, 9, patternColour),
                [](int x, int y) { return patternColour(x, y); });
}

// Tilt-shift on 4000 x 3000 at the strongest Amount: limit 750, sharp rows within 160 of the
// middle row. A white band ends at column 3000; how far the blur carries it into the black on a
// row is that row's radius (one less once 255 / (2r + 1) falls below 1 for the nearest columns).
// It must grow steadily away from the middle row up to the bottom row's 251, never falling back
// as a radius kept in 8 bits would.
TEST(PP_RadialBlur, TiltShiftRadiusKeepsGrowingOnLargePictures) {
    const int w = 4000, h = 3000, edge = 3000;
    PostProcess::global_clean();
    WorkingImageGuard guard;
    ASSERT_TRUE(PostProcess::global_pre_init(makeSourceImage(w, h, [](int x, int) {
        const uint8_t v = x >= 1000 && x < edge ? 255 : 0;
        return Rgb{v, v, v};
    })));
    PP_RadialBlur effect;
    effect.set_type(1);
    effect.param_1()->setValue(0.5);
    effect.pre_init();
    effect.prepare_for_process();
    const auto reach = [&](int y) {
        int n = 0;
        while (n < 400 && effect.process_pixel_x(edge + n, y, 0).r > 0.0f)
            ++n;
        return n;
    };
    int previous = 0;
    for (int y = h / 2; y < h; y += 7) {
        const int r = reach(y);
        ASSERT_GE(r, previous) << "row " << y;
        previous = r;
    }
    EXPECT_EQ(reach(h / 2), 0);
    EXPECT_EQ(reach(h / 2 - 160), 0);
    // Row 2999: entry floor(1339 x 750 / 2000) = 502, radius 251, reach 251 - 2 + 1.
    EXPECT_EQ(reach(h - 1), 250);
    EXPECT_EQ(reach(0), 250); // 1500 rows up: entry floor(502.5)
    effect.process_ended();
}

} // namespace
