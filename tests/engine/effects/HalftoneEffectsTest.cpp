// The halftone and posterize looks: identity and parameters, known pixels, each look against its
// formula at full size and in preview, and how the preview scales the dot screen.
#include "engine/PostProcessParameter.h"
#include "engine/effects/halftone/PP_ColorHalftone.h"
#include "engine/effects/halftone/PP_ComixHalftone.h"
#include "engine/effects/halftone/PP_GrayHalftone.h"
#include "engine/effects/painterly/PP_SmartPosterize.h"
#include "kernels/drawing/area_resample.h"
#include "kernels/halftone/color_halftone.h"
#include "kernels/paint/smart_posterize.h"

#include "PreparedTextureRuns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>

namespace {

constexpr float kByte = 0.003921569f;

// Overlay of layer byte t over base s, then truncated to a byte.
uint8_t overlay(float s, uint8_t layer) {
    const float t = float(layer) * kByte;
    const double S = s, T = t;
    const double out = s < 0.5f ? 2.0 * S * T : 1.0 - 2.0 * (1.0 - S) * (1.0 - T);
    return uint8_t(double(float(out)) * 255.0);
}

// Darkening of a pixel against the mean of its eight neighbours at radius rho, with gain g;
// exactly 1 where a flat area leaves only rounding residue.
float edgeFactor(const Picture& s, int x, int y, float rho, float g) {
    static const float offsets[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};
    float sum[3] = {0, 0, 0};
    int n = 0;
    for (const auto& o : offsets) {
        const float fx = o[0] * rho + float(x), fy = o[1] * rho + float(y);
        const int sx = int(std::trunc(fx)), sy = int(std::trunc(fy));
        if (sx < 0 || sy < 0 || sx >= s.w || sy >= s.h) continue;
        for (int c = 0; c < 3; ++c)
            sum[c] += float(s.at(sx, sy)[c + 1]) * kByte;
        ++n;
    }
    const uint8_t* p = s.at(x, y);
    float blurSum = 0.0f;
    if (n > 0) {
        const float inv = 1.0f / float(n);
        blurSum = sum[0] * inv + sum[1] * inv + sum[2] * inv;
    }
    const float e = float(p[1] + p[2] + p[3]) / 255.0f - blurSum;
    if (std::fabs(e) < 1e-5f) return 1.0f;
    const float q = e * g * 0.33333334f;
    if (q > 0.0f) return 1.0f;
    return std::max(0.0f, 1.0f + q);
}

Picture posterized(const Picture& s, int levels, int contrast, int blur = 10) {
    Picture p = blankPicture(s.w, s.h);
    EXPECT_TRUE(smart_posterize(s.bytes.data(), p.bytes.data(), s.w, s.h, levels, blur, contrast));
    return p;
}

Picture dotScreen(const Picture& s, float size, float rim = 2.0f) {
    Picture d = blankPicture(s.w, s.h);
    EXPECT_TRUE(color_halftone(s.bytes.data(), d.bytes.data(), s.w, s.h, size, rim));
    return d;
}

// The looks written out from their formulas, over the run's source s at scale k.
struct Settings {
    double p1, p2;
    int levels, contrast; // posterize arguments the parameters must give
};

// Every size in pixels (posterize blur, dots and their rim, outline radius) at k times its own.
Picture comixLook(const Picture& s, float k, const Settings& set) {
    Picture out = posterized(s, set.levels, 256, k == 1.0f ? 10 : 1 + int(std::lround(9.0f * k)));
    const Picture d = dotScreen(out, float(set.p2 * 5.0 * double(k)), 2.0f * k);
    for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x) {
            const float f = edgeFactor(s, x, y, 4.0f * k, 4.0f);
            uint8_t* p = out.at(x, y);
            for (int c = 1; c <= 3; ++c)
                p[c] = overlay(float(p[c]) * kByte, uint8_t(float(d.at(x, y)[c]) * f));
        }
    return out;
}

Picture resampled(const Picture& s, int w, int h) {
    Picture out = blankPicture(w, h);
    EXPECT_TRUE(area_resample(s.bytes.data(), s.w, s.h, out.bytes.data(), w, h));
    return out;
}

