#include "engine/effects/bundles/PP_ImageFilter.h"

#include "engine/BlendFunctions.h"
#include "engine/Neighbourhood.h"
#include "engine/PostProcessParameter.h"
#include "platform/foundation/Bundle.h"
#include "platform/graphics/Clamp.h"
#include "platform/imageio/NamedImage.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <mutex>
#include <numbers>

namespace {

using blend_detail::per_channel;

struct ModeParameters {
    SliderSpec first, second;
};

ModeParameters mode_parameters(int32_t mode) {
    switch (mode) {
    case 1:
    case 18:
    case 19:
    case 20:
    case 26:
    case 27:
    case 28:
        return {{"Amount", 0.1, 2.0, 1.0}, {}};
    case 2:
        return {{"Amount", 0.5, 1.5, 1.0}, {}};
    case 4:
        return {{"Brightness", 1.0, 3.0, 1.2}, {"Amount", 1.0, 2.0, 1.0}};
    case 5:
        return {{"Brightness", 1.0, 3.0, 1.3}, {}};
    case 7:
        return {{"Brightness", 1.0, 3.0, 1.2}, {}};
    case 11:
        return {{"Brightness", 1.0, 3.0, 1.3}, {"Amount", 0.4, 1.6, 1.0}};
    case 12:
    case 13:
    case 14:
        return {{"Brightness", 2.0, 5.0, 3.0}, {"Amount", 0.4, 1.6, 1.0}};
    case 15:
        return {{"Contrast", 0.7, 1.5, 1.0}, {}};
    case 16:
        return {{"Amount", 0.1, 2.0, 1.44}, {}};
    case 22:
        return {{"Amount", 0.2, 1.0, 1.0}, {}};
    case 23:
        return {{"Amount", 0.1, 1.0, 1.0}, {}};
    case 25:
        return {{"Amount", 0.4, 1.0, 1.0}, {}};
    default:
        if (mode >= 29 && mode <= 41)
            return {{"Amount", double(0.1f), 1.0, 1.0}, {"Contrast", 0.0, 1.0, 0.5}};
        return {};
    }
}

// The extension after the last "." of the last path component; empty when there is none.
std::string path_extension(const std::string& name) {
    const size_t dot = name.rfind('.');
    const size_t slash = name.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return name.substr(dot + 1);
}

graphics::ImagePtr read_resource(const std::string& name, const std::string& type) {
    const std::string path = foundation::Bundle::pathForResource(name, type);
    return path.empty() ? nullptr : ImageEditable::checked(imageio::imageWithContentsOfFile(path));
}

template <typename F> pixel_t each(pixel_t p, F f) {
    return {f(p.r), f(p.g), f(p.b)};
}

bool all_above(pixel_t t, double k) {
    return double(t.r) > k && double(t.g) > k && double(t.b) > k;
}

pixel_t mix(pixel_t from, pixel_t to, float k) {
    return per_channel(from, to, [k](float a, float b) { return a + (b - a) * k; });
}

using graphics::clamp01;

pixel_t clamp01(pixel_t p) {
    return each(p, [](float v) { return clamp01(v); });
}

// The base class's clamp, through double.
float clamp_double(double v) {
    return float(PostProcess::clampMyPixel(v, 0.0, 1.0));
}

// ---- Colour-grading pieces ----

float bell3(float v) {
    const float d = (v - 1.0f) * (v - 1.0f);
    return std::exp(-3.0f * d) * (1.0f - d);
}

float bell1(float v) {
    const float d = (v - 1.0f) * (v - 1.0f);
    return std::exp(-d) * (1.0f - d);
}

// 0 at 0, 0.5 at 0.5, 1 at 1; the angle is rounded to single before the cosine.
float s_curve(float v) {
    const float angle = float(std::numbers::pi * double(v) - std::numbers::pi);
    return 0.5f * std::cos(angle) + 0.5f;
}

// Half-way between v and its S-curve when w = 0.5.
float toward_s_curve(float v, float w) {
    const float s = s_curve(v);
    return s + (v - s) * w;
}

// Full-range YCbCr with the luminance moved toward its S-curve by w, back to clamped RGB.
pixel_t toned(pixel_t c, float w) {
    const float y = 0.299f * c.r + 0.587f * c.g + 0.114f * c.b;
    const float cb = -0.1687f * c.r - 0.3313f * c.g + 0.5f * c.b;
    const float cr = 0.5f * c.r - 0.4187f * c.g - 0.0813f * c.b;
    const float yt = toward_s_curve(y, w);
    return clamp01(pixel_t{yt + 1.402f * cr, yt - 0.34414f * cb - 0.71414f * cr, yt + 1.772f * cb});
}

// Each channel keeps 1 - f of itself and gains f of the pixel's mean.
pixel_t grey_pulled(pixel_t c, float f) {
    const float m = (c.r + c.g + c.b) / 3.0f * f;
    const float keep = 1.0f - f;
    return {c.r * keep + m, c.g * keep + m, c.b * keep + m};
}

pixel_t scaled(pixel_t c, float k) {
    return each(c, [k](float v) { return k * v; });
}

pixel_t weighted(pixel_t a, float ka, pixel_t b, float kb) {
    return per_channel(a, b, [ka, kb](float x, float y) { return ka * x + kb * y; });
}

} // namespace

