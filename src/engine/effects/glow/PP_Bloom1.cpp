#include "engine/effects/glow/PP_Bloom1.h"

#include "engine/BlendFunctions.h"
#include "engine/Neighbourhood.h"
#include "engine/PostProcessParameter.h"
#include "kernels/blur/GaussianBlur.h"
#include "kernels/blur/fast_blur.h"

#include <algorithm>
#include <memory>

namespace {

constexpr SliderSpec brightness(double def) {
    return localizedSlider("Brightness", 0.1, 1.0, def);
}

constexpr SliderSpec glowAmount(double def) {
    return localizedSlider("Glow Amount", 0.1, 1.0, def);
}

constexpr LookSpec kLooks[] = {
    {"Glow Vivid Color", "Glow", brightness(0.6), glowAmount(0.76)},
    {"Glow Grayscale", "Glow", brightness(0.7), glowAmount(0.4)},
    {"Glowing Edges", "Glow", brightness(0.7), glowAmount(0.6)},
    {"Sepia Glow", "Glow", brightness(0.784), glowAmount(0.6)},
    {"Yellow Glow", "Glow", brightness(0.7), glowAmount(0.6)},
    {"Pink Glow", "Glow", brightness(0.7), glowAmount(0.6)},
};
constexpr LookSpec kPlaceholder{"none", "Glow"};

// The type's look; null for a type without one.
const LookSpec* variant(int32_t type) {
    return lookOfType(kLooks, type, nullptr);
}

float times(float a, double b) {
    return float(double(a) * b);
}

// Tinted glow of the tone looks: (k g) p2 scale + 0.3 per channel, in double.
pixel_t tint(const double k[3], float g, double p2, double scale) {
    const auto channel = [&](double kc) { return float(kc * double(g) * p2 * scale + 0.3); };
    return {channel(k[0]), channel(k[1]), channel(k[2])};
}

} // namespace

PP_Bloom1::~PP_Bloom1() {
    m_output.release(mp_tex);
}

int32_t PP_Bloom1::look_count() const {
    return int32_t(std::size(kLooks));
}

const LookSpec* PP_Bloom1::look_spec() const {
    return lookOfType(kLooks, m_type, &kPlaceholder);
}

void PP_Bloom1::prepare_for_process() {
    if (PostProcessParameter* p = param_1()) m_float_param1 = p->value();
    if (PostProcessParameter* p = param_2()) m_float_param2 = p->value();
    m_output.release(mp_tex);
    mp_tex = m_preview_mode ? tex_create_empty(m_width, m_height, 4) : m_output.take();
    // The drawn texture becomes the run's output buffer, read through the passes.
    struct HandBack {
        OutputTexture& output;
        ~HandBack() { output.hand_back(); }
    } handBack{m_output};
    if (!mp_tex) {
        preparation_failed(); // a glow without its blurred copy would be black
        return;
    }

    if (m_type == 2) {
        const int32_t m = std::min(m_width, m_height);
        const int32_t r = std::max(int32_t(double(float(m)) / 100.0), 1);
        if (!fast_blur_ed_argb(gp_data, mp_tex->data, mp_tex->width, mp_tex->height, 4 * mp_tex->width,
                               4 * mp_tex->width, r, r))
            preparation_failed();
        return;
    }
    const int64_t w = m_preview_mode ? preview_w : m_width;
    _currentRadius = uint64_t(std::clamp<int64_t>(w / 100, 1, 100));
    // The vertical and horizontal passes the two runs of the pixel loop would make, made at once.
    if (variant(m_type) && !GaussianBlur::sharedGaussianBlur()->gaussianBlurBothPasses(
                               gp_data, mp_tex, int32_t(_currentRadius), step_x, step_y))
        preparation_failed();
}

// Where nothing new is produced the result is black: pass 0 of the blurred looks is rewritten by
// pass 1 at every pixel, and an unknown type never produced anything. A blur held in the output
// buffer is written back unchanged by pass 0, so that pass 1 still finds it.
pixel_t PP_Bloom1::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    if (!mp_tex || !variant(m_type)) return {0.0f, 0.0f, 0.0f};
    const uint8_t* texel = mp_tex->data + (size_t(y) * size_t(mp_tex->width) + size_t(x)) * 4;
    if (pass == 0 && m_type != 2) {
        if (mp_tex != m_output.get()) return {0.0f, 0.0f, 0.0f};
        // Half a level up: stored as trunc(v x 255), the byte comes back as it was.
        const auto same = [](uint8_t byte) { return (float(byte) + 0.5f) / 255.0f; };
        return {same(texel[1]), same(texel[2]), same(texel[3])};
    }
    const double P1 = m_float_param1, P2 = m_float_param2;

    if (m_type == 2) {
        const pixel_t s = get_source_pixel(x, y);
        const auto contrast = [](float c) { return (c - 0.5f) * 1.5f + 0.5f; };
        const auto edge = [&](uint8_t byte) { return times(float(1.0 - byte / 255.0), P2 + P2); };
        const pixel_t base{times(contrast(s.r), P1), times(contrast(s.g), P1), times(contrast(s.b), P1)};
        return blend_add(base, {edge(texel[1]), edge(texel[2]), edge(texel[3])});
    }

    const pixel_t G{GaussianBlur::secondPassChannel(texel[1]), GaussianBlur::secondPassChannel(texel[2]),
                    GaussianBlur::secondPassChannel(texel[3])};
    const float g = ((G.g + G.r) + G.b) / 3.0f;
    pixel_t base, glow;
    switch (m_type) {
    case 0: {
        const pixel_t s = get_source_pixel(x, y);
        const auto contrast = [](float c) { return (c - 0.5f) + (c - 0.5f) + 0.5f; };
        const pixel_t sat = do_saturation({contrast(s.r), contrast(s.g), contrast(s.b)}, 2.0f);
        base = {times(sat.r, P1), times(sat.g, P1), times(sat.b, P1)};
        glow = {times(G.r, P2), times(G.g, P2), times(G.b, P2)};
        break;
    }
    case 1: {
        const float b = times(source_gray(x, y), P1);
        const float l = float(2.0 * double(g) * P2);
        base = {b, b, b};
        glow = {l, l, l};
        break;
    }
    default: {
        const float v = float(double(source_gray(x, y)) * P1 * 0.7);
        const float b = m_type == 3 ? (v - 0.5f) + (v - 0.5f) + 0.5f : (v - 0.5f) * 1.4f + 0.5f;
        base = {b, b, b};
        if (m_type == 3) {
            static constexpr double sepia[3] = {99.0 / 255.0, 44.0 / 255.0, 1.0 / 255.0};
            glow = tint(sepia, g, P2, 2.8);
        } else if (m_type == 4) {
            static constexpr double yellow[3] = {1.0, 158.0 / 255.0, 0.0}; // blue: exactly 0.3
            glow = tint(yellow, g, P2, 1.6);
        } else {
            static constexpr double pink[3] = {245.0 / 255.0, 36.0 / 255.0, 144.0 / 255.0};
            glow = tint(pink, g, P2, 1.6);
        }
        break;
    }
    }
    return blend_add(base, glow);
}

void PP_Bloom1::process_ended() {
    m_output.release(mp_tex);
}
