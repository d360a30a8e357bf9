#include "engine/effects/vintage/PP_Effects_Bundle3.h"

#include "engine/BlendFunctions.h"
#include "engine/Neighbourhood.h"
#include "engine/effects/LoFiStyles.h"
#include "kernels/blur/fast_blur.h"

#include <algorithm>
#include <iterator>
#include <mutex>

namespace {

using hollywood_fx::colour;

struct Variant {
    LookSpec look;
    const char* overlay;
};

constexpr Variant kVariants[] = {
    {{"Kenai", "Groovy Lo-Fi", localizedSlider("Contrast", 0.7, 2.5, 1.3),
      localizedSlider("Color", 0.1, 0.9, 0.5)},
     "lomo_overlayer"},
    {{"Noir Blue", "Photo Styles", localizedSlider("Contrast", 1.2, 2.5, 1.3),
      localizedSlider("Color", 0.1, 0.9, 0.5)},
     "horror"},
    {{"Conley", "Groovy Lo-Fi", localizedSlider("Contrast", 0.7, 2.5, 2.25),
      localizedSlider("Color", 0.1, 0.9, 0.575)},
     "lomo_overlayer"},
    {{"Noir Red", "Photo Styles", localizedSlider("Contrast", 1.2, 2.7, 2.0),
      localizedSlider("Color", 0.15, 0.6, 0.5)},
     "horror"},
    {{"Noir Sepia", "Photo Styles", localizedSlider("Contrast", 0.7, 2.0, 1.0),
      localizedSlider("Color", 0.05, 0.5, 0.3)},
     "horror"},
    {{"Tokyo", "Groovy Lo-Fi", localizedSlider("Contrast", 1.0, 3.0, 1.7),
      localizedSlider("Color", 0.6, 2.9, 1.5)},
     "lomo_overlayer"},
    {{"Dixon", "Groovy Lo-Fi", localizedSlider("Contrast", 0.7, 2.5, 1.8), {}}, "lomo_overlayer"},
};
constexpr LookSpec kPlaceholder{"tmp", "Groovy Lo-Fi"};

const Variant* variant(int32_t type) {
    return type >= 0 && type < int32_t(std::size(kVariants)) ? &kVariants[type] : nullptr;
}

constexpr pixel_t kBlack{0.0f, 0.0f, 0.0f};

// The share of the pixel's own grey against the blurred grey, and the tint of a Noir type.
struct Noir {
    float weight;
    pixel_t tint;
};
constexpr Noir kNoirBlue{0.3f, colour(48, 137, 206)};
constexpr Noir kNoirRed{0.5f, colour(255, 0, 0)};
constexpr Noir kNoirSepia{0.4f, colour(99, 44, 0)};

} // namespace

PP_Effects_Bundle3::~PP_Effects_Bundle3() {
    release_cache();
}

int32_t PP_Effects_Bundle3::look_count() const {
    return int32_t(std::size(kVariants));
}

const LookSpec* PP_Effects_Bundle3::look_spec() const {
    const Variant* v = variant(m_type);
    return v ? &v->look : &kPlaceholder;
}

void PP_Effects_Bundle3::setup_overlays() {
    const Variant* v = variant(m_type);
    if (!v) return;
    const std::string name = v->overlay;
    m_filter = ImageEditable::setup_overlay_e(m_preview_mode ? name + "_small" : name);
}

void PP_Effects_Bundle3::release_cache() {
    m_filter.reset();
    tex_free(mp_tex);
    mp_tex = nullptr;
}

bool PP_Effects_Bundle3::build_blurred_copy() {
    mp_tex = tex_create_empty(m_width, m_height, 4);
    if (!mp_tex) return false;
    const double divisor = m_type == 3 || m_type == 4 ? 6.0 : 20.0;
    const int r = int(double(float(std::min(m_width, m_height))) / divisor);
    return fast_blur_argb(gp_data, mp_tex->data, m_width, m_height, 4 * m_width, 4 * m_width, r, r);
}

void PP_Effects_Bundle3::prepare_for_process() {
    // A live preview keeps overlay and blurred copy while the working image stays the one they
    // were made from; a replaced or resized image would otherwise be read through a stale copy.
    const bool reuse = m_preview_mode && m_filter && m_cache_generation == g_data_generation &&
                       m_cache_width == m_width && m_cache_height == m_height;
    if (!reuse) {
        release_cache();
        setup_overlays();
        if (m_type != 5 && !build_blurred_copy()) {
            // A half-made copy must not be reused by the next preview.
            release_cache();
            preparation_failed();
            return;
        }
        m_cache_generation = g_data_generation;
        m_cache_width = m_width;
        m_cache_height = m_height;
        const int32_t w = m_filter ? m_filter->width() : 0, h = m_filter ? m_filter->height() : 0;
        m_transposed = (m_width > m_height && w < h) || (m_width < m_height && w > h);
    }
    m_prm1 = lofi_styles::value_of(param_1());
    m_prm2 = lofi_styles::value_of(param_2());
}

