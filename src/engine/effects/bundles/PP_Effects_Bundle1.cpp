#include "engine/effects/bundles/PP_Effects_Bundle1.h"

#include "engine/BlendFunctions.h"
#include "engine/Neighbourhood.h"
#include "engine/PostProcessParameter.h"
#include "platform/graphics/Clamp.h"

#include <mutex>

namespace {

struct Variant {
    LookSpec look;
    const char* overlay;
    uint8_t tint[3]; // the colour a Grunge type tints with (none for the black graffiti)
};

constexpr SliderSpec kGrungeContrast = localizedSlider("Contrast", 1.0, 20.0, 10.0);
constexpr SliderSpec kGrungeBrightness = localizedSlider("Brightness", 0.0, 0.4, 0.0);

// clang-format off
constexpr Variant kVariants[] = {
    {{"Stencil Poster Red", "Grunge", kGrungeContrast, kGrungeBrightness}, "red_poster_paper", {230, 154, 95}},
    {{"Stencil Poster Blue", "Grunge", kGrungeContrast, kGrungeBrightness}, "red_poster_paper", {95, 154, 230}},
    {{"Stencil Poster Green", "Grunge", kGrungeContrast, kGrungeBrightness}, "red_poster_paper", {154, 230, 95}},
    {{"Stencil Poster", "Grunge", kGrungeContrast, kGrungeBrightness}, "red_poster_paper", {215, 215, 215}},
    {{"Grunge Rays Sepia", "Grunge", kGrungeContrast, kGrungeBrightness}, "grunge_rays", {191, 152, 109}},
    {{"Grunge Rays Blue", "Grunge", kGrungeContrast, kGrungeBrightness}, "grunge_rays", {91, 152, 209}},
    {{"Grunge Rays Green", "Grunge", kGrungeContrast, kGrungeBrightness}, "grunge_rays", {91, 205, 109}},
    {{"Grunge Rays", "Grunge", localizedSlider("Contrast", 1.0, 20.0, 7.65), localizedSlider("Brightness", 0.0, 0.4, 0.188)}, "grunge_rays", {189, 189, 189}},
    {{"Stencil Graffiti Black", "Grunge", kGrungeContrast, kGrungeBrightness}, "wall_texture", {}},
    {{"Stencil Graffiti Red", "Grunge", kGrungeContrast, kGrungeBrightness}, "wall_texture", {255, 10, 10}},
    {{"Stencil Graffiti Green", "Grunge", kGrungeContrast, kGrungeBrightness}, "wall_texture", {10, 255, 10}},
    {{"Stencil Graffiti Blue", "Grunge", kGrungeContrast, kGrungeBrightness}, "wall_texture", {10, 10, 255}},
    {{"Derby", "Groovy Lo-Fi", localizedSlider("Contrast", 1.0, 3.0, 1.18), localizedSlider("Overlay", 0.5, 0.9, 0.755)}, "retro_1_overlayer", {}},
    {{"Turin", "Groovy Lo-Fi", localizedSlider("Contrast", 1.0, 3.0, 2.0), {}}, "paloroid_overlayer", {}},
    {{"Napa", "Groovy Lo-Fi", localizedSlider("Contrast", 1.0, 3.0, 1.54), localizedSlider("Color", 0.2, 0.9, 0.4)}, "retro_3_overlayer", {}},
    {{"Ancona", "Groovy Lo-Fi", localizedSlider("Contrast", 1.0, 3.0, 2.2), localizedSlider("Brightness", 1.0, 3.0, 2.0)}, "retro_2_overlayer", {}},
    {{"Bilbao", "Groovy Lo-Fi", localizedSlider("Amount", 1.0, 3.0, 1.4), {}}, "retro_2_overlayer", {}},
    {{"Ensley", "Groovy Lo-Fi", localizedSlider("Contrast", 1.0, 8.0, 2.4), localizedSlider("Brightness", 0.2, 1.5, 0.5)}, "retro_1_overlayer", {}},
    {{"Lantana", "Groovy Lo-Fi", localizedSlider("Contrast", 1.5, 4.0, 2.5), {}}, "red", {}},
};
constexpr LookSpec kPlaceholder{"Test1", "Test"};
// clang-format on

constexpr int32_t kVariantCount = int32_t(sizeof(kVariants) / sizeof(kVariants[0]));

const Variant* variant(int32_t type) {
    return type >= 0 && type < kVariantCount ? &kVariants[type] : nullptr;
}

constexpr pixel_t colour(uint8_t r, uint8_t g, uint8_t b) {
    return {float(r) / 255.0f, float(g) / 255.0f, float(b) / 255.0f};
}

constexpr pixel_t kDerbyAdd = colour(40, 0, 222);
constexpr pixel_t kNapaTint = colour(247, 241, 186);
constexpr pixel_t kNapaSoftLight = colour(70, 15, 255);
constexpr pixel_t kLantanaHardLight = colour(204, 116, 104);

pixel_t contrast(pixel_t p, float k) {
    return {(p.r - 0.5f) * k + 0.5f, (p.g - 0.5f) * k + 0.5f, (p.b - 0.5f) * k + 0.5f};
}

pixel_t scaled(pixel_t p, float k) {
    return {p.r * k, p.g * k, p.b * k};
}

pixel_t product(pixel_t a, pixel_t b) {
    return {a.r * b.r, a.g * b.g, a.b * b.b};
}

pixel_t clamped(pixel_t p) {
    PostProcess::clapmPixel(&p);
    return p;
}

using graphics::clamp01;

// (R + G + B) x 1/255 x 1/3 of the working image's bytes, rounded to single after each product;
// 0 outside the image.
float grey_at(int32_t x, int32_t y) {
    const uint8_t* data = PostProcess::gp_data;
    if (!data || x < 0 || y < 0 || x >= PostProcess::g_width || y >= PostProcess::g_height) return 0.0f;
    const uint8_t* p =
        data + (size_t(y) * size_t(PostProcess::g_width) + size_t(x)) * size_t(PostProcess::g_bpp_dv);
    const float sum = float(double(int32_t(p[1]) + p[2] + p[3]) * (1.0 / 255.0));
    return float(double(sum) * (1.0 / 3.0));
}

} // namespace

