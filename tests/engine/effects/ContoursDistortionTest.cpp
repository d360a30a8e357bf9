// The neighbourhood looks: the contours, engraving and bump maps of PP_Edges, the waves and
// ripples of PP_FalseMirror and the zoom blur of PP_Explosion. Names and sliders; the hook's
// answer at known pixels of a small picture (expected values worked out from the formulas in
// single precision); runs at full size and in preview; the edges of the picture, narrow and very
// wide strips, and the centre of the explosion.
#include "engine/effects/blur/PP_Explosion.h"
#include "engine/effects/distortion/PP_FalseMirror.h"
#include "engine/effects/sketch/PP_Edges.h"

#include "engine/PostProcessParameter.h"
#include "support/PixelEffectRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <utility>
#include <vector>

namespace {

// Neighbours that differ in every channel, so a sample taken at the wrong place shows.
Rgb noisy(int x, int y) {
    return {uint8_t((x * 53 + y * 97) % 256), uint8_t((x * x * 7 + y * 31) % 256),
            uint8_t((x * y * 13 + 40) % 256)};
}

// A pixel of the table: the hook's answer at (x, y) after the parameters were set.
struct HookCase {
    int type;
    double p1, p2;
    int x, y;
    pixel_t want;
};

// Sets the sliders the look has, prepares it over image as a run does, and compares the hook.
void expectHook(PostProcess& effect, const graphics::ImagePtr& image, const HookCase& c, float tolerance) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << " at " << c.p1 << ", " << c.p2 << ", pixel ("
                                    << c.x << ", " << c.y << ")");
    effect.set_type(c.type);
    effect.param_1()->setValue(c.p1);
    if (effect.param_2()) effect.param_2()->setValue(c.p2);
    WorkingImageGuard guard;
    ASSERT_TRUE(PostProcess::global_pre_init(image));
    effect.pre_init();
    effect.prepare_for_process();
    const pixel_t got = effect.process_pixel_x(c.x, c.y, 0);
    EXPECT_NEAR(got.r, c.want.r, tolerance);
    EXPECT_NEAR(got.g, c.want.g, tolerance);
    EXPECT_NEAR(got.b, c.want.b, tolerance);
}

// Every pixel a run (full size, then preview at step 2) stores is what the hook answers there.
void expectRunsStoreTheHook(PostProcess& effect, const graphics::ImagePtr& image) {
    for (int step : {0, 2}) {
        WorkingImageGuard guard;
        expectRunStoresItsHookValues(effect, image, step);
    }
}

// A full-size run returns the picture as it was.
void expectUnchanged(PostProcess& effect, const graphics::ImagePtr& image) {
    WorkingImageGuard guard;
    const EffectOutput out = runEffect(effect, image);
    EXPECT_TRUE(out.bytes == out.source);
}

struct Names {
    int type;
    const char* name;
    const char* category;
    ParamSpec p1, p2;
};

template <class Effect> void expectNames(const Names& n, const char* className) {
    SCOPED_TRACE(n.type);
    Effect effect;
    effect.set_type(n.type);
    EXPECT_EQ(effect.class_name(), className);
    EXPECT_EQ(effect.get_name(), n.name);
    EXPECT_EQ(effect.get_categorie(), n.category);
    EXPECT_FALSE(effect.this_filter_is_simply_color_modify());
    EXPECT_EQ(effect.passes(), 1u);
    expectParameter(effect.param_1(), n.p1, "param_1");
    expectParameter(effect.param_2(), n.p2, "param_2");
}

} // namespace

// ---- PP_Edges ----

TEST(PP_Edges, NamesCategoriesAndSlidersOfEveryType) {
    const Names names[] = {
        {0, "Dark Contours on White", "Trash", {"Amount", 2.0, 8.0, 3.0}, {"Contrast", 0.2, 2.0, 1.0}},
        {1, "Color Contours on Black", "Trash", {"Amount", 2.0, 8.0, 3.0}, {"Brightness", 2.0, 20.0, 8.0}},
        {2, "Dark Engraving", "Art", {"Amount", 1.0, 5.0, 2.0}, {"Background", 0.0, 0.7, 0.5}},
        {3, "Art Contours", "Trash", {"Brightness", 3.0, 25.0, 7.0}, {}},
        {4, "Bumpmapping", "SFX", {"Amount", 1.0, 5.0, 2.0}, {"Background", 0.0, 0.7, 0.5}},
        {5, "Bumpmapping 2", "SFX", {"Amount", 1.0, 5.0, 2.0}, {"Background", 0.0, 0.7, 0.5}},
        {6, "none", "none", {}, {}},
        {-1, "none", "none", {}, {}},
    };
    for (const Names& n : names)
        expectNames<PP_Edges>(n, "PP_Edges");
}

