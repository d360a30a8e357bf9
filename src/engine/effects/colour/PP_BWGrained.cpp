#include "engine/effects/colour/PP_BWGrained.h"

#include "engine/PostProcessParameter.h"
#include "kernels/Random.h"

#include <algorithm>

void PP_BWGrained::prepare_for_process() {
    m_grain = float(param_1()->value());
    m_contrast = float(param_2()->value());
    m_cell = std::max(g_preview_step_x, 1);
    const size_t columns = size_t(std::max(g_width, 1) / m_cell) + 1;
    m_drawn_row.assign(columns, -1);
    m_drawn.assign(columns, 0);
}

pixel_t PP_BWGrained::process_pixel_x(int32_t x, int32_t y, int32_t /*pass*/) {
    const pixel_t p = get_source_pixel(x, y);
    const float t = ((p.g + p.r) + p.b) / 3.0f - 0.5f;
    float c = (m_contrast + 0.5f) * t + 0.5f;
    // A grain's value is drawn at the first pixel visited in it; a preview visits one pixel a grain.
    int n;
    const size_t column = size_t(std::max(x, 0) / m_cell);
    const int32_t row = std::max(y, 0) / m_cell;
    if (m_cell > 1 && column < m_drawn.size()) {
        if (m_drawn_row[column] != row) {
            m_drawn_row[column] = row;
            m_drawn[column] = int16_t(Random::rand() & 255);
        }
        n = m_drawn[column];
    } else {
        n = Random::rand() & 255;
    }
    c = c + float(n) * m_grain / 255.0f * 0.5f;
    const float v = std::clamp(c, 0.0f, 1.0f);
    return {v, v, v};
}
