#include "engine/effects/test/PP_Eff1.h"

#include "engine/IntegerHsv.h"
#include "engine/effects/ColourTone.h"

void PP_Eff1::prepare_for_process() {
    int32_t v = 0;
    getHsv2(162, 128, 101, &sepiaH, &sepiaS, &v);
}

pixel_t PP_Eff1::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    return get_source_pixel(x, y);
}
