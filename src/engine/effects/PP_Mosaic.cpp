#include "engine/effects/PP_Mosaic.h"

#include "engine/PostProcessParameter.h"
#include "kernels/Random.h"
#include "kernels/flood_fill.h"
#include "kernels/lines.h"
#include "kernels/voronoi.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>

PP_Mosaic::~PP_Mosaic() {
    free_texture();
}

void PP_Mosaic::free_texture() {
    tex_free(mp_tex);
    mp_tex = nullptr;
}

void PP_Mosaic::on_preview_entered() {
    PostProcess::on_preview_entered();
    m_in_preview = true;
}

void PP_Mosaic::on_preview_exit() {
    PostProcess::on_preview_exit();
    // A run still going would be reading the mosaic.
    std::lock_guard guard(m_pp_lock);
    m_in_preview = false;
    free_texture();
}

void PP_Mosaic::prepare_for_process() {
    free_texture();
    mp_tex = tex_create_empty(m_width, m_height, 4);
    if (!mp_tex) {
        preparation_failed();
        return;
    }
    // Nothing keeps a stored value on the slider: one from a damaged preset could make cells
    // of no size (a grid that never ends) or too large for an int.
    double size = param_1()->value();
    if (!(size >= 0.0)) size = 0.0;
    if (size > 1.0) size = 1.0;
    const int32_t cell = int32_t(size * 50.0 + 4.0);
    if (!process_texture(mp_tex, gp_data, m_width, m_height, cell, false)) {
        free_texture();
        preparation_failed();
    }
}

pixel_t PP_Mosaic::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    if (!mp_tex) return get_source_pixel(x, y);
    const uint8_t* p = mp_tex->data + (size_t(y) * size_t(mp_tex->width) + size_t(x)) * 4;
    return {float(p[1]) / 255.0f, float(p[2]) / 255.0f, float(p[3]) / 255.0f};
}

void PP_Mosaic::process_ended() {
    if (!m_in_preview) free_texture();
}

bool PP_Mosaic::process_texture(texture_t* tex, const uint8_t* data, int32_t width, int32_t height,
                                int32_t cell_size, bool fill_edges) {
    if (!tex || !tex->data || tex->width <= 0 || tex->height <= 0) return false;
    const int32_t w = tex->width, h = tex->height;
    const int row = w * 4;
    uint8_t* out = tex->data;
    std::memset(out, 0, size_t(row) * size_t(h));
    if (!data || w > width || h > height) return false;

    // A cell of one pixel would leave no room to jitter (rand() % 0).
    const int64_t c = std::max(cell_size, 2);
    const int32_t half = int32_t((c - 1) / 2);
    const size_t n = size_t((c + w - 1) / c) * size_t((c + h - 1) / c);
    std::unique_ptr<float[]> points(new (std::nothrow) float[n * 2]);
    if (!points) {
        std::fprintf(stderr, "PP_Mosaic: not enough memory for %zu tile seeds\n", n);
        return false;
    }
    size_t k = 0;
    for (int64_t gy = 0; gy < h; gy += c)
        for (int64_t gx = 0; gx < w; gx += c) {
            const int64_t rx = Random::rand() % (c - 1);
            const int64_t ry = Random::rand() % (c - 1);
            points[k++] = float(std::clamp<int64_t>(gx - half + rx, 0, w - 1));
            points[k++] = float(std::clamp<int64_t>(gy - half + ry, 0, h - 1));
        }

    int edge_count = 0;
    const std::unique_ptr<float[]> edges(voronoi_process(points.get(), int(n), &edge_count, w, h));
    for (int i = 0; i < edge_count; ++i) {
        const float* e = &edges[size_t(i) * 4];
        draw_line_alpha(out, w, h, row, int(e[0]), int(e[1]), int(e[2]), int(e[3]), 255);
    }

    // The borders close every tile off for a 4-connected fill, so each tile takes the colour of
    // its first pixel in scan order.
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* src = data + size_t(y) * size_t(width) * 4;
        const uint8_t* t = out + size_t(y) * size_t(row);
        for (int32_t x = 0; x < w; ++x)
            if (t[size_t(x) * 4] == 0) {
                const uint8_t* s = src + size_t(x) * 4;
                flood_fill(out, w, h, row, x, y,
                           254u | uint32_t(s[1]) << 8 | uint32_t(s[2]) << 16 | uint32_t(s[3]) << 24);
            }
    }

    if (fill_edges)
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) {
                const uint8_t* p = out + size_t(y) * size_t(row) + size_t(x) * 4;
                if (p[0] == 255) continue;
                for (int32_t yy = std::max(y - 1, 0); yy <= std::min(y + 1, h - 1); ++yy)
                    for (int32_t xx = std::max(x - 1, 0); xx <= std::min(x + 1, w - 1); ++xx) {
                        uint8_t* q = out + size_t(yy) * size_t(row) + size_t(xx) * 4;
                        if (q[0] != 255) continue;
                        q[0] = 254;
                        q[1] = p[1];
                        q[2] = p[2];
                        q[3] = p[3];
                    }
            }
    return true;
}