// Comix Halftone reduced to w x h: drawn from the picture reduced by area to where its dots are at
// least PP_ComixHalftone::kReducedDotSize pixels in half-width (or to w x h when that is larger), then
// reduced by area again.
Picture comixReduced(const Picture& full, int w, int h, const Settings& set) {
    const float dot = std::max(1.0f, float(set.p2 * 5.0));
    const float k = std::clamp(PP_ComixHalftone::kReducedDotSize / dot, float(w) / float(full.w), 1.0f);
    const int dw = std::max(w, int(std::lround(float(full.w) * k)));
    const int dh = std::max(h, int(std::lround(float(full.h) * k)));
    return resampled(comixLook(resampled(full, dw, dh), float(dw) / float(full.w), set), w, h);
}

Picture colorLook(const Picture& s, float k, const Settings& set) {
    Picture out = dotScreen(s, float(set.p1 * 20.0 * double(k)));
    for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x)
            for (int c = 1; c <= 3; ++c)
                out.at(x, y)[c] = overlay(float(s.at(x, y)[c]) * kByte, out.at(x, y)[c]);
    return out;
}

Picture grayLook(const Picture& s, float k, const Settings& set) {
    Picture out = dotScreen(s, float(set.p1 * 20.0 * double(k)));
    for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x) {
            const uint8_t* p = s.at(x, y);
            const float l = float((float(p[2]) * kByte + float(p[1]) * kByte + float(p[3]) * kByte) / 3.0);
            for (int c = 1; c <= 3; ++c)
                out.at(x, y)[c] = overlay(l, out.at(x, y)[c]);
        }
    return out;
}

Picture posterizeLook(const Picture& s, float k, const Settings& set) {
    Picture out = posterized(s, set.levels, set.contrast);
    for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x) {
            const float f = edgeFactor(s, x, y, 2.0f * k, 8.0f);
            for (int c = 1; c <= 3; ++c)
                out.at(x, y)[c] = uint8_t(float(out.at(x, y)[c]) * f);
        }
    return out;
}

struct Look {
    const char* name;
    std::function<std::unique_ptr<PostProcess>()> make;
    std::function<Picture(const Picture&, float, const Settings&)> formula;
    std::vector<Settings> settings; // the first is the defaults
    // The texture of a thumbnail run of step 2 from the working image full, at w x h; when not
    // given, the formula over the working image as the run reduces it.
    std::function<Picture(const Picture& full, int w, int h, const Settings&)> reduced = {};
};

std::vector<Look> looks() {
    return {
        {"Comix Halftone",
         [] { return std::make_unique<PP_ComixHalftone>(); },
         comixLook,
         {{double(0.81f), double(0.7f), 24, 256}, {1.0, 0.0, 1, 256}, {0.0, 1.0, 128, 256}},
         comixReduced},
        {"Color Halftone",
         [] { return std::make_unique<PP_ColorHalftone>(); },
         colorLook,
         {{double(0.1f), 0, 0, 0}, {0.3, 0, 0, 0}, {0.0, 0, 0, 0}}},
        {"Gray Halftone",
         [] { return std::make_unique<PP_GrayHalftone>(); },
         grayLook,
         {{double(0.1f), 0, 0, 0}, {0.3, 0, 0, 0}, {0.0, 0, 0, 0}}},
        {"Smart Posterize",
         [] { return std::make_unique<PP_SmartPosterize>(); },
         posterizeLook,
         {{0.5, 0.5, 64, 384}, {1.0, 0.0, 1, 256}, {0.0, 1.0, 128, 512}, {double(0.81f), 0.25, 24, 320}}},
    };
}

void apply(PostProcess& effect, const Settings& set) {
    effect.param_1()->setValue(set.p1);
    if (effect.param_2()) effect.param_2()->setValue(set.p2);
}

// Flat areas, a dark disc with a soft rim, a bright bar and fine stripes: every step of the looks
// has something to do.
Rgb scene(int x, int y) {
    const int dx = x - 30, dy = y - 26;
    const int d2 = dx * dx + dy * dy;
    if (d2 < 14 * 14) return {uint8_t(20 + d2 / 8), 40, uint8_t(90 - d2 / 4)};
    if (x > 60 && x < 70) return {250, 240, 100};
    if (y > 50) return {uint8_t(((x / 3) & 1) ? 200 : 60), uint8_t(120 + y), 30};
    return {uint8_t(100 + x), uint8_t(180 - y), uint8_t(x * 2)};
}

