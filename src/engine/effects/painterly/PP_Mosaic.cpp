#include "engine/effects/painterly/PP_Mosaic.h"

#include "engine/PostProcessParameter.h"
#include "kernels/Random.h"
#include "kernels/drawing/lines.h"
#include "kernels/regions/flood_fill.h"
#include "kernels/regions/voronoi.h"
#include "platform/graphics/ParallelRows.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <new>

namespace {

// One jittered seed per grid cell of side c over w x h, grid rows outer, x then y: two
// Random::rand() draws each, in that order. Null (reported) when memory ran out.
std::unique_ptr<float[]> draw_seeds(int32_t w, int32_t h, int64_t c, size_t& n) {
    const int32_t half = int32_t((c - 1) / 2);
    n = size_t((c + w - 1) / c) * size_t((c + h - 1) / c);
    std::unique_ptr<float[]> points(new (std::nothrow) float[n * 2]);
    if (!points) {
        std::fprintf(stderr, "PP_Mosaic: not enough memory for %zu tile seeds\n", n);
        return nullptr;
    }
    size_t k = 0;
    for (int64_t gy = 0; gy < h; gy += c)
        for (int64_t gx = 0; gx < w; gx += c) {
            const int64_t rx = Random::rand() % (c - 1);
            const int64_t ry = Random::rand() % (c - 1);
            points[k++] = float(std::clamp<int64_t>(gx - half + rx, 0, w - 1));
            points[k++] = float(std::clamp<int64_t>(gy - half + ry, 0, h - 1));
        }
    return points;
}

} // namespace

PP_Mosaic::~PP_Mosaic() {
    free_texture();
}

void PP_Mosaic::free_texture() {
    m_output.release(mp_tex);
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
    // A preview samples the mosaic: only its own grid is worked out.
    m_step = m_preview_mode ? std::max(step_x, 1) : 1;
    const int32_t w = (m_width - 1) / m_step + 1, h = (m_height - 1) / m_step + 1;
    mp_tex = m_preview_mode ? tex_create_empty(w, h, 4) : m_output.take();
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
    const bool drawn = m_step == 1
                           ? process_texture(mp_tex, gp_data, m_width, m_height, cell, false)
                           : process_preview_texture(mp_tex, gp_data, m_width, m_height, cell, m_step);
    m_output.hand_back();
    if (!drawn) {
        free_texture();
        preparation_failed();
    }
}

pixel_t PP_Mosaic::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    if (!mp_tex) return get_source_pixel(x, y);
    const size_t i = size_t(m_step == 1 ? x : x / m_step), j = size_t(m_step == 1 ? y : y / m_step);
    const uint8_t* p = mp_tex->data + (j * size_t(mp_tex->width) + i) * 4;
    return {float(p[1]) / 255.0f, float(p[2]) / 255.0f, float(p[3]) / 255.0f};
}

