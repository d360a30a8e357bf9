#include "engine/effects/sketch/PP_LinocutInv.h"

#include "engine/Neighbourhood.h"
#include "engine/effects/ColourTone.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

// Past this the table would be large and the rounding bound loose; such radii (no slider gives
// them) take the slow sums.
constexpr int32_t kMaxTableRadius = 64;

int32_t radius(double value) {
    const double v = std::trunc(value);
    return v == v ? int32_t(std::clamp(v, -1e9, 1e9)) : 0;
}

float mean(const pixel_t& p) {
    return (p.r + p.g + p.b) / 3.0f;
}

} // namespace

void PP_LinocutInv::prepare_for_process() {
    m_inner_radius = radius(param_1()->value());
    m_outer_radius = radius(param_2()->value());
    m_sums.reset();
    const int32_t r1 = m_inner_radius, r2 = m_outer_radius;
    if (!gp_data || r1 < 1 || r2 < 1 || r1 > kMaxTableRadius || r2 > kMaxTableRadius) return;

    const int32_t pad = std::max(r1, r2);
    const size_t w = size_t(g_width), h = size_t(g_height);
    const size_t stride = w + 2 * size_t(pad) + 1;
    const size_t rows = h + 2 * size_t(pad) + 1;
    m_sums.reset(new (std::nothrow) uint32_t[stride * rows]);
    if (!m_sums) {
        preparation_failed();
        return;
    }
    m_pad = pad;
    m_sums_stride = stride;
    uint32_t* sat = m_sums.get();
    std::fill(sat, sat + stride, 0u);
    for (size_t j = 1; j < rows; ++j) {
        const int64_t sy = std::clamp<int64_t>(int64_t(j) - 1 - pad, 0, int64_t(h) - 1);
        const uint8_t* row = gp_data + size_t(sy) * w * size_t(g_bpp_dv);
        uint32_t* out = sat + j * stride;
        const uint32_t* above = out - stride;
        out[0] = 0;
        uint32_t run = 0;
        for (size_t i = 1; i < stride; ++i) {
            const int64_t sx = std::clamp<int64_t>(int64_t(i) - 1 - pad, 0, int64_t(w) - 1);
            const uint8_t* p = row + size_t(sx) * size_t(g_bpp_dv);
            run += uint32_t(p[1]) + p[2] + p[3];
            out[i] = run + above[i];
        }
    }

    // Each float mean is within (n + 5) u of its exact value (n samples, u = 2^-24, values at
    // most 1), so exact means further apart than the two bounds compare the same way in float.
    // Doubled for safety; scaled by 765 n1 n2 to compare with the integer difference.
    const double n1 = 4.0 * r1 * r1, n2 = 4.0 * r2 * r2;
    const double bound = 2.0 * (n1 + n2 + 10.0) * 0x1p-24;
    m_margin = bound * 765.0 * n1 * n2;
}

uint32_t PP_LinocutInv::window_sum(int32_t x, int32_t y, int32_t r) const {
    const uint32_t* sat = m_sums.get();
    const size_t x0 = size_t(x - r + m_pad), x1 = size_t(x + r + m_pad);
    const size_t y0 = size_t(y - r + m_pad), y1 = size_t(y + r + m_pad);
    return sat[y1 * m_sums_stride + x1] - sat[y0 * m_sums_stride + x1] - sat[y1 * m_sums_stride + x0] +
           sat[y0 * m_sums_stride + x0];
}

pixel_t PP_LinocutInv::process_pixel_x(int32_t x, int32_t y, int32_t /*pass*/) {
    const int32_t r1 = m_inner_radius, r2 = m_outer_radius;
    if (m_sums) {
        const int64_t n1 = 4 * int64_t(r1) * r1, n2 = 4 * int64_t(r2) * r2;
        const int64_t d = int64_t(window_sum(x, y, r1)) * n2 - int64_t(window_sum(x, y, r2)) * n1;
        if (double(d) > m_margin) return {1.0f, 1.0f, 1.0f};
        if (double(-d) > m_margin) return {0.0f, 0.0f, 0.0f};
    }
    const float c = mean(do_blur2(x, y, r1)) - mean(do_blur2(x, y, r2)) < 0.0f ? 0.0f : 1.0f;
    return {c, c, c};
}

void PP_LinocutInv::process_ended() {
    m_sums.reset();
}