TEST(HalftoneEffects, IdentityAndParameters) {
    struct Expect {
        std::unique_ptr<PostProcess> effect;
        const char *cls, *name, *category;
        const char* p1;
        double min1, max1, def1;
        const char* p2; // null: none
        double min2, max2, def2;
    };
    Expect cases[] = {
        {std::make_unique<PP_ComixHalftone>(), "PP_ComixHalftone", "Comix Halftone", "Art", "Colors", 0, 1,
         0.8100000023841858, "Size", 0, 1, 0.699999988079071},
        {std::make_unique<PP_ColorHalftone>(), "PP_ColorHalftone", "Color Halftone", "Art", "Size", 0, 0.3,
         0.10000000149011612, nullptr, 0, 0, 0},
        {std::make_unique<PP_GrayHalftone>(), "PP_GrayHalftone", "Gray Halftone", "Art", "Size", 0, 0.3,
         0.10000000149011612, nullptr, 0, 0, 0},
        {std::make_unique<PP_SmartPosterize>(), "PP_SmartPosterize", "Smart Posterize", "Hidden", "Colors", 0,
         1, 0.5, "Softness", 0, 1, 0.5},
    };
    for (Expect& e : cases) {
        SCOPED_TRACE(e.cls);
        PostProcess& fx = *e.effect;
        EXPECT_EQ(fx.class_name(), e.cls);
        EXPECT_EQ(fx.get_name(), e.name);
        EXPECT_EQ(fx.get_categorie(), e.category);
        EXPECT_TRUE(fx.this_filter_is_simply_color_modify());
        EXPECT_EQ(fx.passes(), 1u);
        ASSERT_NE(fx.param_1(), nullptr);
        EXPECT_EQ(fx.param_1(), fx.param_1()) << "made once";
        EXPECT_EQ(fx.param_1()->name(), e.p1);
        EXPECT_EQ(fx.param_1()->min_value(), e.min1);
        EXPECT_EQ(fx.param_1()->max_value(), e.max1);
        EXPECT_EQ(fx.param_1()->default_value(), e.def1);
        if (!e.p2) {
            EXPECT_EQ(fx.param_2(), nullptr);
            continue;
        }
        ASSERT_NE(fx.param_2(), nullptr);
        EXPECT_EQ(fx.param_2()->name(), e.p2);
        EXPECT_EQ(fx.param_2()->min_value(), e.min2);
        EXPECT_EQ(fx.param_2()->max_value(), e.max2);
        EXPECT_EQ(fx.param_2()->default_value(), e.def2);
    }
}