void PP_Mosaic::process_ended() {
    // The output buffer is the run's result from now on.
    if (!m_in_preview || mp_tex == m_output.get()) free_texture();
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
    size_t n = 0;
    const std::unique_ptr<float[]> points = draw_seeds(w, h, c, n);
    if (!points) return false;

    int edge_count = 0;
    const std::unique_ptr<float[]> edges(voronoi_process(points.get(), int(n), &edge_count, w, h));
    if (!edges) return false;
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
                if (!flood_fill(out, w, h, row, x, y,
                                254u | uint32_t(s[1]) << 8 | uint32_t(s[2]) << 16 | uint32_t(s[3]) << 24))
                    return false;
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

bool PP_Mosaic::process_preview_texture(texture_t* tex, const uint8_t* data, int32_t width, int32_t height,
                                        int32_t cell_size, int32_t step) {
    if (!tex || !tex->data || tex->width <= 0 || tex->height <= 0) return false;
    const int32_t pw = tex->width, ph = tex->height;
    uint8_t* out = tex->data;
    std::memset(out, 0, size_t(pw) * size_t(ph) * 4);
    if (!data || step < 1 || int64_t(pw - 1) * step >= width || int64_t(ph - 1) * step >= height)
        return false;

    const int64_t c = std::max(cell_size, 2);
    size_t n = 0;
    const std::unique_ptr<float[]> points = draw_seeds(width, height, c, n);
    if (!points) return false;
    const int32_t cols = int32_t((c + width - 1) / c), rows = int32_t((c + height - 1) / c);
    // The tile of every texel, -1 on a border; whether it lies well inside its tile; the colour
    // of every tile, 0 until it is first met.
    std::unique_ptr<int32_t[]> owner(new (std::nothrow) int32_t[size_t(pw) * size_t(ph)]);
    std::unique_ptr<bool[]> inside(new (std::nothrow) bool[size_t(pw) * size_t(ph)]);
    std::unique_ptr<uint32_t[]> colour(new (std::nothrow) uint32_t[n]());
    if (!owner || !inside || !colour) {
        std::fprintf(stderr, "PP_Mosaic: not enough memory for a %dx%d preview\n", pw, ph);
        return false;
    }

    // A seed lies within half a cell of its grid corner, so the two nearest seeds of a pixel are
    // among the 5 x 5 corners around it. Positions are doubled so that the pixel's centre and
    // every distance are exact integers. The drawn lines join truncated vertices, half a pixel up
    // and left on average: a pixel is on the line where the edge passes its centre within half a
    // pixel across the line's long axis, that is where the two squared distances differ by at
    // most the longer side of the seeds' offset.
    graphics::parallelRows(ph, size_t(pw), [&](int32_t j0, int32_t j1) {
        int64_t sx[25], sy[25];
        int32_t index[25];
        for (int32_t j = j0; j < j1; ++j) {
            const int64_t y = int64_t(j) * step;
            const int64_t gy = (y + c / 2) / c;
            for (int32_t i = 0; i < pw; ++i) {
                const int64_t x = int64_t(i) * step;
                const int64_t gx = (x + c / 2) / c;
                int count = 0;
                for (int64_t b = std::max<int64_t>(gy - 2, 0); b <= std::min<int64_t>(gy + 2, rows - 1); ++b)
                    for (int64_t a = std::max<int64_t>(gx - 2, 0); a <= std::min<int64_t>(gx + 2, cols - 1);
                         ++a) {
                        const size_t k = size_t(b) * size_t(cols) + size_t(a);
                        sx[count] = 2 * int64_t(points[k * 2]);
                        sy[count] = 2 * int64_t(points[k * 2 + 1]);
                        index[count++] = int32_t(k);
                    }
                const int64_t px = 2 * x + 1, py = 2 * y + 1;
                int nearest = 0;
                int64_t d1 = std::numeric_limits<int64_t>::max();
                for (int k = 0; k < count; ++k) {
                    const int64_t d = (px - sx[k]) * (px - sx[k]) + (py - sy[k]) * (py - sy[k]);
                    if (d < d1) {
                        d1 = d;
                        nearest = k;
                    }
                }
                // Within two pixels of an edge the drawn line may pass on either side of the pixel.
                bool border = false, near = false;
                for (int k = 0; k < count && !border; ++k) {
                    if (k == nearest) continue;
                    const int64_t d = (px - sx[k]) * (px - sx[k]) + (py - sy[k]) * (py - sy[k]);
                    const int64_t side =
                        std::max(std::abs(sx[k] - sx[nearest]), std::abs(sy[k] - sy[nearest]));
                    border = d - d1 <= 2 * side;
                    near = near || d - d1 <= 8 * side;
                }
                owner[size_t(j) * size_t(pw) + size_t(i)] = border ? -1 : index[nearest];
                inside[size_t(j) * size_t(pw) + size_t(i)] = !near;
            }
        }
    });

    // A tile takes the colour of its first texel in scan order that surely lies in it at full
    // size, the first of all its texels when none does.
    for (const bool anywhere : {false, true})
        for (int32_t j = 0; j < ph; ++j) {
            const uint8_t* src = data + size_t(j) * size_t(step) * size_t(width) * 4;
            for (int32_t i = 0; i < pw; ++i) {
                const size_t at = size_t(j) * size_t(pw) + size_t(i);
                const int32_t o = owner[at];
                if (o < 0 || colour[size_t(o)] != 0 || !(anywhere || inside[at])) continue;
                const uint8_t* s = src + size_t(i) * size_t(step) * 4;
                colour[size_t(o)] = 254u | uint32_t(s[1]) << 8 | uint32_t(s[2]) << 16 | uint32_t(s[3]) << 24;
            }
        }
    for (int32_t j = 0; j < ph; ++j) {
        for (int32_t i = 0; i < pw; ++i) {
            uint8_t* t = out + (size_t(j) * size_t(pw) + size_t(i)) * 4;
            const int32_t o = owner[size_t(j) * size_t(pw) + size_t(i)];
            if (o < 0) {
                t[0] = 255;
                continue;
            }
            const uint32_t tile = colour[size_t(o)];
            t[0] = 254;
            t[1] = uint8_t(tile >> 8);
            t[2] = uint8_t(tile >> 16);
            t[3] = uint8_t(tile >> 24);
        }
    }
    return true;
}