void PP_ImageFilter::init(const foundation::Value& object, std::string name, std::string image_name,
                          int32_t blend_mode, int32_t index, std::string categorie) {
    PostProcess::init(object, index);
    m_name = std::move(name);
    m_img_name = std::move(image_name);
    m_bm = blend_mode;
    m_categorie = std::move(categorie);
}

namespace {

struct TextureLook {
    const char* name;
    const char* category;
    const char* texture;
    int32_t mode;
};

constexpr TextureLook kTextureLooks[] = {
    {"Midway", "Cross Processed", "Crosspro-3.jpg", 16},
    {"Rainbow Palette 1", "Color Fantasy", "pf_render_palette1.jpg", 16},
    {"Ancient Canvas", "Vintage", "pf_ancient_canvas1.jpg", 1},
    {"Old TV", "Vintage", "pf_oldtv1.jpg", 4},
    {"Atlantic Beach", "Cross Processed", "Crosspro-5.jpg", 29},
    {"Color Sunlight Spots", "Color Fantasy", "pf_color_sunlight_spots.jpg", 19},
    {"Socorro", "Cross Processed", "Crosspro-5.jpg", 35},
    {"Vintage", "Vintage", "pf_vintage_2.jpg", 11},
};

} // namespace

int32_t PP_ImageFilter::texture_look_count() {
    return int32_t(std::size(kTextureLooks));
}

void PP_ImageFilter::init_texture_look(int32_t type, int32_t index) {
    if (type < 0 || type >= texture_look_count()) {
        PostProcess::init({}, index);
        return;
    }
    const TextureLook& look = kTextureLooks[type];
    init({}, look.name, look.texture, look.mode, index, look.category);
}

PostProcessParameter* PP_ImageFilter::param_1() {
    const SliderSpec slider = mode_parameters(m_bm).first;
    return parameterFromSlider(m_param_1, &slider);
}

PostProcessParameter* PP_ImageFilter::param_2() {
    const SliderSpec slider = mode_parameters(m_bm).second;
    return parameterFromSlider(m_param_2, &slider);
}

// Modes 0, 21, 29 to 41 and unknown numbers never use the texture value: loading it would
// change nothing.
bool PP_ImageFilter::reads_texture() const {
    return m_bm >= 1 && m_bm <= 28 && m_bm != 21;
}

std::unique_ptr<ImageEditable> PP_ImageFilter::load_texture(bool preview, int32_t w, int32_t h) {
    const std::string ext = path_extension(m_img_name);
    const std::string base = m_img_name.substr(0, m_img_name.find('.'));
    // Without its "_small" file a preview uses the full-size one instead of a blank texture.
    const std::string bases[2] = {preview ? base + "_small" : base, base};
    for (int i = 0; i < (preview ? 2 : 1); ++i) {
        if (h > w)
            if (graphics::ImagePtr image = read_resource(bases[i] + "_v", ext))
                return std::make_unique<ImageEditable>(image, w, h);
        if (graphics::ImagePtr image = read_resource(bases[i], ext)) {
            const int32_t tw = int32_t(image->pointSize().width);
            const int32_t th = int32_t(image->pointSize().height);
            if (tw == th || (w > h && tw > th)) return std::make_unique<ImageEditable>(image, w, h);
            return std::make_unique<ImageEditable>(image, h, w);
        }
    }
    if (!m_reported_missing) {
        m_reported_missing = true;
        std::fprintf(stderr, "Missing image resource: %s\n", m_img_name.c_str());
    }
    return nullptr;
}

void PP_ImageFilter::prepare_for_process() {
    if (reads_texture()) {
        const bool preview = m_preview_mode;
        const int32_t w = preview ? preview_w : m_width;
        const int32_t h = preview ? preview_h : m_height;
        if (!preview || !m_filter || m_filter_w != w || m_filter_h != h) {
            m_filter.reset();
            m_filter = load_texture(preview, w, h);
            m_filter_w = w;
            m_filter_h = h;
        }
    }
    if (m_filter) {
        const int32_t tw = m_filter->width(), th = m_filter->height();
        m_transposed = (m_width > m_height && tw < th) || (m_width < m_height && tw > th);
    }
    if (PostProcessParameter* p = param_1()) m_float_param1 = p->value();
    if (PostProcessParameter* p = param_2()) m_float_param2 = p->value();
    m_p1 = float(m_float_param1);
    m_p2 = float(m_float_param2);
}

