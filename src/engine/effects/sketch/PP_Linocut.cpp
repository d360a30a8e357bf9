#include "engine/effects/sketch/PP_Linocut.h"

#include "engine/PostProcessParameter.h"
#include "kernels/Texture.h"

#include <algorithm>
#include <cmath>

namespace {

// Truncated toward zero; values no slider gives are kept inside what an int holds.
int radius(double value) {
    const double v = std::trunc(value);
    return v == v ? int(std::clamp(v, -1e9, 1e9)) : 0;
}

// Mean of the three bytes of a bilinear sample: the sum in single precision, the third in double.
float mean(uint32_t p) {
    const float sum =
        float((p >> 8) & 0xFF) / 255.0f + float(p & 0xFF) / 255.0f + float((p >> 16) & 0xFF) / 255.0f;
    return float(double(sum) * (1.0 / 3.0));
}

} // namespace

// One thread's state in one run: for each blur the column sums of the box at texel row sums_row
// (4 entries a texel, as the box blur kernel keeps them) and the last two rows it blurred.
struct PP_Linocut::Rows {
    struct Blur {
        std::vector<uint32_t> sums;
        int32_t sums_row = -1;
        std::vector<uint8_t> row[2];
        int32_t index[2] = {-1, -1};
    };
    Blur blur[2];
};

PP_Linocut::PP_Linocut() = default;
PP_Linocut::~PP_Linocut() = default;

namespace {

constexpr SliderSpec kInner = localizedSlider("Inner Radius", 0.0, 20.0, 3.0);
constexpr SliderSpec kOuter = localizedSlider("Outer Radius", 7.0, 200.0, 10.0);
constexpr LookSpec kLooks[] = {
    {"Linocut", "Art", kInner, kOuter},
    {"Linocut 2", "Art", kInner, kOuter},
};

} // namespace

int32_t PP_Linocut::look_count() const {
    return int32_t(std::size(kLooks));
}

const LookSpec* PP_Linocut::look_spec() const {
    return lookOfType(kLooks, m_type, &kLooks[1]);
}

void PP_Linocut::prepare_for_process() {
    process_ended();
    // The texture tex_create would make at scale 1, read in place.
    m_tex_w = tex_scaled_side(1.0f, m_width);
    m_tex_h = tex_scaled_side(1.0f, m_height);
    m_columns.resize(size_t(m_tex_w));
    m_rows.resize(size_t(m_tex_h));
    for (int32_t i = 0; i < m_tex_w; ++i)
        m_columns[size_t(i)] = tex_source_index(i, m_tex_w, m_width);
    for (int32_t j = 0; j < m_tex_h; ++j)
        m_rows[size_t(j)] = tex_source_index(j, m_tex_h, m_height);
    m_inverted = m_type == 1;
    m_radius[0] = std::max(radius(param_1()->value()), 0);
    m_radius[1] = std::max(radius(param_2()->value()), 0);
    m_thread_rows.start();
}

PP_Linocut::Rows& PP_Linocut::thread_rows() {
    return *m_thread_rows.get([this] {
        auto rows = std::make_unique<Rows>();
        for (Rows::Blur& b : rows->blur) {
            b.sums.resize(size_t(m_tex_w) * 4);
            for (std::vector<uint8_t>& r : b.row)
                r.resize(size_t(m_tex_w) * 4);
        }
        return rows;
    });
}

// Adds (or takes away) `times` copies of texel row j, inverted for type 1, to the column sums; the
// unsigned arithmetic wraps as the kernel's does.
void PP_Linocut::add_source_row(uint32_t* sums, int32_t j, uint32_t times, bool subtract) const {
    const uint8_t* row = gp_data + size_t(m_rows[size_t(j)]) * size_t(m_width) * 4;
    for (int32_t i = 0; i < m_tex_w; ++i) {
        const uint8_t* p = row + size_t(m_columns[size_t(i)]) * 4;
        uint32_t* s = sums + size_t(i) * 4;
        for (int c = 1; c < 4; ++c) {
            const uint32_t v = times * uint32_t(m_inverted ? 255 - p[c] : p[c]);
            s[c] = subtract ? s[c] - v : s[c] + v;
        }
    }
}

