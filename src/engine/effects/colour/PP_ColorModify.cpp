#include "engine/effects/colour/PP_ColorModify.h"

#include "engine/BlendFunctions.h"
#include "engine/Neighbourhood.h"
#include "engine/PostProcessParameter.h"

#include <memory>

namespace {

// Colour-cast weights of types 5 to 8, per channel, as single-precision constants.
constexpr float kCastWeights[4][3] = {
    {-24.0f / 255.0f, -1.0f / 255.0f, -0.4f},
    {-126.0f / 255.0f, -1.0f / 255.0f, -1.0f / 255.0f},
    {-1.0f / 255.0f, -106.0f / 255.0f, -119.0f / 255.0f},
    {-12.0f / 255.0f, -127.0f / 255.0f, -1.0f / 255.0f},
};

bool isCast(int32_t type) {
    return type >= 5 && type <= 8;
}

// Contrast around mid grey, then the gain in double.
pixel_t contrastAndGain(pixel_t c, float contrast, double gain) {
    const auto one = [&](float v) { return float(double((v - 0.5f) * contrast + 0.5f) * gain); };
    return {one(c.r), one(c.g), one(c.b)};
}

pixel_t colorReprint(pixel_t src, float amount) {
    pixel_t p = src;
    for (int i = 0; i < 3; ++i)
        p = blend_overlay(p, p);
    const auto addSource = [&](pixel_t a, double k) {
        return pixel_t{float(double(a.r) + k * double(src.r)), float(double(a.g) + k * double(src.g)),
                       float(double(a.b) + k * double(src.b))};
    };
    pixel_t a = addSource(p, 0.5);
    // Dark results get a further fifth of the source.
    const double mean = double((a.r + a.g) + a.b) / 3.0;
    if (mean < 0.3) a = addSource(a, 0.2);
    return {(a.r - src.r) * amount + src.r, (a.g - src.g) * amount + src.g, (a.b - src.b) * amount + src.b};
}

} // namespace

namespace {

constexpr SliderSpec kCastScale = localizedSlider("Scale", 1.5, 3.0, 2.0);
constexpr LookSpec kLooks[] = {
    {"Color Reprint", "Art", localizedSlider("Amount", 0.7, 2.0, 1.0)},
    {"Abstract Contours", "Art", localizedSlider("Scale", 2.0, 20.0, 4.0)},
    {"B&W Magazine", "Black&White", localizedSlider("Contrast", 1.2, 3.0, 1.7)},
    {"Amsterdam", "Photo Styles", localizedSlider("Contrast", 1.2, 3.0, 1.7),
     localizedSlider("Saturation", 0.1, 0.7, 0.5)},
    {"Hippie", "Photo Styles", localizedSlider("Contrast", 1.2, 3.0, 1.506),
     localizedSlider("Saturation", 1.0, 3.0, 1.5)},
    // The colour casts, unnamed.
    {"none", "none", kCastScale},
    {"none", "none", kCastScale},
    {"none", "none", kCastScale},
    {"none", "none", kCastScale},
};
constexpr LookSpec kPlaceholder{"none", "none"};

} // namespace

int32_t PP_ColorModify::look_count() const {
    return int32_t(std::size(kLooks));
}

const LookSpec* PP_ColorModify::look_spec() const {
    return lookOfType(kLooks, m_type, &kPlaceholder);
}

void PP_ColorModify::prepare_for_process() {
    if (PostProcessParameter* p = param_1()) m_float_param1 = p->value();
    if (PostProcessParameter* p = param_2()) m_float_param2 = p->value();
    if (isCast(m_type))
        for (int c = 0; c < 3; ++c)
            m_cast[c] = double(kCastWeights[m_type - 5][c]) * m_float_param1;
}

pixel_t PP_ColorModify::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    const pixel_t src = get_source_pixel(x, y);
    const float k1 = float(m_float_param1);
    switch (m_type) {
    case 0:
        return colorReprint(src, k1);
    case 1: {
        const float v = do_edge_detection(x, y, true, 3.0f, 0.2f, k1);
        return {v, v, v};
    }
    case 2:
        return do_saturation(contrastAndGain(src, k1, 1.24), 0.0f);
    case 3:
        return do_saturation(contrastAndGain(src, k1, 1.24), float(m_float_param2));
    case 4:
        return do_saturation(contrastAndGain(src, k1, 1.26), float(m_float_param2));
    default:
        if (!isCast(m_type)) return src; // no such look: the picture passes through
        return {float(double(src.r) + m_cast[0]), float(double(src.g) + m_cast[1]),
                float(double(src.b) + m_cast[2])};
    }
}