void PP_ImageFilter::process_ended() {
    if (!m_in_preview) m_filter.reset();
}

void PP_ImageFilter::on_preview_entered() {
    PostProcess::on_preview_entered();
    m_in_preview = true;
}

void PP_ImageFilter::on_preview_exit() {
    // Waits for a run still sampling the texture.
    std::lock_guard guard(lock());
    PostProcess::on_preview_exit();
    m_filter.reset();
    m_in_preview = false;
}

pixel_t PP_ImageFilter::process_pixel_x(int32_t x, int32_t y, int32_t /*pass*/) {
    const pixel_t s = get_source_pixel(x, y);
    if (m_bm >= 29 && m_bm <= 41) return grade(s);
    if (!reads_texture() || !m_filter) return s;
    return blend(s, x, y);
}

pixel_t PP_ImageFilter::blend(pixel_t s, int32_t x, int32_t y) const {
    const ImageEditable& tex = *m_filter;
    const pixel_t t = m_transposed ? tex.get_pixel_relative_x(y, x, m_height, m_width)
                                   : tex.get_pixel_relative_x(x, y, m_width, m_height);
    const float p1 = m_p1, p2 = m_p2;
    switch (m_bm) {
    case 1:
    case 2: {
        const double k = m_bm == 1 ? 1.1 : 0.9;
        return mix(s, per_channel(s, t, [k](float a, float b) { return float(k * a * b); }), p1);
    }
    case 3:
        return per_channel(s, t, [](float a, float b) { return float((double(b) + 0.04) * a * 1.6); });
    case 4: {
        const float m = float(double(source_gray(x, y)) * p1);
        return each(t, [m, p2](float b) { return m + (b * m - m) * p2; });
    }
    case 5:
        if (all_above(t, 0.96)) return t;
        return per_channel(s, t, [p1](float a, float b) { return float(double(a * b) * p1); });
    case 6:
        return all_above(t, 0.9) ? s : t;
    case 7: {
        const int32_t d = (t.r + t.g + t.b) / 3.0f > 0.5f ? 6 : -6;
        const float g = float(double(source_gray(x + d, y + d)) * p1);
        return scaled(t, g);
    }
    case 8:
        return per_channel(s, t, [](float a, float b) { return std::max(a - b, 0.0f); });
    case 9: {
        const double o = t.r;
        return per_channel(s, t, [o](float a, float b) { return float(b * o + a * (1.0 - o)); });
    }
    case 10:
        return per_channel(s, t, [](float a, float b) { return float(0.6 * a + 0.4 * b); });
    case 11: {
        if (all_above(t, 0.96)) return t;
        return per_channel(s, t, [p1, p2](float a, float b) {
            const float m = a + (b * a - a) * p2;
            return float(double(m) * p1);
        });
    }
    case 12:
    case 13:
    case 14: {
        // One channel takes the saturated source, the other two a darkened multiply.
        const pixel_t q = do_saturation(s, p1);
        const auto one = [p2](float sc, float tc, float qc, bool saturated) {
            const float v = saturated ? qc * tc : 0.8f * sc * tc;
            return sc + (v - sc) * p2;
        };
        return {one(s.r, t.r, q.r, m_bm == 12), one(s.g, t.g, q.g, m_bm == 13),
                one(s.b, t.b, q.b, m_bm == 14)};
    }
    case 15: {
        const float v = (s.r + s.g + s.b) / 3.0f * ((t.r + t.g + t.b) / 3.0f);
        const float o = (v - 0.5f) * p1 + 0.5f;
        return {o, o, o};
    }
    case 16:
        return mix(s, blend_overlay(s, t), p1);
    case 17:
        return blend_overlay(t, s);
    case 18:
        return mix(s, blend_screen(s, t), p1);
    case 19:
        return mix(s, blend_soft_light(s, t), p1);
    case 20:
        return mix(s, blend_hard_light(s, t), p1);
    case 22: {
        const double a = m_transposed ? tex.get_alpha_relative_x(y, x, m_height, m_width)
                                      : tex.get_alpha_relative_x(x, y, m_width, m_height);
        return mix(s, per_channel(s, t, [a](float c, float b) { return float(b * a + c * (1.0 - a)); }), p1);
    }
    case 23:
        return mix(s, blend_hard_mix(s, t), p1);
    case 24:
        return per_channel(s, t, [](float a, float b) { return float(double(a) + 1.0 - 0.5 * b); });
    case 25:
        return mix(s, per_channel(s, t, [](float a, float b) { return std::max(b, a); }), p1);
    case 26:
        return mix(s, blend_overlay(do_saturation(t, 0.6f), s), p1);
    case 27: {
        const float l = float(double(t.r + t.g + t.b) / 3.0 * 0.5);
        const auto flat = [](float v) { return (double(v) - 0.5) * 0.5 + 0.5; };
        const pixel_t f{float(flat(s.r) * (252.0 / 255.0)), float(flat(s.g)),
                        float(flat(s.b) * (57.0 / 255.0))};
        return mix(f, blend_soft_light(f, {l, l, l}), p1);
    }
    case 28: {
        const pixel_t f = each(s, [](float a) { return (a - 0.5f) * 1.5f + 0.5f; });
        return mix(f, blend_overlay(f, t), p1);
    }
    default:
        return s;
    }
}