// On a 12 x 9 picture: a corner, the middle and the far corner, where the windows reach past the
// edges and read the nearest edge pixel.
TEST(PP_Edges, FormulaOfEachTypeAtKnownPixels) {
    const HookCase cases[] = {
        {0, 3.0, 1.0, 0, 0, {0.289892793f, 0.705060422f, 0.949986041f}},
        {0, 3.0, 1.0, 5, 4, {1.0f, 0.164686531f, 0.158578038f}},
        {0, 3.0, 1.0, 11, 8, {0.424982309f, 0.528728426f, 1.0f}},
        {0, 5.0, 0.4, 0, 0, {0.386954874f, 0.460650951f, 0.624459624f}},
        {0, 5.0, 0.4, 5, 4, {0.699999988f, 0.381305039f, 0.427917838f}},
        {0, 5.0, 0.4, 11, 8, {0.497517437f, 0.474634051f, 0.699999988f}},
        {1, 3.0, 8.0, 0, 0, {0.0f, 0.0f, 0.0f}},
        {1, 3.0, 8.0, 5, 4, {0.345097542f, 0.0f, 0.0f}},
        {1, 3.0, 8.0, 11, 8, {0.0f, 0.0f, 0.871459484f}},
        {1, 2.0, 15.0, 0, 0, {0.0f, 0.0f, 0.0f}},
        {1, 2.0, 15.0, 5, 4, {0.647058785f, 0.0f, 0.0f}},
        {1, 2.0, 15.0, 11, 8, {0.0f, 0.0f, 1.99632394f}},
        {2, 2.0, 0.5, 0, 0, {-2.69803953f, -1.41176474f, -0.329411745f}},
        {2, 2.0, 0.5, 5, 4, {-1.10392141f, 1.7784313f, 0.776470661f}},
        {2, 2.0, 0.5, 11, 8, {1.4725492f, 0.798039198f, 1.00392175f}},
        {2, 4.0, 0.0, 0, 0, {-3.38823557f, -3.70196104f, -1.63137257f}},
        {2, 4.0, 0.0, 5, 4, {-0.752941132f, -0.627450943f, -2.63529444f}},
        {2, 4.0, 0.0, 11, 8, {2.63529444f, 2.19607878f, -1.81960797f}},
        {3, 7.0, 0.0, 0, 0, {6.56767511f, 0.871972322f, 0.291088045f}},
        {3, 7.0, 0.0, 5, 4, {6.56767511f, 6.09777832f, 5.89453363f}},
        {3, 7.0, 0.0, 11, 8, {5.25777864f, 5.7942028f, 6.35667896f}},
        {3, 20.0, 0.0, 0, 0, {18.7647858f, 2.4913497f, 0.831680179f}},
        {3, 20.0, 0.0, 5, 4, {18.7647858f, 17.422224f, 16.8415241f}},
        {3, 20.0, 0.0, 11, 8, {15.0222244f, 16.5548668f, 18.1619415f}},
        {4, 2.0, 0.5, 0, 0, {-0.00980395079f, -0.00980395079f, -0.00980395079f}},
        {4, 2.0, 0.5, 5, 4, {0.583660126f, 0.583660126f, 0.583660126f}},
        {4, 2.0, 0.5, 11, 8, {0.688235283f, 0.688235283f, 0.688235283f}},
        {4, 3.0, 0.1, 0, 0, {-0.357516378f, -0.357516378f, -0.357516378f}},
        {4, 3.0, 0.1, 5, 4, {0.225490212f, 0.225490212f, 0.225490212f}},
        {4, 3.0, 0.1, 11, 8, {0.577124238f, 0.577124238f, 0.577124238f}},
        {5, 2.0, 0.5, 0, 0, {-2.19803953f, -0.911764741f, 0.0921568871f}},
        {5, 2.0, 0.5, 5, 4, {-0.880392075f, 2.19411755f, 1.19019616f}},
        {5, 2.0, 0.5, 11, 8, {1.81764722f, 1.15882349f, 1.19019628f}},
        {5, 1.0, 0.7, 0, 0, {-1.65294123f, 0.103921548f, 0.59803921f}},
        {5, 1.0, 0.7, 5, 4, {0.00980396289f, 1.54705906f, 3.05294156f}},
        {5, 1.0, 0.7, 11, 8, {2.36274505f, 1.92352927f, -1.06470597f}},
    };
    const graphics::ImagePtr image = makeSourceImage(12, 9, noisy);
    for (const HookCase& c : cases) {
        PP_Edges effect;
        expectHook(effect, image, c, 2e-6f);
    }
}