TEST(HalftoneEffects, SharedFormulasOnKnownPixels) {
    struct OverlayCase {
        uint8_t base, layer, out;
    };
    // Below half: 2 s t; from half: 1 - 2 (1 - s)(1 - t); truncated.
    const OverlayCase overlays[] = {{0, 200, 0},     {255, 0, 255},   {255, 255, 255}, {64, 255, 128},
                                    {64, 128, 64},   {127, 255, 254}, {128, 0, 1},     {128, 128, 128},
                                    {200, 100, 188}, {100, 200, 156}, {10, 10, 0},     {250, 250, 254}};
    for (const OverlayCase& c : overlays) {
        SCOPED_TRACE("overlay " + std::to_string(c.base) + " " + std::to_string(c.layer));
        const uint8_t layer[3] = {c.layer, c.layer, c.layer};
        uint8_t out[3] = {};
        const float s = float(c.base) * kByte;
        PreparedTextureEffect::overlay_bytes({s, s, s}, layer, out);
        EXPECT_EQ(out[0], c.out);
        EXPECT_EQ(out[2], c.out);
        EXPECT_EQ(out[0], overlay(s, c.layer));
    }

    struct LevelsCase {
        double colors;
        int levels;
    };
    for (const LevelsCase& c :
         {LevelsCase{double(0.81f), 24}, {1.0, 1}, {0.0, 128}, {0.5, 64}, {0.996, 1}, {1.5, 1}, {-0.5, 192}})
        EXPECT_EQ(PreparedTextureEffect::posterize_levels(c.colors), c.levels) << c.colors;

    // Every grey level of a flat 3 x 3 area keeps its brightness, at both gains the looks use;
    // a pixel darker than its ring is darkened by its difference.
    for (int v = 0; v < 256; ++v) {
        Picture flat = blankPicture(3, 3);
        for (int k = 0; k < 9; ++k)
            flat.bytes[size_t(k) * 4 + 1] = flat.bytes[size_t(k) * 4 + 2] = flat.bytes[size_t(k) * 4 + 3] =
                uint8_t(v);
        for (float gain : {4.0f, 8.0f})
            ASSERT_EQ(PreparedTextureEffect::edge_factor(flat.bytes.data(), 3, 3, 1, 1, 1.0f, gain), 1.0f)
                << "grey " << v << " gain " << gain;
    }
    struct EdgeCase {
        uint8_t centre, ring;
        float gain, factor;
    };
    // q = (3 c / 255 - 3 r / 255) g / 3: a 51-level dip at gain 4 is 1 - 0.8.
    for (const EdgeCase& c : {EdgeCase{100, 151, 4.0f, 0.2f},
                              {100, 151, 8.0f, 0.0f},
                              {200, 100, 8.0f, 1.0f},
                              {250, 255, 4.0f, 1.0f - 4.0f * 5.0f / 255.0f},
                              {100, 101, 8.0f, 1.0f - 8.0f / 255.0f}}) {
        Picture p = blankPicture(3, 3);
        for (int k = 0; k < 9; ++k)
            for (int ch = 1; ch <= 3; ++ch)
                p.bytes[size_t(k) * 4 + size_t(ch)] = k == 4 ? c.centre : c.ring;
        EXPECT_NEAR(PreparedTextureEffect::edge_factor(p.bytes.data(), 3, 3, 1, 1, 1.0f, c.gain), c.factor,
                    1e-6f)
            << int(c.centre) << " in " << int(c.ring);
        EXPECT_EQ(PreparedTextureEffect::edge_factor(p.bytes.data(), 3, 3, 1, 1, 1.0f, c.gain),
                  edgeFactor(p, 1, 1, 1.0f, c.gain));
    }
}

// A uniform picture posterises to its own colour (the area mean), keeps it through the outline
// step, and the halftone looks leave black and white as they are.
TEST(HalftoneEffects, UniformPicturesKeepTheirColour) {
    const Rgb colours[] = {{0, 0, 0},       {255, 255, 255}, {16, 17, 18},   {19, 20, 21},
                           {32, 33, 34},    {35, 128, 200},  {99, 101, 102}, {141, 155, 173},
                           {198, 203, 241}, {250, 254, 252}, {1, 2, 3},      {64, 64, 64}};
    for (bool preview : {false, true}) {
        const int side = preview ? kPreviewSide : 24;
        for (const Rgb& c : colours) {
            if (preview && c.r % 3 != 0) continue; // a few in preview: the scale is what differs
            SCOPED_TRACE(std::string(preview ? "preview " : "full ") + std::to_string(c.r) + "," +
                         std::to_string(c.g) + "," + std::to_string(c.b));
            WorkingImageGuard guard;
            PP_SmartPosterize effect;
            const Picture out =
                runEffect(effect, makeSourceImage(side, side, [&](int, int) { return c; }), preview).out;
            Picture expected = blankPicture(out.w, out.h);
            for (int k = 0; k < out.w * out.h; ++k) {
                expected.bytes[size_t(k) * 4 + 1] = c.r;
                expected.bytes[size_t(k) * 4 + 2] = c.g;
                expected.bytes[size_t(k) * 4 + 3] = c.b;
            }
            EXPECT_TRUE(sameColours(out, expected));
            const bool blackOrWhite = c.r == c.g && c.g == c.b && (c.r == 0 || c.r == 255);
            if (preview || !blackOrWhite) continue;
            for (const Look& look : looks()) {
                SCOPED_TRACE(look.name);
                auto fx = look.make();
                const graphics::ImagePtr image = makeSourceImage(side, side, [&](int, int) { return c; });
                EXPECT_TRUE(sameColours(runEffect(*fx, image, false).out, expected));
            }
        }
    }
}

