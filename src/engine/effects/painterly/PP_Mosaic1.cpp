#include "engine/effects/painterly/PP_Mosaic1.h"

#include "engine/effects/ColourTone.h"
#include "kernels/Random.h"

#include <algorithm>
#include <cmath>

namespace {

// Grey of a working-image pixel as the mosaic edge weighs it, in single precision.
float cell_grey(int32_t x, int32_t y) {
    const uint8_t* p = PostProcess::gp_data +
                       (size_t(y) * size_t(PostProcess::g_width) + size_t(x)) * size_t(PostProcess::g_bpp_dv);
    return float(int(p[1]) + int(p[2]) + int(p[3])) * (1.0f / 255.0f) * 0.33333334f;
}

// Sobel edge between the cells around (x, y): every neighbour is read at the top-left corner of
// its cell, so only pixels next to a cell border see a difference. 0 when a neighbour falls
// outside the image. With random set, each offset is scaled by its own factor in low .. high.
float do_mosaic_edge_detection(int32_t x, int32_t y, bool random, int32_t cell, float scale, float low,
                               float high) {
    static constexpr float kOffsets[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0},
                                             {1, 0},   {-1, 1}, {0, 1},  {1, 1}};
    const float c = float(cell);
    const float fx = float(x) / c * c, fy = float(y) / c * c;
    float k[8];
    for (int i = 0; i < 8; ++i) {
        float dx = kOffsets[i][0], dy = kOffsets[i][1];
        if (random) {
            dx *= low + float(Random::random() % 5001) / 5000.0f * (high - low);
            dy *= low + float(Random::random() % 5001) / 5000.0f * (high - low);
        }
        const float px = dx * scale + fx, py = dy * scale + fy;
        // Checked before the conversion: a float past the integer range has no defined value.
        if (!(px > -1.0f && py > -1.0f && px < float(PostProcess::g_width) &&
              py < float(PostProcess::g_height)))
            return 0.0f;
        const int32_t sx = int32_t(px), sy = int32_t(py);
        k[i] = cell_grey(sx - sx % cell, sy - sy % cell);
    }
    const float gx = (2.0f * k[4] + k[2] + k[7]) - (2.0f * k[3] + k[0] + k[5]);
    const float gy = (2.0f * k[6] + k[5] + k[7]) - (2.0f * k[1] + k[0] + k[2]);
    const float e = std::sqrt(gx * gx + gy * gy);
    return e < 0.0f ? 0.0f : (e > 1.0f ? 1.0f : e);
}

} // namespace

namespace {

constexpr LookSpec kLooks[] = {
    {"Mosaic 1", "SFX", localizedSlider("Pixelization", 10.0, 300.0, 182.0)},
    {"Pixelate 1", "Art", localizedSlider("Pixelization", 10.0, 300.0, 130.0)},
    {"Pixelate", "SFX", localizedSlider("Pixelization", 10.0, 300.0, 200.0)},
    {"Pixelate 3", "Art", localizedSlider("Pixelization", 10.0, 300.0, 40.0)},
};
constexpr LookSpec kPlaceholder{"Mosaic 1", "Art", localizedSlider("Pixelization", 10.0, 300.0, 10.0)};

} // namespace

int32_t PP_Mosaic1::look_count() const {
    return int32_t(std::size(kLooks));
}

const LookSpec* PP_Mosaic1::look_spec() const {
    return lookOfType(kLooks, m_type, &kPlaceholder);
}

void PP_Mosaic1::prepare_for_process() {
    const double v = std::trunc(param_1()->value());
    // Out-of-range values (no slider gives them) are kept inside what an int holds.
    m_pixel_size = int32_t(std::clamp(v == v ? v : 0.0, -1e9, 1e9));
    const int32_t s = m_pixel_size == 0 ? 1 : m_pixel_size;
    if (m_type >= 0 && m_type <= 3) {
        m_cell = std::max(g_width, g_height) / s;
        if (m_cell == 0) m_cell = 1;
    } else {
        m_cell = s;
    }
}

pixel_t PP_Mosaic1::process_pixel_x(int32_t x, int32_t y, int32_t /*pass*/) {
    const int32_t c = m_cell;
    const pixel_t p = get_source_pixel(x - x % c, y - y % c);
    if (m_type != 0) return p;
    const float e = do_mosaic_edge_detection(x, y, false, c, 1.0f, 0.2f, 4.0f);
    return {p.r - e, p.g - e, p.b - e};
}