// Past the edges the window reads the last column and row again; an empty window keeps the
// starting values.
TEST(PP_Edges, FlatMinMaxOverClampedWindows) {
    WorkingImageGuard guard;
    ASSERT_TRUE(PostProcess::global_pre_init(makeSourceImage(12, 9, noisy)));
    pixel_t lo, hi;
    PP_Edges::get_flat_min_max(14, 11, 10, 7, &lo, &hi);
    const Rgb corner[] = {noisy(10, 7), noisy(11, 7), noisy(10, 8), noisy(11, 8)};
    const auto extreme = [&](uint8_t Rgb::*channel, bool takeMax) {
        uint8_t v = corner[0].*channel;
        for (const Rgb& c : corner)
            v = takeMax ? std::max(v, c.*channel) : std::min(v, c.*channel);
        return float(v) / 255.0f;
    };
    EXPECT_NEAR(lo.r, extreme(&Rgb::r, false), 1e-7f);
    EXPECT_NEAR(lo.g, extreme(&Rgb::g, false), 1e-7f);
    EXPECT_NEAR(lo.b, extreme(&Rgb::b, false), 1e-7f);
    EXPECT_NEAR(hi.r, extreme(&Rgb::r, true), 1e-7f);
    EXPECT_NEAR(hi.g, extreme(&Rgb::g, true), 1e-7f);
    EXPECT_NEAR(hi.b, extreme(&Rgb::b, true), 1e-7f);

    PP_Edges::get_flat_min_max(4, 2, 4, 6, &lo, &hi);
    EXPECT_EQ(lo.r + lo.g + lo.b, 3.0f);
    EXPECT_EQ(hi.r + hi.g + hi.b, 0.0f);
}

TEST(PP_Edges, RunsStoreTheHookAtFullSizeAndInPreview) {
    const graphics::ImagePtr image = makeSourceImage(12, 9, noisy);
    for (int type = 0; type <= 5; ++type) {
        SCOPED_TRACE(type);
        PP_Edges effect;
        effect.set_type(type);
        expectRunsStoreTheHook(effect, image);
    }
}

TEST(PP_Edges, UnknownTypesReturnThePicture) {
    PP_Edges effect;
    effect.set_type(6);
    expectUnchanged(effect, makeSourceImage(12, 9, noisy));
}

// ---- PP_FalseMirror ----

TEST(PP_FalseMirror, NamesCategoriesAndSlidersOfEveryType) {
    const Names names[] = {
        {0, "False Mirror 1", "Distortion", {"Distortion", 0.6, 2.0, 1.0}, {"Frequency", 0.5, 1.5, 1.0}},
        {1, "False Mirror 2", "Distortion", {"Distortion", 0.5, 1.4, 1.0}, {}},
        {2, "False Mirror 3", "Distortion", {"Distortion", 0.6, 2.0, 1.0}, {"Frequency", 0.5, 1.5, 1.0}},
        {3, "False Mirror 4", "Distortion", {"Distortion", 0.3, 3.0, 1.0}, {}},
        {4, "Rippled Glass 1", "Distortion", {"Distortion", 0.3, 4.0, 2.0}, {"Frequency", 0.2, 4.0, 2.0}},
        {5, "Rippled Glass 2", "Distortion", {"Distortion", 0.3, 3.5, 2.2}, {"Frequency", 0.2, 4.0, 3.0}},
        {6,
         "Rippled Glass Dotted",
         "Distortion",
         {"Distortion", 1.5, 4.0, 2.5},
         {"Frequency", 2.0, 5.0, 3.0}},
        {7, "Fish Eye", "Distortion", {}, {}},
        {8, "none", "Distortion", {}, {}},
    };
    for (const Names& n : names)
        expectNames<PP_FalseMirror>(n, "PP_FalseMirror");
}

