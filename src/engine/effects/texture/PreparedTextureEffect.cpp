#include "engine/effects/texture/PreparedTextureEffect.h"

#include <cmath>
#include <cstdio>
#include <new>

PreparedTextureEffect::~PreparedTextureEffect() {
    free_texture();
}

void PreparedTextureEffect::free_texture() {
    m_output.release(mp_tex);
}

void PreparedTextureEffect::process_ended() {
    free_texture();
    release_source();
}

bool PreparedTextureEffect::create_texture(bool in_output) {
    free_texture();
    if (m_preview_mode)
        mp_tex = tex_create_empty(preview_w, preview_h, 4);
    else if (in_output)
        mp_tex = m_output.take();
    else
        mp_tex = tex_create_empty(m_width, m_height, 4);
    if (!mp_tex) preparation_failed();
    return mp_tex != nullptr;
}

const uint8_t* PreparedTextureEffect::run_source(float& scale) {
    if (!mp_tex) return nullptr;
    if (!m_preview_mode) {
        scale = 1.0f;
        return gp_data;
    }
    const int32_t w = mp_tex->width, h = mp_tex->height;
    m_scratch.reset(new (std::nothrow) uint8_t[size_t(w) * size_t(h) * 4]);
    if (!m_scratch) {
        std::fprintf(stderr, "%s: not enough memory for a %dx%d preview source\n", class_name().c_str(), w,
                     h);
        free_texture();
        preparation_failed();
        return nullptr;
    }
    copy_reduced_source(m_scratch.get(), w, h);
    scale = float(w) / float(m_width);
    return m_scratch.get();
}

void PreparedTextureEffect::copy_reduced_source(uint8_t* out, int32_t w, int32_t h) const {
    for (int32_t j = 0; j < h; ++j) {
        const int64_t row = int64_t(m_height) * j / h;
        for (int32_t i = 0; i < w; ++i, out += 4) {
            const int64_t col = int64_t(m_width) * i / w;
            const uint8_t* p = gp_data + (size_t(row) * size_t(m_width) + size_t(col)) * 4;
            out[0] = 0;
            out[1] = p[1];
            out[2] = p[2];
            out[3] = p[3];
        }
    }
}

pixel_t PreparedTextureEffect::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    if (!mp_tex) return get_source_pixel(x, y);
    const int32_t w = mp_tex->width, h = mp_tex->height;
    const int64_t tx = int64_t(x) * w / m_width;
    const int64_t ty = int64_t(y) * h / m_height;
    const uint8_t* p = mp_tex->data + (size_t(ty) * size_t(w) + size_t(tx)) * 4;
    return {float(p[1]) / 255.0f, float(p[2]) / 255.0f, float(p[3]) / 255.0f};
}

int PreparedTextureEffect::posterize_levels(double colors) {
    const double levels = std::round((1.0 - colors) * 128.0);
    if (!(levels >= 1.0)) return 1;
    // Only a value below the slider's range gets here; any step above 255 already leaves one
    // level, so capping it changes nothing and keeps the conversion defined.
    return levels > 256.0 ? 256 : int(levels);
}