void PP_Effects_Bundle3::process_ended() {
    if (!m_in_preview) release_cache();
}

void PP_Effects_Bundle3::on_preview_exit() {
    // A run may still be reading what is freed here.
    std::lock_guard guard(lock());
    PostProcess::on_preview_exit();
    release_cache();
    m_in_preview = false;
}

void PP_Effects_Bundle3::on_preview_entered() {
    PostProcess::on_preview_entered();
    m_in_preview = true;
}

// "Dixon" lays the overlay upside down.
pixel_t PP_Effects_Bundle3::overlay_texel(int32_t x, int32_t y) const {
    if (!m_filter) return kBlack;
    const int32_t v = m_type == 6 ? m_height - y : y;
    return m_transposed ? m_filter->get_pixel_relative_e_x(v, x, m_height, m_width)
                        : m_filter->get_pixel_relative_e_x(x, v, m_width, m_height);
}

// Bytes 1..3 are the colour; null without a blurred copy.
const uint8_t* PP_Effects_Bundle3::blurred_texel(int32_t x, int32_t y) const {
    if (!mp_tex || x < 0 || y < 0 || x >= mp_tex->width || y >= mp_tex->height) return nullptr;
    return mp_tex->data + (size_t(y) * size_t(mp_tex->width) + size_t(x)) * 4;
}

pixel_t PP_Effects_Bundle3::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    if (!variant(m_type)) return get_source_pixel(x, y);
    const pixel_t t = overlay_texel(x, y);
    const uint8_t* blurred = blurred_texel(x, y);
    const pixel_t bl =
        blurred ? pixel_t{float(blurred[1]) / 255.0f, float(blurred[2]) / 255.0f, float(blurred[3]) / 255.0f}
                : kBlack;
    switch (m_type) {
    case 0:
    case 2: {
        const pixel_t a = blend_alpha(get_source_pixel(x, y), bl, 0.5f);
        const pixel_t s = do_saturation(hollywood_fx::contrast(a, m_prm1), 0.4f);
        const pixel_t h = m_type == 0 ? blend_hard_light(s, t) : blend_linear_light(s, t);
        const pixel_t k{h.r * (225.0f / 255.0f), h.g * (228.0f / 255.0f), 0.0f};
        return blend_alpha(h, k, m_prm2);
    }
    case 1:
    case 3:
    case 4: {
        const Noir& noir = m_type == 1 ? kNoirBlue : (m_type == 3 ? kNoirRed : kNoirSepia);
        const float w = noir.weight;
        const int sum = blurred ? int(blurred[1]) + int(blurred[2]) + int(blurred[3]) : 0;
        const float bg = float(double(sum / 3) * (1.0 / 255.0));
        const float m = float(double(lofi_styles::source_gray(x, y) * w) + (1.0 - double(w)) * double(bg));
        const float v = (m - 0.5f) * m_prm1 + 0.5f;
        const pixel_t V{v, v, v};
        const pixel_t c = blend_alpha(V, blend_vivid_light(V, noir.tint), m_prm2);
        // The overlay's green and blue change places.
        const pixel_t out{c.r * t.r, c.g * t.b, c.b * t.g};
        if (m_type == 4) return {out.r * 2.0f, out.g * 2.0f, out.b * 2.0f};
        return out;
    }
    case 5: {
        const pixel_t s1 = do_saturation(hollywood_fx::contrast(get_source_pixel(x, y), m_prm1), 0.4f);
        const pixel_t s2 = do_saturation(t, m_prm2);
        const pixel_t d{float(double(s2.r) - 0.8), float(double(s2.g) - 0.8), float(double(s2.b) - 0.8)};
        return blend_color_dodge(s1, d);
    }
    default: {
        const pixel_t a = blend_alpha(get_source_pixel(x, y), bl, 0.9f);
        const pixel_t h = blend_hard_light(hollywood_fx::contrast(a, m_prm1 * 1.5f), t);
        return do_saturation(h, 0.0f);
    }
    }
}