// On a 120 x 6 picture, so the waves (scaled by the width) push positions past the top and bottom
// and the fold brings them back; the comment gives the position read.
TEST(PP_FalseMirror, FormulaOfEachTypeAtKnownPixels) {
    const HookCase cases[] = {
        {0, 1.0, 1.0, 0, 0, {0.760784328f, 0.243137255f, 0.156862751f}},    // (0.000, 2.000)
        {0, 1.0, 1.0, 3, 5, {0.540537536f, 0.59420675f, 0.747847378f}},     // (4.363, 3.537)
        {0, 1.0, 1.0, 119, 4, {0.624601901f, 0.813960254f, 0.907168448f}},  // (117.009, 4.190)
        {0, 2.0, 0.5, 0, 0, {0.517647088f, 0.486274511f, 0.156862751f}},    // (0.000, 4.000)
        {0, 2.0, 0.5, 3, 5, {0.410246402f, 0.709481299f, 0.447769582f}},    // (4.465, 1.278)
        {0, 2.0, 0.5, 119, 4, {0.556720138f, 0.810449243f, 0.875703335f}},  // (117.040, 4.309)
        {1, 1.0, 0, 0, 0, {0.0f, 0.0f, 0.156862751f}},                      // (0.000, 0.000)
        {1, 1.0, 0, 3, 5, {0.697165132f, 0.624168456f, 0.631290972f}},      // (3.000, 3.102)
        {1, 1.0, 0, 119, 4, {0.51668483f, 0.497367859f, 0.256814271f}},     // (119.000, 2.317)
        {1, 1.4, 0, 0, 0, {0.0f, 0.0f, 0.156862751f}},                      // (0.000, 0.000)
        {1, 1.4, 0, 3, 5, {0.510806978f, 0.531875014f, 0.515179932f}},      // (3.000, 2.343)
        {1, 1.4, 0, 119, 4, {0.26061368f, 0.415530682f, 0.227775276f}},     // (119.000, 1.644)
        {2, 1.0, 1.0, 0, 0, {0.0f, 0.0f, 0.156862751f}},                    // (0.000, 0.000)
        {2, 1.0, 1.0, 3, 5, {0.912126958f, 0.264988482f, 0.401443154f}},    // (4.898, 5.000)
        {2, 1.0, 1.0, 119, 4, {0.69661653f, 0.372541755f, 0.19014518f}},    // (118.317, 4.000)
        {2, 0.6, 1.5, 0, 0, {0.0f, 0.0f, 0.156862751f}},                    // (0.000, 0.000)
        {2, 0.6, 1.5, 3, 5, {0.755607247f, 0.0789368004f, 0.209485054f}},   // (4.145, 5.000)
        {2, 0.6, 1.5, 119, 4, {0.309763849f, 0.60694015f, 0.28924045f}},    // (118.803, 4.000)
        {3, 1.0, 0, 0, 0, {0.353743464f, 0.0852605402f, 0.156862751f}},     // (1.702, 0.000)
        {3, 1.0, 0, 3, 5, {0.564539135f, 0.67175734f, 0.752580106f}},       // (3.226, 5.000)
        {3, 1.0, 0, 119, 4, {0.325816423f, 0.597213745f, 0.285128444f}},    // (118.783, 4.000)
        {3, 3.0, 0, 0, 0, {0.0573087782f, 0.718258083f, 0.156862751f}},     // (5.106, 0.000)
        {3, 3.0, 0, 3, 5, {0.658323348f, 0.305468142f, 0.414603144f}},      // (3.677, 5.000)
        {3, 3.0, 0, 119, 4, {0.60577172f, 0.553371787f, 0.792640269f}},     // (116.349, 4.000)
        {4, 2.0, 2.0, 0, 0, {0.249411762f, 0.0439215675f, 0.156862751f}},   // (1.200, 0.000)
        {4, 2.0, 2.0, 3, 5, {0.429025084f, 0.760617495f, 0.761697114f}},    // (2.447, 4.849)
        {4, 2.0, 2.0, 119, 4, {0.371416658f, 0.70608145f, 0.324406177f}},   // (118.887, 4.482)
        {4, 4.0, 0.2, 0, 0, {0.498823524f, 0.164705887f, 0.156862751f}},    // (2.400, 0.000)
        {4, 4.0, 0.2, 3, 5, {0.473774463f, 0.442624986f, 0.538901687f}},    // (4.614, 3.849)
        {4, 4.0, 0.2, 119, 4, {0.212575763f, 0.919641495f, 0.1527832f}},    // (118.114, 2.002)
        {5, 2.2, 3.0, 0, 0, {0.274352938f, 0.0538039207f, 0.156862751f}},   // (1.320, 0.000)
        {5, 2.2, 3.0, 3, 5, {0.646048844f, 0.453900725f, 0.554065585f}},    // (3.458, 5.088)
        {5, 2.2, 3.0, 119, 4, {0.483703882f, 0.419573814f, 0.1760405f}},    // (118.234, 4.718)
        {5, 0.3, 4.0, 0, 0, {0.0374117643f, 0.00494117662f, 0.156862751f}}, // (0.180, 0.000)
        {5, 0.3, 4.0, 3, 5, {0.51995796f, 0.852081478f, 0.904467106f}},     // (2.849, 5.147)
        {5, 0.3, 4.0, 119, 4, {0.148997441f, 0.745627522f, 0.348127007f}},  // (119.122, 3.875)
        {6, 2.5, 3.0, 0, 0, {0.623529434f, 0.247058824f, 0.156862751f}},    // (3.000, 0.000)
        {6, 2.5, 3.0, 3, 5, {0.733308494f, 0.0524307042f, 0.182137504f}},   // (4.038, 5.000)
        {6, 2.5, 3.0, 119, 4, {0.152941182f, 0.701960802f, 0.329411775f}},  // (119.000, 4.000)
        {6, 4.0, 2.0, 0, 0, {0.194509804f, 0.636862755f, 0.156862751f}},    // (4.800, 0.000)
        {6, 4.0, 2.0, 3, 5, {0.3871288f, 0.768710673f, 0.761499107f}},      // (2.372, 5.000)
        {6, 4.0, 2.0, 119, 4, {0.309462547f, 0.163037524f, 0.501921833f}},  // (114.923, 4.000)
    };
    const graphics::ImagePtr image = makeSourceImage(120, 6, noisy);
    for (const HookCase& c : cases) {
        PP_FalseMirror effect;
        expectHook(effect, image, c, 2e-6f);
    }
}

