#include "engine/effects/distortion/PP_ArtNoise.h"

#include "engine/effects/SmallEffects.h"
#include "kernels/Random.h"

#include <algorithm>

void PP_ArtNoise::prepare_for_process() {
    m_noise_radius = small_effects::truncated(param_1()->value());
    m_gamma_range = param_2()->value();
    // A negative radius would make the draw's modulus zero or negative.
    const double side = double(std::min(m_width, m_height));
    m_radius = std::max<int64_t>(small_effects::truncated(side * (double(m_noise_radius) / 500.0)), 0);
    m_low = float(1.0 - m_gamma_range);
    m_high = float(1.0 + m_gamma_range);
}

pixel_t PP_ArtNoise::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    const int64_t r = m_radius, span = 2 * r + 1;
    // An offset that leaves the image keeps the pixel's own column or row.
    int64_t sx = x + Random::random() % span - r;
    if (sx < 0 || sx >= m_width) sx = x;
    int64_t sy = y + Random::random() % span - r;
    if (sy < 0 || sy >= m_height) sy = y;
    const pixel_t p = get_source_pixel(int32_t(sx), int32_t(sy));
    const float f = m_low + (m_high - m_low) * float(Random::random() % 5001) / 5000.0f;
    return {p.r * f, p.g * f, p.b * f};
}
