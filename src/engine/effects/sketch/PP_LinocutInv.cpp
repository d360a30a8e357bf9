#include "engine/effects/sketch/PP_LinocutInv.h"

#include "engine/Neighbourhood.h"
#include "engine/effects/ColourTone.h"

#include <algorithm>
#include <cmath>
#include <memory>

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

// One thread's window sums for both radii at row y: per padded column c the sum of R + G + B over
// rows y - r .. y + r - 1 (clamped), then their running sums along the row, so that a window's
// sum is the difference of two entries. The sums wrap modulo 2^32, as a summed-area table's
// would; window sums are far below it.
struct PP_LinocutInv::Rows {
    int64_t y = -1;
    std::vector<uint32_t> column[2];
    std::vector<uint32_t> running[2];
};

PP_LinocutInv::PP_LinocutInv() = default;
PP_LinocutInv::~PP_LinocutInv() = default;

void PP_LinocutInv::prepare_for_process() {
    m_inner_radius = radius(param_1()->value());
    m_outer_radius = radius(param_2()->value());
    m_thread_rows.clear();
    const int32_t r1 = m_inner_radius, r2 = m_outer_radius;
    if (!gp_data || r1 < 1 || r2 < 1 || r1 > kMaxTableRadius || r2 > kMaxTableRadius) return;
    m_pad = std::max(r1, r2);
    m_thread_rows.start();

    // Each float mean is within (n + 5) u of its exact value (n samples, u = 2^-24, values at
    // most 1), so exact means further apart than the two bounds compare the same way in float.
    // Doubled for safety; scaled by 765 n1 n2 to compare with the integer difference.
    const double n1 = 4.0 * r1 * r1, n2 = 4.0 * r2 * r2;
    const double bound = 2.0 * (n1 + n2 + 10.0) * 0x1p-24;
    m_margin = bound * 765.0 * n1 * n2;
}

void PP_LinocutInv::add_row(std::vector<uint32_t>& sums, int64_t y, uint32_t sign) const {
    const int64_t w = g_width;
    const uint8_t* row =
        gp_data + size_t(std::clamp<int64_t>(y, 0, g_height - 1)) * size_t(w) * size_t(g_bpp_dv);
    for (size_t c = 0; c < sums.size(); ++c) {
        const int64_t sx = std::clamp<int64_t>(int64_t(c) - m_pad, 0, w - 1);
        const uint8_t* p = row + size_t(sx) * size_t(g_bpp_dv);
        sums[c] += sign * (uint32_t(p[1]) + p[2] + p[3]);
    }
}

const PP_LinocutInv::Rows* PP_LinocutInv::rows_at(int32_t y) {
    if (!m_thread_rows.started()) return nullptr;
    const size_t columns = size_t(g_width) + 2 * size_t(m_pad);
    Rows* rows = m_thread_rows.get([columns] {
        auto made = std::make_unique<Rows>();
        for (int b = 0; b < 2; ++b) {
            made->column[b].resize(columns);
            made->running[b].resize(columns + 1);
        }
        return made;
    });
    if (rows->y == y) return rows;
    for (int b = 0; b < 2; ++b) {
        const int64_t r = b == 0 ? m_inner_radius : m_outer_radius;
        std::vector<uint32_t>& column = rows->column[b];
        // Down a few rows the sums slide; further, or back up, they start again.
        if (rows->y >= 0 && y > rows->y && y - rows->y <= 2 * r) {
            for (int64_t k = rows->y; k < y; ++k) {
                add_row(column, k + r, 1u);
                add_row(column, k - r, ~0u);
            }
        } else {
            std::fill(column.begin(), column.end(), 0u);
            for (int64_t k = int64_t(y) - r; k < int64_t(y) + r; ++k)
                add_row(column, k, 1u);
        }
        uint32_t* running = rows->running[b].data();
        running[0] = 0;
        for (size_t c = 0; c < columns; ++c)
            running[c + 1] = running[c] + column[c];
    }
    rows->y = y;
    return rows;
}

pixel_t PP_LinocutInv::process_pixel_x(int32_t x, int32_t y, int32_t /*pass*/) {
    const int32_t r1 = m_inner_radius, r2 = m_outer_radius;
    if (const Rows* rows = rows_at(y)) {
        const auto window_sum = [&](int b, int32_t r) {
            const uint32_t* running = rows->running[b].data();
            return running[size_t(x + r + m_pad)] - running[size_t(x - r + m_pad)];
        };
        const int64_t n1 = 4 * int64_t(r1) * r1, n2 = 4 * int64_t(r2) * r2;
        const int64_t d = int64_t(window_sum(0, r1)) * n2 - int64_t(window_sum(1, r2)) * n1;
        if (double(d) > m_margin) return {1.0f, 1.0f, 1.0f};
        if (double(-d) > m_margin) return {0.0f, 0.0f, 0.0f};
    }
    const float c = mean(do_blur2(x, y, r1)) - mean(do_blur2(x, y, r2)) < 0.0f ? 0.0f : 1.0f;
    return {c, c, c};
}

void PP_LinocutInv::process_ended() {
    m_thread_rows.clear();
}
