// Linocut looks: black and white from two box blurs, against the formulas at full size and in
// preview; the summed-area shortcut of PP_LinocutInv against plain single-precision sums.
#include "engine/effects/sketch/PP_Linocut.h"
#include "engine/Neighbourhood.h"
#include "engine/effects/sketch/PP_LinocutInv.h"
#include "kernels/Texture.h"
#include "platform/graphics/ParallelRows.h"

#include "engine/effects/ExpectedImageRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

struct TexFree {
    void operator()(texture_t* t) const { tex_free(t); }
};
using Tex = std::unique_ptr<texture_t, TexFree>;

// The texture the look starts from (tex_create or, for type 1, tex_create_inv at scale 1, which
// may repeat a column or row where its single-precision mapping rounds down), box-blurred with
// clamped edges over (2r + 1)^2 texels, truncated means.
Tex boxBlurred(int r, bool inverted) {
    const int w = PostProcess::g_width, h = PostProcess::g_height;
    const Tex copy((inverted ? tex_create_inv : tex_create)(w, h, PostProcess::gp_data, 4, 1.0f, 1.0f));
    Tex tex(tex_create_empty(w, h, 4));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int sum[3] = {};
            for (int j = y - r; j <= y + r; ++j)
                for (int i = x - r; i <= x + r; ++i) {
                    const uint8_t* s =
                        copy->data +
                        (size_t(std::clamp(j, 0, h - 1)) * size_t(w) + size_t(std::clamp(i, 0, w - 1))) * 4;
                    for (int k = 0; k < 3; ++k)
                        sum[k] += s[k + 1];
                }
            uint8_t* p = tex->data + (size_t(y) * size_t(w) + size_t(x)) * 4;
            for (int k = 0; k < 3; ++k)
                p[k + 1] = uint8_t(sum[k] / ((2 * r + 1) * (2 * r + 1)));
        }
    return tex;
}

float sampleMean(const texture_t* tex, float u, float v) {
    const uint32_t p = tex_get_pixel_bilinear(tex, u, v);
    const float sum =
        float((p >> 8) & 0xFF) / 255.0f + float(p & 0xFF) / 255.0f + float((p >> 16) & 0xFF) / 255.0f;
    return float(double(sum) / 3.0);
}

graphics::ImagePtr picture(int w, int h) {
    return makeSourceImage(w, h, [](int x, int y) {
        const bool disc = (x - 9) * (x - 9) + (y - 7) * (y - 7) < 20;
        return Rgb{uint8_t(disc ? 230 : 20 + x * 6), uint8_t((x * 17 + y * 29) % 256),
                   uint8_t(disc ? 40 : y * 12)};
    });
}

// White where the inner blur is darker than the outer one, sampled one pixel up and to the left.
void expectLinocut(PP_Linocut& effect, const graphics::ImagePtr& image, int type, double innerRadius,
                   double outerRadius, std::initializer_list<int> previewSteps = {0, 2}) {
    Tex inner, outer;
    expectImage(
        effect, image,
        [&](int x, int y) {
            if (!inner) {
                inner = boxBlurred(int(innerRadius), type == 1);
                outer = boxBlurred(int(outerRadius), type == 1);
            }
            const float u = float(x - 1) / float(PostProcess::g_width),
                        v = float(y - 1) / float(PostProcess::g_height);
            const uint8_t b = sampleMean(inner.get(), u, v) - sampleMean(outer.get(), u, v) < 0.0f ? 255 : 0;
            return Rgb{b, b, b};
        },
        previewSteps);
}

