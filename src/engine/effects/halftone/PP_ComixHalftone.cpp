#include "engine/effects/halftone/PP_ComixHalftone.h"

#include "engine/PostProcessParameter.h"
#include "kernels/drawing/area_resample.h"
#include "kernels/halftone/color_halftone.h"
#include "kernels/paint/smart_posterize.h"
#include "platform/graphics/ParallelRows.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <new>
#include <vector>

namespace {

// overlay_bytes of a base byte (times 1/255) and a layer byte, per channel, as a table indexed by
// base x 256 + layer: the blend of each channel depends on that channel's two bytes alone.
const uint8_t* overlay_table() {
    static const std::vector<uint8_t> table = [] {
        std::vector<uint8_t> t(256 * 256);
        constexpr float kb = 0.003921569f;
        for (int a = 0; a < 256; ++a)
            for (int l = 0; l < 256; ++l) {
                const uint8_t layer[3] = {uint8_t(l), uint8_t(l), uint8_t(l)};
                uint8_t out[3];
                const float base = float(a) * kb;
                PreparedTextureEffect::overlay_bytes({base, base, base}, layer, out);
                t[size_t(a) * 256 + size_t(l)] = out[0];
            }
        return t;
    }();
    return table.data();
}

} // namespace

// src into out, both w x h, with every size in pixels (posterize blur, dot size and rim, outline
// radius) at k times its full-size value.
bool PP_ComixHalftone::draw(const uint8_t* src, uint8_t* out, int32_t w, int32_t h, float k) {
    // Freed also when a pass below throws for want of memory.
    const std::unique_ptr<texture_t, void (*)(texture_t*)> dots(tex_create_empty(w, h, 4), tex_free);
    const int blur = k == 1.0f ? 10 : 1 + int(std::lround(9.0f * k));
    if (!dots || !smart_posterize(src, out, w, h, posterize_levels(param_1()->value()), blur, 256) ||
        !color_halftone(out, dots->data, w, h, float(param_2()->value() * 5.0 * double(k)), 2.0f * k))
        return false;
    const float radius = 4.0f * k;
    const uint8_t* overlay = overlay_table();
    graphics::parallelRows(h, size_t(w), [&](int32_t y0, int32_t y1) {
        for (int32_t y = y0; y < y1; ++y)
            for (int32_t x = 0; x < w; ++x) {
                const size_t at = (size_t(y) * size_t(w) + size_t(x)) * 4;
                const float f = edge_factor(src, w, h, x, y, radius, 4.0f);
                const uint8_t* d = dots->data + at;
                uint8_t* p = out + at;
                for (int c = 1; c <= 3; ++c)
                    p[c] = overlay[size_t(p[c]) * 256 + uint8_t(float(d[c]) * f)];
            }
    });
    return true;
}

void PP_ComixHalftone::prepare_for_process() {
    if (!create_texture()) return;
    const int32_t w = mp_tex->width, h = mp_tex->height;
    if (!m_preview_mode) {
        if (!draw(gp_data, mp_tex->data, w, h, 1.0f)) {
            free_texture();
            preparation_failed();
        }
        return;
    }
    // A reduced copy of the full-size look: drawn where its dots are still large enough to print
    // their full-size tone, with every size scaled alike, then reduced by area to the preview.
    const float dot = std::max(1.0f, float(param_2()->value() * 5.0));
    const float k = std::clamp(kReducedDotSize / dot, float(w) / float(m_width), 1.0f);
    const int32_t dw = std::max(w, int32_t(std::lround(float(m_width) * k)));
    const int32_t dh = std::max(h, int32_t(std::lround(float(m_height) * k)));
    const size_t bytes = size_t(dw) * size_t(dh) * 4;
    std::unique_ptr<uint8_t[]> src(new (std::nothrow) uint8_t[bytes]);
    std::unique_ptr<uint8_t[]> drawn(new (std::nothrow) uint8_t[bytes]);
    if (!src || !drawn) {
        std::fprintf(stderr, "%s: not enough memory for a %dx%d preview\n", class_name().c_str(), dw, dh);
        free_texture();
        preparation_failed();
        return;
    }
    if (!area_resample(sharp_data(), m_width, m_height, src.get(), dw, dh) ||
        !draw(src.get(), drawn.get(), dw, dh, float(dw) / float(m_width)) ||
        !area_resample(drawn.get(), dw, dh, mp_tex->data, w, h)) {
        free_texture();
        preparation_failed();
    }
}