int32_t PP_Effects_Bundle1::look_count() const {
    return kVariantCount;
}

const LookSpec* PP_Effects_Bundle1::look_spec() const {
    const Variant* v = variant(m_type);
    return v ? &v->look : &kPlaceholder;
}

void PP_Effects_Bundle1::setup_overlays() {
    const Variant* v = variant(m_type);
    if (!v) return;
    if (m_preview_mode)
        m_filter = ImageEditable::setup_overlay(std::string(v->overlay) + "_small", preview_w, preview_h);
    else
        m_filter = ImageEditable::setup_overlay(v->overlay, m_width, m_height);
}

void PP_Effects_Bundle1::on_preview_entered() {
    PostProcess::on_preview_entered();
    m_in_preview = true;
}

void PP_Effects_Bundle1::on_preview_exit() {
    PostProcess::on_preview_exit();
    // A run still going would be reading the overlay.
    std::lock_guard guard(m_pp_lock);
    m_filter.reset();
    m_in_preview = false;
}

void PP_Effects_Bundle1::process_ended() {
    if (!m_in_preview) m_filter.reset();
}

void PP_Effects_Bundle1::prepare_for_process() {
    if (!m_preview_mode) m_filter.reset();
    if (!m_preview_mode || !m_filter) setup_overlays();
    m_prm1 = param_1() ? float(param_1()->value()) : 0.0f;
    m_prm2 = param_2() ? float(param_2()->value()) : 0.0f;

    // Drawing sets every texel's fourth byte to 255; left at its initial 1, the picture was missing.
    m_has_overlay = m_filter && m_filter->img_data() && m_filter->img_data()[3] == 255;
    if (m_has_overlay) {
        const int32_t w = m_filter->width(), h = m_filter->height();
        m_transposed = (m_width > m_height && w < h) || (m_width < m_height && w > h);
    }
    const Variant* v = variant(m_type);
    m_tint = v ? colour(v->tint[0], v->tint[1], v->tint[2]) : pixel_t{0.0f, 0.0f, 0.0f};
}

pixel_t PP_Effects_Bundle1::texel(int32_t x, int32_t y) const {
    if (m_transposed) return m_filter->get_pixel_relative_x(y, x, m_height, m_width);
    return m_filter->get_pixel_relative_x(x, y, m_width, m_height);
}

// Each look before its overlay step.
pixel_t PP_Effects_Bundle1::treated(int32_t x, int32_t y) const {
    const float p1 = m_prm1, p2 = m_prm2;
    if (m_type >= 0 && m_type <= 7) {
        const float v = clamp01((grey_at(x, y) + p2 - 0.5f) * p1 + 0.5f);
        return blend_hard_light2({v, v, v}, m_tint);
    }
    if (m_type >= 8 && m_type <= 11) {
        const float s = grey_at(x, y) + p2;
        const pixel_t c = m_type == 8 ? pixel_t{s, s, s} : blend_screen({s, s, s}, m_tint);
        return clamped(contrast(c, p1));
    }
    const pixel_t src = get_source_pixel(x, y);
    switch (m_type) {
    case 12: {
        const pixel_t s = do_saturation(src, 0.5f);
        const auto channel = [p1](float c) { return (float(double(c) * 0.7) - 0.5f) * p1 + 0.5f; };
        const pixel_t a = clamped({channel(s.r), channel(s.g), channel(s.b)});
        return blend_alpha(a, blend_add(a, kDerbyAdd), p2);
    }
    case 13:
        return contrast(src, p1);
    case 14: {
        const pixel_t a = clamped(contrast(src, p1));
        const pixel_t d = clamped(blend_alpha(a, product(a, kNapaTint), 0.5f));
        return blend_alpha(d, blend_soft_light(d, kNapaSoftLight), p2);
    }
    case 15:
        return clamped(do_saturation(scaled(contrast(src, p1), p2), 0.5f));
    case 16:
        return clamped(do_saturation(src, 0.5f));
    case 17:
        return contrast(scaled(do_saturation(src, 0.7f), p2), p1);
    case 18:
        return blend_hard_light(clamped(contrast(src, p1)), kLantanaHardLight);
    default:
        return src;
    }
}

pixel_t PP_Effects_Bundle1::process_pixel_x(int32_t x, int32_t y, int32_t /*pass*/) {
    const pixel_t c = treated(x, y);
    if (!m_has_overlay) return c;
    const pixel_t t = texel(x, y);
    switch (m_type) {
    case 12:
        return blend_overlay(c, t);
    case 15:
        return blend_hard_light(c, t);
    case 16:
        return blend_overlay(c, scaled(t, m_prm1));
    case 17:
        return blend_alpha(c, blend_screen(c, t), 0.2f);
    case 13:
    case 14:
    case 18:
        return blend_screen(c, t);
    default: // the Grunge looks
        return product(c, t);
    }
}