// Type 1 blurs the inverted picture.
TEST(PP_Linocut, ComparesTwoBoxBlursSampledUpAndLeft) {
    struct Case {
        int type;
        double inner, outer;
    };
    // Radii past the picture's sides count its edge texels many times over.
    const Case cases[] = {{0, 3.0, 10.0}, {1, 3.0, 10.0},   {0, 0.0, 7.0}, {0, 1.9, 7.5},
                          {2, 2.0, 9.0},  {0, 20.0, 200.0}, {1, 0.0, 35.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE("type " + std::to_string(c.type) + " radii " + std::to_string(c.inner) + ", " +
                     std::to_string(c.outer));
        PP_Linocut effect;
        effect.set_type(c.type);
        effect.param_1()->setValue(c.inner);
        effect.param_2()->setValue(c.outer);
        expectLinocut(effect, picture(23, 17), c.type, c.inner, c.outer);
    }
}

// Each thread blurs only the rows it samples, sliding its sums down a band and starting again
// after a jump: tall and wide pictures, several threads and preview steps give the same bytes.
TEST(PP_Linocut, RowsBlurredPerThreadGiveTheWholeBlursBytes) {
    struct Case {
        int w, h, type;
        unsigned threads;
        double inner, outer;
    };
    const Case cases[] = {{31, 150, 0, 4, 3.0, 10.0}, {150, 31, 1, 8, 1.0, 7.0}, {40, 90, 0, 3, 12.0, 60.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.w << "x" << c.h << " type " << c.type << ", " << c.threads << " threads");
        graphics::setParallelThreads(c.threads);
        PP_Linocut effect;
        effect.set_type(c.type);
        effect.param_1()->setValue(c.inner);
        effect.param_2()->setValue(c.outer);
        expectLinocut(effect, picture(c.w, c.h), c.type, c.inner, c.outer, {0, 3});
        graphics::setParallelThreads(0);
    }
}

// A dark square on light ground: just outside the square the wide blur is darker than the
// narrow one (black); just inside it is lighter (white). Type 1 swaps them.
TEST(PP_Linocut, OutlinesShapesAndTypeOneSwapsBlackAndWhite) {
    const graphics::ImagePtr image = makeSourceImage(50, 50, [](int x, int y) {
        const bool inside = x >= 10 && x < 40 && y >= 10 && y < 40;
        return inside ? Rgb{30, 30, 30} : Rgb{220, 220, 220};
    });
    for (int type : {0, 1}) {
        SCOPED_TRACE(type);
        PP_Linocut effect;
        effect.set_type(type);
        PostProcess::global_clean();
        WorkingImageGuard guard;
        const EffectOutput out = runEffect(effect, image);
        const uint8_t in = type == 0 ? 255 : 0, outside = 255 - in;
        // Sampled one pixel up and to the left: the square's first column shows at x = 11.
        EXPECT_EQ(out.at(12, 25).r, in);
        EXPECT_EQ(out.at(9, 25).r, outside);
    }
}

// The plain means: single-precision sums of byte / 255 over the 2r x 2r window.
uint8_t plainLinocutInv(int x, int y, int r1, int r2) {
    const auto mean = [](const pixel_t& p) { return (p.r + p.g + p.b) / 3.0f; };
    return mean(do_blur2(x, y, r1)) - mean(do_blur2(x, y, r2)) < 0.0f ? 0 : 255;
}

// Noise, flat areas (where both means tie), steps and slow gradients (near-ties), at the slider's
// radii and beyond.
TEST(PP_LinocutInv, GivesTheBytesOfPlainSums) {
    const graphics::ImagePtr image = makeSourceImage(61, 37, [](int x, int y) {
        if (x < 15) return Rgb{uint8_t(97), uint8_t(97), uint8_t(97)};
        if (x < 30) return Rgb{uint8_t(x * 3 + y / 4), uint8_t(100 + y / 8), uint8_t(60)};
        if (x < 40) return y < 18 ? Rgb{10, 200, 33} : Rgb{250, 3, 180};
        const uint32_t n = uint32_t(x) * 2654435761u ^ uint32_t(y) * 40503u;
        return Rgb{uint8_t(n >> 8), uint8_t(n >> 16), uint8_t(n >> 24)};
    });
    struct Case {
        double inner, outer;
    };
    const Case cases[] = {{1.5, 3.2}, {1.0, 3.0},  {3.0, 12.0}, {2.9, 7.7},
                          {2.0, 2.0}, {1.0, 70.0}, {0.5, 3.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.inner) + ", " + std::to_string(c.outer));
        PP_LinocutInv effect;
        effect.param_1()->setValue(c.inner);
        effect.param_2()->setValue(c.outer);
        expectImage(effect, image, [&](int x, int y) {
            const uint8_t b = plainLinocutInv(x, y, int(c.inner), int(c.outer));
            return Rgb{b, b, b};
        });
    }
}

} // namespace
