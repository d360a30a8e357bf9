#include "engine/effects/sketch/PP_Edges.h"

#include "engine/Neighbourhood.h"
#include "engine/PostProcessParameter.h"
#include "engine/effects/LoFiStyles.h"
#include "platform/graphics/Clamp.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr LookSpec kLooks[] = {
    {"Dark Contours on White", "Trash", localizedSlider("Amount", 2.0, 8.0, 3.0),
     localizedSlider("Contrast", 0.2, 2.0, 1.0)},
    {"Color Contours on Black", "Trash", localizedSlider("Amount", 2.0, 8.0, 3.0),
     localizedSlider("Brightness", 2.0, 20.0, 8.0)},
    {"Dark Engraving", "Art", localizedSlider("Amount", 1.0, 5.0, 2.0),
     localizedSlider("Background", 0.0, 0.7, 0.5)},
    {"Art Contours", "Trash", localizedSlider("Brightness", 3.0, 25.0, 7.0), {}},
    {"Bumpmapping", "SFX", localizedSlider("Amount", 1.0, 5.0, 2.0),
     localizedSlider("Background", 0.0, 0.7, 0.5)},
    {"Bumpmapping 2", "SFX", localizedSlider("Amount", 1.0, 5.0, 2.0),
     localizedSlider("Background", 0.0, 0.7, 0.5)},
};
constexpr LookSpec kPlaceholder{"none", "none"};

int32_t clamp_to(int64_t v, int32_t size) {
    return int32_t(std::clamp<int64_t>(v, 0, size - 1));
}

// The working-image pixel nearest to (u, v); the image must exist.
pixel_t clamped(int64_t u, int64_t v) {
    return PostProcess::get_source_pixel(clamp_to(u, PostProcess::g_width),
                                         clamp_to(v, PostProcess::g_height));
}

float clamped_gray(int64_t u, int64_t v) {
    return source_gray(clamp_to(u, PostProcess::g_width), clamp_to(v, PostProcess::g_height));
}

using graphics::clamp01;

// One Sobel bracket a + 2 b + c, summed in double.
float bracket(float a, float b, float c) {
    return float(double(a) + 2.0 * double(b) + double(c));
}

} // namespace

int32_t PP_Edges::look_count() const {
    return int32_t(std::size(kLooks));
}

const LookSpec* PP_Edges::look_spec() const {
    return lookOfType(kLooks, m_type, &kPlaceholder);
}

void PP_Edges::prepare_for_process() {
    if (const PostProcessParameter* p = param_1()) m_float_param1 = p->value();
    if (const PostProcessParameter* p = param_2()) m_float_param2 = p->value();
    // Sliders are not bounded by the parameter itself: keep the distance convertible.
    const double d = m_float_param1;
    m_distance = !(d > -1e6) ? -1000000 : (d > 1e6 ? 1000000 : int32_t(d));
}

void PP_Edges::get_flat_min_max(int32_t x0, int32_t y0, int32_t x1, int32_t y1, pixel_t* min, pixel_t* max) {
    *min = {1.0f, 1.0f, 1.0f};
    *max = {0.0f, 0.0f, 0.0f};
    if (!gp_data || x0 == x1 || y0 == y1) return;
    // Scaling bytes by 1/255 keeps their order, so the extremes are found on the bytes, row by row.
    uint8_t lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
    const size_t bpp = size_t(g_bpp_dv);
    for (int64_t y = std::min(y0, y1); y < std::max(y0, y1); ++y) {
        const uint8_t* row = gp_data + size_t(clamp_to(y, g_height)) * size_t(g_width) * bpp;
        for (int64_t x = std::min(x0, x1); x < std::max(x0, x1); ++x) {
            const uint8_t* p = row + size_t(clamp_to(x, g_width)) * bpp;
            for (int i = 0; i < 3; ++i) {
                lo[i] = std::min(lo[i], p[i + 1]);
                hi[i] = std::max(hi[i], p[i + 1]);
            }
        }
    }
    constexpr float k = 1.0f / 255.0f;
    *min = {float(lo[0]) * k, float(lo[1]) * k, float(lo[2]) * k};
    *max = {float(hi[0]) * k, float(hi[1]) * k, float(hi[2]) * k};
}

pixel_t PP_Edges::sobel(int32_t x, int32_t y, int32_t d) {
    const int64_t l = int64_t(x) - d, r = int64_t(x) + d, t = int64_t(y) - d, b = int64_t(y) + d;
    const pixel_t lt = clamped(l, t), lm = clamped(l, y), lb = clamped(l, b);
    const pixel_t rt = clamped(r, t), rm = clamped(r, y), rb = clamped(r, b);
    const pixel_t mt = clamped(x, t), mb = clamped(x, b);
    const auto sum = [](float lt, float lm, float lb, float rt, float rm, float rb, float mt, float mb) {
        const float gx = bracket(lt, lm, lb) - bracket(rt, rm, rb);
        const float gy = bracket(lt, mt, rt) - bracket(lb, mb, rb);
        return gx + gy;
    };
    return {sum(lt.r, lm.r, lb.r, rt.r, rm.r, rb.r, mt.r, mb.r),
            sum(lt.g, lm.g, lb.g, rt.g, rm.g, rb.g, mt.g, mb.g),
            sum(lt.b, lm.b, lb.b, rt.b, rm.b, rb.b, mt.b, mb.b)};
}

pixel_t PP_Edges::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    if (!gp_data) return {0.0f, 0.0f, 0.0f};
    const double p1 = m_float_param1, p2 = m_float_param2;
    const int32_t d = m_distance;
    switch (m_type) {
    case 0: {
        const pixel_t s = get_source_pixel(x, y), blur = do_blur2(x, y, d);
        const float k = float(p2);
        const auto contour = [k](float b, float c) {
            const float e = 1.0f - clamp01(b - c);
            return (e * e * e * e - 0.5f) * k + 0.5f;
        };
        return {contour(blur.r, s.r), contour(blur.g, s.g), contour(blur.b, s.b)};
    }
    case 1: {
        const pixel_t s = get_source_pixel(x, y), blur = do_blur2(x, y, d);
        const auto contour = [p2](float c, float b) { return float(double(clamp01(c - b)) * p2); };
        return {contour(s.r, blur.r), contour(s.g, blur.g), contour(s.b, blur.b)};
    }
    case 2: {
        const pixel_t g = sobel(x, y, d), s = clamped(x, y);
        const auto engrave = [p2](float g, float c) { return float(double(g) + double(c) * p2); };
        return {engrave(g.r, s.r), engrave(g.g, s.g), engrave(g.b, s.b)};
    }
    case 3: {
        pixel_t lo, hi;
        get_flat_min_max(x - 3, y - 3, x + 3, y + 3, &lo, &hi);
        const auto range = [p1](float lo, float hi) {
            const float r = hi - lo;
            return float(double(r * r) * p1);
        };
        return {range(lo.r, hi.r), range(lo.g, hi.g), range(lo.b, hi.b)};
    }
    case 4: {
        const int64_t l = int64_t(x) - d, r = int64_t(x) + d, t = int64_t(y) - d, b = int64_t(y) + d;
        const float v = (clamped_gray(l, y) - clamped_gray(r, y)) + (clamped_gray(x, t) - clamped_gray(x, b));
        const float out = float(double(v) + p2);
        return {out, out, out};
    }
    case 5: {
        const pixel_t g = sobel(x, y, d);
        const auto lift = [p2](float g) { return float(double(g) + p2); };
        return {lift(g.r), lift(g.g), lift(g.b)};
    }
    default:
        return get_source_pixel(x, y);
    }
}