// Each look and parameter setting against its formula, over the source the run starts from:
// the working image at full size, its reduced copy in preview.
TEST(HalftoneEffects, LooksFollowTheirFormulas) {
    for (const Look& look : looks()) {
        for (size_t i = 0; i < look.settings.size(); ++i) {
            const Settings& set = look.settings[i];
            for (bool preview : {false, true}) {
                if (preview && i > 0) continue; // one preview per look: the scaling is what differs
                SCOPED_TRACE(std::string(look.name) + " setting " + std::to_string(i) +
                             (preview ? " preview" : " full"));
                WorkingImageGuard guard;
                const int side = preview ? kPreviewSide : 80;
                auto fx = look.make();
                if (i > 0) apply(*fx, set);
                const graphics::ImagePtr image =
                    makeSourceImage(side, side - 6, [&](int x, int y) { return scene(x % 80, y % 74); });
                const EffectRun run = runEffect(*fx, image, preview);
                const Picture& out = run.out;
                const Picture& full = run.source;
                if (!preview) {
                    EXPECT_TRUE(sameColours(out, look.formula(full, 1.0f, set)));
                    continue;
                }
                ASSERT_EQ(PostProcess::g_small_preview_step_x, 2);
                const Picture tex = look.reduced ? look.reduced(full, out.w, out.h, set)
                                                 : look.formula(reducedPicture(full, out.w, out.h, 2),
                                                                float(out.w) / float(full.w), set);
                EXPECT_TRUE(sameColours(out, readBack(tex, full.w, full.h, out.w, out.h, 2)));
            }
        }
    }
}

// Ink components of one channel (4-connected pixels below 255).
int inkDots(const Picture& p, int channel) {
    std::vector<char> seen(size_t(p.w) * size_t(p.h), 0);
    std::vector<std::pair<int, int>> stack;
    int dots = 0;
    for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x) {
            if (seen[size_t(y) * size_t(p.w) + size_t(x)] || p.at(x, y)[channel] == 255) continue;
            ++dots;
            stack.push_back({x, y});
            seen[size_t(y) * size_t(p.w) + size_t(x)] = 1;
            while (!stack.empty()) {
                const auto [cx, cy] = stack.back();
                stack.pop_back();
                const int nb[4][2] = {{cx - 1, cy}, {cx + 1, cy}, {cx, cy - 1}, {cx, cy + 1}};
                for (const auto& n : nb) {
                    if (n[0] < 0 || n[1] < 0 || n[0] >= p.w || n[1] >= p.h) continue;
                    char& s = seen[size_t(n[1]) * size_t(p.w) + size_t(n[0])];
                    if (s || p.at(n[0], n[1])[channel] == 255) continue;
                    s = 1;
                    stack.push_back({n[0], n[1]});
                }
            }
        }
    return dots;
}

// The preview is a reduced copy of the full render: as many dots at half the pitch, and the
// full render halved differs little from it.
TEST(HalftoneEffects, PreviewScalesTheDotScreen) {
    WorkingImageGuard guard;
    const graphics::ImagePtr image = makeSourceImage(kPreviewSide, kPreviewSide, [](int, int) {
        return Rgb{240, 240, 240};
    });
    PP_ColorHalftone effect;
    effect.param_1()->setValue(0.3);
    const Picture full = runEffect(effect, image, false).out;
    const Picture preview = runEffect(effect, image, true).out;
    ASSERT_EQ(preview.w, (kPreviewSide + 1) / 2);
    for (int channel = 1; channel <= 3; ++channel) {
        const int fullDots = inkDots(full, channel), previewDots = inkDots(preview, channel);
        SCOPED_TRACE("channel " + std::to_string(channel) + ": " + std::to_string(fullDots) +
                     " dots, preview " + std::to_string(previewDots));
        EXPECT_GT(fullDots, 4000); // about (901 / 9)^2 at a pitch of 1.5 x 6 pixels
        EXPECT_NEAR(double(previewDots) / double(fullDots), 1.0, 0.1);
    }
    double diff = 0.0;
    for (int j = 0; j < preview.h - 1; ++j)
        for (int i = 0; i < preview.w - 1; ++i)
            for (int c = 1; c <= 3; ++c) {
                const int sum = full.at(2 * i, 2 * j)[c] + full.at(2 * i + 1, 2 * j)[c] +
                                full.at(2 * i, 2 * j + 1)[c] + full.at(2 * i + 1, 2 * j + 1)[c];
                diff += std::abs(sum / 4.0 - preview.at(i, j)[c]);
            }
    diff /= double(preview.w - 1) * double(preview.h - 1) * 3.0;
    EXPECT_LT(diff, 6.0);
}

} // namespace