// The box blur kernel's row, from its column sums: clamped edges, floor of the mean.
const uint8_t* PP_Linocut::blurred_row(Rows& rows, int b, int32_t j, int32_t keep) {
    Rows::Blur& blur = rows.blur[b];
    for (int k = 0; k < 2; ++k)
        if (blur.index[k] == j) return blur.row[k].data();
    const int64_t r = m_radius[b], h = m_tex_h;
    uint32_t* sums = blur.sums.data();
    // Down a few rows the sums slide; further, or back up, they start again.
    if (blur.sums_row < 0 || j < blur.sums_row || (j - blur.sums_row) * 2 > 2 * r + 1) {
        std::fill(blur.sums.begin(), blur.sums.end(), 0u);
        const int64_t lo = j - r, hi = j + r;
        if (lo < 0) add_source_row(sums, 0, uint32_t(std::min<int64_t>(hi, -1) - lo + 1), false);
        for (int64_t k = std::max<int64_t>(lo, 0); k <= std::min<int64_t>(hi, h - 1); ++k)
            add_source_row(sums, int32_t(k), 1, false);
        if (hi > h - 1)
            add_source_row(sums, int32_t(h - 1), uint32_t(hi - std::max<int64_t>(lo, h) + 1), false);
    } else {
        for (int64_t y = blur.sums_row; y < j; ++y) {
            add_source_row(sums, int32_t(std::min<int64_t>(y + r + 1, h - 1)), 1, false);
            add_source_row(sums, int32_t(std::max<int64_t>(y - r, 0)), 1, true);
        }
    }
    blur.sums_row = j;

    const int slot = blur.index[0] == keep ? 1 : 0;
    blur.index[slot] = j;
    uint8_t* out = blur.row[slot].data();
    const int64_t w = m_tex_w, last = w - 1;
    const uint64_t box = uint64_t(2 * r + 1) * uint64_t(2 * r + 1);
    const uint64_t left = uint64_t(r), right = uint64_t(std::max<int64_t>(0, r - last));
    for (int c = 1; c < 4; ++c) {
        uint64_t s = left * sums[c] + right * sums[size_t(last) * 4 + size_t(c)];
        for (int64_t k = 0; k <= std::min(r, last); ++k)
            s += sums[size_t(k) * 4 + size_t(c)];
        for (int64_t x = 0; x < w; ++x) {
            out[size_t(x) * 4 + size_t(c)] = uint8_t(s / box);
            s += sums[size_t(std::min(x + r + 1, last)) * 4 + size_t(c)];
            s -= sums[size_t(std::max<int64_t>(x - r, 0)) * 4 + size_t(c)];
        }
    }
    return out;
}

pixel_t PP_Linocut::process_pixel_x(int32_t x, int32_t y, int32_t /*pass*/) {
    // Not prepared: the picture is left as it is.
    if (!m_thread_rows.started()) return get_source_pixel(x, y);
    const float u = float(x - 1) / float(m_width), v = float(y - 1) / float(m_height);
    const tex_detail::axis_t across = tex_detail::axis(tex_detail::clamp01(u), m_tex_w);
    const tex_detail::axis_t down = tex_detail::axis(tex_detail::clamp01(v), m_tex_h);
    Rows& rows = thread_rows();
    float m[2];
    for (int b = 0; b < 2; ++b) {
        const uint8_t* r0 = blurred_row(rows, b, down.i0, down.i1);
        const uint8_t* r1 = blurred_row(rows, b, down.i1, down.i0);
        m[b] = mean(tex_detail::blend_rows(r0 + 1, r1 + 1, across, down.a));
    }
    const float c = m[0] - m[1] < 0.0f ? 1.0f : 0.0f;
    return {c, c, c};
}

void PP_Linocut::process_ended() {
    m_thread_rows.clear();
}