pixel_t PP_ImageFilter::grade(pixel_t s) const {
    const float k = m_p2 + 0.5f;
    const pixel_t c = each(s, [k](float a) { return clamp01((a - 0.5f) * k + 0.5f); });
    pixel_t x = c;
    switch (m_bm) {
    case 29:
        x = toned({1.1f * bell3(c.r) + 0.1f, bell1(c.g) + 0.1f, 0.7f * c.b + 0.15f}, 0.5f);
        break;
    case 30:
        x = toned({bell1(c.r) + 0.1f, 1.1f * bell3(c.g) + 0.1f, 0.7f * c.b + 0.15f}, 0.5f);
        break;
    case 31: {
        const double angle = std::numbers::pi * (0.64 * double(c.r) - 0.64);
        x = toned({0.7f * float(std::cos(angle)) + 0.3f + 0.1f, 0.85f * c.g + 0.1f, c.b * c.b / 1.5f}, 0.5f);
        break;
    }
    case 32: {
        const float r = clamp_double(c.r * (215.0f / 255.0f) / (192.0f / 255.0f) + 40.0f / 255.0f);
        x = scaled({std::pow(r, 0.7f), std::pow(std::pow(c.g, 0.8f), 0.7f), std::pow(c.b, 0.7f)}, 1.1f);
        break;
    }
    case 33:
        // log10(0) is -inf, which the clamp makes 0.
        x = scaled({clamp_double(std::pow(c.r, 0.8f)), clamp_double(1.7f * std::log10(c.g) + 1.0f),
                    clamp_double(c.b * (210.0f / 255.0f))},
                   1.1f);
        break;
    case 34: {
        const auto curve = [](double v) { return toward_s_curve(clamp_double(v), 0.5f); };
        x = scaled({curve((double(c.r) - 33.0 / 255.0) / (222.0 / 255.0)),
                    curve(double(c.g) / (219.0 / 255.0)),
                    curve((double(c.b) - 33.0 / 255.0) / (222.0 / 255.0))},
                   1.1f);
        break;
    }
    case 35: {
        const pixel_t g = grey_pulled(c, 0.75f);
        x = toned({bell1(g.r), bell1(g.g), 0.35f * g.b + 0.39f}, 0.1f);
        break;
    }
    case 36: {
        const pixel_t g = grey_pulled(c, 0.75f);
        x = toned({0.5f * g.r + 0.25f, 0.9f * g.g, g.b * g.b}, 0.1f);
        break;
    }
    case 37: {
        const pixel_t m = clamp01(pixel_t{bell1(c.r) + 0.1f, 1.1f * bell3(c.g) + 0.1f, 0.7f * c.b + 0.15f});
        x = toned(grey_pulled(m, 0.7f), 0.1f);
        break;
    }
    case 38:
    case 39: {
        const pixel_t d =
            clamp01(pixel_t{0.52f * c.r + 1.24f * c.g - 0.76f * c.b, -0.52f * c.r + 1.46f * c.g + 0.02f * c.b,
                            -1.52f * c.r + 1.40f * c.g - 0.64f * c.b});
        x = m_bm == 38 ? blend_overlay(c, d) : blend_overlay(d, c);
        break;
    }
    case 40: {
        // The orange takes the lightness of the source before the contrast step.
        const pixel_t orange = HSLToRGB({31.0f / 360.0f, 0.73f, RGBToHSL(s).l});
        x = weighted(c, 0.19f, blend_overlay(c, orange), 0.81f);
        break;
    }
    case 41: {
        const float d = clamp01(0.49f * c.r + 0.38f * c.g - 0.19f * c.b);
        x = weighted(c, 0.5f, blend_overlay({d, d, d}, c), 0.5f);
        break;
    }
    default:
        break;
    }
    x = clamp01(x);
    const float p1 = m_p1;
    return per_channel(s, x, [p1](float a, float b) { return a * (1.0f - p1) + b * p1; });
}