TEST(PP_FalseMirror, FoldsPositionsBackIntoTheImageHoweverFarOut) {
    struct Case {
        double v;
        int size;
        double want;
    };
    const Case cases[] = {
        {3.25, 10, 3.25},
        {-3.5, 10, 3.5},
        {10.0, 10, 9.0},
        {10.5, 10, 8.5},
        {9.5, 10, 9.5},
        {-100.0, 50, 1.0}, // one fold gives -1
        {250.0, 50, 47.0}, // -151, 151, -52, 52, 47
        {-250.0, 50, 47.0},
        {5.0, 1, 0.0},
        {0.5, 1, 0.5},
        {std::numeric_limits<double>::quiet_NaN(), 10, 0.0},
        {std::numeric_limits<double>::infinity(), 10, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.v << " in " << c.size);
        EXPECT_EQ(PP_FalseMirror::fold(c.v, c.size), c.want);
    }
}

TEST(PP_FalseMirror, RunsStoreTheHookAtFullSizeAndInPreview) {
    const graphics::ImagePtr image = makeSourceImage(120, 6, noisy);
    for (int type = 0; type <= 6; ++type) {
        SCOPED_TRACE(type);
        PP_FalseMirror effect;
        effect.set_type(type);
        expectRunsStoreTheHook(effect, image);
    }
}

