#include "engine/effects/vintage/PP_Sepia.h"

#include "engine/IntegerHsv.h"
#include "engine/effects/ColourTone.h"

void PP_Sepia::prepare_for_process() {
    int32_t v = 0;
    getHsv2(162, 128, 101, &sepiaH, &sepiaS, &v);
    m_amount = float(param_1()->value());
}

pixel_t PP_Sepia::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    const pixel_t c = get_source_pixel(x, y);
    const auto v = int32_t((0.3 * double(c.r) + 0.59 * double(c.g) + 0.11 * double(c.b)) * 255.0);
    const uint32_t tone = hsvToRGB2(sepiaH, sepiaS, v);
    const auto toward = [this](uint32_t level, float from) {
        return (float(level & 0xff) / 255.0f - from) * m_amount + from;
    };
    return {toward(tone, c.r), toward(tone >> 8, c.g), toward(tone >> 16, c.b)};
}