// Under 30 pixels wide the second look's period would be zero, and on strips much wider than
// high the waves reach several heights beyond the edge; pictures one pixel across have no
// neighbour for the bilinear cell. Every type reads inside the picture (the sanitizers watch).
TEST(PP_FalseMirror, NarrowWideAndSinglePixelStrips) {
    const struct { int w, h; } sizes[] = {{29, 400}, {6000, 50}, {1, 9}, {9, 1}};
    for (const auto& s : sizes) {
        SCOPED_TRACE(testing::Message() << s.w << " x " << s.h);
        const graphics::ImagePtr image = makeSourceImage(s.w, s.h, noisy);
        for (int type = 0; type <= 6; ++type) {
            SCOPED_TRACE(type);
            PP_FalseMirror effect;
            effect.set_type(type);
            effect.param_1()->setValue(effect.param_1()->max_value());
            WorkingImageGuard guard;
            expectRunStoresItsHookValues(effect, image);
        }
    }
    // Under 60 pixels wide the second look has no amplitude: the picture comes back as it was.
    PP_FalseMirror second;
    second.set_type(1);
    expectUnchanged(second, makeSourceImage(29, 400, noisy));
}

TEST(PP_FalseMirror, FishEyeAndUnknownTypesReturnThePicture) {
    for (int type : {7, 8, -1}) {
        SCOPED_TRACE(type);
        PP_FalseMirror effect;
        effect.set_type(type);
        expectUnchanged(effect, makeSourceImage(40, 30, noisy));
    }
}

// ---- PP_Explosion ----

TEST(PP_Explosion, NameCategorySlidersAndCentre) {
    expectNames<PP_Explosion>(
        {0, "Explosion", "Blur", {"Amount", 2.0, 10.0, 5.0}, {"Radius", 1.0, 10.0, 5.0}}, "PP_Explosion");
    PP_Explosion effect;
    EXPECT_TRUE(effect.isCenterSupported());
}

// On a 40 x 30 picture with the centre in the middle and off to the lower left: the centre
// itself, its neighbour, both corners and a pixel in between. "Radius" runs the other way.
TEST(PP_Explosion, FormulaAtKnownPixels) {
    struct Case {
        double cx, cy, amount, radius;
        int x, y;
        pixel_t want;
    };
    const Case cases[] = {
        {0.5, 0.5, 5.0, 5.0, 20, 15, {0.82745105f, 0.756862819f, 0.392156899f}},
        {0.5, 0.5, 5.0, 5.0, 21, 15, {0.804706156f, 0.760336101f, 0.385322094f}},
        {0.5, 0.5, 5.0, 5.0, 0, 0, {0.744705915f, 0.605882406f, 0.425098091f}},
        {0.5, 0.5, 5.0, 5.0, 39, 29, {0.55411768f, 0.388627499f, 0.326274514f}},
        {0.5, 0.5, 5.0, 5.0, 13, 18, {0.447581708f, 0.522091508f, 0.481045842f}},
        {0.5, 0.5, 10.0, 1.0, 20, 15, {0.82745105f, 0.756862819f, 0.392156899f}},
        {0.5, 0.5, 10.0, 1.0, 21, 15, {0.685938358f, 0.725378335f, 0.522016823f}},
        {0.5, 0.5, 10.0, 1.0, 0, 0, {0.661960781f, 0.555294156f, 0.382745117f}},
        {0.5, 0.5, 10.0, 1.0, 39, 29, {0.494901955f, 0.258039236f, 0.347450972f}},
        {0.5, 0.5, 10.0, 1.0, 13, 18, {0.517647028f, 0.671024024f, 0.555991352f}},
        {0.5, 0.5, 2.0, 10.0, 20, 15, {0.82745105f, 0.756862819f, 0.392156899f}},
        {0.5, 0.5, 2.0, 10.0, 21, 15, {0.804706156f, 0.760336101f, 0.385322094f}},
        {0.5, 0.5, 2.0, 10.0, 0, 0, {0.492885202f, 0.446498603f, 0.502745092f}},
        {0.5, 0.5, 2.0, 10.0, 39, 29, {0.528291345f, 0.603137195f, 0.342857182f}},
        {0.5, 0.5, 2.0, 10.0, 13, 18, {0.262969196f, 0.538823545f, 0.292212933f}},
        {0.25, 0.8, 5.0, 5.0, 10, 24, {0.164705887f, 0.643137276f, 0.345098048f}},
        {0.25, 0.8, 5.0, 5.0, 11, 24, {0.170644253f, 0.630924225f, 0.351372719f}},
        {0.25, 0.8, 5.0, 5.0, 0, 0, {0.440336168f, 0.315966398f, 0.424649864f}},
        {0.25, 0.8, 5.0, 5.0, 39, 29, {0.490196109f, 0.317647099f, 0.582352996f}},
        {0.25, 0.8, 5.0, 5.0, 3, 27, {0.551260531f, 0.453109264f, 0.417927265f}},
        {0.25, 0.8, 10.0, 1.0, 10, 24, {0.164705887f, 0.643137276f, 0.345098048f}},
        {0.25, 0.8, 10.0, 1.0, 11, 24, {0.56817925f, 0.393389404f, 0.283249348f}},
        {0.25, 0.8, 10.0, 1.0, 0, 0, {0.202941179f, 0.359803915f, 0.370588273f}},
        {0.25, 0.8, 10.0, 1.0, 39, 29, {0.321568668f, 0.317647099f, 0.615686297f}},
        {0.25, 0.8, 10.0, 1.0, 3, 27, {0.509200692f, 0.538763225f, 0.409351468f}},
        {0.25, 0.8, 2.0, 10.0, 10, 24, {0.164705887f, 0.643137276f, 0.345098048f}},
        {0.25, 0.8, 2.0, 10.0, 11, 24, {0.170644253f, 0.630924225f, 0.351372719f}},
        {0.25, 0.8, 2.0, 10.0, 0, 0, {0.482128799f, 0.459495753f, 0.429916054f}},
        {0.25, 0.8, 2.0, 10.0, 39, 29, {0.541400611f, 0.489187688f, 0.487282991f}},
        {0.25, 0.8, 2.0, 10.0, 3, 27, {0.604145527f, 0.512492895f, 0.305770308f}},
    };
    const graphics::ImagePtr image = makeSourceImage(40, 30, noisy);
    for (const Case& c : cases) {
        PP_Explosion effect;
        effect.setEffectCenter({c.cx, c.cy});
        expectHook(effect, image, {0, c.amount, c.radius, c.x, c.y, c.want}, 2e-6f);
    }
}

TEST(PP_Explosion, RunsStoreTheHookAtFullSizeAndInPreview) {
    for (graphics::Point centre :
         {graphics::Point{0.5, 0.5}, graphics::Point{0.1, 0.9}, graphics::Point{1.0, 0.0}}) {
        SCOPED_TRACE(testing::Message() << centre.x << ", " << centre.y);
        PP_Explosion effect;
        effect.setEffectCenter(centre);
        expectRunsStoreTheHook(effect, makeSourceImage(40, 30, noisy));
    }
}

// The centre pixel has no direction to blur along: it keeps its colour, at full size and in a
// preview whose grid passes through it.
TEST(PP_Explosion, TheCentreKeepsItsColour) {
    PP_Explosion effect;
    effect.setEffectCenter({0.25, 0.5}); // (10, 15)
    effect.param_1()->setValue(10.0);
    effect.param_2()->setValue(1.0);
    for (int step : {0, 5}) {
        SCOPED_TRACE(step);
        WorkingImageGuard guard;
        const EffectOutput out = runEffect(effect, makeSourceImage(40, 30, noisy), step);
        const int s = step ? step : 1;
        EXPECT_TRUE(out.sameAsSource(10 / s, 15 / s));
        EXPECT_FALSE(out.sameAsSource(35 / s, 25 / s));
    }
}

// The blur grows with the square of the distance from the centre: on a gradient, pixels close to
// it stay nearly as they were while those far out move.
TEST(PP_Explosion, BlursLittleNearTheCentreAndMuchFarOut) {
    WorkingImageGuard guard;
    const graphics::ImagePtr image = makeSourceImage(200, 150, [](int x, int y) {
        return Rgb{uint8_t(x + 20), uint8_t(y + 50), 128};
    });
    PP_Explosion effect;
    effect.setEffectCenter({0.5, 0.5});
    const EffectOutput out = runEffect(effect, image);
    const auto change = [&](int x, int y) {
        const Rgb a = out.at(x, y), b = out.sourceAt(x, y);
        return std::abs(int(a.r) - int(b.r)) + std::abs(int(a.g) - int(b.g));
    };
    for (const auto& [x, y] : {std::pair{105, 78}, std::pair{95, 72}, std::pair{100, 80}})
        EXPECT_LE(change(x, y), 2) << "near (" << x << ", " << y << ")";
    for (const auto& [x, y] : {std::pair{5, 5}, std::pair{195, 145}, std::pair{10, 140}})
        EXPECT_GT(change(x, y), 10) << "far (" << x << ", " << y << ")";
}
